#include "image/codec/JpegExif.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

namespace {

const int kBytesPerFormat[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
constexpr int NUM_FORMATS = 12;

enum : int {
  FMT_BYTE = 1, FMT_STRING, FMT_USHORT, FMT_ULONG, FMT_URATIONAL, FMT_SBYTE, FMT_UNDEFINED, FMT_SSHORT, FMT_SLONG,
  FMT_SRATIONAL, FMT_SINGLE, FMT_DOUBLE
};

enum : int {
  TAG_MAKE = 0x010F, TAG_MODEL = 0x0110, TAG_ORIENTATION = 0x0112, TAG_XRESOLUTION = 0x011A,
  TAG_YRESOLUTION = 0x011B, TAG_RESOLUTIONUNIT = 0x0128, TAG_DATETIME = 0x0132, TAG_THUMBNAIL_OFFSET = 0x0201,
  TAG_THUMBNAIL_LENGTH = 0x0202, TAG_EXPOSURETIME = 0x829A, TAG_FNUMBER = 0x829D, TAG_EXIF_OFFSET = 0x8769,
  TAG_EXPOSURE_PROGRAM = 0x8822, TAG_ISO_EQUIVALENT = 0x8827, TAG_DATETIME_ORIGINAL = 0x9003,
  TAG_COMPRESSION_LEVEL = 0x9102, TAG_SHUTTERSPEED = 0x9201, TAG_APERTURE = 0x9202, TAG_BRIGHTNESS = 0x9203,
  TAG_EXPOSURE_BIAS = 0x9204, TAG_MAXAPERTURE = 0x9205, TAG_SUBJECT_DISTANCE = 0x9206, TAG_METERING_MODE = 0x9207,
  TAG_WHITEBALANCE = 0x9208, TAG_FLASH = 0x9209, TAG_FOCALLENGTH = 0x920A, TAG_USERCOMMENT = 0x9286,
  TAG_EXIF_IMAGEWIDTH = 0xA002, TAG_EXIF_IMAGELENGTH = 0xA003, TAG_INTEROP_OFFSET = 0xA005,
  TAG_FOCALPLANEXRES = 0xA20E, TAG_FOCALPLANEYRES = 0xA20F, TAG_FOCALPLANEUNITS = 0xA210
};

// Unit factors of the resolution-unit tags (values 1 to 5); 0 = ignored.
float UnitFactor(int unit) {
  switch (unit) {
    case 1:
    case 2: return 1.0f;
    case 3: return 0.3937007874f;
    case 4: return 0.03937007874f;
    case 5: return 0.00003937007874f;
    default: return 0.0f;
  }
}

void CopyText(char* dst, size_t dstSize, const BYTE* src, std::uint64_t n) {
  const size_t m = static_cast<size_t>(n < dstSize - 1 ? n : dstSize - 1);
  std::memcpy(dst, src, m);
  dst[m] = 0;
}

}  // namespace

CJpegExif::CJpegExif(EXIFINFO* info) {
  if (info) {
    m_exifinfo = info;
    freeinfo = false;
  } else {
    m_exifinfo = static_cast<EXIFINFO*>(std::calloc(1, sizeof(EXIFINFO)));
    freeinfo = true;
  }
  m_szLastError[0] = 0;
  ExifImageWidth = 0;
  MotorolaOrder = false;
  SectionsRead = 0;
  std::memset(Sections, 0, sizeof(Sections));
}

CJpegExif::~CJpegExif() {
  for (int i = 0; i < SectionsRead; ++i) std::free(Sections[i].Data);
  if (freeinfo) std::free(m_exifinfo);
}

void CJpegExif::SetError(const char* text) { std::snprintf(m_szLastError, sizeof(m_szLastError), "%s", text); }

int CJpegExif::Get16u(const BYTE* p) const {
  return MotorolaOrder ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
}

unsigned CJpegExif::Get32u(const BYTE* p) const {
  if (MotorolaOrder)
    return (static_cast<unsigned>(p[0]) << 24) | (static_cast<unsigned>(p[1]) << 16) |
           (static_cast<unsigned>(p[2]) << 8) | p[3];
  return (static_cast<unsigned>(p[3]) << 24) | (static_cast<unsigned>(p[2]) << 16) |
         (static_cast<unsigned>(p[1]) << 8) | p[0];
}

int CJpegExif::Get32s(const BYTE* p) const { return static_cast<int>(Get32u(p)); }

double CJpegExif::ConvertAnyFormat(const BYTE* ValuePtr, int Format) const {
  switch (Format) {
    case FMT_SBYTE: return static_cast<signed char>(*ValuePtr);
    case FMT_BYTE: return *ValuePtr;
    case FMT_USHORT: return Get16u(ValuePtr);
    case FMT_ULONG: return Get32u(ValuePtr);
    case FMT_URATIONAL:
    case FMT_SRATIONAL: {
      const int num = Get32s(ValuePtr);
      const int den = Get32s(ValuePtr + 4);
      if (den == 0) return 0;
      if (Format == FMT_URATIONAL) return static_cast<double>(static_cast<unsigned>(num)) / static_cast<unsigned>(den);
      return static_cast<double>(num) / den;
    }
    case FMT_SSHORT: return static_cast<short>(Get16u(ValuePtr));
    case FMT_SLONG: return Get32s(ValuePtr);
    case FMT_SINGLE: {
      const unsigned u = Get32u(ValuePtr);
      float f;
      std::memcpy(&f, &u, sizeof(f));
      return f;
    }
    case FMT_DOUBLE: {
      std::uint64_t u;
      if (MotorolaOrder)
        u = (static_cast<std::uint64_t>(Get32u(ValuePtr)) << 32) | Get32u(ValuePtr + 4);
      else
        u = (static_cast<std::uint64_t>(Get32u(ValuePtr + 4)) << 32) | Get32u(ValuePtr);
      double d;
      std::memcpy(&d, &u, sizeof(d));
      return d;
    }
    default: return 0;
  }
}

void CJpegExif::ProcessComment(const BYTE* Data, unsigned length) {
  unsigned nch = 0;
  unsigned end = length < 1000 ? length : 1000;
  char* out = m_exifinfo->Comments;
  for (unsigned a = 2; a < end && nch < sizeof(m_exifinfo->Comments) - 1; ++a) {
    const BYTE ch = Data[a];
    if (ch == '\r' && a + 1 < end && Data[a + 1] == '\n') continue;
    if ((ch >= 32 && ch < 127) || ch == '\n' || ch == '\t') out[nch++] = static_cast<char>(ch);
    else out[nch++] = '?';
  }
  out[nch] = 0;
}

void CJpegExif::ProcessSOFn(const BYTE* Data, int marker) {
  m_exifinfo->Height = (Data[3] << 8) | Data[4];
  m_exifinfo->Width = (Data[5] << 8) | Data[6];
  m_exifinfo->IsColor = Data[7] == 3 ? 1 : 0;
  m_exifinfo->Process = marker;
}

bool CJpegExif::ReadSections(CCodecFile* hFile, int nReadMode) {
  if (!hFile || !m_exifinfo) return false;
  const long a = hFile->GetC();
  const long b = hFile->GetC();
  if (a != 0xFF || b != M_SOI) return false;
  bool haveComment = false;
  for (;;) {
    if (SectionsRead >= MAX_SECTIONS) {
      SetError("Too many sections in jpg file");
      return false;
    }
    long marker = 0;
    for (int n = 0; n < 7; ++n) {
      marker = hFile->GetC();
      if (marker != 0xFF) break;
      if (n >= 6) {
        SetError("too many padding bytes");
        return false;
      }
    }
    if (marker < 0) {
      SetError("Premature end of file?");
      return false;
    }
    const long lh = hFile->GetC();
    const long ll = hFile->GetC();
    if (lh < 0 || ll < 0) {
      SetError("Premature end of file?");
      return false;
    }
    const unsigned itemlen = static_cast<unsigned>((lh << 8) | ll);
    if (itemlen < 2) {
      SetError("invalid marker");
      return false;
    }
    BYTE* Data = static_cast<BYTE*>(std::malloc(itemlen));
    if (!Data) {
      SetError("Could not allocate memory");
      return false;
    }
    Data[0] = static_cast<BYTE>(lh);
    Data[1] = static_cast<BYTE>(ll);
    if (hFile->Read(Data + 2, 1, itemlen - 2) != itemlen - 2) {
      std::free(Data);
      SetError("Premature end of file?");
      return false;
    }
    Section& s = Sections[SectionsRead++];
    s.Data = Data;
    s.Type = static_cast<int>(marker);
    s.Size = itemlen;
    auto drop = [&]() {
      std::free(Data);
      --SectionsRead;
      Sections[SectionsRead].Data = nullptr;
    };

    switch (marker) {
      case M_SOS:
        if (nReadMode & EXIF_READ_IMAGE) {
          const long cp = hFile->Tell();
          const long ep = hFile->Size();
          const long size = ep > cp ? ep - cp : 0;
          BYTE* rest = static_cast<BYTE*>(std::malloc(size ? static_cast<size_t>(size) : 1));
          if (!rest) {
            SetError("could not allocate data for entire image");
            return false;
          }
          if (hFile->Read(rest, 1, static_cast<size_t>(size)) != static_cast<size_t>(size)) {
            std::free(rest);
            SetError("could not read the rest of the image");
            return false;
          }
          Section& img = Sections[SectionsRead++];
          img.Data = rest;
          img.Size = static_cast<unsigned>(size);
          img.Type = M_IMAGE_DATA;
        }
        return true;
      case M_EOI:
        SetError("No image in jpeg!");
        return false;
      case M_COM:
        if (!haveComment && (nReadMode & EXIF_READ_EXIF)) {
          ProcessComment(Data, itemlen);
          haveComment = true;
        } else {
          drop();
        }
        break;
      case M_JFIF:
        drop();
        break;
      case M_EXIF:
        if ((nReadMode & EXIF_READ_EXIF) && itemlen >= 6 && std::memcmp(Data + 2, "Exif", 4) == 0) {
          m_exifinfo->IsExif = ParseExif(Data + 2, itemlen - 2);
        } else {
          drop();
        }
        break;
      case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC5: case 0xC6: case 0xC7:
      case 0xC9: case 0xCA: case 0xCB: case 0xCD: case 0xCE: case 0xCF:
        if (itemlen >= 8) ProcessSOFn(Data, static_cast<int>(marker));
        break;
      default:
        break;
    }
  }
}

bool CJpegExif::ParseExif(const BYTE* data, unsigned length) {
  m_exifinfo->FlashUsed = 0;
  m_exifinfo->Comments[0] = 0;
  ExifImageWidth = 0;
  m_visited.clear();
  static const BYTE kHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
  if (length < 6 || std::memcmp(data, kHeader, 6) != 0) {
    SetError("Incorrect Exif header");
    return false;
  }
  if (length < 6 + 8) {
    SetError("Invalid Exif alignment marker.");
    return false;
  }
  if (std::memcmp(data + 6, "II", 2) == 0) {
    MotorolaOrder = false;
  } else if (std::memcmp(data + 6, "MM", 2) == 0) {
    MotorolaOrder = true;
  } else {
    SetError("Invalid Exif alignment marker.");
    return false;
  }
  if (Get16u(data + 8) != 0x2A) {
    SetError("Invalid Exif start (1)");
    return false;
  }
  const unsigned firstOffset = Get32u(data + 10);
  const BYTE* base = data + 6;
  const unsigned exifLength = length - 6;
  const BYTE* lastRef = base;
  if (!ProcessExifDir(base + 8, base, exifLength, m_exifinfo, &lastRef, 0)) return false;
  if (firstOffset > 8) {
    if (firstOffset >= exifLength) {
      SetError("Illegal subdirectory link");
      return false;
    }
    if (!ProcessExifDir(base + firstOffset, base, exifLength, m_exifinfo, &lastRef, 0)) return false;
  }
  if (m_exifinfo->FocalplaneXRes != 0) {
    m_exifinfo->CCDWidth =
        static_cast<float>(ExifImageWidth * m_exifinfo->FocalplaneUnits / m_exifinfo->FocalplaneXRes);
  }
  return true;
}

bool CJpegExif::ProcessExifDir(const BYTE* DirStart, const BYTE* OffsetBase, unsigned ExifLength, EXIFINFO* pInfo,
                                const BYTE** LastExifRefdP, int depth) {
  // A directory already walked (a link pointing back) ends the walk there.
  const long where = static_cast<long>(DirStart - OffsetBase);
  if (where < 0 || !m_visited.insert(where).second || depth > 16) return true;
  const BYTE* end = OffsetBase + ExifLength;
  if (static_cast<std::uint64_t>(where) + 2 > ExifLength) {
    SetError("Illegally sized directory");
    return false;
  }
  const int NumDirEntries = Get16u(DirStart);
  if (static_cast<std::uint64_t>(where) + 2 + 12 * static_cast<std::uint64_t>(NumDirEntries) > ExifLength) {
    SetError("Illegally sized directory");
    return false;
  }
  for (int de = 0; de < NumDirEntries; ++de) {
    const BYTE* DirEntry = DirStart + 2 + 12 * de;
    const int Tag = Get16u(DirEntry);
    const int Format = Get16u(DirEntry + 2);
    const unsigned Components = Get32u(DirEntry + 4);
    if (Format < 1 || Format > NUM_FORMATS) {
      SetError("Illegal format code in EXIF dir");
      return false;
    }
    const std::uint64_t ByteCount = static_cast<std::uint64_t>(Components) * kBytesPerFormat[Format];
    const BYTE* ValuePtr;
    if (ByteCount > 4) {
      const unsigned OffsetVal = Get32u(DirEntry + 8);
      if (OffsetVal + ByteCount > ExifLength) {
        SetError("Illegal pointer offset value in EXIF.");
        return false;
      }
      ValuePtr = OffsetBase + OffsetVal;
    } else {
      ValuePtr = DirEntry + 8;
    }
    if (*LastExifRefdP < ValuePtr + ByteCount) *LastExifRefdP = ValuePtr + ByteCount;

    // A numeric value needs at least one whole component.
    const bool hasValue = ByteCount >= static_cast<std::uint64_t>(kBytesPerFormat[Format]) && Components > 0;
    const double v = hasValue ? ConvertAnyFormat(ValuePtr, Format) : 0.0;
    const int iv = static_cast<int>(codec::TruncToRange(v, INT_MIN, INT_MAX));
    switch (Tag) {
      case TAG_MAKE: CopyText(pInfo->CameraMake, sizeof(pInfo->CameraMake), ValuePtr, ByteCount); break;
      case TAG_MODEL: CopyText(pInfo->CameraModel, sizeof(pInfo->CameraModel), ValuePtr, ByteCount); break;
      case TAG_DATETIME_ORIGINAL:
      case TAG_DATETIME: CopyText(pInfo->DateTime, sizeof(pInfo->DateTime), ValuePtr, ByteCount); break;
      case TAG_USERCOMMENT: {
        // An 8-byte character-code prefix, then the text.
        if (ByteCount > 8 && std::memcmp(ValuePtr, "ASCII", 5) == 0)
          CopyText(pInfo->Comments, sizeof(pInfo->Comments), ValuePtr + 8, ByteCount - 8);
        else if (ByteCount > 0)
          CopyText(pInfo->Comments, sizeof(pInfo->Comments), ValuePtr, ByteCount);
        break;
      }
      case TAG_FNUMBER: pInfo->ApertureFNumber = static_cast<float>(v); break;
      case TAG_APERTURE:
      case TAG_MAXAPERTURE:
        if (pInfo->ApertureFNumber == 0) pInfo->ApertureFNumber = static_cast<float>(std::exp(v * std::log(2.0) * 0.5));
        break;
      case TAG_BRIGHTNESS: pInfo->Brightness = static_cast<float>(v); break;
      case TAG_FOCALLENGTH: pInfo->FocalLength = static_cast<float>(v); break;
      case TAG_SUBJECT_DISTANCE: pInfo->Distance = static_cast<float>(v); break;
      case TAG_EXPOSURETIME: pInfo->ExposureTime = static_cast<float>(v); break;
      case TAG_SHUTTERSPEED:
        if (pInfo->ExposureTime == 0) pInfo->ExposureTime = static_cast<float>(1 / std::exp(v * std::log(2.0)));
        break;
      case TAG_FLASH: pInfo->FlashUsed = (iv & 1) ? 1 : 0; break;
      case TAG_ORIENTATION: {
        int o = iv;
        if (o < 1 || o > 8) {
          SetError("Undefined rotation value");
          o = 0;
        }
        pInfo->Orientation = o;
        break;
      }
      case TAG_EXIF_IMAGELENGTH:
      case TAG_EXIF_IMAGEWIDTH: {
        const int a = iv;
        if (ExifImageWidth < a) ExifImageWidth = a;
        break;
      }
      case TAG_FOCALPLANEXRES: pInfo->FocalplaneXRes = static_cast<float>(v); break;
      case TAG_FOCALPLANEYRES: pInfo->FocalplaneYRes = static_cast<float>(v); break;
      case TAG_RESOLUTIONUNIT: {
        const float f = UnitFactor(iv);
        if (f != 0) pInfo->ResolutionUnit = f;
        break;
      }
      case TAG_FOCALPLANEUNITS: {
        const float f = UnitFactor(iv);
        if (f != 0) pInfo->FocalplaneUnits = f;
        break;
      }
      case TAG_XRESOLUTION: pInfo->Xresolution = static_cast<float>(v); break;
      case TAG_YRESOLUTION: pInfo->Yresolution = static_cast<float>(v); break;
      case TAG_EXPOSURE_BIAS: pInfo->ExposureBias = static_cast<float>(v); break;
      case TAG_WHITEBALANCE: pInfo->Whitebalance = iv; break;
      case TAG_METERING_MODE: pInfo->MeteringMode = iv; break;
      case TAG_EXPOSURE_PROGRAM: pInfo->ExposureProgram = iv; break;
      case TAG_ISO_EQUIVALENT: {
        int iso = iv;
        if (iso < 50 && iso > -10000000) iso *= 200;
        pInfo->ISOequivalent = iso;
        break;
      }
      case TAG_COMPRESSION_LEVEL: pInfo->CompressionLevel = iv; break;
      case TAG_THUMBNAIL_OFFSET: {
        const unsigned off = hasValue ? static_cast<unsigned>(codec::TruncToRange(v, 0, 0xFFFFFFFFL)) : 0;
        if (off < ExifLength) pInfo->ThumbnailPointer = OffsetBase + off;
        break;
      }
      case TAG_THUMBNAIL_LENGTH: pInfo->ThumbnailSize = hasValue ? static_cast<DWORD>(codec::TruncToRange(v, 0, 0xFFFFFFFFL)) : 0; break;
      case TAG_EXIF_OFFSET:
      case TAG_INTEROP_OFFSET: {
        if (ByteCount < 4) break;
        const unsigned off = Get32u(ValuePtr);
        if (off < 9 || off >= ExifLength) {
          SetError("Illegal subdirectory link");
          return false;
        }
        if (!ProcessExifDir(OffsetBase + off, OffsetBase, ExifLength, pInfo, LastExifRefdP, depth + 1)) return false;
        break;
      }
      default: break;
    }
  }
  // The link to the next directory (the thumbnail's), when there is one.
  const BYTE* next = DirStart + 2 + 12 * NumDirEntries;
  if (next + 4 <= end) {
    const unsigned off = Get32u(next);
    if (off >= 8 && off < ExifLength) ProcessExifDir(OffsetBase + off, OffsetBase, ExifLength, pInfo, LastExifRefdP, depth + 1);
  }
  if (pInfo->ThumbnailPointer && pInfo->ThumbnailSize &&
      (pInfo->ThumbnailPointer < OffsetBase ||
       static_cast<std::uint64_t>(pInfo->ThumbnailPointer - OffsetBase) + pInfo->ThumbnailSize > ExifLength)) {
    pInfo->ThumbnailPointer = nullptr;
    pInfo->ThumbnailSize = 0;
  }
  return true;
}

CJpegExif::Section* CJpegExif::FindSection(int SectionType) {
  for (int a = 0; a < SectionsRead; ++a)
    if (Sections[a].Type == SectionType) return &Sections[a];
  return nullptr;
}

void CJpegExif::KeepExifOnly() {
  int kept = 0;
  bool comment = false;
  for (int a = 0; a < SectionsRead; ++a) {
    Section s = Sections[a];
    const bool keep = s.Type == M_EXIF || (s.Type == M_COM && !comment);
    if (s.Type == M_COM && keep) comment = true;
    if (keep) {
      Sections[kept++] = s;
    } else {
      std::free(s.Data);
    }
  }
  for (int a = kept; a < SectionsRead; ++a) Sections[a].Data = nullptr;
  SectionsRead = kept;
}

bool CJpegExif::WriteSections(CCodecFile* hFile) {
  if (!hFile) return false;
  if (!FindSection(M_IMAGE_DATA) || SectionsRead < 1) {
    SetError("Can't write exif : didn't read all");
    return false;
  }
  bool ok = hFile->PutC(0xFF) && hFile->PutC(M_SOI);
  if (Sections[0].Type != M_EXIF && Sections[0].Type != M_JFIF) {
    static const BYTE kJfif[18] = {0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00,
                                   0x01, 0x01, 0x01, 0x01, 0x2C, 0x01, 0x2C, 0x00, 0x00};
    ok = ok && hFile->Write(kJfif, 1, sizeof(kJfif)) == sizeof(kJfif);
  }
  for (int a = 0; a < SectionsRead - 1 && ok; ++a) {
    ok = hFile->PutC(0xFF) && hFile->PutC(static_cast<unsigned char>(Sections[a].Type)) &&
         hFile->Write(Sections[a].Data, 1, Sections[a].Size) == Sections[a].Size;
  }
  const Section& last = Sections[SectionsRead - 1];
  ok = ok && hFile->Write(last.Data, 1, last.Size) == last.Size;
  return ok;
}
