#include "payroll/benefits/ajust_ag.h"

#include "lib/ui/message_box.h"
#include "payroll/processes/employee_amount.h"

namespace qz {
namespace {

const std::vector<std::pair<int, std::string>> kMarks = {{1, "ENC_PERS13"}, {2, "ENC_PERS14"}};

}  // namespace

AJUST_AG::AJUST_AG(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool AJUST_AG::AbrirBases() {
  return Open(enc_pers_, "ENC_PERS") && Open(clear_, "ENC_PERS");
}

void AJUST_AG::MakeGrids() {
  grid_ = std::make_unique<WBLISTBOX>(*this, kEmpleados, &enc_pers_->table());
}

void AJUST_AG::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kSingle);
  tree_->on_click = [this](TreeNode* n) {
    if (n && n->leaf() && !n->cargo.empty()) ItemActual(n->cargo);
  };
  WBLISTBOX& g = *grid_;
  g.AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  g.AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  g.AddColumn("Monto a Restar", "AJUSTE_AG", kPicture);
  g.SetEditable(kMontoColumn, [this](const std::string& text) {
    return SaveEmployeeAmount(*enc_pers_, *grid_, depto_, "AJUSTE_AG", text);
  });
  g.SHOWNUMBERS = false;
  // No department yet: a scope no employee has.
  (void)g.BROWMARKS(kMarks, 1, negocio_ + "1" + std::string(1, '\xff'));
  ADD(kLimpiar, [this] { Limpiar(); });
}

void AJUST_AG::ItemActual(const std::string& depto) {
  depto_ = depto;
  const int column = grid_->active_mark() == 1 ? 2 : 1;
  xb::Status st = grid_->BROWMARKS(kMarks, column, negocio_ + "1" + depto_);
  if (!st.ok()) MESSAGE_BOX("No se pudo leer ENC_PERS\r\n" + st.message(), "Alerta", kMbIconStop);
}

void AJUST_AG::Limpiar() {
  if (depto_.empty()) return;
  const bool done = RunAtomic("Limpiando Datos...", [&](Progress& progress) {
    ClearEmployeeAmounts(*clear_, negocio_, depto_, {"AJUSTE_AG"}, progress);
  });
  grid_->Reread();
  if (done) Finished();
}

}  // namespace qz
