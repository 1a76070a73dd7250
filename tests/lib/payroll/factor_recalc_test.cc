// The employee factor recalculation every definition screen runs: which
// employees and rows it visits, the base salary (first or sum, else the past
// payrolls), the divisors that give 0, the cost rounding, and a rollback of
// the save transaction taking every written factor back.
#include "lib/payroll/factor_recalc.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "support/ui_session.h"

namespace {

using qztest::C;
using qztest::N;

const std::string kHc = qztest::Biz("HOTEL CENTRAL");
const std::string kHp = qztest::Biz("HOTEL PLAYA");

class FactorRecalcTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("F_PLAN", {{{"NEGOCIO", C(kHc)}, {"RED_COSTO", N(1)}, {"DEC_COSTO", N(2)}}});
    Create("TIP_PLA", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}},
                       {{"NEGOCIO", C(kHc)}, {"CODIGO", C("Z")}, {"VAL_DIV", N(0)}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("00")}, {"FACTOR", N(0)}}});
    Create("ENC_TIP", {Type("SB", 1, 0, 0), Type("SC", 1, 0, 0), Type("HX", 0, 1, 1.5),
                       Type("HD", 0, 1, 2), Type("OT", 0, 0, 9)});
    Create("ENC_DEPT", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("D1")}, {"TIPO", C("M")}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("D2")}, {"TIPO", C("Z")}}});
    Create("ENC_PERS", {Employee(kHc, "E1", "D1", "08"), Employee(kHc, "E2", "D2", "08"),
                        Employee(kHc, "E3", "D1", "00"), Employee(kHc, "E4", "D1", "08"),
                        Employee(kHp, "E1", "D1", "08")});
    std::vector<qztest::Row> values;
    for (const char* col : {"SB", "SC", "HX", "HD", "OT"}) {
      double v = std::string(col) == "SB" ? 100000 : std::string(col) == "SC" ? 60000 : 0;
      for (const char* e : {"E1", "E2", "E3"}) values.push_back(Value(kHc, e, col, v, 7));
      values.push_back(Value(kHp, "E1", col, v, 7));
    }
    values.push_back(Value(kHc, "E4", "HX", 0, 7));  // no base value, no history
    Create("DET_PERS", values);
    for (const char* t : {"H_E_PERS", "H_TIP_PL", "H_E_DEPT", "T_CAMBIO"}) Create(t);
  }

  static qztest::Row Type(const std::string& code, int base, int depend, double valor_3) {
    return {{"NEGOCIO", C(kHc)},      {"CODIGO", C(code)},      {"VAL_BASE", N(base)},
            {"VAL_DEPEND", N(depend)}, {"VALOR_3", N(valor_3)}, {"TIPO", N(1)}};
  }
  static qztest::Row Employee(const std::string& biz, const std::string& code,
                              const std::string& dept, const std::string& schedule) {
    return {{"NEGOCIO", C(biz)}, {"CODIGO", C(code)}, {"DEPTO", C(dept)},
            {"COD_TIEMPO", C(schedule)}};
  }
  static qztest::Row Value(const std::string& biz, const std::string& emp, const std::string& col,
                           double valor, double factor) {
    return {{"NEGOCIO", C(biz)},
            {"CODIGO", C(emp)},
            {"COD_COLUMN", C(col)},
            {"VALOR_1", N(valor)},
            {"FACTOR", N(factor)}};
  }

  double Factor(const std::string& biz, const std::string& emp, const std::string& col) {
    qz::TablePtr t = qz::USE(nullptr, "DET_PERS", "DET_PERS");
    double f = NAN;
    if (t->Seek(qz::PadRight(biz, 15) + qz::PadRight(emp, 15) + col)) f = t->FieldGet("FACTOR").number();
    qz::KILLTABLA(t);
    return f;
  }

  qz::FactorRecalcResult Run(qz::FactorRecalcScope scope) {
    scope.negocio = "HOTEL CENTRAL";
    auto r = qz::RecalcEmployeeFactors(scope);
    EXPECT_TRUE(r.ok()) << r.status().ToString();
    return r.ok() ? *r : qz::FactorRecalcResult{};
  }
};

