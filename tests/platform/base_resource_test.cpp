// Resource packs: the compiler (run as the build's qmrc program) and the
// loader behind LoadLibrary, FindResource, LoadString and the template
// loaders.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <sys/wait.h>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int exitCode = -1;
  std::string output;
};

RunResult Run(const std::string& command) {
  RunResult r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

void WriteText(const fs::path& p, const std::string& text) {
  qmtest::WriteAll(p, std::vector<unsigned char>(text.begin(), text.end()));
}

// Compiles scripts (name -> UTF-8 text) with one ids header into dir/out.pack.
RunResult Compile(const fs::path& dir, const std::vector<std::pair<std::string, std::string>>& scripts,
                  const std::string& ids = "", UINT codePage = 1252) {
  WriteText(dir / "ids.h", "#pragma once\n" + ids);
  std::string cmd = Quote(qmtest::BinDir() / "qmrc") + " --codepage " + std::to_string(codePage) +
                    " --language " + (codePage == 1251 ? "0x0419" : "0x0409") + " --out " +
                    Quote(dir / "out.pack") + " --ids " + Quote(dir / "ids.h");
  for (const auto& [name, text] : scripts) {
    WriteText(dir / name, text);
    cmd += " " + Quote(dir / name);
  }
  return Run(cmd);
}

std::string Utf8(const CString& s, UINT codePage) { return CodePageToUtf8(s.str(), codePage); }

class PackHandle {
 public:
  explicit PackHandle(const fs::path& p) : h_(LoadLibrary(p.string().c_str())) {}
  ~PackHandle() {
    if (h_) FreeLibrary(h_);
  }
  HINSTANCE get() const { return h_; }

 private:
  HINSTANCE h_;
};

}  // namespace

