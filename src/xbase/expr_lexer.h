// Splits expression text into tokens. Private to the expression compiler.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "xbase/status.h"

namespace xb::expr {

enum class Tok {
  kEnd,
  kIdent,    // text: the name in upper case
  kNumber,   // number
  kString,   // text: the contents, without delimiters
  kLogical,  // logical: .T./.Y. or .F./.N.
  kLParen,
  kRParen,
  kComma,
  kArrow,  // -> (ALIAS->FIELD)
  kDot,    // a lone dot (ALIAS.FIELD)
  kOp,     // text: the operator in one canonical spelling, see below
};

// Operators: + - * / % ^ (also **) = == != (also <> and #) < <= > >= $
// .AND. .OR. .NOT. (also !).
struct Token {
  Tok kind = Tok::kEnd;
  size_t pos = 0;  // byte offset in the text
  std::string text;
  double number = 0;
  bool logical = false;
};

// Fails with a message (without the quoted expression) for characters the
// language does not have and unterminated strings.
Status Tokenize(const std::string& text, std::vector<Token>* out);

}  // namespace xb::expr
