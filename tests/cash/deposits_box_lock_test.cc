// Deposits and closings of one hotel box from two workstations (two
// processes, real waits): a deposit is either in before the closing or
// not written at all, and an annulment made twice at once reverses once.
// The front desk's toolbar is not installed here, so CAJA_ABIERTA answers
// from this workstation's holding alone and the box's lock decides.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "cash/deposits/deposit_annul.h"
#include "cash/deposits_fixture.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"

namespace {

using Clock = std::chrono::steady_clock;

class DepositBoxLock : public qztest::DepositsTest {
 protected:
  void SetUp() override {
    DepositsTest::SetUp();
    InstallSimulators();
    AssignStation(kBiz, "CAJA1");
    Station("CAJA1", "02", "CR", "Credomatic colones", "CR-900");
    qz::SetClock(nullptr);  // the workstations really wait for each other
  }
  void TearDown() override {
    qz::SetClock(&clock);
    DepositsTest::TearDown();
  }

  // Another workstation (a child process) runs `other` once both are
  // ready; `other` may report a number back through `say`. This
  // workstation runs `here` when the other one has said its first word,
  // or at once when `wait_word` is false. Answers the other's exit code.
  int TwoWorkstations(const std::function<int(std::function<void(long)> say)>& other,
                      const std::function<void()>& here, bool wait_word = true) {
    int go[2], words[2];
    EXPECT_EQ(pipe(go), 0);
    EXPECT_EQ(pipe(words), 0);
    const pid_t child = fork();
    if (child == 0) {
      char c;
      int code = 2;
      if (read(go[0], &c, 1) == 1) {
        try {
          code = other([&](long n) { (void)!write(words[1], &n, sizeof n); });
        } catch (...) {
          code = 1;
        }
      }
      _exit(code);
    }
    close(words[1]);
    EXPECT_EQ(write(go[1], "x", 1), 1);
    if (wait_word) heard_.push_back(Hear(words[0]));
    here();
    for (long n; read(words[0], &n, sizeof n) == sizeof n;) heard_.push_back(n);
    close(words[0]);
    close(go[0]);
    close(go[1]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static long Hear(int fd) {
    long n = -1;
    return read(fd, &n, sizeof n) == sizeof n ? n : -1;
  }

  // A bank deposit without applications: what it moves is easy to follow.
  std::optional<std::string> BankDeposit(double monto) {
    return reg.Register(Form("02", monto));
  }
  std::string Estado() { return Rows("ENC_HCAJ")[0]["ESTADO"]; }
  double BankBalance() { return std::stod(Rows("CUEN_LIB")[0]["SALDO"]); }

  const qz::BoxKind& hotel = *qz::BoxKindFor(qz::kHotelToolbar);
  std::vector<long> heard_;
};

TEST_F(DepositBoxLock, ACardDepositWaitsForAClosingUnderWayThenTakesNothingAndGivesTheChargeBack) {
  Script("dllpurchase=00;APROBADA;;;REF1;AUT1;TRACE9\ndllcanceltrans=00;ANULADA\n");
  qz::DepositForm card = Form("05", 25000);
  card.card_account = "4111111111111111";
  Clock::duration waited{};
  std::optional<std::string> mov;
  const int other = TwoWorkstations(
      [&](auto say) {
        // The closing has the box and has written "C", not yet ended.
        qz::Atomically([&] {
          if (qz::CloseBoxRecords(hotel, qztest::Biz(kBiz), "01", true) != qz::BoxChange::kDone)
            throw std::runtime_error("not closed");
          say(1);
          usleep(400 * 1000);
        });
        return 0;
      },
      [&] {
        const Clock::time_point start = Clock::now();
        mov = reg.Register(card);
        waited = Clock::now() - start;
      });
  EXPECT_EQ(other, 0);
  EXPECT_GE(waited, std::chrono::milliseconds(250));  // it waited
  EXPECT_FALSE(mov);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"No hay Caja Abierta..."});
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("ENC_LIB").empty());
  EXPECT_TRUE(Rows("DET_ASIE").empty());
  EXPECT_DOUBLE_EQ(BankBalance(), 1000000);
  EXPECT_TRUE(Rows("LOG_ROLL").empty());  // refused, not rolled back
  EXPECT_EQ(Estado(), "C");
  // The guest was charged at the terminal before the box was asked: the
  // charge went back.
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1], "dllcanceltrans|CR-900|REF1|AUT1|TRACE9");
}

