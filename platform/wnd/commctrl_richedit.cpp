// Rich edits (RichEdit20A) over a Qt text view: text and RTF streamed in
// (EM_STREAMIN), shown read-only or editable. The RTF reader takes what
// license and help texts use: paragraphs, line breaks and tabs, bold,
// italic and underline, font sizes, colours from the colour table, font
// faces from the font table, alignment, indents and paragraph spacing,
// special characters, \'hh bytes in the document's code page and \uN
// characters. Other control words and ignorable destinations are skipped.
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/gdi/internal.h"
#include "platform/wnd/commctrl_internal.h"

namespace qmwnd::cc {

namespace {

// ---------------------------------------------------------------------------
// The RTF reader.

struct RtfFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 24;
  int color = 0;
  int font = -1;
  int align = 0;  // 0 left, 1 centre, 2 right, 3 justified
  int leftIndent = 0;
  int firstIndent = 0;
  int spaceBefore = 0;
  int spaceAfter = 0;
  int skipChars = 1;  // \ucN
  bool skip = false;  // inside a destination that is not shown
  int dest = 0;       // 1 font table, 2 colour table
};

struct RtfFont {
  std::string face;
  UINT codePage = 0;
};

class RtfReader {
 public:
  RtfReader(QTextCursor cursor, const QFont& base) : cur_(cursor), base_(base) {}

  void Read(const std::string& rtf) {
    src_ = rtf;
    std::vector<RtfFormat> stack;
    RtfFormat f;
    bool ignorableNext = false;
    size_t i = 0;
    while (i < src_.size()) {
      const char c = src_[i];
      if (c == '{') {
        Flush(f);
        stack.push_back(f);
        ++i;
        continue;
      }
      if (c == '}') {
        Flush(f);
        EndGroup(f);
        if (!stack.empty()) {
          f = stack.back();
          stack.pop_back();
        }
        ++i;
        continue;
      }
      if (c == '\r' || c == '\n') {
        ++i;
        continue;
      }
      if (c != '\\') {
        Text(f, c);
        ++i;
        continue;
      }
      // A control symbol or word.
      ++i;
      if (i >= src_.size()) break;
      const char d = src_[i];
      if (!std::isalpha(static_cast<unsigned char>(d))) {
        ++i;
        switch (d) {
          case '\\':
          case '{':
          case '}': Text(f, d); break;
          case '\'': {
            if (i + 2 <= src_.size()) {
              const int v = std::stoi(src_.substr(i, 2), nullptr, 16);
              i += 2;
              Text(f, static_cast<char>(v));
            }
            break;
          }
          case '*':
            ignorableNext = true;
            break;
          case '~': Unicode(f, 0x00A0); break;
          case '_': Unicode(f, 0x2011); break;
          case '\r':
          case '\n': Word(f, "par", 0, false); break;
          default: break;  // optional hyphens and the like
        }
        continue;
      }
      size_t j = i;
      while (j < src_.size() && std::isalpha(static_cast<unsigned char>(src_[j]))) ++j;
      const std::string word = src_.substr(i, j - i);
      bool hasParam = false;
      int param = 0;
      if (j < src_.size() && (src_[j] == '-' || std::isdigit(static_cast<unsigned char>(src_[j])))) {
        size_t k = j + (src_[j] == '-' ? 1 : 0);
        while (k < src_.size() && std::isdigit(static_cast<unsigned char>(src_[k]))) ++k;
        if (k > j + (src_[j] == '-' ? 1 : 0)) {
          param = static_cast<int>(std::strtol(src_.substr(j, k - j).c_str(), nullptr, 10));
          hasParam = true;
          j = k;
        }
      }
      if (j < src_.size() && src_[j] == ' ') ++j;
      i = j;
      if (ignorableNext) {
        ignorableNext = false;
        // An ignorable destination this reader does not know: skipped.
        Flush(f);
        f.skip = true;
        continue;
      }
      if (word == "u" && hasParam) {
        Unicode(f, param < 0 ? param + 65536 : param);
        // The stand-in characters that follow.
        for (int n = 0; n < f.skipChars && i < src_.size(); ++n) {
          if (src_[i] == '\\' && i + 1 < src_.size() && src_[i + 1] == '\'') i += 4;
          else if (src_[i] == '{' || src_[i] == '}') break;
          else ++i;
        }
        continue;
      }
      Word(f, word, param, hasParam);
    }
    Flush(f);
  }

