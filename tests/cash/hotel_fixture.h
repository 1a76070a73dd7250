// A hotel with two currencies, one cash box with one cashier, its folio
// transaction codes and an adjustment folio serial: what the window, the
// reports and the counts are tried on.
#pragma once

#include <string>

#include "cash_fixture.h"

namespace qztest {

inline xb::Value D(int y, int m, int d) {
  return xb::Value::Date(xb::JulianFromYmd(y, m, d));
}

class HotelCashTest : public CashTest {
 protected:
  void SetUp() override {
    CashTest::SetUp();
    for (const char* t : {"MONEDAS", "T_CAMBIO", "TRANSACS", "DET_FOL", "ENC_FOL", "ENC_FAC",
                          "DET_FAC", "F_HOTEL", "DET_HCA2", "DET_HCA3", "DET_HCA4"})
      Create(t);
    CreateSchemaTable(inst.root + "PROFILE", "TMP_VLTO");
    const Row biz{{"NEGOCIO", C(Biz(kBiz))}};
    AddRows(bases, "MONEDAS",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("01")}, {"DESCRIP", C("COLONES")},
              {"SIMBOLO", C("C")}},
             {{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("02")}, {"DESCRIP", C("DOLARES")},
              {"SIMBOLO", C("$")}}});
    // One dollar is worth 500 colones.
    AddRows(bases, "T_CAMBIO",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"MONEDA1", C("02")}, {"MONEDA2", C("01")},
              {"FECHA", D(2026, 12, 1)}, {"LIMITE", D(2090, 1, 1)}, {"CAMBIO", N(500)}}});
    AddRows(bases, "TRANSACS",
            {Trans("EF", "EFECTIVO", 2, 1, 0, 1), Trans("TC", "TARJETA", 2, 1, 0, 1, 1),
             Trans("FA", "FALTANTE CAJA", 1, 0, 0, 0), Trans("SO", "SOBRANTE CAJA", 2, 0, 0, 0),
             Trans("PR", "PROPINAS", 2, 1, 1, 1)});
    AddRows(bases, "F_HOTEL",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"T_FALTANTE", C("FA")}, {"T_SOBRANTE", C("SO")},
              {"SERIAL_FOL", C("FOLIOS")}, {"CIERRE_DIA", D(2026, 12, 8)},
              {"MONEDA_RES", C("01")}}});
    AddRows(bases, "SERIALES",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("FOLIOS")}, {"NUMERO", N(9000)}}});
    AddRows(bases, "ENC_FOL", {Folio("100", "01"), Folio("101", "02")});
    Box("ENC_HCAJ", "01", "CAJA RECEPCION", "SECRETO");
    Cashier("0001", "ANA MORA", "ANA");
  }

  static Row Trans(const std::string& code, const std::string& descrip, int tipo, int deposita,
                   int no_cierre, int pide_caja, int tarjeta = 0) {
    return {{"NEGOCIO", C(Biz(kBiz))},    {"CODIGO", C(code)},         {"DESCRIP", C(descrip)},
            {"TIPO", N(tipo)},            {"DEPOSITA", N(deposita)},   {"NO_CIERRE", N(no_cierre)},
            {"PIDE_CAJA", N(pide_caja)},  {"ES_TARJETA", N(tarjeta)}};
  }
  static Row Folio(const std::string& numero, const std::string& moneda) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"NUMERO", C(numero)}, {"TIPO", C("1")},
            {"MONEDA", C(moneda)}};
  }
  // A payment line of folio `numero` taken by box 01: `amount` credited in
  // the folio's currency, tendered as `tendered` in `omoneda`.
  void Payment(const std::string& numero, const std::string& code, const std::string& hora,
               double amount, const std::string& omoneda, double tendered,
               const std::string& grupo = "", int ajuste = 0) {
    AddRows(bases, "DET_FOL",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"NUMERO", C(numero)}, {"FECHA", D(2026, 12, 8)},
              {"HORA", C(hora)}, {"CAJA", C("01")}, {"GRUPO", C(grupo)}, {"COD_TRAN", C(code)},
              {"COD_TRANS", C(code)}, {"CREDITO", N(amount)}, {"OCREDITO", N(tendered)},
              {"OMONEDA", C(omoneda)}, {"AJUSTE", N(ajuste)}, {"ROOM", C("204")},
              {"DOCUMEN", C("REF-" + hora.substr(0, 2))}}});
  }
  // Opens box 01 at 07:00:00 as cashier 0001 and holds it here.
  void OpenBox01() {
    clock.SetNow({2026, 12, 8, 7, 0, 0, 0});
    ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), hotel, kBiz, "01", "0001"),
              qz::BoxChange::kDone);
  }
};

}  // namespace qztest
