// Functions that produce text: UPPER, LOWER, the trims, LEFT, RIGHT, SUBSTR,
// the pads, STR and STRZERO. Each appends its argument to the text buffer and
// reworks it in place, so no temporary string is made.
#include <algorithm>

#include "xbase/expr_builtins.h"
#include "xbase/expr_format.h"

namespace xb::expr {

namespace {

// A computed count (LEFT's length, PADR's width, ...) as xBase reads it: cut
// toward zero, negative as 0, capped at `max`.
int Count(double d, int max) {
  if (!(d > 0)) return 0;
  return d >= max ? max : static_cast<int>(d);
}

int Bounded(double d) {
  return Count(d, kMaxTextLength);
}

// The plain-English (machine) collation of the engine changes only the ASCII
// letters: the other engine's UPPER left ñ, á and ó as they were (fixture tag
// EMPLE3), and keys must come out byte for byte the same.
class CaseMap final : public Node {
 public:
  CaseMap(bool upper, NodePtr s)
      : Node(VType::kChar, s->width(), s->constant()), upper_(upper), s_(std::move(s)) {}
  void Str(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    char from = upper_ ? 'a' : 'A';
    char* p = buf.data();
    for (size_t i = start, n = buf.size(); i < n; ++i) {
      if (static_cast<unsigned char>(p[i] - from) < 26) p[i] ^= 0x20;
    }
  }

 private:
  bool upper_;
  NodePtr s_;
};

// RTRIM/TRIM remove trailing blanks only; LTRIM and the left side of ALLTRIM
// remove blanks, tabs and line breaks, as xBase does.
class Trim final : public Node {
 public:
  Trim(bool left, bool right, NodePtr s)
      : Node(VType::kChar, s->width(), s->constant()),
        left_(left),
        right_(right),
        s_(std::move(s)) {}
  void Str(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    if (right_) {
      size_t end = buf.size();
      while (end > start && buf[end - 1] == ' ') --end;
      buf.resize(end);
    }
    if (left_) {
      size_t lead = start;
      while (lead < buf.size() &&
             (buf[lead] == ' ' || buf[lead] == '\t' || buf[lead] == '\n' || buf[lead] == '\r')) {
        ++lead;
      }
      buf.erase(start, lead - start);
    }
  }

 private:
  bool left_, right_;
  NodePtr s_;
};

class LeftRight final : public Node {
 public:
  LeftRight(bool left, int width, NodePtr s, NodePtr n)
      : Node(VType::kChar, width, s->constant() && n->constant()),
        left_(left),
        s_(std::move(s)),
        n_(std::move(n)) {}
  void Str(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    size_t len = buf.size() - start;
    size_t keep = std::min(len, static_cast<size_t>(Bounded(n_->Num(c))));
    if (left_) {
      buf.resize(start + keep);
    } else {
      buf.erase(start, len - keep);
    }
  }

 private:
  bool left_;
  NodePtr s_, n_;
};

// Where SUBSTR(s, from, count) starts and how much it takes from a string of
// `size` bytes: `from` counts from 1, 0 means 1, a negative one counts from
// the end; beyond the end gives "".
void SubstrRange(int64_t size, double from_arg, bool has_count, double count_arg, int64_t* offset,
                 int64_t* count) {
  auto whole = [](double d) {
    if (d > 1e15) return int64_t{1000000000000000};
    if (d < -1e15) return int64_t{-1000000000000000};
    return static_cast<int64_t>(d);
  };
  int64_t from = whole(from_arg);
  int64_t n = has_count ? whole(count_arg) : size;
  if (from > 0 && --from > size) n = 0;
  *offset = 0;
  *count = 0;
  if (n <= 0) return;
  if (from < 0) from += size;
  if (from > 0) {
    *offset = from;
    size -= from;
  }
  *count = std::min(n, size);
  if (*count < 0) *count = 0;
}

class Substr final : public Node {
 public:
  Substr(int width, NodePtr s, NodePtr from, NodePtr count)
      : Node(VType::kChar, width,
             s->constant() && from->constant() && (!count || count->constant())),
        s_(std::move(s)),
        from_(std::move(from)),
        count_(std::move(count)) {}
  void Str(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    int64_t offset, count;
    SubstrRange(static_cast<int64_t>(buf.size() - start), from_->Num(c), count_ != nullptr,
                count_ ? count_->Num(c) : 0, &offset, &count);
    buf.erase(start, static_cast<size_t>(offset));
    buf.resize(start + static_cast<size_t>(count));
  }

 private:
  NodePtr s_, from_, count_;
};

enum class PadSide { kRight, kLeft, kCenter };

class Pad final : public Node {
 public:
  Pad(PadSide side, int width, NodePtr s, NodePtr n, NodePtr fill)
      : Node(VType::kChar, width, s->constant() && n->constant() && (!fill || fill->constant())),
        side_(side),
        s_(std::move(s)),
        n_(std::move(n)),
        fill_(std::move(fill)) {}
  void Str(EvalContext& c) const override {
    std::string& buf = *c.buf;
    size_t start = buf.size();
    s_->Str(c);
    size_t len = buf.size() - start;
    size_t want = static_cast<size_t>(Bounded(n_->Num(c)));
    if (len >= want) {  // too long: keep the leftmost part, whatever the side
      buf.resize(start + want);
      return;
    }
    char fill = ' ';
    if (fill_) {
      size_t at = buf.size();
      fill_->Str(c);
      if (buf.size() > at) fill = buf[at];
      buf.resize(at);
    }
    size_t missing = want - len;
    size_t before = side_ == PadSide::kLeft ? missing : side_ == PadSide::kCenter ? missing / 2 : 0;
    buf.insert(start, before, fill);
    buf.append(missing - before, fill);
  }

