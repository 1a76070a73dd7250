#include "lib/accounting/sap_compute.h"

#include "lib/payroll/calc_vac.h"
#include "lib/payroll/income.h"
#include "lib/payroll/money.h"
#include "lib/payroll/payroll_line.h"
#include "lib/settings/globals.h"
#include "xbase/codepage.h"

namespace qz {

double SapTotals::Of(const std::string& code) const {
  if (code == "_1") return s_total;
  if (code == "_2") return d_total;
  if (code == "_3") return r_total;
  if (code == "_4") return ind_total;
  if (code == "_5") return i_total;
  return 0;
}

void SapTotals::Add(const SapTotals& o) {
  s_total += o.s_total;
  d_total += o.d_total;
  r_total += o.r_total;
  ind_total += o.ind_total;
  i_total += o.i_total;
}

double SapNetRounding(double net, const SapDeptContext& ctx) {
  return ctx.redondeo == 1 ? ROUND6(net, ctx.decimales, ctx.decimal_5) : net;
}

namespace {

std::string Utf8(const std::string& s) {
  return xb::ToUtf8(RTrim(s));
}

bool VacationCosted(const ColumnType& def) {
  return def.vac_pagada == 1 && def.vac_costo == 1;
}

class EmployeeRun {
 public:
  EmployeeRun(const SapEmployeeInput& in, const SapDeptContext& ctx)
      : in_(in), ctx_(ctx), expense_(ctx.booking == SapBooking::kExpense) {}

  SapEmployeeResult Run() {
    for (const auto& c : in_.columns)
      if (c.categoria == "01") Income(c);
    for (const auto& c : in_.columns)
      if (c.categoria == "03") Deduction(c, &out_.r);
    for (const auto& c : in_.columns)
      if (c.categoria == "02") Deduction(c, &out_.d);
    out_.net = SapNetRounding(out_.s + out_.n - (out_.d + out_.r), ctx_);
    return std::move(out_);
  }

 private:
  EmployeeInput Base(const SapColumnInput& c) const {
    EmployeeInput e;
    e.valor = c.valor;
    e.factor = c.factor;
    e.constante = c.constante;
    e.limite = c.limite;
    e.porcentaje = c.valor;
    e.total_salario = expense_ ? out_.s : in_.tot_sal;
    e.schedule_factor = in_.schedule_factor;
    e.dias_laborados = in_.dias_laborados;
    e.ajuste_vacaciones = c.ajuste_vacaciones;
    e.f_ingreso = in_.f_ingreso;
    e.f_retiro = in_.f_retiro;
    e.sal_comple = in_.sal_comple;
    e.inc_cont = in_.inc_cont;
    const ColumnType& def = c.clase->definition();
    if (!RTrim(def.col_base).empty())
      for (const auto& o : in_.columns)
        if (PadRight(o.columna, 2) == PadRight(def.col_base, 2)) e.valor_col_base = o.valor;
    if (def.tipo == 1 || def.tipo == 3) {
      // One payroll's share of the value (N_EMISION or CANTIDAD of the
      // payroll type when the column divides); the daily cost of a
      // prorated salary is on the undivided value.
      e.valor = c.valor / PeriodDivisor(ctx_.tipo, def);
      e.costo_dia = DailyCost(c.valor, ctx_.has_tipo ? &ctx_.tipo : nullptr, def);
    }
    return e;
  }

  bool Usable(const SapColumnInput& c) {
    if (c.type_missing && Mapped(c.columna))
      Problem(c, "No existe el tipo de columna " + c.columna + " del empleado " + Utf8(in_.nombre));
    if (!c.clase) return false;
    // The distribution leaves out what pays nothing.
    const ColumnType& def = c.clase->definition();
    return !(expense_ && def.info == 1 && !VacationCosted(def));
  }

  // The amounts of a column as paid: the stored total, split as an
  // absolute value splits it.
  static ColumnAmounts AsPaid(const SapColumnInput& c) {
    ColumnAmounts a;
    a.total = c.paid;
    a.valor = c.valor;
    a.factor = c.factor;
    const ColumnType& def = c.clase->definition();
    if (def.tipo == 1) (def.deducible == 1 ? a.deducible : a.no_deducible) = a.total;
    return a;
  }

  // A journal column pays whole cents, as the payroll keeps its totals; so
  // the lines of one employee, of a department and of all add up to the
  // same cent.
  ColumnAmounts Computed(const SapColumnInput& c) const {
    ColumnAmounts a = c.clase->GET();
    if (expense_) return a;
    a.total = RoundHalfAway(a.total, 2);
    a.deducible = RoundHalfAway(a.deducible, 2);
    a.no_deducible = RoundHalfAway(a.no_deducible, 2);
    return a;
  }

