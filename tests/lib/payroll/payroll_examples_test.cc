// The payroll core's contract: amounts computed by hand, one line of
// reasoning each. Every example is an input, the amount a person working it
// out on paper gets, and why. The pure rules come first; the ones that read
// tables build a small set of them (a USD department, weekly and bi-weekly
// payroll lines) and follow after. Bad input (no rate, no payroll type, no
// department, no vacation type) gives the documented 0 or default, and never
// NaN, infinity or a negative day count.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "lib/payroll/calc_pl.h"
#include "lib/payroll/calc_vac.h"
#include "lib/payroll/catalog_tables.h"
#include "lib/payroll/dates.h"
#include "lib/payroll/history_copies.h"
#include "lib/payroll/income.h"
#include "lib/payroll/money.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/vacation_rules.h"
#include "lib/payroll/value_loader.h"
#include "lib/settings/globals.h"
#include "support/fake_clock.h"
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

struct Example {
  const char* what;
  std::function<double()> amount;
  double expected;
  const char* why;
};

void Check(const std::vector<Example>& examples, double tolerance = 0.005) {
  for (const Example& e : examples) {
    const double got = e.amount();
    EXPECT_TRUE(std::isfinite(got)) << e.what;
    EXPECT_NEAR(got, e.expected, tolerance) << e.what << " -- " << e.why;
  }
}

// The demo's income-tax brackets (monthly, colones) and step bonus.
const std::vector<Bracket> kRenta = {{0, 922000, 0, 0},
                                     {922000, 1352000, 10, 0},
                                     {1352000, 2373000, 15, 0},
                                     {2373000, 4745000, 20, 0},
                                     {4745000, 999999999, 25, 0}};

ColumnType Type(int tipo, int factor_2) {
  ColumnType t;
  t.codigo = "XX";
  t.tipo = tipo;
  t.factor_2 = factor_2;
  return t;
}

PayrollContext Monthly() {
  PayrollContext c;
  c.fecha = J(2024, 6, 30);
  c.tipo.tipo = 0;
  c.tipo.cantidad = 1;
  c.tipo.val_div = 30;
  return c;
}

double Put(ColumnValue& v, const EmployeeInput& in) {
  v.PUT(in);
  return v.GET().total;
}

double Abs(const ColumnType& t, const PayrollContext& c, const EmployeeInput& in) {
  VAL_ABS v(t, c);
  return Put(v, in);
}

EmployeeInput Value(double valor, double factor = 0) {
  EmployeeInput in;
  in.valor = valor;
  in.factor = factor;
  in.f_ingreso = J(2015, 1, 1);
  return in;
}

const std::vector<VacationRow> kLey = {{0, 1, 12}, {60, 1.25, 15}};  // the demo's type

