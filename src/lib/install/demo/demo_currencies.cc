// Currencies of the demo: colones (accounting currency) and dollars, with a
// year of weekly dollar rates that drift like the real ones do; one business
// also keeps euros, its rates stored as the bank quotes them.
#include <cmath>

#include "lib/install/demo/demo_context.h"

namespace qz::demo {

namespace {

// The dated rates of one relation `from` -> CR: buying (CAMBIO), selling and
// the bank's reference rate (spreads over the buying one).
xb::Status AddRates(Context& c, const Business& b, const char* from,
                    const std::vector<std::pair<Day, double>>& rates, double selling,
                    double reference) {
  const Day limit = Day::Ymd(2090, 1, 1);
  for (const auto& [day, value] : rates)
    XB_RETURN_IF_ERROR(c.Add("T_CAMBIO", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("MONEDA1", from).Set("MONEDA2", "CR");
      r.Set("FECHA", day).Set("LIMITE", limit);
      r.Set("CAMBIO", value).Set("CAMBIO2", value + selling).Set("CAMBIO3", value + reference);
      r.Set("USUARIO", "SUP").Set("INFO_USER", "instalador / demo");
    }));
  return xb::Status::OK();
}

}  // namespace

xb::Status AddCurrencies(Context& c) {
  const Day today = c.today();
  // Rates come out the same for every business: one market.
  std::vector<std::pair<Day, double>> rates;
  double rate = 512.40;
  for (int weeks = 52; weeks >= 0; --weeks) {
    rates.push_back({today.Plus(-7 * weeks), std::round(rate * 100) / 100});
    rate += c.random().Real(-2.2, 1.9);
  }
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(c.Add("MONEDAS", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("CODIGO", "CR").Set("DESCRIP", "Colón costarricense");
      r.Set("SIMBOLO", "¢").Set("SIGLAS", "CRC").Set("SAL_CXP", 1).Set("SAL_CXC", 1);
    }));
    XB_RETURN_IF_ERROR(c.Add("MONEDAS", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("CODIGO", "US").Set("DESCRIP", "Dólar estadounidense");
      r.Set("SIMBOLO", "$").Set("SIGLAS", "USD").Set("CAMBIO_MIN", 400);
      r.Set("SAL_CXP", 0.01).Set("SAL_CXC", 0.01);
    }));
    // One relation, dollars to colones; lookups the other way use its inverse.
    XB_RETURN_IF_ERROR(c.Add("DET_MON", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("MONEDA_1", "US").Set("MONEDA_2", "CR");
      r.Set("DESCRIP", "Colón costarricense   (¢)").Set("PROYECTA", 0);
    }));
    XB_RETURN_IF_ERROR(AddRates(c, b, "US", rates, 6.5, 3.1));
    if (!b.euro) continue;
    XB_RETURN_IF_ERROR(c.Add("MONEDAS", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("CODIGO", "EU").Set("DESCRIP", "Euro");
      r.Set("SIMBOLO", "€").Set("SIGLAS", "EUR").Set("CAMBIO_MIN", 450);
      r.Set("SAL_CXP", 0.01).Set("SAL_CXC", 0.01);
    }));
    XB_RETURN_IF_ERROR(c.Add("DET_MON", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("MONEDA_1", "EU").Set("MONEDA_2", "CR");
      r.Set("DESCRIP", "Colón costarricense   (¢)").Set("PROYECTA", 0);
    }));
    // Derived from the dollar's, so the other data keep their random draws.
    std::vector<std::pair<Day, double>> euro;
    for (const auto& [day, value] : rates) euro.push_back({day, std::round(value * 108) / 100});
    XB_RETURN_IF_ERROR(AddRates(c, b, "EU", euro, 7, 3.4));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
