#include "controls/Edits.h"

#include <cstring>

#include "core/FrameServices.h"
#include "core/ViewServices.h"
#include "image/Image.h"
#include "lang/ids/controls.h"
#include "settings/AppSettings.h"

const UINT g_msgEnterPushed = RegisterWindowMessage("MsgEnterPushed");
const UINT g_msgCheckFloat = RegisterWindowMessage("m_uiMsgCheckFloat");

namespace {

// The shared character filter: true when the character must be swallowed.
bool BlockChar(CWnd* edit, WPARAM ch, bool allowDecimal) {
  if ((ch >= '0' && ch <= '9') || ch == 8) return false;
  if (ch != '.') return true;
  if (!allowDecimal) return true;
  CString text;
  edit->GetWindowText(text);
  return text.Find('.') >= 0;
}

}  // namespace

// ---- CNumEdit ----

CNumEdit::CNumEdit(bool allowDecimalPoint, bool notifyEnter)
    : allowDecimal_(allowDecimalPoint ? 1 : 0), notifyEnter_(notifyEnter ? 1 : 0) {}
CNumEdit::~CNumEdit() = default;

BOOL CNumEdit::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == m_hWnd) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && notifyEnter_) {
      if (CWnd* parent = GetParent()) parent->PostMessage(g_msgEnterPushed, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    } else if (msg->message == WM_CHAR && BlockChar(this, msg->wParam, allowDecimal_ != 0)) {
      return TRUE;
    }
  }
  return CEdit::PreTranslateMessage(msg);
}

// ---- CFloatEdit ----

BEGIN_MESSAGE_MAP(CFloatEdit, CEdit)
  ON_REGISTERED_MESSAGE(g_msgCheckFloat, OnCheckFloat)
END_MESSAGE_MAP()

CFloatEdit::CFloatEdit(int maxDecimals, DWORD maxValue) : maxDecimals_(maxDecimals), maxValue_(maxValue) {}
CFloatEdit::~CFloatEdit() = default;

BOOL CFloatEdit::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == m_hWnd && msg->message == WM_CHAR) {
    if (BlockChar(this, msg->wParam, true)) return TRUE;
    GetWindowText(lastText_);
    PostMessage(g_msgCheckFloat, 0, 0);
  }
  return CEdit::PreTranslateMessage(msg);
}

unsigned long long CFloatEdit::LeadingValue(const CString& text) {
  const char* p = text.GetString();
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+') ++p;
  unsigned long long value = 0;
  constexpr unsigned long long kCap = 1ull << 32;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > kCap) value = kCap;
  }
  return value;
}

bool CFloatEdit::Accepts(const CString& text) const {
  if (text.IsEmpty()) return true;
  const int point = text.Find('.');
  if (point >= 0 && text.GetLength() - point - 1 > maxDecimals_) return false;
  if (maxValue_ != 0xFFFFFFFF && LeadingValue(text) > maxValue_) return false;
  return true;
}

LRESULT CFloatEdit::OnCheckFloat(WPARAM, LPARAM) {
  CString text;
  GetWindowText(text);
  if (!Accepts(text)) {
    SetWindowText(lastText_);
    SetSel(lastText_.GetLength(), lastText_.GetLength());
  }
  return 1;
}

// ---- CColorStatic ----

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CColorStatic::CColorStatic(COLORREF textColor, const char* faceName, int height, bool bold, bool underline)
    : textColor_(textColor), faceName_(faceName ? faceName : ""), bold_(bold ? 1 : 0),
      underline_(underline ? 1 : 0), height_(height) {}

CColorStatic::~CColorStatic() { FreeFont(); }

void CColorStatic::FreeFont() {
  delete font_;
  font_ = nullptr;
}

void CColorStatic::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  if (faceName_.IsEmpty()) return;
  LOGFONT lf;
  std::memset(&lf, 0, sizeof(lf));
  std::strncpy(lf.lfFaceName, faceName_.GetString(), LF_FACESIZE - 1);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = height_;
  lf.lfWeight = bold_ ? 900 : 0;
  lf.lfUnderline = underline_;
  SetLogFont(lf);
}

