#include "view/BeadedImageExport.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/DrawUtils.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "image/Image.h"
#include "lang/ids/base.h"
#include "palette/ColorSet.h"
#include "settings/GraphicOutput.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTitleColor = 0x003040;

// A memory device context compatible with the screen, deleted with it.
class CMemoryDC : public CDC {
 public:
  CMemoryDC() { ok_ = CreateCompatibleDC(nullptr) != FALSE; }
  ~CMemoryDC() override {
    if (ok_) DeleteDC();
  }
  bool IsOk() const { return ok_; }

 private:
  bool ok_ = false;
};

// A bitmap compatible with the screen.
bool CreateScreenBitmap(CBitmap& bitmap, int width, int height) {
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return false;
  const bool ok = bitmap.Attach(::CreateCompatibleBitmap(screen, width, height)) != FALSE;
  ::ReleaseDC(nullptr, screen);
  return ok;
}

void MakeFont(CFont& font, const char* face, int height, int weight = FW_NORMAL, BYTE charSet = DEFAULT_CHARSET) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
  font.CreateFontIndirect(&lf);
}

bool IsWritableType(int type) {
  return type == kImageTypeBMP || type == kImageTypeJPG || type == kImageTypePNG || type == kImageTypeGIF;
}

int ClampToInt(double value) {
  if (!(value > 0)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(value);
}

// Dots per inch of a picture shown at a size in inches.
void ResolutionFor(const CImage& picture, double widthInches, double heightInches, int (&out)[2]) {
  const CSize r = picture.GetSizeInUnits(widthInches, heightInches);
  out[0] = r.cx;
  out[1] = r.cy;
}

// The picture library writes BMP files without a resolution: it goes into
// the info header as pixels per metre, rounded as other formats round it.
bool SetBmpResolution(const CString& path, const int* resolution) {
  if (resolution == nullptr) return true;
  HANDLE file = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BYTE header[54];
  bool ok = ReadFileBlock(file, header, sizeof header) && header[0] == 'B' && header[1] == 'M' &&
            (header[14] | (header[15] << 8)) >= 40;
  if (ok) {
    BYTE perMetre[8];
    for (int i = 0; i < 2; ++i) {
      const double value = std::floor(std::max(resolution[i], 0) * 39.37007874015748 + 0.5);
      const DWORD v = value > 2147483647.0 ? 0x7FFFFFFFu : static_cast<DWORD>(value);
      for (int b = 0; b < 4; ++b) perMetre[4 * i + b] = static_cast<BYTE>((v >> (8 * b)) & 0xFF);
    }
    ok = SetFilePointer(file, 38, nullptr, FILE_BEGIN) == 38 && WriteFileBlock(file, perMetre, sizeof perMetre);
  }
  return CloseHandle(file) != FALSE && ok;
}

}  // namespace

int FindFontSize(CDC* dc, const char* face, int width, const std::vector<CString>& texts) {
  (void)dc;
  CMemoryDC mem;
  if (!mem.IsOk()) return 6;
  CBitmap bitmap;
  if (!CreateScreenBitmap(bitmap, 600, 40)) return 6;
  CBitmap* oldBitmap = mem.SelectObject(&bitmap);
  int fitted = 0;
  for (int height = 5; height < 200; ++height) {
    CFont font;
    MakeFont(font, face, height);
    CFont* old = mem.SelectObject(&font);
    long long sum = 0;
    for (const CString& text : texts) sum += mem.GetTextExtent(text).cx;
    mem.SelectObject(old);
    if (sum > width) break;
    fitted = height;
  }
  mem.SelectObject(oldBitmap);
  return fitted > 0 ? fitted : 6;
}

