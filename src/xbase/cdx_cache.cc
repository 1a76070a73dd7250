// The decoded page cache of an index file: direct lookup by page number,
// CLOCK eviction under a process-wide memory budget.
#include "xbase/cdx_cache.h"

#include <algorithm>
#include <cstdlib>

namespace xb::cdx {
namespace {

size_t DefaultBudget() {
  const char* v = std::getenv("QZ_INDEX_CACHE_MB");
  long mb = v && *v ? std::atol(v) : 0;
  return static_cast<size_t>(mb > 0 ? mb : 64) << 20;
}

std::atomic<size_t>& BudgetBytes() {
  static std::atomic<size_t> b{DefaultBudget()};
  return b;
}


// However full the process is, a file keeps this share of the budget for
// itself, so the index being worked on never thrashes because other files
// hold pages.
constexpr size_t kFloorShare = 8;

// A sweep evicts this share of the budget at once, so that a full cache does
// not sweep for every page it reads. The nodes it evicts are kept, buffers
// and all, up to the same share of the budget over all files, for the pages
// read next: a large index read page by page then reuses them instead of
// freeing a sixteenth of the budget in one sweep and allocating it again
// page by page (four allocations and four frees a page).
constexpr size_t kSweepShare = 16;
constexpr size_t kMinSpareBytes = 64 << 10;

}  // namespace

void PageCache::SetBudget(size_t bytes) { BudgetBytes() = bytes; }
size_t PageCache::Budget() { return BudgetBytes(); }
size_t PageCache::TotalBytes() { return g_total_; }
size_t PageCache::SpareLimit() { return std::max(Budget() / kSweepShare, kMinSpareBytes); }

std::atomic<size_t> PageCache::g_total_{0};
std::atomic<size_t> PageCache::g_spare_bytes_{0};

void PageCache::Put(const NodeRef& n) {
  size_t i = n->off / kPageSize;
  if (i >= slots_.size()) {
    size_t size = std::max<size_t>(i + 1, slots_.size() + slots_.size() / 2);
    slots_.resize(size);
    used_.resize(size);
    charge_.resize(size);
    interior_.resize(size);
  }
  if (slots_[i]) Erase(n->off);
  slots_[i] = n;
  used_[i] = 1;
  charge_[i] = static_cast<uint32_t>(Charge(*n));
  interior_[i] = !n->leaf();
  if (interior_[i]) interior_bytes_ += charge_[i];
  ++pages_;
  bytes_ += charge_[i];
  g_total_ += charge_[i];
  if (g_total_ > Budget()) EvictOverBudget();
}

void PageCache::Erase(uint32_t off) {
  size_t i = off / kPageSize;
  if (i >= slots_.size() || !slots_[i]) return;
  slots_[i].reset();
  --pages_;
  bytes_ -= charge_[i];
  g_total_ -= charge_[i];
  if (interior_[i]) interior_bytes_ -= charge_[i];
  interior_[i] = 0;
  charge_[i] = 0;
}

void PageCache::DropSpares() {
  g_spare_bytes_ -= spare_bytes_;
  spare_bytes_ = 0;
  spares_.clear();
}

void PageCache::Clear() {
  DropSpares();
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i]) Erase(static_cast<uint32_t>(i * kPageSize));
  }
  hand_ = 0;
}

void PageCache::EvictOverBudget() {
  const size_t budget = Budget();
  const size_t floor = budget / kFloorShare;
  // Evict a little more than needed (see kSweepShare). The sweep is bounded
  // per call: while a large change keeps its pages dirty there may be
  // nothing to evict, and each new page must not pay for a whole turn of
  // the hand.
  const size_t target = budget - budget / kSweepShare;
  const size_t n = slots_.size();
  const size_t max_steps = std::min<size_t>(2 * n, 1024);
  const bool keep_interior = interior_bytes_ <= budget / 4;
  for (size_t step = 0; step < max_steps && g_total_ > target && bytes_ > floor; ++step) {
    size_t i = hand_;
    hand_ = hand_ + 1 < n ? hand_ + 1 : 0;
    NodeRef& s = slots_[i];
    if (!s) continue;
    if (used_[i]) {
      used_[i] = 0;
      // A clean leaf on its second chance keeps its page but not the
      // page's packed image: leaves changed again soon (the hot ones of a
      // run of updates) are used again before the hand comes back and
      // rebuild it at their next write; the rest give back 520 bytes each.
      if (!s->image.empty() && !s->dirty && s.use_count() == 1) {
        s->DropImage();
        Recharge(*s);
      }
      continue;
    }
    if (s->dirty || s.use_count() > 1 || (keep_interior && interior_[i])) continue;
    if (const size_t c = Charge(*s); g_spare_bytes_ + c <= SpareLimit()) {
      spares_.push_back(s);
      spare_bytes_ += c;
      g_spare_bytes_ += c;
    }
    Erase(static_cast<uint32_t>(i * kPageSize));
  }
}

}  // namespace xb::cdx