TEST(PayrollExamples, ValueClassesCurrencyAndDailyCost) {
  ColumnType renta = Type(3, 0);
  renta.tipo_tabla = 1;
  renta.brackets = kRenta;
  ColumnType base = Type(1, 1);
  base.val_base = 1;
  ColumnType extra = Type(1, 1);
  extra.div_dias = 1;
  ColumnType nica = Type(3, 1);
  nica.tipo_tabla = 2;
  nica.brackets = {{0, 1000, 10, 0}, {1000, 2000, 10, 100}};
  PayrollContext weekly = Monthly();
  weekly.tipo.tipo = 1;
  weekly.tipo.cantidad = 7;
  ColumnType odd_sign = Type(1, 2);
  const PayrollType monthly = Monthly().tipo;
  Check({
      {"USD payroll, CRC brackets",
       [&] {
         VAL_COMP v(renta, Monthly(), 1.0 / 520);
         v.PUT_2(true, 1, true, 0);
         return Put(v, Value(1600000.0 / 520));
       },
       -154.23,
       "3,076.92 USD = 1,600,000 CRC: 43,000 + 248,000 x 15 % = 80,200 CRC = 154.23 USD withheld"},
      {"same currency",
       [&] {
         VAL_COMP v(renta, Monthly(), 1);
         return Put(v, Value(1600000));
       },
       -80200, "0 + 430,000 x 10 % + 248,000 x 15 %"},
      {"no rate", [&] {
         VAL_COMP v(renta, Monthly(), 0);
         return Put(v, Value(1600000));
       },
       0, "without a rate the income cannot be placed in the brackets: nothing, never infinity"},
      {"daily cost, monthly type", [&] { return DailyCost(300000, &monthly, base); },
       10000, "300,000 over the commercial month of 30"},
      {"daily cost, weekly type", [&] { return DailyCost(70000, &weekly.tipo, base); }, 10000,
       "a week's 70,000 over CANTIDAD 7 days"},
      {"daily cost, no payroll type", [&] { return DailyCost(300000, nullptr, base); }, 10000,
       "no type: the commercial month of 30 days"},
      {"daily cost, weekly type without CANTIDAD",
       [&] {
         PayrollType t = weekly.tipo;
         t.cantidad = 0;
         return DailyCost(70000, &t, base);
       },
       70000.0 / 30, "no days in the period: the commercial month, not a division by 0"},
      {"proration with the cost left out",
       [&] {
         EmployeeInput in = Value(300000);
         in.f_ingreso = J(2024, 6, 21);
         return Abs(base, Monthly(), in);
       },
       100000, "entered on the 21st: 10 days x 300,000 / 30, the cost derived, not 0"},
      {"proration with the employee's own cost",
       [&] {
         EmployeeInput in = Value(300000);
         in.f_ingreso = J(2024, 6, 21);
         in.costo_dia = 12000;
         return Abs(base, Monthly(), in);
       },
       120000, "10 days x the 12,000 given"},
      {"DIV_DIAS on a column that is not the base salary",
       [&] {
         EmployeeInput in = Value(60000);
         in.dias_laborados = 15;
         return Abs(extra, Monthly(), in);
       },
       30000, "60,000 / 30 x 15 days worked"},
      {"absolute value sign",
       [&] { return Abs(odd_sign, Monthly(), Value(500)); },
       500, "FACTOR_2 = 2 is not a deduction: +1, the amount is not doubled"},
      {"kind 2 on a shared bound",
       [&] {
         VAL_COMP v(nica, Monthly(), 1);
         return Put(v, Value(1000));
       },
       100, "1,000 closes the first row and opens the second: counted once, 100 not 200"},
      {"kind 2 inside the second row",
       [&] {
         VAL_COMP v(nica, Monthly(), 1);
         return Put(v, Value(1500));
       },
       150, "500 x 10 % + 100"},
  });
}

