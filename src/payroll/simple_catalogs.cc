// The definitions of the inline-dialog catalogs: table, key, grid, menu id,
// messages, dialog fields and the tables a changed code is carried into.
#include "payroll/simple_catalog.h"

namespace qz {
namespace {

using Match = CodeReference::Match;

const std::vector<CatalogColumn> kUpperCode2 = {{"Código", "CODIGO", "!!"},
                                                {"Descripción", "DESCRIP", std::string(40, '!')}};
const std::vector<CatalogColumn> kAnyCode = {{"Código", "CODIGO", "XXXX"},
                                             {"Descripción", "DESCRIP", std::string(40, 'X')}};

CatalogSetup Base(const std::string& name, const std::string& table, int key_width, int menu_id,
                  const std::string& edit_template) {
  CatalogSetup s;
  s.name = name;
  s.table = table;
  s.tag = table;
  s.key_width = key_width;
  s.menu_id = menu_id;
  s.edit_template = edit_template;
  return s;
}

// "Código  ya definido..." (two blanks) on add, one blank on modify.
void ItemDuplicateMessages(CatalogSetup& s) {
  s.duplicate_on_add = "Código  ya definido...";
  s.duplicate_on_modify = "Código ya definido...";
}

// Countries, ethnic groups, places, contract types, languages and regions
// share their grid and messages; each employee field is carried by value.
SimpleCatalogDef PersonalDataCatalog(const std::string& name, int menu_id,
                                     std::vector<CodeReference> refs) {
  SimpleCatalogDef d;
  d.screen = name;
  d.setup = Base(name, name, 2, menu_id, "MODI_" + name);
  d.setup.columns = kAnyCode;
  ItemDuplicateMessages(d.setup);
  d.setup.delete_question = "¿Desea borrar el Item seleccionado?";
  d.setup.references = std::move(refs);
  return d;
}

CodeReference EmployeeField(const std::string& field, Match match = Match::kField) {
  return {"ENC_PERS", "ENC_PERS", field, match};
}

std::vector<SimpleCatalogDef> Build() {
  std::vector<SimpleCatalogDef> all;

  SimpleCatalogDef salary;  // no duplicate test: repeated codes are allowed
  salary.screen = "TIPO_SAL";  // its operations are ADD_TIPO, MOD_TIPO, DEL_TIPO
  salary.setup = Base("TIPO", "TIPO_SAL", 4, 6347, "E_TIPO_SAL");
  salary.setup.columns = {{"Código", "CODIGO", "XXXX"},
                          {"Descripción", "DESCRIP", std::string(40, 'X')}};
  salary.setup.check_duplicates = false;
  salary.setup.delete_question = "Desea borrar el registro?";
  salary.setup.edit_fields = {"CODIGO", "DESCRIP", "AUMENTO"};
  all.push_back(salary);

  SimpleCatalogDef employee_types;
  employee_types.screen = "TIP_EMP";
  employee_types.setup = Base("TIP_EMP", "TIP_EMP", 2, 2689, "MODITIP_EMP");
  employee_types.setup.columns = kUpperCode2;
  employee_types.setup.duplicate_on_add = employee_types.setup.duplicate_on_modify =
      "Código de tipo de empleado ya definido...";
  employee_types.setup.delete_question = "Desea borrar el tipo de empleado?";
  employee_types.setup.references = {{"ENC_PERS", "ENC_PERS18", "TIPO_EMP"}};
  all.push_back(employee_types);

  SimpleCatalogDef tests;
  tests.screen = "TIP_PRUE";
  tests.setup = Base("TIP_PRUE", "TIP_PRUE", 4, 6465, "E_TIPO_PRUE");
  tests.setup.columns = {{"Código", "CODIGO", "!!!!"},
                         {"Descripción", "DESCRIP", std::string(40, '!')}};
  ItemDuplicateMessages(tests.setup);
  tests.setup.delete_question = "Desea borrar el item?";
  // The payroll module's document serials ("06" padded to MODULO).
  tests.combos = {{610, "COD_SERIAL", "SERIALES", "SERIAL3", "06       "}};
  all.push_back(tests);

  all.push_back(PersonalDataCatalog("PL_PAIS", 4736, {EmployeeField("INF_PAIS")}));
  all.push_back(PersonalDataCatalog("T_ETNIA", 4740, {EmployeeField("INF_ETNIA")}));
  SimpleCatalogDef places = PersonalDataCatalog("UBIC_NAC", 4744, {EmployeeField("INF_LUGAR")});
  places.combos = {{601, "REGION", "REG_NAC", "REG_NAC", ""}};
  all.push_back(places);
  all.push_back(PersonalDataCatalog("T_CONTRA", 4748, {EmployeeField("INF_CONTRA")}));
  all.push_back(
      PersonalDataCatalog("PL_IDIOM", 4752, {EmployeeField("INF_IDIOMA", Match::kInList)}));
  SimpleCatalogDef regions =
      PersonalDataCatalog("REG_NAC", 4780,
                          {{"UBIC_NAC", "UBIC_NAC", "REGION", Match::kField},
                           EmployeeField("INF_REGION")});
  regions.setup.edit_fields = {"CODIGO", "DESCRIP", "NUMERO"};
  all.push_back(regions);

  SimpleCatalogDef provisions;
  provisions.screen = "D_T_PROV";
  provisions.setup = Base("D_T_PROV", "T_PROV", 2, 2729, "E_PROVISION");
  provisions.setup.columns = kUpperCode2;
  ItemDuplicateMessages(provisions.setup);
  provisions.setup.delete_question = "Desea borrar el item?";
  provisions.setup.edit_fields = {"CODIGO", "DESCRIP", "R_PICTURE", "R_ROTULO"};
  provisions.setup.references = {{"DET_DEP2", "DET_DEP4", "TIPO"}};
  provisions.flags = {{504, "IMP_REP"},
                      {505, "AGUINALDO"},
                      {506, "FINAL_MES"},
                      {507, "CARGAR_VAC"},
                      {508, "C_COSTO"}};
  provisions.choices = {{"VACACIONES", {509, 510}}};
  all.push_back(provisions);
  return all;
}

}  // namespace

const std::vector<SimpleCatalogDef>& SimpleCatalogs() {
  static const std::vector<SimpleCatalogDef> all = Build();
  return all;
}

const SimpleCatalogDef* FindSimpleCatalog(const std::string& screen) {
  for (const auto& d : SimpleCatalogs()) {
    if (d.screen == screen) return &d;
  }
  return nullptr;
}

}  // namespace qz
