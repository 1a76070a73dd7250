#include "lib/payroll/income.h"

#include <gtest/gtest.h>

#include "lib/payroll/days_worked.h"
#include "lib/payroll/value_classes.h"
#include "xbase/value.h"

namespace qz {
namespace {

int32_t J(int y, int m, int d) {
  return xb::JulianFromYmd(y, m, d);
}

PayrollType Tipo(int tipo, double cantidad, int renta, int dia_pago = 0) {
  PayrollType t;
  t.tipo = tipo;
  t.cantidad = cantidad;
  t.renta = renta;
  t.dia_pago = dia_pago;
  return t;
}

struct IncomeCase {
  const char* name;
  PayrollType tipo;
  int tipo_tabla;
  int32_t fecha;
  int count;  // payrolls of the month already counted
  double want;
  bool dividir, fin_p;
  double n, w;
};

TEST(ProjectMonthlyIncome, RulesByPayrollType) {
  // P = 1000 earned earlier, W = 50 withheld, ND = 100, DV = 400, salary 450,
  // additional base 30 (asked for).
  const IncomeCase cases[] = {
      {"fortnightly, first", Tipo(0, 2, 0), 1, J(2024, 6, 15), 0, 0 + 100 + 400 + 400 + 30, true,
       false, 2, 50},
      {"fortnightly, last", Tipo(0, 2, 0), 1, J(2024, 6, 30), 1, 1000 + 100 + 400 + 30, true, true,
       2, 50},
      {"segmented, first at 100%", Tipo(0, 2, 2), 1, J(2024, 6, 15), 0, 100 + 400 + 400 + 30, false,
       true, 2, 50},
      {"end of period, not last", Tipo(0, 2, 1), 1, J(2024, 6, 15), 0, 0, false, false, 2, 0},
      {"end of period, last", Tipo(0, 2, 1), 1, J(2024, 6, 30), 1, 1000 + 450 + 30, false, true, 2,
       0},
      // Weekly on Saturdays: June 2024 has 5; the 3rd Saturday leaves 2 to come.
      {"weekly, third", Tipo(1, 7, 0, 7), 1, J(2024, 6, 15), 2, 1000 + 100 + 400 + 400 * 2 + 30,
       true, false, 5, 50},
      {"weekly, last", Tipo(1, 7, 0, 7), 1, J(2024, 6, 29), 4, 1000 + 100 + 400 + 30, true, true, 5,
       50},
      {"weekly end of period, last", Tipo(1, 7, 1, 7), 1, J(2024, 6, 29), 4, 1000 + 450 + 30, false,
       true, 0, 0},
  };
  for (const auto& c : cases) {
    MonthIncome m{c.count ? 1000.0 : 0.0, 50, c.count};
    IncomeInput in{c.fecha, 100, 400, 450, 30, true};
    ColumnType t;
    t.tipo = 3;
    t.tipo_tabla = c.tipo_tabla;
    VAL_COMP v(t, PayrollContext{}, 1);
    EXPECT_DOUBLE_EQ(ProjectMonthlyIncome(m, in, c.tipo, c.tipo_tabla, &v), c.want) << c.name;
    EXPECT_EQ(v.DIVIDIR(), c.dividir) << c.name;
    EXPECT_EQ(v.FIN_P(), c.fin_p) << c.name;
    EXPECT_DOUBLE_EQ(v.N_DIVIDIR(), c.n) << c.name;
    EXPECT_DOUBLE_EQ(v.TOT_RENTA(), c.w) << c.name;
  }
}

TEST(ProjectMonthlyIncome, AbsoluteValueTableProjectsOverThePeriod) {
  MonthIncome m{1000, 0, 1};
  IncomeInput in{J(2024, 6, 30), 100, 400, 0, 0, false};
  EXPECT_DOUBLE_EQ(ProjectMonthlyIncome(m, in, Tipo(0, 4, 0), 3, nullptr),
                   1000 + 100 + 400 + 400 * 2);
}

TEST(DaysWorked, HoursOfSalaryColumnsOverTheSchedule) {
  ColumnType base, extra, incap, ded, not_hours;
  base.sum_hora = base.horas_base = 1;
  base.dividir = 1;
  extra.sum_hora = 1;
  incap.sum_hora = incap.h_incap = 1;
  ded.sum_hora = 1;
  ded.factor_2 = 0;
  not_hours.sum_hora = 0;
  PayrollType fortnight = Tipo(0, 2, 0);
  fortnight.val_div = 30;
  std::vector<HoursColumn> cols = {
      {&base, "01", 1},     // 30 x 8 / 2 = 120 hours
      {&extra, "01", 16},   // +16
      {&incap, "01", 8},    // -8
      {&ded, "01", 4},      // -4
      {&extra, "02", 100},  // not a salary column
      {&not_hours, "01", 50}, {nullptr, "01", 50},
  };
  EXPECT_DOUBLE_EQ(DaysWorked(cols, 0, fortnight, 8), (120 + 16 - 8 - 4) / 8.0);
  // Paid by the hour: no base hours, sick leave does not subtract.
  EXPECT_DOUBLE_EQ(DaysWorked(cols, 1, fortnight, 8), (16 - 4) / 8.0);
  EXPECT_EQ(DaysWorked(cols, 0, fortnight, 0), 0);  // no schedule factor
  fortnight.cantidad = 0;                           // divisor 0 counts as 1
  EXPECT_DOUBLE_EQ(DaysWorked(cols, 0, fortnight, 8), (240 + 16 - 8 - 4) / 8.0);
}

}  // namespace
}  // namespace qz
