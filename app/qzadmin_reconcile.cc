// qzadmin reconcile: compares a payroll (business, department, date) with
// the SAP journal the business's mapping makes of it, prints the report and
// exits 1 when anything does not reconcile.
#include <cstdio>
#include <string>

#include "lib/accounting/sap_reconcile.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "qzadmin.h"
#include "qzadmin_terminal.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qzadmin {
namespace {

const char kUsage[] = "qzadmin: reconcile DIR --business B --department D --date YYYYMMDD\n";

struct ReconcileArgs {
  std::string dir, business, department;
  int32_t fecha = 0;
};

bool Parse(const Args& args, ReconcileArgs* a) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& s = args[i];
    const bool has_value = i + 1 < args.size();
    if (s == "--business" && has_value) {
      a->business = args[++i];
    } else if (s == "--department" && has_value) {
      a->department = args[++i];
    } else if (s == "--date" && has_value) {
      a->fecha = xb::JulianFromDtos(args[++i]);
      if (a->fecha <= 0 || xb::DtosFromJulian(a->fecha) != args[i]) {
        std::fprintf(stderr, "qzadmin: --date wants YYYYMMDD, not %s\n", args[i].c_str());
        return false;
      }
    } else if (!s.empty() && s[0] != '-' && a->dir.empty()) {
      a->dir = s;
    } else {
      std::fprintf(stderr, "qzadmin: unexpected argument %s\n", s.c_str());
      return false;
    }
  }
  if (a->dir.empty() || a->business.empty() || a->department.empty() || a->fecha == 0) {
    std::fputs(kUsage, stderr);
    return false;
  }
  return true;
}

}  // namespace

int CmdReconcile(const Args& args) {
  ReconcileArgs a;
  if (!Parse(args, &a)) return 2;
  if (!IsFolder(a.dir)) return Fail(a.dir + ": not an installation folder");
  TerminalSession terminal;  // messages and faults become lines on stderr
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  qz::G().XU_COMP = xb::FromUtf8(a.business);
  if (qz::StartDataLayer(a.dir) != qz::StartResult::kContinue) return 1;
  qz::SapPayrollKey k{xb::FromUtf8(a.business), xb::FromUtf8(a.department), a.fecha, ""};
  xb::Result<qz::SapReconciliation> r = xb::Status::NotFound("");
  if (qz::RunOperation([&] { r = qz::ReconcileSapPayroll(k); }) != qz::OperationResult::kDone)
    return 1;
  if (!r.ok())
    return Fail("no payroll of department " + a.department + " of " + a.business + " on " +
                xb::DtosFromJulian(a.fecha));
  const qz::PrintDocument doc = qz::SapReconciliationDocument(*r, a.business);
  for (int p = 0; p < static_cast<int>(doc.pages.size()); ++p)
    for (const auto& line : doc.PageLines(p)) std::printf("%s\n", line.c_str());
  return r->Reconciles() ? 0 : 1;
}

}  // namespace qzadmin
