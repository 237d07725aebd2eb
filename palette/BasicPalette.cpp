#include "palette/BasicPalette.h"

#include "platform/base/codepage.h"

namespace {

struct BasicColour {
  const char* nickname;
  const char* russian;  // UTF-8
  unsigned char red, green, blue;
};

// Light to dark within each family, the families round the colour wheel.
constexpr BasicColour kBasicColours[] = {
    {"White", "Белый", 255, 255, 255},
    {"Ivory", "Слоновая кость", 250, 243, 224},
    {"Silver", "Серебристый", 192, 192, 192},
    {"Grey", "Серый", 128, 128, 128},
    {"Charcoal", "Графитовый", 64, 64, 64},
    {"Black", "Чёрный", 20, 20, 20},
    {"Cream", "Кремовый", 245, 230, 190},
    {"Beige", "Бежевый", 222, 200, 160},
    {"Sand", "Песочный", 200, 170, 120},
    {"Tan", "Светло-коричневый", 190, 140, 90},
    {"Brown", "Коричневый", 130, 80, 40},
    {"Dark Brown", "Тёмно-коричневый", 80, 45, 20},
    {"Peach", "Персиковый", 250, 200, 170},
    {"Skin", "Телесный", 235, 180, 150},
    {"Salmon", "Лососевый", 250, 150, 130},
    {"Coral", "Коралловый", 240, 120, 100},
    {"Pale Pink", "Бледно-розовый", 250, 210, 220},
    {"Pink", "Розовый", 240, 150, 180},
    {"Rose", "Тёмно-розовый", 220, 80, 130},
    {"Magenta", "Пурпурный", 200, 30, 130},
    {"Light Red", "Светло-красный", 240, 90, 90},
    {"Red", "Красный", 210, 30, 40},
    {"Dark Red", "Тёмно-красный", 150, 20, 30},
    {"Burgundy", "Бордовый", 110, 20, 40},
    {"Light Orange", "Светло-оранжевый", 250, 180, 100},
    {"Orange", "Оранжевый", 240, 130, 30},
    {"Dark Orange", "Тёмно-оранжевый", 200, 90, 20},
    {"Light Yellow", "Светло-жёлтый", 255, 245, 150},
    {"Yellow", "Жёлтый", 250, 220, 40},
    {"Gold", "Золотистый", 210, 170, 40},
    {"Mustard", "Горчичный", 180, 150, 30},
    {"Light Green", "Светло-зелёный", 170, 220, 140},
    {"Lime", "Салатовый", 150, 210, 50},
    {"Green", "Зелёный", 40, 160, 60},
    {"Dark Green", "Тёмно-зелёный", 20, 100, 40},
    {"Olive", "Оливковый", 110, 120, 40},
    {"Mint", "Мятный", 170, 230, 200},
    {"Turquoise", "Бирюзовый", 50, 190, 180},
    {"Teal", "Сине-зелёный", 20, 120, 120},
    {"Light Blue", "Голубой", 160, 200, 240},
    {"Sky Blue", "Небесно-голубой", 90, 170, 230},
    {"Blue", "Синий", 30, 90, 200},
    {"Dark Blue", "Тёмно-синий", 20, 50, 130},
    {"Navy", "Чернильный", 20, 30, 80},
    {"Lavender", "Лавандовый", 200, 180, 230},
    {"Lilac", "Сиреневый", 170, 130, 210},
    {"Purple", "Фиолетовый", 120, 50, 160},
    {"Dark Purple", "Тёмно-фиолетовый", 70, 30, 100},
};

}  // namespace

CColorSet MakeBasicPalette(bool russian) {
  CColorSet palette;
  int number = 0;
  for (const BasicColour& c : kBasicColours) {
    ++number;
    CString code;
    code.Format("QB-%02d", number);
    palette.AppendPlainColor(c.red, c.green, c.blue, code, number);
    palette.GetItem(number - 1).nickname = russian ? CString(Utf8ToCodePage(c.russian, 1251)) : CString(c.nickname);
  }
  palette.CheckAll();
  return palette;
}

namespace {
constexpr char kEnglishName[] = "Basic.pal";
constexpr char kRussianName[] = "Базовая.pal";  // UTF-8
}  // namespace

CString BasicPaletteFileName(bool russian) { return russian ? FromUtf8(kRussianName) : CString(kEnglishName); }

bool IsOtherLanguageBasicPalette(const CString& fileName, bool russianInterface) {
  return fileName.CompareNoCase(BasicPaletteFileName(!russianInterface)) == 0;
}
