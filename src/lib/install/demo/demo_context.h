// What the demo's parts share: the open tables, a random source that gives
// the same numbers on every machine, and the model of the hotel group each
// part builds on (businesses, column types, departments, employees).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lib/install/catalog.h"
#include "lib/install/demo/demo.h"
#include "lib/install/rows.h"
#include "xbase/table.h"

namespace qz::demo {

// SplitMix64: the standard library's distributions differ between library
// versions, and the demo must be the same everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  int Int(int lo, int hi);  // lo..hi inclusive
  double Real(double lo, double hi);
  bool Chance(double p) { return Real(0, 1) < p; }
  template <class T>
  const T& Pick(const std::vector<T>& v) {
    return v[static_cast<size_t>(Int(0, static_cast<int>(v.size()) - 1))];
  }

 private:
  uint64_t state_;
};

struct Business {
  std::string code, name, legal_name, city, employer_id;
  int employees = 0;
  std::vector<std::string> departments;  // department keys into kDepartments
  bool cost_rounding = false;  // F_PLAN RED_COSTO: hourly costs rounded up to cents
  bool euro = false;           // a second currency pair (euros), MANEJO_TC = 1
};

// A column type as the demo defines it (the fields that drive the numbers).
struct ColumnType {
  std::string code, descrip;
  int kind = 1;            // 1 absolute, 2 percentage, 3 bracket table, 4 separator
  int sign = 1;            // FACTOR_2: 1 income, 0 deduction
  bool base = false;       // VAL_BASE
  bool dependent = false;  // VAL_DEPEND: factor follows the hourly cost
  double multiplier = 0;   // VALOR_3
  double percent = 0;      // kind 2: default percentage
  bool info = false;
  bool deductible = true;
  bool vacation = false;  // VAC_PAGADA
  bool debt = false;      // linked to a debt
};

struct PayrollType {
  std::string code, descrip;
  int kind;          // TIPO: 0 payrolls per month, 1 every so many days
  int quantity;      // CANTIDAD
  double divisor;    // VAL_DIV
  double issues;     // N_EMISION
  double per_month;  // payrolls in a month, to turn monthly salaries into one payroll's
};

struct Schedule {
  std::string code, descrip;
  double hours;  // FACTOR
};

struct LayoutColumn {
  std::string section;  // "01" salary, "02" deductions, "03" rebates
  std::string column;
  std::string set;  // "" = placed by itself
};

struct Department {
  std::string code, descrip, payroll_type, currency;
  std::vector<std::string> positions;
  std::vector<LayoutColumn> layout;
  std::vector<std::pair<std::string, double>> centres;  // cost-centre split
};

struct Employee {
  std::string business, code, name, first, last1, last2, dept, position, schedule, cedula;
  double monthly = 0;  // monthly salary in the department's currency
  double base = 0;     // value of the base-salary column: one payroll's salary
  bool active = true;
  bool split = false;  // own cost-centre split of the base salary
  std::string loan;    // debt transaction code, "" = none
  double instalment = 0, loan_balance = 0;
  Day hired, born;
};

class Context {
 public:
  Context(const std::string& dir, const Catalog& catalog, const DemoOptions& options,
          DemoSummary* summary);
  ~Context();

  // Appends one row to `table` (opened exclusively on first use); `fill` sets
  // its fields. The first error of the row is returned.
  xb::Status Add(const std::string& table, const std::function<void(Row&)>& fill);
  // The open table (for reading back what an earlier part wrote).
  xb::Result<xb::Table*> Open(const std::string& table);
  // The open table with every catalog tag built (tables are loaded before
  // their tags; reading in key order needs them).
  xb::Result<xb::Table*> OpenIndexed(const std::string& table);
  xb::Status CloseAll();
  // Counts rows appended to `table` without Add (by a routine of the core).
  void Counted(const std::string& table, int rows = 1) { summary_->rows[table] += rows; }

