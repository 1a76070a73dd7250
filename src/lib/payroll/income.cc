#include "lib/payroll/income.h"

#include <cmath>
#include <deque>

#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/table_position.h"
#include "lib/payroll/value_classes.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

double ProjectMonthlyIncome(const MonthIncome& m, const IncomeInput& in, const PayrollType& tipo,
                            int tipo_tabla, VAL_COMP* clase) {
  const double p = m.p, nd = in.no_divisible, dv = in.divisible;
  const double adic = in.sumar_adicional ? in.adicional : 0;
  if (tipo_tabla == 3) {
    int k = m.count + 1;
    return p + nd + dv + dv * (tipo.cantidad - k);
  }
  if (tipo.tipo == 0) {
    int k = m.count + 1;  // this payroll counts too
    bool last = k == tipo.cantidad;
    if (tipo.renta == 1) {
      if (clase) clase->PUT_2(false, tipo.cantidad, last, 0);
      return last ? p + in.salario + adic : 0;
    }
    if (clase) {
      if (tipo.renta == 2)
        clase->PUT_2(false, tipo.cantidad, true, m.w);
      else
        clase->PUT_2(true, tipo.cantidad, last, m.w);
    }
    return p + nd + dv + dv * (tipo.cantidad - k) + adic;
  }
  if (tipo.tipo == 1) {
    if (tipo.renta == 1) {
      Ymd d = ToYmd(in.fecha), e = ToYmd(in.fecha + static_cast<int32_t>(tipo.cantidad));
      if (d.m == e.m && d.y == e.y) return 0;
      if (clase) clase->PUT_2(false, 0, true, 0);
      return p + (p > 0 ? in.salario : 0) + in.adicional;
    }
    int n = WeekdaysInMonth(in.fecha, tipo.dia_pago);
    int k = 1 + m.count;
    int r = n - k;
    if (clase) {
      if (tipo.renta == 2)
        clase->PUT_2(false, n, true, m.w);
      else
        clase->PUT_2(true, n, r == 0, m.w);
    }
    return p + nd + dv + dv * r + in.adicional;
  }
  return 0;
}

namespace {

// The month's payrolls of the department for the employee: those dated
// before `fecha` when `before_only`, else all of the month but, when
// `excluir`, the one dated exactly `fecha`.
MonthIncome GatherMonth(const std::string& negocio, const IncomeTables& t, const std::string& depto,
                        const std::string& empleado, const std::string& columna, int32_t fecha,
                        bool excluir, bool before_only, double* salario_linea) {
  MonthIncome m;
  const std::string n = PadRight(negocio, 15), d = PadRight(depto, 15), e = PadRight(empleado, 15),
                    c = PadRight(columna, 2);
  Ymd ymd = ToYmd(fecha);
  std::string dtos = xb::DtosFromJulian(fecha);
  xb::Table& h = *t.h_e_dept;
  if (!SeekOn(h, "H_E_DEPT", n + d + dtos.substr(0, 4) + Str(ymd.m, 2), true).ok()) return m;
  for (bool more = true; more && !h.Eof(); more = h.Skip().ok()) {
    Ymd f = ToYmd(DateField(h, "FECHA"));
    if (PadRight(StrField(h, "NEGOCIO"), 15) != n || PadRight(StrField(h, "CODIGO"), 15) != d ||
        f.y != ymd.y || f.m != ymd.m)
      break;
    int32_t fj = DateField(h, "FECHA");
    if (fj == fecha && salario_linea && Lookup(*t.h_e_pers, "H_E_PERS8", n + e + dtos))
      *salario_linea = NumField(*t.h_e_pers, "TOT_SAL");
    if ((before_only && fj >= fecha) || (excluir && fj == fecha)) continue;
    std::string fd = xb::DtosFromJulian(fj);
    if (Lookup(*t.h_e_pers, "H_E_PERS8", n + e + fd))
      m.p += NumField(*t.h_e_pers, "TOT_SAL") + NumField(*t.h_e_pers, "ADIC_RENTA");
    // Deductions are stored with their sign; what was withheld is the amount.
    if (Lookup(*t.h_d_pers, "H_D_PERS", n + e + c + fd))
      m.w += std::fabs(NumField(*t.h_d_pers, "TOTAL"));
    ++m.count;
  }
  return m;
}

}  // namespace

double OBTENER_SALARIO(const std::string& negocio, const IncomeTables& t, const IncomeInput& in,
                       const ColumnType& tipo_col, const std::string& depto,
                       const std::string& empleado, VAL_COMP* clase, const std::string& columna,
                       bool excluir_fecha) {
  if (!t.tip_pla || !t.h_e_dept || !t.h_e_pers || !t.h_d_pers || !t.enc_dept) return 0;
  std::deque<TablePosition> keep;
  for (xb::Table* x : {t.tip_pla, t.h_e_dept, t.h_e_pers, t.h_d_pers, t.enc_dept})
    keep.emplace_back(x);
  const std::string n = PadRight(negocio, 15);
  PayrollType tipo;
  if (!Lookup(*t.enc_dept, "ENC_DEPT", n + PadRight(depto, 15)) ||
      !Lookup(*t.tip_pla, "TIP_PLA", n + PadRight(StrField(*t.enc_dept, "TIPO"), 2)) ||
      !ReadPayrollType(*t.tip_pla, &tipo).ok())
    return 0;
  MonthIncome m =
      GatherMonth(negocio, t, depto, empleado, columna, in.fecha, excluir_fecha, false, nullptr);
  return ProjectMonthlyIncome(m, in, tipo, tipo_col.tipo_tabla, clase);
}

double HIST_OBTENER_SALARIO(const std::string& negocio, const IncomeTables& t,
                            const IncomeInput& in, const ColumnType& tipo_col,
                            const std::string& depto, const std::string& empleado, VAL_COMP* clase,
                            const std::string& columna) {
  if (!t.tip_pla || !t.h_e_dept || !t.h_e_pers || !t.h_d_pers) return 0;
  std::deque<TablePosition> keep;
  for (xb::Table* x : {t.tip_pla, t.h_e_dept, t.h_e_pers, t.h_d_pers}) keep.emplace_back(x);
  const std::string n = PadRight(negocio, 15), d = PadRight(depto, 15),
                    f = xb::DtosFromJulian(in.fecha);
  PayrollType tipo;
  if (!Lookup(*t.h_e_dept, "H_E_DEPT2", n + d + f) ||
      !Lookup(*t.tip_pla, "H_TIP_PL", n + d + PadRight(StrField(*t.h_e_dept, "TIPO"), 2) + f) ||
      !ReadPayrollType(*t.tip_pla, &tipo).ok())
    return 0;
  IncomeInput hin = in;
  hin.sumar_adicional = true;
  MonthIncome m =
      GatherMonth(negocio, t, depto, empleado, columna, in.fecha, false, true, &hin.salario);
  return ProjectMonthlyIncome(m, hin, tipo, tipo_col.tipo_tabla, clase);
}

}  // namespace qz
