#include "lib/accounting/expense_pay.h"

#include "lib/accounting/expense_accounts.h"
#include "lib/payroll/calc_vac.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/income.h"
#include "lib/payroll/money.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/value_loader.h"
#include "lib/settings/globals.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qz {
namespace {

using consolidation::Raw;
using consolidation::RowsOf;

const char* const kTables[] = {"ENC_PERS", "DET_PERS", "DET_DEPT", "ENC_TIP", "DET_TIP",
                               "TIP_PLA",  "TIEMPO_E", "ENC_DEPT", "H_E_DEPT", "H_E_PERS",
                               "H_D_PERS", "T_CAMBIO", "DET_PER3", "F_PLAN"};

std::string Key(const std::string& utf8, size_t width) {
  return PadRight(xb::FromUtf8(utf8), width);
}

}  // namespace

ExpenseTables::ExpenseTables() {
  for (const char* name : kTables) tables_[name] = USE(nullptr, name);
}

ExpenseTables::~ExpenseTables() {
  for (auto& [name, t] : tables_) KILLTABLA(t);
}

xb::Table& ExpenseTables::operator[](const std::string& name) { return tables_.at(name)->table(); }

ExpenseDepartment ReadExpenseDepartment(xb::Table& enc_dept, xb::Table& tip_pla,
                                        const std::string& negocio, const std::string& depto) {
  ExpenseDepartment d;
  const std::string n = Key(negocio, 15);
  d.codigo = depto;
  d.codigo.erase(d.codigo.find_last_not_of(' ') + 1);
  if (!Lookup(enc_dept, "ENC_DEPT", n + Key(d.codigo, 15))) return d;
  d.found = true;
  d.descrip = ExpenseText(enc_dept, "DESCRIP");
  d.moneda = ExpenseText(enc_dept, "MONEDA");
  d.liga_cont = ExpenseText(enc_dept, "LIGA_CONT");
  d.cred_ret = ExpenseText(enc_dept, "CRED_RET");
  d.deb_ret = ExpenseText(enc_dept, "DEB_RET");
  d.depto_hora = IntField(enc_dept, "DEPTO_HORA");
  if (Lookup(tip_pla, "TIP_PLA", n + PadRight(Raw(enc_dept, "TIPO"), 2)))
    d.tipo_found = ReadPayrollType(tip_pla, &d.tipo).ok();
  return d;
}

double EmployeePay::Net() const { return RoundHalfAway(s + n - (d + r) - ret_acum, 2); }

bool EmployeeIncluded(ExpenseTables& t, const std::string& negocio, int32_t fecha) {
  xb::Table& e = t["ENC_PERS"];
  const int32_t ingreso = DateField(e, "F_INGRESO");
  if (ingreso > fecha) return false;
  if (IntField(e, "ACTIVO") == 1) return true;
  const int32_t retiro = DateField(e, "F_RETIRO");
  if (retiro == 0 || retiro > fecha || IntField(e, "INMEDIATO") == 1) return false;
  xb::Table& lines = t["H_E_PERS"];
  if (!Lookup(lines, "H_E_PERS7", Key(negocio, 15) + Raw(e, "CODIGO"))) return false;
  return retiro > DateField(lines, "FECHA");
}

ExpensePayCalculator::ExpensePayCalculator(ExpenseTables& tables, const std::string& negocio,
                                           const ExpenseDepartment& depto, int32_t fecha)
    : t_(tables), negocio_(Key(negocio, 15)), depto_(depto), fecha_(fecha) {
  xb::Table& dd = t_["DET_DEPT"];
  const std::string prefix = negocio_ + Key(depto_.codigo, 15);
  if (dd.SetOrder("DET_DEPT4").ok() && dd.Seek(xb::Value::Char(prefix), true).ok()) {
    for (; !dd.Eof(); (void)dd.Skip(1)) {
      auto key = dd.CurrentKey();
      if (!key.ok() || key->compare(0, prefix.size(), prefix) != 0) break;
      std::string col = ExpenseText(dd, "COD_COLUMN");
      columns_.emplace(col, DeptColumn{ExpenseText(dd, "TIPO"), ExpenseText(dd, "LIGA_CONTA")});
    }
  }
  xb::Table& te = t_["TIEMPO_E"];
  if (te.SetOrder("TIEMPO_E").ok() && te.Seek(xb::Value::Char(negocio_), true).ok())
    for (; !te.Eof() && Raw(te, "NEGOCIO") == negocio_; (void)te.Skip(1))
      schedules_[ExpenseText(te, "CODIGO")] = NumField(te, "FACTOR");
}

