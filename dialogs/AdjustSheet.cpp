#include "dialogs/AdjustSheet.h"

#include <cstring>
#include <vector>

#include "builder/ColorOps.h"
#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "core/ViewServices.h"
#include "image/Image.h"
#include "lang/ids/adjust.h"
#include "lang/ids/controls.h"
#include "lang/ids/shared.h"
#include "palette/ColorSet.h"
#include "platform/base/waitcursor.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {

constexpr COLORREF kBitmapMask = 0xC0C0C0;

const CAdjustPage::SliderSpec kBrightnessSliders[] = {
    {IDC_ADJ_BRIGHTNESS, 0, 102, 51, IDC_ADJ_BRIGHTNESS_LABEL},
    {IDC_ADJ_CONTRAST, 0, 100, 50, IDC_ADJ_CONTRAST_LABEL},
};
const CAdjustPage::SliderSpec kHslSliders[] = {
    {IDC_ADJ_HUE, 0, 90, 45, IDC_ADJ_HUE_LABEL},
    {IDC_ADJ_SATURATION, 0, 100, 50, IDC_ADJ_SATURATION_LABEL},
    {IDC_ADJ_LIGHTNESS, 0, 100, 50, IDC_ADJ_LIGHTNESS_LABEL},
};
const CAdjustPage::SliderSpec kRgbSliders[] = {
    {IDC_ADJ_RED, 0, 81, 41, IDC_ADJ_RED_LABEL},
    {IDC_ADJ_GREEN, 0, 81, 41, IDC_ADJ_GREEN_LABEL},
    {IDC_ADJ_BLUE, 0, 81, 41, IDC_ADJ_BLUE_LABEL},
};

CString FormatId(UINT id, int value) {
  CString text;
  text.Format(LoadResString(id).GetString(), value);
  return text;
}

}  // namespace

// ---- CAdjustPage ----

BEGIN_MESSAGE_MAP(CAdjustPage, CPropertyPage)
  ON_WM_HSCROLL()
END_MESSAGE_MAP()

CAdjustPage::CAdjustPage(UINT normalTemplate, UINT compactTemplate, CColorSet* palette, const SliderSpec* specs,
                         int count)
    : CPropertyPage(IsSmallScreen() ? compactTemplate : normalTemplate), palette_(palette), sliderCount_(count) {
  for (int i = 0; i < count; ++i) specs_[i] = specs[i];
}

CAdjustSheet* CAdjustPage::Sheet() const { return dynamic_cast<CAdjustSheet*>(GetParent()); }

BOOL CAdjustPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  before_.SubclassDlgItem(IDC_ADJ_BEFORE, this);
  after_.SubclassDlgItem(IDC_ADJ_AFTER, this);
  for (int i = 0; i < sliderCount_; ++i) {
    sliders_[i].SubclassDlgItem(specs_[i].id, this);
    sliders_[i].SetRange(specs_[i].minimum, specs_[i].maximum, FALSE);
    sliders_[i].SetPos(specs_[i].neutral);
  }
  WriteLabels();
  initialised_ = true;
  return TRUE;
}

int CAdjustPage::Position(int i) const {
  return sliders_[i].GetSafeHwnd() ? sliders_[i].GetPos() : specs_[i].neutral;
}

void CAdjustPage::SetLabel(int i, const CString& text) { SetDlgItemText(specs_[i].labelId, text); }

void CAdjustPage::WriteLabels() {
  if (!GetSafeHwnd()) return;
  for (int i = 0; i < sliderCount_; ++i) SetLabel(i, LabelText(i, Position(i)));
}

void CAdjustPage::RememberPositions() {
  for (int i = 0; i < sliderCount_; ++i) remembered_[i] = Position(i);
}

BOOL CAdjustPage::OnSetActive() {
  RememberPositions();
  if (CAdjustSheet* sheet = Sheet()) snapshot_ = *sheet->GetWorkingPattern();
  return CPropertyPage::OnSetActive();
}

int CAdjustPage::SliderIndex(CWnd* bar) const {
  if (!bar) return -1;
  for (int i = 0; i < sliderCount_; ++i)
    if (sliders_[i].GetSafeHwnd() && bar->GetSafeHwnd() == sliders_[i].GetSafeHwnd()) return i;
  return -1;
}

