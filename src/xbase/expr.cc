// Expression: compiles text to a node tree (expr_parser.cc) and evaluates it
// per record into a reused buffer.
#include "xbase/expr.h"

#include "xbase/expr_node.h"
#include "xbase/expr_parser.h"

namespace xb {

namespace {

using expr::EvalContext;
using expr::NodePtr;
using expr::VType;

constexpr size_t kMaxTextLength = 4096;

class CompiledExpression final : public Expression {
 public:
  CompiledExpression(std::string text, NodePtr root)
      : text_(std::move(text)), root_(std::move(root)) {
    switch (root_->type()) {
      case VType::kChar:
        type_ = Value::Type::kChar;
        length_ = root_->width();
        break;
      case VType::kNumber:
        type_ = Value::Type::kNumber;
        length_ = 8;
        break;
      case VType::kDate:
        type_ = Value::Type::kDate;
        length_ = 8;
        break;
      case VType::kLogical:
        type_ = Value::Type::kLogical;
        length_ = 1;
        break;
      case VType::kStamp:
        type_ = Value::Type::kTimestamp;
        length_ = 8;
        break;
    }
  }

  Result<Value> Evaluate(const FieldSource& record) const override {
    Value v;
    if (type_ == Value::Type::kChar) {
      v = Value::Char(std::string());
      v.mutable_str().reserve(length_);
    }
    Status s = EvaluateInto(record, &v);
    if (!s.ok()) return s;
    return v;
  }

  Status EvaluateInto(const FieldSource& record, Value* out) const override {
    EvalContext c;
    c.record = &record;
    c.text = &text_;
    if (type_ == Value::Type::kChar) {
      if (!out->is_char()) *out = Value::Char(std::string());
      std::string& key = out->mutable_str();
      key.clear();
      c.buf = &key;
      root_->Str(c);
      // Every key has the same width: shorter results (a trimmed part, the
      // shorter branch of an IIF) are padded with blanks.
      key.resize(length_, ' ');
      return c.status;
    }
    // Other results still need a text buffer for the text they compare or
    // parse on the way; one per thread, kept warm between calls.
    thread_local std::string scratch;
    scratch.clear();
    c.buf = &scratch;
    switch (root_->type()) {
      case VType::kNumber: {
        // -0 would encode as a key of its own; it is 0.
        double d = root_->Num(c);
        *out = Value::Number(d == 0 ? 0.0 : d);
        break;
      }
      case VType::kDate:
        *out = Value::Date(root_->Date(c));
        break;
      case VType::kLogical:
        *out = Value::Logical(root_->Bool(c));
        break;
      case VType::kStamp:
        *out = Value::Stamp(root_->Stamp(c));
        break;
      case VType::kChar:
        break;
    }
    return c.status;
  }

  Value::Type result_type() const override { return type_; }
  int result_length() const override { return length_; }
  const std::string& text() const override { return text_; }

 private:
  std::string text_;
  NodePtr root_;
  Value::Type type_ = Value::Type::kNull;
  int length_ = 0;
};

}  // namespace

Result<std::unique_ptr<Expression>> Expression::Compile(const std::string& text,
                                                        const FieldList& fields) {
  auto fail = [&](const std::string& what) {
    return Status::InvalidArgument("expression \"" + text + "\": " + what);
  };
  // Real keys and conditions are a few hundred bytes at most (a CDX tag
  // header holds 220). The cap bounds the depth of the tree a long chain
  // like A+A+A+... builds, which evaluation walks recursively.
  if (text.size() > kMaxTextLength) {
    return fail("it is longer than " + std::to_string(kMaxTextLength) + " bytes");
  }
  auto root = expr::Parse(text, fields);
  if (!root.ok()) return fail(root.status().message());
  NodePtr node = std::move(root.value());
  if (node->type() == VType::kChar) {
    // A key needs one length for every record. Harbour and FoxPro take it
    // from the first evaluation; we take the widest value the expression can
    // give, which this check needs to be finite.
    if (node->width() >= expr::kUnbounded) {
      return fail(
          "the length of its result is not fixed (a memo field or a computed width); give it "
          "one with LEFT(..., n) or PADR(..., n)");
    }
    if (node->width() == 0) return fail("its result is always empty");
  }
  return std::unique_ptr<Expression>(std::make_unique<CompiledExpression>(text, std::move(node)));
}

}  // namespace xb
