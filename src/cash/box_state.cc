#include "cash/box_state.h"

#include "cash/optional_fields.h"
#include "lib/data/transaction.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/cash_button.h"
#include "lib/ui/catalog_data.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

std::string Key(const std::string& business, const std::string& code) {
  return PadRight(business, 15) + PadRight(code, 2);
}

// The date the open shift of a box carries in its closing date: none.
std::string OpenShiftKey(const std::string& business, const std::string& code) {
  return Key(business, code) + std::string(8, ' ');
}

BoxHeader ReadHeader(const WDBTable& t) {
  BoxHeader h;
  h.recno = t.RecNo();
  h.code = FieldBytes(t.table(), "CODIGO");
  h.descrip = FieldText(t.table(), "DESCRIP");
  h.estado = Trim(FieldBytes(t.table(), "ESTADO"));
  h.password = PadRight(FieldBytes(t.table(), "PASSWORD"), 10);
  h.tip_cierre = static_cast<int>(FieldNumber(t.table(), "TIP_CIERRE"));
  h.arqueo_ad = static_cast<int>(FieldNumber(t.table(), "ARQUEO_AD"));
  h.t_control = static_cast<int>(FieldNumber(t.table(), "T_CONTROL"));
  return h;
}

Shift ReadShift(const WDBTable& t) {
  Shift s;
  s.recno = t.RecNo();
  s.fecha_ini = t.FieldGet("FECHA_INI").date();
  s.hora_ini = FieldBytes(t.table(), "HORA_INI");
  s.agente = FieldBytes(t.table(), "AGENTE");
  s.fecha_fin = t.FieldGet("FECHA_FIN").date();
  s.hora_fin = FieldBytes(t.table(), "HORA_FIN");
  return s;
}

bool SeekHeader(WDBTable& t, const std::string& business, const std::string& code) {
  return t.Seek(Key(business, code)) && !t.Eof();
}

}  // namespace

void CashBoxSlots::Clear() {
  descrip.clear();
  cashier_name.clear();
  open = 0;
  code = kNoBox;
  kind = kNoCashKind;
}

CashButton* CashBoxes::Button() const {
  return button ? button : CurrentCashButton();
}

void CashBoxes::ShowIcon(int box_type, int open) {
  CashButton* b = Button();
  if (!b) return;
  if (box_type == 2) {
    b->CHANGE_CAJA2(open);
  } else {
    b->CHANGE_CAJA(open);
  }
}

void CashBoxes::Hold(const BoxKind& kind, const std::string& code, const std::string& descrip,
                     const std::string& cashier_code, const std::string& cashier_name,
                     bool reattach) {
  CashBoxSlots& s = Slots(kind.box_type);
  s.descrip = descrip;
  s.cashier_name = cashier_name;
  s.open = 1;
  s.code = PadRight(code, 2);
  s.kind = kind.kind_code;
  if (kind.sales()) s.sales_cashier = cashier_code;
  if (kind.reservations() && reattach) s.res_cashier = cashier_code;
  ShowIcon(kind.box_type, 1);
}

void CashBoxes::Release(const BoxKind& kind) {
  CashBoxSlots& s = Slots(kind.box_type);
  s.Clear();
  if (kind.sales()) s.sales_cashier.clear();
  if (kind.reservations()) s.res_cashier.clear();
  ShowIcon(kind.box_type, 0);
}

bool CashBoxes::StillOpen(int box_type) {
  CashBoxSlots& s = Slots(box_type);
  CashButton* b = Button();
  if (!b) return s.open == 1;
  const std::string business = b->ActiveBusiness();
  if (business.empty()) return s.open == 1;
  const BoxKind* kind = BoxKindOfCode(s.kind, box_type);
  if (!kind) return s.open == 1;
  TablePtr t = USE(nullptr, kind->header, kind->header_tag);
  const bool closed_elsewhere =
      SeekHeader(*t, business, s.code) && Trim(FieldBytes(t->table(), "ESTADO")) == "C";
  KILLTABLA(t);
  if (closed_elsewhere) {
    s.Clear();
    s.res_cashier.clear();
    ShowIcon(box_type, 0);
    return false;
  }
  return s.open == 1;
}

