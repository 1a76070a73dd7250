// Precedence, lowest first, as in Clipper and Harbour:
//   .OR.   .AND.   .NOT. / !   comparisons (= == != <> # < <= > >= $)
//   + -    * / %   ^ **   unary - +
// so !A = B means !(A = B), and -2^2 is 4.
#include "xbase/expr_parser.h"

#include <vector>

#include "xbase/expr_lexer.h"

namespace xb::expr {

namespace {

// Nesting deeper than this is not a real key expression; refusing it keeps a
// hostile tag header from exhausting the stack.
constexpr int kMaxDepth = 200;

std::string Upper(const std::string& s) {
  std::string u = s;
  for (char& c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return u;
}

class Parser {
 public:
  Parser(const std::vector<Token>& toks, const FieldList& fields) : toks_(toks), fields_(fields) {}

  Result<NodePtr> All() {
    if (Peek().kind == Tok::kEnd) return Status::InvalidArgument("the expression is empty");
    auto r = Or();
    if (!r.ok()) return r;
    if (Peek().kind != Tok::kEnd) return Unexpected("an operator");
    return r;
  }

 private:
  const Token& Peek(size_t ahead = 0) const {
    size_t i = pos_ + ahead;
    return i < toks_.size() ? toks_[i] : toks_.back();
  }
  const Token& Take() { return toks_[pos_ < toks_.size() - 1 ? pos_++ : pos_]; }
  bool IsOp(const char* op) const { return Peek().kind == Tok::kOp && Peek().text == op; }

  Status Unexpected(const std::string& expected) const {
    const Token& t = Peek();
    if (t.kind == Tok::kEnd) {
      return Status::InvalidArgument("syntax error: expected " + expected + " at the end");
    }
    return Status::InvalidArgument("syntax error: expected " + expected + " at position " +
                                   std::to_string(t.pos + 1));
  }

  struct DepthGuard {
    explicit DepthGuard(int* d) : depth(d) { ++*depth; }
    ~DepthGuard() { --*depth; }
    int* depth;
  };

  // One left-associative level: next { op next }.
  template <class Next>
  Result<NodePtr> Level(std::initializer_list<const char*> ops, Next next) {
    auto left = (this->*next)();
    if (!left.ok()) return left;
    NodePtr node = std::move(left.value());
    for (;;) {
      const char* op = nullptr;
      for (const char* o : ops) {
        if (IsOp(o)) op = o;
      }
      if (!op) return node;
      Take();
      auto right = (this->*next)();
      if (!right.ok()) return right;
      auto combined = MakeBinary(op, std::move(node), std::move(right.value()));
      if (!combined.ok()) return combined;
      node = std::move(combined.value());
    }
  }

  Result<NodePtr> Or() {
    DepthGuard g(&depth_);
    if (depth_ > kMaxDepth) return Status::InvalidArgument("the expression is nested too deeply");
    return Level({".OR."}, &Parser::And);
  }
  Result<NodePtr> And() { return Level({".AND."}, &Parser::Not); }
  Result<NodePtr> Not() {
    if (!IsOp(".NOT.")) return Compare();
    Take();
    DepthGuard g(&depth_);
    if (depth_ > kMaxDepth) return Status::InvalidArgument("the expression is nested too deeply");
    auto a = Not();
    if (!a.ok()) return a;
    return MakeUnary(".NOT.", std::move(a.value()));
  }
  Result<NodePtr> Compare() {
    return Level({"=", "==", "!=", "<", "<=", ">", ">=", "$"}, &Parser::Additive);
  }
  Result<NodePtr> Additive() { return Level({"+", "-"}, &Parser::Multiplicative); }
  Result<NodePtr> Multiplicative() { return Level({"*", "/", "%"}, &Parser::Power); }
  Result<NodePtr> Power() { return Level({"^"}, &Parser::Unary); }

  Result<NodePtr> Unary() {
    // .NOT. is also taken here so that A = !B reads as A = (!B).
    if (IsOp("-") || IsOp("+") || IsOp(".NOT.")) {
      std::string op = Take().text;
      DepthGuard g(&depth_);
      if (depth_ > kMaxDepth) return Status::InvalidArgument("the expression is nested too deeply");
      auto a = Unary();
      if (!a.ok()) return a;
      return MakeUnary(op, std::move(a.value()));
    }
    return Primary();
  }

  Result<NodePtr> Primary() {
    const Token& t = Peek();
    switch (t.kind) {
      case Tok::kNumber:
        Take();
        return MakeNumLiteral(t.number);
      case Tok::kString:
        Take();
        return MakeCharLiteral(t.text);
      case Tok::kLogical:
        Take();
        return MakeBoolLiteral(t.logical);
      case Tok::kLParen: {
        Take();
        auto inner = Or();
        if (!inner.ok()) return inner;
        if (Peek().kind != Tok::kRParen) return Unexpected("')'");
        Take();
        return inner;
      }
      case Tok::kIdent:
        return Name();
      default:
        return Unexpected("a value");
    }
  }

  // A field (NAME, ALIAS->NAME, ALIAS.NAME) or a call NAME(...).
  Result<NodePtr> Name() {
    std::string name = Take().text;
    if (Peek().kind == Tok::kLParen) return Call(name);
    if (Peek().kind == Tok::kArrow || (Peek().kind == Tok::kDot && Peek(1).kind == Tok::kIdent)) {
      Take();
      if (Peek().kind != Tok::kIdent) return Unexpected("a field name");
      if (name == "M" || name == "MEMVAR") {
        return Status::InvalidArgument("memory variables (" + name + "->" + Peek().text +
                                       ") are not available in index expressions");
      }
      // Any alias is taken to mean this table: a tag can only read its own
      // table's record.
      name = Take().text;
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (Upper(fields_[i].name) == name) return MakeField(fields_[i], static_cast<int>(i));
    }
    return Status::InvalidArgument("unknown field or function " + name);
  }

  Result<NodePtr> Call(const std::string& name) {
    Take();  // (
    DepthGuard g(&depth_);
    if (depth_ > kMaxDepth) return Status::InvalidArgument("the expression is nested too deeply");
    std::vector<NodePtr> args;
    if (Peek().kind != Tok::kRParen) {
      for (;;) {
        auto a = Or();
        if (!a.ok()) return a;
        args.push_back(std::move(a.value()));
        if (Peek().kind == Tok::kComma) {
          Take();
          continue;
        }
        if (Peek().kind != Tok::kRParen) return Unexpected("',' or ')'");
        break;
      }
    }
    Take();  // )
    return MakeCall(name, std::move(args));
  }

  const std::vector<Token>& toks_;
  const FieldList& fields_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

Result<NodePtr> Parse(const std::string& text, const FieldList& fields) {
  std::vector<Token> toks;
  XB_RETURN_IF_ERROR(Tokenize(text, &toks));
  Parser p(toks, fields);
  return p.All();
}

}  // namespace xb::expr
