// Recent-file lists and shortcut keys: stored bytes, damaged values, moves,
// limits, key texts.
#include "controls/AccelTable.h"
#include "app/RecentFileDlg.h"
#include "controls/RecentFiles.h"
#include "core/ByteStream.h"
#include "core/Registry.h"
#include "image/Image.h"
#include "lang/ids/shell.h"
#include "tests/app/app_fixture.h"

using namespace apptest;
using qmtest::Bytes;

namespace {
CImage Picture(int w, int h) {
  bool ok = false;
  CImage picture(w, h, ok, RGB(200, 40, 40));
  EXPECT_TRUE(ok);
  return picture;
}
}  // namespace

TEST(RecentFiles, AddMovesLimitsAndStoresScrambled) {
  CRecentFiles list("RecentDesignMenu26Sept2016", 20000, 16);
  const CImage picture = Picture(400, 300);
  for (int i = 0; i < 17; ++i) {
    CString path;
    path.Format("/d/design%d.qx", i);
    ASSERT_TRUE(list.AddFile(path, picture, i == 3 ? "Third" : nullptr));
  }
  // The seventeenth pushed the oldest out.
  ASSERT_EQ(list.GetCount(), 16);
  CString path;
  ASSERT_TRUE(list.GetPath(20000, path));
  EXPECT_EQ(path.str(), "/d/design16.qx");
  ASSERT_TRUE(list.GetPath(20015, path));
  EXPECT_EQ(path.str(), "/d/design1.qx");
  EXPECT_FALSE(list.GetPath(20016, path));
  EXPECT_FALSE(list.GetPath(19999, path));
  // A path differing in case moves to the front with its new title.
  ASSERT_TRUE(list.AddFile("/D/DESIGN3.QX", picture, "Moved"));
  EXPECT_EQ(list.GetCount(), 16);
  EXPECT_EQ(list.GetItemText(0).str(), "Moved");
  EXPECT_EQ(list.GetItemText(1).str(), "<design16>");
  // The thumbnail fits 200 x 150.
  EXPECT_EQ(list.GetEntry(0).thumbnail->GetWidth(), 200);
  EXPECT_EQ(list.GetEntry(0).thumbnail->GetHeight(), 150);

  ASSERT_TRUE(list.Save());
  std::vector<BYTE> stored;
  ASSERT_TRUE(ReadProgramBinaryValue("RecentDesignMenu26Sept2016", stored, false));
  std::vector<BYTE> plain;
  ASSERT_TRUE(list.WriteToBytes(plain));
  ASSERT_EQ(stored.size(), plain.size());
  for (size_t i = 0; i < plain.size(); ++i)
    ASSERT_EQ(stored[i], static_cast<BYTE>(plain[i] + CByteStream::kScrambleConstant)) << i;
  for (int i = 0; i < 128; ++i) ASSERT_EQ(plain[i], 0);
  EXPECT_EQ(plain[128], 16);
  CRecentFiles again("RecentDesignMenu26Sept2016", 20000, 16);
  ASSERT_TRUE(again.Load());
  ASSERT_EQ(again.GetCount(), 16);
  EXPECT_EQ(again.GetEntry(0).title.str(), "Moved");
  EXPECT_EQ(again.GetEntry(0).thumbnail->GetWidth(), 200);
}

TEST(RecentFiles, ShortOrDamagedValuesGiveEmptyLists) {
  CRecentFiles list("x", 20000, 16);
  const CImage picture = Picture(20, 20);
  ASSERT_TRUE(list.AddFile("/a.qx", picture, "A"));
  std::vector<BYTE> bytes;
  ASSERT_TRUE(list.WriteToBytes(bytes));
  for (size_t cut : {size_t{0}, size_t{100}, size_t{131}, size_t{135}, bytes.size() - 1}) {
    CRecentFiles damaged("x", 20000, 16);
    EXPECT_FALSE(damaged.LoadFromBytes(bytes.data(), cut)) << cut;
    EXPECT_TRUE(damaged.IsEmpty());
  }
  // A huge stored count reserves nothing and fails on the first entry.
  Bytes huge;
  for (int i = 0; i < 128; ++i) huge.u8(0);
  huge.i32(0x7FFFFFFF);
  CRecentFiles big("x", 20000, 16);
  EXPECT_FALSE(big.LoadFromBytes(huge.b.data(), huge.b.size()));
}

