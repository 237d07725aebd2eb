// CPdfExportNew: writes one PDF chart of a design through the PDF library's
// binding (PDFlib). The settings (CPdfData) switch the page kinds on; they
// are written in a fixed order: properties, the design as a picture (fitted
// on one page or tiled at actual size), the collage, the used colour list,
// the grid and the word chart. Every page is begun, filled and suspended by
// its writer; at the end all pages are resumed in order, given their feet
// (version line, "Page n from N", footer text) and ended.
//
// The file is written under a temporary name beside the target and put in
// its place only when the whole document was written, so an export that
// fails never touches an existing PDF.
//
// Texts reach the library as bytes in the interface code page; option lists
// are built with PdfFormat (a '.' decimal point whatever the locale) and the
// user's texts inside them are quoted with QuoteOptionValue.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "palette/ColorSet.h"
#include "pdflib/pdflib.h"
#include "platform/base.h"
#include "settings/PdfData.h"

class CGridSettings;
class CImage;
class CPattern;
class IProgressHost;
class CSymbolSet;
struct CWordChartRunLine;

// ---- Helpers without a document ----

// printf-like formatting of option lists and page texts: %d %u %c %s %f
// %.Nf %% (with an optional width for the integers); floating-point
// numbers always with a '.'.
CString PdfFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A text as one value of an option list: in braces, with "{", "}" and "\"
// escaped, so that passwords and font faces arrive exactly as typed.
CString QuoteOptionValue(const CString& text);
// Text for a textflow read with "charref": "&", "<" and ">" as character
// references, so names print as written.
CString EscapeCharrefText(const CString& text);

// "cp1251" under the Russian interface, else "winansi".
CString GetPdfEncoding();
// The code page of the texts the library takes as bytes (file names,
// bookmarks, document information): 1251 under the Russian interface, else
// 1252, the code page of the fonts' encoding. The export tells the library
// before each document.
int GetPdfInterfaceCodePage();
// The application's title; a title with "(" gives the part before it
// followed by "freeware".
CString GetProductLabel();
// String 581 filled with the face, with the stop icon.
void ShowFontLoadError(const char* faceName);
// 1 and the multiples of 10 carry a ruler number.
bool IsRulerNumber(int n);

// A colour as three fractions.
struct CPdfRgb {
  explicit CPdfRgb(const CPdfTextStyle& style) : CPdfRgb(style.m_color) {}
  explicit CPdfRgb(COLORREF color)
      : red(GetRValue(color) / 255.0f), green(GetGValue(color) / 255.0f), blue(GetBValue(color) / 255.0f) {}
  float red, green, blue;
};

// Page geometry of a settings record, in points.
// A page side in points: inches x 72, rounded to a whole point.
int PdfInchesToPoints(double inches);
// The page of the application settings (the language's default page when
// the settings hold none).
void GetPdfPageSize(double& width, double& height);
// Heights kept free at the top (margin, page title, header) and the bottom
// (margin, version line, footer).
int ComputeTopOffset(const CPdfData& data);
int ComputeBottomOffset(const CPdfData& data);

// Widths of the colour list's columns in whole percent: one per model
// column, the colour column and, when asked, the symbol column (0 without).
// A model width of 0 or less (automatic) makes the model columns share
// their room equally.
struct CColorListWidths {
  std::vector<int> model;
  int color = 0;
  int symbol = 0;
};
CColorListWidths ComputeColorListWidths(const CColumnArray& columns, bool symbolColumn);

// The word chart's textflow option lists of the text-columns layout.
// coloredBody keeps "%f %f %f" for the colour (see FormatColoredBodyList).
void BuildWordChartOptionLists(const CPdfTextStyle& style, CString& lineHead, CString& body, CString& coloredBody);
// The coloured body list of one colour.
CString FormatColoredBodyList(const CPdfTextStyle& style, COLORREF color);
// A line's runs as text ("12(3) 4(Name)"), with colour tags when the
// settings ask for colour text output. Colour names are escaped for charref.
void FormatWordChartRuns(const CColorSet& palette, const CPdfData& data, const CWordChartRunLine& line, CString& out);
// The colour text of one run (name or number, "skip" when the colour is
// missing), escaped for charref.
CString GetWordChartColorText(const CPaletteColor* color, const CPdfData& data);
// The number of run line i (from 1): "1 & 2" for the first line of a
// combined peyote chart, later lines one higher.
CString GetWordChartLineNumber(int index, bool combinedPeyote);

// The default output file: "<program data folder>/PDF Export/<title>.pdf",
// the folder created. The title is the design's title made safe for a file
// name ("/" and "\" become "_"), else the design file's name, else string
// 315. False when the folder cannot be made.
bool GetDefaultPdfOutputPath(const CPattern& design, CString& out);

