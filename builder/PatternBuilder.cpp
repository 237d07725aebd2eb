// The design builder. The steps, in order: the bead budget, the parameters
// taken over, the grid counted, a picture larger than the grid both ways
// reduced to one pixel per bead, the format's room for offsets, then the
// beads row by row from the bottom (position, alternate flag, sampled
// colour, nearest palette colour), the border of blank designs, the stitch
// path, the angle, and the softening pass of the Softened mode.
//
// The rows of beads are independent (each row starts its x afresh; the row
// heights are added up beforehand in the same order), so they are laid out
// on several threads. Each thread has its own copy of the palette's
// nearest-colour index with a small cache of answers keyed by RGB; the
// index answers exactly as the palette's own search.
#include "builder/PatternBuilder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "builder/BuildPicture.h"
#include "design/StitchPath.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Progress.h"
#include "core/LargeArray.h"
#include "core/PathUtils.h"
#include "design/Pattern.h"
#include "design/PatternParams.h"
#include "image/Image.h"
#include "lang/ids/builder.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "settings/AppSettings.h"

namespace {

// trunc() of a double as a 64-bit integer; NaN gives 0, values beyond the
// range stop at its ends.
long long TruncToLong(double v) {
  if (!(v == v)) return 0;
  if (v >= 4.0e18) return 4000000000000000000LL;
  if (v <= -4.0e18) return -4000000000000000000LL;
  return static_cast<long long>(v);
}

// The pixel rectangle under a bead (inclusive, rows from the bottom); the
// last column and row are kept inside the picture, the first ones are not.
struct PixelRect {
  long long c0, c1, r0, r1;
};

PixelRect BeadPixelRect(double x, double y, double rw, double rh, int width, int height, double xScale, double yScale,
                        bool centreOnly) {
  PixelRect p;
  double fx = x - rw / 2;
  if (fx < 0) fx = 0;
  p.c0 = TruncToLong(width * fx * xScale);
  p.c1 = TruncToLong(width * std::min(1.0, xScale * (rw + fx)));
  if (p.c1 >= width) p.c1 = width - 1;
  double fy = y - rh / 2;
  if (fy < 0) fy = 0;
  p.r0 = TruncToLong(height * fy * yScale);
  p.r1 = TruncToLong(height * std::min(1.0, yScale * (rh + fy)));
  if (p.r1 >= height) p.r1 = height - 1;
  if (centreOnly) {
    p.c0 = p.c1 = (p.c0 + p.c1) / 2;
    p.r0 = p.r1 = (p.r0 + p.r1) / 2;
  }
  return p;
}

// The mean colour of the rectangle's pixels that lie in the picture.
COLORREF MeanOf(const CSampleImage& image, const PixelRect& p) {
  const long long c0 = std::max(p.c0, 0LL), c1 = std::min<long long>(p.c1, image.width - 1);
  const long long r0 = std::max(p.r0, 0LL), r1 = std::min<long long>(p.r1, image.height - 1);
  if (c0 > c1 || r0 > r1) return 0;
  if (c0 == c1 && r0 == r1) {
    const BYTE* q = image.Pixel(static_cast<int>(c0), static_cast<int>(r0));
    return RGB(q[2], q[1], q[0]);
  }
  std::uint64_t sb = 0, sg = 0, sr = 0;
  for (long long y = r0; y <= r1; ++y) {
    const BYTE* q = image.Pixel(static_cast<int>(c0), static_cast<int>(y));
    for (long long x = c0; x <= c1; ++x, q += 3) {
      sb += q[0];
      sg += q[1];
      sr += q[2];
    }
  }
  const std::uint64_t n = static_cast<std::uint64_t>(c1 - c0 + 1) * static_cast<std::uint64_t>(r1 - r0 + 1);
  return RGB(static_cast<BYTE>(sr / n), static_cast<BYTE>(sg / n), static_cast<BYTE>(sb / n));
}

// Sizes a stored design can hold: finite, beads of some size, a spacer of
// none or more (a bead plus spacer of zero or less would also be divided
// by).
bool SizesHoldBeads(const CPatternParams& p) {
  for (double size : {p.m_width, p.m_height, p.m_beadWidth, p.m_beadHeight, p.m_spacer})
    if (!std::isfinite(size)) return false;
  return p.m_beadWidth > 0 && p.m_beadHeight > 0 && p.m_spacer >= 0;
}

// One thread's nearest-colour search: the palette's index rebuilt from its
// colours, with the last answers kept by RGB.
class CNearestCache {
 public:
  explicit CNearestCache(const CColorSet& palette) : keys_(kSlots, 0), values_(kSlots, -1) {
    index_.Build(palette.GetColors());
  }
  // For another build (the blocks are kept).
  void Reset(const CColorSet& palette) {
    index_.Build(palette.GetColors());
    std::fill(keys_.begin(), keys_.end(), 0u);
  }
  int Find(COLORREF color) {
    const std::uint32_t rgb = color & 0xFFFFFFu;
    const size_t slot = ((rgb * 2654435761u) >> (32 - kBits)) & (kSlots - 1);
    if (keys_[slot] == rgb + 1) return values_[slot];
    int distance = 0;
    const int index = index_.Find(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), distance);
    keys_[slot] = rgb + 1;
    values_[slot] = index;
    return index;
  }

