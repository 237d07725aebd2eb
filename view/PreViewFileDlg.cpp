#include "view/PreViewFileDlg.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/DrawUtils.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "design/WeaveFormat.h"
#include "lang/ids/designfile.h"
#include "lang/ids/file.h"
#include "settings/GraphicOutput.h"
#include "view/DesignIO.h"
#include "view/PatternRender.h"

namespace {

constexpr UINT_PTR kSizeTimer = 777;
constexpr UINT kSizeTimerPeriod = 500;
constexpr int kSliderStart = 75;

COLORREF FaceColor() { return GetSysColor(COLOR_BTNFACE); }

// The default extension without its dot, as the dialog takes it.
LPCTSTR StripDot(LPCTSTR ext) { return (ext != nullptr && ext[0] == '.') ? ext + 1 : ext; }

int RoundClamped(double value) {
  if (!(value > 0)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(std::lround(value));
}

int ReadPositive(CWnd* dialog, int id) {
  BOOL ok = FALSE;
  const int value = static_cast<int>(dialog->GetDlgItemInt(id, &ok, TRUE));
  return ok && value > 0 ? value : 0;
}

}  // namespace

// ---- Preview areas ----

BEGIN_MESSAGE_MAP(CPreviewArea, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CPreviewArea::PaintMessage(CDC& dc, const CRect& rect, const char* text) {
  dc.FillSolidRect(&rect, FaceColor());
  dc.Draw3dRect(&rect, RGB(0, 0, 0), RGB(255, 255, 255));
  if (text == nullptr) {
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(rect.left, rect.top);
    dc.LineTo(rect.right, rect.bottom);
    dc.MoveTo(rect.right - 1, rect.top);
    dc.LineTo(rect.left - 1, rect.bottom);
    dc.SelectObject(old);
    return;
  }
  // One line in an 18-pixel band above the middle; a longer text wraps
  // into a band as high as it needs.
  const int middle = (rect.top + rect.bottom) / 2;
  CRect measure(rect.left + 4, 0, rect.right - 4, 0);
  dc.DrawText(text, static_cast<int>(std::strlen(text)), &measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  const int needed = measure.Height();
  CRect band(rect.left + 2, middle - 12, rect.right - 2, middle - 12 + 18);
  if (needed > 18) {
    band.top = std::max<int>(rect.top + 2, middle - needed / 2);
    band.bottom = std::min<int>(rect.bottom - 2, band.top + needed);
  }
  dc.FillSolidRect(&band, FaceColor());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0));
  CRect textRect(rect.left + 4, band.top, rect.right - 4, band.bottom);
  const UINT format = needed > 18 ? (DT_CENTER | DT_WORDBREAK | DT_NOPREFIX)
                                  : (DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.DrawText(text, static_cast<int>(std::strlen(text)), &textRect, format);
}

void CPreviewArea::ShowFace() {
  m_state = EState::kFace;
  Refresh();
}

void CPreviewArea::ShowMessage(const char* text) {
  m_state = EState::kMessage;
  m_hasText = text != nullptr;
  m_message = text != nullptr ? text : "";
  Refresh();
}

void CPreviewArea::ShowContents() {
  m_state = EState::kContents;
  Refresh();
}

void CPreviewArea::Refresh() {
  if (m_hWnd == nullptr) return;
  Invalidate(FALSE);
  UpdateWindow();
}

void CPreviewArea::PaintContents(CDC&, const CRect&) {}

BOOL CPreviewArea::OnEraseBkgnd(CDC*) { return TRUE; }

void CPreviewArea::OnPaint() {
  CPaintDC dc(this);
  CRect rect;
  GetClientRect(&rect);
  CFont* font = GetFont();
  CFont* old = font != nullptr ? dc.SelectObject(font) : nullptr;
  switch (m_state) {
    case EState::kFace:
      dc.FillSolidRect(&rect, FaceColor());
      break;
    case EState::kMessage:
      PaintMessage(dc, rect, m_hasText ? m_message.GetString() : nullptr);
      break;
    case EState::kContents:
      dc.FillSolidRect(&rect, FaceColor());
      PaintContents(dc, rect);
      break;
  }
  if (old != nullptr) dc.SelectObject(old);
}

CRect FitPreviewRect(const CRect& area, int width, int height) {
  if (width <= 0 || height <= 0 || area.Width() <= 0 || area.Height() <= 0) return CRect(area.left, area.top, area.left, area.top);
  int h = area.Height();
  int w = RoundClamped(static_cast<double>(h) * width / height);
  if (w > area.Width()) {
    // A wide picture keeps its proportion, centred down the area.
    w = area.Width();
    h = std::max(1, RoundClamped(static_cast<double>(w) * height / width));
  }
  const int left = area.left + (area.Width() - w) / 2;
  const int top = area.top + (area.Height() - h) / 2;
  return CRect(left, top, left + w, top + h);
}

void CPicturePreviewArea::PaintContents(CDC& dc, const CRect& rect) { PaintPicturePreview(dc, rect, m_ole, m_image); }

CSize CPicturePreviewArea::Load(const CString& path, std::unique_ptr<COlePicture>& ole,
                                std::unique_ptr<CImage>& image) {
  m_ole = nullptr;
  m_image = nullptr;
  const CSize size = LoadPicturePreview(path, *this, ole, image);
  m_ole = ole.get();
  m_image = image.get();
  Invalidate(FALSE);
  return size;
}

void PaintPicturePreview(CDC& dc, const CRect& rect, COlePicture* ole, CImage* image) {
  dc.FillSolidRect(&rect, FaceColor());
  if (ole != nullptr && ole->IsLoaded()) {
    const CSize size = ole->GetSizeInPixels(&dc);
    const CRect target = FitPreviewRect(rect, size.cx, size.cy);
    ole->Render(dc.GetSafeHdc(), target, 0, 0, 1, 1, false, false);
  } else if (image != nullptr && image->IsValid()) {
    const CRect target = FitPreviewRect(rect, image->GetWidth(), image->GetHeight());
    image->DrawFit(&dc, target);
  }
}

CSize LoadPicturePreview(const CString& path, CPreviewArea& area, std::unique_ptr<COlePicture>& ole,
                         std::unique_ptr<CImage>& image) {
  ole.reset();
  image.reset();
  if (path.IsEmpty() || !FileExists(path)) {
    area.ShowMessage(nullptr);
    return CSize(0, 0);
  }
  const CString ext = GetPathExtension(path);
  if (ext.CompareNoCase(".tsw") != 0) {
    auto picture = std::make_unique<COlePicture>();
    if (picture->LoadFromFile(path)) {
      const CSize size = picture->GetSizeInPixels(static_cast<HDC>(nullptr));
      ole = std::move(picture);
      area.ShowContents();
      return size;
    }
    bool ok = false;
    auto loaded = std::make_unique<CImage>(path, ok);
    if (ok && loaded->IsValid()) {
      const CSize size(loaded->GetWidth(), loaded->GetHeight());
      image = std::move(loaded);
      area.ShowContents();
      return size;
    }
  }
  if (ext.IsEmpty() || ext.CompareNoCase(".tiff") == 0) {
    area.ShowMessage(nullptr);
  } else {
    area.ShowMessage(LoadResString(IDS_PREVIEW_INACCESSIBLE));
  }
  return CSize(0, 0);
}

// ---- CPreViewDesign ----

bool CPreViewDesign::LoadDesign(const CString& path, CString& error, CString& version) {
  error.Empty();
  version.Empty();
  m_rendered.reset();
  const bool ok = m_preview.Load(path, &version, &error);
  if (ok) {
    // Hidden and shown again: it repaints.
    if (m_hWnd != nullptr) {
      ShowWindow(SW_HIDE);
      ShowWindow(SW_SHOW);
    }
    ShowContents();
  }
  return ok;
}

void CPreViewDesign::Unload() {
  m_preview.m_loaded = false;
  m_preview.m_design.RemoveAllBeads();
  m_rendered.reset();
}

std::unique_ptr<CImage> CPreViewDesign::Render(int width, int height) const {
  if (width <= 0 || height <= 0) return nullptr;
  // As the view draws it: every bead with the design's bead effect, drawn
  // at twice the size and averaged down.
  {
    CBitmap thumbnail;
    if (RenderPatternThumbnail(nullptr, m_preview.m_design, m_preview.m_palette, SIZE{width, height}, 2, &thumbnail,
                               FaceColor(), nullptr)) {
      auto picture = std::make_unique<CImage>(thumbnail);
      if (picture->IsValid()) return picture;
    }
  }
  // Else flat cells of the beads' colours.
  bool ok = false;
  auto picture = std::make_unique<CImage>(width, height, ok, FaceColor());
  if (!ok || !picture->IsValid()) return nullptr;
  const CPattern& design = m_preview.m_design;
  const CColorSet& palette = m_preview.m_palette;
  double actualWidth = 0, actualHeight = 0;
  design.GetActualSize(actualWidth, actualHeight);
  if (!(actualWidth > 0) || !(actualHeight > 0)) return picture;
  const RECT client{0, 0, width, height};
  const RECT fitted = FitRectToAspect(client, RoundClamped(actualWidth * 1000), RoundClamped(actualHeight * 1000));
  BYTE* bits = picture->GetBits();
  const int stride = picture->GetRowStride();
  const bool direct = bits != nullptr && picture->GetBitsPerPixel() == 24;
  for (const CBead& bead : design.GetBeadArray()) {
    if (!bead.IsPresent()) continue;
    CBead mirrored = bead;
    mirrored.m_y = 1.0 - bead.m_y;
    RECT r = design.GetBeadRectTopDown(mirrored, fitted);
    // A bead smaller than a pixel still shows.
    if (r.right <= r.left) r.right = r.left + 1;
    if (r.bottom <= r.top) r.bottom = r.top + 1;
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width);
    r.bottom = std::min<LONG>(r.bottom, height);
    if (r.left >= r.right || r.top >= r.bottom) continue;
    COLORREF colour = palette.GetColorrefAt(bead.GetColorIndex(design));
    if (colour == 0xFFFFFFFFu) colour = bead.m_cachedColor;
    const BYTE red = GetRValue(colour), green = GetGValue(colour), blue = GetBValue(colour);
    for (int y = r.top; y < r.bottom; ++y) {
      if (direct) {
        // Rows are stored from the bottom.
        BYTE* p = bits + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride) + static_cast<size_t>(r.left) * 3;
        for (int x = r.left; x < r.right; ++x, p += 3) {
          p[0] = blue;
          p[1] = green;
          p[2] = red;
        }
      } else {
        for (int x = r.left; x < r.right; ++x) picture->SetPixelRGB(x, height - 1 - y, red, green, blue);
      }
    }
  }
  return picture;
}

