#include "xbase/expr_lexer.h"

#include <charconv>
#include <cstring>

namespace xb::expr {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
  return IsIdentStart(c) || IsDigit(c);
}
char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

std::string At(size_t pos) {
  return "at position " + std::to_string(pos + 1);
}

// The dotted word starting at text[pos] ('.'), such as ".AND.", in upper
// case; empty when there is none.
std::string DottedWord(const std::string& text, size_t pos) {
  size_t end = pos + 1;
  while (end < text.size() && IsIdentStart(text[end]) && text[end] != '_') ++end;
  if (end == pos + 1 || end >= text.size() || text[end] != '.') return "";
  std::string w;
  for (size_t i = pos; i <= end; ++i) w += Upper(text[i]);
  return w;
}

}  // namespace

Status Tokenize(const std::string& text, std::vector<Token>* out) {
  out->clear();
  size_t i = 0, n = text.size();
  auto push = [&](Tok kind, size_t pos, std::string t = {}) {
    Token tok;
    tok.kind = kind;
    tok.pos = pos;
    tok.text = std::move(t);
    out->push_back(std::move(tok));
  };
  while (i < n) {
    char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    size_t start = i;
    if (IsIdentStart(c)) {
      std::string name;
      while (i < n && IsIdentChar(text[i])) name += Upper(text[i++]);
      push(Tok::kIdent, start, std::move(name));
      continue;
    }
    if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(text[i + 1]))) {
      while (i < n && IsDigit(text[i])) ++i;
      // A dot belongs to the number only when a digit follows: 1.AND. stays
      // the number 1 and the operator .AND.
      if (i + 1 < n && text[i] == '.' && IsDigit(text[i + 1])) {
        ++i;
        while (i < n && IsDigit(text[i])) ++i;
      }
      Token tok;
      tok.kind = Tok::kNumber;
      tok.pos = start;
      std::from_chars(text.data() + start, text.data() + i, tok.number);
      out->push_back(std::move(tok));
      continue;
    }
    if (c == '.') {
      std::string w = DottedWord(text, i);
      if (w == ".T." || w == ".Y." || w == ".F." || w == ".N.") {
        Token tok;
        tok.kind = Tok::kLogical;
        tok.pos = start;
        tok.logical = w == ".T." || w == ".Y.";
        out->push_back(std::move(tok));
        i += w.size();
      } else if (w == ".AND." || w == ".OR." || w == ".NOT.") {
        push(Tok::kOp, start, w);
        i += w.size();
      } else {
        push(Tok::kDot, start);
        ++i;
      }
      continue;
    }
    if (c == '"' || c == '\'' || c == '[') {
      char close = c == '[' ? ']' : c;
      size_t end = text.find(close, i + 1);
      if (end == std::string::npos) {
        return Status::InvalidArgument("unterminated string " + At(start));
      }
      push(Tok::kString, start, text.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    // Operators and punctuation, longest spelling first.
    static const struct {
      const char* spelled;
      Tok kind;
      const char* canonical;
    } kSymbols[] = {
        {"->", Tok::kArrow, ""},  {"**", Tok::kOp, "^"},   {"==", Tok::kOp, "=="},
        {"!=", Tok::kOp, "!="},   {"<>", Tok::kOp, "!="},  {"<=", Tok::kOp, "<="},
        {">=", Tok::kOp, ">="},   {"(", Tok::kLParen, ""}, {")", Tok::kRParen, ""},
        {",", Tok::kComma, ""},   {"+", Tok::kOp, "+"},    {"-", Tok::kOp, "-"},
        {"*", Tok::kOp, "*"},     {"/", Tok::kOp, "/"},    {"%", Tok::kOp, "%"},
        {"^", Tok::kOp, "^"},     {"=", Tok::kOp, "="},    {"#", Tok::kOp, "!="},
        {"<", Tok::kOp, "<"},     {">", Tok::kOp, ">"},    {"$", Tok::kOp, "$"},
        {"!", Tok::kOp, ".NOT."},
    };
    bool matched = false;
    for (const auto& s : kSymbols) {
      size_t len = std::strlen(s.spelled);
      if (text.compare(i, len, s.spelled) == 0) {
        push(s.kind, start, s.canonical);
        i += len;
        matched = true;
        break;
      }
    }
    if (matched) continue;
    if (c == ':' && i + 1 < n && text[i + 1] == '=') {
      return Status::InvalidArgument("assignment (:=) is not allowed " + At(start));
    }
    if (c == '&') {
      return Status::InvalidArgument("macro substitution (&) is not allowed " + At(start));
    }
    std::string shown;
    if (c >= 0x20 && c < 0x7F) {
      shown = std::string("'") + c + "'";
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      unsigned char b = static_cast<unsigned char>(c);
      shown = std::string("byte 0x") + kHex[b >> 4] + kHex[b & 15];
    }
    return Status::InvalidArgument("unexpected character " + shown + " " + At(start));
  }
  push(Tok::kEnd, n);
  return Status::OK();
}

}  // namespace xb::expr
