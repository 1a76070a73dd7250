// qzadmin consolidate: opens payroll periods without the desktop program,
// through the same process as the "Iniciar Planilla" screen, with a progress
// bar on the terminal and the screen's messages as text.
#include <cstdio>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/payroll/consolidation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/message_box.h"
#include "qzadmin.h"
#include "qzadmin_terminal.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qzadmin {
namespace {

struct ConsolidateArgs {
  std::string dir, business, department;
  bool all = false;
  int32_t fecha = 0;
};

bool Parse(const Args& args, ConsolidateArgs* a) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& s = args[i];
    bool has_value = i + 1 < args.size();
    if (s == "--business" && has_value) {
      a->business = args[++i];
    } else if (s == "--department" && has_value) {
      a->department = args[++i];
    } else if (s == "--all-departments") {
      a->all = true;
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
  if (a->dir.empty() || a->business.empty() || a->fecha == 0 ||
      a->all == !a->department.empty()) {
    std::fprintf(stderr,
                 "qzadmin: consolidate DIR --business B (--department D | --all-departments) "
                 "--date YYYYMMDD\n");
    return false;
  }
  return true;
}

// The departments of the business still in use, in code order.
std::vector<std::string> Departments(const std::string& business) {
  std::vector<std::string> out;
  qz::TablePtr t = qz::USE(nullptr, "ENC_DEPT", "ENC_DEPT");
  std::string key = xb::FromUtf8(business);
  key.resize(15, ' ');
  xb::Table& x = t->table();
  if (x.SetScope(xb::Value::Char(key), xb::Value::Char(key)).ok()) {
    for (xb::Status s = x.GoTop(); s.ok() && !x.Eof(); s = x.Skip(1)) {
      if (x.FieldIndex("INACTIVO") >= 0 && x.Get("INACTIVO")->number() == 1) continue;
      std::string code = xb::ToUtf8(x.Get("CODIGO")->str());
      code.erase(code.find_last_not_of(' ') + 1);
      out.push_back(code);
    }
  }
  qz::KILLTABLA(t);
  return out;
}

}  // namespace

int CmdConsolidate(const Args& args) {
  ConsolidateArgs a;
  if (!Parse(args, &a)) return 2;
  if (!IsFolder(a.dir)) return Fail(a.dir + ": not an installation folder");
  TerminalSession terminal;
  TerminalBoxes& boxes = terminal.boxes;
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  qz::G().XU_COMP = xb::FromUtf8(a.business);
  if (qz::StartDataLayer(a.dir) != qz::StartResult::kContinue) return 1;
  std::vector<std::string> departments;
  if (a.all) {
    if (qz::RunOperation([&] { departments = Departments(a.business); }) !=
        qz::OperationResult::kDone)
      return 1;
    if (departments.empty()) return Fail("business " + a.business + " has no departments");
  } else {
    departments.push_back(a.department);
  }
  int failures = 0;
  for (const auto& dept : departments) {
    qz::ConsolidationRequest r;
    r.negocio = a.business;
    r.depto = dept;
    r.fecha = a.fecha;
    r.progress = [&](int64_t done, int64_t total) {
      boxes.DrawBar(dept, done, total);
      return true;
    };
    qz::ConsolidationResult result;
    if (qz::RunOperation([&] { result = qz::ConsolidatePayroll(r); }) !=
        qz::OperationResult::kDone) {
      ++failures;
      continue;
    }
    boxes.EndBar();
    boxes.Forget();
    qz::ShowConsolidationResult(result);
    if (!result.ok()) {
      ++failures;
      continue;
    }
    std::printf("%s %s %s: %d lines\n", a.business.c_str(), dept.c_str(),
                xb::DtosFromJulian(a.fecha).c_str(), result.lines);
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace qzadmin
