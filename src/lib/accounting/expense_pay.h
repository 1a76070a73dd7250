// One employee's current payroll as the expense distribution books it: the
// amount of each column of the department (salary income S, non-deductible
// income N, withholdings R, deductions D) computed by the columns' value
// classes from the employee's current values (DET_PERS), with the vacation
// adjustment on vacation-costed columns, and the net. The computation is the
// SAP journal's (ComputeSapEmployee, booked as SapBooking::kExpense); what is
// read here is the department, the employee's values and own accounts.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/value_classes.h"

namespace qz {

class CALC_VAC;

// The tables a run reads, opened once through USE and released with it.
class ExpenseTables {
 public:
  ExpenseTables();  // a table that cannot be opened is a fault
  ~ExpenseTables();
  ExpenseTables(const ExpenseTables&) = delete;
  ExpenseTables& operator=(const ExpenseTables&) = delete;
  xb::Table& operator[](const std::string& name);

 private:
  std::map<std::string, TablePtr> tables_;
};

// A department as the run needs it; codes trimmed, texts UTF-8.
struct ExpenseDepartment {
  bool found = false;
  std::string codigo, descrip, moneda, liga_cont, cred_ret, deb_ret;
  int depto_hora = 0;
  PayrollType tipo;
  bool tipo_found = false;
};
ExpenseDepartment ReadExpenseDepartment(xb::Table& enc_dept, xb::Table& tip_pla,
                                        const std::string& negocio, const std::string& depto);

// One column's amount for the employee.
struct ColumnAmount {
  std::string columna, descrip;
  std::string categoria;  // "01" salary, "02" deductions, "03" withholdings
  std::string liga;       // the department column's link
  double monto = 0;       // income positive; a deduction as the positive amount taken
  bool individual = false;
  std::string cuenta_con;
  bool afecta_debito = false;
  bool centro_ind = false;
};

struct EmployeePay {
  double s = 0, n = 0, r = 0, d = 0;
  double ret_acum = 0;
  std::vector<ColumnAmount> columns;  // with a non-zero amount
  // S + N - (D + R) - RET_ACUM, rounded to cents (before the payroll rounding).
  double Net() const;
};

// Computes the employees of one department on one pay date.
class ExpensePayCalculator {
 public:
  ExpensePayCalculator(ExpenseTables& tables, const std::string& negocio,
                       const ExpenseDepartment& depto, int32_t fecha);
  ~ExpensePayCalculator();

  // The employee on which ENC_PERS stands.
  EmployeePay Compute();

 private:
  struct DeptColumn {
    std::string categoria, liga;
  };
  // The employee's own booking of a column.
  struct Value {
    bool centro_ind = false;
    std::string cuenta_con;
    bool afecta_debito = false;
  };
  struct ColumnInfo {
    std::string descrip;  // the column type's description
    bool individual = false;  // booked on the employee's own account (CONTA_IND)
  };
  ColumnValue* Class(const std::string& columna);
  const ColumnInfo& Info(const std::string& columna);

  ExpenseTables& t_;
  std::string negocio_;  // padded to 15, table bytes
  ExpenseDepartment depto_;
  int32_t fecha_;
  std::map<std::string, DeptColumn> columns_;  // the department's columns by code
  std::map<std::string, std::unique_ptr<ColumnValue>> classes_;
  std::map<std::string, ColumnInfo> info_;
  std::map<std::string, double> schedules_;  // schedule code -> FACTOR
  std::unique_ptr<CALC_VAC> vac_;
};

// Whether the employee on which ENC_PERS stands is part of the payroll paid
// on `fecha`: started by then, and active, or retired after the newest
// payroll line and by the pay date, and not immediately.
bool EmployeeIncluded(ExpenseTables& t, const std::string& negocio, int32_t fecha);

}  // namespace qz
