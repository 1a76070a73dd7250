#include "payroll/processes/add_col3.h"

#include <algorithm>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/fault.h"
#include "lib/payroll/money.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/value.h"

namespace qz {

ADD_COL3::ADD_COL3(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool ADD_COL3::AbrirBases() {
  return Open(tmp_hper_, "TMP_HPER.DBF") && Open(enc_tip_, "ENC_TIP") &&
         Open(det_tip_, "DET_TIP") && Open(f_plan_, "F_PLAN") && Open(h_e_dept_, "H_E_DEPT") &&
         Open(h_d_dept_, "H_D_DEPT") && Open(h_e_tip_, "H_E_TIP") && Open(h_d_tip_, "H_D_TIP") &&
         Open(h_e_pers_, "H_E_PERS") && Open(h_d_pers_, "H_D_PERS") &&
         Open(h_tip_pl_, "H_TIP_PL") && Open(h_tiem_e_, "H_TIEM_E");
}

void ADD_COL3::MakeGrids() {
  grid_ = std::make_unique<WBLISTBOX>(*this, kEmpleados, &tmp_hper_->table());
}

void ADD_COL3::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kSingle, DepartmentTreeRule::IncludingInactive());
  tree_->on_click = [this](TreeNode* n) {
    if (n && n->leaf() && !n->cargo.empty()) ItemActual(n->cargo);
  };
  SetDate(kFecha, XDATE());
  CCOMBOBOX combo(*this, kColumna);
  ForEachRow(enc_tip_->table(), "ENC_TIP", negocio_, [&](xb::Table& t) {
    if (Number(t, "INFO") == 1) combo.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO"));
  });
  SetCheck(kSalario, 1);
  grid_->AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  grid_->AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  grid_->AddColumn("Monto", "MONTO", "9999,999,999.99");
  grid_->SetEditable(kMontoColumn, [this](const std::string& text) {
    xb::Table& t = tmp_hper_->table();
    const auto amount = ParseNumber(text.empty() ? "0" : text);
    if (!amount || t.Eof()) return false;
    // The scratch table is this screen's own copy: no other user to wait for.
    if (!t.LockRecord().ok()) return false;
    (void)t.Put("MONTO", xb::Value::Number(*amount));
    (void)t.WriteBack();
    (void)t.UnlockRecord(t.RecNo());
    return true;
  });
  grid_->SHOWNUMBERS = false;
  Scope();
  ADD(kAceptar, [this] { Procesar(); });
}

void ADD_COL3::Scope() {
  const int column = grid_->active_mark() == 1 ? 2 : 1;
  const std::string key = depto_.empty() ? std::string(1, '\xff') : depto_;
  (void)grid_->BROWMARKS({{1, "TMP_1"}, {2, "TMP_2"}}, column, key);
}

std::string ADD_COL3::Category() const {
  if (Check(kDeduccion) == 1) return "02";
  if (Check(kRebajo) == 1) return "03";
  return "01";
}

void ADD_COL3::ItemActual(const std::string& depto) {
  const std::optional<int32_t> fecha = DateValue(kFecha);
  if (!fecha || *fecha == 0) return Refuse(kBadDate);
  xb::Table& tmp = tmp_hper_->table();
  (void)tmp.SetOrder("");
  for (xb::Status s = tmp.GoTop(); s.ok() && !tmp.Eof(); s = tmp.Skip(1))
    if (!tmp.Deleted() && tmp.LockRecord().ok()) {
      (void)tmp.Delete();
      (void)tmp.UnlockRecord(tmp.RecNo());
    }
  depto_ = depto;
  fecha_ = *fecha;
  ForEachRow(h_e_pers_->table(), "H_E_PERS", negocio_ + depto + xb::DtosFromJulian(*fecha),
             [&](xb::Table& line) {
               if (!tmp.Append().ok()) return;
               (void)tmp.Put("DEPTO", xb::Value::Char(depto));
               (void)tmp.Put("CODIGO", xb::Value::Char(Bytes(line, "CODIGO")));
               (void)tmp.Put("NOMBRE", xb::Value::Char(Bytes(line, "NOMBRE")));
               (void)tmp.Put("MONTO", xb::Value::Number(0));
               (void)tmp.WriteBack();
               (void)tmp.UnlockRecord(tmp.RecNo());
             });
  Scope();
}