void CAdjustPage::OnHScroll(UINT code, UINT, CScrollBar* bar) {
  WriteLabels();
  if (code != TB_ENDTRACK) return;
  const int slider = SliderIndex(bar);
  if (slider >= 0) OnSliderReleased(slider);
}

void CAdjustPage::PutPositionsAndRestart(const int* positions, int count) {
  for (int i = 0; i < count && i < sliderCount_; ++i)
    if (sliders_[i].GetSafeHwnd()) sliders_[i].SetPos(positions[i]);
  WriteLabels();
  if (CAdjustSheet* sheet = Sheet()) sheet->SetWorkingPattern(snapshot_);
}

void CAdjustPage::FinishAdjustment() {
  if (CAdjustSheet* sheet = Sheet()) sheet->RenderAfter();
  SetModified(TRUE);
}

void CAdjustPage::Reset() {
  if (!initialised_) return;
  if (CAdjustSheet* sheet = Sheet()) snapshot_ = *sheet->GetInitialPattern();
  for (int i = 0; i < sliderCount_; ++i)
    if (sliders_[i].GetSafeHwnd()) sliders_[i].SetPos(specs_[i].neutral);
  WriteLabels();
  SetModified(FALSE);
}

// ---- CBrightnessContrastPage ----

CBrightnessContrastPage::CBrightnessContrastPage(CColorSet* palette)
    : CAdjustPage(IDD_ADJUST_BC, IDD_ADJUST_BC_SMALL, palette, kBrightnessSliders, 2) {}

CString CBrightnessContrastPage::LabelText(int i, int position) const {
  return i == 0 ? FormatId(IDS_BRIGHTNESS_FORMAT, Brightness(position))
                : FormatId(IDS_CONTRAST_FORMAT, Contrast(position));
}

void CBrightnessContrastPage::OnSliderReleased(int) {
  const int now[2] = {Position(0), Position(1)};
  if (CAdjustSheet* sheet = Sheet())
    sheet->PushStep(CUndoAdjustStep(0, remembered_[0], remembered_[1], -1, now[0], now[1], -1));
  RememberPositions();
  SetValues(now[0], now[1], -1);
}

void CBrightnessContrastPage::SetValues(int brightness, int contrast, int) {
  CWaitCursor wait;
  const int positions[2] = {brightness, contrast};
  PutPositionsAndRestart(positions, 2);
  if (CAdjustSheet* sheet = Sheet(); sheet && palette_)
    AdjustBrightnessContrast(*sheet->GetWorkingPattern(), *palette_, Brightness(brightness), Contrast(contrast));
  FinishAdjustment();
}

// ---- CHslPage ----

CHslPage::CHslPage(CColorSet* palette) : CAdjustPage(IDD_ADJUST_HSL, IDD_ADJUST_HSL_SMALL, palette, kHslSliders, 3) {}

CString CHslPage::LabelText(int i, int position) const {
  switch (i) {
    case 0: return FormatId(IDS_HUE_FORMAT, Hue(position));
    case 1: return FormatId(IDS_SATURATION_FORMAT, Shift(position));
    default: return FormatId(IDS_LIGHTNESS_FORMAT, Shift(position));
  }
}

void CHslPage::OnSliderReleased(int) {
  const int now[3] = {Position(0), Position(1), Position(2)};
  if (CAdjustSheet* sheet = Sheet())
    sheet->PushStep(CUndoAdjustStep(1, remembered_[0], remembered_[1], remembered_[2], now[0], now[1], now[2]));
  RememberPositions();
  SetValues(now[0], now[1], now[2]);
}

void CHslPage::SetValues(int hue, int saturation, int lightness) {
  CWaitCursor wait;
  const int positions[3] = {hue, saturation, lightness};
  PutPositionsAndRestart(positions, 3);
  if (CAdjustSheet* sheet = Sheet(); sheet && palette_)
    AdjustHsl(*sheet->GetWorkingPattern(), *palette_, Hue(hue), Shift(saturation), Shift(lightness));
  FinishAdjustment();
}

// ---- CRGBPage ----