CashBoxes& ProcessCashBoxes() {
  static CashBoxes boxes;
  return boxes;
}

void ResetCashBoxes() {
  CashBoxes& b = ProcessCashBoxes();
  b.XH_CAJAS = CashBoxSlots();
  b.XH2_CAJAS = CashBoxSlots();
  b.button = nullptr;
}

bool CAJA_ABIERTA() { return ProcessCashBoxes().CAJA_ABIERTA(); }
std::string GET_CAJA_ABIERTA() { return ProcessCashBoxes().XH_CAJAS.code; }
std::string GET_DIG_ABIERTO() { return ProcessCashBoxes().XH_CAJAS.cashier_name; }
std::string GET_COD_DIG_ABIERTO() { return ProcessCashBoxes().XH_CAJAS.res_cashier; }
bool CAJA2_ABIERTA() { return ProcessCashBoxes().CAJA2_ABIERTA(); }
std::string GET_CAJA2_ABIERTA() { return ProcessCashBoxes().XH2_CAJAS.code; }
std::string GET_DIG2_ABIERTO() { return ProcessCashBoxes().XH2_CAJAS.cashier_name; }
std::string GET_COD_DIG2_ABIERTO() { return ProcessCashBoxes().XH2_CAJAS.res_cashier; }

std::optional<BoxHeader> ReadBoxHeader(const BoxKind& kind, const std::string& business,
                                       const std::string& code) {
  TablePtr t = USE(nullptr, kind.header, kind.header_tag);
  std::optional<BoxHeader> h;
  if (SeekHeader(*t, business, code)) h = ReadHeader(*t);
  KILLTABLA(t);
  return h;
}

std::optional<Shift> FindShift(const BoxKind& kind, uint32_t recno) {
  TablePtr t = USE(nullptr, kind.shift, kind.shift_tag);
  std::optional<Shift> s;
  t->GoTo(recno);
  if (!t->Eof() && !t->Deleted()) s = ReadShift(*t);
  KILLTABLA(t);
  return s;
}

std::optional<Shift> FindOpenShift(const BoxKind& kind, const std::string& business,
                                   const std::string& code) {
  TablePtr t = USE(nullptr, kind.shift, kind.shift_tag);
  std::optional<Shift> s;
  if (t->Seek(OpenShiftKey(business, code)) && !t->Eof()) s = ReadShift(*t);
  KILLTABLA(t);
  return s;
}

BoxChange OpenBoxRecords(const BoxKind& kind, const std::string& business,
                         const std::string& code, const std::string& cashier_code,
                         Shift* opened) {
  TablePtr header = USE(nullptr, kind.header, kind.header_tag);
  TablePtr shift = USE(nullptr, kind.shift, kind.shift_tag);
  BoxChange r = Atomically([&] {
    if (!SeekHeader(*header, business, code)) return BoxChange::kMissing;
    LOCK_FOR_MODIFY(*header);
    if (Trim(FieldBytes(header->table(), "ESTADO")) == "A") {
      UNLOCK_FOR_MODIFY(*header);
      return BoxChange::kAlreadyOpen;
    }
    header->FieldPut("ESTADO", xb::Value::Char("A"));
    UNLOCK_FOR_MODIFY(*header);

    ADD_NEW_REC(*shift);
    PutChar(*shift, "NEGOCIO", PadRight(business, 15));
    PutChar(*shift, "CAJA", PadRight(code, 2));
    PutDate(*shift, "FECHA_INI", XDATE());
    PutChar(*shift, "HORA_INI", XTIME());
    if (shift->FieldPos("MONTO_INI") > 0) shift->FieldPut("MONTO_INI", xb::Value::Number(0));
    PutChar(*shift, "AGENTE", cashier_code);
    if (!kind.sales()) {
      PutChar(*shift, "H_LIMITE", "24:60:60");
      PutDate(*shift, "LIMITE", xb::JulianFromYmd(2090, 1, 1));
    }
    if (opened) *opened = ReadShift(*shift);
    UNLOCK_NEW_REC(*shift);
    return BoxChange::kDone;
  });
  KILLTABLA(shift);
  KILLTABLA(header);
  return r;
}

