// Index key encodings: how values become the fixed-length byte strings kept in
// a tag, so that comparing the bytes compares the values (FoxPro's binary
// encodings for numbers, dates and logicals; character keys as their bytes,
// blank padded).
#pragma once

#include <string>

#include "xbase/cdx.h"
#include "xbase/value.h"

namespace xb {

// Encodes `v` as a key of `len` bytes of type `type` (character values are
// padded with blanks or cut; numbers, dates and logicals must match `type`).
Result<std::string> EncodeKey(const Value& v, KeyType type, int len);
// Decodes a stored key back to a value (for dumps and the integrity check).
Value DecodeKey(const std::string& key, KeyType type);

}  // namespace xb
