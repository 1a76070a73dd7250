// CdxFile::Verify: everything a writer trusts, read straight from the disk
// under the shared index lock: every page of every tree inside the file, on a
// page boundary, outside the tag headers, used once; attributes (root flag on
// the root only, leaves all at one depth); sibling chains in step with the
// tree; parent entries equal to their child's last entry; keys in order; and
// the free-page chain ending, inside the file, through pages no tree uses.
#include <functional>
#include <set>
#include <unordered_map>

#include "xbase/cdx_impl.h"

namespace xb::cdx {

Status FileImpl::Verify(std::vector<std::string>* problems) {
  XB_RETURN_IF_ERROR(Refresh());
  XB_RETURN_IF_ERROR(LockShared());
  uint64_t size = 0;
  Status s = file_->Size(&size);
  if (!s.ok()) {
    UnlockShared();
    return s;
  }
  std::unordered_map<uint32_t, std::string> owner;  // live page -> tree that uses it
  auto bad_pointer = [&](uint32_t off) -> std::string {
    if (off % kPageSize != 0) return "not on a page boundary";
    if (off < kHeaderSize || off + static_cast<uint64_t>(kPageSize) > size) return "outside the file";
    if (header_pages_.count(off)) return "inside a tag header";
    return "";
  };

  auto verify_tree = [&](TagImpl* t) {
    std::string tree = t->header_off() == 0 ? "tag directory" : "tag " + t->def().name;
    std::string where = path() + ": " + tree + ": ";
    if (Status u = t->CheckUsable(); !u.ok()) {
      problems->push_back(u.message());
      return;
    }
    // Level by level from the root, so that each level's sibling chain can
    // be compared with the pages in tree order.
    std::vector<uint32_t> level{t->root()};
    bool leaves = false;
    std::vector<std::pair<std::string, uint32_t>> expect_last;  // parent entry per page
    for (int depth = 0; !level.empty() && !leaves; ++depth) {
      if (depth > 64) {
        problems->push_back(where + "tree deeper than 64 levels");
        return;
      }
      std::vector<uint32_t> next;
      std::vector<std::pair<std::string, uint32_t>> next_last;
      std::string prev_key;
      uint32_t prev_rec = 0;
      bool have_prev_entry = false;
      for (size_t i = 0; i < level.size(); ++i) {
        uint32_t off = level[i];
        std::string page_where = where + "page " + HexOffset(off) + ": ";
        if (std::string why = bad_pointer(off); !why.empty()) {
          problems->push_back(page_where + "page pointer " + why);
          return;
        }
        auto [it, fresh] = owner.emplace(off, tree);
        if (!fresh) {
          problems->push_back(page_where + "page used twice (also by " + it->second + ")");
          return;
        }
        uint8_t page[kPageSize];
        if (Status r = file_->ReadExact(off, page, kPageSize); !r.ok()) {
          problems->push_back(r.message());
          return;
        }
        Node n;
        if (Status d = DecodeNode(page, t->klen(), t->pad(), &n); !d.ok()) {
          problems->push_back(page_where + d.message());
          return;
        }
        if (n.root() != (depth == 0)) {
          problems->push_back(page_where + (depth == 0 ? "root page without the root attribute"
                                                       : "root attribute below the root"));
        }
        if (i == 0) {
          leaves = n.leaf();
        } else if (n.leaf() != leaves) {
          problems->push_back(page_where + "leaves at different depths");
          return;
        }
        if (!n.leaf() && n.n() == 0) {
          problems->push_back(page_where + "empty interior node");
          return;
        }
        uint32_t want_left = i == 0 ? kNoPage : level[i - 1];
        uint32_t want_right = i + 1 == level.size() ? kNoPage : level[i + 1];
        if (n.left != want_left || n.right != want_right)
          problems->push_back(page_where + "sibling pointers " + HexOffset(n.left) + "/" +
                              HexOffset(n.right) + " do not match the tree (" +
                              HexOffset(want_left) + "/" + HexOffset(want_right) + ")");
        for (int k = 0; k < n.n(); ++k) {
          if (have_prev_entry &&
              CompareEntry(prev_key.data(), prev_rec, n.key(k), n.recs[k], t->klen()) >= 0) {
            problems->push_back(page_where + "keys out of order");
            break;
          }
          prev_key.assign(n.key(k), static_cast<size_t>(t->klen()));
          prev_rec = n.recs[k];
          have_prev_entry = true;
        }
        if (depth > 0 && n.n() > 0 && i < expect_last.size()) {
          const auto& [key, rec] = expect_last[i];
          if (key.compare(0, std::string::npos, n.last_key(), static_cast<size_t>(t->klen())) != 0 ||
              rec != n.last_rec())
            problems->push_back(page_where + "parent entry is not the page's last key");
        }
        if (!n.leaf()) {
          for (int k = 0; k < n.n(); ++k) {
            next.push_back(n.kids[k]);
            next_last.emplace_back(n.key_str(k), n.recs[k]);
          }
        }
      }
      level = std::move(next);
      expect_last = std::move(next_last);
    }
  };

  verify_tree(dir_.get());
  for (auto& t : tags_) verify_tree(t.get());

  // The free chain: what the next writer will hand out as new pages.
  uint8_t h[8];
  s = file_->ReadExact(kHdrFree, h, 8);
  if (s.ok()) {
    uint32_t p = GetLE32(h);
    std::set<uint32_t> seen;
    while (p != 0 && p != kNoPage) {
      std::string where = path() + ": free page list: page " + HexOffset(p) + ": ";
      if (std::string why = bad_pointer(p); !why.empty()) {
        problems->push_back(where + why);
        break;
      }
      if (auto it = owner.find(p); it != owner.end()) {
        problems->push_back(where + "in use by " + it->second);
        break;
      }
      if (!seen.insert(p).second) {
        problems->push_back(where + "the list runs in a circle");
        break;
      }
      uint8_t b[4];
      s = file_->ReadExact(p, b, 4);
      if (!s.ok()) break;
      p = GetLE32(b);
    }
  }
  UnlockShared();
  return s;
}

}  // namespace xb::cdx
