#include "lib/payroll/payroll_line.h"

#include "lib/payroll/dates.h"
#include "lib/settings/globals.h"

namespace qz {

LineFacts ReadLineFacts(const xb::Table& p) {
  LineFacts facts;
  facts.tot_sal = NumField(p, "TOT_SAL");
  facts.f_ingreso = DateField(p, "F_INGRESO");
  facts.f_retiro = DateField(p, "F_RETIRO");
  facts.inc_cont = IntField(p, "INC_CONT");
  facts.sal_comple = IntField(p, "SAL_COMPLE");
  return facts;
}

EmployeeInput LineInput(const ColumnType& def, const std::vector<LineValue>& line,
                        const LineValue& value, const LineFacts& facts) {
  EmployeeInput in;
  in.valor = value.valor;
  in.factor = value.factor;
  in.porcentaje = value.valor;
  in.total_salario = facts.tot_sal;
  in.schedule_factor = facts.schedule_factor;
  in.dias_laborados = facts.dias_laborados;
  in.f_ingreso = facts.f_ingreso;
  in.f_retiro = facts.f_retiro;
  in.sal_comple = facts.sal_comple;
  in.inc_cont = facts.inc_cont;
  if (!RTrim(def.col_base).empty())
    for (const LineValue& v : line)
      if (PadRight(v.columna, 2) == PadRight(def.col_base, 2)) in.valor_col_base = v.valor;
  return in;
}

int PayrollsInMonth(const PayrollType& tipo, int32_t fecha) {
  int n = tipo.tipo == 1 ? WeekdaysInMonth(fecha, tipo.dia_pago)
                         : static_cast<int>(tipo.cantidad);
  return n > 0 ? n : 1;
}

double PeriodDivisor(const PayrollType& tipo, const ColumnType& columna) {
  if (columna.dividir != 1) return 1;
  const double d = tipo.tipo == 0 ? tipo.cantidad : tipo.tipo == 1 ? tipo.n_emision : 1;
  return d > 0 ? d : 1;
}

}  // namespace qz
