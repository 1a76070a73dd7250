#include "payroll/scale_editor.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

double Num(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

bool Blank(const xb::Table& t) {
  return Num(t, "RANGO_I") == 0 && Num(t, "RANGO_F") == 0 && Num(t, "DIAS") == 0;
}

}  // namespace

ScaleEditor::ScaleEditor(F_PLAN& parent, const std::string& template_name, ScaleCopy& scale)
    : ParamWindow(parent, template_name, SubWindowBindings(template_name), &parent.copy()),
      scale_(scale) {
  on_init = [this](ParamWindow&) {
    xb::Table* t = &scale_.rows->table();
    t->SetOrder("TMP_AVS");
    EnsureBlankRow();
    grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, t);
  };
  on_fill = [this](ParamWindow&) { Build(); };
}

ScaleEditor::~ScaleEditor() {
  grid_.reset();
}

void ScaleEditor::Closed() {
  grid_.reset();
}

void ScaleEditor::Build() {
  xb::Table* t = &scale_.rows->table();
  const std::string pic = template_name() == "CESANTIA" ? "9999.99" : "9999";
  AGREGARCOL(*grid_, t, "Rango inicial", "RANGO_I", pic);
  AGREGARCOL(*grid_, t, "Rango Final", "RANGO_F", pic);
  AGREGARCOL(*grid_, t, "Días ", "DIAS", pic);
  grid_->SetEditable(0, [this](const std::string& s) { return EditCell("RANGO_I", s); });
  grid_->SetEditable(1, [this](const std::string& s) { return EditCell("RANGO_F", s); });
  grid_->SetEditable(2, [this](const std::string& s) { return EditCell("DIAS", s); });
  grid_->SHOWNUMBERS = false;
  grid_->AUTOSIZE = true;
  BROWMARKS(*grid_, {{1, "TMP_AVS"}}, 1, "");
  ADD(kInsertar, [this] { Insertar(); });
  ADD(kBorrar, [this] { Borrar(); });
}

bool ScaleEditor::EditCell(const char* field, const std::string& text) {
  auto n = ParseNumber(text);
  if (!n) return false;
  WDBTable& t = *scale_.rows;
  if (!LockForModify(t)) return false;
  t.table().Put(field, xb::Value::Number(*n));
  UnlockForModify(t);
  uint32_t here = t.table().RecNo();
  EnsureBlankRow();
  t.table().GoTo(here);
  return true;
}

void ScaleEditor::EnsureBlankRow() {
  WDBTable& w = *scale_.rows;
  xb::Table& t = w.table();
  int last = 0;
  t.GoBottom();
  if (!t.Eof()) last = static_cast<int>(Num(t, "ORDEN"));
  if (!t.Eof() && Blank(t)) return;
  AddNewRec(w);
  t.Put("ORDEN", xb::Value::Number(last + 1));
  UnlockForModify(w);
  if (grid_) {
    grid_->NMAXREC += 1;
    grid_->REFRESHALL();
  }
}

void ScaleEditor::Renumber() {
  WDBTable& w = *scale_.rows;
  xb::Table& t = w.table();
  std::vector<uint32_t> order;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) order.push_back(t.RecNo());
  int n = 0;
  for (uint32_t rec : order) {
    t.GoTo(rec);
    if (!LockForModify(w)) continue;
    t.Put("ORDEN", xb::Value::Number(++n));
    UnlockForModify(w);
  }
}

void ScaleEditor::Insertar() {
  WDBTable& w = *scale_.rows;
  xb::Table& t = w.table();
  const uint32_t current = grid_->SelectedRecNo();
  if (current == 0) return;
  t.GoTo(current);
  const double orden = Num(t, "ORDEN");
  // Rows from the current one on move down by one, the new row takes its
  // place.
  std::vector<uint32_t> below;
  for (t.GoTop(); !t.Eof(); t.Skip(1))
    if (Num(t, "ORDEN") >= orden) below.push_back(t.RecNo());
  for (uint32_t rec : below) {
    t.GoTo(rec);
    if (!LockForModify(w)) continue;
    t.Put("ORDEN", xb::Value::Number(Num(t, "ORDEN") + 1));
    UnlockForModify(w);
  }
  AddNewRec(w);
  t.Put("ORDEN", xb::Value::Number(orden));
  const uint32_t added = t.RecNo();
  UnlockForModify(w);
  grid_->NMAXREC += 1;
  grid_->REFRESHALL();
  grid_->SelectRecNo(added);
}

void ScaleEditor::Borrar() {
  WDBTable& w = *scale_.rows;
  xb::Table& t = w.table();
  const uint32_t current = grid_->SelectedRecNo();
  if (current == 0 || !t.GoTo(current).ok() || t.Eof()) return;
  const double pos = Num(t, "POS");
  if (!LockForModify(w)) return;
  w.Delete();
  UnlockForModify(w);
  if (pos > 0) scale_.removed.push_back(static_cast<uint32_t>(pos));
  grid_->NMAXREC -= 1;
  Renumber();
  EnsureBlankRow();
  grid_->REFRESHALL();
}

}  // namespace qz
