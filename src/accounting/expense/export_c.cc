#include "accounting/expense/export_c.h"

#include "accounting/expense/expense_errors_window.h"
#include "lib/accounting/expense_checks.h"
#include "lib/accounting/expense_distribution.h"
#include "lib/accounting/expense_output.h"
#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/settings/multitask.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/progress.h"
#include "lib/ui/report_output.h"
#include "payroll/code_lists.h"

namespace qz {
namespace {

std::string Join(const std::vector<std::string>& parts, const std::string& sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? sep : "") + parts[i];
  return out;
}

}  // namespace

EXPORT_C::EXPORT_C(Desktop& desktop, const std::string& template_name, const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool EXPORT_C::AbrirBases() { return Open(tip_pla_, "TIP_PLA") && Open(monedas_, "MONEDAS"); }

void EXPORT_C::Configure() {
  CCOMBOBOX tipos(*this, kTipo);
  ForEachRow(tip_pla_->table(), "TIP_PLA", negocio_,
             [&](xb::Table& t) { tipos.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO")); });
  if (tipos.COUNT() > 0) UserChooseIndex(kTipo, 0);
  CCOMBOBOX pago(*this, kFormaPago);
  pago.ADD("Pago Electrónico", "3");
  pago.ADD("Efectivo", "0");
  pago.ADD("Cheque Individual", "2");
  pago.ADD("Cheque Totalizado", "4");
  pago.SEEKCARGO("3");
  CCOMBOBOX monedas(*this, kMoneda);
  FillCodes(monedas, this, "MONEDAS", negocio_);
  SetDate(kFecha, Today());
  SetText(kArchivo, TempFolder() + "gastos_p.xls");
  // The chosen type's departments, as the parameters order them.
  DepartmentTreeRule rule = DepartmentTreeRule::IncludingInactive();
  rule.tipo = [this] { return CCOMBOBOX(*this, kTipo).CURCARGO(); };
  BuildDepartmentTree(TreeModel::Mode::kMultiple, std::move(rule));
  AddMarkButtons();
  ADD(kTipo, [this] { TypeChosen(); });
  ADD(kCrearArchivo, [this] { Procesar(true); });
  ADD(kImprimir, [this] { Procesar(false); });
  TypeChosen();
}

void EXPORT_C::TypeChosen() {
  if (tree_) tree_->Refresh();
  SetDate(kFechaEmision, FechaEmision());
}

int32_t EXPORT_C::FechaEmision() {
  const auto fecha = DateValue(kFecha);
  const auto tipo = CCOMBOBOX(*this, kTipo).CURCARGO();
  if (!fecha || *fecha == 0 || !tipo) return fecha ? *fecha : 0;
  xb::Table& t = tip_pla_->table();
  if (!Lookup(t, "TIP_PLA", negocio_ + *tipo)) return *fecha;
  PayrollType type;
  (void)ReadPayrollType(t, &type);
  return ExpensePayDate(type, IntField(t, "OBLIGA_DIA"), *fecha);
}

std::string EXPORT_C::BusinessName() {
  std::string name = TrimRight(negocio_);
  TablePtr t = USE(this, "NEGOCIOS", "NEGOCIOS");
  if (Lookup(t->table(), "NEGOCIOS", negocio_)) name = FieldText(t->table(), "DESCRIP");
  KILLTABLA(t);
  return name;
}

bool EXPORT_C::Checks(const ExpenseRequest& req) {
  const PeriodCheck period = CheckExpensePeriod(req.negocio, req.deptos, req.fecha);
  if (!period.error.empty()) {
    Refuse(period.error);
    return false;
  }
  if (!period.notes.empty() &&
      MESSAGE_BOX(Join(period.notes, "\r\n") + "\r\n¿Desea Continuar?", "Advertencia",
                  kMbOkCancel | kMbIconWarning) != 1)
    return false;
  const std::vector<std::string> adjust = DepartmentsToAdjust(req.negocio, req.deptos, Today());
  if (!adjust.empty() &&
      MESSAGE_BOX("Se le recomienda primero ejecutar el proceso de Reajuste de Columnas\r\n"
                  "para los departamentos : " +
                      Join(adjust, ",") + "\r\n¿Desea aún continuar?",
                  "Advertencia", kMbOkCancel | kMbIconWarning) != 1)
    return false;
  return true;
}

std::string EXPORT_C::Procesar(bool workbook) {
  std::string written;
  RunOperation([&] {
    const std::vector<std::string> deptos = ChosenDepartments();
    if (deptos.empty()) return Refuse(kNoDepartment);
    const auto tipo = CCOMBOBOX(*this, kTipo).CURCARGO();
    if (!tipo || tipo->empty()) return Refuse(kNoType);
    const auto fecha = DateValue(kFecha);
    if (!fecha || *fecha == 0) return Refuse(kBadDate);
    const int32_t emision = FechaEmision();
    SetDate(kFechaEmision, emision);
    ExpenseRequest req;
    req.negocio = FromField(xb::Value::Char(negocio_));
    for (const std::string& d : deptos) req.deptos.push_back(FromField(xb::Value::Char(d)));
    req.forma_pago = std::stoi(CCOMBOBOX(*this, kFormaPago).CURCARGO().value_or("3"));
    req.moneda = FromField(xb::Value::Char(CCOMBOBOX(*this, kMoneda).CURCARGO().value_or("")));
    req.fecha = emision;
    if (!Checks(req)) return;

    std::vector<ExpenseError> errors;
    {
      Progress progress(this, "Revisando Datos...", false);
      if (TrimRight(req.moneda).empty()) {
        progress.Close();
        return Refuse(kNoCurrency);
      }
      // Another workstation may have opened the payroll meanwhile.
      const PeriodCheck again = CheckExpensePeriod(req.negocio, req.deptos, emision);
      if (!again.error.empty()) {
        progress.Close();
        return Refuse(again.error);
      }
      req.progress = [&](int64_t done, int64_t total) {
        progress.SetTotal(total);
        progress.Step(done - progress.done());
        MULTITASK();
        return true;
      };
      errors = ValidateExpenseDistribution(req);
    }
    if (!errors.empty()) return ShowExpenseErrors(*this, errors);

    ExpenseRun run;
    {
      Progress progress(this, "Calculando Datos de Empleados", true);
      req.progress = [&](int64_t done, int64_t total) {
        progress.SetTotal(total);
        MULTITASK();
        return progress.Step(done - progress.done());
      };
      run = ComputeExpenseDistribution(req);
    }
    // Problems of the chosen payment method alone (the validation covered
    // them all) still keep the output back.
    if (!run.errors.empty()) return ShowExpenseErrors(*this, run.errors);
    const std::vector<std::string> titles = ExpenseTitles(BusinessName(), Text(kRotulo));
    if (workbook) {
      written = WriteExpenseWorkbook(run, Text(kArchivo), titles);
      if (!written.empty()) Finished();
      return;
    }
    PREVIEW_REPORT(desktop(), Check(kDetallado) == 1 ? ExpenseDetailDocument(run, titles)
                                                     : ExpenseSummaryDocument(run, titles));
  });
  return written;
}

}  // namespace qz
