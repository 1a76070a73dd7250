// A composite item of table kind 2 (a fixed amount plus a rate over the
// lower bound, after a share of the base is subtracted), so the demo shows
// every table kind of the column-type window: a retention of a branch paid
// by the Nicaraguan rules, in dollars, on Fridays.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {

xb::Status AddColumnTypeExamples(Context& c) {
  struct Bracket {
    double from, to, percent, amount;
  };
  const Bracket brackets[] = {{0, 3000, 0, 0},
                              {3000, 6000, 15, 0},
                              {6000, 10500, 20, 450},
                              {10500, 15000, 25, 1350},
                              {15000, 999999999, 30, 2475}};
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(c.Add("ENC_TIP", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("CODIGO", "32").Set("DESCRIP", "Retención IR Nicaragua");
      r.Set("TIPO", 3).Set("FACTOR_2", 0).Set("DEDUCIBLE", 1).Set("MONEDA", "US");
      r.Set("TIPO_TABLA", 2).Set("DIA_TABLA", 6).Set("RESTA_COMP", 7).Set("DIVIDIR", 1);
      r.Set("VALOR_2", 1).Set("AFECTA_F4", 1).Set("AFECTA_F5", 1).Set("MONEDA2", "  ");
      r.Set("IMP_PLAN", 1).Set("IMP_COMP", 1).Set("GRUPO", "03");
      r.Set("IMP_TOTAL", 1).Set("ROTULO_TOT", "Retención IR");
      r.Set("PICTURE_T", "999,999,999.99").Set("R_IMP_T", 1).Set("R_ROT_TOT", "Retención IR");
      r.Set("R_PICT_T", "999,999,999.99");
    }));
    int serie = 0;
    for (const auto& k : brackets)
      XB_RETURN_IF_ERROR(c.Add("DET_TIP", [&](Row& r) {
        r.Set("NEGOCIO", b.code).Set("CODIGO", "32").Set("SERIE", ++serie);
        r.Set("RANGO_I", k.from).Set("RANGO_F", k.to).Set("PORCENTAJE", k.percent);
        r.Set("VALOR_2", k.amount);
      }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
