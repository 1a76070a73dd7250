// The bracket rows of a column type while its window is open: a private
// scratch copy (TMP_TIP) the user edits freely, written back into DET_TIP
// only when the column type is saved. Each scratch row remembers the DET_TIP
// record it came from (POS, 0 = new) and whether the user removed it
// (BORRADO; the row is also deleted, so lists no longer show it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/data/use.h"

namespace qz {

class BracketScratch {
 public:
  // `scratch` is the private TMP_TIP copy (empty), on its tag TMP_TIP.
  explicit BracketScratch(WDBTable* scratch) : t_(scratch) {}

  // Copies the DET_TIP rows of `business` + `code` (SERIE order), then adds
  // the blank row the list always ends with.
  void Load(const std::string& business, const std::string& code);
  // A blank row after the last one, unless the last one is blank already.
  void KeepBlankRowAtEnd();
  // A blank row before the row of record `recno` (0 = at the end); returns
  // the new row's record.
  uint32_t InsertBefore(uint32_t recno);
  // Removes the row of record `recno` (a row that came from DET_TIP is
  // deleted there when the column type is saved).
  void Remove(uint32_t recno);
  void RemoveAll();
  // Rows that would be stored (live, with a bound or rate).
  int StoredRows() const;

  // The rows as they are now, to put back when the user cancels what they
  // did since (the detail window's "Cancelar").
  struct Snapshot {
    struct Row {
      std::vector<double> values;  // every field, in field order
      bool deleted = false;
    };
    std::vector<Row> rows;  // by record number - 1
  };
  Snapshot Keep() const;
  void PutBack(const Snapshot& s);

  // Writes the rows into DET_TIP for `business`, rows loaded from
  // `old_code`, now `new_code`: removed rows and rows emptied to zero are
  // deleted, the others updated or appended with the smallest SERIE not yet
  // used by the column type. Runs inside the caller's transaction.
  void Save(const std::string& business, const std::string& old_code,
            const std::string& new_code);

  xb::Table& table() const { return t_->table(); }

  // True when the row has a bound or a rate (rows without are not stored).
  static bool Stored(const xb::Table& t);

 private:
  int LastOrder() const;
  WDBTable* t_;
};

}  // namespace qz
