#include "cash/deposits/bank_book.h"

#include "cash/deposits/journal.h"
#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"
#include "xbase/value.h"

namespace qz {
namespace {

constexpr const char* kReversalText = "Anulación Dep: ";



std::string AccountKey(const std::string& negocio, const std::string& banco,
                       const std::string& cuenta) {
  return Pad(negocio, 15) + Pad(banco, 2) + Pad(cuenta, 15);
}

// Adds `delta` to the account's balance under its lock; the new balance.
double MoveBalance(void* owner, const std::string& negocio, const std::string& banco,
                   const std::string& cuenta, double delta) {
  TablePtr t = USE(owner, "CUEN_LIB", "CUEN_LIB");
  double saldo = 0;
  if (t->Seek(AccountKey(negocio, banco, cuenta)) && !t->Eof()) {
    LOCK_FOR_MODIFY(*t);
    saldo = Cents(FieldNumber(t->table(), "SALDO") + delta);
    t->FieldPut("SALDO", xb::Value::Number(saldo));
    UNLOCK_FOR_MODIFY(*t);
  }
  KILLTABLA(t);
  return saldo;
}

void AddLines(void* owner, const std::string& table, const BankPosting& p,
              const std::string& numero) {
  TablePtr t = USE(owner, table, table);
  for (const auto& l : p.lines) {
    ADD_NEW_REC(*t);
    StoreBytes(*t, "NEGOCIO", p.negocio);
    StoreBytes(*t, "BANCO", p.banco);
    StoreBytes(*t, "CUENTA", p.cuenta);
    StoreBytes(*t, "NUMERO", numero);
    StoreBytes(*t, "CUENTA_CON", l.cuenta);
    StoreNumber(*t, "DEBITO", l.debito);
    StoreNumber(*t, "CREDITO", l.credito);
    UNLOCK_NEW_REC(*t);
  }
  KILLTABLA(t);
}

// The month's totals of each line's account, in the accounting currency.
void AddMonthlyTotals(void* owner, const BankPosting& p) {
  int y = 0, m = 0, d = 0;
  xb::YmdFromJulian(p.fecha, &y, &m, &d);
  char ym[16];
  std::snprintf(ym, sizeof ym, "%4d%2d", y, m);
  TablePtr t = USE(owner, "MES_LIB4", "MES_LIB4");
  for (const auto& l : p.lines) {
    if (t->Seek(Pad(p.negocio, 15) + Pad(l.cuenta, 15) + ym) && !t->Eof()) {
      LOCK_FOR_MODIFY(*t);
    } else {
      ADD_NEW_REC(*t);
      StoreBytes(*t, "NEGOCIO", p.negocio);
      StoreBytes(*t, "BANCO", p.banco);
      StoreBytes(*t, "CUENTA", l.cuenta);
      StoreNumber(*t, "ANHO", y);
      StoreNumber(*t, "MES", m);
    }
    const xb::Table& r = t->table();
    t->FieldPut("DEBITO", xb::Value::Number(Cents(FieldNumber(r, "DEBITO") + l.debito * p.cambio)));
    t->FieldPut("CREDITO",
                xb::Value::Number(Cents(FieldNumber(r, "CREDITO") + l.credito * p.cambio)));
    UNLOCK_FOR_MODIFY(*t);
  }
  KILLTABLA(t);
}

std::string AppendMovement(void* owner, const BankPosting& p, double saldo) {
  BankAccount account = ReadBankAccount(owner, p.negocio, p.banco, p.cuenta);
  const std::string numero = GET_NXSERIAL(owner, p.negocio, account.serial);
  TablePtr t = USE(owner, "ENC_LIB", "ENC_LIB");
  ADD_NEW_REC(*t);
  StoreBytes(*t, "NEGOCIO", p.negocio);
  StoreBytes(*t, "BANCO", p.banco);
  StoreBytes(*t, "CUENTA", p.cuenta);
  StoreBytes(*t, "NUMERO", numero);
  StoreBytes(*t, "CONSOLIDA", "0");
  StoreBytes(*t, "CONCEP_LIB", p.concep_lib);
  t->FieldPut("FECHA", xb::Value::Date(p.fecha));
  StoreNumber(*t, "MONTO", p.monto);
  StoreNumber(*t, "SALDO", saldo);
  t->FieldPut("DESCRIP", xb::Value::Char(ToField(p.descrip, FieldWidth(t->table(), "DESCRIP"))));
  StoreBytes(*t, "HECHO_POR", p.hecho_por);
  StoreBytes(*t, "NUM_DEP", p.num_dep);
  StoreNumber(*t, "CAMBIO", p.cambio);
  StoreBytes(*t, "MOVIMIENTO", p.movimiento);
  StoreBytes(*t, "USUARIO", G().XUSER_ABREVIA);
  t->FieldPut("INFO_USER", xb::Value::Char(ToField(WorkstationStamp(), 60)));
  UNLOCK_NEW_REC(*t);
  KILLTABLA(t);
  for (const char* table : {"DET_LIB", "DET_LIB3", "DET_LIB4"}) AddLines(owner, table, p, numero);
  AddMonthlyTotals(owner, p);
  return numero;
}

}  // namespace

BankConcept ReadBankConcept(void* owner, const std::string& negocio, const std::string& code) {
  BankConcept c;
  TablePtr t = USE(owner, "CONCEPT5", "CONCEPT5");
  if (t->Seek(Pad(negocio, 15) + Pad(code, 4)) && !t->Eof()) {
    c.found = true;
    c.tipo = static_cast<int>(FieldNumber(t->table(), "TIPO"));
    c.lee_cambio = FieldNumber(t->table(), "LEE_CAMBIO") == 1;
  }
  KILLTABLA(t);
  return c;
}

BankAccount ReadBankAccount(void* owner, const std::string& negocio, const std::string& banco,
                            const std::string& cuenta) {
  BankAccount a;
  TablePtr t = USE(owner, "CUEN_LIB", "CUEN_LIB");
  if (t->Seek(AccountKey(negocio, banco, cuenta)) && !t->Eof()) {
    a.found = true;
    a.moneda = FieldBytes(t->table(), "MONEDA");
    a.serial = FieldBytes(t->table(), "SERIAL");
    a.asiento1 = FieldBytes(t->table(), "ASIENTO1");
  }
  KILLTABLA(t);
  return a;
}

std::string PostBankMovement(void* owner, const BankPosting& p) {
  const BankConcept bank_concept = ReadBankConcept(owner, p.negocio, p.concep_lib);
  const bool adds = bank_concept.tipo == 1;
  const double saldo = MoveBalance(owner, p.negocio, p.banco, p.cuenta, adds ? p.monto : -p.monto);
  const std::string numero = AppendMovement(owner, p, saldo);

  BankAccount account = ReadBankAccount(owner, p.negocio, p.banco, p.cuenta);
  LedgerEntry e;
  e.negocio = p.negocio;
  e.modulo = Pad(kBankModule, 9);
  e.fecha = p.fecha;
  e.documento = numero;
  e.descrip = p.descrip;
  e.movimiento = p.movimiento;
  e.rounding_account = LinkAccount(owner, p.negocio, kBankModule, account.asiento1);
  JournalLine bank{e.rounding_account, p.descrip, 0, 0};
  (adds ? bank.debito : bank.credito) = p.monto * p.cambio;
  e.lines.push_back(bank);
  for (const auto& l : p.lines)
    e.lines.push_back({l.cuenta, p.descrip, l.debito * p.cambio, l.credito * p.cambio});
  PostJournal(owner, e);
  return numero;
}

bool ReverseBankMovement(void* owner, const std::string& negocio, const std::string& movimiento,
                         int32_t fecha, const std::string& num_dep) {
  // The deposit's own movement: the first one that names it.
  BankPosting p;
  std::string numero;
  {
    TablePtr t = USE(owner, "ENC_LIB", "ENC_LIB");
    const std::string biz = Pad(negocio, 15);
    t->SetScope(xb::Value::Char(biz), xb::Value::Char(biz));
    for (t->GoTop(); !t->Eof(); t->Skip()) {
      const xb::Table& r = t->table();
      if (FieldBytes(r, "MOVIMIENTO") != Pad(movimiento, 15)) continue;
      if (FieldText(r, "DESCRIP").rfind(kReversalText, 0) == 0) continue;
      numero = FieldBytes(r, "NUMERO");
      p.banco = FieldBytes(r, "BANCO");
      p.cuenta = FieldBytes(r, "CUENTA");
      p.concep_lib = FieldBytes(r, "CONCEP_LIB");
      p.monto = FieldNumber(r, "MONTO");
      p.cambio = FieldWidth(r, "CAMBIO") > 0 ? FieldNumber(r, "CAMBIO") : 1;
      p.hecho_por = FieldBytes(r, "HECHO_POR");
      break;
    }
    KILLTABLA(t);
  }
  if (numero.empty()) return false;
  p.negocio = negocio;
  p.fecha = fecha;
  p.num_dep = num_dep;
  p.movimiento = movimiento;
  p.descrip = kReversalText + Trim(FromField(xb::Value::Char(num_dep)));
  {
    TablePtr t = USE(owner, "DET_LIB", "DET_LIB");
    const std::string key = AccountKey(negocio, p.banco, p.cuenta) + numero;
    t->SetScope(xb::Value::Char(key), xb::Value::Char(key));
    for (t->GoTop(); !t->Eof(); t->Skip())
      p.lines.push_back({FieldBytes(t->table(), "CUENTA_CON"), FieldNumber(t->table(), "CREDITO"),
                         FieldNumber(t->table(), "DEBITO"), 0, 0});
    KILLTABLA(t);
  }
  const bool added = ReadBankConcept(owner, negocio, p.concep_lib).tipo == 1;
  const double saldo = MoveBalance(owner, negocio, p.banco, p.cuenta, added ? -p.monto : p.monto);
  AppendMovement(owner, p, saldo);

  LedgerEntry e;
  e.negocio = negocio;
  e.modulo = Pad(kBankModule, 9);
  e.fecha = fecha;
  e.documento = numero;
  e.descrip = p.descrip;
  e.movimiento = movimiento;
  e.lines = Reversed(PostedLines(owner, negocio, e.modulo, movimiento));
  PostJournal(owner, e);
  return true;
}

}  // namespace qz
