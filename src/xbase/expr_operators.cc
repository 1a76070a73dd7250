// Operators: + and - on text, numbers and dates; * / % ^; comparisons; $;
// .AND. .OR. .NOT. Each is a node class picked by the operand types, so the
// evaluation does no type dispatch.
#include <cmath>
#include <string_view>

#include "xbase/expr_format.h"
#include "xbase/expr_node.h"

namespace xb::expr {

namespace {

class Concat final : public Node {
 public:
  Concat(NodePtr a, NodePtr b)
      : Node(VType::kChar, AddWidths(a->width(), b->width()), a->constant() && b->constant()),
        a_(std::move(a)),
        b_(std::move(b)) {}
  void Str(EvalContext& c) const override {
    a_->Str(c);
    b_->Str(c);
  }

 private:
  NodePtr a_, b_;
};

// "AB  " - "CD" = "ABCD  ": the left operand's trailing blanks move to the end.
class TrimConcat final : public Node {
 public:
  TrimConcat(NodePtr a, NodePtr b)
      : Node(VType::kChar, AddWidths(a->width(), b->width()), a->constant() && b->constant()),
        a_(std::move(a)),
        b_(std::move(b)) {}
  void Str(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    a_->Str(c);
    size_t end_a = buf.size();
    size_t blanks = 0;
    while (end_a - blanks > start && buf[end_a - blanks - 1] == ' ') ++blanks;
    b_->Str(c);
    if (blanks > 0 && buf.size() > end_a) {
      buf.erase(end_a - blanks, blanks);
      buf.append(blanks, ' ');
    }
  }

 private:
  NodePtr a_, b_;
};

enum class ArithOp { kAdd, kSub, kMul, kDiv, kMod, kPow };

class Arith final : public Node {
 public:
  Arith(ArithOp op, NodePtr a, NodePtr b)
      : Node(VType::kNumber, 0, a->constant() && b->constant()),
        op_(op),
        a_(std::move(a)),
        b_(std::move(b)) {}
  double Num(EvalContext& c) const override {
    double x = a_->Num(c), y = b_->Num(c);
    switch (op_) {
      case ArithOp::kAdd:
        return x + y;
      case ArithOp::kSub:
        return x - y;
      case ArithOp::kMul:
        return x * y;
      // A zero divisor gives 0, as xBase's default error handler substitutes:
      // an index update must not fail on one odd record.
      case ArithOp::kDiv:
        return y == 0 ? 0 : x / y;
      case ArithOp::kMod:
        return y == 0 ? 0 : std::fmod(x, y);
      case ArithOp::kPow:
        return std::pow(x, y);
    }
    return 0;
  }

 private:
  ArithOp op_;
  NodePtr a_, b_;
};

class Negate final : public Node {
 public:
  explicit Negate(NodePtr a) : Node(VType::kNumber, 0, a->constant()), a_(std::move(a)) {}
  double Num(EvalContext& c) const override { return -a_->Num(c); }

 private:
  NodePtr a_;
};

// Days are whole: a fractional number of days is cut toward zero.
int32_t ShiftDate(int32_t jd, double days, bool subtract) {
  double d = std::trunc(days);
  double r = subtract ? jd - d : jd + d;
  if (r > 0x7FFFFFFF) return 0x7FFFFFFF;
  if (r < -0x7FFFFFFF) return -0x7FFFFFFF;
  return static_cast<int32_t>(r);
}

class DateShift final : public Node {
 public:
  DateShift(NodePtr date, NodePtr days, bool subtract)
      : Node(VType::kDate, 0, date->constant() && days->constant()),
        date_(std::move(date)),
        days_(std::move(days)),
        subtract_(subtract) {}
  int32_t Date(EvalContext& c) const override {
    int32_t jd = date_->Date(c);
    return ShiftDate(jd, days_->Num(c), subtract_);
  }

 private:
  NodePtr date_, days_;
  bool subtract_;
};

// The empty date counts as day 0, so STOD("20900101") - {empty} is the
// Julian day number of 2090-01-01, as other xBase engines store it.
class DateDiff final : public Node {
 public:
  DateDiff(NodePtr a, NodePtr b)
      : Node(VType::kNumber, 0, a->constant() && b->constant()),
        a_(std::move(a)),
        b_(std::move(b)) {}
  double Num(EvalContext& c) const override {
    double x = a_->Date(c);
    return x - b_->Date(c);
  }

