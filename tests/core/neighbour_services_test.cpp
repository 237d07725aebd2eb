// The services that the view and the dialogs install for the lower levels:
// what is installed is what the accessors hand out.
#include <gtest/gtest.h>

#include "core/DialogServices.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "core/ViewServices.h"
#include "platform/base/codepage.h"

namespace {

class NullPicture : public IOlePicture {
 public:
  bool LoadFromFile(const char*) override { return false; }
  SIZE GetSizeInPixels(CDC*) override { return SIZE{0, 0}; }
  bool Render(CDC*, const RECT&) override { return false; }
};

}  // namespace


TEST(NeighbourServices, OlePictureFactory) {
  EXPECT_EQ(CreateOlePicture(), nullptr);
  int made = 0;
  IOlePicture* last = nullptr;
  SetOlePictureFactory([&] {
    ++made;
    auto picture = std::make_unique<NullPicture>();
    last = picture.get();
    return picture;
  });
  std::unique_ptr<IOlePicture> first = CreateOlePicture();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first.get(), last);  // the factory's object, handed over
  std::unique_ptr<IOlePicture> second = CreateOlePicture();
  EXPECT_NE(second.get(), first.get());  // a new picture every time
  EXPECT_EQ(made, 2);
  SetOlePictureFactory(nullptr);
  EXPECT_EQ(CreateOlePicture(), nullptr);
  EXPECT_EQ(made, 2);
}

TEST(NeighbourServices, ColumnChoiceDialogHook) {
  CColumnListOptions options;
  EXPECT_EQ(options.rememberSelection, 0);
  EXPECT_EQ(options.highlightShortage, 1);
  EXPECT_EQ(options.allowUsageChange, 0);
  EXPECT_EQ(options.usageChangeLocked, 1);
  CColumnLayout columns = {{0, 80}, {3, 40}};
  EXPECT_FALSE(RunSelectColumnsDialog(columns, options, nullptr));
  SetSelectColumnsDialog([](CColumnLayout& c, CColumnListOptions& o, CWnd*) {
    c.erase(c.begin());
    o.rememberSelection = 1;
    return true;
  });
  EXPECT_TRUE(RunSelectColumnsDialog(columns, options, nullptr));
  EXPECT_EQ(columns.size(), 1u);
  EXPECT_EQ(options.rememberSelection, 1);
  SetSelectColumnsDialog(nullptr);
}

TEST(NeighbourServices, BuildDate) {
  const bool wasRussian = IsRussianInterface();
  SetRussianInterface(false);
  CString en;
  GetBuildDateText(en);
  EXPECT_EQ(en.GetLength() >= 10, true);
  EXPECT_EQ(en.Find("  "), -1);
  SetRussianInterface(true);
  CString ru;
  GetBuildDateText(ru);
  EXPECT_NE(ru, en);  // the month is translated
  SetRussianInterface(wasRussian);
}
