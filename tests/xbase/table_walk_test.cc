// A walk in key order that another user changes while it stands inside a
// leaf, and the record-lock bookkeeping of one handle holding many locks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

std::string Code(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "K%05d", i);
  return b;
}

// Records 1..n with CODE K00000, K00010, ... (room between for new keys),
// tagged by CODE: a few hundred entries, so a walk stays in one leaf for many
// steps.
void MakeTable(const std::string& path, int n) {
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(path, {{"CODE", 'C', 10, 0, 0, 0}, {"AMOUNT", 'N', 10, 0, 0, 0}}, co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE((*t)->Append().ok());
    ASSERT_TRUE((*t)->Put(0, Value::Char(Code(i * 10))).ok());
  }
  ASSERT_TRUE((*t)->CreateTag("BYCODE", "CODE").ok());
}

std::unique_ptr<Table> OpenShared(const std::string& path) {
  auto t = Table::Open(path);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  return t.ok() ? std::move(*t) : nullptr;
}

// Two users of a new table made by MakeTable, each with a handle of its own.
struct TwoUsers {
  std::unique_ptr<Table> a, b;
};
TwoUsers MakeSharedTable(const qztest::TempDir& dir, const std::string& name, int records) {
  MakeTable(dir.file(name), records);
  return {OpenShared(dir.file(name + ".DBF")), OpenShared(dir.file(name + ".DBF"))};
}

std::string CodeOf(Table* t) {
  std::string s = t->Get(0)->str();
  return s.substr(0, s.find(' '));
}

TEST(TableWalk, AWalkSeesAnotherUsersCommitsAheadOfItInTheSameLeaf) {
  qztest::TempDir dir;
  const int kRecords = 300;
  auto [a, b] = MakeSharedTable(dir, "W", kRecords);
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->SetOrder("BYCODE").ok());
  ASSERT_TRUE(b->SetOrder("BYCODE").ok());

  // Forward: stand on K00050 (record 6), then the other user deletes the next
  // record, moves record 9 (K00080) further ahead, moves record 20 (K00190)
  // behind us, and adds a key just ahead. Each shows up (or not) on the very
  // next steps, and no record is seen twice.
  ASSERT_TRUE(a->Seek(Value::Char("K00050")).ok());
  ASSERT_TRUE(a->Found());
  auto change = [&](uint32_t rec, const char* code, bool del) {
    ASSERT_TRUE(b->GoTo(rec).ok());
    ASSERT_TRUE(b->LockRecord().ok());
    if (code) {
      ASSERT_TRUE(b->Put(0, Value::Char(code)).ok());
    }
    if (del) {
      ASSERT_TRUE(b->Delete().ok());
    }
    ASSERT_TRUE(b->UnlockRecord(rec).ok());
  };
  change(7, nullptr, true);         // K00060 goes
  change(9, "K00125", false);       // K00080 moves ahead
  change(20, "K00001", false);      // K00190 moves behind the walk
  ASSERT_TRUE(b->Append().ok());    // a new key right ahead
  ASSERT_TRUE(b->Put(0, Value::Char("K00055")).ok());
  ASSERT_TRUE(b->UnlockAll().ok());

  std::vector<std::string> seen;
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(a->Skip(1).ok());
    ASSERT_FALSE(a->Eof());
    seen.push_back(CodeOf(a.get()));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"K00055", "K00070", "K00090", "K00100", "K00110",
                                            "K00120", "K00125", "K00130", "K00140", "K00150",
                                            "K00160", "K00170"}));
  // Record 20 left for behind the walk: the walk goes on past its old place.
  ASSERT_TRUE(a->Skip(2).ok());
  EXPECT_EQ(CodeOf(a.get()), "K00200");

  // Backward in the same way: a commit just behind us is seen on the way back.
  change(19, "K00195", false);  // K00180 moves next to K00200, behind us
  std::vector<std::string> back;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(a->Skip(-1).ok());
    back.push_back(CodeOf(a.get()));
  }
  EXPECT_EQ(back, (std::vector<std::string>{"K00195", "K00170", "K00160", "K00150"}));

  // A whole walk after all that: every visible record once, in key order.
  std::vector<std::string> all;
  for (Status s = a->GoTop(); s.ok() && !a->Eof(); s = a->Skip(1)) all.push_back(CodeOf(a.get()));
  EXPECT_EQ(all.size(), static_cast<size_t>(kRecords));  // one deleted, one added
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), all.size());
}

