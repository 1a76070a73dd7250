// The checks of a deposit before anything is written, in the order the
// user meets them.
#include <cmath>
#include <set>

#include "cash/deposits/bank_book.h"
#include "cash/deposits/deposit_register.h"
#include "lib/data/serials.h"
#include "lib/payroll/rates.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

bool Refuse(const std::string& text, const char* title = "Error") {
  MESSAGE_BOX(text, title, kMbOk | kMbIconStop);
  return false;
}

bool CurrencyExists(void* owner, const std::string& negocio, const std::string& moneda,
                    double* cambio_min) {
  TablePtr t = USE(owner, "MONEDAS", "MONEDAS");
  bool found = !Trim(moneda).empty() && t->Seek(Pad(negocio, 15) + Pad(moneda, 2)) && !t->Eof();
  if (found) *cambio_min = FieldNumber(t->table(), "CAMBIO_MIN");
  KILLTABLA(t);
  return found;
}

}  // namespace

DepositRates DepositRegistration::ProposeRates(const DepositForm& form) {
  DepositRates r;
  r.moneda = form.moneda;
  DepositConcept c;
  const bool known = ReadConcept(owner_, form.negocio, form.concepto, &c);
  if (known && c.tipo_mov == 0) {
    BankAccount a = ReadBankAccount(owner_, form.negocio, c.banco, c.cuenta);
    if (a.found) r.moneda = a.moneda;
    r.typed_con = ReadBankConcept(owner_, form.negocio, c.concep_lib).lee_cambio;
  }
  const HotelSettings h = ReadHotelSettings(owner_, form.negocio);
  TablePtr rates = USE(owner_, "T_CAMBIO", "T_CAMB2");
  // A rate turns amounts of `from` into `to`; one already used here wins.
  auto rate = [&](const std::string& from, const std::string& to,
                  std::map<std::string, double>& used) {
    if (Pad(from, 2) == Pad(to, 2)) return 1.0;
    auto it = used.find(r.moneda);
    if (it != used.end()) return it->second;
    return CAMBIO_SPEC(Pad(form.negocio, 15), rates->table(), to, from, form.fecha);
  };
  // Reservation amounts become deposit amounts; deposit amounts accounting ones.
  r.cambio_res = rate(h.moneda_res, r.moneda, used_res_);
  r.cambio_con = r.typed_con && Pad(r.moneda, 2) != Pad(h.moneda_con, 2)
                     ? form.cambio_con
                     : rate(r.moneda, h.moneda_con, used_con_);
  KILLTABLA(rates);
  return r;
}

bool DepositRegistration::CheckRates(const DepositForm& f, const HotelSettings& h) {
  if (f.cambio_res == 0)
    return Refuse("El tipo de cambio registrado para la reservación no debe ser igual a cero");
  if (f.cambio_con == 0)
    return Refuse("El tipo de cambio registrado para la contabilidad no debe ser igual a cero");
  double minimum = 0;
  CurrencyExists(owner_, f.negocio, f.moneda, &minimum);
  if (Pad(f.moneda, 2) != Pad(h.moneda_con, 2) && f.cambio_con < minimum)
    return Refuse("El Tipo de Cambio registrado para Contabilidad debe ser mayor a: " +
                  Trim(FormatNumber(minimum, "999,999.99")));
  if (Pad(f.moneda, 2) != Pad(h.moneda_res, 2) && f.cambio_res < minimum)
    return Refuse("El Tipo de Cambio registrado para Reservaciones debe ser mayor a: " +
                  Trim(FormatNumber(minimum, "999,999.99")));
  return true;
}

