// The common dialogs over Qt's own dialogs: a dialog window of this layer
// holds the Qt dialog, the controls the program reaches by id, and (for
// files) the program's panel; the checks of the Windows dialogs (file must
// exist, overwrite and create prompts, names the interface code page cannot
// hold) are ours.
#include "platform/wnd/commdlg.h"

#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMimeDatabase>
#include <QPainter>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTranslator>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/base/codepage.h"
#include "platform/gdi/internal.h"
#include "platform/wnd/app.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/shellapi.h"

using namespace qmwnd;

namespace qmwnd {

bool ModalHookInstalled();

void EnsureQtTranslations() {
  static QTranslator* russian = nullptr;
  static bool missingTold = false;
  const bool want = GetAnsiCodePage() == 1251;
  if (!QCoreApplication::instance()) return;
  if (want && !russian) {
    auto* t = new QTranslator(QCoreApplication::instance());
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (t->load(QStringLiteral("qtbase_ru"), dir) || t->load(QStringLiteral("qtbase_ru"), QStringLiteral("/usr/share/qt6/translations"))) {
      QCoreApplication::installTranslator(t);
      russian = t;
    } else {
      delete t;
      if (!missingTold) {
        missingTold = true;
        std::fprintf(stderr,
                     "Qt's Russian translations (qtbase_ru.qm of qt6-translations-l10n) are not installed; "
                     "the dialogs' own labels stay in English\n");
      }
    }
  } else if (!want && russian) {
    QCoreApplication::removeTranslator(russian);
    delete russian;
    russian = nullptr;
  }
}

// The locale of the interface language (not the machine's).
QLocale InterfaceLocale() {
  return GetAnsiCodePage() == 1251 ? QLocale(QLocale::Russian, QLocale::Russia)
                                   : QLocale(QLocale::English, QLocale::UnitedStates);
}

}  // namespace qmwnd

namespace {

// The file list's sizes, types and dates in the interface language: Qt's
// file model writes them in the machine's locale, whatever the interface
// says. Folders are "File folder"; a file of a type the system does not
// know is named after its extension ("QX File"), as Windows names it,
// not "unknown".
class QmInterfaceFileProxy : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
      return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QLocale locale = InterfaceLocale();
    if (index.column() == 3) return locale.toString(files->lastModified(source), QLocale::ShortFormat);
    if (index.column() == 2) return TypeText(files->fileInfo(source), locale);
    if (files->isDir(source)) return QIdentityProxyModel::data(index, role);
    return SizeText(files->size(source), locale);
  }

  QString TypeText(const QFileInfo& info, const QLocale& locale) const {
    const bool russian = locale.language() == QLocale::Russian;
    if (info.isDir()) return russian ? QStringLiteral("Папка с файлами") : QStringLiteral("File folder");
    const QMimeType type = m_types.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    if (!type.isDefault() && !type.comment().isEmpty()) return type.comment();
    const QString suffix = info.suffix().toUpper();
    if (suffix.isEmpty()) return russian ? QStringLiteral("Файл") : QStringLiteral("File");
    return russian ? QStringLiteral("Файл \"%1\"").arg(suffix) : QStringLiteral("%1 File").arg(suffix);
  }

  // "12.3 KB" / "12,3 КБ"; below a kilobyte the bytes ("100 bytes" / "100 байт").
  static QString SizeText(qint64 bytes, const QLocale& locale) {
    const bool russian = locale.language() == QLocale::Russian;
    if (bytes < 1024) {
      if (!russian)
        return QStringLiteral("%1 %2").arg(bytes).arg(bytes == 1 ? QStringLiteral("byte") : QStringLiteral("bytes"));
      const qint64 last = bytes % 10, lastTwo = bytes % 100;
      const QString word = last == 1 && lastTwo != 11                                 ? QStringLiteral("байт")
                           : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? QStringLiteral("байта")
                                                                                      : QStringLiteral("байт");
      return QStringLiteral("%1 %2").arg(bytes).arg(word);
    }
    static const char* const kEnglish[] = {"KB", "MB", "GB", "TB"};
    static const char* const kRussian[] = {"КБ", "МБ", "ГБ", "ТБ"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
      value /= 1024.0;
      ++unit;
    }
    return locale.toString(value, 'f', value < 10 ? 2 : 1) + QLatin1Char(' ') +
           (russian ? QString::fromUtf8(kRussian[unit]) : QString::fromLatin1(kEnglish[unit]));
  }

 private:
  QMimeDatabase m_types;
};

bool NoDisplay() {
  const QString p = QGuiApplication::platformName();
  return p == QLatin1String("offscreen") || p == QLatin1String("minimal");
}

DWORD g_commDlgError = 0;

// A program path (code page, either separator) and a Qt path.
QString QtPath(const CString& path) {
  QString q = QmToQString(path);
  q.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return q;
}

// A Qt path the interface code page can hold, else false.
bool ProgramPath(const QString& path, CString* out) {
  const CString cp = QmFromQString(path);
  if (QmToQString(cp) != path) return false;
  *out = cp;
  return true;
}

int Ask(HWND owner, const CString& text, const CString& caption, UINT type) { return ::MessageBox(owner, text, caption, type); }

CString Format1(const CString& format, const CString& arg) {
  CString s = format;
  s.Replace("%s", arg);
  return s;
}

// ---------------------------------------------------------------------------
// Qt's dialogs with OK and Cancel handed to the host.
template <class Base>
class HostedDialog : public Base {
 public:
  explicit HostedDialog(QWidget* parent) : Base(parent) {
    this->setWindowFlags(Qt::Widget);
    this->setSizeGripEnabled(false);
  }
  std::function<void()> onAccept;
  std::function<void()> onReject;
  void accept() override {
    EnterDispatch();
    if (onAccept) onAccept();
    LeaveDispatch();
  }
  void reject() override {
    EnterDispatch();
    if (onReject) onReject();
    LeaveDispatch();
  }
};

// The dialog window that holds a Qt dialog.

class QmCommonHost : public CWnd {
 public:
  // Builds the window and its contents; false when it cannot be made.
  virtual bool Build(HWND owner) = 0;
  // OK: true when the dialog may end with IDOK.
  virtual bool Accept() = 0;
  virtual void LayOut() {}

  INT_PTR Run(HWND owner, const char* what) {
    bool enableOwner = false;
    if (owner && ::IsWindowEnabled(owner)) {
      ::EnableWindow(owner, FALSE);
      enableOwner = true;
    }
    EnsureQtTranslations();
    m_nModalResult = IDCANCEL;
    m_nFlags |= WF_CONTINUEMODAL;
    g_commDlgError = 0;
    const bool built = Build(owner);
    const HWND self = m_hWnd;
    if (!built) {
      std::fprintf(stderr, "%s dialog cannot be made\n", what);
      m_nModalResult = -1;
    } else if (m_nFlags & WF_CONTINUEMODAL) {
      ShowWindow(SW_SHOWNORMAL);
      if (!ModalHookInstalled() && NoDisplay()) {
        std::fprintf(stderr, "%s dialog: no display to show it on; it is cancelled\n", what);
        End(IDCANCEL);
      } else if (m_hWnd) {
        RunModalLoop();
      }
    }
    m_nFlags &= ~WF_CONTINUEMODAL;
    if (::IsWindow(self)) ::ShowWindow(self, SW_HIDE);
    if (enableOwner && ::IsWindow(owner)) {
      ::EnableWindow(owner, TRUE);
      ::SetActiveWindow(owner);
    }
    if (::IsWindow(self)) ::DestroyWindow(self);
    return m_nModalResult;
  }

