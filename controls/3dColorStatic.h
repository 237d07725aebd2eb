// C3dColorStatic: a static text painted embossed (highlight copy up-left,
// shadow copy down-right, face colour on top), each line centred, the block
// centred vertically; and the main program's window class name. Both sit in
// their own small library (qm_3dstatic: platform and core only) so the setup
// program can link them.
#pragma once

#include "platform/wnd.h"

// The class name under which the main frame registers its window class.
extern const CString g_mainWindowClassName;
inline constexpr const char* kMainWindowClassName = "Quillmere Freeware Corvandel Application Class";

class C3dColorStatic : public CStatic {
 public:
  C3dColorStatic(COLORREF face, COLORREF highlight, COLORREF shadow, COLORREF background);
  ~C3dColorStatic() override;

  // The font description used at the next paint.
  void SetLogFont(const LOGFONT& font);
  // Switches the background fill off for good.
  void SetTransparent() { transparent_ = true; }
  bool IsTransparent() const { return transparent_; }

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  COLORREF face_, highlight_, shadow_, background_;
  LOGFONT font_;
  bool transparent_ = false;
};
