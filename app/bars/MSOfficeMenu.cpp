#include "app/bars/MSOfficeMenu.h"

#include <algorithm>

#include "controls/AccelTable.h"
#include "controls/DrawUtils.h"
#include "platform/base/codepage.h"
#include "platform/base/resource.h"

namespace {

constexpr COLORREF kHighlightFill = RGB(192, 210, 255);
constexpr COLORREF kBandLeft = RGB(242, 242, 255);
constexpr COLORREF kBandRight = RGB(202, 202, 202);
constexpr COLORREF kCheckFill = RGB(230, 230, 230);
constexpr COLORREF kTick = RGB(185, 122, 0);
constexpr COLORREF kTickDisabled = RGB(128, 128, 128);
constexpr COLORREF kSeparatorLine = RGB(128, 128, 128);

std::vector<UINT>& CheckMarkCommands() {
  static std::vector<UINT> commands;
  return commands;
}

// A UTF-16 text of a menu template as a text of the interface code page.
CString FromUtf16(const std::u16string& text) {
  std::string utf8;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      const unsigned low = text[i + 1];
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return FromUtf8(utf8);
}

void MakeTitleFont(CFont& font) {
  CLogFont lf;
  lf.SetFaceName("Verdana");
  lf.lfHeight = 12;
  lf.lfWeight = 700;
  font.CreateFontIndirect(&lf);
}

CFont& SharedItemFont() {
  static CFont font;
  if (!font.m_hObject) {
    CLogFont lf;
    lf.SetFaceName("Arial");
    lf.lfHeight = 16;
    font.CreateFontIndirect(&lf);
  }
  return font;
}

}  // namespace

// ---- Check-mark commands ----

void AddCheckMarkCommand(UINT command) {
  if (!IsCheckMarkCommand(command)) CheckMarkCommands().push_back(command);
}
bool IsCheckMarkCommand(UINT command) {
  const auto& v = CheckMarkCommands();
  return std::find(v.begin(), v.end(), command) != v.end();
}
void ClearCheckMarkCommands() { CheckMarkCommands().clear(); }

// ---- The shared font ----

CSelectDefaultTextFont::CSelectDefaultTextFont(CDC* dc) : m_dc(dc) { m_old = dc->SelectObject(&SharedItemFont()); }
CSelectDefaultTextFont::~CSelectDefaultTextFont() { m_dc->SelectObject(m_old); }

// ---- CMSOfficeMenu ----

CMSOfficeMenu::CMSOfficeMenu(CWnd* owner, UINT message) : m_owner(owner), m_message(message) {}

CMSOfficeMenu::~CMSOfficeMenu() {
  if (m_owner && m_message && m_owner->m_hWnd && ::IsWindow(m_owner->m_hWnd)) m_owner->PostMessage(m_message);
  FreeMenu();
}

void CMSOfficeMenu::FreeMenu() {
  while (!m_subMenus.empty()) m_subMenus.pop_back();
  if (m_hMenu) DestroyMenu();
  m_items.clear();
}

bool CMSOfficeMenu::LoadResourceMenu(UINT id) {
  const QmResourceBytes bytes = LoadResourceBytes(AfxGetResourceHandle(), MAKEINTRESOURCE(id), RT_MENU);
  if (!bytes || bytes.size < 4) return false;
  FreeMenu();
  if (!CreateMenu()) return false;
  const BYTE* p = bytes.data;
  const BYTE* end = bytes.data + bytes.size;
  auto word = [&](WORD& out) {
    if (end - p < 2) return false;
    out = static_cast<WORD>(p[0] | (p[1] << 8));
    p += 2;
    return true;
  };
  WORD version = 0, offset = 0;
  word(version);
  word(offset);
  if (end - p < offset) return false;
  p += offset;
  struct Level {
    CMSOfficeMenu* menu;
    bool ended;
  };
  std::vector<Level> stack{{this, false}};
  // The walk stops at the resource's end even when the template is cut.
  while (!stack.empty() && p < end) {
    WORD flags = 0, command = 0;
    if (!word(flags)) break;
    if (!(flags & MF_POPUP) && !word(command)) break;
    std::u16string text;
    bool terminated = false;
    WORD ch = 0;
    while (word(ch)) {
      if (ch == 0) {
        terminated = true;
        break;
      }
      text += static_cast<char16_t>(ch);
    }
    if (!terminated) break;
    const bool last = (flags & MF_END) != 0;
    flags = static_cast<WORD>(flags & ~MF_END);
    const CString label = FromUtf16(text);
    if (flags & MF_POPUP) {
      if (last) stack.back().ended = true;
      auto sub = std::make_unique<CMSOfficeMenu>();
      sub->CreatePopupMenu();
      stack.back().menu->AppendItem(label, flags, reinterpret_cast<UINT_PTR>(sub->m_hMenu), -1);
      CMSOfficeMenu* raw = sub.get();
      m_subMenus.push_back(std::move(sub));
      stack.push_back({raw, false});
    } else {
      stack.back().menu->AppendItem(label, flags, command == 1 ? 0 : command, -1);
      if (last) stack.back().ended = true;
      while (!stack.empty() && stack.back().ended) {
        stack.back().menu->AlignShortcutColumn();
        stack.pop_back();
      }
    }
  }
  // The menu bar's own items stay plain text items.
  for (size_t i = 0; i < m_items.size(); ++i) {
    CMSOfficeMenuItem* item = m_items[i].get();
    const HMENU sub = ::GetSubMenu(m_hMenu, static_cast<int>(i));
    const UINT flags = sub ? (MF_BYPOSITION | MF_POPUP) : (MF_BYPOSITION | MF_STRING);
    ::ModifyMenu(m_hMenu, static_cast<UINT>(i), flags,
                 sub ? reinterpret_cast<UINT_PTR>(sub) : static_cast<UINT_PTR>(item->command), item->text);
    item->flags = flags;
  }
  return true;
}

