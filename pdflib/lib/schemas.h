// The option lists that the library's functions take, one schema each.
#pragma once

#include "pdflib/lib/optlist.h"

namespace qmpdf::schemas {

extern const opt::Schema kBeginDocument, kBeginPage, kEndPage, kResumePage, kTextline, kFitImage, kTextflow,
    kFitTextflow, kFittextline, kFitimage, kMatchbox, kTableCell, kStroke, kFitTable;

// Every schema, for the fuzz target.
extern const opt::Schema* const kAll[];
extern const std::size_t kAllCount;

}  // namespace qmpdf::schemas
