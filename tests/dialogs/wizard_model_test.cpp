// The parameters page's rules over its field texts: the grid while typing,
// the validation order with its messages and fields, units, proportions and
// the per-mode memory of the bead fields.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "design/WeaveFormat.h"
#include "dialogs/WizParamsModel.h"
#include "dialogs/WizardData.h"
#include "lang/ids/wizard.h"
#include "lang/ids/controls.h"
#include "lang/ids/file.h"

namespace {

CWizParamFields Fields(const char* w, const char* h, const char* bw, const char* bh, const char* s, int unit = 0,
                       int mode = kDesignInInches, double keptWidth = 0.05, double keptHeight = 0.0625) {
  CWizParamFields f;
  f.keptBeadWidth = keptWidth;
  f.keptBeadHeight = keptHeight;
  f.width = w;
  f.height = h;
  f.beadWidth = bw;
  f.beadHeight = bh;
  f.spacer = s;
  f.unit = unit;
  f.designIn = mode;
  return f;
}

}  // namespace

TEST(WizardModel, NumbersTheFieldsAccept) {
  double v = 0;
  int n = 0;
  EXPECT_TRUE(ParsePositiveNumber(" 2.5 ", v));
  EXPECT_DOUBLE_EQ(v, 2.5);
  for (const char* bad : {"", " ", "0", "-1", "abc", "1.5x", "1e3", "0x10", "inf", "nan"})
    EXPECT_FALSE(ParsePositiveNumber(bad, v)) << bad;
  EXPECT_TRUE(ParsePositiveCount("100", n));
  EXPECT_EQ(n, 100);
  for (const char* bad : {"", "0", "-3", "2.5", "12a", "9999999999"}) EXPECT_FALSE(ParsePositiveCount(bad, n)) << bad;
  EXPECT_EQ(FormatFieldValue(0), CString(""));
  EXPECT_EQ(FormatFieldValue(25.4), CString("25.40000"));
}

TEST(WizardModel, GridWhileTyping) {
  CWizardData record;
  CWizSizeInfo info;
  // Inches: 2 inches of 0.1-inch beads with a 0.02 spacer hold 17 beads.
  ASSERT_TRUE(ComputeSizeInfo(Fields("2", "1", "0.1", "0.1", "0.02"), info, &record));
  EXPECT_EQ(info.columns, 17u);
  EXPECT_NEAR(info.actualWidth, 2.02, 1e-12);
  EXPECT_EQ(info.rows, 9u);
  EXPECT_EQ(info.countText, CString("153"));
  EXPECT_DOUBLE_EQ(record.m_params.m_spacer, 0.02);
  EXPECT_DOUBLE_EQ(record.m_params.m_beadWidth, 0.1);
  // Digits grouped by spaces.
  ASSERT_TRUE(ComputeSizeInfo(Fields("100", "100", "0.1", "0.1", "0"), info, &record));
  EXPECT_EQ(info.countText, CString("1 000 000"));
  // Beads mode: 100 x 40 beads keep the bead size chosen (0.05 x 0.0625
  // inch) whatever the size fields held; the size follows (5 x 2.5 inches)
  // and the bead size is shown without trailing zeros.
  ASSERT_TRUE(ComputeSizeInfo(Fields("10", "x", "100", "40", "0", 0, kDesignInBeads), info, &record));
  EXPECT_DOUBLE_EQ(record.m_params.m_beadWidth, 0.05);
  EXPECT_DOUBLE_EQ(record.m_params.m_beadHeight, 0.0625);
  EXPECT_EQ(info.columns, 100u);
  EXPECT_EQ(info.rows, 40u);
  EXPECT_DOUBLE_EQ(info.width, 5.0);
  EXPECT_DOUBLE_EQ(info.height, 2.5);
  EXPECT_EQ(info.countText, CString("0.05 x 0.0625"));
  // With a spacer between the beads.
  ASSERT_TRUE(ComputeSizeInfo(Fields("", "", "10", "4", "0.01", 2, kDesignInBeads), info, &record));
  EXPECT_NEAR(info.width, 0.59, 1e-12);
  EXPECT_NEAR(info.height, 0.28, 1e-12);
  EXPECT_EQ(info.columns, 10u);
  EXPECT_EQ(info.rows, 4u);
  // An empty or bad spacer reads as 0 and is written back.
  ASSERT_TRUE(ComputeSizeInfo(Fields("2", "1", "0.1", "0.1", ""), info, &record));
  EXPECT_TRUE(info.spacerReset);
  EXPECT_DOUBLE_EQ(info.spacer, 0.0);
  // Nothing is read without the size; a bad bead field stops after the spacer.
  record.m_params.m_spacer = 0.5;
  EXPECT_FALSE(ComputeSizeInfo(Fields("", "1", "0.1", "0.1", "0.02"), info, &record));
  EXPECT_DOUBLE_EQ(record.m_params.m_spacer, 0.5);
  EXPECT_FALSE(ComputeSizeInfo(Fields("2", "1", "x", "0.1", "0.02"), info, &record));
  EXPECT_DOUBLE_EQ(record.m_params.m_spacer, 0.02);
  EXPECT_FALSE(ComputeSizeInfo(Fields("2", "1", "0.1", "0.1", "0", 7), info, &record));
}

