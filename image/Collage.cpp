// Collage files: the reader, the layer records and the stored picture names.
#include "image/Collage.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "image/ImageImpl.h"

// ---- The mask ---------------------------------------------------------------------

bool CTransparencyData::Resize(int width, int height) {
  m_width = 0;
  m_height = 0;
  m_mask.clear();
  if (width <= 0 || height <= 0) return width == 0 || height == 0;
  try {
    m_mask.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_width = width;
  m_height = height;
  return true;
}

void CTransparencyData::ClearAll() { std::fill(m_mask.begin(), m_mask.end(), BYTE{0}); }

bool CTransparencyData::IsMasked(int x, int row) const {
  if (x < 0 || row < 0 || x >= m_width || row >= m_height) return true;
  return m_mask[static_cast<size_t>(x) + static_cast<size_t>(row) * static_cast<size_t>(m_width)] != 0;
}

void CTransparencyData::Unmask(int x, int row) {
  if (x < 0 || row < 0 || x >= m_width || row >= m_height) return;
  m_mask[static_cast<size_t>(x) + static_cast<size_t>(row) * static_cast<size_t>(m_width)] = 0;
}

// ---- The common part of a layer record -----------------------------------------------

bool CLayer::Write(CByteStream& s) const {
  return s.WriteInt(m_type) && s.WriteIntPair(m_visibleSize.cx, m_visibleSize.cy) &&
         s.WriteIntPair(m_position.x, m_position.y) && s.WriteByte(m_transparency) && s.WriteInt(m_angle) &&
         s.WriteZeros(28);
}

bool CLayer::Read(CByteStream& s) {
  int w = 0, h = 0, x = 0, y = 0, angle = 0;
  BYTE t = 0;
  if (!s.ReadIntPair(w, h) || !s.ReadIntPair(x, y) || !s.ReadByte(t) || !s.ReadInt(angle) || !s.Skip(28))
    return false;
  m_visibleSize = SIZE{w, h};
  m_position = POINT{x, y};
  m_transparency = t;
  m_angle = angle;
  return true;
}

// ---- Picture layers -------------------------------------------------------------------

CLayerImage::CLayerImage(const char* fileName) : CLayer(kTypeImage), m_fileName(fileName ? fileName : "") {
  if (!m_fileName.IsEmpty() && FileExists(m_fileName)) {
    bool ok = false;
    auto picture = std::make_unique<CImage>(m_fileName.GetString(), ok, kImageTypeNone, nullptr);
    if (ok) m_picture = std::move(picture);
  }
}

int CLayerImage::GetStreamSize() const { return 152 + m_fileName.GetLength(); }

bool CLayerImage::Write(CByteStream& s) const {
  return CLayer::Write(s) && s.WriteString(m_fileName) && s.WriteInt(m_hueShift) && s.WriteInt(m_saturationShift) &&
         s.WriteInt(m_lightnessShift) && s.WriteBytes(m_distortion, 5) && s.WriteInt(m_contrast) &&
         s.WriteInt(m_brightness) && s.WriteInt(m_rotationAngle) && s.WriteInt(m_rotationFill) &&
         s.WriteByte(m_rotationMode) && s.WriteInt(m_crop.left) && s.WriteInt(m_crop.top) &&
         s.WriteInt(m_crop.right) && s.WriteInt(m_crop.bottom) && s.WriteInt(m_edgeFilter) && s.WriteZeros(44);
}

bool CLayerImage::Read(CByteStream& s) {
  if (!CLayer::Read(s)) return false;
  CString name;
  int hue = 0, sat = 0, light = 0, contrast = 0, brightness = 0, angle = 0, edge = 0;
  DWORD fill = 0;
  BYTE distortion[5] = {};
  BYTE mode = 0;
  int crop[4] = {};
  if (!s.ReadString(name) || !s.ReadInt(hue) || !s.ReadInt(sat) || !s.ReadInt(light) || !s.ReadBytes(distortion, 5) ||
      !s.ReadInt(contrast) || !s.ReadInt(brightness) || !s.ReadInt(angle) || !s.ReadInt(fill) || !s.ReadByte(mode))
    return false;
  for (int& c : crop)
    if (!s.ReadInt(c)) return false;
  if (!s.ReadInt(edge) || !s.Skip(44)) return false;
  m_fileName = name;
  m_hueShift = hue;
  m_saturationShift = sat;
  m_lightnessShift = light;
  std::memcpy(m_distortion, distortion, 5);
  m_contrast = contrast;
  m_brightness = brightness;
  m_rotationAngle = angle;
  m_rotationFill = fill;
  m_rotationMode = mode;
  m_crop = RECT{crop[0], crop[1], crop[2], crop[3]};
  m_edgeFilter = edge;
  return true;
}

namespace {

// The parts of a stored name, split on both separators (empty parts dropped).
std::vector<std::string> SplitName(const std::string& name) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : name) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool IsDots(const std::string& part) { return part == "." || part == ".."; }

}  // namespace

