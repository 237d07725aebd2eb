// What the common controls of this folder share: their registration,
// notifications to the parent, their font, device contexts over pictures.
#include "platform/base/codepage.h"
#include "platform/wnd/bars.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/tabctrl.h"
#include "platform/wnd/tooltip.h"

namespace qmwnd {

QmControlClass* MakeTabClass();
QmControlClass* MakeTipClass();
QmControlClass* MakeToolbarClass();
QmControlClass* MakeStatusClass();
QmControlClass* MakeFileNameFieldClass();
QmControlClass* MakeColorBoxClass();

void RegisterBarClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  QmRegisterControlClass(WC_TABCONTROL, CS_DBLCLKS | CS_PARENTDC, std::unique_ptr<QmControlClass>(MakeTabClass()));
  QmRegisterControlClass(TOOLTIPS_CLASS, CS_SAVEBITS, std::unique_ptr<QmControlClass>(MakeTipClass()));
  QmRegisterControlClass(TOOLBARCLASSNAME, CS_DBLCLKS, std::unique_ptr<QmControlClass>(MakeToolbarClass()));
  QmRegisterControlClass(STATUSCLASSNAME, CS_DBLCLKS, std::unique_ptr<QmControlClass>(MakeStatusClass()));
  // The file dialog's name field and the font dialog's colour box.
  QmRegisterControlClass("QmFileNameField", 0, std::unique_ptr<QmControlClass>(MakeFileNameFieldClass()));
  QmRegisterControlClass("QmFontColorBox", CS_DBLCLKS, std::unique_ptr<QmControlClass>(MakeColorBoxClass()));
}

LRESULT NotifyParent(HWND control, UINT code, NMHDR* nm) {
  Window* w = Find(control);
  if (!w || !nm) return 0;
  nm->hwndFrom = control;
  nm->idFrom = w->id;
  nm->code = code;
  const HWND parent = w->IsChild() ? w->parent : w->owner;
  if (!Find(parent)) return 0;
  return Send(parent, WM_NOTIFY, w->id, reinterpret_cast<LPARAM>(nm));
}

CString UiText(const char* english, const char* russianUtf8) {
  if (GetAnsiCodePage() == 1251) return CString(Utf8ToCodePage(russianUtf8, 1251));
  return CString(english);
}

HFONT ControlFont(HWND hwnd) {
  Window* w = Find(hwnd);
  if (w && w->font) return w->font;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

namespace {

class ImageSurface : public CDrawSurface {
 public:
  ImageSurface(QImage* image, QPoint origin) : image_(image), origin_(origin) {}
  QImage* SurfaceImage() override { return image_; }
  QPoint SurfaceOrigin() const override { return origin_; }
  QSize SurfaceSize() const override { return image_ ? image_->size() : QSize(); }

 private:
  QImage* image_;
  QPoint origin_;
};

}  // namespace

QWidget* NewPaintedWidget(QWidget* parent, Qt::FocusPolicy focus, Qt::WindowFlags flags) {
  auto* w = new QWidget(parent, flags);
  w->setAttribute(Qt::WA_OpaquePaintEvent);
  w->setFocusPolicy(focus);
  return w;
}

HDC CreateImageDC(QImage* image, QPoint origin) {
  if (!image || image->isNull()) return nullptr;
  return CreateSurfaceDC(std::make_shared<ImageSurface>(image, origin), nullptr);
}

}  // namespace qmwnd
