// CPattern: the design. A rectangular grid of beads (CBead) laid out in a
// weave format, with its sizes in inches, per-row formats, stitch path,
// colour mode, bead effect, chart symbols, attributes, the PDF settings kept
// with it and the marks that editing tools leave on it.
//
// Addressing: beads are stored row by row from the bottom row of the design,
// left to right within a row. Cell coordinates (column, row) used by tools
// and dialogs count rows from the top: the storage index of (column, row) is
// (rows - row - 1) x columns + column. Operations named "storage" work in
// storage rows (0 = bottom row) directly. Column and row counts come from
// the nominal size, bead size and spacer (CountBeadsInLength) and are never
// stored.
//
// The data members are public: the file sections, the builder, the colour
// operations and the dialogs read and write them directly, as the record
// they are.
#pragma once

#include <map>
#include <vector>

#include "core/IndexList.h"
#include "core/LargeArray.h"
#include "design/PatternAttr.h"
#include "design/WeaveFormat.h"
#include "platform/base.h"
#include "settings/PdfData.h"

class CByteStream;
class CPattern;
class CPatternParams;
class IColorSource;
class IProgressHost;

// Flags of CBead::m_flags.
constexpr BYTE kBeadSelected = 0x80;
constexpr BYTE kBeadPathColor = 0x40;

// One bead.
struct CBead {
  CBead() = default;
  CBead(double x, double y) : m_x(x), m_y(y) {}

  // With the path flag set, the design's path colour - 1; otherwise the
  // bead's own colour index.
  int GetColorIndex(const CPattern& design) const;
  int GetColorIndex(int pathColor) const { return (m_flags & kBeadPathColor) ? pathColor - 1 : m_colorIndex; }
  // Stores the index and clears the path flag.
  void SetColorIndex(int index) {
    m_colorIndex = index;
    m_flags &= static_cast<BYTE>(~kBeadPathColor);
  }
  void SetPathColor() { m_flags |= kBeadPathColor; }
  void ClearPathColor() { m_flags &= static_cast<BYTE>(~kBeadPathColor); }
  bool IsPathColor() const { return (m_flags & kBeadPathColor) != 0; }
  bool IsSelected() const { return (m_flags & kBeadSelected) != 0; }
  void SetSelected(bool selected) {
    if (selected) m_flags |= kBeadSelected;
    else m_flags &= static_cast<BYTE>(~kBeadSelected);
  }
  bool IsPresent() const { return m_present != 0; }
  // 0 <= x <= 1, 0 <= y <= 1, colour index >= 0, present and alternate 0 or 1.
  bool IsValid() const;

  friend bool operator==(const CBead& a, const CBead& b) {
    return a.m_x == b.m_x && a.m_y == b.m_y && a.m_cachedColor == b.m_cachedColor && a.m_colorIndex == b.m_colorIndex &&
           a.m_present == b.m_present && a.m_alternate == b.m_alternate && a.m_flags == b.m_flags;
  }

  double m_x = 0.0;             // centre x / actual width, 0 = left edge
  double m_y = 0.0;             // centre y / actual height, 0 = bottom edge
  COLORREF m_cachedColor = 0;   // R | G << 8 | B << 16
  int m_colorIndex = -1;        // palette colour index
  BYTE m_present = 1;           // 1 = a bead sits in this cell
  BYTE m_alternate = 1;         // alternates 1, 0, 1, ... along each row
  BYTE m_flags = 0;             // kBeadSelected, kBeadPathColor
};
static_assert(sizeof(CBead) == 32, "the whole bead record is 32 bytes");
using CBeadArray = std::vector<CBead, CLargeBlockAllocator<CBead>>;