 private:
  static bool Destination(const std::string& w) {
    static const char* const kSkipped[] = {"stylesheet", "info", "pict", "object", "header", "footer", "headerl",
                                           "headerr", "footerl", "footerr", "footnote", "listtable",
                                           "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "themedata",
                                           "colorschememapping", "latentstyles", "datastore", "fldinst", "bkmkstart",
                                           "bkmkend", "comment", "revtbl", "filetbl", "nonshppict", "shppict"};
    for (const char* s : kSkipped)
      if (w == s) return true;
    return false;
  }

  void Word(RtfFormat& f, const std::string& w, int p, bool hasParam) {
    if (w == "fonttbl") {
      Flush(f);
      f.dest = 1;
      return;
    }
    if (w == "colortbl") {
      Flush(f);
      f.dest = 2;
      colors_.clear();
      color_ = QColor(0, 0, 0);
      colorSet_ = false;
      return;
    }
    if (Destination(w)) {
      Flush(f);
      f.skip = true;
      return;
    }
    if (f.dest == 1) {
      if (w == "f" && hasParam) fontIndex_ = p;
      else if (w == "fcharset" && hasParam) fonts_[fontIndex_].codePage = CharsetCodePage(p);
      else if (w == "cpg" && hasParam) fonts_[fontIndex_].codePage = static_cast<UINT>(p);
      return;
    }
    if (f.dest == 2) {
      if (w == "red") color_.setRed(std::clamp(p, 0, 255)), colorSet_ = true;
      else if (w == "green") color_.setGreen(std::clamp(p, 0, 255)), colorSet_ = true;
      else if (w == "blue") color_.setBlue(std::clamp(p, 0, 255)), colorSet_ = true;
      return;
    }
    if (w == "ansicpg" && hasParam) {
      codePage_ = static_cast<UINT>(p);
      return;
    }
    if (w == "deff" && hasParam) {
      defaultFont_ = p;
      return;
    }
    // Paragraphs.
    if (w == "par") {
      Flush(f);
      NewBlock(f);
      return;
    }
    if (w == "pard") {
      Flush(f);
      f.align = 0;
      f.leftIndent = f.firstIndent = f.spaceBefore = f.spaceAfter = 0;
      ApplyBlock(f);
      return;
    }
    if (w == "ql" || w == "qc" || w == "qr" || w == "qj") {
      f.align = w == "ql" ? 0 : w == "qc" ? 1 : w == "qr" ? 2 : 3;
      ApplyBlock(f);
      return;
    }
    if (w == "li") { f.leftIndent = p; ApplyBlock(f); return; }
    if (w == "fi") { f.firstIndent = p; ApplyBlock(f); return; }
    if (w == "sb") { f.spaceBefore = p; ApplyBlock(f); return; }
    if (w == "sa") { f.spaceAfter = p; ApplyBlock(f); return; }
    // Characters.
    Flush(f);
    if (w == "plain") {
      const int keepSkip = f.skipChars;
      const bool keep = f.skip;
      const int dest = f.dest;
      const int align = f.align, li = f.leftIndent, fi = f.firstIndent, sb = f.spaceBefore, sa = f.spaceAfter;
      f = RtfFormat();
      f.skipChars = keepSkip;
      f.skip = keep;
      f.dest = dest;
      f.align = align, f.leftIndent = li, f.firstIndent = fi, f.spaceBefore = sb, f.spaceAfter = sa;
    } else if (w == "b") {
      f.bold = !hasParam || p != 0;
    } else if (w == "i") {
      f.italic = !hasParam || p != 0;
    } else if (w == "ul") {
      f.underline = !hasParam || p != 0;
    } else if (w == "ulnone") {
      f.underline = false;
    } else if (w == "fs" && hasParam) {
      f.halfPoints = std::clamp(p, 2, 400);
    } else if (w == "cf" && hasParam) {
      f.color = p;
    } else if (w == "f" && hasParam) {
      f.font = p;
    } else if (w == "uc" && hasParam) {
      f.skipChars = std::max(0, p);
    } else if (w == "line") {
      Unicode(f, 0x2028);
    } else if (w == "tab") {
      Unicode(f, '\t');
    } else if (w == "emdash") {
      Unicode(f, 0x2014);
    } else if (w == "endash") {
      Unicode(f, 0x2013);
    } else if (w == "bullet") {
      Unicode(f, 0x2022);
    } else if (w == "lquote") {
      Unicode(f, 0x2018);
    } else if (w == "rquote") {
      Unicode(f, 0x2019);
    } else if (w == "ldblquote") {
      Unicode(f, 0x201C);
    } else if (w == "rdblquote") {
      Unicode(f, 0x201D);
    }
    // Anything else is skipped.
  }

