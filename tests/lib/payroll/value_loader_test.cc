// Value classes built from the tables: current and past definitions, bracket
// order, the rate of the payroll's date, the period count and what a missing
// table or type gives.
#include "lib/payroll/value_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "lib/data/work_areas.h"
#include "lib/payroll/catalog_tables.h"
#include "lib/settings/globals.h"
#include "support/fake_clock.h"
#include "support/installation.h"
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

// Composite item "RT" of a dollar type on a colón payroll: the colón base is
// converted into dollars with the dollar-to-colón rate, the dollar brackets
// (0-1,000 at 0 %, 1,000-2,000 at 10 %, above at 15 %, rows entered out of
// order) apply to it and the result goes back into colones at the same rate. The June 2024 payroll of D1 kept
// a copy with a single 20 % bracket above 1,000. One dollar is 500 colones up
// to 9 June, 520 from the 10th. Column "QN" counts only in the month's second
// payroll.
class ValueLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetNow({2024, 6, 20, 9, 0, 0, 0});
    Make(Folder());
    AddRow(*t_["ENC_TIP"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("RT")},
                            {"TIPO", N(3)},
                            {"TIPO_TABLA", N(1)},
                            {"MONEDA", C("US")},
                            {"FACTOR_2", N(0)}});
    AddRow(*t_["ENC_TIP"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("QN")},
                            {"TIPO", N(1)},
                            {"FACTOR_2", N(1)},
                            {"VER_PERIOD", N(1)},
                            {"NUM_PERIOD", N(2)}});
    AddRow(*t_["ENC_TIP"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("--")}, {"TIPO", N(4)}});
    for (auto [serie, i, f, p] : {std::tuple{3, 2000.0, 1e9, 15.0}, std::tuple{1, 0.0, 1000.0, 0.0},
                                  std::tuple{2, 1000.0, 2000.0, 10.0}})
      AddRow(*t_["DET_TIP"], {{"NEGOCIO", C(kNeg)},
                              {"CODIGO", C("RT")},
                              {"SERIE", N(serie)},
                              {"RANGO_I", N(i)},
                              {"RANGO_F", N(f)},
                              {"PORCENTAJE", N(p)}});
    AddRow(*t_["H_E_TIP"], {{"NEGOCIO", C(kNeg)},
                            {"DEPTO", C("D1")},
                            {"CODIGO", C("RT")},
                            {"FECHA", D(2024, 6, 5)},
                            {"TIPO", N(3)},
                            {"TIPO_TABLA", N(1)},
                            {"MONEDA", C("US")},
                            {"FACTOR_2", N(1)}});
    for (auto [i, f, p] : {std::tuple{1000.0, 1e9, 20.0}, std::tuple{0.0, 1000.0, 0.0}})
      AddRow(*t_["H_D_TIP"], {{"NEGOCIO", C(kNeg)},
                              {"DEPTO", C("D1")},
                              {"CODIGO", C("RT")},
                              {"FECHA", D(2024, 6, 5)},
                              {"RANGO_I", N(i)},
                              {"RANGO_F", N(f)},
                              {"PORCENTAJE", N(p)}});
    for (auto [d, fecha] : {std::pair{"D1", D(2024, 6, 30)}, std::pair{"D1", D(2024, 6, 15)},
                            std::pair{"D1", D(2024, 5, 31)}, std::pair{"D2", D(2024, 6, 1)}})
      AddRow(*t_["H_E_DEPT"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(d)}, {"FECHA", fecha}});
    for (auto [fecha, r] : {std::pair{D(2024, 6, 1), 500.0}, std::pair{D(2024, 6, 10), 520.0}})
      AddRow(*t_["T_CAMBIO"], {{"NEGOCIO", C(kNeg)},
                               {"MONEDA1", C("US")},
                               {"MONEDA2", C("CR")},
                               {"FECHA", fecha},
                               {"LIMITE", D(2090, 1, 1)},
                               {"CAMBIO", N(r)}});
  }

  virtual std::string Folder() { return dir_.path(); }
  void Make(const std::string& dir) {
    for (const char* n : {"ENC_TIP", "DET_TIP", "H_E_TIP", "H_D_TIP", "H_E_DEPT", "T_CAMBIO"})
      t_[n] = qztest::CreateCatalogTable(dir, n);
  }

  ColumnTables Current() {
    return {t_["ENC_TIP"].get(), t_["DET_TIP"].get(), t_["H_E_DEPT"].get(), t_["T_CAMBIO"].get()};
  }
  ColumnTables Past() {
    return {t_["H_E_TIP"].get(), t_["H_D_TIP"].get(), t_["H_E_DEPT"].get(), t_["T_CAMBIO"].get()};
  }
  static ColumnRequest Req(const char* col, bool hist = false) {
    return {kNeg, "D1", col, hist, "CR"};
  }
  static PayrollContext Ctx(int32_t fecha) {
    PayrollContext c;
    c.fecha = fecha;
    return c;
  }
  static double Total(ColumnValue& v, double valor) {
    EmployeeInput in;
    in.valor = valor;
    v.PUT(in);
    return v.GET().total;
  }

  qztest::FakeClock clock_;
  qztest::TempDir dir_;
  std::map<std::string, std::unique_ptr<xb::Table>> t_;
};

