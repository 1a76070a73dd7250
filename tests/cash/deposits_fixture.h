// A hotel with reservations in dollars and accounts in colones, a hotel box
// open at this workstation, deposit concepts of each posting kind, a bank
// account, accounting links and the card-terminal simulators.
#pragma once

#include <map>
#include <string>

#include "cash/box_state.h"
#include "cash/deposits/deposit_register.h"
#include "cash/deposits/hotel_box.h"
#include "devices/devices_fixture.h"
#include "lib/ini/private_profile.h"
#include "table_rows_text.h"
#include "xbase/value.h"

namespace qztest {

class DepositsTest : public DevicesTest {
 protected:
  void SetUp() override {
    DevicesTest::SetUp();
    const xb::Value biz = C(Biz(kBiz));
    Create("NEGOCIOS", {{{"CODIGO", biz}, {"MONEDA_CON", C("CR")}}});
    Create("MONEDAS", {{{"NEGOCIO", biz}, {"CODIGO", C("CR")}, {"DESCRIP", C("COLONES")}},
                       {{"NEGOCIO", biz}, {"CODIGO", C("US")}, {"DESCRIP", C("DOLARES")},
                        {"CAMBIO_MIN", N(400)}}});
    Create("T_CAMBIO", {{{"NEGOCIO", biz}, {"MONEDA1", C("US")}, {"MONEDA2", C("CR")},
                         {"FECHA", D(2026, 12, 1)}, {"LIMITE", D(2090, 1, 1)}, {"CAMBIO", N(500)}}});
    Create("F_HOTEL", {{{"NEGOCIO", biz}, {"MONEDA_RES", C("US")}, {"DIF_PREPAG", N(0.5)}}});
    Create("F_HOTEL3", {{{"NEGOCIO", biz}, {"MARGEN_DEP", N(10)}}});
    Create("F_HOTEL4", {{{"NEGOCIO", biz}, {"M_PREPA", N(0)}}});
    Create("HECHOPOR", {{{"NEGOCIO", biz}, {"CODIGO", C("ANA")}, {"NOMBRE", C("ANA MORA")}}});
    Create("T_PAGO", {{{"NEGOCIO", biz}, {"CODIGO", C("EF")}, {"TIPO", C("0")}},
                      {{"NEGOCIO", biz}, {"CODIGO", C("DP")}, {"TIPO", C("1")}}});
    Create("SERIALES_ROWS");
    Row strict = Concept("04", 2, "DEP03");
    strict["NO_MAYORES"] = N(1);
    strict["APLICA_RES"] = N(1);
    Row card = Concept("05", 0, "DEP02");
    card["P_ELECTRO"] = C("02");
    Create("CON_HLIB", {Concept("01", 1, "DEP01"), Concept("02", 0, "DEP02"),
                        Concept("03", 2, "DEP03"), strict, card});
    Create("LIGAS", {Link("09", "ANTICIPOS", "2100"), Link("09", "DIFCAMBIO", "7100"),
                     Link("04", "BANCO1", "1100")});
    Create("CUEN_LIB", {{{"NEGOCIO", biz}, {"BANCO", C("01")}, {"CUENTA", C("100-1")},
                         {"MONEDA", C("CR")}, {"SALDO", N(1000000)}, {"SERIAL", C("LIB01")},
                         {"ASIENTO1", C("BANCO1")}}});
    Create("CONCEPT5", {{{"NEGOCIO", biz}, {"CODIGO", C("DEP")}, {"TIPO", N(1)}}});
    Create("ENC_RES", {Reservation("R1", 1000), Reservation("R2", 300), Reservation("R3", 50)});
    Create("DET_RES2", {Room("R1", "0"), Room("R2", "0"), Room("R3", "1")});
    for (const char* t : {"ENC_HLIB", "DET_HLIB", "DET_RES8", "MAESTRAS", "ENC_LIB", "DET_LIB",
                          "DET_LIB3", "DET_LIB4", "MES_LIB4", "ENC_ASIE", "DET_ASIE", "SALDOS",
                          "F_BANCOS", "ENC_HCAJ", "DET_HCAJ", "DIGITA"})
      Create(t);
    for (const char* box : {"01", "02"})
      qztest::AddRows(bases, "ENC_HCAJ", {{{"NEGOCIO", biz}, {"CODIGO", C(box)},
                                           {"DESCRIP", C("RECEPCION")}, {"ESTADO", C("C")}}});
    qztest::AddRows(bases, "DIGITA", {{{"NEGOCIO", biz}, {"CODIGO", C("C1")},
                                       {"NOMBRE", C("CAJERO UNO")}}});
    qz::ResetCashBoxes();
    HoldBox("01");
    qz::WritePrivateProfileString("AUT_HCAJA", Biz(kBiz) + "01", "1", qz::QuartzelIni());
  }
  void TearDown() override {
    qz::ResetCashBoxes();
    DevicesTest::TearDown();
  }

