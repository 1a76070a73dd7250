// Integrity check: every tag against the keys recomputed from the records.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "xbase/field_codec.h"

#include "xbase/table_index.h"

namespace xb {
namespace {

std::string Hex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out;
}

}  // namespace

Status IndexSet::Check(std::vector<std::string>* problems) {
  XB_RETURN_IF_ERROR(cdx_->Refresh());
  XB_RETURN_IF_ERROR(cdx_->Verify(problems));
  const size_t kMaxPerTag = 50;
  for (int i = 0; i < tag_count(); ++i) {
    const TagDef& tdef = tags_[i].cdx->def();
    std::string where = table_->path_ + ": tag " + tdef.name + ": ";
    // What the tag holds, in its physical (ascending) order.
    std::vector<std::pair<std::string, uint32_t>> have;
    auto cur = tags_[i].cdx->NewCursor();
    Status s = cur->First();
    while (s.ok() && cur->Valid()) {
      have.emplace_back(cur->key(), cur->recno());
      if (have.size() > static_cast<size_t>(table_->count_) + 1) {
        problems->push_back(where + "more entries than records (a loop in the tree?)");
        break;
      }
      s = cur->Next();
    }
    if (!s.ok()) {
      problems->push_back(where + s.message());
      continue;
    }
    if (tdef.descending) std::reverse(have.begin(), have.end());
    size_t reported = 0;
    for (size_t k = 1; k < have.size(); ++k) {
      if (have[k] < have[k - 1] && reported++ < kMaxPerTag)
        problems->push_back(where + "entry for record " + std::to_string(have[k].second) +
                            " is out of order");
    }
    // What it should hold.
    std::vector<std::pair<std::string, uint32_t>> want;
    std::string rec(table_->record_len_, '\0');
    for (uint32_t r = 1; r <= table_->count_; ++r) {
      XB_RETURN_IF_ERROR(table_->file_->ReadExact(table_->RecordOffset(r), rec.data(), rec.size()));
      std::string key;
      bool in = false;
      Status ks = KeyFor(i, rec, &key, &in);
      if (!ks.ok()) {
        if (reported++ < kMaxPerTag) problems->push_back(where + "record " + std::to_string(r) + ": " + ks.message());
        continue;
      }
      if (in) want.emplace_back(std::move(key), r);
    }
    // An erased record (the undo of an append: blank and deleted) is kept out
    // of every tag on purpose; its absence is not a fault.
    std::string erased(table_->record_len_, ' ');
    for (const auto& fd : table_->fields_) BlankField(fd, erased.data());
    erased[0] = '*';
    std::set<uint32_t> present;
    for (const auto& h : have) present.insert(h.second);
    want.erase(std::remove_if(want.begin(), want.end(),
                              [&](const std::pair<std::string, uint32_t>& w) {
                                if (present.count(w.second)) return false;
                                std::string r(table_->record_len_, '\0');
                                return table_->file_->ReadExact(table_->RecordOffset(w.second), r.data(), r.size()).ok() &&
                                       r == erased;
                              }),
               want.end());
    std::sort(want.begin(), want.end());
    std::sort(have.begin(), have.end());
    std::vector<std::pair<std::string, uint32_t>> missing, extra;
    std::set_difference(want.begin(), want.end(), have.begin(), have.end(), std::back_inserter(missing));
    std::set_difference(have.begin(), have.end(), want.begin(), want.end(), std::back_inserter(extra));
    // A record under an entry whose key is not the record's own: one problem,
    // named as such (a change stopped between the record and the index).
    std::map<uint32_t, std::string> stale;
    for (const auto& e : extra) stale.emplace(e.second, e.first);
    std::set<uint32_t> mismatched;
    for (const auto& m : missing) {
      auto it = stale.find(m.second);
      if (it == stale.end()) continue;
      mismatched.insert(m.second);
      if (reported++ < kMaxPerTag)
        problems->push_back(where + "record " + std::to_string(m.second) + ": index entry (key " +
                            Hex(it->second) + ") does not match the record (key " + Hex(m.first) +
                            ")");
    }
    auto is_mismatched = [&](const std::pair<std::string, uint32_t>& e) {
      return mismatched.count(e.second) != 0;
    };
    missing.erase(std::remove_if(missing.begin(), missing.end(), is_mismatched), missing.end());
    extra.erase(std::remove_if(extra.begin(), extra.end(), is_mismatched), extra.end());
    for (const auto& m : missing)
      if (reported++ < kMaxPerTag)
        problems->push_back(where + "record " + std::to_string(m.second) + " is missing (key " +
                            Hex(m.first) + ")");
    for (const auto& e : extra)
      if (reported++ < kMaxPerTag)
        problems->push_back(where + "stray entry for record " + std::to_string(e.second) +
                            " (key " + Hex(e.first) + ")");
    if (reported > kMaxPerTag)
      problems->push_back(where + std::to_string(reported - kMaxPerTag) + " more problems");
  }
  return Status::OK();
}

}  // namespace xb
