#include "cash/deposits/deposit_register.h"

#include "cash/box_state.h"
#include "cash/deposits/bank_book.h"
#include "cash/deposits/deposit_card.h"
#include "cash/deposits/deposit_reports.h"
#include "cash/deposits/hotel_box.h"
#include "cash/deposits/journal.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/transaction.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/report_output.h"

namespace qz {
namespace {


// The payment type deposits are applied with: the first of kind "1".
std::string DepositPaymentType(void* owner, const std::string& negocio) {
  TablePtr t = USE(owner, "T_PAGO", "T_PAGO3");
  std::string code;
  if (t->Seek(Pad(negocio, 15) + "1") && !t->Eof()) code = FieldBytes(t->table(), "CODIGO");
  KILLTABLA(t);
  return code;
}

// What the applications leave of the deposit, and which of them go in.
struct AppliedDeposit {
  std::vector<Application> applied;
  double saldo = 0;
  std::string cod_res;
};

AppliedDeposit Apply(void* owner, const DepositForm& f, const HotelSettings& h,
                     std::vector<std::string>* skipped) {
  AppliedDeposit out;
  out.saldo = f.monto;
  TablePtr rooms = USE(owner, "DET_RES2", "DET_RES2");
  for (const auto& a : f.applications) {
    if (Trim(a.cod_res).empty()) continue;
    if (RoomLineState(*rooms, f.negocio, a) != '0') {
      skipped->push_back(kSkippedPrefix + Trim(a.cod_res) + kSkippedSuffix);
      continue;
    }
    out.applied.push_back(a);
    out.cod_res = a.cod_res;
    out.saldo = Cents(out.saldo - a.monto * f.cambio_res);
  }
  KILLTABLA(rooms);
  if (std::abs(out.saldo) <= h.dif_prepag + 0.0001) out.saldo = 0;
  return out;
}

// Gives the reservation the concept's type; answers the type it had, which
// the application keeps so that an annulment can give it back.
std::string ChangeReservationType(void* owner, const std::string& negocio,
                                  const std::string& cod_res, const std::string& tipo) {
  TablePtr t = USE(owner, "ENC_RES", "ENC_RES");
  std::string before;
  if (t->Seek(Pad(negocio, 15) + Pad(cod_res, 15)) && !t->Eof()) {
    LOCK_FOR_MODIFY(*t);
    before = FieldBytes(t->table(), "TIPO");
    StoreBytes(*t, "TIPO", tipo);
    UNLOCK_FOR_MODIFY(*t);
  }
  KILLTABLA(t);
  return before;
}

// The type the reservation had before the deposits applied to it changed
// it (recorded on their applications); empty when none did.
std::string TypeBeforeDeposits(WDBTable& res8, const std::string& negocio,
                               const std::string& cod_res) {
  const std::string key = Pad(negocio, 15) + Pad(cod_res, 15);
  res8.SetScope(xb::Value::Char(key), xb::Value::Char(key));
  std::string before;
  for (res8.GoTop(); !res8.Eof() && before.empty(); res8.Skip())
    if (!Trim(FieldBytes(res8.table(), "TIPO_ANT")).empty())
      before = FieldBytes(res8.table(), "TIPO_ANT");
  res8.ClearScope();
  return before;
}

std::string LineText(const DepositForm& f, const HotelSettings& h) {
  if (h.dep_rot == 1) return "Dep: " + Trim(f.num_dep) + " " + GuestName(f.apellido, f.nombre);
  return f.comentario;
}

void PostDepositJournal(void* owner, const DepositForm& f, const DepositConcept& c,
                        const HotelSettings& h, const std::string& movimiento) {
  LedgerEntry e;
  e.negocio = f.negocio;
  e.modulo = c.JournalModule();
  e.fecha = f.fecha;
  e.documento = movimiento;
  e.movimiento = movimiento;
  e.descrip = LineText(f, h);
  const std::string other = LinkAccount(owner, f.negocio, e.modulo, c.liga_otro);
  // The exchange difference, and any rounding, land on the deposit side.
  e.rounding_account = other;
  if (c.tipo_mov == 1) {
    const std::string side =
        c.doble_cont ? LinkAccount(owner, f.negocio, e.modulo, c.liga_otro2) : other;
    JournalLine deposit{side, e.descrip, 0, 0};
    (c.tipo == 1 ? deposit.debito : deposit.credito) = f.monto * f.cambio_con;
    e.lines.push_back(deposit);
  }
  for (const auto& l : f.counterpart)
    if (!Trim(l.cuenta).empty())
      e.lines.push_back({l.cuenta, e.descrip, l.debito * f.cambio_con, l.credito * f.cambio_con});
  PostJournal(owner, e);
}

void PostBank(void* owner, const DepositForm& f, const DepositConcept& c,
              const std::string& movimiento) {
  BankPosting p;
  p.negocio = f.negocio;
  p.banco = c.banco;
  p.cuenta = c.cuenta;
  p.concep_lib = c.concep_lib;
  p.fecha = f.fecha;
  p.monto = f.monto;
  p.cambio = f.cambio_con;
  p.descrip = f.comentario;
  p.hecho_por = f.hecho_por;
  p.num_dep = f.num_dep;
  p.movimiento = movimiento;
  for (const auto& l : f.counterpart)
    if (!Trim(l.cuenta).empty()) p.lines.push_back(l);
  if (p.lines.empty()) {
    // Without lines of its own the deposit's counterpart is the concept's link.
    CounterLine l;
    l.cuenta = LinkAccount(owner, f.negocio, c.JournalModule(), c.liga_otro);
    (ReadBankConcept(owner, f.negocio, c.concep_lib).tipo == 1 ? l.credito : l.debito) = f.monto;
    p.lines.push_back(l);
  }
  PostBankMovement(owner, p);
}

}  // namespace

std::optional<std::string> DepositRegistration::Register(DepositForm f) {
  skipped_.clear();
  const std::string caja = OpenHotelBox();
  if (caja.empty()) {
    MESSAGE_BOX(kNoOpenBox, "Error", kMbOk | kMbIconStop);
    return std::nullopt;
  }
  if (!StationTakesDeposits(f.negocio, caja)) {
    MESSAGE_BOX(kStationRefused, "Error", kMbOk | kMbIconStop);
    return std::nullopt;
  }
  DepositConcept c;
  if (!ReadConcept(owner_, f.negocio, f.concepto, &c)) c = DepositConcept{};
  const HotelSettings h = ReadHotelSettings(owner_, f.negocio);
  if (!Check(f, c, h)) return std::nullopt;
  used_res_[f.moneda] = f.cambio_res;
  used_con_[f.moneda] = f.cambio_con;

  CardPayment& card = card_;
  card = CardPayment{};
  if (!Trim(c.p_electro).empty()) {
    card = ChargeCard(desktop_, f.negocio, c.p_electro, f.moneda, f.monto, f.card_account,
                      GuestName(f.apellido, f.nombre));
    if (!card.approved) {
      MESSAGE_BOX(kCardRefusedPrefix + card.message, "Error", kMbOk | kMbIconStop);
      return std::nullopt;
    }
    f.num_dep = card.tarjeta;
  }

  std::string movimiento;
  bool box_closed = false;
  {
    WAIT wait(owner_, "Procesando Datos...");
    RunOperation([&] {
      // The journal's serial, before the transaction holds any serial.
      EnsureJournalSerial(owner_, f.negocio, c.tipo_mov == 0 ? kBankModule : c.JournalModule());
      START_ATOMIC_TRANSACTION();
      // The box is asked again under its lock, after the card terminal
      // (which may take a while), and kept open until the deposit is in.
      BoxKeptOpen box(HotelBoxKind(), f.negocio, caja);
      if (!box.open()) {
        END_TRANSACTION();  // nothing was written
        box_closed = true;
        return;
      }
      const std::string written = Write(f, c, h, caja);
      END_TRANSACTION();
      movimiento = written;
    });
  }
  if (movimiento.empty()) {
    // Nothing was kept: the charge goes back to the card.
    CancelCardPayment(desktop_, f.negocio, c.p_electro, f.moneda, card);
    skipped_.clear();
    if (box_closed) {
      OpenHotelBox();  // lets go of the box another workstation closed
      MESSAGE_BOX(kNoOpenBox, "Error", kMbOk | kMbIconStop);
    }
    return std::nullopt;
  }
  for (const auto& text : skipped_) MESSAGE_BOX(text, "Atención", kMbOk | kMbIconWarning);
  if (c.imp_comp)
    PRINT_REPORT(desktop_, DepositVoucher(owner_, f.negocio, {movimiento}));
  return movimiento;
}

std::string DepositRegistration::Write(const DepositForm& f, const DepositConcept& c,
                                       const HotelSettings& h, const std::string& caja) {
  skipped_.clear();
  const std::string movimiento = GET_NXSERIAL(owner_, f.negocio, c.serial);
  const AppliedDeposit applied = Apply(owner_, f, h, &skipped_);
  const std::string stamp = WorkstationStamp();

  TablePtr enc = USE(owner_, "ENC_HLIB", "ENC_HLIB");
  ADD_NEW_REC(*enc);
  StoreBytes(*enc, "NEGOCIO", f.negocio);
  StoreBytes(*enc, "MOVIMIENTO", movimiento);
  StoreBytes(*enc, "CONCEPTO", c.concepto);
  StoreDate(*enc, "FECHA", f.fecha);
  StoreBytes(*enc, "MONEDA", f.moneda);
  StoreNumber(*enc, "MONTO", f.monto);
  StoreNumber(*enc, "SALDO", applied.saldo);
  StoreNumber(*enc, "SALDO_IN", f.monto);
  StoreBytes(*enc, "NUM_DEP", f.num_dep);
  StoreText(*enc, "TXT_APELL1", f.apellido);
  StoreText(*enc, "TXT_NOMBRE", f.nombre);
  StoreText(*enc, "NOMBRE", GuestName(f.apellido, f.nombre));
  StoreDate(*enc, "ENTRADA", f.entrada);
  StoreDate(*enc, "SALIDA", f.salida);
  StoreText(*enc, "COMENTARIO", f.comentario);
  StoreNumber(*enc, "CAMBIO_RES", f.cambio_res);
  StoreNumber(*enc, "CAMBIO_CON", f.cambio_con);
  StoreBytes(*enc, "CAJA", caja);
  StoreBytes(*enc, "HECHO_POR", f.hecho_por);
  StoreBytes(*enc, "PE_TARJ", card_.tarjeta);
  StoreBytes(*enc, "PE_REFNO", card_.referencia);
  StoreBytes(*enc, "PE_AUTID", card_.autorizacion);
  StoreBytes(*enc, "PE_TRACE_N", card_.trace);
  StoreBytes(*enc, "PE_TIPO", c.p_electro);
  StoreBytes(*enc, "COD_RES", applied.cod_res);
  StoreNumber(*enc, "INCLUIDO", applied.applied.empty() ? 0 : 1);
  StoreNumber(*enc, "VER", applied.saldo == 0 ? 0 : c.visible);
  StoreDate(*enc, "F_CREACION", XDATE());
  StoreBytes(*enc, "H_CREACION", XTIME());
  StoreBytes(*enc, "USUARIO", G().XUSER_ABREVIA);
  StoreText(*enc, "INFO_USER", stamp);
  UNLOCK_NEW_REC(*enc);
  KILLTABLA(enc);

  TablePtr det = USE(owner_, "DET_HLIB", "DET_HLIB");
  for (const auto& l : f.counterpart) {
    if (Trim(l.cuenta).empty()) continue;
    ADD_NEW_REC(*det);
    StoreBytes(*det, "NEGOCIO", f.negocio);
    StoreBytes(*det, "MOVIMIENTO", movimiento);
    StoreBytes(*det, "CUENTA_CON", l.cuenta);
    StoreNumber(*det, "DEBITO", l.debito);
    StoreNumber(*det, "CREDITO", l.credito);
    StoreNumber(*det, "DEB_PORC", l.deb_porc);
    StoreNumber(*det, "CRED_PORC", l.cred_porc);
    UNLOCK_NEW_REC(*det);
  }
  KILLTABLA(det);

  if (c.tipo_mov == 0)
    PostBank(owner_, f, c, movimiento);
  else
    PostDepositJournal(owner_, f, c, h, movimiento);

  const std::string tip_pago = DepositPaymentType(owner_, f.negocio);
  TablePtr res8 = USE(owner_, "DET_RES8", "DET_RES8");
  for (const auto& a : applied.applied) {
    std::string tipo_ant;
    if (c.camb_res) {
      tipo_ant = ChangeReservationType(owner_, f.negocio, a.cod_res, c.tip_res);
      // A type an earlier deposit gave is not the reservation's own: keep
      // the one that deposit recorded.
      const std::string earlier = TypeBeforeDeposits(*res8, f.negocio, a.cod_res);
      if (!earlier.empty() && tipo_ant == Pad(c.tip_res, 2)) tipo_ant = earlier;
    }
    ADD_NEW_REC(*res8);
    StoreBytes(*res8, "NEGOCIO", f.negocio);
    StoreBytes(*res8, "COD_RES", a.cod_res);
    StoreBytes(*res8, "COD_HAB", a.cod_hab);
    StoreBytes(*res8, "ITEM_HAB", a.codigo);
    StoreNumber(*res8, "MONTO_PAGO", a.monto);
    StoreBytes(*res8, "MOVIMIENTO", movimiento);
    StoreBytes(*res8, "DOC_PAGO", f.num_dep);
    StoreDate(*res8, "FECHA_CREA", f.fecha);
    StoreBytes(*res8, "TIP_PAGO", tip_pago);
    StoreBytes(*res8, "USUARIO", G().XUSER_ABREVIA);
    StoreText(*res8, "INFO_USER", stamp);
    StoreBytes(*res8, "TIPO_ANT", tipo_ant);
    UNLOCK_NEW_REC(*res8);
  }
  KILLTABLA(res8);
  return movimiento;
}

}  // namespace qz
