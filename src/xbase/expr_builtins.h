// The function library of key expressions, split by subject across
// expr_text_functions.cc and expr_functions.cc. Private.
#pragma once

#include <string>
#include <vector>

#include "xbase/expr_node.h"

namespace xb::expr {

using Args = std::vector<NodePtr>;
// Builds the node of a call whose argument count is already checked.
// `name` is the function's full name, for messages.
using Builder = Result<NodePtr> (*)(const std::string& name, Args& args);

// Fails unless argument `i` (0-based) of `name` has type `t`.
Status ExpectArg(const std::string& name, const Args& args, size_t i, VType t);
// The value of a literal numeric argument, for widths known at compile time.
bool LiteralNumber(const NodePtr& n, double* out);

Result<NodePtr> BuildCaseMap(const std::string& name, Args& args);  // UPPER LOWER
Result<NodePtr> BuildTrim(const std::string& name, Args& args);     // TRIM RTRIM LTRIM ALLTRIM
Result<NodePtr> BuildLeftRight(const std::string& name, Args& args);
Result<NodePtr> BuildSubstr(const std::string& name, Args& args);
Result<NodePtr> BuildPad(const std::string& name, Args& args);  // PADR PADL PADC
Result<NodePtr> BuildStr(const std::string& name, Args& args);  // STR STRZERO

}  // namespace xb::expr