void CPreViewDesign::PaintContents(CDC& dc, const CRect& rect) {
  if (!m_preview.IsLoaded()) return;
  if (!m_rendered || m_rendered->GetWidth() != rect.Width() || m_rendered->GetHeight() != rect.Height())
    m_rendered = Render(rect.Width(), rect.Height());
  if (m_rendered) m_rendered->Draw(&dc, rect.left, rect.top);
}

// ---- CPreviewOriginal ----

CPreviewOriginal::~CPreviewOriginal() { Drop(); }

void CPreviewOriginal::Drop() {
  if (!m_shared) delete m_image;
  m_image = nullptr;
}

bool CPreviewOriginal::LoadImage(const CString& path) {
  Drop();
  bool ok = false;
  auto image = std::make_unique<CImage>(path, ok);
  if (ok && image->IsValid()) {
    m_image = image.release();
    m_shared = false;
    ShowContents();
    return true;
  }
  ShowFace();
  return false;
}

void CPreviewOriginal::SetImageView(CImage* view) {
  Drop();
  m_image = view;
  m_shared = true;
  ShowContents();
}

void CPreviewOriginal::Clear() {
  Drop();
  ShowFace();
}

CSize CPreviewOriginal::GetImageSize() const {
  return m_image != nullptr ? CSize(m_image->GetWidth(), m_image->GetHeight()) : CSize(0, 0);
}