CRGBPage::CRGBPage(CColorSet* palette)
    : CAdjustPage(IDD_ADJUST_RGB, IDD_ADJUST_RGB_SMALL, palette, kRgbSliders, 3),
      labels_{CColorStatic(0x000060, "Tahoma", 14), CColorStatic(0x006000, "Tahoma", 14),
              CColorStatic(0x600000, "Tahoma", 14)} {}

BOOL CRGBPage::OnInitDialog() {
  for (int i = 0; i < 3; ++i) labels_[i].SubclassDlgItem(specs_[i].labelId, this);
  CAdjustPage::OnInitDialog();
  Reset();
  return TRUE;
}

CString CRGBPage::LabelText(int i, int position) const {
  const UINT names[3] = {IDS_SYMBOL_RED, IDS_CHANNEL_GREEN, IDS_SYMBOL_BLUE};
  CString text;
  text.Format("%s %d%%", LoadResString(names[i]).GetString(), PercentOf(position));
  return text;
}

void CRGBPage::SetLabel(int i, const CString& text) {
  if (labels_[i].GetSafeHwnd())
    labels_[i].SetText(text);
  else
    CAdjustPage::SetLabel(i, text);
}

void CRGBPage::Reset() {
  if (!sliders_[0].GetSafeHwnd()) return;
  CAdjustPage::Reset();
}

void CRGBPage::OnSliderReleased(int slider) {
  const int old = remembered_[slider];
  RememberPositions();
  const int now = Position(slider);
  if (CAdjustSheet* sheet = Sheet()) sheet->PushStep(CUndoAdjustStep(2, slider, old, -1, slider, now, -1));
  SetChannel(slider, now, -1);
}

void CRGBPage::SetChannel(int channel, int position, int) {
  if (channel < 0 || channel > 2) return;
  CWaitCursor wait;
  if (sliders_[channel].GetSafeHwnd()) sliders_[channel].SetPos(position);
  WriteLabels();
  CAdjustSheet* sheet = Sheet();
  if (!sheet) return;
  sheet->SetWorkingPattern(snapshot_);
  if (palette_) ShiftChannel(*sheet->GetWorkingPattern(), *palette_, channel, ShiftOf(position));
  FinishAdjustment();
}

void CRGBPage::ShiftChannel(CPattern& design, const CColorSet& palette, int channel, float shift) {
  CColorIndexMap cache;
  const int rows = static_cast<int>(design.GetRowCount());
  const int columns = static_cast<int>(design.GetColumnCount());
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const CBead* bead = design.GetBeadAt(column, row);
      if (!bead || !bead->IsPresent()) continue;
      const int index = bead->GetColorIndex(design);
      int mapped = cache.Lookup(index);
      if (mapped < 0) {
        const CPaletteColor* color = palette.GetColor(index);
        if (!color) continue;  // a bead without a colour keeps it
        COLORREF packed = color->GetColorref();
        const int shiftBits = 8 * channel;
        const int value = static_cast<int>((packed >> shiftBits) & 0xFF);
        const float moved = (static_cast<float>(value) * (1.0f / 255.0f) + shift) * 255.0f;
        const int clamped = moved <= 0.0f ? 0 : moved >= 255.0f ? 255 : static_cast<int>(moved);
        packed = (packed & ~(0xFFu << shiftBits)) | (static_cast<COLORREF>(clamped) << shiftBits);
        mapped = palette.FindNearestColorref(packed);
        // Without a colour in use the bead keeps its colour.
        if (mapped < 0) mapped = index;
        cache.Insert(index, mapped);
      }
      if (mapped != index) design.SetBeadColorIndex(column, row, mapped);
    }
  }
}

// ---- CAdjustSheet ----

CAdjustSheet::CAdjustSheet(CPattern* design, CColorSet* palette, UINT captionId, CWnd* parent, UINT startPage)
    : CPropertySheet(captionId, parent, startPage),
      design_(design),
      initial_(*design),
      working_(*design),
      palette_(palette),
      brightness_(palette),
      hsl_(palette),
      rgb_(palette) {
  m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_USEHICON;
  m_psh.dwFlags &= ~PSH_HASHELP;
  icon_ = LoadPackIcon(IDI_ADJUST_SHEET, 16, 16);
  m_psh.hIcon = icon_;
  AddPage(&brightness_);
  AddPage(&hsl_);
  AddPage(&rgb_);
}

