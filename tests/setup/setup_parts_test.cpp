// The setup's parts without its wizard: the keyboard guess, the drives, the
// payload (damage, read-only targets, overwriting), links and folders, the
// mimeapps.list edits, the default folder and the association lookup.
#include <sys/stat.h>
#include <unzip.h>

#include <fstream>

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "setup/DesktopForms.h"
#include "setup/Install.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"
#include "setup/SetupShell.h"
#include "tests/common/test_util.h"
#include "tests/setup/setup_fixture.h"

namespace setuptest {
namespace {

using namespace qmsetup;

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST_F(SetupTest, KeyboardGuessFromPreloadValues) {
  struct Case {
    const char* one;
    const char* two;
    bool russian;
  } cases[] = {{"00000409", "00000419", true}, {"00000409", nullptr, false}, {"419", nullptr, true},
               {nullptr, nullptr, false},      {"00000419", "00000409", true}, {"0000041a", "00000422", false}};
  for (const Case& c : cases) {
    RegDeleteTree(HKEY_USERS, ".DEFAULT");
    const CRegistryKey key = CRegistryKey::Create(".DEFAULT\\Keyboard Layout\\Preload", HKEY_USERS);
    if (c.one) key.SetValue("1", c.one, static_cast<DWORD>(strlen(c.one) + 1), REG_SZ);
    if (c.two) key.SetValue("2", c.two, static_cast<DWORD>(strlen(c.two) + 1), REG_SZ);
    EXPECT_EQ(IsRussianKeyboardPreloaded(key.GetHandle()), c.russian) << (c.one ? c.one : "-");
  }
  EXPECT_FALSE(IsRussianKeyboardPreloaded(nullptr));
}

TEST_F(SetupTest, KeyboardFileGivesThePreloadValues) {
  EXPECT_EQ(ParseXkbLayouts("XKBMODEL=\"pc105\"\nXKBLAYOUT=\"us,ru\"\nXKBVARIANT=\",\"\n"),
            (std::vector<std::string>{"us", "ru"}));
  EXPECT_EQ(ParseXkbLayouts("XKBLAYOUT=de,fr,ru\n"), (std::vector<std::string>{"de", "fr"}));
  EXPECT_TRUE(ParseXkbLayouts("# nothing\n").empty());
  EXPECT_STREQ(KeyboardLayoutId("ru").GetString(), "00000419");
  EXPECT_STREQ(KeyboardLayoutId("us").GetString(), "00000409");
  std::ofstream(home.root / "keyboard") << "XKBLAYOUT=\"us,ru\"\n";
  StorePreloadFromKeyboardFile();
  const CRegistryKey key = CRegistryKey::Open(".DEFAULT\\Keyboard Layout\\Preload", HKEY_USERS);
  char value[16] = {};
  ASSERT_TRUE(key.ReadValue("2", value, sizeof value));
  EXPECT_STREQ(value, "00000419");
  EXPECT_TRUE(IsRussianKeyboardPreloaded(key.GetHandle()));
  std::ofstream(home.root / "keyboard") << "XKBLAYOUT=\"gb\"\n";
  StorePreloadFromKeyboardFile();
  EXPECT_FALSE(IsRussianKeyboardPreloaded(CRegistryKey::Open(".DEFAULT\\Keyboard Layout\\Preload", HKEY_USERS).GetHandle()));
}

TEST_F(SetupTest, DriveClassifierAndFreeSpaceText) {
  struct Case {
    QmMountEntry entry;
    UINT type;
  } cases[] = {
      {{"/", "/dev/sda2", "ext4", false, false, true}, DRIVE_FIXED},
      {{"/home", "/dev/nvme0n1p3", "btrfs", false, false, true}, DRIVE_FIXED},
      {{"/media/stick", "/dev/sdb1", "vfat", false, true, true}, DRIVE_REMOVABLE},
      {{"/mnt/share", "server:/export", "nfs4", false, false, false}, DRIVE_REMOTE},
      {{"/mnt/win", "//server/share", "cifs", false, false, false}, DRIVE_REMOTE},
      {{"/media/cd", "/dev/sr0", "iso9660", true, true, true}, DRIVE_CDROM},
      {{"/proc", "proc", "proc", false, false, false}, DRIVE_UNKNOWN},
      {{"/tmp", "tmpfs", "tmpfs", false, false, false}, DRIVE_RAMDISK},
      {{"/", "overlay", "overlay", false, false, false}, DRIVE_UNKNOWN},
      {{"/snap/core", "/dev/loop3", "squashfs", true, false, true}, DRIVE_UNKNOWN},
  };
  for (const Case& c : cases) EXPECT_EQ(QmClassifyMount(c.entry), c.type) << c.entry.mountPoint << " " << c.entry.fsType;
  // Kilobytes of 1000 bytes, grouped by blanks, in 64 bits.
  EXPECT_STREQ(FormatGroupedNumber(123456789000ull / 1000, ' ').GetString(), "123 456 789");
  EXPECT_STREQ(FormatGroupedNumber(9876543210987ull / 1000, ' ').GetString(), "9 876 543 210");
  // The calls over the real mount table: "/" is a mount point with a size.
  char roots[4096] = {};
  const DWORD needed = GetLogicalDriveStrings(0, nullptr);
  ASSERT_GT(needed, 1u);
  ASSERT_LT(needed, sizeof roots);
  EXPECT_EQ(GetLogicalDriveStrings(sizeof roots, roots) + 1, needed);
  ULARGE_INTEGER total{};
  EXPECT_TRUE(GetDiskFreeSpaceEx("/", nullptr, &total, nullptr));
  EXPECT_GT(total.QuadPart, 0u);
  EXPECT_EQ(GetDriveType("/proc"), DRIVE_UNKNOWN);
  EXPECT_EQ(GetDriveType("/no/such/mount"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  char fs[32] = {};
  EXPECT_TRUE(GetVolumeInformation("/proc", nullptr, 0, nullptr, nullptr, nullptr, fs, sizeof fs));
  EXPECT_STREQ(fs, "proc");
}

TEST_F(SetupTest, PayloadEntriesExtractWithModesAndReplaceOldFiles) {
  const fs::path dir = home.root / "x";
  fs::create_directories(dir);
  CExtracted written;
  ASSERT_TRUE(ExtractPayloadEntry(224, Cp((dir / "UnInstall").string()), &written));
  EXPECT_TRUE(SameBytes(dir / "UnInstall", qmtest::BinDir() / "UnInstall"));
  EXPECT_EQ(fs::status(dir / "UnInstall").permissions() & fs::perms::all,
            fs::status(qmtest::BinDir() / "UnInstall").permissions() & fs::perms::all);
  EXPECT_EQ(written.size, fs::file_size(dir / "UnInstall"));
  // Re-running overwrites; a file kept open (a running program) keeps the
  // old contents, as the new one is renamed over it.
  qmtest::WriteAll(dir / "Delica.pal", {1, 2, 3});
  std::ifstream open(dir / "Delica.pal", std::ios::binary);
  ASSERT_TRUE(ExtractResourceToFile(410, Cp((dir / "Delica.pal").string())));
  EXPECT_EQ(qmtest::ReadAll(dir / "Delica.pal"), qmtest::ReadAll(PayloadFolder() / "410.pal"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(open), {}), std::string("\1\2\3"));
  // A read-only target fails and stays.
  qmtest::WriteAll(dir / "ro.pal", {9});
  fs::permissions(dir / "ro.pal", fs::perms::owner_read);
  EXPECT_FALSE(ExtractResourceToFile(410, Cp((dir / "ro.pal").string())));
  EXPECT_EQ(qmtest::ReadAll(dir / "ro.pal"), std::vector<unsigned char>{9});
  // No entry, no folder: false, nothing left behind.
  EXPECT_FALSE(ExtractResourceToFile(999, Cp((dir / "none").string())));
  EXPECT_FALSE(ExtractResourceToFile(410, Cp((dir / "missing/x.pal").string())));
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 3);
}

TEST_F(SetupTest, DamagedPayloadIsRefused) {
  const fs::path dir = home.root / "damaged";
  fs::create_directories(dir);
  std::vector<BYTE> bytes;
  SetPayloadFile(Cp(DamagedSetup(dir, 303, false).string()));
  EXPECT_FALSE(ReadPayloadEntry(303, bytes));
  EXPECT_FALSE(ExtractResourceToFile(303, Cp((dir / "s.qx").string())));
  EXPECT_FALSE(fs::exists(dir / "s.qx"));
  EXPECT_TRUE(ReadPayloadEntry(410, bytes));  // the other entries are sound
  // Cut short, the archive has lost its directory: the entries before the
  // cut are still read one after another, those after it are not.
  SetPayloadFile(Cp(DamagedSetup(dir, 0, true).string()));
  EXPECT_TRUE(ReadPayloadEntry(kPayloadSetupPack, bytes));
  CExtracted written;
  ASSERT_TRUE(ExtractPayloadEntry(224, Cp((dir / "UnInstall").string()), &written));
  EXPECT_TRUE(SameBytes(dir / "UnInstall", qmtest::BinDir() / "UnInstall"));
  EXPECT_EQ(written.mode, 0755u);
  EXPECT_TRUE(ExtractResourceToFile(410, Cp((dir / "p.pal").string())));
  EXPECT_EQ(qmtest::ReadAll(dir / "p.pal"), qmtest::ReadAll(PayloadFolder() / "410.pal"));
  EXPECT_FALSE(ReadPayloadEntry(239, bytes));
  EXPECT_FALSE(ExtractResourceToFile(239, Cp((dir / "s.qx").string())));
  EXPECT_FALSE(fs::exists(dir / "s.qx"));
}

TEST_F(SetupTest, FoldersWritableAndDeleted) {
  const fs::path dir = home.root / "w";
  fs::create_directories(dir / "sub/deeper");
  qmtest::WriteAll(dir / "sub/deeper/ro.txt", {1});
  fs::permissions(dir / "sub/deeper/ro.txt", fs::perms::owner_read);
  qmtest::WriteAll(home.root / "marker", {7});
  fs::create_directory_symlink(home.root, dir / "sub/link-to-home");
  EXPECT_TRUE(CanWriteToFolder(Cp(dir.string())));
  EXPECT_TRUE(CanWriteToFolder(Cp(dir.string() + "/")));
  EXPECT_FALSE(CanWriteToFolder("/proc"));
  EXPECT_FALSE(CanWriteToFolder(Cp((dir / "none").string())));
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir)) entries += e.path().filename() != "sub";
  EXPECT_EQ(entries, 0);  // the test files are gone
  EXPECT_FALSE(DeleteFolderTree(""));
  EXPECT_FALSE(DeleteFolderTree("/"));
  EXPECT_FALSE(DeleteFolderTree(Cp(home.root.string())));
  EXPECT_FALSE(DeleteFolderTree(Cp(home.root.string() + "/")));
  EXPECT_TRUE(DeleteFolderTree(Cp((dir / "sub").string())));
  EXPECT_FALSE(fs::exists(dir / "sub"));
  // The link went, not what it pointed to.
  EXPECT_TRUE(fs::exists(home.root / "marker"));
  EXPECT_TRUE(fs::exists(home.dataHome));
}

TEST_F(SetupTest, ShellLinksAreDesktopEntries) {
  const fs::path dir = home.root / "links";
  fs::create_directories(dir);
  qmtest::WriteAll(dir / "Velloran", {0x7f, 'E', 'L', 'F'});
  fs::permissions(dir / "Velloran", fs::perms::owner_all);
  fs::create_directories(dir / "Doc");
  qmtest::WriteAll(dir / "Doc/Velloran.doc", {'{'});
  ASSERT_GE(CreateShellLink(Cp((dir / "Velloran").string()), Cp((dir / "velloran-1.desktop").string()),
                            "Bead Design Software", "1 Quillmere freeware", "%f"),
            0);
  EXPECT_EQ(ReadText(dir / "velloran-1.desktop"),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=1 Quillmere freeware\nComment=Bead Design "
            "Software\nExec=\"" +
                (dir / "Velloran").string() + "\" %f\nTerminal=false\nIcon=velloran\nCategories=Graphics;\n");
  ASSERT_GE(CreateShellLink(Cp((dir / "Doc/Velloran.doc").string()), Cp((dir / "velloran-2.desktop").string()),
                            "Manual", "2 Manual"),
            0);
  EXPECT_NE(ReadText(dir / "velloran-2.desktop").find("Type=Link\n"), std::string::npos);
  EXPECT_NE(ReadText(dir / "velloran-2.desktop").find("URL=file://" + dir.string() + "/Doc/Velloran.doc\n"),
            std::string::npos);
  // A target that does not exist still gives its entry; no target is told.
  EXPECT_GE(CreateShellLink("/no/such/program", Cp((dir / "x.desktop").string()), "", "x"), 0);
  EXPECT_TRUE(fs::exists(dir / "x.desktop"));
  EXPECT_FALSE(BoxShown("SetPath failed!"));
  EXPECT_GE(CreateShellLink("", Cp((dir / "y.desktop").string()), "", "y"), 0);
  EXPECT_TRUE(BoxShown("SetPath failed!"));
  // Quoting of the Exec line: blanks stay inside the quotes, the reserved
  // characters get backslashes (doubled by the value's own escaping).
  EXPECT_EQ(QuoteExecArgument("/a b/Velloran"), "\"/a b/Velloran\"");
  EXPECT_EQ(QuoteExecArgument("/a$b/x"), "\"/a\\\\$b/x\"");
  EXPECT_EQ(QuoteExecArgument("/100%/x"), "\"/100%%/x\"");
  std::string out;
  EXPECT_EQ(RunProgram({"desktop-file-validate", (dir / "velloran-1.desktop").string(),
                        (dir / "velloran-2.desktop").string()},
                       &out),
            0)
      << out;
}

TEST_F(SetupTest, MimeappsLinesAsXdgMimeWritesThem) {
  const std::string mime = "application/x-velloran-document", app = "Velloran.Document.desktop";
  EXPECT_EQ(SetDefaultApplication("", mime, app), "\n[Default Applications]\n" + mime + "=" + app + "\n");
  const std::string before = "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\n" + mime +
                             "=other.desktop\nimage/png=viewer.desktop\n";
  const std::string after = SetDefaultApplication(before, mime, app);
  EXPECT_EQ(after, "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\n" + mime + "=" + app +
                       "\nimage/png=viewer.desktop\n");
  EXPECT_EQ(RemoveDefaultApplication(after, mime, app),
            "[Added Associations]\ntext/plain=ed.desktop;\n\n[Default Applications]\nimage/png=viewer.desktop\n");
  // Another program's default is not ours to remove.
  EXPECT_EQ(RemoveDefaultApplication(before, mime, app), before);
  // Same result as xdg-mime itself.
  const fs::path list = home.configHome / "mimeapps.list";
  std::ofstream(list) << before;
  std::string out;
  ASSERT_EQ(RunProgram({"xdg-mime", "default", app, mime}, &out), 0) << out;
  EXPECT_EQ(ReadText(list), after);
}

TEST_F(SetupTest, GroupNamesThatCannotBeOneFolder) {
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "/"}) EXPECT_TRUE(IsBadGroupName(bad)) << bad;
  for (const char* good : {"Quillmere freeware", "Graphics", "..x", "a.b"}) EXPECT_FALSE(IsBadGroupName(good)) << good;
  // Removing groups never climbs out of the Programs folder.
  fs::create_directories(home.dataHome / "applications");
  EXPECT_FALSE(RemoveExistingProgramGroups(".."));
  EXPECT_TRUE(fs::exists(home.dataHome / "applications"));
  fs::create_directories(home.dataHome / "applications/Quillmere freeware");
  fs::create_directories(home.systemData / "applications/Quillmere freeware");
  EXPECT_TRUE(RemoveExistingProgramGroups("Quillmere freeware"));
  EXPECT_FALSE(fs::exists(home.dataHome / "applications/Quillmere freeware"));
  EXPECT_FALSE(fs::exists(home.systemData / "applications/Quillmere freeware"));
}

