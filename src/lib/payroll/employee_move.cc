#include "lib/payroll/employee_move.h"

#include <set>

#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/data/journal.h"
#include "lib/payroll/employee_move_columns.h"
#include "lib/payroll/employee_move_steps.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/settings/globals.h"
#include "xbase/env.h"

namespace qz {

using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;
using consolidation::Trimmed;

namespace employee_move {
namespace {

// Each table with the tag it is left on.
const char* const kTables[][2] = {
    {"ENC_PERS", "ENC_PERS2"}, {"DET_PERS", "DET_PERS"}, {"CONCEPTT", "CONCEPTT"},
    {"CONCEPTD", "CONCEPTD"},  {"SERIALES", "SERIALES"}, {"H_E_PERS", "H_E_PERS8"},
    {"H_D_PERS", "H_D_PERS2"}, {"H_D_PER3", "H_D_PER3_A"}, {"H_E_DEPT", "H_E_DEPT2"},
    {"H_D_DEPT", "H_D_DEPT5"}, {"H_E_TIP", "H_E_TIP"},   {"H_D_TIP", "H_D_TIP"},
    {"H_D_DEP2", "H_D_DEP2"},  {"H_CONJ_C", "H_CONJ_C3"}, {"H_TIP_PL", "H_TIP_PL"},
    {"H_TIEM_E", "H_TIEM_E2"}, {"H_TIP_TR", "H_TIP_TR2"}, {"H_D_DEP3", "H_D_DEP3"}};
// The suite's debt tables: another program's, an installation may lack them.
const char* const kDebtTables[][2] = {
    {"DEUDORES", "DEUDOR3"}, {"ENC_DDA", "ENC_DDA4"}, {"DET_DDA", "DET_DDA"}};

bool Installed(const char* name) {
  return xb::Env::Default()->Resolve(TablePath(name) + ".DBF").ok();
}

}  // namespace

Tables::Tables() {
  for (const auto& t : kTables) tables_[t[0]] = USE(nullptr, t[0], t[1]);
  for (const auto& t : kDebtTables)
    if (Installed(t[0])) tables_[t[0]] = USE(nullptr, t[0], t[1]);
}

Tables::~Tables() {
  for (auto& [name, t] : tables_)
    if (t) KILLTABLA(t);
}

WDBTable& Tables::operator[](const std::string& name) {
  return *tables_.at(name);
}

bool Tables::Has(const std::string& name) const {
  return tables_.count(name) > 0;
}

void Rekey(WDBTable& t, uint32_t recno, const FieldValues& fields) {
  xb::Table& x = t.table();
  consolidation::Must(x.GoTo(recno), t, "GOTO");
  LOCK_FOR_MODIFY(t);
  for (const auto& [field, value] : fields)
    consolidation::Must(x.Put(field, xb::Value::Char(Padded(x, field, value))), t, "REPLACE");
  UNLOCK_FOR_MODIFY(t);
}

void CopyRows(WDBTable& t, const std::vector<uint32_t>& rows, const FieldValues& fields) {
  xb::Table& x = t.table();
  std::vector<std::vector<xb::Value>> copies;
  for (uint32_t r : rows) {
    consolidation::Must(x.GoTo(r), t, "GOTO");
    std::vector<xb::Value> values;
    for (size_t i = 0; i < x.fields().size(); ++i) {
      auto v = x.Get(static_cast<int>(i));
      consolidation::Must(v.status(), t, "FIELDGET");
      values.push_back(*v);
    }
    copies.push_back(std::move(values));
  }
  for (const auto& values : copies) {
    ADD_NEW_REC(t);
    for (size_t i = 0; i < values.size(); ++i)
      consolidation::Must(x.Put(static_cast<int>(i), values[i]), t, "REPLACE");
    for (const auto& [field, value] : fields)
      consolidation::Must(x.Put(field, xb::Value::Char(Padded(x, field, value))), t, "REPLACE");
    UNLOCK_NEW_REC(t);
  }
}

namespace {

// The serial counter a debt concept numbers with: the concept as the target
// business defines it, else as the source did.
std::string SerialOf(WDBTable& concepts, const std::string& tag, const EmployeeKeys& k,
                     const std::string& concept_code) {
  xb::Table& c = concepts.table();
  for (const std::string& negocio : {k.target, k.source}) {
    auto rows = RowsOf(concepts, tag, negocio + Padded(c, "CODIGO", concept_code));
    if (!rows.empty() && c.GoTo(rows.front()).ok()) return Trimmed(Raw(c, "SERIAL"));
  }
  return "";
}

std::string NextSerial(Tables& t, const EmployeeKeys& k, const std::string& serial) {
  WDBTable& seriales = t["SERIALES"];
  const std::string code = GET_NXSERIAL(nullptr, k.target, serial, &seriales);
  if (code == kNoSerial)
    ThrowFault(kGenWrite, "El negocio destino no tiene el consecutivo " + serial,
               seriales.table().path(), "GET_NXSERIAL");
  return code;
}

// The debtor code of the employee's debts: the debtor record's, else the
// employee's own code (the suite gives a debtor the employee's code).
std::string DebtorOf(Tables& t, const EmployeeKeys& k) {
  if (!t.Has("DEUDORES")) return k.old_code;
  WDBTable& d = t["DEUDORES"];
  auto rows = RowsOf(d, "DEUDOR3", k.source + k.old_code);
  if (rows.empty() || !d.table().GoTo(rows.front()).ok()) return k.old_code;
  return Raw(d.table(), "CODIGO");
}

// The debt transactions of the debtor on source column `column`.
std::vector<uint32_t> DebtsOf(Tables& t, const EmployeeKeys& k, const std::string& debtor,
                              const std::string& column) {
  WDBTable& d = t["ENC_DDA"];
  return RowsOf(d, "ENC_DDA4",
                k.source + Padded(d.table(), "DEUDOR", debtor) + Padded(d.table(), "COLUMNA", column));
}

// Moves the debt transactions of one column, each with new codes from the
// target business's counters, its movements first.
int MoveDebts(Tables& t, const EmployeeKeys& k, const std::string& debtor,
              const std::string& column, const std::string& target_column) {
  if (!t.Has("ENC_DDA") || !t.Has("DET_DDA")) return 0;
  WDBTable& debts = t["ENC_DDA"];
  WDBTable& movements = t["DET_DDA"];
  int moved = 0;
  for (uint32_t r : DebtsOf(t, k, debtor, column)) {
    consolidation::Must(debts.table().GoTo(r), debts, "GOTO");
    const std::string old_code = Raw(debts.table(), "CODIGO");
    const std::string code =
        NextSerial(t, k, SerialOf(t["CONCEPTT"], "CONCEPTT", k, Raw(debts.table(), "CONCEPTO")));
    for (uint32_t m : RowsOf(movements, "DET_DDA", k.source + old_code)) {
      consolidation::Must(movements.table().GoTo(m), movements, "GOTO");
      const std::string serial =
          SerialOf(t["CONCEPTD"], "CONCEPTD", k, Raw(movements.table(), "CONCEPTO"));
      // A payment names the department whose payroll charged it; the
      // payroll lines went to the target department, and so does the
      // payment (the source department's code means nothing, or another
      // department, in the target business).
      FieldValues moved = {
          {"NEGOCIO", k.target}, {"DEUDA", code}, {"CODIGO", NextSerial(t, k, serial)}};
      if (movements.table().FieldIndex("DEPTO") >= 0) moved.push_back({"DEPTO", k.target_depto});
      Rekey(movements, m, moved);
    }
    Rekey(debts, r,
          {{"NEGOCIO", k.target}, {"COLUMNA", target_column}, {"DEUDOR", k.new_code},
           {"CODIGO", code}});
    ++moved;
  }
  return moved;
}

// The employee's value rows: kept under the target column, or dropped.
// Returns the debt transactions moved with them.
int MoveValues(Tables& t, const MoveColumns& columns, const EmployeeKeys& k,
               const std::map<std::string, std::string>& map) {
  WDBTable& values = t["DET_PERS"];
  const std::string debtor = DebtorOf(t, k);
  int debts = 0;
  for (uint32_t r : RowsOf(values, "DET_PERS", k.source + k.old_code)) {
    consolidation::Must(values.table().GoTo(r), values, "GOTO");
    const std::string column = Raw(values.table(), "COD_COLUMN");
    auto it = map.find(column);
    const std::string target = it == map.end() ? "" : it->second;
    if (!columns.Kept(target)) {
      DELETE_RECORD(values);
      continue;
    }
    const MoveColumns::Type* type = columns.Source(column);
    if (type && type->deuda) debts += MoveDebts(t, k, debtor, column, target);
    Rekey(values, r, {{"NEGOCIO", k.target}, {"COD_COLUMN", target}, {"CODIGO", k.new_code}});
  }
  // Every column the target department pays, at 0, unless the column is
  // one that may repeat or one the source business does not know.
  for (const std::string& column : columns.DepartmentColumns()) {
    const MoveColumns::Type* type = columns.Source(column);
    if (!type || type->duplica) continue;
    if (!RowsOf(values, "DET_PERS", k.target + k.new_code + column).empty()) continue;
    ADD_NEW_REC(values);
    xb::Table& v = values.table();
    for (const auto& [field, value] :
         FieldValues{{"NEGOCIO", k.target}, {"CODIGO", k.new_code}, {"COD_COLUMN", column}})
      consolidation::Must(v.Put(field, xb::Value::Char(Padded(v, field, value))), values, "REPLACE");
    UNLOCK_NEW_REC(values);
  }
  return debts;
}

}  // namespace
}  // namespace employee_move

std::string NewEmployeeCode(const std::string& prefix, const std::string& old_code) {
  return PadRight(Trim(prefix).substr(0, 15) + "-" + Trim(old_code), 15);
}

std::string MoveProblem(const EmployeeMoveRequest& rq) {
  using employee_move::EmployeeKeys;
  const std::string source = PadRight(rq.source, 15), target = PadRight(rq.target, 15);
  std::map<std::string, std::string> taken;  // new code -> old code
  {
    // Another workstation may have deleted the department since the list
    // of departments was filled: employees moved into it would belong to
    // no department at all.
    TablePtr enc_dept = USE(nullptr, "ENC_DEPT");
    const bool there =
        !RowsOf(*enc_dept, "ENC_DEPT", target + PadRight(rq.target_depto, 15)).empty();
    KILLTABLA(enc_dept);
    if (!there) return kTargetDepartmentGone;
  }
  TablePtr enc_pers = USE(nullptr, "ENC_PERS");
  TablePtr h_e_pers = USE(nullptr, "H_E_PERS");
  std::string problem;
  for (const std::string& old : rq.employees) {
    const std::string code = NewEmployeeCode(rq.prefix, old);
    auto [it, fresh] = taken.emplace(code, old);
    if (!fresh) {
      problem = "Los empleados " + Trim(it->second) + " y " + Trim(old) +
                " tendrían el mismo código nuevo: " + Trim(code);
    } else if (!RowsOf(*enc_pers, "ENC_PERS2", target + code).empty()) {
      problem = "El código " + Trim(code) + " ya existe en el negocio destino";
    } else if (!RowsOf(*h_e_pers, "H_E_PERS8", target + code).empty()) {
      problem = "El negocio destino ya tiene planillas históricas con el código " + Trim(code);
    }
    if (!problem.empty()) break;
  }
  KILLTABLA(enc_pers);
  KILLTABLA(h_e_pers);
  if (!problem.empty()) return problem;

  // Every counter the debts moving with the employees will number with.
  employee_move::Tables t;
  if (!t.Has("ENC_DDA") || !t.Has("DET_DDA")) return "";
  auto missing = [&](const EmployeeKeys& k, WDBTable& concepts, const char* tag,
                     const std::string& concept_code) {
    const std::string serial = employee_move::SerialOf(concepts, tag, k, concept_code);
    if (GET_CURRENTSERIAL(nullptr, target, serial) != kNoSerial) return std::string();
    return "El negocio destino no tiene el consecutivo \"" + serial + "\" del concepto " +
           Trim(concept_code) + " (" + tag + "), con el que se numeran las deudas trasladadas";
  };
  for (const std::string& old : rq.employees) {
    EmployeeKeys k{source, target, "", PadRight(old, 15), ""};
    const std::string debtor = employee_move::DebtorOf(t, k);
    for (const auto& [column, to] : rq.columns) {
      if (Trim(to).empty()) continue;
      for (uint32_t r : employee_move::DebtsOf(t, k, debtor, column)) {
        xb::Table& d = t["ENC_DDA"].table();
        if (!d.GoTo(r).ok()) continue;
        problem = missing(k, t["CONCEPTT"], "CONCEPTT", Raw(d, "CONCEPTO"));
        if (!problem.empty()) return problem;
        WDBTable& moves = t["DET_DDA"];
        for (uint32_t m : RowsOf(moves, "DET_DDA", source + Raw(d, "CODIGO"))) {
          if (!moves.table().GoTo(m).ok()) continue;
          problem = missing(k, t["CONCEPTD"], "CONCEPTD", Raw(moves.table(), "CONCEPTO"));
          if (!problem.empty()) return problem;
        }
      }
    }
  }
  return "";
}

EmployeeMoveResult MoveEmployees(const EmployeeMoveRequest& rq) {
  UndoDeadTransactions();
  return Atomically([&] {
    EmployeeMoveResult result;
    const std::string source = PadRight(rq.source, 15), target = PadRight(rq.target, 15);
    const std::string depto = PadRight(rq.target_depto, 15);
    std::map<std::string, std::string> map;
    for (const auto& [from, to] : rq.columns) map[PadRight(from, 2)] = PadRight(to, 2);
    const MoveColumns columns(source, target, depto);
    employee_move::Tables t;
    WDBTable& employees = t["ENC_PERS"];
    for (const std::string& old : rq.employees) {
      employee_move::EmployeeKeys k{source, target, depto, PadRight(old, 15),
                                    NewEmployeeCode(rq.prefix, old)};
      // An employee another workstation deleted or moved meanwhile is left
      // out; the others still move.
      const auto rows = RowsOf(employees, "ENC_PERS2", source + k.old_code);
      if (rows.empty()) continue;
      if (rq.progress) rq.progress("Procesando :" + Trim(old));
      result.debts += employee_move::MoveValues(t, columns, k, map);
      if (t.Has("DEUDORES")) {
        WDBTable& debtors = t["DEUDORES"];
        for (uint32_t r : RowsOf(debtors, "DEUDOR3", source + k.old_code))
          employee_move::Rekey(debtors, r,
                               {{"NEGOCIO", target}, {"EMPLEADO", k.new_code}, {"CODIGO", k.new_code}});
      }
      const employee_move::HistoryCount h = employee_move::MoveHistory(t, k, rq.progress);
      result.history_lines += h.lines;
      result.payrolls_copied += h.payrolls;
      employee_move::Rekey(employees, rows.front(),
                           {{"NEGOCIO", target}, {"DEPTO", depto}, {"CODIGO", k.new_code}});
      result.new_codes.push_back(k.new_code);
    }
    // The hourly cost follows the target department's payroll type and the
    // target business's schedules and rounding.
    FactorRecalcScope scope;
    scope.negocio = target;
    scope.employees = result.new_codes;
    scope.det_pers = &t["DET_PERS"];
    if (!result.new_codes.empty()) {
      auto recalc = RecalcEmployeeFactors(scope);
      if (!recalc.ok())
        ThrowFault(kGenWrite, recalc.status().message(), t["DET_PERS"].table().path(), "FACTOR");
    }
    return result;
  });
}

}  // namespace qz
