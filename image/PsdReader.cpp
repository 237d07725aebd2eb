// The Photoshop document reader: header, colour mode data, image resources,
// the skipped layer section and the composite image, raw or PackBits.
#include "image/PsdReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "image/ImageImpl.h"
#include "image/codec/CodecFile.h"

namespace {

bool ReadBytes(CCodecFile& f, void* out, size_t n) { return n == 0 || f.Read(out, 1, n) == n; }

bool ReadU16(CCodecFile& f, std::uint16_t& v) {
  BYTE b[2];
  if (!ReadBytes(f, b, 2)) return false;
  v = static_cast<std::uint16_t>((b[0] << 8) | b[1]);
  return true;
}

bool ReadU32(CCodecFile& f, std::uint32_t& v) {
  BYTE b[4];
  if (!ReadBytes(f, b, 4)) return false;
  v = (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
      (static_cast<std::uint32_t>(b[2]) << 8) | b[3];
  return true;
}

std::uint16_t BE16(const BYTE* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
std::uint32_t BE32(const BYTE* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

// Skips n bytes; false when fewer are left.
bool SkipBytes(CCodecFile& f, std::uint64_t n) {
  if (n == 0) return true;
  if (static_cast<std::uint64_t>(f.BytesLeft()) < n) return false;
  return f.Seek(static_cast<long>(n), SEEK_CUR);
}

// Channel planes the colour mode needs (and reads).
int NeededChannels(int mode, int channels) {
  switch (mode) {
    case kPsdModeRGB:
    case kPsdModeLab: return 3;
    case kPsdModeCMYK: return 4;
    case kPsdModeMultichannel: return channels >= 4 ? 4 : 3;
    default: return 1;
  }
}

BYTE ClampByte(double v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<BYTE>(v);
}

// PackBits into out until it is full. False when the input ends first.
bool UnpackBits(CCodecFile& f, BYTE* out, size_t size) {
  size_t pos = 0;
  BYTE buffer[128];
  while (pos < size) {
    const long n = f.GetC();
    if (n < 0) return false;
    if (n < 128) {
      const size_t count = static_cast<size_t>(n) + 1;
      if (!ReadBytes(f, buffer, count)) return false;
      const size_t take = std::min(count, size - pos);
      std::memcpy(out + pos, buffer, take);
      pos += take;
    } else if (n > 128) {
      const long v = f.GetC();
      if (v < 0) return false;
      const size_t count = static_cast<size_t>(257 - n);
      const size_t take = std::min(count, size - pos);
      std::memset(out + pos, static_cast<int>(v), take);
      pos += take;
    }
  }
  return true;
}

}  // namespace

CPsdReader::~CPsdReader() { FreeBitmap(); }

void CPsdReader::FreeBitmap() {
  if (m_bitmap && !m_detached) DeleteObject(m_bitmap);
  m_bitmap = nullptr;
  m_detached = false;
}

HBITMAP CPsdReader::DetachBitmap() {
  if (!m_bitmap) return nullptr;
  m_detached = true;
  HBITMAP b = m_bitmap;
  m_bitmap = nullptr;
  m_detached = false;
  return b;
}

int CPsdReader::Load(const char* fileName) {
  CCodecIOFile file;
  if (!fileName || !file.Open(fileName, "rb")) return kPsdCannotOpen;
  return LoadFromStream(file);
}

int CPsdReader::LoadFromBytes(const BYTE* data, size_t size) {
  if (!data || size > 0x7FFFFFFF) return kPsdCannotOpen;
  CCodecMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  return LoadFromStream(file);
}

int CPsdReader::LoadFromStream(CCodecFile& file) {
  FreeBitmap();
  try {
    // Header.
    BYTE h[26];
    if (!ReadBytes(file, h, sizeof h)) return kPsdBadHeader;
    if (std::memcmp(h, "8BPS", 4) != 0 || BE16(h + 4) != 1) return kPsdBadHeader;
    for (int i = 6; i < 12; ++i)
      if (h[i]) return kPsdBadHeader;
    m_channels = BE16(h + 12);
    m_height = static_cast<long>(BE32(h + 14));
    m_width = static_cast<long>(BE32(h + 18));
    m_depth = BE16(h + 22);
    m_mode = BE16(h + 24);

    // Colour mode data.
    std::uint32_t length = 0;
    if (!ReadU32(file, length)) return kPsdBadColorModeData;
    m_colorModeData.clear();
    if (length > 0) {
      if (static_cast<std::uint64_t>(file.BytesLeft()) < length) return kPsdBadColorModeData;
      m_colorModeData.resize(length);
      if (!ReadBytes(file, m_colorModeData.data(), length)) return kPsdBadColorModeData;
    }

    if (!ReadResources(file)) return kPsdBadResources;

    // Layer and mask information: skipped.
    if (!ReadU32(file, length) || !SkipBytes(file, length)) return kPsdBadImageData;

    std::uint16_t compression = 0;
    if (!ReadU16(file, compression)) return kPsdBadImageData;
    if (compression == 2) return kPsdZip;
    if (compression == 3) return kPsdZipPrediction;
    if (compression > 1) return kPsdBadCompression;
    if (m_depth == 1) return kPsdDepth1;
    if (m_depth != 8 && m_depth != 16) return kPsdBadDepth;
    const int needed = NeededChannels(m_mode, m_channels);
    if (m_channels < needed) return kPsdBadImageData;
    // The picture must fit before anything is allocated for it.
    if (m_width <= 0 || m_height <= 0 ||
        DibRowStride(m_width, 24) * static_cast<std::uint64_t>(m_height) > GetImageMemoryLimit())
      return kPsdNoBitmap;

    std::vector<std::vector<BYTE>> planes;
    const int status = ReadImageData(file, compression, planes, needed);
    if (status != kPsdOk) return status;
    return MakeBitmap(planes);
  } catch (const std::bad_alloc&) {
    return kPsdBadImageData;
  }
}

bool CPsdReader::ReadResources(CCodecFile& file) {
  std::uint32_t sectionLength = 0;
  if (!ReadU32(file, sectionLength)) return false;
  std::uint64_t consumed = 0;
  while (consumed < sectionLength && !file.Eof()) {
    BYTE signature[4];
    if (!ReadBytes(file, signature, 4)) break;
    consumed += 4;
    if (std::memcmp(signature, "8BIM", 4) != 0) continue;
    std::uint16_t id = 0;
    if (!ReadU16(file, id)) break;
    consumed += 2;
    const long nameLength = file.GetC();
    if (nameLength < 0) break;
    consumed += 1;
    std::uint64_t nameBytes = static_cast<std::uint64_t>(nameLength);
    if ((1 + nameLength) % 2 != 0) ++nameBytes;  // padded to an even size
    if (!SkipBytes(file, nameBytes)) break;
    consumed += nameBytes;
    std::uint32_t size = 0;
    if (!ReadU32(file, size)) break;
    consumed += 4;
    const std::uint64_t padded = (static_cast<std::uint64_t>(size) + 1) & ~std::uint64_t{1};
    if (static_cast<std::uint64_t>(file.BytesLeft()) < padded) break;
    std::vector<BYTE> data(size);
    if (!ReadBytes(file, data.data(), size)) break;
    if (padded > size && !SkipBytes(file, padded - size)) break;
    consumed += padded;
    ParseResource(id, data);
  }
  return consumed == sectionLength;
}

void CPsdReader::ParseResource(int id, const std::vector<BYTE>& d) {
  const BYTE* p = d.data();
  const size_t n = d.size();
  auto s16 = [&](size_t at) { return static_cast<std::int16_t>(BE16(p + at)); };
  auto s32 = [&](size_t at) { return static_cast<std::int32_t>(BE32(p + at)); };
  switch (id) {
    case 1000:
      if (n >= 10) {
        m_res.hasObsoleteInfo = true;
        m_res.oldChannels = s16(0);
        m_res.oldRows = s16(2);
        m_res.oldColumns = s16(4);
        m_res.oldDepth = s16(6);
        m_res.oldMode = s16(8);
      }
      break;
    case 1005:
      if (n >= 16) {
        m_res.hasResolution = true;
        m_res.hRes = s32(0);
        m_res.hResUnit = s16(4);
        m_res.widthUnit = s16(6);
        m_res.vRes = s32(8);
        m_res.vResUnit = s16(12);
        m_res.heightUnit = s16(14);
      }
      break;
    case 1007:
      if (n >= 14) {
        m_res.hasDisplayInfo = true;
        m_res.colorSpace = s16(0);
        for (int i = 0; i < 4; ++i) m_res.color[i] = BE16(p + 2 + 2 * i);
        m_res.opacity = s16(10);
        m_res.kind = p[12];
      }
      break;
    case 1033:
    case 1036:
      // The thumbnail's 28-byte header; its pixels are dropped.
      if (n >= 28) {
        m_res.hasThumbnail = true;
        m_res.thumbFormat = s32(0);
        m_res.thumbWidth = s32(4);
        m_res.thumbHeight = s32(8);
        m_res.thumbRowBytes = s32(12);
        m_res.thumbTotalSize = s32(16);
        m_res.thumbCompressedSize = s32(20);
        m_res.thumbBitsPerPixel = s16(24);
        m_res.thumbPlanes = s16(26);
      }
      break;
    case 1034:
      if (n >= 1) {
        m_res.hasCopyrightFlag = true;
        m_res.copyrightFlag = p[0];
      }
      break;
    case 1037:
      if (n >= 4) m_res.globalAngle = s32(0);
      break;
    case 1046:
      if (n >= 2) m_res.indexedColorCount = s16(0);
      break;
    case 1047:
      if (n >= 2) m_res.transparencyIndex = s16(0);
      break;
    default: break;
  }
}

int CPsdReader::ReadImageData(CCodecFile& file, int compression, std::vector<std::vector<BYTE>>& planes, int needed) {
  const std::uint64_t bytesPerSample = static_cast<std::uint64_t>(m_depth / 8);
  const std::uint64_t planeSize =
      static_cast<std::uint64_t>(m_width) * static_cast<std::uint64_t>(m_height) * bytesPerSample;
  planes.assign(static_cast<size_t>(needed), std::vector<BYTE>());
  if (compression == 0) {
    // Raw: the channel planes one after the other; the first ones needed
    // are read, extra channels (alpha and the like) are left.
    if (static_cast<std::uint64_t>(file.BytesLeft()) < planeSize * static_cast<std::uint64_t>(needed))
      return kPsdBadImageData;
    for (auto& plane : planes) {
      plane.resize(static_cast<size_t>(planeSize));
      if (!ReadBytes(file, plane.data(), plane.size())) return kPsdBadImageData;
    }
    return kPsdOk;
  }
  // RLE: a table of row byte counts, then each channel's PackBits runs.
  const std::uint64_t table = 2ull * static_cast<std::uint64_t>(m_channels) * static_cast<std::uint64_t>(m_height);
  if (!SkipBytes(file, table)) return kPsdBadImageData;
  for (auto& plane : planes) {
    plane.resize(static_cast<size_t>(planeSize));
    if (!UnpackBits(file, plane.data(), plane.size())) return kPsdBadImageData;
  }
  return kPsdOk;
}

int CPsdReader::MakeBitmap(const std::vector<std::vector<BYTE>>& planes) {
  const int w = static_cast<int>(m_width), h = static_cast<int>(m_height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  void* bitsPointer = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bitsPointer, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!bitmap || !bitsPointer) {
    if (bitmap) DeleteObject(bitmap);
    return kPsdNoBitmap;
  }
  BYTE* bits = static_cast<BYTE*>(bitsPointer);
  const size_t stride = static_cast<size_t>(DibRowStride(w, 24));
  std::memset(bits, 0xFF, stride * static_cast<size_t>(h));  // white

  const bool wide = m_depth == 16;
  const double full = wide ? 65536.0 : 256.0;
  // The sample's high byte, and its value at full depth.
  auto high = [&](int c, size_t i) -> BYTE { return planes[static_cast<size_t>(c)][wide ? 2 * i : i]; };
  auto value = [&](int c, size_t i) -> double {
    const BYTE* p = planes[static_cast<size_t>(c)].data();
    return wide ? static_cast<double>(BE16(p + 2 * i)) : static_cast<double>(p[i]);
  };
  // The colour table of an indexed document: 256 entries (red, green and
  // blue planes). The colour-count resource, when there is one, only says
  // how many of them are in use.
  const bool indexedOk = m_mode == kPsdModeIndexed && m_colorModeData.size() == 768;
  const int channelsUsed = static_cast<int>(planes.size());

  for (int t = 0; t < h; ++t) {
    BYTE* row = bits + static_cast<size_t>(h - 1 - t) * stride;
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(t) * static_cast<size_t>(w) + static_cast<size_t>(x);
      BYTE r = 255, g = 255, b = 255;
      switch (m_mode) {
        case kPsdModeGrayscale:
        case kPsdModeDuotone: r = g = b = high(0, i); break;
        case kPsdModeIndexed:
          if (indexedOk) {
            const BYTE k = high(0, i);
            r = m_colorModeData[k];
            g = m_colorModeData[256 + k];
            b = m_colorModeData[512 + k];
          }
          break;
        case kPsdModeRGB:
          r = high(0, i);
          g = high(1, i);
          b = high(2, i);
          break;
        case kPsdModeCMYK:
        case kPsdModeMultichannel: {
          // Ink is stored inverted.
          const double c = 1.0 - value(0, i) / full;
          const double m = 1.0 - value(1, i) / full;
          const double y = 1.0 - value(2, i) / full;
          const double k = channelsUsed >= 4 ? 1.0 - value(3, i) / full : 0.0;
          r = ClampByte(std::trunc((1.0 - (k + (1.0 - k) * c)) * 255.0));
          g = ClampByte(std::trunc((1.0 - (k + (1.0 - k) * m)) * 255.0));
          b = ClampByte(std::trunc((1.0 - (k + (1.0 - k) * y)) * 255.0));
          break;
        }
        case kPsdModeLab: {
          const double L = value(0, i) / (full * 0.01);
          const double A = value(1, i) / (full / 256.0) - 128.0;
          const double B = value(2, i) / (full / 256.0) - 128.0;
          const double fy = (L + 16.0) / 116.0;
          const double fx = fy + A / 500.0;
          const double fz = fy - B / 200.0;
          auto f3 = [](double f) {
            const double c = f * f * f;
            return c > 0.008856 ? c : (f - 16.0 / 116.0) * 0.1284191601386927;
          };
          const double X = f3(fx) * 95.047 / 100.0;
          const double Y = f3(fy) * 100.0 / 100.0;
          const double Z = f3(fz) * 108.883 / 100.0;
          double rgb[3] = {3.2406 * X - 1.5372 * Y - 0.4986 * Z, -0.9689 * X + 1.8758 * Y + 0.0415 * Z,
                           0.0557 * X - 0.2040 * Y + 1.0570 * Z};
          for (double& v : rgb) v = v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
          r = ClampByte(std::trunc(rgb[0] * 256.0));
          g = ClampByte(std::trunc(rgb[1] * 256.0));
          b = ClampByte(std::trunc(rgb[2] * 256.0));
          break;
        }
        default: break;
      }
      row[3 * x] = b;
      row[3 * x + 1] = g;
      row[3 * x + 2] = r;
    }
  }
  m_bitmap = bitmap;
  m_detached = false;
  return kPsdOk;
}
