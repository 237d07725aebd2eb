// The owner-drawn buttons: CIButton (push button with an icon or a
// colour-mapped bitmap and an optional colour fill), CSoftButton (flat button
// with a four-shade frame, hover highlight and its own font), CMyColorButton
// (a soft button showing a chosen colour) and CToolbarButton (an icon button
// with a latched pressed state, used as tool button by panes and dialogs).
// The soft and the tool button paint through one face, CFlatFaceButton.
#pragma once

#include "controls/ButtonDrawing.h"
#include "platform/wnd.h"

class CIButton : public CButton {
 public:
  CIButton();
  ~CIButton() override;

  // The icon of the resource library at that size; false when missing. Drops
  // any bitmap.
  bool SetIcon(UINT id, int width, int height);
  // Two copies of the bitmap scaled to width x height, the mask colour
  // replaced by the button face (normal) and by white (disabled); false
  // unless both load. Drops any icon.
  bool SetBitmap(UINT id, int width, int height, COLORREF mask);
  // Previous spacing; switches automatic layout on.
  int SetIconTextSpacing(int spacing);
  // Previous position; switches automatic layout off. -1 centres that axis.
  POINT SetIconPosition(int x, int y);
  void SetFillColor(COLORREF color);

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void PreSubclassWindow() override;

  // The inset of the focus rectangle for a button of that size.
  static int FocusInset(int width, int height);
  // The caption colour over a fill colour.
  static COLORREF FillTextColor(COLORREF fill);

  bool HasImage() const { return icon_ || bitmap_; }

 protected:
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void FreeImages();
  void Repaint();

  BYTE autoLayout_ = 1;
  int imageX_ = 0, imageY_ = 0;
  int captionX_ = 0, captionY_ = 0;
  int margin_ = 4;
  int spacing_ = 8;
  HICON icon_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HBITMAP disabledBitmap_ = nullptr;
  int imageWidth_ = 0, imageHeight_ = 0;
  UINT lastAction_ = 0, lastState_ = 0;
  BYTE fill_ = 0;
  COLORREF fillColor_ = 0;
};

// The icon part shared by the soft and the tool buttons: x = left + offset,
// y centred, both + 1 when pressed; the x just right of the icon.
int DrawButtonIcon(CDC* dc, const RECT& rect, HICON icon, int width, int height, int leftOffset, bool notPressed,
                   bool enabled);
// The caption part: the text without '&' in the font, centred when x < 0,
// shifted by 1 when pressed, embossed when disabled, clipped to the rect.
void DrawButtonCaption(CDC* dc, const RECT& rect, const CString& text, const LOGFONT& font, COLORREF color, int x,
                       bool pressed, bool enabled);
// Loads an icon of the resource library at a size (null when missing).
HICON LoadPackIcon(UINT id, int width, int height);

// The flat face shared by the soft and the tool buttons: the face colour,
// the four-shade frame, an optional icon left of the caption, the caption
// in the soft-button font and the focus rectangle. Derived buttons choose
// the frame's state (pressed, hovered) and add their own looks.
class CFlatFaceButton : public CButton {
 public:
  CFlatFaceButton();
  ~CFlatFaceButton() override;

  // The icon of the resource library at that size, drawn leftOffset pixels
  // from the left with gap pixels before the caption; false when missing.
  bool SetIcon(UINT id, int width, int height, int leftOffset, int gap);
  virtual int DrawIcon(CDC* dc, const RECT& rect, bool notPressed, bool enabled);
  virtual COLORREF GetFaceColor();

  void PreSubclassWindow() override;

  const LOGFONT& GetCaptionFont() const { return font_; }
  COLORREF GetTextColor() const { return textColor_; }

 protected:
  // The whole face: fill, frame (raised unless pressed, `rings` wide;
  // the disabled frame when disabled), icon, caption and focus rectangle.
  void DrawFace(const DRAWITEMSTRUCT& dis, bool pressed, int rings);

  afx_msg void OnClose();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

  LOGFONT font_;
  COLORREF textColor_ = 0;
  COLORREF faceColor_ = 0xC8D0D4;
  HICON icon_ = nullptr;
  int iconWidth_ = 0, iconHeight_ = 0, iconLeft_ = 0, iconGap_ = 0;

 private:
  void FreeIcon();
};

class CSoftButton : public CFlatFaceButton {
 public:
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  void PreSubclassWindow() override;

  CHoverTracker& GetHoverTracker() { return hover_; }

 protected:
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  DECLARE_MESSAGE_MAP()

  CHoverTracker hover_;
};

class CMyColorButton : public CSoftButton {
 public:
  // Face := the colour; text := white or black for contrast.
  void SetColor(COLORREF color);
};

class CToolbarButton : public CFlatFaceButton {
 public:
  void SetPressed(bool pressed);
  bool IsPressed() const { return pressed_ != 0; }

  void DrawItem(LPDRAWITEMSTRUCT dis) override;

 private:
  BYTE pressed_ = 0;
};
