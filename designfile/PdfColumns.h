// The PDF colour table's column set-up (CPdfColumnLayout, kept with the
// design's PDF settings) and the colour lists' CColorListData share one
// stored form; these turn one into the other for the code that formats and
// sorts the colour table.
#pragma once

#include "settings/PdfData.h"
#include "palette/ColorListData.h"

CColorListData ToColorListData(const CPdfColumnLayout& layout);
void AssignColorListData(CPdfColumnLayout& layout, const CColorListData& list);
