// The palette as an XML document for other programs: one Color element per
// colour, in colour-index order, written as one line. The document is
// UTF-8 as it declares: the palette's texts (interface code page) are
// converted, and '&', '<', '>' and '"' in them are written as entities, so
// any name the palette holds gives a file that parses. Nothing reads the
// document back.
#pragma once

#include "platform/base.h"

// What the caller puts into the root element, and whether each colour
// carries its count.
struct CPaletteXmlInfo {
  explicit CPaletteXmlInfo(bool writeCount = false) : writeCount(writeCount) {}
  CString software;   // interface code page
  CString versionId;
  CString webLink;
  bool writeCount;
};

// A text of the interface code page as the value of an XML attribute:
// UTF-8, with '&', '<', '>', '"' as entities, tab and line ends as
// character references and other control characters left out.
std::string XmlAttributeValue(const CString& text);