TEST(PayrollExamples, RoundingDatesAndVacationRows) {
  Check({
      {"ROUND5 just under the half", [] { return ROUND5(123456789.12499); }, 123456789.12,
       "the third decimal is 4: down, whatever the binary double holds"},
      {"ROUND5 on the half", [] { return ROUND5(1.005); }, 1.01, "1.005 written: half away"},
      {"ROUND5 negative half", [] { return ROUND5(-2.675); }, -2.68, "half away from zero"},
      {"start on the 29th, 28 February cut-off",
       [] { return MonthsOfService(J(2023, 1, 29), J(2023, 2, 28)); }, 1,
       "the month's last day reaches a start day the month lacks"},
      {"start on the 15th, cut-off on the 10th",
       [] { return MonthsOfService(J(2024, 1, 15), J(2024, 3, 10)); }, 1,
       "two calendar months, one taken off by the day rule"},
      {"3 years on the demo type", [] { return DaysEarned(kLey, Service{3, 0}); }, 36,
       "three years at 12: the 15-day row applies from 60 months on"},
      {"6 years 2 months on the demo type", [] { return DaysEarned(kLey, Service{6, 2}); },
       5 * 12 + 15 + 2 * 1.25, "five years at 12, the sixth at 15, two months at 1.25"},
      {"the -1 remaining months rule", [] { return DaysEarned(kLey, Service{2, -1}); },
       2 * 12 - 1, "two years less the month the day rule took off"},
      {"GET_DIAS at 10 months",
       [] { return DaysAccruedInMonth(kLey, J(2023, 8, 1), J(2024, 6, 5)); }, 1,
       "10 months < 60: the first row's 1 day, not the 60-month row's"},
      {"GET_DIAS at 79 months",
       [] { return DaysAccruedInMonth(kLey, J(2017, 11, 1), J(2024, 6, 5)); }, 1.25,
       "79 months >= 60: 1.25 days"},
      // Bad input: no vacation type.
      {"no vacation type: days earned", [] { return DaysEarned({}, Service{3, 4}); }, 0,
       "no rows, no days"},
      {"no vacation type: days of a month",
       [] { return DaysAccruedInMonth({}, J(2020, 1, 1), J(2024, 6, 5)); }, 0, "no rows"},
      {"a month's days before the first month",
       [] { return DaysAccruedInMonth(kLey, J(2024, 6, 20), J(2024, 6, 5)); }, 0,
       "not yet in service: 0, never negative"},
      {"days earned with only the month taken off",
       [] { return DaysEarned(kLey, Service{0, -1}); }, 0, "a negative day count becomes 0"},
      {"payrolls in a month, weekly on Fridays",
       [] {
         PayrollType t;
         t.tipo = 1;
         t.dia_pago = 6;
         return PayrollsInMonth(t, J(2024, 5, 10));
       },
       5, "May 2024 has five Fridays"},
      {"payrolls in a month, no payroll type", [] { return PayrollsInMonth(PayrollType{}, 0); },
       1, "a missing type counts one payroll: nothing divides by 0"},
  });
}

