// The palette's XML export: the exact document of an empty palette and of
// one colour, names that need entities or another code page, and a file
// that a real XML reader parses back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/Registry.h"
#include "palette/ColorSet.h"
#include "palette/PaletteXml.h"
#include "tests/common/test_util.h"

namespace {

class LanguageScope {
 public:
  explicit LanguageScope(bool russian) : saved_(IsRussianInterface()) { SetRussianInterface(russian); }
  ~LanguageScope() { SetRussianInterface(saved_); }

 private:
  bool saved_;
};

CPaletteColor MakeColour(const char* name) {
  CPaletteColor c(CRgbTriple(1, 2, 3), name, 17, 42, 225, 150);
  c.nickname = "nick";
  c.colorType = "Opaque";
  c.typeColor = "Red";
  c.durability = "D";
  c.safeColor = "S";
  c.miscInfo = "M";
  return c;
}

}  // namespace

TEST(PaletteXml, EmptyPaletteAndOneColourAreWrittenExactly) {
  LanguageScope english(false);
  CColorSet palette;
  CPaletteXmlInfo info;
  info.software = "Quillmere";
  info.versionId = "Dec 11 2026";
  info.webLink = "https://example.org";
  std::string text;
  palette.BuildXmlText(text, info);
  EXPECT_EQ(text,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Palette numColors=\"0\" software=\"Quillmere\" "
            "VersionID=\"Dec 11 2026\" weblink=\"https://example.org\"><Colors></Colors></Palette>");

  palette.Append(MakeColour("DB-01"));
  EXPECT_EQ(palette.GetColor(0)->ToXmlElement(false),
            "<Color mfg=\"DB-01\" nick=\"nick\" index=\"42\" rgb=\"1,2,3\" ColorType=\"Opaque\" TypeColor=\"Red\" "
            "Durability=\"D\" SafeColor=\"S\" MiscInfo=\"M\" BeadsTube=\"225\" TubePriceCent=\"150\" "
            "GramsBead=\"7.50000\"/>");
  EXPECT_NE(palette.GetColor(0)->ToXmlElement(true).find(" index=\"42\" count=\"17\" rgb="), std::string::npos);
}

TEST(PaletteXml, NamesWithQuotesMarkupAndRussianLettersStayReadable) {
  LanguageScope russian(true);
  // "Красный" in Windows-1251, with a quote, an ampersand and a tag.
  const CString name = FromUtf8("Красный \"№1\" & <b>");
  EXPECT_EQ(XmlAttributeValue(name), "Красный &quot;№1&quot; &amp; &lt;b&gt;");
  EXPECT_EQ(XmlAttributeValue(CString("a\tb\x01" "c")), "a&#9;bc");

  CColorSet palette;
  palette.Append(MakeColour(name));
  palette.Append(MakeColour("plain"));
  CPaletteXmlInfo info;
  info.software = FromUtf8("Квиллмир");
  const auto dir = qmtest::MakeTempDir("palette-xml");
  const auto file = dir / "p.xml";
  std::ofstream(file) << "old contents that are longer than nothing";
  ASSERT_TRUE(palette.ExportXml(CString(file.string().c_str()), info));

  // A real XML reader gets the names back.
  const auto script = dir / "check.py";
  std::ofstream(script) << "import sys, xml.etree.ElementTree as ET\n"
                           "r = ET.parse(sys.argv[1]).getroot()\n"
                           "c = r.find('Colors').findall('Color')\n"
                           "ok = r.get('numColors') == '2' and r.get('software') == 'Квиллмир' and "
                           "c[0].get('mfg') == 'Красный \"№1\" & <b>' and c[1].get('mfg') == 'plain'\n"
                           "sys.exit(0 if ok else 1)\n";
  if (std::system("python3 -c 'import xml.etree.ElementTree' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  const std::string command = "python3 '" + script.string() + "' '" + file.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(PaletteXml, ExportFailsWhenTheFileCannotBeCreated) {
  CColorSet palette;
  EXPECT_FALSE(palette.ExportXml("/nonexistent-folder/x.xml", CPaletteXmlInfo()));
}
