// System colours from one fixed table (the classic Windows scheme) and
// system metrics: the screen from Qt (1920 x 1080 when headless), the rest
// from a fixed table, so drawing is the same on every machine.
#include <QGuiApplication>
#include <QScreen>

#include "platform/gdi/internal.h"

DWORD GetSysColor(int index) {
  static const COLORREF table[31] = {
      RGB(212, 208, 200),  // COLOR_SCROLLBAR
      RGB(58, 110, 165),   // COLOR_BACKGROUND
      RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
      RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
      RGB(212, 208, 200),  // COLOR_MENU
      RGB(255, 255, 255),  // COLOR_WINDOW
      RGB(0, 0, 0),        // COLOR_WINDOWFRAME
      RGB(0, 0, 0),        // COLOR_MENUTEXT
      RGB(0, 0, 0),        // COLOR_WINDOWTEXT
      RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
      RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
      RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
      RGB(128, 128, 128),  // COLOR_APPWORKSPACE
      RGB(10, 36, 106),    // COLOR_HIGHLIGHT
      RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
      RGB(212, 208, 200),  // COLOR_BTNFACE
      RGB(128, 128, 128),  // COLOR_BTNSHADOW
      RGB(128, 128, 128),  // COLOR_GRAYTEXT
      RGB(0, 0, 0),        // COLOR_BTNTEXT
      RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
      RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
      RGB(64, 64, 64),     // COLOR_3DDKSHADOW
      RGB(212, 208, 200),  // COLOR_3DLIGHT
      RGB(0, 0, 0),        // COLOR_INFOTEXT
      RGB(255, 255, 225),  // COLOR_INFOBK
      RGB(181, 181, 181),  // 25 (unused)
      RGB(0, 0, 128),      // COLOR_HOTLIGHT
      RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
      RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
      RGB(10, 36, 106),    // COLOR_MENUHILIGHT
      RGB(212, 208, 200),  // COLOR_MENUBAR
  };
  if (index < 0 || index > 30) return 0;
  return table[index];
}

namespace {

QSize ScreenSize() {
  const QString platform = QGuiApplication::platformName();
  if (qGuiApp && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
      const QSize z = s->geometry().size();
      if (z.width() > 0 && z.height() > 0) return z;
    }
  }
  return QSize(1920, 1080);
}

}  // namespace

int GetSystemMetrics(int index) {
  const QSize screen = ScreenSize();
  constexpr int kTaskbar = 30;
  constexpr int kCaption = 19;
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.width();
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE:
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CYSMCAPTION: return 16;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return 15;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_CXFULLSCREEN: return screen.width();
    case SM_CYFULLSCREEN: return screen.height() - kTaskbar - kCaption;
    case SM_CXMAXIMIZED: return screen.width() + 8;
    case SM_CYMAXIMIZED: return screen.height() - kTaskbar + 8;
    case SM_CXMAXTRACK: return screen.width() + 12;
    case SM_CYMAXTRACK: return screen.height() + 12;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_MOUSEPRESENT:
    case SM_CMONITORS: return 1;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
    case SM_CYKANJIWINDOW:
    case SM_DEBUG:
    case SM_SWAPBUTTON:
    case SM_MENUDROPALIGNMENT: return 0;
    default: return 0;
  }
}