  void End(int result) {
    m_nModalResult = result;
    EndModalLoop(result);
  }

  void TryAccept() {
    if (m_ending) return;
    if (Accept()) {
      m_ending = true;
      End(IDOK);
    }
  }

 protected:
  // The dialog window itself: a caption, the dialog font, a client size.
  bool MakeWindow(HWND owner, const CString& caption, bool sizable) {
    QmDialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | (sizable ? WS_THICKFRAME : 0);
    t.caption = caption;
    t.fontSize = 8;
    t.fontFace = "MS Sans Serif";
    t.cx = 100;
    t.cy = 100;
    return QmCreateDialogFromTemplate(t, owner, this, 0) != nullptr && m_hWnd;
  }
  void SetClientSize(int cx, int cy) {
    RECT r{0, 0, cx, cy};
    ::AdjustWindowRectEx(&r, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Where client point (0, 0) lies in the window's widget.
  QWidget* ClientWidget(QPoint* origin) const {
    Window* w = Find(m_hWnd);
    if (!w || !w->W()) return nullptr;
    *origin = ClientRectInWidget(*w).topLeft();
    return w->W();
  }
  HWND MakeControl(const char* cls, const CString& text, DWORD style, const CRect& r, int id, LPVOID param = nullptr) {
    HWND h = ::CreateWindowEx(0, cls, text, WS_CHILD | style, r.left, r.top, r.Width(), r.Height(), m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, param);
    if (h) ::SendMessage(h, WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    return h;
  }
  // A Qt dialog in the client area, its OK and Cancel handed to this window.
  template <class D>
  HostedDialog<D>* Embed() {
    QPoint origin;
    QWidget* host = ClientWidget(&origin);
    if (!host) return nullptr;
    auto* d = new HostedDialog<D>(host);
    d->setOption(D::DontUseNativeDialog, true);
    d->onAccept = [this] { TryAccept(); };
    d->onReject = [this] { End(IDCANCEL); };
    m_qt = d;
    return d;
  }
  // The Qt dialog over the client area from `top` down, `bottom` left
  // free under it; false before it is made.
  bool PlaceQt(int top, int bottom, CRect* client) {
    if (!m_qt) return false;
    GetClientRect(client);
    QPoint origin;
    if (!ClientWidget(&origin)) return false;
    m_qt->setGeometry(origin.x(), origin.y() + top, client->Width(), std::max(120, client->Height() - top - bottom));
    return true;
  }
  // Room for the Qt dialog at its natural size and the button row under it.
  void FitWithButtons(int minWidth) {
    const QSize hint = m_qt ? m_qt->sizeHint() : QSize();
    SetClientSize(std::max(hint.width(), minWidth), std::max(hint.height(), 300) + kButtonRow);
    LayOut();
  }
  static constexpr int kButtonRow = 42;
  // OK and Cancel at the bottom right of the client area.
  void MakeButtons() {
    MakeControl("Button", UiText("OK", "ОК"), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, CRect(0, 0, 80, 26), IDOK);
    MakeControl("Button", UiText("Cancel", "Отмена"), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(0, 0, 80, 26), IDCANCEL);
  }
  void PlaceButtons(int cx, int cy) {
    ::MoveWindow(::GetDlgItem(m_hWnd, IDCANCEL), cx - 8 - 80, cy - 8 - 26, 80, 26, TRUE);
    ::MoveWindow(::GetDlgItem(m_hWnd, IDOK), cx - 8 - 80 - 6 - 80, cy - 8 - 26, 80, 26, TRUE);
  }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    const UINT id = LOWORD(wParam);
    if ((id == IDOK || id == IDCANCEL) && (HIWORD(wParam) == BN_CLICKED || !lParam)) {
      if (id == IDOK) TryAccept();
      else End(IDCANCEL);
      return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    // Keys in the Qt dialog are Qt's; the dialog's own controls take tab,
    // Enter and Escape.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && ::IsChild(m_hWnd, pMsg->hwnd))
      return ::IsDialogMessage(m_hWnd, pMsg);
    return FALSE;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SIZE) {
      const LRESULT r = CWnd::WindowProc(message, wParam, lParam);
      LayOut();
      return r;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }

  bool m_ending = false;
  QPointer<QWidget> m_qt;
};

// Room for the side bar's names ("Computer" in every language).
void WidenSideBar(QFileDialog* fd) {
  if (auto* split = fd->findChild<QSplitter*>(QStringLiteral("splitter")); split && split->count() == 2) {
    const int total = split->sizes().value(0) + split->sizes().value(1);
    split->setSizes({150, std::max(200, total - 150)});
  }
}

// The detail list's columns wide enough for their texts: the name takes
// what is left; size, type and date get the width of a long value.
void WidenColumns(QFileDialog* fd) {
  auto* tree = fd->findChild<QTreeView*>(QStringLiteral("treeView"));
  if (tree == nullptr || tree->header() == nullptr || tree->header()->count() < 4) return;
  QHeaderView* header = tree->header();
  const QFontMetrics metrics(tree->font());
  const QLocale locale = InterfaceLocale();
  const int pad = 24;
  const QString date = locale.toString(QDateTime(QDate(2026, 12, 28), QTime(23, 59)), QLocale::ShortFormat);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  header->resizeSection(1, metrics.horizontalAdvance(QmInterfaceFileProxy::SizeText(1023 * 1024 + 900, locale)) + pad);
  header->resizeSection(2, metrics.horizontalAdvance(QStringLiteral("plain text document")) + pad);
  header->resizeSection(3, std::max(metrics.horizontalAdvance(date), header->sectionSizeHint(3)) + pad);
}

}  // namespace

// ---------------------------------------------------------------------------
// The file name field (control 1152): a window over the Qt dialog's own
// field, so that the program reads, writes and focuses it by id.

namespace {

struct FieldState {
  QPointer<QLineEdit> edit;
};

StateTable<FieldState>& Fields() {
  static auto* t = new StateTable<FieldState>;
  return *t;
}

class FileNameFieldClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) override {
    Fields().Make(hwnd).edit = static_cast<QLineEdit*>(cs.lpCreateParams);
    auto* w = new QWidget(parent);
    w->setFocusPolicy(Qt::NoFocus);
    w->resize(0, 0);
    return w;
  }
  void TextChanged(HWND hwnd, QWidget*, const CString& text) override {
    FieldState* s = Fields().Get(hwnd);
    if (s && s->edit && s->edit->text() != QmToQString(text)) s->edit->setText(QmToQString(text));
  }
  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    FieldState* s = Fields().Get(hwnd);
    if (!s) return false;
    switch (message) {
      case WM_NCDESTROY:
        Fields().Drop(hwnd);
        return false;
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH:
        if (Window* w = Find(hwnd); w && s->edit) w->text = QmFromQString(s->edit->text());
        return false;
      case WM_SETFOCUS:
        if (s->edit) s->edit->setFocus(Qt::OtherFocusReason);
        return false;
      case EM_SETSEL:
        if (s->edit) {
          const int a = static_cast<int>(static_cast<INT_PTR>(wParam));
          int b = static_cast<int>(lParam);
          const int n = static_cast<int>(s->edit->text().size());
          if (a < 0) {
            s->edit->deselect();
          } else {
            if (b < 0 || b > n) b = n;
            s->edit->setSelection(std::min(a, n), std::max(0, b - std::min(a, n)));
          }
        }
        *result = 0;
        return true;
      case WM_GETDLGCODE:
        *result = DLGC_WANTCHARS | DLGC_HASSETSEL;
        return true;
      default:
        return false;
    }
  }
};