CMSOfficeMenuItem* CMSOfficeMenu::AppendItem(const CString& text, UINT flags, UINT_PTR idOrPopup, int toolbarId) {
  auto item = std::make_unique<CMSOfficeMenuItem>();
  item->text = text;
  if (idOrPopup != 0) {
    flags |= MF_OWNERDRAW;
  } else {
    flags = MF_SEPARATOR | MF_OWNERDRAW;
  }
  item->flags = flags;
  item->command = (flags & MF_POPUP) ? 0 : static_cast<UINT>(idOrPopup);
  SetItemImage(item.get(), toolbarId);
  CMSOfficeMenuItem* raw = item.get();
  m_items.push_back(std::move(item));
  ::AppendMenu(m_hMenu, flags, idOrPopup, reinterpret_cast<LPCTSTR>(raw));
  return raw;
}

void CMSOfficeMenu::SetItemImage(CMSOfficeMenuItem* item, int toolbarId) {
  item->toolbar = -1;
  item->image = -1;
  if (toolbarId < 0) return;
  const QmToolbarTemplate* bar = LoadToolbarTemplate(AfxGetResourceHandle(), static_cast<UINT>(toolbarId));
  if (!bar) return;
  int picture = 0, found = -1;
  for (WORD command : bar->items) {
    if (command == 0) continue;
    if (command == item->command) {
      found = picture;
      break;
    }
    ++picture;
  }
  item->toolbar = toolbarId;
  item->image = found < 0 ? 0 : found;
  auto list = std::make_shared<CImageList>();
  if (list->Create(static_cast<UINT>(toolbarId), m_iconWidth, 1, ::GetSysColor(COLOR_BTNFACE))) item->images = list;
}

CMSOfficeMenuItem* CMSOfficeMenu::FindItem(UINT command) const {
  for (const auto& item : m_items)
    if (!(item->flags & MF_POPUP) && !(item->flags & MF_SEPARATOR) && item->command == command) return item.get();
  for (const auto& sub : m_subMenus)
    if (CMSOfficeMenuItem* found = sub->FindItem(command)) return found;
  return nullptr;
}

bool CMSOfficeMenu::LoadToolbars(const UINT* ids, int count) {
  bool all = true;
  for (int i = 0; i < count; ++i) all = LoadToolbarImages(ids[i]) && all;
  return all;
}

bool CMSOfficeMenu::LoadToolbarImages(UINT toolbarId) {
  const QmToolbarTemplate* bar = LoadToolbarTemplate(AfxGetResourceHandle(), toolbarId);
  if (!bar) return false;
  for (WORD command : bar->items)
    if (command != 0 && FindItem(command)) ModifyItem(nullptr, command, static_cast<int>(toolbarId));
  return true;
}