// The picture renderer of the design pages: the design drawn at the size in
// pixels, with the background, and the grid when given. factor is the
// largest supersampling factor to try. The export's caller hands in the
// design view's renderer; without one a plain one of this library draws the
// beads.
using PdfPatternRenderer =
    std::function<std::unique_ptr<CImage>(const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                                          COLORREF background, const CGridSettings* grid)>;
// The plain renderer: every present bead as a rounded cell of its colour.
std::unique_ptr<CImage> RenderPatternPlain(const CPattern& design, const CColorSet& palette, SIZE size,
                                           COLORREF background, const CGridSettings* grid);

// An export allocates and frees large blocks page after page (page contents
// and their compression, pictures of several megabytes). Given back to the
// system at once, each block is faulted in and cleared again for the next
// page, which costs more than the pages themselves. While an object of this
// class lives, freed memory stays with the program; it goes back at the end.
class CKeepFreedMemory {
 public:
  CKeepFreedMemory();
  ~CKeepFreedMemory();
  CKeepFreedMemory(const CKeepFreedMemory&) = delete;
  CKeepFreedMemory& operator=(const CKeepFreedMemory&) = delete;
};

class CPdfExportNew;

// Why an export stopped. The error message shows a number with the text
// (CPdfExportNew::GetErrorCode): the library's own number for Library, the
// picture errors their numbers (2, 5 to 8), the others 0.
enum class PdfExportError {
  None,
  // The library refused a call: its message and number.
  Library,
  // The target (or the default folder) cannot be created.
  CannotCreateFile,
  // The finished file cannot take the target's place.
  CannotReplaceFile,
  // A style's font cannot be loaded.
  FontNotLoaded,
  // The page has no room for one cell of the grid.
  PageTooSmallForGrid,
  // The design's picture cannot be drawn or saved.
  PictureNotSaved,
  // A tile of the picture at actual size: its rectangle, its picture, its
  // file, its loading.
  TileRect,
  TileCrop,
  TileSave,
  TileLoad,
  // A page writer stopped without a message (a layout the library could not
  // finish, a design whose rows and beads disagree).
  Unfinished,
};

// Cell rectangles of one grid page (whole points, y upwards).
class CGridPageMapper {
 public:
  // tile: {first column, first row, last column + 1, last row + 1}.
  CGridPageMapper(const CPdfExportNew& exporter, const RECT& tile, double pageHeight, int cellWidth, int rowHeight);
  CGridPageMapper(int leftMargin, int topOffset, const RECT& tile, double pageHeight, int cellWidth, int rowHeight);
  // False outside the tile's columns and rows.
  bool GetCellRect(int column, int row, RECT& out) const;

 private:
  RECT m_tile;
  int m_left;
  int m_top;
  int m_pageHeight;
  int m_cellWidth;
  int m_rowHeight;
};

// What an export takes from its caller besides the design and the settings.
struct CPdfExportInputs {
  // Where the export's progress shows (null: nowhere).
  IProgressHost* progress = nullptr;
  // Draws the pictures of the design pages (empty: RenderPatternPlain).
  PdfPatternRenderer renderer;
  // The fitted picture's geometry: the rectangle the picture takes inside
  // the given one (the design view's own fitting, so the page shows the
  // picture as the view does). Empty: the design's actual proportions.
  std::function<RECT(const RECT& box)> fitPicture;
};

class CPdfExportNew {
 public:
  // Page kinds of the page list.
  enum : int { kPageUpright = 0, kPageLandscape = 1, kPageTurned = 2 };

  // Copies the palette (names shortened by the settings' omit value) and
  // makes the library object; a PDFlib::Exception of the library leaves.
  CPdfExportNew(CPattern* design, const CColorSet& palette, CPdfData* settings, CPdfExportInputs inputs = {});
  virtual ~CPdfExportNew();
  CPdfExportNew(const CPdfExportNew&) = delete;
  CPdfExportNew& operator=(const CPdfExportNew&) = delete;

  // Writes the whole document to the path; false with the error record set.
  bool Export(const CString& path);
  PdfExportError GetError() const { return m_error; }
  // Strings 338 and 339 for the library's table-size numbers, else the
  // stored text.
  CString GetErrorText() const;
  // The number the error message shows (see PdfExportError).
  int GetErrorCode() const;
  const std::vector<int>& GetPageList() const { return m_pageList; }
  const CColorSet& GetPalette() const { return m_palette; }

  // The document's option list: passwords and permissions.
  static CString BuildDocumentOptions(const CPdfData& data);

