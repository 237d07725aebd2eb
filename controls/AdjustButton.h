// CAdjustButton: a small owner-drawn button that shows one icon on a silver
// face (the ruler bar's adjust button).
#pragma once

#include "platform/wnd.h"

class CAdjustButton : public CButton {
 public:
  // Loads the icon from the resource library.
  CAdjustButton(UINT iconId, int width, int height);
  ~CAdjustButton() override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  HICON GetIcon() const { return icon_; }

 private:
  int width_, height_;
  HICON icon_;
};
