#include "admin/t_cambio.h"

#include "lib/data/date_time.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {

namespace {

constexpr const char* kRatePicture = "999,999.99999";
constexpr const char* kRateFields[] = {"CAMBIO", "CAMBIO2", "CAMBIO3", "CAMBIO4", "CAMBIO5"};
constexpr const char* kNoRelation = "Debe seleccionar una Relación de Tipo de Cambio";
constexpr const char* kNotAllowed = "No tiene derechos para esta operación";
// No row lies in this scope: before a relation is clicked the grid is empty.
constexpr const char* kNothing = "\xFF\xFF\xFF\xFF";

int32_t DateOf(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0;
}

std::string Trimmed(std::string s) {
  s = TrimRight(std::move(s));
  return s.substr(s.find_first_not_of(' ') == std::string::npos ? s.size()
                                                                : s.find_first_not_of(' '));
}

}  // namespace

std::string RelationLabel(const std::string& descrip_utf8, const std::string& symbol_utf8) {
  return Trimmed(descrip_utf8) + "   (" + Trimmed(symbol_utf8) + ")";
}

T_CAMBIO::T_CAMBIO(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(business) {}

T_CAMBIO::~T_CAMBIO() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void T_CAMBIO::CerrarBases() {
  grid_.reset();
  tree_.reset();
  CloseTable(rates_);
  CloseTable(det_mon_);
  CloseTable(monedas_);
}

bool T_CAMBIO::Init() {
  monedas_ = OpenTable(this, "MONEDAS");
  det_mon_ = OpenTable(this, "DET_MON");
  rates_ = OpenTable(this, "T_CAMBIO");
  if (!monedas_ || !det_mon_ || !rates_ || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  SetTitle("Defininción de Tipos de Cambio");
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, &rates_->table());
  tree_ = std::make_unique<TreeModel>(*this, kTree);
  AttachTree(kTree, tree_.get());
  tree_->SetFill([this](TreeModel& t) { FillTree(t); });
  tree_->Refresh();
  tree_->ExpandAll();  // every relation in sight; rebuilds keep what the user opened
  tree_->on_click = [this](TreeNode*) { ShowRates(); };
  tree_->AddContextEntry("Expander...", [this](TreeNode*) { tree_->ExpandAll(); });
  tree_->AddContextEntry("Expander item", [this](TreeNode* n) {
    if (n) tree_->Expand(n, true);
  });
  tree_->AddContextEntry("Colapsar...", [this](TreeNode*) { tree_->CollapseAll(); });
  tree_->AddContextEntry("Colapsar item", [this](TreeNode* n) {
    if (n) tree_->Expand(n, false);
  });
  tree_->AddContextEntry("Limpiar Todo...", [this](TreeNode*) { tree_->ClearMarks(); });
  tree_->AddContextEntry("Limpiar Sub-Arbol", [this](TreeNode* n) {
    if (n) tree_->SetMarked(n, false);
  });
  tree_->AddContextEntry("Agregar...", [this](TreeNode* n) { AddRelation(n); });
  tree_->AddContextEntry("Modificar...", [this](TreeNode* n) { ModifyRelation(n); });
  tree_->AddContextEntry("Borrar...", [this](TreeNode* n) { DeleteRelation(n); });
  tree_->AddContextEntry("Buscar...", [this](TreeNode*) {
    if (!tree_->ask_text) return;
    if (auto text = tree_->ask_text("Buscar...")) tree_->Search(*text);
  });
  tree_->AddContextEntry("Limpiar Busqueda", [this](TreeNode*) { tree_->Click(nullptr); });
  ADD(1, [this] { ENDDIALOG(1); });
  ADD(kAgregar, [this] { ADD_T_CAMBIO(); });
  OnNCDestroy = [this] {
    CerrarBases();
    OnDeactivate();
  };
  if (!CREATE().ok()) return false;
  // A user who may not add rates does not get the button that adds them.
  EnableControl(kAgregar, Allowed(kAddRight));
  xb::Table* t = &rates_->table();
  AGREGARCOL(*grid_, t, "Fecha", "FECHA", "");
  AGREGARCOL(*grid_, t, "Cambio  ", "CAMBIO", kRatePicture);
  for (int i = 2; i <= 5; ++i)
    AGREGARCOL(*grid_, t, "Cambio " + std::to_string(i), kRateFields[i - 1], kRatePicture);
  AGREGARCOL(*grid_, t, "Usr", "USUARIO", "");
  AGREGARCOL(*grid_, t, "Info Usr", "INFO_USER", "");
  grid_->SHOWNUMBERS = false;
  grid_->AUTOSIZE = true;
  ShowRates();
  return true;
}

void T_CAMBIO::FillTree(TreeModel& tree) {
  xb::Table& m = monedas_->table();
  xb::Table& d = det_mon_->table();
  monedas_->SetOrder("MONEDAS");
  det_mon_->SetOrder("DET_MON");
  for (monedas_->Seek(negocio_, true); !m.Eof() && FieldBytes(m, "NEGOCIO") == negocio_;
       m.Skip(1)) {
    const std::string code = FieldBytes(m, "CODIGO");
    TreeNode* node = tree.Add(nullptr, FieldText(m, "DESCRIP"), code);
    for (det_mon_->Seek(negocio_ + code, true);
         !d.Eof() && FieldBytes(d, "NEGOCIO") == negocio_ && FieldBytes(d, "MONEDA_1") == code;
         d.Skip(1))
      tree.Add(node, FieldText(d, "DESCRIP"), code + FieldBytes(d, "MONEDA_2"));
  }
}

void T_CAMBIO::RebuildTree() {
  if (tree_) tree_->Refresh();
  ShowRates();
}

std::optional<T_CAMBIO::Relation> T_CAMBIO::SelectedRelation() const {
  const TreeNode* n = tree_ ? tree_->selected() : nullptr;
  if (!n || !n->parent || n->parent == tree_->root()) return std::nullopt;
  return Relation{n->cargo.substr(0, 2), n->cargo.substr(2)};
}

void T_CAMBIO::ShowRates() {
  if (!grid_) return;
  auto rel = SelectedRelation();
  BROWMARKS(*grid_, {{1, "T_CAMBIO"}}, 1,
            rel ? negocio_ + rel->from + rel->to : negocio_ + kNothing);
}

bool T_CAMBIO::Allowed(int right) const {
  return !desktop().Denied(right);
}

void T_CAMBIO::OnActivate() {
  menu_shown_ = true;
  desktop().MENUSET(kMenuId, this, negocio_);
}

void T_CAMBIO::OnDeactivate() {
  if (!menu_shown_) return;
  menu_shown_ = false;
  if (desktop().active() == nullptr || desktop().active() == this)
    desktop().MENUSET(0, this, negocio_);
}

bool T_CAMBIO::DoOperation(const std::string& name) {
  if (!window_enabled()) return true;
  if (name == "ADD_T_CAMBIO") {
    ADD_T_CAMBIO();
  } else if (name == "MOD_T_CAMBIO") {
    MOD_T_CAMBIO();
  } else if (name == "DEL_T_CAMBIO") {
    DEL_T_CAMBIO();
  } else {
    return false;
  }
  return true;
}

void T_CAMBIO::ADD_T_CAMBIO() {
  if (!Allowed(kAddRight)) return;
  auto rel = SelectedRelation();
  if (!rel) {
    MESSAGE_BOX(kNoRelation, "Error", kMbIconStop);
    return;
  }
  DIALOG_BOX(
      desktop(), "MODIT_CAMBIO", this,
      [this, r = *rel](WDIAG& d, int m, int64_t w, int64_t) { return RateCtrl(d, m, w, 0, r); });
}

void T_CAMBIO::MOD_T_CAMBIO() {
  auto rel = SelectedRelation();
  if (!rel) {
    MESSAGE_BOX(kNoRelation, "Error", kMbIconStop);
    return;
  }
  if (grid_->SelectedRecNo() == 0) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  DIALOG_BOX(
      desktop(), "MODIT_CAMBIO", this,
      [this, r = *rel](WDIAG& d, int m, int64_t w, int64_t) { return RateCtrl(d, m, w, 1, r); });
}

void T_CAMBIO::DEL_T_CAMBIO() {
  const uint32_t recno = grid_->SelectedRecNo();
  if (recno == 0) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  if (MESSAGE_BOX("Desea borrar el tipo de Cambio?", "Advertencia",
                  kMbOkCancel | kMbIconQuestion) != 1)
    return;
  WDBTable& t = *rates_;
  t.GoTo(recno);
  if (!LockForModify(t)) return;
  if (!t.table().Deleted()) {
    t.Delete();
    grid_->NMAXREC -= 1;
  }
  UnlockForModify(t);
  grid_->REFRESHALL();
}

int T_CAMBIO::RateCtrl(WDIAG& dlg, int msg, int64_t wparam, int mode, const Relation& rel) {
  xb::Table& t = rates_->table();
  if (msg == kWmInitDialog) {
    if (mode == 0) {
      dlg.SetDate(kFecha, XDATE());
    } else {
      editing_ = grid_->SelectedRecNo();
      t.GoTo(editing_);
      dlg.SetDate(kFecha, DateOf(t, "FECHA"));
      for (int i = 0; i < 5; ++i) {
        auto v = t.Get(kRateFields[i]);
        dlg.SetText(kCambio1 + i, Trimmed(FormatNumber(v.ok() && v->is_numeric() ? v->number() : 0,
                                                       "999999.99999")));
      }
    }
    dlg.SetFocus(kFecha);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
  } else if (wparam == 1 && SaveRate(dlg, mode, rel)) {
    dlg.ENDDIALOG(1);
  }
  return 1;
}

bool T_CAMBIO::SaveRate(WDIAG& dlg, int mode, const Relation& rel) {
  std::optional<int32_t> fecha = dlg.DateValue(kFecha);
  if (!fecha || *fecha == 0) {
    MESSAGE_BOX("Fecha inválida", "Error", kMbIconStop);
    dlg.SetFocus(kFecha);
    return false;
  }
  double rates[5];
  for (int i = 0; i < 5; ++i) {
    auto n = ParseNumber(dlg.Text(kCambio1 + i));
    if (!n) {
      MESSAGE_BOX(NotANumberMessage(dlg.Text(kCambio1 + i)), "Error", kMbIconStop);
      dlg.SetFocus(kCambio1 + i);
      return false;
    }
    rates[i] = *n;
  }
  if (rates[0] == 0) {
    MESSAGE_BOX("El Tipo de Cambio #1 debe ser distinto de CERO", "Error", kMbIconStop);
    dlg.SetFocus(kCambio1);
    return false;
  }
  WDBTable& w = *rates_;
  xb::Table& t = w.table();
  // One rate per relation and date: a second one would make the rate in
  // force on that date depend on the order of the index.
  // The grid's order and scope are the relation's: the seek stays inside.
  const std::string key = negocio_ + rel.from + rel.to + xb::DtosFromJulian(*fecha);
  for (w.Seek(key);
       !t.Eof() && FieldBytes(t, "NEGOCIO") == negocio_ && FieldBytes(t, "MONEDA1") == rel.from &&
       FieldBytes(t, "MONEDA2") == rel.to && DateOf(t, "FECHA") == *fecha;
       t.Skip(1)) {
    if (mode == 1 && t.RecNo() == editing_) continue;
    MESSAGE_BOX("Ya existe un Tipo de Cambio para esa fecha", "Error", kMbIconStop);
    return false;
  }
  if (mode == 0) {
    if (!AddNewRec(w)) return false;
    t.Put("NEGOCIO", xb::Value::Char(negocio_));
    grid_->NMAXREC += 1;
  } else {
    w.GoTo(editing_);
    if (!LockForModify(w)) return false;
    // The lock re-read the row: it must still be this relation's.
    if (t.Deleted() || FieldBytes(t, "NEGOCIO") != negocio_ ||
        FieldBytes(t, "MONEDA1") != rel.from || FieldBytes(t, "MONEDA2") != rel.to) {
      UnlockForModify(w);
      MESSAGE_BOX(kRowDeletedMeanwhile, "Atención", kMbIconWarning);
      grid_->REFRESHALL();
      return false;
    }
  }
  t.Put("MONEDA1", xb::Value::Char(rel.from));
  t.Put("MONEDA2", xb::Value::Char(rel.to));
  t.Put("FECHA", xb::Value::Date(*fecha));
  t.Put("LIMITE", xb::Value::Date(xb::JulianFromYmd(2090, 1, 1)));
  for (int i = 0; i < 5; ++i) t.Put(kRateFields[i], xb::Value::Number(rates[i]));
  t.Put("USUARIO", xb::Value::Char(ToField(G().XUSER_ABREVIA, FieldWidth(t, "USUARIO"))));
  t.Put("INFO_USER", xb::Value::Char(ToField(WorkstationStamp(), FieldWidth(t, "INFO_USER"))));
  const uint32_t saved = t.RecNo();
  UnlockForModify(w);
  grid_->REFRESHALL();
  grid_->SelectRecNo(saved);
  return true;
}

}  // namespace qz
