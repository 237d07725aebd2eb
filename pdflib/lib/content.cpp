#include "pdflib/lib/content.h"

#include <libdeflate.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>

#include "pdflib/lib/errors.h"

namespace qmpdf {

void AppendNumber(std::string& out, double v) {
  if (!(std::fabs(v) < 1e12)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", std::isfinite(v) ? v : 0.0);
    out += buf;
    return;
  }
  long long m = std::llround(v * 1000.0);
  if (m < 0) {
    out += '-';
    m = -m;
  }
  long long whole = m / 1000;
  int frac = static_cast<int>(m % 1000);
  char buf[24];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole);
  while (n) out += buf[--n];
  if (frac) {
    out += '.';
    out += static_cast<char>('0' + frac / 100);
    if (frac % 100) {
      out += static_cast<char>('0' + frac / 10 % 10);
      if (frac % 10) out += static_cast<char>('0' + frac % 10);
    }
  }
}

void AppendLiteral(std::string& out, const char* bytes, std::size_t len) {
  out += '(';
  for (std::size_t i = 0; i < len; ++i) {
    const char c = bytes[i];
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  out += ')';
}

DeflateSink::DeflateSink() = default;

DeflateSink::~DeflateSink() {
  if (open_) deflateEnd(&z_);
}

void DeflateSink::Run(std::string& text, int flush) {
  if (!open_) {
    z_ = z_stream{};
    if (deflateInit(&z_, kLevel) != Z_OK) throw std::bad_alloc();
    open_ = true;
  }
  z_.next_in = reinterpret_cast<Bytef*>(text.data());
  z_.avail_in = static_cast<uInt>(text.size());
  for (;;) {
    const std::size_t before = out_.size();
    const std::size_t room = deflateBound(&z_, z_.avail_in) + 64;
    out_.resize(before + room);
    z_.next_out = reinterpret_cast<Bytef*>(out_.data() + before);
    z_.avail_out = static_cast<uInt>(room);
    const int rc = deflate(&z_, flush);
    out_.resize(before + room - z_.avail_out);
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) Fail(kErrWriter, "Page content could not be compressed");
    if (flush != Z_FINISH && z_.avail_in == 0 && z_.avail_out != 0) break;
  }
  text.clear();
}

void DeflateSink::Feed(std::string& text, bool force) {
  if (text.size() >= kStreamThreshold || (force && !text.empty())) Run(text, Z_NO_FLUSH);
}

namespace {

// One whole-buffer compressor a thread, made at the first page.
struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

libdeflate_compressor* WholeBufferCompressor() {
  thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
      libdeflate_alloc_compressor(DeflateSink::kLevel));
  return compressor.get();
}

}  // namespace

bool DeflateSink::CompressWhole(const std::string& text) {
  libdeflate_compressor* c = WholeBufferCompressor();
  if (!c) return false;
  out_.resize(libdeflate_zlib_compress_bound(c, text.size()));
  const std::size_t n = libdeflate_zlib_compress(c, text.data(), text.size(), out_.data(), out_.size());
  out_.resize(n);
  return n > 0;
}

std::string DeflateSink::Finish(std::string& text) {
  // A page that never reached the threshold is compressed in one go, which
  // takes half to a third of the time of the stream at the same level.
  if (open_ || !CompressWhole(text)) {
    Run(text, Z_FINISH);
    deflateEnd(&z_);
    open_ = false;
  }
  text.clear();
  std::string r;
  r.swap(out_);
  return r;
}

}  // namespace qmpdf
