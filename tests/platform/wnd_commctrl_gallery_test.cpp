// The gallery of the common controls: every kind (normal, selected,
// disabled, owner-drawn) in English and Russian, rendered to
// build/shots/platform/<language>/commctrl_*.png to be looked at.
#include <memory>

#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

struct Texts {
  const char* normal;
  const char* disabled;
  const char* ownerDrawn;
  const char* cols[3];
  const char* rows[5];
  const char* tree[6];
  const char* combo[4];
  const char* none;
};

const Texts kEnglish = {
    "Normal", "Disabled", "Owner-drawn",
    {"Colour", "Count", "Note"},
    {"Ruby red", "Jade green", "Sky blue", "Pearl", "Jet black"},
    {"File", "New design", "Open...", "Edit", "Undo", "Mirror..."},
    {"inch", "cm", "mm", "Loom"},
    "None"};

const Texts kRussian = {
    "Обычный", "Недоступен", "Рисует владелец",
    {"Цвет", "Кол-во", "Заметка"},
    {"Рубиновый", "Нефритовый", "Небесный", "Жемчужный", "Чёрный"},
    {"Файл", "Новый дизайн", "Открыть...", "Правка", "Отменить", "Отразить..."},
    {"дюйм", "см", "мм", "Станок"},
    "Нет"};

CString T(const char* utf8) { return FromUtf8(utf8); }

class CLabel : public CStatic {};

