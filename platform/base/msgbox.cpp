#include "platform/base/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/waitcursor.h"

namespace {

std::mutex g_hookMutex;
MessageBoxHook g_hook;

std::vector<int> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {};
  }
}

QMessageBox::StandardButton StandardButtonOf(int id) {
  switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::NoButton;
  }
}

QString ToQt(LPCTSTR text) { return QString::fromStdString(ToUtf8(CString(text))); }

bool DisplayUsable() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app || QThread::currentThread() != app->thread()) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

const char* IconWord(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONSTOP: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONEXCLAMATION: return "warning";
    case MB_ICONINFORMATION: return "information";
    default: return "message";
  }
}

}  // namespace

namespace {
MessageBoxOwnerResolver g_ownerResolver = nullptr;
}  // namespace

void SetMessageBoxOwnerResolver(MessageBoxOwnerResolver resolver) { g_ownerResolver = resolver; }

void SetMessageBoxHook(MessageBoxHook hook) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  g_hook = std::move(hook);
}

int DefaultMessageBoxButton(UINT type) {
  const std::vector<int> buttons = ButtonsOf(type);
  if (buttons.empty()) return 0;
  const size_t n = (type & MB_DEFMASK) >> 8;
  return n < buttons.size() ? buttons[n] : buttons[0];
}

int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
  const CString body(text ? text : "");
  const CString title(caption ? caption : "Error");
  const std::vector<int> buttons = ButtonsOf(type);
  if (buttons.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  MessageBoxHook hook;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = g_hook;
  }
  if (hook) return hook(body, title, type);

  if (!DisplayUsable()) {
    const int answer = DefaultMessageBoxButton(type);
    std::fprintf(stderr, "[%s] %s: %s\n", IconWord(type), ToUtf8(title).c_str(), ToUtf8(body).c_str());
    return answer;
  }

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (type & MB_ICONMASK) {
    case MB_ICONSTOP: icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: icon = QMessageBox::Question; break;
    case MB_ICONEXCLAMATION: icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
    default: break;
  }
  // Centred on the owner's window when the window layer knows it, else on
  // the active window.
  QWidget* parent = (owner && g_ownerResolver) ? static_cast<QWidget*>(g_ownerResolver(owner)) : nullptr;
  if (parent) parent = parent->window();
  if (!parent) parent = QApplication::activeWindow();
  QMessageBox box(icon, ToQt(title), ToQt(body), QMessageBox::NoButton, parent);
  if (type & (MB_TOPMOST | MB_SYSTEMMODAL)) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  std::vector<std::pair<QAbstractButton*, int>> made;
  for (const int id : buttons) made.emplace_back(box.addButton(StandardButtonOf(id)), id);
  const int defaultId = DefaultMessageBoxButton(type);
  for (const auto& [button, id] : made)
    if (id == defaultId) box.setDefaultButton(qobject_cast<QPushButton*>(button));
  // Escape and the close button answer Cancel where there is one, OK for a
  // lone OK; a Yes/No or Abort/Retry/Ignore question must be answered.
  int escapeId = 0;
  for (const int id : buttons)
    if (id == IDCANCEL) escapeId = IDCANCEL;
  if (buttons.size() == 1) escapeId = buttons[0];
  for (const auto& [button, id] : made)
    if (id == escapeId) box.setEscapeButton(button);

  const bool waiting = WaitCursorDepth() > 0;
  if (waiting) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
  int answer = 0;
  do {
    box.exec();
    for (const auto& [button, id] : made)
      if (box.clickedButton() == button) answer = id;
    if (!answer && escapeId) answer = escapeId;
  } while (!answer);
  if (waiting) QGuiApplication::restoreOverrideCursor();
  return answer;
}

BOOL MessageBeep(UINT type) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
  return TRUE;
}