// Bead rectangles inside one rectangle with the design's factors worked
// out once: Get(bead) is GetBeadRect(bead, rect) (GetBeadRectTopDown with
// topDown), bit for bit, for loops over many beads.
class CBeadRectMapper {
 public:
  CBeadRectMapper(const CPattern& design, const RECT& rect, bool topDown);
  RECT Get(const CBead& bead) const {
    RECT cell;
    Horizontal(bead.m_x, cell);
    Vertical(bead.m_y, cell);
    return cell;
  }
  // The left and right of a cell from the bead's x; top and bottom from y.
  void Horizontal(double x, RECT& cell) const {
    const double cx = left_ + x * w_;
    cell.left = Round(cx - r_);
    cell.right = Round(cx + r_);
  }
  void Vertical(double y, RECT& cell) const {
    const double cy = topDown_ ? top_ + y * h_ : top_ + (1 - y) * h_;
    cell.top = Round(cy - u_);
    cell.bottom = Round(cy + u_);
  }

 private:
  // Halves away from zero; values outside the int range, infinities and
  // NaN as RoundToInt takes them.
  static int Round(double v) {
    if (v > -2147483648.0 && v < 2147483647.0) {
      long long r = static_cast<long long>(v);  // toward zero; v - r is exact here
      const double fraction = v - static_cast<double>(r);
      // Without branches: cells of a fraction of a pixel round either way.
      r += static_cast<long long>(fraction >= 0.5) - static_cast<long long>(fraction <= -0.5);
      return r > 2147483647LL ? 2147483647 : r < -2147483648LL ? static_cast<int>(-2147483647 - 1) : static_cast<int>(r);
    }
    return RoundOutside(v);
  }
  static int RoundOutside(double v);
  double left_, top_, w_, h_, r_, u_;
  bool topDown_;
};

// The design view's hit-test result.
struct CBeadHit {
  CBead* bead = nullptr;
  int index = -1;
  POINT point{-1, -1};
  void Reset() {
    bead = nullptr;
    index = -1;
    point = POINT{-1, -1};
  }
};

// A typed byte blob read from older design files; kept and copied, never
// written.
class CTag {
 public:
  CTag() = default;
  virtual ~CTag() = default;
  CTag(const CTag&) = default;
  CTag& operator=(const CTag&) = default;
  // i32 type, then a size-prefixed blob; true only when both were read.
  bool Read(CByteStream& stream);
  int GetSize() const { return static_cast<int>(m_bytes.size()); }
  friend bool operator==(const CTag& a, const CTag& b) { return a.m_type == b.m_type && a.m_bytes == b.m_bytes; }

  int m_type = 0;
  std::vector<BYTE> m_bytes;
};

// Three i32 values; all three zero means unset.
struct CIntTriple {
  int a = 180, b = 50, c = 50;
  bool IsUnset() const { return a == 0 && b == 0 && c == 0; }
  bool Read(CByteStream& stream);
  bool WriteFile(HANDLE file) const;
  bool ReadFile(HANDLE file);
  friend bool operator==(const CIntTriple& x, const CIntTriple& y) { return x.a == y.a && x.b == y.b && x.c == y.c; }
};

// Two fixed 80-character NUL-padded text fields, stored as 160 bytes.
struct CTextBlock {
  char fields[2][80] = {};
  void Clear();
  // Two 80-byte blocks; the first may be read when the second fails; true
  // only when both were read.
  bool Read(CByteStream& stream);
  bool ReadFile(HANDLE file);    // both zeroed on failure
  bool WriteFile(HANDLE file) const;
};

// The five single-precision sizes (inches) and the format of a fresh grid
// layout.
struct CGridLayout {
  float width = 0.0f;
  float height = 0.0f;
  float beadWidth = 0.0f;
  float beadHeight = 0.0f;
  float spacer = 0.0f;
  int format = 0;
};

// Which beads a flood fill takes: mode 0 a present bead that shows the
// colour, 1 any present bead, 2 any absent bead.
struct CFillCriterion {
  int mode = 0;
  int color = -1;
};

