#include "payroll/accion_e.h"

#include "lib/ui/catalog_data.h"
#include "payroll/code_lists.h"

namespace qz {

void E_TIPACC::BuildControls() {
  oSerial_ = std::make_unique<CCOMBOBOX>(*this, kSerial);
  oEtapa_ = std::make_unique<CCOMBOBOX>(*this, kEtapa);
}

void E_TIPACC::Fill() {
  FillSerials(*oSerial_, this, Negocio());
  FillCodes(*oEtapa_, this, "ETAP_PLA", Negocio());
  oEtapa_->ADD(kDefaultStage, kDefaultStageCargo);
}

void E_TIPACC::LoadRow(const xb::Table& t) {
  int id = kFirstFlag;
  for (const char* f : kFlags) LoadCheck(id++, t, f);
  LoadCombo(*oSerial_, t, "SERIAL");
  LoadCombo(*oEtapa_, t, "ETAPA_INI");
}

bool E_TIPACC::Validate(const std::string& code) {
  (void)code;
  if (!oEtapa_->CURCARGO()) return Refuse(kNoStage, kEtapa);
  return true;
}

void E_TIPACC::WriteFields(xb::Table& t) {
  int id = kFirstFlag;
  for (const char* f : kFlags) t.Put(f, xb::Value::Number(Check(id++) ? 1 : 0));
  PutCombo(*oSerial_, t, "SERIAL");
  std::string stage = oEtapa_->CURCARGO().value_or("");
  if (stage == kDefaultStageCargo) {
    stage = DefaultInitialStage(this, Negocio());
  } else {
    stage = ToField(stage, 0);
  }
  stage.resize(FieldWidth(t, "ETAPA_INI"), ' ');
  t.Put("ETAPA_INI", xb::Value::Char(stage));
}

ACCION_E::ACCION_E(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<E_TIPACC>(desktop, template_name, business, Setup()) {}

CatalogSetup ACCION_E::Setup() {
  CatalogSetup s;
  s.name = "ACCION_E";
  s.table = "TIP_ACC";
  s.tag = "TIP_ACC";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!"}, {"Descripción", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de acción ya definido...";
  s.delete_question = "¿Desea borrar el tipo de acción?";
  s.edit_template = "MODIACCION_E";
  s.references = {{"ACCIONES", "ACCIONES2", "TIPO"}};
  s.wait_text = "Un momento por favor(Recodificando)...";
  return s;
}

}  // namespace qz
