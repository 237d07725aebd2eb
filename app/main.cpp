#include "app/App.h"

// The one application object of the process.
static CApp g_theApp;

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
