#include "payroll/processes/add_col.h"

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "xbase/value.h"

namespace qz {

ADD_COL::ADD_COL(Desktop& desktop, const std::string& template_name, const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool ADD_COL::AbrirBases() {
  return Open(det_dept_, "DET_DEPT") && Open(enc_tip_, "ENC_TIP") && Open(det_tip_, "DET_TIP") &&
         Open(h_e_dept_, "H_E_DEPT") && Open(h_d_dept_, "H_D_DEPT") && Open(h_e_tip_, "H_E_TIP") &&
         Open(h_d_tip_, "H_D_TIP") && Open(h_e_pers_, "H_E_PERS") && Open(h_d_pers_, "H_D_PERS") &&
         Open(h_d_per2_, "H_D_PER2");
}

void ADD_COL::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kSingle, DepartmentTreeRule::IncludingInactive());
  tree_->on_click = [this](TreeNode* n) {
    if (n && n->leaf() && !n->cargo.empty()) ItemActual(n->cargo);
  };
  ADD(kAceptar, [this] { Procesar(); });
}

void ADD_COL::ItemActual(const std::string& depto) {
  CLISTBOX list(*this, kColumnas);
  list.CLEAR();
  xb::Table& tip = enc_tip_->table();
  ForEachRow(det_dept_->table(), "DET_DEPT4", negocio_ + depto, [&](xb::Table& t) {
    const std::string column = Bytes(t, "COD_COLUMN");
    if (SeekPrefix(tip, "ENC_TIP", negocio_ + column)) list.ADD(FieldText(tip, "DESCRIP"), column);
  });
}

std::string ADD_COL::AlreadyHas(const std::string& descrip, int32_t fecha) {
  return "La planilla " + descrip + " de la fecha " + DateText(fecha) + "\r\n" +
         " ya tiene la columna";
}

std::string ADD_COL::NoLongerInDepartment(const std::string& column) {
  return "La columna " + TrimRight(column) + " ya no pertenece al departamento; no se agregó";
}

void ADD_COL::Procesar() {
  const std::vector<std::string> deptos = ChosenDepartments();
  if (deptos.empty()) return Refuse(kNoDepartment);
  std::vector<std::string> columns;
  if (const ControlState* c = Control(kColumnas))
    for (const ListEntry& e : c->entries)
      if (e.selected) columns.push_back(e.cargo);
  if (columns.empty()) return Refuse(kNoColumns);
  const auto desde = DateValue(kDesde), hasta = DateValue(kHasta);
  if (!desde || !hasta || *desde == 0 || *hasta == 0) return Refuse(kBadRange);

  std::vector<std::string> skipped;
  bool stale_list = false;
  const bool done = RunAtomic("Procesando Datos...", [&](Progress& progress) {
    skipped.clear();
    stale_list = false;
    for (const std::string& depto : deptos) {
      struct Payroll {
        uint32_t recno;
        int32_t fecha;
        std::string descrip;
      };
      std::vector<Payroll> payrolls;
      xb::Table& h = h_e_dept_->table();
      const xb::Value top = xb::Value::Char(negocio_ + depto + xb::DtosFromJulian(*desde));
      const xb::Value bottom = xb::Value::Char(negocio_ + depto + xb::DtosFromJulian(*hasta));
      if (h.SetOrder("H_E_DEPT2").ok() && h.SetScope(top, bottom).ok()) {
        for (xb::Status s = h.GoTop(); s.ok() && !h.Eof(); s = h.Skip(1))
          payrolls.push_back({h.RecNo(), DateOf(h, "FECHA"), FieldText(h, "DESCRIP")});
        (void)h.ClearScope();
      }
      progress.SetTotal(static_cast<int64_t>(payrolls.size()));
      // The list was filled when the department was clicked: a column taken
      // out of the department since would join the payrolls without its
      // payroll column, and a later run would add it again, so it is left
      // out and named.
      std::vector<std::string> listed;
      for (const std::string& column : columns) {
        if (SeekPrefix(det_dept_->table(), "DET_DEPT4", negocio_ + depto + column)) {
          listed.push_back(column);
        } else {
          skipped.push_back(NoLongerInDepartment(column));
          stale_list = true;
        }
      }
      for (const Payroll& p : payrolls) {
        progress.SetText(DateText(p.fecha) + " " + p.descrip);
        // Whether the payroll has a column is asked and answered under its
        // header's lock: another workstation adding the same column waits,
        // then finds it, instead of adding it a second time.
        h_e_dept_->GoTo(p.recno);
        HoldUntilRunEnds(*h_e_dept_);
        if (h_e_dept_->Deleted()) {  // deleted by another workstation meanwhile
          progress.Step();
          continue;
        }
        for (const std::string& column : listed) {
          xb::Table& cols = h_d_dept_->table();
          if (SeekPrefix(cols, "H_D_DEPT4",
                         negocio_ + depto + column + xb::DtosFromJulian(p.fecha))) {
            skipped.push_back(AlreadyHas(p.descrip, p.fecha));
            continue;
          }
          AddToPayroll(depto, p.fecha, column);
        }
        progress.Step();
      }
    }
  });
  if (!done) return;
  // Told once the transaction is over: its locks are not held while the
  // user reads.
  for (const std::string& text : skipped) Refuse(text);
  if (stale_list) ItemActual(deptos.front());  // the department's columns as they are now
  Finished();
}

