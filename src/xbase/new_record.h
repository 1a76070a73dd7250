// A record whose values are known before it is appended. Appending it writes
// the record, the new record count and its keys as one index change (one
// journal entry, one index commit), where Append + Put + WriteBack writes a
// blank record with blank keys and then changes both again.
#pragma once

#include <string>

#include "xbase/status.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace xb {

class NewRecord {
 public:
  // A blank record of `t`'s structure (what APPEND BLANK would write).
  explicit NewRecord(const Table& t);

  const Table& table() const { return *table_; }
  // Record bytes, deletion flag first.
  const std::string& bytes() const { return rec_; }

  // Encodes a field, as Table::Put would. Memo fields are refused: their
  // text needs a block of the memo file (see Fits).
  Status Put(int field, const Value& v);
  Status Put(const std::string& field, const Value& v);

  // Whether records of `t` can be built this way (no memo fields).
  static bool Fits(const Table& t);

 private:
  const Table* table_;
  std::string rec_;
};

// Appends `rec` to its table: locks the new record (as Append does) and
// makes it current, with nothing left pending. The observer sees the append
// (BeforeAppend) and no separate write of the record.
Status AppendRecord(Table& t, const NewRecord& rec);

}  // namespace xb
