// The small drawing toolkit of the owner-drawn buttons, combo boxes and the
// toolbar: packed hue/lightness/saturation conversions, an off-screen device
// context, pen and brush selectors, the arrow triangle, the flat drop button,
// the four-shade 3-D frame, mouse enter/leave tracking and the docked-bar
// test.
#pragma once

#include "platform/base.h"
#include "platform/gdi.h"

class CWnd;

// ---- Packed colours -------------------------------------------------------
// A packed value holds hue (byte 0, 0..255 for 0..360 degrees), lightness
// (byte 1) and saturation (byte 2). The conversions follow the HSL rule of
// core/HslColor.h in double precision, which keeps the faces of the
// controls the colours they have always had; CHslColor uses the same rule
// in single precision.
DWORD RgbToHsl(COLORREF color);
COLORREF HslToRgb(DWORD packed);
// The colour with lightness and saturation moved by the percentages
// (positive: towards 255, negative: towards 0).
COLORREF AdjustLightnessSaturation(COLORREF color, int lightness, int saturation);

// ---- Device context helpers ----------------------------------------------

// Buffers drawing for an area of a target DC: the memory bitmap spans from the
// target's origin to the area's right and bottom, so drawing uses the
// target's coordinates; destruction copies the area to the target. An empty
// area means the target's clip box.
class CBufferDC : public CDC {
 public:
  CBufferDC(HDC target, const RECT& area);
  ~CBufferDC() override;
  CBufferDC(const CBufferDC&) = delete;
  CBufferDC& operator=(const CBufferDC&) = delete;
  const RECT& GetArea() const { return area_; }

 private:
  HDC target_;
  HBITMAP bitmap_ = nullptr;
  RECT area_;
  HGDIOBJ oldBitmap_ = nullptr;
};

// A solid 1-pixel pen selected into a DC for the object's life.
class CSelectPen : public CPen {
 public:
  CSelectPen(HDC dc, COLORREF color);
  ~CSelectPen() override;
  CSelectPen(const CSelectPen&) = delete;
  CSelectPen& operator=(const CSelectPen&) = delete;
  void SetColor(COLORREF color);
  COLORREF GetColor() const { return color_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
  COLORREF color_;
};

// A solid brush selected into a DC for the object's life; 0xFFFFFFFF selects
// the stock null brush.
class CSelectBrush : public CBrush {
 public:
  CSelectBrush(HDC dc, COLORREF color);
  ~CSelectBrush() override;
  CSelectBrush(const CSelectBrush&) = delete;
  CSelectBrush& operator=(const CSelectBrush&) = delete;
  void SetColor(COLORREF color);

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// A filled isosceles triangle of `rows` horizontal lines in the current pen;
// pointing down, the 1-pixel apex is at y and the rows widen upwards.
void DrawArrowTriangle(CDC* dc, int x, int y, int rows, bool pointsDown);

// ---- Flat drop button ------------------------------------------------------
enum : WORD {
  kDrawButtonArrow = 2,
  kDrawButtonDisabled = 0x0100,
  kDrawButtonFramed = 0x0200,
  kDrawButtonFlat = 0x0800,
  kDrawButtonPressed = 0x1000,
  kDrawButtonHot = 0x4000,
};

class CDrawButton {
 public:
  CDrawButton() = default;
  virtual ~CDrawButton() = default;
  // Paints the button into its rectangle; a state of 0 means the stored one.
  virtual void Draw(CDC* dc, WORD state = 0);

  WORD m_state = kDrawButtonArrow | kDrawButtonFlat;
  RECT m_rect{0, 0, 0, 0};
};

// Seven colours set at start-up; entry 6 is the fill of a hot toolbar
// button and of the hot drop button.
extern COLORREF XPColorTable[7];

// The four-shade 3-D frame: `rings` (1..4) nested 1-pixel frames, the
// outermost first, light at the top-left and dark at the bottom-right when
// raised (the other way round when sunken).
void DrawRampFrame(CDC* dc, const RECT& rect, bool raised, int rings);
extern const COLORREF kRampLight[4];
extern const COLORREF kRampDark[4];
// Four nested 1-pixel rectangles of the disabled buttons.
void DrawDisabledButtonFrame(CDC* dc, const RECT& rect);
extern const COLORREF kDisabledFrame[4];

// Clears the LOGFONT and sets height 13, weight 700, DEFAULT_CHARSET, "Arial".
void InitSoftButtonFont(LOGFONT& font);

// ---- Hover ---------------------------------------------------------------
class CHoverTracker {
 public:
  enum : WORD { kRepaint = 1, kRecalcFrame = 2 };
  void Init(CWnd* owner, WORD options);
  void Reset() { hovering_ = false; }
  bool IsHovering() const { return hovering_; }
  // True when the mouse has just entered (window null: the owner).
  bool OnMouseMove(CWnd* window = nullptr);
  // True when the tracked window was left.
  bool OnMouseLeave(CWnd* window = nullptr);
  HWND GetTracked() const { return tracked_; }

 private:
  void Touch();
  HWND owner_ = nullptr;
  HWND tracked_ = nullptr;
  WORD options_ = 0;
  bool hovering_ = false;
};

// True when the window's parent is a control bar that is docked. Bars never
// dock or float here, so a control bar laid out inside its frame counts as
// docked.
bool IsInDockedControlBar(CWnd* window);