TEST(ResourcePacks, TitleStringInBothLanguages) {
  PackHandle en(qmtest::BinDir() / "Pellow_En.dll");
  PackHandle ru(qmtest::BinDir() / "Pellow_Ru.dll");
  ASSERT_TRUE(en.get()) << GetLastError();
  ASSERT_TRUE(ru.get()) << GetLastError();
  EXPECT_EQ(QmGetPackCodePage(en.get()), 1252u);
  EXPECT_EQ(QmGetPackCodePage(ru.get()), 1251u);
  EXPECT_EQ(QmGetPackLanguage(ru.get()), 0x0419);

  char buf[256];
  EXPECT_EQ(LoadString(en.get(), 57344, buf, sizeof buf), 9);
  EXPECT_STREQ(buf, "Quillmere");

  const int n = LoadString(ru.get(), 57344, buf, sizeof buf);
  ASSERT_GT(n, 0);
  EXPECT_EQ(static_cast<unsigned char>(buf[0]), 0xCAu);  // capital Ka in Windows-1251
  EXPECT_EQ(CodePageToUtf8(std::string(buf, static_cast<size_t>(n)), 1251), "Квиллмир");

  // Windows semantics: cut to the buffer, 0 and an empty buffer when missing.
  EXPECT_EQ(LoadString(en.get(), 57344, buf, 5), 4);
  EXPECT_STREQ(buf, "Quil");
  EXPECT_EQ(LoadString(en.get(), 57344, buf, 1), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(LoadString(en.get(), 9, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");

  // CString::LoadString reads the current resource pack.
  const HINSTANCE saved = AfxGetResourceHandle();
  AfxSetResourceHandle(ru.get());
  CString title;
  EXPECT_TRUE(title.LoadString(57344));
  EXPECT_EQ(Utf8(title, 1251), "Квиллмир");
  EXPECT_FALSE(title.LoadString(9));
  AfxSetResourceHandle(saved);

  CString budget;
  ASSERT_TRUE(LoadResourceString(ru.get(), 305, budget));
  EXPECT_NE(Utf8(budget, 1251).find("Настройки\\Предпочтения"), std::string::npos);
}

TEST(ResourceCompiler, RejectsMalformedScriptsWithFileAndLine) {
  struct Case {
    const char* script;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"strings {\n  1 \"one\"\n  2 \"two\n}\n", 3, "unterminated text"},
      {"strings {\n  1 \"one\"\n", 3, "expected '}'"},
      {"menu 5 {\n  popup \"&File\" {\n    item ID_MISSING \"&New\"\n  }\n}\n", 3, "unknown name 'ID_MISSING'"},
      {"strings {\n  1 \"one\"\n  1 \"again\"\n}\n", 3, "duplicate string 1"},
      {"\n\nwidget 4 {}\n", 3, "unknown resource keyword 'widget'"},
      {"dialog 7 0 0 100 50 {\n  button IDOK \"OK\" 1 2 3\n}\n", 3, "expected a number or an id name"},
      {"dialog 7 0 0 100 50 {\n  edit 10 \"\" 1 2 3 4\n  edit 10 \"\" 1 2 3 4\n}\n", 3, "used twice"},
      {"dialog 7 compact 0 0 10 10 {\n}\n", 1, "no normal dialog"},
      {"accelerators 3 {\n  \"+\" 100 virtkey control\n}\n", 2, "letter or a digit"},
      {"menu 5 {\n  popup \"Empty\" {\n  }\n}\n", 2, "at least one item"},
      {"icon 4 \"missing.ico\"\n", 1, "file not found"},
      {"strings {\n  70000 \"big\"\n}\n", 2, "out of range"},
      {"strings { 1 \"bad \\q escape\" }\n", 1, "unknown escape"},
  };
  const fs::path dir = qmtest::MakeTempDir("qmrc-errors");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    fs::remove(dir / "out.pack");
    const RunResult r = Compile(dir, {{"bad.rcs", c.script}});
    EXPECT_EQ(r.exitCode, 1);
    const std::string where = (dir / "bad.rcs").string() + ":" + std::to_string(c.line) + ":";
    EXPECT_NE(r.output.find(where), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(dir / "out.pack"));
  }

  // A duplicate across two files of one language names the second place and the first.
  const RunResult dup = Compile(dir, {{"a.rcs", "strings {\n 12 \"x\"\n}\n"}, {"b.rcs", "\nstrings { 12 \"y\" }\n"}});
  EXPECT_EQ(dup.exitCode, 1);
  EXPECT_NE(dup.output.find((dir / "b.rcs").string() + ":2: duplicate string 12"), std::string::npos) << dup.output;
  EXPECT_NE(dup.output.find((dir / "a.rcs").string() + ":2"), std::string::npos) << dup.output;

  // An ids header with something else than #define lines.
  const RunResult hdr = Compile(dir, {{"ok.rcs", "strings { 1 \"x\" }\n"}}, "#define A 1\nint x;\n");
  EXPECT_EQ(hdr.exitCode, 1);
  EXPECT_NE(hdr.output.find((dir / "ids.h").string() + ":3:"), std::string::npos) << hdr.output;
}

TEST(ResourceCompiler, RejectsCharactersOutsideTheCodePage) {
  const fs::path dir = qmtest::MakeTempDir("qmrc-codepage");
  // Cyrillic does not fit Windows-1252; the line of the text is named.
  RunResult r = Compile(dir, {{"en.rcs", "strings {\n  1 \"Fine\"\n  2 \"Квилл\"\n}\n"}}, "", 1252);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find((dir / "en.rcs").string() + ":3:"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("U+041A"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("code page 1252"), std::string::npos) << r.output;

  // Latin accents do not fit Windows-1251, also inside menus and dialogs.
  r = Compile(dir, {{"ru.rcs", "menu 2 {\n  popup \"Файл\" {\n    item 100 \"Café\"\n  }\n}\n"}}, "", 1251);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find((dir / "ru.rcs").string() + ":3:"), std::string::npos) << r.output;

  // The same texts in the right code pages compile; the euro sign fits both.
  EXPECT_EQ(Compile(dir, {{"ru.rcs", "strings { 1 \"Квилл €\" }\n"}}, "", 1251).exitCode, 0);
  EXPECT_EQ(Compile(dir, {{"en.rcs", "strings { 1 \"Café €\" }\n"}}, "", 1252).exitCode, 0);

  // A script that is not UTF-8 at all.
  r = Compile(dir, {{"latin1.rcs", "strings {\n 1 \"Caf\xE9\"\n}\n"}}, "", 1252);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find((dir / "latin1.rcs").string() + ":2: the file is not valid UTF-8"), std::string::npos) << r.output;
}