 private:
  static constexpr int kBits = 15;
  static constexpr size_t kSlots = size_t{1} << kBits;
  CNearestColorIndex index_;
  std::vector<std::uint32_t> keys_;  // RGB + 1; 0 = empty
  std::vector<int> values_;
};

// Caches are kept for the next build, a few of them: their blocks are made
// once (giving them back to the system costs as much as making them, on
// every build, and more while other threads of the program run).
class CNearestCachePool {
 public:
  static std::unique_ptr<CNearestCache> Take(const CColorSet& palette) {
    std::unique_ptr<CNearestCache> cache;
    {
      Pool& pool = Get();
      std::lock_guard<std::mutex> lock(pool.mutex);
      if (!pool.free.empty()) {
        cache = std::move(pool.free.back());
        pool.free.pop_back();
      }
    }
    if (cache) cache->Reset(palette);
    else cache = std::make_unique<CNearestCache>(palette);
    return cache;
  }
  static void Give(std::unique_ptr<CNearestCache> cache) {
    if (!cache) return;
    Pool& pool = Get();
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (pool.free.size() < kKept) pool.free.push_back(std::move(cache));
  }

 private:
  static constexpr size_t kKept = 16;
  struct Pool {
    std::mutex mutex;
    std::vector<std::unique_ptr<CNearestCache>> free;
  };
  static Pool& Get() {
    static Pool pool;
    return pool;
  }
};

// One cache per worker, made when the worker first needs it.
class CNearestCaches {
 public:
  CNearestCaches(const CColorSet& palette, int workers) : palette_(palette), caches_(static_cast<size_t>(workers)) {}
  ~CNearestCaches() {
    for (std::unique_ptr<CNearestCache>& c : caches_) CNearestCachePool::Give(std::move(c));
  }
  CNearestCaches(const CNearestCaches&) = delete;
  CNearestCaches& operator=(const CNearestCaches&) = delete;
  CNearestCache& For(int worker) {
    std::unique_ptr<CNearestCache>& c = caches_[static_cast<size_t>(worker)];
    if (!c) c = CNearestCachePool::Take(palette_);
    return *c;
  }

 private:
  const CColorSet& palette_;
  std::vector<std::unique_ptr<CNearestCache>> caches_;
};

// One build: the steps around the picture.
class CBuildJob {
 public:
  CBuildJob(CPattern& design, const CPatternParams& params, const CColorSet& palette, IProgressHost* progress)
      : design_(design), params_(params), palette_(palette), progressHost_(progress) {}

