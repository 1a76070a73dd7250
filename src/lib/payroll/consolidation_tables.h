// The tables one payroll opening works on, opened through USE for the
// opening and released at its end, and the small helpers its steps share.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lib/data/use.h"

namespace qz::consolidation {

// Every definition table the opening reads and history table it writes.
class OpeningTables {
 public:
  OpeningTables();  // opens them all (a table that cannot be opened is a fault)
  ~OpeningTables();
  OpeningTables(const OpeningTables&) = delete;
  OpeningTables& operator=(const OpeningTables&) = delete;

  WDBTable& operator[](const std::string& name);
  // KILLTABLA of every table (after the transaction has ended).
  void Close();

 private:
  std::map<std::string, TablePtr> tables_;
};

// Record numbers of the rows of `t` whose `tag` key starts with `prefix`, in
// key order. Taken before they are visited, so a walk never depends on what
// the visit writes.
std::vector<uint32_t> RowsOf(WDBTable& t, const std::string& tag, const std::string& prefix);

// The field's bytes as stored (blank padded); "" when the field is missing.
std::string Raw(const xb::Table& t, const char* field);
// `value` padded or cut to the width of `field` in `t`, as its tags key it.
std::string Padded(const xb::Table& t, const char* field, const std::string& value);
// A code without its trailing blanks.
std::string Trimmed(std::string s);

// Throws the fault of a failed engine call on `t` (ends the opening; the
// transaction is rolled back).
void Must(const xb::Status& s, WDBTable& t, const char* operation);

}  // namespace qz::consolidation