void CPreviewOriginal::PaintContents(CDC& dc, const CRect& rect) {
  if (m_image != nullptr && m_image->IsValid()) m_image->DrawFit(&dc, rect);
}

// ---- CPreViewFileDlg ----

BEGIN_MESSAGE_MAP(CPreViewFileDlg, CFileDialog)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CPreViewFileDlg::CPreViewFileDlg(UINT templateId, BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags,
                                 LPCTSTR filter, CWnd* parent)
    : CFileDialog(open, StripDot(defExt), fileName, flags | OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLESIZING,
                  filter, parent) {
  m_ofn.lpTemplateName = MAKEINTRESOURCE(templateId);
  m_ofn.hInstance = AfxGetResourceHandle();
}

void CPreViewFileDlg::SetTitle(const CString& title) {
  m_title = title;
  m_ofn.lpstrTitle = m_title.IsEmpty() ? nullptr : m_title.GetString();
}

void CPreViewFileDlg::DrawPreviewMessage(CPreviewArea* control, const char* text) {
  if (control != nullptr) control->ShowMessage(text);
}

BOOL CPreViewFileDlg::OnInitDialog() {
  CFileDialog::OnInitDialog();
  if (m_iconId != 0) {
    m_icon = LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(m_iconId));
    CWnd* dialog = GetParent();
    if (m_icon != nullptr && dialog != nullptr) {
      dialog->SetIcon(m_icon, TRUE);
      dialog->SetIcon(m_icon, FALSE);
    }
  }
  return TRUE;
}