// The font dialog's colour box (control 1139): the sixteen colours of the
// Windows dialog, each with its name.
struct NamedColor {
  COLORREF color;
  const char* english;
  const char* russian;
};
constexpr NamedColor kColors[16] = {
    {RGB(0, 0, 0), "Black", "Чёрный"},          {RGB(128, 0, 0), "Maroon", "Бордовый"},
    {RGB(0, 128, 0), "Green", "Зелёный"},       {RGB(128, 128, 0), "Olive", "Оливковый"},
    {RGB(0, 0, 128), "Navy", "Тёмно-синий"},    {RGB(128, 0, 128), "Purple", "Фиолетовый"},
    {RGB(0, 128, 128), "Teal", "Сине-зелёный"}, {RGB(128, 128, 128), "Gray", "Серый"},
    {RGB(192, 192, 192), "Silver", "Серебристый"}, {RGB(255, 0, 0), "Red", "Красный"},
    {RGB(0, 255, 0), "Lime", "Ярко-зелёный"},   {RGB(255, 255, 0), "Yellow", "Жёлтый"},
    {RGB(0, 0, 255), "Blue", "Синий"},          {RGB(255, 0, 255), "Fuchsia", "Пурпурный"},
    {RGB(0, 255, 255), "Aqua", "Голубой"},      {RGB(255, 255, 255), "White", "Белый"},
};

class ColorBoxClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT&, QWidget* parent) override {
    auto* box = new QComboBox(parent);
    for (const NamedColor& c : kColors) {
      QPixmap swatch(20, 12);
      swatch.fill(QColor(GetRValue(c.color), GetGValue(c.color), GetBValue(c.color)));
      QPainter(&swatch).drawRect(0, 0, 19, 11);
      box->addItem(QIcon(swatch), QmToQString(UiText(c.english, c.russian)), QVariant(static_cast<uint>(c.color)));
    }
    return box;
  }
  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
    Window* w = Find(hwnd);
    auto* box = w ? qobject_cast<QComboBox*>(w->W()) : nullptr;
    if (!box) return false;
    if (message == CB_GETCURSEL) {
      *result = box->currentIndex();
      return true;
    }
    if (message == CB_SETCURSEL) {
      box->setCurrentIndex(static_cast<int>(wParam));
      *result = box->currentIndex();
      return true;
    }
    if (message == CB_GETITEMDATA) {
      *result = static_cast<LRESULT>(box->itemData(static_cast<int>(wParam)).toUInt());
      return true;
    }
    if (message == WM_GETDLGCODE) {
      *result = DLGC_WANTARROWS;
      return true;
    }
    return false;
  }
};

}  // namespace

namespace qmwnd {
QmControlClass* MakeFileNameFieldClass() { return new FileNameFieldClass; }
QmControlClass* MakeColorBoxClass() { return new ColorBoxClass; }
}  // namespace qmwnd

// ---------------------------------------------------------------------------
// Files.

class QmFileDialogHost : public QmCommonHost {
 public:
  explicit QmFileDialogHost(CFileDialog* dlg) : m_dlg(dlg) {}

  struct Filter {
    QString text;      // for Qt: "Description (*.a *.b)"
    QString patterns;  // "*.a *.b"
  };

