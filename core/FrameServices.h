// The program-wide services that need no window: library texts, message
// boxes captioned with the program's title, the compact-layout flag, a line
// reader over a text, and the interfaces through which lower levels reach
// the main window (IMainFrame, IProgress, IPatternImage) and the design view
// (ITabView). The application installs its main frame at start-up with
// SetMainFrameServices; until then the accessors answer null and a status
// progress shows nothing.
#pragma once

#include "platform/base.h"

class CAppStatusBar;
class CTabView;
class CCtrlPane;
class CImageList;
class CImageView;
class CPatternImageView;
class ITabView;

// Message-box types and answers (Windows numbers).
constexpr UINT kMbOk = 0x0;
constexpr UINT kMbIconStop = 0x10;          // MB_ICONHAND: errors and validation
constexpr UINT kMbYesNoCancelQuestion = 0x23;  // the save prompt
constexpr UINT kMbYesNoQuestion = 0x24;     // yes/no questions
constexpr UINT kMbIconInformation = 0x40;

// The text of a string-table entry of the language resource library; empty
// when the entry does not exist (at most 255 bytes, as the library gives
// them).
CString LoadResString(UINT id);
// A message box with the text, the program's title as caption and the box
// type; owned by `owner`, or by the main window when null. Returns the
// button pressed (IDOK, IDYES, IDNO, IDCANCEL...).
int AppMessageBox(const char* text, UINT type, HWND owner = nullptr);
int AppMessageBoxId(UINT id, UINT type, HWND owner = nullptr);
// The main window that owns message boxes without an owner (null: none).
void SetMainWindowHandle(HWND window);

// True when the screen is at most 600 pixels high (compact dialog layouts).
bool IsSmallScreen();
// Set by the application at start-up from the screen height.
void SetSmallScreen(bool small);
// The rule: height <= 600.
inline bool IsSmallScreenHeight(int screenHeight) { return screenHeight <= 600; }

// A line reader over a text: lines end at CR or LF; runs of line ends are
// skipped. A text that begins with a line end gives false at once (the
// position then moves on by one character).
class CStringLineReader {
 public:
  explicit CStringLineReader(const CString& text) : text_(text) {}
  bool ReadLine(CString& line);
  int GetPosition() const { return position_; }

 private:
  CString text_;
  int position_ = 0;
};

// The main frame's services for the lower levels (status bar, design view,
// control pane, menu icons, the close box, the warning-sound option).
class IMainFrame {
 public:
  virtual CAppStatusBar* GetStatusBar() = 0;
  // Empties the remembered status texts so the next update hands them over
  // again.
  virtual void ResetStatusTexts() = 0;
  virtual CTabView* GetTabView() = 0;
  virtual CCtrlPane* GetCtrlPane() = 0;
  virtual void GetVersionValueName(CString& out) { out = "Version"; }
  virtual CImageList* GetMenuImageList() = 0;
  virtual void EnableClose(bool enable) = 0;
  virtual bool UseWarningSound() { return true; }
  virtual void Reserved1() {}
  virtual void Reserved2() {}

 protected:
  ~IMainFrame() = default;
};

// One progress display with a wait cursor.
class IProgress {
 public:
  virtual void Begin(int total, const char* caption) = 0;
  virtual void End() = 0;
  virtual void SetPos(int position) = 0;

 protected:
  ~IProgress() = default;
};

// The rendered design and its size, for the rulers.
class IPatternImage {
 public:
  virtual bool HasImage() = 0;
  virtual CPatternImageView* GetImage() = 0;
  virtual void GetPatternSizeInches(double& width, double& height) = 0;
  virtual void GetPatternSizeBeads(int& columns, int& rows) = 0;
  virtual CImageView* GetImageView() = 0;

 protected:
  ~IPatternImage() = default;
};

// The main window's interfaces (null while there is no main window) and the
// design view's ITabView (null without a main window or design view).
IMainFrame* GetIMainFrame();
IProgress* GetIProgress();
IPatternImage* GetIPatternImage();
ITabView* GetActiveTabView();

// Installs (or, with nulls, removes) the main frame's interfaces and the
// design view's ITabView.
void SetMainFrameServices(IMainFrame* frame, IProgress* progress, IPatternImage* image);
void SetActiveTabView(ITabView* view);

