#include "builder/ColorOps.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <chrono>
#include <new>
#include <utility>

#include "builder/BuildPicture.h"
#include "core/FrameServices.h"
#include "core/Progress.h"
#include "core/LargeArray.h"
#include "core/HslColor.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "palette/NearestColor.h"

namespace {

constexpr int kNotSeen = -2;

// The in-use colour nearest to each colour index of the palette, computed
// on first meeting.
class CIndexRemap {
 public:
  explicit CIndexRemap(int count) : map_(static_cast<size_t>(count > 0 ? count : 0), kNotSeen) {}
  template <typename Compute>
  int Get(int index, Compute compute) {
    int& slot = map_[static_cast<size_t>(index)];
    if (slot == kNotSeen) slot = compute(index);
    return slot;
  }

 private:
  std::vector<int> map_;
};

}  // namespace

int SquaredColorDistance(COLORREF a, COLORREF b) {
  const int dr = static_cast<int>(GetRValue(a)) - GetRValue(b);
  const int dg = static_cast<int>(GetGValue(a)) - GetGValue(b);
  const int db = static_cast<int>(GetBValue(a)) - GetBValue(b);
  return dr * dr + dg * dg + db * db;
}

namespace {

template <typename T>
using CBigVector = std::vector<T, CLargeBlockAllocator<T>>;

// The allocator of lists that are written in full before they are read:
// page memory for large ones, and no zero-filling of new elements.
template <typename T>
class CRawAllocator {
 public:
  using value_type = T;
  CRawAllocator() noexcept = default;
  template <typename U>
  CRawAllocator(const CRawAllocator<U>&) noexcept {}
  T* allocate(size_t n) { return CLargeBlockAllocator<T>().allocate(n); }
  void deallocate(T* p, size_t n) noexcept { CLargeBlockAllocator<T>().deallocate(p, n); }
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <typename U>
  friend bool operator==(const CRawAllocator&, const CRawAllocator<U>&) noexcept {
    return true;
  }
};
template <typename T>
using CRawVector = std::vector<T, CRawAllocator<T>>;

// Helper threads kept for one whole operation (started when a job first
// needs them): ForBands runs body(from, to) over bands of [0, count), on
// the processors when the job is large enough to pay for them, the calling
// thread taking its share. Jobs often come one right after the other (the
// merging's steps, a few thousand colours each), and waking a sleeping
// thread costs more than such a job: between jobs the helpers look out for
// the next one for a short while before they sleep, they join a job
// without a lock, and the caller looks out for the helpers' last bands
// before it sleeps. A helper that comes after every band is taken stays
// out. One job at a time, from one thread; the first exception a band
// throws is thrown again on the calling thread.
class CWorkTeam {
 public:
  CWorkTeam() = default;
  CWorkTeam(const CWorkTeam&) = delete;
  CWorkTeam& operator=(const CWorkTeam&) = delete;
  ~CWorkTeam() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  // `work` is the job's size in steps of about a bead's read: small jobs
  // stay on the calling thread.
  template <typename Body>
  void ForBands(size_t count, long long work, Body body) {
    const int threads = count < 2 ? 1 : BuilderThreadCount(work);
    if (threads > 1 && !started_) {
      started_ = true;
      for (int i = 1; i < threads; ++i) {
        try {
          threads_.emplace_back([this] { Loop(); });
        } catch (...) {
          break;  // fewer helpers; the calling thread does the rest
        }
      }
    }
    if (threads <= 1 || threads_.empty()) {
      body(size_t{0}, count);
      return;
    }
    const size_t tasks = std::min(count, (threads_.size() + 1) * 4);
    const std::function<void(size_t)> task = [&](size_t t) { body(count * t / tasks, count * (t + 1) / tasks); };
    task_ = &task;
    tasks_ = tasks;
    next_.store(0, std::memory_order_relaxed);
    error_ = nullptr;
    open_.store(true);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      generation_.fetch_add(1);
      if (sleeping_) wake_.notify_all();
    }
    Work();
    open_.store(false);  // every band is taken: helpers coming now stay out
    const auto until = std::chrono::steady_clock::now() + kLookOut;
    for (unsigned n = 1; joined_.load() != 0; ++n) {
      if (n % 64 == 0 && std::chrono::steady_clock::now() > until) {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return joined_.load() == 0; });
        break;
      }
      Pause();
    }
    task_ = nullptr;
    if (error_) std::rethrow_exception(error_);
  }

 private:
  static constexpr std::chrono::microseconds kLookOut{200};

  static void Pause() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
  }
  void Work() {
    for (;;) {
      const size_t t = next_.fetch_add(1);
      if (t >= tasks_) return;
      try {
        (*task_)(t);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error_) error_ = std::current_exception();
        next_.store(tasks_);  // no further bands
      }
    }
  }
  void Loop() {
    unsigned seen = 0;
    for (;;) {
      const auto until = std::chrono::steady_clock::now() + kLookOut;
      for (unsigned n = 1; generation_.load() == seen && !stop_.load(); ++n) {
        if (n % 64 == 0 && std::chrono::steady_clock::now() > until) {
          std::unique_lock<std::mutex> lock(mutex_);
          ++sleeping_;
          wake_.wait(lock, [&] { return stop_.load() || generation_.load() != seen; });
          --sleeping_;
          break;
        }
        Pause();
      }
      if (stop_.load()) return;
      seen = generation_.load();
      // Joined first, then the job looked at: the caller, which closes the
      // job before it counts the helpers inside, never misses one.
      joined_.fetch_add(1);
      if (open_.load()) Work();
      if (joined_.fetch_sub(1) == 1) {
        std::lock_guard<std::mutex> lock(mutex_);
        done_.notify_one();
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::vector<std::thread> threads_;
  const std::function<void(size_t)>* task_ = nullptr;
  size_t tasks_ = 0;
  std::exception_ptr error_;
  size_t sleeping_ = 0;  // helpers waiting on wake_ (under mutex_)
  bool started_ = false;
  // Apart from each other: the band counter changes all through a job,
  // the others are read over and over while the helpers look out.
  alignas(64) std::atomic<size_t> next_{0};
  alignas(64) std::atomic<unsigned> generation_{0};
  std::atomic<bool> open_{false};
  std::atomic<bool> stop_{false};  // set under mutex_
  alignas(64) std::atomic<size_t> joined_{0};  // helpers inside the present job
};

// How many beads ahead the passes that look a bead's colour up in a large
// table ask for the table's line (the lookups are at random places).
constexpr size_t kAhead = 16;

inline void Prefetch(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// The set bits of a word (std::popcount becomes a library call where the
// build does not assume the processor's own instruction).
inline UINT CountBits(uint64_t v) {
  v = v - ((v >> 1) & 0x5555555555555555ULL);
  v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
  v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<UINT>((v * 0x0101010101010101ULL) >> 56);
}

// The distinct colours (24 bits) of the present beads in ascending order,
// and the rank of a colour among them. Large designs mark their colours in
// a bitmap of every colour whose words also hold the number of colours
// below them (a rank is one memory read); small ones sort.
class CColorRanks {
 public:
  void Build(const CBeadArray& beads, CWorkTeam& team) {
    const size_t total = beads.size();
    colors_.clear();
    words_.clear();
    if (total < kBitmapFrom) {
      colors_.reserve(total);
      for (const CBead& b : beads)
        if (b.m_present) colors_.push_back(b.m_cachedColor & 0xFFFFFF);
      std::sort(colors_.begin(), colors_.end());
      colors_.erase(std::unique(colors_.begin(), colors_.end()), colors_.end());
      return;
    }
    words_.assign(kWords, Word{0, 0});
    for (size_t i = 0; i < total; ++i) {
      if (i + kAhead < total) Prefetch(&words_[(beads[i + kAhead].m_cachedColor & 0xFFFFFF) >> 6]);
      if (!beads[i].m_present) continue;
      const COLORREF c = beads[i].m_cachedColor & 0xFFFFFF;
      words_[c >> 6].bits |= uint64_t{1} << (c & 63);
    }
    UINT below = 0;
    for (Word& w : words_) {
      w.below = below;
      below += CountBits(w.bits);
    }
    colors_.resize(below);
    team.ForBands(kWords, static_cast<long long>(below), [&](size_t from, size_t to) {
      for (size_t w = from; w < to; ++w) {
        UINT at = words_[w].below;
        for (uint64_t bits = words_[w].bits; bits; bits &= bits - 1)
          colors_[at++] = static_cast<COLORREF>(w << 6 | static_cast<size_t>(std::countr_zero(bits)));
      }
    });
  }
  size_t Count() const { return colors_.size(); }
  COLORREF ColorAt(size_t rank) const { return colors_[rank]; }
  // Asks for the memory Rank will read for the colour.
  void PrefetchRank(COLORREF color) const {
    if (!words_.empty()) Prefetch(&words_[color >> 6]);
  }
  // The rank of a colour of a present bead (masked to 24 bits).
  UINT Rank(COLORREF color) const {
    if (words_.empty())
      return static_cast<UINT>(std::lower_bound(colors_.begin(), colors_.end(), color) - colors_.begin());
    const Word& w = words_[color >> 6];
    return w.below + CountBits(w.bits & ((uint64_t{1} << (color & 63)) - 1));
  }

 private:
  static constexpr size_t kBitmapFrom = 1 << 16;
  static constexpr size_t kWords = (size_t{1} << 24) / 64;
  struct Word {
    uint64_t bits;
    UINT below;  // colours in the words before
  };
  CBigVector<Word> words_;
  CRawVector<COLORREF> colors_;
};

// The nearest in-use palette colour of each distinct colour (-1 when none
// is in use), shared out among threads, each with its own copy of the
// search (the palette's answers, without its memo that one thread owns).
void FindNearestOfColors(const CColorSet& palette, const CColorRanks& ranks, CRawVector<int>& nearest) {
  const size_t count = ranks.Count();
  nearest.resize(count);
  const int threads = count < 4096 ? 1 : BuilderThreadCount(static_cast<long long>(count) * 64);
  if (threads <= 1) {
    // Every colour is asked once: the palette's memo of answers would only
    // cost time.
    CNearestColorIndex index;
    index.Build(palette.GetColors());
    int distance = 0;
    for (size_t k = 0; k < count; ++k) {
      const COLORREF c = ranks.ColorAt(k);
      nearest[k] = index.Find(GetRValue(c), GetGValue(c), GetBValue(c), distance);
    }
    return;
  }
  const int tasks = threads * 4;
  std::vector<CNearestColorIndex> search(static_cast<size_t>(threads));
  std::vector<char> built(static_cast<size_t>(threads), 0);
  RunBuilderTasks(tasks, threads, [&](int task, int worker) {
    CNearestColorIndex& index = search[static_cast<size_t>(worker)];
    if (!built[static_cast<size_t>(worker)]) {
      index.Build(palette.GetColors());
      built[static_cast<size_t>(worker)] = 1;
    }
    const size_t from = count * static_cast<size_t>(task) / tasks, to = count * static_cast<size_t>(task + 1) / tasks;
    int distance = 0;
    for (size_t k = from; k < to; ++k) {
      const COLORREF c = ranks.ColorAt(k);
      nearest[k] = index.Find(GetRValue(c), GetGValue(c), GetBValue(c), distance);
    }
  });
}

// The clusters as flat lists: a member is a distinct colour with its bead
// count; a cluster's members are the pieces (ranges of `pool`) it was
// given, in the order they came. `order` lists the remaining clusters in
// the order the merging keeps them.
struct CFlatClusters {
  struct Piece {
    size_t start;
    size_t size;
  };
  std::vector<COLORREF> key;
  std::vector<int> total;
  std::vector<std::vector<Piece>> pieces;
  std::vector<int> order;
  CRawVector<CColorClusterMember> pool;

  size_t Size() const { return order.size(); }
  void AddCluster(COLORREF k, int beads, size_t start, size_t size) {
    order.push_back(static_cast<int>(key.size()));
    key.push_back(k);
    total.push_back(beads);
    pieces.emplace_back();
    if (size) pieces.back().push_back(Piece{start, size});
  }
  template <typename Visit>
  void ForEachMember(int cluster, Visit visit) const {
    for (const Piece& p : pieces[static_cast<size_t>(cluster)])
      for (size_t k = p.start; k < p.start + p.size; ++k) visit(pool[k]);
  }
};

constexpr UINT kNoRank = UINT_MAX;

// Present beads and the nearest in-use colour of their colours: the
// clusters in the order their first bead comes in the design, each with
// its members in ascending colour order. `rankOf` takes each bead's colour
// rank (kNoRank for a place without a bead). When `setBeads`, every bead
// also takes its colour's match.
void BuildFlatClusters(CPattern& design, const CColorSet& palette, const CColorRanks& ranks,
                       const CRawVector<int>& nearest, CRawVector<UINT>& rankOf, CFlatClusters& clusters,
                       CStatusProgress* progress, bool setBeads, CWorkTeam& team) {
  CBeadArray& beads = design.m_beads;
  const size_t colors = static_cast<size_t>(palette.GetCount());
  const size_t distinct = ranks.Count();
  const size_t total = beads.size();
  // Bands of beads, and of colours, shared out among the threads, each band
  // with its own first beads and counts: their minimums and sums do not
  // depend on the order the bands end in, and the members are written at
  // places worked out in band order, so the result is one thread's.
  constexpr size_t kBands = 64;
  std::mutex sums;
  // A band of beads a thread: each bead's colour rank, each palette
  // colour's first bead.
  rankOf.resize(total);
  std::vector<UINT> firstBead(colors, UINT_MAX);
  team.ForBands(kBands, static_cast<long long>(total), [&](size_t fromBand, size_t toBand) {
    std::vector<UINT> first(colors, UINT_MAX);
    const size_t from = total * fromBand / kBands, to = total * toBand / kBands;
    for (size_t i = from; i < to; ++i) {
      if (i + kAhead < to) ranks.PrefetchRank(beads[i + kAhead].m_cachedColor & 0xFFFFFF);
      if (!beads[i].m_present) {
        rankOf[i] = kNoRank;
        continue;
      }
      const UINT rank = ranks.Rank(beads[i].m_cachedColor & 0xFFFFFF);
      rankOf[i] = rank;
      const int index = nearest[rank];
      if (index >= 0 && first[static_cast<size_t>(index)] == UINT_MAX)
        first[static_cast<size_t>(index)] = static_cast<UINT>(i);
    }
    std::lock_guard<std::mutex> lock(sums);
    for (size_t c = 0; c < colors; ++c) firstBead[c] = std::min(firstBead[c], first[c]);
  });
  // Each colour's bead count, in one read of the ranks (a count a bead:
  // quicker on one thread than shared counts on several).
  CRawVector<int> beadsOfColor(distinct);
  std::fill(beadsOfColor.begin(), beadsOfColor.end(), 0);
  for (size_t i = 0; i < total; ++i) {
    if (i + kAhead < total && rankOf[i + kAhead] != kNoRank) Prefetch(&beadsOfColor[rankOf[i + kAhead]]);
    const UINT rank = rankOf[i];
    if (rank != kNoRank) ++beadsOfColor[rank];
  }
  if (setBeads)
    team.ForBands(total, static_cast<long long>(total), [&](size_t from, size_t to) {
      for (size_t i = from; i < to; ++i) {
        if (i + kAhead < to && rankOf[i + kAhead] != kNoRank) Prefetch(&nearest[rankOf[i + kAhead]]);
        if (rankOf[i] == kNoRank) continue;
        const int index = nearest[rankOf[i]];
        if (index >= 0) beads[i].SetColorIndex(index);  // else no colour in use: the bead stays as it is
      }
    });
  // The members of each palette colour, in ascending colour order: each
  // band of colours counts its members per palette colour, the bands'
  // places follow from the counts, then each band writes its members.
  std::vector<size_t> bandMembers(kBands * colors, 0);
  std::vector<int> beadsOf(colors, 0);
  team.ForBands(kBands, static_cast<long long>(distinct), [&](size_t fromBand, size_t toBand) {
    std::vector<int> beadSum(colors, 0);
    for (size_t band = fromBand; band < toBand; ++band) {
      size_t* counts = &bandMembers[band * colors];
      for (size_t k = distinct * band / kBands; k < distinct * (band + 1) / kBands; ++k) {
        const int index = nearest[k];
        if (index < 0) continue;
        ++counts[static_cast<size_t>(index)];
        beadSum[static_cast<size_t>(index)] += beadsOfColor[k];
      }
    }
    std::lock_guard<std::mutex> lock(sums);
    for (size_t c = 0; c < colors; ++c) beadsOf[c] += beadSum[c];
  });
  // members[c]: where palette colour c's members start; bandMembers turns
  // into where each band writes its members of each colour.
  std::vector<size_t> members(colors + 1, 0);
  for (size_t c = 0; c < colors; ++c) {
    size_t at = members[c];
    for (size_t band = 0; band < kBands; ++band) {
      const size_t n = bandMembers[band * colors + c];
      bandMembers[band * colors + c] = at;
      at += n;
    }
    members[c + 1] = at;
  }
  if (progress) progress->SetPos(static_cast<int>(std::min<size_t>(total, INT_MAX)));
  clusters = CFlatClusters();
  // Room for the members as they move while the clusters merge (most move
  // about twice).
  clusters.pool.reserve(members[colors] * 4);
  clusters.pool.resize(members[colors]);
  team.ForBands(kBands, static_cast<long long>(distinct), [&](size_t fromBand, size_t toBand) {
    for (size_t band = fromBand; band < toBand; ++band) {
      size_t* next = &bandMembers[band * colors];
      for (size_t k = distinct * band / kBands; k < distinct * (band + 1) / kBands; ++k)
        if (nearest[k] >= 0)
          clusters.pool[next[static_cast<size_t>(nearest[k])]++] = CColorClusterMember{ranks.ColorAt(k), beadsOfColor[k]};
    }
  });
  std::vector<size_t> used;
  for (size_t c = 0; c < colors; ++c)
    if (firstBead[c] != UINT_MAX) used.push_back(c);
  std::sort(used.begin(), used.end(), [&](size_t a, size_t b) { return firstBead[a] < firstBead[b]; });
  for (size_t c : used)
    clusters.AddCluster(palette.GetColorrefAt(static_cast<int>(c)), beadsOf[c], members[c], members[c + 1] - members[c]);
}

// The blocks of eight keys of CKeysAround: the keys' channels, their
// places in the clusters' order and their distances from the removed key
// (ascending), `n` a multiple of eight; `own` is the colour's distance from
// the removed key. Made for the processor's wider vector unit too where it
// has one.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
int NearestInBlocks(const int* r, const int* g, const int* b, const int* at, const double* from, size_t n, int cr,
                    int cg, int cb, double own) {
  constexpr size_t kBlock = 8;
  int best = INT_MAX, bestAt = 0;
  double reach = 1e300;  // the best distance, a little widened against rounding
  for (size_t s = 0; s < n; s += kBlock) {
    if (from[s] - own > reach) break;  // this block and all after it are farther
    int d[kBlock];
    int least = INT_MAX;
    for (size_t j = 0; j < kBlock; ++j) {
      const int dr = r[s + j] - cr, dg = g[s + j] - cg, db = b[s + j] - cb;
      d[j] = dr * dr + dg * dg + db * db;
      least = d[j] < least ? d[j] : least;
    }
    if (least > best) continue;
    for (size_t j = 0; j < kBlock; ++j)
      if (d[j] < best || (d[j] == best && at[s + j] < bestAt)) best = d[j], bestAt = at[s + j];
    reach = std::sqrt(static_cast<double>(best)) + 1e-6;
  }
  return bestAt;
}

// The remaining cluster keys, for the members of a removed cluster: the
// first key, in the clusters' order, of the smallest squared distance to a
// colour. The keys are sorted by their distance from the removed key and
// looked at, eight at a time, only while that distance, less the member's
// own distance from the removed key, does not exceed the best distance
// found (the triangle inequality: a key farther out cannot be nearer to the
// member, nor as near). Safe on several threads at once.
class CKeysAround {
 public:
  void Set(const CFlatClusters& clusters, COLORREF centre) {
    centre_ = centre;
    const size_t n = clusters.Size();
    sorted_.resize(n);
    for (size_t at = 0; at < n; ++at) {
      const COLORREF k = clusters.key[static_cast<size_t>(clusters.order[at])];
      sorted_[at] = Sorted{std::sqrt(static_cast<double>(SquaredColorDistance(k, centre))), static_cast<int>(at)};
    }
    std::sort(sorted_.begin(), sorted_.end(), [](const Sorted& a, const Sorted& b) { return a.fromCentre < b.fromCentre; });
    // Blocks of eight; the last filled with keys too far to matter.
    const size_t padded = (n + kBlock - 1) / kBlock * kBlock;
    r_.assign(padded, kFar);
    g_.assign(padded, kFar);
    b_.assign(padded, kFar);
    at_.assign(padded, INT_MAX);
    from_.assign(padded, 1e300);
    for (size_t i = 0; i < n; ++i) {
      const COLORREF k = clusters.key[static_cast<size_t>(clusters.order[static_cast<size_t>(sorted_[i].at)])];
      r_[i] = GetRValue(k);
      g_[i] = GetGValue(k);
      b_[i] = GetBValue(k);
      at_[i] = sorted_[i].at;
      from_[i] = sorted_[i].fromCentre;
    }
  }
  // The key's place in the clusters' order.
  int Nearest(COLORREF color) const {
    const double own = std::sqrt(static_cast<double>(SquaredColorDistance(color, centre_)));
    return NearestInBlocks(r_.data(), g_.data(), b_.data(), at_.data(), from_.data(), r_.size(), GetRValue(color),
                           GetGValue(color), GetBValue(color), own);
  }

 private:
  static constexpr size_t kBlock = 8;
  static constexpr int kFar = 4096;  // a channel value no key has
  struct Sorted {
    double fromCentre;
    int at;
  };
  COLORREF centre_ = 0;
  std::vector<Sorted> sorted_;
  std::vector<int> r_, g_, b_, at_;
  std::vector<double> from_;
};

// Merges the smallest cluster into the others, member by member (each to
// the remaining key nearest to its colour), until `target` remain. The
// clusters are kept in order of bead count, largest first, ties in their
// previous order; the last is the one removed.
void MergeFlatClusters(CFlatClusters& clusters, size_t target, CWorkTeam& team) {
  if (target == 0 || target >= clusters.Size()) return;
  // A source colour belongs to one cluster at a time (clusters are made by
  // nearest palette colour), so a moved member never meets its own colour
  // in the cluster it joins.
  CKeysAround keys;
  std::vector<CColorClusterMember> moving;
  std::vector<int> into;
  std::vector<size_t> perPlace;
  std::vector<int>& order = clusters.order;
  std::vector<int>& total = clusters.total;
  while (order.size() > target) {
    // The order of the last step, sorted again: only the clusters that grew
    // move, and only forward (a stable insertion sort).
    for (size_t i = 1; i < order.size(); ++i) {
      const int c = order[i];
      size_t j = i;
      while (j > 0 && total[static_cast<size_t>(order[j - 1])] < total[static_cast<size_t>(c)]) {
        order[j] = order[j - 1];
        --j;
      }
      order[j] = c;
    }
    const int removed = order.back();
    order.pop_back();
    keys.Set(clusters, clusters.key[static_cast<size_t>(removed)]);
    moving.clear();
    clusters.ForEachMember(removed, [&](const CColorClusterMember& m) { moving.push_back(m); });
    into.resize(moving.size());
    // A member's search reads tens of keys: a few thousand members pay for
    // waking the helpers.
    team.ForBands(moving.size(), static_cast<long long>(moving.size()) * 32, [&](size_t from, size_t to) {
      for (size_t k = from; k < to; ++k) into[k] = keys.Nearest(moving[k].color);
    });
    // Each receiving cluster gets one new piece holding its members in the
    // order they were listed.
    perPlace.assign(order.size() + 1, 0);
    for (int at : into) ++perPlace[static_cast<size_t>(at) + 1];
    for (size_t at = 0; at < order.size(); ++at) perPlace[at + 1] += perPlace[at];
    const size_t base = clusters.pool.size();
    for (size_t at = 0; at < order.size(); ++at)
      if (perPlace[at + 1] > perPlace[at])
        clusters.pieces[static_cast<size_t>(order[at])].push_back(
            CFlatClusters::Piece{base + perPlace[at], perPlace[at + 1] - perPlace[at]});
    clusters.pool.resize(base + moving.size());
    for (size_t k = 0; k < moving.size(); ++k) {
      const size_t at = static_cast<size_t>(into[k]);
      clusters.pool[base + perPlace[at]++] = moving[k];
      total[static_cast<size_t>(order[at])] += moving[k].count;
    }
    clusters.pieces[static_cast<size_t>(removed)].clear();
  }
}

// The public form of the clusters, in their order.
void CopyOut(const CFlatClusters& flat, std::vector<CColorCluster>& clusters) {
  clusters.clear();
  clusters.reserve(flat.Size());
  for (int c : flat.order) {
    CColorCluster out{flat.key[static_cast<size_t>(c)], flat.total[static_cast<size_t>(c)], {}};
    flat.ForEachMember(c, [&](const CColorClusterMember& m) { out.members.push_back(m); });
    clusters.push_back(std::move(out));
  }
}

}  // namespace

namespace {

// A progress over the design's beads, shown only with a host and a caption.
std::unique_ptr<CStatusProgress> BeadProgress(const CPattern& design, const char* caption, IProgressHost* host) {
  if (!host || !caption || !*caption) return nullptr;
  return std::make_unique<CStatusProgress>(host, design.GetBeadCount(), caption);
}

// The design's distinct colours, and the palette colour nearest to each.
void RankAndMatchColors(const CPattern& design, const CColorSet& palette, CWorkTeam& team, CColorRanks& ranks,
                        CRawVector<int>& nearest) {
  ranks.Build(design.m_beads, team);
  FindNearestOfColors(palette, ranks, nearest);
}

}  // namespace

void BuildColorClusters(CPattern& design, const CColorSet& palette, std::vector<CColorCluster>& clusters,
                        const char* caption, IProgressHost* host) {
  const std::unique_ptr<CStatusProgress> progress = BeadProgress(design, caption, host);
  CWorkTeam team;
  CColorRanks ranks;
  CRawVector<int> nearest;
  RankAndMatchColors(design, palette, team, ranks, nearest);
  CRawVector<UINT> rankOf;
  CFlatClusters flat;
  BuildFlatClusters(design, palette, ranks, nearest, rankOf, flat, progress.get(), true, team);
  CopyOut(flat, clusters);
}

void MergeColorClusters(std::vector<CColorCluster>& clusters, int target) {
  if (target <= 0 || static_cast<size_t>(target) >= clusters.size()) return;
  CFlatClusters flat;
  for (const CColorCluster& c : clusters) {
    const size_t start = flat.pool.size();
    flat.pool.insert(flat.pool.end(), c.members.begin(), c.members.end());
    flat.AddCluster(c.key, c.count, start, c.members.size());
  }
  CWorkTeam team;
  MergeFlatClusters(flat, static_cast<size_t>(target), team);
  CopyOut(flat, clusters);
}

namespace {

// The remaining cluster keys: the first key, in cluster order, of the
// smallest squared distance to a colour, found by sweeping out from the
// query's red level over the keys sorted by red: keys whose red alone is
// farther than the best distance are never looked at.
class CKeySweep {
 public:
  void Set(const std::vector<COLORREF>& keys) {
    keys_.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
      keys_[i] = Key{GetRValue(keys[i]), GetGValue(keys[i]), GetBValue(keys[i]), static_cast<int>(i)};
    std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) { return a.r < b.r || (a.r == b.r && a.at < b.at); });
  }
  size_t Nearest(COLORREF color) const {
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    const size_t n = keys_.size();
    if (n == 0) return 0;
    // The first key whose red is at least the query's.
    size_t up = static_cast<size_t>(
        std::lower_bound(keys_.begin(), keys_.end(), cr, [](const Key& k, int r) { return k.r < r; }) - keys_.begin());
    size_t down = up;  // keys below: down - 1, down - 2, ...
    int best = INT_MAX, bestAt = INT_MAX;
    const auto consider = [&](const Key& k) {
      const int dr = k.r - cr, dg = k.g - cg, db = k.b - cb;
      const int d = dr * dr + dg * dg + db * db;
      if (d < best || (d == best && k.at < bestAt)) best = d, bestAt = k.at;
    };
    for (;;) {
      const bool canUp = up < n && (keys_[up].r - cr) * (keys_[up].r - cr) <= best;
      const bool canDown = down > 0 && (keys_[down - 1].r - cr) * (keys_[down - 1].r - cr) <= best;
      if (!canUp && !canDown) break;
      if (canUp) consider(keys_[up++]);
      if (canDown) consider(keys_[--down]);
    }
    return static_cast<size_t>(bestAt);
  }

 private:
  struct Key {
    int r, g, b, at;
  };
  std::vector<Key> keys_;
};

// The same answers for a few keys (at most 64), by looking at all of them:
// the keys' channels, `n` of them. Plain loops the compiler turns into
// vector code, made for the processor's wider vector unit too where it has
// one.
constexpr size_t kFewKeys = 64;
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
size_t NearestOfFewKeys(const int* r, const int* g, const int* b, size_t n, int cr, int cg, int cb) {
  int d[kFewKeys];
  int smallest = INT_MAX;
  for (size_t i = 0; i < n; ++i) {
    const int dr = r[i] - cr, dg = g[i] - cg, db = b[i] - cb;
    d[i] = dr * dr + dg * dg + db * db;
    smallest = d[i] < smallest ? d[i] : smallest;
  }
  for (size_t i = 0; i < n; ++i)
    if (d[i] == smallest) return i;
  return 0;
}

class CFewKeys {
 public:
  static constexpr size_t kMost = kFewKeys;
  explicit CFewKeys(const std::vector<COLORREF>& keys) : n_(std::min(keys.size(), kMost)) {
    for (size_t i = 0; i < n_; ++i) {
      r_[i] = GetRValue(keys[i]);
      g_[i] = GetGValue(keys[i]);
      b_[i] = GetBValue(keys[i]);
    }
  }
  size_t Nearest(COLORREF color) const {
    return NearestOfFewKeys(r_, g_, b_, n_, GetRValue(color), GetGValue(color), GetBValue(color));
  }

 private:
  size_t n_;
  int r_[kMost] = {}, g_[kMost] = {}, b_[kMost] = {};
};

}  // namespace

