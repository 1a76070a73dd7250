// Optimising a list of shared tables: what is packed, what a table open at
// another workstation does to the run, and what a run killed half-way leaves.
#include "lib/data/table_optimize.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "support/installation.h"

namespace qz {
namespace {

namespace fs = std::filesystem;
using qztest::F;
using Outcome = OptimizeReport::Outcome;

struct Rec {
  bool deleted;
  std::string code, note;
  bool operator==(const Rec&) const = default;
};
using Recs = std::vector<Rec>;

std::string NoteOf(int i) { return "observación " + std::to_string(i) + std::string(i % 120, '#'); }

// A table of `n` rows with a memo on most of them and every third row
// deleted (`memo` false: no memo field; `tags` false: no index file).
void MakeRows(const std::string& path, int n, bool memo = true, bool tags = true) {
  xb::FieldList fields = {F("CODIGO", 'C', 10), F("NOMBRE", 'C', 20)};
  if (memo) fields.push_back(F("NOTAS", 'M', 10));
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(path, fields, co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  if (tags) {
    ASSERT_TRUE((*t)->CreateTag("CODIGO", "CODIGO").ok());
    ASSERT_TRUE((*t)->CreateTag("NOMBRE", "UPPER(NOMBRE)+CODIGO").ok());
  }
  for (int i = 1; i <= n; ++i) {
    ASSERT_TRUE((*t)->Append().ok());
    ASSERT_TRUE((*t)->Put("CODIGO", xb::Value::Char("C" + std::to_string(100000 + i))).ok());
    ASSERT_TRUE((*t)->Put("NOMBRE", xb::Value::Char("nombre " + std::to_string(n - i))).ok());
    if (memo && i % 4) {
      ASSERT_TRUE((*t)->Put("NOTAS", xb::Value::Char(NoteOf(i))).ok());
    }
    if (i % 3 == 0) {
      ASSERT_TRUE((*t)->Delete().ok());
    }
  }
  ASSERT_TRUE((*t)->Close().ok());
}

// Every record in record order, deleted ones included, and what `check`
// finds wrong with the tags.
Recs ReadAll(const std::string& path, std::vector<std::string>* problems = nullptr) {
  xb::SetDeletedHidden(false);
  Recs out;
  auto t = xb::Table::Open(path);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  if (t.ok()) {
    std::vector<std::string> found;
    EXPECT_TRUE((*t)->Check(&found).ok());
    if (problems) *problems = found;
    const bool memo = (*t)->FieldIndex("NOTAS") >= 0;
    for (uint32_t r = 1; r <= *(*t)->RecCount(); ++r) {
      EXPECT_TRUE((*t)->GoTo(r).ok());
      std::string note;
      if (memo) {
        auto v = (*t)->Get("NOTAS");
        EXPECT_TRUE(v.ok()) << path << " record " << r << ": " << v.status().ToString();
        note = v.ok() ? v->str() : "?";
      }
      out.push_back({(*t)->Deleted(), (*t)->Get("CODIGO")->str(), note});
    }
  }
  xb::SetDeletedHidden(true);
  return out;
}

Recs Live(const Recs& all) {
  Recs out;
  for (const Rec& r : all)
    if (!r.deleted) out.push_back(r);
  return out;
}

class OptimizeTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeRows(Base("PLA_A"), 90);
    MakeRows(Base("PLA_B"), 60, false);
    MakeRows(Base("PLA_C"), 30, true, false);
    inst.Start();
  }
  std::string Base(const std::string& t) const { return inst.root + "BASES/" + t + ".DBF"; }

