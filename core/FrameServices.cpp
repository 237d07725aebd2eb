// Frame services that need no window: the accessors of the main window's
// interfaces, the compact-layout flag, the line reader and the status-bar
// progress objects.
#include "core/FrameServices.h"

#include "platform/base/resource.h"

namespace {
IMainFrame* g_frame = nullptr;
IProgress* g_progress = nullptr;
IPatternImage* g_patternImage = nullptr;
ITabView* g_tabView = nullptr;
IStatusProgressFactory* g_progressFactory = nullptr;
bool g_smallScreen = false;

bool HasStatusBar(IMainFrame* host) { return host && host->GetStatusBar(); }
}  // namespace

IMainFrame* GetIMainFrame() { return g_frame; }
IProgress* GetIProgress() { return g_progress; }
IPatternImage* GetIPatternImage() { return g_patternImage; }
ITabView* GetActiveTabView() { return g_frame ? g_tabView : nullptr; }

void SetMainFrameServices(IMainFrame* frame, IProgress* progress, IPatternImage* image) {
  g_frame = frame;
  g_progress = progress;
  g_patternImage = image;
}

void SetActiveTabView(ITabView* view) { g_tabView = view; }

void SetStatusProgressFactory(IStatusProgressFactory* factory) { g_progressFactory = factory; }

bool IsSmallScreen() { return g_smallScreen; }
void SetSmallScreen(bool small) { g_smallScreen = small; }

CString LoadResString(UINT id) {
  CString text;
  if (!LoadResourceString(AfxGetResourceHandle(), id, text)) text.Empty();
  return text;
}

// ---- CStringLineReader ----

bool CStringLineReader::ReadLine(CString& line) {
  const int length = text_.GetLength();
  if (position_ >= length) return false;
  auto isEnd = [&](int i) { return text_[i] == '\r' || text_[i] == '\n'; };
  if (isEnd(position_)) {
    ++position_;
    return false;
  }
  int end = position_;
  while (end < length && !isEnd(end)) ++end;
  line = text_.Mid(position_, end - position_);
  while (end < length && isEnd(end)) ++end;
  position_ = end;
  return true;
}

// ---- CStatusProgress ----

int CStatusProgress::ShiftForTotal(int total) {
  if (total >= 16384) return 8;
  if (total >= 8192) return 7;
  if (total >= 4096) return 6;
  if (total >= 2048) return 5;
  if (total >= 1024) return 4;
  return 0;
}

CStatusProgress::CStatusProgress(IMainFrame* host, int total, UINT captionId, bool scaleAllowed)
    : scaleAllowed_(scaleAllowed), host_(host) {
  CString caption;
  if (captionId != 0) caption = LoadResString(captionId);
  Start(total, caption.IsEmpty() ? nullptr : &caption);
}

CStatusProgress::CStatusProgress(IMainFrame* host, int total, const char* caption, bool scaleAllowed)
    : scaleAllowed_(scaleAllowed), host_(host) {
  const CString text(caption);
  Start(total, caption ? &text : nullptr);
}

void CStatusProgress::Start(int total, const CString* caption) {
  if (scaleAllowed_) {
    if (total < minimumTotal_) return;
    shift_ = ShiftForTotal(total);
    if (shift_ > 0) {
      scaled_ = true;
      total >>= shift_;
    }
  }
  active_ = true;
  total_ = total;
  if (g_progressFactory && HasStatusBar(host_)) display_ = g_progressFactory->Create(host_, total, caption, false);
}

CStatusProgress::~CStatusProgress() {
  if (host_) host_->ResetStatusTexts();
  delete display_;
}

void CStatusProgress::SetPos(int position) {
  if (!active_) return;
  if (scaled_) position >>= shift_;
  position_ = position;
  if (display_) display_->SetPos(position);
}

void CStatusProgress::SetStartColor(COLORREF color) {
  if (display_) display_->SetStartColor(color);
}

void CStatusProgress::SetEndColor(COLORREF color) {
  if (display_) display_->SetEndColor(color);
}

// ---- CSimpleStatusProgress ----

CSimpleStatusProgress::CSimpleStatusProgress(IMainFrame* host, int total, UINT captionId) : host_(host) {
  if (total < 2) return;
  active_ = true;
  CString caption;
  if (captionId != 0) caption = LoadResString(captionId);
  if (g_progressFactory && HasStatusBar(host_))
    display_ = g_progressFactory->Create(host_, total, caption.IsEmpty() ? nullptr : &caption, true);
}

CSimpleStatusProgress::~CSimpleStatusProgress() {
  if (host_) host_->ResetStatusTexts();
  delete display_;
}

void CSimpleStatusProgress::SetPos(int position) {
  if (!active_) return;
  position_ = position;
  if (display_) display_->SetPos(position);
}

// ---- Alert text, file title ----

CString MakeStatusAlertText(int kind, const char* text) {
  if (kind != 0 && kind != 1) return CString();
  CString message(text ? text : "");
  if (message.GetLength() > 255) message = message.Left(255);
  CString out;
  out += '\t';
  out += static_cast<char>(kind == 0 ? 1 : 2);
  out += message;
  return out;
}

void GetFileTitleFromPath(const char* path, CString& out) {
  CString name;
  SplitPath(CString(path ? path : ""), nullptr, nullptr, &name, nullptr);
  out = name;
}

// ---- Frame services and the starting flag ----

namespace {
IFrameServices* g_frameServices = nullptr;
bool g_appStarting = false;
}  // namespace

IFrameServices* GetFrameServices() { return g_frameServices; }
void SetFrameServices(IFrameServices* services) { g_frameServices = services; }
bool IsAppStarting() { return g_appStarting; }
void SetAppStarting(bool starting) { g_appStarting = starting; }