  bool Build(HWND owner) override {
    OPENFILENAME& ofn = m_dlg->m_ofn;
    CString caption = ofn.lpstrTitle ? CString(ofn.lpstrTitle)
                                     : (m_dlg->m_bOpenFileDialog ? UiText("Open", "Открыть")
                                                                 : UiText("Save As", "Сохранить как"));
    if (!MakeWindow(owner, caption, (ofn.Flags & OFN_ENABLESIZING) != 0)) return false;
    auto* fd = Embed<QFileDialog>();
    if (!fd) return false;
    m_fd = fd;
    // Sizes, types (from the MIME comments, by the default locale) and dates
    // in the interface language.
    fd->setLocale(InterfaceLocale());
    fd->setProxyModel(new QmInterfaceFileProxy(fd));
    fd->setOption(QFileDialog::DontConfirmOverwrite, true);
    fd->setOption(QFileDialog::HideNameFilterDetails, true);
    fd->setFileMode(QFileDialog::AnyFile);
    fd->setAcceptMode(m_dlg->m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Filters.
    for (const char* p = ofn.lpstrFilter; p && *p;) {
      const char* desc = p;
      p += std::strlen(p) + 1;
      if (!*p) break;
      QString patterns = QmToQString(p);
      p += std::strlen(p) + 1;
      patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
      m_filters.push_back(Filter{QmToQString(desc) + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')'),
                                 patterns.simplified()});
    }
    QStringList names;
    for (const Filter& f : m_filters) names << f.text;
    if (!names.isEmpty()) fd->setNameFilters(names);
    int index = static_cast<int>(ofn.nFilterIndex);
    if (index < 1 || index > static_cast<int>(m_filters.size())) index = 1;
    if (!m_filters.empty()) fd->selectNameFilter(m_filters[static_cast<size_t>(index - 1)].text);
    m_filterIndex = index;
    // The folder and the name.
    const QString given = ofn.lpstrFile ? QtPath(CString(ofn.lpstrFile)) : QString();
    QString dir = ofn.lpstrInitialDir && *ofn.lpstrInitialDir ? QtPath(CString(ofn.lpstrInitialDir)) : QString();
    QString name = given;
    if (given.contains(QLatin1Char('/'))) {
      if (dir.isEmpty()) dir = QFileInfo(given).path();
      name = QFileInfo(given).fileName();
    }
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) dir = QDir::currentPath();
    fd->setDirectory(dir);
    if (!name.isEmpty()) fd->selectFile(name);
    m_edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QObject::connect(fd, &QFileDialog::currentChanged, fd, [this](const QString& path) { OnCurrent(path); });
    // A click on the row that is already current tells its file too.
    for (const char* list : {"listView", "treeView"})
      if (auto* v = fd->findChild<QAbstractItemView*>(QString::fromLatin1(list)))
        QObject::connect(v, &QAbstractItemView::clicked, fd, [this](const QModelIndex&) {
          const QStringList chosen = m_fd ? m_fd->selectedFiles() : QStringList();
          if (chosen.size() == 1 && QFileInfo(chosen[0]).isFile()) OnCurrent(chosen[0]);
        });
    QObject::connect(fd, &QFileDialog::filterSelected, fd, [this](const QString&) { OnFilter(); });
    QObject::connect(fd, &QFileDialog::directoryEntered, fd, [this](const QString&) {
      EnterDispatch();
      m_dlg->OnFolderChange();
      LeaveDispatch();
    });
    fd->show();
    WidenSideBar(fd);
    WidenColumns(fd);
    // The name field by its id, made with the name the dialog shows.
    MakeControl("QmFileNameField", m_edit ? QmFromQString(m_edit->text()) : CString(), 0, CRect(0, 0, 0, 0),
                QM_IDC_FILE_NAME, m_edit);
    // The program's panel under the file list, with the dialog object.
    m_dlg->m_hDialog = m_hWnd;
    m_dlg->m_host = this;
    QmDialogTemplate panel;
    panel.style = WS_CHILD | DS_CONTROL;
    panel.fontSize = 8;
    panel.fontFace = "MS Sans Serif";
    if ((ofn.Flags & OFN_ENABLETEMPLATE) && ofn.lpTemplateName) {
      const UINT id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(ofn.lpTemplateName));
      const QmDialogTemplate* t =
          IS_INTRESOURCE(ofn.lpTemplateName) ? LoadDialogTemplate(ofn.hInstance ? ofn.hInstance : AfxGetResourceHandle(), id)
                                             : nullptr;
      if (!t) {
        std::fprintf(stderr, "File dialog: its panel template is missing from the resource pack\n");
        return false;
      }
      panel = *t;
      panel.style = (panel.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME)) | WS_CHILD |
                    DS_CONTROL;
      panel.x = 0;
      panel.y = 0;
    }
    panel.style |= WS_VISIBLE;
    if (!QmCreateDialogFromTemplate(panel, m_hWnd, m_dlg, reinterpret_cast<LPARAM>(&ofn)) || !m_hWnd) return false;
    RECT pr{0, 0, 0, 0};
    ::GetClientRect(m_dlg->m_hWnd, &pr);
    m_panelSize = QSize(pr.right, pr.bottom);
    SetClientSize(std::max(600, m_panelSize.width()), 380 + m_panelSize.height());
    LayOut();
    m_dlg->OnInitDone();
    return m_hWnd != nullptr;
  }

  void LayOut() override {
    CRect client;
    if (!PlaceQt(0, m_panelSize.height(), &client)) return;
    const int qh = std::max(120, client.Height() - m_panelSize.height());
    if (m_dlg->m_hWnd) ::MoveWindow(m_dlg->m_hWnd, 0, qh, client.Width(), m_panelSize.height(), TRUE);
  }

  // The file under the cursor changed.
  void OnCurrent(const QString& path) {
    // Told once per file (a typed name that was accepted is not told, so a
    // click on its row still previews it).
    if (path == m_currentQt && path == m_toldQt) return;
    m_currentQt = path;
    m_toldQt = path;
    CString cp;
    m_current = ProgramPath(path, &cp) ? cp : QmFromQString(path);
    EnterDispatch();
    m_dlg->OnFileNameChange();
    LeaveDispatch();
  }

  void OnFilter() {
    const int index = SelectedFilter();
    if (index == m_filterIndex) return;
    m_filterIndex = index;
    m_dlg->m_ofn.nFilterIndex = static_cast<DWORD>(index);
    EnterDispatch();
    m_dlg->OnTypeChange();
    LeaveDispatch();
  }

  // The chosen type, 1-based: the position in the dialog's type list.
  int SelectedFilter() const {
    if (!m_fd || m_filters.empty()) return m_filterIndex;
    if (auto* box = m_fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")); box && box->currentIndex() >= 0)
      return std::min(box->currentIndex() + 1, static_cast<int>(m_filters.size()));
    return m_filterIndex;
  }

  CString Folder() const {
    if (!m_fd) return CString();
    CString cp;
    const QString dir = m_fd->directory().absolutePath();
    return ProgramPath(dir, &cp) ? cp : QmFromQString(dir);
  }

  bool Accept() override {
    OPENFILENAME& ofn = m_dlg->m_ofn;
    const CString caption = [this] {
      CString c;
      GetWindowText(c);
      return c;
    }();
    QString name = m_edit ? m_edit->text().trimmed() : QString();
    if (name.isEmpty()) {
      if (!m_currentQt.isEmpty() && QFileInfo(m_currentQt).isFile()) name = m_currentQt;
      else return false;
    }
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QDir dir = m_fd->directory();
    QString full = QDir::isAbsolutePath(name) ? QDir::cleanPath(name) : QDir::cleanPath(dir.absoluteFilePath(name));
    if (QFileInfo(full).isDir()) {
      m_fd->setDirectory(full);
      if (m_edit) m_edit->clear();
      return false;
    }
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
      m_fd->setNameFilter(name);
      return false;
    }
    // The default extension: the chosen type's, else the dialog's.
    if (!m_dlg->m_strDefExt.IsEmpty() && QFileInfo(full).suffix().isEmpty()) {
      QString ext = QmToQString(m_dlg->m_strDefExt);
      const int f = SelectedFilter();
      if (f >= 1 && f <= static_cast<int>(m_filters.size())) {
        const QString first = m_filters[static_cast<size_t>(f - 1)].patterns.section(QLatin1Char(' '), 0, 0);
        const QString e = first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
        if (!e.isEmpty() && !e.contains(QLatin1Char('*')) && !e.contains(QLatin1Char('?'))) ext = e;
      }
      if (ext.startsWith(QLatin1Char('.'))) ext = ext.mid(1);
      full += QLatin1Char('.') + ext;
    }
    CString path;
    if (!ProgramPath(full, &path)) {
      Ask(m_hWnd,
          Format1(UiText("The file name\n%s\ncontains characters that this program cannot use with the current "
                         "interface language.\nPlease choose another name.",
                         "Имя файла\n%s\nсодержит символы, которые программа не может использовать при текущем "
                         "языке интерфейса.\nВыберите другое имя."),
                  QmFromQString(QFileInfo(full).fileName())),
          caption, MB_OK | MB_ICONWARNING);
      return false;
    }
    const QFileInfo fi(full);
    if (!QFileInfo(fi.path()).isDir()) {
      Ask(m_hWnd,
          Format1(UiText("%s\nThe folder does not exist.\nCheck the path and try again.",
                         "%s\nПапка не существует.\nПроверьте путь и повторите попытку."),
                  path),
          caption, MB_OK | MB_ICONWARNING);
      return false;
    }
    const bool exists = fi.exists();
    if (m_dlg->m_bOpenFileDialog && !exists && (ofn.Flags & OFN_FILEMUSTEXIST)) {
      Ask(m_hWnd,
          Format1(UiText("%s\nFile not found.\nCheck the file name and try again.",
                         "%s\nФайл не найден.\nПроверьте имя файла и повторите попытку."),
                  path),
          caption, MB_OK | MB_ICONWARNING);
      return false;
    }
    if (!m_dlg->m_bOpenFileDialog && exists && (ofn.Flags & OFN_OVERWRITEPROMPT)) {
      if (Ask(m_hWnd,
              Format1(UiText("%s already exists.\nDo you want to replace it?", "%s уже существует.\nЗаменить его?"), path),
              caption, MB_YESNO | MB_ICONWARNING) != IDYES)
        return false;
    }
    if (!exists && (ofn.Flags & OFN_CREATEPROMPT)) {
      if (Ask(m_hWnd,
              Format1(UiText("%s\nThis file does not exist.\nDo you want to create it?",
                             "%s\nЭтот файл не существует.\nСоздать его?"),
                      path),
              caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    }
    // The answer, then the program's last word.
    if (ofn.lpstrFile && ofn.nMaxFile > 0) {
      const int n = std::min(static_cast<int>(ofn.nMaxFile) - 1, path.GetLength());
      std::memcpy(ofn.lpstrFile, path.GetString(), static_cast<size_t>(n));
      ofn.lpstrFile[n] = 0;
    }
    const int slash = path.ReverseFind('/');
    const int dot = path.ReverseFind('.');
    ofn.nFileOffset = static_cast<WORD>(slash + 1);
    ofn.nFileExtension = static_cast<WORD>(dot > slash ? dot + 1 : path.GetLength());
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0) {
      const CString title = path.Mid(slash + 1);
      const int n = std::min(static_cast<int>(ofn.nMaxFileTitle) - 1, title.GetLength());
      std::memcpy(ofn.lpstrFileTitle, title.GetString(), static_cast<size_t>(n));
      ofn.lpstrFileTitle[n] = 0;
    }
    ofn.nFilterIndex = static_cast<DWORD>(SelectedFilter());
    m_current = path;
    m_currentQt = full;
    if (m_dlg->OnFileNameOK()) return false;
    return m_hWnd != nullptr;
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    auto copyOut = [&](const CString& s) -> LRESULT {
      if (auto* buf = reinterpret_cast<char*>(lParam); buf && wParam > 0) {
        const int n = std::min(static_cast<int>(wParam) - 1, s.GetLength());
        std::memcpy(buf, s.GetString(), static_cast<size_t>(n));
        buf[n] = 0;
      }
      return s.GetLength() + 1;
    };
    switch (message) {
      case CDM_GETFILEPATH:
        return copyOut(m_current);
      case CDM_GETFOLDERPATH:
        return copyOut(Folder());
      case CDM_GETSPEC:
        return copyOut(m_edit ? QmFromQString(m_edit->text()) : CString());
      case CDM_SETCONTROLTEXT:
        ::SetDlgItemText(m_hWnd, static_cast<int>(wParam), reinterpret_cast<LPCTSTR>(lParam));
        return 0;
      case CDM_HIDECONTROL:
        if (HWND h = ::GetDlgItem(m_hWnd, static_cast<int>(wParam))) ::ShowWindow(h, SW_HIDE);
        return 0;
      case CDM_SETDEFEXT:
        m_dlg->m_strDefExt = lParam ? reinterpret_cast<LPCTSTR>(lParam) : "";
        return 0;
      default:
        return QmCommonHost::WindowProc(message, wParam, lParam);
    }
  }

  CFileDialog* m_dlg;
  QPointer<QFileDialog> m_fd;
  QPointer<QLineEdit> m_edit;
  std::vector<Filter> m_filters;
  int m_filterIndex = 1;
  QSize m_panelSize;
  QString m_currentQt;
  QString m_toldQt;  // the last file told to the dialog object
  CString m_current;
};

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

