// The group totals of the demo's past payrolls, recomputed and compared with
// totals worked out here from the lines' own values and the column types'
// groups; a second run that writes nothing; and a run stopped by a line
// another workstation holds, which leaves the history as it was.
#include "lib/payroll/group_totals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "demo_payroll_fixture.h"
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "support/scripted_boxes.h"

namespace {

using Totals = std::array<double, 4>;

class GroupTotalsTest : public qztest::DemoPayrollTest {
 protected:
  void SetUp() override {
    DemoPayrollTest::SetUp();
    // The newest month of payrolls.
    Each("H_E_DEPT", "H_E_DEPT4", negocio, [&](xb::Table& h) { hasta = Date(h, "FECHA"); });
    int y, m, d;
    xb::YmdFromJulian(hasta, &y, &m, &d);
    desde = xb::JulianFromYmd(y, m, 1);
    Each("ENC_DEPT", "ENC_DEPT", negocio,
         [&](xb::Table& t) { deptos.push_back(qz::TrimRight(Text(t, "CODIGO"))); });
  }

  // Each line of the range: key "employee|yyyymmdd" -> the four totals,
  // worked out from its values: an absolute value counts its value times its
  // factor (the row's, the type's default, or 1 when the type has none),
  // negative for a deduction, in each group the type names.
  std::map<std::string, Totals> ByHand() {
    struct Type {
      double sign = 1;
      int factor = 0, fac_x_def = 0;
      double valor_2 = 0;
      int groups[4] = {0, 0, 0, 0};
    };
    std::map<std::string, Type> types;
    Each("ENC_TIP", "ENC_TIP", negocio, [&](xb::Table& t) {
      // The demo uses none of the rules this short form leaves out.
      if (Num(t, "TIPO") != 1 || Num(t, "INFO") == 1) return;
      EXPECT_EQ(Num(t, "CALC_DIF"), 0);
      EXPECT_EQ(Num(t, "DIV_DIAS"), 0);
      EXPECT_EQ(Num(t, "DIVIDIR"), 0);
      Type k;
      k.sign = Num(t, "FACTOR_2") == 0 ? -1 : 1;
      k.factor = static_cast<int>(Num(t, "FACTOR"));
      k.fac_x_def = static_cast<int>(Num(t, "FAC_X_DEF"));
      k.valor_2 = Num(t, "VALOR_2");
      for (int g = 0; g < 4; ++g)
        k.groups[g] = static_cast<int>(Num(t, ("AGRUPAR" + std::to_string(g + 1)).c_str()));
      types[Text(t, "CODIGO")] = k;
    });
    std::map<std::string, Totals> out;
    Each("H_E_PERS", "H_E_PERS8", negocio, [&](xb::Table& l) {
      const int32_t f = Date(l, "FECHA");
      if (f < desde || f > hasta) return;
      const std::string day = xb::DtosFromJulian(f);
      Totals sum{0, 0, 0, 0};
      Each("H_D_PERS", "H_D_PERS2", negocio + Text(l, "CODIGO") + day, [&](xb::Table& v) {
        auto k = types.find(Text(v, "COD_COLUMN"));
        if (k == types.end()) return;
        const double factor =
            k->second.factor != 1 ? 1 : k->second.fac_x_def == 1 ? k->second.valor_2 : Num(v, "FACTOR");
        for (int g = 0; g < 4; ++g)
          if (k->second.groups[g] == 1) sum[g] += Num(v, "VALOR_1") * factor * k->second.sign;
      });
      for (double& s : sum) s = std::round(s * 100) / 100;
      out[Text(l, "CODIGO") + "|" + day] = sum;
    });
    return out;
  }

  // The stored totals of every line of the business.
  std::map<std::string, Totals> Stored() {
    std::map<std::string, Totals> out;
    Each("H_E_PERS", "H_E_PERS8", negocio, [&](xb::Table& l) {
      Totals t;
      for (int g = 0; g < 4; ++g) t[g] = Num(l, ("TOT_GRUPO" + std::to_string(g + 1)).c_str());
      out[Text(l, "CODIGO") + "|" + xb::DtosFromJulian(Date(l, "FECHA"))] = t;
    });
    return out;
  }

  qz::GroupTotalsRequest Request() {
    qz::GroupTotalsRequest r;
    r.negocio = negocio;
    r.deptos = deptos;
    r.desde = desde;
    r.hasta = hasta;
    return r;
  }

  int32_t desde = 0, hasta = 0;
  std::vector<std::string> deptos;
};

TEST_F(GroupTotalsTest, EveryLineOfTheRangeMatchesItsHandTotalsAndNothingElseMoves) {
  const auto before = Stored();
  const auto expected = ByHand();
  ASSERT_GT(expected.size(), 50u);  // every department of the month: weekly, bi-weekly, monthly
  auto done = qz::RecalcGroupTotals(Request());
  ASSERT_TRUE(done.ok()) << done.status().ToString();
  EXPECT_EQ(static_cast<size_t>(done->lines), expected.size());
  const auto after = Stored();
  int hours = 0;
  for (const auto& [key, totals] : after) {
    auto e = expected.find(key);
    if (e == expected.end()) {
      EXPECT_EQ(totals, before.at(key)) << key;  // outside the range
      continue;
    }
    for (int g = 0; g < 4; ++g) EXPECT_NEAR(totals[g], e->second[g], 0.005) << key << " group " << g + 1;
    EXPECT_GT(totals[1], 0) << key;  // everybody has a salary
    if (totals[0] > 0) ++hours;
  }
  EXPECT_GT(hours, 5);  // overtime of some
  // Nothing left to change the second time.
  auto again = qz::RecalcGroupTotals(Request());
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again->changed, 0);
  EXPECT_EQ(again->lines, done->lines);
}

TEST_F(GroupTotalsTest, ALineHeldElsewhereUndoesTheWholeRunAndARetryCompletesIt) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  const auto before = Stored();
  const auto expected = ByHand();
  // Hold a line of the last department processed, so most lines are written
  // before the run reaches it.
  std::vector<uint32_t> lines;
  Each("H_E_PERS", "H_E_PERS", negocio + Pad(deptos.back(), 15) + xb::DtosFromJulian(hasta),
       [&](xb::Table& l) { lines.push_back(l.RecNo()); });
  ASSERT_FALSE(lines.empty());
  auto other = Open("H_E_PERS");
  ASSERT_TRUE(other->LockRecord(lines.back()).ok());
  bool aborted = false;
  try {
    qz::Atomically([&] { (void)qz::RecalcGroupTotals(Request()); });
  } catch (const qz::Fault&) {
    aborted = true;
  }
  EXPECT_TRUE(aborted);
  EXPECT_FALSE(qz::InServerTransaction());
  EXPECT_EQ(Stored(), before);
  ASSERT_TRUE(other->UnlockAll().ok());
  auto done = qz::Atomically([&] { return qz::RecalcGroupTotals(Request()); });
  ASSERT_TRUE(done.ok());
  for (const auto& [key, totals] : Stored()) {
    auto e = expected.find(key);
    if (e == expected.end()) continue;
    for (int g = 0; g < 4; ++g) EXPECT_NEAR(totals[g], e->second[g], 0.005) << key;
  }
}

}  // namespace
