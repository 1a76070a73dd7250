// Thousands of random appends, updates, deletes and recalls on a table with
// several tags (one with a FOR condition, one descending), checked after each
// batch against a plain in-memory model of what every tag must hold.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>

#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

struct Row {
  std::string code;  // C8
  std::string name;  // C30
  double amount = 0; // N10.2
  int flag = 0;      // N1
  bool deleted = false;
};

std::string Pad(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

std::vector<uint32_t> Walk(Table* t, const std::string& tag) {
  std::vector<uint32_t> out;
  EXPECT_TRUE(t->SetOrder(tag).ok());
  for (Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) out.push_back(t->RecNo());
  return out;
}

class RandomIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateOptions co;
    co.exclusive = false;
    auto t = Table::Create(dir_.file("R"),
                           {{"CODE", 'C', 8, 0, 0, 0}, {"NAME", 'C', 30, 0, 0, 0},
                            {"AMOUNT", 'N', 10, 2, 0, 0}, {"FLAG", 'N', 1, 0, 0, 0}},
                           co);
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->LockFile().ok());
    ASSERT_TRUE((*t)->CreateTag("BYCODE", "CODE").ok());
    ASSERT_TRUE((*t)->CreateTag("BYNAME", "UPPER(NAME)+CODE").ok());
    ASSERT_TRUE((*t)->CreateTag("BYAMT", "AMOUNT").ok());
    ASSERT_TRUE((*t)->CreateTag("FLAGGED", "CODE", "FLAG = 1").ok());
    ASSERT_TRUE((*t)->CreateTag("DESC", "STR(AMOUNT,10,2)+CODE", "", true).ok());
    ASSERT_TRUE((*t)->UnlockAll().ok());
    t_ = std::move(*t);
  }

  // Expected visible order of each tag, from the model.
  std::vector<uint32_t> Expected(const std::string& tag) {
    std::vector<std::pair<std::string, uint32_t>> keys;
    char buf[32];
    for (uint32_t r = 1; r <= rows_.size(); ++r) {
      const Row& w = rows_[r - 1];
      if (w.deleted) continue;
      std::snprintf(buf, sizeof buf, "%10.2f", w.amount);
      std::string k;
      if (tag == "BYCODE") k = w.code;
      if (tag == "BYNAME") {
        k = w.name;
        for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        k += w.code;
      }
      if (tag == "FLAGGED") {
        if (w.flag != 1) continue;
        k = w.code;
      }
      if (tag == "DESC") k = std::string(buf) + w.code;
      if (tag == "BYAMT") {
        // Numbers order by value; a fixed-width text with an offset does too.
        std::snprintf(buf, sizeof buf, "%020.2f", w.amount + 1e8);
        k = buf;
      }
      keys.emplace_back(k, r);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<uint32_t> out;
    for (const auto& k : keys) out.push_back(k.second);
    if (tag == "DESC") {
      // Descending by key; equal keys keep ascending record order.
      std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
      out.clear();
      for (const auto& k : keys) out.push_back(k.second);
    }
    return out;
  }

  void Write(uint32_t recno, const Row& w) {
    ASSERT_TRUE(t_->GoTo(recno).ok());
    ASSERT_TRUE(t_->LockRecord().ok());
    ASSERT_TRUE(t_->Put("CODE", Value::Char(w.code)).ok());
    ASSERT_TRUE(t_->Put("NAME", Value::Char(w.name)).ok());
    ASSERT_TRUE(t_->Put("AMOUNT", Value::Number(w.amount)).ok());
    ASSERT_TRUE(t_->Put("FLAG", Value::Number(w.flag)).ok());
    ASSERT_TRUE(w.deleted ? t_->Delete().ok() : t_->Recall().ok());
    ASSERT_TRUE(t_->UnlockRecord(recno).ok());
  }

  Row RandomRow(std::mt19937& rng) {
    static const char* names[] = {"ana", "Bruno", "carla", "DIEGO", "elena", "Fabio", "gina"};
    Row w;
    w.code = Pad(std::to_string(rng() % 500), 8);  // plenty of duplicates
    w.name = Pad(std::string(names[rng() % 7]) + " " + std::to_string(rng() % 50), 30);
    w.amount = static_cast<double>(static_cast<int>(rng() % 200000) - 100000) / 100.0;
    w.flag = static_cast<int>(rng() % 2);
    return w;
  }

  qztest::TempDir dir_;
  std::unique_ptr<Table> t_;
  std::vector<Row> rows_;
};