TEST(RecentFiles, AMaximumOfZeroAddsNothing) {
  CRecentFiles list("x", 20000, 0);
  EXPECT_FALSE(list.AddFile("/a.qx", Picture(10, 10), nullptr));
  EXPECT_TRUE(list.IsEmpty());
  CRecentFiles three("x", 20000, 16);
  for (const char* p : {"/a.qx", "/b.qx", "/c.qx"}) ASSERT_TRUE(three.AddFile(p, Picture(10, 10), nullptr));
  three.SetMaxCount(1);
  EXPECT_EQ(three.GetCount(), 1);
  CRecentFileLst paths(20100, "y", 0);
  paths.AddFile("/p.png");
  EXPECT_EQ(paths.GetCount(), 0);
}

TEST(RecentFileLst, StoredPathsAndTheirChecks) {
  CRecentFileLst list(20100, "RecentOriginalMenu01Oct2017", 3);
  for (const char* p : {"/a.png", "/b.png", "/c.png", "/d.png"}) list.AddFile(p);
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetAt(0).str(), "/d.png");
  list.AddFile("/B.PNG");
  EXPECT_EQ(list.GetAt(0).str(), "/b.png");  // moved, its spelling kept
  EXPECT_EQ(list.GetCount(), 3);
  std::vector<BYTE> bytes;
  ASSERT_TRUE(list.WriteToBytes(bytes));
  EXPECT_EQ(bytes, Bytes().i32(3).str("/b.png").str("/d.png").str("/c.png").b);
  CRecentFileLst read(20100, "z", 16);
  EXPECT_TRUE(read.LoadFromBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(read.GetCount(), 3);
  bytes.push_back(0);  // one byte more than its paths: discarded whole
  EXPECT_FALSE(read.LoadFromBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(read.GetCount(), 0);
  const std::vector<BYTE> unterminated = Bytes().i32(1).u8('a').b;
  EXPECT_FALSE(read.LoadFromBytes(unterminated.data(), unterminated.size()));
  EXPECT_FALSE(read.LoadFromBytes(bytes.data(), 3));
}

TEST(RecentFileDlg, ThePlacementStaysOnTheScreen) {
  EXPECT_EQ(CRecentFileDlg::PlaceOnScreen(CPoint(10, 20), 1000, 800), CRect(10, 20, 280, 170));
  EXPECT_EQ(CRecentFileDlg::PlaceOnScreen(CPoint(900, 700), 1000, 800), CRect(730, 650, 1000, 800));
}

TEST_F(AppTest, TheDropDownListsTitlesAndAClickOutsideClosesIt) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CRecentFiles& list = Frame()->GetRecentDesignList();
  ASSERT_TRUE(list.AddFile(MakeFile("one.qx").c_str(), Picture(30, 30), "One"));
  ASSERT_TRUE(list.AddFile(MakeFile("two.qx").c_str(), Picture(30, 30), nullptr));
  std::vector<std::string> items;
  bool hooked = false;
  qmtest::SetModalHook([&](HWND dialog) {
    CWnd* wnd = CWnd::FromHandle(dialog);
    auto* dlg = dynamic_cast<CRecentFileDlg*>(wnd);
    ASSERT_NE(dlg, nullptr);
    for (int i = 0; i < dlg->GetList().GetItemCount(); ++i) items.push_back(dlg->GetList().GetItemText(i, 0).str());
    hooked = IsClickOutHookInstalled();
    QmSimulateDeactivation();
    QmPumpMessages();
  });
  Frame()->RunOpenDropDown();
  QmPumpMessages();
  EXPECT_EQ(items, (std::vector<std::string>{"<two>", "One"}));
  EXPECT_TRUE(hooked);
  EXPECT_FALSE(IsClickOutHookInstalled());
  EXPECT_TRUE(View()->GetLastOpenRequest().IsEmpty());
}

