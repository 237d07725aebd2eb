// The MFC-style drawing classes: handle maps, selection wrappers, and the
// window device contexts over the window layer's provider.
#include "platform/gdi/afxgdi.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/base/resource.h"
#include "platform/gdi/internal.h"

namespace {

struct Maps {
  std::mutex mu;
  std::map<void*, CGdiObject*> permanent;
  std::map<void*, std::unique_ptr<CGdiObject>> temporary;
  std::map<HDC, CDC*> dcPermanent;
  std::map<HDC, std::unique_ptr<CDC>> dcTemporary;
};

Maps& M() {
  static Maps* m = new Maps;
  return *m;
}

template <class T>
T* WrapHandle(void* h) {
  if (!h) return nullptr;
  Maps& m = M();
  std::lock_guard<std::mutex> g(m.mu);
  auto p = m.permanent.find(h);
  if (p != m.permanent.end()) return static_cast<T*>(p->second);
  auto t = m.temporary.find(h);
  if (t != m.temporary.end()) return static_cast<T*>(t->second.get());
  auto obj = std::make_unique<T>();
  obj->m_hObject = h;
  T* raw = obj.get();
  m.temporary.emplace(h, std::move(obj));
  return raw;
}

WindowHandleFn g_handleFn = nullptr;

HWND HandleOfWnd(CWnd* wnd) { return wnd && g_handleFn ? g_handleFn(wnd) : nullptr; }

}  // namespace

namespace qmgdi {
// Called when a handle is deleted: its temporary wrapper goes too.
void ForgetTemporary(void* h) {
  std::unique_ptr<CGdiObject> drop;
  Maps& m = M();
  std::lock_guard<std::mutex> g(m.mu);
  auto t = m.temporary.find(h);
  if (t == m.temporary.end()) return;
  t->second->m_hObject = nullptr;
  drop = std::move(t->second);
  m.temporary.erase(t);
}
void ForgetTemporaryDC(HDC h) {
  std::unique_ptr<CDC> drop;
  Maps& m = M();
  std::lock_guard<std::mutex> g(m.mu);
  auto t = m.dcTemporary.find(h);
  if (t == m.dcTemporary.end()) return;
  t->second->m_hDC = t->second->m_hAttribDC = nullptr;
  drop = std::move(t->second);
  m.dcTemporary.erase(t);
}
}  // namespace qmgdi

void SetWindowHandleFn(WindowHandleFn fn) { g_handleFn = fn; }
HWND qmgdi::HandleOfCWnd(CWnd* wnd) { return HandleOfWnd(wnd); }

// ---- CGdiObject -----------------------------------------------------------------

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) { return WrapHandle<CGdiObject>(h); }
CPen* CPen::FromHandle(HPEN h) { return WrapHandle<CPen>(h); }
CBrush* CBrush::FromHandle(HBRUSH h) { return WrapHandle<CBrush>(h); }
CFont* CFont::FromHandle(HFONT h) { return WrapHandle<CFont>(h); }
CBitmap* CBitmap::FromHandle(HBITMAP h) { return WrapHandle<CBitmap>(h); }
CRgn* CRgn::FromHandle(HRGN h) { return WrapHandle<CRgn>(h); }
CPalette* CPalette::FromHandle(HPALETTE h) { return WrapHandle<CPalette>(h); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
  if (!h) return FALSE;
  if (m_hObject) DeleteObject();
  m_hObject = h;
  Maps& m = M();
  std::lock_guard<std::mutex> g(m.mu);
  m.permanent[h] = this;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (h) {
    Maps& m = M();
    std::lock_guard<std::mutex> g(m.mu);
    auto it = m.permanent.find(h);
    if (it != m.permanent.end() && it->second == this) m.permanent.erase(it);
  }
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  HGDIOBJ h = Detach();
  return ::DeleteObject(h);
}

CBrush::CBrush(CBitmap* bitmap) { CreatePatternBrush(bitmap); }
BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  return bitmap && Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject)));
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* font, CDC* dc) {
  if (!font) return FALSE;
  LOGFONT lf = *font;
  HDC hdc = dc ? dc->m_hAttribDC : ::GetDC(nullptr);
  POINT pt{0, QmMulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), lf.lfHeight, 720)};
  POINT org{0, 0};
  ::DPtoLP(hdc, &pt, 1);
  ::DPtoLP(hdc, &org, 1);
  lf.lfHeight = -std::abs(pt.y - org.y);
  if (!dc) ::ReleaseDC(nullptr, hdc);
  return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSize, LPCSTR faceName, CDC* dc) {
  LOGFONT lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = pointSize;
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreatePointFontIndirect(&lf, dc);
}

