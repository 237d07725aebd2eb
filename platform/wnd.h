// The window stand-in: windows, messages and message maps, menus, the
// application object, document/view, the splitter, dialogs from templates,
// controls and window transparency. Qt stays inside platform/wnd.
#pragma once

#include "platform/gdi.h"
#include "platform/wnd/app.h"
#include "platform/wnd/commctrl.h"
#include "platform/wnd/commctrl_classes.h"
#include "platform/wnd/bars.h"
#include "platform/wnd/commdlg.h"
#include "platform/wnd/controls.h"
#include "platform/wnd/dialog.h"
#include "platform/wnd/docview.h"
#include "platform/wnd/hooks.h"
#include "platform/wnd/layered.h"
#include "platform/wnd/menu.h"
#include "platform/wnd/msgmap.h"
#include "platform/wnd/propsheet.h"
#include "platform/wnd/shellapi.h"
#include "platform/wnd/splitter.h"
#include "platform/wnd/tabctrl.h"
#include "platform/wnd/tooltip.h"
#include "platform/wnd/window.h"
#include "platform/wnd/winuser.h"