// Insertion of a block of columns (rows == 0) or rows: the selected block
// (inclusive, rows from the top), the colour of the new cells and the place
// (1 left edge, 2 right edge, 3 top edge, 4 bottom edge, else at the block).
struct CInsertRequest {
  int rows = 0;
  RECT block{0, 0, 0, 0};
  int colorIndex = 0;
  int place = 0;
};

// Removal of the block's columns (mode 2) or rows (any other mode).
struct CRemoveRequest {
  int mode = 0;
  RECT block{0, 0, 0, 0};
};

// An ordered map of colour indexes used by dialogs to remap colours.
class CColorIndexMap {
 public:
  // The value, or -1 when the key is absent.
  int Lookup(int key) const {
    auto it = map_.find(key);
    return it == map_.end() ? -1 : it->second;
  }
  // Sets the key's value, adding the key or replacing its value.
  void Insert(int key, int value) { map_[key] = value; }
  void RemoveAll() { map_.clear(); }
  size_t GetCount() const { return map_.size(); }
  const std::map<int, int>& Map() const { return map_; }

 private:
  std::map<int, int> map_;
};

// The interface of a design that gives its beads and sizes.
class IPatternBase {
 public:
  virtual const CBeadArray& GetBeadArray() const = 0;
  virtual void GetActualSize(double& width, double& height) const = 0;
  virtual void GetNominalSize(double& width, double& height) const = 0;

 protected:
  ~IPatternBase() = default;
};

class CPattern : public IPatternBase {
 public:
  CPattern();
  // A copy keeps the source's identity; call NewGuid for a distinct design.
  CPattern(const CPattern& other);
  // Copies everything except the view rectangle and the PDF data.
  CPattern& operator=(const CPattern& other);
  virtual ~CPattern();

  // IPatternBase.
  const CBeadArray& GetBeadArray() const override { return m_beads; }
  void GetActualSize(double& width, double& height) const override;
  void GetNominalSize(double& width, double& height) const override;

  // Identity and document information.
  void NewGuid();
  // New identity, attributes and the two 80-character texts cleared, PDF
  // data to its defaults, file path emptied.
  void ResetDocumentInfo();
  // What the later file sections carry: row formats emptied, angle 0,
  // reserved block zeroed, PDF export options to their defaults.
  void ResetOptionalSections();

  // Whole design.
  bool HasBeads() const { return !m_beads.empty(); }
  int GetBeadCount() const { return static_cast<int>(m_beads.size()); }
  void RemoveAllBeads() { m_beads.clear(); }
  bool IsModified() const { return HasBeads() && m_modified != 0; }
  void SetModified(bool modified) { m_modified = modified ? 1 : 0; }
  bool GetFilePath(CString& out) const {
    out = m_filePath;
    return !m_filePath.IsEmpty();
  }
  void ClearFilePath() { m_filePath.Empty(); }
  void SetViewRect(const RECT& rect) { m_viewRect = rect; }
  const RECT& GetViewRect() const { return m_viewRect; }

