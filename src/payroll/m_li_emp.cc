#include "payroll/m_li_emp.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "lib/payroll/employee_list_fields.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

const std::vector<int> kPagina = {M_LI_EMP::kVertical, M_LI_EMP::kHorizontal};
const std::vector<int> kLetra = {M_LI_EMP::kLetra1, M_LI_EMP::kLetra2, M_LI_EMP::kLetra3};

std::vector<BoundField> ItemFields(int n) {
  return {{M_LI_EMP::kTitulo + n, "TITULO", BoundField::kText, ""},
          {M_LI_EMP::kCheck + n, "CHECK", BoundField::kCheck, ""},
          {M_LI_EMP::kPosicion + n, "POSICION", BoundField::kNumber, "9999"},
          {M_LI_EMP::kLongitud + n, "LONGITUD", BoundField::kNumber, "9999"}};
}

// The DET_EMP key of item n: business + format + STR(n, 2).
std::string ItemKey(const std::string& business, const std::string& code, int n) {
  std::string item = std::to_string(n);
  return business + code + std::string(2 - item.size(), ' ') + item;
}

}  // namespace

void M_LI_EMP::LoadNew() {
  SetCheck(kVertical, 1);
  SetCheck(kLetra1, 1);
  // A new format offers every field under its own name, in list order.
  const auto& fields = EmployeeListFields();
  for (int n = 1; n <= kItems; ++n) {
    SetText(kTitulo + n, fields[n - 1]);
    SetText(kPosicion + n, std::to_string(n));
    SetText(kLongitud + n, "10");
  }
}

void M_LI_EMP::LoadRow() {
  // Items the format lacks show the defaults of a new format.
  LoadNew();
  SetText(kDescrip, FieldText(table(), "DESCRIP"));
  LoadChoice(*this, table(), "PAGINA", kPagina, {0, 1});
  LoadChoice(*this, table(), "LETRA", kLetra, {1, 2, 3});
  TablePtr det = OpenTable(this, "DET_EMP");
  if (!det) return;
  xb::Table& d = det->table();
  if (d.SetOrder("DET_EMP").ok()) {
    for (int n = 1; n <= kItems; ++n) {
      if (d.Seek(xb::Value::Char(ItemKey(Negocio(), codigo(), n))).ok() && d.Found())
        LoadBound(*this, d, ItemFields(n));
    }
  }
  CloseTable(det);
}

bool M_LI_EMP::Validate() {
  if (TrimRight(Text(kCodigo)).empty()) {
    MESSAGE_BOX("El código no puede definirse en blanco", "Error", kMbIconStop);
    SetFocus(kCodigo);
    return false;
  }
  if (TrimRight(Text(kDescrip)).empty()) {
    MESSAGE_BOX("La descripción no puede definirse en blanco", "Error", kMbIconStop);
    SetFocus(kDescrip);
    return false;
  }
  for (int n = 1; n <= kItems; ++n)
    if (!BoundNumbersValid(*this, ItemFields(n))) return false;
  return true;
}

void M_LI_EMP::WriteFields() {
  xb::Table& t = table();
  t.Put("DESCRIP", xb::Value::Char(ToField(Text(kDescrip), FieldWidth(t, "DESCRIP"))));
  WriteChoice(*this, t, "PAGINA", kPagina, {0, 1});
  WriteChoice(*this, t, "LETRA", kLetra, {1, 2, 3});
}

void M_LI_EMP::WriteDetails(const std::string& code) {
  TablePtr det = OpenTable(this, "DET_EMP");
  if (!det) return;
  xb::Table& d = det->table();
  const auto& fields = EmployeeListFields();
  const bool ordered = d.SetOrder("DET_EMP").ok();
  for (int n = 1; n <= kItems; ++n) {
    // Modify rewrites the item it finds; a missing one (or every one of a
    // new format) is appended.
    bool found = ordered && d.Seek(xb::Value::Char(ItemKey(Negocio(), code, n))).ok() && d.Found();
    if (found ? !LockForModify(*det) : !AddNewRec(*det)) continue;
    if (!found) {
      d.Put("NEGOCIO", xb::Value::Char(Negocio()));
      d.Put("CODIGO", xb::Value::Char(code));
      d.Put("ITEM", xb::Value::Number(n));
    }
    d.Put("CAMPO", xb::Value::Char(ToField(fields[n - 1], FieldWidth(d, "CAMPO"))));
    WriteBound(*this, d, ItemFields(n));
    UnlockForModify(*det);
    MULTITASK();
  }
  CloseTable(det);
}

}  // namespace qz