  // The start of a build: the budget, the parameters, the beads emptied,
  // the counts. False ends the build.
  bool Begin(unsigned long long budget) {
    if (!HasColorForBeads(palette_) || !SizesHoldBeads(params_)) return false;
    if (!params_.CheckBeadBudget(budget)) return false;
    design_.ApplyParams(params_);
    design_.m_beads.clear();
    design_.m_rowFormats.clear();
    design_.m_markedBeads.clear();
    columns_ = design_.ComputeColumns();
    rows_ = design_.ComputeRows();
    // A grid of no bead, or one whose size overflows, could not be stored.
    if (columns_ == 0 || rows_ == 0 || !std::isfinite(design_.m_actualWidth) ||
        !std::isfinite(design_.m_actualHeight))
      return false;
    // Bead indexes are ints.
    return static_cast<unsigned long long>(columns_) * rows_ <= static_cast<unsigned long long>(INT_MAX);
  }

  unsigned Columns() const { return columns_; }
  unsigned Rows() const { return rows_; }
  bool IsBlank() const { return design_.m_blank != 0; }
  // Whether the picture is larger than the grid both ways (then it is
  // reduced first).
  bool NeedsReduction(int width, int height) const {
    return static_cast<long long>(columns_) < width && static_cast<long long>(rows_) < height;
  }

  // Makes the bead array and the threads' nearest-colour searches; may run
  // on another thread while the picture decodes (it touches nothing else).
  // `workers` searches are made at once; the others when first needed.
  void Prepare(int workers = 0) {
    if (prepared_) return;
    const long long count = static_cast<long long>(columns_) * rows_;
    design_.m_beads.resize(static_cast<size_t>(count));
    const int threads = BuilderThreadCount(count);
    caches_ = std::make_unique<CNearestCaches>(palette_, std::max(threads, workers));
    if (!IsBlank())
      for (int w = 0; w < workers; ++w) caches_->For(w);
    prepared_ = true;
  }

  // The grid, the layout and what the rows of beads share; false when a picture
  // build has no pixels. The beads are laid by RunBeadTask, in tasks of
  // rows from the top, and CompleteBeads does the rest.
  bool SetUpBeads(const CSampleImage* source) {
    CPattern& d = design_;
    format_ = params_.m_format;
    d.ApplyFormatOffset(format_);
    bw_ = d.m_beadWidth;
    bh_ = d.m_beadHeight;
    sp_ = d.m_spacer;
    const int columns = static_cast<int>(columns_), rows = static_cast<int>(rows_);
    const long long count = static_cast<long long>(columns) * rows;
    if (count > kBuildProgressBeads && progressHost_)
      progress_ = std::make_unique<CStatusProgress>(progressHost_, rows, static_cast<UINT>(IDS_BUILDING_PATTERN));

    d.m_colorMode = params_.m_colorMode;
    centreOnly_ = params_.m_colorMode == kColorModeSharp || params_.m_colorMode == kColorModeClassic;
    blank_ = IsBlank();
    if (!blank_ && (!source || source->IsEmpty())) return false;
    source_ = blank_ ? nullptr : source;

    // Row heights added up from the bottom, column offsets of the format.
    rowY_.assign(static_cast<size_t>(rows), 0.0);
    double y = bh_ / 2;
    for (int i = 0; i < rows; ++i) {
      rowY_[static_cast<size_t>(i)] = y;
      y += bh_ + sp_;
    }
    // The columns' raises in inches first: the highest centre decides
    // whether the design needs more height than its format's room.
    offsets_.assign(static_cast<size_t>(columns), 0.0);
    int divisor = d.m_sacredPeyoteDivisor;
    if (divisor <= 0) divisor = 3;  // a divisor of zero or less counts as the default
    for (int j = 0; j < columns; ++j) {
      if (IsPeyoteFormat(format_) && IsShiftedColumn(format_, j))
        offsets_[static_cast<size_t>(j)] = (sp_ + bh_) / 2;
      else if (format_ == kFormatSacredPeyote)
        offsets_[static_cast<size_t>(j)] =
            (sp_ + bh_) / static_cast<double>(divisor) * static_cast<double>(2 - j % 3);
    }
    if (rows > 0 && columns > 0)
      d.HoldBeadCentre(rowY_[static_cast<size_t>(rows - 1)] + *std::max_element(offsets_.begin(), offsets_.end()));
    aw_ = d.m_actualWidth;
    ah_ = d.m_actualHeight;
    rw_ = bw_ / aw_;
    rh_ = bh_ / ah_;
    for (double& offset : offsets_) offset /= ah_;
    lowestOffset_ = offsets_.empty() ? 0.0 : *std::min_element(offsets_.begin(), offsets_.end());
    blankColor_ = GetAppSettings().m_blankColor;
    blankIndex_ = blank_ ? palette_.FindNearestColor(GetRValue(blankColor_), GetGValue(blankColor_),
                                                      GetBValue(blankColor_))
                         : -1;
    threads_ = BuilderThreadCount(count);
    tasks_ = threads_ > 1 ? std::min(rows, threads_ * 8) : 1;
    return true;
  }

