#include "payroll/password_field.h"

#include "lib/security/passwords.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"

namespace qz {

bool PasswordStorable(WDIAG& w, int id) {
  const std::string typed = w.Text(id);
  if (typed.empty() || StorablePassword(ToField(typed, 0))) return true;
  MESSAGE_BOX("La clave contiene un carácter que no se puede guardar", "Error", kMbIconStop);
  w.SetFocus(id);
  return false;
}

void WritePassword(WDIAG& w, int id, xb::Table& t, const std::string& field, bool adding) {
  const std::string typed = w.Text(id);
  if (!typed.empty() || adding) {
    std::string stored = typed.empty() ? std::string() : ENCRYPT_STRING(ToField(typed, 0), 1);
    stored.resize(FieldWidth(t, field) > 0 ? FieldWidth(t, field) : kPasswordWidth, ' ');
    t.Put(field, xb::Value::Char(stored));
  }
  w.SetText(id, "");
}

}  // namespace qz
