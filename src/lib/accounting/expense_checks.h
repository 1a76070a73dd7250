// The checks the expense distribution makes before it computes anything:
// the pay date of a payroll type, whether the marked departments' payroll of
// that date may still be opened, and which departments should first have
// their debt columns adjusted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/payroll/definitions.h"

namespace qz {

// "Fecha Emisión", the pay date of the SAP journal (SapPayDate): for a type
// of kind 1 that pays on a fixed weekday (OBLIGA_DIA = 1), the day of
// `fecha`'s week (Sunday to Saturday) that is DIA_PAGO; otherwise `fecha`.
int32_t ExpensePayDate(const PayrollType& tipo, int obliga_dia, int32_t fecha);

struct PeriodCheck {
  std::string error;               // a payroll already opened on the date: stop
  std::vector<std::string> notes;  // outside the period: ask before going on
};
// For each department: a payroll already opened on `fecha` is an error; for
// a type of kind 0 the month's payrolls plus this one beyond N_EMISION, for
// kind 1 a payroll already opened in the same week, are noted.
PeriodCheck CheckExpensePeriod(const std::string& negocio, const std::vector<std::string>& deptos,
                               int32_t fecha);

// The departments (codes) whose debt columns were last adjusted more than
// DIF_DIAS days before `today`, or never, when the parameters link the
// payroll to the personnel records (LIGAR_RH = 1). Empty otherwise.
std::vector<std::string> DepartmentsToAdjust(const std::string& negocio,
                                             const std::vector<std::string>& deptos,
                                             int32_t today);

}  // namespace qz