CString CLayerImage::ResolveFileName() const {
  const std::string name = m_fileName.str();
  const std::vector<std::string> parts = SplitName(name);
  if (parts.empty() || IsDots(parts.back())) return CString();
  // A Windows drive ("C:") opens an absolute name that cannot exist here.
  const bool driveName = name.size() >= 2 && name[1] == ':';
  const bool absolute = name[0] == '/' || name[0] == '\\' || driveName;
  std::string folder = m_baseFolder.str();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  if (absolute) {
    if (!driveName) {
      std::string posix;
      for (const std::string& p : parts) posix += "/" + p;
      if (FileExists(posix.c_str())) return CString(posix);
    }
  } else {
    bool climbs = false;
    std::string joined;
    for (const std::string& p : parts) {
      if (p == "..") climbs = true;
      if (!joined.empty()) joined += '/';
      joined += p;
    }
    if (!climbs) {
      const std::string candidate = folder + joined;
      if (FileExists(candidate.c_str())) return CString(candidate);
    }
  }
  const std::string alone = folder + parts.back();
  if (FileExists(alone.c_str())) return CString(alone);
  return CString();
}

// ---- Text layers ------------------------------------------------------------------------

CLayerText::CLayerText(const char* text) : CLayer(kTypeText), m_text(text ? text : "") {
  m_font.lfHeight = 24;
  std::strcpy(m_font.lfFaceName, "MS Sans Serif");
}

int CLayerText::GetStreamSize() const { return 164 + m_text.GetLength(); }

bool CLayerText::Write(CByteStream& s) const {
  return CLayer::Write(s) && s.WriteString(m_text) && s.WriteBytes(&m_font, static_cast<int>(sizeof m_font)) &&
         s.WriteInt(m_textColor) && s.WriteInt(m_gradientEnd) && s.WriteByte(m_gradient) && s.WriteInt(m_shadowSize) &&
         s.WriteByte(m_shadowFade) && s.WriteInt(m_shadowColor) && s.WriteZeros(32);
}

bool CLayerText::Read(CByteStream& s) {
  static_assert(sizeof(LOGFONT) == 60);
  if (!CLayer::Read(s)) return false;
  CString text;
  LOGFONT font{};
  DWORD color = 0, end = 0, shadowColor = 0;
  BYTE gradient = 0, fade = 0;
  int shadow = 0;
  if (!s.ReadString(text) || !s.ReadBytes(&font, static_cast<int>(sizeof font)) || !s.ReadInt(color) ||
      !s.ReadInt(end) || !s.ReadByte(gradient) || !s.ReadInt(shadow) || !s.ReadByte(fade) || !s.ReadInt(shadowColor) ||
      !s.Skip(32))
    return false;
  font.lfFaceName[LF_FACESIZE - 1] = 0;  // a face name from the file may lack its end
  m_text = text;
  m_font = font;
  m_textColor = color;
  m_gradientEnd = end;
  m_gradient = gradient;
  m_shadowSize = shadow;
  m_shadowFade = fade;
  m_shadowColor = shadowColor;
  return true;
}

