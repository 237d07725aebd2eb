// The two language packs must offer the program the same resources: every
// string, menu, dialog, toolbar, accelerator table, picture and raw data of
// one language exists in the other, dialogs have the same controls, menus the
// same commands, and texts the same printf conversions. Every IDS_, IDD_,
// IDB_ and IDI_ name of lang/ids/*.h exists in both packs.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/base.h"
#include "tests/common/test_util.h"
#include "tools/qmrc/qmrc.h"

namespace fs = std::filesystem;

namespace {

struct Pack {
  explicit Pack(const char* file) : name(file), h(LoadLibrary((qmtest::BinDir() / file).string().c_str())) {}
  ~Pack() {
    if (h) FreeLibrary(h);
  }
  std::string name;
  HINSTANCE h;
};

std::string KeyText(const QmResourceKey& k) {
  std::ostringstream s;
  s << "type " << k.type << " ";
  if (k.name.empty()) s << "id " << k.id; else s << "\"" << k.name << "\"";
  return s.str();
}

// The printf conversions of a text ("%s", "%u", "%.5f" -> "s", "u", "f"),
// with the size modifiers and '*' that change the arguments read.
std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    ++i;
    if (i < text.size() && text[i] == '%') continue;
    std::string conv;
    while (i < text.size() && std::string("-+ #0").find(text[i]) != std::string::npos) ++i;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '*')) {
      if (text[i] == '*') conv += '*';
      ++i;
    }
    if (i < text.size() && text[i] == '.') {
      ++i;
      while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '*')) {
        if (text[i] == '*') conv += '*';
        ++i;
      }
    }
    while (i < text.size() && std::string("hlLqjzt").find(text[i]) != std::string::npos) conv += text[i++];
    if (i < text.size()) conv += text[i];
    out.push_back(conv);
  }
  return out;
}

// The shape of a menu: flags and commands. `skip` names the one command that
// is declared to exist in one language only (its item is left out, and the
// end-of-menu flag, which moves with it, is not compared).
void MenuShape(const std::vector<QmMenuItem>& items, std::string& out, UINT skip = 0) {
  for (const QmMenuItem& m : items) {
    if (skip && !m.IsPopup() && m.id == skip) continue;
    const UINT flags = skip ? (m.flags & ~0x80u) : m.flags;
    out += std::to_string(flags) + ":" + std::to_string(m.id);
    if (m.IsPopup()) {
      out += "{";
      MenuShape(m.items, out, skip);
      out += "}";
    }
    out += " ";
  }
}

// Menus with one command in one language only: the main menu's program
// description (the manual exists in Russian only).
UINT LanguageOnlyCommand(UINT menuId) { return menuId == 128 ? 32032 : 0; }

std::vector<std::pair<int, int>> NamedControls(const QmDialogTemplate& d) {
  std::vector<std::pair<int, int>> v;
  for (const QmDialogControl& c : d.controls)
    if (c.id != -1) v.emplace_back(c.id, static_cast<int>(c.kind));
  std::sort(v.begin(), v.end());
  return v;
}

class LanguagePacks : public ::testing::Test {
 protected:
  Pack en{"Pellow_En.dll"};
  Pack ru{"Pellow_Ru.dll"};
  void SetUp() override {
    ASSERT_TRUE(en.h) << "Pellow_En.dll: error " << GetLastError();
    ASSERT_TRUE(ru.h) << "Pellow_Ru.dll: error " << GetLastError();
  }
};

}  // namespace

TEST_F(LanguagePacks, BothLanguagesHoldTheSameResources) {
  const std::vector<QmResourceKey> a = QmEnumResources(en.h);
  const std::vector<QmResourceKey> b = QmEnumResources(ru.h);
  for (const QmResourceKey& k : a)
    EXPECT_NE(std::find(b.begin(), b.end(), k), b.end()) << KeyText(k) << " is English only";
  for (const QmResourceKey& k : b)
    EXPECT_NE(std::find(a.begin(), a.end(), k), a.end()) << KeyText(k) << " is Russian only";
}

