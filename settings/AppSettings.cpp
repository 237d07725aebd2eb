#include "settings/AppSettings.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_defs.h"

namespace {

// The single-precision value of 2.54 by which millimetre texts become inches.
constexpr float kCentimetresPerInch = 2.54f;
// English default page, inches (A4).
constexpr double kEnglishPageWidth = 8.268;
constexpr double kEnglishPageHeight = 11.693;
// Russian default page, millimetres (A4).
constexpr const char* kRussianPageWidthText = "210";
constexpr const char* kRussianPageHeightText = "297";

// A bead size entry needs its name's NUL, two floats and four reserved bytes.
constexpr int kMinBeadSizeBytes = 1 + 4 + 4 + 4;

// The index the bead-size search answers when nothing is nearer than its start.
constexpr double kNoBeadSizeDistance = 77777.0;
constexpr int kNoBeadSizeIndex = 1;

CAppSettings* g_registeredSettings = nullptr;

void GetScreenSize(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

bool IsPositiveFinite(double v) { return std::isfinite(v) && v > 0.0; }

// Reads the count of a list whose entries take at least entryBytes each. A
// negative count is a damaged field: the list is taken as empty and the record
// read on. A count the bytes left cannot hold refuses the record.
bool ReadListCount(CByteStream& s, int entryBytes, int& count) {
  if (!s.ReadInt(count)) return false;
  if (count < 0) count = 0;
  return static_cast<long long>(count) * entryBytes <= s.GetRemaining();
}

int ClampedScreenArea(int width, int height) {
  const long long area = static_cast<long long>(width) * height;
  if (area < 0) return 0;
  return area > INT_MAX ? INT_MAX : static_cast<int>(area);
}

}  // namespace

void GetDefaultPageSize(int& units, double& widthInches, double& heightInches, CString& widthText,
                        CString& heightText) {
  if (IsRussianInterface()) {
    units = 2;
    widthText = kRussianPageWidthText;
    heightText = kRussianPageHeightText;
    widthInches = std::atof(widthText) * 0.1 / static_cast<double>(kCentimetresPerInch);
    heightInches = std::atof(heightText) * 0.1 / static_cast<double>(kCentimetresPerInch);
  } else {
    units = 0;
    widthInches = kEnglishPageWidth;
    heightInches = kEnglishPageHeight;
    widthText.Format("%.3f", widthInches);
    heightText.Format("%.3f", heightInches);
  }
}

void GetDefaultPageSize(int& units, CString& widthText, CString& heightText) {
  double width = 0.0, height = 0.0;
  GetDefaultPageSize(units, width, height, widthText, heightText);
}

CString GetDefaultDesignFolder() {
  CString folder = GetDesignFolder();
  if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '/') folder += '/';
  return folder;
}

CAppSettings::CAppSettings() { SetDefaults(); }

void CAppSettings::SetDefaults() {
  SetDefaultsNoFolder();
  if (!FolderExists(m_designFolder)) CreateFolderPath(m_designFolder);
}

void CAppSettings::SetDefaultsNoFolder() {
  m_lastDesign.Empty();
  m_reservedText.Empty();
  m_unusedFlags[0] = 1;
  m_advancedImageQuality = 1;
  m_toolbarShown = 1;
  m_rulerBarShown = 1;
  m_statusBarShown = 1;
  m_reopenLastDesign = 1;
  m_unusedFlags[1] = 1;
  m_warningSound = 1;
  m_reservedBytes[0] = m_reservedBytes[1] = m_reservedBytes[2] = 0;
  m_unusedValues[0] = 7;
  m_recentListSize = 3;
  m_unusedValues[1] = 32;
  m_unusedFloat = 1.0f;
  m_viewBackgroundColor = 0x808080;
  m_blankColor = 0xFFFFFF;
  m_borderColor = 0xFFFFFFFF;
  int screenWidth = 0, screenHeight = 0;
  GetScreenSize(screenWidth, screenHeight);
  m_virtualScreenSize = ClampedScreenArea(screenWidth, screenHeight);
  m_maxBeads = 1000000;
  m_unusedValues[2] = 0;
  m_rulerUnits = IsRussianInterface() ? 2 : 1;
  m_rightClickAction = 1;
  m_showColor = 1;
  m_omitUnusedColors = 1;
  m_unusedFlags[2] = 1;
  m_reservedBytes[3] = m_reservedBytes[4] = 0;
  m_unusedValues[3] = 4;
  m_unusedList.clear();
  m_unusedFlags[3] = 1;
  m_unusedFlags[4] = 1;
  m_beadRealColorShown = 1;
  m_unusedFlags[5] = 1;
  m_designInfoShown = 1;
  m_paletteInfoShown = 1;
  GetDefaultPageSize(m_pdfPageUnits, m_pdfPageWidth, m_pdfPageHeight, m_pdfPageWidthText, m_pdfPageHeightText);
  m_pdfPageFormat = 2;
  m_pdfZoom = 100.0;
  FillDefaultBeadSizes();
  m_designFolder = GetDefaultDesignFolder();
  m_printChoice = 0;
}

