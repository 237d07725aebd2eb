#include "app/AboutDlg.h"

#include <cstring>

#include "app/App.h"
#include "app/MainFrm.h"
#include "controls/DrawUtils.h"
#include "controls/VersionText.h"
#include "controls/MemDC.h"
#include "controls/ShellOpen.h"
#include "core/DialogServices.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "image/Image.h"
#include "lang/ids/base.h"
#include "lang/ids/shell.h"
#include "platform/base/codepage.h"
#include "platform/base/resource.h"

namespace {

CAboutDlg* g_liveSplash = nullptr;

// Texts built into the program in both languages (the source is UTF-8).
CString Text(const char* english, const char* russian) {
  return IsRussianInterface() ? FromUtf8(russian) : CString(english);
}

std::vector<CString> TitleLines() {
  std::vector<CString> lines;
  lines.push_back(Text("Quillmere 1.01 Freeware", "Квиллмир 1.01"));
  if (IsRussianInterface()) {
    lines.push_back(Text("", "Бесплатная программа для дизайна бисера"));
    lines.push_back(Text("", "© Corvandel, quillmere.example.org"));
  } else {
    lines.push_back("Free bead pattern designer");
    lines.push_back("Free for personal and commercial use");
    lines.push_back(FromUtf8("© Corvandel, quillmere.example.org"));
  }
  return lines;
}

// The picture of the about box, from the library's raw data 20.
std::unique_ptr<CImage> LoadAboutPicture() {
  const QmResourceBytes bytes = LoadRawData(AfxGetResourceHandle(), IDR_ABOUT_PICTURE);
  if (!bytes) return nullptr;
  CImageMemBlock block(".png");
  block.data = new BYTE[bytes.size];
  std::memcpy(block.data, bytes.data, bytes.size);
  block.size = bytes.size;
  auto picture = std::make_unique<CImage>();
  if (!picture->LoadFromMemoryBlock(block)) return nullptr;
  return picture;
}

CString VersionLine() {
  CString line;
  FormatVersionText(line);
  return line;
}

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_TIMER()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg(bool splash, CWnd* parent) : CDialog(splash ? IDD_SPLASH : IDD_ABOUT, parent), m_splash(splash) {
  const CString site = SiteAddress();
  m_features.push_back({Text("Designs from pictures", "Дизайны из картинок"), site + "features/", CRect()});
  m_features.push_back({Text("Ten weave formats", "Десять видов плетения"), site + "formats/", CRect()});
  m_features.push_back({Text("PDF charts with bead counts", "Схемы PDF с подсчётом бисера"), site + "pdf/", CRect()});
  m_features.push_back({Text("Palettes of bead makers", "Палитры производителей бисера"), site + "palettes/",
                        CRect()});
}

CAboutDlg::~CAboutDlg() {
  if (g_liveSplash == this) g_liveSplash = nullptr;
  if (m_splash) delete m_picture;
  if (m_icon) ::DestroyIcon(m_icon);
}

CString CAboutDlg::SiteAddress() const {
  CString site;
  GetWebSiteLink(site);
  return site;
}

CAboutDlg* CAboutDlg::GetLiveSplash() { return g_liveSplash; }

CAboutDlg* CAboutDlg::ShowSplash(CWnd* frame) {
  auto* splash = new CAboutDlg(true, frame);
  if (!splash->Create(IDD_SPLASH, frame)) {
    delete splash;
    return nullptr;
  }
  g_liveSplash = splash;
  splash->ShowWindow(SW_SHOW);
  splash->UpdateWindow();
  return splash;
}

BYTE CAboutDlg::NextAlpha(BYTE alpha, int tick, bool& close) {
  close = alpha < 40 || tick >= kLastTick;
  if (close) return alpha;
  int step = 0;
  if (tick < 5) step = 5;
  else if (tick < 10) step = 4;
  else if (tick < 15) step = 3;
  else if (tick < 20) step = 2;
  return static_cast<BYTE>(alpha - step);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hand = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(IDC_HAND_CURSOR));
  CApp* app = GetApp();
  if (m_splash) {
    m_picture = LoadAboutPicture().release();
  } else if (app) {
    m_picture = app->GetAboutPicture();
  }
  std::unique_ptr<CImage> sizeSource;
  CImage* measured = m_picture;
  if (!measured) {
    sizeSource = LoadAboutPicture();
    measured = sizeSource.get();
  }
  if (measured) {
    m_pictureSize = CSize(measured->GetWidth(), measured->GetHeight());
    int w = m_pictureSize.cx + 5;
    int h = m_pictureSize.cy + (m_splash ? 0 : ::GetSystemMetrics(SM_CYCAPTION));
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    w = std::min(w, sw);
    h = std::min(h, sh);
    MoveWindow((sw - w) / 2, (sh - h) / 3, w, h);
  }
  m_alpha = 255;
  m_ticks = 0;
  m_icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_MAINFRAME));
  if (m_splash) {
    m_timer = SetTimer(kFadeTimer, kFadePeriod, nullptr);
    SetWindowAlpha(m_hWnd, 255);
  } else {
    SetIcon(m_icon, FALSE);
    SetWindowText(LoadResString(IDS_ABOUT) + " " + LoadResString(IDS_APP_TITLE));
  }
  return TRUE;
}

