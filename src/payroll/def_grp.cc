#include "payroll/def_grp.h"

#include "lib/ui/catalog_data.h"

namespace qz {

void ED_GRP::LoadRow(const xb::Table& t) {
  SetText(kPicture, FieldText(t, "PICTURE"));
  ShowNumber(kOrden, t, "ORDEN", "9999");
  LoadCheck(kDetalle, t, "DETALLE");
  // TIPO 0 adds, 1 subtracts.
  SetCheck(FieldNumber(t, "TIPO") == 1 ? kRestar : kSumar, 1);
}

bool ED_GRP::Validate(const std::string& code) {
  (void)code;
  return NumbersValid({kOrden});
}

void ED_GRP::WriteFields(xb::Table& t) {
  t.Put("PICTURE", xb::Value::Char(ToField(Text(kPicture), FieldWidth(t, "PICTURE"))));
  t.Put("ORDEN", xb::Value::Number(Number(kOrden)));
  t.Put("DETALLE", xb::Value::Number(Check(kDetalle) ? 1 : 0));
  t.Put("TIPO", xb::Value::Number(Check(kRestar) ? 1 : 0));
}

DEF_GRP::DEF_GRP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<ED_GRP>(desktop, template_name, business, Setup()) {}

CatalogSetup DEF_GRP::Setup() {
  CatalogSetup s;
  s.name = "DEF_GRP";
  s.table = "GRP_CMP";
  s.tag = "GRP_CMP";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", std::string(15, '!')},
               {"Descripción", "DESCRIP", std::string(31, '!')}};
  s.duplicate_on_add = "Este Código ya existe...";
  s.duplicate_on_modify = "Este Código  ya existe...";
  s.delete_question = "¿Desea borrar el item seleccionado?";
  s.edit_template = "ED_GRP";
  // No tag of the column types begins with the group.
  s.references = {{"ENC_TIP", "ENC_TIP", "GRUPO", CodeReference::Match::kField}};
  s.wait_text = "Un momento por favor(Recodificando)...";
  return s;
}

}  // namespace qz