bool DepositRegistration::CheckApplications(DepositForm& f, const DepositConcept& c,
                                            const HotelSettings& h) {
  if (f.applications.size() == 1) f.applications[0].monto = Cents(f.monto / f.cambio_res);
  double applied = 0;
  for (const auto& a : f.applications) applied += a.monto;
  const double applied_dep = Cents(applied * f.cambio_res);
  if (applied_dep - f.monto > h.dif_prepag + 0.0001)
    return Refuse("El saldo no puede quedar en negativo\r\n" + Amount(applied_dep));
  TablePtr enc_res = USE(owner_, "ENC_RES", "ENC_RES");
  std::string too_much;
  for (const auto& a : f.applications) {
    if (!c.no_mayores) break;
    ReservationInfo r = ReadReservation(*enc_res, f.negocio, a.cod_res, h);
    if (r.aut_deps || a.monto <= r.total + h.margen_dep + 0.0001) continue;
    too_much = "Depósito de Reservación " + Trim(a.cod_res) +
               " supera el Monto de la Reservación: " + Amount(r.total) +
               ".  Aplicado: " + Amount(a.monto);
    break;
  }
  KILLTABLA(enc_res);
  if (!too_much.empty()) return Refuse(too_much, "Errores de Aplicación de Depósito");

  std::set<std::string> seen;
  std::string warning;
  TablePtr det = USE(owner_, "DET_RES8", "DET_RES8");
  for (const auto& a : f.applications) {
    if (!seen.insert(Pad(a.cod_res, 15)).second) continue;
    if (det->Seek(Pad(f.negocio, 15) + Pad(a.cod_res, 15)) && !det->Eof())
      warning += "La Reservación " + Trim(a.cod_res) + " ya tiene Depósitos aplicados.\r";
  }
  KILLTABLA(det);
  if (!warning.empty() &&
      MESSAGE_BOX("ADVERTENCIA:\r\r" + warning + "\r\rDesea continuar y aplicar el Movimiento?",
                  "Advertencia", kMbOkCancel | kMbIconWarning) != 1)
    return false;
  if (c.aplica_res && std::fabs(f.monto - applied_dep) > h.dif_prepag + 0.0001)
    return Refuse(
        "Los montos aplicados a las reservas no concuerdan con el monto del Depósito\r\n" +
        Amount(applied_dep));
  return true;
}

bool DepositRegistration::CheckCounterpart(const DepositForm& f, const DepositConcept& c) {
  double sum = 0;
  for (const auto& l : f.counterpart) sum += Cents(l.debito) - Cents(l.credito);
  sum = Cents(sum);
  if (c.tipo_mov == 1 && c.tipo == 1 && std::fabs(sum + f.monto) > 0.001)
    return Refuse("La Contrapartida Contable no suma el monto (D)");
  if (c.tipo_mov == 1 && c.tipo != 1 && std::fabs(sum - f.monto) > 0.001)
    return Refuse("La Contrapartida Contable no suma el monto (C)");
  if (c.tipo_mov == 2 && sum != 0) return Refuse("La Contrapartida Contable no cierra!");
  return true;
}

// What the posting needs must exist before the first write: a movement
// numbered "NO_SERIAL!" or a journal line without an account would be
// posted for good.
bool DepositRegistration::CheckAccounts(const DepositForm& f, const DepositConcept& c) {
  if (GET_CURRENTSERIAL(owner_, f.negocio, c.serial) == kNoSerial)
    return Refuse("El Concepto no tiene un consecutivo definido: " + Trim(c.serial));
  if (c.tipo_mov == 0) {
    BankAccount a = ReadBankAccount(owner_, f.negocio, c.banco, c.cuenta);
    if (!a.found) return Refuse("La cuenta bancaria del Concepto no existe");
    if (!ReadBankConcept(owner_, f.negocio, c.concep_lib).found)
      return Refuse("El concepto bancario del Concepto no existe");
    if (GET_CURRENTSERIAL(owner_, f.negocio, a.serial) == kNoSerial)
      return Refuse("La cuenta bancaria no tiene un consecutivo definido");
    if (LinkAccount(owner_, f.negocio, kBankModule, a.asiento1).empty())
      return Refuse("Falta la liga contable de la cuenta bancaria: " + Trim(a.asiento1));
  }
  const std::string module = c.JournalModule();
  const bool needs_other = c.tipo_mov != 0 || f.counterpart.empty();
  if (needs_other && LinkAccount(owner_, f.negocio, module, c.liga_otro).empty())
    return Refuse("Falta la liga contable del Concepto: " + Trim(c.liga_otro));
  if (c.tipo_mov != 0 && c.doble_cont &&
      LinkAccount(owner_, f.negocio, module, c.liga_otro2).empty())
    return Refuse("Falta la liga contable del Concepto: " + Trim(c.liga_otro2));
  return true;
}

bool DepositRegistration::Check(DepositForm& f, const DepositConcept& c, const HotelSettings& h) {
  if (Trim(f.hecho_por).empty())
    return Refuse("Falta seleccionar el Encargado de hacer el depósito");
  if (Trim(c.concepto).empty()) return Refuse("Falta seleccionar el Concepto");
  double minimum = 0;
  if (!CurrencyExists(owner_, f.negocio, f.moneda, &minimum)) return Refuse("Moneda inválida");
  if (!CheckRates(f, h)) return false;
  if (f.monto <= 0) return Refuse("Debe definir un Monto mayor a Cero");
  if (f.fecha <= 0) return Refuse("Fecha inválida");
  if (!CheckApplications(f, c, h)) return false;
  if (!CheckCounterpart(f, c)) return false;
  return CheckAccounts(f, c);
}

}  // namespace qz