TEST_F(RandomIndex, EveryTagFollowsTheModelThroughRandomChanges) {
  std::mt19937 rng(12345);
  for (int batch = 0; batch < 12; ++batch) {
    for (int op = 0; op < 400; ++op) {
      int what = static_cast<int>(rng() % 10);
      if (rows_.empty() || what < 4) {
        Row w = RandomRow(rng);
        ASSERT_TRUE(t_->Append().ok());
        rows_.push_back(Row{});
        Write(t_->RecNo(), w);
        rows_.back() = w;
      } else {
        uint32_t r = 1 + rng() % rows_.size();
        Row w = rows_[r - 1];
        if (what < 7) {
          Row n = RandomRow(rng);
          n.deleted = w.deleted;
          w = n;
        } else {
          w.deleted = !w.deleted;
        }
        Write(r, w);
        rows_[r - 1] = w;
      }
    }
    for (const char* tag : {"BYCODE", "BYNAME", "BYAMT", "FLAGGED", "DESC"})
      ASSERT_EQ(Walk(t_.get(), tag), Expected(tag)) << tag << " after batch " << batch;
    if (batch % 4 == 3) {
      // Reopen: what is on disk must be the same.
      ASSERT_TRUE(t_->Close().ok());
      auto t = Table::Open(dir_.file("R.DBF"));
      ASSERT_TRUE(t.ok());
      t_ = std::move(*t);
    }
  }
  std::vector<std::string> problems;
  ASSERT_TRUE(t_->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// Many processes appending and moving keys of the same tags at once.
TEST(IndexSharing, ForkedWritersKeepEveryTagConsistent) {
  qztest::TempDir dir;
  {
    auto t = Table::Create(dir.file("S"), {{"CODE", 'C', 10, 0, 0, 0}, {"DEPTO", 'C', 10, 0, 0, 0},
                                           {"N", 'N', 8, 0, 0, 0}});
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->LockFile().ok());
    ASSERT_TRUE((*t)->CreateTag("S", "CODE").ok());
    ASSERT_TRUE((*t)->CreateTag("S2", "DEPTO+CODE").ok());
    ASSERT_TRUE((*t)->CreateTag("S3", "STR(N,8)", "N > 10").ok());
  }
  const int kWriters = 4, kOps = 800;
  std::vector<pid_t> kids;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      auto t = Table::Open(dir.file("S.DBF"));
      if (!t.ok()) _exit(10);
      std::mt19937 rng(w + 7);
      int appended = 0;
      for (int i = 0; i < kOps; ++i) {
        if (i % 2 == 0) {
          if (!(*t)->Append().ok()) _exit(11);
          (*t)->Put("CODE", Value::Char("w" + std::to_string(w) + "-" + std::to_string(i)));
          (*t)->Put("DEPTO", Value::Char("D" + std::to_string(rng() % 20)));
          (*t)->Put("N", Value::Number(rng() % 30));
          if (!(*t)->UnlockAll().ok()) _exit(12);
          ++appended;
        } else {
          auto n = (*t)->RecCount();
          if (!n.ok() || *n == 0) continue;
          uint32_t r = 1 + rng() % *n;
          if (!(*t)->GoTo(r).ok()) _exit(13);
          Status s = (*t)->LockRecord();
          if (s.IsBusy()) continue;
          if (!s.ok()) _exit(14);
          (*t)->Put("DEPTO", Value::Char("D" + std::to_string(rng() % 20)));
          (*t)->Put("N", Value::Number(rng() % 30));
          if (!(*t)->UnlockRecord(r).ok()) _exit(15);
        }
      }
      _exit(appended == kOps / 2 ? 0 : 16);
    }
    kids.push_back(pid);
  }
  for (pid_t k : kids) {
    int st = 0;
    waitpid(k, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "child exit " << WEXITSTATUS(st);
  }
  auto t = Table::Open(dir.file("S.DBF"));
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(*(*t)->RecCount(), static_cast<uint32_t>(kWriters * kOps / 2));
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(Walk(t->get(), "S").size(), static_cast<size_t>(kWriters * kOps / 2));
}

}  // namespace
}  // namespace xb

namespace xb {
namespace {

// One user walks a tag while another moves keys around it: the walk goes on
// from where it stood, in the order the tag has now.
TEST(IndexSharing, AWalkContinuesFromItsPlaceWhileAnotherUserMovesKeys) {
  qztest::TempDir dir;
  {
    auto t = Table::Create(dir.file("W"), {{"CODE", 'C', 4, 0, 0, 0}});
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->LockFile().ok());
    ASSERT_TRUE((*t)->CreateTag("W", "CODE").ok());
    for (const char* c : {"B", "D", "F", "H"}) {
      ASSERT_TRUE((*t)->Append().ok());
      ASSERT_TRUE((*t)->Put("CODE", Value::Char(c)).ok());
    }
  }
  auto a = Table::Open(dir.file("W.DBF"));
  auto b = Table::Open(dir.file("W.DBF"));
  ASSERT_TRUE(a.ok() && b.ok());
  ASSERT_TRUE((*a)->SetOrder("W").ok());
  ASSERT_TRUE((*a)->GoTop().ok());
  ASSERT_TRUE((*a)->Skip(1).ok());
  EXPECT_EQ((*a)->Get("CODE")->str(), "D   ");
  // The other user moves F before D and adds E after it.
  ASSERT_TRUE((*b)->GoTo(3).ok());
  ASSERT_TRUE((*b)->LockRecord().ok());
  ASSERT_TRUE((*b)->Put("CODE", Value::Char("A")).ok());
  ASSERT_TRUE((*b)->Append().ok());
  ASSERT_TRUE((*b)->Put("CODE", Value::Char("E")).ok());
  ASSERT_TRUE((*b)->UnlockAll().ok());
  std::vector<std::string> rest;
  for (Status s = (*a)->Skip(1); s.ok() && !(*a)->Eof(); s = (*a)->Skip(1))
    rest.push_back((*a)->Get("CODE")->str().substr(0, 1));
  EXPECT_EQ(rest, (std::vector<std::string>{"E", "H"}));
}

}  // namespace
}  // namespace xb
