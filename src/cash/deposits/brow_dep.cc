#include "cash/deposits/brow_dep.h"

#include "cash/deposits/deposit_annul.h"
#include "cash/deposits/deposit_data.h"
#include "cash/deposits/deposit_dialogs.h"
#include "cash/deposits/deposit_reports.h"
#include "cash/deposits/reg_dep.h"
#include "lib/data/date_time.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/cell_click.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/report_output.h"

namespace qz {
namespace {

constexpr int kFooterTimer = 1;
constexpr const char* kAmount = "999,999,999.99";

}  // namespace

BROW_DEP::BROW_DEP(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(Pad(business, 15)) {}

BROW_DEP::~BROW_DEP() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void BROW_DEP::CerrarBases() {
  desktop().KillTimers(this);
  if (grid_) ClearCellClicks(*grid_);
  grid_.reset();
  tree_.reset();
  if (enc_) KILLTABLA(enc_);
}

bool BROW_DEP::Init() {
  enc_ = USE(this, "ENC_HLIB", "ENC_HLIB2");
  if (!INIT().ok()) {
    CerrarBases();
    return false;
  }
  xb::Table* t = &enc_->table();
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, t);
  AGREGARCOL(*grid_, t, " ", "MOVIMIENTO", "X");
  grid_->SetFormat(0, [this](const xb::Value& v) {
    return std::string(v.is_char() && Marked(v.str()) ? "✓" : " ");
  });
  AGREGARCOL(*grid_, t, "Fecha", "FECHA", "");
  AGREGARCOL(*grid_, t, "# Depósito", "NUM_DEP", "");
  AGREGARCOL(*grid_, t, "Consecutivo", "MOVIMIENTO", "");
  AGREGARCOL(*grid_, t, "Monto    ", "MONTO", kAmount);
  AGREGARCOL(*grid_, t, "Saldo    ", "SALDO", kAmount);
  AGREGARCOL(*grid_, t, "Comentario", "COMENTARIO", "");
  AGREGARCOL(*grid_, t, "Fecha Creación", "F_CREACION", "");
  AGREGARCOL(*grid_, t, "Hora C", "H_CREACION", "");
  AGREGARCOL(*grid_, t, "U.C.", "USUARIO", "");
  AGREGARCOL(*grid_, t, "Info Creación", "INFO_USER", "");
  AGREGARCOL(*grid_, t, "Fecha Anulación", "F_ANULADO", "");
  AGREGARCOL(*grid_, t, "Hora Anulación", "H_ANULADO", "");
  AGREGARCOL(*grid_, t, "U.A.", "A_USUARIO", "");
  AGREGARCOL(*grid_, t, "Info Anulación", "ANUL_USER", "");
  grid_->SHOWNUMBERS = false;
  scope_ = negocio_;
  BROWMARKS(*grid_, {{4, "ENC_HLIB2"}}, 4, scope_);
  SetCellClick(*grid_, 0, [this] { MARK_DEP(); });

  tree_ = std::make_unique<TreeModel>(*this, kTree);
  AttachTree(kTree, tree_.get());
  TreeNode* root = tree_->Add(nullptr, "Todos los Movimientos", "");
  {
    TablePtr c = USE(this, "CON_HLIB", "CON_HLIB");
    c->SetScope(xb::Value::Char(negocio_), xb::Value::Char(negocio_));
    for (c->GoTop(); !c->Eof(); c->Skip())
      tree_->Add(root, FieldText(c->table(), "CONCEPTO") + " " + FieldText(c->table(), "DESCRIP"),
                 FieldBytes(c->table(), "CONCEPTO"));
    KILLTABLA(c);
  }
  tree_->ExpandAll();
  tree_->on_click = [this, root](TreeNode* n) { ShowConcept(n == root ? "" : n->cargo); };

  ADD(1, [this] { ENDDIALOG(1); });
  ADD(kPrint, [this] { PRINT_DEP(); });
  ADD(kView, [this] { VIEW_DEP(); });
  ADD(kCorrect, [this] { CORRECT_DEP(); });
  ADD(kAnnul, [this] { ANNUL_DEP(); });
  ADD(kReports, [this] { REPORTS_DEP(); });
  ADD(kNew, [this] { NEW_DEP(); });
  ADD(kMark, [this] { MARK_DEP(); });
  OnNCDestroy = [this] { CerrarBases(); };
  if (!CREATE().ok()) return false;
  ShowFooter();
  desktop().SetTimer(this, kFooterTimer, 250, [this] { ShowFooter(); });
  return true;
}

void BROW_DEP::ShowConcept(const std::string& concepto) {
  if (!grid_) return;
  scope_ = negocio_ + concepto;
  BROWMARKS(*grid_, {{4, "ENC_HLIB2"}}, 4, scope_);
  shown_row_ = -2;
  ShowFooter();
}

std::string BROW_DEP::Selected() const {
  if (!grid_ || grid_->current() < 0) return "";
  enc_->GoTo(grid_->SelectedRecNo());
  return FieldBytes(enc_->table(), "MOVIMIENTO");
}

// "Nombre :" and what became of the movement, for the row under the cursor.
void BROW_DEP::ShowFooter() {
  if (!grid_ || grid_->current() == shown_row_) return;
  shown_row_ = grid_->current();
  if (shown_row_ < 0) {
    SetText(kName, "Nombre :");
    SetText(kState, "");
    return;
  }
  enc_->GoTo(grid_->SelectedRecNo());
  const xb::Table& t = enc_->table();
  SetText(kName, "Nombre :" + FieldText(t, "NOMBRE"));
  std::string state;
  if (FieldNumber(t, "INCLUIDO") == 1)
    state = "Incluido en Reservación  :" + FieldText(t, "COD_RES");
  if (FieldNumber(t, "ANULADO") == 1)
    state += (state.empty() ? "" : "   ") + std::string("Movimiento Nulo (") +
             DateText(enc_->FieldGet("F_ANULADO").date()) + ")";
  SetText(kState, state);
}

void BROW_DEP::Refresh() {
  if (grid_) grid_->REFRESHALL();
  shown_row_ = -2;
  ShowFooter();
}

void BROW_DEP::MARK_DEP() {
  const std::string mov = Selected();
  if (mov.empty()) return;
  if (!marks_.erase(mov)) marks_.insert(mov);
  // The mark is no field: the rows are read again for it to show.
  const uint32_t keep = grid_->SelectedRecNo();
  BROWMARKS(*grid_, {{4, "ENC_HLIB2"}}, 4, scope_);
  grid_->SelectRecNo(keep);
}

void BROW_DEP::PRINT_DEP() {
  std::vector<std::string> movs(marks_.begin(), marks_.end());
  if (movs.empty() && !Selected().empty()) movs.push_back(Selected());
  if (movs.empty()) {
    MESSAGE_BOX("Falta seleccionar el depósito que desea imprimir", "Error", kMbIconStop);
    return;
  }
  PrintDocument doc;
  RunOperation([&] { doc = DepositVoucher(this, negocio_, movs); });
  PRINT_REPORT(desktop(), doc);
}

void BROW_DEP::VIEW_DEP() {
  const std::string mov = Selected();
  if (mov.empty()) {
    MESSAGE_BOX("Falta seleccionar el depósito que desea ver", "Error", kMbIconStop);
    return;
  }
  PrintDocument doc;
  RunOperation([&] { doc = DepositVoucher(this, negocio_, {mov}); });
  PREVIEW_REPORT(desktop(), doc);
}

void BROW_DEP::CORRECT_DEP() {
  const std::string mov = Selected();
  if (mov.empty()) {
    MESSAGE_BOX("Falta seleccionar el depósito que desea corregir", "Error", kMbIconStop);
    return;
  }
  if (CorrectGuestData(*this, negocio_, mov)) Refresh();
}

void BROW_DEP::ANNUL_DEP() {
  const std::string mov = Selected();
  bool may = false;
  RunOperation([&] { may = MayAnnulDeposit(this, negocio_, mov); });
  if (!may) return;
  AskAnnulment(*this, negocio_, mov);
  // Shown as it is now, also when another workstation annulled it while
  // the annulment window was open here.
  Refresh();
}

void BROW_DEP::NEW_DEP() {
  OpenDepositRegistration(desktop(), negocio_);
}

void BROW_DEP::REPORTS_DEP() {
  ShowDepositReports(*this, negocio_);
}

BROW_DEP* OpenDepositBrowse(Desktop& desktop, const std::string& business) {
  return OpenScreen<BROW_DEP>(desktop, "BROW_DEP", business);
}

void RegisterDepositScreens(MenuRegistry& registry, Desktop& desktop) {
  registry.Register("BROW_DEP", [&desktop](const std::string& business, const std::string&) {
    OpenDepositBrowse(desktop, business);
  });
}

}  // namespace qz