void CAboutDlg::OnTimer(UINT_PTR nIDEvent) {
  if (!m_splash || nIDEvent != m_timer) {
    CDialog::OnTimer(nIDEvent);
    return;
  }
  ++m_ticks;
  bool close = false;
  m_alpha = NextAlpha(m_alpha, m_ticks, close);
  if (close) {
    CloseSplash();
    return;
  }
  SetWindowAlpha(m_hWnd, m_alpha);
}

void CAboutDlg::CloseSplash() {
  if (m_closing) return;
  m_closing = true;
  if (m_timer) KillTimer(m_timer);
  m_timer = 0;
  CWnd* main = AfxGetMainWnd();
  DestroyWindow();
  if (main && main->m_hWnd) main->Invalidate(FALSE);
}

void CAboutDlg::PostNcDestroy() {
  if (m_splash) delete this;
}

void CAboutDlg::OnOK() {
  if (m_splash) CloseSplash();
  else CDialog::OnOK();
}

void CAboutDlg::OnCancel() {
  if (m_splash) CloseSplash();
  else CDialog::OnCancel();
}

void CAboutDlg::OnPaint() {
  CPaintDC paint(this);
  CMemDC dc(&paint);
  PaintContent(&dc);
}

void CAboutDlg::BuildCachedPicture() {
  CApp* app = GetApp();
  if (!app || app->GetAboutPicture() || !m_picture) return;
  CRect client;
  GetClientRect(&client);
  bool ok = false;
  auto copy = std::make_unique<CImage>(client.Width(), client.Height(), ok, RGB(255, 255, 255));
  if (!ok) return;
  for (int y = 0; y < client.Height() && y < m_pictureSize.cy; ++y)
    for (int x = 0; x < client.Width() && x < m_pictureSize.cx; ++x) {
      // Rows count from the top here; the picture's rows from the bottom.
      BYTE r = 0, g = 0, b = 0;
      m_picture->GetPixelRGB(x, m_pictureSize.cy - 1 - y, r, g, b);
      int share = 0;
      if (y >= 350) share = 162;
      else if (y >= 310) share = 162 * (y - 309) / 40;
      auto wash = [share](BYTE v) { return static_cast<BYTE>((share * 255 + (255 - share) * v) / 255); };
      copy->SetPixelRGB(x, client.Height() - 1 - y, wash(r), wash(g), wash(b));
    }
  app->SetAboutPicture(std::move(copy));
}

