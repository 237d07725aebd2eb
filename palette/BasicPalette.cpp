#include "palette/BasicPalette.h"

namespace {

struct BasicColour {
  const char* nickname;
  unsigned char red, green, blue;
};

// Light to dark within each family, the families round the colour wheel.
constexpr BasicColour kBasicColours[] = {
    {"White", 255, 255, 255},       {"Ivory", 250, 243, 224},      {"Silver", 192, 192, 192},
    {"Grey", 128, 128, 128},        {"Charcoal", 64, 64, 64},      {"Black", 20, 20, 20},
    {"Cream", 245, 230, 190},       {"Beige", 222, 200, 160},      {"Sand", 200, 170, 120},
    {"Tan", 190, 140, 90},          {"Brown", 130, 80, 40},        {"Dark Brown", 80, 45, 20},
    {"Peach", 250, 200, 170},       {"Skin", 235, 180, 150},       {"Salmon", 250, 150, 130},
    {"Coral", 240, 120, 100},       {"Pale Pink", 250, 210, 220},  {"Pink", 240, 150, 180},
    {"Rose", 220, 80, 130},         {"Magenta", 200, 30, 130},     {"Light Red", 240, 90, 90},
    {"Red", 210, 30, 40},           {"Dark Red", 150, 20, 30},     {"Burgundy", 110, 20, 40},
    {"Light Orange", 250, 180, 100}, {"Orange", 240, 130, 30},     {"Dark Orange", 200, 90, 20},
    {"Light Yellow", 255, 245, 150}, {"Yellow", 250, 220, 40},     {"Gold", 210, 170, 40},
    {"Mustard", 180, 150, 30},      {"Light Green", 170, 220, 140}, {"Lime", 150, 210, 50},
    {"Green", 40, 160, 60},         {"Dark Green", 20, 100, 40},   {"Olive", 110, 120, 40},
    {"Mint", 170, 230, 200},        {"Turquoise", 50, 190, 180},   {"Teal", 20, 120, 120},
    {"Light Blue", 160, 200, 240},  {"Sky Blue", 90, 170, 230},    {"Blue", 30, 90, 200},
    {"Dark Blue", 20, 50, 130},     {"Navy", 20, 30, 80},          {"Lavender", 200, 180, 230},
    {"Lilac", 170, 130, 210},       {"Purple", 120, 50, 160},      {"Dark Purple", 70, 30, 100},
};

}  // namespace

CColorSet MakeBasicPalette() {
  CColorSet palette;
  int number = 0;
  for (const BasicColour& c : kBasicColours) {
    ++number;
    CString code;
    code.Format("QB-%02d", number);
    palette.AppendPlainColor(c.red, c.green, c.blue, code, number);
    palette.GetItem(number - 1).nickname = c.nickname;
  }
  palette.CheckAll();
  return palette;
}