void ADD_COL3::Procesar() {
  const auto column = CCOMBOBOX(*this, kColumna).CURCARGO();
  if (!column || column->empty()) return Refuse(kNoColumn);
  if (depto_.empty()) return;
  // The amounts typed belong to the payroll the list was loaded for.
  const std::string dtos = xb::DtosFromJulian(fecha_);
  if (!SeekPrefix(h_e_dept_->table(), "H_E_DEPT2", negocio_ + depto_ + dtos))
    return Refuse(kNoPayroll);
  const std::string category = Category();
  ENABLEWINDOW(false);
  const bool done = RunAtomic("Procesando Datos...", [&](Progress&) {
    // The payroll's header stays locked to the end: another workstation
    // adding the same column to it waits and then reuses this one's.
    if (!SeekPrefix(h_e_dept_->table(), "H_E_DEPT2", negocio_ + depto_ + dtos)) return;
    HoldUntilRunEnds(*h_e_dept_);
    AddColumn(*column, fecha_, category);
    WriteLines(*column, fecha_);
  });
  ENABLEWINDOW(true);
  grid_->REFRESHALL();
  if (done) Finished();
}

void ADD_COL3::AddColumn(const std::string& column, int32_t fecha, const std::string& category) {
  const std::string dtos = xb::DtosFromJulian(fecha);
  const xb::Value date = xb::Value::Date(fecha);
  double codigo = 0, orden = 0;
  ForEachRow(h_d_dept_->table(), "H_D_DEPT5", negocio_ + depto_ + dtos, [&](xb::Table& t) {
    codigo = std::max(codigo, Number(t, "CODIGO"));
    if (Bytes(t, "TIPO") == category) orden = std::max(orden, Number(t, "ORDEN"));
  });
  WDBTable& d = *h_d_dept_;
  if (!SeekPrefix(d.table(), "H_D_DEPT4", negocio_ + depto_ + column + dtos)) {
    ADD_NEW_REC(d);
    Put(d, "NEGOCIO", xb::Value::Char(negocio_));
    Put(d, "FECHA", date);
    Put(d, "DEPTO", xb::Value::Char(depto_));
    Put(d, "COD_COLUMN", xb::Value::Char(column));
    Put(d, "CODIGO", xb::Value::Number(codigo + 1));
    Put(d, "TIPO", xb::Value::Char(category));
    Put(d, "ORDEN", xb::Value::Number(orden + 1));
    UNLOCK_FOR_MODIFY(d);
  }
  xb::Table& tip = enc_tip_->table();
  if (!SeekPrefix(tip, "ENC_TIP", negocio_ + column)) return;
  WDBTable& copy = *h_e_tip_;
  if (!SeekPrefix(copy.table(), "H_E_TIP", negocio_ + depto_ + column + dtos)) {
    ADD_NEW_REC(copy);
    Put(copy, "DEPTO", xb::Value::Char(depto_));
    Put(copy, "NEGOCIO", xb::Value::Char(negocio_));
    Put(copy, "CODIGO", xb::Value::Char(column));
    Put(copy, "FECHA", date);
    UNLOCK_FOR_MODIFY(copy);
    ForEachRow(det_tip_->table(), "DET_TIP", negocio_ + column, [&](xb::Table& bracket) {
      AppendCopy(bracket, *h_d_tip_);
      Put(*h_d_tip_, "DEPTO", xb::Value::Char(depto_));
      Put(*h_d_tip_, "FECHA", date);
      UNLOCK_FOR_MODIFY(*h_d_tip_);
    });
    (void)SeekPrefix(copy.table(), "H_E_TIP", negocio_ + depto_ + column + dtos);
  }
  // New or reused, the copy takes the type as it is now.
  LOCK_FOR_MODIFY(copy);
  for (const auto& f : copy.table().fields()) {
    if (f.name == "DEPTO" || f.name == "FECHA" || tip.FieldIndex(f.name) < 0) continue;
    auto v = tip.Get(f.name);
    if (v.ok()) (void)copy.table().Put(f.name, *v);
  }
  UNLOCK_FOR_MODIFY(copy);
}

