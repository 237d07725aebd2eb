// The C interface of the PDF library: one function table that the binding
// (pdflib/pdflib.h) reaches through PDF_get_api, and the process-wide choice
// of the interface code page. The library's documents, pages, fonts, images,
// textflows and tables live behind an opaque context (PDF).
//
// Errors: no entry point throws or jumps. A call that fails has no effect,
// keeps message, number and function name in the context and returns its
// empty value (0, 0.0 or a null text); pdf_catch tells the caller, right
// after the call, whether the call failed. See pdflib/README.md for the
// numbers and the option lists.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef struct PDF_s PDF;

typedef void (*PdfErrorHandler)(PDF* p, int type, const char* message);
typedef void* (*PdfAllocProc)(PDF* p, std::size_t size, const char* caller);
typedef void* (*PdfReallocProc)(PDF* p, void* mem, std::size_t size, const char* caller);
typedef void (*PdfFreeProc)(PDF* p, void* mem);

// The version that this library reports; the binding accepts exactly it.
enum : std::uint32_t {
  kPdfApiReportedSize = 748,
  kPdfApiMajor = 7,
  kPdfApiMinor = 0,
  kPdfApiRevision = 2,
};

// "text, len": len bytes of text, or the text up to its NUL when len is 0.
struct PdfFunctionTable {
  std::uint32_t sizeof_table;  // kPdfApiReportedSize, the size the binding checks
  std::uint32_t major;
  std::uint32_t minor;
  std::uint32_t revision;

  // Context. PDF_new2 takes no error handler and no memory routines (null
  // only; anything else gives a null context).
  PDF* (*PDF_new2)(PdfErrorHandler errorhandler, PdfAllocProc allocproc, PdfReallocProc reallocproc,
                   PdfFreeProc freeproc, void* opaque);
  void (*PDF_delete)(PDF* p);

  // Error record of the last call.
  int (*pdf_catch)(PDF* p);  // 1 when the last call failed, else 0
  const char* (*PDF_get_errmsg)(PDF* p);
  int (*PDF_get_errnum)(PDF* p);
  const char* (*PDF_get_apiname)(PDF* p);
  void* (*PDF_get_opaque)(PDF* p);

  void (*PDF_set_parameter)(PDF* p, const char* key, const char* value);
  void (*PDF_set_info2)(PDF* p, const char* key, const char* value, int len);

  int (*PDF_begin_document)(PDF* p, const char* filename, int len, const char* optlist);
  void (*PDF_end_document)(PDF* p, const char* optlist);
  void (*PDF_begin_page_ext)(PDF* p, double width, double height, const char* optlist);
  void (*PDF_end_page_ext)(PDF* p, const char* optlist);
  void (*PDF_suspend_page)(PDF* p, const char* optlist);
  void (*PDF_resume_page)(PDF* p, const char* optlist);
  int (*PDF_create_bookmark)(PDF* p, const char* text, int len, const char* optlist);

  int (*PDF_load_font)(PDF* p, const char* fontname, int len, const char* encoding, const char* optlist);
  void (*PDF_setfont)(PDF* p, int font, double fontsize);
  double (*PDF_stringwidth2)(PDF* p, const char* text, int len, int font, double fontsize);
  void (*PDF_show_xy2)(PDF* p, const char* text, int len, double x, double y);
  void (*PDF_fit_textline)(PDF* p, const char* text, int len, double x, double y, const char* optlist);

  void (*PDF_setcolor)(PDF* p, const char* fstype, const char* colorspace, double c1, double c2, double c3,
                       double c4);
  void (*PDF_setlinewidth)(PDF* p, double width);
  void (*PDF_moveto)(PDF* p, double x, double y);
  void (*PDF_lineto)(PDF* p, double x, double y);
  void (*PDF_rect)(PDF* p, double x, double y, double width, double height);
  void (*PDF_fill)(PDF* p);
  void (*PDF_stroke)(PDF* p);

  int (*PDF_load_image)(PDF* p, const char* imagetype, const char* filename, int len, const char* optlist);
  void (*PDF_fit_image)(PDF* p, int image, double x, double y, const char* optlist);

  int (*PDF_create_textflow)(PDF* p, const char* text, int len, const char* optlist);
  int (*PDF_add_textflow)(PDF* p, int textflow, const char* text, int len, const char* optlist);
  const char* (*PDF_fit_textflow)(PDF* p, int textflow, double llx, double lly, double urx, double ury,
                                  const char* optlist);

  int (*PDF_add_table_cell)(PDF* p, int table, int column, int row, const char* text, int len,
                            const char* optlist);
  const char* (*PDF_fit_table)(PDF* p, int table, double llx, double lly, double urx, double ury,
                               const char* optlist);
  double (*PDF_info_table)(PDF* p, int table, const char* keyword);
  void (*PDF_delete_table)(PDF* p, int table, const char* optlist);

  // The graphics state kept and given back (balanced on each page), and the
  // current path made the clipping path (the path is used up).
  void (*PDF_save)(PDF* p);
  void (*PDF_restore)(PDF* p);
  void (*PDF_clip)(PDF* p);
};

// The library's table (valid for the life of the process).
__attribute__((visibility("default"))) const PdfFunctionTable* PDF_get_api(void);

// The code page of the interface texts that reach the library as bytes:
// file names, bookmark titles and document information values. 1252
// (English, the default) or 1251 (Russian); the PDF export sets it before
// each document. Returns 1 when the code page was taken, 0 for any other value.
__attribute__((visibility("default"))) int PDF_set_interface_codepage(int codepage);

}  // extern "C"
