// Progress of long operations. The code that runs an operation receives a
// progress host as a parameter (null: nothing is shown) and keeps a
// CStatusProgress or CSimpleStatusProgress on it for the operation's length;
// the host (the main frame) makes the display. Nothing here is a window.
#pragma once

#include "platform/base.h"

// One progress display with a wait cursor (the picture loaders').
class IProgress {
 public:
  virtual void Begin(int total, const char* caption) = 0;
  virtual void End() = 0;
  virtual void SetPos(int position) = 0;

 protected:
  ~IProgress() = default;
};

// The caption and bar of one running progress, made by its host.
class IStatusProgressDisplay {
 public:
  virtual ~IStatusProgressDisplay() = default;
  // The range of the bar is 0 .. total (1 .. total for the simple progress).
  virtual void SetPos(int position) = 0;
  virtual void SetStartColor(COLORREF color) = 0;
  virtual void SetEndColor(COLORREF color) = 0;
};

// Where progress is shown: the main frame shows it on its status bar.
class IProgressHost {
 public:
  // Creates the display of one progress; null when nothing can be shown
  // (no status bar). simple selects the lighter display (plain bar,
  // 200-pixel caption). The caller deletes the display.
  virtual IStatusProgressDisplay* CreateProgressDisplay(int total, const CString* caption, bool simple) = 0;
  // A progress ended: the host hands its own status texts over again.
  virtual void OnProgressEnded() = 0;

 protected:
  ~IProgressHost() = default;
};

// A progress bar with a caption for the length of one operation. With
// scaling allowed, totals below 2 show nothing and totals from 1024 on are
// shifted right (4 to 8 bits) so the range stays small. Without a host it
// counts and shows nothing.
class CStatusProgress {
 public:
  CStatusProgress(IProgressHost* host, int total, UINT captionId, bool scaleAllowed = true);
  CStatusProgress(IProgressHost* host, int total, const char* caption, bool scaleAllowed = true);
  ~CStatusProgress();
  CStatusProgress(const CStatusProgress&) = delete;
  CStatusProgress& operator=(const CStatusProgress&) = delete;

  void SetPos(int position);
  void SetStartColor(COLORREF color);
  void SetEndColor(COLORREF color);

  bool IsActive() const { return active_; }
  bool IsScaled() const { return scaled_; }
  int GetShift() const { return shift_; }
  int GetPos() const { return position_; }
  // The range's upper bound after scaling.
  int GetTotal() const { return total_; }

  // The shift for a total: 8 from 16384, 7 from 8192, 6 from 4096, 5 from
  // 2048, 4 from 1024, else 0.
  static int ShiftForTotal(int total);

 private:
  void Start(int total, const CString* caption);

  bool scaleAllowed_;
  int shift_ = 0;
  int position_ = 0;
  IProgressHost* host_;
  bool active_ = false;
  bool scaled_ = false;
  int minimumTotal_ = 2;
  int total_ = 0;
  IStatusProgressDisplay* display_ = nullptr;
};

// The lighter progress of the design view's preview and export code.
class CSimpleStatusProgress {
 public:
  CSimpleStatusProgress(IProgressHost* host, int total, UINT captionId);
  ~CSimpleStatusProgress();
  CSimpleStatusProgress(const CSimpleStatusProgress&) = delete;
  CSimpleStatusProgress& operator=(const CSimpleStatusProgress&) = delete;
  void SetPos(int position);
  bool IsActive() const { return active_; }

 private:
  IProgressHost* host_;
  bool active_ = false;
  int position_ = 0;
  IStatusProgressDisplay* display_ = nullptr;
};