TEST_F(FactorRecalcTest, FirstBaseValueDividedAndRoundedForEveryDependentRow) {
  auto r = Run({});
  // 100,000 / 30 / 8 = 416.666... rounded to 416.67 before the multiplier.
  EXPECT_NEAR(Factor(kHc, "E1", "HX"), 416.67 * 1.5, 1e-6);
  EXPECT_NEAR(Factor(kHc, "E1", "HD"), 416.67 * 2, 1e-6);
  // Base, other and non-dependent rows keep their factor.
  EXPECT_EQ(Factor(kHc, "E1", "SB"), 7);
  EXPECT_EQ(Factor(kHc, "E1", "OT"), 7);
  // A payroll type without divisor, a schedule of 0 hours: factor 0.
  EXPECT_EQ(Factor(kHc, "E2", "HX"), 0);
  EXPECT_EQ(Factor(kHc, "E3", "HD"), 0);
  // No base value and no past payrolls: nothing to derive, left alone.
  EXPECT_EQ(Factor(kHc, "E4", "HX"), 7);
  // The other business is not touched.
  EXPECT_EQ(Factor(kHp, "E1", "HX"), 7);
  EXPECT_EQ(r.employees, 4);
  EXPECT_EQ(r.rows, 6);
}

TEST_F(FactorRecalcTest, ScopesBySchedulePayrollTypeAndColumnWithSummedBase) {
  qz::FactorRecalcScope by_column;
  by_column.column_type = "HX";
  by_column.base_is_sum = true;
  Run(by_column);
  // (100,000 + 60,000) / 30 / 8 = 666.666... -> 666.67.
  EXPECT_NEAR(Factor(kHc, "E1", "HX"), 666.67 * 1.5, 1e-6);
  EXPECT_EQ(Factor(kHc, "E1", "HD"), 7);

  qz::FactorRecalcScope by_schedule;
  by_schedule.schedule = "00";
  auto r = Run(by_schedule);
  EXPECT_EQ(r.employees, 1);
  EXPECT_EQ(Factor(kHc, "E3", "HD"), 0);
  EXPECT_EQ(Factor(kHc, "E2", "HD"), 7);

  qz::FactorRecalcScope by_type;
  by_type.payroll_type = "Z";
  r = Run(by_type);
  EXPECT_EQ(r.employees, 1);
  EXPECT_EQ(Factor(kHc, "E2", "HD"), 0);
  EXPECT_EQ(Factor(kHc, "E1", "HD"), 7);

  // A second run writes nothing: the factors are already what they should be.
  EXPECT_EQ(Run(by_type).rows, 0);
}

TEST_F(FactorRecalcTest, CostRoundingOffKeepsEveryDecimalTheFieldHolds) {
  qz::TablePtr f = qz::USE(nullptr, "F_PLAN");
  f->GoTop();
  f->RLock();
  f->FieldPut("RED_COSTO", xb::Value::Number(0));
  f->Unlock();
  qz::KILLTABLA(f);
  Run({});
  EXPECT_NEAR(Factor(kHc, "E1", "HX"), 625.0, 1e-4);  // 416.6666... x 1.5, five decimals
}

TEST_F(FactorRecalcTest, ARolledBackSaveTakesEveryFactorBack) {
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  inst.Start();
  qz::START_TRANSACTION();
  Run({});
  EXPECT_NE(Factor(kHc, "E1", "HX"), 7);
  qz::ROLLBACK_TRANSACTION();
  EXPECT_EQ(Factor(kHc, "E1", "HX"), 7);
  EXPECT_EQ(Factor(kHc, "E1", "HD"), 7);
}

}  // namespace