  int BeadTaskCount() const { return rows_ ? tasks_ : 0; }

  // The rows of the reduced picture, from the top, that a task of bead rows
  // samples: its lowest row of beads reaches furthest down. (A bead's first
  // pixel row grows with its y, so the lowest bead of a row decides.)
  int BeadTaskReadyAt(int task) const {
    if (!source_) return 0;
    const int rows = static_cast<int>(rows_);
    const int lowestRow = rows - 1 - (TaskTop(task + 1) - 1);  // storage row of the task's last row from the top
    const double y = rowY_[static_cast<size_t>(lowestRow)] / ah_ + lowestOffset_;
    double fy = y - rh_ / 2;
    if (fy < 0) fy = 0;
    long long r0 = TruncToLong(source_->height * fy * 1.0);
    r0 = std::clamp<long long>(r0, 0, source_->height - 1);
    return static_cast<int>(source_->height - r0);
  }

  // Lays the beads of the task's rows (rows from the top).
  void RunBeadTask(int task, int worker) {
    CPattern& d = design_;
    const int rows = static_cast<int>(rows_), columns = static_cast<int>(columns_);
    CNearestCache* nearest = blank_ ? nullptr : &caches_->For(worker);
    CBead* beads = d.m_beads.data();
    for (int top = TaskTop(task); top < TaskTop(task + 1); ++top) {
      const int i = rows - 1 - top;
      const double fy = rowY_[static_cast<size_t>(i)] / ah_;
      double x = d.GetRowStartX(rows - i - 1, format_);
      BYTE alternate = 1;
      CBead* bead = beads + static_cast<size_t>(i) * static_cast<size_t>(columns);
      for (int j = 0; j < columns; ++j, ++bead) {
        *bead = CBead(BeadFraction(x, aw_), std::min(1.0, fy + offsets_[static_cast<size_t>(j)]));
        bead->m_alternate = alternate;
        alternate = alternate ? 0 : 1;
        if (blank_) {
          bead->m_cachedColor = blankColor_;
          bead->SetColorIndex(blankIndex_);
        } else {
          const PixelRect p =
              BeadPixelRect(bead->m_x, bead->m_y, rw_, rh_, source_->width, source_->height, 1.0, 1.0, centreOnly_);
          bead->m_cachedColor = MeanOf(*source_, p);
          bead->SetColorIndex(nearest->Find(bead->m_cachedColor));
        }
        x += bw_ + sp_;
      }
    }
    rowsDone_ += TaskTop(task + 1) - TaskTop(task);
  }

  // Shows the rows laid so far (the calling thread only).
  void ShowProgress() {
    if (progress_) progress_->SetPos(rowsDone_.load());
  }

  // The end of a build: the border ring, the stitch path, the angle and the
  // softening.
  bool CompleteBeads() {
    CPattern& d = design_;
    const int rows = static_cast<int>(rows_), columns = static_cast<int>(columns_);
    // The border ring of blank designs.
    const COLORREF border = GetAppSettings().m_borderColor;
    if (blank_ && border != 0xFFFFFFFFu) {
      const int index = palette_.FindNearestColor(GetRValue(border), GetGValue(border), GetBValue(border));
      for (int r = 0; r < rows; ++r) {
        d.SetBeadColor(0, r, index, true);
        d.SetBeadColor(columns - 1, r, index, true);
      }
      for (int c = 0; c < columns; ++c) {
        d.SetBeadColor(c, 0, index, true);
        d.SetBeadColor(c, rows - 1, index, true);
      }
    }
    if (params_.m_stitchPath != 0) ApplyStitchPath(d, params_.m_stitchPath, params_.m_pathColor);
    progress_.reset();
    d.m_angle = 0;
    if (params_.m_colorMode == kColorModeSoftened) SmoothColors(d, palette_);
    return true;
  }

