// The banded area-averaging reduction. For every target pixel it adds the
// same single-precision terms in the same order as a one-pass walk over the
// source pixels: per target column the part of the straddling pixel before
// it, its whole pixels from the left, then its own straddling pixel; per
// target row the source rows from the top. Keeping a target column's three
// sums in registers while its pixels are added changes nothing, since every
// addition is still rounded to single precision in the same order.
#include "image/AreaReduction.h"

#include <algorithm>

// ---- CAreaReduction ------------------------------------------------------------------

bool CAreaReduction::Plan(int sourceWidth, int sourceHeight, int width, int height, int bands) {
  return Plan(sourceWidth, sourceHeight, width, height, bands, nullptr, 0);
}

bool CAreaReduction::Plan(int sourceWidth, int sourceHeight, int width, int height, int bands, BYTE* out,
                          std::ptrdiff_t stride) {
  if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0 || width > sourceWidth ||
      height > sourceHeight)
    return false;
  sourceWidth_ = sourceWidth;
  sourceHeight_ = sourceHeight;
  width_ = width;
  height_ = height;
  factor_ = static_cast<float>(static_cast<double>(width) * height) /
            static_cast<float>(static_cast<double>(sourceWidth) * sourceHeight);

  // Columns: a source pixel adds the target width to a counter; passing the
  // source width means it straddles two target columns, split by the
  // overhang.
  columns_.assign(static_cast<size_t>(width), Column{});
  std::vector<BYTE> started(static_cast<size_t>(width), 0);
  std::int64_t counter = 0;
  int tx = 0;
  for (int sx = 0; sx < sourceWidth; ++sx) {
    counter += width;
    const bool split = counter > sourceWidth;
    const float rx = split ? static_cast<float>(counter - sourceWidth) / static_cast<float>(width) : 0.0f;
    if (tx < width) {
      Column& c = columns_[static_cast<size_t>(tx)];
      if (!split) {
        if (!started[static_cast<size_t>(tx)]) {
          c.first = sx;
          started[static_cast<size_t>(tx)] = 1;
        }
        c.end = sx + 1;
      } else {
        if (!started[static_cast<size_t>(tx)]) {
          c.first = c.end = sx;
          started[static_cast<size_t>(tx)] = 1;
        }
        c.tail = sx;
        c.tailWeight = 1.0f - rx;
        if (tx + 1 < width) {
          Column& n = columns_[static_cast<size_t>(tx) + 1];
          n.lead = sx;
          n.leadWeight = rx;
        }
      }
    }
    if (counter >= sourceWidth) {
      counter -= sourceWidth;
      ++tx;
    }
  }

  // Rows, the same way from the top.
  rowTarget_.assign(static_cast<size_t>(sourceHeight), 0);
  rowSplit_.assign(static_cast<size_t>(sourceHeight), 0);
  rowNext_.assign(static_cast<size_t>(sourceHeight), 0.0f);
  firstRow_.assign(static_cast<size_t>(height) + 1, sourceHeight);
  counter = 0;
  int ty = 0;
  for (int sy = 0; sy < sourceHeight; ++sy) {
    counter += height;
    const bool split = counter > sourceHeight;
    rowTarget_[static_cast<size_t>(sy)] = ty;
    rowSplit_[static_cast<size_t>(sy)] = split ? 1 : 0;
    rowNext_[static_cast<size_t>(sy)] =
        split ? static_cast<float>(counter - sourceHeight) / static_cast<float>(height) : 0.0f;
    if (ty < height && firstRow_[static_cast<size_t>(ty)] == sourceHeight) firstRow_[static_cast<size_t>(ty)] = sy;
    if (counter >= sourceHeight) {
      counter -= sourceHeight;
      ++ty;
    }
  }
  firstRow_[static_cast<size_t>(height)] = sourceHeight;

  bands = std::clamp(bands, 1, height);
  bandStart_.resize(static_cast<size_t>(bands) + 1);
  for (int b = 0; b <= bands; ++b)
    bandStart_[static_cast<size_t>(b)] = static_cast<int>(static_cast<std::int64_t>(b) * height / bands);

  result_ = CSampleImage{};
  if (out) {
    out_ = out;
    outStride_ = stride;
  } else {
    result_.own.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    out_ = result_.own.data();
    outStride_ = static_cast<std::ptrdiff_t>(width) * 3;
  }
  result_.bits = out_;
  result_.stride = outStride_;
  result_.width = width;
  result_.height = height;
  return true;
}

