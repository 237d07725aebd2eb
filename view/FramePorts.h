// The main frame and the design view as the windows of level 8 (the view,
// the dialogs) reach them: IMainFrame, IPatternImage and IFrameServices,
// which the main frame (app/, level 9) implements, and ITabView, which the
// design view implements. The levels below reach no window: they take what
// they need as parameters (a progress host, the PDF export's inputs).
//
// The accessors below are hooks, not ports: the main frame installs itself
// (SetMainFrameServices, SetFrameServices) when it is created and removes
// itself when it goes, and sets the active view (SetActiveTabView) when it
// creates the design view. They stay for what a window of this level needs
// of the frame above it and cannot be handed by its creator: the dialogs
// place themselves beside the control pane, the view and its pane ask the
// splitter to fit and the frame to keep temporary files, the preferences
// and the wizard's palette page reach the recent lists and the frame's page
// slot, the rulers read the rendered design's size. Tests install fakes
// through the same setters. Without a main frame every accessor answers null.
#pragma once

#include "core/Progress.h"
#include "platform/base.h"

class CAppStatusBar;
class CColorSet;
class CCommonUndo;
class CCtrlPane;
class CImageList;
class CImageView;
class CPattern;
class CPatternImageView;
class CRecentFileLst;
class CRecentFiles;
class CTabView;
class CWnd;

// The main frame's window services (status bar, design view, control pane,
// menu icons, the close box, the warning-sound option).
class IMainFrame {
 public:
  virtual CAppStatusBar* GetStatusBar() = 0;
  // Empties the remembered status texts so the next update hands them over
  // again.
  virtual void ResetStatusTexts() = 0;
  virtual CTabView* GetTabView() = 0;
  virtual CCtrlPane* GetCtrlPane() = 0;
  virtual CImageList* GetMenuImageList() = 0;
  virtual void EnableClose(bool enable) = 0;
  virtual bool UseWarningSound() { return true; }

 protected:
  ~IMainFrame() = default;
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

// What the view and the dialogs reach of the main frame beyond IMainFrame:
// the recent-file lists, temporary files, the splitter's fitting, the
// properties command, the wizard's palette page, the undo folder and the
// save prompt.
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

// The active design view as the windows that are not handed it see it:
// the design, its palette and the background it is drawn on.
class ITabView {
 public:
  virtual CTabView* GetTabView() = 0;
  virtual CPattern* GetPattern() = 0;
  virtual CColorSet* GetColorSet() = 0;
  virtual COLORREF GetBackgroundColor() = 0;

 protected:
  ~ITabView() = default;
};

// The main window's interfaces (null while there is no main window) and the
// design view's ITabView (null without a main window or design view).
IMainFrame* GetIMainFrame();
IProgress* GetIProgress();
IPatternImage* GetIPatternImage();
ITabView* GetActiveTabView();
IFrameServices* GetFrameServices();

// Installs (or, with nulls, removes) the main frame's interfaces and the
// design view's ITabView.
void SetMainFrameServices(IMainFrame* frame, IProgress* progress, IPatternImage* image);
void SetActiveTabView(ITabView* view);
void SetFrameServices(IFrameServices* services);

// The exclamation beep when the warning sound is on (IMainFrame::
// UseWarningSound; on when there is no main frame).
void WarningBeep();
