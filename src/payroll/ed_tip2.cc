#include "payroll/ed_tip2.h"

#include "lib/payroll/words.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/ed_tip.h"

namespace qz {
namespace {

constexpr const char* kAmountPicture = "999,999,999.99";

}  // namespace

ED_TIP2::ED_TIP2(ED_TIP& parent, const std::string& template_name)
    : WDIAG(parent.desktop(), &parent, template_name), parent_(&parent) {}

ED_TIP2::~ED_TIP2() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void ED_TIP2::CerrarBases() {
  grid_.reset();
  if (!parent_) return;
  ED_TIP* p = parent_;
  parent_ = nullptr;
  p->DetailClosed();
  if (parent_disabled_) {
    parent_disabled_ = false;
    p->ENABLEWINDOW(true);
  }
}

void ED_TIP2::Orphan() {
  grid_.reset();
  parent_ = nullptr;
  ENDDIALOG(2);
}

bool ED_TIP2::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool ED_TIP2::Open() {
  parent_->ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  if (!INIT().ok()) {
    CerrarBases();
    return false;
  }
  xb::Table& scratch = parent_->scratch()->table();
  opened_ = parent_->scratch()->Keep();
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, &scratch);
  ADD(1, [this] { Aceptar(); });
  ADD(2, [this] {
    parent_->scratch()->PutBack(opened_);
    Terminar(2);
  });
  ADD(kInsertar, [this] { InsertRow(); });
  ADD(kBorrar, [this] { DeleteRow(); });
  for (int id : {kCostaRica, kNicaragua, kValoresAbsolutos}) ADD(id, [this] { ApplyRules(); });
  oDia_ = std::make_unique<CCOMBOBOX>(*this, kDiaPago);
  oBase_ = std::make_unique<CCOMBOBOX>(*this, kColumnaBase);
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  WBLISTBOX& b = *grid_;
  AGREGARCOL(b, &scratch, "Rango inicial", "RANGO_I", kAmountPicture);
  AGREGARCOL(b, &scratch, "Rango Final", "RANGO_F", kAmountPicture);
  AGREGARCOL(b, &scratch, " % ", "PORCENTAJE", "999.99");
  AGREGARCOL(b, &scratch, "Valor ", "VALOR_2", kAmountPicture);
  const char* fields[] = {"RANGO_I", "RANGO_F", "PORCENTAJE", "VALOR_2"};
  for (int col = 0; col < 4; ++col) {
    std::string field = fields[col];
    b.SetEditable(col, [this, field](const std::string& text) { return EditAmount(field, text); });
  }
  b.SHOWNUMBERS = false;
  b.AUTOSIZE = true;
  BROWMARKS(b, {{1, "TMP_TIP"}}, 1, "");
  FillCombos();
  const BracketTable& t = parent_->bracket_table();
  SetCheck(t.tipo_tabla == 2   ? kNicaragua
           : t.tipo_tabla == 3 ? kValoresAbsolutos
                               : kCostaRica,
           1);
  if (t.dia_tabla >= 1 && t.dia_tabla <= 7) oDia_->SEEKCARGO(std::to_string(t.dia_tabla));
  std::string resta = FormatNumber(t.resta_comp, "99999.99999");
  SetText(kRestaComp, resta.substr(resta.find_first_not_of(' ')));
  oBase_->SEEKCARGO(t.col_base);
  ApplyRules();
  return true;
}

void ED_TIP2::FillCombos() {
  for (int d = 1; d <= 7; ++d) oDia_->ADD(DIAS_EN_LETRAS(d), std::to_string(d));
  // The base column of a table of fixed amounts is one of the business's
  // absolute values.
  TablePtr enc = OpenTable(this, "ENC_TIP");
  xb::Table& t = enc->table();
  std::optional<xb::Value> scope = xb::Value::Char(parent_->business());
  if (t.SetOrder("ENC_TIP").ok() && t.SetScope(scope, scope).ok()) {
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      auto kind = t.Get("TIPO");
      if (!kind.ok() || kind->number() != 1) continue;
      oBase_->ADD(FieldText(t, "CODIGO") + " - " + FieldText(t, "DESCRIP"),
                  FieldText(t, "CODIGO"));
    }
  }
  CloseTable(enc);
}

int ED_TIP2::TableKind() const {
  return Check(kNicaragua) ? 2 : Check(kValoresAbsolutos) ? 3 : 1;
}

void ED_TIP2::ApplyRules() {
  int kind = TableKind();
  EnableControl(kDiaPago, kind == 2);
  EnableControl(kRestaComp, kind == 2);
  EnableControl(kColumnaBase, kind == 3);
}

bool ED_TIP2::EditAmount(const std::string& field, const std::string& text) {
  std::optional<double> n = TrimRight(text).empty() ? std::optional<double>(0) : ParseNumber(text);
  if (!n) {
    MESSAGE_BOX(NotANumberMessage(text), "Error", kMbIconStop);
    return false;
  }
  xb::Table& t = parent_->scratch()->table();
  uint32_t here = t.RecNo();
  if (!t.Put(field, xb::Value::Number(*n)).ok()) return false;
  t.Flush();
  // Typing into the last row opens a new blank one under it.
  parent_->scratch()->KeepBlankRowAtEnd();
  Reshow(here);
  return true;
}

void ED_TIP2::Reshow(uint32_t select) {
  xb::Table& t = parent_->scratch()->table();
  int rows = 0;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) ++rows;
  grid_->NMAXREC = rows;
  grid_->REFRESHALL();
  if (select) grid_->SelectRecNo(select);
}

void ED_TIP2::InsertRow() {
  if (!parent_) return;
  uint32_t added = parent_->scratch()->InsertBefore(grid_->SelectedRecNo());
  Reshow(added);
}

void ED_TIP2::DeleteRow() {
  if (!parent_) return;
  uint32_t rec = grid_->SelectedRecNo();
  if (rec == 0) return;
  int row = grid_->current();
  parent_->scratch()->Remove(rec);
  parent_->scratch()->KeepBlankRowAtEnd();
  Reshow(0);
  if (grid_->RowCount() > 0) grid_->Select(std::min(row, grid_->RowCount() - 1));
}

void ED_TIP2::Aceptar() {
  if (!parent_) return;
  std::optional<double> resta =
      TrimRight(Text(kRestaComp)).empty() ? std::optional<double>(0) : ParseNumber(Text(kRestaComp));
  if (!resta) {
    MESSAGE_BOX(NotANumberMessage(Text(kRestaComp)), "Error", kMbIconStop);
    SetFocus(kRestaComp);
    return;
  }
  BracketTable t;
  t.tipo_tabla = TableKind();
  if (auto day = oDia_->CURCARGO()) t.dia_tabla = std::atoi(day->c_str());
  t.resta_comp = *resta;
  if (auto base = oBase_->CURCARGO()) t.col_base = *base;
  parent_->SetBracketTable(t);
  Terminar(1);
}

void ED_TIP2::Terminar(int result) {
  ENDDIALOG(result);
}

}  // namespace qz
