// Recursive-descent parser: tokens to a checked node tree. Private to the
// expression compiler.
#pragma once

#include <string>

#include "xbase/expr_node.h"
#include "xbase/field.h"

namespace xb::expr {

// Parses the whole of `text` against `fields`. Errors carry a message without
// the quoted expression (the caller adds it).
Result<NodePtr> Parse(const std::string& text, const FieldList& fields);

}  // namespace xb::expr