  static UINT CharsetCodePage(int charset) {
    switch (charset) {
      case 204: return 1251;
      case 0: return 1252;
      case 238: return 1250;
      case 161: return 1253;
      case 162: return 1254;
      default: return 0;
    }
  }

  void EndGroup(RtfFormat& f) {
    if (f.dest == 1) {
      // A font table entry ends with its face name.
    }
    (void)f;
  }

  void Text(RtfFormat& f, char c) {
    if (f.skip) return;
    if (f.dest == 1) {
      if (c == ';') {
        fonts_[fontIndex_].face = faceBytes_;
        faceBytes_.clear();
      } else {
        faceBytes_ += c;
      }
      return;
    }
    if (f.dest == 2) {
      if (c == ';') {
        colors_.push_back(colorSet_ ? color_ : QColor());
        color_ = QColor(0, 0, 0);
        colorSet_ = false;
      }
      return;
    }
    bytes_ += c;
  }

  void Unicode(RtfFormat& f, int code) {
    if (f.skip || f.dest) return;
    Flush(f);
    pending_ += QChar(static_cast<char16_t>(code));
    Flush(f);
  }

  UINT CodePageOf(const RtfFormat& f) const {
    const int font = f.font >= 0 ? f.font : defaultFont_;
    auto it = fonts_.find(font);
    if (it != fonts_.end() && (it->second.codePage == 1251 || it->second.codePage == 1252)) return it->second.codePage;
    if (codePage_ == 1251 || codePage_ == 1252) return codePage_;
    return GetAnsiCodePage();
  }

  void Flush(const RtfFormat& f) {
    if (!bytes_.empty()) {
      const std::string utf8 = CodePageToUtf8(bytes_, CodePageOf(f));
      pending_ += QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
      bytes_.clear();
    }
    if (pending_.isEmpty()) return;
    QTextCharFormat cf;
    QFont font = base_;
    const int face = f.font >= 0 ? f.font : defaultFont_;
    if (auto it = fonts_.find(face); it != fonts_.end() && !it->second.face.empty())
      font.setFamily(qmgdi::MapFaceName(it->second.face.c_str(), 0, 0));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    // Half points at 96 pixels per inch.
    font.setPixelSize(std::max(1, f.halfPoints * 96 / 144));
    cf.setFont(font);
    if (f.color > 0 && f.color < static_cast<int>(colors_.size()) && colors_[static_cast<size_t>(f.color)].isValid())
      cf.setForeground(colors_[static_cast<size_t>(f.color)]);
    cur_.insertText(pending_, cf);
    pending_.clear();
  }

