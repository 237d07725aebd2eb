#include "controls/AdjustButton.h"

#include "controls/Buttons.h"

CAdjustButton::CAdjustButton(UINT iconId, int width, int height)
    : width_(width), height_(height), icon_(LoadPackIcon(iconId, width, height)) {}

CAdjustButton::~CAdjustButton() {
  if (GetSafeHwnd()) DestroyWindow();
  if (icon_) DestroyIcon(icon_);
}

void CAdjustButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  dc->FillSolidRect(&dis->rcItem, 0xC0C0C0);
  const int p = (dis->itemState & ODS_SELECTED) ? 1 : 0;
  if (!icon_) return;
  if (dis->itemState & ODS_DISABLED)
    dc->DrawState(CPoint(p, p - 2), CSize(width_, height_), icon_, DSS_DISABLED, HBRUSH(nullptr));
  else
    DrawIconEx(dis->hDC, p, p, icon_, width_, height_, 0, nullptr, DI_NORMAL);
}
