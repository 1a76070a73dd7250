#include "cash/cash_window.h"

#include "cash/cashiers.h"
#include "cash/closing_report.h"
#include "cash/counted_closing.h"
#include "cash/deposits/brow_dep.h"
#include "cash/sales/sales_posting.h"
#include "cash/sales_report.h"
#include "lib/errors/error_handler.h"
#include "lib/ini/private_profile.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

constexpr const char* kNoneOpen = "Ninguna...";
constexpr const char* kNoOpenShift = "Error cerrando la caja.\rNo hay registro de caja abierta!";
constexpr const char* kNotClosedHere =
    "El tipo de cierre de esta caja no se realiza desde esta ventana.\r"
    "La caja no fue cerrada y sigue abierta.";
constexpr const char* kNotHeldHere =
    "Esta caja no es la abierta en esta estación.\rDebe Reabrir la Caja para cerrarla.";
constexpr const char* kSalesNotPosted = "No se pueden contabilizar las ventas de la caja:\r";

}  // namespace

CashBoxWindow::CashBoxWindow(Desktop& desktop, const BoxKind& kind, const std::string& business,
                             CashBoxes& boxes)
    : WDIAG(desktop, nullptr, kind.window_template),
      kind_(kind),
      business_(PadRight(business, 15)),
      boxes_(boxes) {}

CashBoxWindow::~CashBoxWindow() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void CashBoxWindow::CerrarBases() {
  grid_.reset();
  CloseTable(header_);
}

bool CashBoxWindow::Init() {
  header_ = OpenTable(this, kind_.header);
  if (!header_ || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  OnNCDestroy = [this] { CerrarBases(); };
  ADD(1, [this] { ENDDIALOG(1); });
  ADD(kOpen, [this] { RunOperation([this] { ABRE_CAJA(); }); });
  ADD(kClose, [this] {
    RunOperation([this] { kind_.sales() ? CLOSE_CAJA() : PASS_CAJA(); });
  });
  ADD(kReattach, [this] { RunOperation([this] { REABRE_CAJA(); }); });
  ADD(kPreliminary, [this] { RunOperation([this] { PRINT_CIERRE(); }); });
  if (kind_.hotel()) {
    ADD(kCount, [this] { RunOperation([this] { ARQUEO(); }); });
    ADD(kDeposits, [this] { DEPOSITOS(); });
  }
  if (kind_.sales()) ADD(kSalesReport, [this] { RunOperation([this] { REPORTE_VENTAS(); }); });

  // The grid exists before the window is shown: the window system binds
  // its view to it then.
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, &header_->table());
  AttachGrid(kGrid, grid_.get());
  grid_->SHOWNUMBERS = false;
  grid_->AddColumn("Código", "CODIGO", "!!");
  grid_->AddColumn("Descripción", "DESCRIP", "");
  grid_->AddColumn("Estado", "ESTADO", "");
  grid_->SetFormat(2, [](const xb::Value& v) {
    return Trim(v.str()) == "C" ? std::string("Cerrada") : std::string("Abierta");
  });
  grid_->BROWMARKS({{1, kind_.header_tag}}, 1, business_);
  if (!CREATE().ok()) return false;

  const bool held = kind_.second_box() ? boxes_.CAJA2_ABIERTA() : boxes_.CAJA_ABIERTA();
  if (held) {
    SelectBox(slots().code);
    SetText(kOpenLabel, slots().descrip);
    if (kind_.hotel()) {
      std::optional<BoxHeader> h = ReadBoxHeader(kind_, business_, slots().code);
      if (h && h->arqueo_ad == 0) EnableControl(kCount, false);
    }
  } else {
    SetText(kOpenLabel, kNoneOpen);
  }
  if (kind_.sales()) {
    SetCheck(kPostSales, 1);
    if (Parameter("NO_PCIERRE") == 1) EnableControl(kPreliminary, false);
  }
  return true;
}