std::unique_ptr<CImage> BuildTitleBand(int width, int height) {
  if (width <= 0) return nullptr;
  CString title = LoadResString(IDS_APP_TITLE);
  if (title.IsEmpty()) GetProductTitle(title);
  CString link;
  GetWebSiteLink(link);
  const int fitted = FindFontSize(nullptr, "Tahoma", width, {title, link});
  const int bandHeight = std::min(std::max(height, 24), fitted);
  CMemoryDC mem;
  if (!mem.IsOk()) return nullptr;
  CBitmap bitmap;
  if (!CreateScreenBitmap(bitmap, width, bandHeight)) return nullptr;
  CBitmap* oldBitmap = mem.SelectObject(&bitmap);
  mem.FillSolidRect(0, 0, width, bandHeight, kWhite);
  CFont font;
  MakeFont(font, "Tahoma", bandHeight);
  CFont* oldFont = mem.SelectObject(&font);
  mem.SetBkMode(TRANSPARENT);
  mem.SetTextColor(kTitleColor);
  mem.TextOut(0, 0, title);
  const CSize linkSize = mem.GetTextExtent(link);
  mem.TextOut(width - linkSize.cx - 1, 0, link);
  mem.SelectObject(oldFont);
  mem.SelectObject(oldBitmap);
  auto band = std::make_unique<CImage>(bitmap);
  if (!band->IsValid()) return nullptr;
  return band;
}

void CollectUsedColors(const CColorSet& palette, std::vector<CPaletteColor>& out) {
  out.clear();
  for (const CPaletteColor& colour : palette.GetColors())
    if (colour.count != 0) out.push_back(colour);
  std::stable_sort(out.begin(), out.end(), CompareUsageDescending);
}

SIZE GetColorListCell(const std::vector<CPaletteColor>& entries, int fontSize) {
  SIZE cell{0, 0};
  CMemoryDC mem;
  if (!mem.IsOk()) return cell;
  CFont font;
  MakeFont(font, "Arial", fontSize);
  CFont* old = mem.SelectObject(&font);
  int widest = 0, tallest = 0;
  for (const CPaletteColor& colour : entries) {
    const CSize size = mem.GetTextExtent(colour.mfgName);
    widest = std::max<int>(widest, size.cx);
    tallest = std::max<int>(tallest, size.cy);
  }
  if (tallest <= 0) tallest = mem.GetTextExtent("X").cy;
  mem.SelectObject(old);
  cell.cx = widest + 2 * fontSize;
  cell.cy = std::max(tallest, 1);
  return cell;
}

bool LayOutColorList(const std::vector<CPaletteColor>& entries, int placement, int fontSize, int width, int height,
                     CColorListLayout& out) {
  out = CColorListLayout();
  if (entries.empty() || (placement != 0 && placement != 1)) return false;
  out.cell = GetColorListCell(entries, fontSize);
  if (out.cell.cx <= 0 || out.cell.cy <= 0) return false;
  const long long count = static_cast<long long>(entries.size());
  if (placement == 0) {
    out.columns = std::max(1, width / static_cast<int>(out.cell.cx));
    out.rows = static_cast<int>((count + out.columns - 1) / out.columns);
    out.width = std::max(width, static_cast<int>(out.cell.cx));
    out.height = ClampToInt(static_cast<double>(out.rows) * out.cell.cy);
  } else {
    out.rows = std::max(1, height / static_cast<int>(out.cell.cy));
    out.columns = static_cast<int>((count + out.rows - 1) / out.rows);
    out.width = ClampToInt(static_cast<double>(out.columns) * out.cell.cx);
    out.height = std::max(height, static_cast<int>(out.cell.cy));
  }
  return out.width > 0 && out.height > 0;
}

