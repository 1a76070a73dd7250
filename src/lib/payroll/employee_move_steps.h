// The writing steps of a move of employees between businesses, shared by
// the employee part (employee_move.cc) and the history part
// (employee_move_history.cc). Every table is opened once for the whole move:
// inside the transaction a changed row stays locked to the handle that
// changed it, so a second handle of the same table would be another user.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "lib/data/use.h"

namespace qz::employee_move {

class Tables {
 public:
  Tables();  // opens every table the move touches that the installation has
  ~Tables();
  Tables(const Tables&) = delete;
  Tables& operator=(const Tables&) = delete;

  WDBTable& operator[](const std::string& name);
  // The suite's debt tables may be missing from an installation.
  bool Has(const std::string& name) const;

 private:
  std::map<std::string, TablePtr> tables_;
};

// Field name and the bytes it takes.
using FieldValues = std::vector<std::pair<const char*, std::string>>;

// Rewrites the given fields of record `recno` under its lock.
void Rekey(WDBTable& t, uint32_t recno, const FieldValues& fields);
// Appends a copy of each record of `rows` (read before the first append),
// with the given fields replaced.
void CopyRows(WDBTable& t, const std::vector<uint32_t>& rows, const FieldValues& fields);

// One employee's keys in both businesses (padded).
struct EmployeeKeys {
  std::string source, target, target_depto;
  std::string old_code, new_code;
};

struct HistoryCount {
  int lines = 0;
  int payrolls = 0;
};

// Moves the employee's payroll lines, oldest first, with their column
// values and cost-centre splits, copying each payroll's definition into the
// target department for a date it has none of.
HistoryCount MoveHistory(Tables& t, const EmployeeKeys& k,
                         const std::function<void(const std::string&)>& progress);

}  // namespace qz::employee_move