bool CashBoxWindow::SelectBox(const std::string& code) {
  std::optional<BoxHeader> h = ReadBoxHeader(kind_, business_, code);
  return h && grid_ && grid_->SelectRecNo(h->recno);
}

std::optional<BoxHeader> CashBoxWindow::BoxUnderCursor() {
  const uint32_t recno = grid_ ? grid_->SelectedRecNo() : 0;
  if (recno == 0) return std::nullopt;
  header_->GoTo(recno);
  if (header_->Eof() || header_->Deleted()) return std::nullopt;
  // Read afresh: what the button decides on is the state now, not when the
  // grid last drew the row.
  return ReadBoxHeader(kind_, business_, FieldBytes(header_->table(), "CODIGO"));
}

int CashBoxWindow::Parameter(const char* field) const {
  TablePtr p = USE(nullptr, kind_.params, kind_.params);
  int value = 0;
  if (p->Seek(business_) && !p->Eof()) value = static_cast<int>(FieldNumber(p->table(), field));
  KILLTABLA(p);
  return value;
}

bool CashBoxWindow::StationAllowed(const std::string& code) {
  if (Parameter(kind_.station_flag) != 1) return true;
  const std::string key = business_ + PadRight(code, 2);
  if (Trim(GetPrivateProfileString(kind_.ini_section, key, "", QuartzelIni())) == "1") return true;
  MESSAGE_BOX(kind_.station_refusal, "Error", kMbIconStop);
  return false;
}

bool CashBoxWindow::HeldHere() {
  // Asked again of the header: a box another workstation closed meanwhile
  // is let go here rather than closed (or reported) a second time.
  return kind_.second_box() ? boxes_.CAJA2_ABIERTA() : boxes_.CAJA_ABIERTA();
}

void CashBoxWindow::ABRE_CAJA() {
  std::optional<BoxHeader> box = BoxUnderCursor();
  if (!box || !StationAllowed(box->code)) return;
  if (box->is_open()) {
    MESSAGE_BOX("Actualmente, se encuentra abierta esta caja.", "ERROR", kMbIconStop);
    return;
  }
  PasswordRequest ask{kind_.open_template, "", false, !kind_.sales(), box->password, nullptr};
  if (kind_.sales()) ask.recheck = [this, code = box->code] { return StationAllowed(code); };
  std::optional<Cashier> cashier = AskCashierPasswords(desktop(), this, business_, ask);
  if (!cashier) return;
  if (OpenBoxRecords(kind_, business_, box->code, cashier->code) == BoxChange::kAlreadyOpen) {
    // Another workstation opened it since the button was pressed.
    MESSAGE_BOX("Actualmente, se encuentra abierta esta caja.", "ERROR", kMbIconStop);
    grid_->Reread();
    return;
  }
  boxes_.Hold(kind_, box->code, box->descrip, cashier->code, cashier->name, false);
  ENDDIALOG(1);
}

void CashBoxWindow::REABRE_CAJA() {
  std::optional<BoxHeader> box = BoxUnderCursor();
  if (!box || !StationAllowed(box->code)) return;
  if (!box->is_open()) {
    MESSAGE_BOX("Actualmente, no se encuentra abierta esta caja.", "ERROR", kMbIconStop);
    return;
  }
  PasswordRequest ask{kind_.open_template, "Reabrir Caja", false, !kind_.sales(), box->password,
                      nullptr};
  std::optional<Cashier> cashier = AskCashierPasswords(desktop(), this, business_, ask);
  if (!cashier) return;
  // Read again: another workstation may have closed it while the
  // passwords were typed, and a closed box must not be held here.
  std::optional<BoxHeader> now = ReadBoxHeader(kind_, business_, box->code);
  if (!now || !now->is_open()) {
    MESSAGE_BOX("Actualmente, no se encuentra abierta esta caja.", "ERROR", kMbIconStop);
    grid_->Reread();
    return;
  }
  boxes_.Hold(kind_, box->code, box->descrip, cashier->code, cashier->name, true);
  ENDDIALOG(1);
}

