// A hotel group with currencies, their relations and rates, and documents of
// the suite in colones, for the currency and exchange-rate screens.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "support/table_rows.h"
#include "support/ui_session.h"
#include "xbase/value.h"

namespace qztest {

inline const std::string kCentral = Biz("HOTEL CENTRAL");
inline const std::string kPlaya = Biz("HOTEL PLAYA");

inline xb::Value D(int y, int m, int d) {
  return xb::Value::Date(xb::JulianFromYmd(y, m, d));
}

// The tables that name a currency in field MONEDA.
inline const std::vector<std::string> kDocumentTables = {
    "ENC_CHEQ", "PENC_CHE", "PENC_CXP", "ENC_CXP",  "ENC_INV",
    "DOCUMENT", "PDOCUMEN", "ENC_PREC", "PENC_PED", "ENC_HLIB"};

class CurrencySession : public UiSession {
 protected:
  void SetUp() override {
    Create("NEGOCIOS", {Business(kCentral, "CR"), Business(kPlaya, "CR")});
    Create("MONEDAS",
           {Currency(kCentral, "CR", "COLONES", "\xA2"), Currency(kCentral, "US", "DOLARES", "$"),
            Currency(kCentral, "EU", "EUROS", "\x80", "CR"),
            Currency(kPlaya, "CR", "COLONES PLAYA", "\xA2")});
    Create("DET_MON", {Relation(kCentral, "US", "CR", "COLONES   (\xA2)"),
                       Relation(kCentral, "CR", "EU", "EUROS   (\x80)"),
                       Relation(kPlaya, "US", "CR", "COLONES   (\xA2)")});
    Create("T_CAMBIO", {Rate(kCentral, "US", "CR", D(2026, 12, 1), 505),
                        Rate(kCentral, "US", "CR", D(2026, 12, 7), 507),
                        Rate(kCentral, "CR", "EU", D(2026, 12, 1), 0.0017),
                        Rate(kPlaya, "US", "CR", D(2026, 12, 1), 500)});
    for (const auto& t : kDocumentTables)
      Create(t, {{{"NEGOCIO", C(kCentral)}, {"MONEDA", C("CR")}},
                 {{"NEGOCIO", C(kCentral)}, {"MONEDA", C("US")}},
                 {{"NEGOCIO", C(kPlaya)}, {"MONEDA", C("CR")}}});
  }

  static Row Business(const std::string& code, const char* accounting) {
    return {{"CODIGO", C(code)},
            {"DESCRIP", C(code)},
            {"MONEDA_CON", C(accounting)},
            {"CHECK_MON", N(0)},
            {"CANT_MON", N(0)}};
  }
  static Row Currency(const std::string& business, const char* code, const char* descrip,
                      const char* symbol, const char* equival = "") {
    return {{"NEGOCIO", C(business)},
            {"CODIGO", C(code)},
            {"DESCRIP", C(descrip)},
            {"SIMBOLO", C(symbol)},
            {"EQUIVAL", C(equival)}};
  }
  static Row Relation(const std::string& business, const char* from, const char* to,
                      const char* label) {
    return {{"NEGOCIO", C(business)},
            {"MONEDA_1", C(from)},
            {"MONEDA_2", C(to)},
            {"DESCRIP", C(label)}};
  }
  static Row Rate(const std::string& business, const char* from, const char* to, xb::Value fecha,
                  double rate) {
    return {{"NEGOCIO", C(business)}, {"MONEDA1", C(from)},      {"MONEDA2", C(to)},
            {"FECHA", fecha},         {"LIMITE", D(2090, 1, 1)}, {"CAMBIO", N(rate)}};
  }

  // Every live row of `table`, as SortedRows lists them.
  std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields) {
    return SortedRows(file(table + ".DBF"), fields);
  }
  // Rows of every table that names a currency, in one list.
  std::vector<std::string> Everything() {
    std::vector<std::string> all;
    auto add = [&](const std::string& table, const std::vector<std::string>& fields) {
      for (auto& r : Rows(table, fields)) all.push_back(table + " " + r);
    };
    for (const auto& t : kDocumentTables) add(t, {"MONEDA"});
    add("MONEDAS", {"CODIGO", "DESCRIP", "EQUIVAL"});
    add("DET_MON", {"MONEDA_1", "MONEDA_2"});
    add("T_CAMBIO", {"MONEDA1", "MONEDA2", "FECHA", "CAMBIO"});
    add("NEGOCIOS", {"MONEDA_CON"});
    return all;
  }
};

}  // namespace qztest