TEST_F(SetupTest, GroupsAllUsersFirstThenTheUsersOwn) {
  for (const char* g : {"Zeta", "Alpha"}) fs::create_directories(home.systemData / "applications" / g);
  for (const char* g : {"Beads", "Alpha"}) fs::create_directories(home.dataHome / "applications" / g);
  qmtest::WriteAll(home.dataHome / "applications/file.desktop", {'x'});
  CEnumMenuCommonPrograms groups;
  ASSERT_TRUE(groups.Begin());
  std::vector<std::pair<std::string, bool>> seen;
  CProgramGroupItem item;
  while (groups.Next(item)) seen.emplace_back(Utf8(item.name), item.allUsers);
  std::sort(seen.begin(), seen.begin() + 2);
  std::sort(seen.begin() + 2, seen.end());
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{
                      {"Alpha", true}, {"Zeta", true}, {"Alpha", false}, {"Beads", false}}));
}

TEST_F(SetupTest, DefaultFolderChainAndAssociatedFolder) {
  SetLanguage(false);
  CFolderPage_4 page;
  // Nothing stored: $XDG_DATA_HOME, under "ProgramFiles" when that is set.
  EXPECT_EQ(Utf8(page.DefaultFolder()), home.dataHome.string() + "/Quillmere freeware");
  setenv("ProgramFiles", (home.root / "Programs").c_str(), 1);
  EXPECT_EQ(Utf8(page.DefaultFolder()), (home.root / "Programs").string() + "/Quillmere freeware");
  unsetenv("ProgramFiles");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(Utf8(page.DefaultFolder()), home.documents.string() + "/Quillmere freeware");
  setenv("XDG_DATA_HOME", home.dataHome.c_str(), 1);
  // A stored folder is proposed by its stored length (no NUL), even when
  // deleted; one that names no drive (a Windows path) is passed over.
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  const std::string stored = (home.root / "gone/Quillmere").string();
  key.SetValue("InstallPath", stored.data(), static_cast<DWORD>(stored.size()), REG_SZ);
  EXPECT_EQ(Utf8(page.DefaultFolder()), stored);
  key.SetValue("InstallPath", "C:\\Apps", 7, REG_SZ);
  EXPECT_EQ(Utf8(page.DefaultFolder()), home.dataHome.string() + "/Quillmere freeware");
  // The association: ".qx" names the type, the type's command the program.
  CString folder;
  EXPECT_FALSE(page.FindAssociatedFolder(folder));
  WriteRegDefaultString(HKEY_CLASSES_ROOT, ".qx", "Velloran.Document");
  WriteRegDefaultString(HKEY_CLASSES_ROOT, "Velloran.Document\\shell\\open\\command", "/opt/Apps/Velloran %1");
  ASSERT_TRUE(page.FindAssociatedFolder(folder));
  EXPECT_STREQ(folder.GetString(), "/opt/Apps");
  EXPECT_EQ(Utf8(page.DefaultFolder()), "/opt/Apps");
  WriteRegDefaultString(HKEY_CLASSES_ROOT, "Velloran.Document\\shell\\open\\command", "/opt/Apps/Velloran%1");
  EXPECT_FALSE(page.FindAssociatedFolder(folder));
}

}  // namespace
}  // namespace setuptest