  QTextBlockFormat BlockOf(const RtfFormat& f) const {
    QTextBlockFormat bf;
    bf.setAlignment(f.align == 1 ? Qt::AlignHCenter : f.align == 2 ? Qt::AlignRight : f.align == 3 ? Qt::AlignJustify : Qt::AlignLeft);
    // Twips at 96 pixels per inch.
    bf.setLeftMargin(f.leftIndent / 15.0);
    bf.setTextIndent(f.firstIndent / 15.0);
    bf.setTopMargin(f.spaceBefore / 15.0);
    bf.setBottomMargin(f.spaceAfter / 15.0);
    return bf;
  }

  void ApplyBlock(const RtfFormat& f) {
    if (f.skip || f.dest) return;
    cur_.setBlockFormat(BlockOf(f));
  }

  void NewBlock(const RtfFormat& f) {
    if (f.skip || f.dest) return;
    cur_.insertBlock(BlockOf(f));
  }

  QTextCursor cur_;
  QFont base_;
  std::string src_;
  std::string bytes_;
  QString pending_;
  std::map<int, RtfFont> fonts_;
  int fontIndex_ = 0;
  int defaultFont_ = 0;
  std::string faceBytes_;
  std::vector<QColor> colors_;
  QColor color_;
  bool colorSet_ = false;
  UINT codePage_ = 0;
};

// ---------------------------------------------------------------------------

QTextEdit* EditOf(HWND hwnd) { return qobject_cast<QTextEdit*>(QmWidgetOf(hwnd)); }

QString Plain(const QTextEdit* e) {
  QString s = e->document()->toPlainText();
  s.replace(QChar(0x2028), QLatin1Char('\n'));
  s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return s;
}

void SetRtf(QTextEdit* e, const std::string& bytes, bool selection) {
  QTextCursor c = e->textCursor();
  if (!selection) {
    e->clear();
    c = QTextCursor(e->document());
  }
  c.beginEditBlock();
  c.removeSelectedText();
  RtfReader(c, e->font()).Read(bytes);
  c.endEditBlock();
  e->moveCursor(QTextCursor::Start);
}

void SetPlain(QTextEdit* e, const std::string& bytes, bool selection) {
  QString t = QmToQString(bytes.c_str());
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (selection) {
    e->textCursor().insertText(t);
  } else {
    e->setPlainText(t);
    e->moveCursor(QTextCursor::Start);
  }
}

class RichEditClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) override {
    const DWORD style = static_cast<DWORD>(cs.style);
    auto* e = new QTextEdit(parent);
    e->setAcceptRichText(false);
    e->setUndoRedoEnabled(!(style & ES_READONLY));
    e->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    e->setHorizontalScrollBarPolicy((style & WS_HSCROLL) && (style & ES_AUTOHSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    e->setLineWrapMode((style & ES_AUTOHSCROLL) ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
    e->setTabChangesFocus(true);
    e->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    e->document()->setDocumentMargin(2);
    // The text view shows its own scroll bars.
    if (Window* w = Find(hwnd)) w->scroll[SB_HORZ].shown = w->scroll[SB_VERT].shown = false;
    return e;
  }

  void StyleChanged(HWND hwnd, QWidget* widget, DWORD style) override {
    auto* e = qobject_cast<QTextEdit*>(widget);
    if (!e) return;
    if (Window* w = Find(hwnd)) {
      const bool edge = (style & WS_BORDER) || (w->exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
      e->setFrameStyle(edge ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
      w->scroll[SB_HORZ].shown = w->scroll[SB_VERT].shown = false;
    }
    e->setReadOnly((style & ES_READONLY) != 0);
  }

  void TextChanged(HWND, QWidget* widget, const CString& text) override {
    auto* e = qobject_cast<QTextEdit*>(widget);
    if (!e) return;
    const std::string t = text.str();
    if (t.rfind("{\\rtf", 0) == 0) SetRtf(e, t, false);
    else SetPlain(e, t, false);
  }

  UINT DialogCode(HWND hwnd) override {
    UINT c = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if ((StyleOf(hwnd) & ES_MULTILINE) && (StyleOf(hwnd) & ES_WANTRETURN)) c |= DLGC_WANTMESSAGE;
    return c;
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    QTextEdit* e = EditOf(hwnd);
    Window* w = Find(hwnd);
    if (!e || !w) return false;
    switch (message) {
      case EM_STREAMIN: {
        auto* es = reinterpret_cast<EDITSTREAM*>(lParam);
        *result = 0;
        if (!es || !es->pfnCallback) return true;
        std::string bytes;
        BYTE buf[4096];
        for (;;) {
          LONG got = 0;
          const DWORD err = es->pfnCallback(es->dwCookie, buf, static_cast<LONG>(sizeof buf), &got);
          if (err) {
            es->dwError = err;
            break;
          }
          if (got <= 0) break;
          bytes.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(std::min<LONG>(got, sizeof buf)));
        }
        const bool sel = (wParam & SFF_SELECTION) != 0;
        if ((wParam & 0xFF) == SF_RTF) SetRtf(e, bytes, sel);
        else SetPlain(e, bytes, sel);
        w->text = FromQt(Plain(e));
        *result = static_cast<LRESULT>(e->document()->characterCount() - 1);
        return true;
      }
      case EM_STREAMOUT:
        SetLastError(ERROR_NOT_SUPPORTED);
        *result = 0;
        return true;
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH:
        w->text = FromQt(Plain(e));
        return false;
      case EM_SETBKGNDCOLOR: {
        QPalette pal = e->palette();
        const COLORREF c = wParam ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(lParam);
        pal.setColor(QPalette::Base, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        e->setPalette(pal);
        *result = 0;
        return true;
      }
      case EM_SETEVENTMASK: {
        const LRESULT old = e->property("qm_eventmask").toLongLong();
        e->setProperty("qm_eventmask", static_cast<qlonglong>(lParam));
        *result = old;
        return true;
      }
      case EM_EXLIMITTEXT:
      case EM_LIMITTEXT:
        *result = 0;
        return true;
      case EM_SETREADONLY:
        if (wParam) w->style |= ES_READONLY;
        else w->style &= ~ES_READONLY;
        e->setReadOnly(wParam != 0);
        *result = TRUE;
        return true;
      case EM_EXGETSEL:
      case EM_GETSEL: {
        const QTextCursor c = e->textCursor();
        if (message == EM_EXGETSEL) {
          if (auto* r = reinterpret_cast<CHARRANGE*>(lParam)) *r = CHARRANGE{c.selectionStart(), c.selectionEnd()};
          *result = 0;
        } else {
          if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(c.selectionStart());
          if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(c.selectionEnd());
          *result = MAKELONG(static_cast<WORD>(c.selectionStart()), static_cast<WORD>(c.selectionEnd()));
        }
        return true;
      }
      case EM_EXSETSEL:
      case EM_SETSEL: {
        long a = 0, b = 0;
        if (message == EM_EXSETSEL) {
          const auto* r = reinterpret_cast<const CHARRANGE*>(lParam);
          if (!r) return true;
          a = r->cpMin;
          b = r->cpMax;
        } else {
          a = static_cast<long>(static_cast<INT_PTR>(wParam));
          b = static_cast<long>(lParam);
        }
        const int n = e->document()->characterCount() - 1;
        QTextCursor c = e->textCursor();
        if (a < 0) {
          c.clearSelection();
        } else {
          if (b < 0 || b > n) b = n;
          c.setPosition(std::min<int>(static_cast<int>(a), n));
          c.setPosition(static_cast<int>(b), QTextCursor::KeepAnchor);
        }
        e->setTextCursor(c);
        *result = 0;
        return true;
      }
      case EM_GETLINECOUNT:
        *result = e->document()->blockCount();
        return true;
      case WM_GETDLGCODE:
        *result = DialogCode(hwnd);
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void RegisterRichEditClass() {
  QmRegisterControlClass(RICHEDIT_CLASS, CS_DBLCLKS, std::make_unique<RichEditClass>());
  QmRegisterControlClass("RichEdit", CS_DBLCLKS, std::make_unique<RichEditClass>());
}

}  // namespace qmwnd::cc
