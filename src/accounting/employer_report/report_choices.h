// What the employer's report takes from a business's payroll parameters
// (F_PLAN): which bonus period counts as "Aguinaldo" and as "Bono 14", and
// which column types feed each amount of the report. Column lists are kept
// as text: each two-character code followed by a comma.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "xbase/table.h"

namespace qz {

// The five column lists of the report: field and caption, in screen order.
struct ReportList {
  const char* field;
  const char* caption;
};
const std::vector<ReportList>& ReportLists();

// The codes of a stored list (table bytes), read three characters at a
// time; each piece's first two characters are a code. Blank pieces are
// skipped.
std::vector<std::string> CodesOfList(const std::string& stored);
// The stored form of `codes` (table bytes, each padded to two characters).
std::string ListOfCodes(const std::vector<std::string>& codes);

// The bonus periods the business offers, in the order shown: {text, code}.
// "0" the normal period, "1", "2", "4", "5" the enabled extra groups, and
// " " for none. `plan` is positioned on the business's row (or past the end
// when it has none: only the normal period and "Ninguno").
std::vector<std::pair<std::string, std::string>> BonusPeriods(const xb::Table& plan);

}  // namespace qz
