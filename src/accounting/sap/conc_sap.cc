#include "accounting/sap/conc_sap.h"

#include "lib/accounting/sap_run.h"
#include "lib/data/date_time.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/work_table.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/report_output.h"
#include "lib/workbook/report_workbook.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

// The pay date of the department's payroll type for the cut date.
int32_t PayDateOf(const std::string& negocio, const std::string& depto, int32_t corte) {
  auto dept = OpenPayrollTable(nullptr, "ENC_DEPT");
  auto types = OpenPayrollTable(nullptr, "TIP_PLA");
  int32_t pay = corte;
  if (dept.ok() && types.ok() &&
      Lookup((*dept)->table(), "ENC_DEPT", PadRight(negocio, 15) + PadRight(depto, 15)) &&
      Lookup((*types)->table(), "TIP_PLA",
             PadRight(negocio, 15) + PadRight(StrField((*dept)->table(), "TIPO"), 2))) {
    PayrollType tipo;
    if (ReadPayrollType((*types)->table(), &tipo).ok())
      pay = SapPayDate(&tipo, IntField((*types)->table(), "OBLIGA_DIA"), corte);
  }
  if (dept.ok()) ReleasePayrollTable(*dept);
  if (types.ok()) ReleasePayrollTable(*types);
  return pay;
}

std::string BusinessName(const std::string& negocio) {
  auto t = OpenPayrollTable(nullptr, "NEGOCIOS");
  std::string name = RTrim(negocio);
  if (t.ok()) {
    if (Lookup((*t)->table(), "NEGOCIOS", PadRight(negocio, 15)))
      name = StrField((*t)->table(), "DESCRIP");
    ReleasePayrollTable(*t);
  }
  return xb::ToUtf8(name);
}

}  // namespace

CONC_SAP::CONC_SAP(Desktop& desktop, SapReconciliation r, std::string negocio_name)
    : WDIAG(desktop, nullptr, "CONC_SAP"), r_(std::move(r)), negocio_name_(std::move(negocio_name)) {}

bool CONC_SAP::Init() {
  if (!INIT().ok()) return false;
  doc_ = SapReconciliationDocument(r_, negocio_name_);
  ADD(kImprimir, [this] { Imprimir(); });
  ADD(kExcel, [this] { Exportar(); });
  ADD(kSalir, [this] { ENDDIALOG(kSalir); });
  if (!CREATE().ok()) return false;
  SetText(kTitulo, r_.Reconciles() ? "La planilla y el asiento concuerdan."
                                   : std::to_string(r_.differences.size()) + " diferencia(s)");
  for (int p = 0; p < static_cast<int>(doc_.pages.size()); ++p)
    for (const auto& line : doc_.PageLines(p)) AddEntry(kList, line, "");
  return true;
}

void CONC_SAP::OnActivate() {
  desktop().MENUSET(0, this, PadRight(r_.key.negocio, 15));
}

void CONC_SAP::Imprimir() {
  PRINT_REPORT(desktop(), doc_);
}

std::string CONC_SAP::Exportar() {
  return ReportToWorkbook(doc_);
}

CONC_SAP* OpenSapReconciliation(WDIAG& owner, const std::string& negocio, const std::string& depto,
                                int32_t corte, const std::string& moneda) {
  const int32_t pay = PayDateOf(negocio, depto, corte);
  SapPayrollKey k{RTrim(negocio), RTrim(depto), pay, RTrim(moneda)};
  auto r = ReconcileSapPayroll(k);
  if (!r.ok()) {
    MESSAGE_BOX("No existe planilla del departamento " + xb::ToUtf8(RTrim(depto)) + " para la fecha " +
                    DateText(pay),
                "Error", kMbIconStop);
    return nullptr;
  }
  auto w = std::make_unique<CONC_SAP>(owner.desktop(), std::move(*r), BusinessName(negocio));
  CONC_SAP* raw = w.get();
  owner.desktop().Adopt(std::move(w));
  if (!raw->Init()) {
    raw->ENDDIALOG(2);
    return nullptr;
  }
  return raw;
}

}  // namespace qz
