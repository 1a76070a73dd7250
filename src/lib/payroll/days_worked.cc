#include "lib/payroll/days_worked.h"

#include <deque>
#include <memory>

#include "lib/payroll/payroll_line.h"
#include "lib/payroll/table_position.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

std::string Neg(const std::string& n) {
  return PadRight(n, 15);
}
std::string Cod15(const std::string& c) {
  return PadRight(c, 15);
}
std::string Dtos(int32_t f) {
  return xb::DtosFromJulian(f);
}

using Guards = std::deque<TablePosition>;

}  // namespace

bool Lookup(xb::Table& t, const std::string& tag, const std::string& key) {
  return SeekOn(t, tag, key).ok() && t.Found() && !t.Eof();
}

double DaysWorked(const std::vector<HoursColumn>& cols, int depto_hora, const PayrollType& tipo,
                  double schedule_factor) {
  if (schedule_factor == 0) return 0;
  double total = 0;
  for (const HoursColumn& c : cols) {
    if (!c.type || c.type->sum_hora != 1 || c.categoria != "01") continue;
    const ColumnType& k = *c.type;
    double sign = k.factor_2 == 0 ? -1 : 1;
    if (k.h_incap == 1) sign = depto_hora == 1 ? 0 : -1;
    if (k.horas_base == 1) {
      if (c.valor != 0 && depto_hora != 1) {
        total += tipo.val_div * schedule_factor / PeriodDivisor(tipo, k) * sign;
      }
    } else {
      total += c.valor * sign;
    }
  }
  return total / schedule_factor;
}

double GET_DIAS_LABORADOS(const std::string& negocio, const CurrentTables& t,
                          const std::string& depto, const std::string& empleado) {
  for (xb::Table* x :
       {t.enc_pers, t.det_pers, t.det_dept, t.enc_tip, t.tip_pla, t.tiempo_e, t.enc_dept})
    if (!x) return 0;
  Guards keep;
  for (xb::Table* x :
       {t.enc_pers, t.det_pers, t.det_dept, t.enc_tip, t.tip_pla, t.tiempo_e, t.enc_dept})
    keep.emplace_back(x);
  const std::string n = Neg(negocio);
  if (!Lookup(*t.enc_pers, "ENC_PERS2", n + Cod15(empleado))) return 0;
  double schedule = 0;
  if (Lookup(*t.tiempo_e, "TIEMPO_E", n + PadRight(StrField(*t.enc_pers, "COD_TIEMPO"), 2)))
    schedule = NumField(*t.tiempo_e, "FACTOR");
  int depto_hora = 0;
  PayrollType tipo;
  if (Lookup(*t.enc_dept, "ENC_DEPT", n + Cod15(depto))) {
    depto_hora = IntField(*t.enc_dept, "DEPTO_HORA");
    if (Lookup(*t.tip_pla, "TIP_PLA", n + PadRight(StrField(*t.enc_dept, "TIPO"), 2)))
      (void)ReadPayrollType(*t.tip_pla, &tipo);
  }
  std::deque<ColumnType> types;
  std::vector<HoursColumn> cols;
  const std::string key = n + Cod15(empleado);
  xb::Table& dp = *t.det_pers;
  if (!SeekOn(dp, "DET_PERS", key, true).ok()) return 0;
  for (bool more = true; more && !dp.Eof(); more = dp.Skip().ok()) {
    if (Neg(StrField(dp, "NEGOCIO")) != n || Cod15(StrField(dp, "CODIGO")) != Cod15(empleado))
      break;
    std::string col = PadRight(StrField(dp, "COD_COLUMN"), 2);
    HoursColumn h;
    h.valor = NumField(dp, "VALOR_1");
    if (Lookup(*t.enc_tip, "ENC_TIP", n + col) &&
        ReadColumnType(*t.enc_tip, &types.emplace_back()).ok())
      h.type = &types.back();
    if (Lookup(*t.det_dept, "DET_DEPT4", n + Cod15(depto) + col))
      h.categoria = StrField(*t.det_dept, "TIPO");
    cols.push_back(h);
  }
  return DaysWorked(cols, depto_hora, tipo, schedule);
}

double GET_HIST_DIAS_LABORADOS(const std::string& negocio, const HistoryTables& t,
                               const std::string& depto, const std::string& empleado,
                               int32_t fecha) {
  for (xb::Table* x :
       {t.h_e_pers, t.h_d_pers, t.h_d_dept, t.h_e_tip, t.h_tip_pl, t.h_tiem_e, t.h_e_dept})
    if (!x) return 0;
  Guards keep;
  for (xb::Table* x :
       {t.h_e_pers, t.h_d_pers, t.h_d_dept, t.h_e_tip, t.h_tip_pl, t.h_tiem_e, t.h_e_dept})
    keep.emplace_back(x);
  const std::string n = Neg(negocio), d = Cod15(depto), f = Dtos(fecha);
  if (!Lookup(*t.h_e_pers, "H_E_PERS8", n + Cod15(empleado) + f)) return 0;
  double schedule = 0;
  if (Lookup(*t.h_tiem_e, "H_TIEM_E", n + d + PadRight(StrField(*t.h_e_pers, "COD_TIEMPO"), 2) + f))
    schedule = NumField(*t.h_tiem_e, "FACTOR");
  int depto_hora = 0;
  PayrollType tipo;
  if (Lookup(*t.h_e_dept, "H_E_DEPT2", n + d + f)) {
    depto_hora = IntField(*t.h_e_dept, "DEPTO_HORA");
    if (Lookup(*t.h_tip_pl, "H_TIP_PL", n + d + PadRight(StrField(*t.h_e_dept, "TIPO"), 2) + f))
      (void)ReadPayrollType(*t.h_tip_pl, &tipo);
  }
  std::deque<ColumnType> types;
  std::vector<HoursColumn> cols;
  xb::Table& dp = *t.h_d_pers;
  if (!SeekOn(dp, "H_D_PERS2", n + Cod15(empleado) + f, true).ok()) return 0;
  for (bool more = true; more && !dp.Eof(); more = dp.Skip().ok()) {
    if (Neg(StrField(dp, "NEGOCIO")) != n || Cod15(StrField(dp, "CODIGO")) != Cod15(empleado) ||
        DateField(dp, "FECHA") != fecha)
      break;
    std::string col = PadRight(StrField(dp, "COD_COLUMN"), 2);
    HoursColumn h;
    h.valor = NumField(dp, "VALOR_1");
    if (Lookup(*t.h_e_tip, "H_E_TIP", n + d + col + f) &&
        ReadColumnType(*t.h_e_tip, &types.emplace_back()).ok())
      h.type = &types.back();
    if (Lookup(*t.h_d_dept, "H_D_DEPT4", n + d + col + f))
      h.categoria = StrField(*t.h_d_dept, "TIPO");
    cols.push_back(h);
  }
  return DaysWorked(cols, depto_hora, tipo, schedule);
}

}  // namespace qz