void CashBoxWindow::PASS_CAJA() {
  std::optional<BoxHeader> box = BoxUnderCursor();
  if (!box) return;
  PasswordRequest ask{kind_.pass_template, "", true, true, box->password, nullptr};
  if (AskCashierPasswords(desktop(), this, business_, ask)) CLOSE_CAJA();
}

void CashBoxWindow::CLOSE_CAJA() {
  if (kind_.sales()) {
    if (!HeldHere()) {
      MESSAGE_BOX("No hay Caja Abierta...", "Error", kMbIconStop);
      return;
    }
    if (Trim(slots().sales_cashier).empty()) {
      MESSAGE_BOX("No hay cajero...", "Error", kMbIconStop);
      return;
    }
  }
  std::optional<BoxHeader> box = BoxUnderCursor();
  if (!box) return;
  if (!box->is_open()) {
    MESSAGE_BOX("Actualmente no se encuentra abierta esta caja.", "ERROR", kMbIconStop);
    return;
  }
  if (kind_.sales() && slots().code != PadRight(box->code, 2)) {
    // The sales closing asks no password: a box held at another workstation
    // is closed here only once re-attached here, with its passwords.
    MESSAGE_BOX(kNotHeldHere, "Error", kMbIconStop);
    return;
  }
  const std::string no_shift =
      std::string(kNoOpenShift) + (kind_.sales() ? "\r Debe Reabrir la Caja" : "");
  std::optional<Shift> shift = FindOpenShift(kind_, business_, box->code);
  if (!shift) {
    MESSAGE_BOX(no_shift, "Error", kMbIconStop);
    return;
  }
  if (MESSAGE_BOX("Desea realizar el Cierre?\rSi tiene dudas, conteste que NO e imprima un "
                  "Cierre Preliminar",
                  "Advertencia", kMbOkCancel | kMbIconQuestion) != 1)
    return;
  if (box->tip_cierre != 0) {
    if (kind_.hotel()) {
      // The counted closing closes the box itself.
      if (HCAJAS4(desktop(), this, boxes_, business_, *box, *shift))
        ENDDIALOG(1);
      else
        grid_->Reread();  // closed elsewhere meanwhile, perhaps
      return;
    }
    if (kind_.reservations()) {
      // This kind of closing is not done from here: the box stays open, and
      // the user must not go away believing it closed.
      MESSAGE_BOX(kNotClosedHere, "Atención", kMbIconWarning);
      return;
    }
  }
  BoxChange closed = BoxChange::kDone;
  if (kind_.sales()) {
    std::optional<BoxChange> r = CloseSales(box->code);
    if (!r) return;
    closed = *r;
  } else {
    closed = CloseBoxRecords(kind_, business_, box->code, true);
  }
  switch (closed) {
    case BoxChange::kDone:
      break;
    case BoxChange::kNoOpenShift:
      MESSAGE_BOX(no_shift, "Error", kMbIconStop);
      return;
    default:
      MESSAGE_BOX("Actualmente no se encuentra abierta esta caja.", "ERROR", kMbIconStop);
      grid_->Reread();
      return;
  }
  // The closed shift, as the report reads it.
  if (kind_.report != ClosingReport::kNone) {
    std::optional<Shift> closed = FindShift(kind_, shift->recno);
    RunClosingReport(desktop(), this, kind_, business_, *box, closed ? *closed : *shift);
  }
  MESSAGE_BOX("Caja cerrada con Éxito", "Atención", kMbIconInformation);
  // The holding goes only when the box closed is the one held here: closing
  // another workstation's box must not unbind this one's.
  if (HeldHere() && slots().code == PadRight(box->code, 2)) boxes_.Release(kind_);
  if (kind_.sales()) grid_->REFRESHALL();
  ENDDIALOG(1);
}