// A row's colour swatch, drawn by its owner.
class CSwatchList : public CListCtrl {
 public:
  void DrawItem(LPDRAWITEMSTRUCT d) override {
    CDC* dc = CDC::FromHandle(d->hDC);
    const bool sel = (d->itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(&d->rcItem, sel ? RGB(64, 128, 192) : RGB(255, 255, 255));
    CRect sw(d->rcItem.left + 2, d->rcItem.top + 2, d->rcItem.left + 30, d->rcItem.bottom - 2);
    dc->FillSolidRect(&sw, static_cast<COLORREF>(d->itemData));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(sel ? RGB(255, 255, 255) : RGB(0, 0, 0));
    CRect tr(sw.right + 6, d->rcItem.top, d->rcItem.right, d->rcItem.bottom);
    dc->DrawText(GetItemText(static_cast<int>(d->itemID), 0), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
};

class CColourCombo : public CComboBox {
 public:
  void DrawItem(LPDRAWITEMSTRUCT d) override {
    CDC* dc = CDC::FromHandle(d->hDC);
    if (d->itemID == static_cast<UINT>(-1)) {
      dc->FillSolidRect(&d->rcItem, GetSysColor(COLOR_WINDOW));
      return;
    }
    const COLORREF c = static_cast<COLORREF>(d->itemData);
    dc->FillSolidRect(&d->rcItem, c);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetRValue(c) + GetGValue(c) + GetBValue(c) < 384 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    CString t;
    GetLBText(static_cast<int>(d->itemID), t);
    CRect tr(d->rcItem);
    tr.left += 4;
    dc->DrawText(t, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (d->itemState & ODS_SELECTED) {
      CRect f(d->rcItem);
      f.DeflateRect(1, 1);
      dc->DrawFocusRect(&f);
    }
  }
  void MeasureItem(LPMEASUREITEMSTRUCT m) override { m->itemHeight = 18; }
};

class CSymbolBox : public CListBox {
 public:
  void MeasureItem(LPMEASUREITEMSTRUCT m) override {
    m->itemWidth = 30;
    m->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT d) override {
    CDC* dc = CDC::FromHandle(d->hDC);
    const bool used = d->itemData >= 256;
    dc->FillSolidRect(&d->rcItem, (d->itemState & ODS_SELECTED) ? RGB(0, 0, 192) : used ? RGB(192, 0, 0) : RGB(0, 128, 0));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    char s[2] = {static_cast<char>(d->itemData & 0xFF), 0};
    dc->TextOut(d->rcItem.left + 2, d->rcItem.top + 1, s, 1);
  }
};

const COLORREF kSwatches[5] = {RGB(170, 20, 40), RGB(40, 140, 90), RGB(90, 160, 230), RGB(235, 230, 215), RGB(20, 20, 20)};

// 16 x 16 images of the swatch colours.
bool SwatchImages(CImageList& images) {
  if (!images.Create(16, 16, ILC_COLOR24, 5, 0)) return false;
  for (COLORREF c : kSwatches) {
    std::vector<DWORD> bits(256, (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    CBitmap b;
    if (!b.CreateBitmap(16, 16, 1, 32, bits.data())) return false;
    images.Add(&b, static_cast<CBitmap*>(nullptr));
  }
  return true;
}

class Gallery : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { SetAnsiCodePage(GetParam() ? 1251 : 1252); }
  void TearDown() override {
    QmPumpMessages();
    SetAnsiCodePage(1252);
  }
  const Texts& L() const { return GetParam() ? kRussian : kEnglish; }
  std::string Shot(const char* name) const { return ShotsDir(GetParam()) + "/commctrl_" + name + ".png"; }

  void Label(CCtlHost& host, std::vector<std::unique_ptr<CWnd>>& keep, const char* text, int x, int y, int w = 150) {
    auto l = std::make_unique<CLabel>();
    l->Create(T(text), WS_CHILD | WS_VISIBLE, CRect(x, y, x + w, y + 16), &host);
    keep.push_back(std::move(l));
  }
};

void FillReport(CListCtrl& list, const Texts& t) {
  list.InsertColumn(0, T(t.cols[0]), LVCFMT_LEFT, 110);
  list.InsertColumn(1, T(t.cols[1]), LVCFMT_RIGHT, 60);
  list.InsertColumn(2, T(t.cols[2]), LVCFMT_LEFT, 80);
  for (int i = 0; i < 5; ++i) {
    list.InsertItem(i, T(t.rows[i]));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", 120 * (i + 1) + 7);
    list.SetItemText(i, 1, buf);
    list.SetItemText(i, 2, i % 2 ? "A-12" : "B-7");
    list.SetItemData(i, kSwatches[i]);
  }
}

}  // namespace

TEST_P(Gallery, ListsAndTrees) {
  CCtlHost host;
  ASSERT_TRUE(host.CreateHost(800, 460));
  std::vector<std::unique_ptr<CWnd>> keep;
  const Texts& t = L();
  // A report with grid lines and full-row selection, focused.
  Label(host, keep, t.normal, 10, 6);
  auto report = std::make_unique<CListCtrl>();
  ASSERT_TRUE(report->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 24, 272, 150), &host, 1));
  report->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  FillReport(*report, t);
  report->SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  report->SetFocus();
  // Custom draw: the third row in the shortage colours.
  host.onNotify = [&](NMHDR* nm) -> LRESULT {
    if (nm->code != NM_CUSTOMDRAW || nm->hwndFrom != report->m_hWnd) return 0;
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(nm);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && cd->nmcd.dwItemSpec == 2) {
      cd->clrText = 0x0000A4;
      cd->clrTextBk = 0x0091F7FF;
    }
    return CDRF_DODEFAULT;
  };
  // The same list disabled, without selection.
  Label(host, keep, t.disabled, 282, 6);
  auto disabled = std::make_unique<CListCtrl>();
  ASSERT_TRUE(disabled->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, CRect(282, 24, 544, 150), &host, 2));
  FillReport(*disabled, t);
  disabled->EnableWindow(FALSE);
  // Owner-drawn rows.
  Label(host, keep, t.ownerDrawn, 554, 6);
  auto owner = std::make_unique<CSwatchList>();
  ASSERT_TRUE(owner->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS |
                                LVS_NOCOLUMNHEADER,
                            CRect(554, 24, 790, 150), &host, 3));
  owner->InsertColumn(0, "", LVCFMT_LEFT, 230);
  for (int i = 0; i < 5; ++i) {
    owner->InsertItem(i, T(t.rows[i]));
    owner->SetItemData(i, kSwatches[i]);
  }
  owner->SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  // A tree, one branch open and an item selected.
  auto tree = std::make_unique<CTreeCtrl>();
  ASSERT_TRUE(tree->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                           CRect(10, 170, 272, 330), &host, 4));
  HTREEITEM file = tree->InsertItem(T(t.tree[0]));
  tree->InsertItem(T(t.tree[1]), file);
  HTREEITEM open = tree->InsertItem(T(t.tree[2]), file);
  HTREEITEM edit = tree->InsertItem(T(t.tree[3]));
  tree->InsertItem(T(t.tree[4]), edit);
  tree->InsertItem(T(t.tree[5]), edit);
  tree->Expand(file, TVE_EXPAND);
  tree->SelectItem(open);
  auto treeOff = std::make_unique<CTreeCtrl>();
  ASSERT_TRUE(treeOff->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                              CRect(282, 170, 544, 330), &host, 5));
  HTREEITEM f2 = treeOff->InsertItem(T(t.tree[0]));
  treeOff->InsertItem(T(t.tree[1]), f2);
  treeOff->InsertItem(T(t.tree[3]));
  treeOff->Expand(f2, TVE_EXPAND);
  treeOff->EnableWindow(FALSE);
  // A small-icon view.
  CImageList images;
  ASSERT_TRUE(SwatchImages(images));
  auto icons = std::make_unique<CListCtrl>();
  ASSERT_TRUE(icons->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_SMALLICON | LVS_SHOWSELALWAYS, CRect(554, 170, 790, 330), &host, 6));
  icons->SetImageList(&images, LVSIL_SMALL);
  for (int i = 0; i < 5; ++i) icons->InsertItem(i, T(t.rows[i]), i);
  icons->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  // A header of its own with an image.
  auto header = std::make_unique<CHeaderCtrl>();
  ASSERT_TRUE(header->Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_HORZ, CRect(10, 350, 400, 372), &host, 7));
  header->SetImageList(&images);
  for (int i = 0; i < 3; ++i) {
    HDITEM hd{};
    hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
    CString title = T(t.cols[i]);
    hd.pszText = const_cast<LPSTR>(title.GetString());
    hd.cxy = 130;
    hd.fmt = HDF_STRING | (i == 1 ? HDF_IMAGE | HDF_RIGHT : HDF_LEFT);
    hd.iImage = 2;
    header->InsertItem(i, &hd);
  }
  host.UpdateWindow();
  ASSERT_TRUE(QmSaveWindowPng(host.m_hWnd, Shot("lists").c_str(), false));
  icons->SetImageList(nullptr, LVSIL_SMALL);
  header->SetImageList(nullptr);
  host.DestroyWindow();
}

