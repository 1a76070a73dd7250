// A field of a table's structure, as its descriptor in the DBF header says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xb {

struct FieldDef {
  std::string name;   // upper case, at most 10 characters
  char type = 'C';    // C N F D L M I B Y T (and '@', the same as T)
  uint8_t len = 0;    // bytes in the record
  uint8_t dec = 0;    // decimals (N, F, B, Y; I with dec > 0 is a scaled integer)
  uint8_t flags = 0;  // descriptor flags byte (system, nullable, binary)
  uint32_t offset = 0;  // byte offset inside the record (0 is the deletion flag)
};

using FieldList = std::vector<FieldDef>;

}  // namespace xb