HWND CCommonDialog::OwnerForModal(HWND given) const {
  HWND owner = given ? given : QmHwnd(m_pParentWnd);
  if (!owner) {
    if (CWnd* main = AfxGetMainWnd()) owner = main->m_hWnd;
  }
  return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_ofn{}, m_bOpenFileDialog(bOpenFileDialog) {
  m_szFileName[0] = 0;
  m_szFileTitle[0] = 0;
  m_ofn.lStructSize = sizeof(m_ofn);
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof(m_szFileName);
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
  m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
  m_ofn.nFilterIndex = 1;
  if (lpszDefExt) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt.GetString();
  }
  if (lpszFileName) {
    std::strncpy(m_szFileName, lpszFileName, sizeof(m_szFileName) - 1);
    m_szFileName[sizeof(m_szFileName) - 1] = 0;
  }
  if (lpszFilter) {
    // "a|b|c|d||" becomes "a\0b\0c\0d\0\0".
    std::string f = lpszFilter;
    for (char& c : f)
      if (c == '|') c = '\0';
    f.push_back('\0');
    f.push_back('\0');
    m_strFilter = CString(f);
    m_ofn.lpstrFilter = m_strFilter.GetString();
  }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
  if (m_ofn.lpstrDefExt && m_ofn.lpstrDefExt != m_strDefExt.GetString()) m_strDefExt = m_ofn.lpstrDefExt;
  // The default locale is the interface's while the dialog is open (the
  // file types' names follow it).
  const QLocale before;
  QLocale::setDefault(InterfaceLocale());
  QmFileDialogHost host(this);
  const INT_PTR r = host.Run(OwnerForModal(m_ofn.hwndOwner), "File");
  QLocale::setDefault(before);
  m_host = nullptr;
  m_hDialog = nullptr;
  return r;
}

CString CFileDialog::GetPathName() const {
  if (m_host) return m_host->m_current;
  return m_ofn.lpstrFile ? CString(m_ofn.lpstrFile) : CString();
}

