// The projected monthly income read from the payroll history: which of the
// month's payrolls count, what was withheld, the payroll type current or
// copied with the payroll.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "lib/payroll/catalog_tables.h"
#include "lib/payroll/income.h"
#include "lib/payroll/value_classes.h"
#include "support/temp_dir.h"

namespace qz {
namespace {

using qztest::AddRow;
using qztest::C;
using qztest::D;
using qztest::N;

const char* kNeg = "HOTEL CENTRAL";

int32_t J(int y, int m, int d) {
  return xb::JulianFromYmd(y, m, d);
}

// D1 pays fortnightly (2 a month) and withholds income tax in column RT.
// E1 earned 1,000 + 50 additional base on 15 June with 40 withheld (stored
// negative, as deductions are); 999 on 31 May and D2's June payroll do not
// belong to June of D1. The 30 June payroll's own line holds 450.
class IncomeTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : {"TIP_PLA", "H_TIP_PL", "H_E_DEPT", "H_E_PERS", "H_D_PERS", "ENC_DEPT"})
      t_[n] = qztest::CreateCatalogTable(dir_.path(), n);
    AddRow(*t_["ENC_DEPT"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("QN")}});
    AddRow(*t_["TIP_PLA"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("QN")},
                            {"TIPO", N(0)},
                            {"CANTIDAD", N(2)},
                            {"RENTA", N(0)}});
    for (auto [dep, fecha, sal, adic, ret] : {std::tuple{"D1", D(2024, 6, 15), 1000.0, 50.0, -40.0},
                                              std::tuple{"D1", D(2024, 5, 31), 999.0, 0.0, -9.0},
                                              std::tuple{"D2", D(2024, 6, 20), 777.0, 0.0, -7.0}}) {
      Payroll(dep, fecha, 1);
      Line(dep, fecha, sal, adic, ret);
    }
  }
  // D1's header of `fecha` and its copy of the payroll type.
  void Payroll(const char* dep, xb::Value fecha, int renta) {
    AddRow(*t_["H_E_DEPT"],
           {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(dep)}, {"TIPO", C("QN")}, {"FECHA", fecha}});
    AddRow(*t_["H_TIP_PL"], {{"NEGOCIO", C(kNeg)},
                             {"DEPTO", C(dep)},
                             {"CODIGO", C("QN")},
                             {"TIPO", N(0)},
                             {"CANTIDAD", N(2)},
                             {"RENTA", N(renta)},
                             {"FECHA", fecha}});
  }
  void Line(const char* dep, xb::Value fecha, double sal, double adic, double ret) {
    AddRow(*t_["H_E_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C("E1")},
                             {"DEPTO", C(dep)},
                             {"FECHA", fecha},
                             {"TOT_SAL", N(sal)},
                             {"ADIC_RENTA", N(adic)}});
    AddRow(*t_["H_D_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C("E1")},
                             {"COD_COLUMN", C("RT")},
                             {"TOTAL", N(ret)},
                             {"FECHA", fecha}});
  }
  IncomeTables Current() {
    return {t_["TIP_PLA"].get(), t_["H_E_DEPT"].get(), t_["H_E_PERS"].get(), t_["H_D_PERS"].get(),
            t_["ENC_DEPT"].get()};
  }
  IncomeTables Past() {
    IncomeTables t = Current();
    t.tip_pla = t_["H_TIP_PL"].get();
    t.enc_dept = nullptr;
    return t;
  }
  static VAL_COMP Tax() {
    ColumnType t;
    t.tipo = 3;
    t.tipo_tabla = 1;
    return VAL_COMP(t, PayrollContext{}, 1);
  }

  qztest::TempDir dir_;
  std::map<std::string, std::unique_ptr<xb::Table>> t_;
};

// ND 100, DV 400, salary 450, additional base 30 (asked for).
const IncomeInput kIn{J(2024, 6, 30), 100, 400, 450, 30, true};

TEST_F(IncomeTablesTest, MonthsEarlierPayrollsAndWithheldTaxAreCounted) {
  VAL_COMP v = Tax();
  // P = 1,050 from the 15th; this payroll is the month's second and last.
  EXPECT_DOUBLE_EQ(OBTENER_SALARIO(kNeg, Current(), kIn, v.definition(), "D1", "E1", &v, "RT"),
                   1050 + 100 + 400 + 30);
  EXPECT_TRUE(v.DIVIDIR());
  EXPECT_TRUE(v.FIN_P());
  EXPECT_DOUBLE_EQ(v.N_DIVIDIR(), 2);
  EXPECT_DOUBLE_EQ(v.TOT_RENTA(), 40);  // what was withheld, not its stored sign
}

TEST_F(IncomeTablesTest, ThisPayrollsOwnHeaderIsLeftOutOnlyWhenAsked) {
  Payroll("D1", D(2024, 6, 30), 1);
  Line("D1", D(2024, 6, 30), 450, 0, -60);
  VAL_COMP v = Tax();
  EXPECT_DOUBLE_EQ(
      OBTENER_SALARIO(kNeg, Current(), kIn, v.definition(), "D1", "E1", &v, "RT", true),
      1050 + 100 + 400 + 30);
  EXPECT_DOUBLE_EQ(v.TOT_RENTA(), 40);
  // Counted as well, the month looks like three fortnights: one too many.
  EXPECT_DOUBLE_EQ(OBTENER_SALARIO(kNeg, Current(), kIn, v.definition(), "D1", "E1", &v, "RT"),
                   1500 + 100 + 400 - 400 + 30);
  EXPECT_FALSE(v.FIN_P());
}

TEST_F(IncomeTablesTest, UnknownDepartmentLeavesTheValueClassUntold) {
  VAL_COMP v = Tax();
  EXPECT_EQ(OBTENER_SALARIO(kNeg, Current(), kIn, v.definition(), "D9", "E1", &v, "RT"), 0);
  EXPECT_FALSE(v.FIN_P());
  EXPECT_DOUBLE_EQ(v.N_DIVIDIR(), 1);
  IncomeTables t = Current();
  t.h_d_pers = nullptr;
  EXPECT_EQ(OBTENER_SALARIO(kNeg, t, kIn, v.definition(), "D1", "E1", &v, "RT"), 0);
}

TEST_F(IncomeTablesTest, PastPayrollCountsTheMonthBeforeItsDateWithItsOwnType) {
  // The copies of D1's type say "tax at the end of the period only"; the
  // current type says otherwise and must not be read.
  Payroll("D1", D(2024, 6, 30), 1);
  Line("D1", D(2024, 6, 30), 450, 0, -60);
  VAL_COMP v = Tax();
  IncomeInput in = kIn;
  in.salario = 0;              // the payroll's line says what it paid
  in.sumar_adicional = false;  // a past payroll always adds its additional base
  EXPECT_DOUBLE_EQ(HIST_OBTENER_SALARIO(kNeg, Past(), in, v.definition(), "D1", "E1", &v, "RT"),
                   1050 + 450 + 30);
  EXPECT_TRUE(v.FIN_P());
  EXPECT_FALSE(v.DIVIDIR());
  // On the 15th nothing came before, and the end-of-period type waits.
  in.fecha = J(2024, 6, 15);
  EXPECT_EQ(HIST_OBTENER_SALARIO(kNeg, Past(), in, v.definition(), "D1", "E1", &v, "RT"), 0);
  // No copy of the payroll type for a date without payroll.
  in.fecha = J(2024, 6, 16);
  EXPECT_EQ(HIST_OBTENER_SALARIO(kNeg, Past(), in, v.definition(), "D1", "E1", &v, "RT"), 0);
}

}  // namespace
}  // namespace qz
