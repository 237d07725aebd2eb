// Real readers on the files the library writes: qpdf, pdfinfo, pdftotext and
// pdftoppm, run as commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qmtest {

// Output of a command (stdout, and stderr when asked); rc receives the exit status.
std::string RunCommand(const std::string& command, int* rc = nullptr, bool withStderr = false);
std::string Quote(const std::filesystem::path& p);

// "qpdf --check" of the file passes.
bool QpdfCheckPasses(const std::filesystem::path& pdf, const std::string& password = "");
// A field of pdfinfo ("Pages", "Title", "Page rot"...) of a page (0: the document).
std::string PdfInfo(const std::filesystem::path& pdf, const std::string& field, int page = 0,
                    const std::string& password = "");
std::string PdfText(const std::filesystem::path& pdf, const std::string& password = "", bool layout = false);

// A page rendered at dpi, pixels from the top-left corner.
struct Pixmap {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  bool Ok() const { return width > 0; }
  // The pixel at PDF coordinates (points, from the lower-left corner) of a
  // page of pageHeight points rendered at dpi.
  const std::uint8_t* At(int x, int y) const { return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3; }
  bool IsWhite(int x, int y) const;
};
Pixmap Render(const std::filesystem::path& pdf, int page, int dpi, const std::string& password = "");
// Pixel of the point (px, py) in points from the lower-left corner.
const std::uint8_t* PointPixel(const Pixmap& pm, double px, double py, int dpi);

}  // namespace qmtest