ExpensePayCalculator::~ExpensePayCalculator() = default;

ColumnValue* ExpensePayCalculator::Class(const std::string& columna) {
  auto it = classes_.find(columna);
  if (it != classes_.end()) return it->second.get();
  PayrollContext ctx;
  ctx.fecha = fecha_;
  ctx.tipo = depto_.tipo;
  ctx.depto_hora = depto_.depto_hora;
  ColumnRequest r{xb::ToUtf8(negocio_), depto_.codigo, columna, false, depto_.moneda};
  ColumnTables tables{&t_["ENC_TIP"], &t_["DET_TIP"], &t_["H_E_DEPT"], &t_["T_CAMBIO"], nullptr};
  auto made = OpenColumnValue(r, tables, ctx);
  return (classes_[columna] = made.ok() ? std::move(*made) : nullptr).get();
}

const ExpensePayCalculator::ColumnInfo& ExpensePayCalculator::Info(const std::string& columna) {
  auto it = info_.find(columna);
  if (it != info_.end()) return it->second;
  ColumnInfo info{columna, false};
  xb::Table& tip = t_["ENC_TIP"];
  if (Lookup(tip, "ENC_TIP", negocio_ + PadRight(xb::FromUtf8(columna), 2))) {
    info.descrip = ExpenseText(tip, "DESCRIP");
    info.individual = IntField(tip, "CONTA_IND") == 1;
  }
  return info_[columna] = info;
}

double ExpensePayCalculator::Divisor(const ColumnType& t) const {
  if (t.dividir != 1) return 1;
  const double d = depto_.tipo.tipo == 1 ? depto_.tipo.n_emision : depto_.tipo.cantidad;
  return d > 0 ? d : 1;
}

double ExpensePayCalculator::VacationAdjustment(const std::string& empleado, const Value& v) {
  if (!vac_) {
    CALC_VAC::Bases bases{};
    bases[CALC_VAC::kEncPers] = &t_["ENC_PERS"];
    vac_ = std::make_unique<CALC_VAC>(xb::ToUtf8(negocio_), nullptr, bases, fecha_);
  }
  if (!vac_->CALCULAR(empleado, v.valor, v.factor).ok()) return 0;
  return vac_->GET_AJUSTE_POR_VACACIONES();
}

