// The function table (names, argument counts, abbreviations) and the
// functions that are not about text: IIF, dates, numbers, DELETED, RECNO.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "xbase/expr_builtins.h"
#include "xbase/expr_format.h"

namespace xb::expr {

namespace {

class Iif final : public Node {
 public:
  Iif(NodePtr cond, NodePtr a, NodePtr b)
      : Node(a->type(), std::max(a->width(), b->width()),
             cond->constant() && a->constant() && b->constant()),
        cond_(std::move(cond)),
        a_(std::move(a)),
        b_(std::move(b)) {}
  void Str(EvalContext& c) const override { Pick(c)->Str(c); }
  double Num(EvalContext& c) const override { return Pick(c)->Num(c); }
  int32_t Date(EvalContext& c) const override { return Pick(c)->Date(c); }
  bool Bool(EvalContext& c) const override { return Pick(c)->Bool(c); }
  Timestamp Stamp(EvalContext& c) const override { return Pick(c)->Stamp(c); }

 private:
  const Node* Pick(EvalContext& c) const { return cond_->Bool(c) ? a_.get() : b_.get(); }
  NodePtr cond_, a_, b_;
};

// The day of a date or timestamp argument.
int32_t DayOf(const Node& n, EvalContext& c) {
  return n.type() == VType::kStamp ? n.Stamp(c).jd : n.Date(c);
}

class Dtos final : public Node {
 public:
  explicit Dtos(NodePtr d) : Node(VType::kChar, 8, d->constant()), d_(std::move(d)) {}
  void Str(EvalContext& c) const override { AppendDtos(DayOf(*d_, c), c.buf); }

 private:
  NodePtr d_;
};

// "YYYYMMDD" to a date; blanks, "" or an impossible date give the empty date.
class Stod final : public Node {
 public:
  explicit Stod(NodePtr s) : Node(VType::kDate, 0, s->constant()), s_(std::move(s)) {}
  int32_t Date(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    int32_t jd = 0;
    if (buf.size() - start >= 8) jd = JulianFromDtos(buf.substr(start, 8));
    buf.resize(start);
    return jd;
  }

 private:
  NodePtr s_;
};

enum class DatePart { kYear, kMonth, kDay };

class DatePartNode final : public Node {
 public:
  DatePartNode(DatePart part, NodePtr d)
      : Node(VType::kNumber, 0, d->constant()), part_(part), d_(std::move(d)) {}
  double Num(EvalContext& c) const override {
    int32_t jd = DayOf(*d_, c);
    if (jd <= 0) return 0;
    int y, m, d;
    YmdFromJulian(jd, &y, &m, &d);
    return part_ == DatePart::kYear ? y : part_ == DatePart::kMonth ? m : d;
  }

 private:
  DatePart part_;
  NodePtr d_;
};

// LEN and VAL read their text argument and measure or parse it.
class TextNumber final : public Node {
 public:
  TextNumber(bool parse, NodePtr s)
      : Node(VType::kNumber, 0, s->constant()), parse_(parse), s_(std::move(s)) {}
  double Num(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    double r = parse_ ? ParseNumber(std::string_view(buf).substr(start))
                      : static_cast<double>(buf.size() - start);
    buf.resize(start);
    return r;
  }

 private:
  bool parse_;
  NodePtr s_;
};

enum class MathOp { kAbs, kInt, kRound };

class MathNode final : public Node {
 public:
  MathNode(MathOp op, NodePtr a, NodePtr b)
      : Node(VType::kNumber, 0, a->constant() && (!b || b->constant())),
        op_(op),
        a_(std::move(a)),
        b_(std::move(b)) {}
  double Num(EvalContext& c) const override {
    double x = a_->Num(c);
    switch (op_) {
      case MathOp::kAbs:
        return std::fabs(x);
      case MathOp::kInt:
        return std::trunc(x);
      case MathOp::kRound: {
        double d = std::trunc(b_->Num(c));
        d = d > 64 ? 64 : d < -64 ? -64 : d;
        return RoundDecimal(x, static_cast<int>(d));
      }
    }
    return x;
  }