void ReduceColors(CPattern& design, const CColorSet& palette, int target, const char* caption,
                  IProgressHost* host) {
  const std::unique_ptr<CStatusProgress> progress = BeadProgress(design, caption, host);
  CWorkTeam team;
  CColorRanks ranks;
  CRawVector<int> nearest;
  RankAndMatchColors(design, palette, team, ranks, nearest);
  // The clusters are the palette colours matched; when they are to be
  // merged every bead is given its colour once, at the end: the first
  // matching only counts.
  std::vector<char> matched(static_cast<size_t>(std::max(palette.GetCount(), 0)), 0);
  size_t clusterCount = 0;
  for (int index : nearest)
    if (index >= 0 && !matched[static_cast<size_t>(index)]) matched[static_cast<size_t>(index)] = 1, ++clusterCount;
  const bool merge = target > 0 && static_cast<size_t>(target) < clusterCount;
  CRawVector<UINT> rankOf;
  CFlatClusters clusters;
  BuildFlatClusters(design, palette, ranks, nearest, rankOf, clusters, progress.get(), !merge, team);
  if (merge) {
    MergeFlatClusters(clusters, static_cast<size_t>(target), team);
    // Every present bead takes the remaining key nearest to its own colour,
    // and the in-use colour nearest to that key: found once per distinct
    // colour, then the beads read once, a band of them a thread.
    std::vector<COLORREF> keys;
    for (int c : clusters.order) keys.push_back(clusters.key[static_cast<size_t>(c)]);
    std::vector<int> indexOfKey(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) indexOfKey[k] = palette.FindNearestColorref(keys[k]);
    CRawVector<int>& answer = nearest;  // no longer needed: reused
    const size_t distinct = ranks.Count();
    if (keys.size() <= CFewKeys::kMost) {
      const CFewKeys few(keys);
      team.ForBands(distinct, static_cast<long long>(distinct) * 4, [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k) answer[k] = indexOfKey[few.Nearest(ranks.ColorAt(k))];
      });
    } else {
      CKeySweep sweep;
      sweep.Set(keys);
      team.ForBands(distinct, static_cast<long long>(distinct) * 16, [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k) answer[k] = indexOfKey[sweep.Nearest(ranks.ColorAt(k))];
      });
    }
    CBeadArray& beads = design.m_beads;
    team.ForBands(beads.size(), static_cast<long long>(beads.size()), [&](size_t from, size_t to) {
      for (size_t i = from; i < to; ++i) {
        if (i + kAhead < to && rankOf[i + kAhead] != kNoRank) Prefetch(&answer[rankOf[i + kAhead]]);
        const UINT rank = rankOf[i];
        if (rank == kNoRank) continue;
        const int index = answer[rank];
        if (index >= 0) beads[i].SetColorIndex(index);
      }
    });
  }
  design.SetModified(true);
}

