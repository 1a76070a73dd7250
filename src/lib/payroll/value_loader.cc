#include "lib/payroll/value_loader.h"

#include <algorithm>

#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/rates.h"
#include "lib/payroll/table_position.h"
#include "lib/payroll/work_table.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

std::string Neg(const std::string& n) {
  return PadRight(n, 15);
}
std::string Dep(const std::string& d) {
  return PadRight(d, 15);
}
std::string Col(const std::string& c) {
  return PadRight(c, 2);
}

}  // namespace

xb::Status LoadColumnType(const ColumnRequest& r, xb::Table& tipos, int32_t fecha,
                          ColumnType* out) {
  TablePosition keep(&tipos);
  bool found =
      r.historico
          ? Lookup(tipos, "H_E_TIP",
                   Neg(r.negocio) + Dep(r.depto) + Col(r.columna) + xb::DtosFromJulian(fecha))
          : Lookup(tipos, "ENC_TIP", Neg(r.negocio) + Col(r.columna));
  if (!found) return xb::Status::NotFound(tipos.name() + ": no column type " + r.columna);
  return ReadColumnType(tipos, out);
}

xb::Status LoadBrackets(const ColumnRequest& r, xb::Table& brackets, int32_t fecha,
                        ColumnType* out) {
  TablePosition keep(&brackets);
  const std::string n = Neg(r.negocio), c = Col(r.columna), d = Dep(r.depto);
  // The current rows come in processing order on DET_TIP2; a past payroll's
  // copies have only their lookup tag, so they are sorted below either way.
  const std::string key = r.historico ? n + d + c + xb::DtosFromJulian(fecha) : n + c;
  XB_RETURN_IF_ERROR(SeekOn(brackets, r.historico ? "H_D_TIP" : "DET_TIP2", key, true));
  std::vector<Bracket> rows;
  for (bool more = true; more && !brackets.Eof(); more = brackets.Skip().ok()) {
    if (Neg(StrField(brackets, "NEGOCIO")) != n || Col(StrField(brackets, "CODIGO")) != c) break;
    if (r.historico &&
        (Dep(StrField(brackets, "DEPTO")) != d || DateField(brackets, "FECHA") != fecha))
      break;
    rows.push_back({NumField(brackets, "RANGO_I"), NumField(brackets, "RANGO_F"),
                    NumField(brackets, "PORCENTAJE"), NumField(brackets, "VALOR_2")});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Bracket& a, const Bracket& b) { return a.rango_i < b.rango_i; });
  out->brackets = std::move(rows);
  return xb::Status::OK();
}

int PayrollsOfMonthUpTo(xb::Table& h, const std::string& negocio, const std::string& depto,
                        int32_t fecha) {
  if (fecha <= 0) return 0;
  TablePosition keep(&h);
  const std::string n = Neg(negocio), d = Dep(depto);
  const Ymd ymd = ToYmd(fecha);
  const std::string key = n + d + xb::DtosFromJulian(fecha).substr(0, 4) + Str(ymd.m, 2);
  if (!SeekOn(h, "H_E_DEPT", key, true).ok()) return 0;
  // Within a month the tag keeps the headers in the order they were written,
  // not by date, so every header of the month is looked at.
  int count = 0;
  for (bool more = true; more && !h.Eof(); more = h.Skip().ok()) {
    const int32_t f = DateField(h, "FECHA");
    const Ymd fy = ToYmd(f);
    if (Neg(StrField(h, "NEGOCIO")) != n || Dep(StrField(h, "CODIGO")) != d || fy.y != ymd.y ||
        fy.m != ymd.m)
      break;
    if (f <= fecha) ++count;
  }
  return count;
}

double ColumnRate(xb::Table& t_cambio, const ColumnRequest& r, const std::string& moneda_tipo,
                  int32_t fecha) {
  if (RTrim(moneda_tipo).empty() || RTrim(r.moneda).empty()) return 1;
  return r.historico ? CAMBIO_SPEC(r.negocio, t_cambio, r.moneda, moneda_tipo, fecha)
                     : CAMBIO_ACT(r.negocio, t_cambio, r.moneda, moneda_tipo);
}

xb::Result<std::unique_ptr<ColumnValue>> OpenColumnValue(const ColumnRequest& r,
                                                         const ColumnTables& t,
                                                         PayrollContext ctx) {
  ColumnType def;
  {
    WorkTable tipos(t.tipos, t.owner, r.historico ? "H_E_TIP" : "ENC_TIP");
    if (!tipos.get()) return tipos.status();
    XB_RETURN_IF_ERROR(LoadColumnType(r, *tipos.get(), ctx.fecha, &def));
  }
  if (def.tipo != 1 && def.tipo != 2 && def.tipo != 3) return std::unique_ptr<ColumnValue>();
  if (def.ver_period == 1) {
    WorkTable h(t.h_e_dept, t.owner, "H_E_DEPT");
    if (!h.get()) return h.status();
    ctx.periodo = PayrollsOfMonthUpTo(*h.get(), r.negocio, r.depto, ctx.fecha);
  }
  double tasa = 1;
  if (def.tipo == 3) {
    WorkTable b(t.brackets, t.owner, r.historico ? "H_D_TIP" : "DET_TIP");
    if (!b.get()) return b.status();
    XB_RETURN_IF_ERROR(LoadBrackets(r, *b.get(), ctx.fecha, &def));
    if (!RTrim(def.moneda).empty() && !RTrim(r.moneda).empty() &&
        PadRight(def.moneda, 2) != PadRight(r.moneda, 2)) {
      WorkTable c(t.t_cambio, t.owner, "T_CAMBIO");
      if (!c.get()) return c.status();
      tasa = ColumnRate(*c.get(), r, def.moneda, ctx.fecha);
    }
  }
  return MakeColumnValue(std::move(def), ctx, tasa);
}

}  // namespace qz