void CColorStatic::SetLogFont(const LOGFONT& font) {
  // The control keeps using the old font until the new one is set.
  CFont* replacement = new CFont;
  if (!replacement->CreateFontIndirect(&font)) {
    delete replacement;
    return;
  }
  if (GetSafeHwnd()) SetFont(replacement, TRUE);
  FreeFont();
  font_ = replacement;
}

void CColorStatic::SetText(const char* text) {
  SetWindowText(text);
  ShowWindow(SW_HIDE);
  ShowWindow(SW_SHOW);
}

HBRUSH CColorStatic::CtlColor(CDC* dc, UINT) {
  dc->SetTextColor(textColor_);
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BOOL CColorStatic::DestroyWindow() {
  FreeFont();
  return CStatic::DestroyWindow();
}

void CColorStatic::OnClose() {
  FreeFont();
  CStatic::OnClose();
}

void CColorStatic::OnDestroy() {
  FreeFont();
  CStatic::OnDestroy();
}

// ---- Background of the previews ----

// The design view draws on the settings' background colour too.
COLORREF GetViewBackgroundColor() { return GetAppSettings().m_viewBackgroundColor; }

// ---- CExternPatternPreview ----

BEGIN_MESSAGE_MAP(CExternPatternPreview, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CExternPatternPreview::SetImage(CImage* image) {
  image_ = image;
  if (GetSafeHwnd()) InvalidateRect(nullptr, TRUE);
}

BOOL CExternPatternPreview::OnEraseBkgnd(CDC*) { return TRUE; }

void CExternPatternPreview::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, GetViewBackgroundColor());
  if (image_)
    image_->Draw(&dc, (client.Width() - image_->GetWidth()) / 2, (client.Height() - image_->GetHeight()) / 2);
}

// ---- CStaticPatternPreview ----

BEGIN_MESSAGE_MAP(CStaticPatternPreview, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CStaticPatternPreview::CStaticPatternPreview() = default;
CStaticPatternPreview::~CStaticPatternPreview() = default;

bool CStaticPatternPreview::SetPattern(CPattern* design, CColorSet* palette) {
  if (!design || !palette || !GetSafeHwnd()) return false;
  const COLORREF background = GetViewBackgroundColor();
  CDC* dc = GetDC();
  if (!dc) return false;
  CRect client;
  GetClientRect(&client);
  CBitmap bitmap;
  bool ok = RenderPatternThumbnail(dc, *design, *palette, SIZE{client.Width(), client.Height()}, 2, bitmap,
                                   background) &&
            bitmap.GetSafeHandle();
  if (ok) {
    auto image = std::make_unique<CImage>(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    ok = image->GetWidth() > 0;
    if (ok) {
      image_ = std::move(image);
      InvalidateRect(nullptr, TRUE);
    }
  }
  ReleaseDC(dc);
  return ok;
}

BOOL CStaticPatternPreview::OnEraseBkgnd(CDC*) { return TRUE; }

void CStaticPatternPreview::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, GetViewBackgroundColor());
  if (image_) image_->Draw(&dc, 0, 0);
}

// ---- CSSGroupBox ----

BEGIN_MESSAGE_MAP(CSSGroupBox, CButton)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CSSGroupBox::CSSGroupBox(bool collapsible, COLORREF titleBarColor)
    : titleBarColor_(titleBarColor), collapsible_(collapsible) {
  frameFirst_ = systemFirst_ = GetSysColor(COLOR_BTNSHADOW);
  frameSecond_ = systemSecond_ = GetSysColor(COLOR_BTNHIGHLIGHT);
  SetTitleFont(nullptr);
}

CSSGroupBox::~CSSGroupBox() {
  delete titleFont_;
  if (icon_) DestroyIcon(icon_);
}

void CSSGroupBox::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  GetWindowText(text_);
  Initialize();
}

