// Days worked read from the tables: the employee's own rows only, the
// department's categories, the payroll's own copies of the definitions.
#include "lib/payroll/days_worked.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "lib/payroll/catalog_tables.h"
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

// Column types: SB base hours (divided over the fortnight), HE overtime, IN
// sick leave, AU absence (a deduction), BO a bonus outside the hours count,
// XX hours the department files under another category. Employee E1 has
// SB 1, HE 16, IN 8, AU 4, BO 50, XX 100 on schedule T1 (8 hours) in D1,
// fortnightly with VAL_DIV 30: (120 + 16 - 8 - 4) / 8 = 15.5 days. E10 and
// the same code in another business have rows that must not be counted.
struct ColumnDef {
  const char* code;
  int sum_hora, horas_base, dividir, h_incap, factor_2;
  const char* categoria;
};
const ColumnDef kColumns[] = {{"SB", 1, 1, 1, 0, 1, "01"}, {"HE", 1, 0, 0, 0, 1, "01"},
                              {"IN", 1, 0, 0, 1, 1, "01"}, {"AU", 1, 0, 0, 0, 0, "01"},
                              {"BO", 0, 0, 0, 0, 1, "01"}, {"XX", 1, 0, 0, 0, 1, "02"}};
const std::pair<const char*, double> kValues[] = {{"SB", 1}, {"HE", 16}, {"IN", 8},
                                                  {"AU", 4}, {"BO", 50}, {"XX", 100}};

class DaysWorkedTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n :
         {"ENC_PERS", "DET_PERS", "DET_DEPT", "ENC_TIP", "TIP_PLA", "TIEMPO_E", "ENC_DEPT",
          "H_E_PERS", "H_D_PERS", "H_D_DEPT", "H_E_TIP", "H_TIP_PL", "H_TIEM_E", "H_E_DEPT"})
      t_[n] = qztest::CreateCatalogTable(dir_.path(), n);
    for (const char* neg : {kNeg, "OTRO"}) {
      for (const char* e : {"E1", "E10"})
        AddRow(
            *t_["ENC_PERS"],
            {{"NEGOCIO", C(neg)}, {"CODIGO", C(e)}, {"DEPTO", C("D1")}, {"COD_TIEMPO", C("T1")}});
      for (const auto& [col, v] : kValues)
        for (const char* e : {"E1", "E10"})
          AddRow(*t_["DET_PERS"], {{"NEGOCIO", C(neg)},
                                   {"CODIGO", C(e)},
                                   {"COD_COLUMN", C(col)},
                                   {"VALOR_1", N(v * (e[2] ? 3 : 1) * (neg == kNeg ? 1 : 5))}});
    }
    AddRow(*t_["ENC_PERS"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("E3")}, {"COD_TIEMPO", C("ZZ")}});
    AddRow(*t_["DET_PERS"],
           {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("E3")}, {"COD_COLUMN", C("HE")}, {"VALOR_1", N(8)}});
    AddRow(*t_["TIEMPO_E"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("T1")}, {"FACTOR", N(8)}});
    AddRow(*t_["ENC_DEPT"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("QN")}});
    AddRow(*t_["TIP_PLA"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("QN")},
                            {"TIPO", N(0)},
                            {"CANTIDAD", N(2)},
                            {"VAL_DIV", N(30)}});
    for (const auto& c : kColumns) {
      AddType(*t_["ENC_TIP"], c);
      AddRow(*t_["DET_DEPT"], {{"NEGOCIO", C(kNeg)},
                               {"DEPTO", C("D1")},
                               {"COD_COLUMN", C(c.code)},
                               {"TIPO", C(c.categoria)}});
    }
  }

  // The copies a payroll dated `f` keeps, with `factor` hours a day and
  // E1's values times `scale`.
  void PastPayroll(xb::Value f, double factor, double scale) {
    AddRow(*t_["H_E_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C("E1")},
                             {"DEPTO", C("D1")},
                             {"COD_TIEMPO", C("T1")},
                             {"FECHA", f}});
    AddRow(*t_["H_TIEM_E"], {{"NEGOCIO", C(kNeg)},
                             {"DEPTO", C("D1")},
                             {"CODIGO", C("T1")},
                             {"FACTOR", N(factor)},
                             {"FECHA", f}});
    AddRow(*t_["H_E_DEPT"],
           {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("QN")}, {"FECHA", f}});
    AddRow(*t_["H_TIP_PL"], {{"NEGOCIO", C(kNeg)},
                             {"DEPTO", C("D1")},
                             {"CODIGO", C("QN")},
                             {"TIPO", N(0)},
                             {"CANTIDAD", N(2)},
                             {"VAL_DIV", N(30)},
                             {"FECHA", f}});
    for (const auto& c : kColumns) {
      AddType(*t_["H_E_TIP"], c, &f);
      AddRow(*t_["H_D_DEPT"], {{"NEGOCIO", C(kNeg)},
                               {"DEPTO", C("D1")},
                               {"COD_COLUMN", C(c.code)},
                               {"TIPO", C(c.categoria)},
                               {"FECHA", f}});
    }
    for (const auto& [col, v] : kValues)
      AddRow(*t_["H_D_PERS"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C("E1")},
                               {"COD_COLUMN", C(col)},
                               {"VALOR_1", N(v * scale)},
                               {"FECHA", f}});
  }

  // A column type, or with `f` its copy for D1's payroll of that date.
  static void AddType(xb::Table& t, const ColumnDef& c, const xb::Value* f = nullptr) {
    AddRow(t, {{"NEGOCIO", C(kNeg)},
               {"CODIGO", C(c.code)},
               {"SUM_HORA", N(c.sum_hora)},
               {"HORAS_BASE", N(c.horas_base)},
               {"DIVIDIR", N(c.dividir)},
               {"H_INCAP", N(c.h_incap)},
               {"FACTOR_2", N(c.factor_2)}});
    if (!f) return;
    ASSERT_TRUE(t.LockRecord().ok());
    ASSERT_TRUE(t.Put("DEPTO", C("D1")).ok());
    ASSERT_TRUE(t.Put("FECHA", *f).ok());
    ASSERT_TRUE(t.Flush().ok());
    ASSERT_TRUE(t.UnlockAll().ok());
  }

  CurrentTables Current() {
    return {t_["ENC_PERS"].get(), t_["DET_PERS"].get(), t_["DET_DEPT"].get(), t_["ENC_TIP"].get(),
            t_["TIP_PLA"].get(),  t_["TIEMPO_E"].get(), t_["ENC_DEPT"].get()};
  }
  HistoryTables History() {
    return {t_["H_E_PERS"].get(), t_["H_D_PERS"].get(), t_["H_D_DEPT"].get(), t_["H_E_TIP"].get(),
            t_["H_TIP_PL"].get(), t_["H_TIEM_E"].get(), t_["H_E_DEPT"].get()};
  }

  qztest::TempDir dir_;
  std::map<std::string, std::unique_ptr<xb::Table>> t_;
};

