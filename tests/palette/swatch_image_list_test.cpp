// Solid swatches of palette colours on an image list.
#include <gtest/gtest.h>

#include "palette/SwatchImageList.h"
#include "platform/gdi/gdi_api.h"

namespace {

// The colour of a pixel of an image drawn from the list.
COLORREF DrawnPixel(HIMAGELIST list, int index) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = 16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, target);
  ImageList_Draw(list, index, dc, 0, 0, 0);
  const COLORREF pixel = GetPixel(dc, 7, 9);
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  return pixel;
}

}  // namespace

TEST(SwatchImageListTest, OneImagePerColourAndNoneForNoColour) {
  CSwatchImageList list(16, 16);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list.GetSafeHandle(), &cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  EXPECT_EQ(list.GetImageIndex(0x0000FF), 0);
  EXPECT_EQ(list.GetImageIndex(0x00FF00), 1);
  EXPECT_EQ(list.GetImageIndex(0x0000FF), 0);
  EXPECT_EQ(list.GetImageList()->GetImageCount(), 2);
  EXPECT_EQ(list.GetImageIndex(0xFFFFFFFFu), -1);
  EXPECT_EQ(list.GetImageList()->GetImageCount(), 2);
  EXPECT_EQ(DrawnPixel(list.GetSafeHandle(), 0), 0x0000FFu);
  EXPECT_EQ(DrawnPixel(list.GetSafeHandle(), 1), 0x00FF00u);
  // The mask colour itself makes a swatch of its own colour (the list has no
  // mask, so nothing turns transparent).
  const int i = list.GetImageIndex(0x010101);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(DrawnPixel(list.GetSafeHandle(), i), 0x010101u);
  list.RemoveAll();
  EXPECT_EQ(list.GetImageList()->GetImageCount(), 0);
  EXPECT_EQ(list.GetImageIndex(0x00FF00), 0);
}