 private:
  MathOp op_;
  NodePtr a_, b_;
};

// EMPTY: blank text (blanks, tabs, line breaks), 0, the empty date, .F.
class Empty final : public Node {
 public:
  explicit Empty(NodePtr a) : Node(VType::kLogical, 0, a->constant()), a_(std::move(a)) {}
  bool Bool(EvalContext& c) const override {
    switch (a_->type()) {
      case VType::kChar: {
        std::string& buf = *c.buf;
        size_t start = buf.size();
        a_->Str(c);
        bool blank = true;
        for (size_t i = start; i < buf.size() && blank; ++i) {
          char ch = buf[i];
          blank = ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
        }
        buf.resize(start);
        return blank;
      }
      case VType::kNumber:
        return a_->Num(c) == 0;
      case VType::kDate:
        return a_->Date(c) == 0;
      case VType::kLogical:
        return !a_->Bool(c);
      case VType::kStamp: {
        Timestamp t = a_->Stamp(c);
        return t.jd == 0 && t.ms == 0;
      }
    }
    return true;
  }

 private:
  NodePtr a_;
};

class Deleted final : public Node {
 public:
  Deleted() : Node(VType::kLogical, 0, false) {}
  bool Bool(EvalContext& c) const override { return c.record->IsDeleted(); }
};

class Recno final : public Node {
 public:
  Recno() : Node(VType::kNumber, 0, false) {}
  double Num(EvalContext& c) const override { return c.record->RecNo(); }
};

Status ExpectDay(const std::string& name, const Args& args) {
  VType t = args[0]->type();
  if (t == VType::kDate || t == VType::kStamp) return Status::OK();
  return ExpectArg(name, args, 0, VType::kDate);
}

Result<NodePtr> BuildIif(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kLogical));
  if (args[1]->type() != args[2]->type()) {
    return Status::InvalidArgument(name + " needs both results of the same type, not " +
                                   TypeName(args[1]->type()) + " and " + TypeName(args[2]->type()));
  }
  return NodePtr(std::make_unique<Iif>(std::move(args[0]), std::move(args[1]), std::move(args[2])));
}

Result<NodePtr> BuildDtos(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectDay(name, args));
  return NodePtr(std::make_unique<Dtos>(std::move(args[0])));
}

Result<NodePtr> BuildStod(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  return NodePtr(std::make_unique<Stod>(std::move(args[0])));
}

// CTOD reads the SET DATE format of the program that runs it, so two
// programs could build different keys from one tag. Only its use for the
// empty date, CTOD(""), has one meaning everywhere.
Result<NodePtr> BuildCtod(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  if (args[0]->is_literal()) {
    std::string text, buf;
    EvalContext c;
    c.buf = &buf;
    c.text = &text;
    args[0]->Str(c);
    if (buf.find_first_not_of(' ') == std::string::npos) return MakeDateLiteral(0);
  }
  return Status::InvalidArgument(
      "CTOD depends on the SET DATE format; use STOD(\"YYYYMMDD\") (CTOD(\"\") is accepted for "
      "the empty date)");
}

Result<NodePtr> BuildDatePart(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectDay(name, args));
  DatePart part = name == "YEAR"    ? DatePart::kYear
                  : name == "MONTH" ? DatePart::kMonth
                                    : DatePart::kDay;
  return NodePtr(std::make_unique<DatePartNode>(part, std::move(args[0])));
}

Result<NodePtr> BuildTextNumber(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  return NodePtr(std::make_unique<TextNumber>(name == "VAL", std::move(args[0])));
}

Result<NodePtr> BuildMath(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kNumber));
  if (args.size() > 1) XB_RETURN_IF_ERROR(ExpectArg(name, args, 1, VType::kNumber));
  MathOp op = name == "ABS" ? MathOp::kAbs : name == "INT" ? MathOp::kInt : MathOp::kRound;
  NodePtr b = args.size() > 1 ? std::move(args[1]) : nullptr;
  return NodePtr(std::make_unique<MathNode>(op, std::move(args[0]), std::move(b)));
}

Result<NodePtr> BuildEmpty(const std::string&, Args& args) {
  return NodePtr(std::make_unique<Empty>(std::move(args[0])));
}

Result<NodePtr> BuildDeleted(const std::string&, Args&) {
  return NodePtr(std::make_unique<Deleted>());
}

Result<NodePtr> BuildRecno(const std::string&, Args&) {
  return NodePtr(std::make_unique<Recno>());
}

struct FuncInfo {
  const char* name;
  int min_args, max_args;
  Builder build;  // null: refused with `refusal`
  const char* refusal;
};

constexpr char kClock[] =
    "() changes with the clock; an index key or condition must depend on the record alone";

