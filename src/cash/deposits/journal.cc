#include "cash/deposits/journal.h"

#include <cmath>
#include <cstdio>

#include "cash/deposits/deposit_data.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

// Entries are numbered per business and module, one after the last.
std::string NextNumber(WDBTable& enc, const std::string& negocio, const std::string& modulo) {
  const std::string prefix = Pad(negocio, 15) + Pad(modulo, 9);
  long last = 0;
  enc.SetOrder("ENC_ASIE");
  enc.SetScope(xb::Value::Char(prefix), xb::Value::Char(prefix));
  enc.GoBottom();
  if (!enc.Eof()) last = std::atol(Trim(FieldBytes(enc.table(), "NUMERO")).c_str());
  enc.ClearScope();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%015ld", last + 1);
  return buf;
}

void Put(WDBTable& t, const char* field, const std::string& bytes) {
  t.FieldPut(field, xb::Value::Char(Pad(bytes, static_cast<size_t>(FieldWidth(t.table(), field)))));
}

}  // namespace

std::string PostJournal(void* owner, const JournalEntry& e) {
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
  TablePtr enc = USE(owner, "ENC_ASIE", "ENC_ASIE");
  const std::string numero = NextNumber(*enc, e.negocio, e.modulo);
  ADD_NEW_REC(*enc);
  Put(*enc, "NEGOCIO", e.negocio);
  Put(*enc, "MODULO", e.modulo);
  Put(*enc, "NUMERO", numero);
  enc->FieldPut("FECHA", xb::Value::Date(e.fecha));
  Put(*enc, "DOCUMEN", e.documento);
  enc->FieldPut("DESCRIP", xb::Value::Char(ToField(e.descrip, 60)));
  Put(*enc, "MOVIMIENTO", e.movimiento);
  Put(*enc, "USUARIO", G().XUSER_ABREVIA);
  enc->FieldPut("INFO_USER", xb::Value::Char(ToField(WorkstationStamp(), 60)));
  UNLOCK_NEW_REC(*enc);
  KILLTABLA(enc);

  TablePtr det = USE(owner, "DET_ASIE", "DET_ASIE");
  int n = 0;
  for (const auto& l : lines) {
    ADD_NEW_REC(*det);
    Put(*det, "NEGOCIO", e.negocio);
    Put(*det, "MODULO", e.modulo);
    Put(*det, "NUMERO", numero);
    det->FieldPut("LINEA", xb::Value::Number(++n));
    Put(*det, "CUENTA", l.cuenta);
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
