#include "controls/WindowUtils.h"

#include <cstdlib>

#include "controls/DrawUtils.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/TextUtils.h"
#include "lang/ids/base.h"
#include "lang/ids/design.h"
#include "platform/wnd.h"

namespace {
// List-view messages (Windows numbers).
constexpr UINT kLvmFirst = 0x1000;
constexpr UINT kLvmGetNextItem = kLvmFirst + 12;
constexpr UINT kLvmGetItemRect = kLvmFirst + 14;
constexpr UINT kLvmGetTopIndex = kLvmFirst + 39;
constexpr WPARAM kLvniAll = 0;
constexpr LONG kLvirBounds = 0;

bool Inside(const RECT& r, LONG x, LONG y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
}  // namespace

void EnableCloseButton(CWnd* window, bool enable) {
  if (!window) return;
  CMenu* menu = window->GetSystemMenu(FALSE);
  if (menu) menu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void PlaceDialogBesideView(CWnd* dialog, CWnd* view, bool keepLeft, int divisor) {
  if (!dialog || !view) return;
  if (divisor <= 0) divisor = 2;
  RECT client;
  dialog->GetClientRect(&client);
  const int w = (client.right - client.left) + 2 * GetSystemMetrics(SM_CXBORDER) + 4;
  const int h = GetSystemMetrics(SM_CYCAPTION) + (client.bottom - client.top) + 2 * GetSystemMetrics(SM_CYBORDER) + 4;
  RECT area;
  view->GetClientRect(&area);
  view->ClientToScreen(&area);
  int left = area.left;
  if (!keepLeft || left + w > area.right) left = area.right - w;
  RECT frame;
  view->GetWindowRect(&frame);
  int top = frame.top + (frame.bottom - frame.top) / divisor - h / 2;
  if (top + h > frame.bottom) top = frame.bottom - h;
  if (top < 0) top = 0;
  if (left < 0) left = 0;
  const int screen = GetSystemMetrics(SM_CXFULLSCREEN);
  if (left + w > screen) left = screen - w;
  dialog->MoveWindow(left, top, w, h, TRUE);
}

void GetChildRectInParent(CWnd* parent, CWnd* child, RECT& out) {
  out = RECT{0, 0, 0, 0};
  if (!parent || !child) return;
  child->GetClientRect(&out);
  RECT childFrame, parentFrame;
  child->GetWindowRect(&childFrame);
  parent->GetWindowRect(&parentFrame);
  const int dx = childFrame.left - parentFrame.left - GetSystemMetrics(SM_CXDLGFRAME);
  const int dy = childFrame.top - parentFrame.top - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYDLGFRAME);
  out.left += dx;
  out.right += dx;
  out.top += dy;
  out.bottom += dy;
}

bool SetParentWindowIcon(CWnd* window, HICON icon) {
  CWnd* parent = window ? window->GetParent() : nullptr;
  if (!parent) return false;
  parent->SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  return true;
}

namespace {
bool ReadItemText(CWnd* dialog, int id, CString& text) {
  if (!dialog || !dialog->GetDlgItem(id)) return false;
  dialog->GetDlgItemText(id, text);
  return !text.IsEmpty();
}
}  // namespace

bool ReadDlgItemFloat(CWnd* dialog, int id, float& value, bool zeroAllowed) {
  CString text;
  if (!ReadItemText(dialog, id, text)) return false;
  value = static_cast<float>(ParseFloat(text));
  return zeroAllowed ? value >= 0 : value > 0;
}

bool ReadDlgItemInt(CWnd* dialog, int id, int& value, bool zeroAllowed) {
  CString text;
  if (!ReadItemText(dialog, id, text)) return false;
  value = std::atoi(text);
  return zeroAllowed ? value >= 0 : value > 0;
}

void SetUndoRedoTexts(CWnd* dialog, int undoId, int redoId) {
  if (!dialog) return;
  auto shortPart = [](UINT id) {
    const CString text = LoadResString(id);
    const int lineEnd = text.Find('\n');
    return lineEnd < 0 ? text : text.Mid(lineEnd + 1);
  };
  dialog->SetDlgItemText(undoId, shortPart(IDS_EDIT_UNDO));
  dialog->SetDlgItemText(redoId, shortPart(IDS_EDIT_REDO));
}

void DrawGradientFace(CDC* dc, CWnd* window, int step, bool horizontal, int spacing) {
  if (!window) return;
  RECT client;
  window->GetClientRect(&client);
  DrawGradientFace(dc, client, step, horizontal, spacing);
}

void CVisibleListItems::Reset(CWnd* list) {
  list_ = list;
  client_ = RECT{0, 0, 0, 0};
  index_ = -1;
  if (!list_) return;
  list_->GetClientRect(&client_);
  index_ = static_cast<int>(list_->SendMessage(kLvmGetTopIndex)) - 1;
}

bool CVisibleListItems::Next(int& index) {
  if (!list_) return false;
  for (;;) {
    const int next = static_cast<int>(list_->SendMessage(kLvmGetNextItem, static_cast<WPARAM>(index_), kLvniAll));
    if (next < 0 || next == index_) return false;
    index_ = next;
    RECT r{kLvirBounds, 0, 0, 0};
    if (!list_->SendMessage(kLvmGetItemRect, static_cast<WPARAM>(next), reinterpret_cast<LPARAM>(&r))) return false;
    if (Inside(client_, r.left, r.top) || Inside(client_, r.right, r.top) || Inside(client_, r.left, r.bottom) ||
        Inside(client_, r.right, r.bottom)) {
      index = next;
      return true;
    }
  }
}

void FillRegionCombo(CComboBox* combo) {
  if (!combo || !combo->GetSafeHwnd()) return;
  combo->ResetContent();
  combo->AddString(LoadResString(IDS_REGION_EVERYWHERE));
  combo->SetCurSel(0);
  combo->EnableWindow(FALSE);
}

void EnableOwnerDrawn(CWnd& control, bool enable) {
  if (!control.GetSafeHwnd()) return;
  if ((control.IsWindowEnabled() != FALSE) == enable) return;
  control.EnableWindow(enable ? TRUE : FALSE);
  control.Invalidate(FALSE);
}
