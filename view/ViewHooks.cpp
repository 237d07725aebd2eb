#include "view/ViewHooks.h"

#include "core/FrameServices.h"
#include "core/ViewServices.h"
#include "platform/wnd.h"
#include "settings/GridSettings.h"
#include "view/PatternRender.h"
#include "view/ToolDialogs.h"

namespace {

CFrameWnd* MainFrame() { return dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); }

}  // namespace

void InstallViewHooks() {
  // The design alone is rendered, without a grid.
  SetPatternThumbnailRenderer([](CDC* dc, CPattern& design, CColorSet& palette, SIZE size, int startFactor,
                                 CBitmap& out, COLORREF background) {
    return RenderPatternThumbnail(dc, design, palette, size, startFactor, &out, background,
                                  static_cast<const CGridSettings*>(nullptr));
  });
  SetViewStatusHooks(
      [](const CString& text) {
        if (CFrameWnd* frame = MainFrame()) frame->SetMessageText(text);
      },
      [](const CString& text, int kind) {
        if (CFrameWnd* frame = MainFrame()) frame->SetMessageText(MakeStatusAlertText(kind, text));
      });
}
