#include "tools/dialogshots/DialogShots.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <strings.h>

#include "platform/base/resource.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"

#ifndef QM_DIALOGSHOTS_SOURCE_DIR
#define QM_DIALOGSHOTS_SOURCE_DIR "."
#endif

namespace {

// The text as it shows: "&&" is "&", a single "&" marks the mnemonic.
CString ShownText(const CString& text) {
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.GetLength() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

// The size the text needs in the font: single line, or wrapped into width.
SIZE Measure(HFONT font, const CString& text, int wrapWidth) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE size{0, 0};
  const CString shown = ShownText(text);
  if (wrapWidth > 0) {
    RECT r{0, 0, wrapWidth, 0};
    DrawText(dc, shown, shown.GetLength(), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    size = SIZE{r.right - r.left, r.bottom - r.top};
  } else {
    // Each line of a multi-line text on its own.
    int start = 0;
    while (start <= shown.GetLength()) {
      int end = shown.Find('\n', start);
      if (end < 0) end = shown.GetLength();
      SIZE line{0, 0};
      CString part = shown.Mid(start, end - start);
      part.Remove('\r');
      GetTextExtentPoint32(dc, part, part.GetLength(), &line);
      if (part.IsEmpty()) {
        TEXTMETRIC tm{};
        GetTextMetrics(dc, &tm);
        line.cy = tm.tmHeight;
      }
      size.cx = std::max(size.cx, line.cx);
      size.cy += line.cy;
      start = end + 1;
    }
  }
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return size;
}

bool IsClass(HWND hwnd, const char* name) {
  char buffer[64] = {};
  GetClassName(hwnd, buffer, sizeof(buffer));
  return strcasecmp(buffer, name) == 0;
}

RECT RectInParent(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  POINT a{r.left, r.top}, b{r.right, r.bottom};
  ScreenToClient(parent, &a);
  ScreenToClient(parent, &b);
  return RECT{a.x, a.y, b.x, b.y};
}

// Frames, rectangles, icons and pictures of statics: no text to fit.
bool IsTextStatic(DWORD style) {
  const DWORD type = style & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// Controls that take room but never hold a caption to fit, and group boxes
// and frames, which others sit in.
bool TakesPart(HWND hwnd, DWORD style) {
  if (IsClass(hwnd, "Button") && (style & BS_TYPEMASK) == BS_GROUPBOX) return false;
  if (IsClass(hwnd, "Static") && !IsTextStatic(style) && (style & SS_TYPEMASK) != SS_ICON &&
      (style & SS_TYPEMASK) != SS_BITMAP)
    return false;
  return true;
}

void CheckText(HWND hwnd, std::vector<DialogLayoutProblem>& out) {
  CString text;
  const int length = GetWindowTextLength(hwnd);
  if (length <= 0) return;
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  GetWindowText(hwnd, buffer.data(), length + 1);
  text = buffer.data();
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  RECT client{};
  GetClientRect(hwnd, &client);
  const int width = client.right - client.left, height = client.bottom - client.top;
  const HFONT font = reinterpret_cast<HFONT>(SendMessage(hwnd, WM_GETFONT, 0, 0));
  SIZE need{0, 0};
  int haveW = width, haveH = height;
  if (IsClass(hwnd, "Static")) {
    if (!IsTextStatic(style)) return;
    const DWORD type = style & SS_TYPEMASK;
    const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    need = Measure(font, text, wraps ? width : 0);
  } else if (IsClass(hwnd, "Button")) {
    const DWORD type = style & BS_TYPEMASK;
    switch (type) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
      case BS_OWNERDRAW:
        haveW = width - 8;  // the button's frame and padding
        haveH = height - 2;
        break;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        haveW = width - 20;  // the box or circle and its gap
        haveH = height + 2;
        break;
      case BS_GROUPBOX:
        haveW = width - 16;  // the frame line on both sides of the title
        haveH = height;
        break;
      default:
        return;
    }
    need = Measure(font, text, (style & BS_MULTILINE) ? std::max(1, haveW) : 0);
  } else {
    return;
  }
  if (need.cx > haveW || need.cy > haveH) {
    std::ostringstream what;
    what << "text cut off: needs " << need.cx << " x " << need.cy << ", has " << haveW << " x " << haveH;
    out.push_back(DialogLayoutProblem{0, false, GetDlgCtrlID(hwnd), text, what.str()});
  }
}

}  // namespace

std::vector<DialogLayoutProblem> CheckDialogLayout(HWND dialog) {
  std::vector<DialogLayoutProblem> problems;
  struct Child {
    HWND hwnd;
    RECT rect;
    bool takesPart;
  };
  std::vector<Child> children;
  RECT client{};
  GetClientRect(dialog, &client);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(child, GWL_STYLE));
    if (!(style & WS_VISIBLE)) continue;
    const RECT r = RectInParent(child, dialog);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    children.push_back(Child{child, r, TakesPart(child, style)});
    CheckText(child, problems);
    if (r.left < client.left || r.top < client.top || r.right > client.right || r.bottom > client.bottom) {
      char text[256] = {};
      GetWindowText(child, text, sizeof(text));
      problems.push_back(DialogLayoutProblem{0, false, GetDlgCtrlID(child), text, "outside the dialog"});
    }
  }
  for (size_t i = 0; i < children.size(); ++i) {
    for (size_t j = i + 1; j < children.size(); ++j) {
      const Child &a = children[i], &b = children[j];
      if (!a.takesPart || !b.takesPart) continue;
      RECT both{};
      if (!IntersectRect(&both, &a.rect, &b.rect)) continue;
      char ta[256] = {}, tb[256] = {};
      GetWindowText(a.hwnd, ta, sizeof(ta));
      GetWindowText(b.hwnd, tb, sizeof(tb));
      std::ostringstream what;
      what << "overlaps control " << GetDlgCtrlID(b.hwnd) << " \"" << tb << "\"";
      problems.push_back(DialogLayoutProblem{0, false, GetDlgCtrlID(a.hwnd), ta, what.str()});
    }
  }
  return problems;
}