BOOL CBitmap::LoadBitmap(UINT id) { return Attach(::LoadBitmap(AfxGetResourceHandle(), MAKEINTRESOURCE(id))); }
BOOL CBitmap::LoadBitmap(LPCSTR name) { return Attach(::LoadBitmap(AfxGetResourceHandle(), name)); }
BOOL CBitmap::LoadMappedBitmap(UINT id, UINT flags, const COLORMAP* map, int mapSize) {
  return Attach(::CreateMappedBitmap(AfxGetResourceHandle(), static_cast<INT_PTR>(id), flags, map, mapSize));
}
BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return dc && Attach(::CreateCompatibleBitmap(dc->m_hDC, width, height));
}
BOOL CPalette::CreateHalftonePalette(CDC* dc) { return Attach(::CreateHalftonePalette(dc ? dc->m_hDC : nullptr)); }

// ---- CDC ---------------------------------------------------------------------------

CDC::~CDC() {
  if (m_hDC) DeleteDC();
}

CDC* CDC::FromHandle(HDC h) {
  if (!h) return nullptr;
  Maps& m = M();
  std::lock_guard<std::mutex> g(m.mu);
  auto p = m.dcPermanent.find(h);
  if (p != m.dcPermanent.end()) return p->second;
  auto t = m.dcTemporary.find(h);
  if (t != m.dcTemporary.end()) return t->second.get();
  auto dc = std::make_unique<CDC>();
  dc->m_hDC = dc->m_hAttribDC = h;
  CDC* raw = dc.get();
  m.dcTemporary.emplace(h, std::move(dc));
  return raw;
}

BOOL CDC::Attach(HDC h) {
  if (!h) return FALSE;
  m_hDC = m_hAttribDC = h;
  Maps& m = M();
  std::lock_guard<std::mutex> g(m.mu);
  m.dcPermanent[h] = this;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  if (h) {
    Maps& m = M();
    std::lock_guard<std::mutex> g(m.mu);
    auto it = m.dcPermanent.find(h);
    if (it != m.dcPermanent.end() && it->second == this) m.dcPermanent.erase(it);
  }
  m_hDC = m_hAttribDC = nullptr;
  return h;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  HDC h = Detach();
  qmgdi::ForgetTemporaryDC(h);
  return ::DeleteDC(h);
}

CPen* CDC::SelectObject(CPen* pen) {
  return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pen ? pen->m_hObject : nullptr)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, brush ? brush->m_hObject : nullptr)));
}
CFont* CDC::SelectObject(CFont* font) {
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, font ? font->m_hObject : nullptr)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr)));
}
int CDC::SelectObject(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr); }
CGdiObject* CDC::SelectObject(CGdiObject* obj) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, obj ? obj->m_hObject : nullptr));
}
CGdiObject* CDC::SelectStockObject(int index) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index)));
}
CPalette* CDC::SelectPalette(CPalette* palette, BOOL forceBackground) {
  return CPalette::FromHandle(
      ::SelectPalette(m_hDC, palette ? static_cast<HPALETTE>(palette->m_hObject) : nullptr, forceBackground));
}
CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}
CPalette* CDC::GetCurrentPalette() const {
  return CPalette::FromHandle(static_cast<HPALETTE>(::GetCurrentObject(m_hDC, OBJ_PAL)));
}

void CDC::FillSolidRect(LPCRECT r, COLORREF c) {
  ::SetBkColor(m_hDC, c);
  ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
  RECT r{x, y, x + cx, y + cy};
  if (cx < 0) std::swap(r.left, r.right);
  if (cy < 0) std::swap(r.top, r.bottom);
  FillSolidRect(&r, c);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight) {
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

int CDC::GetTextFace(CString& face) const {
  char buf[LF_FACESIZE] = {0};
  const int n = ::GetTextFace(m_hAttribDC, LF_FACESIZE, buf);
  face = buf;
  return n;
}

// ---- window device contexts ----------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) {
  m_hWnd = HandleOfWnd(wnd);
  if (m_hWnd) Attach(::BeginPaint(m_hWnd, &m_ps));
}
CPaintDC::~CPaintDC() {
  if (m_hDC && m_hWnd) {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
  }
}

CClientDC::CClientDC(CWnd* wnd) {
  m_hWnd = HandleOfWnd(wnd);
  Attach(::GetDC(m_hWnd));
}
CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* wnd) {
  m_hWnd = HandleOfWnd(wnd);
  Attach(::GetWindowDC(m_hWnd));
}
CWindowDC::~CWindowDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}