EmployeePay ExpensePayCalculator::Compute() {
  EmployeePay pay;
  xb::Table& e = t_["ENC_PERS"];
  const std::string code = Raw(e, "CODIGO");
  const std::string empleado = xb::ToUtf8(consolidation::Trimmed(code));
  pay.ret_acum = NumField(e, "RET_ACUM");

  std::vector<Value> values;
  std::vector<LineValue> line;
  xb::Table& dp = t_["DET_PERS"];
  const std::string key = negocio_ + code;
  if (dp.SetOrder("DET_PERS").ok() && dp.Seek(xb::Value::Char(key), true).ok()) {
    for (; !dp.Eof(); (void)dp.Skip(1)) {
      if (Raw(dp, "NEGOCIO") + Raw(dp, "CODIGO") != key) break;
      Value v;
      v.columna = ExpenseText(dp, "COD_COLUMN");
      v.valor = NumField(dp, "VALOR_1");
      v.factor = NumField(dp, "FACTOR");
      v.factor_4 = NumField(dp, "FACTOR_4");
      v.limite = NumField(dp, "LIMITE");
      v.centro_ind = IntField(dp, "CENTRO_IND") == 1;
      v.cuenta_con = xb::ToUtf8(Raw(dp, "CUENTA_CON"));
      v.afecta_debito = IntField(dp, "AFECTA_CON") != 0;
      values.push_back(v);
      line.push_back({v.columna, v.valor, v.factor});
    }
  }

  LineFacts facts;
  facts.f_ingreso = DateField(e, "F_INGRESO");
  facts.f_retiro = DateField(e, "F_RETIRO");
  facts.inc_cont = IntField(e, "INC_CONT");
  facts.sal_comple = IntField(e, "SAL_COMPLE");
  auto schedule = schedules_.find(ExpenseText(e, "COD_TIEMPO"));
  facts.schedule_factor = schedule == schedules_.end() ? 0 : schedule->second;
  // Days worked: the hours of the salary columns over the schedule.
  std::vector<HoursColumn> hours;
  for (const Value& v : values) {
    auto dc = columns_.find(v.columna);
    ColumnValue* k = dc == columns_.end() ? nullptr : Class(v.columna);
    if (k) hours.push_back({&k->definition(), dc->second.categoria, v.valor});
  }
  facts.dias_laborados = DaysWorked(hours, depto_.depto_hora, depto_.tipo, facts.schedule_factor);

  double divisible = 0, no_divisible = 0;
  // Income first: the deductions' percentages and tax base are taken on it.
  for (const char* categoria : {"01", "03", "02"}) {
    const bool income = categoria[1] == '1';
    for (const Value& v : values) {
      auto dc = columns_.find(v.columna);
      if (dc == columns_.end() || dc->second.categoria != categoria) continue;
      ColumnValue* k = Class(v.columna);
      if (!k) continue;
      const ColumnType& def = k->definition();
      const bool vacation = def.vac_pagada == 1 && def.vac_costo == 1;
      // Informative columns pay nothing; a vacation-costed one carries the
      // vacation adjustment.
      if (def.info == 1 && !vacation) continue;
      facts.tot_sal = pay.s;
      EmployeeInput in = LineInput(def, line, {v.columna, v.valor, v.factor}, facts);
      in.constante = v.factor_4;
      in.limite = v.limite;
      if (def.tipo == 1) {
        in.valor = v.valor / Divisor(def);
        if (vacation && v.valor != 0) in.ajuste_vacaciones = VacationAdjustment(empleado, v);
      } else if (def.tipo == 2 && !income) {
        in.valor = pay.s;
        in.total_salario = pay.s + pay.n;
      } else if (def.tipo == 3 && !income) {
        IncomeTables it{&t_["TIP_PLA"], &t_["H_E_DEPT"], &t_["H_E_PERS"], &t_["H_D_PERS"],
                        &t_["ENC_DEPT"]};
        IncomeInput ii;
        ii.fecha = fecha_;
        ii.divisible = divisible;
        ii.no_divisible = no_divisible;
        ii.salario = pay.s;
        in.valor = OBTENER_SALARIO(xb::ToUtf8(negocio_), it, ii, def, depto_.codigo, empleado,
                                   dynamic_cast<VAL_COMP*>(k), v.columna);
      } else if (def.tipo == 3) {
        in.valor = v.valor / Divisor(def);
      }
      k->PUT(in);
      const ColumnAmounts& got = k->GET();
      double amount = 0;
      if (income) {
        // An absolute value splits itself into the deductible and the
        // non-deductible part; any other kind is one or the other as a whole.
        double s_part = got.deducible, n_part = got.no_deducible;
        if (def.tipo != 1 || (s_part == 0 && n_part == 0))
          (def.deducible == 1 ? s_part : n_part) = got.total;
        pay.s += s_part;
        pay.n += n_part;
        (def.dividir == 1 ? divisible : no_divisible) += s_part;
        amount = s_part + n_part;
      } else {
        amount = -got.total;
        (categoria[1] == '3' ? pay.r : pay.d) += amount;
      }
      if (amount == 0) continue;
      ColumnAmount c;
      c.columna = v.columna;
      const ColumnInfo& info = Info(v.columna);
      c.descrip = info.descrip;
      c.individual = info.individual;
      c.categoria = categoria;
      c.liga = dc->second.liga;
      c.monto = amount;
      c.cuenta_con = v.cuenta_con;
      c.afecta_debito = v.afecta_debito;
      c.centro_ind = v.centro_ind;
      pay.columns.push_back(std::move(c));
    }
  }
  return pay;
}

}  // namespace qz