// Tables of one business: department D1 paid in USD (monthly type MN,
// 520 CRC per USD), department W1 paid weekly on Fridays (type SE, VAL_DIV 7)
// and B1 bi-weekly (type QU, VAL_DIV 15), both in CRC.
class PayrollTableExamples : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetNow({2024, 7, 10, 9, 0, 0, 0});
    for (const char* n :
         {"ENC_TIP", "DET_TIP", "H_E_TIP", "H_D_TIP", "T_CAMBIO", "TIP_PLA", "ENC_DEPT",
          "H_E_DEPT", "H_E_PERS", "H_D_PERS", "H_TIP_PL", "F_PLAN", "ENC_PERS", "ENC_VAC",
          "DET_VAC", "TIEMPO_E", "H_TIEM_E"})
      t_[n] = qztest::CreateCatalogTable(dir_.path(), n);
    AddRow(*t_["T_CAMBIO"], {{"NEGOCIO", C(kNeg)},
                             {"MONEDA1", C("US")},
                             {"MONEDA2", C("CR")},
                             {"FECHA", D(2024, 1, 1)},
                             {"LIMITE", D(2090, 1, 1)},
                             {"CAMBIO", N(520)}});
    for (auto [code, moneda, tipo] : {std::tuple{"D1", "US", "MN"}, std::tuple{"W1", "CR", "SE"},
                                      std::tuple{"B1", "CR", "QU"}, std::tuple{"X1", "CR", "ZZ"}})
      AddRow(*t_["ENC_DEPT"],
             {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"MONEDA", C(moneda)}, {"TIPO", C(tipo)}});
    AddRow(*t_["TIP_PLA"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("MN")},
                            {"TIPO", N(0)},
                            {"CANTIDAD", N(1)},
                            {"VAL_DIV", N(30)}});
    AddRow(*t_["ENC_TIP"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("RT")},
                            {"TIPO", N(3)},
                            {"TIPO_TABLA", N(1)},
                            {"MONEDA", C("CR")},
                            {"FACTOR_2", N(0)}});
    int serie = 0;
    for (const Bracket& b : kRenta)
      AddRow(*t_["DET_TIP"], {{"NEGOCIO", C(kNeg)},
                              {"CODIGO", C("RT")},
                              {"SERIE", N(++serie)},
                              {"RANGO_I", N(b.rango_i)},
                              {"RANGO_F", N(b.rango_f)},
                              {"PORCENTAJE", N(b.porcentaje)}});
    AddRow(*t_["ENC_VAC"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("LEY")}, {"DEFAULT", N(1)}});
    AddRow(*t_["DET_VAC"], {{"NEGOCIO", C(kNeg)},
                            {"CODIGO", C("LEY")},
                            {"MES", N(0)},
                            {"D_MES", N(1)},
                            {"D_ANHO", N(12)}});
    AddRow(*t_["TIEMPO_E"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("T1")}, {"FACTOR", N(8)}});
  }

  // An employee of `depto` started on 15 April 2024 (two vacation days by the
  // end of June) with a payroll line of `salario` on each of `fechas`.
  void Employee(const char* code, const char* depto, const char* tipo, double val_div,
                double salario, const std::vector<int32_t>& fechas) {
    AddRow(*t_["ENC_PERS"], {{"NEGOCIO", C(kNeg)},
                             {"CODIGO", C(code)},
                             {"DEPTO", C(depto)},
                             {"COD_TIEMPO", C("T1")},
                             {"F_INICIO", D(2024, 4, 15)}});
    for (int32_t f : fechas) {
      AddRow(*t_["H_E_PERS"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C(code)},
                               {"DEPTO", C(depto)},
                               {"FECHA", xb::Value::Date(f)},
                               {"LIMITE", D(2090, 1, 1)},
                               {"TOT_SAL", N(salario)}});
      AddRow(*t_["H_E_DEPT"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C(depto)},
                               {"TIPO", C(tipo)},
                               {"MONEDA", C("CR")},
                               {"FECHA", xb::Value::Date(f)}});
      AddRow(*t_["H_TIP_PL"], {{"NEGOCIO", C(kNeg)},
                               {"CODIGO", C(tipo)},
                               {"DEPTO", C(depto)},
                               {"VAL_DIV", N(val_div)},
                               {"FECHA", xb::Value::Date(f)}});
    }
  }

  // CALC_VAC's provision for 2 current days (16 hours of an 8-hour
  // schedule) at a reference date in July 2024 (cut-off 30 June).
  double Provision(const char* code) {
    CALC_VAC::Bases b{};
    for (auto [i, n] : std::map<int, const char*>{{CALC_VAC::kEncPers, "ENC_PERS"},
                                                   {CALC_VAC::kEncVac, "ENC_VAC"},
                                                   {CALC_VAC::kDetVac, "DET_VAC"},
                                                   {CALC_VAC::kTiempoE, "TIEMPO_E"},
                                                   {CALC_VAC::kHDPers, "H_D_PERS"},
                                                   {CALC_VAC::kHETip, "H_E_TIP"},
                                                   {CALC_VAC::kHEPers, "H_E_PERS"},
                                                   {CALC_VAC::kHTipPl, "H_TIP_PL"},
                                                   {CALC_VAC::kHTiemE, "H_TIEM_E"},
                                                   {CALC_VAC::kHEDeptB, "H_E_DEPT"}})
      b[i] = t_[n].get();
    xb::Table& p = *t_["ENC_PERS"];
    if (!p.SetOrder("ENC_PERS2").ok() ||
        !p.Seek(xb::Value::Char(PadRight(kNeg, 15) + PadRight(code, 15))).ok() || !p.Found())
      return -1;
    CALC_VAC v(kNeg, nullptr, b, J(2024, 7, 10));
    if (!v.CALCULAR(code, 16, 0).ok()) return -1;
    return v.GET_M_PROVISIONADO();
  }

  CALC_PL Pl() {
    CalcPlTables pt;
    pt.h_e_pers = t_["H_E_PERS"].get();
    pt.h_e_dept = t_["H_E_DEPT"].get();
    pt.f_plan = t_["F_PLAN"].get();
    pt.enc_dept = t_["ENC_DEPT"].get();
    pt.t_cambio = t_["T_CAMBIO"].get();
    return CALC_PL(pt);
  }

  ColumnTables Current() {
    return {t_["ENC_TIP"].get(), t_["DET_TIP"].get(), t_["H_E_DEPT"].get(), t_["T_CAMBIO"].get(),
            nullptr};
  }

  qztest::FakeClock clock_;
  qztest::TempDir dir_;
  std::map<std::string, std::unique_ptr<xb::Table>> t_;
};

