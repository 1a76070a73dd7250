#include "lib/accounting/expense_pay.h"

#include "lib/accounting/expense_accounts.h"
#include "lib/accounting/sap_run.h"
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
  SapEmployeeStatus st;
  st.f_ingreso = DateField(e, "F_INGRESO");
  st.f_retiro = DateField(e, "F_RETIRO");
  st.activo = IntField(e, "ACTIVO");
  st.inmediato = IntField(e, "INMEDIATO");
  xb::Table& lines = t["H_E_PERS"];
  if (st.activo != 1 && Lookup(lines, "H_E_PERS7", Key(negocio, 15) + Raw(e, "CODIGO")))
    st.newest_line = DateField(lines, "FECHA");
  return SapIncluded(st, fecha);
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

EmployeePay ExpensePayCalculator::Compute() {
  EmployeePay pay;
  xb::Table& e = t_["ENC_PERS"];
  const std::string code = Raw(e, "CODIGO");
  const std::string empleado = xb::ToUtf8(consolidation::Trimmed(code));
  pay.ret_acum = NumField(e, "RET_ACUM");

  SapEmployeeInput in;
  in.codigo = code;
  in.f_ingreso = DateField(e, "F_INGRESO");
  in.f_retiro = DateField(e, "F_RETIRO");
  in.inc_cont = IntField(e, "INC_CONT");
  in.sal_comple = IntField(e, "SAL_COMPLE");
  auto schedule = schedules_.find(ExpenseText(e, "COD_TIEMPO"));
  in.schedule_factor = schedule == schedules_.end() ? 0 : schedule->second;
  // The employee's own booking of each column, by code.
  std::map<std::string, Value> own;
  xb::Table& dp = t_["DET_PERS"];
  const std::string key = negocio_ + code;
  if (dp.SetOrder("DET_PERS").ok() && dp.Seek(xb::Value::Char(key), true).ok()) {
    for (; !dp.Eof(); (void)dp.Skip(1)) {
      if (Raw(dp, "NEGOCIO") + Raw(dp, "CODIGO") != key) break;
      SapColumnInput c;
      c.columna = ExpenseText(dp, "COD_COLUMN");
      auto dc = columns_.find(c.columna);
      if (dc == columns_.end()) continue;
      c.categoria = dc->second.categoria;
      c.valor = NumField(dp, "VALOR_1");
      c.factor = NumField(dp, "FACTOR");
      c.constante = NumField(dp, "FACTOR_4");
      c.limite = NumField(dp, "LIMITE");
      c.clase = Class(c.columna);
      c.ajuste_vacaciones = SapVacationAdjustment(c, empleado, vac_, [&] {
        CALC_VAC::Bases bases{};
        bases[CALC_VAC::kEncPers] = &t_["ENC_PERS"];
        return std::make_unique<CALC_VAC>(xb::ToUtf8(negocio_), nullptr, bases, fecha_);
      });
      Value& v = own[c.columna];
      v.centro_ind = IntField(dp, "CENTRO_IND") == 1;
      v.cuenta_con = xb::ToUtf8(Raw(dp, "CUENTA_CON"));
      v.afecta_debito = IntField(dp, "AFECTA_CON") != 0;
      in.columns.push_back(std::move(c));
    }
  }
  // Days worked: the hours of the salary columns over the schedule.
  std::vector<HoursColumn> hours;
  for (const SapColumnInput& c : in.columns)
    if (c.clase) hours.push_back({&c.clase->definition(), c.categoria, c.valor});
  in.dias_laborados = DaysWorked(hours, depto_.depto_hora, depto_.tipo, in.schedule_factor);

  SapDeptContext ctx;
  ctx.booking = SapBooking::kExpense;
  ctx.tipo = depto_.tipo;
  ctx.has_tipo = depto_.tipo_found;
  ctx.tax_base = [&](const SapEmployeeInput&, const SapColumnInput& c, IncomeInput ii,
                     VAL_COMP* k) {
    IncomeTables it{&t_["TIP_PLA"], &t_["H_E_DEPT"], &t_["H_E_PERS"], &t_["H_D_PERS"],
                    &t_["ENC_DEPT"]};
    ii.fecha = fecha_;
    return OBTENER_SALARIO(xb::ToUtf8(negocio_), it, ii, k->definition(), depto_.codigo, empleado,
                           k, c.columna);
  };
  ctx.on_column = [&](const SapColumnInput& c, double amount) {
    if (amount == 0) return;
    const ColumnInfo& info = Info(c.columna);
    const Value& v = own[c.columna];
    ColumnAmount a;
    a.columna = c.columna;
    a.descrip = info.descrip;
    a.individual = info.individual;
    a.categoria = c.categoria;
    a.liga = columns_[c.columna].liga;
    a.monto = amount;
    a.cuenta_con = v.cuenta_con;
    a.afecta_debito = v.afecta_debito;
    a.centro_ind = v.centro_ind;
    pay.columns.push_back(std::move(a));
  };
  const SapEmployeeResult r = ComputeSapEmployee(in, ctx);
  pay.s = r.s;
  pay.n = r.n;
  pay.r = r.r;
  pay.d = r.d;
  return pay;
}

}  // namespace qz
