#include "tests/pdflib/recording_api.h"

#include <cstdio>

namespace qmtest {

std::vector<std::string> RecordingApi::calls;
std::uint32_t RecordingApi::size, RecordingApi::major, RecordingApi::minor, RecordingApi::revision;
int RecordingApi::failNumber;
std::string RecordingApi::failMessage;
const char* RecordingApi::fitResult;
bool RecordingApi::noContext;
int RecordingApi::deletes;

namespace {

struct Ctx {
  void* opaque;
  bool raised = false;
  int num = 0;
  std::string msg, api;
};

std::string T(const char* s) { return s ? "'" + std::string(s) + "'" : "null"; }
std::string TL(const char* s, int len) {
  if (!s) return "null";
  std::string r = "'";
  const std::size_t n = len > 0 ? static_cast<std::size_t>(len) : std::string(s).size();
  for (std::size_t i = 0; i < n; ++i) r += s[i] ? std::string(1, s[i]) : std::string("\\0");
  return r + "'/" + std::to_string(len);
}
std::string N(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

void Record(PDF* p, const char* api, std::string args) {
  auto* c = reinterpret_cast<Ctx*>(p);
  RecordingApi::calls.push_back(std::string(api) + "(" + args + ")");
  c->raised = false;
  if (RecordingApi::failNumber) {
    c->raised = true;
    c->num = RecordingApi::failNumber;
    c->msg = RecordingApi::failMessage;
    c->api = api;
    RecordingApi::failNumber = 0;
  }
}

PDF* New2(PdfErrorHandler h, PdfAllocProc a, PdfReallocProc r, PdfFreeProc f, void* opaque) {
  RecordingApi::calls.push_back(std::string("PDF_new2(") + (h || a || r || f ? "procs" : "null") + ")");
  if (RecordingApi::noContext) return nullptr;
  return reinterpret_cast<PDF*>(new Ctx{opaque});
}
void Delete(PDF* p) {
  ++RecordingApi::deletes;
  RecordingApi::calls.push_back("PDF_delete()");
  delete reinterpret_cast<Ctx*>(p);
}
int Catch(PDF* p) { return reinterpret_cast<Ctx*>(p)->raised; }
const char* Errmsg(PDF* p) { return reinterpret_cast<Ctx*>(p)->msg.c_str(); }
int Errnum(PDF* p) { return reinterpret_cast<Ctx*>(p)->num; }
const char* Apiname(PDF* p) { return reinterpret_cast<Ctx*>(p)->api.c_str(); }
void* Opaque(PDF* p) { return reinterpret_cast<Ctx*>(p)->opaque; }

PdfFunctionTable MakeTable() {
  PdfFunctionTable t{};
  t.PDF_new2 = New2;
  t.PDF_delete = Delete;
  t.pdf_catch = Catch;
  t.PDF_get_errmsg = Errmsg;
  t.PDF_get_errnum = Errnum;
  t.PDF_get_apiname = Apiname;
  t.PDF_get_opaque = Opaque;
  t.PDF_set_parameter = [](PDF* p, const char* k, const char* v) { Record(p, "set_parameter", T(k) + ", " + T(v)); };
  t.PDF_set_info2 = [](PDF* p, const char* k, const char* v, int len) { Record(p, "set_info2", T(k) + ", " + TL(v, len)); };
  t.PDF_begin_document = [](PDF* p, const char* f, int len, const char* o) {
    Record(p, "begin_document", TL(f, len) + ", " + T(o));
    return 1;
  };
  t.PDF_end_document = [](PDF* p, const char* o) { Record(p, "end_document", T(o)); };
  t.PDF_begin_page_ext = [](PDF* p, double w, double h, const char* o) {
    Record(p, "begin_page_ext", N(w) + ", " + N(h) + ", " + T(o));
  };
  t.PDF_end_page_ext = [](PDF* p, const char* o) { Record(p, "end_page_ext", T(o)); };
  t.PDF_suspend_page = [](PDF* p, const char* o) { Record(p, "suspend_page", T(o)); };
  t.PDF_resume_page = [](PDF* p, const char* o) { Record(p, "resume_page", T(o)); };
  t.PDF_create_bookmark = [](PDF* p, const char* s, int len, const char* o) {
    Record(p, "create_bookmark", TL(s, len) + ", " + T(o));
    return 1;
  };
  t.PDF_load_font = [](PDF* p, const char* f, int len, const char* e, const char* o) {
    Record(p, "load_font", TL(f, len) + ", " + T(e) + ", " + T(o));
    return 0;
  };
  t.PDF_setfont = [](PDF* p, int f, double s) { Record(p, "setfont", std::to_string(f) + ", " + N(s)); };
  t.PDF_stringwidth2 = [](PDF* p, const char* s, int len, int f, double size) {
    Record(p, "stringwidth2", TL(s, len) + ", " + std::to_string(f) + ", " + N(size));
    return 12.5;
  };
  t.PDF_show_xy2 = [](PDF* p, const char* s, int len, double x, double y) {
    Record(p, "show_xy2", TL(s, len) + ", " + N(x) + ", " + N(y));
  };
  t.PDF_fit_textline = [](PDF* p, const char* s, int len, double x, double y, const char* o) {
    Record(p, "fit_textline", TL(s, len) + ", " + N(x) + ", " + N(y) + ", " + T(o));
  };
  t.PDF_setcolor = [](PDF* p, const char* f, const char* cs, double a, double b, double c, double d) {
    Record(p, "setcolor", T(f) + ", " + T(cs) + ", " + N(a) + ", " + N(b) + ", " + N(c) + ", " + N(d));
  };
  t.PDF_setlinewidth = [](PDF* p, double w) { Record(p, "setlinewidth", N(w)); };
  t.PDF_moveto = [](PDF* p, double x, double y) { Record(p, "moveto", N(x) + ", " + N(y)); };
  t.PDF_lineto = [](PDF* p, double x, double y) { Record(p, "lineto", N(x) + ", " + N(y)); };
  t.PDF_rect = [](PDF* p, double x, double y, double w, double h) {
    Record(p, "rect", N(x) + ", " + N(y) + ", " + N(w) + ", " + N(h));
  };
  t.PDF_fill = [](PDF* p) { Record(p, "fill", ""); };
  t.PDF_save = [](PDF* p) { Record(p, "save", ""); };
  t.PDF_restore = [](PDF* p) { Record(p, "restore", ""); };
  t.PDF_clip = [](PDF* p) { Record(p, "clip", ""); };
  t.PDF_stroke = [](PDF* p) { Record(p, "stroke", ""); };
  t.PDF_load_image = [](PDF* p, const char* type, const char* f, int len, const char* o) {
    Record(p, "load_image", T(type) + ", " + TL(f, len) + ", " + T(o));
    return 1;
  };
  t.PDF_fit_image = [](PDF* p, int i, double x, double y, const char* o) {
    Record(p, "fit_image", std::to_string(i) + ", " + N(x) + ", " + N(y) + ", " + T(o));
  };
  t.PDF_create_textflow = [](PDF* p, const char* s, int len, const char* o) {
    Record(p, "create_textflow", TL(s, len) + ", " + T(o));
    return 1;
  };
  t.PDF_add_textflow = [](PDF* p, int f, const char* s, int len, const char* o) {
    Record(p, "add_textflow", std::to_string(f) + ", " + TL(s, len) + ", " + T(o));
    return 1;
  };
  t.PDF_fit_textflow = [](PDF* p, int f, double a, double b, double c, double d, const char* o) {
    Record(p, "fit_textflow", std::to_string(f) + ", " + N(a) + ", " + N(b) + ", " + N(c) + ", " + N(d) + ", " + T(o));
    return RecordingApi::fitResult;
  };
  t.PDF_add_table_cell = [](PDF* p, int tb, int c, int r, const char* s, int len, const char* o) {
    Record(p, "add_table_cell",
           std::to_string(tb) + ", " + std::to_string(c) + ", " + std::to_string(r) + ", " + TL(s, len) + ", " + T(o));
    return 1;
  };
  t.PDF_fit_table = [](PDF* p, int tb, double a, double b, double c, double d, const char* o) {
    Record(p, "fit_table", std::to_string(tb) + ", " + N(a) + ", " + N(b) + ", " + N(c) + ", " + N(d) + ", " + T(o));
    return RecordingApi::fitResult;
  };
  t.PDF_info_table = [](PDF* p, int tb, const char* k) {
    Record(p, "info_table", std::to_string(tb) + ", " + T(k));
    return 3.0;
  };
  t.PDF_delete_table = [](PDF* p, int tb, const char* o) { Record(p, "delete_table", std::to_string(tb) + ", " + T(o)); };
  return t;
}

PdfFunctionTable g_table = MakeTable();

}  // namespace

void RecordingApi::Reset() {
  calls.clear();
  size = kPdfApiReportedSize, major = kPdfApiMajor, minor = kPdfApiMinor, revision = kPdfApiRevision;
  failNumber = 0;
  failMessage.clear();
  fitResult = "_stop";
  noContext = false;
  deletes = 0;
}

const PdfFunctionTable* RecordingApi::Source() {
  g_table.sizeof_table = size;
  g_table.major = major;
  g_table.minor = minor;
  g_table.revision = revision;
  return &g_table;
}

}  // namespace qmtest
