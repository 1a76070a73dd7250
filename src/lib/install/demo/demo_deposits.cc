// Hotel deposits of the demo's first hotel: its hotel parameters, the
// persons who take deposits, three deposit concepts (bank book, card,
// cash), a dollar bank account with its links, reservations with their
// rooms, and a few deposits already posted and applied.
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

struct Reserva {
  const char* code;
  double total;
  const char* agency;
  const char* segment;
  const char* source;
  const char* surname;
  const char* name;
  int arrival;  // days from today
  int nights;
  const char* estado;  // "0" pending, "1" in the house, "2" gone
};

const Reserva kReservas[] = {
    {"R-000101", 540.00, "EXPEDIA", "OCIO", "WEB", "Vargas", "Lucía", 12, 3, "0"},
    {"R-000102", 1250.00, "VIAJES SOL", "GRUP", "AGEN", "Müller", "Hans", 20, 5, "0"},
    {"R-000103", 380.00, "", "OCIO", "DIRE", "Rojas", "Andrés", 3, 2, "0"},
    {"R-000104", 910.00, "BOOKING", "CORP", "WEB", "Smith", "Emily", -2, 4, "1"},
    {"R-000105", 275.00, "VIAJES SOL", "OCIO", "AGEN", "Jiménez", "Carla", 30, 2, "0"},
    {"R-000106", 1600.00, "EXPEDIA", "GRUP", "WEB", "Dubois", "Claire", 45, 6, "0"},
};

struct Deposito {
  const char* concepto;  // "01" bank book, "03" cash
  int reserva;          // index into kReservas
  double amount;        // dollars
  double applied;       // dollars applied to the reservation
  int days_ago;
  const char* document;
};

const Deposito kDepositos[] = {
    {"03", 0, 200.00, 200.00, 9, "REC-4410"},
    {"01", 1, 625.00, 625.00, 7, "TRF-88120"},
    {"03", 2, 150.00, 100.00, 4, "REC-4418"},
    {"03", 3, 300.00, 300.00, 6, "REC-4402"},
    {"01", 5, 800.00, 0.00, 1, "TRF-88190"},
};

std::string Numbered(const char* prefix, int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%06d", prefix, n);
  return buf;
}

double Cents(double n) {
  return std::round(n * 100.0) / 100.0;
}

}  // namespace