TEST_F(LanguagePacks, TemplatesMatchAcrossLanguages) {
  for (const QmResourceKey& k : QmEnumResources(en.h)) {
    if (!k.name.empty()) continue;
    SCOPED_TRACE(KeyText(k));
    switch (k.type) {
      case qmres::kString: {
        CString s, t;
        ASSERT_TRUE(LoadResourceString(en.h, k.id, s));
        if (!LoadResourceString(ru.h, k.id, t)) break;  // reported by the test above
        EXPECT_EQ(Conversions(s.str()), Conversions(t.str())) << "printf conversions differ in string " << k.id;
        break;
      }
      case qmres::kMenu: {
        const QmMenuTemplate* m = LoadMenuTemplate(en.h, k.id);
        const QmMenuTemplate* n = LoadMenuTemplate(ru.h, k.id);
        if (!m || !n) break;
        std::string x, y;
        MenuShape(m->items, x, LanguageOnlyCommand(k.id));
        MenuShape(n->items, y, LanguageOnlyCommand(k.id));
        EXPECT_EQ(x, y) << "menu " << k.id << ": items, flags or commands differ";
        break;
      }
      case qmres::kDialog:
      case qmres::kDialogCompact: {
        const bool compact = k.type == qmres::kDialogCompact;
        const QmDialogTemplate* d = LoadDialogTemplate(en.h, k.id, compact);
        const QmDialogTemplate* e = LoadDialogTemplate(ru.h, k.id, compact);
        if (!d || !e) break;
        EXPECT_EQ(d->compact, e->compact);
        EXPECT_EQ(NamedControls(*d), NamedControls(*e)) << "dialog " << k.id << ": control ids or kinds differ";
        EXPECT_EQ(d->style, e->style) << "dialog " << k.id;
        break;
      }
      case qmres::kAccelerator: {
        const QmAcceleratorTable* a = LoadAcceleratorTable(en.h, k.id);
        const QmAcceleratorTable* b = LoadAcceleratorTable(ru.h, k.id);
        if (!a || !b) break;
        ASSERT_EQ(a->entries.size(), b->entries.size()) << "accelerators " << k.id;
        for (size_t i = 0; i < a->entries.size(); ++i) {
          EXPECT_EQ(a->entries[i].fVirt, b->entries[i].fVirt) << "accelerators " << k.id << " entry " << i;
          EXPECT_EQ(a->entries[i].key, b->entries[i].key) << "accelerators " << k.id << " entry " << i;
          EXPECT_EQ(a->entries[i].cmd, b->entries[i].cmd) << "accelerators " << k.id << " entry " << i;
        }
        break;
      }
      case qmres::kToolbar: {
        const QmToolbarTemplate* a = LoadToolbarTemplate(en.h, k.id);
        const QmToolbarTemplate* b = LoadToolbarTemplate(ru.h, k.id);
        if (!a || !b) break;
        EXPECT_EQ(a->items, b->items) << "toolbar " << k.id;
        EXPECT_EQ(a->width, b->width) << "toolbar " << k.id;
        EXPECT_EQ(a->height, b->height) << "toolbar " << k.id;
        break;
      }
      default:
        break;
    }
  }
}

TEST_F(LanguagePacks, EveryNamedIdOfTheIdsHeadersExists) {
  qmrc::IdTable ids;
  std::vector<fs::path> headers;
  for (const auto& e : fs::directory_iterator(fs::path(QM_LANG_IDS_DIR)))
    if (e.path().extension() == ".h") headers.push_back(e.path());
  ASSERT_FALSE(headers.empty());
  for (const fs::path& h : headers) ASSERT_NO_THROW(qmrc::ReadIdsHeader(h, ids)) << h;

  struct Prefix {
    const char* prefix;
    LPCTSTR type;
  };
  const Prefix prefixes[] = {{"IDS_", RT_STRING}, {"IDD_", RT_DIALOG}, {"IDB_", RT_BITMAP}, {"IDI_", RT_GROUP_ICON}};
  int checked = 0;
  for (const auto& [name, def] : ids.All()) {
    for (const Prefix& p : prefixes) {
      if (name.rfind(p.prefix, 0) != 0) continue;
      ++checked;
      for (const Pack* pack : {&en, &ru})
        EXPECT_TRUE(FindResource(pack->h, MAKEINTRESOURCE(def.value), p.type))
            << name << " (" << def.value << ", " << def.where << ") is missing from " << pack->name;
    }
  }
  EXPECT_GT(checked, 0);
}
