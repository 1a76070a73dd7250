#include "payroll/processes/init_pla.h"

#include <algorithm>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/payroll/consolidation.h"
#include "lib/data/journal.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/processes/employee_amount.h"
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

void INIT_PLA::MakeGrids() {
  grid_ = std::make_unique<WBLISTBOX>(*this, kEmpleados, &enc_pers_->table());
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
  return EmployeeLockedBy(nombre);
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
  return SaveEmployeeAmount(*enc_pers_, *grid_, depto_, field, text);
}

void INIT_PLA::Limpiar() {
  if (depto_.empty()) return;
  const bool done = RunAtomic("Limpiando Datos...", [&](Progress& progress) {
    ClearEmployeeAmounts(*clear_, negocio_, depto_,
                         std::vector<const char*>(std::begin(kAmountFields), std::end(kAmountFields)),
                         progress);
  });
  grid_->Reread();
  if (done) Finished();
}

void INIT_PLA::Procesar() {
  if (depto_.empty()) return;
  const std::optional<int32_t> fecha = DateValue(kFecha);
  if (!fecha || *fecha == 0) return Refuse(kBadDate);
  // Told before any table of the opening is touched; the opening checks
  // again under the department's lock. The header a workstation that died
  // opening this payroll left behind is not a payroll: it is undone first.
  RunOperation([] { UndoDeadTransactions(); });
  xb::Table& h = h_e_dept_->table();
  if (SeekPrefix(h, "H_E_DEPT2", negocio_ + depto_ + xb::DtosFromJulian(*fecha)))
    return Refuse(kExists);
  ConsolidationResult result;
  {
    Progress progress(this, kConsolidationWaitText);
    ConsolidationRequest request;
    request.negocio = negocio_;
    request.depto = depto_;
    request.fecha = *fecha;
    request.progress = [&progress](int64_t done, int64_t total) {
      progress.SetTotal(total);
      return progress.Step(std::max<int64_t>(0, done - progress.done()));
    };
    RunOperation([&] { result = ConsolidatePayroll(request); });
  }
  ShowConsolidationResult(result);
  grid_->Reread();
}

}  // namespace qz