void CPreViewFileDlg::InitQualitySlider(int minimum) {
  if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_FILE_JPEG_QUALITY))) {
    slider->SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
    slider->SendMessage(TBM_SETRANGEMAX, TRUE, 240);
    slider->SendMessage(TBM_SETPOS, TRUE, kSliderStart);
    slider->EnableWindow(m_ofn.nFilterIndex <= 1);
  }
}

void CPreViewFileDlg::StartSizeLock() {
  SetDlgItemInt(IDC_FILE_WIDTH, static_cast<UINT>(m_size.width), TRUE);
  SetDlgItemInt(IDC_FILE_HEIGHT, static_cast<UINT>(m_size.height), TRUE);
  CString line;
  line.Format(LoadResString(IDS_ORIGINAL_SIZE), m_size.width, m_size.height);
  SetDlgItemText(IDC_FILE_ORIGINAL_SIZE, line);
  m_sizeTimer = SetTimer(kSizeTimer, kSizeTimerPeriod);
}

bool CPreViewFileDlg::TickSizeLock(UINT_PTR id) {
  if (id != kSizeTimer) return false;
  bool rewriteHeight = false;
  if (m_size.Apply(ReadPositive(this, IDC_FILE_WIDTH), ReadPositive(this, IDC_FILE_HEIGHT), rewriteHeight)) {
    if (rewriteHeight)
      SetDlgItemInt(IDC_FILE_HEIGHT, static_cast<UINT>(m_size.height), TRUE);
    else
      SetDlgItemInt(IDC_FILE_WIDTH, static_cast<UINT>(m_size.width), TRUE);
  }
  return true;
}

void CPreViewFileDlg::OnDestroy() {
  if (m_sizeTimer != 0) {
    KillTimer(m_sizeTimer);
    m_sizeTimer = 0;
  }
  if (m_icon != nullptr) {
    DestroyIcon(m_icon);
    m_icon = nullptr;
  }
  CFileDialog::OnDestroy();
}

// ---- CPreViewDesignFileDlg ----

CPreViewDesignFileDlg::CPreViewDesignFileDlg(BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags,
                                             LPCTSTR filter, CWnd* parent)
    : CPreViewFileDlg(IDD_DESIGN_FILE_PANEL, open, defExt, fileName, flags, filter, parent) {
  SetTitle(LoadResString(open ? IDS_OPEN_DESIGN_TITLE : IDS_SAVE_DESIGN_TITLE));
  SetIconId(open ? IDI_OPEN_DESIGN : IDI_SAVE_DESIGN);
}

CString CPreViewDesignFileDlg::FormatInfoLine(const CDesignPreview& preview, const CString& version,
                                              const CString& path) {
  const CPattern& design = preview.m_design;
  double width = 0, height = 0;
  design.GetNominalSize(width, height);
  // The Russian text gives the size in centimetres.
  if (IsRussianInterface()) {
    width *= 2.54;
    height *= 2.54;
  }
  CString format;
  GetFormatName(design.m_format, format);
  CString text;
  text.Format(LoadResString(IDS_DESIGN_FILE_INFO), design.m_title.GetString(), width, height,
              design.GetColumnCount(), design.GetRowCount(), format.GetString(), version.GetString(),
              FormatFileCreationText(path).GetString());
  return text;
}

BOOL CPreViewDesignFileDlg::OnInitDialog() {
  CPreViewFileDlg::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_FILE_PREVIEW, this);
  m_preview.ShowFace();
  return TRUE;
}