// Fridays of May (5) and June (4) 2024; the 15th and month ends.
const std::vector<int32_t> kFridays = {J(2024, 5, 3),  J(2024, 5, 10), J(2024, 5, 17),
                                       J(2024, 5, 24), J(2024, 5, 31), J(2024, 6, 7),
                                       J(2024, 6, 14), J(2024, 6, 21), J(2024, 6, 28)};
const std::vector<int32_t> kFortnights = {J(2024, 5, 15), J(2024, 5, 31), J(2024, 6, 15),
                                          J(2024, 6, 30)};

TEST_F(PayrollTableExamples, VacationProvisionAndAverageSalaryPerPayPeriod) {
  Employee("00060", "W1", "SE", 7, 141461.54, kFridays);
  Employee("00061", "B1", "QU", 15, 150000, kFortnights);
  Employee("00062", "ZZ", "SE", 7, 141461.54, {});
  AddRow(*t_["F_PLAN"], {{"NEGOCIO", C(kNeg)}, {"SAL_PROM", N(2)}, {"SAL_PROM2", N(2)}});
  const int32_t ref = J(2024, 7, 10);
  Check({
      {"weekly CALC_VAC", [&] { return Provision("00060"); }, 40417.58,
       "2 days at 141,461.54 / 7 a day (May's 5 and June's 4 lines averaged, not summed)"},
      {"bi-weekly CALC_VAC", [&] { return Provision("00061"); }, 20000,
       "2 days at 150,000 / 15 a day, one in May and one in June"},
      {"CALC_VAC without payroll lines", [&] { return Provision("00062"); }, 0,
       "no line reached: no provision"},
      {"weekly GET_ULTIMOS_SAL",
       [&] { return Pl().GET_ULTIMOS_SAL(kNeg, "00060", "W1", true, 7, ref); }, 141461.54,
       "9 weekly lines over 2 months: the average of a pay period, what VAL_DIV 7 divides"},
      {"bi-weekly GET_ULTIMOS_SAL",
       [&] { return Pl().GET_ULTIMOS_SAL(kNeg, "00061", "B1", true, 7, ref); }, 150000,
       "4 fortnights over 2 months"},
      {"GET_ULTIMOS_SAL of a department that does not exist",
       [&] { return Pl().GET_ULTIMOS_SAL(kNeg, "00060", "NO", true, 7, ref); }, 141461.54,
       "no department, no currency to convert into: the amounts as paid"},
  });
}

