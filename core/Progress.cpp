// The progress objects over their host.
#include "core/Progress.h"

#include "core/FrameServices.h"

// ---- CStatusProgress ----

int CStatusProgress::ShiftForTotal(int total) {
  if (total >= 16384) return 8;
  if (total >= 8192) return 7;
  if (total >= 4096) return 6;
  if (total >= 2048) return 5;
  if (total >= 1024) return 4;
  return 0;
}

CStatusProgress::CStatusProgress(IProgressHost* host, int total, UINT captionId, bool scaleAllowed)
    : scaleAllowed_(scaleAllowed), host_(host) {
  CString caption;
  if (captionId != 0) caption = LoadResString(captionId);
  Start(total, caption.IsEmpty() ? nullptr : &caption);
}

CStatusProgress::CStatusProgress(IProgressHost* host, int total, const char* caption, bool scaleAllowed)
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
  if (host_) display_ = host_->CreateProgressDisplay(total, caption, false);
}

CStatusProgress::~CStatusProgress() {
  if (host_) host_->OnProgressEnded();
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

CSimpleStatusProgress::CSimpleStatusProgress(IProgressHost* host, int total, UINT captionId) : host_(host) {
  if (total < 2) return;
  active_ = true;
  CString caption;
  if (captionId != 0) caption = LoadResString(captionId);
  if (host_) display_ = host_->CreateProgressDisplay(total, caption.IsEmpty() ? nullptr : &caption, true);
}

CSimpleStatusProgress::~CSimpleStatusProgress() {
  if (host_) host_->OnProgressEnded();
  delete display_;
}

void CSimpleStatusProgress::SetPos(int position) {
  if (!active_) return;
  position_ = position;
  if (display_) display_->SetPos(position);
}