  // Everything after the start, with the pixels to sample (ignored for
  // blank designs).
  bool Finish(const CSampleImage* source) {
    if (!SetUpBeads(source)) return false;
    Prepare(BeadTaskCount() > 0 && !blank_ ? threads_ : 0);
    RunBuilderTasks(
        BeadTaskCount(), threads_, [&](int task, int worker) { RunBeadTask(task, worker); },
        [&] { ShowProgress(); });
    return CompleteBeads();
  }

 private:
  CPattern& design_;
  const CPatternParams& params_;
  const CColorSet& palette_;
  unsigned columns_ = 0;
  unsigned rows_ = 0;
  bool prepared_ = false;
  std::unique_ptr<CNearestCaches> caches_;
  // What the rows of beads share (SetUpBeads).
  int TaskTop(int task) const {
    return static_cast<int>(static_cast<long long>(task) * static_cast<long long>(rows_) / tasks_);
  }
  int format_ = 0;
  double bw_ = 0, bh_ = 0, sp_ = 0, aw_ = 0, ah_ = 0, rw_ = 0, rh_ = 0;
  bool centreOnly_ = false;
  bool blank_ = false;
  const CSampleImage* source_ = nullptr;
  std::vector<double> rowY_;
  std::vector<double> offsets_;
  double lowestOffset_ = 0;
  COLORREF blankColor_ = 0;
  int blankIndex_ = -1;
  int threads_ = 1;
  int tasks_ = 1;
  std::atomic<int> rowsDone_{0};
  IProgressHost* progressHost_;
  std::unique_ptr<CStatusProgress> progress_;
};

// Reduces a 24-bit picture's rows on every thread, the rows of beads
// following each as soon as the reduced rows they sample are there.
bool ReduceAndLay(CBuildJob& job, CAreaReduction& reduction, const BYTE* bits, std::ptrdiff_t stride, int height,
                  int threads) {
  CSourceRows rows;
  rows.base = bits;
  rows.stride = stride;
  rows.height = height;
  if (!job.SetUpBeads(&reduction.GetResult())) return false;
  {
    CReductionPipeline pipeline(reduction, rows, threads - 1);
    pipeline.SetFollowUp(
        job.BeadTaskCount(), [&](int task) { return job.BeadTaskReadyAt(task); },
        [&](int task, int worker) { job.RunBeadTask(task, worker); }, [&] { job.Prepare(threads); });
    pipeline.Finish();
  }
  job.ShowProgress();
  return job.CompleteBeads();
}

int BandsFor(int threads, int rows) { return threads > 1 ? std::max(threads * 8, rows / 8) : 1; }

// A build from a picture in memory.
bool BuildFromPicture(CBuildJob& job, const CImage* picture) {
  if (job.IsBlank()) return job.Finish(nullptr);
  if (!picture) return false;
  const int w = picture->GetWidth(), h = picture->GetHeight();
  CSampleImage source;
  CAreaReduction reduction;
  if (job.NeedsReduction(w, h)) {
    const int columns = static_cast<int>(job.Columns()), rows = static_cast<int>(job.Rows());
    if (columns <= 0 || rows <= 0) return false;  // nothing to reduce to
    if (picture->GetBitsPerPixel() == 24 && picture->GetBits() && picture->GetRowStride() >= 3 * w) {
      const int threads = BuilderThreadCount(static_cast<long long>(w) * h);
      if (!reduction.Plan(w, h, columns, rows, BandsFor(threads, rows))) return false;
      return ReduceAndLay(job, reduction, picture->GetBits(), picture->GetRowStride(), h, threads);
    }
    // Other depths go the picture library's way.
    std::unique_ptr<CImage> resized = picture->CreateResized(SIZE{columns, rows});
    if (!resized || !MakeSampleImage(*resized, source)) return false;
    return job.Finish(&source);
  }
  if (!MakeSampleImage(*picture, source)) return false;
  return job.Finish(&source);
}

