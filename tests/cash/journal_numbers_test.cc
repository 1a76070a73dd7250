// Journal entry numbers come from the module's serial: a module without
// one goes on from its last entry, and two workstations (two processes)
// posting at the same moment never take the same number.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>

#include "cash/deposits/journal.h"
#include "cash/deposits_fixture.h"
#include "lib/data/transaction.h"

namespace {

class JournalNumbers : public qztest::DepositsTest {
 protected:
  qz::LedgerEntry Entry(const std::string& modulo) {
    qz::LedgerEntry e;
    e.negocio = qztest::Biz(kBiz);
    e.modulo = modulo;
    e.fecha = J(2026, 12, 8);
    e.documento = "DOC";
    e.descrip = "Depósito";
    e.rounding_account = "2100";
    e.lines = {{"1010", "x", 100, 0}, {"2100", "x", 0, 100}};
    return e;
  }
  std::string Post(const std::string& modulo) {
    return qz::Atomically([&] { return qz::PostJournal(nullptr, Entry(modulo)); });
  }
  std::vector<std::map<std::string, std::string>> Serial(const std::string& code) {
    std::vector<std::map<std::string, std::string>> out;
    for (auto& r : Rows("SERIALES"))
      if (r["CODIGO"] == code) out.push_back(r);
    return out;
  }
};

TEST_F(JournalNumbers, AModuleWithoutItsSerialGoesOnFromItsLastEntry) {
  qztest::AddRows(bases, "ENC_ASIE", {{{"NEGOCIO", qztest::C(qztest::Biz(kBiz))},
                                       {"MODULO", qztest::C("09")},
                                       {"NUMERO", qztest::C("000000000000041")}}});
  EXPECT_EQ(Post("09"), "000000000000042");
  EXPECT_EQ(Post("09"), "000000000000043");
  auto serial = Serial("ASI09");
  ASSERT_EQ(serial.size(), 1u);
  EXPECT_EQ(serial[0]["NUMERO"], "43.00");
  EXPECT_EQ(serial[0]["INDENT"], "15.00");
  // Another module counts on its own.
  EXPECT_EQ(Post("04"), "000000000000001");
  ExpectBalancedJournal();
}

TEST_F(JournalNumbers, AnEntryRolledBackGivesItsNumberBack) {
  EXPECT_EQ(Post("09"), "000000000000001");
  EXPECT_THROW(qz::Atomically([&] {
                 qz::PostJournal(nullptr, Entry("09"));
                 throw std::runtime_error("a later step failed");
               }),
               std::runtime_error);
  EXPECT_EQ(Post("09"), "000000000000002");
  EXPECT_EQ(Rows("ENC_ASIE").size(), 2u);
}

TEST_F(JournalNumbers, TwoWorkstationsPostingAtOnceNeverShareANumber) {
  // Real waits: each workstation holds the serial until its entry is
  // written, and the other one waits for it.
  qz::SetClock(nullptr);
  constexpr int kEach = 15;
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t other = fork();
  ASSERT_GE(other, 0);
  auto post_all = [&] {
    char c;
    if (read(go[0], &c, 1) != 1) return 2;
    try {
      for (int i = 0; i < kEach; ++i) Post(i % 2 ? "09" : "04");
    } catch (...) {
      return 1;
    }
    return 0;
  };
  if (other == 0) _exit(post_all());
  ASSERT_EQ(write(go[1], "xx", 2), 2);  // both start together
  const int mine = post_all();
  int status = 0;
  waitpid(other, &status, 0);
  qz::SetClock(&clock);
  EXPECT_EQ(mine, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::set<std::string> numbers;
  for (auto& r : Rows("ENC_ASIE")) numbers.insert(r["MODULO"] + "/" + r["NUMERO"]);
  EXPECT_EQ(numbers.size(), 2u * kEach);
  EXPECT_EQ(Serial("ASI09").size(), 1u);  // made once, though both needed it
  EXPECT_EQ(Serial("ASI04").size(), 1u);
  EXPECT_EQ(Serial("ASI09")[0]["NUMERO"], "14.00");  // the odd posts of each
  EXPECT_EQ(Serial("ASI04")[0]["NUMERO"], "16.00");
  ExpectBalancedJournal();
}

}  // namespace
