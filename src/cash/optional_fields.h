// Writing fields that files of other programs, or of older installations,
// may lack: a field the table does not have is left out.
#pragma once

#include <cstdint>
#include <string>

#include "lib/data/wtable.h"
#include "xbase/value.h"

namespace qz {

inline void PutChar(WDBTable& t, const char* field, const std::string& bytes) {
  if (t.FieldPos(field) > 0) t.FieldPut(field, xb::Value::Char(bytes));
}
inline void PutDate(WDBTable& t, const char* field, int32_t julian) {
  if (t.FieldPos(field) > 0) t.FieldPut(field, xb::Value::Date(julian));
}
inline void PutNumber(WDBTable& t, const char* field, double n) {
  if (t.FieldPos(field) > 0) t.FieldPut(field, xb::Value::Number(n));
}

}  // namespace qz