void ADD_COL::AddToPayroll(const std::string& depto, int32_t fecha, const std::string& column) {
  const xb::Value date = xb::Value::Date(fecha);
  xb::Table& def = det_dept_->table();
  if (SeekPrefix(def, "DET_DEPT4", negocio_ + depto + column)) {
    AppendCopy(def, *h_d_dept_);
    Put(*h_d_dept_, "FECHA", date);
    UNLOCK_FOR_MODIFY(*h_d_dept_);
  }
  xb::Table& tip = enc_tip_->table();
  bool daily_grid = false;
  if (SeekPrefix(tip, "ENC_TIP", negocio_ + column)) {
    daily_grid = Number(tip, "LIGAR_HORA") == 1;
    // Every field of the type, its amounts and tables included: the column
    // joins payrolls that are already computed.
    AppendCopy(tip, *h_e_tip_);
    Put(*h_e_tip_, "INFO", xb::Value::Number(1));
    Put(*h_e_tip_, "DEPTO", xb::Value::Char(depto));
    Put(*h_e_tip_, "FECHA", date);
    UNLOCK_FOR_MODIFY(*h_e_tip_);
    ForEachRow(det_tip_->table(), "DET_TIP", negocio_ + column, [&](xb::Table& bracket) {
      AppendCopy(bracket, *h_d_tip_);
      Put(*h_d_tip_, "DEPTO", xb::Value::Char(depto));
      Put(*h_d_tip_, "FECHA", date);
      UNLOCK_FOR_MODIFY(*h_d_tip_);
    });
  }
  ForEachRow(h_e_pers_->table(), "H_E_PERS4", negocio_ + depto + xb::DtosFromJulian(fecha),
             [&](xb::Table& line) {
               const xb::Value employee = xb::Value::Char(Bytes(line, "CODIGO"));
               ADD_NEW_REC(*h_d_pers_);
               Put(*h_d_pers_, "NEGOCIO", xb::Value::Char(negocio_));
               Put(*h_d_pers_, "COD_COLUMN", xb::Value::Char(column));
               Put(*h_d_pers_, "CODIGO", employee);
               Put(*h_d_pers_, "FECHA", date);
               UNLOCK_FOR_MODIFY(*h_d_pers_);
               if (!daily_grid) return;
               ADD_NEW_REC(*h_d_per2_);
               Put(*h_d_per2_, "NEGOCIO", xb::Value::Char(negocio_));
               Put(*h_d_per2_, "COD_PER", employee);
               Put(*h_d_per2_, "COD_COLUMN", xb::Value::Char(column));
               Put(*h_d_per2_, "FECHA", date);
               UNLOCK_FOR_MODIFY(*h_d_per2_);
             });
}

}  // namespace qz
