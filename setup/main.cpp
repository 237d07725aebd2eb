#include "setup/SetupApp.h"

// The one application object of the setup program.
static qmsetup::CApp g_theSetup;

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