const FuncInfo kFunctions[] = {
    {"ABS", 1, 1, BuildMath, nullptr},
    {"ALLTRIM", 1, 1, BuildTrim, nullptr},
    {"CTOD", 1, 1, BuildCtod, nullptr},
    {"DATE", 0, 0, nullptr, kClock},
    {"DATETIME", 0, 0, nullptr, kClock},
    {"DAY", 1, 1, BuildDatePart, nullptr},
    {"DELETED", 0, 0, BuildDeleted, nullptr},
    {"DTOC", 1, 1, nullptr, " depends on the SET DATE format; use DTOS"},
    {"DTOS", 1, 1, BuildDtos, nullptr},
    {"EMPTY", 1, 1, BuildEmpty, nullptr},
    {"HB_STOD", 1, 1, BuildStod, nullptr},
    {"IF", 3, 3, BuildIif, nullptr},
    {"IIF", 3, 3, BuildIif, nullptr},
    {"INT", 1, 1, BuildMath, nullptr},
    {"LEFT", 2, 2, BuildLeftRight, nullptr},
    {"LEN", 1, 1, BuildTextNumber, nullptr},
    {"LOWER", 1, 1, BuildCaseMap, nullptr},
    {"LTRIM", 1, 1, BuildTrim, nullptr},
    {"MONTH", 1, 1, BuildDatePart, nullptr},
    {"PADC", 2, 3, BuildPad, nullptr},
    {"PADL", 2, 3, BuildPad, nullptr},
    {"PADR", 2, 3, BuildPad, nullptr},
    {"RECNO", 0, 0, BuildRecno, nullptr},
    {"RIGHT", 2, 2, BuildLeftRight, nullptr},
    {"ROUND", 2, 2, BuildMath, nullptr},
    {"RTRIM", 1, 1, BuildTrim, nullptr},
    {"SECONDS", 0, 0, nullptr, kClock},
    {"STOD", 1, 1, BuildStod, nullptr},
    {"STR", 1, 3, BuildStr, nullptr},
    {"STRZERO", 1, 3, BuildStr, nullptr},
    {"SUBSTR", 2, 3, BuildSubstr, nullptr},
    {"TIME", 0, 0, nullptr, kClock},
    {"TRANSFORM", 2, 2, nullptr,
     " is not supported in index expressions; use STR, STRZERO or PADL"},
    {"TRIM", 1, 1, BuildTrim, nullptr},
    {"UPPER", 1, 1, BuildCaseMap, nullptr},
    {"VAL", 1, 1, BuildTextNumber, nullptr},
    {"YEAR", 1, 1, BuildDatePart, nullptr},
};

// The function `name` stands for: its full name, or an abbreviation of four
// or more letters that starts only one function's name, as dBase and FoxPro
// accept (SUBS for SUBSTR).
Result<const FuncInfo*> Lookup(const std::string& name) {
  for (const FuncInfo& f : kFunctions) {
    if (name == f.name) return &f;
  }
  const FuncInfo* found = nullptr;
  if (name.size() >= 4) {
    for (const FuncInfo& f : kFunctions) {
      if (std::string_view(f.name).substr(0, name.size()) != name) continue;
      if (found) {
        return Status::InvalidArgument("ambiguous function name " + name + " (" + found->name +
                                       " or " + f.name + ")");
      }
      found = &f;
    }
  }
  if (!found) return Status::InvalidArgument("unknown field or function " + name);
  return found;
}

std::string ArgCount(int n) {
  if (n == 0) return "no arguments";
  return std::to_string(n) + (n == 1 ? " argument" : " arguments");
}

}  // namespace

Status ExpectArg(const std::string& name, const Args& args, size_t i, VType t) {
  if (args[i]->type() == t) return Status::OK();
  return Status::InvalidArgument(name + " expects a " + TypeName(t) + " value as argument " +
                                 std::to_string(i + 1) + ", not a " + TypeName(args[i]->type()) +
                                 " one");
}

bool LiteralNumber(const NodePtr& n, double* out) {
  if (!n->is_literal() || n->type() != VType::kNumber) return false;
  EvalContext c;
  *out = n->Num(c);
  return true;
}

Result<NodePtr> MakeCall(const std::string& name, std::vector<NodePtr> args) {
  auto found = Lookup(name);
  if (!found.ok()) return found.status();
  const FuncInfo& f = *found.value();
  std::string full = f.name;
  if (!f.build) return Status::InvalidArgument(full + f.refusal);
  int n = static_cast<int>(args.size());
  if (n < f.min_args || n > f.max_args) {
    std::string want = f.min_args == f.max_args
                           ? ArgCount(f.min_args)
                           : std::to_string(f.min_args) + " to " + ArgCount(f.max_args);
    return Status::InvalidArgument(full + " expects " + want + ", got " + std::to_string(n));
  }
  auto node = f.build(full, args);
  if (!node.ok()) return node.status();
  return Fold(std::move(node.value()));
}

}  // namespace xb::expr
