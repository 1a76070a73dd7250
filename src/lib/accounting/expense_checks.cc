#include "lib/accounting/expense_checks.h"

#include "lib/accounting/expense_accounts.h"
#include "lib/accounting/sap_run.h"
#include "lib/data/use.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/settings/globals.h"
#include "xbase/codepage.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::Raw;
using consolidation::RowsOf;

std::string Key(const std::string& utf8, size_t width) {
  return PadRight(xb::FromUtf8(utf8), width);
}

}  // namespace

int32_t ExpensePayDate(const PayrollType& tipo, int obliga_dia, int32_t fecha) {
  return SapPayDate(&tipo, obliga_dia, fecha);
}

PeriodCheck CheckExpensePeriod(const std::string& negocio, const std::vector<std::string>& deptos,
                               int32_t fecha) {
  PeriodCheck out;
  TablePtr dept = USE(nullptr, "ENC_DEPT", "ENC_DEPT");
  TablePtr tipos = USE(nullptr, "TIP_PLA", "TIP_PLA");
  TablePtr heads = USE(nullptr, "H_E_DEPT", "H_E_DEPT2");
  const std::string n = Key(negocio, 15);
  for (const std::string& code : deptos) {
    std::string shown = code;
    shown.erase(shown.find_last_not_of(' ') + 1);
    const std::string d = Key(shown, 15);
    if (Lookup(heads->table(), "H_E_DEPT2", n + d + xb::DtosFromJulian(fecha))) {
      out.error = "La planilla del Depto " + shown + " ya existe para la fecha escogida";
      break;
    }
    if (!Lookup(dept->table(), "ENC_DEPT", n + d)) continue;
    PayrollType tipo;
    if (!Lookup(tipos->table(), "TIP_PLA", n + PadRight(Raw(dept->table(), "TIPO"), 2)) ||
        !ReadPayrollType(tipos->table(), &tipo).ok())
      continue;
    bool outside = false;
    if (tipo.tipo == 0) {
      const std::string month = xb::DtosFromJulian(fecha).substr(0, 6);
      int opened = 0;
      for (uint32_t r : RowsOf(*heads, "H_E_DEPT2", n + d + month)) {
        (void)r;
        ++opened;
      }
      outside = opened + 1 > tipo.n_emision;
    } else if (tipo.tipo == 1) {
      const int32_t sunday = fecha - (Weekday(fecha) - 1);
      for (int32_t day = sunday; day < sunday + 7 && !outside; ++day)
        outside = Lookup(heads->table(), "H_E_DEPT2", n + d + xb::DtosFromJulian(day));
    }
    if (outside) out.notes.push_back("La planilla del Depto " + shown + " no corresponde al periodo");
  }
  for (TablePtr* t : {&dept, &tipos, &heads}) KILLTABLA(*t);
  return out;
}

std::vector<std::string> DepartmentsToAdjust(const std::string& negocio,
                                             const std::vector<std::string>& deptos,
                                             int32_t today) {
  std::vector<std::string> out;
  const std::string n = Key(negocio, 15);
  TablePtr plan = USE(nullptr, "F_PLAN", "F_PLAN");
  const bool linked = Lookup(plan->table(), "F_PLAN", n) && IntField(plan->table(), "LIGAR_RH") == 1;
  const int dif_dias = IntField(plan->table(), "DIF_DIAS");
  KILLTABLA(plan);
  if (!linked) return out;
  TablePtr dept = USE(nullptr, "ENC_DEPT", "ENC_DEPT");
  TablePtr cols = USE(nullptr, "DET_DEPT", "DET_DEPT4");
  TablePtr tipos = USE(nullptr, "ENC_TIP", "ENC_TIP");
  for (const std::string& code : deptos) {
    std::string shown = code;
    shown.erase(shown.find_last_not_of(' ') + 1);
    const std::string d = Key(shown, 15);
    if (!Lookup(dept->table(), "ENC_DEPT", n + d)) continue;
    const int32_t ajuste = DateField(dept->table(), "F_AJUSTE");
    if (ajuste != 0 && today - ajuste <= dif_dias) continue;
    bool debt = false;
    for (uint32_t r : RowsOf(*cols, "DET_DEPT4", n + d)) {
      if (!cols->table().GoTo(r).ok()) continue;
      if (Lookup(tipos->table(), "ENC_TIP", n + PadRight(Raw(cols->table(), "COD_COLUMN"), 2)) &&
          IntField(tipos->table(), "DEUDA") == 1)
        debt = true;
    }
    if (debt) out.push_back(shown);
  }
  for (TablePtr* t : {&dept, &cols, &tipos}) KILLTABLA(*t);
  return out;
}

}  // namespace qz