  // ---- Counting and geometry ----
  unsigned GetColumnCount() const;
  unsigned GetRowCount() const;
  // The same counts, writing the actual width or height.
  unsigned ComputeColumns();
  unsigned ComputeRows();
  // Room for the format's offsets: Brick + bead width / 2, Sacred Brick +
  // bead width x 2/3, Sacred Peyote + one bead height, n-Peyote + bead
  // height / 2.
  void ApplyFormatOffset(int format);
  // Raises the actual height to the highest bead centre of a layout
  // (inches above the bottom) when the format's room leaves it above the
  // design: an n-Peyote with a spacer larger than a bead, a Sacred Peyote
  // step of 2 with a spacer above half a bead. Every bead centre then lies
  // within the design, and the design can be stored.
  void HoldBeadCentre(double highestCentre) {
    if (highestCentre > m_actualHeight) m_actualHeight = highestCentre;
  }
  // With row formats: whether any run is an n-Peyote / Brick; without: the
  // design's format.
  bool IsPeyoteKind() const;
  bool IsBrickKind() const;
  // Loom, or the design has row formats.
  bool HasRowLayout() const { return m_format == kFormatLoom || !m_rowFormats.empty(); }
  // Format of a row counted from the top.
  int GetRowFormat(int row) const;
  // x (inches) of the first bead centre of a row counted from the bottom.
  double GetRowStartX(int row, int format) const;
  // Lays out a fresh grid: row formats emptied, sizes taken over, blank set,
  // modified cleared, every bead present in the colour, angle 0. False only
  // when the grid cannot be held (more beads than an index can address, or
  // no memory); the design then has no beads.
  bool CreateGrid(const CGridLayout& layout, int colorIndex);
  // The same with per-row formats (blank left alone, modified set).
  bool CreateGridWithRowFormats(const CGridLayout& layout, const CRowFormatArray& runs, int colorIndex);
  // Copies the sizes, format, stitch path, path colour and blank; sets the
  // modified byte.
  void ApplyParams(const CPatternParams& params);

  // A bead's rectangle inside a rectangle: the design's top at the
  // rectangle's top, or (TopDown) bead y measured downwards.
  RECT GetBeadRect(const CBead& bead, const RECT& rect) const;
  RECT GetBeadRectTopDown(const CBead& bead, const RECT& rect) const;
  RECT GetBeadViewRect(const CBead& bead) const { return GetBeadRect(bead, m_viewRect); }
  // Centre and size of a grid cell (rows from the top) spread over the
  // rectangle where a picture was last drawn. False when check is asked and
  // the cell is outside the grid; the outputs are written in any case.
  bool MapCellToImage(int row, int column, const RECT& drawnRect, POINT& centre, SIZE& cellSize, bool check) const;
  // The bead under a point given in fractions of the design (x from the
  // left, y from the top), or -1. Its present byte goes to present. The
  // result is its storage index, or column + columns x row-from-top with
  // topDown.
  int HitTestBead(double x, double y, bool topDown, BYTE* present, bool countSpacer) const;

  // ---- Addressing ----
  int GetBeadIndex(POINT cell) const { return GetBeadIndex(cell.x, cell.y); }
  int GetBeadIndex(int column, int row) const {
    return (static_cast<int>(GetRowCount()) - row - 1) * static_cast<int>(GetColumnCount()) + column;
  }
  // The bead of a cell (row 0 = top); null outside the grid.
  CBead* GetBeadAt(int column, int row);
  const CBead* GetBeadAt(int column, int row) const;
  bool GetBead(int column, int row, CBead& out) const;
  bool SetBeadRecord(int column, int row, const CBead& bead);
  // column = index mod columns, storage row = index div columns; false when
  // the index is not below the bead count.
  bool IndexToCell(int index, int& column, int& storageRow) const;
  bool IndexToCell(int index, POINT& cell) const {
    int column = 0, storageRow = 0;
    const bool ok = IndexToCell(index, column, storageRow);
    cell = POINT{column, storageRow};
    return ok;
  }
  // storage row x columns + column; false outside the grid.
  bool CellToIndex(int column, int storageRow, int& index) const;
  bool CellToIndex(POINT cell, int& index) const { return CellToIndex(cell.x, cell.y, index); }
  bool SplitIndex(int index, int& column, int& storageRow) const;
  // The displayed colour index of a bead, -1 outside the grid.
  int GetBeadColorByIndex(int index) const;
  // The displayed colour index of a cell (row 0 = top), -1 when absent or
  // outside the grid.
  int GetBeadColor(int column, int row) const;
  bool IsValidIndex(long long index) const { return index >= 0 && index < static_cast<long long>(m_beads.size()); }

