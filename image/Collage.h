// Collage pictures (.tsw) of the companion collage editor: a canvas of a
// size and background colour with picture layers and text layers on it.
// The program only reads them: CImage hands a .tsw file to LoadCollageFile,
// which loads the collage and flattens every layer onto a blank canvas
// (the file's first layer ends up on top). The layers can write themselves
// in the layout the reader parses.
//
// A collage file is scrambled as a whole with the byte stream's additive
// constant; integers are 32-bit little-endian, strings NUL-terminated.
#pragma once

#include <memory>
#include <vector>

#include "image/Image.h"
#include "platform/base.h"

class CByteStream;
class IProgress;

// Which pixels of a picture layer are drawn: one byte per pixel, indexed
// by (x, DIB row) as x + row x width; 1 = not drawn, 0 = drawn.
class CTransparencyData {
 public:
  CTransparencyData() = default;
  virtual ~CTransparencyData() = default;
  // Reallocates and sets every byte to 1; false when the memory cannot be had.
  bool Resize(int width, int height);
  void ClearAll();
  // Outside the mask answers true (nothing there is drawn).
  bool IsMasked(int x, int row) const;
  void Unmask(int x, int row);
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<BYTE> m_mask;
};

class CLayer {
 public:
  enum : int { kTypeImage = 1, kTypeText = 2 };
  // Bytes of the common part of every layer record.
  static constexpr int kCommonSize = 53;

  explicit CLayer(int type) : m_type(type) {}
  virtual ~CLayer() = default;
  // Draws the layer onto the canvas; on failure the reason may be filled.
  virtual bool Render(CImage& canvas, CString& reason, IProgress* progress, const char* caption) = 0;
  virtual int GetStreamSize() const { return kCommonSize; }
  // The whole record, type first; false when the stream is too short.
  virtual bool Write(CByteStream& stream) const;
  // The record after its type field (the collage has read the type).
  virtual bool Read(CByteStream& stream);

  int GetType() const { return m_type; }

  SIZE m_visibleSize{100, 100};
  POINT m_position{0, 0};
  BYTE m_transparency = 0;
  int m_angle = 0;
  POINT m_corners[4] = {};

 protected:
  int m_type;
};

class CLayerImage : public CLayer {
 public:
  // Loads the picture when the file exists (relative names from the
  // current folder).
  explicit CLayerImage(const char* fileName);
  bool Render(CImage& canvas, CString& reason, IProgress* progress, const char* caption) override;
  int GetStreamSize() const override;
  bool Write(CByteStream& stream) const override;
  bool Read(CByteStream& stream) override;

  // The folder of the collage the layer belongs to: stored names are looked
  // up there (see ResolveFileName).
  void SetBaseFolder(const char* folder) { m_baseFolder = folder ? folder : ""; }
  // The file the stored name leads to, or empty when it leads nowhere. The
  // name is split on both separators; an absolute name is tried as it
  // stands, a relative one below the collage's folder when none of its
  // parts is ".."; then its last part alone in the collage's folder. An
  // empty, "." or ".." name leads nowhere.
  CString ResolveFileName() const;

  CString m_fileName;
  int m_hueShift = 0;
  int m_saturationShift = 0;
  int m_lightnessShift = 0;
  BYTE m_distortion[5] = {0, 0, 0, 0, 0};
  int m_contrast = 0;
  int m_brightness = 0;
  int m_rotationAngle = 0;
  COLORREF m_rotationFill = 0xFFFFFF;
  BYTE m_rotationMode = 0;  // 0: the picture grows, 1: it keeps its size
  RECT m_crop{0, 0, 0, 0};
  int m_edgeFilter = 0;
  std::unique_ptr<CImage> m_picture;
  CTransparencyData m_mask;

 private:
  bool Rotate();
  CString m_baseFolder;
};

class CLayerText : public CLayer {
 public:
  explicit CLayerText(const char* text);
  bool Render(CImage& canvas, CString& reason, IProgress* progress, const char* caption) override;
  int GetStreamSize() const override;
  bool Write(CByteStream& stream) const override;
  bool Read(CByteStream& stream) override;

  CString m_text;  // lines separated by CR LF
  LOGFONT m_font{};
  COLORREF m_textColor = 0;
  COLORREF m_gradientEnd = 0;
  BYTE m_gradient = 0;
  int m_shadowSize = 0;
  BYTE m_shadowFade = 128;
  COLORREF m_shadowColor = 0;
};

class CCollageBase {
 public:
  explicit CCollageBase(IProgress* progress = nullptr);
  virtual ~CCollageBase();
  CCollageBase(const CCollageBase&) = delete;
  CCollageBase& operator=(const CCollageBase&) = delete;

  bool LoadFile(const char* path);
  // Parses unscrambled bytes.
  bool Read(CByteStream& stream);
  // LoadFile, then the picture becomes the canvas with every layer drawn.
  bool LoadAndRender(CImage& picture, const char* path);
  void Clear();

  CString m_filePath;
  CString m_title;
  int m_width = 0;
  int m_height = 0;
  COLORREF m_background = 0xFFFFFF;
  std::vector<CLayer*> m_layers;
  IProgress* m_progress = nullptr;
};

// The collage reader as CImage's loader of .tsw files (installed by default).
bool LoadCollageFile(CImage& target, const char* path, IProgress* progress);
