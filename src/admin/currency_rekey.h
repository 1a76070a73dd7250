// Carrying a changed currency code into every row that refers to it, all or
// nothing. A currency code is a key in the documents, cheques and invoices
// of the whole suite, in the currency relations (both ends) and in the rate
// history; a rename that stopped halfway would leave rows pointing at a code
// that no longer exists, so the change is made in two passes:
//
//   1. every table is opened and every referring row is found and locked
//      (waiting for other users as every lock does); a failure here has
//      written nothing;
//   2. the rows are changed one by one with the record-change pattern, the
//      message loop served after each.
//
// The caller brackets the whole save (this and its own record) with
// START_TRANSACTION / END_TRANSACTION, so the server engine journals every
// change and rolls all of it back when anything fails. Without a server
// transaction the rows changed so far are put back by Undo().
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "lib/data/use.h"

namespace qz {

// One way a table refers to a code.
struct RekeyTarget {
  std::string table;  // file = alias
  std::string tag;    // walked from `seek`
  std::string field;  // the field that holds the code
  std::string seek;   // table bytes: where the rows start on the tag
  // Whether the current row still belongs to the walk (the tag's key
  // range); the walk stops at the first row that does not.
  std::function<bool(const xb::Table&)> in_range;
  // Among the rows in range, those to change (all when empty).
  std::function<bool(const xb::Table&, uint32_t recno)> wanted;
};

// The usual case: a tag whose key is business + the code, on `field`.
RekeyTarget CodeTarget(const std::string& table, const std::string& tag, const std::string& field,
                       const std::string& business, const std::string& code);

class RekeyRows {
 public:
  // `old_code` and `new_code` are table bytes; both are padded or cut to the
  // width of each target's field.
  RekeyRows(std::vector<RekeyTarget> targets, std::string old_code, std::string new_code);
  ~RekeyRows();

  // Both passes. Faults (a table that cannot be opened, a lock or write that
  // fails for good) propagate to the caller's operation; call Undo() then.
  // Returns the number of rows changed.
  int Run();
  // Puts back the rows Run() changed, when no server transaction journaled
  // them (the error handler has rolled that one back already). Never throws;
  // a row that cannot be put back is told to the user.
  void Undo();

 private:
  struct Found {
    size_t target;
    uint32_t recno;
  };
  struct Changed {
    size_t target;
    uint32_t recno;
    std::string before;  // the field's bytes
  };
  WDBTable& TableOf(size_t target);
  void Collect(size_t target);
  std::string Padded(const std::string& code, size_t target);

  std::vector<RekeyTarget> targets_;
  std::string old_code_, new_code_;
  // One handle per table, however many targets it has: two handles of one
  // table exclude each other's locks like two users.
  std::map<std::string, TablePtr> tables_;
  std::vector<Found> found_;
  std::vector<Changed> changed_;
  bool journaled_ = false;
};

}  // namespace qz
