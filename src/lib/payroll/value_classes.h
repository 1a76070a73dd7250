// The value classes of payroll columns: VAL_ABS (absolute values), PORCENT
// (percentages) and VAL_COMP (composite items: bracket tables such as income
// tax). One object per column of a payroll; PUT gives it one employee's data,
// GET returns the amounts, and the object keeps running totals over the
// employees put so far. The column definition, the payroll context and the
// exchange rate are fixed at construction (see value_loader.h to build them
// from the tables), so PUT touches no table.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "lib/payroll/definitions.h"

namespace qz {

// Year-end bonus groups whose "Base 365" flag is set (F_PLAN DIVIDE_AG2 ..
// DIVIDE_AG5 for group totals 1..4).
struct BonusBase365 {
  std::array<bool, 4> divide{false, false, false, false};
};

// What the value classes know about the payroll being computed.
struct PayrollContext {
  int32_t fecha = 0;         // D, the payroll date
  int32_t fecha_inicio = 0;  // S, the payroll start date (0 = none)
  PayrollType tipo;          // the department's payroll type (or its copy)
  int depto_hora = 0;        // the department is paid by the hour
  // How many of the department's payrolls of the month, in date order, lie
  // up to this payroll's date (for the period restriction of a column).
  int periodo = 0;
  // The payroll parameters' bonus groups when the caller supplies them (the
  // year-end bonus computation); null otherwise.
  const BonusBase365* bonus = nullptr;
  // Return informative columns' values instead of zeros.
  bool informativo = false;
};

// One employee's data for a column.
struct EmployeeInput {
  double valor = 0;            // DET_PERS/H_D_PERS VALOR_1 (for PORCENT: the base given)
  double factor = 0;           // FACTOR
  double constante = 0;        // FACTOR_4
  double limite = 0;           // LIMITE: per-employee cap of a percentage
  double porcentaje = 0;       // PORCENT: the employee's percentage (VALOR_1 of the row)
  double total_salario = 0;    // PORCENT: the total salary
  double valor_col_base = 0;   // VAL_COMP table kind 3: the value in column COL_BASE
  double schedule_factor = 0;  // the employee's work-schedule FACTOR
  double dias_laborados = 0;
  double ajuste_vacaciones = 0;  // GET_AJUSTE_POR_VACACIONES for paid vacations
  int32_t f_ingreso = 0, f_retiro = 0;
  int sal_comple = 0;  // paid the complete salary: no proration
  int inc_cont = 0;
  // c, the employee's daily cost for the base-salary proration (DailyCost).
  // 0 or less means "not given": it is then derived from `valor` by the same
  // helper, so a forgotten cost never zeroes a prorated salary.
  double costo_dia = 0;
};

// The daily cost of an employee whose base-salary value for one payroll is
// `valor_base`: with a payroll type of kind 0, the value over the commercial
// month (MES_COMERC, 30 when 0); otherwise over CANTIDAD, first divided by
// N_EMISION (kind 1) or CANTIDAD (kind 0) when the column divides (DIVIDIR).
// No payroll type, or a divisor that is 0, falls back to the commercial month
// of 30 days: never infinity, never a negative cost from a negative divisor.
double DailyCost(double valor_base, const PayrollType* tipo, const ColumnType& columna);

// What GET returns for one employee (and, summed, the running totals).
struct ColumnAmounts {
  double total = 0;
  double valor = 0;
  double factor = 0;
  double constante = 0;
  std::array<double, 4> grupo{0, 0, 0, 0};
  double deducible = 0;     // VAL_ABS only
  double no_deducible = 0;  // VAL_ABS only
  void Add(const ColumnAmounts& o);
};

class ColumnValue {
 public:
  ColumnValue(ColumnType def, PayrollContext ctx) : def_(std::move(def)), ctx_(ctx) {}
  virtual ~ColumnValue() = default;

  // Computes the employee's amounts and adds them to the running totals.
  void PUT(const EmployeeInput& in);
  const ColumnAmounts& GET() const { return cur_; }
  const ColumnAmounts& Totals() const { return tot_; }
  int Count() const { return count_; }
  // Forgets the last employee and the running totals.
  void CLEAR();

  const ColumnType& definition() const { return def_; }
  const PayrollContext& context() const { return ctx_; }
  // Whether the period restriction lets the column count in this payroll.
  bool PeriodOk() const;
  // Percentages and composite items: -1 for a deduction (FACTOR_2 = 0), else
  // FACTOR_2 itself.
  double Sign() const { return def_.factor_2 == 0 ? -1.0 : def_.factor_2; }
  // Absolute values: -1 for a deduction, +1 whatever else FACTOR_2 holds.
  double AbsoluteSign() const { return def_.factor_2 == 0 ? -1.0 : 1.0; }

 protected:
  virtual ColumnAmounts Compute(const EmployeeInput& in) const = 0;
  void AddToGroups(double amount, ColumnAmounts* r) const;

  ColumnType def_;
  PayrollContext ctx_;

 private:
  ColumnAmounts cur_, tot_;
  int count_ = 0;
};

class VAL_ABS : public ColumnValue {
 public:
  using ColumnValue::ColumnValue;

 protected:
  ColumnAmounts Compute(const EmployeeInput& in) const override;

 private:
  double Prorate(double value, const EmployeeInput& in) const;
  double Amount(double value, double factor, const EmployeeInput& in) const;
};

class PORCENT : public ColumnValue {
 public:
  using ColumnValue::ColumnValue;

 protected:
  ColumnAmounts Compute(const EmployeeInput& in) const override;
};

class VAL_COMP : public ColumnValue {
 public:
  // `tasa`: multiplier from the column type's currency to the payroll's
  // (1 for the same currency, 0 when no rate exists). The brackets are in the
  // type's currency: the base goes into it (÷ tasa), the table applies, and
  // the result comes back (× tasa) before the payroll's own amounts (the
  // employee factor, tax already withheld) are subtracted.
  VAL_COMP(ColumnType def, PayrollContext ctx, double tasa)
      : ColumnValue(std::move(def), ctx), tasa_(tasa) {}

  // Told by the income-tax base routine (OBTENER_SALARIO): divide by the
  // payrolls of the period, how many there are, whether this payroll ends the
  // period, and the tax already withheld in it.
  void PUT_2(bool dividir, double n_dividir, bool fin_p, double tot_renta);
  bool DIVIDIR() const { return dividir_; }
  double N_DIVIDIR() const { return n_dividir_; }
  bool FIN_P() const { return fin_p_; }
  double TOT_RENTA() const { return tot_renta_; }

  // The bracket table applied to base `b`, in the type's currency (before
  // period division). Table kind 2 takes the first row that holds b, so a
  // bound shared by two rows counts once.
  double TableAmount(double b, const EmployeeInput& in) const;

 protected:
  ColumnAmounts Compute(const EmployeeInput& in) const override;

 private:
  double tasa_;
  bool dividir_ = false;
  double n_dividir_ = 1;
  bool fin_p_ = false;
  double tot_renta_ = 0;
};

// The value class for a column type's kind (1, 2 or 3); null for a separator
// line or an unknown kind.
std::unique_ptr<ColumnValue> MakeColumnValue(ColumnType def, PayrollContext ctx, double tasa);

}  // namespace qz
