#include "dialogs/WizParamsPage.h"

#include <utility>
#include <vector>

#include "controls/BeadSizeCombo.h"
#include "controls/ComboFillers.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "design/WeaveFormat.h"
#include "dialogs/WizardBuild.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardHost.h"
#include "image/Image.h"
#include "lang/ids/base.h"
#include "lang/ids/newcomer.h"
#include "lang/ids/file.h"
#include "lang/ids/shared.h"
#include "lang/ids/shell.h"
#include "lang/ids/wizard.h"
#include "palette/ColorSet.h"
#include "platform/base/waitcursor.h"
#include "settings/AppSettings.h"

namespace {

// Keeps the page's ready flag cleared for the length of a programmatic
// change, so that the change handlers do not run.
class CNotReady {
 public:
  explicit CNotReady(bool& ready) : ready_(ready), was_(ready) { ready_ = false; }
  ~CNotReady() { ready_ = was_; }

 private:
  bool& ready_;
  bool was_;
};

constexpr int kSizeFields[] = {IDC_WIZ_WIDTH, IDC_WIZ_HEIGHT, IDC_WIZ_BEAD_WIDTH, IDC_WIZ_BEAD_HEIGHT, IDC_WIZ_SPACER};

void FillUnitCombo(CComboBox& combo) {
  combo.ResetContent();
  combo.AddString(LoadResString(IDS_UNIT_INCH));
  combo.AddString(LoadResString(IDS_UNIT_CM));
  combo.AddString(LoadResString(IDS_UNIT_MM));
  combo.SetCurSel(IsRussianInterface() ? kUnitCentimetre : kUnitInch);
}

// The picture preview's window inside group 1081.
constexpr UINT kPicturePreviewId = 777;

}  // namespace

BEGIN_MESSAGE_MAP(CWiz_3_SelectPatternParameters, CWizardPage)
ON_BN_CLICKED(IDC_WIZ_APPLY, OnApplyDesign)
ON_CBN_DROPDOWN(IDC_WIZ_UNIT, OnUnitDropDown)
ON_CBN_SELCHANGE(IDC_WIZ_UNIT, OnUnitChanged)
ON_BN_CLICKED(IDC_WIZ_PROPORTIONATE, OnProportionate)
ON_BN_CLICKED(IDC_WIZ_IN_INCHES, OnDesignIn)
ON_BN_CLICKED(IDC_WIZ_IN_BEADS, OnDesignIn)
ON_CBN_SELCHANGE(IDC_WIZ_BEAD_SIZE, OnBeadSizeChanged)
ON_CBN_SELCHANGE(IDC_WIZ_FORMAT, OnListChanged)
ON_CBN_SELCHANGE(IDC_WIZ_MASK, OnMaskChanged)
ON_CBN_SELCHANGE(IDC_WIZ_MASK_COLOR, OnListChanged)
ON_CBN_SELCHANGE(IDC_WIZ_COLOR_MODE, OnListChanged)
END_MESSAGE_MAP()

CWiz_3_SelectPatternParameters::CWiz_3_SelectPatternParameters()
    : CWizardPage(IDD_WIZ_PARAMETERS), m_hint(0xC00000, "Tahoma", 14) {}
CWiz_3_SelectPatternParameters::~CWiz_3_SelectPatternParameters() = default;

void CWiz_3_SelectPatternParameters::SetFieldText(int id, const CString& text) {
  CNotReady off(m_ready);
  SetDlgItemText(id, text);
}

