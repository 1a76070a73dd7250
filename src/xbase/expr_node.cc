// Node basics: literals, field references and constant folding.
#include "xbase/expr_node.h"

#include <string_view>

namespace xb::expr {

const char* TypeName(VType t) {
  switch (t) {
    case VType::kChar:
      return "character";
    case VType::kNumber:
      return "numeric";
    case VType::kDate:
      return "date";
    case VType::kLogical:
      return "logical";
    case VType::kStamp:
      return "timestamp";
  }
  return "?";
}

void EvalContext::Fail(const std::string& what) {
  if (status.ok()) status = Status::InvalidArgument("expression \"" + *text + "\": " + what);
}

// The type checker guarantees these are never reached; they return a blank
// value rather than crash should a bug ever call one.
void Node::Str(EvalContext&) const {}
double Node::Num(EvalContext&) const {
  return 0;
}
int32_t Node::Date(EvalContext&) const {
  return 0;
}
bool Node::Bool(EvalContext&) const {
  return false;
}
Timestamp Node::Stamp(EvalContext&) const {
  return {};
}

namespace {

class CharLiteral final : public Node {
 public:
  explicit CharLiteral(std::string s)
      : Node(VType::kChar, static_cast<int>(s.size()), true), s_(std::move(s)) {}
  bool is_literal() const override { return true; }
  void Str(EvalContext& c) const override { c.buf->append(s_); }

 private:
  std::string s_;
};

class NumLiteral final : public Node {
 public:
  explicit NumLiteral(double d) : Node(VType::kNumber, 0, true), d_(d) {}
  bool is_literal() const override { return true; }
  double Num(EvalContext&) const override { return d_; }

 private:
  double d_;
};

class DateLiteral final : public Node {
 public:
  explicit DateLiteral(int32_t jd) : Node(VType::kDate, 0, true), jd_(jd) {}
  bool is_literal() const override { return true; }
  int32_t Date(EvalContext&) const override { return jd_; }

 private:
  int32_t jd_;
};

class BoolLiteral final : public Node {
 public:
  explicit BoolLiteral(bool b) : Node(VType::kLogical, 0, true), b_(b) {}
  bool is_literal() const override { return true; }
  bool Bool(EvalContext&) const override { return b_; }

 private:
  bool b_;
};

class StampLiteral final : public Node {
 public:
  explicit StampLiteral(Timestamp t) : Node(VType::kStamp, 0, true), t_(t) {}
  bool is_literal() const override { return true; }
  Timestamp Stamp(EvalContext&) const override { return t_; }

 private:
  Timestamp t_;
};

// Field references. A source that hands out a value of another type than the
// field's is broken; the evaluation fails with a message naming the field.
// A null value (VFP nullable fields) reads as the blank value of the type.
class FieldNode : public Node {
 public:
  FieldNode(VType type, int width, int index, std::string name)
      : Node(type, width, false), index_(index), name_(std::move(name)) {}

 protected:
  void WrongType(EvalContext& c, const Value& v) const {
    c.Fail("field " + name_ + " gave " + v.DebugString() + " where a " + TypeName(type()) +
           " value was expected");
  }
  int index_;
  std::string name_;
};

class CharField final : public FieldNode {
 public:
  using FieldNode::FieldNode;
  void Str(EvalContext& c) const override {
    std::string_view bytes;
    if (c.record->GetCharField(index_, &bytes)) {
      AppendFixed(c, bytes);
      return;
    }
    Value v = c.record->GetField(index_);
    if (v.is_char()) {
      AppendFixed(c, v.str());
    } else {
      if (!v.is_null()) WrongType(c, v);
      c.buf->append(width(), ' ');
    }
  }