TEST(AccelTable, StoredBytesKeyTextsAndFreeKeys) {
  CAccelTable table;
  table.SetKey({CAccelTable::kCtrl | CAccelTable::kShift, 0, 116, ID_FILE_SAVE_DESIGN});
  table.SetKey({CAccelTable::kAlt, 0, 'Q', ID_FILE_EXIT});
  CString text;
  ASSERT_TRUE(table.GetKeyText(ID_FILE_SAVE_DESIGN, text));
  EXPECT_EQ(text.str(), "Ctrl+Shift+F5");
  ASSERT_TRUE(table.GetKeyText(ID_FILE_EXIT, text));
  EXPECT_EQ(text.str(), "Alt+Q");
  EXPECT_FALSE(table.GetKeyText(ID_FILE_OPEN_DESIGN, text));
  const struct {
    WORD key;
    const char* name;
  } names[] = {{8, "Back"}, {13, "Return"}, {27, "Esc"}, {33, "Page Up"}, {96, "Num 0"}, {105, "Num 9"},
               {112, "F1"}, {135, "F24"}, {107, "Add"}, {111, "Divide"}, {'7', "7"}, {145, "Scroll"}};
  for (const auto& n : names) EXPECT_EQ(CAccelTable::KeyName(n.key).str(), n.name) << n.key;
  EXPECT_EQ(table.ToBytes(), Bytes().i32(2).u8(3).u8(0).u16(116).u16(ID_FILE_SAVE_DESIGN).u8(4).u8(0).u16('Q')
                                 .u16(ID_FILE_EXIT).b);
  // A taken combination, with or without modifiers.
  EXPECT_FALSE(table.IsKeyFree({CAccelTable::kAlt, 0, 'Q', ID_FILE_OPEN_DESIGN}));
  EXPECT_TRUE(table.IsKeyFree({CAccelTable::kAlt, 0, 'Q', ID_FILE_EXIT}));
  EXPECT_TRUE(table.IsKeyFree({0, 0, 'Q', ID_FILE_OPEN_DESIGN}));
  table.SetKey({0, 0, 'Q', ID_FILE_OPEN_DESIGN});
  EXPECT_FALSE(table.IsKeyFree({0, 0, 'Q', ID_FILE_NEW_DESIGN}));
  // Key 0 removes the command's entry.
  table.SetKey({0, 0, 0, ID_FILE_EXIT});
  EXPECT_FALSE(table.GetKeyText(ID_FILE_EXIT, text));
  EXPECT_TRUE(CAccelTable().IsKeyFree({0, 0, 'A', 1}));
}

TEST(AccelTable, AShortStoredTableKeepsTheEntriesRead) {
  const std::vector<BYTE> bytes = Bytes().i32(2).u8(2).u8(0).u16('S').u16(32002).u8(0).u8(0).b;
  CAccelTable table;
  EXPECT_FALSE(table.LoadFromBytes(bytes.data(), bytes.size()));
  ASSERT_EQ(table.GetEntries().size(), 1u);
  EXPECT_EQ(table.GetEntries()[0].command, 32002);
  EXPECT_FALSE(table.LoadFromBytes(bytes.data(), 3));
  EXPECT_TRUE(table.GetEntries().empty());
  // No stored value: nothing, and no defaults without a resource.
  ForgetValue(CAccelTable::kValueName);
  CAccelTable missing(128);
  EXPECT_FALSE(missing.Load());
}