std::string DescribeProblem(const DialogLayoutProblem& p) {
  std::ostringstream out;
  out << "dialog " << p.dialog << (p.compact ? " (compact)" : "") << ": control " << p.control << " \""
      << p.text.GetString() << "\": " << p.what;
  return out.str();
}

bool SaveDialogShot(HWND window, const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return QmSaveWindowPng(window, path.c_str(), true);
}

std::string DefaultShotsDir(bool russian) {
  const char* env = std::getenv("QM_SOURCE_DIR");
  const std::filesystem::path root = env && *env ? env : QM_DIALOGSHOTS_SOURCE_DIR;
  return (root / "build" / "shots" / (russian ? "ru" : "en")).string();
}

namespace {

// The template with the classes nobody registered made plain statics, so a
// template that names a program class (made by its dialog at run time) can
// still be pictured.
QmDialogTemplate WithoutCustomClasses(const QmDialogTemplate& tpl) {
  QmDialogTemplate copy = tpl;
  for (QmDialogControl& c : copy.controls) {
    WNDCLASS info{};
    if (c.kind == QmControlKind::Custom && !GetClassInfo(nullptr, c.className, &info)) {
      c.className = "Static";
      c.kind = QmControlKind::Static;
      c.style = (c.style & ~0xFFFFu) | SS_LEFT;
    }
  }
  return copy;
}

}  // namespace

DialogShotResult ShootPackDialogs(HINSTANCE pack, const std::string& dir) {
  DialogShotResult result;
  const HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(pack);
  CWnd host;
  host.CreateEx(0, AfxRegisterWndClass(0), "Dialog host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr);
  for (const QmResourceKey& key : QmEnumResources(pack)) {
    const bool compact = key.type == static_cast<WORD>(reinterpret_cast<uintptr_t>(QM_RT_DIALOG_COMPACT));
    if (key.type != static_cast<WORD>(reinterpret_cast<uintptr_t>(RT_DIALOG)) && !compact) continue;
    if (key.id == 0) continue;
    const QmDialogTemplate* tpl = LoadDialogTemplate(pack, key.id, compact);
    if (!tpl) continue;
    const QmDialogTemplate usable = WithoutCustomClasses(*tpl);
    const bool child = (usable.style & WS_CHILD) != 0;
    HWND dialog = QmCreateDialogFromTemplate(usable, child ? host.GetSafeHwnd() : nullptr, nullptr, 0);
    if (!dialog) {
      result.problems.push_back(DialogLayoutProblem{key.id, compact, 0, "", "the dialog cannot be made"});
      continue;
    }
    ++result.dialogs;
    QmPumpMessages(200);
    for (DialogLayoutProblem p : CheckDialogLayout(dialog)) {
      p.dialog = key.id;
      p.compact = compact;
      result.problems.push_back(p);
    }
    if (!dir.empty()) {
      std::ostringstream name;
      name << "dialog_" << key.id << (compact ? "_compact" : "") << ".png";
      const std::string path = (std::filesystem::path(dir) / name.str()).string();
      if (SaveDialogShot(dialog, path)) result.files.push_back(path);
    }
    DestroyWindow(dialog);
  }
  host.DestroyWindow();
  AfxSetResourceHandle(previous);
  return result;
}