// The status-bar side of a progress display: the application installs a
// factory that creates the caption and bar controls on its status bar. No
// factory, no host or no status bar: nothing is shown.
class IStatusProgressDisplay {
 public:
  virtual ~IStatusProgressDisplay() = default;
  // The range of the bar is 0 .. total (1 .. total for the simple progress).
  virtual void SetPos(int position) = 0;
  virtual void SetStartColor(COLORREF color) = 0;
  virtual void SetEndColor(COLORREF color) = 0;
};
class IStatusProgressFactory {
 public:
  virtual ~IStatusProgressFactory() = default;
  // Creates the controls on the host's status bar; null when nothing can be
  // shown. simple selects the lighter display (plain bar, 200-pixel caption).
  virtual IStatusProgressDisplay* Create(IMainFrame* host, int total, const CString* caption, bool simple) = 0;
};
void SetStatusProgressFactory(IStatusProgressFactory* factory);

// A progress bar with a caption in the status bar for the length of one
// operation. With scaling allowed, totals below 2 show nothing and totals
// from 1024 on are shifted right (4 to 8 bits) so the range stays small.
class CStatusProgress {
 public:
  CStatusProgress(IMainFrame* host, int total, UINT captionId, bool scaleAllowed = true);
  CStatusProgress(IMainFrame* host, int total, const char* caption, bool scaleAllowed = true);
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
  IMainFrame* host_;
  bool active_ = false;
  bool scaled_ = false;
  int minimumTotal_ = 2;
  int total_ = 0;
  IStatusProgressDisplay* display_ = nullptr;
};

// The lighter progress of the design view's preview and export code.
class CSimpleStatusProgress {
 public:
  CSimpleStatusProgress(IMainFrame* host, int total, UINT captionId);
  ~CSimpleStatusProgress();
  CSimpleStatusProgress(const CSimpleStatusProgress&) = delete;
  CSimpleStatusProgress& operator=(const CSimpleStatusProgress&) = delete;
  void SetPos(int position);
  bool IsActive() const { return active_; }

 private:
  IMainFrame* host_;
  bool active_ = false;
  int position_ = 0;
  IStatusProgressDisplay* display_ = nullptr;
};

// ---- The status bar's alert text and a path's file title ----

// The status-bar alert text: TAB, the kind byte (1 red for kind 0, 2 green
// for kind 1) and the message, cut to 255 characters. Any other kind gives
// an empty text.
CString MakeStatusAlertText(int kind, const char* text);
// The file name of a path without its folder and extension.
void GetFileTitleFromPath(const char* path, CString& out);

// ---- The main frame's services for the design view, dialogs and export ----

class CRecentFiles;
class CRecentFileLst;
class CCommonUndo;
class CWnd;

// What the levels below the application reach of the main frame beyond
// IMainFrame: the recent-file lists, temporary files, the splitter's fitting,
// the properties command, the wizard's palette page, the undo folder and the
// save prompt. The frame installs itself with SetFrameServices.
class IFrameServices {
 public:
  virtual CRecentFiles* GetRecentDesigns() = 0;
  virtual CRecentFileLst* GetRecentPictures() = 0;
  virtual CRecentFileLst* GetRecentPalettes() = 0;
  // A file to delete when the main frame closes.
  virtual void AddTempFile(const char* path) = 0;
  // The splitter's left column to its fitted width, laid out once / twice.
  virtual void FitPanes() = 0;
  virtual void RefitPanes() = 0;
  // The design properties command (File > Properties).
  virtual void OnFileProperties() = 0;
  virtual void SetWizardPalettePage(CWnd* page) = 0;
  virtual void ClearWizardPalettePage() = 0;
  virtual CCommonUndo* GetUndoFolder() = 0;
  // Asks to save a modified design; false when the user cancels or the
  // design that was to be saved was not saved.
  virtual bool PromptSaveModified() = 0;

 protected:
  ~IFrameServices() = default;
};
// The installed frame services, null without a main frame.
IFrameServices* GetFrameServices();
void SetFrameServices(IFrameServices* services);

// The application's starting flag: set from the first step of start-up to
// its last (the empty design view draws no hint lines meanwhile).
bool IsAppStarting();
void SetAppStarting(bool starting);
