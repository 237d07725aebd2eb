// The builder's pixel rows, the task runner and the reduction pipeline.
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
