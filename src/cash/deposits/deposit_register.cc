#include "cash/deposits/deposit_register.h"

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

void Put(WDBTable& t, const char* field, const std::string& bytes) {
  const int width = FieldWidth(t.table(), field);
  if (width > 0) t.FieldPut(field, xb::Value::Char(Pad(bytes, static_cast<size_t>(width))));
}
void PutText(WDBTable& t, const char* field, const std::string& utf8) {
  const int width = FieldWidth(t.table(), field);
  if (width > 0) t.FieldPut(field, xb::Value::Char(ToField(utf8, width)));
}
void PutNumber(WDBTable& t, const char* field, double n) {
  if (FieldWidth(t.table(), field) > 0) t.FieldPut(field, xb::Value::Number(n));
}
void PutDate(WDBTable& t, const char* field, int32_t d) {
  if (FieldWidth(t.table(), field) > 0) t.FieldPut(field, xb::Value::Date(d));
}

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

void ChangeReservationType(void* owner, const std::string& negocio, const std::string& cod_res,
                           const std::string& tipo) {
  TablePtr t = USE(owner, "ENC_RES", "ENC_RES");
  if (t->Seek(Pad(negocio, 15) + Pad(cod_res, 15)) && !t->Eof()) {
    LOCK_FOR_MODIFY(*t);
    Put(*t, "TIPO", tipo);
    UNLOCK_FOR_MODIFY(*t);
  }
  KILLTABLA(t);
}

std::string LineText(const DepositForm& f, const HotelSettings& h) {
  if (h.dep_rot == 1) return "Dep: " + Trim(f.num_dep) + " " + GuestName(f.apellido, f.nombre);
  return f.comentario;
}

void PostDepositJournal(void* owner, const DepositForm& f, const DepositConcept& c,
                        const HotelSettings& h, const std::string& movimiento) {
  JournalEntry e;
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
  {
    WAIT wait(owner_, "Procesando Datos...");
    RunOperation([&] {
      START_ATOMIC_TRANSACTION();
      const std::string written = Write(f, c, h, caja);
      END_TRANSACTION();
      movimiento = written;
    });
  }
  if (movimiento.empty()) {
    // Nothing was kept: the charge goes back to the card.
    CancelCardPayment(desktop_, f.negocio, c.p_electro, f.moneda, card);
    skipped_.clear();
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
  Put(*enc, "NEGOCIO", f.negocio);
  Put(*enc, "MOVIMIENTO", movimiento);
  Put(*enc, "CONCEPTO", c.concepto);
  PutDate(*enc, "FECHA", f.fecha);
  Put(*enc, "MONEDA", f.moneda);
  PutNumber(*enc, "MONTO", f.monto);
  PutNumber(*enc, "SALDO", applied.saldo);
  PutNumber(*enc, "SALDO_IN", f.monto);
  Put(*enc, "NUM_DEP", f.num_dep);
  PutText(*enc, "TXT_APELL1", f.apellido);
  PutText(*enc, "TXT_NOMBRE", f.nombre);
  PutText(*enc, "NOMBRE", GuestName(f.apellido, f.nombre));
  PutDate(*enc, "ENTRADA", f.entrada);
  PutDate(*enc, "SALIDA", f.salida);
  PutText(*enc, "COMENTARIO", f.comentario);
  PutNumber(*enc, "CAMBIO_RES", f.cambio_res);
  PutNumber(*enc, "CAMBIO_CON", f.cambio_con);
  Put(*enc, "CAJA", caja);
  Put(*enc, "HECHO_POR", f.hecho_por);
  Put(*enc, "PE_TARJ", card_.tarjeta);
  Put(*enc, "PE_REFNO", card_.referencia);
  Put(*enc, "PE_AUTID", card_.autorizacion);
  Put(*enc, "PE_TRACE_N", card_.trace);
  Put(*enc, "PE_TIPO", c.p_electro);
  Put(*enc, "COD_RES", applied.cod_res);
  PutNumber(*enc, "INCLUIDO", applied.applied.empty() ? 0 : 1);
  PutNumber(*enc, "VER", applied.saldo == 0 ? 0 : c.visible);
  PutDate(*enc, "F_CREACION", XDATE());
  Put(*enc, "H_CREACION", XTIME());
  Put(*enc, "USUARIO", G().XUSER_ABREVIA);
  PutText(*enc, "INFO_USER", stamp);
  UNLOCK_NEW_REC(*enc);
  KILLTABLA(enc);

  TablePtr det = USE(owner_, "DET_HLIB", "DET_HLIB");
  for (const auto& l : f.counterpart) {
    if (Trim(l.cuenta).empty()) continue;
    ADD_NEW_REC(*det);
    Put(*det, "NEGOCIO", f.negocio);
    Put(*det, "MOVIMIENTO", movimiento);
    Put(*det, "CUENTA_CON", l.cuenta);
    PutNumber(*det, "DEBITO", l.debito);
    PutNumber(*det, "CREDITO", l.credito);
    PutNumber(*det, "DEB_PORC", l.deb_porc);
    PutNumber(*det, "CRED_PORC", l.cred_porc);
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
    if (c.camb_res) ChangeReservationType(owner_, f.negocio, a.cod_res, c.tip_res);
    ADD_NEW_REC(*res8);
    Put(*res8, "NEGOCIO", f.negocio);
    Put(*res8, "COD_RES", a.cod_res);
    Put(*res8, "COD_HAB", a.cod_hab);
    Put(*res8, "ITEM_HAB", a.codigo);
    PutNumber(*res8, "MONTO_PAGO", a.monto);
    Put(*res8, "MOVIMIENTO", movimiento);
    Put(*res8, "DOC_PAGO", f.num_dep);
    PutDate(*res8, "FECHA_CREA", f.fecha);
    Put(*res8, "TIP_PAGO", tip_pago);
    Put(*res8, "USUARIO", G().XUSER_ABREVIA);
    PutText(*res8, "INFO_USER", stamp);
    UNLOCK_NEW_REC(*res8);
  }
  KILLTABLA(res8);
  return movimiento;
}

}  // namespace qz