  const Catalog& catalog() const { return catalog_; }
  const DemoOptions& options() const { return options_; }
  Day today() const { return today_; }
  Random& random() { return random_; }

  // The model, filled by the parts in order.
  std::vector<Business> businesses;
  std::vector<ColumnType> columns;
  std::vector<PayrollType> payroll_types;
  std::vector<Schedule> schedules;
  std::map<std::string, Department> departments;  // by code (the same in every business)
  std::vector<Employee> employees;
  // Monthly salary range of each position, in colones.
  std::map<std::string, std::pair<double, double>> pay_scale;
  std::map<std::string, std::string> occupation;  // of each position

  const ColumnType* Column(const std::string& code) const;
  const PayrollType* Type(const std::string& code) const;
  const Schedule* FindSchedule(const std::string& code) const;
  const Business* FindBusiness(const std::string& code) const;

 private:
  std::string bases_;
  const Catalog& catalog_;
  DemoOptions options_;
  Day today_;
  Random random_;
  DemoSummary* summary_;
  std::map<std::string, std::unique_ptr<xb::Table>> open_;
};

// The parts, in the order they run; each builds on the ones before.
xb::Status AddBusinesses(Context& c);   // businesses, users and rights, serials, mail
xb::Status AddCurrencies(Context& c);   // currencies, relations, dated rates
xb::Status AddStations(Context& c);     // card-terminal stations of each front desk
xb::Status AddCatalogs(Context& c);     // schedules, positions and the small catalogs
xb::Status AddCatalogEditorRows(Context& c);  // vacation types, document classes
xb::Status AddColumns(Context& c);      // column types, brackets, payroll types, parameters
xb::Status AddParameterDetails(Context& c);  // SAP maps, certificate text, severance settings
xb::Status AddColumnTypeExamples(Context& c);  // a composite item of every table kind
xb::Status AddDepartments(Context& c);  // departments, layouts, sets, provisions, splits
xb::Status AddFormats(Context& c);      // report, certificate, signature, employee-list formats
xb::Status AddPersonnelActions(Context& c);  // stages, persons in charge, types, profiles
xb::Status AddEmployees(Context& c);    // employees, value rows, splits, debts
xb::Status AddBonusReductions(Context& c);  // year-end bonus reductions of some employees
xb::Status AddAccountingSettings(Context& c);  // prefixes, tables of employees, links by position
xb::Status AddEmployerReport(Context& c);  // the employer report's periods and columns
xb::Status AddSapMapping(Context& c);  // the SAP journal mapping of every business
xb::Status AddSales(Context& c);        // the restaurant box V1: sales, articles, recipes
xb::Status AddCash(Context& c);         // hotel cash boxes, cashiers, shifts, folio payments
xb::Status AddDeposits(Context& c);     // hotel deposits, reservations, bank and journal
xb::Status AddWordIndex(Context& c);    // words of the registered tables

// Puts `fill`'s fields into the business's row of a one-row-per-business
// table written by an earlier part (NotFound when it has none).
xb::Status UpdateRow(Context& c, const std::string& table, const std::string& business,
                     const std::function<void(xb::Table&)>& fill);

// How many calendar months of payrolls the demo's history holds, up to the
// month before the demo's.
inline constexpr int kHistoryMonths = 13;

// The dates of the payrolls of a payroll type (TIPO `kind`, CANTIDAD
// `quantity`) in the demo's history, oldest first: Fridays for a weekly
// type, month ends (and the 15th for two a month) otherwise.
std::vector<Day> PayrollDates(Day today, int kind, int quantity);
std::vector<Day> PayrollDates(const Context& c, const PayrollType& type);

// The hourly-cost factor of a dependent column: R(base / payroll type divisor
// / schedule hours) x multiplier; 0 when a divisor is 0. R rounds up to cents
// in a business with cost rounding on (RED_COSTO = 1, DEC_COSTO = 2).
double HourlyFactor(const Business& b, double base, double divisor, double hours,
                    double multiplier);

}  // namespace qz::demo
