// Writing rows by field name, for installation data (F_SYS, the registry of
// searchable tables, demo data). Texts are given in UTF-8 and stored in the
// table's code page. A row collects the first error and reports it at Done(),
// so long lists of fields read as data, not as error handling.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xbase/status.h"
#include "xbase/table.h"

namespace qz {

// A calendar day, to tell dates from numbers when setting fields.
struct Day {
  int32_t jd = 0;  // Julian day; 0 = empty date
  static Day Ymd(int y, int m, int d);
  Day Plus(int days) const { return Day{jd == 0 ? 0 : jd + days}; }
  int year() const;
  int month() const;
  int day() const;
};

class Row {
 public:
  // Appends a blank record to `t` (open exclusively or with the append lock).
  explicit Row(xb::Table& t);
  Row(const Row&) = delete;
  Row& operator=(const Row&) = delete;

  Row& Set(const char* field, std::string_view utf8_text);
  Row& Set(const char* field, const char* utf8_text) {
    return Set(field, std::string_view(utf8_text));
  }
  Row& Set(const char* field, const std::string& utf8_text) {
    return Set(field, std::string_view(utf8_text));
  }
  Row& Set(const char* field, double number);
  Row& Set(const char* field, int number) { return Set(field, static_cast<double>(number)); }
  Row& Set(const char* field, Day date);
  Row& Set(const char* field, bool logical);
  // Bytes already in the table's code page (copied from another table).
  Row& SetRaw(const char* field, const xb::Value& value);

  // Writes the record; the first error of any Set, or of the write.
  xb::Status Done();

 private:
  void Put(const char* field, const xb::Value& v);
  xb::Table& t_;
  xb::Status status_;
};

// Text converted to the code page of the tables (Windows-1252).
std::string Cp1252(std::string_view utf8);

}  // namespace qz