void CPreViewDesignFileDlg::OnFileNameChange() {
  const CString path = GetPathName();
  m_previewPath = path;
  m_previewLoaded = false;
  m_preview.Unload();
  CString text;
  if (FileExists(path) && IsDesignFileExtension(path)) {
    CString error, version;
    // A file whose checksum does not match is named so here, without the
    // loader's message box at every selection.
    if (VerifyDesignChecksum(kDesignChecksumMarker, path) == 1) {
      error = LoadResString(IDS_DESIGN_FILE_CORRUPT);
    } else if (m_preview.LoadDesign(path, error, version)) {
      m_previewLoaded = true;
      SetDlgItemText(IDC_FILE_INFO, FormatInfoLine(m_preview.GetPreview(), version, path));
      return;
    }
    text = !error.IsEmpty() ? error : LoadResString(IDS_LOAD_DESIGN_FAILED);
  } else if (FileExists(path)) {
    text = LoadResString(IDS_LOAD_DESIGN_FAILED);
  }
  DrawPreviewMessage(&m_preview, text);
  SetDlgItemText(IDC_FILE_INFO, text);
}

BOOL CPreViewDesignFileDlg::OnFileNameOK() {
  if (!m_bOpenFileDialog) return FALSE;
  // A name or path typed into the name field was never previewed: it is
  // now, so that a good file opens and a bad one shows why in the panel.
  if (GetPathName() != m_previewPath) OnFileNameChange();
  // When opening, only a file that previews can be chosen.
  return m_previewLoaded ? FALSE : TRUE;
}

// ---- The size lock ----

void CSizeLock::Set(int w, int h) {
  width = w;
  height = h;
  ratio = h != 0 ? static_cast<double>(w) / h : 0.0;
}

bool CSizeLock::Apply(int fieldWidth, int fieldHeight, bool& rewriteHeight) {
  fieldWidth = std::max(fieldWidth, 0);
  fieldHeight = std::max(fieldHeight, 0);
  if (fieldWidth != width && fieldWidth > 0) {
    width = fieldWidth;
    if (!(ratio > 0)) return false;
    height = RoundClamped(fieldWidth / ratio);
    rewriteHeight = true;
    return true;
  }
  if (fieldHeight != height && fieldHeight > 0) {
    height = fieldHeight;
    if (!(ratio > 0)) return false;
    width = RoundClamped(fieldHeight * ratio);
    rewriteHeight = false;
    return true;
  }
  return false;
}

// ---- CPreViewImageFileDlg ----

BEGIN_MESSAGE_MAP(CPreViewImageFileDlg, CPreViewFileDlg)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CPreViewImageFileDlg::CPreViewImageFileDlg(BOOL open, LPCTSTR defExt, LPCTSTR fileName, DWORD flags,
                                           LPCTSTR filter, CWnd* parent, UINT iconId)
    : CPreViewFileDlg(open ? IDD_OPEN_IMAGE_PANEL : IDD_SAVE_IMAGE_PANEL, open, defExt, fileName, flags, filter,
                      parent) {
  SetIconId(iconId);
}

BOOL CPreViewImageFileDlg::OnInitDialog() {
  CPreViewFileDlg::OnInitDialog();
  m_previewArea.SubclassDlgItem(IDC_FILE_PREVIEW, this);
  m_previewArea.ShowMessage(nullptr);
  if (!m_bOpenFileDialog) {
    InitQualitySlider(15);
    StartSizeLock();
  }
  return TRUE;
}

void CPreViewImageFileDlg::ShowPreviewSize() {
  if (!m_bOpenFileDialog) return;
  if (m_previewSize.cx > 0 && m_previewSize.cy > 0) {
    SetDlgItemInt(IDC_FILE_WIDTH, static_cast<UINT>(m_previewSize.cx), TRUE);
    SetDlgItemInt(IDC_FILE_HEIGHT, static_cast<UINT>(m_previewSize.cy), TRUE);
  } else {
    SetDlgItemText(IDC_FILE_WIDTH, "");
    SetDlgItemText(IDC_FILE_HEIGHT, "");
  }
}

void CPreViewImageFileDlg::OnFileNameChange() {
  m_previewSize = m_previewArea.Load(GetPathName(), m_ole, m_image);
  ShowPreviewSize();
}

void CPreViewImageFileDlg::OnTypeChange() {
  if (m_bOpenFileDialog) return;
  if (CWnd* slider = GetDlgItem(IDC_FILE_JPEG_QUALITY)) slider->EnableWindow(m_ofn.nFilterIndex == 1);
}

