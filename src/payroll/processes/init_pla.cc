#include "payroll/processes/init_pla.h"

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/value.h"

namespace qz {
namespace {

constexpr const char* kAmount = "9999,999,999.99";
constexpr const char* kAmountFields[] = {"TOT_SAL", "TOT_GRUPO1", "TOT_GRUPO2", "TOT_GRUPO3",
                                         "TOT_GRUPO4"};

}  // namespace

INIT_PLA::INIT_PLA(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool INIT_PLA::AbrirBases() {
  return Open(enc_pers_, "ENC_PERS") && Open(clear_, "ENC_PERS") && Open(f_plan_, "F_PLAN") &&
         Open(h_e_dept_, "H_E_DEPT");
}

void INIT_PLA::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kSingle);
  tree_->on_click = [this](TreeNode* n) {
    if (n && n->leaf() && !n->cargo.empty()) ItemActual(n->cargo);
  };
  SetDate(kFecha, XDATE());
  BuildGrid();
  ADD(kConsolidar, [this] { Procesar(); });
  ADD(kLimpiar, [this] { Limpiar(); });
}

std::string INIT_PLA::LockedBy(const std::string& nombre) {
  return "El empleado " + nombre + " está siendo modificado por otro usuario";
}

void INIT_PLA::BuildGrid() {
  // Group labels: the parameters' own when their total is on.
  std::string labels[4];
  xb::Table& fp = f_plan_->table();
  const bool have_params = SeekPrefix(fp, "F_PLAN", negocio_);
  for (int n = 1; n <= 4; ++n) {
    const std::string suffix = std::to_string(n + 1);
    std::string own;
    if (have_params && Number(fp, ("TOTAL_AG" + suffix).c_str()) == 1)
      own = FieldText(fp, ("ROTULO_AG" + suffix).c_str());
    labels[n - 1] = own.empty() ? "T.Grupo " + std::to_string(n) : own;
  }
  grid_ = std::make_unique<WBLISTBOX>(*this, kEmpleados, &enc_pers_->table());
  WBLISTBOX& g = *grid_;
  g.AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  g.AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  g.AddColumn("Total Sal.", "TOT_SAL", kAmount);
  for (int n = 0; n < 4; ++n) g.AddColumn(labels[n], kAmountFields[n + 1], kAmount);
  for (int col = kTotSalColumn; col < kTotSalColumn + 5; ++col) {
    const char* field = kAmountFields[col - kTotSalColumn];
    g.SetEditable(col, [this, field](const std::string& text) { return SaveAmount(field, text); });
  }
  g.SHOWNUMBERS = false;
  // No department yet: a scope no employee has.
  (void)g.BROWMARKS({{1, "ENC_PERS13"}, {2, "ENC_PERS14"}}, 1,
                    negocio_ + "1" + std::string(1, '\xff'));
}

void INIT_PLA::ItemActual(const std::string& depto) {
  depto_ = depto;
  const int column = grid_->active_mark() == 1 ? 2 : 1;
  xb::Status st = grid_->BROWMARKS({{1, "ENC_PERS13"}, {2, "ENC_PERS14"}}, column,
                                   negocio_ + "1" + depto_);
  if (!st.ok()) MESSAGE_BOX("No se pudo leer ENC_PERS\r\n" + st.message(), "Alerta", kMbIconStop);
}

bool INIT_PLA::SaveAmount(const char* field, const std::string& text) {
  WDBTable& w = *enc_pers_;
  xb::Table& t = w.table();
  if (t.Eof() || t.RecNo() == 0) return false;
  const std::optional<double> amount = ParseNumber(text.empty() ? "0" : text);
  if (!amount) return false;
  const uint32_t recno = t.RecNo();
  // Another user on this employee: say who, rather than keep this user
  // waiting on a row that may stay locked for the length of an edit.
  if (!t.IsRecordLocked(recno)) {
    if (!t.LockRecord(recno).ok()) {
      MESSAGE_BOX(LockedBy(FieldText(t, "NOMBRE")), "Alerta", kMbIconWarning);
      return false;
    }
    (void)t.UnlockRecord(recno);
  }
  LOCK_FOR_MODIFY(w);
  // The record as the lock re-read it: a row that left the department or
  // was deactivated meanwhile is not written.
  if (t.Deleted() || Bytes(t, "DEPTO") != depto_ || Number(t, "ACTIVO") != 1) {
    UNLOCK_FOR_MODIFY(w);
    return false;
  }
  (void)t.Put(field, xb::Value::Number(*amount));
  UNLOCK_FOR_MODIFY(w);
  // On to the next employee, as typing down a column expects.
  const int row = grid_->RowOf(recno);
  if (row >= 0 && row + 1 < grid_->RowCount()) (void)grid_->Select(row + 1);
  return true;
}

void INIT_PLA::Limpiar() {
  if (depto_.empty()) return;
  const bool done = RunAtomic("Limpiando Datos...", [&](Progress& progress) {
    ForEachRow(clear_->table(), "ENC_PERS", negocio_ + depto_, [&](xb::Table& t) {
      if (Number(t, "ACTIVO") != 1) return;
      LOCK_FOR_MODIFY(*clear_);
      for (const char* field : kAmountFields) (void)t.Put(field, xb::Value::Number(0));
      UNLOCK_FOR_MODIFY(*clear_);
      progress.Step();
    });
  });
  grid_->Reread();
  if (done) Finished();
}

void INIT_PLA::Procesar() {
  if (depto_.empty()) return;
  const std::optional<int32_t> fecha = DateValue(kFecha);
  if (!fecha || *fecha == 0) return Refuse(kBadDate);
  xb::Table& h = h_e_dept_->table();
  if (SeekPrefix(h, "H_E_DEPT2", negocio_ + depto_ + xb::DtosFromJulian(*fecha)))
    return Refuse(kExists);
  MESSAGE_BOX("La consolidación de la planilla aún no está disponible", "Aviso",
              kMbIconInformation);
}

}  // namespace qz
