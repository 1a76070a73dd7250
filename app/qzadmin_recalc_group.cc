#include "qzadmin_recalc_group.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lib/data/date_time.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/errors/fault.h"
#include "lib/payroll/debt_adjustment.h"
#include "lib/payroll/group_totals.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qzadmin {
namespace {

std::string Field(const xb::Table& t, const char* f) {
  auto v = t.Get(f);
  std::string s = v.ok() && v->is_char() ? v->str() : std::string();
  return qz::RTrim(s);
}

// The departments given, or every active one of the business (of `tipo`).
std::vector<std::string> Departments(const RecalcOptions& o) {
  if (!o.departments.empty()) return o.departments;
  std::vector<std::string> out;
  qz::TablePtr t = qz::USE(nullptr, "ENC_DEPT", "ENC_DEPT");
  xb::Table& d = t->table();
  const std::string negocio = qz::PadRight(xb::FromUtf8(o.business), 15);
  const xb::Value key = xb::Value::Char(negocio);
  if (d.SetScope(key, key).ok()) {
    for (xb::Status s = d.GoTop(); s.ok() && !d.Eof(); s = d.Skip(1)) {
      auto inactive = d.Get("INACTIVO");
      if (inactive.ok() && inactive->is_numeric() && inactive->number() != 0) continue;
      if (!o.payroll_type.empty() && Field(d, "TIPO") != xb::FromUtf8(o.payroll_type)) continue;
      out.push_back(xb::ToUtf8(Field(d, "CODIGO")));
    }
  }
  qz::KILLTABLA(t);
  return out;
}

// Runs `body` as one atomic transaction: 0 and "Fin de Proceso" once it is
// committed, 1 when it was refused (everything undone, the error printed).
int RunAtomically(const RecalcOptions& o, const std::function<void()>& body) {
  const qz::OperationResult r = qz::RunOperation([&] { qz::Atomically(body); });
  o.boxes->EndBar();
  o.boxes->Forget();
  if (r != qz::OperationResult::kDone) return 1;
  qz::MESSAGE_BOX("Fin de Proceso", "", qz::kMbIconInformation);
  return 0;
}

}  // namespace

int GroupTotals(const RecalcOptions& o) {
  qz::GroupTotalsRequest r;
  r.negocio = o.business;
  r.deptos = Departments(o);
  r.desde = o.range.inicio;
  r.hasta = o.range.fin;
  int64_t lines = 0;
  r.on_line = [&](const std::string&) { o.boxes->DrawBar(o.kind, ++lines, 0); };
  qz::GroupTotalsDone done;
  const int status = RunAtomically(o, [&] {
    auto run = qz::RecalcGroupTotals(r);
    if (!run.ok())
      qz::ThrowFault(qz::kGenRead, run.status().message(), "H_E_PERS", "RecalcGroupTotals");
    done = *run;
  });
  if (status == 0)
    std::printf("%s %s: %d payrolls, %d lines, %d written\n", o.business.c_str(), o.kind.c_str(),
                done.payrolls, done.lines, done.changed);
  return status;
}

int Transactions(const RecalcOptions& o) {
  if (o.range.inicio != 0 || o.range.fin != 0) {
    std::fprintf(stderr, "qzadmin: --kind %s takes no --from or --to\n", o.kind.c_str());
    return 2;
  }
  qz::DebtAdjustmentRequest r;
  r.negocio = o.business;
  r.deptos = Departments(o);
  r.hoy = qz::XDATE();
  int64_t employees = 0;
  r.on_employee = [&](const std::string&) { o.boxes->DrawBar(o.kind, ++employees, 0); };
  std::optional<std::string> misapplied;
  if (qz::RunOperation([&] {
        auto check = qz::FirstMisappliedTransaction(r);
        if (!check.ok())
          qz::ThrowFault(qz::kGenRead, check.status().message(), "ENC_DDA", "AJUSTE_C");
        misapplied = *check;
      }) != qz::OperationResult::kDone)
    return 1;
  if (misapplied) {
    o.boxes->EndBar();
    qz::MESSAGE_BOX(qz::MisappliedTransactionText(xb::ToUtf8(*misapplied)), "Error",
                    qz::kMbIconStop);
    return 1;
  }
  employees = 0;
  qz::DebtAdjustmentDone done;
  const int status = RunAtomically(o, [&] {
    auto run = qz::AdjustDebtInstalments(r);
    if (!run.ok()) qz::ThrowFault(qz::kGenRead, run.status().message(), "DET_PERS", "AJUSTE_C");
    done = *run;
  });
  if (status == 0)
    std::printf("%s %s: %d employees, %d columns, %d written\n", o.business.c_str(),
                o.kind.c_str(), done.employees, done.columns, done.changed);
  return status;
}

}  // namespace qzadmin
