// The builder's pixel rows, the banded area-averaging reduction and the task
// runner. The reduction adds, for every target pixel, the same
// single-precision terms in the same order as the one-pass reduction of
// pictures (ScaleBitmap): per target column the part of the straddling pixel
// before it, its whole pixels from the left, then its own straddling pixel;
// per target row the source rows from the top. Keeping a target column's
// three sums in registers while its pixels are added changes nothing, since
// every addition is still rounded to single precision in the same order.
#include "builder/BuildPicture.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "image/Image.h"

bool MakeSampleImage(const CImage& picture, CSampleImage& out) {
  out = CSampleImage{};
  const int w = picture.GetWidth(), h = picture.GetHeight();
  if (w <= 0 || h <= 0) return false;
  if (picture.GetBitsPerPixel() == 24 && picture.GetBits() && picture.GetRowStride() >= 3 * w) {
    out.bits = picture.GetBits();
    out.stride = picture.GetRowStride();
    out.width = w;
    out.height = h;
    return true;
  }
  out.own.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 3, 0);
  for (int y = 0; y < h; ++y) {
    BYTE* row = out.own.data() + static_cast<size_t>(y) * static_cast<size_t>(w) * 3;
    for (int x = 0; x < w; ++x) {
      BYTE r = 0, g = 0, b = 0;
      if (picture.GetPixelRGB(x, y, r, g, b)) {
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
      }
    }
  }
  out.bits = out.own.data();
  out.stride = static_cast<std::ptrdiff_t>(w) * 3;
  out.width = w;
  out.height = h;
  return true;
}

// ---- CAreaReduction ------------------------------------------------------------------

bool CAreaReduction::Plan(int sourceWidth, int sourceHeight, int width, int height, int bands) {
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
    bandStart_[static_cast<size_t>(b)] =
        static_cast<int>(static_cast<std::int64_t>(b) * height / bands);

  result_ = CSampleImage{};
  result_.own.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  result_.bits = result_.own.data();
  result_.stride = static_cast<std::ptrdiff_t>(width) * 3;
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
    BYTE* out = result_.own.data() + static_cast<size_t>(height_ - 1 - t) * rowFloats;
    for (size_t i = 0; i < rowFloats; ++i) {
      const float v = a[i] * factor_ + 0.5f;
      out[i] = static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 255));
    }
  }
}

// ---- Threads ------------------------------------------------------------------------

int BuilderThreadCount(long long work) {
  if (work < (1LL << 16)) return 1;
  const unsigned n = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(n, 1u, 16u));
}

int RunBuilderTasks(int count, int threads, const std::function<void(int, int)>& body,
                    const std::function<void()>& afterTask) {
  if (count <= 0) return 0;
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  std::mutex errorMutex;
  std::exception_ptr error;
  auto work = [&](int worker) {
    for (;;) {
      if (stop.load(std::memory_order_relaxed)) return;
      const int task = next.fetch_add(1);
      if (task >= count) return;
      try {
        body(task, worker);
        if (worker == 0 && afterTask) afterTask();
      } catch (...) {
        std::lock_guard<std::mutex> lock(errorMutex);
        if (!error) error = std::current_exception();
        stop = true;
        return;
      }
    }
  };
  std::vector<std::thread> pool;
  const int helpers = std::min(threads, count) - 1;
  for (int i = 0; i < helpers; ++i) {
    try {
      pool.emplace_back(work, i + 1);
    } catch (...) {
      break;  // fewer threads; the calling thread does the rest
    }
  }
  work(0);
  for (std::thread& t : pool) t.join();
  if (error) std::rethrow_exception(error);
  return static_cast<int>(pool.size()) + 1;
}

// ---- CReductionPipeline ----------------------------------------------------------

CReductionPipeline::CReductionPipeline(CAreaReduction& reduction, const CSourceRows& rows, int helpers)
    : reduction_(reduction), rows_(rows), done_(static_cast<size_t>(reduction.GetBandCount()), 0) {
  for (int i = 0; i < helpers; ++i) {
    try {
      helpers_.emplace_back([this, i] { HelperLoop(i + 1); });
    } catch (...) {
      break;  // fewer helpers; the calling thread runs the rest
    }
  }
}

CReductionPipeline::~CReductionPipeline() {
  Abort();
  for (std::thread& t : helpers_)
    if (t.joinable()) t.join();
}

void CReductionPipeline::SetFollowUp(int count, std::function<int(int)> readyAt, std::function<void(int, int)> run,
                                     std::function<void()> prepare) {
  std::lock_guard<std::mutex> lock(mutex_);
  followCount_ = std::max(count, 0);
  followReadyAt_ = std::move(readyAt);
  followRun_ = std::move(run);
  prepare_ = std::move(prepare);
  prepareTaken_ = !prepare_;
  prepared_ = !prepare_;
  rowsReady_.notify_all();
}

int CReductionPipeline::ReducedRows() const {
  return lowestUnfinished_ < reduction_.GetBandCount() ? reduction_.GetBandStart(lowestUnfinished_)
                                                       : reduction_.GetBandStart(reduction_.GetBandCount());
}

bool CReductionPipeline::TakeReadyBand(int& band) {
  if (aborted_ || nextBand_ >= reduction_.GetBandCount() || decoded_ < reduction_.RowsNeeded(nextBand_)) return false;
  band = nextBand_++;
  return true;
}