TEST(WizardModel, BeadsModeWithSpacerGivesBackTheCount) {
  // The length holds the beads typed with the spacers between them, so the
  // grid has exactly that many beads of the size kept.
  for (int n : {1, 2, 7, 33, 100, 250, 1000}) {
    for (double s : {0.0, 0.01, 0.03}) {
      for (double bead : {0.05, static_cast<double>(0.06667f), 0.125, 0.2}) {
        const double length = LengthForBeadCount(n, bead, s);
        double actual = 0;
        EXPECT_EQ(CountBeadsInLength(length, bead, s, &actual), static_cast<unsigned>(n)) << n << " " << s << " " << bead;
        EXPECT_NEAR(actual, length, 1e-9);
      }
    }
  }
  EXPECT_EQ(LengthForBeadCount(0, 0.1, 0.01), 0.0);
}

TEST(WizardModel, ValidationOrderMessagesAndFocus) {
  struct Case {
    CWizParamFields fields;
    UINT message;
    int focus;
  };
  const Case cases[] = {
      {Fields("", "", "", "", ""), IDS_WIZ_WRONG_WIDTH, kIdcWizWidth},
      {Fields("abc", "3", "0.1", "0.1", "0"), IDS_WIZ_WRONG_WIDTH, kIdcWizWidth},
      {Fields("4", "2", "0.1", "0.1", "0", 9), IDS_WIZ_WRONG_WIDTH, kIdcWizWidth},
      {Fields("4", "0", "x", "x", "0"), IDS_WIZ_WRONG_HEIGHT, kIdcWizHeight},
      {Fields("4", "3", "0", "x", "0"), IDS_WRONG_BEAD_WIDTH, kIdcWizBeadWidth},
      {Fields("4", "3", "0.1", "-2", "0"), IDS_WRONG_BEAD_HEIGHT, kIdcWizBeadHeight},
      {Fields("4", "3", "2.5", "10", "0", 0, kDesignInBeads), IDS_WIZ_WRONG_BEAD_COUNT_WIDTH, kIdcWizBeadWidth},
      {Fields("4", "3", "25", "0", "0", 0, kDesignInBeads), IDS_WIZ_WRONG_BEAD_COUNT_HEIGHT, kIdcWizBeadHeight},
      // Beads mode reads the counts, not the size fields; without a kept bead
      // size a count gives nothing.
      {Fields("", "junk", "200", "10", "0.01", 0, kDesignInBeads), 0, 0},
      {Fields("1", "3", "200", "10", "0.01", 0, kDesignInBeads, 0.0, 0.05), IDS_WIZ_WRONG_BEAD_COUNT_WIDTH,
       kIdcWizBeadWidth},
      {Fields("4", "3", "0.1", "0.1", "junk"), 0, 0},
  };
  for (const Case& c : cases) {
    CWizardData record;
    int focus = -1;
    EXPECT_EQ(ReadSizeParameters(c.fields, record, focus), c.message) << c.fields.width << "/" << c.fields.beadWidth;
    EXPECT_EQ(focus, c.message ? c.focus : 0);
  }
  // What was read before the failure is kept.
  CWizardData record;
  int focus = 0;
  EXPECT_EQ(ReadSizeParameters(Fields("25.4", "12.7", "0.2", "bad", "0", 1), record, focus), IDS_WRONG_BEAD_HEIGHT);
  EXPECT_NEAR(record.m_params.m_width, 10.0, 1e-12);
  EXPECT_NEAR(record.m_params.m_height, 5.0, 1e-12);
  EXPECT_DOUBLE_EQ(record.m_params.m_beadWidth, 0.2);
  EXPECT_DOUBLE_EQ(record.m_params.m_beadHeight, 1.0);
  // Beads mode: the size the counts give, with the bead size kept.
  CWizardData beads;
  ASSERT_EQ(ReadSizeParameters(Fields("9", "9", "30", "20", "0.01", 2, kDesignInBeads, 0.07, 0.09), beads, focus), 0u);
  EXPECT_NEAR(beads.m_params.m_width, 30 * 0.07 + 29 * 0.01, 1e-12);
  EXPECT_NEAR(beads.m_params.m_height, 20 * 0.09 + 19 * 0.01, 1e-12);
  EXPECT_DOUBLE_EQ(beads.m_params.m_beadWidth, 0.07);
  EXPECT_DOUBLE_EQ(beads.m_params.m_beadHeight, 0.09);
  EXPECT_EQ(beads.m_params.GetColumnCount(), 30u);
  EXPECT_EQ(beads.m_params.GetRowCount(), 20u);
}

