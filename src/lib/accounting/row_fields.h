// Writing the fields of one row in one go: the accounting tables are filled
// from structures field by field, and the first field the table refuses
// stops the row with its status.
#pragma once

#include <initializer_list>
#include <utility>

#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

using FieldValue = std::pair<const char*, xb::Value>;

inline xb::Status PutFields(xb::Table& t, std::initializer_list<FieldValue> fields) {
  for (const auto& [name, value] : fields) XB_RETURN_IF_ERROR(t.Put(name, value));
  return xb::Status::OK();
}

}  // namespace qz
