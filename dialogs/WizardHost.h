// IWizardHost: what the new-design wizard uses of the main window: the
// design view (its design, palette, original picture, history, rendering
// and zoom), the control pane, the frame's recent lists and status bar, and
// the file dialogs of pictures, palettes and designs. The New command hands
// the wizard the host over the real windows; tests hand it their own.
#pragma once

#include <memory>
#include <vector>

#include "platform/base.h"

class CColorSet;
class CImage;
class CPattern;
class CWnd;
class IProgressHost;

class IWizardHost {
 public:
  virtual ~IWizardHost() = default;

  // ---- The design view ----
  virtual CPattern& GetPattern() = 0;
  virtual CColorSet& GetColorSet() = 0;
  // The palette (with its in-use flags) and its file path become the view's.
  virtual void SetColorSet(const CColorSet& palette, const CString& path) = 0;
  // The decoded picture becomes the original picture, the view left as
  // loading that file would leave it (overlay closed, fit to window, path
  // kept).
  virtual void SetOriginalPicture(std::unique_ptr<CImage> picture, const CString& path) = 0;
  // The view keeps no original picture.
  virtual void DeleteOriginalPicture() = 0;
  virtual bool HasOriginalPicture() = 0;
  // Opens a design file into the view; false (with the view's own message)
  // when it cannot.
  virtual bool OpenDesignFile(const CString& path) = 0;
  virtual void ClearEditHistory() = 0;
  // Renders the design picture without a device context or invalidation.
  virtual void RenderPatternView() = 0;
  virtual void SetZoomMode(int mode) = 0;
  virtual void ApplyZoomMode() = 0;
  virtual void RepaintNow() = 0;

  // ---- The control pane ----
  virtual void FillColorList() = 0;
  virtual void UpdateOriginalControls() = 0;

  // ---- The frame ----
  virtual void GetRecentPictures(std::vector<CString>& out) = 0;
  virtual void AddRecentPicture(const CString& path) = 0;
  virtual void GetRecentPalettes(std::vector<CString>& out) = 0;
  virtual void AddRecentPalette(const CString& path) = 0;
  virtual void GetRecentDesigns(std::vector<CString>& out) = 0;
  virtual void SetStatusText(const CString& text) = 0;
  virtual unsigned long long GetMaxBeadCount() = 0;
  // Where the build shows its progress (null: nowhere).
  virtual IProgressHost* GetProgressHost() { return nullptr; }

  // ---- File dialogs (true with the chosen path on OK) ----
  // An open-picture dialog starting in the folder (none: the dialog's own).
  virtual bool AskPictureToOpen(CWnd* parent, const CString& folder, CString& path) = 0;
  // A save-picture dialog for a picture of that size; the 1-based filter
  // chosen comes back too.
  virtual bool AskPictureToSave(CWnd* parent, SIZE size, CString& path, int& filterIndex) = 0;
  // An open-palette dialog; `picture` (when not empty) lets the dialog look
  // for the best palette for it.
  virtual bool AskPaletteToOpen(CWnd* parent, const CString& folder, const CString& picture, CString& path) = 0;
  virtual bool AskDesignToOpen(CWnd* parent, const CString& folder, CString& path) = 0;
};
