// CColorSet: a palette — its header, kind, paths, embedded image library and
// its colours, whose positions are the colour indices that beads refer to.
// Also the usage record CColorUsage.
#pragma once

#include <memory>
#include <vector>

#include "design/ColorSource.h"
#include "palette/NearestColor.h"
#include "palette/PaletteColor.h"

class CPattern;
class CPaletteLineReader;
struct CPaletteXmlInfo;

// The result of usage counting: the design counted, how many palette colours
// it uses and how many beads were counted.
struct CColorUsage {
  explicit CColorUsage(const CPattern* design = nullptr) : pattern(design) {}
  const CPattern* pattern;
  int usedColors = 0;
  int beadCount = 0;
};

class CColorSet : public IColorSource {
 public:
  // Palette kinds.
  static constexpr int kKindPlainText = 0;
  static constexpr int kKindSheetData = 1;
  static constexpr int kKindSheetDataAndImage = 2;

  CColorSet();
  // Copies as CopyConstruct does.
  CColorSet(const CColorSet& other);
  ~CColorSet() override;
  virtual void Reserved() {}
  // Called by the text-palette readers after each line; false stops the
  // reading, which then ends successfully with the colours read so far.
  virtual bool OnTextLine(int lineNumber) { return true; }
  // Sets the modified byte; answers its previous value.
  virtual bool SetModified(bool modified);

  // Copies modified, loaded, kind, both paths, the header and every colour;
  // the image library is not copied (the copy's is empty).
  void CopyConstruct(const CColorSet& other);
  // Copies modified, loaded, kind, both paths and the colours; the target
  // keeps its header and its image library is emptied.
  CColorSet& operator=(const CColorSet& other);

  void Clear();
  int GetCount() const override { return static_cast<int>(colors_.size()); }
  bool IsModified() const { return modified_ != 0; }

  // The colour at i; out of range gives the first colour, and an empty
  // palette a default record.
  const CPaletteColor& GetItem(int i) const;
  CPaletteColor& GetItem(int i);
  // The colour at i; a negative i gives null, one beyond the end the first
  // colour (null when the palette is empty).
  const CPaletteColor* GetColor(int i) const;
  CPaletteColor* GetColor(int i);
  bool GetColorCopy(int i, CPaletteColor& out) const;
  // The packed colour of GetColor(i); 0xFFFFFFFF ("no colour") when none.
  COLORREF GetColorrefAt(int i) const override;
  const std::vector<CPaletteColor>& GetColors() const { return colors_; }
  // Write access to the whole array.
  std::vector<CPaletteColor>& GetColorsForEdit();
  void Append(const CPaletteColor& color);

  const CPaletteColor* FindByName(const CString& name) const;
  CPaletteColor* FindByName(const CString& name);
  bool SetSymbolByName(const CString& name, int code);
  void SetColorSymbol(int i, int code, BYTE variant);
  bool IsSymbolUsed(int code) const;

  // Nearest in-use colour (rounded Euclidean distance, lowest index among
  // equally near colours); -1 and distance 100000 when no colour is in use.
  int FindNearestColor(int red, int green, int blue, int& distance) const override;
  int FindNearestColor(int red, int green, int blue) const;
  int FindNearestToTriple(const CRgbTriple& triple) const;
  int FindNearestColorref(COLORREF packed) const;
  // The search keeps a prepared copy of the in-use colours (one thread at a
  // time, as every palette operation of the program). It is made again
  // when a colour's RGB or in-use byte has changed since, however the
  // change was made (a pointer kept from GetColor or GetItem included: the
  // records count their changes), or when the number of colours differs.
  // ColorsChanged drops it at once.
  void ColorsChanged() const;

  // The design model's view of a palette.
  bool IsColorInUse(int index) const override;
  void SetColorInUse(int index, bool inUse) override;
  CString GetColorName(int index) const override;
  int CountDesignUsage(const CPattern& design) override;

  void CheckAll();
  int GetCheckedCount() const;
  int GetNthChecked(int n) const;
  int GetUsedCount() const;
  int CountUsedColors() const { return GetUsedCount(); }
  void ClearUsage();

  // Usage of a design's present beads; false on a bead whose colour index
  // lies outside the palette (the counts made so far stay).
  bool CountUsage(CColorUsage& usage);
  // Usage without the result record and without failing: a colour index
  // outside the palette counts toward the first colour. Nothing happens for
  // an empty palette.
  void CountUsageQuick(const CPattern& design);
  // Chart symbols from the design's symbol codes, most used colour first.
  void AssignSymbolsByUsage(const CPattern& design);
  // Symbols from a code list; the counts must be current. An empty list
  // stands for the default list of a symbol set.
  void AssignSymbolsByCounts(const std::vector<DWORD>& codes);
  // Before a chart: when two used colours share a symbol, or one has a
  // symbol that prints nothing (0, a blank), every used colour is numbered
  // again, most used first, from the design's symbol codes (the default
  // list 1-9, A-Z, a-z... without them), leaving out codes that print
  // nothing. Distinct printable symbols are left alone.
  void EnsureDistinctSymbols();
  void EnsureDistinctSymbols(const std::vector<DWORD>& designCodes);
  void CollectUsedColors(std::vector<CPaletteColor>& out) const;

