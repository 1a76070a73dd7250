#include "accounting/def_dist.h"

#include "accounting/all_or_nothing.h"
#include "accounting/def_cc.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/lists.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

constexpr const char* kPercentPicture = "999.99";

CatalogSetup Setup() {
  CatalogSetup s;
  s.name = "DEF_DIST";
  s.table = "E_COSTO";
  s.tag = "E_COSTO";
  s.key_width = 4;
  s.menu_id = DEF_DIST::kMenuId;
  s.columns = {{"Código", "CODIGO", "!!!!"}, {"Descripción", "DESCRIP", std::string(40, 'X')}};
  s.duplicate_on_add = DEF_CC::kCodeTaken;
  s.duplicate_on_modify = DEF_CC::kNewCodeTaken;
  s.delete_question = "¿Desea borrar la tabla de distribución?";
  // No tag of the employees begins with the table: their rows are walked.
  s.references = {{"ENC_PERS", "ENC_PERS2", "DIST_COST", CodeReference::Match::kField}};
  s.details = {{"D_COSTO", "D_COSTO1", "CODIGO"}};
  s.wait_text = DEF_CC::kRecoding;
  return s;
}

}  // namespace

DEF_DIST::DEF_DIST(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<E_DIST>(desktop, template_name, business, Setup()) {}

E_DIST::E_DIST(CatalogScreen& parent, int mode) : RecordEditor(parent, "E_DIST", mode) {}

E_DIST::~E_DIST() {
  CloseOwnTables();
}

bool E_DIST::AbrirBases() {
  c_costos_ = OpenTable(this, "C_COSTOS");
  return c_costos_ && c_costos_->table().SetOrder("C_COSTOS").ok();
}

void E_DIST::CloseOwnTables() {
  CloseTable(c_costos_);
}

void E_DIST::BuildControls() {
  ADD(kAsignar, [this] { Asignar(); });
  ADD(kQuitar, [this] { Quitar(); });
}

void E_DIST::LoadRow(const xb::Table& t) {
  lines_ = ReadDistLines(Negocio(), FieldBytes(t, "CODIGO"));
  ShowLines();
}

std::string E_DIST::CentreName(const std::string& centre) const {
  xb::Table& t = c_costos_->table();
  if (t.Seek(xb::Value::Char(Negocio() + centre)).ok() && t.Found() &&
      FieldBytes(t, "CODIGO") == centre && FieldBytes(t, "NEGOCIO") == Negocio()) {
    std::string name = FieldText(t, "DESCRIP");
    if (!name.empty()) return name;
  }
  return TrimRight(FromField(xb::Value::Char(centre)));
}

void E_DIST::ShowLines() {
  CLISTBOX list(*this, kLines);
  list.CLEAR();
  for (const DistLine& l : lines_) {
    // "Porcentaje" first: its leading blanks become figure spaces, as wide
    // as a digit, so the amounts line up whatever the list's font.
    std::string percent = FormatNumber(l.percent, kPercentPicture), shown;
    for (char c : percent) shown += c == ' ' ? "\u2007" : std::string(1, c);
    list.ADD(shown + "   " + CentreName(l.centre), FromField(xb::Value::Char(l.centre)));
  }
}

bool E_DIST::AddLine(const std::string& centre, double percent) {
  if (TrimRight(centre).empty()) return Refuse(kNoCentre, kAsignar);
  for (const DistLine& l : lines_)
    if (l.centre == centre) return Refuse(kCentreTwice, kAsignar);
  lines_.push_back({centre, percent});
  ShowLines();
  return true;
}

int E_DIST::AssignDialog(WDIAG& dlg, int msg, int64_t wparam) {
  if (msg == kWmInitDialog) {
    CCOMBOBOX combo(dlg, kCentro);
    xb::Table& t = c_costos_->table();
    std::optional<xb::Value> scope = xb::Value::Char(Negocio());
    if (t.SetScope(scope, scope).ok())
      for (t.GoTop(); !t.Eof(); t.Skip(1))
        combo.ADD(FieldText(t, "CODIGO") + " - " + FieldText(t, "DESCRIP"),
                  FromField(xb::Value::Char(FieldBytes(t, "CODIGO"))));
    t.SetScope(std::nullopt, std::nullopt);
    dlg.SetFocus(kCentro);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
    return 1;
  }
  if (wparam != 1) return 1;
  auto chosen = CCOMBOBOX(dlg, kCentro).CURCARGO();
  if (!chosen) {
    MESSAGE_BOX(kNoCentre, "Error", kMbIconStop);
    return 1;
  }
  auto percent = ParseNumber(dlg.Text(kPorcentaje));
  if (!percent) {
    MESSAGE_BOX(NotANumberMessage(dlg.Text(kPorcentaje)), "Error", kMbIconStop);
    dlg.SetFocus(kPorcentaje);
    return 1;
  }
  if (AddLine(ToField(*chosen, 15), *percent)) dlg.ENDDIALOG(1);
  return 1;
}

void E_DIST::Asignar() {
  DIALOG_BOX(desktop(), "ASIG_CC", this,
             [this](WDIAG& d, int m, int64_t w, int64_t) { return AssignDialog(d, m, w); });
}

void E_DIST::Quitar() {
  CLISTBOX list(*this, kLines);
  std::vector<DistLine> kept;
  for (const DistLine& l : lines_)
    if (!list.ISSELECTED(FromField(xb::Value::Char(l.centre)))) kept.push_back(l);
  lines_ = std::move(kept);
  ShowLines();
}

void E_DIST::PROCESAR() {
  const std::string code = parent().CodeFromText(Text(kCodigo));
  bool saved = SaveAllOrNothing(table(), mode() == 1 ? loaded_recno() : 0, [&] {
    CatalogSave save = parent().SaveSettings(mode(), this);
    save.recno = loaded_recno();
    save.old_code = loaded_code();
    // The employees follow a new code here; the lines follow below, with the
    // rest of their changes.
    save.rekey = [&](const std::string& old_code, const std::string& new_code) {
      for (const auto& ref : parent().setup().references)
        PropagateCode(ref, Negocio(), old_code, new_code);
    };
    if (!BeginCatalogWrite(save, code)) return false;
    xb::Table& t = table();
    t.Put("CODIGO", xb::Value::Char(code));
    t.Put("DESCRIP", xb::Value::Char(ToField(Text(kDescrip), FieldWidth(t, "DESCRIP"))));
    FinishCatalogWrite(save);
    SaveDistLines(Negocio(), mode() == 1 ? loaded_code() : code, code, lines_);
    return true;
  });
  if (saved) Terminar(1);
}

}  // namespace qz