TEST(ResourcePacks, DialogAndCompactVariantRoundTrip) {
  const fs::path dir = qmtest::MakeTempDir("qmrc-dialog");
  const std::string ids =
      "#define IDD_SEPARATED 443\n#define IDD_PLAIN 181\n#define IDC_NAME 1222\n#define IDC_LIST 1019\n";
  const std::string script = R"(
dialog IDD_SEPARATED 10 20 190 433 {
  caption "Remove separated beads"
  font 8 "MS Sans Serif"
  static IDC_STATIC "&Name:" 7 9 40 8
  edit IDC_NAME "" 50 7 100 12 style ES_AUTOHSCROLL | not WS_BORDER
  checkbox 1270 "Mark" 7 30 60 10
  radio 1271 "One" 7 44 60 10 style WS_GROUP | WS_TABSTOP
  combobox 1272 "" 7 60 80 100 style not CBS_DROPDOWNLIST | CBS_DROPDOWN
  listview IDC_LIST "" 7 80 170 200 style LVS_REPORT | LVS_SHOWSELALWAYS exstyle WS_EX_CLIENTEDGE
  icon IDC_STATIC image 531 170 5 16 16
  custom "CColorStatic" 1300 "" 7 300 20 20 style 0x100
  defbutton IDOK "OK" 80 410 50 14
  button IDCANCEL "Cancel" 135 410 50 14
}
dialog IDD_SEPARATED compact 10 20 190 342 {
  caption "Remove separated beads"
  font 8 "MS Sans Serif" weight 700 italic charset 204
  edit IDC_NAME "" 50 7 100 12
  defbutton IDOK "OK" 80 320 50 14
}
dialog IDD_PLAIN 0 0 120 60 {
  style WS_CHILD | WS_VISIBLE
  edit IDC_NAME "" 5 5 100 12
}
dialog 182 0 0 10 10 {
  custom "X" 1 "" 0 0 1 1
  custom "Y" 2 "" 0 0 1 1
}
)";
  const RunResult r = Compile(dir, {{"d.rcs", script}}, ids);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  PackHandle pack(dir / "out.pack");
  ASSERT_TRUE(pack.get()) << GetLastError();

  const QmDialogTemplate* d = LoadDialogTemplate(pack.get(), 443);
  ASSERT_TRUE(d);
  EXPECT_FALSE(d->compact);
  EXPECT_EQ(d->x, 10);
  EXPECT_EQ(d->y, 20);
  EXPECT_EQ(d->cx, 190);
  EXPECT_EQ(d->cy, 433);
  EXPECT_EQ(d->caption, "Remove separated beads");
  EXPECT_EQ(d->fontSize, 8);
  EXPECT_EQ(d->fontFace, "MS Sans Serif");
  EXPECT_EQ(d->style, 0x80C800C0u);  // popup, caption, system menu, modal frame, set font
  ASSERT_EQ(d->controls.size(), 10u);

  const QmDialogControl& label = d->controls[0];
  EXPECT_EQ(label.kind, QmControlKind::Static);
  EXPECT_EQ(label.className, "Static");
  EXPECT_EQ(label.id, -1);
  EXPECT_EQ(label.text, "&Name:");
  EXPECT_EQ(label.style, 0x50000000u);
  EXPECT_EQ(label.x, 7);
  EXPECT_EQ(label.y, 9);
  EXPECT_EQ(label.cx, 40);
  EXPECT_EQ(label.cy, 8);

  const QmDialogControl& edit = d->controls[1];
  EXPECT_EQ(edit.kind, QmControlKind::Edit);
  EXPECT_EQ(edit.className, "Edit");
  EXPECT_EQ(edit.id, 1222);
  EXPECT_EQ(edit.style, 0x50010080u);  // child, visible, tab stop, auto h-scroll, border removed

  EXPECT_EQ(d->controls[2].className, "Button");
  EXPECT_EQ(d->controls[2].style, 0x50010003u);  // auto check box
  EXPECT_EQ(d->controls[3].style, 0x50030009u);  // auto radio, group, tab stop
  EXPECT_EQ(d->controls[4].style & 0xFu, 0x2u);  // drop-down with an edit
  EXPECT_EQ(d->controls[5].className, "SysListView32");
  EXPECT_EQ(d->controls[5].style & 0xFFFFu, 0x9u);
  EXPECT_EQ(d->controls[5].exStyle, 0x200u);
  EXPECT_EQ(d->controls[6].kind, QmControlKind::Icon);
  EXPECT_EQ(d->controls[6].imageId, 531u);
  EXPECT_EQ(d->controls[6].style & 0xFu, 0x3u);
  EXPECT_EQ(d->controls[7].kind, QmControlKind::Custom);
  EXPECT_EQ(d->controls[7].className, "CColorStatic");
  EXPECT_EQ(d->controls[7].style, 0x50000100u);
  EXPECT_EQ(d->controls[8].kind, QmControlKind::DefButton);
  EXPECT_EQ(d->controls[8].id, 1);
  EXPECT_EQ(d->controls[9].id, 2);

  const QmDialogTemplate* c = LoadDialogTemplate(pack.get(), 443, true);
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->compact);
  EXPECT_EQ(c->cy, 342);
  EXPECT_EQ(c->fontWeight, 700);
  EXPECT_TRUE(c->fontItalic);
  EXPECT_EQ(c->fontCharset, 204);
  EXPECT_EQ(c->controls.size(), 2u);

  // Without a compact variant the normal template serves small screens too.
  const QmDialogTemplate* plain = LoadDialogTemplate(pack.get(), 181, true);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->compact);
  EXPECT_EQ(plain->style, 0x50000000u);
  EXPECT_EQ(plain->fontSize, 0);
  // The smallest controls there are.
  const QmDialogTemplate* tiny = LoadDialogTemplate(pack.get(), 182);
  ASSERT_TRUE(tiny);
  ASSERT_EQ(tiny->controls.size(), 2u);
  EXPECT_EQ(tiny->controls[1].className, "Y");

  SetLastError(0);
  EXPECT_EQ(LoadDialogTemplate(pack.get(), 999), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(LoadMenuTemplate(pack.get(), 443), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST(ResourcePacks, MenuAcceleratorsToolbarAndFilesRoundTrip) {
  const fs::path dir = qmtest::MakeTempDir("qmrc-menu");
  // Minimal files: only their first bytes are checked by the compiler.
  qmtest::WriteAll(dir / "bar.bmp", {'B', 'M', 1, 2, 3, 4});
  qmtest::WriteAll(dir / "app.ico", {0, 0, 1, 0, 1, 0, 9, 9});
  qmtest::WriteAll(dir / "hint.cur", {0, 0, 2, 0, 1, 0});
  qmtest::WriteAll(dir / "splash.jpg", {0xFF, 0xD8, 0xFF, 0xE0});
  const std::string ids = "#define IDR_MAINFRAME 128\n#define ID_FILE_NEW 57600\n#define ID_FILE_OPEN 57601\n";
  const std::string script = R"(
menu IDR_MAINFRAME {
  popup "&Файл" {
    item ID_FILE_NEW "&Новый\tCtrl+N"
    item ID_FILE_OPEN "&Открыть..." checked grayed
    separator
    separator "Недавние"
    popup "Ещё" {
      item 32000 "Один"
    }
  }
  popup "&Справка" help {
    item 57664 "О программе"
  }
}
accelerators IDR_MAINFRAME {
  "n" ID_FILE_NEW virtkey control
  VK_F1 57664 virtkey
  VK_DELETE 32000 virtkey shift alt
  "a" 32001
}
toolbar IDR_MAINFRAME 16 15 bitmap "bar.bmp" {
  button ID_FILE_NEW
  separator
  button ID_FILE_OPEN
}
icon IDR_MAINFRAME "app.ico"
cursor 500 "hint.cur"
rcdata 20 "splash.jpg"
rcdata "LICENSE" { 1 2 0xFF word 0x1234 dword 0xDEADBEEF "Я" }
)";
  const RunResult r = Compile(dir, {{"m.rcs", script}}, ids, 1251);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  PackHandle pack(dir / "out.pack");
  ASSERT_TRUE(pack.get()) << GetLastError();

  const QmMenuTemplate* m = LoadMenuTemplate(pack.get(), 128);
  ASSERT_TRUE(m);
  ASSERT_EQ(m->items.size(), 2u);
  const QmMenuItem& file = m->items[0];
  EXPECT_TRUE(file.IsPopup());
  EXPECT_EQ(Utf8(file.text, 1251), "&Файл");
  ASSERT_EQ(file.items.size(), 5u);
  EXPECT_EQ(file.items[0].id, 57600u);
  EXPECT_EQ(Utf8(file.items[0].text, 1251), "&Новый\tCtrl+N");
  EXPECT_EQ(file.items[0].flags, 0u);
  EXPECT_EQ(file.items[1].flags, MF_CHECKED | MF_GRAYED);
  EXPECT_TRUE(file.items[2].IsSeparator());
  EXPECT_TRUE(file.items[3].IsTitledSeparator());
  EXPECT_EQ(Utf8(file.items[3].text, 1251), "Недавние");
  ASSERT_EQ(file.items[4].items.size(), 1u);
  EXPECT_EQ(file.items[4].items[0].id, 32000u);
  EXPECT_EQ(m->items[1].flags, MF_POPUP | MF_HELP);

  // The raw template has the Windows layout: header, then flags, id, UTF-16 text.
  const QmResourceBytes raw = LoadResourceBytes(pack.get(), MAKEINTRESOURCE(128), RT_MENU);
  ASSERT_TRUE(raw);
  ASSERT_GE(raw.size, 8u);
  EXPECT_EQ(raw.data[0] | raw.data[1] | raw.data[2] | raw.data[3], 0);
  EXPECT_EQ(raw.data[4] | (raw.data[5] << 8), static_cast<int>(MF_POPUP));
  EXPECT_EQ(raw.data[6] | (raw.data[7] << 8), u'&');

  const QmAcceleratorTable* a = LoadAcceleratorTable(pack.get(), 128);
  ASSERT_TRUE(a);
  ASSERT_EQ(a->entries.size(), 4u);
  EXPECT_EQ(a->entries[0].fVirt, FVIRTKEY | FCONTROL);
  EXPECT_EQ(a->entries[0].key, 'N');
  EXPECT_EQ(a->entries[0].cmd, 57600);
  EXPECT_EQ(a->entries[1].key, 0x70);
  EXPECT_EQ(a->entries[2].fVirt, FVIRTKEY | FSHIFT | FALT);
  EXPECT_EQ(a->entries[2].key, 0x2E);
  EXPECT_EQ(a->entries[3].fVirt, 0);
  EXPECT_EQ(a->entries[3].key, 'a');

  const QmToolbarTemplate* t = LoadToolbarTemplate(pack.get(), 128);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->width, 16);
  EXPECT_EQ(t->height, 15);
  EXPECT_EQ(t->items, (std::vector<WORD>{57600, 0, 57601}));
  const QmResourceBytes bmp = LoadBitmapBytes(pack.get(), 128);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(std::vector<BYTE>(bmp.data, bmp.data + bmp.size), (std::vector<BYTE>{'B', 'M', 1, 2, 3, 4}));

  // Icons and cursors answer to both their group and single-image types.
  EXPECT_EQ(LoadIconBytes(pack.get(), 128).size, 8u);
  EXPECT_TRUE(FindResource(pack.get(), MAKEINTRESOURCE(128), RT_ICON));
  EXPECT_EQ(LoadCursorBytes(pack.get(), 500).size, 6u);
  EXPECT_TRUE(FindResource(pack.get(), MAKEINTRESOURCE(500), RT_CURSOR));

  // Raw data through the Win32 sequence, by number, "#number" and by name.
  HRSRC res = FindResource(pack.get(), MAKEINTRESOURCE(20), RT_RCDATA);
  ASSERT_TRUE(res);
  EXPECT_EQ(FindResource(pack.get(), "#20", RT_RCDATA), res);
  EXPECT_EQ(SizeofResource(pack.get(), res), 4u);
  const BYTE* jpg = static_cast<const BYTE*>(LockResource(LoadResource(pack.get(), res)));
  ASSERT_TRUE(jpg);
  EXPECT_EQ(jpg[1], 0xD8);
  res = FindResource(pack.get(), "license", RT_RCDATA);
  ASSERT_TRUE(res);
  const BYTE* lic = static_cast<const BYTE*>(LockResource(LoadResource(pack.get(), res)));
  EXPECT_EQ(std::vector<BYTE>(lic, lic + SizeofResource(pack.get(), res)),
            (std::vector<BYTE>{1, 2, 0xFF, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0xDF}));

  // Lookups that fail say why.
  EXPECT_FALSE(FindResource(pack.get(), MAKEINTRESOURCE(21), RT_RCDATA));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_FALSE(FindResource(pack.get(), MAKEINTRESOURCE(1), RT_STRING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_FALSE(FindResource(nullptr, MAKEINTRESOURCE(20), RT_RCDATA));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SizeofResource(pack.get(), reinterpret_cast<HRSRC>(&res)), 0u);

  // Every resource is listed, ordered by type.
  const std::vector<QmResourceKey> keys = QmEnumResources(pack.get());
  ASSERT_EQ(keys.size(), 8u);
  EXPECT_EQ(keys.front().type, qmres::kBitmap);
  EXPECT_EQ(keys.back().type, qmres::kToolbar);
}

TEST(ResourcePacks, ModulesAreCountedAndTheCurrentHandleIsDropped) {
  const fs::path en = qmtest::BinDir() / "Pellow_En.dll";
  const HINSTANCE a = LoadLibrary(en.string().c_str());
  const HINSTANCE b = LoadLibrary(en.string().c_str());
  ASSERT_TRUE(a);
  EXPECT_EQ(a, b);
  AfxSetResourceHandle(a);
  EXPECT_TRUE(FreeLibrary(b));
  char buf[32];
  EXPECT_EQ(LoadString(a, 57344, buf, sizeof buf), 9);  // still open
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_EQ(AfxGetResourceHandle(), nullptr);
  EXPECT_FALSE(FreeLibrary(a));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(LoadString(a, 57344, buf, sizeof buf), 0);
}

TEST(ResourcePacks, DamagedPacksAreRefused) {
  const fs::path dir = qmtest::MakeTempDir("qmrc-damaged");
  EXPECT_EQ(LoadLibrary((dir / "none.dll").string().c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibrary(dir.string().c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));

  // A pack with one resource of every structured kind.
  const RunResult r = Compile(dir, {{"all.rcs", R"(
strings { 1 "one" 2 "two" }
menu 3 { popup "P" { item 10 "A" separator popup "Q" { item 11 "B" } } }
dialog 4 0 0 50 50 { caption "D" font 8 "Tahoma" edit 5 "" 1 1 10 10 button 6 "B" 1 20 10 10 }
dialog 4 compact 0 0 40 40 { edit 5 "" 1 1 10 10 }
accelerators 5 { VK_F2 10 virtkey "x" 11 }
toolbar 6 16 15 { button 10 separator button 11 }
rcdata 7 { 1 2 3 }
)"}});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::vector<unsigned char> good = qmtest::ReadAll(dir / "out.pack");
  const fs::path bad = dir / "bad.pack";

  auto use = [](HINSTANCE h) {
    if (h) {
      // Whatever loads must be usable.
      char buf[64];
      LoadString(h, 1, buf, sizeof buf);
      LoadMenuTemplate(h, 3);
      LoadDialogTemplate(h, 4, true);
      LoadAcceleratorTable(h, 5);
      LoadToolbarTemplate(h, 6);
      LoadRawData(h, 7);
      QmEnumResources(h);
      FreeLibrary(h);
    }
    return h != nullptr;
  };
  auto tryLoad = [&](const std::vector<unsigned char>& bytes) {
    qmtest::WriteAll(bad, bytes);
    return use(LoadLibrary(bad.string().c_str()));
  };
  ASSERT_TRUE(tryLoad(good));
  ASSERT_TRUE(use(QmLoadPackFromMemory(good.data(), good.size())));

  // Cut at every length: always refused.
  for (size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(tryLoad(std::vector<unsigned char>(good.begin(), good.begin() + static_cast<long>(n)))) << n;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
  }
  // A flipped byte anywhere but in the language id: refused (header checks
  // or checksum).
  for (size_t i = 0; i < good.size(); i += 3) {
    if (i == 16 || i == 17) continue;
    std::vector<unsigned char> b = good;
    b[i] ^= 0x41;
    EXPECT_FALSE(tryLoad(b)) << i;
  }
  // Garbage behind a correct checksum reaches the structure checks: no crash,
  // and a damaged structure is refused.
  auto fixCrc = [](std::vector<unsigned char>& b) {
    const DWORD crc = qmpack::Crc32(b.data() + qmpack::kHeaderSize, b.size() - qmpack::kHeaderSize);
    for (int k = 0; k < 4; ++k) b[32 + static_cast<size_t>(k)] = static_cast<unsigned char>(crc >> (8 * k));
  };
  std::mt19937 rng(12345);
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<unsigned char> b = good;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < flips; ++k) {
      const size_t at = qmpack::kHeaderSize + rng() % (b.size() - qmpack::kHeaderSize);
      b[at] = static_cast<unsigned char>(rng());
    }
    fixCrc(b);
    refused += use(QmLoadPackFromMemory(b.data(), b.size())) ? 0 : 1;
  }
  EXPECT_GT(refused, 0);

  // Another format version is refused even with a right checksum.
  std::vector<unsigned char> v2 = good;
  v2[8] = 2;
  fixCrc(v2);
  EXPECT_FALSE(tryLoad(v2));
}
