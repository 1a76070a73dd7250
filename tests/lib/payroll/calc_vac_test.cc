#include "lib/payroll/calc_vac.h"

#include <gtest/gtest.h>

#include <map>

#include "lib/payroll/calc_pl.h"
#include "lib/payroll/catalog_tables.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace qz {
namespace {

using qztest::AddRow;
using qztest::C;
using qztest::D;
using qztest::N;

const char* kNeg = "HOTEL CENTRAL";

// One business with a default vacation type of 15 days a year (1.25 a month),
// a schedule of 8 hours, and employee E1 started 1 March 2022 with a monthly
// payroll of 300,000 at the end of every month up to December 2023.
class CalcVacTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n :
         {"ENC_PERS", "ENC_VAC", "DET_VAC", "TIEMPO_E", "H_D_PERS", "H_E_TIP", "H_E_PERS",
          "H_TIP_PL", "H_TIEM_E", "H_E_DEPT", "F_PLAN", "ENC_DEPT", "T_CAMBIO"})
      t_[n] = qztest::CreateCatalogTable(dir_.path(), n);
    AddRow(*t_["ENC_VAC"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("STD")}, {"DEFAULT", N(1)}});
    AddRow(*t_["DET_VAC"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("STD")},
                            {"MES", N(0)},
                            {"D_MES", N(1.25)},
                            {"D_ANHO", N(15)}});
    AddRow(*t_["TIEMPO_E"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("T1")}, {"FACTOR", N(8)}});
    AddRow(*t_["ENC_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C("E1")},
                             {"NOMBRE", C("ANA")},
                             {"DEPTO", C("D1")},
                             {"COD_TIEMPO", C("T1")},
                             {"TIPO_VAC", C("XX")},
                             {"F_INICIO", D(2022, 3, 1)}});
    AddRow(*t_["ENC_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C("E2")},
                             {"DEPTO", C("D1")},
                             {"COD_TIEMPO", C("T1")},
                             {"F_INICIO", D(2022, 3, 1)}});
    AddRow(*t_["ENC_DEPT"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"MONEDA", C("CR")}});
    for (int k = 0; k < 22; ++k) {
      int y = 2022 + (2 + k) / 12, m = (2 + k) % 12 + 1;
      xb::Value f = xb::Value::Date(xb::JulianFromYmd(y, m, 1) +
                                    (m == 12 ? 30
                                             : xb::JulianFromYmd(y + (m == 12), m % 12 + 1, 1) -
                                                   xb::JulianFromYmd(y, m, 1) - 1));
      AddRow(*t_["H_E_PERS"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C("E1")},
                               {"DEPTO", C("D1")},
                               {"COD_TIEMPO", C("T1")},
                               {"FECHA", f},
                               {"LIMITE", D(2090, 1, 1)},
                               {"TOT_SAL", N(300000)}});
      AddRow(*t_["H_E_DEPT"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C("D1")},
                               {"TIPO", C("MN")},
                               {"MONEDA", C("CR")},
                               {"FECHA", f}});
      AddRow(*t_["H_TIP_PL"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C("MN")},
                               {"DEPTO", C("D1")},
                               {"VAL_DIV", N(30)},
                               {"FECHA", f}});
    }
    // 40 hours (5 days) of paid vacation in June 2023.
    AddRow(*t_["H_D_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C("E1")},
                             {"COD_COLUMN", C("VA")},
                             {"VALOR_1", N(40)},
                             {"VACACION", C("1")},
                             {"FECHA", D(2023, 6, 30)}});
    AddRow(*t_["H_E_TIP"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("VA")},
                            {"DEPTO", C("D1")},
                            {"VAC_PAGADA", N(1)},
                            {"FECHA", D(2023, 6, 30)}});
  }

  CALC_VAC::Bases Bases() {
    CALC_VAC::Bases b{};
    b[CALC_VAC::kEncPers] = t_["ENC_PERS"].get();
    b[CALC_VAC::kEncVac] = t_["ENC_VAC"].get();
    b[CALC_VAC::kDetVac] = t_["DET_VAC"].get();
    b[CALC_VAC::kTiempoE] = t_["TIEMPO_E"].get();
    b[CALC_VAC::kHDPers] = t_["H_D_PERS"].get();
    b[CALC_VAC::kHETip] = t_["H_E_TIP"].get();
    b[CALC_VAC::kHEPers] = t_["H_E_PERS"].get();
    b[CALC_VAC::kHTipPl] = t_["H_TIP_PL"].get();
    b[CALC_VAC::kHTiemE] = t_["H_TIEM_E"].get();
    b[CALC_VAC::kHEDeptB] = t_["H_E_DEPT"].get();
    return b;
  }

  void Employee(const char* code) {
    ASSERT_TRUE(t_["ENC_PERS"]->SetOrder("ENC_PERS2").ok());
    ASSERT_TRUE(t_["ENC_PERS"]->Seek(xb::Value::Char(std::string(kNeg) + "  " + code)).ok());
    ASSERT_TRUE(t_["ENC_PERS"]->Found());
  }

  qztest::FakeClock clock_;
  qztest::TempDir dir_;
  std::map<std::string, std::unique_ptr<xb::Table>> t_;
};