  // ---- Marked beads ----
  // Removes the index when marked (answers false), else appends it (true).
  bool ToggleMarkedBead(UINT index);
  bool ToggleBeadMark(UINT index) { return ToggleMarkedBead(index); }
  bool HasMarkedBeads() const { return !m_markedBeads.empty(); }
  void ClearMarkedBeads() { m_markedBeads.clear(); }
  // Replaces the marks by the indexes (in their order, repeats dropped) in
  // one pass: marking a colour's beads or an area costs no list search per
  // bead.
  void SetMarkedBeads(const UINT* indexes, size_t count);
  void SetMarkedBeads(const CIndexList& list) { SetMarkedBeads(list.Items().data(), list.size()); }
  void SetMarkedBeads(const std::vector<UINT>& indexes) { SetMarkedBeads(indexes.data(), indexes.size()); }

  // ---- Cell edits (rows from the top; nothing outside the grid) ----
  bool SetBeadPresent(int column, int row, bool present);
  void SetPathBead(int column, int row, bool present);
  void ClearPathBead(int column, int row);
  // Previous own colour index (path mark cleared first); -1 outside.
  int SetBeadColor(int column, int row, int color, bool present);
  // Previous displayed colour index; -1 outside.
  int SetBeadColorIndex(int column, int row, int color);

  // ---- Storage-index edits (an index outside the beads changes nothing) ----
  int RecolorBead(int index, int color);
  bool PutBead(int index, int color);
  bool ReplaceBeadColor(int index, int from, int to);

  // ---- Whole design ----
  bool ReplaceColor(int from, int to);
  void CacheBeadColors(const IColorSource& palette);
  void RefreshBeadColors(const IColorSource& palette) { CacheBeadColors(palette); }
  // Every bead takes the in-use colour nearest to its cached colour; a
  // progress runs on `progress` when the caption is not empty (null: none).
  void RematchColors(IColorSource& palette, const char* caption, IProgressHost* progress = nullptr);
  // Paints the cells (column + dx, row + dy) with colour `color` blended
  // over the old colour with weight `weight` of the old colour.
  void PaintCells(int column, int row, const std::vector<POINT>& offsets, const IColorSource& palette, double weight,
                  int color, bool force);

  // ---- Index lists (storage indexes) ----
  void AddRunIndices(POINT start, int count, CIndexList& list) const;
  // {smallest column, smallest storage row, largest column, largest storage
  // row} of two beads.
  bool GetBoundingCells(int a, int b, RECT& out) const;
  void LineBetweenBeads(int a, int b, CIndexList& list) const;
  void RectBetweenBeads(bool filled, int a, int b, CIndexList& list) const;
  void EllipseOutlineBetweenBeads(int a, int b, CIndexList& list) const;
  void FilledEllipseBetweenBeads(int a, int b, CIndexList& list) const;
  // The connected area of beads showing the start bead's colour.
  void FloodFillFrom(int index, CIndexList& list, bool diagonals) const;
  // Grows the list from the frontier with the beads that match.
  void FloodFill(const CFillCriterion& criterion, std::vector<UINT> frontier, CIndexList& list, bool diagonals) const;
  // Left, right, below, above and, with diagonals, below-left, below-right,
  // above-left, above-right (rows as stored), inside the grid. Empty for an
  // index outside the grid.
  void GetNeighbours(int index, bool diagonals, std::vector<int>& out) const;

  // ---- Rows and columns, mirroring, repetition ----
  bool InsertRowsOrColumns(const CInsertRequest& request);
  bool RemoveRowsOrColumns(const CRemoveRequest& request);
  // Copies cached colour, stored colour index and present byte of each cell
  // of a half-open rectangle (rows from the top) to the same-sized target.
  static bool CopyBlock(const CPattern& source, const RECT& sourceRect, CPattern& target, const RECT& targetRect);
  void FlipVertical();
  void FlipHorizontal();
  void FlipPresenceHorizontal();
  bool RepeatBySample(int across, int down, bool mirror);

  // ---- Information ----
  double GetActualWidthInUnits() const;
  double GetActualHeightInUnits() const;
  CString GetDescription() const;

