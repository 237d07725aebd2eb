// CImage's ways in and out: picture files by extension, saving by type,
// encoded pictures in memory blocks, the picture block of byte streams, and
// the clipboard.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/ByteStream.h"
#include "core/PathUtils.h"
#include "image/Collage.h"
#include "image/Image.h"
#include "image/JpegRows.h"
#include "image/OlePicture.h"
#include "image/PsdReader.h"
#include "image/TiffLoader.h"
#include "image/codec/BaseImage.h"
#include "platform/base/codepage.h"

namespace {

constexpr COLORREF kNoFill = 0xFFFFFFFFu;

CollageFileLoader g_collageLoader = &LoadCollageFile;

bool IsWritableType(int type) {
  return type == kImageTypeBMP || type == kImageTypeJPG || type == kImageTypeGIF || type == kImageTypePNG;
}

DWORD CodecFormatForType(int type) {
  switch (type) {
    case kImageTypeJPG: return CODEC_FORMAT_JPG;
    case kImageTypeGIF: return CODEC_FORMAT_GIF;
    case kImageTypePNG: return CODEC_FORMAT_PNG;
    default: return CODEC_FORMAT_UNKNOWN;
  }
}

}  // namespace

void SetCollageFileLoader(CollageFileLoader loader) { g_collageLoader = loader; }

// ---- Loading files ------------------------------------------------------------------

void CImage::LoadFileImpl(const char* path, bool& ok, int type, IProgress* progress) {
  ok = false;
  DeleteImpl();
  m_fileName = path ? path : "";
  try {
    const CString ext = GetPathExtension(path);
    int newType = kImageTypeNone;
    if (ext.CompareNoCase(".png") == 0) {
      newType = kImageTypePNG;
      ok = LoadViaCodec(path);
    } else if (ext.CompareNoCase(".jpg") == 0 || ext.CompareNoCase(".jpeg") == 0) {
      newType = kImageTypeJPG;
      ok = LoadJpegFile(path) || LoadViaCodec(path);
    } else if (ext.CompareNoCase(".tif") == 0 || ext.CompareNoCase(".tiff") == 0) {
      newType = kImageTypeTIF;
      ok = LoadTiff(path);
    } else if (ext.CompareNoCase(".psd") == 0) {
      newType = kImageTypePSD;
      ok = LoadPsd(path);
    } else if (ext.CompareNoCase(".tga") == 0) {
      newType = kImageTypeTGA;
      ok = LoadViaCodec(path);
    } else if (ext.CompareNoCase(".pcx") == 0) {
      newType = kImageTypePCX;
      ok = LoadViaCodec(path);
    } else if (ext.CompareNoCase(".emf") == 0) {
      newType = kImageTypeEMF;
      ok = LoadViaCodec(path);
    } else if (ext.CompareNoCase(".tsw") == 0) {
      newType = kImageTypeTSW;
      ok = g_collageLoader && g_collageLoader(*this, path, progress);
    } else {
      ok = Load(path, type);
      if (!ok) ok = LoadOlePicture(path);
      newType = m_type;
    }
    m_type = newType;
  } catch (...) {
    ok = false;
  }
}

bool CImage::Load(const char* name, int type) {
  const int oldType = m_type;
  m_fileName = name ? name : "";
  if (type == kImageTypeNone) type = ImageTypeFromExtension(GetFileExtension(name));
  m_type = type;
  if (!m_impl || type != oldType)
    if (!CreateImpl(name, type)) return false;
  return m_impl->Load(name);
}