TEST(WizardModel, UnitsAndProportions) {
  CWizParamFields f = Fields("10", "4", "", "", "");
  ASSERT_TRUE(ConvertSizeUnits(f, kUnitInch, kUnitCentimetre));
  EXPECT_EQ(f.width, CString("25.40000"));
  EXPECT_EQ(f.height, CString("10.16000"));
  ASSERT_TRUE(ConvertSizeUnits(f, kUnitCentimetre, kUnitMillimetre));
  EXPECT_EQ(f.width, CString("254.00000"));
  f.height = "";
  EXPECT_FALSE(ConvertSizeUnits(f, kUnitMillimetre, kUnitInch));
  EXPECT_EQ(f.width, CString("254.00000"));
  EXPECT_FALSE(ConvertSizeUnits(f, 5, kUnitInch));

  CWizParamFields p = Fields("4", "", "", "", "");
  ASSERT_TRUE(ApplyProportions(p, 400, 300, true));
  EXPECT_EQ(p.height, CString("3.00000"));
  p.height = "6";
  ASSERT_TRUE(ApplyProportions(p, 400, 300, false));
  EXPECT_EQ(p.width, CString("8.00000"));
  // No picture size yet: nothing happens (no division by zero).
  p.width = "1";
  EXPECT_FALSE(ApplyProportions(p, 0, 300, true));
  EXPECT_FALSE(ApplyProportions(p, 400, 0, true));
  EXPECT_EQ(p.height, CString("6"));
}

TEST(WizardModel, PerModeMemoryOfTheBeadFields) {
  CBeadFieldMemory memory;
  CString w = "0.06250", h = "0.07500";
  int selection = 4;
  memory.Switch(kDesignInBeads, w, h, selection);
  EXPECT_EQ(memory.GetMode(), kDesignInBeads);
  EXPECT_TRUE(w.IsEmpty());
  EXPECT_TRUE(h.IsEmpty());
  w = "120";
  h = "80";
  selection = 0;
  memory.Switch(kDesignInInches, w, h, selection);
  EXPECT_EQ(w, CString("0.06250"));
  EXPECT_EQ(h, CString("0.07500"));
  EXPECT_EQ(selection, 4);
  memory.Switch(kDesignInBeads, w, h, selection);
  EXPECT_EQ(w, CString("120"));
  EXPECT_EQ(h, CString("80"));
  // Starting in Beads, the Inches selection is 10.
  CBeadFieldMemory beads(kDesignInBeads);
  CString a, b;
  int sel = 2;
  beads.Switch(kDesignInInches, a, b, sel);
  EXPECT_EQ(sel, 10);
}

// The bead-size list starts on the preset the bead fields hold.
TEST(WizardModel, TheBeadSizeListAgreesWithTheBeadFields) {
  const std::vector<std::pair<double, double>> presets = {{0.5, 0.5}, {0.25, 0.25}, {0.05f, 0.06667f}};
  struct ChoiceCase {
    double width, height;
    int index;
    bool take;
  };
  const ChoiceCase choices[] = {
      {0.25, 0.25, 1, false},                          // a preset: the list shows it
      {static_cast<float>(0.05), static_cast<float>(0.06667), 2, false},
      {1.0, 1.0, 2, true},                             // never chosen: the list's first choice, its size taken
      {0.123, 0.2, -1, false},                         // the user's own size: no preset shown
  };
  for (const ChoiceCase& c : choices) {
    SCOPED_TRACE(c.width);
    const CBeadSizeChoice choice = ChooseStartBeadSize(presets, c.width, c.height, 2);
    EXPECT_EQ(choice.index, c.index);
    EXPECT_EQ(choice.takePreset, c.take);
  }
}
