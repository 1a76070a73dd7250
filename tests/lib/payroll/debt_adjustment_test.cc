// The debt instalments of the demo's employees, set from their loans and
// compared with what each loan asks for, worked out here; the sum rule on
// its own for the cases the demo has none of.
#include "lib/payroll/debt_adjustment.h"

#include <gtest/gtest.h>

#include <map>

#include "demo_payroll_fixture.h"

namespace {

using qz::DebtInstalment;
using qz::DebtTransaction;

TEST(DebtInstalmentTest, OnlyActiveTransactionsOfTheColumnsConceptTypeCount) {
  std::vector<DebtTransaction> ts = {
      {"A", 1, 1, 0, 5000, 1},      // recurring
      {"B", 1, 0, 0, 7000, 1},      // recurring, inactive
      {"C", 0, 1, 90000, 3000, 1},  // balance: the instalment
      {"D", 0, 1, 1000, 3000, 1},   // balance below one payroll's share: the balance
      {"E", 0, 1, 0, 3000, 1},      // paid off
      {"F", 1, 1, 0, 10, 520.5},    // another currency
      {"G", -1, 1, 500, 500, 1},    // a concept that does not exist
  };
  EXPECT_DOUBLE_EQ(DebtInstalment(ts, 1, 1), 5000 + 5205);
  EXPECT_DOUBLE_EQ(DebtInstalment(ts, 0, 1), 3000 + 1000);
  // Divided over two payrolls: D's share is 1,500 > 1,000; the monthly value
  // charges the balance on each payroll.
  EXPECT_DOUBLE_EQ(DebtInstalment(ts, 0, 2), 3000 + 2000);
  // C's share 1,500 against a balance of 1,200.
  ts[2].saldo = 1200;
  EXPECT_DOUBLE_EQ(DebtInstalment(ts, 0, 2), 2400 + 2000);
  // A divisor that is not positive counts as 1.
  EXPECT_DOUBLE_EQ(DebtInstalment(ts, 0, 0), 1200 + 1000);
  EXPECT_DOUBLE_EQ(DebtInstalment({}, 1, 1), 0);
}

class DebtAdjustmentTest : public qztest::DemoPayrollTest {
 protected:
  qz::DebtAdjustmentRequest Request() {
    qz::DebtAdjustmentRequest r;
    r.negocio = negocio;
    Each("ENC_DEPT", "ENC_DEPT", negocio,
         [&](xb::Table& t) { r.deptos.push_back(qz::TrimRight(Text(t, "CODIGO"))); });
    r.hoy = xb::JulianFromYmd(2026, 12, 8);
    return r;
  }
  // Column 10 of every employee: code -> VALOR_1.
  std::map<std::string, double> Instalments() {
    std::map<std::string, double> out;
    Each("DET_PERS", "DET_PERS", negocio, [&](xb::Table& v) {
      if (qz::TrimRight(Text(v, "COD_COLUMN")) == "10") out[Text(v, "CODIGO")] = Num(v, "VALOR_1");
    });
    return out;
  }
  std::map<std::string, bool> Active() {
    std::map<std::string, bool> out;
    Each("ENC_PERS", "ENC_PERS2", negocio,
         [&](xb::Table& e) { out[Text(e, "CODIGO")] = Num(e, "ACTIVO") == 1; });
    return out;
  }
};

TEST_F(DebtAdjustmentTest, TheDemosLoansGiveEachActiveEmployeeItsInstalment) {
  auto check = qz::FirstMisappliedTransaction(Request());
  ASSERT_TRUE(check.ok()) << check.status().ToString();
  EXPECT_FALSE(check->has_value());
  // Loans as balances from now on (concept type 0, applied by 0); one
  // almost paid off.
  Update("CONCEPTT", [](xb::Table&) { return true; }, "TIPO", xb::Value::Number(0));
  Update("CONCEPTD", [](xb::Table&) { return true; }, "APLICA", xb::Value::Number(0));
  std::string almost;
  Each("ENC_DDA", "ENC_DDA4", negocio, [&](xb::Table& d) {
    if (almost.empty()) almost = Text(d, "CODIGO");
  });
  ASSERT_FALSE(almost.empty());
  Update("ENC_DDA", [&](xb::Table& d) { return Text(d, "CODIGO") == almost; }, "SALDO",
         xb::Value::Number(1234.5));
  // By hand: the debtor's active loans on column 10, each its instalment or
  // the balance when less is owed.
  std::map<std::string, std::string> debtor_of;
  Each("DEUDORES", "DEUDOR3", negocio,
       [&](xb::Table& d) { debtor_of[Text(d, "EMPLEADO")] = Text(d, "CODIGO"); });
  const auto active = Active();
  const auto before = Instalments();
  std::map<std::string, double> expected;
  int loans = 0;
  for (const auto& [emp, value] : before) {
    if (!active.at(emp)) continue;
    double sum = 0;
    auto d = debtor_of.find(emp);
    if (d != debtor_of.end())
      Each("ENC_DDA", "ENC_DDA4", negocio + Pad(d->second, 15) + "10", [&](xb::Table& t) {
        if (Num(t, "ACTIVA") != 1 || Num(t, "SALDO") == 0) return;
        sum += Num(t, "CUOTA") > Num(t, "SALDO") ? Num(t, "SALDO") : Num(t, "CUOTA");
        ++loans;
      });
    expected[emp] = sum;
  }
  ASSERT_GT(loans, 3);
  auto done = qz::AdjustDebtInstalments(Request());
  ASSERT_TRUE(done.ok()) << done.status().ToString();
  EXPECT_EQ(static_cast<size_t>(done->columns), expected.size());
  const auto after = Instalments();
  for (const auto& [emp, value] : after) {
    auto e = expected.find(emp);
    if (e == expected.end())
      EXPECT_EQ(value, before.at(emp)) << emp;  // inactive: as it was
    else
      EXPECT_NEAR(value, e->second, 0.005) << emp;
  }
  EXPECT_GE(done->changed, 1);  // the loan almost paid off
  Each("ENC_DEPT", "ENC_DEPT", negocio,
       [&](xb::Table& t) { EXPECT_EQ(Date(t, "F_AJUSTE"), xb::JulianFromYmd(2026, 12, 8)); });
}

}  // namespace
