// qzadmin recalc DIR --business B --kind K [...]: the recalculation screens'
// processes as a batch, with a progress bar on the terminal and the screens'
// messages as text.
#include "qzadmin_recalc.h"

#include <cstdio>

#include "lib/errors/error_handler.h"
#include "lib/payroll/history_hourly_cost.h"
#include "lib/payroll/history_summary.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "qzadmin.h"
#include "qzadmin_recalc_group.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qzadmin {
namespace {

int History(const RecalcOptions& o) {
  return RunHistoryRecalcKind(o, qz::RebuildColumnSummary);
}

int HourlyCost(const RecalcOptions& o) {
  return RunHistoryRecalcKind(o, qz::RecalcAverageHourlyCost);
}

struct RecalcKind {
  const char* name;
  RecalcKindFn run;
  const char* options;  // beyond DIR --business B --kind K, for the usage text
};

// One line per kind.
const RecalcKind kKinds[] = {
    {"history", History, "[--from YYYYMMDD] [--to YYYYMMDD]"},
    {"hourly-cost", HourlyCost, "[--from YYYYMMDD] [--to YYYYMMDD]"},
    {"group-totals", GroupTotals,
     "[--from YYYYMMDD] [--to YYYYMMDD] [--department D]... [--type T]"},
    {"transactions", Transactions, "[--department D]..."},
};

void Usage() {
  std::fprintf(stderr, "qzadmin: recalc DIR --business B --kind K, where K is one of\n");
  for (const RecalcKind& k : kKinds) std::fprintf(stderr, "  %-14s %s\n", k.name, k.options);
}

bool ParseDate(const std::string& flag, const std::string& text, int32_t* out) {
  *out = xb::JulianFromDtos(text);
  if (*out > 0 && xb::DtosFromJulian(*out) == text) return true;
  std::fprintf(stderr, "qzadmin: %s wants YYYYMMDD, not %s\n", flag.c_str(), text.c_str());
  return false;
}

bool Parse(const Args& args, RecalcOptions* o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& s = args[i];
    const bool has_value = i + 1 < args.size();
    if (s == "--business" && has_value) {
      o->business = args[++i];
    } else if (s == "--kind" && has_value) {
      o->kind = args[++i];
    } else if (s == "--from" && has_value) {
      if (!ParseDate(s, args[++i], &o->range.inicio)) return false;
    } else if (s == "--to" && has_value) {
      if (!ParseDate(s, args[++i], &o->range.fin)) return false;
    } else if (s == "--department" && has_value) {
      o->departments.push_back(args[++i]);
    } else if (s == "--type" && has_value) {
      o->payroll_type = args[++i];
    } else if (!s.empty() && s[0] != '-' && o->dir.empty()) {
      o->dir = s;
    } else {
      std::fprintf(stderr, "qzadmin: unexpected argument %s\n", s.c_str());
      return false;
    }
  }
  return !o->dir.empty() && !o->business.empty() && !o->kind.empty();
}

}  // namespace

int RunHistoryRecalcKind(const RecalcOptions& o,
                         qz::HistoryRecalcResult (*recalc)(const qz::HistoryRecalcRequest&)) {
  if (!o.departments.empty() || !o.payroll_type.empty()) {
    std::fprintf(stderr, "qzadmin: --kind %s takes no --department or --type\n", o.kind.c_str());
    return 2;
  }
  qz::HistoryRecalcRequest r;
  r.negocio = o.business;
  r.range = o.range;
  r.progress = [&](const std::string&, int64_t done, int64_t total) {
    o.boxes->DrawBar(o.kind, done, total);
    return true;
  };
  qz::HistoryRecalcResult result;
  if (qz::RunOperation([&] { result = recalc(r); }) != qz::OperationResult::kDone) return 1;
  o.boxes->EndBar();
  o.boxes->Forget();
  qz::ShowHistoryRecalcResult(result);
  if (!result.ok()) return 1;
  std::printf("%s %s: %d payrolls, %d lines, %d written\n", o.business.c_str(), o.kind.c_str(),
              result.payrolls, result.lines, result.written);
  return 0;
}

int CmdRecalc(const Args& args) {
  RecalcOptions o;
  if (!Parse(args, &o)) {
    Usage();
    return 2;
  }
  const RecalcKind* kind = nullptr;
  for (const RecalcKind& k : kKinds)
    if (o.kind == k.name) kind = &k;
  if (!kind) {
    std::fprintf(stderr, "qzadmin: unknown kind %s\n", o.kind.c_str());
    Usage();
    return 2;
  }
  if (!IsFolder(o.dir)) return Fail(o.dir + ": not an installation folder");
  TerminalSession terminal;
  o.boxes = &terminal.boxes;
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  qz::G().XU_COMP = xb::FromUtf8(o.business);
  if (qz::StartDataLayer(o.dir) != qz::StartResult::kContinue) return 1;
  return kind->run(o);
}

}  // namespace qzadmin