// ---- Files ----

// A block of page memory that is not filled first (the system gives zeroed
// pages as they are first written).
class CFileBytes {
 public:
  CFileBytes() = default;
  CFileBytes(const CFileBytes&) = delete;
  CFileBytes& operator=(const CFileBytes&) = delete;
  ~CFileBytes() { Free(); }
  void resize(size_t size) {
    Free();
    if (size == 0) return;
    data_ = static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!data_) throw std::bad_alloc();
    size_ = size;
  }
  BYTE* data() { return data_; }
  const BYTE* data() const { return data_; }
  size_t size() const { return size_; }
  BYTE operator[](size_t i) const { return data_[i]; }

 private:
  void Free() {
    if (data_) VirtualFree(data_, 0, MEM_RELEASE);
    data_ = nullptr;
    size_ = 0;
  }
  BYTE* data_ = nullptr;
  size_t size_ = 0;
};

bool HasJpegExtension(const char* path) {
  const CString ext = GetPathExtension(path);
  return ext.CompareNoCase(".jpg") == 0 || ext.CompareNoCase(".jpeg") == 0;
}

// Decoded rows go to `rows`; the pipeline (when there is one) hears of them.
struct CPipelineSink : CJpegRowSink {
  CPipelineSink(CReductionPipeline* p, const CSourceRows& r) : pipeline(p), rows(r) {
    getRows = GetRows;
    rowsDone = RowsDone;
    context = this;
  }
  static void GetRows(void* context, int first, int count, BYTE** out) {
    CPipelineSink* sink = static_cast<CPipelineSink*>(context);
    try {
      if (sink->pipeline) sink->pipeline->BeforeRows(first, count);
    } catch (...) {
      sink->pipeline->Abort();  // nothing may leave through the decoder
    }
    for (int k = 0; k < count; ++k) out[k] = const_cast<BYTE*>(sink->rows.Row(first + k));
  }
  static void RowsDone(void* context, int done) {
    CPipelineSink* sink = static_cast<CPipelineSink*>(context);
    if (sink->pipeline) sink->pipeline->RowsDecoded(done);
  }
  CReductionPipeline* pipeline;
  CSourceRows rows;
};

enum class FastResult { kBuilt, kFailed, kNotTaken };

// Reducing a row costs a fraction of decoding it: a few helpers keep up
// with the decoder, and more would only take processor time from it.
constexpr int kPipelineHelpers = 3;