  qztest::Installation inst;
};

TEST_F(OptimizeTablesTest, PacksEveryTableInOrderKeepingMemosAndRebuildingTags) {
  const Recs a = ReadAll(Base("PLA_A")), b = ReadAll(Base("PLA_B")), c = ReadAll(Base("PLA_C"));
  // Another program wrote a key without updating the index: a rebuilt
  // index answers for it again.
  {
    std::fstream f(Base("PLA_A"), std::ios::in | std::ios::out | std::ios::binary);
    unsigned char head[10];
    f.read(reinterpret_cast<char*>(head), sizeof head);
    f.seekp(head[8] | head[9] << 8);  // record 1: deletion flag, then CODIGO
    f.write(" Z999999", 8);
  }
  std::vector<std::string> problems;
  ReadAll(Base("PLA_A"), &problems);
  ASSERT_FALSE(problems.empty());

  std::vector<std::string> seen;
  OptimizeReport r = OptimizeTables({"PLA_A", "NO_HAY", "PLA_B", "PLA_A", "PLA_C"},
                                    [&](const std::string& t, int i, int n) {
                                      seen.push_back(t + " " + std::to_string(i) + "/" +
                                                     std::to_string(n));
                                      return true;
                                    });
  EXPECT_EQ(r.outcome, Outcome::kDone) << r.detail;
  EXPECT_EQ(seen, (std::vector<std::string>{"PLA_A 1/5", "PLA_B 3/5", "PLA_A 4/5", "PLA_C 5/5"}));
  EXPECT_EQ(r.optimized, (std::vector<std::string>{"PLA_A", "PLA_B", "PLA_A", "PLA_C"}));
  EXPECT_EQ(r.missing, std::vector<std::string>{"NO_HAY"});

  Recs a_after = Live(a);
  a_after[0].code.replace(0, 7, "Z999999");
  EXPECT_EQ(ReadAll(Base("PLA_A"), &problems), a_after);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(ReadAll(Base("PLA_B"), &problems), Live(b));
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(ReadAll(Base("PLA_C")), Live(c));
  EXPECT_FALSE(fs::exists(inst.root + "BASES/PLA_C.CDX"));
  // The rebuilt tag finds the key the old index missed.
  auto t = xb::Table::Open(Base("PLA_A"));
  ASSERT_TRUE((*t)->SetOrder("CODIGO").ok());
  ASSERT_TRUE((*t)->Seek(xb::Value::Char("Z999999")).ok());
  EXPECT_TRUE((*t)->Found());
}

TEST_F(OptimizeTablesTest, ATableOpenAtAnotherWorkstationStopsTheRunBeforeAnythingIsTouched) {
  const Recs a = ReadAll(Base("PLA_A")), b = ReadAll(Base("PLA_B"));
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t other = fork();
  ASSERT_GE(other, 0);
  if (other == 0) {  // the other workstation: has PLA_B open until told
    auto t = xb::Table::Open(Base("PLA_B"));
    char c = t.ok() ? 'y' : 'n';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    if (read(release[0], &c, 1) != 1) _exit(3);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');

  int steps = 0;
  OptimizeReport r = OptimizeTables({"PLA_A", "PLA_B", "PLA_C"}, [&](const std::string&, int, int) {
    ++steps;
    return true;
  });
  EXPECT_EQ(r.outcome, Outcome::kInUse);
  EXPECT_EQ(r.table, "PLA_B");
  EXPECT_EQ(r.path, Base("PLA_B"));
  EXPECT_EQ(steps, 0);
  EXPECT_TRUE(r.optimized.empty());
  EXPECT_EQ(ReadAll(Base("PLA_A")), a);  // PLA_A, before it in the list, untouched too

  // Once the other workstation is gone the same run goes through; the
  // refused run held nothing back.
  ASSERT_EQ(write(release[1], "x", 1), 1);
  int st = 0;
  waitpid(other, &st, 0);
  r = OptimizeTables({"PLA_A", "PLA_B", "PLA_C"});
  EXPECT_EQ(r.outcome, Outcome::kDone) << r.detail;
  EXPECT_EQ(ReadAll(Base("PLA_A")), Live(a));
  EXPECT_EQ(ReadAll(Base("PLA_B")), Live(b));
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

TEST_F(OptimizeTablesTest, StoppingBetweenTablesLeavesTheRestAsTheyWere) {
  const Recs a = ReadAll(Base("PLA_A")), b = ReadAll(Base("PLA_B"));
  OptimizeReport r = OptimizeTables({"PLA_A", "PLA_B"}, [](const std::string& t, int, int) {
    return t != "PLA_B";
  });
  EXPECT_EQ(r.outcome, Outcome::kStopped);
  EXPECT_EQ(r.table, "PLA_B");
  EXPECT_EQ(ReadAll(Base("PLA_A")), Live(a));
  EXPECT_EQ(ReadAll(Base("PLA_B")), b);
}

// The run is SIGKILLed at several moments: as a table starts, part-way into
// its pack and about when its pack ends (timed from a run without a kill).
// The tables packed form a prefix of the list, every table is whole either
// way, and every index checks clean without a reindex.
TEST(OptimizeTablesKilled, ARunKilledMidwayLosesNoRecord) {
  qztest::Installation inst;
  const std::vector<std::string> names = {"KIL_A", "KIL_B", "KIL_C", "KIL_D"};
  const std::string stash = inst.root + "stash/";
  fs::create_directories(stash);
  for (const auto& n : names) MakeRows(stash + n + ".DBF", 2000);
  std::map<std::string, Recs> before;
  for (const auto& n : names) before[n] = ReadAll(stash + n + ".DBF");
  inst.Start();
  auto restore = [&] {
    for (const auto& e : fs::directory_iterator(stash))
      fs::copy_file(e.path(), inst.root + "BASES/" + e.path().filename().string(),
                    fs::copy_options::overwrite_existing);
  };
  restore();
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(OptimizeTables(names).outcome, Outcome::kDone);
  const int per_table_ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
          .count() / 4);

  int kills = 0, swapped_when_killed = 0;
  for (int victim : {0, 2}) {
    for (int delay_ms : {0, per_table_ms / 2, per_table_ms * 9 / 10, per_table_ms * 13 / 10}) {
      SCOPED_TRACE("killed " + std::to_string(delay_ms) + " ms into " + names[victim]);
      restore();
      int started[2];
      ASSERT_EQ(pipe(started), 0);
      pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        close(started[0]);
        OptimizeTables(names, [&](const std::string&, int i, int) {
          char c = static_cast<char>(i);
          return write(started[1], &c, 1) == 1;
        });
        _exit(0);
      }
      close(started[1]);
      char c = 0;
      while (c < victim + 1 && read(started[0], &c, 1) == 1) {
      }
      close(started[0]);
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      kill(child, SIGKILL);
      int st = 0;
      waitpid(child, &st, 0);
      ++kills;
      int packed = 0;
      for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        std::vector<std::string> problems;
        const Recs got = ReadAll(inst.root + "BASES/" + names[i] + ".DBF", &problems);
        EXPECT_TRUE(problems.empty()) << problems.front();
        const bool is_packed = got == Live(before[names[i]]);
        EXPECT_TRUE(is_packed || got == before[names[i]]);
        if (is_packed) {
          EXPECT_EQ(packed, i) << "packed after a table that was not";
          ++packed;
        }
      }
      EXPECT_GE(packed, victim);
      swapped_when_killed += packed > victim;
      for (const auto& e : fs::directory_iterator(inst.root + "BASES")) {
        const std::string f = e.path().filename().string();
        EXPECT_TRUE(f.find(".new") == std::string::npos && f.find(".swap") == std::string::npos) << f;
      }
    }
  }
  std::printf("[ kill ] %d optimisations killed (a pack takes %d ms); %d had packed the table under way\n",
              kills, per_table_ms, swapped_when_killed);
}

}  // namespace
}  // namespace qz
