#include "pdflib/pdflib.h"

#include <atomic>

namespace {

std::atomic<PDFlib::ApiSource> g_apiSource{nullptr};

int Len(const std::string& s) { return static_cast<int>(s.size()); }

}  // namespace

bool PDFlib::IsAcceptedVersion(std::uint32_t tableSize, std::uint32_t major, std::uint32_t minor) {
  return tableSize == kPdfApiReportedSize && major == kPdfApiMajor && minor == kPdfApiMinor;
}

void PDFlib::SetApiSourceForTesting(ApiSource source) { g_apiSource = source; }

PDFlib::PDFlib(PdfAllocProc allocproc, PdfReallocProc reallocproc, PdfFreeProc freeproc, void* opaque) {
  const ApiSource source = g_apiSource.load();
  api_ = source ? source() : PDF_get_api();
  if (!api_ || !IsAcceptedVersion(api_->sizeof_table, api_->major, api_->minor))
    throw Exception("loaded wrong version of PDFlib library", 0, "pdflib", opaque);
  if (allocproc || reallocproc || freeproc)
    throw Exception("memory routines are not supported by this PDF library", 0, "pdflib", opaque);
  p_ = api_->PDF_new2(nullptr, nullptr, nullptr, nullptr, opaque);
  if (!p_) throw Exception("No memory for PDFlib object", 0, "pdflib", opaque);
  try {
    api_->PDF_set_parameter(p_, "binding", "C++");
    Check();
    api_->PDF_set_parameter(p_, "objorient", "true");
    Check();
  } catch (...) {
    api_->PDF_delete(p_);
    throw;
  }
}

PDFlib::~PDFlib() {
  if (p_) api_->PDF_delete(p_);
}

void PDFlib::Throw() const {
  const char* msg = api_->PDF_get_errmsg(p_);
  const int num = api_->PDF_get_errnum(p_);
  const char* name = api_->PDF_get_apiname(p_);
  void* opaque = api_->PDF_get_opaque(p_);
  throw Exception(msg ? msg : "", num, name ? name : "", opaque);
}

int PDFlib::add_table_cell(int table, int column, int row, std::string text, std::string optlist) {
  const int r = api_->PDF_add_table_cell(p_, table, column, row, text.c_str(), Len(text), optlist.c_str());
  Check();
  return r;
}

int PDFlib::add_textflow(int textflow, std::string text, std::string optlist) {
  const int r = api_->PDF_add_textflow(p_, textflow, text.c_str(), Len(text), optlist.c_str());
  Check();
  return r;
}

int PDFlib::begin_document(std::string filename, std::string optlist) {
  const int r = api_->PDF_begin_document(p_, filename.c_str(), 0, optlist.c_str());
  Check();
  return r;
}

void PDFlib::begin_page_ext(double width, double height, std::string optlist) {
  api_->PDF_begin_page_ext(p_, width, height, optlist.c_str());
  Check();
}

int PDFlib::create_bookmark(std::string text, std::string optlist) {
  const int r = api_->PDF_create_bookmark(p_, text.c_str(), Len(text), optlist.c_str());
  Check();
  return r;
}

int PDFlib::create_textflow(std::string text, std::string optlist) {
  const int r = api_->PDF_create_textflow(p_, text.c_str(), Len(text), optlist.c_str());
  Check();
  return r;
}

void PDFlib::delete_table(int table, std::string optlist) {
  api_->PDF_delete_table(p_, table, optlist.c_str());
  Check();
}

void PDFlib::end_document(std::string optlist) {
  api_->PDF_end_document(p_, optlist.c_str());
  Check();
}

void PDFlib::end_page_ext(std::string optlist) {
  api_->PDF_end_page_ext(p_, optlist.c_str());
  Check();
}

void PDFlib::clip() {
  api_->PDF_clip(p_);
  Check();
}

void PDFlib::save() {
  api_->PDF_save(p_);
  Check();
}

void PDFlib::restore() {
  api_->PDF_restore(p_);
  Check();
}

void PDFlib::fill() {
  api_->PDF_fill(p_);
  Check();
}

void PDFlib::fit_image(int image, double x, double y, std::string optlist) {
  api_->PDF_fit_image(p_, image, x, y, optlist.c_str());
  Check();
}

std::string PDFlib::fit_table(int table, double llx, double lly, double urx, double ury, std::string optlist) {
  const char* r = api_->PDF_fit_table(p_, table, llx, lly, urx, ury, optlist.c_str());
  Check();
  return r ? std::string(r) : std::string();
}

std::string PDFlib::fit_textflow(int textflow, double llx, double lly, double urx, double ury, std::string optlist) {
  const char* r = api_->PDF_fit_textflow(p_, textflow, llx, lly, urx, ury, optlist.c_str());
  Check();
  return r ? std::string(r) : std::string();
}

void PDFlib::fit_textline(std::string text, double x, double y, std::string optlist) {
  api_->PDF_fit_textline(p_, text.c_str(), Len(text), x, y, optlist.c_str());
  Check();
}

double PDFlib::info_table(int table, std::string keyword) {
  const double r = api_->PDF_info_table(p_, table, keyword.c_str());
  Check();
  return r;
}

void PDFlib::lineto(double x, double y) {
  api_->PDF_lineto(p_, x, y);
  Check();
}

int PDFlib::load_font(std::string fontname, std::string encoding, std::string optlist) {
  const int r = api_->PDF_load_font(p_, fontname.c_str(), 0, encoding.c_str(), optlist.c_str());
  Check();
  return r;
}

int PDFlib::load_image(std::string imagetype, std::string filename, std::string optlist) {
  const int r = api_->PDF_load_image(p_, imagetype.c_str(), filename.c_str(), 0, optlist.c_str());
  Check();
  return r;
}

void PDFlib::moveto(double x, double y) {
  api_->PDF_moveto(p_, x, y);
  Check();
}

void PDFlib::rect(double x, double y, double width, double height) {
  api_->PDF_rect(p_, x, y, width, height);
  Check();
}

void PDFlib::resume_page(std::string optlist) {
  api_->PDF_resume_page(p_, optlist.c_str());
  Check();
}

void PDFlib::setfont(int font, double fontsize) {
  api_->PDF_setfont(p_, font, fontsize);
  Check();
}

void PDFlib::set_info(std::string key, std::string value) {
  api_->PDF_set_info2(p_, key.c_str(), value.c_str(), Len(value));
  Check();
}

void PDFlib::set_parameter(std::string key, std::string value) {
  api_->PDF_set_parameter(p_, key.c_str(), value.c_str());
  Check();
}

void PDFlib::setcolor(std::string fstype, std::string colorspace, double c1, double c2, double c3, double c4) {
  api_->PDF_setcolor(p_, fstype.c_str(), colorspace.c_str(), c1, c2, c3, c4);
  Check();
}

void PDFlib::setlinewidth(double width) {
  api_->PDF_setlinewidth(p_, width);
  Check();
}

void PDFlib::show_xy(std::string text, double x, double y) {
  api_->PDF_show_xy2(p_, text.c_str(), Len(text), x, y);
  Check();
}

double PDFlib::stringwidth(std::string text, int font, double fontsize) {
  const double r = api_->PDF_stringwidth2(p_, text.c_str(), Len(text), font, fontsize);
  Check();
  return r;
}

void PDFlib::stroke() {
  api_->PDF_stroke(p_);
  Check();
}

void PDFlib::suspend_page(std::string optlist) {
  api_->PDF_suspend_page(p_, optlist.c_str());
  Check();
}