TEST_F(ValueLoaderTest, CurrentIncomeTaxTakesTheBracketsInOrderAndTodaysRate) {
  auto v = OpenColumnValue(Req("RT"), Current(), Ctx(J(2024, 6, 30)));
  ASSERT_TRUE(v.ok()) << v.status().ToString();
  ASSERT_NE(*v, nullptr);
  const ColumnType& def = (*v)->definition();
  ASSERT_EQ(def.brackets.size(), 3u);
  EXPECT_EQ(def.brackets[0].rango_i, 0);
  EXPECT_EQ(def.brackets[2].rango_i, 2000);
  // 1,352,000 colones at today's 520 are 2,600 dollars: the first two
  // brackets whole (0 + 100) and 600 at 15 % (90); 190 dollars back in
  // colones (98,800), withheld as a deduction.
  EXPECT_NEAR(Total(**v, 1352000), -98800, 1e-6);
}

TEST_F(ValueLoaderTest, PastPayrollUsesItsOwnCopyAndTheRateOfItsDate) {
  auto v = OpenColumnValue(Req("RT", true), Past(), Ctx(J(2024, 6, 5)));
  ASSERT_TRUE(v.ok()) << v.status().ToString();
  ASSERT_EQ((*v)->definition().brackets.size(), 2u);
  // 1,000,000 colones at the 5 June rate of 500: 2,000 dollars, 1,000 of them
  // at 20 %: 200 dollars, 100,000 colones.
  EXPECT_NEAR(Total(**v, 1000000), 100000, 1e-6);
  // No copy dated otherwise.
  EXPECT_TRUE(OpenColumnValue(Req("RT", true), Past(), Ctx(J(2024, 6, 6))).status().IsNotFound());
}

TEST_F(ValueLoaderTest, RestrictedColumnCountsOnlyInItsPayrollOfTheMonth) {
  // D1 has payrolls on 15 and 30 June (written in reverse), one in May, and
  // D2 another on 1 June: only the June ones of D1 count.
  EXPECT_EQ(PayrollsOfMonthUpTo(*t_["H_E_DEPT"], kNeg, "D1", J(2024, 6, 30)), 2);
  EXPECT_EQ(PayrollsOfMonthUpTo(*t_["H_E_DEPT"], kNeg, "D1", J(2024, 6, 15)), 1);
  EXPECT_EQ(PayrollsOfMonthUpTo(*t_["H_E_DEPT"], kNeg, "D1", 0), 0);
  auto second = OpenColumnValue(Req("QN"), Current(), Ctx(J(2024, 6, 30)));
  auto first = OpenColumnValue(Req("QN"), Current(), Ctx(J(2024, 6, 15)));
  ASSERT_TRUE(second.ok() && first.ok());
  EXPECT_EQ((*second)->context().periodo, 2);
  EXPECT_DOUBLE_EQ(Total(**second, 100), 100);
  EXPECT_DOUBLE_EQ(Total(**first, 100), 0);
}

TEST_F(ValueLoaderTest, SeparatorsUnknownTypesAndNoRate) {
  auto sep = OpenColumnValue(Req("--"), Current(), Ctx(J(2024, 6, 30)));
  ASSERT_TRUE(sep.ok());
  EXPECT_EQ(*sep, nullptr);
  EXPECT_TRUE(OpenColumnValue(Req("ZZ"), Current(), Ctx(J(2024, 6, 30))).status().IsNotFound());
  // A payroll in a currency without any rate: the tax is 0, never infinite.
  ColumnRequest eur = Req("RT");
  eur.moneda = "EU";
  auto v = OpenColumnValue(eur, Current(), Ctx(J(2024, 6, 30)));
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(Total(**v, 5), 0);
}

// The same tables in an installation's BASES, opened by name when the caller
// passes none.
class InstalledValueLoaderTest : public ValueLoaderTest {
 protected:
  void SetUp() override {
    inst_.Start();
    ValueLoaderTest::SetUp();
    t_.clear();  // closed: only USE has them open from here on
  }
  std::string Folder() override { return inst_.root + "BASES"; }
  qztest::Installation inst_;
};

TEST_F(InstalledValueLoaderTest, TablesNotGivenAreOpenedAndReleased) {
  // The caller works on its own table in its selected area.
  TablePtr mine = USE(nullptr, "ARTICULO");
  const int area = Areas().Selected();
  auto v = OpenColumnValue(Req("RT"), ColumnTables{}, Ctx(J(2024, 6, 30)));
  ASSERT_TRUE(v.ok()) << v.status().ToString();
  EXPECT_NEAR(Total(**v, 1352000), -98800, 1e-6);
  EXPECT_EQ(Areas().Selected(), area);
  ASSERT_EQ(G().XFILES_AREA.size(), 1u);  // only the caller's
  KILLTABLA(mine);
  // A past payroll's tables that the installation lacks: a status, no fault.
  std::filesystem::remove(inst_.root + "BASES/H_E_TIP.DBF");
  auto h = OpenColumnValue(Req("RT", true), ColumnTables{}, Ctx(J(2024, 6, 5)));
  EXPECT_TRUE(h.status().IsNotFound()) << h.status().ToString();
  EXPECT_TRUE(G().XFILES_AREA.empty());
}

}  // namespace
}  // namespace qz
