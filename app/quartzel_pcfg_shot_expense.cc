// The printed summary of the payroll expense distribution of the demo
// business, every department of its first payroll type, written as a PDF
// ("GASTOS_PLANILLA" with a .pdf file; "GASTOS_DETALLE" for the detail).
#include <filesystem>

#include "lib/accounting/expense_distribution.h"
#include "lib/accounting/expense_output.h"
#include "lib/payroll/dates.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/report_output.h"
#include "quartzel_pcfg.h"
#include "ui/qt/qt_ui.h"
#include "xbase/table.h"

namespace pcfg {

int ExpenseScreenshot(qz::QtUi& ui, const std::string& name, const std::string& out) {
  namespace fs = std::filesystem;
  if (name != "GASTOS_PLANILLA" && name != "GASTOS_DETALLE") return -1;
  const std::string home = MakeDemoInstallation("qz-expense-");
  if (home.empty()) return 1;
  qz::G().EXT_MODULO = "PCFG";
  qz::StartDataLayer(home + "/");
  qz::ExpenseRequest r;
  r.negocio = kDemoBusiness;
  r.moneda = "CR";
  r.fecha = qz::Today();
  {
    auto d = xb::Table::Open(home + "/BASES/ENC_DEPT.DBF");
    if (d.ok()) {
      for ((*d)->GoTop(); !(*d)->Eof(); (*d)->Skip(1))
        if ((*d)->Get("NEGOCIO")->str() == kDemoBusiness) r.deptos.push_back((*d)->Get("CODIGO")->str());
      (*d)->Close();
    }
  }
  const qz::ExpenseRun run = qz::ComputeExpenseDistribution(r);
  const auto titles = qz::ExpenseTitles("Hotel Playa Sol", "Planilla del mes");
  const qz::PrintDocument doc = name == "GASTOS_PLANILLA" ? qz::ExpenseSummaryDocument(run, titles)
                                                          : qz::ExpenseDetailDocument(run, titles);
  const int rc = run.errors.empty() && qz::PDF_REPORT(ui.desktop(), doc, out) ? 0 : 1;
  std::error_code ec;
  fs::remove_all(home, ec);
  return rc;
}

}  // namespace pcfg