void CSSGroupBox::Initialize() {
  if (!GetSafeHwnd()) return;
  const DWORD style = GetStyle();
  alignment_ = (style & 0x300) == 0x200 ? kAlignRight : (style & 0x300) == 0x300 ? kAlignCentre : kAlignLeft;
  CRect r;
  GetWindowRect(&r);
  ScreenToClient(&r);
  const DWORD ex = GetExStyle();
  if (ex & WS_EX_DLGMODALFRAME) {
    r.DeflateRect(2 * GetSystemMetrics(SM_CXEDGE), 2 * GetSystemMetrics(SM_CYEDGE));
    r.left -= 1;
  }
  if (ex & WS_EX_CLIENTEDGE) {
    r.DeflateRect(GetSystemMetrics(SM_CXEDGE) + 1, GetSystemMetrics(SM_CYEDGE) + 1);
    r.left -= 1;
    if (ex & WS_EX_DLGMODALFRAME) r.right += 1;
  }
  if (ex & WS_EX_STATICEDGE) {
    r.DeflateRect(2 * GetSystemMetrics(SM_CXBORDER), 2 * GetSystemMetrics(SM_CYBORDER));
    r.left -= 1;
  }
  frame_ = r;
}

bool CSSGroupBox::SetIcon(UINT id) {
  if (icon_) DestroyIcon(icon_);
  icon_ = static_cast<HICON>(LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  return icon_ != nullptr;
}

void CSSGroupBox::SetTitleFont(const LOGFONT* font) {
  delete titleFont_;
  titleFont_ = nullptr;
  LOGFONT lf;
  if (font) {
    lf = *font;
  } else {
    std::memset(&lf, 0, sizeof(lf));
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    lf.lfHeight = 80;
    lf.lfWeight = 400;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = 3;
    lf.lfClipPrecision = 2;
    lf.lfQuality = 2;
  }
  auto* created = new CFont;
  if (!created->CreatePointFontIndirect(&lf)) {
    delete created;
    AppMessageBoxId(IDS_CANNOT_CREATE_FONT, kMbIconStop);
    return;
  }
  titleFont_ = created;
}

void CSSGroupBox::SetFrameColors(COLORREF first, COLORREF second, bool redraw) {
  frameFirst_ = first ? first : systemFirst_;
  frameSecond_ = second ? second : systemSecond_;
  if (redraw && GetSafeHwnd()) InvalidateRect(nullptr, FALSE);
}

void CSSGroupBox::SetUserValue(int value, bool redraw) {
  userValue_ = value;
  if (redraw && GetSafeHwnd()) InvalidateRect(nullptr, TRUE);
}

POINT CSSGroupBox::GetTitlePosition(CDC* dc) {
  CString title;
  title.Format(" %s ", text_.GetString());
  const int saved = dc->SaveDC();
  if (CFont* windowFont = GetFont()) dc->SelectObject(windowFont);
  const int lineHeight = dc->GetTextExtent(title).cy;
  const int y = lineHeight / 2 + frame_.top - 1;
  if (titleFont_) dc->SelectObject(titleFont_);
  const CSize size = dc->GetTextExtent(title);
  dc->RestoreDC(saved);
  int x;
  if (alignment_ == kAlignRight)
    x = frame_.right - margin_ - size.cx;
  else if (alignment_ == kAlignCentre)
    x = (frame_.right - frame_.left - size.cx) / 2;
  else
    x = frame_.left + margin_;
  if (icon_) x += 5;
  return POINT{x, y};
}

void CSSGroupBox::OnPaint() {
  Default();
  CClientDC dc(this);
  const int saved = dc.SaveDC();
  const POINT at = GetTitlePosition(&dc);
  CString title;
  title.Format(" %s ", text_.GetString());
  if (titleFont_) dc.SelectObject(titleFont_);
  const CSize size = dc.GetTextExtent(title);
  const RECT bar{0, 0, frame_.right - 1, 16};
  dc.FillSolidRect(&bar, titleBarColor_);
  dc.SetTextColor(RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  if (icon_) DrawIconEx(dc.GetSafeHdc(), 1, 1, icon_, 16, 16, 0, nullptr, DI_NORMAL);
  if (!text_.IsEmpty()) {
    if (IsWindowEnabled()) {
      RECT r{at.x, at.y, at.x + size.cx, at.y};
      dc.DrawText(title, &r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    } else {
      dc.DrawState(CPoint(at.x, at.y - size.cy / 2), size, title, DSS_DISABLED, FALSE, 0, static_cast<CBrush*>(nullptr));
    }
  }
  dc.RestoreDC(saved);
}