bool CImage::FromCodecImage(CBaseImage& codec) {
  if (!codec.IsValid()) return false;
  const int w = static_cast<int>(codec.GetWidth()), h = static_cast<int>(codec.GetHeight());
  DeleteImpl();
  m_impl = new (std::nothrow) CImageBMP("");
  if (!m_impl || !m_impl->Create(w, h, 24, -1)) return false;
  BYTE* bits = m_impl->GetBits();
  const size_t stride = static_cast<size_t>(m_impl->GetRowStride());
  // Rows of colours (no palette) are the same bytes in both.
  const bool sameRows = codec.GetBpp() == 24 && codec.GetNumColors() == 0;
  for (int y = 0; y < h; ++y) {
    BYTE* row = bits + static_cast<size_t>(y) * stride;
    if (sameRows) {
      std::memcpy(row, codec.GetBits(static_cast<DWORD>(y)), static_cast<size_t>(w) * 3);
      continue;
    }
    for (int x = 0; x < w; ++x) {
      const RGBQUAD c = codec.GetPixelColor(x, y, false);
      row[3 * x] = c.rgbBlue;
      row[3 * x + 1] = c.rgbGreen;
      row[3 * x + 2] = c.rgbRed;
    }
  }
  return true;
}

bool CImage::LoadViaCodec(const char* name) {
  try {
    CBaseImage codec;
    if (!codec.Load(name, CODEC_FORMAT_UNKNOWN) || !codec.IsValid()) return false;
    return FromCodecImage(codec);
  } catch (...) {
    return false;
  }
}

bool CImage::DecodeJpeg(const CJpegSource& source) {
  try {
    const long start = source.file ? std::ftell(source.file) : 0;
    CJpegInfo info;
    bool ok =
        ReadJpegInfo(source, info) && (info.components == 3 || info.components == 1) &&
        CBaseImage::FitsMemoryLimit(static_cast<std::uint64_t>(info.width), static_cast<std::uint64_t>(info.height),
                                    8 * static_cast<std::uint64_t>(info.components)) &&
        (!source.file || std::fseek(source.file, start, SEEK_SET) == 0) &&
        CreateBlankInPlace(info.width, info.height, kNoFill);
    if (ok) {
      CJpegBlockSink sink(GetBits(), GetRowStride(), info.height);
      ok = DecodeJpegRows(source, info.width, info.height, sink, true);
    }
    if (!ok) DeleteImpl();
    return ok;
  } catch (...) {
    DeleteImpl();
    return false;
  }
}

bool CImage::LoadJpegFile(const char* name) {
  if (!name || !*name) return false;
  FILE* file = std::fopen(ToUtf8(CString(name)).c_str(), "rb");
  if (!file) return false;
  CJpegSource source;
  source.file = file;
  const bool ok = DecodeJpeg(source);
  std::fclose(file);
  return ok;
}

