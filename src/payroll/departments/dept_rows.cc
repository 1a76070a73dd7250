#include "payroll/departments/dept_rows.h"

#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"

namespace qz::dept {

std::vector<uint32_t> RowsOf(xb::Table& t, const std::string& tag, const std::string& prefix) {
  std::vector<uint32_t> out;
  const xb::Value key = xb::Value::Char(prefix);
  xb::Status st = t.SetOrder(tag);
  if (st.ok()) st = t.SetScope(key, key);
  if (!st.ok()) ThrowFault(kGenRead, st.message(), t.path(), "RowsOf");
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) out.push_back(t.RecNo());
  (void)t.ClearScope();
  return out;
}

void PutBytes(xb::Table& t, const char* field, const std::string& bytes) {
  const int width = FieldWidth(t, field);
  if (width > 0) t.Put(field, xb::Value::Char(PadRight(bytes, width)));
}

void PutText(xb::Table& t, const char* field, const std::string& utf8) {
  const int width = FieldWidth(t, field);
  if (width > 0) t.Put(field, xb::Value::Char(ToField(utf8, width)));
}

void PutNumber(xb::Table& t, const char* field, double n) {
  if (t.FieldIndex(field) >= 0) t.Put(field, xb::Value::Number(n));
}

}  // namespace qz::dept
