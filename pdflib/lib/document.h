// The library's context: scopes (object, document, page), the document
// written with libharu, pages with their graphics state, and the handles of
// fonts, images, textflows and tables. Every method throws qmpdf::Error and
// has no effect when it does; entry.cpp turns that into the error record.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qmpdf {

class Document;

class Context {
 public:
  explicit Context(void* opaque);
  ~Context();
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  void* Opaque() const { return opaque_; }

  // Error record of the last call.
  void ClearError() { raised_ = false; }
  void SetError(int number, std::string message, const char* api);
  bool Raised() const { return raised_; }
  int ErrorNumber() const { return errorNumber_; }
  const std::string& ErrorMessage() const { return errorMessage_; }
  const char* ApiName() const { return apiName_; }

  void SetParameter(std::string_view key, std::string_view value);
  void SetInfo(std::string_view key, std::string_view value);

  int BeginDocument(std::string_view filename, std::string_view optlist);
  void EndDocument(std::string_view optlist);
  void BeginPage(double width, double height, std::string_view optlist);
  void EndPage(std::string_view optlist);
  void SuspendPage(std::string_view optlist);
  void ResumePage(std::string_view optlist);
  int CreateBookmark(std::string_view text, std::string_view optlist);

  int LoadFont(std::string_view name, std::string_view encoding, std::string_view optlist);
  void SetFont(int font, double size);
  double StringWidth(std::string_view text, int font, double size);
  void ShowXY(std::string_view text, double x, double y);
  void FitTextline(std::string_view text, double x, double y, std::string_view optlist);

  void SetColor(std::string_view fstype, std::string_view colorspace, double c1, double c2, double c3, double c4);
  void SetLineWidth(double width);
  // save and restore of the graphics state (q, Q; balanced on each page),
  // and the current path as the clipping path (W n).
  void Save();
  void Restore();
  void Clip();
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void Rect(double x, double y, double width, double height);
  void Fill();
  void Stroke();

  int LoadImage(std::string_view type, std::string_view filename, std::string_view optlist);
  void FitImage(int image, double x, double y, std::string_view optlist);

  int CreateTextflow(std::string_view text, std::string_view optlist);
  int AddTextflow(int flow, std::string_view text, std::string_view optlist);
  const char* FitTextflow(int flow, double llx, double lly, double urx, double ury, std::string_view optlist);

  int AddTableCell(int table, int column, int row, std::string_view text, std::string_view optlist);
  const char* FitTable(int table, double llx, double lly, double urx, double ury, std::string_view optlist);
  double InfoTable(int table, std::string_view keyword);
  void DeleteTable(int table, std::string_view optlist);

 private:
  enum class Scope { Object, Document, Page };
  void Require(bool object, bool document, bool page) const;
  Document& Doc() const { return *doc_; }

  void* opaque_;
  bool raised_ = false;
  int errorNumber_ = 0;
  std::string errorMessage_;
  const char* apiName_ = "";

  Scope scope_ = Scope::Object;
  std::vector<std::pair<std::string, std::string>> keptInfo_;
  std::unique_ptr<Document> doc_;
  // Handles are never used twice in one context, so a handle of an ended
  // document is recognised as stale.
  int nextFont_ = 0, nextImage_ = 1, nextFlow_ = 1, nextTable_ = 1, nextBookmark_ = 1;
};

}  // namespace qmpdf
