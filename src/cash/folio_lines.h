// Lines this program posts to a front-desk folio (the adjustment lines of
// a box count), with the taxes their transaction code carries.
//
// A transaction code's taxes are the rows of TRAN_IMP for it, in ORDEN:
// each adds a line of the tax's own transaction code (COD_IMP) for
// PORCENTAJE percent of the line, or of the line plus the taxes before it
// when SOBRE_IMP is 1 (a tax on a service charge). Tax lines go on the
// side of the line they are computed on, in its currencies and rate, and
// are adjustments like it. An installation without TRAN_IMP posts none.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lib/data/use.h"

namespace qz {

struct FolioTax {
  std::string code;     // the tax's transaction code (table bytes)
  std::string descrip;  // its description in TRANSACS (table bytes, trimmed)
  double percent = 0;
  bool on_taxes = false;  // SOBRE_IMP: on the line plus the taxes before it
};

// One line as the posting asks for it; amounts in the tendered currency.
struct FolioLine {
  std::string code;     // transaction code (table bytes)
  std::string comment;  // table bytes
  std::string tendered_currency;
  double amount = 0;  // > 0
  double rate = 1;    // tendered currency -> folio currency
  bool debit = false;
  int32_t fecha = 0;
  std::string hora;
  std::string box;
  int32_t business_day = 0;
};

// The taxes of `code` in their order (ORDEN), with their descriptions.
std::vector<FolioTax> TaxesOf(const std::string& business, const std::string& code);

// Amount of `percent` percent of `base`, in cents.
double TaxAmount(double base, double percent);

class FolioPoster {
 public:
  // REQUIRES: `folios` is positioned on the folio the lines go to.
  FolioPoster(const std::string& business, WDBTable& folios, WDBTable& lines);

  // Appends the line and its taxes, advancing the folio's CONSECUT once
  // per line written; answers how many lines were written.
  int Post(const FolioLine& line);

 private:
  const std::vector<FolioTax>& Taxes(const std::string& code);
  void Append(const FolioLine& line);

  std::string business_;
  WDBTable& folios_;
  WDBTable& lines_;
  std::map<std::string, std::vector<FolioTax>> taxes_;
};

// Advances a folio's CONSECUT text counter by one in base 36
// ("0009" -> "000A", "000Z" -> "0010").
std::string NextConsecutive(const std::string& consecut);

}  // namespace qz
