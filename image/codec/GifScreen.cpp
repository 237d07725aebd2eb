#include "image/codec/GifScreen.h"

#include <algorithm>
#include <cstring>

namespace codec {

namespace {

// The table of images that have none: a grey ramp.
const BYTE* GreyTable() {
  static const std::vector<BYTE> table = [] {
    std::vector<BYTE> t(768);
    for (int i = 0; i < 768; ++i) t[static_cast<size_t>(i)] = static_cast<BYTE>(i / 3);
    return t;
  }();
  return table.data();
}

struct Clip {
  long x0, y0, x1, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

Clip ClipTo(long left, long top, long width, long height, long screenW, long screenH) {
  return {std::max(0L, left), std::max(0L, top), std::min(screenW, left + width), std::min(screenH, top + height)};
}

}  // namespace

CGifScreen::CGifScreen(long width, long height, const BYTE* globalTable, int globalSize, int background,
                       std::uint64_t maxBytes)
    : m_width(width), m_height(height), m_background(background), m_maxBytes(maxBytes) {
  if (globalTable && globalSize > 0) m_global.assign(globalTable, globalTable + 3 * globalSize);
}

void CGifScreen::ColourOf(const BYTE* table, int size, int index, BYTE* out) const {
  if (index >= 0 && index < size) {
    std::memcpy(out, table + 3 * index, 3);
  } else {
    out[0] = out[1] = out[2] = 0;
  }
}

bool CGifScreen::Start(const GifImage& first) {
  m_width = std::max(m_width, first.left + first.width);
  m_height = std::max(m_height, first.top + first.height);
  const std::uint64_t pixels = static_cast<std::uint64_t>(m_width) * static_cast<std::uint64_t>(m_height);
  if (pixels > m_maxBytes) return false;
  const BYTE* table = first.table ? first.table : GreyTable();
  const int size = first.table ? first.tableSize : 256;
  m_table.assign(table, table + 3 * size);
  m_transparent = first.transparent >= 0 && first.transparent < 256 ? first.transparent : -1;

  // The background colour, and an index of it in the shared table.
  const int globalSize = static_cast<int>(m_global.size() / 3);
  long fill = 0;
  if (globalSize > 0) {
    ColourOf(m_global.data(), globalSize, m_background < globalSize ? m_background : 0, m_fillColour);
    fill = -1;
    for (int i = 0; i < size && fill < 0; ++i)
      if (std::memcmp(table + 3 * i, m_fillColour, 3) == 0) fill = i;
  } else {
    ColourOf(table, size, 0, m_fillColour);
  }
  if (m_transparent >= 0) {
    ColourOf(table, size, static_cast<int>(m_transparent), m_transColour);
    std::memcpy(m_fillColour, m_transColour, 3);
    fill = m_transparent;
  }
  m_indexed = fill >= 0;
  if (!m_indexed && pixels * 3 > m_maxBytes) return false;
  m_fillIndex = static_cast<BYTE>(fill < 0 ? 0 : fill);
  m_pixels.assign(static_cast<size_t>(pixels) * (m_indexed ? 1 : 3), 0);
  Fill(0, 0, m_width, m_height);
  return true;
}

BYTE* CGifScreen::Pixel(std::vector<BYTE>& area, long areaWidth, long x, long y) {
  const size_t bytes = m_indexed ? 1 : 3;
  return area.data() + (static_cast<size_t>(y) * static_cast<size_t>(areaWidth) + static_cast<size_t>(x)) * bytes;
}

void CGifScreen::Fill(long left, long top, long width, long height) {
  const Clip c = ClipTo(left, top, width, height, m_width, m_height);
  if (c.Empty()) return;
  for (long y = c.y0; y < c.y1; ++y) {
    BYTE* p = Pixel(m_pixels, m_width, c.x0, y);
    if (m_indexed) {
      std::memset(p, m_fillIndex, static_cast<size_t>(c.x1 - c.x0));
    } else {
      for (long x = c.x0; x < c.x1; ++x, p += 3) std::memcpy(p, m_fillColour, 3);
    }
  }
}

bool CGifScreen::ToColour() {
  const std::uint64_t pixels = static_cast<std::uint64_t>(m_width) * static_cast<std::uint64_t>(m_height);
  if (pixels * 3 > m_maxBytes) return false;
  const int size = GetTableSize();
  auto widen = [&](const std::vector<BYTE>& indices) {
    std::vector<BYTE> out(indices.size() * 3);
    for (size_t i = 0; i < indices.size(); ++i) ColourOf(m_table.data(), size, indices[i], out.data() + 3 * i);
    return out;
  };
  m_pixels = widen(m_pixels);
  m_saved = widen(m_saved);
  m_indexed = false;
  return true;
}

bool CGifScreen::Add(const GifImage& image) {
  if (image.width <= 0 || image.height <= 0 || !image.pixels) return true;
  const BYTE* table = image.table ? image.table : GreyTable();
  const int size = image.table ? image.tableSize : 256;
  const long transparent = image.transparent >= 0 && image.transparent < 256 ? image.transparent : -1;
  if (m_images == 0) {
    if (!Start(image)) return false;
  } else {
    // What the previous image leaves behind.
    if (m_prevDisposal == 2) {
      Fill(m_prevLeft, m_prevTop, m_prevWidth, m_prevHeight);
    } else if (m_prevDisposal == 3 && !m_saved.empty()) {
      const Clip c = ClipTo(m_prevLeft, m_prevTop, m_prevWidth, m_prevHeight, m_width, m_height);
      const size_t rowBytes = static_cast<size_t>(c.x1 - c.x0) * (m_indexed ? 1 : 3);
      for (long y = c.y0; y < c.y1; ++y)
        std::memcpy(Pixel(m_pixels, m_width, c.x0, y), m_saved.data() + static_cast<size_t>(y - c.y0) * rowBytes, rowBytes);
    }
    const bool sameTable = static_cast<size_t>(3 * size) == m_table.size() &&
                           std::memcmp(table, m_table.data(), m_table.size()) == 0;
    if (m_indexed && (!sameTable || transparent != m_transparent) && !ToColour()) return false;
  }
  ++m_images;

  const Clip c = ClipTo(image.left, image.top, image.width, image.height, m_width, m_height);
  m_saved.clear();
  if (image.disposal == 3 && !c.Empty()) {
    const size_t rowBytes = static_cast<size_t>(c.x1 - c.x0) * (m_indexed ? 1 : 3);
    m_saved.resize(rowBytes * static_cast<size_t>(c.y1 - c.y0));
    for (long y = c.y0; y < c.y1; ++y)
      std::memcpy(m_saved.data() + static_cast<size_t>(y - c.y0) * rowBytes, Pixel(m_pixels, m_width, c.x0, y), rowBytes);
  }
  for (long y = c.y0; y < c.y1; ++y) {
    const BYTE* src = image.pixels + static_cast<std::ptrdiff_t>(y - image.top) * image.stride;
    BYTE* dst = Pixel(m_pixels, m_width, c.x0, y);
    for (long x = c.x0; x < c.x1; ++x) {
      const BYTE index = src[x - image.left];
      if (index == transparent) {
        dst += m_indexed ? 1 : 3;
        continue;
      }
      if (m_indexed) {
        *dst++ = index;
      } else {
        ColourOf(table, size, index, dst);
        dst += 3;
      }
    }
  }
  m_prevLeft = image.left;
  m_prevTop = image.top;
  m_prevWidth = image.width;
  m_prevHeight = image.height;
  m_prevDisposal = image.disposal;
  return true;
}

const BYTE* CGifScreen::GetRow(long y) const {
  if (m_pixels.empty() || y < 0 || y >= m_height) return nullptr;
  return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width) * (m_indexed ? 1 : 3);
}

}  // namespace codec
