// CMemDC: a memory device context for flicker-free painting. It covers the
// clip box of the target, starts white, and copies itself to the target in
// one blit when it goes. On a printing context it draws straight through.
#pragma once

#include "platform/gdi.h"

class CMemDC : public CDC {
 public:
  explicit CMemDC(CDC* target);
  ~CMemDC() override;
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

  // The rectangle painted (the target's clip box).
  const CRect& GetRect() const { return m_rect; }

 private:
  CBitmap m_bitmap;
  CBitmap* m_oldBitmap = nullptr;
  CDC* m_target;
  CRect m_rect;
  bool m_memory;
};