  // ---- Page services ----
  double PageWidth() const;
  double PageHeight() const;
  int TopOffset() const { return ComputeTopOffset(*m_settings); }
  int BottomOffset() const { return ComputeBottomOffset(*m_settings); }
  int LeftMargin() const { return m_settings->m_marginLeft; }
  int RightMargin() const { return m_settings->m_marginRight; }
  int LoadFont(const CString& name);
  int LoadStyleFont(const CPdfTextStyle& style) { return LoadFont(style.m_face); }
  int LoadSymbolFont(const CSymbolSet& symbols);
  void SetFillColor(COLORREF color);
  // Loads a temporary picture file into the document and deletes the file,
  // whatever the library answers (its exception passes on); -1 when refused.
  int LoadTemporaryImage(const CString& file);
  // The header text and the title line at the top edge of a page of the
  // kind (kPage...): across the page, or along the upright page's left edge
  // when turned. False when a style's font cannot be loaded.
  bool DrawPageHead(const CString& title, bool bookmark, int kind);
  void EndPage(int kind);
  // The title line of every page: "<description> - <title>".
  CString GetPageTitleText(const CString& title) const;

  // ---- Page writers ----
  bool WriteProperties(const CPdfTextStyle& style);
  bool RenderPreviewFile(const CPattern& design, const CString& path, SIZE size);
  bool WritePreviewFitToPage(const CPattern& design, const CString& title, const CPdfTextStyle& style);
  bool WritePreviewActualSize(const CPattern& design, const CPdfTextStyle& style);
  bool WriteCollage(const CPdfTextStyle& style);
  bool WriteColorList(const CPdfTextStyle& style);
  bool FitTable(int table, const CString& title, int orientation, int rowCount);
  bool WriteGrid(const CPdfTextStyle& style);
  bool WriteWordChart(const CPdfTextStyle& style);
  bool WriteWordChartTable(const CPdfTextStyle& style);
  bool WriteWordChartColumns(const CPdfTextStyle& style);
  bool FitWordChartColumns(int textflow, int columns, const CString& title, int orientation);
  CString GetWordChartTitle() const;
  void CloseAllPages();
  // The version line, "Page n from N" and the footer text at the bottom
  // edge of a page of the kind.
  bool DrawPageFoot(int kind, int page, int count);

  // ---- Grid pieces ----
  double GetGridCellWidth(const CPdfTextStyle& style);
  CString GetGridCellText(const CPaletteColor& color) const;
  void GetGridCellColors(const CPaletteColor& color, COLORREF& background, COLORREF& text) const;
  // The rows and columns of cells a page holds besides the number band
  // (cc, rr of the tiling); false when fewer than one.
  bool GetGridPageCapacity(double cellWidth, int rowHeight, int orientation, int& columns, int& rows) const;
  // The rectangle of the bead (column, row) shifted by its row's format.
  RECT ShiftGridCell(const RECT& rect, int column, int row, int cellWidth) const;

  // Tests: the library object.
  PDFlib& Library() { return m_pdf; }

 private:
  // A fitted picture's box on its page and the picture's size in pixels.
  struct CPictureBox;
  bool GetPictureBox(const CPattern& design, const CPdfTextStyle& style, CPictureBox& box);
  // The design drawn at the box's size and loaded; -1 with the error set.
  int LoadDesignPicture(const CPattern& design, const CPictureBox& box);
  void PlacePicture(int image, const CPictureBox& box);
  // A page of the fitted picture with its head.
  void WriteFittedPage(int image, const CPictureBox& box, const CString& title);
  bool WriteDocument(const CString& path, const CString& temp);
  // One step of the export (the beginning of the document, a kind of pages,
  // the closing of the pages, the end of the document): a library error in
  // it stops the export with the library's message and number.
  template <class Write>
  bool RunStep(Write&& write);
  // Records the error and answers false.
  bool Fail(PdfExportError error, const CString& text = CString());
  bool SetStyle(const CPdfTextStyle& style, int& font);
  bool WriteGridPage(const RECT& tile, int cellWidth, int rowHeight, bool firstPage, const CPdfTextStyle& style);
  bool SelectGridSymbolFont(const CPdfTextStyle& style, int& font);
  void DrawGridCell(const RECT& rect, double textWidth, int cellWidth, const CString& text, const CPaletteColor& color);
  bool AddWordChartTableRow(int& table, const CWordChartRunLine& line, int index, bool combinedPeyote, int font,
                            int size);
  void AddWordChartHeaderRow(int& table, int font, int size);
  bool AddWordChartRuns(const CWordChartRunLine& line, int& textflow, const CString& body, const CPdfTextStyle& style);
  bool IsCombinedPeyote() const;
  // A page whose content area lies between the offsets, begun upright or
  // exchanged.
  void BeginPage(bool exchanged);

  CPattern* m_design;
  CColorSet m_palette;
  CPdfData* m_settings;
  CPdfExportInputs m_inputs;
  PDFlib m_pdf;
  PdfExportError m_error = PdfExportError::None;
  CString m_errorText;
  int m_libraryErrorNumber = 0;
  std::vector<int> m_pageList;
  // The chart-symbol font: -2 not tried yet; a failure is shown once.
  int m_symbolFont = -2;
};