CString CFileDialog::GetFileName() const {
  const CString p = GetPathName();
  const int slash = std::max(p.ReverseFind('/'), p.ReverseFind('\\'));
  return p.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const {
  const CString n = GetFileName();
  const int dot = n.ReverseFind('.');
  return dot >= 0 ? n.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
  const CString n = GetFileName();
  const int dot = n.ReverseFind('.');
  return dot >= 0 ? n.Left(dot) : n;
}

CString CFileDialog::GetFolderPath() const {
  if (m_host) return m_host->Folder();
  const CString p = GetPathName();
  const int slash = std::max(p.ReverseFind('/'), p.ReverseFind('\\'));
  return slash > 0 ? p.Left(slash) : (slash == 0 ? CString("/") : CString());
}

void CFileDialog::SetControlText(int nID, LPCTSTR lpsz) {
  if (m_hDialog) ::SendMessage(m_hDialog, CDM_SETCONTROLTEXT, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(lpsz));
}

void CFileDialog::HideControl(int nID) {
  if (m_hDialog) ::SendMessage(m_hDialog, CDM_HIDECONTROL, static_cast<WPARAM>(nID), 0);
}

void CFileDialog::SetDefExt(LPCTSTR lpsz) { m_strDefExt = lpsz ? lpsz : ""; }

void CFileDialog::OnFileNameChange() {}
void CFileDialog::OnFolderChange() {}
void CFileDialog::OnTypeChange() {}
void CFileDialog::OnInitDone() {}
BOOL CFileDialog::OnFileNameOK() { return FALSE; }

// ---------------------------------------------------------------------------
// Colours.

namespace {

QColor Qc(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF Cr(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

}  // namespace

class QmColorDialogHost : public QmCommonHost {
 public:
  explicit QmColorDialogHost(CColorDialog* dlg) : m_dlg(dlg) {}
  bool Build(HWND owner) override {
    if (!MakeWindow(owner, UiText("Color", "Цвет"), false)) return false;
    CHOOSECOLOR& cc = m_dlg->m_cc;
    if (cc.lpCustColors)
      for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, Qc(cc.lpCustColors[i]));
    auto* cd = Embed<QColorDialog>();
    if (!cd) return false;
    m_cd = cd;
    cd->setOption(QColorDialog::NoButtons, true);
    cd->setCurrentColor((cc.Flags & CC_RGBINIT) ? Qc(cc.rgbResult) : QColor(Qt::black));
    cd->show();
    MakeButtons();
    FitWithButtons(420);
    m_dlg->m_hDialog = m_hWnd;
    if ((cc.Flags & CC_ENABLEHOOK) && cc.lpfnHook) cc.lpfnHook(m_hWnd, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&cc));
    return m_hWnd != nullptr;
  }
  void LayOut() override {
    CRect client;
    if (PlaceQt(0, kButtonRow, &client)) PlaceButtons(client.Width(), client.Height());
  }
  bool Accept() override {
    CHOOSECOLOR& cc = m_dlg->m_cc;
    cc.rgbResult = Cr(m_cd->currentColor());
    if (cc.lpCustColors)
      for (int i = 0; i < 16; ++i) cc.lpCustColors[i] = Cr(QColorDialog::customColor(i));
    return true;
  }
  CColorDialog* m_dlg;
  QPointer<QColorDialog> m_cd;
};

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF colors[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
  return colors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd), m_cc{} {
  m_cc.lStructSize = sizeof(m_cc);
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags;
  m_cc.rgbResult = clrInit;
  if (clrInit) m_cc.Flags |= CC_RGBINIT;
}

void CColorDialog::SetCurrentColor(COLORREF clr) {
  m_cc.rgbResult = clr;
  m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
  QmColorDialogHost host(this);
  const INT_PTR r = host.Run(OwnerForModal(m_cc.hwndOwner), "Colour");
  m_hDialog = nullptr;
  return r;
}

// ---------------------------------------------------------------------------
// Fonts.

namespace {

// A family without its foundry ("Standard Symbols PS [urw]" when two
// foundries have it).
QString PlainFamily(QString family) {
  const int bracket = family.lastIndexOf(QLatin1String(" ["));
  if (bracket > 0 && family.endsWith(QLatin1Char(']'))) family.truncate(bracket);
  return family;
}

// The name under which the font list shows a family (with its foundry
// when two foundries have it).
QString ListedFamily(const QString& family) {
  const QStringList all = QFontDatabase::families();
  if (all.contains(family)) return family;
  for (const QString& f : all)
    if (f.startsWith(family + QLatin1String(" ["), Qt::CaseInsensitive)) return f;
  return family;
}

// The font's style by the family's own style names ("Bold", not a
// translated name that the font list would not find).
void NameStyle(QFont& f) {
  const QString family = f.family();
  for (const QString& style : QFontDatabase::styles(family)) {
    if (QFontDatabase::bold(family, style) == (f.weight() >= QFont::DemiBold) &&
        QFontDatabase::italic(family, style) == f.italic()) {
      f.setStyleName(style);
      return;
    }
  }
}

bool IsSymbolFamily(const QString& family) {
  static const char* const names[] = {"Symbol", "Standard Symbols PS", "Standard Symbols L", "Webdings", "Wingdings",
                                      "Wingdings 2", "Wingdings 3", "Dingbats", "D050000L", "OpenSymbol", "Marlett"};
  for (const char* n : names)
    if (family.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
  return QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol) &&
         !QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin);
}

}  // namespace