CWizParamFields CWiz_3_SelectPatternParameters::CollectFields() const {
  CWizParamFields f;
  GetDlgItemText(IDC_WIZ_WIDTH, f.width);
  GetDlgItemText(IDC_WIZ_HEIGHT, f.height);
  GetDlgItemText(IDC_WIZ_BEAD_WIDTH, f.beadWidth);
  GetDlgItemText(IDC_WIZ_BEAD_HEIGHT, f.beadHeight);
  GetDlgItemText(IDC_WIZ_SPACER, f.spacer);
  f.unit = static_cast<int>(SendDlgItemMessage(IDC_WIZ_UNIT, CB_GETCURSEL));
  f.designIn = m_memory.GetMode();
  if (f.designIn == kDesignInBeads) {
    // The bead size chosen in Inches mode; the record's when its texts
    // cannot be read.
    const CWizardData* data = GetWizardData();
    if (!ParsePositiveNumber(m_memory.GetText(kDesignInInches, 0), f.keptBeadWidth))
      f.keptBeadWidth = data ? data->m_params.m_beadWidth : 0.0;
    if (!ParsePositiveNumber(m_memory.GetText(kDesignInInches, 1), f.keptBeadHeight))
      f.keptBeadHeight = data ? data->m_params.m_beadHeight : 0.0;
  }
  return f;
}

void CWiz_3_SelectPatternParameters::FillBeadSizeList() {
  FillBeadSizeCombo(*static_cast<CComboBox*>(GetDlgItem(IDC_WIZ_BEAD_SIZE)), GetAppSettings());
}

bool CWiz_3_SelectPatternParameters::ReadSelectedBeadSize(double& width, double& height) const {
  return GetSelectedBeadSize(*static_cast<const CComboBox*>(GetDlgItem(IDC_WIZ_BEAD_SIZE)), GetAppSettings(), width,
                             height);
}

BOOL CWiz_3_SelectPatternParameters::OnInitDialog() {
  CWizardPage::OnInitDialog();
  CWizardData* data = GetWizardData();
  CWizardData defaults;
  const CWizardData& record = data ? *data : defaults;
  m_apply.SubclassDlgItem(IDC_WIZ_APPLY, this);
  m_hint.SubclassDlgItem(IDC_WIZ_HINT, this);
  m_format.SubclassDlgItem(IDC_WIZ_FORMAT, this);
  m_mask.SubclassDlgItem(IDC_WIZ_MASK, this);
  m_colorMode.SubclassDlgItem(IDC_WIZ_COLOR_MODE, this);
  m_width.SubclassDlgItem(IDC_WIZ_WIDTH, this);
  m_height.SubclassDlgItem(IDC_WIZ_HEIGHT, this);
  m_spacer.SubclassDlgItem(IDC_WIZ_SPACER, this);
  m_maskColor.SubclassDlgItem(IDC_WIZ_MASK_COLOR, this);
  m_fill.SubclassDlgItem(IDC_WIZ_FILL_COLOR, this);
  m_border.SubclassDlgItem(IDC_WIZ_BORDER_COLOR, this);
  SetBeadFieldsDecimal(true);

  // 1-2: unit and size.
  auto* unit = static_cast<CComboBox*>(GetDlgItem(IDC_WIZ_UNIT));
  FillUnitCombo(*unit);
  const int u = unit->GetCurSel();
  SetFieldText(IDC_WIZ_WIDTH, FormatFieldValue(InchesToFieldUnits(record.m_params.m_width, u)));
  SetFieldText(IDC_WIZ_HEIGHT, FormatFieldValue(InchesToFieldUnits(record.m_params.m_height, u)));
  // 3: design-in mode.
  CheckRadioButton(IDC_WIZ_IN_INCHES, IDC_WIZ_IN_BEADS, record.m_designIn != 0 ? IDC_WIZ_IN_BEADS : IDC_WIZ_IN_INCHES);
  // 4: bead sizes. The list shows the preset the bead fields hold (none
  // for a size of the user's own); a record that never had a size chosen
  // starts with the list's first choice and its size.
  FillBeadSizeList();
  double beadWidth = record.m_params.m_beadWidth, beadHeight = record.m_params.m_beadHeight;
  {
    std::vector<std::pair<double, double>> presets;
    for (const CBeadSize& b : GetAppSettings().m_beadSizes) presets.emplace_back(b.width, b.height);
    const int fallback = static_cast<int>(SendDlgItemMessage(IDC_WIZ_BEAD_SIZE, CB_GETCURSEL));
    const CBeadSizeChoice choice = ChooseStartBeadSize(presets, beadWidth, beadHeight, fallback);
    if (choice.takePreset) {
      beadWidth = presets[static_cast<size_t>(choice.index)].first;
      beadHeight = presets[static_cast<size_t>(choice.index)].second;
      if (data) {
        data->m_params.m_beadWidth = beadWidth;
        data->m_params.m_beadHeight = beadHeight;
      }
    }
    SendDlgItemMessage(IDC_WIZ_BEAD_SIZE, CB_SETCURSEL, static_cast<WPARAM>(choice.index));
  }
  // 5: bead fields (the Inches texts) and spacer.
  SetFieldText(IDC_WIZ_BEAD_WIDTH, FormatFieldValue(beadWidth));
  SetFieldText(IDC_WIZ_BEAD_HEIGHT, FormatFieldValue(beadHeight));
  SetFieldText(IDC_WIZ_SPACER, FormatFieldValue(record.m_params.m_spacer));
  // 6: the lists.
  FillFormatCombo(m_formatImages, m_format, record.m_params.m_format);
  FillColorModeCombo(m_colorModeImages, m_colorMode, record.m_params.m_colorMode);
  m_maskImages.DeleteImageList();
  m_maskImages.Create(147, 16, 3, RGB(192, 192, 192));
  FillStitchPathCombo(m_maskImages, m_mask, record.m_params.m_stitchPath);
  FillColorLists();
  SendDlgItemMessage(IDC_WIZ_MASK_COLOR, CB_SETCURSEL, static_cast<WPARAM>(record.m_params.m_pathColor));
  m_apply.SetBitmap(IDB_APPLY_BUTTON, 16, 15, RGB(192, 192, 192));
  // 7: the per-mode memory, the mask colour, ready.
  m_memory.Bind(kDesignInInches);
  if (record.m_designIn != 0) ApplyDesignInMode(kDesignInBeads);
  else ApplyDesignInMode(kDesignInInches);
  GetDlgItem(IDC_WIZ_MASK_COLOR)->EnableWindow(GetComboSelData(m_mask) != 0 ? TRUE : FALSE);
  m_ready = true;
  UpdateSizeInfo();
  return TRUE;
}

