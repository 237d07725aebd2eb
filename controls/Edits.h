// The text-entry and display controls of the dialogs, the control pane and
// the preference pages: numeric edits, a coloured transparent static, the
// picture and design previews and the group box with a coloured title bar.
#pragma once

#include <memory>

#include "platform/wnd.h"

class CImage;
class CPattern;
class CColorSet;

// Posted to the parent when Enter is pressed in an edit that notifies it:
// wParam the edit's control id, lParam 0.
extern const UINT g_msgEnterPushed;
// Posted by a CFloatEdit to itself after each accepted character.
extern const UINT g_msgCheckFloat;

// Integer or decimal entry: only digits, one decimal point (when allowed)
// and backspace are typed; pasted text is not filtered.
class CNumEdit : public CEdit {
 public:
  CNumEdit(bool allowDecimalPoint, bool notifyEnter);
  ~CNumEdit() override;
  BOOL PreTranslateMessage(MSG* msg) override;

 private:
  BYTE allowDecimal_;
  BYTE notifyEnter_;
};

// Decimal entry with a limit on decimals and on the integer value (maximum
// 0xFFFFFFFF, passed as -1, means none). A key that breaks a limit is undone
// silently: the text it was typed into comes back.
class CFloatEdit : public CEdit {
 public:
  CFloatEdit(int maxDecimals, DWORD maxValue);
  ~CFloatEdit() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // The integer part of a text as atoi reads its leading digits, saturating
  // at 2^32 (so a run of digits too long for 32 bits counts as over any
  // maximum).
  static unsigned long long LeadingValue(const CString& text);
  // Whether a text keeps both limits.
  bool Accepts(const CString& text) const;

 protected:
  afx_msg LRESULT OnCheckFloat(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  int maxDecimals_;
  DWORD maxValue_;
  CString lastText_;
};

// A static text in its own colour on the parent's background, with an
// optional own font (face name empty: the dialog's font is kept).
class CColorStatic : public CStatic {
 public:
  CColorStatic(COLORREF textColor = 0, const char* faceName = "", int height = 0, bool bold = false,
               bool underline = false);
  ~CColorStatic() override;

  // Sets the text and hides and shows the control so the parent repaints
  // under the transparent text.
  void SetText(const char* text);
  void SetLogFont(const LOGFONT& font);
  void SetTextColor(COLORREF color) { textColor_ = color; }
  COLORREF GetTextColor() const { return textColor_; }

  void PreSubclassWindow() override;
  BOOL DestroyWindow() override;

 protected:
  afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void FreeFont();
  COLORREF textColor_;
  CFont* font_ = nullptr;
  CString faceName_;
  BYTE bold_;
  BYTE underline_;
  int height_;
};

// The background colour of the design view (the settings' view background,
// which the view draws on).
COLORREF GetViewBackgroundColor();

// A static that shows a picture (not owned), centred on the view background.
class CExternPatternPreview : public CStatic {
 public:
  void SetImage(CImage* image);
  CImage* GetImage() const { return image_; }

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  CImage* image_ = nullptr;
};

// A static that shows a design rendered to its client size.
class CStaticPatternPreview : public CStatic {
 public:
  CStaticPatternPreview();
  ~CStaticPatternPreview() override;
  // Renders the design with the palette; false on failure (the previous
  // rendering stays).
  bool SetPattern(CPattern* design, CColorSet* palette);
  const CImage* GetImage() const { return image_.get(); }

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  std::unique_ptr<CImage> image_;
};

// A group box with a 16-pixel coloured title bar, an optional title icon and
// its own title font.
class CSSGroupBox : public CButton {
 public:
  enum : int { kAlignLeft = 0x100, kAlignRight = 0x200, kAlignCentre = 0x300 };
  CSSGroupBox(bool collapsible = false, COLORREF titleBarColor = 0x608080);
  ~CSSGroupBox() override;

  void Initialize();
  bool SetIcon(UINT id);
  void SetTitleFont(const LOGFONT* font);
  void SetFrameColors(COLORREF first, COLORREF second, bool redraw);
  void SetUserValue(int value, bool redraw);
  int GetUserValue() const { return userValue_; }
  int GetAlignment() const { return alignment_; }
  const RECT& GetFrameRect() const { return frame_; }
  // Where the title text starts (after the icon shift), for the current
  // text and fonts; y is the title line.
  POINT GetTitlePosition(CDC* dc);

  void PreSubclassWindow() override;

 protected:
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  COLORREF titleBarColor_;
  COLORREF frameFirst_, frameSecond_;
  COLORREF systemFirst_, systemSecond_;
  CFont* titleFont_ = nullptr;
  CString text_;
  int alignment_ = kAlignLeft;
  int margin_ = 8;
  RECT frame_{0, 0, 0, 0};
  HICON icon_ = nullptr;
  int userValue_ = 0;
  bool collapsible_;
};
