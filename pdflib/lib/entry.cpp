// The entry points of the library's function table: each one catches every
// failure inside, keeps it in the context's error record and returns the
// empty result; nothing leaves the library as an exception or a jump.
#include <cstring>
#include <new>
#include <string_view>

#include "pdflib/api.h"
#include "pdflib/lib/codepage.h"
#include "pdflib/lib/document.h"
#include "pdflib/lib/errors.h"

struct PDF_s {
  explicit PDF_s(void* opaque) : ctx(opaque) {}
  qmpdf::Context ctx;
};

namespace {

// "text, len": len bytes, or up to the NUL when len is 0.
std::string_view Text(const char* text, int len) {
  if (!text) return {};
  if (len > 0) return std::string_view(text, static_cast<std::size_t>(len));
  return std::string_view(text);
}

std::string_view Str(const char* s) { return s ? std::string_view(s) : std::string_view(); }

// Runs body(context); a failure becomes the context's error record.
template <class F>
bool Run(PDF* p, const char* api, F&& body) {
  if (!p) return false;
  qmpdf::Context& ctx = p->ctx;
  ctx.ClearError();
  try {
    body(ctx);
    return true;
  } catch (const qmpdf::Error& e) {
    ctx.SetError(e.number, e.message, api);
  } catch (const std::bad_alloc&) {
    ctx.SetError(qmpdf::kErrMemory, "Out of memory", api);
  } catch (const std::exception& e) {
    ctx.SetError(qmpdf::kErrWriter, std::string("Internal error: ") + e.what(), api);
  } catch (...) {
    ctx.SetError(qmpdf::kErrWriter, "Internal error", api);
  }
  return false;
}

// As Run, with a result that is empty after a failure.
template <class R, class F>
R Call(PDF* p, const char* api, R empty, F&& body) {
  R result = empty;
  if (!Run(p, api, [&](qmpdf::Context& c) { result = body(c); })) return empty;
  return result;
}

PDF* New2(PdfErrorHandler handler, PdfAllocProc alloc, PdfReallocProc realloc, PdfFreeProc free, void* opaque) {
  if (handler || alloc || realloc || free) return nullptr;
  try {
    return new PDF_s(opaque);
  } catch (...) {
    return nullptr;
  }
}

void Delete(PDF* p) { delete p; }

int Catch(PDF* p) { return p && p->ctx.Raised() ? 1 : 0; }
const char* GetErrmsg(PDF* p) { return p ? p->ctx.ErrorMessage().c_str() : ""; }
int GetErrnum(PDF* p) { return p ? p->ctx.ErrorNumber() : 0; }
const char* GetApiname(PDF* p) { return p ? p->ctx.ApiName() : ""; }
void* GetOpaque(PDF* p) { return p ? p->ctx.Opaque() : nullptr; }

void SetParameter(PDF* p, const char* key, const char* value) {
  Run(p, "PDF_set_parameter", [&](qmpdf::Context& c) { c.SetParameter(Str(key), Str(value)); });
}
void SetInfo2(PDF* p, const char* key, const char* value, int len) {
  Run(p, "PDF_set_info2", [&](qmpdf::Context& c) { c.SetInfo(Str(key), Text(value, len)); });
}
int BeginDocument(PDF* p, const char* filename, int len, const char* optlist) {
  return Call<int>(p, "PDF_begin_document", 0,
                    [&](qmpdf::Context& c) { return c.BeginDocument(Text(filename, len), Str(optlist)); });
}
void EndDocument(PDF* p, const char* optlist) {
  Run(p, "PDF_end_document", [&](qmpdf::Context& c) { c.EndDocument(Str(optlist)); });
}
void BeginPageExt(PDF* p, double width, double height, const char* optlist) {
  Run(p, "PDF_begin_page_ext", [&](qmpdf::Context& c) { c.BeginPage(width, height, Str(optlist)); });
}
void EndPageExt(PDF* p, const char* optlist) {
  Run(p, "PDF_end_page_ext", [&](qmpdf::Context& c) { c.EndPage(Str(optlist)); });
}
void SuspendPage(PDF* p, const char* optlist) {
  Run(p, "PDF_suspend_page", [&](qmpdf::Context& c) { c.SuspendPage(Str(optlist)); });
}
void ResumePage(PDF* p, const char* optlist) {
  Run(p, "PDF_resume_page", [&](qmpdf::Context& c) { c.ResumePage(Str(optlist)); });
}
int CreateBookmark(PDF* p, const char* text, int len, const char* optlist) {
  return Call<int>(p, "PDF_create_bookmark", 0,
                    [&](qmpdf::Context& c) { return c.CreateBookmark(Text(text, len), Str(optlist)); });
}
int LoadFont(PDF* p, const char* fontname, int len, const char* encoding, const char* optlist) {
  return Call<int>(p, "PDF_load_font", 0, [&](qmpdf::Context& c) {
    return c.LoadFont(Text(fontname, len), Str(encoding), Str(optlist));
  });
}
void SetFont(PDF* p, int font, double fontsize) {
  Run(p, "PDF_setfont", [&](qmpdf::Context& c) { c.SetFont(font, fontsize); });
}
double StringWidth2(PDF* p, const char* text, int len, int font, double fontsize) {
  return Call<double>(p, "PDF_stringwidth2", 0.0,
                       [&](qmpdf::Context& c) { return c.StringWidth(Text(text, len), font, fontsize); });
}
void ShowXY2(PDF* p, const char* text, int len, double x, double y) {
  Run(p, "PDF_show_xy2", [&](qmpdf::Context& c) { c.ShowXY(Text(text, len), x, y); });
}
void FitTextline(PDF* p, const char* text, int len, double x, double y, const char* optlist) {
  Run(p, "PDF_fit_textline", [&](qmpdf::Context& c) { c.FitTextline(Text(text, len), x, y, Str(optlist)); });
}
void SetColor(PDF* p, const char* fstype, const char* colorspace, double c1, double c2, double c3, double c4) {
  Run(p, "PDF_setcolor",
              [&](qmpdf::Context& c) { c.SetColor(Str(fstype), Str(colorspace), c1, c2, c3, c4); });
}
void SetLineWidth(PDF* p, double width) {
  Run(p, "PDF_setlinewidth", [&](qmpdf::Context& c) { c.SetLineWidth(width); });
}
void MoveTo(PDF* p, double x, double y) {
  Run(p, "PDF_moveto", [&](qmpdf::Context& c) { c.MoveTo(x, y); });
}
void LineTo(PDF* p, double x, double y) {
  Run(p, "PDF_lineto", [&](qmpdf::Context& c) { c.LineTo(x, y); });
}
void Rect(PDF* p, double x, double y, double width, double height) {
  Run(p, "PDF_rect", [&](qmpdf::Context& c) { c.Rect(x, y, width, height); });
}
void Fill(PDF* p) {
  Run(p, "PDF_fill", [&](qmpdf::Context& c) { c.Fill(); });
}
void Stroke(PDF* p) {
  Run(p, "PDF_stroke", [&](qmpdf::Context& c) { c.Stroke(); });
}
void Save(PDF* p) {
  Run(p, "PDF_save", [&](qmpdf::Context& c) { c.Save(); });
}
void Restore(PDF* p) {
  Run(p, "PDF_restore", [&](qmpdf::Context& c) { c.Restore(); });
}
void Clip(PDF* p) {
  Run(p, "PDF_clip", [&](qmpdf::Context& c) { c.Clip(); });
}
int LoadImage(PDF* p, const char* imagetype, const char* filename, int len, const char* optlist) {
  return Call<int>(p, "PDF_load_image", 0, [&](qmpdf::Context& c) {
    return c.LoadImage(Str(imagetype), Text(filename, len), Str(optlist));
  });
}
void FitImage(PDF* p, int image, double x, double y, const char* optlist) {
  Run(p, "PDF_fit_image", [&](qmpdf::Context& c) { c.FitImage(image, x, y, Str(optlist)); });
}
int CreateTextflow(PDF* p, const char* text, int len, const char* optlist) {
  return Call<int>(p, "PDF_create_textflow", 0,
                    [&](qmpdf::Context& c) { return c.CreateTextflow(Text(text, len), Str(optlist)); });
}
int AddTextflow(PDF* p, int textflow, const char* text, int len, const char* optlist) {
  return Call<int>(p, "PDF_add_textflow", 0,
                    [&](qmpdf::Context& c) { return c.AddTextflow(textflow, Text(text, len), Str(optlist)); });
}
const char* FitTextflow(PDF* p, int textflow, double llx, double lly, double urx, double ury, const char* optlist) {
  return Call<const char*>(p, "PDF_fit_textflow", nullptr, [&](qmpdf::Context& c) {
    return c.FitTextflow(textflow, llx, lly, urx, ury, Str(optlist));
  });
}
int AddTableCell(PDF* p, int table, int column, int row, const char* text, int len, const char* optlist) {
  return Call<int>(p, "PDF_add_table_cell", 0, [&](qmpdf::Context& c) {
    return c.AddTableCell(table, column, row, Text(text, len), Str(optlist));
  });
}
const char* FitTable(PDF* p, int table, double llx, double lly, double urx, double ury, const char* optlist) {
  return Call<const char*>(p, "PDF_fit_table", nullptr,
                            [&](qmpdf::Context& c) { return c.FitTable(table, llx, lly, urx, ury, Str(optlist)); });
}
double InfoTable(PDF* p, int table, const char* keyword) {
  return Call<double>(p, "PDF_info_table", 0.0, [&](qmpdf::Context& c) { return c.InfoTable(table, Str(keyword)); });
}
void DeleteTable(PDF* p, int table, const char* optlist) {
  Run(p, "PDF_delete_table", [&](qmpdf::Context& c) { c.DeleteTable(table, Str(optlist)); });
}

const PdfFunctionTable kTable = {
    kPdfApiReportedSize, kPdfApiMajor, kPdfApiMinor, kPdfApiRevision,
    New2, Delete,
    Catch, GetErrmsg, GetErrnum, GetApiname, GetOpaque,
    SetParameter, SetInfo2,
    BeginDocument, EndDocument, BeginPageExt, EndPageExt, SuspendPage, ResumePage, CreateBookmark,
    LoadFont, SetFont, StringWidth2, ShowXY2, FitTextline,
    SetColor, SetLineWidth, MoveTo, LineTo, Rect, Fill, Stroke,
    LoadImage, FitImage,
    CreateTextflow, AddTextflow, FitTextflow,
    AddTableCell, FitTable, InfoTable, DeleteTable,
    Save, Restore, Clip,
};

}  // namespace

extern "C" const PdfFunctionTable* PDF_get_api(void) { return &kTable; }

extern "C" int PDF_set_interface_codepage(int codepage) { return qmpdf::SetInterfaceCodePage(codepage) ? 1 : 0; }
