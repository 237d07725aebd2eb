// The combos of weave formats, stitch paths and colour modes: entries, item
// data, pictures, selection, and the positions the colour-mode combo maps.
#include <gtest/gtest.h>

#include "controls/ComboFillers.h"
#include "core/Registry.h"
#include "design/WeaveFormat.h"
#include "platform/base/codepage.h"
#include "platform/base/resource.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"

namespace {

class CHost : public CWnd {
 public:
  BOOL CreateTop() {
    return CreateEx(0, AfxRegisterWndClass(0), "Combos", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr);
  }
};

bool MakeCombo(CHost& host, CComboBoxEx& combo, UINT id) {
  const RECT r{10, 10, 250, 200};
  return combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, r, &host, id) != FALSE;
}

int ImageOf(CComboBoxEx& combo, int index) {
  COMBOBOXEXITEM item{};
  item.mask = CBEIF_IMAGE;
  item.iItem = index;
  combo.GetItem(&item);
  return item.iImage;
}

CString TextOf(CComboBoxEx& combo, int index) {
  char buffer[128] = {};
  COMBOBOXEXITEM item{};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  combo.GetItem(&item);
  return CString(buffer);
}

}  // namespace

TEST(ComboFillers, FormatsAndStitchPaths) {
  qmtest::LanguagePack pack(false);
  SetRussianInterface(false);
  CHost host;
  ASSERT_TRUE(host.CreateTop());
  CComboBoxEx formats, paths;
  ASSERT_TRUE(MakeCombo(host, formats, 100));
  ASSERT_TRUE(MakeCombo(host, paths, 101));
  CImageList images;
  EXPECT_TRUE(FillFormatCombo(images, formats, kFormatBrick));
  ASSERT_EQ(formats.GetCount(), 14);
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(static_cast<int>(formats.GetItemData(i)), i);
    EXPECT_EQ(ImageOf(formats, i), FormatComboImage(i));
  }
  EXPECT_EQ(TextOf(formats, 0), CString("Loom"));
  EXPECT_EQ(TextOf(formats, 13), CString(GetFormatNameUtf8(13, false)));
  EXPECT_EQ(GetComboSelData(formats), static_cast<DWORD_PTR>(kFormatBrick));
  // A format that is not listed selects the first entry.
  EXPECT_TRUE(FillFormatCombo(images, formats, 99));
  EXPECT_EQ(formats.GetCurSel(), 0);
  EXPECT_EQ(formats.GetCount(), 14);

  EXPECT_TRUE(FillStitchPathCombo(images, paths, 5));
  ASSERT_EQ(paths.GetCount(), 10);
  EXPECT_EQ(GetComboSelData(paths), 5u);
  const int expected[10] = {-1, 22, 23, 24, 25, 25, 25, 26, 26, 26};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(static_cast<int>(paths.GetItemData(i)), i);
    EXPECT_EQ(ImageOf(paths, i), expected[i]);
  }
  EXPECT_EQ(FormatComboImage(kFormatLoom), 5);
  EXPECT_EQ(FormatComboImage(3), 6);
  EXPECT_EQ(FormatComboImage(kFormatSacredBrick), 4);
  EXPECT_EQ(FormatComboImage(kFormatSacredPeyote), 9);
  paths.SetCurSel(-1);
  EXPECT_EQ(GetComboSelData(paths), static_cast<DWORD_PTR>(CB_ERR));
  host.DestroyWindow();
}

TEST(ComboFillers, ColorModesNeedTheirPictures) {
  qmtest::LanguagePack pack(false);
  SetRussianInterface(false);
  CHost host;
  ASSERT_TRUE(host.CreateTop());
  CComboBoxEx modes;
  ASSERT_TRUE(MakeCombo(host, modes, 102));
  CImageList images;
  const bool hasBitmap = FindResource(AfxGetResourceHandle(), MAKEINTRESOURCE(147), RT_BITMAP) != nullptr;
  if (!hasBitmap) {
    // Without bitmap 147 the combo stays empty.
    EXPECT_FALSE(FillColorModeCombo(images, modes, kColorModeExact));
    EXPECT_EQ(modes.GetCount(), 0);
  } else {
    struct Case {
      int mode, position;
    };
    for (Case c : {Case{kColorModeExact, 2}, Case{kColorModeSoftened, 3}, Case{kColorModeClassic, 1},
                   Case{kColorModeSharp, 0}, Case{17, 0}}) {
      EXPECT_TRUE(FillColorModeCombo(images, modes, c.mode));
      ASSERT_EQ(modes.GetCount(), 4);
      EXPECT_EQ(modes.GetCurSel(), c.position) << c.mode;
    }
    EXPECT_EQ(TextOf(modes, 0), CString("Sharp Color"));
    EXPECT_EQ(ImageOf(modes, 0), 10);
    EXPECT_EQ(ImageOf(modes, 3), 13);
  }
  EXPECT_EQ(ColorModeComboImage(0, true), 0);
  EXPECT_EQ(ColorModeComboImage(0, false), 10);
  EXPECT_EQ(ColorModeComboImage(2, true), 12);
  for (int position = 0; position < 4; ++position)
    EXPECT_EQ(ComboPositionFromColorMode(ColorModeFromComboPosition(position)), position);
  host.DestroyWindow();
}