CAdjustSheet::~CAdjustSheet() {
  for (int i = 0; i < 3; ++i) {
    GetAdjustPage(i)->GetBeforePreview().SetImage(nullptr);
    GetAdjustPage(i)->GetAfterPreview().SetImage(nullptr);
  }
  delete beforeImage_;
  delete afterImage_;
  if (icon_) ::DestroyIcon(icon_);
}

CAdjustPage* CAdjustSheet::GetAdjustPage(int index) {
  switch (index) {
    case 0: return &brightness_;
    case 1: return &hsl_;
    case 2: return &rgb_;
    default: return nullptr;
  }
}

BOOL CAdjustSheet::OnInitDialog() {
  CPropertySheet::OnInitDialog();
  CWaitCursor wait;
  LOGFONT lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = 15;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "Arial");
  font_.CreateFontIndirect(&lf);

  CRect client;
  GetClientRect(&client);
  int top = client.Height() - 30, bottom = client.Height() - 7;
  // On the row of OK and Cancel, wherever this platform puts them.
  if (CWnd* ok = GetDlgItem(IDOK)) {
    CRect r;
    ok->GetWindowRect(&r);
    ScreenToClient(&r);
    top = r.top;
    bottom = r.bottom;
  }
  const CRect back(5, top, IsRussianInterface() ? 149 : 105, bottom);
  back_.Create(LoadResString(IDS_BACK_TO_ORIGINAL), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, back, this,
               IDC_ADJ_BACK_TO_ORIGINAL);
  back_.SetFont(&font_);
  const CRect undo(back.right + 20, top, back.right + 114, bottom);
  CRect redo = undo;
  redo.OffsetRect(106, 0);
  const struct {
    CIButton* button;
    CRect rect;
    UINT id;
    UINT bitmap;
  } buttons[] = {{&undo_, undo, IDC_ADJ_UNDO, IDB_UNDO_BUTTON}, {&redo_, redo, IDC_ADJ_REDO, IDB_REDO_BUTTON}};
  for (const auto& b : buttons) {
    b.button->Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, b.rect, this, b.id);
    b.button->SetBitmap(b.bitmap, 16, 15, kBitmapMask);
    b.button->SetIconTextSpacing(-8);
    b.button->SetFont(&font_);
  }
  SetUndoRedoTexts(this, IDC_ADJ_UNDO, IDC_ADJ_REDO);
  FitUndoRedoCaptions();
  UpdateUndoButtons();
  if (ok_.SubclassDlgItem(IDOK, this)) {
    ok_.SetBitmap(IDB_APPLY_BUTTON, 16, 15, kBitmapMask);
    ok_.SetIconTextSpacing(-12);
  }
  RenderPreview(false);
  RenderPreview(true);
  changed_ = false;
  return TRUE;
}

void CAdjustSheet::FitUndoRedoCaptions() {
  // The buttons draw their caption centred in the room right of the
  // picture, overlapping it by the spacing (-8): a caption wider than the
  // button leaves (the Russian ones) would run over the picture and be cut
  // off. Such a button grows to fit, Redo moving with Undo's right edge.
  int shift = 0;
  for (CIButton* button : {&undo_, &redo_}) {
    if (!button->GetSafeHwnd()) continue;
    CString caption;
    button->GetWindowText(caption);
    caption.Remove('&');
    CClientDC dc(button);
    const int text = dc.GetTextExtent(caption).cx;
    CRect r;
    button->GetWindowRect(&r);
    ScreenToClient(&r);
    r.OffsetRect(shift, 0);
    const int needed = text + 32;
    if (needed > r.Width()) {
      shift += needed - r.Width();
      r.right = r.left + needed;
    }
    button->MoveWindow(&r);
  }
}

