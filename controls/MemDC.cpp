#include "controls/MemDC.h"

CMemDC::CMemDC(CDC* target) : m_target(target), m_memory(!target->IsPrinting()) {
  if (m_memory) {
    target->GetClipBox(&m_rect);
    CreateCompatibleDC(target);
    m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
    m_oldBitmap = SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
    FillSolidRect(m_rect, RGB(255, 255, 255));
  } else {
    m_bPrinting = target->IsPrinting();
    m_hDC = target->m_hDC;
    m_hAttribDC = target->m_hAttribDC;
  }
}

CMemDC::~CMemDC() {
  if (m_memory) {
    m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                     SRCCOPY);
    SelectObject(m_oldBitmap);
  } else {
    // The handles belong to the target.
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
  }
}