void CWiz_3_SelectPatternParameters::FillColorLists() {
  CWizardSheet* sheet = GetSheet();
  CColorSet* palette = sheet ? sheet->GetWizardPalette() : nullptr;
  m_maskColor.FillAllColors(palette, true);
  m_fill.SetColorSet(palette);
  m_fill.Fill();
  m_border.SetColorSet(palette);
  m_border.Fill();
}

void CWiz_3_SelectPatternParameters::SetBeadFieldsDecimal(bool decimal) {
  constexpr int kIds[2] = {IDC_WIZ_BEAD_WIDTH, IDC_WIZ_BEAD_HEIGHT};
  for (int i = 0; i < 2; ++i) {
    CNumEdit& wanted = decimal ? m_beadSizes[i] : m_beadCounts[i];
    CNumEdit& other = decimal ? m_beadCounts[i] : m_beadSizes[i];
    if (other.GetSafeHwnd()) other.UnsubclassWindow();
    if (!wanted.GetSafeHwnd()) wanted.SubclassDlgItem(kIds[i], this);
  }
}

void CWiz_3_SelectPatternParameters::ShowPicturePreview(bool show) {
  if (!show) {
    if (m_preview.GetSafeHwnd()) m_preview.ShowWindow(SW_HIDE);
    return;
  }
  const CWizardData* data = GetWizardData();
  CWnd* group = GetDlgItem(IDC_WIZ_PICTURE_GROUP);
  if (!data || !group) return;
  if (!m_preview.GetSafeHwnd()) {
    CRect rect;
    group->GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.top += 20;
    rect.bottom -= 4;
    rect.left += 8;
    rect.right -= 2;
    if (!m_preview.Create("", WS_CHILD, rect, this, kPicturePreviewId)) return;
  }
  // The picture is read again only when another one was chosen.
  if (m_previewPath.CompareNoCase(data->m_picturePath) != 0 || !m_preview.GetImage()) {
    CWaitCursor wait;
    m_previewPath = data->m_picturePath;
    if (!m_preview.LoadImage(m_previewPath)) m_previewPath.Empty();
  }
  m_preview.ShowWindow(SW_SHOW);
}