bool CMSOfficeMenu::ModifyItem(const char* text, UINT command, int toolbarId) {
  CMSOfficeMenuItem* item = FindItem(command);
  if (!item) {
    auto made = std::make_unique<CMSOfficeMenuItem>();
    made->command = command;
    item = made.get();
    m_items.push_back(std::move(made));
  }
  if (text) item->text = text;
  // Every drop-down keeps the 16 x 15 layout whatever this menu's size.
  const int width = m_iconWidth, height = m_iconHeight;
  m_iconWidth = 16;
  m_iconHeight = 15;
  SetItemImage(item, toolbarId);
  m_iconWidth = width;
  m_iconHeight = height;
  return true;
}

void CMSOfficeMenu::AddToolbarIcons(UINT toolbarId, CImageList* list) {
  if (!list || !list->GetSafeHandle()) return;
  int cx = 16, cy = 15;
  ImageList_GetIconSize(*list, &cx, &cy);
  SetIconSize(cx, cy);
  const QmToolbarTemplate* bar = LoadToolbarTemplate(AfxGetResourceHandle(), toolbarId);
  if (!bar) return;
  int number = 0;
  for (WORD command : bar->items) {
    if (command == 0 || command == 1) continue;
    if (CMSOfficeMenuItem* item = FindItem(command)) {
      auto copy = std::make_shared<CImageList>();
      if (item->images && copy->Create(item->images.get())) {
        if (HICON icon = ImageList_GetIcon(*list, number, 0)) {
          copy->Add(icon);
          ::DestroyIcon(icon);
        }
        item->images = copy;
      }
    }
    ++number;
  }
}

CString CMSOfficeMenu::StripShortcutText(const CString& text) {
  const int tab = text.Find('\t');
  if (tab <= 0) return text;
  CString label = text.Left(tab);
  // Padding added to line the shortcuts up goes with them.
  int n = label.GetLength();
  while (n > 0 && label[n - 1] == ' ') --n;
  return label.Left(n);
}

void CMSOfficeMenu::ApplyShortcutLabels(const CAccelTable& table) {
  for (const auto& sub : m_subMenus) {
    for (const auto& item : sub->m_items) {
      if (item->flags & (MF_SEPARATOR | MF_POPUP)) continue;
      CString text = StripShortcutText(item->text);
      CString keys;
      if (table.GetKeyText(item->command, keys)) {
        CString joined;
        joined.Format("%s\t%s", text.GetString(), keys.GetString());
        text = joined;
      }
      item->text = text;
    }
    sub->AlignShortcutColumn();
  }
}

void CMSOfficeMenu::AlignShortcutColumn() {
  CWnd* main = AfxGetMainWnd();
  CClientDC dc(main);
  CFont* old = dc.SelectObject(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
  int widest = 0;
  auto labelOf = [](const CString& text) {
    const int tab = text.Find('\t');
    return tab >= 0 ? text.Left(tab) : text;
  };
  for (const auto& item : m_items) {
    if (item->flags & MF_SEPARATOR) continue;
    const CString label = labelOf(item->text) + " ";
    widest = std::max(widest, static_cast<int>(dc.GetTextExtent(label).cx));
  }
  for (const auto& item : m_items) {
    const int tab = item->text.Find('\t');
    if (tab < 0 || (item->flags & MF_SEPARATOR)) continue;
    CString label = item->text.Left(tab);
    // A label that cannot widen (an empty font) stops after a bounded run.
    for (int guard = 0; guard < 200 && dc.GetTextExtent(label).cx < widest; ++guard) label += ' ';
    item->text = label + item->text.Mid(tab);
  }
  dc.SelectObject(old);
}

HICON CMSOfficeMenu::GetCommandIcon(UINT command) const {
  const CMSOfficeMenuItem* item = FindItem(command);
  if (!item || item->image < 0 || !item->images) return nullptr;
  return ImageList_GetIcon(*item->images, item->image, 0);
}

void CMSOfficeMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  const auto* item = reinterpret_cast<const CMSOfficeMenuItem*>(mis->itemData);
  if (!item) return;
  if (item->flags & MF_SEPARATOR) {
    mis->itemWidth = 0;
    int height = ::GetSystemMetrics(SM_CYMENU) / 2;
    if (!item->text.IsEmpty()) {
      // A title keeps its whole height (the band would cut it otherwise).
      CClientDC dc(AfxGetMainWnd());
      CFont font;
      MakeTitleFont(font);
      CFont* old = dc.SelectObject(&font);
      CString title = item->text;
      title.Trim();
      height = std::max(height, static_cast<int>(dc.GetTextExtent(title).cy) + 4);
      dc.SelectObject(old);
    }
    mis->itemHeight = static_cast<UINT>(height);
    return;
  }
  CClientDC dc(AfxGetMainWnd());
  CSelectDefaultTextFont font(&dc);
  const CSize size = dc.GetTextExtent(item->text);
  mis->itemWidth = static_cast<UINT>(size.cx + 2 * m_iconWidth + 1);
  mis->itemHeight = static_cast<UINT>(std::max(::GetSystemMetrics(SM_CYMENU), m_iconHeight + 4));
}

