// Wizard hosts that have nothing to offer beyond the design: no recent
// lists, no status bar, no file dialogs (each asks for nothing), a million
// beads at most; CViewOnlyHost is one over a real design view. Shared by the view-host tests and the benchmarks
// (bench/dialogs), so it needs no test framework.
#pragma once

#include <vector>

#include "dialogs/WizardViewHost.h"

namespace wiztest {

// The host's dealings outside the design view, all answered with nothing.
template <class Host>
class CNothingOffered : public Host {
 public:
  using Host::Host;
  void GetRecentPictures(std::vector<CString>&) override {}
  void AddRecentPicture(const CString&) override {}
  void GetRecentPalettes(std::vector<CString>&) override {}
  void AddRecentPalette(const CString&) override {}
  void GetRecentDesigns(std::vector<CString>&) override {}
  void SetStatusText(const CString&) override {}
  unsigned long long GetMaxBeadCount() override { return 1000000; }
  bool AskPictureToOpen(CWnd*, const CString&, CString&) override { return false; }
  bool AskPictureToSave(CWnd*, SIZE, CString&, int&) override { return false; }
  bool AskPaletteToOpen(CWnd*, const CString&, const CString&, CString&) override { return false; }
  bool AskDesignToOpen(CWnd*, const CString&, CString&) override { return false; }
};

using CViewOnlyHost = CNothingOffered<CWizardViewHost>;

}  // namespace wiztest