void CWiz_3_SelectPatternParameters::ApplyDesignInMode(int mode) {
  if (mode != m_memory.GetMode()) {
    CString width, height;
    GetDlgItemText(IDC_WIZ_BEAD_WIDTH, width);
    GetDlgItemText(IDC_WIZ_BEAD_HEIGHT, height);
    int selection = static_cast<int>(SendDlgItemMessage(IDC_WIZ_BEAD_SIZE, CB_GETCURSEL));
    m_memory.Switch(mode, width, height, selection);
    SetFieldText(IDC_WIZ_BEAD_WIDTH, width);
    SetFieldText(IDC_WIZ_BEAD_HEIGHT, height);
    CNotReady off(m_ready);
    SendDlgItemMessage(IDC_WIZ_BEAD_SIZE, CB_SETCURSEL, static_cast<WPARAM>(selection));
  }
  const bool beads = m_memory.GetMode() == kDesignInBeads;
  SetBeadFieldsDecimal(!beads);
  SetDlgItemText(IDC_WIZ_COUNT_LABEL, LoadResString(beads ? IDS_WIZ_SIZE_LABEL : IDS_WIZ_BEADS_NUMBER));
  // Each bead field says what it holds: inches, or a count of beads.
  const CString inches = LoadResString(IDS_UNIT_INCH);
  SetDlgItemText(IDC_WIZ_ACROSS_UNIT, beads ? LoadResString(IDS_WIZ_UNIT_BEADS) : inches);
  SetDlgItemText(IDC_WIZ_DOWN_UNIT, beads ? LoadResString(IDS_WIZ_UNIT_BEADS) : inches);
  SetDlgItemText(IDC_WIZ_SPACER_UNIT, inches);
  GetDlgItem(IDC_WIZ_BEAD_SIZE)->ShowWindow(beads ? SW_HIDE : SW_SHOW);
  GetDlgItem(IDC_WIZ_BEAD_SIZE_LABEL)->ShowWindow(beads ? SW_HIDE : SW_SHOW);
  // In Beads mode the size follows from the counts and the kept bead size.
  m_width.SetReadOnly(beads ? TRUE : FALSE);
  m_height.SetReadOnly(beads ? TRUE : FALSE);
}

void CWiz_3_SelectPatternParameters::ShowPictureGroup(bool pictureProject) {
  const int picture = pictureProject ? SW_SHOW : SW_HIDE;
  const int blank = pictureProject ? SW_HIDE : SW_SHOW;
  GetDlgItem(IDC_WIZ_COLOR_MODE_GROUP)->ShowWindow(picture);
  GetDlgItem(IDC_WIZ_COLOR_MODE)->ShowWindow(picture);
  GetDlgItem(IDC_WIZ_HINT)->ShowWindow(picture);
  GetDlgItem(IDC_WIZ_FILL_COLOR)->ShowWindow(blank);
  GetDlgItem(IDC_WIZ_BORDER)->ShowWindow(blank);
  GetDlgItem(IDC_WIZ_BORDER_COLOR)->ShowWindow(blank);
  SetDlgItemText(IDC_WIZ_PICTURE_GROUP, LoadResString(pictureProject ? IDS_WIZ_ORIGINAL_GROUP : IDS_WIZ_BLANK_GROUP));
}

