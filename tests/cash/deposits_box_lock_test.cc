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
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"

namespace {

using Clock = std::chrono::steady_clock;
using qz::CounterLine;

class DepositBoxLock : public qztest::DepositsTest {
 protected:
  void SetUp() override {
    DepositsTest::SetUp();
    UseCardTerminal();
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

  // Deposits of concepts 01 and 02 give their reservations type `tipo`.
  void GiveReservationsType(const std::string& tipo) {
    for (uint32_t rec : {1u, 2u}) {
      auto t = xb::Table::Open(file("CON_HLIB") + ".DBF");
      ASSERT_TRUE(t.ok());
      ASSERT_TRUE((*t)->GoTo(rec).ok());
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Put("CAMB_RES", qztest::N(1)).ok());
      ASSERT_TRUE((*t)->Put("TIP_RES", qztest::C(tipo)).ok());
      ASSERT_TRUE((*t)->Close().ok());
    }
  }
  std::string TypeOf(const std::string& res) {
    for (auto& r : Rows("ENC_RES"))
      if (r["CODIGO"] == res) return r["TIPO"];
    return "?";
  }

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

TEST_F(DepositBoxLock, AnAnnulmentLeavesTheApplicationsAloneWhileADepositHoldsTheReservation) {
  GiveReservationsType("DP");
  auto first = reg.Register(Form("02", 50000, {"R1"}));
  ASSERT_TRUE(first);
  bool annulled = false;
  const int other = TwoWorkstations(
      [&](auto say) {
        // A deposit being applied to R1 elsewhere has changed its type and
        // now reads R1's applications for the type they recorded.
        qz::Atomically([&] {
          qz::TablePtr enc = qz::USE(nullptr, "ENC_RES", "ENC_RES");
          if (!enc->Seek(qztest::Biz(kBiz) + qz::Pad("R1", 15))) throw std::runtime_error("R1");
          qz::LOCK_FOR_MODIFY(*enc);
          say(1);
          usleep(300 * 1000);
          say(static_cast<long>(Rows("DET_RES8").size()));
          qz::UNLOCK_FOR_MODIFY(*enc);
          qz::KILLTABLA(enc);
        });
        return 0;
      },
      [&] {
        annulled = qz::MayAnnulDeposit(nullptr, qztest::Biz(kBiz), *first) &&
                   qz::AnnulDeposit(nullptr, qztest::Biz(kBiz), *first, J(2026, 12, 9), "ANA");
      });
  EXPECT_EQ(other, 0);
  ASSERT_EQ(heard_.size(), 2u);
  EXPECT_EQ(heard_[1], 1);  // the annulment waited for R1 before taking the application away
  EXPECT_TRUE(annulled);
  EXPECT_TRUE(Rows("DET_RES8").empty());
  EXPECT_EQ(TypeOf("R1"), "GA");
}

TEST_F(DepositBoxLock, AnAnnulmentAndADepositAppliedToTheSameReservationKeepItsOwnType) {
  GiveReservationsType("DP");
  // The other workstation takes deposits at box 02.
  ASSERT_EQ(qz::OpenBoxRecords(hotel, qztest::Biz(kBiz), "02", "C1"), qz::BoxChange::kDone);
  qz::WritePrivateProfileString("AUT_HCAJA", qztest::Biz(kBiz) + "02", "1", qz::QuartzelIni());
  auto type_of_r1 = [&] { return TypeOf("R1"); };
  for (int round = 0; round < 3; ++round) {
    // A bank deposit on R1 here, annulled while the other workstation
    // applies a journal deposit to R1.
    auto first = reg.Register(Form("02", 50000, {"R1"}));
    ASSERT_TRUE(first) << round;
    ASSERT_EQ(type_of_r1(), "DP");
    const size_t applications = Rows("DET_RES8").size();
    bool annulled = false;
    const int other = TwoWorkstations(
        [&](auto) {
          qz::ResetCashBoxes();
          qz::ProcessCashBoxes().Hold(hotel, "02", "RECEPCION", "C1", "CAJERO UNO", true);
          qz::DepositForm f = Form("01", 50000, {"R1"});
          f.counterpart = {CounterLine{"1010", 0, 50000}};
          return reg.Register(f) ? 0 : 5;
        },
        [&] {
          annulled = qz::MayAnnulDeposit(nullptr, qztest::Biz(kBiz), *first) &&
                     qz::AnnulDeposit(nullptr, qztest::Biz(kBiz), *first, J(2026, 12, 9), "ANA");
        },
        false);
    ASSERT_EQ(other, 0) << round;
    ASSERT_TRUE(annulled) << round;
    auto res8 = Rows("DET_RES8");
    ASSERT_EQ(res8.size(), applications) << round;  // one went, one came
    // The application the other workstation made remembers R1's own type.
    EXPECT_EQ(res8.back()["TIPO_ANT"], "GA") << round;
    EXPECT_EQ(type_of_r1(), "DP") << round;
    // Its annulment gives R1 its type back, for the next round.
    const std::string second = res8.back()["MOVIMIENTO"];
    ASSERT_TRUE(qz::MayAnnulDeposit(nullptr, qztest::Biz(kBiz), second) &&
                qz::AnnulDeposit(nullptr, qztest::Biz(kBiz), second, J(2026, 12, 9), "ANA"));
    ASSERT_EQ(type_of_r1(), "GA") << round;
    ui.TakeBoxTexts();
  }
  ExpectBalancedJournal();
}

}  // namespace