void CAppSettings::FillDefaultBeadSizes() {
  m_beadSizes.clear();
  m_beadSizes.reserve(kPresetCount);
  for (int n = 1; n <= kPresetCount; ++n) {
    CBeadSize size;
    size.name.Format("%d", n);
    size.width = size.height = 1.0f / static_cast<float>(n);
    if (n == 1 || n == 2) {
      size.width = size.height = 0.5f;
    } else if (n == 11) {
      size.width = 0.05f;
      size.height = 0.06667f;
    }
    m_beadSizes.push_back(size);
  }
}

int CAppSettings::GetStoredSize() const {
  long long size = kFixedBytes;
  size += CByteStream::StringSize(m_lastDesign);
  size += CByteStream::StringSize(m_reservedText);
  size += CByteStream::StringSize(m_pdfPageWidthText);
  size += CByteStream::StringSize(m_pdfPageHeightText);
  size += CByteStream::StringSize(m_designFolder);
  size += 4 + 4 * static_cast<long long>(m_unusedList.size());
  for (const CBeadSize& b : m_beadSizes) size += CByteStream::StringSize(b.name) + 12;
  size += 4 + kReservedTail;
  return size > INT_MAX ? -1 : static_cast<int>(size);
}

bool CAppSettings::Write(CByteStream& s) const {
  if (!s.WriteString(m_lastDesign) || !s.WriteString(m_reservedText)) return false;
  const BYTE flags1[11] = {m_unusedFlags[0],   m_advancedImageQuality, m_toolbarShown,    m_rulerBarShown,
                           m_statusBarShown,   m_reopenLastDesign,     m_unusedFlags[1],  m_warningSound,
                           m_reservedBytes[0], m_reservedBytes[1],     m_reservedBytes[2]};
  for (BYTE b : flags1)
    if (!s.WriteByte(b)) return false;
  if (!s.WriteInt(m_unusedValues[0]) || !s.WriteInt(m_recentListSize) || !s.WriteInt(m_unusedValues[1]) ||
      !s.WriteFloat(m_unusedFloat) || !s.WriteInt(m_viewBackgroundColor) || !s.WriteInt(m_blankColor) ||
      !s.WriteInt(m_borderColor) || !s.WriteInt(m_virtualScreenSize) || !s.WriteInt(m_maxBeads) ||
      !s.WriteInt(m_unusedValues[2]) || !s.WriteInt(m_rulerUnits) || !s.WriteInt(m_rightClickAction))
    return false;
  const BYTE flags2[5] = {m_showColor, m_omitUnusedColors, m_unusedFlags[2], m_reservedBytes[3], m_reservedBytes[4]};
  for (BYTE b : flags2)
    if (!s.WriteByte(b)) return false;
  if (!s.WriteInt(m_unusedValues[3]) || !s.WriteIntVector(m_unusedList)) return false;
  const BYTE flags3[6] = {m_unusedFlags[3], m_unusedFlags[4],  m_beadRealColorShown,
                          m_unusedFlags[5], m_designInfoShown, m_paletteInfoShown};
  for (BYTE b : flags3)
    if (!s.WriteByte(b)) return false;
  if (!s.WriteInt(m_pdfPageUnits) || !s.WriteDouble(m_pdfPageWidth) || !s.WriteDouble(m_pdfPageHeight) ||
      !s.WriteString(m_pdfPageWidthText) || !s.WriteString(m_pdfPageHeightText) || !s.WriteInt(m_pdfPageFormat) ||
      !s.WriteDouble(m_pdfZoom))
    return false;
  if (!s.WriteInt(static_cast<int>(m_beadSizes.size()))) return false;
  for (const CBeadSize& b : m_beadSizes) {
    if (!s.WriteString(b.name) || !s.WriteFloat(b.width) || !s.WriteFloat(b.height) || !s.WriteZeros(4)) return false;
  }
  return s.WriteString(m_designFolder) && s.WriteInt(m_printChoice) && s.WriteZeros(kReservedTail);
}

