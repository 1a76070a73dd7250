// The compiled form of an expression: a tree of typed nodes, checked when it
// is built. Private to the expression compiler and evaluator.
//
// Character values are never returned: a character node appends its value to
// the evaluation's one text buffer (concatenation is two appends, UPPER works
// in place, a comparison appends both sides and cuts them off again). So a
// key is built in the caller's buffer without a temporary string per node.
// Invariant: Num/Date/Bool/Stamp leave the buffer as they found it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/expr.h"
#include "xbase/field.h"
#include "xbase/status.h"
#include "xbase/value.h"

namespace xb::expr {

enum class VType : uint8_t { kChar, kNumber, kDate, kLogical, kStamp };
const char* TypeName(VType t);  // "character", "numeric", ...

// Static width of a character value whose length has no bound (a memo field,
// STR with a computed width, ...). Widths add up saturating at this value.
constexpr int kUnbounded = 1 << 30;
inline int AddWidths(int a, int b) {
  return a + b >= kUnbounded ? kUnbounded : a + b;
}
// Lengths computed while evaluating (PADR's width, ...) are capped here so a
// computed number cannot ask for an absurd string.
constexpr int kMaxTextLength = 65535;

struct EvalContext {
  const FieldSource* record = nullptr;
  std::string* buf = nullptr;         // character values are appended here
  const std::string* text = nullptr;  // the expression, for messages
  Status status;                      // the first failure while evaluating

  void Fail(const std::string& what);
};

class Node {
 public:
  // `width`: for kChar, the most bytes a value can have (kUnbounded when
  // unknown). `constant`: the value depends on nothing but the expression.
  Node(VType type, int width, bool constant) : type_(type), width_(width), constant_(constant) {}
  virtual ~Node() = default;
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  VType type() const { return type_; }
  int width() const { return width_; }
  bool constant() const { return constant_; }
  virtual bool is_literal() const { return false; }

  // Only the one matching type() is ever called.
  virtual void Str(EvalContext& c) const;
  virtual double Num(EvalContext& c) const;
  virtual int32_t Date(EvalContext& c) const;
  virtual bool Bool(EvalContext& c) const;
  virtual Timestamp Stamp(EvalContext& c) const;

 private:
  VType type_;
  int width_;
  bool constant_;
};

using NodePtr = std::unique_ptr<Node>;

NodePtr MakeCharLiteral(std::string s);
NodePtr MakeNumLiteral(double d);
NodePtr MakeDateLiteral(int32_t jd);
NodePtr MakeBoolLiteral(bool b);

// Node reading field `index`; NotSupported-like InvalidArgument for types an
// expression cannot use.
Result<NodePtr> MakeField(const FieldDef& f, int index);

// Replaces a constant, non-literal node by the literal of its value, so
// STOD("20900101") or "A" + "B" are computed once, at compile time.
NodePtr Fold(NodePtr n);

// Operators. `op` is the operator as written ("+", "==", ".AND.", ...). The
// error messages say what is wrong without quoting the expression; the
// compiler adds that.
Result<NodePtr> MakeBinary(const std::string& op, NodePtr a, NodePtr b);
Result<NodePtr> MakeUnary(const std::string& op, NodePtr a);

// A call of function `name` (upper case, possibly abbreviated to four or more
// letters) with `args`.
Result<NodePtr> MakeCall(const std::string& name, std::vector<NodePtr> args);

}  // namespace xb::expr
