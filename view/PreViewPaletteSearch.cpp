#include "view/PreViewPaletteSearch.h"

#include <algorithm>
#include <unordered_map>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "image/Image.h"
#include "lang/ids/file.h"
#include "palette/ColorSet.h"

namespace {

// Pictures from this many pixels count into a table of every colour.
constexpr long long kTableFromPixels = 1 << 20;

template <typename Count>
void CountPixels(const CImage& picture, CSimpleStatusProgress& progress, Count count) {
  const int width = picture.GetWidth(), height = picture.GetHeight();
  const BYTE* bits = picture.GetBits();
  const int stride = picture.GetRowStride();
  const bool direct = bits != nullptr && picture.GetBitsPerPixel() == 24 && stride >= width * 3;
  for (int y = 0; y < height; ++y) {
    if (direct) {
      const BYTE* p = bits + static_cast<size_t>(y) * static_cast<size_t>(stride);
      for (int x = 0; x < width; ++x, p += 3) count(static_cast<COLORREF>(p[2] | (p[1] << 8) | (p[0] << 16)));
    } else {
      for (int x = 0; x < width; ++x) {
        BYTE r = 0, g = 0, b = 0;
        picture.GetPixelRGB(x, y, r, g, b);
        count(static_cast<COLORREF>(r | (g << 8) | (b << 16)));
      }
    }
    // The progress counts pixel columns.
    progress.SetPos(static_cast<int>(static_cast<long long>(y + 1) * width / height));
  }
}

}  // namespace

void BuildColorHistogram(const CImage& picture, std::vector<std::pair<COLORREF, unsigned>>& out,
                         IProgressHost* host) {
  out.clear();
  const int width = picture.GetWidth(), height = picture.GetHeight();
  if (width <= 0 || height <= 0) return;
  CSimpleStatusProgress progress(host, width, IDS_SCANNING_ORIGINAL);
  if (static_cast<long long>(width) * height >= kTableFromPixels) {
    std::vector<unsigned> table(1u << 24, 0);
    CountPixels(picture, progress, [&table](COLORREF c) { ++table[c]; });
    for (COLORREF c = 0; c < (1u << 24); ++c)
      if (table[c] != 0) out.emplace_back(c, table[c]);
    return;
  }
  std::unordered_map<COLORREF, unsigned> counts;
  CountPixels(picture, progress, [&counts](COLORREF c) { ++counts[c]; });
  out.assign(counts.begin(), counts.end());
  std::sort(out.begin(), out.end());
}

bool CollectPaletteFiles(const CString& folder, std::vector<CString>& out) {
  out.clear();
  if (!FolderExists(folder)) return false;
  CString base = folder;
  if (base.Right(1) != "/" && base.Right(1) != "\\") base += "/";
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(base + "*.pal", &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  do {
    const CString path = base + data.cFileName;
    if (FileExists(path)) out.push_back(path);
  } while (FindNextFile(find, &data));
  FindClose(find);
  return true;
}

bool ScorePaletteFile(const CString& path, const std::vector<std::pair<COLORREF, unsigned>>& histogram,
                      unsigned long long& score) {
  score = 0;
  CColorSet palette;
  CString reason;
  if (!palette.LoadPaletteFile(path, reason)) return false;
  for (const auto& [colour, count] : histogram) {
    int distance = 0;
    if (palette.FindNearestColor(GetRValue(colour), GetGValue(colour), GetBValue(colour), distance) < 0)
      return false;
    score += static_cast<unsigned long long>(count) * static_cast<unsigned long long>(distance);
  }
  return true;
}

int FindBestPaletteFile(const CImage* picture, const std::vector<CString>& files,
                        std::vector<unsigned long long>* scores, IProgressHost* host) {
  if (scores) scores->assign(files.size(), 0);
  if (files.empty()) return -1;
  if (files.size() == 1) return 0;
  std::vector<std::pair<COLORREF, unsigned>> histogram;
  if (picture != nullptr) BuildColorHistogram(*picture, histogram, host);
  const size_t n = histogram.size();
  const int k = static_cast<int>(std::min<size_t>(n, 50));
  CSimpleStatusProgress progress(host, static_cast<int>(files.size()) * k, IDS_SCANNING_PALETTES);
  int best = -1;
  unsigned long long bestScore = 0;
  int step = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    unsigned long long score = 0;
    const bool scored = ScorePaletteFile(files[i], histogram, score);
    // The bar steps K times per file.
    for (int s = 0; s < k; ++s) progress.SetPos(++step);
    if (!scored) continue;
    if (scores) (*scores)[i] = score;
    if (best < 0 || score < bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
    }
  }
  return best;
}
