// What a hotel deposit is made of: its concept (CON_HLIB), the hotel
// parameters it follows, the counterpart and application lines the user
// gives, and small readers over the tables the deposit screens share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/settings/globals.h"

namespace qz {

// CON_HLIB: how a deposit of this concept is numbered, posted and applied.
struct DepositConcept {
  std::string concepto;  // 2 bytes
  std::string descrip;   // UTF-8, trimmed
  std::string serial;    // 15 bytes
  int visible = 1;
  int tipo_mov = 0;  // 0 bank book; 1 counterpart equal to the amount; 2 balanced counterpart
  int tipo = 0;      // TIPO_MOV 1: 1 the counterpart is a debit, 0 a credit
  bool no_mayores = false;
  bool aplica_res = false;
  std::string banco, cuenta, concep_lib;  // bank account and bank concept (bytes)
  std::string p_electro;                  // "01" first bank, "02" Credomatic, blank none
  bool camb_res = false;
  std::string tip_res;
  bool imp_comp = false;
  std::string modulo;  // 9 bytes; blank = "09"
  bool doble_cont = false;
  std::string liga_otro, liga_otro2;
  // The journal module the deposit posts to.
  std::string JournalModule() const;
};

// F_HOTEL, F_HOTEL3, F_HOTEL4 and the business's accounting currency.
struct HotelSettings {
  std::string moneda_res;  // currency of reservations
  std::string moneda_con;  // accounting currency (NEGOCIOS)
  double dif_prepag = 0;   // tolerance for differences
  double margen_dep = 0;   // margin over a reservation's total
  int dep_rot = 0;
  int m_prepa = 0;  // 0 compare with TOTAL, else TOTAL4
  bool com_prepa = false;
};

// One counterpart line (TMP_HLI2): an account with a debit or a credit in
// the deposit's currency.
struct CounterLine {
  std::string cuenta;  // account bytes
  double debito = 0, credito = 0;
  double deb_porc = 0, cred_porc = 0;
};

// One application to a reservation's room line (TMP_HLI3); the amount is
// in the reservations' currency.
struct Application {
  std::string cod_res;  // reservation
  std::string cod_hab;  // room type (2)
  std::string codigo;   // room line (4)
  std::string nombre_c;
  double monto = 0;
};

// What the user typed on the deposit screen.
struct DepositForm {
  std::string negocio;
  std::string concepto;
  std::string moneda;
  int32_t fecha = 0;
  double monto = 0;
  std::string num_dep;
  std::string apellido, nombre;  // guest, UTF-8
  int32_t entrada = 0, salida = 0;
  std::string comentario;  // UTF-8
  std::string hecho_por;   // HECHOPOR code
  double cambio_res = 0, cambio_con = 0;
  std::string card_account;  // card number given to the terminal
  std::vector<CounterLine> counterpart;
  std::vector<Application> applications;
};

// Fixed-width key parts: `s` blank-padded or cut to `width` bytes.
inline std::string Pad(const std::string& s, size_t width) { return PadRight(s, width); }
// An amount as the deposit messages show it ("999,999,999.99", trimmed).
std::string Amount(double n);
// Rounds to cents.
double Cents(double n);

// Reads the concept; false when the business has no such concept.
bool ReadConcept(void* owner, const std::string& negocio, const std::string& concepto,
                 DepositConcept* out);
HotelSettings ReadHotelSettings(void* owner, const std::string& negocio);

// The total a deposit is compared with (TOTAL or TOTAL4 by M_PREPA), the
// authorisation to go beyond it, and the type; found = false when the
// reservation does not exist.
struct ReservationInfo {
  bool found = false;
  double total = 0;
  bool aut_deps = false;
  std::string tipo;
};
ReservationInfo ReadReservation(WDBTable& enc_res, const std::string& negocio,
                                const std::string& cod_res, const HotelSettings& h);

// The state of a reservation's room line: '0' pending, '1' checked in, '2'
// checked out; 0 when the line does not exist.
char RoomLineState(WDBTable& det_res2, const std::string& negocio, const Application& a);

// The account behind an accounting link of `module`; empty when the link
// is missing or has no account.
std::string LinkAccount(void* owner, const std::string& negocio, const std::string& module,
                        const std::string& link);

// The texts shown for a deposit's guest: surname + " " + first name.
std::string GuestName(const std::string& apellido, const std::string& nombre);

}  // namespace qz
