// Saving and restoring a caller's position in a table. Every payroll helper
// that reads a table the caller handed over moves it to its own order and
// record, and puts it back on the way out, whatever path it leaves by.
//
// The engine gives no way to read a table's scope back, and changing the
// controlling tag drops it, so a scope the caller set on a table handed to
// these helpers is not restored: callers set their scopes again afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

class TablePosition {
 public:
  explicit TablePosition(xb::Table* t);
  ~TablePosition();
  TablePosition(const TablePosition&) = delete;
  TablePosition& operator=(const TablePosition&) = delete;

 private:
  xb::Table* t_;
  std::string order_;
  uint32_t recno_ = 0;
  bool eof_ = true;
};

// Sets `tag` as the controlling tag and soft- or exact-seeks `key`.
xb::Status SeekOn(xb::Table& t, const std::string& tag, const std::string& key, bool soft = false);

// Key parts as the tags write them.
std::string PadRight(const std::string& s, size_t n);
std::string Str(long long n, int width);  // STR(n, width): right-aligned

}  // namespace qz
