#include "lib/payroll/calc_pl.h"

#include <deque>

#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/rates.h"
#include "lib/payroll/table_position.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

double CALC_PL::CONVERTIR(const std::string& negocio, double monto) {
  if (!t_.enc_dept || !t_.h_e_dept || !t_.t_cambio) return monto;
  const std::string a = StrField(*t_.enc_dept, "MONEDA"), de = StrField(*t_.h_e_dept, "MONEDA");
  // A blank currency on either side (no department found) means nothing to
  // convert.
  if (RTrim(a).empty() || RTrim(de).empty()) return monto;
  // The past payroll's amount is in its own currency; the department is paid
  // in its current one: target the department, source the payroll.
  return monto * CAMBIO_SPEC(negocio, *t_.t_cambio, a, de, DateField(*t_.h_e_dept, "FECHA"));
}

double CALC_PL::GET_ULTIMOS_SAL(const std::string& negocio, const std::string& empleado,
                                const std::string& depto, bool switch_on, double defecto,
                                int32_t referencia) {
  if (!switch_on) return defecto;
  if (!t_.h_e_pers || !t_.h_e_dept || !t_.f_plan || !t_.enc_dept || !t_.t_cambio) return defecto;
  std::deque<TablePosition> keep;
  for (xb::Table* x : {t_.h_e_pers, t_.h_e_dept, t_.f_plan, t_.enc_dept}) keep.emplace_back(x);

  const std::string n = PadRight(negocio, 15), e = PadRight(empleado, 15);
  int sal_prom = 0, sal_prom2 = 0;
  if (Lookup(*t_.f_plan, "F_PLAN", n)) {
    sal_prom = IntField(*t_.f_plan, "SAL_PROM");
    sal_prom2 = IntField(*t_.f_plan, "SAL_PROM2");
  }
  (void)Lookup(*t_.enc_dept, "ENC_DEPT", n + PadRight(depto, 15));
  const int32_t corte = EndOfMonth(referencia > 0 ? referencia : Today());

  xb::Table& l = *t_.h_e_pers;
  double suma = 0;
  int meses = 0, lineas = 0, mes_previo = -1;
  if (SeekOn(l, "H_E_PERS7", n + e, true).ok()) {
    for (bool more = true; more && !l.Eof(); more = l.Skip().ok()) {
      if (PadRight(StrField(l, "NEGOCIO"), 15) != n || PadRight(StrField(l, "CODIGO"), 15) != e)
        break;
      int32_t fecha = DateField(l, "FECHA");
      if (fecha >= corte) continue;
      int mes = ToYmd(fecha).m;
      if (mes != mes_previo) {
        if (meses + 1 > sal_prom2) break;
        ++meses;
        mes_previo = mes;
      }
      double sal = NumField(l, "TOT_SAL");
      if (Lookup(*t_.h_e_dept, "H_E_DEPT2",
                 n + PadRight(StrField(l, "DEPTO"), 15) + xb::DtosFromJulian(fecha)))
        sal = CONVERTIR(negocio, sal);
      suma += sal;
      ++lineas;
    }
  }
  if (suma == 0 || lineas == 0) return defecto;
  // The monthly average (over SAL_PROM months, or the months found when fewer
  // or when SAL_PROM is 0) spread over the payrolls those months held: the
  // hourly cost divides it by VAL_DIV, which is per pay period.
  const int divisor = (meses < sal_prom || sal_prom <= 0) ? meses : sal_prom;
  const double por_mes = suma / divisor;
  return por_mes * meses / lineas;
}

}  // namespace qz