void CAboutDlg::PaintContent(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(client, RGB(255, 255, 255));
  CImage* picture = m_splash ? m_picture : (GetApp() ? GetApp()->GetAboutPicture() : nullptr);
  if (picture) picture->Draw(dc, 0, 0);
  dc->SetBkMode(TRANSPARENT);

  // Title block, drawn three times in orange to red, on a light veil over
  // the picture's beads so that it reads on any of them.
  const std::vector<CString> lines = TitleLines();
  static const COLORREF colors[3] = {0x2890E8, 0x1458CA, 0x002CC0};
  m_titleRects.clear();
  if (picture) {
    CRect veil;
    int y = 19;
    for (size_t i = 0; i < lines.size(); ++i) {
      CLogFont lf;
      lf.SetFaceName(i == 0 ? "Tahoma" : "Arial");
      lf.lfHeight = i == 0 ? 38 : 22;
      lf.lfWeight = 700;
      CFont font;
      font.CreateFontIndirect(&lf);
      CFont* old = dc->SelectObject(&font);
      const CSize size = dc->GetTextExtent(lines[i]);
      const int x = (client.Width() - size.cx) / 2;
      veil.UnionRect(veil, CRect(x, y, x + size.cx + 2, y + size.cy + 2));
      y += size.cy - (i == 0 ? 3 : 2);
      dc->SelectObject(old);
    }
    veil.InflateRect(14, 6);
    CDC white;
    CBitmap bitmap;
    if (white.CreateCompatibleDC(dc) && bitmap.CreateCompatibleBitmap(dc, veil.Width(), veil.Height())) {
      CBitmap* oldBitmap = white.SelectObject(&bitmap);
      white.FillSolidRect(0, 0, veil.Width(), veil.Height(), RGB(255, 255, 255));
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 200, 0};
      dc->AlphaBlend(veil.left, veil.top, veil.Width(), veil.Height(), &white, 0, 0, veil.Width(), veil.Height(),
                     blend);
      white.SelectObject(oldBitmap);
    }
  }
  for (int pass = 0; pass < 3; ++pass) {
    int y = 20 + pass - 1;
    for (size_t i = 0; i < lines.size(); ++i) {
      CLogFont lf;
      lf.SetFaceName(i == 0 ? "Tahoma" : "Arial");
      lf.lfHeight = i == 0 ? 38 : 22;
      lf.lfWeight = 700;
      lf.lfUnderline = m_titleHover ? 1 : 0;
      CFont font;
      font.CreateFontIndirect(&lf);
      CFont* old = dc->SelectObject(&font);
      const CSize size = dc->GetTextExtent(lines[i]);
      const int x = (client.Width() - size.cx) / 2 + pass;
      dc->SetTextColor(colors[pass]);
      dc->TextOut(x, y, lines[i]);
      if (pass == 2) {
        CRect r(x, y, x + size.cx, y + size.cy);
        r.InflateRect(2, 2);
        m_titleRects.push_back(r);
      }
      y += size.cy - (i == 0 ? 3 : 2);
      dc->SelectObject(old);
    }
  }

  // The feature links in two columns.
  {
    CLogFont lf;
    lf.SetFaceName("Arial");
    lf.lfHeight = 18;
    lf.lfWeight = 700;
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* old = dc->SelectObject(&font);
    for (size_t i = 0; i < m_features.size(); ++i) {
      Link& link = m_features[i];
      const int column = static_cast<int>(i % 2), row = static_cast<int>(i / 2);
      const int x = 40 + column * 340, y = 400 + row * 34;
      const bool hover = static_cast<int>(i) == m_hoverFeature;
      const CSize size = dc->GetTextExtent(link.text);
      link.rect = CRect(x - 4, y - 3, x + size.cx + 4, y + size.cy + 3);
      if (hover) dc->FillSolidRect(link.rect, RGB(255, 244, 200));
      dc->SetTextColor(hover ? RGB(192, 64, 0) : RGB(20, 40, 110));
      dc->TextOut(x, y, link.text);
    }
    dc->SelectObject(old);
  }

  // The version line and the upgrade address.
  const CString version = VersionLine();
  CLogFont lf;
  lf.SetFaceName("Tahoma");
  lf.lfHeight = IsRussianInterface() ? 18 : 17;
  lf.lfWeight = 700;
  lf.lfUnderline = m_versionHover ? 1 : 0;
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* old = dc->SelectObject(&font);
  const int y = IsRussianInterface() ? 657 : 653;
  dc->SetTextColor(0x004060);
  dc->TextOut(421, y, version);
  CString upgrade;
  upgrade.Format("%s %s", LoadResString(IDS_UPGRADE_ON).GetString(), (SiteAddress() + "freeware/").GetString());
  dc->TextOut(421, y + 17, upgrade);
  const CSize size = dc->GetTextExtent(version);
  m_versionRect = CRect(419, y - 2, size.cx + 471, y + size.cy + 19);
  dc->SelectObject(old);

  if (m_splash) BuildCachedPicture();
}

void CAboutDlg::OnMouseMove(UINT nFlags, CPoint point) {
  bool title = false;
  for (const CRect& r : m_titleRects)
    if (r.PtInRect(point)) title = true;
  const bool version = m_versionRect.PtInRect(point) != FALSE;
  int feature = -1;
  for (size_t i = 0; i < m_features.size(); ++i)
    if (m_features[i].rect.PtInRect(point)) feature = static_cast<int>(i);
  if (title != m_titleHover || version != m_versionHover || feature != m_hoverFeature) {
    m_titleHover = title;
    m_versionHover = version;
    m_hoverFeature = feature;
    Invalidate(FALSE);
  }
  CDialog::OnMouseMove(nFlags, point);
}

BOOL CAboutDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if ((m_titleHover || m_versionHover || m_hoverFeature >= 0) && m_hand) {
    ::SetCursor(m_hand);
    return TRUE;
  }
  return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

bool CAboutDlg::Click(CPoint point) {
  CString address;
  for (const CRect& r : m_titleRects)
    if (r.PtInRect(point)) address = SiteAddress();
  if (address.IsEmpty())
    for (const Link& link : m_features)
      if (link.rect.PtInRect(point)) address = link.address;
  if (address.IsEmpty() && m_versionRect.PtInRect(point)) address = SiteAddress() + "freeware/";
  if (address.IsEmpty()) return false;
  OpenWebAddress(m_hWnd, address);
  return true;
}

void CAboutDlg::OnLButtonDown(UINT nFlags, CPoint point) {
  if (!Click(point) && m_splash) {
    CloseSplash();
    return;
  }
  CDialog::OnLButtonDown(nFlags, point);
}

void CAboutDlg::OnRButtonDown(UINT nFlags, CPoint point) {
  if (!Click(point) && m_splash) {
    CloseSplash();
    return;
  }
  CDialog::OnRButtonDown(nFlags, point);
}