class QmFontDialogHost : public QmCommonHost {
 public:
  explicit QmFontDialogHost(CFontDialog* dlg) : m_dlg(dlg) {}
  bool Build(HWND owner) override {
    if (!MakeWindow(owner, UiText("Font", "Шрифт"), false)) return false;
    CHOOSEFONT& cf = m_dlg->m_cf;
    auto* fd = Embed<QFontDialog>();
    if (!fd) return false;
    m_fd = fd;
    fd->setOption(QFontDialog::NoButtons, true);
    // The font given: its family as this layer maps its face, in points.
    m_initialFamily = qmgdi::MapFaceName(m_dlg->m_lf.lfFaceName, m_dlg->m_lf.lfCharSet, m_dlg->m_lf.lfPitchAndFamily);
    QFont f(ListedFamily(m_initialFamily));
    if (cf.Flags & CF_INITTOLOGFONTSTRUCT) {
      HFONT h = CreateFontIndirect(&m_dlg->m_lf);
      if (h) {
        const QFont mapped = QmFontOf(h);
        DeleteObject(h);
        f = mapped;
        f.setFamily(ListedFamily(m_initialFamily));
        const int px = mapped.pixelSize() > 0 ? mapped.pixelSize() : 13;
        f.setPointSizeF(px * 72.0 / 96.0);
      }
    }
    NameStyle(f);
    fd->setCurrentFont(f);
    fd->show();
    // The colour row of the Windows dialog (effects), then OK and Cancel.
    if (cf.Flags & CF_EFFECTS) {
      MakeControl("Static", UiText("&Color:", "&Цвет:"), WS_VISIBLE | SS_LEFT, CRect(0, 0, 60, 20), QM_IDC_FONT_COLOR_LABEL);
      m_colorBox = MakeControl("QmFontColorBox", CString(), WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 150, 24), QM_IDC_FONT_COLOR);
      int sel = 0;
      for (int i = 0; i < 16; ++i)
        if (kColors[i].color == cf.rgbColors) sel = i;
      ::SendMessage(m_colorBox, CB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    }
    MakeButtons();
    FitWithButtons(460);
    m_dlg->m_hDialog = m_hWnd;
    if ((cf.Flags & CF_ENABLEHOOK) && cf.lpfnHook) cf.lpfnHook(m_hWnd, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&cf));
    return m_hWnd != nullptr;
  }
  void LayOut() override {
    CRect client;
    if (!PlaceQt(0, kButtonRow, &client)) return;
    const int y = client.Height() - 8 - 26;
    if (HWND label = ::GetDlgItem(m_hWnd, QM_IDC_FONT_COLOR_LABEL)) ::MoveWindow(label, 12, y + 5, 60, 20, TRUE);
    if (m_colorBox) ::MoveWindow(m_colorBox, 76, y + 1, 150, 24, TRUE);
    PlaceButtons(client.Width(), client.Height());
  }
  bool Accept() override {
    CHOOSEFONT& cf = m_dlg->m_cf;
    LOGFONT& lf = m_dlg->m_lf;
    const QFont f = m_fd->currentFont();
    const QString family = PlainFamily(f.family());
    const bool symbol = IsSymbolFamily(family);
    if (family.compare(m_initialFamily, Qt::CaseInsensitive) != 0) {
      CString face;
      if (!ProgramPath(family, &face)) face = QmFromQString(family);
      std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
      std::strncpy(lf.lfFaceName, face.GetString(), sizeof(lf.lfFaceName) - 1);
      lf.lfCharSet = symbol ? SYMBOL_CHARSET : (GetAnsiCodePage() == 1251 ? RUSSIAN_CHARSET : ANSI_CHARSET);
    } else if (symbol) {
      lf.lfCharSet = SYMBOL_CHARSET;
    }
    const double points = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 72.0 / 96.0;
    lf.lfHeight = -static_cast<LONG>(points * 96.0 / 72.0 + 0.5);
    lf.lfWidth = 0;
    lf.lfWeight = f.weight() >= QFont::DemiBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic() ? 1 : 0;
    if (cf.Flags & CF_EFFECTS) {
      lf.lfUnderline = f.underline() ? 1 : 0;
      lf.lfStrikeOut = f.strikeOut() ? 1 : 0;
      const int sel = m_colorBox ? static_cast<int>(::SendMessage(m_colorBox, CB_GETCURSEL, 0, 0)) : -1;
      if (sel >= 0 && sel < 16) cf.rgbColors = kColors[sel].color;
    }
    cf.iPointSize = static_cast<INT>(points * 10.0 + 0.5);
    if (cf.lpLogFont && cf.lpLogFont != &lf) *cf.lpLogFont = lf;
    return true;
  }
  CFontDialog* m_dlg;
  QPointer<QFontDialog> m_fd;
  QString m_initialFamily;
  HWND m_colorBox = nullptr;
};

IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)