  bool CheckOmitNames(unsigned omitCount, bool onlyUsed, CString& reason) const;
  bool ApplyOmitName(unsigned omitCount);

  void GetVersionText(CString& text) const;
  bool IsLoaded() const { return loaded_ != 0; }
  void SetLoaded(bool loaded) { loaded_ = loaded ? 1 : 0; }
  const CString& GetFilePath() const { return filePath_; }
  void GetFilePath(CString& out) const { out = filePath_; }
  void SetFilePath(const CString& path) { filePath_ = path; }
  int GetKind() const { return kind_; }
  void SetKind(int kind) { kind_ = kind; }
  const CString& GetImageLibPath() const { return imageLibPath_; }
  void SetImageLibPath(const CString& path) { imageLibPath_ = path; }
  CPaletteHeader& GetHeader() { return header_; }
  const CPaletteHeader& GetHeader() const { return header_; }
  CImageLib& GetImageLib() { return imageLib_; }
  const CImageLib& GetImageLib() const { return imageLib_; }

  // ---- palette files ----
  // The general open: an enciphered palette file, else a text palette.
  // `option` is passed to the text reader and has no effect.
  bool LoadPaletteFile(const CString& path, CString& reason, int option = 0);
  bool LoadEncipheredFile(const CString& path);
  // Header check, checksum, deciphering and body parsing of a whole file
  // held in memory.
  bool ReadEncipheredBody(const BYTE* bytes, size_t size);
  bool ReadBody(CByteStream& stream);
  bool WriteBody(CByteStream& stream) const;
  unsigned GetBodySize() const;
  // A palette handed over as the bytes of a palette file (enciphered or
  // text), parsed in memory.
  bool LoadPaletteFromBytes(const BYTE* bytes, size_t size);
  // Writes the palette as an enciphered file. The file is written beside the
  // target under a temporary name and put in place only when it was written
  // whole, so a failed save keeps the old file.
  bool SavePaletteAs(const CString& path);
  // The palette as the bytes SavePaletteAs writes (a design file embeds
  // them); like a save it settles the kind and clears the modified byte.
  bool SaveToBytes(std::vector<BYTE>& out);
  // The older layout embedded in design files of earlier versions.
  bool ReadFromDesign(CByteStream& stream, bool withCounts);

  // ---- XML export (palette/PaletteXml.h) ----
  // The whole document (UTF-8, one line).
  void BuildXmlText(std::string& out, const CPaletteXmlInfo& info) const;
  // Removes an existing file, writes the document with one write; false
  // when the file cannot be created or not every byte was written.
  bool ExportXml(const CString& path, const CPaletteXmlInfo& info) const;

  // ---- text palettes ----
  bool ReadTextPalette(CPaletteLineReader& file, CString& reason, int option = 0);
  static int DetectTextPaletteKind(const CString& firstLine);
  bool ReadExtendedPalette(CPaletteLineReader& file, CString& reason);
  bool ReadExtendedMosaicPalette(CPaletteLineReader& file, CString& reason);
  bool ParseExtendedLine(const CString& line, CPaletteColor& record, int& lineCounter, CString& reason);
  bool ReadKeyLine(CPaletteLineReader& file, const char* key, CString& value);
  void AppendPlainColor(int red, int green, int blue, const CString& name, int lineNumber);

 private:
  void Touch() const { nearestValid_ = false; }
  void PrepareNearest() const;
  bool IsNearestCurrent() const;

  CPaletteHeader header_;
  int kind_ = kKindSheetData;
  CString imageLibPath_;
  CString filePath_;
  CImageLib imageLib_;
  BYTE modified_ = 0;
  BYTE loaded_ = 0;
  std::vector<CPaletteColor> colors_;

  // The prepared search and a small memo of recent answers by colour.
  struct NearestMemo;
  mutable bool nearestValid_ = false;
  mutable unsigned long long nearestStamp_ = 0;  // GetPaletteColorChangeCount when prepared
  mutable size_t nearestSize_ = 0;
  mutable CNearestColorIndex nearest_;
  mutable std::unique_ptr<NearestMemo> memo_;
  CPaletteColor emptyItem_;
};

// Text of the image-library path of a library embedded in a palette file.
extern const char kInnerImageLibPath[];
// The program's "Palettes" folder with a trailing separator.
CString GetPalettesFolder();
void GetPalettesFolder(CString& out);
// The same without the trailing separator, only when the folder exists.
bool FindPalettesFolder(CString& path);
// Makes another folder stand for "Palettes" (tests); empty restores the
// program's own.
void SetPalettesFolderOverride(const CString& folder);
