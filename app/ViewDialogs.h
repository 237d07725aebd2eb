// What the application gives the design view's dialogs: the factories the
// view calls (mirror, edit colour group, the picture overlay), installed at
// start-up, and the closing of the open tool windows with the main window.
#pragma once

class CTabView;

// Installs the design view's dialog factories (view/ToolDialogs.h).
void InstallViewDialogFactories();

// Closes every modeless tool window of the view as its OK does, so the
// design keeps what the windows show and the close prompt asks about it.
// Windows that are still there afterwards are destroyed.
void CloseViewToolWindows(CTabView* view);