SIZE CAdjustSheet::PreviewSize(bool after) {
  SIZE size{100, 100};
  CPropertyPage* active = GetActivePage();
  for (int i = 0; i < 3; ++i) {
    CAdjustPage* page = GetAdjustPage(i);
    if (page != active || !page->GetSafeHwnd()) continue;
    CExternPatternPreview& preview = after ? page->GetAfterPreview() : page->GetBeforePreview();
    if (!preview.GetSafeHwnd()) continue;
    CRect r;
    preview.GetClientRect(&r);
    size = SIZE{r.Width(), r.Height()};
  }
  return size;
}

bool CAdjustSheet::RenderPreview(bool after) {
  CImage*& slot = after ? afterImage_ : beforeImage_;
  // The pages let go of the picture before it is deleted.
  for (int i = 0; i < 3; ++i) {
    CAdjustPage* page = GetAdjustPage(i);
    (after ? page->GetAfterPreview() : page->GetBeforePreview()).SetImage(nullptr);
  }
  delete slot;
  slot = nullptr;
  if (!palette_) return false;
  const SIZE size = PreviewSize(after);
  CClientDC dc(this);
  CBitmap bitmap;
  if (!RenderPatternThumbnail(&dc, after ? working_ : initial_, *palette_, size, 2, bitmap, GetViewBackgroundColor()))
    return false;
  slot = new CImage(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
  bitmap.DeleteObject();
  for (int i = 0; i < 3; ++i) {
    CAdjustPage* page = GetAdjustPage(i);
    (after ? page->GetAfterPreview() : page->GetBeforePreview()).SetImage(slot);
  }
  return true;
}

bool CAdjustSheet::RenderAfter() {
  changed_ = true;
  return RenderPreview(true);
}

void CAdjustSheet::PushStep(const CUndoAdjustStep& step) {
  steps_.Push(step);
  UpdateUndoButtons();
}

void CAdjustSheet::UpdateUndoButtons() {
  // The owner-drawn buttons paint their enabled look again.
  const struct {
    CIButton* button;
    bool enabled;
  } buttons[] = {{&undo_, steps_.CanUndo()}, {&redo_, steps_.CanRedo()}};
  for (const auto& b : buttons) {
    if (!b.button->GetSafeHwnd()) continue;
    b.button->EnableWindow(b.enabled);
    b.button->Invalidate();
  }
}

void CAdjustSheet::OnUndo() {
  CUndoAdjustStep step;
  if (!steps_.Undo(step)) return;
  if (step.m_page == GetActiveIndex()) {
    if (CAdjustPage* page = GetAdjustPage(step.m_page)) page->SetValues(step.m_old[0], step.m_old[1], step.m_old[2]);
  } else {
    SetActivePage(step.m_page);
  }
  UpdateUndoButtons();
}

void CAdjustSheet::OnRedo() {
  CUndoAdjustStep step;
  if (!steps_.Redo(step)) return;
  if (step.m_page == GetActiveIndex()) {
    if (CAdjustPage* page = GetAdjustPage(step.m_page)) page->SetValues(step.m_new[0], step.m_new[1], step.m_new[2]);
  } else {
    SetActivePage(step.m_page);
  }
  UpdateUndoButtons();
}

void CAdjustSheet::OnBackToOriginal() {
  if (changed_) {
    CWaitCursor wait;
    working_ = initial_;
    RenderAfter();
  }
  brightness_.Reset();
  hsl_.Reset();
  rgb_.Reset();
}

void CAdjustSheet::ApplyToDesign() {
  if (!design_) return;
  *design_ = working_;
  design_->SetModified(true);
  IMainFrame* frame = GetIMainFrame();
  if (CTabView* view = frame ? frame->GetTabView() : nullptr; view && view->GetPattern() == design_)
    view->OnPatternChanged(true);
  changed_ = true;
}

BOOL CAdjustSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDOK:
        if (changed_ && (!lParam || ::IsWindowEnabled(reinterpret_cast<HWND>(lParam)))) ApplyToDesign();
        break;
      case IDC_ADJ_BACK_TO_ORIGINAL:
        OnBackToOriginal();
        return TRUE;
      case IDC_ADJ_UNDO:
        OnUndo();
        return TRUE;
      case IDC_ADJ_REDO:
        OnRedo();
        return TRUE;
      default:
        break;
    }
  }
  return CPropertySheet::OnCommand(wParam, lParam);
}