BOOL CWiz_3_SelectPatternParameters::OnSetActive() {
  const BOOL result = CWizardPage::OnSetActive();
  CWizardData* data = GetWizardData();
  const bool picture = !data || data->m_projectType == kProjectFromPicture;
  FillColorLists();
  if (data) SendDlgItemMessage(IDC_WIZ_MASK_COLOR, CB_SETCURSEL, static_cast<WPARAM>(data->m_params.m_pathColor));
  ShowPictureGroup(picture);
  CWnd* proportionate = GetDlgItem(IDC_WIZ_PROPORTIONATE);
  if (!picture) {
    CheckDlgButton(IDC_WIZ_PROPORTIONATE, BST_UNCHECKED);
    proportionate->EnableWindow(FALSE);
    ShowPicturePreview(false);
    // The record's colours when the palette has them, else no selection.
    CWizardSheet* sheet = GetSheet();
    const CColorSet* palette = sheet ? sheet->GetWizardPalette() : nullptr;
    m_fill.SetCurSel(-1);
    m_border.SetCurSel(-1);
    for (int i = 0; data && palette && i < palette->GetCount(); ++i) {
      const int rgb = static_cast<int>(palette->GetItem(i).GetColorref());
      if (rgb == data->m_blankColor && m_fill.GetCurSel() < 0) m_fill.SetCurSel(i);
      if (rgb == data->m_borderColor && m_border.GetCurSel() < 0) m_border.SetCurSel(i);
    }
    CheckDlgButton(IDC_WIZ_BORDER, data && data->m_borderColor != -1 ? BST_CHECKED : BST_UNCHECKED);
  } else {
    CheckDlgButton(IDC_WIZ_PROPORTIONATE, data && data->m_proportionate ? BST_CHECKED : BST_UNCHECKED);
    proportionate->EnableWindow(TRUE);
    ShowPicturePreview(true);
    CString nickname;
    GetDlgItemText(IDC_WIZ_NICKNAME, nickname);
    if (data && nickname.IsEmpty()) SetFieldText(IDC_WIZ_NICKNAME, GetPathTitle(data->m_picturePath));
    PostMessage(WM_COMMAND, MAKEWPARAM(IDC_WIZ_PROPORTIONATE, BN_CLICKED),
                reinterpret_cast<LPARAM>(proportionate->GetSafeHwnd()));
  }
  SetFinishText();
  if (CWizardSheet* sheet = GetSheet()) sheet->EnableFinish(false);
  m_built = false;
  m_lastBuildOk = false;
  return result;
}

BOOL CWiz_3_SelectPatternParameters::OnKillActive() {
  if (CWizardSheet* sheet = GetSheet()) sheet->EnableFinish(true);
  return CWizardPage::OnKillActive();
}

LRESULT CWiz_3_SelectPatternParameters::OnWizardNext() {
  if (CWizardSheet* sheet = GetSheet()) sheet->PostMessage(GetFinishOkMessage());
  return -1;
}

BOOL CWiz_3_SelectPatternParameters::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == EN_CHANGE && m_ready) OnFieldChanged(LOWORD(wParam));
  return CWizardPage::OnCommand(wParam, lParam);
}

void CWiz_3_SelectPatternParameters::OnFieldChanged(int id) {
  const CWizardData* data = GetWizardData();
  if (data && IsDlgButtonChecked(IDC_WIZ_PROPORTIONATE) && (id == IDC_WIZ_WIDTH || id == IDC_WIZ_HEIGHT)) {
    CWizParamFields fields = CollectFields();
    if (ApplyProportions(fields, data->m_pictureWidth, data->m_pictureHeight, id == IDC_WIZ_WIDTH)) {
      if (id == IDC_WIZ_WIDTH) SetFieldText(IDC_WIZ_HEIGHT, fields.height);
      else SetFieldText(IDC_WIZ_WIDTH, fields.width);
    }
  }
  for (int field : kSizeFields) {
    if (field == id) {
      UpdateSizeInfo();
      ReadParameters(false);
      break;
    }
  }
}

