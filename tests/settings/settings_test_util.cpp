#include "settings_test_util.h"

#include "design/SettingsGlue.h"

namespace settings_test {

LanguageScope::LanguageScope(bool russian) : saved_(settings_glue::IsRussian()) {
  SetAnsiCodePage(russian ? 1251 : 1252);
}

LanguageScope::~LanguageScope() { SetAnsiCodePage(saved_ ? 1251 : 1252); }

}  // namespace settings_test
