#include "setup/Uninstaller.h"

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "setup/DesktopForms.h"

namespace qmsetup {

namespace {

CString Text(const char* english, const char* russian) {
  return IsRussianInterface() ? CString(Utf8ToCodePage(russian, 1251)) : CString(Utf8ToCodePage(english, 1252));
}

}  // namespace

int RunUninstall(const CString& folder) {
  LoadLanguageFlag();
  CString title;
  GetProductTitle(title);
  CString text;
  if (!FileExists(folder + "/" + kInstallRecordName)) {
    text.Format(Text("Nothing to remove: the record of the installation is missing in\n%s",
                     "Удалять нечего: в папке\n%s\nнет записи об установке."),
                folder.GetString());
    MessageBox(nullptr, text, title, MB_OK | MB_ICONSTOP);
    return 2;
  }
  text.Format(Text("Remove %s from this computer?\n\nThe program, its palettes, samples and menu entries go. Your own "
                   "designs, PDF exports, changed samples, the \"Kestlewain Books\" folder and your settings stay.",
                   "Удалить %s с этого компьютера?\n\nПрограмма, её палитры, образцы и пункты меню будут удалены. "
                   "Ваши схемы, экспорт в PDF, изменённые образцы, папка «Kestlewain Books» и настройки "
                   "сохранятся."),
              title.GetString());
  if (MessageBox(nullptr, text, title, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDYES) return 1;
  CUninstallResult result;
  UninstallFromRecord(folder, result);
  text.Format(Text("%s was removed.", "Программа %s удалена."), title.GetString());
  if (!result.kept.empty()) {
    text += Text("\n\nThese files were changed after the installation and stay:",
                 "\n\nЭти файлы были изменены после установки и сохранены:");
    for (size_t i = 0; i < result.kept.size() && i < 12; ++i) text += "\n" + FromUtf8(result.kept[i]);
  }
  if (FolderExists(folder)) {
    CString stays;
    stays.Format(Text("\n\nYour own files stay in\n%s", "\n\nВаши файлы остались в папке\n%s"), folder.GetString());
    text += stays;
  }
  MessageBox(nullptr, text, title, MB_OK | MB_ICONINFORMATION);
  return 0;
}

}  // namespace qmsetup