void MakeBrightnessContrastTable(int brightness, int contrast, BYTE table[256]) {
  const double factor = static_cast<double>(0.01f);
  for (int x = 0; x < 256; ++x) {
    const double v = static_cast<double>(brightness) + 128.0 +
                     static_cast<double>(contrast + 100) * factor * static_cast<double>(x - 128);
    long long t = static_cast<long long>(v);  // toward zero
    if (v != v) t = 0;
    table[x] = static_cast<BYTE>(std::clamp<long long>(t, 0, 255));
  }
}

void AdjustBrightnessContrast(CPattern& design, const CColorSet& palette, int brightness, int contrast) {
  BYTE table[256];
  MakeBrightnessContrastTable(brightness, contrast, table);
  const int count = palette.GetCount();
  CIndexRemap remap(count);
  const int pathColor = design.m_pathColor;
  for (CBead& bead : design.m_beads) {
    const int shown = bead.GetColorIndex(pathColor);
    if (shown < 0 || shown >= count) continue;
    const int target = remap.Get(shown, [&](int i) {
      const CRgbTriple& c = palette.GetItem(i).GetRgb();
      return palette.FindNearestColor(static_cast<int>(table[c.red]), table[c.green], table[c.blue]);
    });
    if (target >= 0) bead.SetColorIndex(target);
  }
  design.SetModified(true);
}