  // SERIALES comes with the installation; its rows are the serials.
  void Create(const std::string& table, const std::vector<Row>& rows = {}) {
    if (table == "SERIALES_ROWS") {
      for (const char* code : {"DEP01", "DEP02", "DEP03", "LIB01"})
        AddRows(bases, "SERIALES",
                {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)}, {"NUMERO", N(0)},
                  {"JUSTIFICA", N(0)}, {"INDENT", N(6)}, {"PREFIJO", C(Prefix(code))}}});
      return;
    }
    UiSession::Create(table, rows);
  }

  // This workstation holds hotel box `code` open (none when empty).
  void HoldBox(const std::string& code) {
    qz::CashBoxes& boxes = qz::ProcessCashBoxes();
    const qz::BoxKind& hotel = *qz::BoxKindFor(qz::kHotelToolbar);
    if (boxes.XH_CAJAS.open == 1) qz::CloseCashBox(boxes, hotel, Biz(kBiz));
    if (!code.empty()) {
      ASSERT_EQ(qz::OpenCashBox(boxes, hotel, Biz(kBiz), code, "C1"), qz::BoxChange::kDone);
    }
  }

  // The station's card terminal: the Credomatic simulator, in colones
  // (the card concept "05" charges through it).
  void UseCardTerminal() {
    InstallSimulators();
    AssignStation(kBiz, "CAJA1");
    Station("CAJA1", "02", "CR", "Credomatic colones", "CR-900");
  }

  // Movement numbers of different serials never meet.
  static std::string Prefix(const std::string& serial) {
    return serial == "DEP01" ? "DPA" : serial == "DEP03" ? "DPC" : serial.substr(0, 3);
  }
  static xb::Value D(int y, int m, int d) { return xb::Value::Date(xb::JulianFromYmd(y, m, d)); }
  static int32_t J(int y, int m, int d) { return xb::JulianFromYmd(y, m, d); }

  static Row Concept(const std::string& code, int tipo_mov, const std::string& serial) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"CONCEPTO", C(code)}, {"DESCRIP", C("Dep\xF3sito " + code)},
            {"SERIAL", C(serial)},     {"VISIBLE", N(1)},      {"TIPO_MOV", N(tipo_mov)},
            {"TIPO", N(1)},            {"BANCO", C("01")},     {"CUENTA", C("100-1")},
            {"CONCEP_LIB", C("DEP")},  {"LIGA_OTRO", C("ANTICIPOS")},
            {"LIGA_OTRO2", C("DIFCAMBIO")}};
  }
  static Row Link(const std::string& module, const std::string& code, const std::string& account) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"MODULO", C(module)}, {"CODIGO", C(code)},
            {"CUENTA", C(account)}};
  }
  static Row Reservation(const std::string& code, double total) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)}, {"TOTAL", N(total)},
            {"TOTAL4", N(total)}, {"TIPO", C("GA")}, {"AGENCIA", C("VIAJES SOL")}};
  }
  static Row Room(const std::string& res, const std::string& estado) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"COD_RES", C(res)},   {"COD_HAB", C("DB")},
            {"CODIGO", C("0001")},     {"ESTADO", C(estado)}, {"NOMBRE_C", C("Huesped " + res)},
            {"COD_ROOMS", C("10" + res.substr(1))},           {"F_INICIO", D(2026, 12, 20)},
            {"F_FINAL", D(2026, 12, 24)}};
  }

  // A deposit of `monto` colones on concept `concepto`, applied to `res`.
  qz::DepositForm Form(const std::string& concepto, double monto,
                       std::vector<std::string> res = {}) {
    qz::DepositForm f;
    f.negocio = Biz(kBiz);
    f.concepto = concepto;
    f.moneda = "CR";
    f.fecha = J(2026, 12, 8);
    f.monto = monto;
    f.num_dep = "BOLETA-77";
    f.apellido = "Mora";
    f.nombre = "Luisa";
    f.comentario = "Reserva de diciembre";
    f.hecho_por = "ANA";
    f.cambio_res = 500;
    f.cambio_con = 1;
    for (const auto& r : res) f.applications.push_back({r, "DB", "0001", "", 0});
    return f;
  }

  // Every row of a table, as field -> trimmed text or number.
  std::vector<TextRow> Rows(const std::string& table) { return TextRows(file(table) + ".DBF"); }
  // Sum of debit minus credit of `account` in the journal.
  double JournalNet(const std::string& account) { return JournalNetOf(Rows("DET_ASIE"), account); }
  // Every journal entry balances.
  void ExpectBalancedJournal() { ExpectBalanced(Rows("DET_ASIE")); }

  qz::DepositRegistration reg{desktop};
};

}  // namespace qztest