bool CAppSettings::Read(CByteStream& s) {
  CAppSettings r(*this);
  if (!s.ReadString(r.m_lastDesign) || !s.ReadString(r.m_reservedText)) return false;
  BYTE* flags1[11] = {&r.m_unusedFlags[0],   &r.m_advancedImageQuality, &r.m_toolbarShown,    &r.m_rulerBarShown,
                      &r.m_statusBarShown,   &r.m_reopenLastDesign,     &r.m_unusedFlags[1],  &r.m_warningSound,
                      &r.m_reservedBytes[0], &r.m_reservedBytes[1],     &r.m_reservedBytes[2]};
  for (BYTE* b : flags1)
    if (!s.ReadByte(*b)) return false;
  if (!s.ReadInt(r.m_unusedValues[0]) || !s.ReadInt(r.m_recentListSize) || !s.ReadInt(r.m_unusedValues[1]) ||
      !s.ReadFloat(r.m_unusedFloat) || !s.ReadInt(r.m_viewBackgroundColor) || !s.ReadInt(r.m_blankColor) ||
      !s.ReadInt(r.m_borderColor) || !s.ReadInt(r.m_virtualScreenSize) || !s.ReadInt(r.m_maxBeads) ||
      !s.ReadInt(r.m_unusedValues[2]) || !s.ReadInt(r.m_rulerUnits) || !s.ReadInt(r.m_rightClickAction))
    return false;
  BYTE* flags2[5] = {&r.m_showColor, &r.m_omitUnusedColors, &r.m_unusedFlags[2], &r.m_reservedBytes[3],
                     &r.m_reservedBytes[4]};
  for (BYTE* b : flags2)
    if (!s.ReadByte(*b)) return false;
  int count = 0;
  if (!s.ReadInt(r.m_unusedValues[3]) || !ReadListCount(s, 4, count)) return false;
  r.m_unusedList.assign(static_cast<size_t>(count), 0);
  for (int& v : r.m_unusedList)
    if (!s.ReadInt(v)) return false;
  BYTE* flags3[6] = {&r.m_unusedFlags[3], &r.m_unusedFlags[4],  &r.m_beadRealColorShown,
                     &r.m_unusedFlags[5], &r.m_designInfoShown, &r.m_paletteInfoShown};
  for (BYTE* b : flags3)
    if (!s.ReadByte(*b)) return false;
  if (!s.ReadInt(r.m_pdfPageUnits) || !s.ReadDouble(r.m_pdfPageWidth) || !s.ReadDouble(r.m_pdfPageHeight) ||
      !s.ReadString(r.m_pdfPageWidthText) || !s.ReadString(r.m_pdfPageHeightText) || !s.ReadInt(r.m_pdfPageFormat) ||
      !s.ReadDouble(r.m_pdfZoom))
    return false;
  if (!ReadListCount(s, kMinBeadSizeBytes, count)) return false;
  r.m_beadSizes.clear();
  r.m_beadSizes.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    CBeadSize b;
    if (!s.ReadString(b.name) || !s.ReadFloat(b.width) || !s.ReadFloat(b.height) || !s.Skip(4)) return false;
    r.m_beadSizes.push_back(std::move(b));
  }
  if (!s.ReadString(r.m_designFolder) || !s.ReadInt(r.m_printChoice) || !s.Skip(kReservedTail)) return false;
  *this = std::move(r);
  return true;
}

bool CAppSettings::WriteToBytes(std::vector<BYTE>& bytes) const {
  bytes.clear();
  const int size = GetStoredSize();
  if (size <= 0) return false;
  bytes.assign(static_cast<size_t>(size), 0);
  CByteStream stream(bytes.data(), size, 0);
  if (!Write(stream) || stream.GetRemaining() != 0) {
    bytes.clear();
    return false;
  }
  return true;
}