 private:
  // Always exactly the field's width, so the parts of a key stay in place
  // even if a source trims its values.
  void AppendFixed(EvalContext& c, std::string_view bytes) const {
    size_t w = static_cast<size_t>(width());
    if (bytes.size() >= w) {
      c.buf->append(bytes.data(), w);
    } else {
      c.buf->append(bytes.data(), bytes.size());
      c.buf->append(w - bytes.size(), ' ');
    }
  }
};

class MemoField final : public FieldNode {
 public:
  using FieldNode::FieldNode;
  void Str(EvalContext& c) const override {
    Value v = c.record->GetField(index_);
    if (v.is_char()) {
      c.buf->append(v.str());
    } else if (!v.is_null()) {
      WrongType(c, v);
    }
  }
};

class NumField final : public FieldNode {
 public:
  using FieldNode::FieldNode;
  double Num(EvalContext& c) const override {
    Value v = c.record->GetField(index_);
    if (v.is_numeric()) return v.number();
    if (!v.is_null()) WrongType(c, v);
    return 0;
  }
};

class DateField final : public FieldNode {
 public:
  using FieldNode::FieldNode;
  int32_t Date(EvalContext& c) const override {
    Value v = c.record->GetField(index_);
    if (v.type() == Value::Type::kDate || v.type() == Value::Type::kTimestamp) return v.date();
    if (!v.is_null()) WrongType(c, v);
    return 0;
  }
};

class LogicalField final : public FieldNode {
 public:
  using FieldNode::FieldNode;
  bool Bool(EvalContext& c) const override {
    Value v = c.record->GetField(index_);
    if (v.type() == Value::Type::kLogical) return v.logical();
    if (!v.is_null()) WrongType(c, v);
    return false;
  }
};

class StampField final : public FieldNode {
 public:
  using FieldNode::FieldNode;
  Timestamp Stamp(EvalContext& c) const override {
    Value v = c.record->GetField(index_);
    if (v.type() == Value::Type::kTimestamp) return v.stamp();
    if (v.type() == Value::Type::kDate) return Timestamp{v.date(), 0};
    if (!v.is_null()) WrongType(c, v);
    return {};
  }
};

class NoRecord final : public FieldSource {
 public:
  Value GetField(int) const override { return Value(); }
};

}  // namespace

NodePtr MakeCharLiteral(std::string s) {
  return std::make_unique<CharLiteral>(std::move(s));
}
NodePtr MakeNumLiteral(double d) {
  return std::make_unique<NumLiteral>(d);
}
NodePtr MakeDateLiteral(int32_t jd) {
  return std::make_unique<DateLiteral>(jd);
}
NodePtr MakeBoolLiteral(bool b) {
  return std::make_unique<BoolLiteral>(b);
}

Result<NodePtr> MakeField(const FieldDef& f, int index) {
  switch (f.type) {
    case 'C':
      return NodePtr(std::make_unique<CharField>(VType::kChar, f.len, index, f.name));
    case 'M':
      return NodePtr(std::make_unique<MemoField>(VType::kChar, kUnbounded, index, f.name));
    case 'N':
    case 'F':
    case 'B':
    case 'Y':
    case 'I':
    case '+':  // autoincrement: an integer
      return NodePtr(std::make_unique<NumField>(VType::kNumber, 0, index, f.name));
    case 'D':
      return NodePtr(std::make_unique<DateField>(VType::kDate, 0, index, f.name));
    case 'L':
      return NodePtr(std::make_unique<LogicalField>(VType::kLogical, 0, index, f.name));
    case 'T':
    case '@':
      return NodePtr(std::make_unique<StampField>(VType::kStamp, 0, index, f.name));
    default:
      return Status::InvalidArgument("field " + f.name + " of type " + std::string(1, f.type) +
                                     " cannot be used in an expression");
  }
}

NodePtr Fold(NodePtr n) {
  if (!n->constant() || n->is_literal()) return n;
  NoRecord none;
  std::string buf, text;
  EvalContext c;
  c.record = &none;
  c.buf = &buf;
  c.text = &text;
  switch (n->type()) {
    case VType::kChar:
      n->Str(c);
      return MakeCharLiteral(std::move(buf));
    case VType::kNumber:
      return MakeNumLiteral(n->Num(c));
    case VType::kDate:
      return MakeDateLiteral(n->Date(c));
    case VType::kLogical:
      return MakeBoolLiteral(n->Bool(c));
    case VType::kStamp:
      return std::make_unique<StampLiteral>(n->Stamp(c));
  }
  return n;
}

}  // namespace xb::expr
