#include "cash/deposits/deposit_annul.h"

#include <utility>
#include <vector>

#include "cash/box_state.h"
#include "cash/deposits/bank_book.h"
#include "cash/deposits/deposit_data.h"
#include "cash/deposits/hotel_box.h"
#include "cash/deposits/journal.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "xbase/value.h"

namespace qz {
namespace {

bool Refuse(const std::string& text) {
  MESSAGE_BOX(text, "Error", kMbOk | kMbIconStop);
  return false;
}

struct Movement {
  bool found = false;
  bool anulado = false;
  std::string concepto, num_dep;
  int32_t fecha = 0;
};

Movement ReadMovement(void* owner, const std::string& negocio, const std::string& movimiento) {
  Movement m;
  TablePtr t = USE(owner, "ENC_HLIB", "ENC_HLIB");
  if (t->Seek(Pad(negocio, 15) + Pad(movimiento, 15)) && !t->Eof()) {
    const xb::Table& r = t->table();
    m.found = true;
    m.anulado = FieldNumber(r, "ANULADO") == 1;
    m.concepto = FieldBytes(r, "CONCEPTO");
    m.num_dep = FieldBytes(r, "NUM_DEP");
    m.fecha = t->FieldGet("FECHA").date();
  }
  KILLTABLA(t);
  return m;
}

// The rooms and master accounts the deposit is applied to must still take
// it back: a checked-in or checked-out room, or a master account, holds it.
// The refusal to show, or "" when they all do.
std::string ApplicationsHeld(void* owner, const std::string& negocio,
                             const std::string& movimiento) {
  std::vector<Application> apps;
  {
    TablePtr t = USE(owner, "DET_RES8", "DET_RES8B");
    const std::string key = Pad(negocio, 15) + Pad(movimiento, 15);
    t->SetScope(xb::Value::Char(key), xb::Value::Char(key));
    for (t->GoTop(); !t->Eof(); t->Skip()) {
      Application a;
      a.cod_res = FieldBytes(t->table(), "COD_RES");
      a.cod_hab = FieldBytes(t->table(), "COD_HAB");
      a.codigo = FieldBytes(t->table(), "ITEM_HAB");
      apps.push_back(a);
    }
    KILLTABLA(t);
  }
  TablePtr rooms = USE(owner, "DET_RES2", "DET_RES2");
  TablePtr masters = USE(owner, "MAESTRAS", "MAESTRAS");
  std::string refusal;
  for (const auto& a : apps) {
    const char state = RoomLineState(*rooms, negocio, a);
    if (state == '1' || state == '2') {
      refusal = std::string("El déposito se encuentra asociado a una habitación ") +
                (state == '1' ? "Checked-In" : "Checked-Out") + "\r\n# Reserva :" +
                Trim(a.cod_res) + "\r\nHabitacion :" + Trim(FieldBytes(rooms->table(), "COD_ROOMS"));
      break;
    }
    if (masters->Seek(Pad(negocio, 15) + Pad(a.cod_res, 15)) && !masters->Eof()) {
      const bool closed = FieldBytes(masters->table(), "ESTADO") == "C";
      refusal = std::string("El déposito se encuentra asociado a una Cuenta Maestra") +
                (closed ? " cerrada" : "") + "\r\nMaestra :" + Trim(a.cod_res);
      break;
    }
  }
  KILLTABLA(rooms);
  KILLTABLA(masters);
  return refusal;
}

// The newest closed accounting period (the last date in SALDOS).
int32_t LastClosedPeriod(void* owner, const std::string& negocio) {
  TablePtr t = USE(owner, "SALDOS", "SALDOS");
  const std::string key = Pad(negocio, 15);
  t->SetScope(xb::Value::Char(key), xb::Value::Char(key));
  t->GoBottom();
  int32_t last = t->Eof() ? 0 : t->FieldGet("FECHA").date();
  KILLTABLA(t);
  return last;
}

int MonthIndex(int32_t julian) {
  int y = 0, m = 0, d = 0;
  xb::YmdFromJulian(julian, &y, &m, &d);
  return y * 12 + m;
}

bool DateAllowed(void* owner, const std::string& negocio, const Movement& m,
                 const DepositConcept& c, int32_t fecha) {
  if (fecha <= 0) return Refuse("Fecha inválida");
  const int32_t closed = LastClosedPeriod(owner, negocio);
  if (closed > 0 && MonthIndex(fecha) <= MonthIndex(closed))
    return Refuse("El movimiento no se puede procesar pues se encuentra\r\nfuera del periódo contable");
  if (c.tipo_mov == 0) {
    TablePtr t = USE(owner, "F_BANCOS", "F_BANCOS");
    int mes = 0, anho = 0;
    if (t->Seek(Pad(negocio, 15)) && !t->Eof()) {
      mes = static_cast<int>(FieldNumber(t->table(), "MES_ACT"));
      anho = static_cast<int>(FieldNumber(t->table(), "ANHO_ACT"));
    }
    KILLTABLA(t);
    int y = 0, mo = 0, d = 0;
    xb::YmdFromJulian(fecha, &y, &mo, &d);
    if (anho > 0 && y != anho)
      return Refuse("El movimiento a procesar se encuentra fuera del año activo del módulo");
    if (mes > 0 && mo != mes)
      return Refuse("El movimiento a procesar se encuentra fuera del mes activo del módulo");
  }
  if (fecha < m.fecha)
    return Refuse("La Fecha de Anulación debe ser superior a la Fecha de Creación del Movimiento");
  return true;
}

// The type an application changed goes back when the reservation keeps no
// other application and still has the type the deposit gave it (the front
// desk may have changed it since, and that choice stays).
// REQUIRES: `enc` (ENC_RES) holds the reservations' records locked.
void RestoreReservationTypes(void* owner, WDBTable& enc, const std::string& negocio,
                             const std::string& given,
                             const std::vector<std::pair<std::string, std::string>>& types) {
  TablePtr res8 = USE(owner, "DET_RES8", "DET_RES8");
  for (const auto& [cod_res, before] : types) {
    const std::string key = Pad(negocio, 15) + Pad(cod_res, 15);
    if (res8->Seek(key) && !res8->Eof()) continue;
    if (!(enc.Seek(key) && !enc.Eof())) continue;
    if (FieldBytes(enc.table(), "TIPO") != Pad(given, 2)) continue;
    LOCK_FOR_MODIFY(enc);
    StoreBytes(enc, "TIPO", before);
    UNLOCK_FOR_MODIFY(enc);
  }
  KILLTABLA(res8);
}

constexpr const char* kAlreadyAnnulled = "No se puede anular un movimiento ya anulado";

// The annulment's writes; the refusal when, under the movement's lock, it
// turns out annulled by another workstation meanwhile or its applications
// taken by the front desk meanwhile (then nothing is written).
std::string WriteAnnulment(void* owner, const std::string& negocio,
                           const std::string& movimiento, const Movement& m,
                           const DepositConcept& c, int32_t fecha) {
  TablePtr t = USE(owner, "ENC_HLIB", "ENC_HLIB");
  if (!(t->Seek(Pad(negocio, 15) + Pad(movimiento, 15)) && !t->Eof())) {
    KILLTABLA(t);
    return "Falta seleccionar el movimiento que desea anular";
  }
  LOCK_FOR_MODIFY(*t);
  std::string refusal;
  if (FieldNumber(t->table(), "ANULADO") == 1)
    refusal = kAlreadyAnnulled;
  else
    refusal = ApplicationsHeld(owner, negocio, movimiento);
  if (!refusal.empty()) {
    UNLOCK_FOR_MODIFY(*t);
    KILLTABLA(t);
    return refusal;
  }
  if (c.tipo_mov == 0) {
    ReverseBankMovement(owner, negocio, movimiento, fecha, m.num_dep);
  } else {
    LedgerEntry e;
    e.negocio = negocio;
    e.modulo = c.JournalModule();
    e.fecha = fecha;
    e.documento = movimiento;
    e.movimiento = movimiento;
    e.descrip = "Anulación Dep: " + Trim(FromField(xb::Value::Char(m.num_dep)));
    e.lines = Reversed(PostedLines(owner, negocio, e.modulo, movimiento));
    e.rounding_account = LinkAccount(owner, negocio, e.modulo, c.liga_otro);
    PostJournal(owner, e);
  }
  // An annulled deposit has nothing left to apply.
  t->FieldPut("SALDO", xb::Value::Number(0));
  t->FieldPut("VER", xb::Value::Number(0));
  t->FieldPut("ANULADO", xb::Value::Number(1));
  t->FieldPut("F_ANULADO", xb::Value::Date(XDATE()));
  t->FieldPut("H_ANULADO", xb::Value::Char(XTIME()));
  t->FieldPut("A_USUARIO", xb::Value::Char(Pad(G().XUSER_ABREVIA, 4)));
  t->FieldPut("ANUL_USER", xb::Value::Char(ToField(WorkstationStamp(), 60)));
  UNLOCK_FOR_MODIFY(*t);
  KILLTABLA(t);
  TablePtr res8 = USE(owner, "DET_RES8", "DET_RES8B");
  const std::string key = Pad(negocio, 15) + Pad(movimiento, 15);
  std::vector<std::pair<std::string, std::string>> types;  // reservation, type before
  res8->SetScope(xb::Value::Char(key), xb::Value::Char(key));
  for (res8->GoTop(); !res8->Eof(); res8->Skip()) {
    const std::string before = FieldBytes(res8->table(), "TIPO_ANT");
    if (!Trim(before).empty()) types.emplace_back(FieldBytes(res8->table(), "COD_RES"), before);
  }
  res8->ClearScope();
  // The reservations whose type may go back are held before their
  // applications go: a deposit another workstation applies to one of them
  // meanwhile (which changes its type under the same lock) then reads the
  // type and the applications as they were, or as this annulment leaves
  // them, never half way.
  TablePtr reservations = USE(owner, "ENC_RES", "ENC_RES");
  if (c.camb_res)
    for (const auto& type : types)
      if (reservations->Seek(Pad(negocio, 15) + Pad(type.first, 15)) && !reservations->Eof())
        LOCK_WITHOUT_LOG(*reservations);
  while (res8->Seek(key) && !res8->Eof()) DELETE_RECORD(*res8);
  KILLTABLA(res8);
  if (c.camb_res) RestoreReservationTypes(owner, *reservations, negocio, c.tip_res, types);
  KILLTABLA(reservations);
  return "";
}

}  // namespace

bool MayAnnulDeposit(void* owner, const std::string& negocio, const std::string& movimiento) {
  if (Trim(movimiento).empty()) return Refuse("Falta seleccionar el movimiento que desea anular");
  const Movement m = ReadMovement(owner, negocio, movimiento);
  if (!m.found) return Refuse("Falta seleccionar el movimiento que desea anular");
  if (m.anulado) return Refuse(kAlreadyAnnulled);
  const std::string held = ApplicationsHeld(owner, negocio, movimiento);
  if (!held.empty()) return Refuse(held);
  const std::string caja = OpenHotelBox();
  if (caja.empty()) return Refuse(kNoOpenBox);
  if (!StationTakesDeposits(negocio, caja)) return Refuse(kStationRefused);
  return true;
}

bool AnnulDeposit(WDIAG* owner, const std::string& negocio, const std::string& movimiento,
                  int32_t fecha, const std::string& hecho_por) {
  if (!MayAnnulDeposit(owner, negocio, movimiento)) return false;
  if (Trim(hecho_por).empty())
    return Refuse("Falta seleccionar el Encargado de hacer el depósito");
  const Movement m = ReadMovement(owner, negocio, movimiento);
  DepositConcept c;
  ReadConcept(owner, negocio, m.concepto, &c);
  if (!DateAllowed(owner, negocio, m, c, fecha)) return false;
  const std::string caja = OpenHotelBox();
  bool done = false;
  std::string refusal;
  {
    WAIT wait(owner, "Procesando Datos...");
    RunOperation([&] {
      EnsureJournalSerial(owner, negocio, c.tipo_mov == 0 ? kBankModule : c.JournalModule());
      START_ATOMIC_TRANSACTION();
      // What the checks saw may have changed since the window opened: the
      // box is asked again under its lock, the movement under its own.
      BoxKeptOpen box(HotelBoxKind(), negocio, caja);
      const std::string r =
          box.open() ? WriteAnnulment(owner, negocio, movimiento, m, c, fecha) : kNoOpenBox;
      END_TRANSACTION();  // with a refusal nothing was written
      refusal = r;
      done = r.empty();
    });
  }
  if (!refusal.empty()) {
    if (refusal == kNoOpenBox) OpenHotelBox();  // lets go of the box closed elsewhere
    Refuse(refusal);
  }
  return done;
}

}  // namespace qz