 private:
  NodePtr a_, b_;
};

enum class CmpOp { kEq, kExactEq, kNe, kLt, kLe, kGt, kGe };

bool Decide(CmpOp op, int r) {
  switch (op) {
    case CmpOp::kEq:
    case CmpOp::kExactEq:
      return r == 0;
    case CmpOp::kNe:
      return r != 0;
    case CmpOp::kLt:
      return r < 0;
    case CmpOp::kLe:
      return r <= 0;
    case CmpOp::kGt:
      return r > 0;
    case CmpOp::kGe:
      return r >= 0;
  }
  return false;
}

template <class T>
int Order(T x, T y) {
  return x < y ? -1 : (y < x ? 1 : 0);
}

class Compare final : public Node {
 public:
  Compare(CmpOp op, NodePtr a, NodePtr b)
      : Node(VType::kLogical, 0, a->constant() && b->constant()),
        op_(op),
        a_(std::move(a)),
        b_(std::move(b)) {}
  bool Bool(EvalContext& c) const override {
    int r = 0;
    switch (a_->type()) {
      case VType::kChar: {
        std::string& buf = *c.buf;
        size_t start = buf.size();
        a_->Str(c);
        size_t mid = buf.size();
        b_->Str(c);
        std::string_view all(buf);
        r = CompareText(all.substr(start, mid - start), all.substr(mid), op_ == CmpOp::kExactEq);
        buf.resize(start);
        break;
      }
      case VType::kNumber:
        r = Order(a_->Num(c), b_->Num(c));
        break;
      case VType::kDate:
        r = Order(a_->Date(c), b_->Date(c));
        break;
      case VType::kLogical:
        r = Order(a_->Bool(c), b_->Bool(c));
        break;
      case VType::kStamp: {
        Timestamp x = a_->Stamp(c), y = b_->Stamp(c);
        r = x.jd != y.jd ? Order(x.jd, y.jd) : Order(x.ms, y.ms);
        break;
      }
    }
    return Decide(op_, r);
  }

 private:
  CmpOp op_;
  NodePtr a_, b_;
};

// a $ b: a occurs in b. An empty a occurs nowhere, as in xBase.
class Contains final : public Node {
 public:
  Contains(NodePtr a, NodePtr b)
      : Node(VType::kLogical, 0, a->constant() && b->constant()),
        a_(std::move(a)),
        b_(std::move(b)) {}
  bool Bool(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    a_->Str(c);
    size_t mid = buf.size();
    b_->Str(c);
    std::string_view all(buf);
    std::string_view needle = all.substr(start, mid - start), hay = all.substr(mid);
    bool found = !needle.empty() && hay.find(needle) != std::string_view::npos;
    buf.resize(start);
    return found;
  }

 private:
  NodePtr a_, b_;
};

class Logic final : public Node {
 public:
  Logic(bool is_and, NodePtr a, NodePtr b)
      : Node(VType::kLogical, 0, a->constant() && b->constant()),
        is_and_(is_and),
        a_(std::move(a)),
        b_(std::move(b)) {}
  bool Bool(EvalContext& c) const override {
    bool x = a_->Bool(c);
    if (is_and_ ? !x : x) return x;  // the right side is not evaluated
    return b_->Bool(c);
  }

 private:
  bool is_and_;
  NodePtr a_, b_;
};

class Not final : public Node {
 public:
  explicit Not(NodePtr a) : Node(VType::kLogical, 0, a->constant()), a_(std::move(a)) {}
  bool Bool(EvalContext& c) const override { return !a_->Bool(c); }