CFontDialog::CFontDialog(LPLOGFONT lplfInitial, DWORD dwFlags, CDC*, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_cf{}, m_lf{} {
  m_cf.lStructSize = sizeof(m_cf);
  m_cf.lpLogFont = &m_lf;
  m_cf.Flags = dwFlags;
  if (lplfInitial) {
    m_lf = *lplfInitial;
    m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
}

INT_PTR CFontDialog::DoModal() {
  if (m_cf.lpLogFont && m_cf.lpLogFont != &m_lf) m_lf = *m_cf.lpLogFont;
  QmFontDialogHost host(this);
  const INT_PTR r = host.Run(OwnerForModal(m_cf.hwndOwner), "Font");
  m_hDialog = nullptr;
  return r;
}

// ---------------------------------------------------------------------------
// Printing.

DWORD CommDlgExtendedError() { return g_commDlgError; }

BOOL PrintDlg(PRINTDLG* lppd) {
  if (lppd) {
    lppd->hDevMode = nullptr;
    lppd->hDevNames = nullptr;
    lppd->hDC = nullptr;
  }
  g_commDlgError = PDERR_NODEFAULTPRN;
  return FALSE;
}

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

CPrintDialog::CPrintDialog(BOOL, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd), m_pd{} {
  m_pd.lStructSize = sizeof(m_pd);
  m_pd.Flags = dwFlags;
  m_pd.nCopies = 1;
}

INT_PTR CPrintDialog::DoModal() {
  std::fprintf(stderr, "Printing: no printer is known on this system; the print dialog is cancelled\n");
  PrintDlg(&m_pd);
  return IDCANCEL;
}

BOOL CPrintDialog::GetDefaults() {
  m_pd.Flags |= PD_RETURNDEFAULT;
  return PrintDlg(&m_pd);
}

HDC CPrintDialog::CreatePrinterDC() {
  g_commDlgError = PDERR_NODEFAULTPRN;
  return nullptr;
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg) {
  if (pPrintDlg) pPrintDlg->Flags |= PD_RETURNDEFAULT;
  return PrintDlg(pPrintDlg);
}

// ---------------------------------------------------------------------------
// Test hooks.

namespace {
template <class T>
T* HostOf(HWND dialog) {
  return dynamic_cast<T*>(CWnd::FromHandlePermanent(dialog));
}
}  // namespace

bool QmFileDialogSelectFile(HWND dialog, const char* path) {
  auto* h = HostOf<QmFileDialogHost>(dialog);
  if (!h || !h->m_fd || !path) return false;
  const QString p = QtPath(CString(path));
  const QFileInfo fi(QDir(h->m_fd->directory()).absoluteFilePath(p));
  if (fi.path() != h->m_fd->directory().absolutePath()) h->m_fd->setDirectory(fi.path());
  h->m_fd->selectFile(fi.fileName());
  h->OnCurrent(fi.absoluteFilePath());
  return true;
}

bool QmFileDialogChooseFilter(HWND dialog, int index) {
  auto* h = HostOf<QmFileDialogHost>(dialog);
  if (!h || !h->m_fd || index < 1 || index > static_cast<int>(h->m_filters.size())) return false;
  h->m_fd->selectNameFilter(h->m_filters[static_cast<size_t>(index - 1)].text);
  h->OnFilter();
  return true;
}

bool QmFileDialogTypeName(HWND dialog, const char* utf8) {
  auto* h = HostOf<QmFileDialogHost>(dialog);
  if (!h || !h->m_edit) return false;
  // As typed into the name field while it has the focus: the text stays as
  // typed (Qt rewrites the field from the list's selection only when it has
  // no focus) and what the list had selected is no longer.
  if (h->m_fd)
    for (const char* list : {"listView", "treeView"})
      if (auto* v = h->m_fd->findChild<QAbstractItemView*>(QString::fromLatin1(list)))
        if (v->selectionModel()) v->selectionModel()->clearSelection();
  const QSignalBlocker quiet(h->m_edit.data());
  h->m_edit->setText(QString::fromUtf8(utf8 ? utf8 : ""));
  return true;
}

bool QmColorDialogSetColor(HWND dialog, COLORREF color) {
  auto* h = HostOf<QmColorDialogHost>(dialog);
  if (!h || !h->m_cd) return false;
  h->m_cd->setCurrentColor(Qc(color));
  return true;
}

bool QmFontDialogSetFont(HWND dialog, const char* familyUtf8, int pointSize, bool bold, bool italic) {
  auto* h = HostOf<QmFontDialogHost>(dialog);
  if (!h || !h->m_fd || !familyUtf8) return false;
  QFont f(ListedFamily(QString::fromUtf8(familyUtf8)));
  f.setPointSize(pointSize);
  f.setBold(bold);
  f.setItalic(italic);
  NameStyle(f);
  h->m_fd->setCurrentFont(f);
  return true;
}

// ---------------------------------------------------------------------------
// The folder browser.

class QmFolderDialogHost : public QmCommonHost {
 public:
  explicit QmFolderDialogHost(BROWSEINFO* bi) : m_bi(bi) {}

  bool Build(HWND owner) override {
    if (!MakeWindow(owner, UiText("Browse for Folder", "Обзор папок"), false)) return false;
    // The caller's title and the status line above the folders.
    m_top = 8;
    if (m_bi->lpszTitle && *m_bi->lpszTitle) {
      MakeControl("Static", CString(m_bi->lpszTitle), WS_VISIBLE | SS_LEFT | SS_NOPREFIX, CRect(8, 8, 8, 44),
                  QM_IDC_BROWSE_TITLE);
      m_top += 36;
    }
    if (m_bi->ulFlags & BIF_STATUSTEXT) {
      MakeControl("Static", CString(), WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, CRect(8, m_top, 8, m_top + 20),
                  QM_IDC_BROWSE_STATUS);
      m_top += 24;
    }
    auto* fd = Embed<QFileDialog>();
    if (!fd) return false;
    m_fd = fd;
    fd->setFileMode((m_bi->ulFlags & BIF_BROWSEINCLUDEFILES) ? QFileDialog::AnyFile : QFileDialog::Directory);
    fd->setOption(QFileDialog::ShowDirsOnly, !(m_bi->ulFlags & BIF_BROWSEINCLUDEFILES));
    std::string root;
    if (m_bi->pidlRoot && IdListPath(m_bi->pidlRoot, &root)) fd->setDirectory(QString::fromStdString(root));
    m_edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QObject::connect(fd, &QFileDialog::currentChanged, fd, [this](const QString& path) { Select(path); });
    QObject::connect(fd, &QFileDialog::directoryEntered, fd, [this](const QString& path) { Select(path); });
    fd->show();
    SetClientSize(600, m_top + 380);
    LayOut();
    WidenSideBar(fd);
    if (m_bi->lpfn) {
      EnterDispatch();
      m_bi->lpfn(m_hWnd, BFFM_INITIALIZED, 0, m_bi->lParam);
      LeaveDispatch();
    }
    return m_hWnd != nullptr;
  }

  void LayOut() override {
    CRect client;
    if (!PlaceQt(m_top, 0, &client)) return;
    for (int id : {QM_IDC_BROWSE_TITLE, QM_IDC_BROWSE_STATUS}) {
      if (HWND h = ::GetDlgItem(m_hWnd, id)) {
        CRect r;
        ::GetWindowRect(h, &r);
        ScreenToClient(&r);
        ::MoveWindow(h, 8, r.top, client.Width() - 16, r.Height(), TRUE);
      }
    }
  }

  // The folder under the cursor: the callback hears it.
  void Select(const QString& path) {
    if (path.isEmpty() || path == m_current) return;
    m_current = path;
    if (!m_bi->lpfn) return;
    ITEMIDLIST* list = MakeIdList(path.toStdString());
    EnterDispatch();
    m_bi->lpfn(m_hWnd, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(list), m_bi->lParam);
    LeaveDispatch();
    ILFree(list);
  }

  bool Accept() override {
    QString chosen = m_current;
    const QString typed = m_edit ? m_edit->text().trimmed() : QString();
    if (!typed.isEmpty()) chosen = QDir::cleanPath(m_fd->directory().absoluteFilePath(typed));
    if (chosen.isEmpty()) chosen = m_fd->directory().absolutePath();
    if ((m_bi->ulFlags & BIF_RETURNONLYFSDIRS) && !QFileInfo(chosen).isDir()) return false;
    CString cp;
    if (!ProgramPath(chosen, &cp)) {
      CString caption;
      GetWindowText(caption);
      Ask(m_hWnd,
          Format1(UiText("The folder name\n%s\ncontains characters that this program cannot use with the current "
                         "interface language.\nPlease choose another folder.",
                         "Имя папки\n%s\nсодержит символы, которые программа не может использовать при текущем "
                         "языке интерфейса.\nВыберите другую папку."),
                  QmFromQString(QFileInfo(chosen).fileName())),
          caption, MB_OK | MB_ICONWARNING);
      return false;
    }
    m_result = chosen;
    return true;
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case BFFM_SETSTATUSTEXT:
        ::SetDlgItemText(m_hWnd, QM_IDC_BROWSE_STATUS, lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
        return 0;
      case BFFM_SETSELECTION: {
        QString path;
        if (wParam) {
          path = QtPath(CString(lParam ? reinterpret_cast<LPCTSTR>(lParam) : ""));
        } else {
          std::string utf8;
          if (IdListPath(reinterpret_cast<const ITEMIDLIST*>(lParam), &utf8)) path = QString::fromStdString(utf8);
        }
        SelectPath(path);
        return 0;
      }
      case BFFM_ENABLEOK:
        return 0;
      default:
        return QmCommonHost::WindowProc(message, wParam, lParam);
    }
  }

  void SelectPath(const QString& path) {
    if (!m_fd || path.isEmpty()) return;
    const QFileInfo fi(path);
    if (!fi.exists()) return;
    m_fd->setDirectory(fi.absolutePath());
    m_fd->selectFile(fi.fileName());
    if (m_edit) m_edit->setText(fi.fileName());
    Select(fi.absoluteFilePath());
  }

  BROWSEINFO* m_bi;
  QPointer<QFileDialog> m_fd;
  QPointer<QLineEdit> m_edit;
  int m_top = 8;
  QString m_current;
  QString m_result;
};

LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi) {
  if (!lpbi) return nullptr;
  QmFolderDialogHost host(lpbi);
  HWND owner = lpbi->hwndOwner;
  if (!owner) {
    if (CWnd* main = AfxGetMainWnd()) owner = main->m_hWnd;
  }
  if (owner) owner = ::GetAncestor(owner, GA_ROOT);
  if (host.Run(owner, "Folder") != IDOK || host.m_result.isEmpty()) return nullptr;
  if (lpbi->pszDisplayName) {
    CString name;
    ProgramPath(QFileInfo(host.m_result).fileName(), &name);
    std::strncpy(lpbi->pszDisplayName, name.GetString(), MAX_PATH - 1);
    lpbi->pszDisplayName[MAX_PATH - 1] = 0;
  }
  return MakeIdList(host.m_result.toStdString());
}

bool QmFolderDialogSelect(HWND dialog, const char* path) {
  auto* h = HostOf<QmFolderDialogHost>(dialog);
  if (!h || !path) return false;
  h->SelectPath(QtPath(CString(path)));
  return true;
}
