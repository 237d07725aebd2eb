// How the window layer lends its pixels to device contexts. A window keeps a
// backing image; a window, client or paint device context draws into it
// through a CDrawSurface, and the window shows the image when it paints.
// Only the platform layer includes this header (it uses Qt types).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>

#include <memory>

#include "platform/gdi/gdi_defs.h"

class CDrawSurface {
 public:
  virtual ~CDrawSurface() = default;
  // The image to draw on: Format_RGB32, or null when there is none (the
  // drawing call then fails).
  virtual QImage* SurfaceImage() = 0;
  // Where device point (0, 0) lies in the image (the client area's offset
  // for a client device context).
  virtual QPoint SurfaceOrigin() const { return QPoint(0, 0); }
  // Size of the device area in pixels (the client or window size).
  virtual QSize SurfaceSize() const = 0;
  // The part of the device area drawing may reach (device units), for
  // instance a paint's update region; empty means all of it.
  virtual QRegion SurfaceClip() const { return QRegion(); }
  // Drawing changed this device rectangle.
  virtual void SurfaceChanged(const QRect& deviceRect) {}
};

// A device context drawing into a surface (the window layer's GetDC,
// GetWindowDC and BeginPaint build on it). hwnd is reported by
// WindowFromDC. Delete it with DeleteDC or ReleaseDC.
HDC CreateSurfaceDC(std::shared_ptr<CDrawSurface> surface, HWND hwnd);
HWND WindowFromDC(HDC hdc);

// The window layer installs this to give windows their device contexts.
class IWindowDCProvider {
 public:
  virtual ~IWindowDCProvider() = default;
  virtual HDC GetDC(HWND hwnd) = 0;        // client area
  virtual HDC GetWindowDC(HWND hwnd) = 0;  // whole window
  virtual int ReleaseDC(HWND hwnd, HDC hdc) = 0;
  virtual HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) = 0;
  virtual BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) = 0;
};
void SetWindowDCProvider(IWindowDCProvider* provider);
IWindowDCProvider* GetWindowDCProvider();

class CWnd;
// The window layer also tells how to get a CWnd's handle, for CPaintDC,
// CClientDC and CWindowDC.
using WindowHandleFn = HWND (*)(CWnd* wnd);
void SetWindowHandleFn(WindowHandleFn fn);

// Pixels of a bitmap, icon or cursor for the window layer (cursors, window
// icons). The image is ARGB32; false for an unknown handle.
bool GetBitmapImage(HBITMAP bitmap, QImage* out);
bool GetIconImage(HICON icon, QImage* out, QPoint* hotspot, int* standardId);
// An icon made from an ARGB32 image.
HICON CreateIconFromImage(const QImage& image, bool isIcon, QPoint hotspot);
