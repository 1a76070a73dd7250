// Every payroll of the demo's thirteen months booked through the demo's SAP
// mapping: each journal balances block by block and agrees with what the
// payroll paid, column by column and account by account.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lib/accounting/sap_reconcile.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/demo_copy.h"
#include "support/temp_dir.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace {

struct PayrollId {
  std::string negocio, depto;
  int32_t fecha;
};

std::vector<PayrollId> DemoPayrolls(const std::string& bases) {
  std::vector<PayrollId> out;
  xb::OpenOptions o;
  o.read_only = true;
  auto t = xb::Table::Open(bases + "/H_E_DEPT.DBF", o);
  EXPECT_TRUE(t.ok());
  if (!t.ok()) return out;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
    if ((*t)->Deleted()) continue;
    out.push_back({qz::RTrim((*t)->Get("NEGOCIO")->str()), qz::RTrim((*t)->Get("CODIGO")->str()),
                   (*t)->Get("FECHA")->date()});
  }
  return out;
}

TEST(SapDemoJournals, EveryPayrollOfTheYearBalancesAndReconciles) {
  qztest::TempDir tmp;
  const std::string dir = tmp.path() + "/demo";
  ASSERT_TRUE(qztest::CopyDemoInstallation(dir).ok());
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  ASSERT_EQ(qz::StartDataLayer(dir), qz::StartResult::kContinue);

  const auto payrolls = DemoPayrolls(dir + "/BASES");
  ASSERT_GT(payrolls.size(), 100u);
  int journals = 0, lines = 0;
  std::map<std::string, int> failures;
  for (const auto& p : payrolls) {
    auto r = qz::ReconcileSapPayroll({p.negocio, p.depto, p.fecha, ""});
    ASSERT_TRUE(r.ok()) << r.status().ToString();
    ++journals;
    lines += static_cast<int>(r->journal.size());
    for (const auto& b : r->blocks)
      EXPECT_TRUE(qz::SapSameAmount(b.debito, b.credito))
          << p.negocio << " " << p.depto << " " << xb::DtosFromJulian(p.fecha) << " " << b.bloque;
    for (const auto& d : r->differences) {
      if (failures[d.substr(0, 12)]++ < 3)
        ADD_FAILURE() << p.negocio << " " << p.depto << " " << xb::DtosFromJulian(p.fecha) << ": "
                      << d;
    }
  }
  for (const auto& [kind, n] : failures) ADD_FAILURE() << n << " x " << kind;
  EXPECT_GT(lines, journals * 10);
}

}  // namespace