TEST_P(Gallery, CombosBoxesAndBars) {
  CCtlHost host;
  ASSERT_TRUE(host.CreateHost(800, 400));
  std::vector<std::unique_ptr<CWnd>> keep;
  const Texts& t = L();
  Label(host, keep, t.normal, 10, 6);
  auto drop = std::make_unique<CComboBox>();
  ASSERT_TRUE(drop->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, CRect(10, 24, 170, 200), &host, 10));
  for (int i = 0; i < 3; ++i) drop->AddString(T(t.combo[i]));
  drop->SetCurSel(1);
  auto list = std::make_unique<CComboBox>();
  ASSERT_TRUE(list->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 54, 170, 200), &host, 11));
  for (int i = 0; i < 5; ++i) list->AddString(T(t.rows[i]));
  list->SetCurSel(0);
  list->SetFocus();
  Label(host, keep, t.disabled, 180, 6);
  auto off = std::make_unique<CComboBox>();
  ASSERT_TRUE(off->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(180, 24, 340, 200), &host, 12));
  off->AddString(T(t.combo[3]));
  off->SetCurSel(0);
  off->EnableWindow(FALSE);
  Label(host, keep, t.ownerDrawn, 350, 6);
  auto colours = std::make_unique<CColourCombo>();
  ASSERT_TRUE(colours->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                              CRect(350, 24, 510, 200), &host, 13));
  for (int i = 0; i < 5; ++i) colours->SetItemData(colours->AddString(T(t.rows[i])), kSwatches[i]);
  colours->SetCurSel(2);
  // The extended combo box with images.
  CImageList images;
  ASSERT_TRUE(SwatchImages(images));
  auto ex = std::make_unique<CComboBoxEx>();
  ASSERT_TRUE(ex->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(520, 24, 700, 200), &host, 14));
  ex->SetImageList(&images);
  for (int i = 0; i < 5; ++i) {
    COMBOBOXEXITEM it{};
    it.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    it.iItem = i;
    CString s = T(t.rows[i]);
    it.pszText = const_cast<LPSTR>(s.GetString());
    it.iImage = it.iSelectedImage = i;
    it.lParam = i;
    ex->InsertItem(&it);
  }
  ex->SetCurSel(1);
  // List boxes: plain with a selection, disabled, owner-drawn in columns.
  auto lb = std::make_unique<CListBox>();
  ASSERT_TRUE(lb->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, CRect(10, 90, 170, 190), &host, 15));
  for (int i = 0; i < 5; ++i) lb->AddString(T(t.rows[i]));
  lb->SetCurSel(3);
  auto lbOff = std::make_unique<CListBox>();
  ASSERT_TRUE(lbOff->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, CRect(180, 90, 340, 190), &host, 16));
  for (int i = 0; i < 3; ++i) lbOff->AddString(T(t.rows[i]));
  lbOff->EnableWindow(FALSE);
  auto symbols = std::make_unique<CSymbolBox>();
  ASSERT_TRUE(symbols->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | LBS_MULTICOLUMN | LBS_OWNERDRAWFIXED | LBS_NOTIFY,
                              CRect(350, 90, 700, 190), &host, 17));
  symbols->SetColumnWidth(40);
  for (int c = 33; c < 80; ++c) symbols->SetItemData(symbols->AddString(nullptr), static_cast<DWORD_PTR>(c + (c % 7 == 0 ? 256 : 0)));
  symbols->SetCurSel(4);
  // Sliders, up-down controls, progress bars, hot keys.
  auto slider = std::make_unique<CSliderCtrl>();
  ASSERT_TRUE(slider->Create(WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, CRect(10, 205, 230, 235), &host, 18));
  slider->SetRange(0, 31);
  slider->SetTicFreq(4);
  slider->SetPos(15);
  auto sliderOff = std::make_unique<CSliderCtrl>();
  ASSERT_TRUE(sliderOff->Create(WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, CRect(240, 205, 460, 235), &host, 19));
  sliderOff->SetRange(50, 2000);
  sliderOff->SetTicFreq(100);
  sliderOff->SetPos(100);
  sliderOff->EnableWindow(FALSE);
  auto vslider = std::make_unique<CSliderCtrl>();
  ASSERT_TRUE(vslider->Create(WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH | TBS_AUTOTICKS, CRect(720, 24, 760, 190), &host, 20));
  vslider->SetRange(0, 10);
  vslider->SetPos(3);
  auto buddy = std::make_unique<CEdit>();
  ASSERT_TRUE(buddy->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER, CRect(10, 250, 90, 272), &host, 21));
  auto spin = std::make_unique<CSpinButtonCtrl>();
  ASSERT_TRUE(spin->Create(WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS,
                           CRect(0, 0, 16, 22), &host, 22));
  spin->SetRange32(0, 150000);
  spin->SetPos(12345);
  auto buddyOff = std::make_unique<CEdit>();
  ASSERT_TRUE(buddyOff->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(100, 250, 180, 272), &host, 23));
  auto spinOff = std::make_unique<CSpinButtonCtrl>();
  ASSERT_TRUE(spinOff->Create(WS_CHILD | WS_VISIBLE | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, CRect(0, 0, 16, 22), &host, 24));
  spinOff->SetRange32(2, 32);
  spinOff->SetPos(7);
  buddyOff->EnableWindow(FALSE);
  spinOff->EnableWindow(FALSE);
  auto progress = std::make_unique<CProgressCtrl>();
  ASSERT_TRUE(progress->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(200, 250, 460, 270), &host, 25));
  progress->SetRange(0, 100000);
  progress->SetPos(70000);
  auto smooth = std::make_unique<CProgressCtrl>();
  ASSERT_TRUE(smooth->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH, CRect(200, 280, 460, 300), &host, 26));
  smooth->SetRange(0, 100);
  smooth->SetPos(35);
  auto progressOff = std::make_unique<CProgressCtrl>();
  ASSERT_TRUE(progressOff->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(200, 310, 460, 330), &host, 27));
  progressOff->SetPos(50);
  progressOff->EnableWindow(FALSE);
  auto hot = std::make_unique<CHotKeyCtrl>();
  ASSERT_TRUE(hot->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(480, 250, 700, 272), &host, 28));
  hot->SetHotKey(VK_F5, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
  auto hotNone = std::make_unique<CHotKeyCtrl>();
  ASSERT_TRUE(hotNone->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(480, 280, 700, 302), &host, 29));
  hotNone->EnableWindow(FALSE);
  host.UpdateWindow();
  ASSERT_TRUE(QmSaveWindowPng(host.m_hWnd, Shot("boxes").c_str(), false));
  // The dropped lists.
  list->ShowDropDown(TRUE);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(list->GetComboBoxInfo(&info));
  ASSERT_TRUE(QmSaveWindowPng(info.hwndList, Shot("dropped").c_str(), false));
  list->ShowDropDown(FALSE);
  colours->ShowDropDown(TRUE);
  ASSERT_TRUE(colours->GetComboBoxInfo(&info));
  ASSERT_TRUE(QmSaveWindowPng(info.hwndList, Shot("dropped_owner").c_str(), false));
  colours->ShowDropDown(FALSE);
  ex->SetImageList(nullptr);
  host.DestroyWindow();
}