void NormalizeHslShifts(int hue, int saturation, int lightness, int& hueOut, float& saturationOut,
                        float& lightnessOut) {
  auto wrap = [](int v, int modulus) {
    v %= modulus;
    return v < 0 ? v + modulus : v;
  };
  hueOut = wrap(hue, 360);
  saturationOut = static_cast<float>(wrap(saturation, 100)) * 0.01f;
  lightnessOut = static_cast<float>(wrap(lightness, 100)) * 0.01f;
}

COLORREF ShiftColorHsl(COLORREF color, int hue, float saturation, float lightness) {
  CHslColor hsl(color);
  float h = hsl.GetHue() + static_cast<float>(hue);
  while (h < 0.0f) h += 360.0f;
  while (h > 360.0f) h -= 360.0f;
  float s = hsl.GetSaturation() + saturation;
  while (s < 0.0f) s += 1.0f;
  while (s > 1.0f) s -= 1.0f;
  float l = hsl.GetLightness() + lightness;
  while (l < 0.0f) l += 1.0f;
  while (l > 1.0f) l -= 1.0f;
  hsl.SetHue(h);
  hsl.SetSaturation(s);
  hsl.SetLightness(l);
  return hsl.GetColorRef();
}

void AdjustHsl(CPattern& design, const CColorSet& palette, int hue, int saturation, int lightness) {
  int h = 0;
  float s = 0.0f, l = 0.0f;
  NormalizeHslShifts(hue, saturation, lightness, h, s, l);
  const int count = palette.GetCount();
  CIndexRemap remap(count);
  const int pathColor = design.m_pathColor;
  for (CBead& bead : design.m_beads) {
    const int shown = bead.GetColorIndex(pathColor);
    if (shown < 0 || shown >= count) continue;
    const int target = remap.Get(shown, [&](int i) {
      return palette.FindNearestColorref(ShiftColorHsl(palette.GetItem(i).GetColorref(), h, s, l));
    });
    if (target >= 0) bead.SetColorIndex(target);
  }
}