TEST_F(PayrollTableExamples, CurrencyPathsAndMissingDefinitions) {
  AddRow(*t_["H_E_DEPT"], {{"NEGOCIO", C(kNeg)},
                           {"CODIGO", C("D1")},
                           {"TIPO", C("MN")},
                           {"MONEDA", C("CR")},
                           {"FECHA", D(2024, 3, 31)}});
  auto convertir = [&](const char* depto, const char* fecha_dtos) {
    xb::Table& d = *t_["ENC_DEPT"];
    xb::Table& h = *t_["H_E_DEPT"];
    d.SetOrder("ENC_DEPT");
    d.Seek(xb::Value::Char(PadRight(kNeg, 15) + PadRight(depto, 15)));
    h.SetOrder("H_E_DEPT2");
    h.Seek(xb::Value::Char(PadRight(kNeg, 15) + PadRight("D1", 15) + fecha_dtos));
    return Pl().CONVERTIR(kNeg, 1040000);
  };
  // The income of a USD payroll, from OBTENER_SALARIO into the CRC income tax.
  auto renta = [&](const char* depto, double ingreso, ColumnRequest r) {
    auto v = OpenColumnValue(r, Current(), Monthly());
    if (!v.ok() || !*v) return -1.0;
    auto* tax = dynamic_cast<VAL_COMP*>(v->get());
    IncomeTables it{t_["TIP_PLA"].get(), t_["H_E_DEPT"].get(), t_["H_E_PERS"].get(),
                    t_["H_D_PERS"].get(), t_["ENC_DEPT"].get()};
    IncomeInput in;
    in.fecha = J(2024, 6, 30);
    in.divisible = ingreso;
    double base = OBTENER_SALARIO(kNeg, it, in, tax->definition(), depto, "E1", tax, "RT");
    EmployeeInput e;
    e.valor = base;
    tax->PUT(e);
    return tax->GET().total;
  };
  ColumnRequest usd{kNeg, "D1", "RT", false, "US"};
  ColumnRequest eur{kNeg, "D1", "RT", false, "EU"};
  Check({
      {"CONVERTIR into the department's new currency", [&] { return convertir("D1", "20240331"); },
       2000, "1,040,000 CRC paid in March at 520 CRC per USD, the department now in USD"},
      {"CONVERTIR with no department", [&] { return convertir("NO", "20240331"); }, 1040000,
       "no department, no currency: the amount as paid"},
      {"CONVERTIR with no rate",
       [&] {
         t_["ENC_DEPT"]->SetOrder("ENC_DEPT");
         AddRow(*t_["ENC_DEPT"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("E1")}, {"MONEDA", C("EU")}});
         return convertir("E1", "20240331");
       },
       0, "no CRC-EUR rate: 0, the documented no-rate answer"},
      {"OBTENER_SALARIO -> income tax, USD payroll, CRC brackets",
       [&] { return renta("D1", 1600000.0 / 520, usd); }, -154.23,
       "3,076.92 USD projected for the month = 1,600,000 CRC: 80,200 CRC tax = 154.23 USD"},
      {"the same path with no rate", [&] { return renta("D1", 1600000.0 / 520, eur); }, 0,
       "no EUR-CRC rate: no tax, never infinity"},
      {"OBTENER_SALARIO with no department",
       [&] { return renta("NO", 1600000.0 / 520, usd); }, 0,
       "no department, no payroll type: base 0, nothing withheld"},
      {"OBTENER_SALARIO with no payroll type",
       [&] { return renta("X1", 1600000.0 / 520, usd); }, 0,
       "the department's type ZZ does not exist: base 0"},
  });
}

