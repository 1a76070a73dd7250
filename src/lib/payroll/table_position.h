// Saving and restoring a caller's position in a table. Every payroll helper
// that reads a table the caller handed over moves it to its own order and
// record, and puts back the caller's order, scope and record on the way out,
// whatever path it leaves by.
#pragma once

#include <cstdint>
#include <string>

#include "lib/settings/globals.h"  // PadRight: key parts are padded as the tags write them
#include "xbase/status.h"
#include "xbase/table.h"

namespace qz {

class TablePosition {
 public:
  explicit TablePosition(xb::Table* t);
  ~TablePosition();
  TablePosition(const TablePosition&) = delete;
  TablePosition& operator=(const TablePosition&) = delete;

  // Puts the table back now; the destructor then does nothing more. The
  // status tells whether the order or scope could be set again.
  xb::Status Restore();

 private:
  xb::Table* t_;
  std::string order_;
  xb::Table::ScopeKeys scope_;
  uint32_t recno_ = 0;
  bool eof_ = true;
  bool restored_ = false;
};

// Sets `tag` as the controlling tag and soft- or exact-seeks `key`.
xb::Status SeekOn(xb::Table& t, const std::string& tag, const std::string& key, bool soft = false);

// STR(n, width): right-aligned, asterisks when it does not fit.
std::string Str(long long n, int width);

}  // namespace qz
