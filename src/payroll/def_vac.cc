#include "payroll/def_vac.h"

#include "lib/ui/catalog_data.h"
#include "payroll/def_vac2.h"
#include "payroll/detail_rows.h"

namespace qz {

bool MANT_VAC::AbrirBases() {
  defaults_ = OpenTable(this, "ENC_VAC");
  return defaults_ != nullptr;
}

void MANT_VAC::CloseOwnTables() {
  CloseTable(defaults_);
}

bool MANT_VAC::OtherDefaultExists() {
  xb::Table& t = defaults_->table();
  const std::string key = Negocio() + "1";
  if (!t.SetOrder("ENC_VAC1").ok() || !t.Seek(xb::Value::Char(key)).ok()) return false;
  for (; !t.Eof(); t.Skip(1)) {
    auto negocio = t.Get("NEGOCIO");
    if (!negocio.ok() || negocio->str() != Negocio() || FieldNumber(t, "DEFAULT") != 1) break;
    if (mode() == 0 || t.RecNo() != loaded_recno()) return true;
  }
  return false;
}

bool MANT_VAC::Validate(const std::string& code) {
  if (TrimRight(code).empty()) return Refuse(kBlankCode, kCodigo);
  if (TrimRight(Text(kDescrip)).empty()) return Refuse(kBlankDescrip, kDescrip);
  if (Check(kDefault) && OtherDefaultExists()) return Refuse(kSecondDefault, kDefault);
  return true;
}

void MANT_VAC::WriteFields(xb::Table& t) {
  t.Put("DEFAULT", xb::Value::Number(Check(kDefault) ? 1 : 0));
}

DEF_VAC::DEF_VAC(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<MANT_VAC>(desktop, template_name, business, Setup()) {}

CatalogSetup DEF_VAC::Setup() {
  CatalogSetup s;
  s.name = "VAC";
  s.table = "ENC_VAC";
  s.tag = "ENC_VAC";
  s.key_width = 4;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "XXXX"}, {"Descripción", "DESCRIP", std::string(40, 'X')}};
  s.duplicate_on_add = s.duplicate_on_modify = "El código ya existe";
  s.delete_question = "Desea borrar el registro?";
  s.edit_template = "MANT_VAC";
  // A type's days are keyed by its code, and the employees name their type:
  // both would be orphaned by a new code.
  s.references = {{"DET_VAC", "DET_VAC", "CODIGO"},
                  {"ENC_PERS", "ENC_PERS2", "TIPO_VAC", CodeReference::Match::kField}};
  return s;
}

bool DEF_VAC::Init() {
  if (!CatalogScreen::Init()) return false;
  ADD(kAsignarDias, [this] { AsignarDias(); });
  return true;
}

void DEF_VAC::Delete() {
  const uint32_t rec = SelectedRecNo();
  std::string code;
  if (rec != 0 && main_table()->GoTo(rec).ok()) {
    auto v = main_table()->Get("CODIGO");
    if (v.ok() && v->is_char()) code = v->str();
  }
  CatalogScreen::Delete();
  xb::Table& t = *main_table();
  if (code.empty() || !t.GoTo(rec).ok() || !t.Deleted()) return;  // not deleted
  // The days of a deleted type would come back under a new type given its
  // code.
  TablePtr days = OpenTable(this, "DET_VAC");
  if (!days) return;
  DeleteDetailRows(*days, "DET_VAC", Negocio() + code);
  CloseTable(days);
}

void DEF_VAC::AsignarDias() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX(kNoTypes, "Aviso", kMbIconInformation);
    return;
  }
  xb::Table& t = *main_table();
  t.GoTo(SelectedRecNo());
  auto code = t.Get("CODIGO");
  std::string type = code.ok() && code->is_char() ? code->str() : std::string();
  type.resize(setup().key_width, ' ');
  DEF_VAC2::Open(*this, type, FieldText(t, "DESCRIP"));
}

}  // namespace qz
