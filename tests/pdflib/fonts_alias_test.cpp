#include <gtest/gtest.h>

#include <QString>

#include "pdflib/lib/fonts.h"
#include "platform/gdi/internal.h"

// The PDF library finds the same families for Windows face names as the
// drawing layer draws them with, so a chart looks like the screen.
TEST(PdfFontAliasTest, WindowsFacesAgreeWithTheDrawingLayer) {
  for (const qmpdf::FaceAlias& a : qmpdf::WindowsFaceAliases()) {
    EXPECT_EQ(qmgdi::MapFaceName(a.name, 0, 0).toStdString(), a.family) << a.name;
    EXPECT_EQ(qmpdf::ParseFaceName(a.name).family, a.family) << a.name;
  }
  const qmpdf::FaceRequest bold = qmpdf::ParseFaceName("Times New Roman,Bold");
  EXPECT_EQ(bold.family, "Liberation Serif");
  EXPECT_TRUE(bold.bold);
  EXPECT_FALSE(bold.italic);
  EXPECT_EQ(qmpdf::ParseFaceName("Helvetica").family, "Liberation Sans");
  EXPECT_EQ(qmpdf::ParseFaceName("Century").family, "Liberation Serif");
  EXPECT_EQ(qmpdf::ParseFaceName("DejaVu Serif").family, "DejaVu Serif");
}