std::optional<BoxChange> CashBoxWindow::CloseSales(const std::string& code) {
  const bool post = Check(kPostSales) == 1;
  if (post) {
    // Told before anything is written: the box stays open, and the user
    // may mend the setting or close without posting (check box 1001).
    const std::string problem = SalesPostingProblem(business_, code);
    if (!problem.empty()) {
      MESSAGE_BOX(std::string(kSalesNotPosted) + problem + "\rLa caja no fue cerrada.", "Error",
                  kMbIconStop);
      return std::nullopt;
    }
  }
  SalesClosing r;
  if (RunOperation([&] { r = CloseSalesBox(business_, code, post); }) ==
      OperationResult::kIgnored) {
    // The closing and the posting were rolled back together.
    MESSAGE_BOX("No se completó el cierre ni la contabilización de las ventas; no se registró "
                "nada y la caja sigue abierta.",
                "Alerta", kMbIconWarning);
    grid_->Reread();
    return std::nullopt;
  }
  if (!r.problem.empty()) {
    MESSAGE_BOX(std::string(kSalesNotPosted) + r.problem + "\rLa caja no fue cerrada.", "Error",
                kMbIconStop);
    return std::nullopt;
  }
  return r.box;
}

void CashBoxWindow::PRINT_CIERRE() {
  if (kind_.sales() && !HeldHere()) {
    MESSAGE_BOX("No hay Caja Abierta...", "Error", kMbIconStop);
    return;
  }
  std::optional<BoxHeader> box = BoxUnderCursor();
  if (!box) return;
  if (!box->is_open()) {
    // Sales too: a closed box under the cursor is not "an error closing it".
    MESSAGE_BOX("Esta Caja se encuentra cerrada.", "Error", kMbIconStop);
    return;
  }
  std::optional<Shift> shift = FindOpenShift(kind_, business_, box->code);
  if (!shift) {
    MESSAGE_BOX(kNoOpenShift, "Error", kMbIconStop);
    return;
  }
  if (kind_.sales()) {
    // The cashier who holds the box here, who may not be the one who
    // opened it; another box under the cursor is reported with its own
    // shift's cashier, not with this workstation's.
    const bool held = slots().code == PadRight(box->code, 2);
    RunSalesClosingReport(desktop(), this, business_, *box, *shift,
                          held ? slots().sales_cashier : std::string());
    return;
  }
  RunClosingReport(desktop(), this, kind_, business_, *box, *shift);
}

void CashBoxWindow::REPORTE_VENTAS() {
  std::optional<BoxHeader> box = BoxUnderCursor();
  RunRestaurantSalesReport(desktop(), this, business_, box ? box->code : std::string());
}

void CashBoxWindow::ARQUEO() {
  if (!boxes_.CAJA_ABIERTA()) {
    MESSAGE_BOX("Necesita primero abrir una caja", "Error", kMbIconStop);
    return;
  }
  std::optional<Shift> shift = FindOpenShift(kind_, business_, slots().code);
  if (!shift) {
    MESSAGE_BOX("El registro no corre", "Error", kMbIconStop);
    return;
  }
  HCAJAS5(desktop(), this, boxes_, business_, slots().code, *shift);
}

void CashBoxWindow::DEPOSITOS() {
  // The deposits are a window of their own: the box window stays for the
  // closing that follows the day's deposits.
  OpenDepositBrowse(desktop(), business_);
}

CashBoxWindow* OpenCashBoxWindow(Desktop& desktop, int toolbar_kind, int box_type,
                                 const std::string& business) {
  const BoxKind* kind = BoxKindFor(toolbar_kind, box_type);
  if (!kind) return nullptr;
  auto w = std::make_unique<CashBoxWindow>(desktop, *kind, business, ProcessCashBoxes());
  CashBoxWindow* raw = w.get();
  desktop.Adopt(std::move(w));
  bool ok = false;
  RunOperation([&] { ok = raw->Init(); });
  if (!ok) {
    raw->ENDDIALOG(2);
    desktop.Collect();
    return nullptr;
  }
  return raw;
}

}  // namespace qz
