#include "cash/folio_lines.h"

#include <cctype>
#include <cmath>

#include "cash/optional_fields.h"
#include "lib/data/file_utils.h"
#include "lib/data/locking.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

double Cents(double amount) {
  return std::round(amount * 100) / 100;
}

}  // namespace

std::vector<FolioTax> TaxesOf(const std::string& business_in, const std::string& code) {
  std::vector<FolioTax> taxes;
  // Installations whose front desk keeps no taxes per code lack the file.
  if (!IS_FILE(nullptr, "TRAN_IMP")) return taxes;
  const std::string business = PadRight(business_in, 15);
  const std::string key = business + PadRight(code, 4);
  TablePtr t = USE(nullptr, "TRAN_IMP", "TRAN_IMP");
  for (t->Seek(key, true); !t->Eof(); t->Skip()) {
    const xb::Table& r = t->table();
    if (FieldBytes(r, "NEGOCIO") + FieldBytes(r, "CODIGO") != key) break;
    FolioTax tax;
    tax.code = FieldBytes(r, "COD_IMP");
    tax.percent = FieldNumber(r, "PORCENTAJE");
    tax.on_taxes = FieldNumber(r, "SOBRE_IMP") == 1;
    if (Trim(tax.code).empty() || tax.percent <= 0) continue;  // nothing to add
    taxes.push_back(tax);
  }
  KILLTABLA(t);
  if (taxes.empty()) return taxes;
  TablePtr codes = USE(nullptr, "TRANSACS", "TRANSACS");
  for (FolioTax& tax : taxes)
    if (codes->Seek(business + PadRight(tax.code, 4)) && !codes->Eof())
      tax.descrip = Trim(FieldBytes(codes->table(), "DESCRIP"));
  KILLTABLA(codes);
  return taxes;
}

double TaxAmount(double base, double percent) {
  return Cents(base * percent / 100);
}

FolioPoster::FolioPoster(const std::string& business, WDBTable& folios, WDBTable& lines)
    : business_(PadRight(business, 15)), folios_(folios), lines_(lines) {}

const std::vector<FolioTax>& FolioPoster::Taxes(const std::string& code) {
  auto it = taxes_.find(code);
  if (it == taxes_.end()) it = taxes_.emplace(code, TaxesOf(business_, code)).first;
  return it->second;
}

int FolioPoster::Post(const FolioLine& line) {
  Append(line);
  int written = 1;
  double taxes_so_far = 0;
  for (const FolioTax& tax : Taxes(line.code)) {
    FolioLine t = line;
    t.code = tax.code;
    if (!tax.descrip.empty()) t.comment = tax.descrip;
    t.amount = TaxAmount(line.amount + (tax.on_taxes ? taxes_so_far : 0), tax.percent);
    taxes_so_far += t.amount;
    if (t.amount == 0) continue;
    Append(t);
    ++written;
  }
  return written;
}

void FolioPoster::Append(const FolioLine& line) {
  const std::string folio_currency = FieldBytes(folios_.table(), "MONEDA");
  ADD_NEW_REC(lines_);
  PutChar(lines_, "NEGOCIO", business_);
  PutChar(lines_, "NUMERO", FieldBytes(folios_.table(), "NUMERO"));
  PutDate(lines_, "FECHA", line.fecha);
  PutChar(lines_, "HORA", line.hora);
  PutChar(lines_, "CAJA", line.box);
  PutDate(lines_, "CIERRE_DIA", line.business_day);
  PutDate(lines_, "FECHA_O", line.business_day);
  PutChar(lines_, "COD_TRANS", line.code);
  PutChar(lines_, "COD_TRAN", line.code);
  PutChar(lines_, "COMENTA", line.comment);
  PutChar(lines_, "MONEDA", folio_currency);
  PutNumber(lines_, "T_CAMBIO", line.rate);
  PutNumber(lines_, line.debit ? "DEBITO" : "CREDITO", Cents(line.amount * line.rate));
  PutNumber(lines_, line.debit ? "ODEBITO" : "OCREDITO", line.amount);
  PutChar(lines_, "OMONEDA", line.tendered_currency);
  PutNumber(lines_, "OCAMBIO", line.rate);
  PutNumber(lines_, "AJUSTE", 1);
  for (const char* f : {"VOID", "ANULA", "PAGO", "SI_IMP"}) PutNumber(lines_, f, 0);
  PutChar(lines_, "USUARIO", G().XUSER_ABREVIA);
  UNLOCK_NEW_REC(lines_);

  LOCK_FOR_MODIFY(folios_);
  PutChar(folios_, "CONSECUT", NextConsecutive(FieldBytes(folios_.table(), "CONSECUT")));
  UNLOCK_FOR_MODIFY(folios_);
}

std::string NextConsecutive(const std::string& consecut) {
  static const std::string kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string s = PadLeft(Trim(consecut), 4, '0');
  for (int i = static_cast<int>(s.size()) - 1; i >= 0; --i) {
    size_t d = kDigits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(s[i]))));
    if (d == std::string::npos) d = 0;
    if (d + 1 < kDigits.size()) {
      s[i] = kDigits[d + 1];
      return s;
    }
    s[i] = '0';
  }
  return s;  // wrapped around
}

}  // namespace qz