bool CImage::LoadTiff(const char* name) {
  try {
    CTiffLoader loader;
    if (!loader.Open(name)) return false;
    const CSize size = loader.GetSize();
    DeleteImpl();
    m_impl = new (std::nothrow) CImageBMP("");
    if (!m_impl || !m_impl->Create(size.cx, size.cy, 24, -1)) return false;
    for (int y = 0; y < size.cy; ++y) {
      const BYTE* row = loader.GetRow(y);
      if (!row) return false;
      for (int x = 0; x < size.cx; ++x)
        if (!m_impl->SetPixelRGB(x, y, row[4 * x], row[4 * x + 1], row[4 * x + 2])) return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool CImage::LoadPsd(const char* name) {
  try {
    CPsdReader reader;
    if (reader.Load(name) != 0) return false;
    HBITMAP bitmap = reader.DetachBitmap();
    if (!bitmap) return false;
    TakeBitmap(bitmap);
    DeleteObject(bitmap);
    return IsValid();
  } catch (...) {
    return false;
  }
}

bool CImage::LoadOlePicture(const char* name) {
  try {
    COlePicture picture;
    if (!picture.LoadFromFile(name)) return false;
    HDC screen = GetDC(nullptr);
    const CSize size = picture.GetSizeInPixels(screen);
    bool ok = false;
    HBITMAP bitmap = size.cx > 0 && size.cy > 0 ? CreateCompatibleBitmap(screen, size.cx, size.cy) : nullptr;
    if (bitmap) {
      SetBitmapDimensionEx(bitmap, size.cx, size.cy, nullptr);
      HDC mem = CreateCompatibleDC(screen);
      HGDIOBJ old = SelectObject(mem, bitmap);
      ok = picture.Render(mem, 0, 0, size.cx, size.cy, nullptr);
      SelectObject(mem, old);
      DeleteDC(mem);
      if (ok) {
        TakeBitmap(bitmap);
        ok = IsValid();
      }
      DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return ok;
  } catch (...) {
    return false;
  }
}

// ---- Saving -------------------------------------------------------------------------------

bool CImage::SaveFile(const char* name, int type, const BYTE* quality, const int* resolution) {
  if (!m_impl || !name || !*name) return false;
  if (type == kImageTypeNone) type = ImageTypeFromExtension(GetFileExtension(name));
  // Only BMP, JPEG, GIF and PNG are written; anything else writes nothing.
  if (!IsWritableType(type)) return false;
  const int oldType = m_type;
  m_fileName = name;
  m_type = type;
  const bool needsBmpClass = type == kImageTypeBMP && !dynamic_cast<CImageBMP*>(m_impl);
  if (type != oldType || needsBmpClass) {
    CFileImageImpl* old = m_impl;
    m_impl = nullptr;
    if (!CreateImpl(name, type)) {
      m_impl = old;
      return false;
    }
    m_impl->TakeOver(*old);
    delete old;
  }
  if (type == kImageTypeBMP) return m_impl->Save(name);
  CBaseImage* codec = nullptr;
  bool ok = false;
  try {
    if (ToCodecImage(&codec)) {
      if (type == kImageTypeJPG && quality) codec->SetJpegQuality(*quality);
      if (resolution) {
        codec->SetXDPI(resolution[0]);
        codec->SetYDPI(resolution[1]);
      }
      ok = codec->Save(name, CodecFormatForType(type));
    }
  } catch (...) {
    ok = false;
  }
  delete codec;
  return ok;
}

// ---- Memory blocks --------------------------------------------------------------------

bool CImage::LoadFromMemoryBlock(const CImageMemBlock& block) {
  const int oldType = m_type;
  m_fileName.Empty();
  m_type = ImageTypeFromExtension(GetFileExtension(block.name));
  if (!m_impl || m_type != oldType)
    if (!CreateImpl("", m_type)) return false;
  const CString name(block.name);
  if (name.CompareNoCase(".bmp") == 0) m_type = kImageTypeBMP;
  else if (name.CompareNoCase(".png") == 0) m_type = kImageTypePNG;
  else if (name.CompareNoCase(".jpg") == 0 || name.CompareNoCase(".jpeg") == 0) m_type = kImageTypeJPG;
  else if (name.CompareNoCase(".tif") == 0 || name.CompareNoCase(".tiff") == 0) {
    m_type = kImageTypeTIF;
    return false;
  } else if (name.CompareNoCase(".psd") == 0) {
    m_type = kImageTypePSD;
    return false;
  } else if (name.CompareNoCase(".tga") == 0) m_type = kImageTypeTGA;
  else if (name.CompareNoCase(".pcx") == 0) m_type = kImageTypePCX;
  else if (name.CompareNoCase(".emf") == 0) m_type = kImageTypeEMF;
  else if (name.CompareNoCase(".gif") == 0) m_type = kImageTypeGIF;
  else return false;
  return DecodeMemoryBlock(block);
}

bool CImage::DecodeMemoryBlock(const CImageMemBlock& block) {
  try {
    if (!block.data || !block.size) return false;
    if (CBaseImage::GetTypeIdFromName(block.name) == CODEC_FORMAT_JPG) {
      CJpegSource source;
      source.data = block.data;
      source.size = block.size;
      if (DecodeJpeg(source)) return true;
    }
    CBaseImage codec;
    if (!codec.Decode(block.data, block.size, CBaseImage::GetTypeIdFromName(block.name)) || !codec.IsValid())
      return false;
    return FromCodecImage(codec);
  } catch (...) {
    return false;
  }
}

bool CImage::EncodeToMemoryBlock(CImageMemBlock& block) const {
  CBaseImage* codec = nullptr;
  bool ok = false;
  try {
    if (ToCodecImage(&codec)) {
      BYTE* buffer = nullptr;
      long size = 0;
      if (codec->Encode(buffer, size, CString(block.name)) && buffer) {
        if (size > 0 && static_cast<unsigned long>(size) <= 0xFFFFFFFFul) {
          block.Free();
          block.ownerKind = CImageMemBlock::kOwnerCodec;
          block.data = buffer;
          block.size = static_cast<DWORD>(size);
          ok = true;
        } else {
          std::free(buffer);
        }
      }
    }
  } catch (...) {
    ok = false;
  }
  delete codec;
  return ok;
}

// ---- The picture block of a byte stream ----------------------------------------------

int CImage::GetStreamSize(const char* encodingName) const {
  CImageMemBlock block(encodingName);
  if (!EncodeToMemoryBlock(block)) return 0;
  const long long size = (36 + 1) + (static_cast<long long>(m_fileName.GetLength()) + 1) +
                         (static_cast<long long>(std::strlen(encodingName ? encodingName : "")) + 1) +
                         static_cast<long long>(block.size) + 132;
  return size > INT_MAX ? 0 : static_cast<int>(size);
}

bool CImage::WriteToStream(CByteStream& stream, const char* encodingName) const {
  CImageMemBlock block(encodingName);
  if (!EncodeToMemoryBlock(block)) return false;
  if (block.size > static_cast<DWORD>(INT_MAX)) return false;
  return stream.WriteString(CString(kPictureBlockMarker)) && stream.WriteString(m_fileName) &&
         stream.WriteZeros(128) && stream.WriteString(CString(encodingName ? encodingName : "")) &&
         stream.WriteBlob(block.data, static_cast<int>(block.size));
}

bool CImage::ReadFromStream(CByteStream& stream) {
  CString fileName;
  const size_t markerLength = std::strlen(kPictureBlockMarker);
  if (stream.GetRemaining() > static_cast<int>(markerLength) &&
      std::memcmp(stream.GetBuffer() + stream.GetPosition(), kPictureBlockMarker, markerLength) == 0) {
    CString marker;
    if (!stream.ReadString(marker) || !stream.ReadString(fileName) || !stream.Skip(128)) return false;
  }
  CString encodingName;
  if (!stream.ReadString(encodingName)) return false;
  CImageMemBlock block(encodingName.GetString());
  BYTE* data = nullptr;
  int size = 0;
  if (!stream.ReadBlob(data, size)) return false;
  block.ownerKind = CImageMemBlock::kOwnerProgram;
  block.data = data;
  block.size = static_cast<DWORD>(size);
  if (size == 0) {
    const bool had = m_impl != nullptr;
    DeleteImpl();
    return had;
  }
  const bool ok = LoadFromMemoryBlock(block);
  m_fileName = fileName;
  return ok;
}

// ---- The clipboard ----------------------------------------------------------------------

void CImage::FromClipboardImpl(bool& ok) {
  ok = false;
  try {
    CBaseImage codec;
    if (!OpenClipboard(nullptr)) return;
    bool got = false;
    if (IsClipboardFormatAvailable(CF_DIB)) {
      HANDLE data = GetClipboardData(CF_DIB);
      got = data && codec.CreateFromHANDLE(data);
    }
    CloseClipboard();
    if (got) ok = FromCodecImage(codec);
  } catch (...) {
    ok = false;
  }
}

bool CImage::CopyToClipboard() const {
  CBaseImage* codec = nullptr;
  bool ok = false;
  try {
    if (ToCodecImage(&codec)) {
      HANDLE block = codec->CopyToHandle();
      if (block) {
        if (OpenClipboard(nullptr)) {
          if (EmptyClipboard() && SetClipboardData(CF_DIB, block)) {
            ok = true;
            block = nullptr;  // the clipboard owns it now
          }
          CloseClipboard();
        }
        if (block) GlobalFree(block);
      }
    }
  } catch (...) {
    ok = false;
  }
  delete codec;
  return ok;
}