TEST_P(Gallery, RichEdit) {
  CCtlHost host;
  ASSERT_TRUE(host.CreateHost(500, 260));
  CRichEditCtrl rich;
  ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_READONLY | ES_MULTILINE | ES_WANTRETURN,
                          CRect(10, 10, 490, 250), &host, 30));
  const std::string rtf =
      GetParam() ? "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Tahoma;}}"
                   "{\\colortbl ;\\red192\\green0\\blue0;}\\fs20\\qc\\b \\'cb\\'e8\\'f6\\'e5\\'ed\\'e7\\'e8\\'ee\\'ed\\'ed\\'ee\\'e5 "
                   "\\'f1\\'ee\\'e3\\'eb\\'e0\\'f8\\'e5\\'ed\\'e8\\'e5\\b0\\par\\pard\\fs18 1. \\'cf\\'f0\\'ee\\'e3\\'f0\\'e0\\'ec\\'ec\\'e0 "
                   "\\'f0\\'e0\\'f1\\'ef\\'f0\\'ee\\'f1\\'f2\\'f0\\'e0\\'ed\\'ff\\'e5\\'f2\\'f1\\'ff {\\i \\'e1\\'e5\\'f1\\'ef\\'eb\\'e0\\'f2\\'ed\\'ee}."
                   "\\par 2. {\\cf1\\ul \\'c1\\'e5\\'e7 \\'e3\\'e0\\'f0\\'e0\\'ed\\'f2\\'e8\\'e9}\\'a0\\emdash  \\'ea\\'e0\\'ea \\'e5\\'f1\\'f2\\'fc.\\par}"
                 : "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red192\\green0\\blue0;}"
                   "{\\*\\generator Test;}\\fs20\\qc\\b License agreement\\b0\\par\\pard\\fs18 1. The program is "
                   "{\\i free} to use and to give away.\\par 2. {\\cf1\\ul No warranty}\\emdash  as it is.\\par}";
  struct Reader {
    std::string data;
    size_t at = 0;
  } reader{rtf};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&reader);
  es.pfnCallback = [](DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* pcb) -> DWORD {
    auto* r = reinterpret_cast<Reader*>(cookie);
    const LONG n = static_cast<LONG>(std::min<size_t>(static_cast<size_t>(cb), r->data.size() - r->at));
    std::memcpy(buf, r->data.data() + r->at, static_cast<size_t>(n));
    r->at += static_cast<size_t>(n);
    *pcb = n;
    return 0;
  };
  rich.StreamIn(SF_RTF, es);
  host.UpdateWindow();
  ASSERT_TRUE(QmSaveWindowPng(host.m_hWnd, Shot("richedit").c_str(), false));
  host.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Languages, Gallery, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return std::string(i.param ? "Russian" : "English"); });
