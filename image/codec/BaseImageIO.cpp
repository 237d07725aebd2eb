// Loading and saving by file name, encoding and decoding by format id.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/PathUtils.h"
#include "image/codec/BaseImage.h"
#include "image/codec/CodecBMP.h"
#include "image/codec/CodecFile.h"
#include "image/codec/CodecGIF.h"
#include "image/codec/CodecICO.h"
#include "image/codec/CodecJPG.h"
#include "image/codec/CodecPCX.h"
#include "image/codec/CodecPNG.h"
#include "image/codec/CodecTGA.h"
#include "image/codec/CodecTIF.h"
#include "image/codec/CodecWBMP.h"
#include "image/codec/CodecWMF.h"
#include "platform/base/codepage.h"

namespace {

FILE* OpenFile(const char* name, const char* mode) {
  if (!name || !*name) return nullptr;
  return std::fopen(ToUtf8(CString(name)).c_str(), mode);
}

// A failure raised inside a codec (memory that cannot be had) never leaves
// the layer: it is a false answer like any other.
constexpr const char* kNoMemory = "CBaseImage::Create can't allocate memory";

template <class T>
bool EncodeAs(CBaseImage& self, CCodecFile* hFile) {
  try {
    T fmt;
    fmt.Ghost(&self);
    if (fmt.Encode(hFile)) return true;
    self.SetLastError(fmt.GetLastError());
  } catch (...) {
    self.SetLastError(kNoMemory);
  }
  return false;
}

// One decoder over the stream. The caller's settings travel into the format
// object; on success its picture moves into the caller.
template <class T>
bool DecodeAs(CBaseImage& self, CCodecFile* hFile, bool single, bool keepFrames) {
  try {
    T fmt;
    fmt.CopyInfo(self);
    if (fmt.Decode(hFile)) return self.Transfer(fmt);
    if (single) {
      self.SetLastError(fmt.GetLastError());
      if (keepFrames) self.CopyFrameCount(fmt);
    }
  } catch (...) {
    if (single) self.SetLastError(kNoMemory);
  }
  return false;
}

}  // namespace

void CBaseImage::CopyFrameCount(const CBaseImage& from) { info.nNumFrames = from.info.nNumFrames; }

bool CBaseImage::EncodeSafeCheck(CCodecFile* hFile) {
  if (!hFile) {
    SetLastError("null file handler");
    return true;
  }
  if (!pDib) {
    SetLastError("null image!!!");
    return true;
  }
  return false;
}

DWORD CBaseImage::GetTypeIdFromName(const char* name) {
  if (!name) return CODEC_FORMAT_UNKNOWN;
  const CString ext = GetPathExtension(name);
  if (ext.IsEmpty()) return CODEC_FORMAT_UNKNOWN;
  if (ext.GetLength() > 255) return CODEC_FORMAT_UNKNOWN;
  struct Entry {
    const char* ext;
    DWORD id;
  };
  static const Entry kTable[] = {
      {".bmp", CODEC_FORMAT_BMP}, {".gif", CODEC_FORMAT_GIF},   {".jpg", CODEC_FORMAT_JPG},
      {".jpeg", CODEC_FORMAT_JPG}, {".png", CODEC_FORMAT_PNG},  {".ico", CODEC_FORMAT_ICO},
      {".tif", CODEC_FORMAT_TIF}, {".tiff", CODEC_FORMAT_TIF},  {".tga", CODEC_FORMAT_TGA},
      {".pcx", CODEC_FORMAT_PCX}, {".wbmp", CODEC_FORMAT_WBMP}, {".wmf", CODEC_FORMAT_WMF},
  };
  for (const Entry& e : kTable)
    if (ext.CompareNoCase(e.ext) == 0) return e.id;
  return CODEC_FORMAT_UNKNOWN;
}

bool CBaseImage::Load(const char* filename, DWORD imagetype) {
  if (imagetype > 0 && imagetype < CODEC_FORMAT_COUNT) {
    FILE* fp = OpenFile(filename, "rb");
    if (!fp) return false;
    bool ok;
    {
      CCodecIOFile file(fp);
      ok = Decode(&file, imagetype);
    }
    std::fclose(fp);
    if (ok) return true;
  }
  char saved[256];
  std::memcpy(saved, info.szLastError, sizeof(saved));
  saved[255] = 0;
  FILE* fp = OpenFile(filename, "rb");
  if (!fp) return false;
  bool ok;
  {
    CCodecIOFile file(fp);
    ok = Decode(&file, CODEC_FORMAT_UNKNOWN);
  }
  std::fclose(fp);
  if (!ok && imagetype > 0 && imagetype < CODEC_FORMAT_COUNT) SetLastError(saved);
  return ok;
}

