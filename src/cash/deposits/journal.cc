#include "cash/deposits/journal.h"

#include <cmath>
#include <cstdio>

#include "cash/deposits/deposit_data.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/patience.h"
#include "lib/data/serials.h"
#include "lib/errors/fault.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"

namespace qz {

std::string JournalSerialCode(const std::string& modulo) {
  return "ASI" + Trim(modulo);
}

namespace {

// The highest number already used by the module's entries.
double LastNumber(void* owner, const std::string& negocio, const std::string& modulo) {
  TablePtr enc = USE(owner, "ENC_ASIE", "ENC_ASIE");
  const std::string prefix = Pad(negocio, 15) + Pad(modulo, 9);
  enc->SetScope(xb::Value::Char(prefix), xb::Value::Char(prefix));
  enc->GoBottom();
  double last = enc->Eof() ? 0 : std::atof(Trim(FieldBytes(enc->table(), "NUMERO")).c_str());
  KILLTABLA(enc);
  return last;
}

}  // namespace

void EnsureJournalSerial(void* owner, const std::string& negocio, const std::string& modulo) {
  const std::string code = JournalSerialCode(modulo);
  if (GET_CURRENTSERIAL(owner, negocio, code) != kNoSerial) return;
  TablePtr seriales = USE(owner, "SERIALES", "SERIALES");
  RetryPatiently([&] { return seriales->table().LockFile(); },
                 LockPatience(seriales->Name, seriales->Alias, 0, RetryCounter::kLocks, kGenLock,
                              "FLOCK"));
  if (GET_CURRENTSERIAL(owner, negocio, code) == kNoSerial) {
    ADD_NEW_REC(*seriales);
    StoreBytes(*seriales, "NEGOCIO", negocio);
    StoreBytes(*seriales, "CODIGO", code);
    StoreText(*seriales, "DESCRIP", "Asientos del módulo " + Trim(modulo));
    StoreNumber(*seriales, "NUMERO", LastNumber(owner, negocio, modulo));
    StoreNumber(*seriales, "JUSTIFICA", 0);
    StoreNumber(*seriales, "INDENT", 15);
    UNLOCK_NEW_REC(*seriales);
  }
  seriales->Unlock();
  KILLTABLA(seriales);
}

namespace {

// The entry's number, from the module's serial: drawn under the serial's
// lock, held until the transaction ends, so two workstations posting at
// once never take the same number.
std::string NextNumber(void* owner, const std::string& negocio, const std::string& modulo,
                       WDBTable* seriales) {
  const std::string code = JournalSerialCode(modulo);
  std::string numero = GET_NXSERIAL(owner, negocio, code, seriales);
  if (numero != kNoSerial) return numero;
  EnsureJournalSerial(owner, negocio, modulo);
  return GET_NXSERIAL(owner, negocio, code, seriales);
}

}  // namespace

std::string PostJournal(void* owner, const LedgerEntry& e, WDBTable* seriales) {
  std::vector<JournalLine> lines;
  double balance = 0;
  for (const auto& l : e.lines) {
    JournalLine r = l;
    r.debito = Cents(l.debito);
    r.credito = Cents(l.credito);
    if (r.debito == 0 && r.credito == 0) continue;
    balance += r.debito - r.credito;
    lines.push_back(r);
  }
  balance = Cents(balance);
  if (balance != 0) {
    JournalLine r;
    r.cuenta = e.rounding_account;
    r.descrip = "Redondeo";
    (balance > 0 ? r.credito : r.debito) = std::fabs(balance);
    lines.push_back(r);
  }
  const std::string numero = NextNumber(owner, e.negocio, e.modulo, seriales);
  TablePtr enc = USE(owner, "ENC_ASIE", "ENC_ASIE");
  ADD_NEW_REC(*enc);
  StoreBytes(*enc, "NEGOCIO", e.negocio);
  StoreBytes(*enc, "MODULO", e.modulo);
  StoreBytes(*enc, "NUMERO", numero);
  enc->FieldPut("FECHA", xb::Value::Date(e.fecha));
  StoreBytes(*enc, "DOCUMEN", e.documento);
  enc->FieldPut("DESCRIP", xb::Value::Char(ToField(e.descrip, 60)));
  StoreBytes(*enc, "MOVIMIENTO", e.movimiento);
  StoreBytes(*enc, "USUARIO", G().XUSER_ABREVIA);
  enc->FieldPut("INFO_USER", xb::Value::Char(ToField(WorkstationStamp(), 60)));
  UNLOCK_NEW_REC(*enc);
  KILLTABLA(enc);

  TablePtr det = USE(owner, "DET_ASIE", "DET_ASIE");
  int n = 0;
  for (const auto& l : lines) {
    ADD_NEW_REC(*det);
    StoreBytes(*det, "NEGOCIO", e.negocio);
    StoreBytes(*det, "MODULO", e.modulo);
    StoreBytes(*det, "NUMERO", numero);
    det->FieldPut("LINEA", xb::Value::Number(++n));
    StoreBytes(*det, "CUENTA", l.cuenta);
    det->FieldPut("DESCRIP", xb::Value::Char(ToField(l.descrip, 60)));
    det->FieldPut("DEBITO", xb::Value::Number(l.debito));
    det->FieldPut("CREDITO", xb::Value::Number(l.credito));
    UNLOCK_NEW_REC(*det);
  }
  KILLTABLA(det);
  return numero;
}

std::vector<JournalLine> PostedLines(void* owner, const std::string& negocio,
                                     const std::string& modulo, const std::string& movimiento) {
  std::vector<std::string> numbers;
  TablePtr enc = USE(owner, "ENC_ASIE", "ENC_ASIE2");
  const std::string key = Pad(negocio, 15) + Pad(movimiento, 15);
  enc->SetScope(xb::Value::Char(key), xb::Value::Char(key));
  for (enc->GoTop(); !enc->Eof(); enc->Skip())
    if (FieldBytes(enc->table(), "MODULO") == Pad(modulo, 9))
      numbers.push_back(FieldBytes(enc->table(), "NUMERO"));
  KILLTABLA(enc);
  std::vector<JournalLine> out;
  TablePtr det = USE(owner, "DET_ASIE", "DET_ASIE");
  for (const auto& numero : numbers) {
    const std::string prefix = Pad(negocio, 15) + Pad(modulo, 9) + numero;
    det->SetScope(xb::Value::Char(prefix), xb::Value::Char(prefix));
    for (det->GoTop(); !det->Eof(); det->Skip()) {
      const xb::Table& t = det->table();
      out.push_back({FieldBytes(t, "CUENTA"), FieldText(t, "DESCRIP"), FieldNumber(t, "DEBITO"),
                     FieldNumber(t, "CREDITO")});
    }
  }
  KILLTABLA(det);
  return out;
}

std::vector<JournalLine> Reversed(std::vector<JournalLine> lines) {
  for (auto& l : lines) std::swap(l.debito, l.credito);
  return lines;
}

}  // namespace qz
