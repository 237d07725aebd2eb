// Rich edits: text and RTF streamed in through the reader callback (each
// read hands over at most what is asked), the RTF subset of license texts
// with unknown words and destinations skipped.
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>

#include <cstring>

#include "tests/platform/wnd_commctrl_host.h"

using namespace cctest;

namespace {

struct Source {
  std::string data;
  size_t at = 0;
  int reads = 0;
  LONG largestAsk = 0;
};

DWORD Read(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* pcb) {
  auto* s = reinterpret_cast<Source*>(cookie);
  ++s->reads;
  s->largestAsk = std::max(s->largestAsk, cb);
  // Small pieces, as a reader of a resource may hand them over.
  const LONG n = static_cast<LONG>(std::min<size_t>({static_cast<size_t>(cb), size_t{7}, s->data.size() - s->at}));
  std::memcpy(buf, s->data.data() + s->at, static_cast<size_t>(n));
  s->at += static_cast<size_t>(n);
  *pcb = n;
  return 0;
}

long Stream(CRichEditCtrl& rich, Source& src, int format) {
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = Read;
  return rich.StreamIn(format, es);
}

class CRichTest : public CommCtrl {
 protected:
  void SetUp() override {
    CommCtrl::SetUp();
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_READONLY | ES_MULTILINE |
                                ES_WANTRETURN | WS_TABSTOP,
                            CRect(0, 30, 480, 250), &host, 90));
  }
  QTextEdit* Edit() const { return qobject_cast<QTextEdit*>(QmWidgetOf(rich.m_hWnd)); }
  CRichEditCtrl rich;
};

}  // namespace

TEST_F(CRichTest, TextStreamsInPieceByPiece) {
  Source src{"First line\r\nSecond line"};
  EXPECT_EQ(Stream(rich, src, SF_TEXT), 22);
  EXPECT_GE(src.reads, 4);
  CString text;
  rich.GetWindowText(text);
  EXPECT_EQ(text, CString("First line\r\nSecond line"));
  EXPECT_EQ(rich.GetLineCount(), 2);
  ASSERT_NE(Edit(), nullptr);
  EXPECT_TRUE(Edit()->isReadOnly());
}

TEST_F(CRichTest, RtfSubsetWithUnknownWordsSkipped) {
  Source src{
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
      "{\\colortbl ;\\red192\\green0\\blue0;}{\\*\\generator Writer 1.0;}{\\info{\\title Hidden}}"
      "\\viewkind4\\uc1\\pard\\qc\\b Licence\\b0\\par\\pard\\fs18 Caf\\'e9 {\\i quick} \\frobnicate12 fox"
      "\\tab {\\cf1 red}\\line next\\par \\u1071? and \\{braces\\}\\par}"};
  Stream(rich, src, SF_RTF);
  CString text;
  rich.GetWindowText(text);
  EXPECT_EQ(text, CString("Licence\r\nCaf\xE9 quick fox\tred\r\nnext\r\n? and {braces}\r\n"));
  QTextDocument* doc = Edit()->document();
  // The first paragraph is centred and bold; "quick" italic; "red" red.
  EXPECT_EQ(doc->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  bool bold = false, italic = false, red = false, ya = false;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.text() == QStringLiteral("Licence")) bold = f.charFormat().font().bold();
      if (f.text() == QStringLiteral("quick")) italic = f.charFormat().font().italic();
      if (f.text() == QStringLiteral("red")) red = f.charFormat().foreground().color() == QColor(192, 0, 0);
      if (f.text().contains(QChar(0x042F))) ya = true;
    }
  EXPECT_TRUE(bold);
  EXPECT_TRUE(italic);
  EXPECT_TRUE(red);
  EXPECT_TRUE(ya);  // \u1071 is the character; the "?" after it was its stand-in
}