// The JPEG road. A picture that is reduced and not kept is decoded into a
// ring of rows that the reduction empties as the decoder fills it; a kept
// picture, or one sampled unchanged, is decoded into its own block. The
// threads reduce the rows already decoded. kNotTaken when the file is not a
// three-component JPEG that decodes; the caller then loads it the usual way.
FastResult BuildFromJpeg(CBuildJob& job, unsigned long long budget, const CFileBytes& bytes, const char* path,
                         bool keepPicture, std::unique_ptr<CImage>& picture) {
  CJpegInfo info;
  if (!ReadJpegInfo(bytes.data(), bytes.size(), info) || info.components != 3 || info.width <= 0 ||
      info.height <= 0)
    return FastResult::kNotTaken;
  if (!job.Begin(budget)) return FastResult::kFailed;
  const int w = info.width, h = info.height;
  const bool reduce = !job.IsBlank() && job.NeedsReduction(w, h);
  std::unique_ptr<CImage> image;
  if (keepPicture || !reduce) {
    bool ok = false;
    image = std::make_unique<CImage>(w, h, ok, 0xFFFFFFFFu);
    if (!ok || image->GetBitsPerPixel() != 24 || !image->GetBits()) return FastResult::kNotTaken;
    image->SetType(kImageTypeJPG);
    image->SetFileName(path);
  }
  if (!reduce) {
    CJpegBlockSink sink(image->GetBits(), image->GetRowStride(), h);
    if (!DecodeJpegRows(bytes.data(), bytes.size(), w, h, sink)) return FastResult::kNotTaken;
    CSampleImage source;
    const bool built = job.IsBlank() ? job.Finish(nullptr) : (MakeSampleImage(*image, source) && job.Finish(&source));
    picture = std::move(image);
    return built ? FastResult::kBuilt : FastResult::kFailed;
  }

  const int columns = static_cast<int>(job.Columns()), rows = static_cast<int>(job.Rows());
  if (columns <= 0 || rows <= 0) return FastResult::kFailed;
  const int threads = BuilderThreadCount(static_cast<long long>(w) * h);
  CAreaReduction reduction;
  if (!reduction.Plan(w, h, columns, rows, BandsFor(threads, rows))) return FastResult::kFailed;
  CSourceRows source;
  source.height = h;
  CFileBytes ring;
  if (image) {
    source.base = image->GetBits();
    source.stride = image->GetRowStride();
  } else {
    // Room for the bands every thread may hold, and a batch of rows.
    const long long ringRows =
        std::min<long long>(h, static_cast<long long>(threads + 1) * reduction.GetMaxBandRows() + 32);
    // Rows start 16 bytes off a 32-byte boundary: libjpeg then writes them
    // with ordinary stores that leave them in the cache for the reduction,
    // instead of streaming aligned rows past it.
    source.stride = static_cast<std::ptrdiff_t>((static_cast<size_t>(w) * 3 + 31) / 32 * 32 + 16);
    source.ringRows = static_cast<int>(ringRows);
    ring.resize(static_cast<size_t>(ringRows) * static_cast<size_t>(source.stride) + 64);
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(ring.data());
    source.base = ring.data() + ((48 - at % 32) % 32);
  }
  // The rows of beads follow the reduction: a task of bead rows starts as
  // soon as the reduced rows it samples are there. The bead array and the
  // colour searches are made first, on a helper.
  if (!job.SetUpBeads(&reduction.GetResult())) return FastResult::kFailed;
  const int helpers = std::min(threads - 1, kPipelineHelpers);
  {
    CReductionPipeline pipeline(reduction, source, helpers);
    pipeline.SetFollowUp(
        job.BeadTaskCount(), [&](int task) { return job.BeadTaskReadyAt(task); },
        [&](int task, int worker) { job.RunBeadTask(task, worker); }, [&] { job.Prepare(helpers + 1); });
    CPipelineSink sink(&pipeline, source);
    if (!DecodeJpegRows(bytes.data(), bytes.size(), w, h, sink)) {
      pipeline.Abort();
      return FastResult::kNotTaken;
    }
    pipeline.Finish();
  }
  job.ShowProgress();
  const bool built = job.CompleteBeads();
  picture = std::move(image);
  return built ? FastResult::kBuilt : FastResult::kFailed;
}

}  // namespace

bool BuildPatternGrid(CPattern& design, unsigned long long budget, const CPatternParams& params,
                      const CColorSet& palette, const CImage* picture, IProgressHost* progress) {
  CBuildJob job(design, params, palette, progress);
  if (!job.Begin(budget)) return false;
  return BuildFromPicture(job, picture);
}

bool HasColorForBeads(const CColorSet& palette) { return palette.GetCheckedCount() > 0; }

bool BuildPattern(CPattern& design, unsigned long long budget, const CPatternParams& params, const CColorSet& palette,
                  const CImage* picture, IProgressHost* progress) {
  if (!HasColorForBeads(palette)) {
    AppMessageBoxId(IDS_NO_PALETTE_COLOR_IN_USE, kMbIconStop);
    return false;
  }
  bool ok = false;
  try {
    ok = BuildPatternGrid(design, budget, params, palette, picture, progress);
  } catch (...) {
    ok = false;
  }
  if (!ok) AppMessageBoxId(IDS_MEMORY_PROBLEM, kMbIconStop);
  return ok;
}