bool CReductionPipeline::FollowUpReady() const {
  return !aborted_ && prepared_ && nextFollowUp_ < followCount_ && ReducedRows() >= followReadyAt_(nextFollowUp_);
}

bool CReductionPipeline::TakeReadyFollowUp(int& task) {
  if (!FollowUpReady()) return false;
  task = nextFollowUp_++;
  return true;
}

void CReductionPipeline::Fail(std::unique_lock<std::mutex>&) {
  if (!error_) error_ = std::current_exception();
  aborted_ = true;
  rowsReady_.notify_all();
  bandDone_.notify_all();
}

template <typename Job>
bool CReductionPipeline::RunUnlocked(std::unique_lock<std::mutex>& lock, Job&& job) {
  lock.unlock();
  try {
    job();
  } catch (...) {
    lock.lock();
    Fail(lock);
    return false;
  }
  lock.lock();
  return true;
}

void CReductionPipeline::RunOne(int band, std::unique_lock<std::mutex>& lock) {
  if (!RunUnlocked(lock, [&] { reduction_.RunBand(band, rows_); })) return;
  done_[static_cast<size_t>(band)] = 1;
  while (lowestUnfinished_ < reduction_.GetBandCount() && done_[static_cast<size_t>(lowestUnfinished_)])
    ++lowestUnfinished_;
  if (decoderWaits_) bandDone_.notify_all();
  if (helpersIdle_ > 0 && FollowUpReady()) rowsReady_.notify_all();
}

void CReductionPipeline::RunFollowUp(int task, int worker, std::unique_lock<std::mutex>& lock) {
  if (!RunUnlocked(lock, [&] { followRun_(task, worker); })) return;
  ++followUpsDone_;
  if (decoderWaits_) bandDone_.notify_all();
}

void CReductionPipeline::RunPrepare(std::unique_lock<std::mutex>& lock) {
  prepareTaken_ = true;
  if (!RunUnlocked(lock, [&] { prepare_(); })) return;
  prepared_ = true;
  if (decoderWaits_) bandDone_.notify_all();
  if (helpersIdle_ > 0 && FollowUpReady()) rowsReady_.notify_all();
}

bool CReductionPipeline::RunReadyJob(int worker, std::unique_lock<std::mutex>& lock) {
  int job = 0;
  if (!prepareTaken_) RunPrepare(lock);
  else if (TakeReadyBand(job)) RunOne(job, lock);
  else if (TakeReadyFollowUp(job)) RunFollowUp(job, worker, lock);
  else return false;
  return true;
}

void CReductionPipeline::HelperLoop(int worker) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (aborted_) return;
    if (RunReadyJob(worker, lock)) continue;
    if (nextBand_ >= reduction_.GetBandCount() && nextFollowUp_ >= followCount_ && prepared_) return;
    // Wait for rows (the decoder wakes the helpers only when the smallest
    // need of those waiting is met; a helper that wakes too early says its
    // need again) or for reduced rows that follow-up work needs.
    if (nextBand_ < reduction_.GetBandCount()) {
      const int need = reduction_.RowsNeeded(nextBand_);
      if (waitingFor_ == 0 || need < waitingFor_) waitingFor_ = need;
    }
    ++helpersIdle_;
    rowsReady_.wait(lock);
    --helpersIdle_;
  }
}

void CReductionPipeline::BeforeRows(int first, int count) {
  if (!rows_.ringRows) return;
  std::unique_lock<std::mutex> lock(mutex_);
  // The slots of rows first .. first + count - 1 hold rows ringRows earlier;
  // no unfinished band may still need those.
  for (;;) {
    if (aborted_) return;
    const int needed = lowestUnfinished_ < reduction_.GetBandCount() ? reduction_.FirstRowNeeded(lowestUnfinished_)
                                                                      : rows_.height;
    if (first + count - 1 - rows_.ringRows < needed) return;
    int band = 0;
    if (TakeReadyBand(band)) {
      RunOne(band, lock);
    } else {
      decoderWaits_ = true;
      bandDone_.wait(lock);
      decoderWaits_ = false;
    }
  }
}

void CReductionPipeline::RowsDecoded(int rows) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    decoded_ = std::max(decoded_, rows);
    wake = waitingFor_ != 0 && decoded_ >= waitingFor_;
    if (wake) waitingFor_ = 0;
  }
  if (wake) rowsReady_.notify_all();
}

void CReductionPipeline::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  decoded_ = rows_.height;
  waitingFor_ = 0;
  rowsReady_.notify_all();
  for (;;) {
    if (aborted_) break;
    if (RunReadyJob(0, lock)) continue;
    if (lowestUnfinished_ >= reduction_.GetBandCount() && prepared_ && followUpsDone_ >= followCount_) break;
    decoderWaits_ = true;
    bandDone_.wait(lock);
    decoderWaits_ = false;
  }
  lock.unlock();
  for (std::thread& t : helpers_) t.join();
  helpers_.clear();
  if (error_) std::rethrow_exception(error_);
}

void CReductionPipeline::Abort() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    aborted_ = true;
  }
  rowsReady_.notify_all();
  bandDone_.notify_all();
}
