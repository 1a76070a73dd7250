#include "lib/data/date_time.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/employee_move_steps.h"
#include "xbase/value.h"

namespace qz::employee_move {
namespace {

using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;

int32_t DateOf(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0;
}

// Copies one payroll of department `depto` of the source business, dated
// `dtos`, into the target department: header, columns with their column
// types and brackets, distribution rows, cost-centre split, column sets,
// payroll type, schedules and transfer types: everything the opening of that
// payroll wrote, so the copy reads like a payroll of the target department.
// False when the source has no such payroll (a line without its header).
bool CopyPayroll(Tables& t, const EmployeeKeys& k, const std::string& depto,
                 const std::string& dtos) {
  WDBTable& header = t["H_E_DEPT"];
  const std::vector<uint32_t> headers = RowsOf(header, "H_E_DEPT2", k.source + depto + dtos);
  if (headers.empty()) return false;
  (void)header.table().GoTo(headers.front());
  const std::string tipo = Raw(header.table(), "TIPO");
  CopyRows(header, {headers.front()}, {{"NEGOCIO", k.target}, {"CODIGO", k.target_depto}});

  const FieldValues keys = {{"NEGOCIO", k.target}, {"DEPTO", k.target_depto}};
  const std::string at = k.source + depto;
  WDBTable& columns = t["H_D_DEPT"];
  const std::vector<uint32_t> column_rows = RowsOf(columns, "H_D_DEPT5", at + dtos);
  std::vector<std::string> codes;
  for (uint32_t r : column_rows)
    if (columns.table().GoTo(r).ok()) codes.push_back(Raw(columns.table(), "COD_COLUMN"));
  CopyRows(columns, column_rows, keys);
  for (const std::string& code : codes) {
    const std::string type_key = at + Padded(t["H_E_TIP"].table(), "CODIGO", code) + dtos;
    CopyRows(t["H_E_TIP"], RowsOf(t["H_E_TIP"], "H_E_TIP", type_key), keys);
    CopyRows(t["H_D_TIP"], RowsOf(t["H_D_TIP"], "H_D_TIP", type_key), keys);
  }
  CopyRows(t["H_D_DEP2"], RowsOf(t["H_D_DEP2"], "H_D_DEP2", at + dtos), keys);
  CopyRows(t["H_D_DEP3"], RowsOf(t["H_D_DEP3"], "H_D_DEP3", at + dtos), keys);
  CopyRows(t["H_CONJ_C"], RowsOf(t["H_CONJ_C"], "H_CONJ_C3", at + dtos), keys);
  WDBTable& types = t["H_TIP_PL"];
  CopyRows(types, RowsOf(types, "H_TIP_PL", at + Padded(types.table(), "CODIGO", tipo) + dtos),
           keys);
  CopyRows(t["H_TIEM_E"], RowsOf(t["H_TIEM_E"], "H_TIEM_E2", at + dtos), keys);
  CopyRows(t["H_TIP_TR"], RowsOf(t["H_TIP_TR"], "H_TIP_TR2", at + dtos), keys);
  return true;
}

}  // namespace

HistoryCount MoveHistory(Tables& t, const EmployeeKeys& k,
                         const std::function<void(const std::string&)>& progress) {
  HistoryCount count;
  WDBTable& lines = t["H_E_PERS"];
  WDBTable& headers = t["H_E_DEPT"];
  for (uint32_t line : RowsOf(lines, "H_E_PERS8", k.source + k.old_code)) {
    xb::Table& l = lines.table();
    if (!l.GoTo(line).ok()) continue;
    const std::string depto = Raw(l, "DEPTO");
    const int32_t fecha = DateOf(l, "FECHA");
    const std::string dtos = xb::DtosFromJulian(fecha);
    if (progress) progress("Historico: " + DateText(fecha));
    // A payroll an earlier employee of this move (or an earlier move)
    // brought for this date is there already: it is not copied twice.
    if (RowsOf(headers, "H_E_DEPT2", k.target + k.target_depto + dtos).empty() &&
        CopyPayroll(t, k, depto, dtos))
      ++count.payrolls;
    const FieldValues employee = {{"NEGOCIO", k.target}, {"CODIGO", k.new_code}};
    WDBTable& values = t["H_D_PERS"];
    for (uint32_t r : RowsOf(values, "H_D_PERS2", k.source + k.old_code + dtos))
      Rekey(values, r, employee);
    WDBTable& splits = t["H_D_PER3"];
    for (uint32_t r : RowsOf(splits, "H_D_PER3_A", k.source + dtos + k.old_code))
      Rekey(splits, r, employee);
    Rekey(lines, line,
          {{"NEGOCIO", k.target}, {"DEPTO", k.target_depto}, {"CODIGO", k.new_code}});
    ++count.lines;
  }
  return count;
}

}  // namespace qz::employee_move
