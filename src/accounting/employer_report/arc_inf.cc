#include "accounting/employer_report/arc_inf.h"

#include <optional>
#include <vector>

#include "accounting/employer_report/report_choices.h"
#include "lib/data/add_once.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

std::string Pad(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

}  // namespace

ARC_INF::ARC_INF(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(Pad(business, 15)) {}

ARC_INF::~ARC_INF() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool ARC_INF::AbrirBases() {
  f_plan_ = OpenTable(this, "F_PLAN");
  enc_tip_ = OpenTable(this, "ENC_TIP");
  return f_plan_ && enc_tip_ && f_plan_->table().SetOrder("F_PLAN").ok() &&
         enc_tip_->table().SetOrder("ENC_TIP").ok();
}

void ARC_INF::CerrarBases() {
  CloseTable(f_plan_);
  CloseTable(enc_tip_);
}

bool ARC_INF::Init() {
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  OnNCDestroy = [this] { CerrarBases(); };
  ADD(1, [this] { Aceptar(); });
  ADD(2, [this] { Terminar(2); });
  if (!CREATE().ok()) return false;
  FillControls();
  ShowStored();
  return true;
}

bool ARC_INF::SeekPlan() {
  xb::Table& plan = f_plan_->table();
  if (plan.Seek(xb::Value::Char(negocio_)).ok() && plan.Found() && !plan.Eof()) return true;
  plan.GoBottom();
  plan.Skip(1);
  return false;
}

void ARC_INF::FillControls() {
  SeekPlan();
  for (int combo : {kAguinaldo, kBono14}) {
    ClearEntries(combo);
    for (const auto& [text, code] : BonusPeriods(f_plan_->table())) AddEntry(combo, text, code);
  }
  xb::Table& tip = enc_tip_->table();
  std::optional<xb::Value> scope = xb::Value::Char(negocio_);
  if (!tip.SetScope(scope, scope).ok()) return;
  const int lists = static_cast<int>(ReportLists().size());
  for (int i = 0; i < lists; ++i) ClearEntries(kFirstList + i);
  for (tip.GoTop(); !tip.Eof(); tip.Skip(1)) {
    const std::string code = FieldText(tip, "CODIGO");
    const std::string text = FieldText(tip, "DESCRIP") + " (" + code + ")";
    for (int i = 0; i < lists; ++i) AddEntry(kFirstList + i, text, code);
  }
  tip.SetScope(std::nullopt, std::nullopt);
}

void ARC_INF::ShowStored() {
  if (!SeekPlan()) return;
  const xb::Table& plan = f_plan_->table();
  for (auto [combo, field] : {std::pair{kAguinaldo, "INF_AGUI1"}, std::pair{kBono14, "INF_AGUI2"}}) {
    std::string code = FieldBytes(plan, field);
    if (code.empty()) continue;
    CCOMBOBOX(*this, combo).SEEKCARGO(code.substr(0, 1));
  }
  for (size_t i = 0; i < ReportLists().size(); ++i) {
    CLISTBOX list(*this, kFirstList + static_cast<int>(i));
    for (const std::string& code : CodesOfList(FieldBytes(plan, ReportLists()[i].field)))
      list.SELECTCARGO(FromField(xb::Value::Char(TrimRight(code))));
  }
}

bool ARC_INF::TakeLists(std::vector<std::string>* stored, std::string* too_long) const {
  const xb::Table& plan = f_plan_->table();
  for (size_t i = 0; i < ReportLists().size(); ++i) {
    std::vector<std::string> codes;
    if (const ControlState* list = Control(kFirstList + static_cast<int>(i)))
      for (const ListEntry& e : list->entries)
        if (e.selected) codes.push_back(ToField(e.cargo, 2));
    std::string text = ListOfCodes(codes);
    const size_t width = static_cast<size_t>(FieldWidth(plan, ReportLists()[i].field));
    if (text.size() > width) {
      *too_long = ReportLists()[i].caption;
      return false;
    }
    stored->push_back(std::move(text));
  }
  return true;
}

void ARC_INF::Aceptar() {
  std::vector<std::string> lists;
  std::string too_long;
  // The field holds a limited number of codes; cutting the list would drop
  // columns from the report without anyone noticing.
  if (!TakeLists(&lists, &too_long)) {
    MESSAGE_BOX("Demasiadas columnas seleccionadas en \"" + TrimRight(too_long) + "\"", "Error",
                kMbOk | kMbIconStop);
    return;
  }
  // A business without parameters yet gets its row here, rather than
  // losing the choices: one row, even when another workstation adds it at
  // the same moment.
  if (!SeekPlan())
    AddRowOnce(*f_plan_, xb::Value::Char(negocio_),
               [&](WDBTable& plan) { plan.FieldPut("NEGOCIO", xb::Value::Char(negocio_)); });
  if (!SeekPlan() || !LockForModify(*f_plan_)) return;
  xb::Table& plan = f_plan_->table();
  for (auto [combo, field] : {std::pair{kAguinaldo, "INF_AGUI1"}, std::pair{kBono14, "INF_AGUI2"}})
    if (auto code = CCOMBOBOX(*this, combo).CURCARGO()) plan.Put(field, xb::Value::Char(*code));
  for (size_t i = 0; i < lists.size(); ++i)
    plan.Put(ReportLists()[i].field, xb::Value::Char(lists[i]));
  UnlockForModify(*f_plan_);
  Terminar(1);
}

}  // namespace qz
