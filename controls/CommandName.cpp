#include "controls/CommandName.h"

#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "platform/base/resource.h"

CString StripMenuMarks(const CString& text) {
  CString out;
  const int n = text.GetLength();
  for (int i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == '\t') break;
    if (c == '&') {
      if (i + 1 < n && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += c;
  }
  return out;
}

namespace {

bool FindMenuText(const std::vector<QmMenuItem>& items, UINT command, CString& out) {
  for (const QmMenuItem& item : items) {
    if (item.IsPopup()) {
      if (FindMenuText(item.items, command, out)) return true;
    } else if (item.id == command && item.id > 1) {
      out = item.text;
      return true;
    }
  }
  return false;
}

CString CleanMenuText(const CString& text) {
  CString out = StripMenuMarks(text);
  out.Trim();
  while (out.GetLength() > 0 && out[out.GetLength() - 1] == '.') out = out.Left(out.GetLength() - 1);
  return out;
}

}  // namespace

CString GetCommandName(UINT command) {
  CString text;
  if (const QmMenuTemplate* menu = LoadMenuTemplate(AfxGetResourceHandle(), IDR_MAINFRAME))
    if (FindMenuText(menu->items, command, text)) return CleanMenuText(text);
  const CString prompt = LoadResString(command);
  const int lineBreak = prompt.Find('\n');
  return lineBreak >= 0 ? prompt.Mid(lineBreak + 1) : prompt;
}
