// Private to the CDX layer: the decoded pages of one index file.
//
// Pages are found by page number in a plain array (the file is a dense run of
// 512-byte pages, so the array costs 1/32 of the file in pointers and a lookup
// is one load, no hashing). Memory is bounded by a budget shared by every
// index of the process: when the decoded pages of all files together pass it,
// the file that is reading evicts its own pages by CLOCK (second chance), so
// the pages a walk keeps coming back to — roots and upper levels — stay, and
// one-off leaves go. Pages in use (a cursor or a change holds them) and dirty
// pages are never evicted, nor are interior pages while they take less than
// a quarter of the budget: every descent goes through them, and with a small
// fan-out (nine keys of 45 bytes fit a page) a large tag has several levels
// whose loss would cost a locked read and a decode on the next seek.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "xbase/cdx_format.h"

namespace xb::cdx {

using NodeRef = std::shared_ptr<Node>;

class PageCache {
 public:
  PageCache() = default;
  ~PageCache() { Clear(); }
  PageCache(const PageCache&) = delete;
  PageCache& operator=(const PageCache&) = delete;

  // The page at file offset `off`, or null; a hit counts as a use.
  const NodeRef* Find(uint32_t off) {
    size_t i = off / kPageSize;
    if (i >= slots_.size() || !slots_[i]) return nullptr;
    used_[i] = 1;
    return &slots_[i];
  }
  // The page at `off` when cached, without counting a use.
  const Node* Peek(uint32_t off) const {
    size_t i = off / kPageSize;
    return i < slots_.size() ? slots_[i].get() : nullptr;
  }
  bool Contains(uint32_t off) const {
    size_t i = off / kPageSize;
    return i < slots_.size() && slots_[i] != nullptr;
  }
  // A node for a page about to be read or created: one the cache evicted
  // (its buffers already have room: a page read for every miss of a large
  // index then allocates and frees nothing), else a new one.
  NodeRef NewNode() {
    if (spares_.empty()) return std::make_shared<Node>();
    NodeRef n = std::move(spares_.back());
    spares_.pop_back();
    const size_t c = Charge(*n);
    spare_bytes_ -= c;
    g_spare_bytes_ -= c;
    n->Reset();
    return n;
  }
  // Adds (or replaces) a page; may evict others to stay inside the budget.
  void Put(const NodeRef& n);
  void Erase(uint32_t off);
  void Clear();
  // Counts a cached page again after it changed (a page filled by inserts
  // holds many times the memory it held when it was added empty).
  void Recharge(const Node& n) {
    size_t i = n.off / kPageSize;
    if (i >= slots_.size() || slots_[i].get() != &n) return;
    size_t now = Charge(n);
    bytes_ += now - charge_[i];
    g_total_ += now - charge_[i];
    if (interior_[i]) interior_bytes_ -= charge_[i];
    interior_[i] = !n.leaf();
    if (interior_[i]) interior_bytes_ += now;
    charge_[i] = static_cast<uint32_t>(now);
  }
  // Drops every page `drop` says yes to.
  template <class F>
  void EraseIf(F&& drop) {
    for (size_t i = 0; i < slots_.size(); ++i) {
      if (slots_[i] && drop(*slots_[i])) Erase(static_cast<uint32_t>(i * kPageSize));
    }
  }

  size_t pages() const { return pages_; }
  size_t bytes() const { return bytes_; }

  // Process-wide budget for decoded index pages (bytes), and what all files
  // hold now. The default comes from QZ_INDEX_CACHE_MB when set.
  static void SetBudget(size_t bytes);
  static size_t Budget();
  static size_t TotalBytes();
  // What evicted nodes kept for reuse hold, in all files (outside TotalBytes).
  static size_t SpareBytes() { return g_spare_bytes_; }
  // The most they may hold: the share of the budget a sweep frees, and never
  // less than a few dozen nodes.
  static size_t SpareLimit();

 private:
  static size_t Charge(const Node& n) {
    // The node, its buffers and the shared pointer's control block with the
    // allocator's overhead.
    return sizeof(Node) + 64 + n.keys.capacity() + n.image.capacity() +
           4 * (n.recs.capacity() + n.kids.capacity());
  }
  static std::atomic<size_t> g_total_;
  // What the evicted nodes kept for reuse hold, in all files (not counted in
  // g_total_: the sweep that evicted them freed that much of the budget).
  static std::atomic<size_t> g_spare_bytes_;
  void EvictOverBudget();
  void DropSpares();

  std::vector<NodeRef> spares_;   // evicted nodes nobody else holds, for reuse
  size_t spare_bytes_ = 0;        // what they hold
  std::vector<NodeRef> slots_;    // by page number
  std::vector<uint8_t> used_;     // CLOCK reference bits
  std::vector<uint32_t> charge_;  // bytes counted for each page when added
  std::vector<uint8_t> interior_;  // the page was an interior node when counted
  size_t interior_bytes_ = 0;
  size_t pages_ = 0;
  size_t bytes_ = 0;
  size_t hand_ = 0;
};

}  // namespace xb::cdx
