// Which fields a payroll's history row takes from its definition row: every
// field the two tables share (a past payroll must be recomputable from its
// copies alone: the line keeps the employee's SAL_COMPLE, the header the
// department's hours), except the column values, which take only their keys
// and cost-centre mark from the employee's row.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "xbase/status.h"

namespace xb {
class NewRecord;
class Table;
}

namespace qz {

// The fixed list of fields `history` copies, or null when it copies every
// field it shares with its source.
const std::vector<std::string>* HistoryFieldList(const std::string& history);

// The field pairs (source index, history index) a copy from `from` into the
// history table `to` writes; DEPTO and FECHA are left to the caller when
// `set_keys` lists them.
class HistoryRowCopy {
 public:
  HistoryRowCopy() = default;
  HistoryRowCopy(const xb::Table& from, const xb::Table& to,
                 const std::vector<std::string>& set_by_caller = {});
  // Writes the mapped fields of `from`'s current record into `to`'s.
  xb::Status Apply(const xb::Table& from, xb::Table& to) const;
  xb::Status Apply(const xb::Table& from, xb::NewRecord& to) const;

 private:
  std::vector<std::pair<int, int>> pairs_;
};

}  // namespace qz