TEST_F(DaysWorkedTablesTest, CurrentPayrollCountsOnlyTheEmployeesSalaryHours) {
  EXPECT_DOUBLE_EQ(GET_DIAS_LABORADOS(kNeg, Current(), "D1", "E1"), 15.5);
  // E10's rows (three times E1's) follow E1's on the tag: its own count.
  EXPECT_DOUBLE_EQ(GET_DIAS_LABORADOS(kNeg, Current(), "D1", "E10"), (120 + 48 - 24 - 12) / 8.0);
}

TEST_F(DaysWorkedTablesTest, MissingEmployeeScheduleDepartmentOrTableGiveZero) {
  EXPECT_EQ(GET_DIAS_LABORADOS(kNeg, Current(), "D1", "NADIE"), 0);
  EXPECT_EQ(GET_DIAS_LABORADOS(kNeg, Current(), "D1", "E3"), 0);  // schedule ZZ does not exist
  // A department that does not exist files no column as salary ("01").
  EXPECT_EQ(GET_DIAS_LABORADOS(kNeg, Current(), "D9", "E1"), 0);
  CurrentTables t = Current();
  t.tiempo_e = nullptr;
  EXPECT_EQ(GET_DIAS_LABORADOS(kNeg, t, "D1", "E1"), 0);
}

TEST_F(DaysWorkedTablesTest, PastPayrollUsesTheCopiesOfItsDate) {
  PastPayroll(D(2024, 6, 15), 8, 1);
  PastPayroll(D(2024, 6, 30), 10, 2);  // another schedule and other hours
  EXPECT_DOUBLE_EQ(GET_HIST_DIAS_LABORADOS(kNeg, History(), "D1", "E1", J(2024, 6, 15)), 15.5);
  // 30 x 10 / 2 = 150 base hours + 32 - 16 - 8, over 10 hours a day.
  EXPECT_DOUBLE_EQ(GET_HIST_DIAS_LABORADOS(kNeg, History(), "D1", "E1", J(2024, 6, 30)), 15.8);
  EXPECT_EQ(GET_HIST_DIAS_LABORADOS(kNeg, History(), "D1", "E1", J(2024, 5, 31)), 0);
  EXPECT_EQ(GET_HIST_DIAS_LABORADOS(kNeg, History(), "D1", "E10", J(2024, 6, 15)), 0);
}

}  // namespace
}  // namespace qz
