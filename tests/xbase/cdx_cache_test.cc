// The decoded page cache under its budget: pages it evicts come back as the
// nodes of the next pages read, buffers and all (no allocation per page of an
// index larger than the budget), but only up to the share of the budget a
// sweep frees, over all files together, so that keeping them never lets the
// process hold much more than its budget.
#include <gtest/gtest.h>

#include "xbase/cdx_cache.h"

namespace xb::cdx {
namespace {

NodeRef Leaf(PageCache& cache, uint32_t page) {
  NodeRef n = cache.NewNode();
  n->attr = kAttrLeaf;
  n->klen = 40;
  n->off = page * static_cast<uint32_t>(kPageSize);
  n->keys.assign(40 * 30, 'K');
  n->recs.assign(30, 1);
  return n;
}

class BudgetScope {
 public:
  explicit BudgetScope(size_t bytes) : saved_(PageCache::Budget()) { PageCache::SetBudget(bytes); }
  ~BudgetScope() { PageCache::SetBudget(saved_); }

 private:
  size_t saved_;
};

TEST(CdxPageCache, EvictedNodesServeTheNextPagesUpToTheSweptShare) {
  BudgetScope budget(4 << 20);
  const size_t limit = PageCache::SpareLimit();
  ASSERT_EQ(limit, (4u << 20) / 16);
  {
    PageCache a, b;
    // Two files' caches filled well past the budget, a page at a time, as
    // walks over two large indexes would.
    for (uint32_t page = 1; page <= 6000; ++page) {
      a.Put(Leaf(a, page));
      b.Put(Leaf(b, page));
      ASSERT_LE(PageCache::TotalBytes(), PageCache::Budget() + limit) << "page " << page;
      ASSERT_LE(PageCache::SpareBytes(), limit) << "page " << page;
    }
    EXPECT_GT(PageCache::SpareBytes(), limit / 2);
    // The next pages read take nodes that already have room for them.
    int with_room = 0;
    for (int i = 0; i < 400; ++i) {
      with_room += a.NewNode()->keys.capacity() >= 40 * 30;
      with_room += b.NewNode()->keys.capacity() >= 40 * 30;
    }
    EXPECT_GT(with_room, 100);
    EXPECT_LT(PageCache::SpareBytes(), limit / 2);
    a.Put(Leaf(a, 7000));
    a.Clear();
    b.Clear();
  }
  // Cleared and gone: nothing is kept, nothing counted.
  EXPECT_EQ(PageCache::TotalBytes(), 0u);
  EXPECT_EQ(PageCache::SpareBytes(), 0u);
}

}  // namespace
}  // namespace xb::cdx
