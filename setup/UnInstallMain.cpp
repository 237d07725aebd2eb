// UnInstall: removes the installation it sits in, after asking once.
#include "platform/wnd.h"
#include "setup/Uninstaller.h"

namespace {

class CUnInstallApp : public CWinApp {
 public:
  CUnInstallApp() : CWinApp("UnInstall") {}
  BOOL InitInstance() override {
    exitCode_ = qmsetup::RunUninstall(GetProgramFolder());
    return FALSE;
  }
  int ExitInstance() override {
    CWinApp::ExitInstance();
    return exitCode_;
  }

 private:
  int exitCode_ = 0;
};

CUnInstallApp g_theUninstaller;

}  // namespace

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
