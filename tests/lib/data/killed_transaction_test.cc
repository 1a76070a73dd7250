// A real kill: a workstation runs transactions over three tables and is
// killed with SIGKILL at a random moment, while this process works on the
// same tables. Nobody may build on the dead transaction's values, and
// nothing anybody committed may be lost.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>

#include "lib/data/journal.h"
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/settings/globals.h"
#include "support/installation.h"

namespace qz {
namespace {

constexpr const char* kTables[] = {"ARTICULO", "TABLA2", "TABLA3"};
constexpr uint32_t kTxnRows = 8;   // records 1..8: the transactions' rows
constexpr uint32_t kWorkRows = 8;  // records 9..16: the other workstation's rows

// Each committed transaction k sets PRECIO = k on records 1..6 of the three
// tables and appends one row "K<k>" to each, then reports k on `out`.
[[noreturn]] void TransactionWorkstation(const std::string& root, int out) {
  ResetGlobals();
  ResetWorkAreas();
  if (StartDataLayer(root) != StartResult::kContinue) _exit(2);
  try {
    std::vector<TablePtr> t;
    for (const char* name : kTables) t.push_back(USE(nullptr, name));
    for (int32_t k = 1;; ++k) {
      START_TRANSACTION();
      for (uint32_t r = 1; r <= kTxnRows; ++r) {
        for (auto& table : t) {
          table->GoTo(r);
          LOCK_FOR_MODIFY(*table);
          table->FieldPut("PRECIO", xb::Value::Number(k));
          UNLOCK_FOR_MODIFY(*table);
        }
      }
      for (auto& table : t) {
        ADD_NEW_REC(*table);
        table->FieldPut("CODIGO", xb::Value::Char("K" + std::to_string(k)));
        UNLOCK_NEW_REC(*table);
      }
      END_TRANSACTION();
      if (write(out, &k, sizeof k) != sizeof k) _exit(4);
      // A moment between transactions, as a user's workstation has: the
      // other one polls for the locks every 100 ms.
      usleep(20000);
    }
  } catch (...) {
    _exit(3);
  }
}

struct Worker {
  std::vector<TablePtr> t;
  std::map<uint32_t, int> increments;  // committed by this process, per record
  std::mt19937 rng{12345};

  // Holding record r of the first table, no transaction can be half-way
  // through record r of the others (each one takes them in table order).
  void ReadTransactionRow() {
    uint32_t r = 1 + rng() % kTxnRows;
    std::vector<double> seen;
    for (auto& table : t) {
      table->GoTo(r);
      LOCK_FOR_MODIFY(*table);
      seen.push_back(table->FieldGet("PRECIO").number());
    }
    for (auto& table : t) UNLOCK_FOR_MODIFY(*table);
    EXPECT_EQ(seen[1], seen[0]) << "record " << r << " half done";
    EXPECT_EQ(seen[2], seen[0]) << "record " << r << " half done";
  }

  void IncrementOwnRow() {
    uint32_t r = kTxnRows + 1 + rng() % kWorkRows;
    for (auto& table : t) {
      table->GoTo(r);
      LOCK_FOR_MODIFY(*table);
      table->FieldPut("PRECIO", xb::Value::Number(table->FieldGet("PRECIO").number() + 1));
      UNLOCK_FOR_MODIFY(*table);
    }
    ++increments[r];
  }

  void WorkFor(std::chrono::milliseconds d) {
    auto end = std::chrono::steady_clock::now() + d;
    // Reading a transaction's row waits for the transaction to end: one
    // look in four keeps both workstations busy.
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
      if (i % 4 == 0) ReadTransactionRow();
      IncrementOwnRow();
    }
  }
};

void MakeTables(const std::string& root) {
  for (const char* name : {"TABLA2", "TABLA3"}) {
    qztest::MakeTable(root + "BASES/" + name,
                      {qztest::F("NEGOCIO", 'C', 15), qztest::F("CODIGO", 'C', 15),
                       qztest::F("DESCRIP", 'C', 30), qztest::F("PRECIO", 'N', 10, 2)},
                      {{name, "NEGOCIO+CODIGO"}});
  }
  for (const char* name : kTables) {
    auto t = xb::Table::Open(root + "BASES/" + name + ".DBF");
    for (uint32_t r = 1; r <= kTxnRows + kWorkRows; ++r) {
      ASSERT_TRUE((*t)->Append().ok());
      (*t)->Put("NEGOCIO", xb::Value::Char("HOTEL"));
      (*t)->Put("CODIGO", xb::Value::Char("R" + std::to_string(r)));
    }
    ASSERT_TRUE((*t)->Close().ok());
  }
}

TEST(KilledTransaction, NothingCommittedIsLostAndNothingDeadIsBuiltOn) {
  std::mt19937 rng(std::random_device{}());
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    qztest::Installation inst;
    inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
    MakeTables(inst.root);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      TransactionWorkstation(inst.root, fds[1]);
    }
    close(fds[1]);
    ASSERT_EQ(inst.Start(), StartResult::kContinue);
    Worker w;
    for (const char* name : kTables) w.t.push_back(USE(nullptr, name));
    w.WorkFor(std::chrono::milliseconds(50 + rng() % 300));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the workstation ended on its own: " << status;
    w.WorkFor(std::chrono::milliseconds(100));

    int32_t acked = 0, k = 0;
    while (read(fds[0], &k, sizeof k) == sizeof k) acked = k;
    close(fds[0]);
    for (auto& t : w.t) KILLTABLA(t);

    // Every table shows the same transaction: the last one acknowledged, or
    // the next when it committed just before the kill.
    std::vector<double> final_value;
    for (const char* name : kTables) {
      SCOPED_TRACE(name);
      const std::string path = inst.root + "BASES/" + name + ".DBF";
      auto t = xb::Table::Open(path);
      ASSERT_TRUE(t.ok());
      ASSERT_TRUE((*t)->GoTo(1).ok());
      const double v = (*t)->Get("PRECIO")->number();
      final_value.push_back(v);
      EXPECT_TRUE(v == acked || v == acked + 1) << v << " after " << acked << " acknowledged";
      for (uint32_t r = 1; r <= kTxnRows; ++r) {
        ASSERT_TRUE((*t)->GoTo(r).ok());
        EXPECT_EQ((*t)->Get("PRECIO")->number(), v) << "record " << r;
      }
      for (uint32_t r = kTxnRows + 1; r <= kTxnRows + kWorkRows; ++r) {
        ASSERT_TRUE((*t)->GoTo(r).ok());
        EXPECT_EQ((*t)->Get("PRECIO")->number(), w.increments[r]) << "record " << r;
      }
      int appended = 0;
      for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip())
        appended += (*t)->Get("CODIGO")->str()[0] == 'K';
      EXPECT_EQ(appended, v);
      std::vector<std::string> problems;
      ASSERT_TRUE((*t)->Check(&problems).ok());
      EXPECT_TRUE(problems.empty()) << problems.front();
    }
    EXPECT_EQ(final_value[1], final_value[0]);
    EXPECT_EQ(final_value[2], final_value[0]);
    // A workstation killed before its first transaction never made the folder.
    const std::string journals = JournalFolder(inst.root);
    EXPECT_TRUE(!std::filesystem::exists(journals) || std::filesystem::is_empty(journals));
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace qz
