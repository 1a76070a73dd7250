// The DBF file header and field descriptors: parsing with validation, and
// serialising in the layout other xBase engines write (FoxPro 2.x style:
// version 0x03, or 0xF5 with an FPT memo file; 32-byte field descriptors;
// a 0x0D terminator followed by one 0x00 byte).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/field.h"
#include "xbase/status.h"

namespace xb {

constexpr uint8_t kHeaderFlagStructuralIndex = 0x01;
constexpr uint8_t kHeaderFlagMemo = 0x02;

struct DbfHeader {
  uint8_t version = 0x03;
  int update_year = 0;  // full year
  int update_month = 0;
  int update_day = 0;
  uint32_t record_count = 0;
  uint16_t header_len = 0;
  uint16_t record_len = 0;
  uint8_t flags = 0;          // byte 28: structural index, memo
  uint8_t language_driver = 0;  // byte 29: code page
  FieldList fields;

  bool HasMemo() const;
};

// Parses the fixed 32-byte prefix. `file_size` and `name` are used to check
// lengths against the file and to word messages.
Status ParseHeaderPrefix(const uint8_t* p, uint64_t file_size, const std::string& name,
                         DbfHeader* h);
// Parses the field descriptors in `desc` (header_len - 32 bytes) and checks
// that they add up to the record length.
Status ParseFieldDescriptors(const uint8_t* desc, size_t n, const std::string& name, DbfHeader* h);

// Validates a structure for a new table (names, types, widths) and fills in
// offsets; returns the record length.
Result<uint16_t> LayoutFields(FieldList* fields, const std::string& name);

// Serialises the whole header (prefix + descriptors + terminator).
std::string SerializeHeader(const DbfHeader& h);
// Serialises only the 32-byte prefix (what changes on append).
void SerializeHeaderPrefix(const DbfHeader& h, uint8_t out[32]);

bool IsMemoType(char t);

}  // namespace xb
