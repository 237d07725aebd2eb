// The units combo of the PDF page-size page and the wizard: "inch", "cm",
// "mm" (indexes 0, 1, 2), "cm" selected under the Russian interface, else
// "inch".
#pragma once

class CComboBox;

void FillRulerUnitCombo(CComboBox* combo);