void CMSOfficeMenu::DrawSeparator(CDC* dc, const CRect& r, const CMSOfficeMenuItem* item) {
  dc->FillSolidRect(r, RGB(255, 255, 255));
  DrawHorizontalGradient(dc, CRect(r.left, r.top, r.left + kBand, r.bottom), kBandLeft, kBandRight, 1);
  CPen pen(PS_SOLID, 1, kSeparatorLine);
  CPen* oldPen = dc->SelectObject(&pen);
  if (!item->text.IsEmpty()) {
    CString title = item->text;
    title.Trim();
    CFont font;
    MakeTitleFont(font);
    CFont* oldFont = dc->SelectObject(&font);
    dc->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
    dc->SetBkMode(TRANSPARENT);
    const CSize size = dc->GetTextExtent(title);
    const int t = r.top;
    const int x = r.left + kBand + (r.right - size.cx - (r.left + kBand)) / 2;
    const int y = t + (r.bottom - size.cy - t) / 2;
    dc->TextOut(x, y, title);
    const int m = (t + r.bottom) / 2;
    dc->MoveTo(r.left + kBand, m);
    dc->LineTo(x - 1, m);
    dc->MoveTo(x + size.cx + 1, m);
    dc->LineTo(r.right, m);
    dc->SelectObject(oldFont);
  } else {
    const int m = r.top + (r.bottom - r.top) / 2;
    const int y = (m + r.bottom) / 2 - 2;
    dc->MoveTo(r.left + kBand + 1, y);
    dc->LineTo(r.right, y);
  }
  dc->SelectObject(oldPen);
}

void CMSOfficeMenu::DrawCheckBox(CDC* dc, const CRect& rect, bool, bool radio, bool enabled, bool tick) {
  dc->FillSolidRect(rect, kCheckFill);
  CRect edge = rect;
  dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
  if (radio) {
    CBrush brush(::GetSysColor(COLOR_MENUTEXT));
    CBrush* oldBrush = dc->SelectObject(&brush);
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_MENUTEXT));
    CPen* oldPen = dc->SelectObject(&pen);
    dc->Ellipse(rect.left + 5, rect.top + 4, rect.left + 11, rect.top + 10);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
    return;
  }
  if (!tick) return;
  const COLORREF color = enabled ? kTick : kTickDisabled;
  const int x = rect.left + 4, y = rect.top + 4;
  static const int starts[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int c = 0; c < 7; ++c)
    for (int k = 0; k < 3; ++k) dc->SetPixel(x + c, y + starts[c] + k, color);
}

void CMSOfficeMenu::DrawDisabledImage(CDC* dc, int x, int y, const CMSOfficeMenuItem* item) {
  // The strips are drawn on the classic grey: loaded with that grey mapped
  // to the button face, only the ink is embossed.
  COLORMAP classicFace{RGB(192, 192, 192), ::GetSysColor(COLOR_BTNFACE)};
  CBitmap bitmap;
  if (!bitmap.LoadMappedBitmap(static_cast<UINT>(item->toolbar), 0, &classicFace, 1)) return;
  CDC source;
  source.CreateCompatibleDC(dc);
  CBitmap* old = source.SelectObject(&bitmap);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  const int sx = m_iconWidth * item->image;
  // The ink of the picture: every pixel that is neither face nor highlight,
  // embossed with a highlight edge at its right and bottom.
  for (int pass = 0; pass < 2; ++pass)
    for (int j = 0; j < m_iconHeight; ++j)
      for (int i = 0; i < m_iconWidth; ++i) {
        const COLORREF c = source.GetPixel(sx + i, j);
        if (c == face || c == light || c == CLR_INVALID) continue;
        if (pass == 0) dc->SetPixel(x + i + 1, y + j + 1, light);
        else dc->SetPixel(x + i, y + j, shadow);
      }
  source.SelectObject(old);
}

void CMSOfficeMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  const auto* item = reinterpret_cast<const CMSOfficeMenuItem*>(dis->itemData);
  if (!item) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const CRect r(dis->rcItem);
  if (item->flags & MF_SEPARATOR) {
    DrawSeparator(dc, r, item);
    return;
  }
  const int saved = dc->SaveDC();
  CSelectDefaultTextFont font(dc);
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const bool grayed = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool checked = (dis->itemState & ODS_CHECKED) != 0;
  const bool hasImage = item->toolbar != -1;
  const int W = m_iconWidth, H = m_iconHeight;
  const COLORREF fill = grayed ? ::GetSysColor(COLOR_BTNFACE) : kHighlightFill;
  const CRect band(r.left, r.top, r.left + kBand, r.bottom);
  if (selected) {
    CRect area = r;
    if (hasImage || checked) area.left = r.left + W + 5;
    dc->FillSolidRect(area, fill);
    dc->FillSolidRect(band, fill);
  } else {
    dc->FillSolidRect(r, RGB(255, 255, 255));
    DrawHorizontalGradient(dc, band, kBandLeft, kBandRight, 1);
  }
  int dy = (r.bottom - H - r.top - 4) / 2;
  if (dy < 0) dy = 0;
  if (hasImage) {
    if (grayed) {
      DrawHorizontalGradient(dc, CRect(r.left, r.top + dy, r.left + kBand, r.top + dy + H + 4), kBandLeft, kBandRight,
                             1);
      DrawDisabledImage(dc, r.left + 2, r.top + dy + 2, item);
    } else if (item->images) {
      const int offset = selected ? 1 : 2;
      item->images->Draw(dc, item->image, CPoint(r.left + offset, r.top + dy + offset), ILD_TRANSPARENT);
    }
  }
  // Radio items carry the framework's dot as their checked mark.
  bool radio = false;
  MENUITEMINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_CHECKMARKS;
  if (::GetMenuItemInfo(reinterpret_cast<HMENU>(dis->hwndItem), dis->itemID, FALSE, &info))
    radio = info.hbmpChecked != nullptr;
  const CRect box(r.left + 1, r.top + dy + 2, r.left + W + 1, r.top + dy + H + 2);
  if (!hasImage && checked) DrawCheckBox(dc, box, selected, radio, !grayed, true);
  else if (!hasImage && IsCheckMarkCommand(item->command)) DrawCheckBox(dc, box, selected, false, !grayed, false);
  if (!item->text.IsEmpty()) {
    CRect tr(r.left + W + 9, r.top - 1, r.right, r.bottom - 1);
    const int firstTab = item->text.Find('\t');
    const int lastTab = item->text.ReverseFind('\t');
    const CString label = firstTab >= 0 ? item->text.Left(firstTab) : item->text;
    const CString keys = lastTab >= 0 ? item->text.Mid(lastTab + 1) : CString();
    if (firstTab >= 0) tr.right -= W;
    dc->SetBkMode(TRANSPARENT);
    auto drawTexts = [&](CRect at) {
      dc->DrawText(label, &at, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
      if (!keys.IsEmpty()) dc->DrawText(keys, &at, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    };
    if (!grayed) {
      dc->SetTextColor(::GetSysColor(COLOR_MENUTEXT));
      drawTexts(tr);
    } else if (selected) {
      dc->SetTextColor(RGB(255, 255, 255));
      drawTexts(tr);
    } else {
      dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
      CRect moved = tr;
      moved.OffsetRect(1, 1);
      drawTexts(moved);
      dc->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
      drawTexts(tr);
    }
  }
  if (selected && !grayed) {
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(r, &black);
  }
  dc->RestoreDC(saved);
}

// ---- Icon pop-up ----

void ShowIconPopupMenu(UINT menuId, UINT toolbarId, CImageList* list, int x, int y, CWnd* owner, UINT message) {
  CMSOfficeMenu menu(owner, message);
  if (!menu.LoadResourceMenu(menuId)) return;
  menu.LoadToolbars(&toolbarId, 1);
  menu.AddToolbarIcons(toolbarId, list);
  CMenu* popup = menu.GetSubMenu(0);
  if (!popup) return;
  // The owner's update handlers decide each item's state first.
  CCmdUI ui;
  ui.m_pMenu = popup;
  ui.m_nIndexMax = popup->GetMenuItemCount();
  for (UINT i = 0; i < ui.m_nIndexMax; ++i) {
    ui.m_nIndex = i;
    ui.m_nID = popup->GetMenuItemID(static_cast<int>(i));
    if (ui.m_nID == 0 || ui.m_nID == static_cast<UINT>(-1)) continue;
    ui.DoUpdate(owner, FALSE);
  }
  popup->TrackPopupMenu(TPM_RIGHTBUTTON, x, y, owner);
}