  void Income(const SapColumnInput& c) {
    if (!Usable(c)) return;
    if (!c.has_paid) c.clase->PUT(Base(c));
    const ColumnAmounts a = c.has_paid ? AsPaid(c) : Computed(c);
    const ColumnType& def = c.clase->definition();
    double deducible = a.deducible, no_deducible = a.no_deducible;
    // Only absolute values split their amount; an income computed as a
    // percentage or a composite item (a bonus by salary steps) is still paid
    // and counts by its DEDUCIBLE mark, unless it is informative. The
    // distribution also books an absolute value's total that was not split
    // (an informative column's vacation adjustment).
    const bool whole = expense_ ? def.tipo != 1 || (deducible == 0 && no_deducible == 0)
                                : def.tipo != 1 && def.info != 1;
    if (whole) (def.deducible == 1 ? deducible : no_deducible) = a.total;
    out_.s += deducible;
    out_.n += no_deducible;
    (def.dividir == 1 ? divisible_ : no_divisible_) += deducible;
    Booked(c, deducible + no_deducible);
    Record(c, a, a.total);
  }

  void Deduction(const SapColumnInput& c, double* sum) {
    if (!Usable(c)) return;
    if (c.has_paid) {
      const ColumnAmounts a = AsPaid(c);
      *sum -= a.total;
      Booked(c, -a.total);
      Record(c, a, -a.total);
      return;
    }
    EmployeeInput e = Base(c);
    const ColumnType& def = c.clase->definition();
    if (def.tipo == 2) {
      e.valor = out_.s;
      e.total_salario = out_.s + out_.n;
    } else if (def.tipo == 3 && ctx_.tax_base) {
      IncomeInput ii;
      ii.salario = out_.s;
      ii.divisible = divisible_;
      ii.no_divisible = no_divisible_;
      e.valor = ctx_.tax_base(in_, c, ii, dynamic_cast<VAL_COMP*>(c.clase));
    }
    c.clase->PUT(e);
    const ColumnAmounts a = Computed(c);
    // The value classes give a deduction a negative amount; the journal
    // books and sums what is withheld.
    const double amount = -a.total;
    *sum += amount;
    Booked(c, amount);
    Record(c, a, amount);
  }

  bool Mapped(const std::string& col) const { return !ctx_.mapped || ctx_.mapped->count(col) > 0; }

  void Booked(const SapColumnInput& c, double amount) {
    if (ctx_.on_column) ctx_.on_column(c, amount);
  }

  void Record(const SapColumnInput& c, const ColumnAmounts& a, double amount) {
    if (expense_ || !Mapped(c.columna)) return;
    const ColumnType& def = c.clase->definition();
    double r1 = ctx_.r1;
    if (r1 == 0) {
      Problem(c, "Falta el tipo de cambio hacia la moneda del asiento para el empleado " +
                     Utf8(in_.nombre) + ", columna " + c.columna);
      return;
    }
    double r2 = 1;
    if (def.info == 1 && !RTrim(def.moneda2).empty() && ctx_.r2) {
      r2 = ctx_.r2(def.moneda2);
      if (r2 == 0) {
        Problem(c, "Falta el tipo de cambio a " + Utf8(def.moneda2) + " para el empleado " +
                       Utf8(in_.nombre) + ", columna " + c.columna);
        return;
      }
    }
    const double rate = r1 * r2;
    SapAmounts s;
    // The amount is booked as paid: a paid-vacation amount is money like any
    // other, only its days (the fifth result) follow the schedule.
    s.r[0] = amount * rate;
    s.r[1] = def.factor == 1 ? a.valor : a.valor * rate;
    s.r[2] = a.factor * rate;
    s.r[3] = a.constante * rate;
    s.r[4] = a.grupo[0];
    if (def.vac_pagada == 1 && in_.schedule_factor != 0) s.r[4] /= in_.schedule_factor;
    out_.columns[c.columna].Add(s);
  }

  void Problem(const SapColumnInput& c, const std::string& text) {
    for (const auto& p : out_.problems)
      if (p.text == text) return;
    out_.problems.push_back({Utf8(in_.nombre), c.columna, text});
  }

  const SapEmployeeInput& in_;
  const SapDeptContext& ctx_;
  const bool expense_;
  SapEmployeeResult out_;
  // The salary income of the columns that divide over the period, and of
  // those that do not: the income-tax base of composite withholdings.
  double divisible_ = 0, no_divisible_ = 0;
};

}  // namespace

SapEmployeeResult ComputeSapEmployee(const SapEmployeeInput& in, const SapDeptContext& ctx) {
  return EmployeeRun(in, ctx).Run();
}

double SapVacationAdjustment(const SapColumnInput& c, const std::string& empleado,
                             std::unique_ptr<CALC_VAC>& vac,
                             const std::function<std::unique_ptr<CALC_VAC>()>& make) {
  if (!c.clase || c.categoria != "01" || c.valor == 0 || !VacationCosted(c.clase->definition()))
    return 0;
  if (!vac) vac = make();
  if (!vac->CALCULAR(empleado, c.valor, c.factor).ok()) return 0;
  return vac->GET_AJUSTE_POR_VACACIONES();
}

}  // namespace qz
