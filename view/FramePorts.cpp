// The hooks through which the windows of this level reach the main frame.
#include "view/FramePorts.h"

#include "platform/base/msgbox.h"

namespace {
IMainFrame* g_frame = nullptr;
IProgress* g_progress = nullptr;
IPatternImage* g_patternImage = nullptr;
ITabView* g_tabView = nullptr;
IFrameServices* g_frameServices = nullptr;
}  // namespace

IMainFrame* GetIMainFrame() { return g_frame; }
IProgress* GetIProgress() { return g_progress; }
IPatternImage* GetIPatternImage() { return g_patternImage; }
ITabView* GetActiveTabView() { return g_frame ? g_tabView : nullptr; }
IFrameServices* GetFrameServices() { return g_frameServices; }

void SetMainFrameServices(IMainFrame* frame, IProgress* progress, IPatternImage* image) {
  g_frame = frame;
  g_progress = progress;
  g_patternImage = image;
}

void SetActiveTabView(ITabView* view) { g_tabView = view; }
void SetFrameServices(IFrameServices* services) { g_frameServices = services; }

void WarningBeep() {
  IMainFrame* frame = GetIMainFrame();
  if (!frame || frame->UseWarningSound()) MessageBeep(MB_ICONEXCLAMATION);
}