bool CBaseImage::Save(const char* filename, DWORD imagetype) {
  // Encoded in memory first, so that a picture the format refuses leaves
  // no file (nor an emptied one) behind.
  BYTE* buffer = nullptr;
  long size = 0;
  if (!Encode(buffer, size, imagetype)) return false;
  FILE* fp = OpenFile(filename, "wb");
  if (!fp) {
    std::free(buffer);
    return false;
  }
  bool ok = size <= 0 || std::fwrite(buffer, 1, static_cast<size_t>(size), fp) == static_cast<size_t>(size);
  std::free(buffer);
  // A file that cannot be completed on disk is a failed save.
  if (std::fclose(fp) != 0) ok = false;
  if (!ok) SetLastError("Write Error");
  return ok;
}

bool CBaseImage::Encode(CCodecFile* hFile, DWORD imagetype) {
  switch (imagetype) {
    case CODEC_FORMAT_BMP: return EncodeAs<CCodecBMP>(*this, hFile);
    case CODEC_FORMAT_GIF: return EncodeAs<CCodecGIF>(*this, hFile);
    case CODEC_FORMAT_JPG: return EncodeAs<CCodecJPG>(*this, hFile);
    case CODEC_FORMAT_PNG: return EncodeAs<CCodecPNG>(*this, hFile);
    case CODEC_FORMAT_ICO: return EncodeAs<CCodecICO>(*this, hFile);
    case CODEC_FORMAT_TIF: return EncodeAs<CCodecTIF>(*this, hFile);
    case CODEC_FORMAT_TGA: return EncodeAs<CCodecTGA>(*this, hFile);
    case CODEC_FORMAT_PCX: return EncodeAs<CCodecPCX>(*this, hFile);
    case CODEC_FORMAT_WBMP: return EncodeAs<CCodecWBMP>(*this, hFile);
    case CODEC_FORMAT_WMF: return EncodeAs<CCodecWMF>(*this, hFile);
    default: SetLastError("Encode: Unknown format"); return false;
  }
}

bool CBaseImage::Encode(BYTE*& buffer, long& size, DWORD imagetype) {
  if (buffer) {
    SetLastError("the buffer must be empty");
    return false;
  }
  CCodecMemFile file;
  if (!file.Open()) {
    SetLastError("CBaseImage::Create can't allocate memory");
    return false;
  }
  if (!Encode(&file, imagetype)) return false;
  size = file.Size();
  buffer = file.GetBuffer(true);
  return true;
}

bool CBaseImage::Encode(BYTE*& buffer, long& size, const CString& filename) {
  return Encode(buffer, size, GetTypeIdFromName(filename));
}

bool CBaseImage::Decode(CCodecFile* hFile, DWORD imagetype) {
  if (!hFile) return false;
  switch (imagetype) {
    case CODEC_FORMAT_UNKNOWN: {
      const long pos = hFile->Tell();
      typedef bool (*Attempt)(CBaseImage&, CCodecFile*, bool, bool);
      static const Attempt kOrder[] = {
          DecodeAs<CCodecBMP>, DecodeAs<CCodecJPG>, DecodeAs<CCodecICO>, DecodeAs<CCodecGIF>,
          DecodeAs<CCodecPNG>, DecodeAs<CCodecTIF>, DecodeAs<CCodecTGA>, DecodeAs<CCodecPCX>,
          DecodeAs<CCodecWBMP>, DecodeAs<CCodecWMF>,
      };
      for (Attempt attempt : kOrder) {
        if (attempt(*this, hFile, false, false)) return true;
        hFile->Seek(pos, SEEK_SET);
      }
      SetLastError("Decode: Unknown or wrong format");
      return false;
    }
    case CODEC_FORMAT_BMP: return DecodeAs<CCodecBMP>(*this, hFile, true, false);
    case CODEC_FORMAT_GIF: return DecodeAs<CCodecGIF>(*this, hFile, true, true);
    case CODEC_FORMAT_JPG: return DecodeAs<CCodecJPG>(*this, hFile, true, false);
    case CODEC_FORMAT_PNG: return DecodeAs<CCodecPNG>(*this, hFile, true, false);
    case CODEC_FORMAT_ICO: return DecodeAs<CCodecICO>(*this, hFile, true, true);
    case CODEC_FORMAT_TIF: return DecodeAs<CCodecTIF>(*this, hFile, true, true);
    case CODEC_FORMAT_TGA: return DecodeAs<CCodecTGA>(*this, hFile, true, false);
    case CODEC_FORMAT_PCX: return DecodeAs<CCodecPCX>(*this, hFile, true, false);
    case CODEC_FORMAT_WBMP: return DecodeAs<CCodecWBMP>(*this, hFile, true, false);
    case CODEC_FORMAT_WMF: return DecodeAs<CCodecWMF>(*this, hFile, true, false);
    default: SetLastError("Decode: Unknown or wrong format"); return false;
  }
}

bool CBaseImage::Decode(const BYTE* buffer, DWORD size, DWORD imagetype) {
  // The stream only reads the caller's block; it never changes or frees it.
  CCodecMemFile file(const_cast<BYTE*>(buffer), size);
  return Decode(&file, imagetype);
}

bool CBaseImage::Decode(FILE* hFile, DWORD imagetype) {
  CCodecIOFile file(hFile);
  return Decode(&file, imagetype);
}
