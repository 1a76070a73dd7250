#include "lib/payroll/value_classes.h"

#include <algorithm>
#include <cmath>

#include "lib/payroll/money.h"

namespace qz {
namespace {

double Finite(double x) {
  return std::isfinite(x) ? x : 0;
}

}  // namespace

void ColumnAmounts::Add(const ColumnAmounts& o) {
  total += o.total;
  valor += o.valor;
  factor += o.factor;
  constante += o.constante;
  for (int i = 0; i < 4; ++i) grupo[i] += o.grupo[i];
  deducible += o.deducible;
  no_deducible += o.no_deducible;
}

void ColumnValue::PUT(const EmployeeInput& in) {
  cur_ = def_.desactivar == 1 ? ColumnAmounts{} : Compute(in);
  // Whatever the inputs, nothing that is not a number leaves this class.
  cur_.total = Finite(cur_.total);
  cur_.valor = Finite(cur_.valor);
  cur_.factor = Finite(cur_.factor);
  cur_.constante = Finite(cur_.constante);
  for (double& g : cur_.grupo) g = Finite(g);
  cur_.deducible = Finite(cur_.deducible);
  cur_.no_deducible = Finite(cur_.no_deducible);
  tot_.Add(cur_);
  ++count_;
}

void ColumnValue::CLEAR() {
  cur_ = ColumnAmounts{};
  tot_ = ColumnAmounts{};
  count_ = 0;
}

bool ColumnValue::PeriodOk() const {
  return def_.ver_period != 1 || ctx_.periodo == def_.num_period;
}

void ColumnValue::AddToGroups(double amount, ColumnAmounts* r) const {
  for (int i = 0; i < 4; ++i)
    if (def_.agrupar[i] == 1) r->grupo[i] += amount;
}

// --- VAL_ABS

double DailyCost(double valor_base, const PayrollType* tipo, const ColumnType& columna) {
  if (!std::isfinite(valor_base)) return 0;
  if (!tipo) return valor_base / 30;
  if (tipo->tipo == 0) return valor_base / tipo->MesComercial();
  double divisor = 1;
  if (columna.dividir == 1) divisor = tipo->tipo == 1 ? tipo->n_emision : tipo->cantidad;
  if (divisor <= 0 || tipo->cantidad <= 0) return valor_base / tipo->MesComercial();
  return valor_base / divisor / tipo->cantidad;
}

double VAL_ABS::Prorate(double value, const EmployeeInput& in) const {
  if (def_.val_base != 1 || in.sal_comple != 0) return value;
  const int32_t d = ctx_.fecha, s = ctx_.fecha_inicio, e = in.f_ingreso, r = in.f_retiro;
  const double c = in.costo_dia > 0 ? in.costo_dia : DailyCost(value, &ctx_.tipo, def_);
  if (s == 0 && e <= d && ctx_.tipo.tipo == 0) {
    double v = (d - e + 1) * c;
    if (v < value) value = v;
  } else if (s == 0 && e <= d && ctx_.tipo.tipo == 1) {
    value = (d - e) <= ctx_.tipo.cantidad ? (d - e) * c : ctx_.tipo.cantidad * c;
  } else if (s != 0 && s < e && e <= d) {
    value = (d - e + 1) * c;
  } else if (s != 0 && r != 0 && s < r && r < d) {
    value = (r - s) * c;
  }
  return value;
}

double VAL_ABS::Amount(double value, double factor, const EmployeeInput& in) const {
  if (def_.calc_dif != 1) return value * factor * AbsoluteSign();
  if (value == 0) return 0;
  double cut = in.schedule_factor * def_.corte;
  double antes = in.inc_cont == 1 ? 0 : std::min(value, cut) * def_.porc_antes / 100;
  double despues = std::max(value - cut, 0.0) * def_.porc_desp / 100;
  return (antes + despues) * factor * AbsoluteSign();
}

ColumnAmounts VAL_ABS::Compute(const EmployeeInput& in) const {
  ColumnAmounts r;
  if (def_.info == 1 && def_.vac_pagada == 1 && def_.vac_costo == 1) {
    r.total = in.ajuste_vacaciones;
    return r;
  }
  if ((def_.info == 1 || (def_.val_base == 1 && ctx_.depto_hora == 1)) && !ctx_.informativo)
    return r;

  double factor = def_.factor != 1 ? 1 : (def_.fac_x_def == 1 ? def_.valor_2 : in.factor);
  double constante = 0;
  if (def_.factor_4 == 1) constante = def_.edit_f4 == 1 ? in.constante : def_.fact4_xdef;
  double value = in.valor;
  if (!PeriodOk()) value = factor = 0;

  double prorated = Prorate(value, in);
  // Divided by the days worked: any column that carries the flag, not only
  // the base salary.
  if (def_.div_dias == 1) prorated = prorated / ctx_.tipo.MesComercial() * in.dias_laborados;
  r.valor = prorated;
  r.factor = factor;
  r.constante = constante;
  r.total = Amount(prorated, factor, in);
  (def_.deducible == 1 ? r.deducible : r.no_deducible) = r.total;
  for (int i = 0; i < 4; ++i) {
    if (def_.agrupar[i] != 1) continue;
    bool base365 = ctx_.bonus && ctx_.bonus->divide[i];
    r.grupo[i] += base365 ? Amount(value, factor, in) : r.total;
  }
  return r;
}

// --- PORCENT

ColumnAmounts PORCENT::Compute(const EmployeeInput& in) const {
  ColumnAmounts r;
  double pct = def_.val_x_def == 1 ? def_.valor : in.porcentaje;
  double base = def_.tipo_monto == 1   ? in.total_salario - in.valor
                : def_.tipo_monto == 2 ? in.total_salario
                                       : in.valor;
  double amount = base * pct / 100;
  if (def_.limite == 1 && in.limite != 0 && amount > in.limite) amount = in.limite;
  amount *= PeriodOk() ? Sign() : 0;
  r.valor = base;
  r.factor = RoundHalfAway(pct, 2);
  r.total = RoundHalfAway(amount, 2);
  AddToGroups(r.total, &r);
  return r;
}

// --- VAL_COMP

void VAL_COMP::PUT_2(bool dividir, double n_dividir, bool fin_p, double tot_renta) {
  dividir_ = dividir;
  n_dividir_ = n_dividir;
  fin_p_ = fin_p;
  tot_renta_ = tot_renta;
}

double VAL_COMP::TableAmount(double b, const EmployeeInput& in) const {
  const auto& br = def_.brackets;
  double result = 0;
  switch (def_.tipo_tabla) {
    case 1:  // cumulative progressive table
      for (const Bracket& k : br) {
        if (k.rango_f <= b) {
          result += std::max(k.rango_f - k.rango_i, 0.0) * k.porcentaje / 100;
        } else {
          result += std::max(b - k.rango_i, 0.0) * k.porcentaje / 100;
          break;
        }
      }
      break;
    case 2:
      b -= b * def_.resta_comp / 100;
      // Rows meet at their bounds; an amount on a shared bound belongs to
      // the first row that holds it, not to both.
      for (const Bracket& k : br) {
        if (k.rango_i <= b && b <= k.rango_f) {
          result = (b - k.rango_i) * k.porcentaje / 100 + k.valor_2;
          break;
        }
      }
      break;
    case 3: {
      if (in.factor != 0 || tasa_ == 0) break;
      const double base = in.valor_col_base / tasa_;  // into the type's currency
      for (const Bracket& k : br) {
        if (k.rango_i <= base && base <= k.rango_f) {
          result = k.valor_2;
          break;
        }
      }
      break;
    }
    default:
      break;
  }
  return result;
}

ColumnAmounts VAL_COMP::Compute(const EmployeeInput& in) const {
  ColumnAmounts r;
  // Without a rate there is no amount in the type's currency to look up.
  double result = tasa_ != 0 ? TableAmount(in.valor / tasa_, in) : 0;
  if (result > 0) {
    // A period of 0 payrolls (a payroll type without CANTIDAD) counts as one,
    // so the tax is never divided by zero.
    double n = n_dividir_ > 0 ? n_dividir_ : 1;
    if (def_.tipo_tabla == 3 || !fin_p_) {
      if (dividir_) result /= n;
      result = result * tasa_ - in.factor / n;
    } else {
      // What was withheld earlier in the period is in the payroll's currency.
      result = result * tasa_ - tot_renta_ - in.factor;
    }
    if (result < 0) result = 0;
  }
  r.valor = in.valor;
  r.factor = in.factor;
  r.total = result * (PeriodOk() ? Sign() : 0);
  AddToGroups(r.total, &r);
  return r;
}

std::unique_ptr<ColumnValue> MakeColumnValue(ColumnType def, PayrollContext ctx, double tasa) {
  switch (def.tipo) {
    case 1:
      return std::make_unique<VAL_ABS>(std::move(def), ctx);
    case 2:
      return std::make_unique<PORCENT>(std::move(def), ctx);
    case 3:
      return std::make_unique<VAL_COMP>(std::move(def), ctx, tasa);
    default:
      return nullptr;
  }
}

}  // namespace qz
