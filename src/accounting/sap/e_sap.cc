#include "accounting/sap/e_sap.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/settings/globals.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

const int kGroups[][3] = {{E_SAP::kTodos, E_SAP::kFijo, E_SAP::kExtra},
                          {E_SAP::kCredito, E_SAP::kDebito, 0},
                          {E_SAP::kDepartamento, E_SAP::kDetallado, E_SAP::kGranTotal}};

int Chosen(const WDIAG& d, const int* ids, int def) {
  for (int i = 0; i < 3; ++i)
    if (ids[i] && d.Check(ids[i]) == 1) return i;
  return def;
}

std::string Number(double v, int decimals) {
  std::string s = FormatNumber(v, decimals ? "9999999.99999" : "9999");
  return s.substr(s.find_first_not_of(' ') == std::string::npos ? 0 : s.find_first_not_of(' '));
}

}  // namespace

std::string E_SAP::Describe(const std::string& code) const {
  std::string label = SapTotalLabel(code);
  if (!label.empty()) return label;
  for (const auto& [c, d] : columns_)
    if (c == code) return d;
  return code;
}

bool E_SAP::Edit(WDIAG* owner, SapMapRow* row) {
  row_ = row;
  return DIALOG_BOX(owner->desktop(), "E_SAP", owner, [this](WDIAG& d, int m, int64_t w, int64_t) {
           return Proc(d, m, w);
         }) == 1;
}

int E_SAP::Proc(WDIAG& d, int msg, int64_t wparam) {
  if (msg == kWmInitDialog) {
    Load(d);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    d.ENDDIALOG(2);
  } else if (wparam == 1 && Store(d)) {
    d.ENDDIALOG(1);
  }
  return 1;
}

void E_SAP::Load(WDIAG& d) {
  CCOMBOBOX combo(d, kColumna);
  for (const auto& [code, descrip] : columns_) combo.ADD(descrip + " (" + code + ")", code);
  if (!columns_.empty())
    for (const auto& t : kSapTotals) combo.ADD(t.label, t.code);
  combo.SEEKCARGO(row_->columna);
  d.SetText(kCuenta, xb::ToUtf8(row_->cuenta));
  d.SetText(kCecos, xb::ToUtf8(row_->cecos));
  d.SetText(kBloque, xb::ToUtf8(row_->bloque));
  d.SetText(kOrden, Number(row_->orden, 0));
  d.SetText(kFactor, Number(row_->factor, 5));
  d.SetText(kRotulo, xb::ToUtf8(row_->rotulo));
  d.SetCheck(kGroups[0][row_->tipo >= 0 && row_->tipo <= 2 ? row_->tipo : 0], 1);
  d.SetCheck(row_->debito == 1 ? kDebito : kCredito, 1);
  d.SetCheck(kGroups[2][row_->aplica >= 0 && row_->aplica <= 2 ? row_->aplica : 0], 1);
  d.ADD(kColumna, [this, &d] { FollowItem(d); });
  FollowItem(d);
  d.SetFocus(kColumna);
}

void E_SAP::FollowItem(WDIAG& d) {
  const bool balance = CCOMBOBOX(d, kColumna).CURCARGO() == std::optional<std::string>("_6");
  for (const auto& g : kGroups)
    for (int id : g)
      if (id) d.EnableControl(id, !balance);
  if (balance) {
    d.SetCheck(kTodos, 1);
    d.SetCheck(kDebito, 1);
    d.SetCheck(kGranTotal, 1);
  }
}

bool E_SAP::Store(WDIAG& d) {
  auto code = CCOMBOBOX(d, kColumna).CURCARGO();
  if (!code) {
    MESSAGE_BOX(kNoColumn, "Error", kMbIconStop);
    d.SetFocus(kColumna);
    return false;
  }
  auto orden = ParseNumber(d.Text(kOrden).empty() ? "0" : d.Text(kOrden));
  auto factor = ParseNumber(d.Text(kFactor).empty() ? "1" : d.Text(kFactor));
  for (auto [value, id] : {std::pair{&orden, kOrden}, std::pair{&factor, kFactor}}) {
    if (*value) continue;
    MESSAGE_BOX(NotANumberMessage(d.Text(id)), "Error", kMbIconStop);
    d.SetFocus(id);
    return false;
  }
  SapMapRow r;
  r.columna = *code;
  r.cuenta = RTrim(xb::FromUtf8(d.Text(kCuenta)));
  r.cecos = RTrim(xb::FromUtf8(d.Text(kCecos)));
  r.bloque = RTrim(xb::FromUtf8(d.Text(kBloque)));
  r.rotulo = RTrim(xb::FromUtf8(d.Text(kRotulo)));
  r.orden = static_cast<int>(*orden);
  r.factor = *factor;
  r.tipo = Chosen(d, kGroups[0], 0);
  r.debito = Chosen(d, kGroups[1], 1);
  r.aplica = Chosen(d, kGroups[2], 0);
  *row_ = r;
  return true;
}

}  // namespace qz