  // ---- Data (member order of the stored design) ----
  BYTE m_reservedByte = 0;
  double m_nominalWidth = 0.0;
  double m_nominalHeight = 0.0;
  double m_beadWidth = 0.0;
  double m_beadHeight = 0.0;
  double m_spacer = 0.0;
  double m_actualWidth = 0.0;
  double m_actualHeight = 0.0;
  BYTE m_blank = 0;
  CBeadArray m_beads;
  CRowFormatArray m_rowFormats;
  int m_format = kFormatLoom;
  int m_stitchPath = 0;
  int m_pathColor = 0;  // 0 = path beads absent; n = palette colour n - 1
  BYTE m_flagByte = 0;
  CSymbolSet m_symbolSet;
  int m_colorMode = kColorModeClassic;  // not stored
  BYTE m_beadSectionByte = 0;
  std::vector<UINT> m_markedBeads;  // not stored
  RECT m_viewRect{0, 0, 0, 0};      // not copied, not stored
  int m_angle = 0;
  int m_sectionVersion = 4;
  GUID m_guid{};
  CString m_propertiesText;
  CString m_fixedLengthText;  // stored as a 33-byte field
  BYTE m_propertiesByte = 3;
  CString m_texts[3];
  int m_sacredPeyoteDivisor = 3;
  CString m_furtherTexts[3];
  CTextBlock m_textBlock;
  DWORD m_word = 0;
  CIntTriple m_intTriple;
  DWORD m_words[2] = {0, 0};
  CString m_title;
  DWORD m_beadEffect = 0;
  CPatternAttr m_attr;
  CPdfData m_pdfData;
  BYTE m_reservedBlock[220] = {};
  BYTE m_reservedBlockByte = 0;
  CPdfExportOptions m_pdfOptions;
  std::vector<CTag> m_tags;
  BYTE m_modified = 0;
  CString m_filePath;

 private:
  bool LayOutRows(const CRowFormatArray* runs, int format, int colorIndex);

  // What a fresh layout replaces: sizes, format, flags, row formats, angle
  // and the beads (moved out). Restored when a shape change fails.
  struct SavedShape {
    double nominalWidth, nominalHeight, beadWidth, beadHeight, spacer, actualWidth, actualHeight;
    int format;
    BYTE blank, modified;
    int angle;
    CRowFormatArray rowFormats;
    CBeadArray beads;
  };
  SavedShape TakeShape();
  void RestoreShape(SavedShape&& shape);
};

// One horizontal run of a bead line: its first cell and its length.
struct CBeadRun {
  int column = 0;
  int row = 0;
  int count = 0;
};
// The staircase of horizontal runs that draws a line of beads between two
// cells (any row numbering): from the cell with the smaller column (the
// first on equal columns) one run per row toward the other's row, the k-th
// run ending at column trunc(k x width / rows) from the start, so the run in
// the end cell's row ends at its column; every run holds at least one bead.
void LineStaircase(POINT from, POINT to, std::vector<CBeadRun>& runs);

// Cells and spans.
// The distinct rounded points of the ellipse inscribed in a rectangle of
// cells {left, top, right, bottom} (inclusive), 361 angles.
void EllipseOutlineCells(const RECT& rect, std::vector<POINT>& out);
// For each distinct x, in first-seen order, the point with the smallest y
// (low) and the one with the largest y (high).
void PointSpans(const std::vector<POINT>& points, std::vector<POINT>& low, std::vector<POINT>& high);
// For each distinct row (y), in first-seen order, its leftmost and rightmost
// cell.
void RowSpans(const std::vector<POINT>& cells, std::vector<POINT>& left, std::vector<POINT>& right);

// The largest whole multiple of the design's per-format block (in pixels)
// whose area stays within the budget; false when none fits or the beads are
// not square.
bool FindGridForBeadCount(long long budget, int columns, int rows, int& outWidth, int& outHeight,
                          const CPattern& design);
