#include "payroll/def_tip.h"

#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "payroll/ed_tip.h"

namespace qz {
namespace {

std::string Bytes(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

// Whether `table` has a row of the business with column type `code`,
// through `tag` (business + column).
bool Referenced(const std::string& table, const std::string& tag, const std::string& business,
                const std::string& code) {
  TablePtr h = OpenTable(nullptr, table);
  xb::Table& t = h->table();
  bool found = t.SetOrder(tag).ok() && t.Seek(xb::Value::Char(business + code)).ok() && t.Found();
  CloseTable(h);
  return found;
}

// Deletes every row of the business whose `field` holds `code`, walking
// `tag` (business + that field).
void DeleteReferences(const CodeReference& ref, const std::string& business,
                      const std::string& code) {
  TablePtr h = OpenTable(nullptr, ref.table);
  xb::Table& t = h->table();
  std::string value = code;
  value.resize(FieldWidth(t, ref.field), ' ');
  if (t.SetOrder(ref.tag).ok() && t.Seek(xb::Value::Char(business + value)).ok()) {
    while (!t.Eof() && Bytes(t, "NEGOCIO") == business && Bytes(t, ref.field) == value) {
      // The deleted row leaves the tag: remember the next one.
      uint32_t here = t.RecNo();
      t.Skip(1);
      uint32_t next = t.Eof() ? 0 : t.RecNo();
      t.GoTo(here);
      if (LockForModify(*h)) {
        h->Delete();
        UnlockForModify(*h);
      }
      MULTITASK();
      if (next == 0) break;
      t.GoTo(next);
    }
  }
  CloseTable(h);
}

}  // namespace

DEF_TIP::DEF_TIP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup DEF_TIP::Setup() {
  CatalogSetup s;
  s.name = "DEF_TIP";
  s.table = "ENC_TIP";
  s.tag = "ENC_TIP";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Cod", "CODIGO", "!!"}, {"Descrpción", "DESCRIP", std::string(37, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de tipo ya definido...";
  s.delete_question = kDeleteQuestion;
  s.edit_template = "DEF_TIP2";
  s.references = {{"DET_PERS", "DET_PERS2", "COD_COLUMN"},
                  {"DET_DEPT", "DET_DEPT5", "COD_COLUMN"},
                  {"DET_REPP", "DET_REPP3", "COD_COLUMN"},
                  {"DET_PER3", "DET_PER3_B", "COD_COLUMN"}};
  return s;
}

void DEF_TIP::Add() {
  OpenEditor(0);
}

void DEF_TIP::Modify() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  OpenEditor(1);
}

void DEF_TIP::OpenEditor(int mode) {
  auto editor = std::make_unique<ED_TIP>(*this, setup().edit_template, mode,
                                         mode == 1 ? SelectedRecNo() : 0, Negocio());
  ED_TIP* raw = editor.get();
  desktop().Adopt(std::move(editor));
  if (!raw->Init()) raw->ENDDIALOG(2);
}

void DEF_TIP::Delete() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  const uint32_t rec = SelectedRecNo();
  if (MESSAGE_BOX(kDeleteQuestion, "Advertencia", kMbOkCancel | kMbIconQuestion) != 1) return;
  WDBTable& t = *main_wdb();
  if (!t.table().GoTo(rec).ok() || t.table().Deleted()) {
    oB()->REFRESHALL();
    return;
  }
  const std::string code = Bytes(t.table(), "CODIGO");
  const std::string& business = Negocio();
  const int stop = kMbOkCancel | kMbIconStop;  // style 17
  if (Referenced("DET_PERS", "DET_PERS2", business, code) &&
      MESSAGE_BOX(kHasEmployees, "Advertencia", stop) != 1)
    return;
  if (Referenced("DET_DEPT", "DET_DEPT5", business, code) &&
      MESSAGE_BOX(kHasDepartments, "Advertencia", stop) != 1)
    return;
  WAIT wait(this, setup().wait_text);
  START_TRANSACTION();
  // The type's own row first: once it is locked, no other workstation can
  // save it while its dependants go.
  if (!t.table().GoTo(rec).ok() || !LockForModify(t)) {
    END_TRANSACTION();
    return;
  }
  if (t.table().Deleted() || Bytes(t.table(), "CODIGO") != code) {
    UnlockForModify(t);
    END_TRANSACTION();
    oB()->REFRESHALL();
    return;
  }
  for (const auto& ref : setup().references) DeleteReferences(ref, business, code);
  DeleteReferences({"DET_TIP", "DET_TIP", "CODIGO"}, business, code);
  t.table().GoTo(rec);
  t.Delete();
  UnlockForModify(t);
  END_TRANSACTION();
  wait.TERMINAR();
  oB()->NMAXREC -= 1;
  oB()->REFRESHALL();
}

}  // namespace qz