double ADD_COL3::HourlyCost(const std::string& employee, const std::string& schedule,
                            const std::string& tipo, const std::string& dtos) {
  double base = 0;
  xb::Table& cols = h_d_dept_->table();
  xb::Table& copies = h_e_tip_->table();
  ForEachRow(h_d_pers_->table(), "H_D_PERS2", negocio_ + employee + dtos, [&](xb::Table& v) {
    const std::string column = Bytes(v, "COD_COLUMN");
    if (!SeekPrefix(cols, "H_D_DEPT4", negocio_ + depto_ + column + dtos) ||
        Bytes(cols, "TIPO") != "01")
      return;
    if (!SeekPrefix(copies, "H_E_TIP", negocio_ + depto_ + column + dtos) ||
        Number(copies, "VAL_BASE") != 1)
      return;
    base += Number(v, "VALOR_1") * Number(copies, "VALOR_3");
  });
  xb::Table& types = h_tip_pl_->table();
  const double val_div =
      SeekPrefix(types, "H_TIP_PL", negocio_ + depto_ + tipo + dtos) ? Number(types, "VAL_DIV") : 0;
  xb::Table& schedules = h_tiem_e_->table();
  const double hours = SeekPrefix(schedules, "H_TIEM_E", negocio_ + depto_ + schedule + dtos)
                           ? Number(schedules, "FACTOR")
                           : 0;
  const double cost = SafeDiv(SafeDiv(base, val_div), hours);
  if (cost == 0) return 0;
  CostRounding r;
  xb::Table& fp = f_plan_->table();
  if (SeekPrefix(fp, "F_PLAN", negocio_)) {
    r.red_costo = static_cast<int>(Number(fp, "RED_COSTO"));
    r.dec_costo = static_cast<int>(Number(fp, "DEC_COSTO"));
    r.dec_cost5 = static_cast<int>(Number(fp, "DEC_COST5"));
  }
  return r(cost);
}

void ADD_COL3::WriteLines(const std::string& column, int32_t fecha) {
  const std::string dtos = xb::DtosFromJulian(fecha);
  xb::Table& header = h_e_dept_->table();
  const std::string tipo =
      SeekPrefix(header, "H_E_DEPT2", negocio_ + depto_ + dtos) ? Bytes(header, "TIPO") : "";
  xb::Table& tmp = tmp_hper_->table();
  WDBTable& values = *h_d_pers_;
  ForEachRow(h_e_pers_->table(), "H_E_PERS", negocio_ + depto_ + dtos, [&](xb::Table& line) {
    const std::string employee = Bytes(line, "CODIGO");
    // An employee left out of the list gets 0.
    const double amount =
        SeekPrefix(tmp, "TMP_3", employee) ? Number(tmp, "MONTO") : 0;
    const double cost = HourlyCost(employee, Bytes(line, "COD_TIEMPO"), tipo, dtos);
    if (SeekPrefix(values.table(), "H_D_PERS", negocio_ + employee + column + dtos)) {
      LOCK_FOR_MODIFY(values);
    } else {
      ADD_NEW_REC(values);
      Put(values, "NEGOCIO", xb::Value::Char(negocio_));
      Put(values, "CODIGO", xb::Value::Char(employee));
      Put(values, "COD_COLUMN", xb::Value::Char(column));
      Put(values, "FECHA", xb::Value::Date(fecha));
    }
    Put(values, "VALOR_1", xb::Value::Number(amount));
    Put(values, "FACTOR", xb::Value::Number(cost));
    UNLOCK_FOR_MODIFY(values);
  });
}

}  // namespace qz