// ---- The collage --------------------------------------------------------------------------

CCollageBase::CCollageBase(IProgress* progress) : m_progress(progress) {}

CCollageBase::~CCollageBase() { Clear(); }

void CCollageBase::Clear() {
  for (CLayer* layer : m_layers) delete layer;
  m_layers.clear();
}

bool CCollageBase::LoadFile(const char* path) {
  if (!path || !*path) return false;
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > 0x7FFFFFFFu) {
    CloseHandle(file);
    return false;
  }
  std::vector<BYTE> buffer;
  try {
    buffer.resize(size);
  } catch (const std::bad_alloc&) {
    CloseHandle(file);
    return false;
  }
  DWORD read = 0;
  const BOOL ok = size == 0 || ReadFile(file, buffer.data(), size, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != size) return false;
  CByteStream stream(buffer.data(), static_cast<int>(size));
  stream.Unscramble();
  if (!Read(stream)) return false;
  m_filePath = path;
  return true;
}

bool CCollageBase::Read(CByteStream& s) {
  Clear();
  int version = 0;
  if (!s.ReadInt(version) || version != 2) return false;
  CString title;
  int width = 0, height = 0, count = 0;
  DWORD background = 0;
  if (!s.ReadString(title) || !s.ReadInt(width) || !s.ReadInt(height) || !s.ReadInt(background) || !s.Skip(32) ||
      !s.ReadInt(count))
    return false;
  m_title = title;
  m_width = width;
  m_height = height;
  m_background = background;
  // Every layer record takes more than its common part: a count the bytes
  // left cannot hold is refused before anything is made.
  if (count < 0 || count > s.GetRemaining() / (CLayer::kCommonSize + 4)) return false;
  for (int i = 0; i < count; ++i) {
    int type = 0;
    if (!s.ReadInt(type)) return false;
    std::unique_ptr<CLayer> layer;
    if (type == CLayer::kTypeImage) layer = std::make_unique<CLayerImage>("");
    else if (type == CLayer::kTypeText) layer = std::make_unique<CLayerText>("");
    else return false;
    if (!layer->Read(s)) return false;
    m_layers.push_back(layer.release());
  }
  return true;
}

bool CCollageBase::LoadAndRender(CImage& picture, const char* path) {
  if (!LoadFile(path)) return false;
  // A canvas of no pixels, or one beyond what a picture may hold, fails here.
  if (m_width <= 0 || m_height <= 0) return false;
  const std::uint64_t stride = (static_cast<std::uint64_t>(m_width) * 3 + 3) & ~std::uint64_t{3};
  if (stride * static_cast<std::uint64_t>(m_height) > GetImageMemoryLimit()) return false;
  if (!picture.CreateBlankInPlace(m_width, m_height, m_background & 0xFFFFFFu)) return false;
  std::string folder = m_filePath.str();
  const size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
  const int count = static_cast<int>(m_layers.size());
  for (int n = 1; n <= count; ++n) {
    CLayer* layer = m_layers[static_cast<size_t>(count - n)];
    if (layer->GetType() == CLayer::kTypeImage) static_cast<CLayerImage*>(layer)->SetBaseFolder(folder.c_str());
    char caption[128];
    std::snprintf(caption, sizeof caption, "%sLayer Creation (#%d from %d)",
                  layer->GetType() == CLayer::kTypeText ? "Text " : "Image ", n, count);
    CString reason;
    if (!layer->Render(picture, reason, m_progress, caption)) return false;
  }
  return true;
}

bool LoadCollageFile(CImage& target, const char* path, IProgress* progress) {
  CCollageBase collage(progress);
  return collage.LoadAndRender(target, path);
}