BuildFileResult BuildPatternFromFile(CPattern& design, unsigned long long budget, const CPatternParams& params,
                                     const CColorSet& palette, const char* path, std::unique_ptr<CImage>* picture,
                                     IProgressHost* progress) {
  if (!path) return BuildFileResult::kPictureNotLoaded;
  if (!HasColorForBeads(palette)) {
    AppMessageBoxId(IDS_NO_PALETTE_COLOR_IN_USE, kMbIconStop);
    return BuildFileResult::kBuildFailed;
  }
  std::unique_ptr<CImage> loaded;
  if (HasJpegExtension(path)) {
    CFileBytes bytes;
    if (ReadWholeFile(path, bytes, 0xFFFFFFFFull) && bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
      FastResult result = FastResult::kNotTaken;
      try {
        CBuildJob job(design, params, palette, progress);
        result = BuildFromJpeg(job, budget, bytes, path, picture != nullptr, loaded);
      } catch (...) {
        result = FastResult::kFailed;
      }
      if (result != FastResult::kNotTaken) {
        if (picture) *picture = std::move(loaded);
        if (result == FastResult::kBuilt) return BuildFileResult::kBuilt;
        AppMessageBoxId(IDS_MEMORY_PROBLEM, kMbIconStop);
        return BuildFileResult::kBuildFailed;
      }
    }
  }
  bool ok = false;
  try {
    loaded = std::make_unique<CImage>(path, ok);
  } catch (...) {
    ok = false;
  }
  if (!ok) return BuildFileResult::kPictureNotLoaded;
  const bool built = BuildPattern(design, budget, params, palette, loaded.get(), progress);
  if (picture) *picture = std::move(loaded);
  return built ? BuildFileResult::kBuilt : BuildFileResult::kBuildFailed;
}

COLORREF SampleImageRect(const CBead& bead, double relWidth, double relHeight, const CImage& picture, double xScale,
                         double yScale, bool centreOnly) {
  const int w = picture.GetWidth(), h = picture.GetHeight();
  if (w <= 0 || h <= 0) return 0;
  const PixelRect p = BeadPixelRect(bead.m_x, bead.m_y, relWidth, relHeight, w, h, xScale, yScale, centreOnly);
  std::uint64_t sr = 0, sg = 0, sb = 0, n = 0;
  for (long long y = std::max(p.r0, 0LL); y <= std::min<long long>(p.r1, h - 1); ++y)
    for (long long x = std::max(p.c0, 0LL); x <= std::min<long long>(p.c1, w - 1); ++x) {
      BYTE r = 0, g = 0, b = 0;
      if (!picture.GetPixelRGB(static_cast<int>(x), static_cast<int>(y), r, g, b)) continue;
      sr += r;
      sg += g;
      sb += b;
      ++n;
    }
  if (n == 0) return 0;
  return RGB(static_cast<BYTE>(sr / n), static_cast<BYTE>(sg / n), static_cast<BYTE>(sb / n));
}

int SmoothColors(CPattern& design, const CColorSet& palette) {
  const long long columns = design.GetColumnCount(), rows = design.GetRowCount();
  if (columns < 3 || rows < 3 || static_cast<long long>(design.m_beads.size()) < columns * rows)
    return static_cast<int>(rows);
  const int inner = static_cast<int>(rows - 2);
  const int threads = BuilderThreadCount(columns * rows);
  const int tasks = threads > 1 ? std::min(inner, threads * 8) : 1;
  CNearestCaches caches(palette, threads);
  CBead* beads = design.m_beads.data();
  RunBuilderTasks(tasks, threads, [&](int task, int worker) {
    CNearestCache& nearest = caches.For(worker);
    const long long i0 = 1 + static_cast<long long>(task) * inner / tasks;
    const long long i1 = 1 + static_cast<long long>(task + 1) * inner / tasks;
    for (long long i = i0; i < i1; ++i)
      for (long long j = 1; j < columns - 1; ++j) {
        unsigned r = 0, g = 0, b = 0;
        for (long long di = -1; di <= 1; ++di)
          for (long long dj = -1; dj <= 1; ++dj) {
            const COLORREF c = beads[static_cast<size_t>((i + di) * columns + j + dj)].m_cachedColor;
            r += GetRValue(c);
            g += GetGValue(c);
            b += GetBValue(c);
          }
        const COLORREF mean = RGB(static_cast<BYTE>(r / 9), static_cast<BYTE>(g / 9), static_cast<BYTE>(b / 9));
        beads[static_cast<size_t>(i * columns + j)].SetColorIndex(nearest.Find(mean));
      }
  });
  return static_cast<int>(rows);
}
