#include "payroll/concepts.h"

#include "payroll/code_lists.h"

namespace qz {
namespace {

CatalogSetup ConceptSetup(const std::string& name, int menu_id) {
  CatalogSetup s;
  s.name = name;
  s.table = name;
  s.tag = name;
  s.key_width = 2;
  s.menu_id = menu_id;
  s.columns = {{"Código", "CODIGO", "!!"}, {"DESCRIP", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de concepto ya definido...";
  s.delete_question = "¿Desea borrar el concepto?";
  return s;
}

}  // namespace

void ConceptEditor::BuildControls() {
  oSerial_ = std::make_unique<CCOMBOBOX>(*this, kSerial);
}

void ConceptEditor::Fill() {
  FillSerials(*oSerial_, this, Negocio());
}

void ConceptEditor::LoadRow(const xb::Table& t) {
  LoadCombo(*oSerial_, t, "SERIAL");
  for (const Sign& s : signs_) LoadRadioPair(s.plus, s.minus, t, s.field);
}

void ConceptEditor::LoadDefaults() {
  for (const Sign& s : signs_) SetCheck(s.plus, 1);
}

void ConceptEditor::WriteFields(xb::Table& t) {
  PutCombo(*oSerial_, t, "SERIAL");
  for (const Sign& s : signs_) t.Put(s.field, xb::Value::Number(Check(s.plus) ? 1 : 0));
}

CONCEPTD::CONCEPTD(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<E_CONCD>(desktop, template_name, business, Setup()) {}

CatalogSetup CONCEPTD::Setup() {
  CatalogSetup s = ConceptSetup("CONCEPTD", kMenuId);
  s.edit_template = "E_CONCEPTD";
  s.references = {{"DET_DDA", "DET_DDA3", "CONCEPTO"}, {"ENC_TIP", "ENC_TIP2", "C_DEUDA"}};
  return s;
}

CONCEPTT::CONCEPTT(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<E_CONCT>(desktop, template_name, business, Setup()) {}

CatalogSetup CONCEPTT::Setup() {
  CatalogSetup s = ConceptSetup("CONCEPTT", kMenuId);
  s.edit_template = "E_CONCEPTT";
  s.references = {{"ENC_DDA", "ENC_DDA3", "CONCEPTO"}};
  return s;
}

}  // namespace qz