// A table of wide records, over the size from which a walk asks for the
// records ahead of it (several at a time, reaching into the next leaf), with
// its keys in an order unrelated to the records': every way of walking it
// still gives every record once, in key order, including records another
// user changes among those just asked for.
TEST(TableWalk, AWalkOverALargeTableReadingAheadSeesEveryRecordOnce) {
  qztest::TempDir dir;
  const int kRecords = 2200;  // about 9 MB of records
  std::vector<FieldDef> fields = {{"CODE", 'C', 10, 0, 0, 0}};
  for (int f = 0; f < 16; ++f) fields.push_back({"FILL" + std::to_string(f), 'C', 254, 0, 0, 0});
  std::vector<int> order(kRecords);
  for (int i = 0; i < kRecords; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  {
    CreateOptions co;
    co.exclusive = true;
    auto t = Table::Create(dir.file("BIG"), fields, co);
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    for (int i = 0; i < kRecords; ++i) {
      ASSERT_TRUE((*t)->Append().ok());
      ASSERT_TRUE((*t)->Put(0, Value::Char(Code(order[i] * 10))).ok());
    }
    ASSERT_TRUE((*t)->CreateTag("BYCODE", "CODE").ok());
  }
  auto a = OpenShared(dir.file("BIG.DBF"));
  auto b = OpenShared(dir.file("BIG.DBF"));
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->SetOrder("BYCODE").ok());
  auto expect_whole_walks = [&](size_t count) {
    std::vector<std::string> fwd, back;
    for (Status s = a->GoTop(); s.ok() && !a->Eof(); s = a->Skip(1)) fwd.push_back(CodeOf(a.get()));
    for (Status s = a->GoBottom(); s.ok() && !a->Bof(); s = a->Skip(-1)) back.push_back(CodeOf(a.get()));
    EXPECT_EQ(fwd.size(), count);
    EXPECT_TRUE(std::is_sorted(fwd.begin(), fwd.end()));
    EXPECT_EQ(std::set<std::string>(fwd.begin(), fwd.end()).size(), fwd.size());
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, fwd);
  };
  expect_whole_walks(kRecords);

  // From a seek, forward; then the other user deletes the record three
  // entries ahead and moves the one five ahead behind the walk: both were
  // among the records asked for ahead, and neither is seen.
  ASSERT_TRUE(a->Seek(Value::Char(Code(10000))).ok());
  ASSERT_TRUE(a->Found());
  for (int i = 1; i <= 20; ++i) {
    ASSERT_TRUE(a->Skip(1).ok());
    ASSERT_EQ(CodeOf(a.get()), Code(10000 + 10 * i));
  }
  auto record_of = [&](int code) {
    return static_cast<uint32_t>(std::find(order.begin(), order.end(), code / 10) - order.begin()) + 1;
  };
  const uint32_t gone = record_of(10230), moved = record_of(10250);
  ASSERT_TRUE(b->GoTo(gone).ok());
  ASSERT_TRUE(b->LockRecord().ok());
  ASSERT_TRUE(b->Delete().ok());
  ASSERT_TRUE(b->UnlockRecord(gone).ok());
  ASSERT_TRUE(b->GoTo(moved).ok());
  ASSERT_TRUE(b->LockRecord().ok());
  ASSERT_TRUE(b->Put(0, Value::Char("K00005")).ok());
  ASSERT_TRUE(b->UnlockRecord(moved).ok());
  std::vector<std::string> seen;
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(a->Skip(1).ok());
    seen.push_back(CodeOf(a.get()));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{Code(10210), Code(10220), Code(10240), Code(10260),
                                            Code(10270), Code(10280)}));
  // Whole walks: one record fewer, the moved one now second.
  expect_whole_walks(kRecords - 1);
  ASSERT_TRUE(a->GoTop().ok());
  ASSERT_TRUE(a->Skip(1).ok());
  EXPECT_EQ(CodeOf(a.get()), "K00005");
}

