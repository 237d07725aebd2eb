// Loading and saving by file name, encoding and decoding by format id.
#include <cstring>
#include <string>

#include "image/codec/BaseImage.h"

#include "core/PathUtils.h"
#include "image/codec/CodecFile.h"
#include "image/codec/ImageBMP.h"
#include "image/codec/ImageGIF.h"
#include "image/codec/ImageICO.h"
#include "image/codec/ImageJPG.h"
#include "image/codec/ImagePCX.h"
#include "image/codec/ImagePNG.h"
#include "image/codec/ImageTGA.h"
#include "image/codec/ImageTIF.h"
#include "image/codec/ImageWBMP.h"
#include "image/codec/ImageWMF.h"
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
bool EncodeAs(CBaseImage& self, CxFile* hFile) {
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
bool DecodeAs(CBaseImage& self, CxFile* hFile, bool single, bool keepFrames) {
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

bool CBaseImage::EncodeSafeCheck(CxFile* hFile) {
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
  if (!name) return CXIMAGE_FORMAT_UNKNOWN;
  const CString ext = GetPathExtension(name);
  if (ext.IsEmpty()) return CXIMAGE_FORMAT_UNKNOWN;
  if (ext.GetLength() > 255) return CXIMAGE_FORMAT_UNKNOWN;
  struct Entry {
    const char* ext;
    DWORD id;
  };
  static const Entry kTable[] = {
      {".bmp", CXIMAGE_FORMAT_BMP}, {".gif", CXIMAGE_FORMAT_GIF},   {".jpg", CXIMAGE_FORMAT_JPG},
      {".jpeg", CXIMAGE_FORMAT_JPG}, {".png", CXIMAGE_FORMAT_PNG},  {".ico", CXIMAGE_FORMAT_ICO},
      {".tif", CXIMAGE_FORMAT_TIF}, {".tiff", CXIMAGE_FORMAT_TIF},  {".tga", CXIMAGE_FORMAT_TGA},
      {".pcx", CXIMAGE_FORMAT_PCX}, {".wbmp", CXIMAGE_FORMAT_WBMP}, {".wmf", CXIMAGE_FORMAT_WMF},
  };
  for (const Entry& e : kTable)
    if (ext.CompareNoCase(e.ext) == 0) return e.id;
  return CXIMAGE_FORMAT_UNKNOWN;
}

bool CBaseImage::Load(const char* filename, DWORD imagetype) {
  if (imagetype > 0 && imagetype < CMAX_IMAGE_FORMATS) {
    FILE* fp = OpenFile(filename, "rb");
    if (!fp) return false;
    bool ok;
    {
      CxIOFile file(fp);
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
    CxIOFile file(fp);
    ok = Decode(&file, CXIMAGE_FORMAT_UNKNOWN);
  }
  std::fclose(fp);
  if (!ok && imagetype > 0 && imagetype < CMAX_IMAGE_FORMATS) SetLastError(saved);
  return ok;
}

bool CBaseImage::Save(const char* filename, DWORD imagetype) {
  FILE* fp = OpenFile(filename, "wb");
  if (!fp) return false;
  bool ok;
  {
    CxIOFile file(fp);
    ok = Encode(&file, imagetype);
  }
  // A file that cannot be completed on disk is a failed save.
  if (std::fclose(fp) != 0 && ok) {
    SetLastError("Write Error");
    ok = false;
  }
  return ok;
}

bool CBaseImage::Encode(CxFile* hFile, DWORD imagetype) {
  switch (imagetype) {
    case CXIMAGE_FORMAT_BMP: return EncodeAs<CxImageBMP>(*this, hFile);
    case CXIMAGE_FORMAT_GIF: return EncodeAs<CxImageGIF>(*this, hFile);
    case CXIMAGE_FORMAT_JPG: return EncodeAs<CxImageJPG>(*this, hFile);
    case CXIMAGE_FORMAT_PNG: return EncodeAs<CxImagePNG>(*this, hFile);
    case CXIMAGE_FORMAT_ICO: return EncodeAs<CxImageICO>(*this, hFile);
    case CXIMAGE_FORMAT_TIF: return EncodeAs<CxImageTIF>(*this, hFile);
    case CXIMAGE_FORMAT_TGA: return EncodeAs<CxImageTGA>(*this, hFile);
    case CXIMAGE_FORMAT_PCX: return EncodeAs<CxImagePCX>(*this, hFile);
    case CXIMAGE_FORMAT_WBMP: return EncodeAs<CxImageWBMP>(*this, hFile);
    case CXIMAGE_FORMAT_WMF: return EncodeAs<CxImageWMF>(*this, hFile);
    default: SetLastError("Encode: Unknown format"); return false;
  }
}

bool CBaseImage::Encode(BYTE*& buffer, long& size, DWORD imagetype) {
  if (buffer) {
    SetLastError("the buffer must be empty");
    return false;
  }
  CxMemFile file;
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

bool CBaseImage::Decode(CxFile* hFile, DWORD imagetype) {
  if (!hFile) return false;
  switch (imagetype) {
    case CXIMAGE_FORMAT_UNKNOWN: {
      const long pos = hFile->Tell();
      typedef bool (*Attempt)(CBaseImage&, CxFile*, bool, bool);
      static const Attempt kOrder[] = {
          DecodeAs<CxImageBMP>, DecodeAs<CxImageJPG>, DecodeAs<CxImageICO>, DecodeAs<CxImageGIF>,
          DecodeAs<CxImagePNG>, DecodeAs<CxImageTIF>, DecodeAs<CxImageTGA>, DecodeAs<CxImagePCX>,
          DecodeAs<CxImageWBMP>, DecodeAs<CxImageWMF>,
      };
      for (Attempt attempt : kOrder) {
        if (attempt(*this, hFile, false, false)) return true;
        hFile->Seek(pos, SEEK_SET);
      }
      SetLastError("Decode: Unknown or wrong format");
      return false;
    }
    case CXIMAGE_FORMAT_BMP: return DecodeAs<CxImageBMP>(*this, hFile, true, false);
    case CXIMAGE_FORMAT_GIF: return DecodeAs<CxImageGIF>(*this, hFile, true, true);
    case CXIMAGE_FORMAT_JPG: return DecodeAs<CxImageJPG>(*this, hFile, true, false);
    case CXIMAGE_FORMAT_PNG: return DecodeAs<CxImagePNG>(*this, hFile, true, false);
    case CXIMAGE_FORMAT_ICO: return DecodeAs<CxImageICO>(*this, hFile, true, true);
    case CXIMAGE_FORMAT_TIF: return DecodeAs<CxImageTIF>(*this, hFile, true, true);
    case CXIMAGE_FORMAT_TGA: return DecodeAs<CxImageTGA>(*this, hFile, true, false);
    case CXIMAGE_FORMAT_PCX: return DecodeAs<CxImagePCX>(*this, hFile, true, false);
    case CXIMAGE_FORMAT_WBMP: return DecodeAs<CxImageWBMP>(*this, hFile, true, false);
    case CXIMAGE_FORMAT_WMF: return DecodeAs<CxImageWMF>(*this, hFile, true, false);
    default: SetLastError("Decode: Unknown or wrong format"); return false;
  }
}

bool CBaseImage::Decode(const BYTE* buffer, DWORD size, DWORD imagetype) {
  // The stream only reads the caller's block; it never changes or frees it.
  CxMemFile file(const_cast<BYTE*>(buffer), size);
  return Decode(&file, imagetype);
}

bool CBaseImage::Decode(FILE* hFile, DWORD imagetype) {
  CxIOFile file(hFile);
  return Decode(&file, imagetype);
}
