// Cash boxes of the demo's first hotel: three front-desk boxes with their
// cashiers (passwords in plain text, as the suite's modules keep them), a
// closed shift of yesterday with its counted amounts, a shift open since
// this morning with the payments it took, the folio transaction codes and
// the hotel's adjustment settings; one box of each other module.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

struct Payment {
  const char* folio;
  const char* code;
  const char* time;
  const char* currency;  // tendered
  double amount;
};

}  // namespace

xb::Status AddCash(Context& c) {
  if (c.businesses.empty()) return xb::Status::OK();
  const std::string n = c.businesses.front().code;
  const Day today = c.today(), yesterday = c.today().Plus(-1);
  const Day limit = Day::Ymd(2090, 1, 1);

  struct Box {
    const char* code;
    const char* descrip;
    const char* password;
    const char* estado;
    int counted;
  };
  for (const Box& b : {Box{"01", "CAJA RECEPCION", "RECEP01", "C", 1},
                       Box{"02", "CAJA RESTAURANTE", "REST02", "A", 1},
                       Box{"03", "CAJA NOCTURNA", "NOCHE03", "C", 0}})
    XB_RETURN_IF_ERROR(c.Add("ENC_HCAJ", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", b.code).Set("DESCRIP", b.descrip);
      r.Set("ESTADO", b.estado).Set("PASSWORD", b.password);
      r.Set("TIP_CIERRE", b.counted).Set("ARQUEO_AD", 1).Set("T_CONTROL", 0);
    }));
  struct Other {
    const char* table;
    const char* code;
    const char* descrip;
    const char* estado;
  };
  // The restaurant's box is open (its shift and sales: demo_sales.cc).
  for (const Other& o : {Other{"VCAJAS", "V1", "CAJA RESTAURANTE LA TERRAZA", "A"},
                         Other{"ENC_RCAJ", "R1", "CAJA DE RESERVACIONES", "C"},
                         Other{"ENC_TCAJ", "T1", "CAJA TIEMPO COMPARTIDO", "C"},
                         Other{"CAJA_TS", "T2", "VENTAS TIEMPO COMPARTIDO", "C"}})
    XB_RETURN_IF_ERROR(c.Add(o.table, [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", o.code).Set("DESCRIP", o.descrip);
      r.Set("ESTADO", o.estado).Set("PASSWORD", "CAJA");
    }));

  struct Cashier {
    const char* code;
    const char* name;
    const char* clave;
    int cierre;
  };
  for (const Cashier& d : {Cashier{"0001", "ANA MORA SOLIS", "ANA01", 1},
                           Cashier{"0002", "LUIS SOTO VARGAS", "LUIS02", 0},
                           Cashier{"0003", "MARTA JIMENEZ (SUPERVISORA)", "MARTA03", 1}})
    XB_RETURN_IF_ERROR(c.Add("DIGITA", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", d.code).Set("NOMBRE", d.name);
      r.Set("CLAVE", d.clave).Set("CIERRE", d.cierre);
    }));

  // Box 01 worked yesterday's morning shift; box 02 is open since 07:00.
  XB_RETURN_IF_ERROR(c.Add("DET_HCAJ", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CAJA", "01").Set("FECHA_INI", yesterday).Set("HORA_INI", "07:00:00");
    r.Set("MONTO_INI", 0).Set("AGENTE", "0001").Set("H_LIMITE", "24:60:60").Set("LIMITE", limit);
    r.Set("FECHA_FIN", yesterday).Set("HORA_FIN", "15:02:10").Set("CTRL_USR", "SUP");
    r.Set("CTRL_COMP", "RECEPCION-1").Set("CTRL_HORA", "15:02:10").Set("CTRL_FECHA", yesterday);
    r.Set("CTRL_WIN_U", "recepcion");
  }));
  XB_RETURN_IF_ERROR(c.Add("DET_HCAJ", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CAJA", "02").Set("FECHA_INI", today).Set("HORA_INI", "07:00:00");
    r.Set("MONTO_INI", 0).Set("AGENTE", "0002").Set("H_LIMITE", "24:60:60").Set("LIMITE", limit);
  }));
  for (const auto& [currency, amount] :
       std::vector<std::pair<const char*, double>>{{"CR", 185000}, {"US", 240}})
    XB_RETURN_IF_ERROR(c.Add("DET_HCA2", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CAJA", "01").Set("MONEDA", currency).Set("MONTO", amount);
      r.Set("FECHA_INI", yesterday).Set("HORA_INI", "07:00:00").Set("FECHA_FIN", yesterday);
      r.Set("HORA_FIN", "15:02:10").Set("H_LIMITE", "24:60:60").Set("LIMITE", limit);
    }));

  struct Code {
    const char* code;
    const char* descrip;
    int tipo, deposita, no_cierre, pide_caja, tarjeta;
  };
  for (const Code& t : {Code{"EF", "PAGO EN EFECTIVO", 2, 1, 0, 1, 0},
                        Code{"TC", "PAGO CON TARJETA", 2, 1, 0, 1, 1},
                        Code{"PR", "PROPINAS", 2, 1, 1, 1, 0},
                        Code{"HA", "CARGO DE HABITACION", 1, 0, 0, 0, 0},
                        Code{"FA", "AJUSTE FALTANTE DE CAJA", 1, 0, 0, 0, 0},
                        Code{"SO", "AJUSTE SOBRANTE DE CAJA", 2, 0, 0, 0, 0}})
    XB_RETURN_IF_ERROR(c.Add("TRANSACS", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", t.code).Set("DESCRIP", t.descrip).Set("TIPO", t.tipo);
      r.Set("DEPOSITA", t.deposita).Set("NO_CIERRE", t.no_cierre).Set("PIDE_CAJA", t.pide_caja);
      r.Set("NO_CAJA", 0).Set("ES_TARJETA", t.tarjeta);
    }));
  XB_RETURN_IF_ERROR(c.Add("F_HOTEL", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("T_FALTANTE", "FA").Set("T_SOBRANTE", "SO");
    r.Set("SERIAL_FOL", "FOLIOS").Set("CIERRE_DIA", today).Set("MONEDA_RES", "CR");
  }));
  XB_RETURN_IF_ERROR(c.Add("F_HOTEL3", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CHECK_CAJA", 0);
  }));
  XB_RETURN_IF_ERROR(c.Add("SERIALES", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "FOLIOS").Set("DESCRIP", "Folios del hotel");
    r.Set("NUMERO", 5000).Set("NUMERO2", 999999).Set("JUSTIFICA", 0).Set("INDENT", 0);
  }));

  // Guest folios and the payments the boxes took.
  struct Folio {
    const char* number;
    const char* currency;
    const char* room;
  };
  for (const Folio& f : {Folio{"4998", "CR", "101"}, Folio{"4999", "US", "204"},
                         Folio{"5000", "US", "310"}})
    XB_RETURN_IF_ERROR(c.Add("ENC_FOL", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("NUMERO", f.number).Set("TIPO", "1").Set("MONEDA", f.currency);
      r.Set("CONSECUT", "0001").Set("GRUPO", "0001");
    }));
  auto pay = [&](const char* box, Day day, const Payment& p) {
    const bool dollars = std::string(p.folio) != "4998";
    const double rate = std::string(p.currency) == "US" && !dollars ? 530 : 1;
    return c.Add("DET_FOL", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("NUMERO", p.folio).Set("FECHA", day).Set("HORA", p.time);
      r.Set("CAJA", box).Set("COD_TRAN", p.code).Set("COD_TRANS", p.code);
      r.Set("CREDITO", p.amount * rate).Set("OCREDITO", p.amount).Set("OMONEDA", p.currency);
      r.Set("OCAMBIO", rate).Set("MONEDA", dollars ? "US" : "CR").Set("T_CAMBIO", rate);
      r.Set("ROOM", std::string(p.folio) == "4998" ? "101" : "204");
      r.Set("DOCUMEN", std::string("REC-") + p.time).Set("CIERRE_DIA", day).Set("FECHA_O", day);
      r.Set("COMENTA", "Pago del huésped").Set("USUARIO", "SUP");
    });
  };
  for (const Payment& p : {Payment{"4998", "EF", "08:15:00", "CR", 85000},
                           Payment{"4999", "EF", "09:40:00", "US", 120},
                           Payment{"4998", "TC", "11:05:00", "CR", 42000},
                           Payment{"4999", "PR", "12:30:00", "US", 15}})
    XB_RETURN_IF_ERROR(pay("01", yesterday, p));
  for (const Payment& p : {Payment{"4998", "EF", "07:45:00", "CR", 64500},
                           Payment{"5000", "EF", "08:20:00", "US", 310},
                           Payment{"4999", "TC", "09:05:00", "US", 95},
                           Payment{"5000", "PR", "10:10:00", "US", 20},
                           Payment{"4998", "EF", "10:55:00", "US", 50}})
    XB_RETURN_IF_ERROR(pay("02", today, p));
  return xb::Status::OK();
}

}  // namespace qz::demo
