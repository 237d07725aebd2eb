#include "pdflib/lib/schemas.h"

#include <iterator>

namespace qmpdf::schemas {
namespace {
const char* const kPermissions[] = {"noprint", "nomodify", "nocopy", nullptr};
constexpr opt::Key kBeginDocumentKeys[] = {
    {"masterpassword", opt::Type::String},
    {"userpassword", opt::Type::String},
    {"permissions", opt::Type::KeywordList, -1e300, 1e300, false, kPermissions},
};

constexpr opt::Key kBeginPageKeys[] = {
    {"width", opt::Type::Number, -1e300, 1e300, true},
    {"height", opt::Type::Number, -1e300, 1e300, true},
};

constexpr opt::Key kEndPageKeys[] = {{"rotate", opt::Type::Int, -360, 360}};

constexpr opt::Key kResumePageKeys[] = {{"pagenumber", opt::Type::Int, 1, 1e9}};

constexpr opt::Key kTextlineKeys[] = {{"rotate", opt::Type::Number}};

const char* const kMeet[] = {"meet", nullptr};
const char* const kOrientations[] = {"north", "west", "south", "east", nullptr};
constexpr opt::Key kFitImageKeys[] = {
    {"boxsize", opt::Type::NumberList, -1e300, 1e300, false, nullptr, nullptr, 2},
    {"position", opt::Type::Position},
    {"fitmethod", opt::Type::Keyword, -1e300, 1e300, false, kMeet},
    {"orientate", opt::Type::Keyword, -1e300, 1e300, false, kOrientations},
};

const char* const kAlignments[] = {"left", "center", "right", "justify", nullptr};
constexpr opt::Key kTextflowKeys[] = {
    {"fontname", opt::Type::String},
    {"encoding", opt::Type::String},
    {"fontsize", opt::Type::Number, -1e300, 1e300, true},
    {"fillcolor", opt::Type::Color},
    {"underline", opt::Type::Bool},
    {"alignment", opt::Type::Keyword, -1e300, 1e300, false, kAlignments},
    {"charref", opt::Type::Bool},
};

const char* const kVAlignments[] = {"top", "center", "bottom", "justify", nullptr};
constexpr opt::Key kFitTextflowKeys[] = {
    {"verticalalign", opt::Type::Keyword, -1e300, 1e300, false, kVAlignments},
    {"linespreadlimit", opt::Type::NumberOrPercent, -1e300, 1e300, true},
};

constexpr opt::Key kFittextlineKeys[] = {
    {"font", opt::Type::Int, 0, 2147483647},
    {"fontsize", opt::Type::Number, -1e300, 1e300, true},
    {"position", opt::Type::Position},
};
constexpr opt::Key kFitimageKeys[] = {
    {"position", opt::Type::Position},
    {"fitmethod", opt::Type::Keyword, -1e300, 1e300, false, kMeet},
};
constexpr opt::Key kMatchboxKeys[] = {{"fillcolor", opt::Type::Color}};
constexpr opt::Key kTableCellKeys[] = {
    {"colwidth", opt::Type::NumberOrPercent, -1e300, 1e300, true},
    {"colspan", opt::Type::Int, 1, 10000},
    {"fittextline", opt::Type::Optlist, -1e300, 1e300, false, nullptr, &kFittextline},
    {"textflow", opt::Type::Int, 1, 2147483647},
    {"image", opt::Type::Int, 1, 2147483647},
    {"fitimage", opt::Type::Optlist, -1e300, 1e300, false, nullptr, &kFitimage},
    {"matchbox", opt::Type::Optlist, -1e300, 1e300, false, nullptr, &kMatchbox},
    {"marginleft", opt::Type::Number, 0, 1e6},
    {"marginright", opt::Type::Number, 0, 1e6},
    {"margintop", opt::Type::Number, 0, 1e6},
    {"marginbottom", opt::Type::Number, 0, 1e6},
};

const char* const kLines[] = {"other", nullptr};
constexpr opt::Key kStrokeKeys[] = {{"line", opt::Type::Keyword, -1e300, 1e300, false, kLines}};
constexpr opt::Key kFitTableKeys[] = {
    {"header", opt::Type::Int, 0, 1000000},
    {"stroke", opt::Type::OptlistList, -1e300, 1e300, false, nullptr, &kStroke},
};

}  // namespace

const opt::Schema kBeginDocument{kBeginDocumentKeys, std::size(kBeginDocumentKeys)};
const opt::Schema kBeginPage{kBeginPageKeys, std::size(kBeginPageKeys)};
const opt::Schema kEndPage{kEndPageKeys, std::size(kEndPageKeys)};
const opt::Schema kResumePage{kResumePageKeys, std::size(kResumePageKeys)};
const opt::Schema kTextline{kTextlineKeys, std::size(kTextlineKeys)};
const opt::Schema kFitImage{kFitImageKeys, std::size(kFitImageKeys)};
const opt::Schema kTextflow{kTextflowKeys, std::size(kTextflowKeys)};
const opt::Schema kFitTextflow{kFitTextflowKeys, std::size(kFitTextflowKeys)};
const opt::Schema kFittextline{kFittextlineKeys, std::size(kFittextlineKeys)};
const opt::Schema kFitimage{kFitimageKeys, std::size(kFitimageKeys)};
const opt::Schema kMatchbox{kMatchboxKeys, std::size(kMatchboxKeys)};
const opt::Schema kTableCell{kTableCellKeys, std::size(kTableCellKeys)};
const opt::Schema kStroke{kStrokeKeys, std::size(kStrokeKeys)};
const opt::Schema kFitTable{kFitTableKeys, std::size(kFitTableKeys)};

const opt::Schema* const kAll[] = {&kBeginDocument, &kBeginPage, &kEndPage, &kResumePage, &kTextline, &kFitImage,
                                   &kTextflow, &kFitTextflow, &kFittextline, &kFitimage, &kMatchbox, &kTableCell,
                                   &kStroke, &kFitTable, &opt::kNoOptions};
const std::size_t kAllCount = std::size(kAll);

}  // namespace qmpdf::schemas
