// Conversion between a field's bytes in a record and a typed Value.
#pragma once

#include <string>

#include "xbase/field.h"
#include "xbase/status.h"
#include "xbase/value.h"

namespace xb {

// Decodes the non-memo field `f` from `rec` (the whole record buffer). Memo
// fields decode to their block number (Integer; 0 = no memo).
Value DecodeField(const FieldDef& f, const char* rec);

// Encodes `v` into the field's bytes. Fails, leaving the bytes untouched,
// when the value has the wrong type or does not fit the field (a number too
// wide for N(w,d), for instance). `table` words the message.
Status EncodeField(const FieldDef& f, const Value& v, char* rec, const std::string& table);

// The bytes of a blank field (what APPEND BLANK writes).
void BlankField(const FieldDef& f, char* rec);

// Formats a number as an N(len,dec) field would hold it; false when it does not fit.
bool FormatNumber(double v, int len, int dec, std::string* out);

// Memo block number field helpers (ASCII for width 10, binary for width 4).
uint32_t DecodeMemoBlock(const FieldDef& f, const char* rec);
void EncodeMemoBlock(const FieldDef& f, uint32_t block, char* rec);

}  // namespace xb