bool CAppSettings::Save() const {
  std::vector<BYTE> bytes;
  return WriteToBytes(bytes) &&
         WriteProgramBinaryValue(kValueName, bytes);
}

bool CAppSettings::LoadFromBytes(const BYTE* data, size_t size) {
  bool accepted = false;
  if (size <= static_cast<size_t>(INT_MAX)) {
    // The stream reads through a non-const pointer; the record never writes it.
    std::vector<BYTE> copy(data, data + size);
    CByteStream stream(copy.data(), static_cast<int>(copy.size()), 0);
    accepted = Read(stream) && IsScreenAreaPlausible();
  }
  if (!accepted) {
    SetDefaults();
    return false;
  }
  RepairValues();
  return true;
}

bool CAppSettings::Load() {
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(kValueName, bytes)) {
    SetDefaults();
    return false;
  }
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool CAppSettings::IsScreenAreaPlausible(int screenWidth, int screenHeight) const {
  const long long area = static_cast<long long>(screenWidth) * screenHeight;
  const long long size = m_virtualScreenSize;
  return area * 50 / 100 <= size && size <= area * 2000 / 100;
}

bool CAppSettings::IsScreenAreaPlausible() const {
  int screenWidth = 0, screenHeight = 0;
  GetScreenSize(screenWidth, screenHeight);
  return IsScreenAreaPlausible(screenWidth, screenHeight);
}

int CAppSettings::FindNearestBeadSize(double width, double height) const {
  int best = kNoBeadSizeIndex;
  double bestDistance = kNoBeadSizeDistance;
  for (size_t i = 0; i < m_beadSizes.size(); ++i) {
    const double dw = width - static_cast<double>(m_beadSizes[i].width);
    const double dh = height - static_cast<double>(m_beadSizes[i].height);
    const double d = dw * dw + dh * dh;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

bool CAppSettings::GetBeadSize(int index, double& width, double& height) const {
  if (m_beadSizes.empty()) return false;
  const int last = static_cast<int>(m_beadSizes.size()) - 1;
  if (index < 0) index = 0;
  if (index > last) index = last;
  width = m_beadSizes[static_cast<size_t>(index)].width;
  height = m_beadSizes[static_cast<size_t>(index)].height;
  return true;
}

void CAppSettings::RepairValues() {
  if (m_recentListSize < 0 || m_recentListSize > kMaxRecentListSize) m_recentListSize = 3;
  if (m_maxBeads < kMinMaxBeads || m_maxBeads > kMaxMaxBeads) m_maxBeads = 1000000;
  if (m_rulerUnits < 0 || m_rulerUnits > 3) m_rulerUnits = IsRussianInterface() ? 2 : 1;
  if (m_rightClickAction < 0 || m_rightClickAction > 2) m_rightClickAction = 1;
  if (m_pdfPageUnits < 0 || m_pdfPageUnits > 2 || !IsPositiveFinite(m_pdfPageWidth) ||
      !IsPositiveFinite(m_pdfPageHeight) || m_pdfPageWidth > kMaxPdfPageInches ||
      m_pdfPageHeight > kMaxPdfPageInches) {
    GetDefaultPageSize(m_pdfPageUnits, m_pdfPageWidth, m_pdfPageHeight, m_pdfPageWidthText, m_pdfPageHeightText);
  }
  if (m_pdfPageFormat < 0 || m_pdfPageFormat > 2) m_pdfPageFormat = 2;
  if (!(m_pdfZoom >= kMinPdfZoom && m_pdfZoom <= kMaxPdfZoom)) m_pdfZoom = 100.0;
  std::erase_if(m_beadSizes, [](const CBeadSize& b) {
    return !IsPositiveFinite(b.width) || !IsPositiveFinite(b.height);
  });
  if (m_beadSizes.empty()) FillDefaultBeadSizes();
}

CAppSettings& GetAppSettings() {
  if (g_registeredSettings) return *g_registeredSettings;
  static CAppSettings fallback;
  return fallback;
}

void SetAppSettings(CAppSettings* settings) { g_registeredSettings = settings; }

bool IsRulerBarVisible() { return GetAppSettings().m_rulerBarShown != 0; }
