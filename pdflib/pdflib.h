// The binding through which the program writes PDF: one PDFlib object per
// document context, one method per library operation, every library error
// thrown as PDFlib::Exception. The library is reached only through the
// function table of PDF_get_api (pdflib/api.h); tests may put another table
// in its place (SetApiSourceForTesting).
#pragma once

#include <cstdint>
#include <string>

#include "pdflib/api.h"

class PDFlib {
 public:
  class Exception {
   public:
    Exception(std::string errmsg, std::int32_t errnum, std::string apiname, void* opaque)
        : errmsg_(std::move(errmsg)), errnum_(errnum), apiname_(std::move(apiname)), opaque_(opaque) {}
    const std::string& get_errmsg() const { return errmsg_; }
    std::int32_t get_errnum() const { return errnum_; }
    const std::string& get_apiname() const { return apiname_; }
    void* get_opaque() const { return opaque_; }

   private:
    std::string errmsg_;
    std::int32_t errnum_;
    std::string apiname_;
    void* opaque_;
  };

  // Memory routines are not supported: passing any throws.
  explicit PDFlib(PdfAllocProc allocproc = nullptr, PdfReallocProc reallocproc = nullptr,
                  PdfFreeProc freeproc = nullptr, void* opaque = nullptr);
  ~PDFlib();
  PDFlib(const PDFlib&) = delete;
  PDFlib& operator=(const PDFlib&) = delete;

  int add_table_cell(int table, int column, int row, std::string text, std::string optlist);
  int add_textflow(int textflow, std::string text, std::string optlist);
  int begin_document(std::string filename, std::string optlist);
  void begin_page_ext(double width, double height, std::string optlist);
  int create_bookmark(std::string text, std::string optlist);
  int create_textflow(std::string text, std::string optlist);
  void delete_table(int table, std::string optlist);
  void end_document(std::string optlist);
  void end_page_ext(std::string optlist);
  void clip();
  void fill();
  void fit_image(int image, double x, double y, std::string optlist);
  std::string fit_table(int table, double llx, double lly, double urx, double ury, std::string optlist);
  std::string fit_textflow(int textflow, double llx, double lly, double urx, double ury, std::string optlist);
  void fit_textline(std::string text, double x, double y, std::string optlist);
  double info_table(int table, std::string keyword);
  void lineto(double x, double y);
  int load_font(std::string fontname, std::string encoding, std::string optlist);
  int load_image(std::string imagetype, std::string filename, std::string optlist);
  void moveto(double x, double y);
  void rect(double x, double y, double width, double height);
  void restore();
  void resume_page(std::string optlist);
  void save();
  void setfont(int font, double fontsize);
  void set_info(std::string key, std::string value);
  void set_parameter(std::string key, std::string value);
  void setcolor(std::string fstype, std::string colorspace, double c1, double c2, double c3, double c4);
  void setlinewidth(double width);
  void show_xy(std::string text, double x, double y);
  double stringwidth(std::string text, int font, double fontsize);
  void stroke();
  void suspend_page(std::string optlist);

  // True when a table reports the size and version this binding was written
  // for (748 bytes, 7.0; the revision is not examined).
  static bool IsAcceptedVersion(std::uint32_t tableSize, std::uint32_t major, std::uint32_t minor);

  // Tests: the function that gives the table (null: the library's
  // PDF_get_api). Objects made before the change keep their table.
  using ApiSource = const PdfFunctionTable* (*)();
  static void SetApiSourceForTesting(ApiSource source);

 private:
  [[noreturn]] void Throw() const;
  void Check() const {
    if (api_->pdf_catch(p_)) Throw();
  }

  PDF* p_ = nullptr;
  const PdfFunctionTable* api_ = nullptr;
};
