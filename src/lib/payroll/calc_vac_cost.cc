// CALC_VAC::CALC_COSTO_VACACIONES: the walk over the employee's payroll lines
// that values the vacation days.
#include <algorithm>
#include <cstdlib>
#include <deque>

#include "lib/payroll/calc_vac.h"
#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/table_position.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

int MonthKey(int32_t jd) {
  Ymd t = ToYmd(jd);
  return t.y * 12 + (t.m - 1);
}

}  // namespace

double CALC_VAC::LineValDiv(const xb::Table& l) {
  const std::string depto = PadRight(StrField(l, "DEPTO"), 15);
  const std::string f = xb::DtosFromJulian(DateField(l, "FECHA"));
  if (Lookup(*a_bases[kHEDeptB], "H_E_DEPT2", negocio_ + depto + f) &&
      Lookup(*a_bases[kHTipPl], "H_TIP_PL",
             negocio_ + depto + PadRight(StrField(*a_bases[kHEDeptB], "TIPO"), 2) + f))
    return NumField(*a_bases[kHTipPl], "VAL_DIV");
  return 0;
}

double CALC_VAC::CALC_COSTO_VACACIONES(double pendientes, int32_t corte, double dias_actuales) {
  xb::Table* l_ptr = a_bases[kHEPers];
  if (!l_ptr || !a_bases[kHTipPl] || !a_bases[kHEDeptB] || corte <= 0 || dias_actuales <= 0)
    return 0;
  xb::Table& l = *l_ptr;
  std::deque<TablePosition> keep;
  for (int i : {kHEPers, kHTipPl, kHEDeptB}) keep.emplace_back(a_bases[i]);
  const std::string e = PadRight(empleado_, 15);
  auto mine = [&] {
    return !l.Eof() && PadRight(StrField(l, "NEGOCIO"), 15) == negocio_ &&
           PadRight(StrField(l, "CODIGO"), 15) == e;
  };
  const int dia_inicio = ToYmd(inicio_).d;
  auto accrued = [&](int key, double cap) {
    double a = GET_DIAS(OBTENER_FECHA(dia_inicio, key % 12 + 1, key / 12));
    return std::clamp(a, 0.0, cap);
  };
  double p = pendientes;

  // 1. The newest line dated on or before the cut-off (newest first on H_E_PERS7).
  long long dias = static_cast<long long>(xb::JulianFromYmd(2090, 1, 1)) - corte;
  bool hay_linea = SeekOn(l, "H_E_PERS7", negocio_ + e + Str(dias, 10), true).ok() && mine();
  int32_t fecha_linea = hay_linea ? DateField(l, "FECHA") : inicio_;

  // 2-3. Months between that line and the cut-off accrue first, newest first.
  const int gap = std::abs(MonthKey(corte) - MonthKey(fecha_linea));
  for (int i = 0, key = MonthKey(corte); i < gap && p > 0; ++i, --key) {
    double a = i == 0 ? std::clamp(GET_DIAS(corte), 0.0, p) : accrued(key, p);
    p -= a;
  }

  // 4. Back over the lines, a month at a time, until the pending days are placed.
  int32_t mas_antigua = 0;
  if (hay_linea) {
    int mes_previo = -1;
    for (bool more = true; more && mine() && p != 0; more = l.Skip().ok()) {
      int32_t f = DateField(l, "FECHA");
      if (f > corte) break;
      mas_antigua = f;
      int key = MonthKey(f);
      if (key != mes_previo) {
        mes_previo = key;
        p -= accrued(key, p);
      }
    }
  }
  if (mas_antigua == 0) return 0;

  // 5. Forward from the oldest month reached, the current days are valued at
  // the daily salary of the months they were earned in. A day's salary is a
  // line's TOT_SAL / VAL_DIV of its own payroll-type copy (VAL_DIV is per pay
  // period); a month with several payrolls (bi-weekly, weekly) takes the
  // average over its lines, not their sum. T / VAL_DIV / FACTOR x (A x
  // FACTOR): the schedule factor cancels, so a schedule copy with FACTOR 0
  // still charges the days. Lines whose type has VAL_DIV 0 have no daily
  // salary and are left out of the average; a month without any charges
  // nothing.
  Ymd o = ToYmd(mas_antigua);
  std::string desde = xb::DtosFromJulian(xb::JulianFromYmd(o.y, o.m, 1));
  double q = dias_actuales, costo = 0;
  if (!SeekOn(l, "H_E_PERS8", negocio_ + e + desde, true).ok()) return 0;
  bool more = true;
  while (more && mine() && q != 0) {
    int key = MonthKey(DateField(l, "FECHA"));
    double por_dia = 0;
    int lineas = 0;
    while (more && mine() && MonthKey(DateField(l, "FECHA")) == key) {
      const double val_div = LineValDiv(l);
      if (val_div > 0) {
        por_dia += NumField(l, "TOT_SAL") / val_div;
        ++lineas;
      }
      more = l.Skip().ok();
    }
    double a = accrued(key, q);
    q -= a;
    if (lineas > 0) costo += por_dia / lineas * a;
  }
  return costo;
}

}  // namespace qz
