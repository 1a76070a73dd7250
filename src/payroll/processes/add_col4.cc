#include "payroll/processes/add_col4.h"

#include <algorithm>

#include "lib/data/locking.h"
#include "lib/errors/fault.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/settings/multitask.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"

namespace qz {

ADD_COL4::ADD_COL4(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool ADD_COL4::AbrirBases() {
  return Open(enc_tip_, "ENC_TIP") && Open(ligas_, "LIGAS") && Open(det_dept_, "DET_DEPT") &&
         Open(conj_col_, "CONJ_COL") && Open(enc_pers_, "ENC_PERS") && Open(det_pers_, "DET_PERS");
}

void ADD_COL4::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kMultiple, /*active_only=*/true);
  AddMarkButtons();
  FillColumns();
  // The accounting links of the payroll module ("06" in a 5-wide code).
  CCOMBOBOX links(*this, kLiga);
  ForEachRow(ligas_->table(), "LIGA3", negocio_ + "06   ", [&](xb::Table& t) {
    links.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO"));
  });
  SetCheck(kSalario, 1);
  ADD(kAceptar, [this] { Procesar(); });
}

void ADD_COL4::FillColumns() {
  CCOMBOBOX columns(*this, kColumna);
  columns.CLEAR();
  ForEachRow(enc_tip_->table(), "ENC_TIP", negocio_, [&](xb::Table& t) {
    columns.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO"));
  });
}

std::string ADD_COL4::Category() const {
  if (Check(kDeduccion) == 1) return "02";
  if (Check(kRebajo) == 1) return "03";
  return "01";
}

void ADD_COL4::Procesar() {
  const auto column = CCOMBOBOX(*this, kColumna).CURCARGO();
  if (!column || column->empty()) return Refuse(kNoColumn);
  const std::vector<std::string> deptos = ChosenDepartments();
  if (deptos.empty()) return Refuse(kNoItems);
  const std::string liga = CCOMBOBOX(*this, kLiga).CURCARGO().value_or("");
  const std::string category = Category();
  xb::Table& tip = enc_tip_->table();
  if (!SeekPrefix(tip, "ENC_TIP", negocio_ + *column)) {
    Refuse(kColumnGone);
    FillColumns();
    return;
  }
  const bool depends = Number(tip, "VAL_DEPEND") == 1;

  const bool done = RunAtomic("Procesando Datos.", [&](Progress& progress) {
    std::vector<std::string> employees;
    for (const std::string& depto : deptos) {
      if (!SeekPrefix(enc_dept().table(), "ENC_DEPT", negocio_ + depto)) continue;
      if (SeekPrefix(det_dept_->table(), "DET_DEPT4", negocio_ + depto + *column)) continue;
      AddToDepartment(depto, *column, category, liga, employees, progress);
    }
    if (!depends || employees.empty()) return;
    // The new rows' hourly cost, by the one rule every screen uses.
    FactorRecalcScope scope;
    scope.negocio = negocio_;
    scope.employees = employees;
    scope.column_type = *column;
    scope.base_is_sum = true;
    scope.det_pers = det_pers_.get();
    scope.pump = [] { MULTITASK(); };
    auto recalc = RecalcEmployeeFactors(scope);
    if (!recalc.ok())
      ThrowFault(kGenRead, recalc.status().message(), "DET_PERS", "RecalcEmployeeFactors");
  });
  if (done) Finished();
}

void ADD_COL4::AddToDepartment(const std::string& depto, const std::string& column,
                               const std::string& category, const std::string& liga,
                               std::vector<std::string>& employees, Progress& progress) {
  // Position code and order after the department's last column; a column
  // placed by its set (ORDEN 0) counts with the set's order.
  double codigo = 0, orden = 0;
  xb::Table& sets = conj_col_->table();
  ForEachRow(det_dept_->table(), "DET_DEPT", negocio_ + depto, [&](xb::Table& t) {
    codigo = std::max(codigo, Number(t, "CODIGO"));
    double o = Number(t, "ORDEN");
    if (o == 0 && SeekPrefix(sets, "CONJ_COL2", negocio_ + depto + category + Bytes(t, "COD_CONJ")))
      o = Number(sets, "ORDEN");
    orden = std::max(orden, o);
  });
  WDBTable& d = *det_dept_;
  ADD_NEW_REC(d);
  Put(d, "NEGOCIO", xb::Value::Char(negocio_));
  Put(d, "DEPTO", xb::Value::Char(depto));
  Put(d, "TIPO", xb::Value::Char(category));
  Put(d, "COD_COLUMN", xb::Value::Char(column));
  Put(d, "ORDEN", xb::Value::Number(orden + 1));
  Put(d, "CODIGO", xb::Value::Number(codigo + 1));
  Put(d, "LIGA_CONTA", xb::Value::Char(liga));
  UNLOCK_FOR_MODIFY(d);

  WDBTable& v = *det_pers_;
  ForEachRow(enc_pers_->table(), "ENC_PERS", negocio_ + depto, [&](xb::Table& emp) {
    const std::string code = Bytes(emp, "CODIGO");
    progress.SetText(FieldText(emp, "NOMBRE"));
    // An employee who brought the column from another department keeps
    // the one value row a column may have.
    if (SeekPrefix(v.table(), "DET_PERS", negocio_ + code + column)) return;
    ADD_NEW_REC(v);
    Put(v, "NEGOCIO", xb::Value::Char(negocio_));
    Put(v, "CODIGO", xb::Value::Char(code));
    Put(v, "COD_COLUMN", xb::Value::Char(column));
    UNLOCK_FOR_MODIFY(v);
    employees.push_back(code);
    progress.Step();
  });
}

}  // namespace qz