BOOL CPreViewImageFileDlg::OnFileNameOK() {
  if (!m_bOpenFileDialog) {
    const int width = ReadPositive(this, IDC_FILE_WIDTH);
    const int height = ReadPositive(this, IDC_FILE_HEIGHT);
    if (width > 0) m_size.width = width;
    if (height > 0) m_size.height = height;
  }
  return FALSE;
}

void CPreViewImageFileDlg::OnTimer(UINT_PTR id) {
  if (m_bOpenFileDialog || !TickSizeLock(id)) CPreViewFileDlg::OnTimer(id);
}

// ---- CSelectExportBeadImageFileDlg ----

BEGIN_MESSAGE_MAP(CSelectExportBeadImageFileDlg, CPreViewFileDlg)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CSelectExportBeadImageFileDlg::CSelectExportBeadImageFileDlg(CGraphicOutputParams* params, LPCTSTR defExt,
                                                             LPCTSTR fileName, DWORD flags, LPCTSTR filter,
                                                             CWnd* parent, UINT iconId)
    : CPreViewFileDlg(IDD_EXPORT_BEAD_IMAGE_PANEL, FALSE, defExt, fileName, flags, filter, parent), m_params(params) {
  SetIconId(iconId);
  m_size.Set(params->m_outputWidth, params->m_outputHeight);
  m_ofn.nFilterIndex = static_cast<DWORD>(FilterForFileType(params->m_fileType));
}

int CSelectExportBeadImageFileDlg::FilterForFileType(int type) {
  if (type == 0) return 3;
  if (type == 4) return 2;
  return 1;
}

int CSelectExportBeadImageFileDlg::FileTypeForFilter(int filter) {
  if (filter == 2) return 4;
  if (filter == 3) return 0;
  return 1;
}

const char* CSelectExportBeadImageFileDlg::ExtensionForFileType(int type) {
  if (type == 0) return ".bmp";
  if (type == 4) return ".png";
  return ".jpg";
}

BOOL CSelectExportBeadImageFileDlg::OnInitDialog() {
  CPreViewFileDlg::OnInitDialog();
  m_previewArea.SubclassDlgItem(IDC_FILE_PREVIEW, this);
  m_previewArea.ShowMessage(nullptr);
  InitQualitySlider(10);
  m_size.Set(m_params->m_outputWidth, m_params->m_outputHeight);
  StartSizeLock();
  const int check = m_params->m_listPlacement == 1 ? IDC_LIST_RIGHT
                    : m_params->m_listPlacement == 2 ? IDC_LIST_NONE
                                                     : IDC_LIST_BELOW;
  CheckRadioButton(IDC_LIST_BELOW, IDC_LIST_NONE, check);
  if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_FILE_FONT_SPIN))) {
    spin->SetBuddy(GetDlgItem(IDC_FILE_FONT_SIZE));
    spin->SetRange32(10, 50);
    spin->SetPos32(std::clamp(m_params->m_fontSize, 10, 50));
  }
  return TRUE;
}

void CSelectExportBeadImageFileDlg::OnFileNameChange() { m_previewArea.Load(GetPathName(), m_ole, m_image); }

void CSelectExportBeadImageFileDlg::OnTypeChange() {
  if (CWnd* slider = GetDlgItem(IDC_FILE_JPEG_QUALITY)) slider->EnableWindow(m_ofn.nFilterIndex == 1);
}

BOOL CSelectExportBeadImageFileDlg::OnFileNameOK() {
  const int width = ReadPositive(this, IDC_FILE_WIDTH);
  const int height = ReadPositive(this, IDC_FILE_HEIGHT);
  if (width > 0) m_params->m_outputWidth = width;
  if (height > 0) m_params->m_outputHeight = height;
  const int checked = GetCheckedRadioButton(IDC_LIST_BELOW, IDC_LIST_NONE);
  m_params->m_listPlacement = checked == IDC_LIST_RIGHT ? 1 : checked == IDC_LIST_NONE ? 2 : 0;
  if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_FILE_FONT_SPIN)))
    m_params->m_fontSize = std::clamp(spin->GetPos32(), 10, 50);
  m_params->m_fileType = FileTypeForFilter(static_cast<int>(m_ofn.nFilterIndex));
  return FALSE;
}

void CSelectExportBeadImageFileDlg::OnTimer(UINT_PTR id) {
  if (!TickSizeLock(id)) {
    CPreViewFileDlg::OnTimer(id);
    return;
  }
  m_params->m_outputWidth = m_size.width;
  m_params->m_outputHeight = m_size.height;
}