std::unique_ptr<CImage> BuildColorListImage(const std::vector<CPaletteColor>& entries, int placement, int fontSize,
                                            int width, int height, const LOGFONT& symbolFont) {
  CColorListLayout layout;
  if (!LayOutColorList(entries, placement, fontSize, width, height, layout)) return nullptr;
  CMemoryDC mem;
  if (!mem.IsOk()) return nullptr;
  CBitmap bitmap;
  if (!CreateScreenBitmap(bitmap, layout.width, layout.height)) return nullptr;
  CBitmap* oldBitmap = mem.SelectObject(&bitmap);
  mem.FillSolidRect(0, 0, layout.width, layout.height, kWhite);
  CFont arial;
  MakeFont(arial, "Arial", fontSize);
  LOGFONT lf = symbolFont;
  lf.lfHeight = fontSize;
  CFont symbols;
  symbols.CreateFontIndirect(&lf);
  mem.SetBkMode(TRANSPARENT);
  const int w = layout.cell.cx, h = layout.cell.cy;
  size_t next = 0;
  for (int row = 0; row < layout.rows && next < entries.size(); ++row) {
    for (int column = 0; column < layout.columns && next < entries.size(); ++column, ++next) {
      const CPaletteColor& colour = entries[next];
      const int x = column * w, y = row * h;
      const CRect swatch(x, y + 1, x + fontSize + 2, y + h - 1);
      mem.FillSolidRect(&swatch, colour.GetColorref());
      if (colour.symbol > 0 && colour.symbol < 256) {
        // The chart symbol inside the swatch.
        CFont* old = mem.SelectObject(&symbols);
        mem.SetTextColor(GetTextColorForBackground(colour.GetColorref()));
        const char code = static_cast<char>(colour.symbol);
        CRect box = swatch;
        mem.DrawText(&code, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        mem.SelectObject(old);
      }
      CFont* old = mem.SelectObject(&arial);
      mem.SetTextColor(RGB(0, 0, 0));
      mem.TextOut(x + fontSize + 5, y, colour.mfgName);
      mem.SelectObject(old);
    }
  }
  mem.SelectObject(oldBitmap);
  auto image = std::make_unique<CImage>(bitmap);
  if (!image->IsValid()) return nullptr;
  return image;
}

bool SavePictureReplacing(const CImage& picture, const CString& path, const int* resolution, int fallbackType) {
  if (!picture.IsValid() || path.IsEmpty()) return false;
  int type = ImageTypeFromExtension(GetFileExtension(path));
  if (!IsWritableType(type)) type = fallbackType;
  if (!IsWritableType(type)) return false;
  GUID guid{};
  CoCreateGuid(&guid);
  CString uuid;
  UuidToCString(guid, uuid);
  const CString temporary = GetPathFolder(path) + "~" + uuid + ".tmp";
  // Saving takes the file's name and type into the picture: a copy is saved.
  CImage writable(picture);
  if (!writable.SaveFile(temporary, type, nullptr, resolution) ||
      (type == kImageTypeBMP && !SetBmpResolution(temporary, resolution))) {
    RemoveFile(temporary);
    return false;
  }
  if (!MoveFileEx(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
    RemoveFile(temporary);
    return false;
  }
  return true;
}

bool SaveDesignPicture(const CImage& picture, double nominalWidth, double nominalHeight, const CString& path,
                       const SIZE* size, bool titleBand) {
  std::unique_ptr<CImage> resized;
  const CImage* design = &picture;
  if (size != nullptr && size->cx > 0 && size->cy > 0 &&
      (size->cx != picture.GetWidth() || size->cy != picture.GetHeight())) {
    CWaitCursor wait;
    resized = picture.CreateResized(*size);
    if (resized && resized->IsValid()) design = resized.get();
  }
  int resolution[2];
  if (!titleBand) {
    ResolutionFor(*design, nominalWidth, nominalHeight, resolution);
    return SavePictureReplacing(*design, path, resolution, kImageTypeJPG);
  }
  std::unique_ptr<CImage> band = BuildTitleBand(design->GetWidth(), -1);
  if (!band) return false;
  bool ok = false;
  CImage joined(*design, *band, 3, kWhite, ok);
  if (!ok) return false;
  const double heightInches =
      (design->GetHeight() + band->GetHeight()) * nominalHeight / std::max(1, design->GetHeight());
  ResolutionFor(joined, nominalWidth, heightInches, resolution);
  return SavePictureReplacing(joined, path, resolution, kImageTypeJPG);
}

bool ComposeBeadedImage(const CImage& picture, double nominalWidth, double nominalHeight, const CColorSet& palette,
                        const LOGFONT& symbolFont, const CGraphicOutputParams& params, const CString& path) {
  const SIZE size{params.m_outputWidth, params.m_outputHeight};
  std::vector<CPaletteColor> entries;
  if (params.m_listPlacement == 0 || params.m_listPlacement == 1) CollectUsedColors(palette, entries);
  // No list: the design with its title band.
  if (entries.empty()) return SaveDesignPicture(picture, nominalWidth, nominalHeight, path, &size, true);

  std::unique_ptr<CImage> resized;
  const CImage* design = &picture;
  if (size.cx > 0 && size.cy > 0 && (size.cx != picture.GetWidth() || size.cy != picture.GetHeight())) {
    resized = picture.CreateResized(size);
    if (resized && resized->IsValid()) design = resized.get();
  }
  const int dw = design->GetWidth(), dh = design->GetHeight();
  if (dw <= 0 || dh <= 0) return false;
  std::unique_ptr<CImage> list =
      BuildColorListImage(entries, params.m_listPlacement, params.m_fontSize, dw, dh, symbolFont);
  if (!list) return false;
  bool ok = false;
  int resolution[2];
  if (params.m_listPlacement == 0) {
    CImage joined(*design, *list, 10, kWhite, ok);
    if (!ok) return false;
    std::unique_ptr<CImage> band = BuildTitleBand(dw, params.m_fontSize);
    if (!band) return false;
    CImage final(joined, *band, 3, kWhite, ok);
    if (!ok) return false;
    const double heightInches =
        static_cast<double>(dh + list->GetHeight() + band->GetHeight()) * nominalHeight / dh;
    ResolutionFor(final, nominalWidth, heightInches, resolution);
    return SavePictureReplacing(final, path, resolution, params.m_fileType);
  }
  CImage joined(10, kWhite, *design, *list, ok);
  if (!ok) return false;
  std::unique_ptr<CImage> band = BuildTitleBand(dw + list->GetWidth(), params.m_fontSize);
  if (!band) return false;
  CImage final(joined, *band, 3, kWhite, ok);
  if (!ok) return false;
  const double widthInches = nominalWidth * (dw + list->GetWidth()) / dw;
  const double heightInches =
      static_cast<double>(joined.GetHeight() + band->GetHeight()) * nominalHeight / joined.GetHeight();
  ResolutionFor(final, widthInches, heightInches, resolution);
  return SavePictureReplacing(final, path, resolution, params.m_fileType);
}

CString WithTypeExtension(const CString& path, int type) {
  if (!GetPathExtension(path).IsEmpty()) return path;
  const char* ext = type == kImageTypeBMP ? ".bmp" : type == kImageTypePNG ? ".png" : ".jpg";
  return path + ext;
}

bool SaveOriginalPicture(const CImage& picture, const CString& sourcePath, const CString& path, int type,
                         SIZE size) {
  const bool ownSize = size.cx == picture.GetWidth() && size.cy == picture.GetHeight();
  if (ownSize && !sourcePath.IsEmpty() && FileExists(sourcePath) &&
      ImageTypeFromExtension(GetFileExtension(sourcePath)) == type) {
    if (sourcePath == path) return true;
    GUID guid{};
    CoCreateGuid(&guid);
    CString uuid;
    UuidToCString(guid, uuid);
    const CString temporary = GetPathFolder(path) + "~" + uuid + ".tmp";
    if (CopyFile(sourcePath, temporary, FALSE) && MoveFileEx(temporary, path, MOVEFILE_REPLACE_EXISTING)) return true;
    RemoveFile(temporary);
    return false;
  }
  std::unique_ptr<CImage> resized;
  const CImage* source = &picture;
  if (!ownSize && size.cx > 0 && size.cy > 0) {
    CWaitCursor wait;
    resized = picture.CreateResized(size);
    if (resized && resized->IsValid()) source = resized.get();
  }
  // The type chosen in the dialog, whatever the name's extension says.
  if (!source->IsValid()) return false;
  GUID guid{};
  CoCreateGuid(&guid);
  CString uuid;
  UuidToCString(guid, uuid);
  const CString temporary = GetPathFolder(path) + "~" + uuid + ".tmp";
  CImage writable(*source);
  if (!writable.SaveFile(temporary, type, nullptr, nullptr) || !MoveFileEx(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
    RemoveFile(temporary);
    return false;
  }
  return true;
}