 private:
  NodePtr a_;
};

Status Mismatch(const std::string& op, const NodePtr& a, const NodePtr& b) {
  return Status::InvalidArgument("operator " + op + " cannot combine " + TypeName(a->type()) +
                                 " and " + TypeName(b->type()) + " values");
}

bool IsComparison(const std::string& op, CmpOp* out) {
  static const struct {
    const char* text;
    CmpOp op;
  } kOps[] = {{"=", CmpOp::kEq},  {"==", CmpOp::kExactEq}, {"!=", CmpOp::kNe},
              {"<>", CmpOp::kNe}, {"#", CmpOp::kNe},       {"<", CmpOp::kLt},
              {"<=", CmpOp::kLe}, {">", CmpOp::kGt},       {">=", CmpOp::kGe}};
  for (const auto& o : kOps) {
    if (op == o.text) {
      *out = o.op;
      return true;
    }
  }
  return false;
}

Result<NodePtr> Build(const std::string& op, NodePtr a, NodePtr b) {
  VType ta = a->type(), tb = b->type();
  if (op == "+") {
    if (ta == VType::kChar && tb == VType::kChar) {
      return NodePtr(std::make_unique<Concat>(std::move(a), std::move(b)));
    }
    if (ta == VType::kNumber && tb == VType::kNumber) {
      return NodePtr(std::make_unique<Arith>(ArithOp::kAdd, std::move(a), std::move(b)));
    }
    if (ta == VType::kDate && tb == VType::kNumber) {
      return NodePtr(std::make_unique<DateShift>(std::move(a), std::move(b), false));
    }
    if (ta == VType::kNumber && tb == VType::kDate) {
      return NodePtr(std::make_unique<DateShift>(std::move(b), std::move(a), false));
    }
    return Mismatch(op, a, b);
  }
  if (op == "-") {
    if (ta == VType::kChar && tb == VType::kChar) {
      return NodePtr(std::make_unique<TrimConcat>(std::move(a), std::move(b)));
    }
    if (ta == VType::kNumber && tb == VType::kNumber) {
      return NodePtr(std::make_unique<Arith>(ArithOp::kSub, std::move(a), std::move(b)));
    }
    if (ta == VType::kDate && tb == VType::kNumber) {
      return NodePtr(std::make_unique<DateShift>(std::move(a), std::move(b), true));
    }
    if (ta == VType::kDate && tb == VType::kDate) {
      return NodePtr(std::make_unique<DateDiff>(std::move(a), std::move(b)));
    }
    return Mismatch(op, a, b);
  }
  static const struct {
    const char* text;
    ArithOp op;
  } kArith[] = {{"*", ArithOp::kMul},
                {"/", ArithOp::kDiv},
                {"%", ArithOp::kMod},
                {"^", ArithOp::kPow},
                {"**", ArithOp::kPow}};
  for (const auto& o : kArith) {
    if (op == o.text) {
      if (ta != VType::kNumber || tb != VType::kNumber) return Mismatch(op, a, b);
      return NodePtr(std::make_unique<Arith>(o.op, std::move(a), std::move(b)));
    }
  }
  CmpOp cmp;
  if (IsComparison(op, &cmp)) {
    if (ta != tb) return Mismatch(op, a, b);
    return NodePtr(std::make_unique<Compare>(cmp, std::move(a), std::move(b)));
  }
  if (op == "$") {
    if (ta != VType::kChar || tb != VType::kChar) return Mismatch(op, a, b);
    return NodePtr(std::make_unique<Contains>(std::move(a), std::move(b)));
  }
  if (op == ".AND." || op == ".OR.") {
    if (ta != VType::kLogical || tb != VType::kLogical) return Mismatch(op, a, b);
    return NodePtr(std::make_unique<Logic>(op == ".AND.", std::move(a), std::move(b)));
  }
  return Status::InvalidArgument("unknown operator " + op);
}

}  // namespace

Result<NodePtr> MakeBinary(const std::string& op, NodePtr a, NodePtr b) {
  auto r = Build(op, std::move(a), std::move(b));
  if (!r.ok()) return r.status();
  return Fold(std::move(r.value()));
}

Result<NodePtr> MakeUnary(const std::string& op, NodePtr a) {
  if (op == "-" || op == "+") {
    if (a->type() != VType::kNumber) {
      return Status::InvalidArgument("unary " + op + " needs a numeric value, not a " +
                                     TypeName(a->type()) + " one");
    }
    if (op == "+") return a;
    return Fold(std::make_unique<Negate>(std::move(a)));
  }
  if (op == ".NOT.") {
    if (a->type() != VType::kLogical) {
      return Status::InvalidArgument(".NOT. needs a logical value, not a " +
                                     std::string(TypeName(a->type())) + " one");
    }
    return Fold(std::make_unique<Not>(std::move(a)));
  }
  return Status::InvalidArgument("unknown operator " + op);
}

}  // namespace xb::expr
