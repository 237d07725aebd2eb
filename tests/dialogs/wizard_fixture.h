// A design view, control pane and frame for the wizard that records what
// the wizard asks of them, with palettes and pictures made at test time.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "design/Pattern.h"
#include "dialogs/WizardHost.h"
#include "image/Image.h"
#include "palette/ColorSet.h"
#include "tests/dialogs/wizard_compare.h"

namespace wiztest {

class CFakeHost : public IWizardHost {
 public:
  CPattern& GetPattern() override { return pattern; }
  CColorSet& GetColorSet() override { return palette; }
  void SetColorSet(const CColorSet& p, const CString& path) override;
  void SetOriginalPicture(std::unique_ptr<CImage> picture, const CString& path) override;
  void DeleteOriginalPicture() override;
  bool HasOriginalPicture() override { return original != nullptr; }
  bool OpenDesignFile(const CString& path) override;
  void ClearEditHistory() override { Log("ClearEditHistory"); }
  void RenderPatternView() override { Log("RenderPatternView"); }
  void SetZoomMode(int mode) override { Log("SetZoomMode " + std::to_string(mode)); }
  void ApplyZoomMode() override { Log("ApplyZoomMode"); }
  void RepaintNow() override { Log("RepaintNow"); }
  void FillColorList() override { Log("FillColorList"); }
  void UpdateOriginalControls() override { Log("UpdateOriginalControls"); }
  void GetRecentPictures(std::vector<CString>& out) override { out = recentPictures; }
  void AddRecentPicture(const CString& path) override;
  void GetRecentPalettes(std::vector<CString>& out) override { out = recentPalettes; }
  void AddRecentPalette(const CString& path) override;
  void GetRecentDesigns(std::vector<CString>& out) override { out = recentDesigns; }
  void SetStatusText(const CString& text) override { status = text; }
  unsigned long long GetMaxBeadCount() override { return maxBeads; }
  bool AskPictureToOpen(CWnd*, const CString& folder, CString& path) override;
  bool AskPictureToSave(CWnd*, SIZE, CString& path, int& filterIndex) override;
  bool AskPaletteToOpen(CWnd*, const CString& folder, const CString& picture, CString& path) override;
  bool AskDesignToOpen(CWnd*, const CString& folder, CString& path) override;

  void Log(const std::string& entry) { calls.push_back(entry); }

  CPattern pattern;
  CColorSet palette;
  CString palettePath;
  std::unique_ptr<CImage> original;
  CString originalPath;
  std::vector<std::string> calls;
  std::vector<CString> recentPictures, recentPalettes, recentDesigns;
  CString status;
  unsigned long long maxBeads = 1000000;
  // The answers of the file dialogs (empty: cancelled).
  CString openPicture, savePicture, openPalette, openDesign;
  int saveFilter = 1;
  bool openDesignResult = true;
};

// A palette of n colours, all in use, saved as an enciphered file.
CColorSet MakePalette(int colors);
std::filesystem::path SavePalette(const std::filesystem::path& folder, const std::string& name, int colors);
// A picture with a colour gradient and a few blocks, saved in the file's
// format (by its extension).
std::filesystem::path SavePicture(const std::filesystem::path& path, int width, int height);

// Message boxes answered and recorded for the object's life.
class CMessageLog {
 public:
  CMessageLog();
  ~CMessageLog();
  std::vector<std::string> texts;
  bool Has(const CString& text) const;
};

}  // namespace wiztest

// The window layer's test entry points (declared in platform/wnd/host.h,
// which brings Qt's headers along).
using QmModalHook = std::function<void(HWND dialog)>;
void QmSetModalHook(QmModalHook hook);
void QmPumpMessages(int maxMs);
bool QmSaveWindowPng(HWND hwnd, const char* path, bool withFrame);
void QmSendText(HWND hwnd, const char* text);