// Jumps to a record by number in key order, each followed by steps: from
// the record as it stands (changed by this handle, changed by another user
// after the jump, or just added), a step lands where a model of the keys
// says. The steps are what put the tag's cursor on the record.
TEST(TableWalk, StepsAfterAJumpStartFromTheRecordWhereverItsKeyIsNow) {
  qztest::TempDir dir;
  const int kRecords = 300;
  auto [a, b] = MakeSharedTable(dir, "J", kRecords);
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->SetOrder("BYCODE").ok());
  std::map<uint32_t, int> code_of;  // record -> code number
  std::set<std::pair<int, uint32_t>> keys;
  std::set<int> used;
  for (int i = 0; i < kRecords; ++i) {
    code_of[i + 1] = i * 10;
    keys.insert({i * 10, i + 1});
    used.insert(i * 10);
  }
  std::mt19937 rng(21);
  auto fresh_code = [&] {
    int c;
    do c = static_cast<int>(rng() % 5000); while (used.count(c));
    used.insert(c);
    return c;
  };
  auto set_code = [&](uint32_t r, int c) {
    keys.erase({code_of[r], r});
    code_of[r] = c;
    keys.insert({c, r});
  };
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    uint32_t r = 1 + rng() % static_cast<uint32_t>(code_of.size());
    int from_code = code_of[r];  // where the steps start from, as this handle sees it
    switch (rng() % 4) {
      case 0:  // a plain jump
        ASSERT_TRUE(a->GoTo(r).ok());
        break;
      case 1: {  // a jump and a change of the key, written by the step
        ASSERT_TRUE(a->GoTo(r).ok());
        ASSERT_TRUE(a->LockRecord().ok());
        from_code = fresh_code();
        ASSERT_TRUE(a->Put(0, Value::Char(Code(from_code))).ok());
        set_code(r, from_code);
        break;
      }
      case 2: {  // another user moves the record after the jump
        ASSERT_TRUE(a->GoTo(r).ok());
        ASSERT_TRUE(b->GoTo(r).ok());
        ASSERT_TRUE(b->LockRecord().ok());
        int c = fresh_code();
        ASSERT_TRUE(b->Put(0, Value::Char(Code(c))).ok());
        ASSERT_TRUE(b->UnlockRecord(r).ok());
        set_code(r, c);
        break;
      }
      default: {  // a new record
        ASSERT_TRUE(a->Append().ok());
        r = a->RecNo();
        ASSERT_EQ(r, code_of.size() + 1);
        from_code = fresh_code();
        ASSERT_TRUE(a->Put(0, Value::Char(Code(from_code))).ok());
        code_of[r] = from_code;
        keys.insert({from_code, r});
        break;
      }
    }
    const int n = static_cast<int>(rng() % 7) - 3;
    ASSERT_TRUE(a->Skip(n).ok());
    ASSERT_TRUE(a->UnlockAll().ok());
    if (n == 0) continue;
    // Entries before the starting point: its own entry when the record is
    // still there, else the place the entry the handle knew would have.
    auto start = keys.lower_bound({from_code, r});
    const bool on_entry = start != keys.end() && *start == std::make_pair(from_code, r);
    const long p = std::distance(keys.begin(), start);
    const long target = n > 0 ? p + n - (on_entry ? 0 : 1) : p + n;
    if (n > 0 && target >= static_cast<long>(keys.size())) {
      EXPECT_TRUE(a->Eof());
      continue;
    }
    if (n < 0 && target < 0) {
      EXPECT_TRUE(a->Bof());
      continue;
    }
    ASSERT_FALSE(a->Eof());
    auto want = std::next(keys.begin(), target);
    EXPECT_EQ(a->RecNo(), want->second);
    EXPECT_EQ(CodeOf(a.get()), Code(want->first));
  }
}

TEST(TableWalk, ManyRecordLocksTakenAndReleasedInAnyOrder) {
  qztest::TempDir dir;
  const int kRecords = 400;
  auto [a, b] = MakeSharedTable(dir, "L", kRecords);
  ASSERT_TRUE(a && b);
  std::mt19937 rng(11);
  std::vector<uint32_t> recs;
  for (uint32_t r = 1; r <= kRecords; r += (r % 7 == 0 ? 2 : 1)) recs.push_back(r);
  std::shuffle(recs.begin(), recs.end(), rng);
  std::set<uint32_t> held;
  for (uint32_t r : recs) {
    ASSERT_TRUE(a->LockRecord(r).ok()) << r;
    held.insert(r);
    if (r % 5 == 0) {
      ASSERT_TRUE(a->LockRecord(r).ok());  // again: still held once
    }
  }
  EXPECT_EQ(a->LockedRecords(), std::vector<uint32_t>(held.begin(), held.end()));
  for (uint32_t r = 1; r <= kRecords; ++r) EXPECT_EQ(a->IsRecordLocked(r), held.count(r) > 0) << r;

  // Half of them go back, in another order; the other user gets exactly those.
  std::shuffle(recs.begin(), recs.end(), rng);
  for (size_t i = 0; i < recs.size() / 2; ++i) {
    ASSERT_TRUE(a->UnlockRecord(recs[i]).ok());
    held.erase(recs[i]);
  }
  ASSERT_TRUE(a->UnlockRecord(recs[0]).ok());  // not held any more: nothing to do
  EXPECT_EQ(a->LockedRecords(), std::vector<uint32_t>(held.begin(), held.end()));
  for (uint32_t r = 1; r <= kRecords; r += 3) {
    Status s = b->LockRecord(r);
    EXPECT_EQ(s.code(), held.count(r) ? Code::kBusy : Code::kOk) << r;
  }
  ASSERT_TRUE(b->UnlockAll().ok());

  // UnlockAll lets go of every run of adjacent records and the gaps between.
  ASSERT_TRUE(a->UnlockAll().ok());
  EXPECT_TRUE(a->LockedRecords().empty());
  EXPECT_FALSE(a->IsRecordLocked(recs[recs.size() - 1]));
  for (uint32_t r = 1; r <= kRecords; ++r) ASSERT_TRUE(b->LockRecord(r).ok()) << r;
  EXPECT_EQ(b->LockedRecords().size(), static_cast<size_t>(kRecords));
}

}  // namespace
}  // namespace xb