bool CWiz_3_SelectPatternParameters::UpdateSizeInfo() {
  CWizParamFields fields = CollectFields();
  CWizSizeInfo info;
  const bool ok = ComputeSizeInfo(fields, info, GetWizardData());
  if (info.spacerReset) SetFieldText(IDC_WIZ_SPACER, CString("0.00000"));
  if (!ok) return false;
  if (fields.designIn == kDesignInBeads) {
    SetFieldText(IDC_WIZ_WIDTH, FormatFieldValue(InchesToFieldUnits(info.width, fields.unit)));
    SetFieldText(IDC_WIZ_HEIGHT, FormatFieldValue(InchesToFieldUnits(info.height, fields.unit)));
  }
  CString status;
  status.Format(LoadResString(IDS_WIZ_SIZE_STATUS), info.actualWidth, static_cast<int>(info.columns), info.actualHeight,
                static_cast<int>(info.rows));
  if (IWizardHost* host = GetHost()) host->SetStatusText(status);
  // In Beads mode the field holds the bead size kept, in inches: it says so.
  SetFieldText(IDC_WIZ_COUNT_TEXT, fields.designIn == kDesignInBeads
                                       ? info.countText + " " + LoadResString(IDS_UNIT_INCH)
                                       : info.countText);
  return true;
}

bool CWiz_3_SelectPatternParameters::ReadParameters(bool showErrors) {
  CWizardData* data = GetWizardData();
  if (!data) return false;
  auto fail = [&](UINT message, int focus) {
    if (showErrors) {
      ShowStop(message);
      if (CWnd* field = GetDlgItem(focus)) GotoDlgCtrl(field);
    }
    return false;
  };
  int focus = 0;
  if (const UINT message = ReadSizeParameters(CollectFields(), *data, focus)) return fail(message, focus);
  const bool blank = data->m_projectType == kProjectBlankCanvas;
  COLORREF fillColor = 0;
  if (blank) {
    if (m_fill.GetCurSel() < 0) return fail(IDS_WIZ_NO_FILL_COLOR, IDC_WIZ_FILL_COLOR);
    fillColor = m_fill.GetSelectedColor();
  }
  data->m_params.m_format = static_cast<int>(GetComboSelData(m_format));
  data->m_params.m_stitchPath = static_cast<int>(GetComboSelData(m_mask));
  const int pathColor = static_cast<int>(SendDlgItemMessage(IDC_WIZ_MASK_COLOR, CB_GETCURSEL));
  data->m_params.m_pathColor = pathColor < 0 ? 0 : pathColor;
  data->m_params.m_lastByte = 1;
  data->m_params.m_blank = blank ? 1 : 0;
  if (blank) {
    CAppSettings& settings = GetAppSettings();
    data->m_blankColor = static_cast<int>(fillColor);
    settings.m_blankColor = fillColor;
    int borderColor = -1;
    if (IsDlgButtonChecked(IDC_WIZ_BORDER) && m_border.GetCurSel() >= 0)
      borderColor = static_cast<int>(m_border.GetSelectedColor());
    settings.m_borderColor = static_cast<COLORREF>(borderColor);
    data->m_borderColor = borderColor;
  }
  data->m_proportionate = IsDlgButtonChecked(IDC_WIZ_PROPORTIONATE) ? 1 : 0;
  data->m_rulerUnit = static_cast<int>(SendDlgItemMessage(IDC_WIZ_UNIT, CB_GETCURSEL));
  const int mode = m_colorMode.GetCurSel();
  data->m_params.m_colorMode = mode < 0 ? kColorModeExact : ColorModeFromComboPosition(mode);
  return true;
}

void CWiz_3_SelectPatternParameters::OnUnitDropDown() {
  m_droppedUnit = static_cast<int>(SendDlgItemMessage(IDC_WIZ_UNIT, CB_GETCURSEL));
}

