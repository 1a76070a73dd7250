#include "lib/payroll/value_classes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "xbase/value.h"

namespace qz {
namespace {

int32_t J(int y, int m, int d) {
  return xb::JulianFromYmd(y, m, d);
}

ColumnType Abs() {
  ColumnType t;
  t.codigo = "SB";
  t.tipo = 1;
  t.factor_2 = 1;
  return t;
}

PayrollContext Ctx() {
  PayrollContext c;
  c.fecha = J(2024, 6, 30);
  c.tipo.tipo = 0;
  c.tipo.cantidad = 2;
  return c;
}

double AbsTotal(const ColumnType& t, const PayrollContext& c, const EmployeeInput& in) {
  VAL_ABS v(t, c);
  v.PUT(in);
  return v.GET().total;
}

struct ProrationCase {
  const char* name;
  int32_t inicio;   // S
  int tipo;         // payroll type kind
  int32_t ingreso;  // E
  int32_t retiro;   // R
  double value;
  double want;
};

TEST(ValAbs, BaseSalaryProration) {
  const ProrationCase cases[] = {
      // 1: no start date, kind 0: (D - E + 1) x c when that is less.
      {"case1 new employee", 0, 0, J(2024, 6, 21), 0, 500, 100},
      {"case1 long-standing", 0, 0, J(2020, 1, 1), 0, 500, 500},
      // 2: no start date, kind 1: (D - E) x c up to CANTIDAD x c.
      {"case2 within the period", 0, 1, J(2024, 6, 29), 0, 500, 10},
      {"case2 beyond the period", 0, 1, J(2020, 1, 1), 0, 500, 20},
      // 3: S < E <= D.
      {"case3 entered in the period", J(2024, 6, 16), 0, J(2024, 6, 21), 0, 500, 100},
      // 4: S < R < D.
      {"case4 retired in the period", J(2024, 6, 16), 0, J(2020, 1, 1), J(2024, 6, 20), 500, 40},
      {"no case applies", J(2024, 6, 16), 0, J(2020, 1, 1), 0, 500, 500},
  };
  for (const auto& c : cases) {
    ColumnType t = Abs();
    t.val_base = 1;
    PayrollContext ctx = Ctx();
    ctx.fecha_inicio = c.inicio;
    ctx.tipo.tipo = c.tipo;
    EmployeeInput in;
    in.valor = c.value;
    in.f_ingreso = c.ingreso;
    in.f_retiro = c.retiro;
    in.costo_dia = 10;
    EXPECT_DOUBLE_EQ(AbsTotal(t, ctx, in), c.want) << c.name;
    in.sal_comple = 1;  // complete salary: never prorated
    EXPECT_DOUBLE_EQ(AbsTotal(t, ctx, in), c.value) << c.name;
  }
}

TEST(ValAbs, DivideByDaysWorked) {
  ColumnType t = Abs();
  t.val_base = 1;
  t.div_dias = 1;
  PayrollContext ctx = Ctx();
  EmployeeInput in;
  in.valor = 300;
  in.f_ingreso = J(2020, 1, 1);
  in.dias_laborados = 12;
  EXPECT_DOUBLE_EQ(AbsTotal(t, ctx, in), 300.0 / 30 * 12);  // MES_COMERC 0 counts as 30
  ctx.tipo.mes_comerc = 24;
  EXPECT_DOUBLE_EQ(AbsTotal(t, ctx, in), 300.0 / 24 * 12);
}

TEST(ValAbs, FactorSignAndDeductibleParts) {
  ColumnType t = Abs();
  EmployeeInput in;
  in.valor = 10;
  in.factor = 3;
  VAL_ABS plain(t, Ctx());
  plain.PUT(in);
  EXPECT_DOUBLE_EQ(plain.GET().total, 10);  // factor not part of the column: 1
  EXPECT_DOUBLE_EQ(plain.GET().no_deducible, 10);

  t.factor = 1;
  t.factor_2 = 0;
  t.deducible = 1;
  VAL_ABS ded(t, Ctx());
  ded.PUT(in);
  EXPECT_DOUBLE_EQ(ded.GET().total, -30);
  EXPECT_DOUBLE_EQ(ded.GET().deducible, -30);
  EXPECT_DOUBLE_EQ(ded.GET().no_deducible, 0);

  t.fac_x_def = 1;
  t.valor_2 = 1.5;
  t.factor_4 = 1;
  t.fact4_xdef = 7;
  VAL_ABS def(t, Ctx());
  def.PUT(in);
  EXPECT_DOUBLE_EQ(def.GET().total, -15);
  EXPECT_DOUBLE_EQ(def.GET().factor, 1.5);
  EXPECT_DOUBLE_EQ(def.GET().constante, 7);
}

TEST(ValAbs, TwoRateCalculation) {
  ColumnType t = Abs();
  t.calc_dif = 1;
  t.corte = 6;  // schedule units
  t.porc_antes = 100;
  t.porc_desp = 150;
  EmployeeInput in;
  in.schedule_factor = 8;  // cut = 48
  in.valor = 50;
  EXPECT_DOUBLE_EQ(AbsTotal(t, Ctx(), in), 48 + 2 * 1.5);
  in.inc_cont = 1;  // no part before the cut-off
  EXPECT_DOUBLE_EQ(AbsTotal(t, Ctx(), in), 3);
  in.valor = 0;
  EXPECT_DOUBLE_EQ(AbsTotal(t, Ctx(), in), 0);
}

TEST(ValAbs, PeriodRestrictionAndInactiveColumn) {
  ColumnType t = Abs();
  t.ver_period = 1;
  t.num_period = 2;
  PayrollContext ctx = Ctx();
  EmployeeInput in;
  in.valor = 100;
  ctx.periodo = 1;
  EXPECT_EQ(AbsTotal(t, ctx, in), 0);
  ctx.periodo = 2;
  EXPECT_EQ(AbsTotal(t, ctx, in), 100);
  t.desactivar = 1;
  EXPECT_EQ(AbsTotal(t, ctx, in), 0);
}

TEST(ValAbs, GroupTotalsWithBase365) {
  ColumnType t = Abs();
  t.val_base = 1;
  t.agrupar[0] = t.agrupar[1] = 1;
  PayrollContext ctx = Ctx();
  EmployeeInput in;
  in.valor = 500;
  in.f_ingreso = J(2024, 6, 21);  // prorated to 100
  in.costo_dia = 10;
  BonusBase365 bonus;
  bonus.divide[1] = true;
  ctx.bonus = &bonus;
  VAL_ABS v(t, ctx);
  v.PUT(in);
  EXPECT_DOUBLE_EQ(v.GET().total, 100);
  EXPECT_DOUBLE_EQ(v.GET().grupo[0], 100);
  EXPECT_DOUBLE_EQ(v.GET().grupo[1], 500);  // "Base 365": before proration
  EXPECT_DOUBLE_EQ(v.GET().grupo[2], 0);
}

TEST(ValAbs, InformativeColumns) {
  ColumnType t = Abs();
  t.info = 1;
  PayrollContext ctx = Ctx();
  EmployeeInput in;
  in.valor = 100;
  in.ajuste_vacaciones = 42;
  EXPECT_EQ(AbsTotal(t, ctx, in), 0);
  ctx.informativo = true;
  EXPECT_EQ(AbsTotal(t, ctx, in), 100);
  t.vac_pagada = t.vac_costo = 1;
  EXPECT_EQ(AbsTotal(t, ctx, in), 42);
  // Base salary of a department paid by the hour.
  ColumnType b = Abs();
  b.val_base = 1;
  ctx = Ctx();
  ctx.depto_hora = 1;
  in.f_ingreso = J(2020, 1, 1);
  EXPECT_EQ(AbsTotal(b, ctx, in), 0);
}

TEST(ValAbs, RunningTotalsAndClear) {
  VAL_ABS v(Abs(), Ctx());
  for (double x : {10.0, 20.5, 30.25}) {
    EmployeeInput in;
    in.valor = x;
    v.PUT(in);
  }
  EXPECT_DOUBLE_EQ(v.Totals().total, 60.75);
  EXPECT_EQ(v.Count(), 3);
  v.CLEAR();
  EXPECT_EQ(v.Totals().total, 0);
  EXPECT_EQ(v.Count(), 0);
}

ColumnType Pct(int tipo_monto, double pct) {
  ColumnType t;
  t.tipo = 2;
  t.tipo_monto = tipo_monto;
  t.val_x_def = 1;
  t.valor = pct;
  t.factor_2 = 0;
  t.agrupar[3] = 1;
  return t;
}

struct PctCase {
  int tipo_monto;
  int limite_flag;
  double limite;
  double want;
};

TEST(Porcent, BasesCapsAndSign) {
  const PctCase cases[] = {
      {0, 0, 0, -10.5},   // 10.5% of the base given (100)
      {1, 0, 0, -42},     // of total salary - base (400)
      {2, 0, 0, -52.5},   // of total salary (500)
      {2, 1, 30, -30},    // capped at the employee's limit
      {2, 1, 0, -52.5},   // limit 0: not capped
      {2, 0, 30, -52.5},  // the type has no limit
  };
  for (const auto& c : cases) {
    ColumnType t = Pct(c.tipo_monto, 10.5);
    t.limite = c.limite_flag;
    PORCENT p(t, Ctx());
    EmployeeInput in;
    in.valor = 100;
    in.total_salario = 500;
    in.limite = c.limite;
    p.PUT(in);
    EXPECT_DOUBLE_EQ(p.GET().total, c.want) << c.tipo_monto << "/" << c.limite;
    EXPECT_DOUBLE_EQ(p.GET().grupo[3], c.want);
    EXPECT_DOUBLE_EQ(p.GET().factor, 10.5);
  }
}

TEST(Porcent, EmployeePercentageRoundedToCents) {
  ColumnType t = Pct(0, 0);
  t.val_x_def = 0;
  t.factor_2 = 1;
  PORCENT p(t, Ctx());
  EmployeeInput in;
  in.valor = 1234.5;
  in.porcentaje = 9.1666;
  p.PUT(in);
  EXPECT_DOUBLE_EQ(p.GET().total, 113.16);  // 113.1616...
  EXPECT_DOUBLE_EQ(p.GET().factor, 9.17);
  t.ver_period = 1;
  t.num_period = 3;
  PORCENT q(t, Ctx());
  q.PUT(in);
  EXPECT_EQ(q.GET().total, 0);
}

ColumnType Comp(int kind) {
  ColumnType t;
  t.tipo = 3;
  t.tipo_tabla = kind;
  t.factor_2 = 0;
  return t;
}

TEST(ValComp, KindOneCumulativeBrackets) {
  ColumnType t = Comp(1);
  t.brackets = {{0, 100, 0, 0}, {100, 200, 10, 0}, {200, 500, 15, 0}, {500, 1000, 20, 0}};
  VAL_COMP v(t, Ctx(), 1);
  EmployeeInput in;
  in.valor = 300;  // inside the third bracket: 0 + 10 + 15
  EXPECT_DOUBLE_EQ(v.TableAmount(300, in), 25);
  EXPECT_DOUBLE_EQ(v.TableAmount(2000, in), 10 + 45 + 100);
  EXPECT_DOUBLE_EQ(v.TableAmount(50, in), 0);
  v.PUT(in);
  EXPECT_DOUBLE_EQ(v.GET().total, -25);

  // Divided over the period's payrolls, minus the employee factor per payroll.
  in.factor = 2;
  v.PUT_2(true, 2, false, 0);
  v.PUT(in);
  EXPECT_DOUBLE_EQ(v.GET().total, -(12.5 - 1));
  // Period end: the whole month's tax minus what was withheld.
  v.PUT_2(true, 2, true, 11.5);
  v.PUT(in);
  EXPECT_DOUBLE_EQ(v.GET().total, -(25 - 11.5 - 2));
  // Never negative.
  v.PUT_2(false, 2, true, 40);
  v.PUT(in);
  EXPECT_EQ(v.GET().total, 0);
}

TEST(ValComp, KindTwoSubtractsPercentageFirst) {
  ColumnType t = Comp(2);
  t.factor_2 = 1;
  t.resta_comp = 10;
  t.brackets = {{0, 500, 0, 0}, {500, 1000, 10, 20}, {1000, 5000, 20, 70}};
  VAL_COMP v(t, Ctx(), 1);
  EmployeeInput in;
  in.valor = 1000;  // 900 after 10% off
  v.PUT(in);
  EXPECT_DOUBLE_EQ(v.GET().total, (900 - 500) * 0.10 + 20);
}

TEST(ValComp, KindThreeFixedAmountOfTheBaseColumn) {
  ColumnType t = Comp(3);
  t.factor_2 = 1;
  t.brackets = {{0, 499.99, 0, 5}, {500, 999.99, 0, 8}, {1000, 1e9, 0, 12}};
  VAL_COMP v(t, Ctx(), 1);
  EmployeeInput in;
  in.valor_col_base = 750;
  v.PUT_2(true, 2, true, 100);  // kind 3 is always divided, never offset by tax withheld
  v.PUT(in);
  EXPECT_DOUBLE_EQ(v.GET().total, 4);
  in.factor = 1;  // only when the employee's factor is 0
  v.PUT(in);
  EXPECT_EQ(v.GET().total, 0);
}

TEST(ValComp, BracketsInTheTypesCurrencyAndMissingRate) {
  ColumnType t = Comp(1);
  t.factor_2 = 1;
  t.brackets = {{0, 100, 0, 0}, {100, 1000, 10, 0}};
  EmployeeInput in;
  in.valor = 600;  // in the payroll's currency; one unit of the type's is worth 2
  VAL_COMP v(t, Ctx(), 2);
  v.PUT(in);
  // 300 in the type's currency: (300 - 100) x 10 % = 20 there, 40 on the payroll.
  EXPECT_DOUBLE_EQ(v.GET().total, 40);
  VAL_COMP none(t, Ctx(), 0);  // no rate: nothing to compute, never infinity
  none.PUT(in);
  EXPECT_EQ(none.GET().total, 0);
  VAL_COMP zero_n(t, Ctx(), 1);
  zero_n.PUT_2(true, 0, false, 0);  // a period of 0 payrolls counts as one
  in.valor = 150;
  in.factor = 3;
  zero_n.PUT(in);
  EXPECT_DOUBLE_EQ(zero_n.GET().total, 5 - 3);
}

TEST(MakeColumnValue, ByKind) {
  EXPECT_NE(dynamic_cast<VAL_ABS*>(MakeColumnValue(Abs(), Ctx(), 1).get()), nullptr);
  EXPECT_NE(dynamic_cast<PORCENT*>(MakeColumnValue(Pct(0, 1), Ctx(), 1).get()), nullptr);
  EXPECT_NE(dynamic_cast<VAL_COMP*>(MakeColumnValue(Comp(1), Ctx(), 1).get()), nullptr);
  ColumnType sep;
  sep.tipo = 4;
  EXPECT_EQ(MakeColumnValue(sep, Ctx(), 1), nullptr);
}

}  // namespace
}  // namespace qz