BoxChange CloseBoxRecords(const BoxKind& kind, const std::string& business,
                          const std::string& code, bool audit, bool audit_user) {
  TablePtr header = USE(nullptr, kind.header, kind.header_tag);
  TablePtr shift = USE(nullptr, kind.shift, kind.shift_tag);
  BoxChange r = Atomically([&] {
    if (!SeekHeader(*header, business, code)) return BoxChange::kMissing;
    LOCK_FOR_MODIFY(*header);
    if (Trim(FieldBytes(header->table(), "ESTADO")) != "A") {
      UNLOCK_FOR_MODIFY(*header);
      return BoxChange::kNotOpen;
    }
    if (!shift->Seek(OpenShiftKey(business, code)) || shift->Eof()) {
      UNLOCK_FOR_MODIFY(*header);
      return BoxChange::kNoOpenShift;
    }
    LOCK_FOR_MODIFY(*shift);
    if (shift->FieldGet("FECHA_FIN").date() != 0) {  // closed while we waited for the lock
      UNLOCK_FOR_MODIFY(*shift);
      UNLOCK_FOR_MODIFY(*header);
      return BoxChange::kNoOpenShift;
    }
    header->FieldPut("ESTADO", xb::Value::Char("C"));
    UNLOCK_FOR_MODIFY(*header);
    const int32_t today = XDATE();
    const std::string now = XTIME();
    PutDate(*shift, "FECHA_FIN", today);
    PutChar(*shift, "HORA_FIN", now);
    if (audit) {
      if (audit_user) PutChar(*shift, "CTRL_USR", G().XUSER_ABREVIA);
      PutChar(*shift, "CTRL_COMP", xb::FromUtf8(HostName()));
      PutChar(*shift, "CTRL_HORA", now);
      PutDate(*shift, "CTRL_FECHA", today);
      PutChar(*shift, "CTRL_WIN_U", xb::FromUtf8(LoginName()));
    }
    UNLOCK_FOR_MODIFY(*shift);
    return BoxChange::kDone;
  });
  KILLTABLA(shift);
  KILLTABLA(header);
  return r;
}

BoxKeptOpen::BoxKeptOpen(const BoxKind& kind, const std::string& business,
                         const std::string& code) {
  header_ = USE(nullptr, kind.header, kind.header_tag);
  if (!SeekHeader(*header_, business, code)) return;
  LOCK_WITHOUT_LOG(*header_);  // re-reads the record once it is ours
  locked_ = true;
  open_ = Trim(FieldBytes(header_->table(), "ESTADO")) == "A";
}

BoxKeptOpen::~BoxKeptOpen() {
  if (!header_) return;
  try {
    // Nothing was written to the record: letting it go writes nothing, and
    // closing the handle lets go of whatever it still holds.
    if (locked_) header_->table().UnlockRecord(header_->RecNo());
    TablePtr header = std::move(header_);
    KILLTABLA(header);
  } catch (...) {
  }
}

BoxChange OpenCashBox(CashBoxes& boxes, const BoxKind& kind, const std::string& business,
                      const std::string& code, const std::string& cashier_code) {
  std::optional<BoxHeader> h = ReadBoxHeader(kind, business, code);
  if (!h) return BoxChange::kMissing;
  BoxChange r = OpenBoxRecords(kind, business, code, cashier_code);
  if (r != BoxChange::kDone) return r;
  std::string name;
  TablePtr digita = USE(nullptr, "DIGITA", "DIGITA");
  if (digita->Seek(PadRight(business, 15) + PadRight(cashier_code, 4)) && !digita->Eof())
    name = FieldText(digita->table(), "NOMBRE");
  KILLTABLA(digita);
  boxes.Hold(kind, code, h->descrip, cashier_code, name, false);
  return r;
}

BoxChange CloseCashBox(CashBoxes& boxes, const BoxKind& kind, const std::string& business) {
  CashBoxSlots& s = boxes.Slots(kind.box_type);
  if (s.open != 1) return BoxChange::kNotOpen;
  BoxChange r = CloseBoxRecords(kind, business, s.code, !kind.sales());
  if (r == BoxChange::kDone || r == BoxChange::kNotOpen) boxes.Release(kind);
  return r;
}

}  // namespace qz
