// The file dialog's list writes sizes, types and dates in the interface
// language, whatever the machine's locale is.
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QTreeView>
#include <fstream>

#include "tests/common/test_util.h"
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;
namespace fs = std::filesystem;

namespace {

CString Cp(const fs::path& p) { return FromUtf8(p.string()); }

// The texts of the list row whose name is `name` (name, size, type, date).
QStringList RowTexts(const QString& name) {
  for (QWidget* w : QApplication::allWidgets()) {
    auto* fd = qobject_cast<QFileDialog*>(w);
    if (!fd) continue;
    auto* tree = fd->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree || !tree->model()) continue;
    const QAbstractItemModel* model = tree->model();
    const QModelIndex root = tree->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
      if (model->index(row, 0, root).data().toString() != name) continue;
      QStringList texts;
      for (int c = 0; c < model->columnCount(root); ++c) texts << model->index(row, c, root).data().toString();
      return texts;
    }
  }
  return {};
}

}  // namespace

TEST_F(BarsTest, FileDialogListSpeaksTheInterfaceLanguage) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-locale");
  std::ofstream(dir / "big.bin", std::ios::binary) << std::string(2048 + 512, 'x');
  std::ofstream(dir / "small.bin", std::ios::binary) << std::string(22, 'x');
  std::ofstream(dir / "design.qx", std::ios::binary) << std::string(40, 'q');
  fs::create_directories(dir / "sub");
  const QDateTime when = QFileInfo(QString::fromStdString((dir / "big.bin").string())).lastModified();
  struct Case {
    bool russian;
    const char* big;
    const char* small;
    QLocale locale;
    const char* design;  // the type of a file the system does not know
    const char* folder;
  };
  const Case cases[] = {
      {false, "2.50 KB", "22 bytes", QLocale(QLocale::English, QLocale::UnitedStates), "QX File", "File folder"},
      {true, "2,50 КБ", "22 байта", QLocale(QLocale::Russian, QLocale::Russia), "Файл \"QX\"", "Папка с файлами"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.russian);
    UseLanguage(c.russian);
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "All|*.*||", app->Frame());
    const CString folder = Cp(dir);
    dlg.m_ofn.lpstrInitialDir = folder.GetString();
    QStringList big, small, design, sub;
    QmSetModalHook([&](HWND h) {
      for (int i = 0; i < 50 && (big.isEmpty() || small.isEmpty() || design.isEmpty() || sub.isEmpty()); ++i) {
        QmWait(50);
        big = RowTexts(QStringLiteral("big.bin"));
        small = RowTexts(QStringLiteral("small.bin"));
        design = RowTexts(QStringLiteral("design.qx"));
        sub = RowTexts(QStringLiteral("sub"));
      }
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.DoModal();
    ASSERT_EQ(big.size(), 4);
    ASSERT_EQ(small.size(), 4);
    EXPECT_EQ(big[1].toStdString(), c.big);
    EXPECT_EQ(small[1].toStdString(), c.small);
    EXPECT_EQ(big[3], c.locale.toString(when, QLocale::ShortFormat));
    ASSERT_EQ(design.size(), 4);
    ASSERT_EQ(sub.size(), 4);
    EXPECT_EQ(design[2].toStdString(), c.design);
    EXPECT_EQ(sub[2].toStdString(), c.folder);
  }
  // The default locale is given back when the dialog closes.
  EXPECT_EQ(QLocale().name(), QLocale::system().name());
}