TEST_F(DepositBoxLock, AClosingWaitsForADepositUnderWay) {
  Clock::duration waited{};
  qz::BoxChange closed = qz::BoxChange::kMissing;
  const int other = TwoWorkstations(
      [&](auto say) {
        // The deposit's posting has the box.
        qz::START_ATOMIC_TRANSACTION();
        int code = 0;
        {
          qz::BoxKeptOpen box(hotel, qztest::Biz(kBiz), "01");
          if (!box.open()) code = 3;
          say(1);
          usleep(400 * 1000);
          qz::END_TRANSACTION();
        }
        return code;
      },
      [&] {
        const Clock::time_point start = Clock::now();
        closed = qz::CloseCashBox(qz::ProcessCashBoxes(), hotel, qztest::Biz(kBiz));
        waited = Clock::now() - start;
      });
  EXPECT_EQ(other, 0);
  EXPECT_GE(waited, std::chrono::milliseconds(250));
  EXPECT_EQ(closed, qz::BoxChange::kDone);
  EXPECT_EQ(Estado(), "C");
}

TEST_F(DepositBoxLock, ADepositAndAClosingAtTheSameMomentNeverLeaveADepositAfterTheClosing) {
  double registered = 0;
  size_t kept = 0;
  for (int round = 0; round < 6; ++round) {
    HoldBox("01");
    heard_.clear();
    std::optional<std::string> mov;
    const int other = TwoWorkstations(
        [&](auto say) {
          qz::Atomically([&] {
            if (qz::CloseBoxRecords(hotel, qztest::Biz(kBiz), "01", true) !=
                qz::BoxChange::kDone)
              throw std::runtime_error("not closed");
            // What the shift took, seen while the closing holds the box.
            qz::TablePtr t = qz::USE(nullptr, "ENC_HLIB", "ENC_HLIB");
            say(static_cast<long>(t->RecCount()));
            qz::KILLTABLA(t);
          });
          return 0;
        },
        [&] { mov = BankDeposit(1000 + round); }, false);
    ASSERT_EQ(other, 0) << round;
    ASSERT_EQ(heard_.size(), 1u) << round;
    // Whatever the order, no deposit came in after the closing saw the box.
    EXPECT_EQ(static_cast<long>(Rows("ENC_HLIB").size()), heard_[0]) << round;
    EXPECT_EQ(Estado(), "C");
    if (mov) {
      registered += 1000 + round;
      ++kept;
    } else {
      EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"No hay Caja Abierta..."});
    }
  }
  EXPECT_EQ(Rows("ENC_HLIB").size(), kept);
  EXPECT_EQ(Rows("ENC_LIB").size(), kept);
  EXPECT_DOUBLE_EQ(BankBalance(), 1000000 + registered);
  ExpectBalancedJournal();
}

TEST_F(DepositBoxLock, TwoWorkstationsAnnullingOneDepositAtOnceReverseItOnce) {
  auto mov = BankDeposit(5000);
  ASSERT_TRUE(mov);
  const double after_deposit = BankBalance();
  auto annul = [&] {
    return qz::MayAnnulDeposit(nullptr, qztest::Biz(kBiz), *mov) &&
           qz::AnnulDeposit(nullptr, qztest::Biz(kBiz), *mov, J(2026, 12, 9), "ANA");
  };
  bool here = false;
  const int other = TwoWorkstations([&](auto) { return annul() ? 0 : 4; },
                                    [&] { here = annul(); }, false);
  ASSERT_TRUE(other == 0 || other == 4) << other;
  EXPECT_NE(here, other == 0);  // exactly one of them annulled it
  if (!here) {
    EXPECT_EQ(ui.TakeBoxTexts(),
              std::vector<std::string>{"No se puede anular un movimiento ya anulado"});
  }
  EXPECT_EQ(Rows("ENC_LIB").size(), 2u);  // the deposit and one reversal
  EXPECT_DOUBLE_EQ(BankBalance(), after_deposit - 5000);
  EXPECT_EQ(Rows("ENC_HLIB")[0]["ANULADO"], "1.00");
  ExpectBalancedJournal();
}

}  // namespace
