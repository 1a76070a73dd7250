#include "cash/closing_listing.h"

#include <set>

#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {

void Totals::Add(const std::string& currency, double amount) {
  for (auto& [c, a] : sums_)
    if (c == currency) {
      a += amount;
      return;
    }
  sums_.emplace_back(currency, amount);
}

void Totals::Add(const Totals& other) {
  for (const auto& [c, a] : other.sums()) Add(c, a);
}

std::map<std::string, std::string> CurrencySymbols(const std::string& business) {
  std::map<std::string, std::string> out;
  TablePtr t = USE(nullptr, "MONEDAS", "MONEDAS");
  for (t->Seek(business, true); !t->Eof(); t->Skip()) {
    if (FieldBytes(t->table(), "NEGOCIO") != business) break;
    out[FieldBytes(t->table(), "CODIGO")] = FieldText(t->table(), "SIMBOLO");
  }
  KILLTABLA(t);
  return out;
}

ClosingListing::ClosingListing(PageWriter& w, const std::string& business)
    : w_(w), symbols_(CurrencySymbols(PadRight(business, 15))) {}

std::string ClosingListing::Symbol(const std::string& currency) const {
  auto it = symbols_.find(currency);
  return it == symbols_.end() || it->second.empty() ? Trim(currency) : it->second;
}

void ClosingListing::PrintTotals(const std::string& caption, const Totals& totals) {
  w_.Say(0, caption, PageWriter::kBold);
  if (totals.sums().empty()) w_.SayRight(79 + 17, FormatNumber(0, kTotalPicture));
  bool first = true;
  for (const auto& [currency, amount] : totals.sums()) {
    if (!first) w_.NewLine();
    first = false;
    w_.Say(50, Symbol(currency));
    w_.SayRight(79 + 17, FormatNumber(amount, kTotalPicture), PageWriter::kBold);
  }
  w_.NewLine();
}

std::vector<std::pair<std::string, std::string>> ClosingListing::Groups(
    const std::vector<ListingRow>& rows,
    const std::vector<std::pair<std::string, std::string>>& named) const {
  std::set<std::string> used;
  for (const ListingRow& r : rows) used.insert(r.group);
  std::vector<std::pair<std::string, std::string>> out;
  std::set<std::string> listed;
  for (const auto& g : named)
    if (used.count(g.first) && listed.insert(g.first).second) out.push_back(g);
  for (const ListingRow& r : rows)
    if (listed.insert(r.group).second) out.emplace_back(r.group, Trim(r.group));
  return out;
}

void ClosingListing::Title(const std::string& title) {
  w_.NewLine();
  w_.Say(0, title, PageWriter::kBold | PageWriter::kUnderline);
  w_.NewLine();
}

Totals ClosingListing::Section(const std::string& title,
                               const std::vector<ListingColumn>& columns,
                               const std::vector<ListingRow>& rows,
                               const std::vector<std::pair<std::string, std::string>>& groups) {
  Title(title);
  Totals section;
  if (rows.empty()) {
    w_.Say(0, "(sin movimientos)");
    w_.NewLine();
    return section;
  }
  for (const ListingColumn& c : columns) w_.Say(c.column, c.title, PageWriter::kBold);
  w_.Say(80, "M", PageWriter::kBold);
  w_.SayRight(96, "Monto", PageWriter::kBold);
  w_.RuleBelow(0, 96);
  w_.NewLine();
  for (const auto& [code, descrip] : Groups(rows, groups)) {
    const bool named = !Trim(code).empty();
    if (named) {
      w_.Say(0, Trim(code) + ": " + descrip, PageWriter::kBold);
      w_.NewLine();
    }
    Totals per;
    for (const ListingRow& r : rows) {
      if (r.group != code) continue;
      for (size_t i = 0; i < columns.size() && i < r.cells.size(); ++i)
        w_.Say(columns[i].column, Utf8Left(r.cells[i], columns[i].width));
      w_.Say(80, Symbol(r.moneda));
      w_.SayRight(82 + 14, FormatNumber(r.amount, kLinePicture));
      w_.NewLine();
      per.Add(r.moneda, r.amount);
    }
    if (named) PrintTotals("***Total " + descrip, per);
    section.Add(per);
  }
  return section;
}

void ClosingListing::Summary(const std::string& title, const std::vector<ListingRow>& rows,
                             const std::vector<std::pair<std::string, std::string>>& groups) {
  Title(title);
  if (rows.empty()) {
    w_.Say(0, "(sin movimientos)");
    w_.NewLine();
    return;
  }
  for (const auto& [code, descrip] : Groups(rows, groups)) {
    Totals per;
    for (const ListingRow& r : rows)
      if (r.group == code) per.Add(r.moneda, r.amount);
    PrintTotals(Utf8Left(Trim(code).empty() ? descrip : Trim(code) + ": " + descrip, 48), per);
  }
}

}  // namespace qz