TEST_F(CalcVacTest, ProvisionValuesCurrentDaysAtTheSalariesTheyWereEarnedAt) {
  Employee("E1");
  // A January reference date: the cut-off is 31 December of the year before.
  CALC_VAC v(kNeg, nullptr, Bases(), xb::JulianFromYmd(2024, 1, 15));
  EXPECT_EQ(v.xfecha_calculo, xb::JulianFromYmd(2023, 12, 31));
  ASSERT_TRUE(v.CALCULAR("E1", 80, 1000).ok());
  const auto& r = v.a_registro();
  EXPECT_EQ(r.nombre, "ANA");
  // 21 months: one year (15) + 9 months x 1.25, with the default type since
  // type XX has no rows; 5 days taken.
  EXPECT_DOUBLE_EQ(r.ganados, 15 + 9 * 1.25);
  EXPECT_DOUBLE_EQ(r.tomados, 5);
  EXPECT_DOUBLE_EQ(r.pendientes, 21.25);
  // The 21.25 pending days reach back 17 months to August 2022; the 10 current
  // days are valued forward from there at 300,000 / 30 a day.
  EXPECT_DOUBLE_EQ(v.GET_M_PROVISIONADO(), 10 * 10000.0);
  EXPECT_DOUBLE_EQ(v.GET_M_ACTUAL(), 80000);
  EXPECT_DOUBLE_EQ(v.GET_AJUSTE_POR_VACACIONES(), 20000);
  // The caller's employee record is where it was.
  EXPECT_EQ(t_["ENC_PERS"]->RecNo(), 1u);
}

TEST_F(CalcVacTest, NoAdjustmentWhenTheProvisionIsNotGreater) {
  Employee("E1");
  CALC_VAC v(kNeg, nullptr, Bases(), xb::JulianFromYmd(2024, 1, 15));
  ASSERT_TRUE(v.CALCULAR("E1", 80, 2000).ok());
  EXPECT_DOUBLE_EQ(v.GET_M_ACTUAL(), 160000);
  EXPECT_EQ(v.GET_AJUSTE_POR_VACACIONES(), 0);
}

TEST_F(CalcVacTest, EmployeeWithoutHistoryGetsNoProvision) {
  Employee("E2");
  CALC_VAC v(kNeg, nullptr, Bases(), xb::JulianFromYmd(2024, 1, 15));
  ASSERT_TRUE(v.CALCULAR("E2", 80, 1000).ok());
  EXPECT_GT(v.a_registro().pendientes, 0);
  EXPECT_EQ(v.GET_M_PROVISIONADO(), 0);
  EXPECT_EQ(v.GET_AJUSTE_POR_VACACIONES(), 0);
}

TEST_F(CalcVacTest, PendingDaysNotPositiveGiveZero) {
  Employee("E1");
  CALC_VAC v(kNeg, nullptr, Bases(), xb::JulianFromYmd(2022, 5, 15));  // one month of service
  ASSERT_TRUE(v.CALCULAR("E1", 80, 1000).ok());
  EXPECT_DOUBLE_EQ(v.a_registro().ganados, 1.25);
  EXPECT_LE(v.a_registro().pendientes, 0);
  EXPECT_EQ(v.GET_M_PROVISIONADO(), 0);
  EXPECT_EQ(v.GET_M_ACTUAL(), 0);
}

TEST_F(CalcVacTest, MissingTableIsReportedNotFollowed) {
  CALC_VAC::Bases b = Bases();
  b[CALC_VAC::kDetVac] = nullptr;
  CALC_VAC v(kNeg, nullptr, b, xb::JulianFromYmd(2024, 1, 15));
  EXPECT_TRUE(v.CALCULAR("E1", 80, 1000).IsNotFound());
  EXPECT_EQ(v.GET_AJUSTE_POR_VACACIONES(), 0);
}

TEST_F(CalcVacTest, OpensWhatTheCallerDidNotPassAndClosesIt) {
  Employee("E1");
  CALC_VAC::Bases b = Bases();
  b[CALC_VAC::kDetVac] = nullptr;
  int opened = 0;
  CALC_VAC v(kNeg, nullptr, b, xb::JulianFromYmd(2024, 1, 15), [&](const std::string& name) {
    ++opened;
    return xb::Table::Open(dir_.file(name + ".DBF"));
  });
  EXPECT_EQ(opened, CALC_VAC::kBaseCount - 9);  // every position not passed
  ASSERT_TRUE(v.CALCULAR("E1", 80, 1000).ok());
  EXPECT_DOUBLE_EQ(v.GET_AJUSTE_POR_VACACIONES(), 20000);
  v.KILL_BASES();
}

TEST_F(CalcVacTest, AverageSalaryOfPastPayrolls) {
  AddRow(*t_["F_PLAN"], {{"NEGOCIO", C(kNeg)}, {"SAL_PROM", N(2)}, {"SAL_PROM2", N(3)}});
  CalcPlTables pt;
  pt.h_e_pers = t_["H_E_PERS"].get();
  pt.h_e_dept = t_["H_E_DEPT"].get();
  pt.f_plan = t_["F_PLAN"].get();
  pt.enc_dept = t_["ENC_DEPT"].get();
  pt.t_cambio = t_["T_CAMBIO"].get();
  CALC_PL pl(pt);
  int32_t ref = xb::JulianFromYmd(2024, 1, 10);
  // Three months (Oct-Dec 2023) of 300,000 over SAL_PROM = 2.
  EXPECT_DOUBLE_EQ(pl.GET_ULTIMOS_SAL(kNeg, "E1", "D1", true, 7, ref), 450000);
  EXPECT_DOUBLE_EQ(pl.GET_ULTIMOS_SAL(kNeg, "E1", "D1", false, 7, ref), 7);
  EXPECT_DOUBLE_EQ(pl.GET_ULTIMOS_SAL(kNeg, "E2", "D1", true, 7, ref), 7);  // no history
  // Before the first payroll there is nothing to average either.
  EXPECT_DOUBLE_EQ(pl.GET_ULTIMOS_SAL(kNeg, "E1", "D1", true, 7, xb::JulianFromYmd(2022, 3, 5)), 7);
}

}  // namespace
}  // namespace qz
