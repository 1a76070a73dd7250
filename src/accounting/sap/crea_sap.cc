#include "accounting/sap/crea_sap.h"

#include "accounting/sap/conc_sap.h"
#include "lib/accounting/sap_lines.h"
#include "lib/accounting/sap_print.h"
#include "lib/accounting/sap_run.h"
#include "lib/accounting/sap_tables.h"
#include "lib/data/date_time.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/work_table.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/progress.h"
#include "lib/ui/report_output.h"
#include "xbase/codepage.h"

namespace qz {

CREA_SAP::CREA_SAP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool CREA_SAP::AbrirBases() {
  if (!Open(monedas_, "MONEDAS")) return false;
  // Private copies of the templates, deleted when the window closes.
  const std::pair<TablePtr*, const char*> work[] = {{&tmp_pla4_, "TMP_PLA4.DBF"},
                                                    {&tmp_pla5_, "TMP_PLA5.DBF"},
                                                    {&tmp_pl11_, "TMP_PL11.DBF"},
                                                    {&tmp_pl12_, "TMP_PL12.DBF"},
                                                    {&tmp_pl13_, "TMP_PL13.DBF"}};
  for (const auto& [slot, name] : work)
    if (!Open(*slot, name)) return false;
  return true;
}

WDBTable* CREA_SAP::work_table(const std::string& name) const {
  if (name == "TMP_PLA4") return tmp_pla4_.get();
  if (name == "TMP_PLA5") return tmp_pla5_.get();
  if (name == "TMP_PL11") return tmp_pl11_.get();
  if (name == "TMP_PL12") return tmp_pl12_.get();
  if (name == "TMP_PL13") return tmp_pl13_.get();
  return nullptr;
}

void CREA_SAP::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kMultiple, DepartmentTreeRule());
  AddMarkButtons();
  SetDate(kFecha, XDATE());
  CCOMBOBOX combo(*this, kMoneda);
  xb::Table& m = monedas_->table();
  const xb::Value key = xb::Value::Char(negocio_);
  if (m.SetOrder("MONEDAS").ok() && m.SetScope(key, key).ok())
    for (xb::Status s = m.GoTop(); s.ok() && !m.Eof(); s = m.Skip(1))
      combo.ADD(FieldText(m, "DESCRIP"), FieldText(m, "CODIGO"));
  (void)m.ClearScope();
  ADD(kAceptar, [this] { Procesar(); });
  ADD(kConciliar, [this] { Conciliar(); });
}

bool CREA_SAP::Procesar() {
  if (!window_enabled()) return false;
  const std::vector<std::string> depts = ChosenDepartments();
  if (depts.empty()) {
    Refuse(kNoDepartment);
    return false;
  }
  auto moneda = CCOMBOBOX(*this, kMoneda).CURCARGO();
  if (!moneda) {
    Refuse(kNoCurrency);
    return false;
  }
  auto corte = DateValue(kFecha);
  if (!corte || *corte == 0) {
    Refuse(kNoDate);
    SetFocus(kFecha);
    return false;
  }
  auto t = OpenPayrollTable(this, "F_AS_SA2");
  if (!t.ok()) return false;
  auto mapping = LoadSapMapping((*t)->table(), negocio_);
  ReleasePayrollTable(*t);
  if (!mapping.ok() || mapping->empty()) {
    Refuse(kNoMapping);
    return false;
  }

  SapComputation c;
  {
    Progress progress(this, "Procesando Datos Actuales...", true);
    SapRequest r;
    r.negocio = negocio_;
    r.departamentos = depts;
    r.corte = *corte;
    r.moneda = xb::FromUtf8(*moneda);
    r.owner = this;
    r.progress = [&progress](const std::string& descrip, int64_t, int64_t total) {
      if (progress.total() != total) progress.SetTotal(total);
      progress.SetText(descrip);
      return progress.Step();
    };
    c = ComputeCurrentSap(r, *mapping);
  }
  if (!c.problems.empty()) {
    // Nothing is written or printed from amounts that could not be computed.
    std::string text;
    for (const auto& p : c.problems) text += (text.empty() ? "" : "\r\n") + p.text;
    Refuse(text);
    return false;
  }
  lines_ = BuildSapLines(*mapping, c);
  SapWorkTables w{&tmp_pla4_->table(), &tmp_pla5_->table(), &tmp_pl11_->table(),
                  &tmp_pl12_->table(), &tmp_pl13_->table()};
  xb::Status s = ClearSapWorkTables(w);
  if (s.ok()) s = WriteSapWorkTables(c, lines_, w);
  if (!s.ok()) {
    Refuse(s.ToString());
    return false;
  }
  document_ = SapJournalDocument(lines_, Text(kReferencia));
  return PRINT_REPORT(desktop(), document_);
}

void CREA_SAP::Conciliar() {
  if (!window_enabled()) return;
  const std::vector<std::string> depts = ChosenDepartments();
  if (depts.size() != 1) {
    Refuse(kNoDepartment);
    return;
  }
  auto corte = DateValue(kFecha);
  if (!corte || *corte == 0) {
    Refuse(kNoDate);
    return;
  }
  auto moneda = CCOMBOBOX(*this, kMoneda).CURCARGO();
  OpenSapReconciliation(*this, negocio_, depts[0], *corte, moneda ? xb::FromUtf8(*moneda) : "");
}

}  // namespace qz