xb::Status AddDeposits(Context& c) {
  if (c.businesses.empty()) return xb::Status::OK();
  const Business& b = c.businesses.front();
  const std::string& n = b.code;
  const Day today = c.today();
  const double rate = 505.25;  // colones per dollar on the deposits' days
  const std::string bank_account = "200-01-7654321";

  // The hotel's parameter rows come from the cash boxes' part (one row per
  // business): reservations in dollars, the deposit margin and tolerance.
  XB_RETURN_IF_ERROR(UpdateRow(c, "F_HOTEL", n, [&](xb::Table& t) {
    t.Put("MONEDA_RES", xb::Value::Char("US"));
    t.Put("DIF_PREPAG", xb::Value::Number(0.5));
  }));
  XB_RETURN_IF_ERROR(UpdateRow(c, "F_HOTEL3", n, [&](xb::Table& t) {
    t.Put("MARGEN_DEP", xb::Value::Number(50));
    t.Put("DEP_ROT", xb::Value::Number(1));
  }));
  XB_RETURN_IF_ERROR(c.Add("F_HOTEL4", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("M_PREPA", 0).Set("COM_PREPA", 1);
  }));
  for (const auto& [code, name] : std::vector<std::pair<const char*, const char*>>{
           {"RECE", "Recepción"}, {"RESV", "Oficina de Reservaciones"}, {"CONT", "Contabilidad"}})
    XB_RETURN_IF_ERROR(c.Add("HECHOPOR", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", code).Set("NOMBRE", name);
    }));
  for (const auto& [code, descrip, kind] : std::vector<std::tuple<const char*, const char*, const char*>>{
           {"EF", "Efectivo", "0"}, {"DP", "Depósito previo", "1"}, {"TC", "Tarjeta de crédito", "2"}})
    XB_RETURN_IF_ERROR(c.Add("T_PAGO", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("TIPO", kind);
    }));

  // Concepts, their serials, the bank account and the accounting links.
  struct Concepto {
    const char* code;
    const char* descrip;
    int tipo_mov;
    const char* card;
  };
  for (const auto& k : {Concepto{"01", "Depósito bancario", 0, ""},
                        Concepto{"02", "Pre-pago con tarjeta", 1, "02"},
                        Concepto{"03", "Depósito en efectivo", 1, ""}})
    XB_RETURN_IF_ERROR(c.Add("CON_HLIB", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CONCEPTO", k.code).Set("DESCRIP", k.descrip);
      r.Set("SERIAL", "DEPOSITOS").Set("VISIBLE", 1).Set("TIPO_MOV", k.tipo_mov).Set("TIPO", 1);
      r.Set("BANCO", "01").Set("CUENTA", bank_account).Set("CONCEP_LIB", "DEPO");
      r.Set("P_ELECTRO", k.card).Set("IMP_COMP", 0).Set("LIGA_OTRO", "ANTICIPOS");
      r.Set("LIGA_OTRO2", "DIFCAMBIO");
    }));
  const int bank_deposits = 2;
  const int deposits = static_cast<int>(std::size(kDepositos));
  for (const auto& [code, descrip, prefix, used] :
       std::vector<std::tuple<const char*, const char*, const char*, int>>{
           {"DEPOSITOS", "Depósitos de hotel", "DH-", deposits},
           {"LIBRO01", "Libro de bancos, cuenta en dólares", "LB-", bank_deposits}})
    XB_RETURN_IF_ERROR(c.Add("SERIALES", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("NUMERO", used);
      r.Set("NUMERO2", 999999).Set("JUSTIFICA", 0).Set("INDENT", 6).Set("PREFIJO", prefix);
    }));
  XB_RETURN_IF_ERROR(c.Add("CONCEPT5", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "DEPO").Set("DESCRIP", "Depósitos de huéspedes");
    r.Set("TIPO", 1).Set("LEE_CAMBIO", 0);
  }));
  for (const auto& [module, code, descrip, account] :
       std::vector<std::tuple<const char*, const char*, const char*, const char*>>{
           {"09", "ANTICIPOS", "Anticipos de huéspedes", "2-01-03-001"},
           {"09", "DIFCAMBIO", "Diferencial cambiario", "7-02-01-004"},
           {"09", "CAJA", "Caja recepción", "1-01-01-002"},
           {"04", "BANCODOL", "Banco Nacional dólares", "1-01-02-003"}})
    XB_RETURN_IF_ERROR(c.Add("LIGAS", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("MODULO", module).Set("CODIGO", code).Set("DESCRIP", descrip);
      r.Set("CUENTA", account);
    }));

  // Reservations and their rooms.
  int room = 101;
  for (const auto& res : kReservas) {
    XB_RETURN_IF_ERROR(c.Add("ENC_RES", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", res.code).Set("TOTAL", res.total);
      r.Set("TOTAL2", res.total).Set("TOTAL4", res.total).Set("AUT_DEPS", 0).Set("TIPO", "GA");
      r.Set("AGENCIA", res.agency).Set("SEGMENTO", res.segment).Set("FUENTE", res.source);
    }));
    XB_RETURN_IF_ERROR(c.Add("DET_RES2", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("COD_RES", res.code).Set("COD_HAB", "DB").Set("CODIGO", "0001");
      r.Set("NOMBRE", res.name).Set("APELLIDO1", res.surname);
      r.Set("NOMBRE_C", std::string(res.surname) + " " + res.name);
      r.Set("F_INICIO", today.Plus(res.arrival)).Set("F_FINAL", today.Plus(res.arrival + res.nights));
      r.Set("ESTADO", res.estado).Set("COD_ROOMS", std::to_string(room++));
    }));
  }

  // The deposits, posted as registering posts them.
  double bank_balance = 0;
  int bank_number = 0, journal_number = 0;
  std::map<std::pair<int, int>, double> month_credits;  // the month's totals of the account
  for (int i = 0; i < deposits; ++i) {
    const Deposito& d = kDepositos[i];
    const Reserva& res = kReservas[d.reserva];
    const std::string mov = Numbered("DH-", i + 1);
    const Day fecha = today.Plus(-d.days_ago);
    const double saldo = Cents(d.amount - d.applied);
    const double local = Cents(d.amount * rate);
    const bool bank = std::string(d.concepto) == "01";
    XB_RETURN_IF_ERROR(c.Add("ENC_HLIB", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("MOVIMIENTO", mov).Set("CONCEPTO", d.concepto).Set("FECHA", fecha);
      r.Set("MONEDA", "US").Set("MONTO", d.amount).Set("SALDO", saldo).Set("SALDO_IN", d.amount);
      r.Set("NUM_DEP", d.document).Set("TXT_APELL1", res.surname).Set("TXT_NOMBRE", res.name);
      r.Set("NOMBRE", std::string(res.surname) + " " + res.name);
      r.Set("ENTRADA", today.Plus(res.arrival)).Set("SALIDA", today.Plus(res.arrival + res.nights));
      r.Set("COMENTARIO", std::string("Reservación ") + res.code);
      r.Set("CAMBIO_RES", 1).Set("CAMBIO_CON", rate).Set("CAJA", "01").Set("HECHO_POR", "RECE");
      r.Set("COD_RES", d.applied > 0 ? res.code : "").Set("INCLUIDO", d.applied > 0 ? 1 : 0);
      r.Set("VER", saldo == 0 ? 0 : 1).Set("F_CREACION", fecha).Set("H_CREACION", "09:15:00");
      r.Set("USUARIO", "SUP").Set("INFO_USER", "instalador / demo");
    }));
    if (d.applied > 0)
      XB_RETURN_IF_ERROR(c.Add("DET_RES8", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("COD_RES", res.code).Set("COD_HAB", "DB").Set("ITEM_HAB", "0001");
        r.Set("MONTO_PAGO", d.applied).Set("MOVIMIENTO", mov).Set("DOC_PAGO", d.document);
        r.Set("FECHA_CREA", fecha).Set("TIP_PAGO", "DP").Set("USUARIO", "SUP");
        r.Set("INFO_USER", "instalador / demo");
      }));
    // The journal entry: the deposit side against the account that took it.
    const std::string module = bank ? "04" : "09";
    const std::string number = Numbered("", ++journal_number);
    const std::string document = bank ? Numbered("LB-", bank_number + 1) : mov;
    XB_RETURN_IF_ERROR(c.Add("ENC_ASIE", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("MODULO", module).Set("NUMERO", number).Set("FECHA", fecha);
      r.Set("DOCUMEN", document).Set("DESCRIP", std::string("Depósito ") + d.document);
      r.Set("MOVIMIENTO", mov).Set("USUARIO", "SUP").Set("INFO_USER", "instalador / demo");
    }));
    const char* debit_account = bank ? "1-01-02-003" : "1-01-01-002";
    int line = 0;
    for (const auto& [account, debit, credit] :
         std::vector<std::tuple<const char*, double, double>>{
             {debit_account, local, 0.0}, {"2-01-03-001", 0.0, local}})
      XB_RETURN_IF_ERROR(c.Add("DET_ASIE", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("MODULO", module).Set("NUMERO", number).Set("LINEA", ++line);
        r.Set("CUENTA", account).Set("DESCRIP", std::string("Depósito ") + d.document);
        r.Set("DEBITO", debit).Set("CREDITO", credit);
      }));
    if (!bank) continue;
    // The bank book: movement, its lines and the month's totals.
    bank_balance = Cents(bank_balance + d.amount);
    const std::string lib = Numbered("LB-", ++bank_number);
    XB_RETURN_IF_ERROR(c.Add("ENC_LIB", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("BANCO", "01").Set("CUENTA", bank_account).Set("NUMERO", lib);
      r.Set("CONCEP_LIB", "DEPO").Set("FECHA", fecha).Set("MONTO", d.amount);
      r.Set("SALDO", 25000.0 + bank_balance).Set("DESCRIP", std::string("Reservación ") + res.code);
      r.Set("HECHO_POR", "RECE").Set("NUM_DEP", d.document).Set("MOVIMIENTO", mov);
      r.Set("USUARIO", "SUP").Set("INFO_USER", "instalador / demo").Set("CONSOLIDA", "0");
      r.Set("CAMBIO", rate);
    }));
    for (const char* table : {"DET_LIB", "DET_LIB3", "DET_LIB4"})
      XB_RETURN_IF_ERROR(c.Add(table, [&](Row& r) {
        r.Set("NEGOCIO", n).Set("BANCO", "01").Set("CUENTA", bank_account).Set("NUMERO", lib);
        r.Set("CUENTA_CON", "2-01-03-001").Set("DEBITO", 0.0).Set("CREDITO", d.amount);
      }));
    month_credits[{fecha.year(), fecha.month()}] += local;
  }
  for (const auto& [month, credit] : month_credits)
    XB_RETURN_IF_ERROR(c.Add("MES_LIB4", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("BANCO", "01").Set("CUENTA", "2-01-03-001");
      r.Set("ANHO", month.first).Set("MES", month.second).Set("DEBITO", 0.0);
      r.Set("CREDITO", Cents(credit));
    }));
  return c.Add("CUEN_LIB", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("BANCO", "01").Set("CUENTA", bank_account);
    r.Set("DESCRIP", "Cuenta corriente dólares").Set("MONEDA", "US");
    r.Set("ASIENTO1", "BANCODOL").Set("SALDO", 25000.0 + bank_balance).Set("SERIAL", "LIBRO01");
  });
}

}  // namespace qz::demo