// A past payroll recomputes from the copies the opening makes: the income tax
// keeps its table kind, the step bonus its base column and bracket amounts,
// the overtime its factor flag, the deduction its percentage.
TEST_F(PayrollTableExamples, PastPayrollRecomputesFromItsCopies) {
  auto type = [&](qztest::Row fields) { AddRow(*t_["ENC_TIP"], fields); };
  type({{"NEGOCIO", C(kNeg)}, {"CODIGO", C("HE")}, {"TIPO", N(1)}, {"FACTOR_2", N(1)},
        {"FACTOR", N(1)}, {"VALOR_3", N(1.5)}, {"VALOR", N(99)}});
  type({{"NEGOCIO", C(kNeg)}, {"CODIGO", C("CS")}, {"TIPO", N(2)}, {"FACTOR_2", N(0)},
        {"VALOR", N(9.67)}, {"VAL_X_DEF", N(1)}, {"TIPO_MONTO", N(2)}});
  type({{"NEGOCIO", C(kNeg)}, {"CODIGO", C("BE")}, {"TIPO", N(3)}, {"FACTOR_2", N(1)},
        {"TIPO_TABLA", N(3)}, {"COL_BASE", C("01")}, {"MONEDA", C("CR")}});
  for (auto [s, i, f, v] : {std::tuple{1, 0.0, 500000.0, 15000.0},
                            std::tuple{2, 500000.0, 900000.0, 10000.0}})
    AddRow(*t_["DET_TIP"], {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("BE")}, {"SERIE", N(s)},
                            {"RANGO_I", N(i)}, {"RANGO_F", N(f)}, {"VALOR_2", N(v)}});
  const int32_t fecha = J(2024, 5, 31);
  xb::Table& tipos = *t_["ENC_TIP"];
  ASSERT_TRUE(tipos.SetOrder("ENC_TIP").ok());
  for (const char* code : {"RT", "HE", "CS", "BE"}) {
    ASSERT_TRUE(tipos.Seek(xb::Value::Char(PadRight(kNeg, 15) + code)).ok());
    ASSERT_TRUE(CopyColumnTypeToHistory(tipos, *t_["DET_TIP"], *t_["H_E_TIP"], *t_["H_D_TIP"],
                                        "W1", fecha)
                    .ok());
  }
  PayrollContext ctx = Monthly();
  ctx.fecha = fecha;
  // The copy's value class, given the input its definition asks for.
  auto past = [&](const char* code, const std::function<EmployeeInput(const ColumnType&)>& in) {
    ColumnTables t{t_["H_E_TIP"].get(), t_["H_D_TIP"].get(), t_["H_E_DEPT"].get(),
                   t_["T_CAMBIO"].get(), nullptr};
    auto v = OpenColumnValue(ColumnRequest{kNeg, "W1", code, true, "CR"}, t, ctx);
    if (!v.ok() || !*v) return -1.0;
    if (auto* tax = dynamic_cast<VAL_COMP*>(v->get())) tax->PUT_2(true, 2, false, 0);
    return Put(**v, in((*v)->definition()));
  };
  std::vector<LineValue> line = {{"01", 600000, 0}, {"BE", 0, 0}};
  LineFacts facts;
  facts.tot_sal = 600000;
  Check({
      {"income tax from the copy", [&] { return past("RT", [](const ColumnType&) { return Value(1600000); }); }, -40100,
       "80,200 on the month's 1,600,000, half of it in the first of two payrolls"},
      {"overtime from the copy", [&] { return past("HE", [](const ColumnType&) { return Value(10, 1875); }); }, 18750,
       "10 hours x the employee's hourly cost 1,875: the factor flag was kept"},
      {"deduction from the copy",
       [&] {
         return past("CS", [](const ColumnType&) {
           EmployeeInput in = Value(0);
           in.total_salario = 600000;
           return in;
         });
       },
       -58020, "9.67 % of 600,000: the type's percentage was kept"},
      {"step bonus from the copy",
       [&] {
         return past("BE", [&](const ColumnType& def) { return LineInput(def, line, line[1], facts); });
       },
       5000,
       "base column 01 = 600,000: the 10,000 row, divided over 2 payrolls"},
      {"kind-1 default amount in the copy",
       [&] {
         xb::Table& h = *t_["H_E_TIP"];
         h.SetOrder("H_E_TIP");
         h.Seek(xb::Value::Char(PadRight(kNeg, 15) + PadRight("W1", 15) + "HE20240531"));
         return NumField(h, "VALOR") + 1000 * NumField(h, "VALOR_3");
       },
       1500, "VALOR 99 is the employee's starting value: 0; VALOR_3 1.5 is the type's: kept"},
  });
}

}  // namespace
}  // namespace qz