void CWiz_3_SelectPatternParameters::OnUnitChanged() {
  const int now = static_cast<int>(SendDlgItemMessage(IDC_WIZ_UNIT, CB_GETCURSEL));
  if (!m_ready || now == m_droppedUnit || !IsValidFieldUnit(now) || !IsValidFieldUnit(m_droppedUnit)) return;
  CWizParamFields fields = CollectFields();
  if (ConvertSizeUnits(fields, m_droppedUnit, now)) {
    SetFieldText(IDC_WIZ_WIDTH, fields.width);
    SetFieldText(IDC_WIZ_HEIGHT, fields.height);
    // The fields are now in this unit, whichever way the next change comes.
    m_droppedUnit = now;
  }
}

void CWiz_3_SelectPatternParameters::OnProportionate() {
  const CWizardData* data = GetWizardData();
  if (!data || !IsDlgButtonChecked(IDC_WIZ_PROPORTIONATE)) return;
  CWizParamFields fields = CollectFields();
  const bool fromWidth = !fields.width.IsEmpty();
  if (ApplyProportions(fields, data->m_pictureWidth, data->m_pictureHeight, fromWidth)) {
    if (fromWidth) SetFieldText(IDC_WIZ_HEIGHT, fields.height);
    else SetFieldText(IDC_WIZ_WIDTH, fields.width);
  }
  UpdateSizeInfo();
}

void CWiz_3_SelectPatternParameters::OnDesignIn() {
  const int mode = IsDlgButtonChecked(IDC_WIZ_IN_BEADS) ? kDesignInBeads : kDesignInInches;
  if (mode == m_memory.GetMode()) return;
  ApplyDesignInMode(mode);
  UpdateSizeInfo();
}

void CWiz_3_SelectPatternParameters::PostApply() {
  if (m_built) PostMessage(WM_COMMAND, MAKEWPARAM(IDC_WIZ_APPLY, BN_CLICKED), 0);
}

void CWiz_3_SelectPatternParameters::OnBeadSizeChanged() {
  if (!m_ready) return;
  double width = 0, height = 0;
  if (ReadSelectedBeadSize(width, height)) {
    if (CWizardData* data = GetWizardData()) {
      data->m_params.m_beadWidth = width;
      data->m_params.m_beadHeight = height;
    }
    SetFieldText(IDC_WIZ_BEAD_WIDTH, FormatFieldValue(width));
    SetFieldText(IDC_WIZ_BEAD_HEIGHT, FormatFieldValue(height));
    UpdateSizeInfo();
  }
  PostApply();
}

void CWiz_3_SelectPatternParameters::OnListChanged() {
  if (m_ready) PostApply();
}

void CWiz_3_SelectPatternParameters::OnMaskChanged() {
  if (!m_ready) return;
  GetDlgItem(IDC_WIZ_MASK_COLOR)->EnableWindow(GetComboSelData(m_mask) != 0 ? TRUE : FALSE);
  PostApply();
}

void CWiz_3_SelectPatternParameters::OnApplyDesign() {
  CString nickname;
  GetDlgItemText(IDC_WIZ_NICKNAME, nickname);
  if (IsBlankString(nickname)) {
    ShowStop(IDS_WIZ_WRONG_NICKNAME);
    GotoDlgCtrl(GetDlgItem(IDC_WIZ_NICKNAME));
    return;
  }
  if (!ReadParameters(true)) return;
  CWizardSheet* sheet = GetSheet();
  IWizardHost* host = GetHost();
  const CColorSet* palette = sheet ? sheet->GetWizardPalette() : nullptr;
  const CWizardData* data = GetWizardData();
  if (host && palette && data) {
    m_lastBuildOk = BuildWizardDesign(*host, *data, *palette, nickname, [sheet](bool enable) {
      if (sheet) sheet->EnableFinish(enable);
    });
  } else {
    m_lastBuildOk = false;
    if (sheet) sheet->EnableFinish(false);
    ShowStop(IDS_WIZ_BUILD_FAILED);
  }
  m_built = true;
}
