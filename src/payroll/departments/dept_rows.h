// Small table walks the department screens share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/table.h"

namespace qz::dept {

// The records whose `tag` key starts with `prefix` (raw bytes), in tag
// order, read before anything is changed. The table's scope is cleared
// afterwards; its order stays `tag`.
std::vector<uint32_t> RowsOf(xb::Table& t, const std::string& tag, const std::string& prefix);

// Character field `field` set to `bytes`, blank-padded or cut to its width.
void PutBytes(xb::Table& t, const char* field, const std::string& bytes);
// Character field `field` set from UTF-8 text.
void PutText(xb::Table& t, const char* field, const std::string& utf8);
void PutNumber(xb::Table& t, const char* field, double n);

}  // namespace qz::dept