 private:
  PadSide side_;
  NodePtr s_, n_, fill_;
};

class StrNode final : public Node {
 public:
  StrNode(bool zero, int width, NodePtr n, NodePtr len, NodePtr dec)
      : Node(VType::kChar, width,
             n->constant() && (!len || len->constant()) && (!dec || dec->constant())),
        zero_(zero),
        n_(std::move(n)),
        len_(std::move(len)),
        dec_(std::move(dec)) {
    double l = 0, d = 0;
    fixed_ = (!len_ || LiteralNumber(len_, &l)) && (!dec_ || LiteralNumber(dec_, &d));
    if (fixed_) layout_ = StrLayoutFor(len_ != nullptr, l, dec_ != nullptr, d);
  }
  void Str(EvalContext& c) const override {
    double v = n_->Num(c);
    StrLayout l = layout_;
    if (!fixed_) {
      l = StrLayoutFor(len_ != nullptr, len_ ? len_->Num(c) : 0, dec_ != nullptr,
                       dec_ ? dec_->Num(c) : 0);
    }
    std::string& buf = *c.buf;
    size_t at = buf.size();
    buf.resize(at + l.width);
    if (zero_) {
      FormatNumberZero(v, l.width, l.dec, buf.data() + at);
    } else {
      FormatNumber(v, l.width, l.dec, buf.data() + at);
    }
  }

 private:
  bool zero_;
  bool fixed_;
  StrLayout layout_;
  NodePtr n_, len_, dec_;
};

}  // namespace

Result<NodePtr> BuildCaseMap(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  return NodePtr(std::make_unique<CaseMap>(name == "UPPER", std::move(args[0])));
}

Result<NodePtr> BuildTrim(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  bool left = name == "LTRIM" || name == "ALLTRIM";
  bool right = name != "LTRIM";
  return NodePtr(std::make_unique<Trim>(left, right, std::move(args[0])));
}

Result<NodePtr> BuildLeftRight(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 1, VType::kNumber));
  int width = args[0]->width();
  double n;
  if (LiteralNumber(args[1], &n)) width = std::min(width, Bounded(n));
  return NodePtr(
      std::make_unique<LeftRight>(name == "LEFT", width, std::move(args[0]), std::move(args[1])));
}

Result<NodePtr> BuildSubstr(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 1, VType::kNumber));
  if (args.size() > 2) XB_RETURN_IF_ERROR(ExpectArg(name, args, 2, VType::kNumber));
  // The widest result: what the call gives on a value of full width.
  int width = args[0]->width();
  double from, count = 0;
  bool has_count = args.size() > 2;
  bool count_known = has_count && LiteralNumber(args[2], &count);
  if (LiteralNumber(args[1], &from) && width < kUnbounded) {
    int64_t offset, n;
    SubstrRange(width, from, has_count && count_known, count, &offset, &n);
    width = static_cast<int>(n);
  } else if (count_known) {
    width = std::min(width, Bounded(count));
  }
  NodePtr count_node = has_count ? std::move(args[2]) : nullptr;
  return NodePtr(std::make_unique<Substr>(width, std::move(args[0]), std::move(args[1]),
                                          std::move(count_node)));
}

Result<NodePtr> BuildPad(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kChar));
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 1, VType::kNumber));
  if (args.size() > 2) XB_RETURN_IF_ERROR(ExpectArg(name, args, 2, VType::kChar));
  double n;
  int width = LiteralNumber(args[1], &n) ? Bounded(n) : kUnbounded;
  PadSide side = name == "PADL"   ? PadSide::kLeft
                 : name == "PADC" ? PadSide::kCenter
                                  : PadSide::kRight;
  NodePtr fill = args.size() > 2 ? std::move(args[2]) : nullptr;
  return NodePtr(
      std::make_unique<Pad>(side, width, std::move(args[0]), std::move(args[1]), std::move(fill)));
}

Result<NodePtr> BuildStr(const std::string& name, Args& args) {
  XB_RETURN_IF_ERROR(ExpectArg(name, args, 0, VType::kNumber));
  if (args.size() > 1) XB_RETURN_IF_ERROR(ExpectArg(name, args, 1, VType::kNumber));
  if (args.size() > 2) XB_RETURN_IF_ERROR(ExpectArg(name, args, 2, VType::kNumber));
  // The width depends on the length argument alone.
  double len = 0;
  int width = kUnbounded;
  if (args.size() < 2 || LiteralNumber(args[1], &len)) {
    width = StrLayoutFor(args.size() > 1, len, false, 0).width;
  }
  NodePtr len_node = args.size() > 1 ? std::move(args[1]) : nullptr;
  NodePtr dec_node = args.size() > 2 ? std::move(args[2]) : nullptr;
  return NodePtr(std::make_unique<StrNode>(name == "STRZERO", width, std::move(args[0]),
                                           std::move(len_node), std::move(dec_node)));
}

}  // namespace xb::expr