int CAreaReduction::FirstRowNeeded(int band) const {
  const int t0 = bandStart_[static_cast<size_t>(band)];
  int first = firstRow_[static_cast<size_t>(t0)];
  // A row that straddles into the band's first target row from above.
  if (t0 > 0 && first > 0 && rowSplit_[static_cast<size_t>(first) - 1]) --first;
  return first;
}

int CAreaReduction::RowsNeeded(int band) const {
  const int t1 = bandStart_[static_cast<size_t>(band) + 1];
  return firstRow_[static_cast<size_t>(t1)];
}

int CAreaReduction::GetMaxBandRows() const {
  int most = 0;
  for (int b = 0; b < GetBandCount(); ++b) most = std::max(most, RowsNeeded(b) - FirstRowNeeded(b));
  return most;
}

void CAreaReduction::AddRow(const BYTE* row, float* acc, bool weighted, float weight) const {
  const Column* c = columns_.data();
  for (int tx = 0; tx < width_; ++tx, ++c, acc += 3) {
    float b = acc[0], g = acc[1], r = acc[2];
    if (!weighted) {
      if (c->lead >= 0) {
        const BYTE* p = row + 3 * c->lead;
        b += static_cast<float>(p[0]) * c->leadWeight;
        g += static_cast<float>(p[1]) * c->leadWeight;
        r += static_cast<float>(p[2]) * c->leadWeight;
      }
      const BYTE* p = row + 3 * c->first;
      for (int sx = c->first; sx < c->end; ++sx, p += 3) {
        b += static_cast<float>(p[0]);
        g += static_cast<float>(p[1]);
        r += static_cast<float>(p[2]);
      }
      if (c->tail >= 0) {
        const BYTE* q = row + 3 * c->tail;
        b += static_cast<float>(q[0]) * c->tailWeight;
        g += static_cast<float>(q[1]) * c->tailWeight;
        r += static_cast<float>(q[2]) * c->tailWeight;
      }
    } else {
      if (c->lead >= 0) {
        const BYTE* p = row + 3 * c->lead;
        b += static_cast<float>(p[0]) * c->leadWeight * weight;
        g += static_cast<float>(p[1]) * c->leadWeight * weight;
        r += static_cast<float>(p[2]) * c->leadWeight * weight;
      }
      const BYTE* p = row + 3 * c->first;
      for (int sx = c->first; sx < c->end; ++sx, p += 3) {
        b += static_cast<float>(p[0]) * weight;
        g += static_cast<float>(p[1]) * weight;
        r += static_cast<float>(p[2]) * weight;
      }
      if (c->tail >= 0) {
        const BYTE* q = row + 3 * c->tail;
        b += static_cast<float>(q[0]) * c->tailWeight * weight;
        g += static_cast<float>(q[1]) * c->tailWeight * weight;
        r += static_cast<float>(q[2]) * c->tailWeight * weight;
      }
    }
    acc[0] = b;
    acc[1] = g;
    acc[2] = r;
  }
}

void CAreaReduction::RunBand(int band, const CSourceRows& rows) {
  const int t0 = bandStart_[static_cast<size_t>(band)];
  const int t1 = bandStart_[static_cast<size_t>(band) + 1];
  if (t0 >= t1) return;
  const size_t rowFloats = static_cast<size_t>(width_) * 3;
  std::vector<float> acc(static_cast<size_t>(t1 - t0) * rowFloats, 0.0f);
  auto accRow = [&](int t) { return acc.data() + static_cast<size_t>(t - t0) * rowFloats; };

  const int first = FirstRowNeeded(band);
  const int last = RowsNeeded(band) - 1;
  for (int sy = first; sy <= last; ++sy) {
    const BYTE* row = rows.Row(sy);
    const int ty = rowTarget_[static_cast<size_t>(sy)];
    if (!rowSplit_[static_cast<size_t>(sy)]) {
      if (ty >= t0 && ty < t1) AddRow(row, accRow(ty), false, 0.0f);
      continue;
    }
    const float ry = rowNext_[static_cast<size_t>(sy)];
    if (ty >= t0 && ty < t1) AddRow(row, accRow(ty), true, 1.0f - ry);
    if (ty + 1 >= t0 && ty + 1 < t1) AddRow(row, accRow(ty + 1), true, ry);
  }

  // Target row t (from the top) is row height - 1 - t of the result.
  for (int t = t0; t < t1; ++t) {
    const float* a = accRow(t);
    BYTE* out = out_ + static_cast<std::ptrdiff_t>(height_ - 1 - t) * outStride_;
    for (size_t i = 0; i < rowFloats; ++i) {
      const float v = a[i] * factor_ + 0.5f;
      out[i] = static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 255));
    }
  }
}
