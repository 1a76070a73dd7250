#include "shell/shell_tables.h"

#include <cstdlib>

#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"
#include "xbase/env.h"

namespace qz {

TablePtr OpenShellTable(const std::string& name, const std::string& tag, bool quiet) {
  try {
    TablePtr t = USE(nullptr, name);
    if (!tag.empty()) t->SetOrder(tag);
    return t;
  } catch (const Fault& f) {
    if (!quiet)
      MESSAGE_BOX("No se puede abrir la tabla " + name + "\r" + f.info().description, "Alerta",
                  kMbIconStop);
    return nullptr;
  }
}

bool ShellTableExists(const std::string& name) {
  return xb::Env::Default()->Resolve(TablePath(name) + ".DBF").ok();
}

bool HasField(const WDBTable& t, const char* field) {
  return t.FieldPos(field) > 0;
}

double NumField(const WDBTable& t, const char* field, double missing) {
  if (!HasField(t, field)) return missing;
  xb::Value v = t.FieldGet(field);
  if (v.is_numeric()) return v.number();
  if (v.type() == xb::Value::Type::kLogical) return v.logical() ? 1 : 0;
  if (v.is_char()) return std::atof(v.str().c_str());
  return missing;
}

int IntField(const WDBTable& t, const char* field, int missing) {
  return static_cast<int>(NumField(t, field, missing));
}

std::string TextField(const WDBTable& t, const char* field, const std::string& missing) {
  if (!HasField(t, field)) return missing;
  return t.TextUtf8(field);
}

std::string RawField(const WDBTable& t, const char* field) {
  if (!HasField(t, field)) return "";
  xb::Value v = t.FieldGet(field);
  return v.is_char() ? v.str() : "";
}

std::optional<int32_t> DateField(const WDBTable& t, const char* field) {
  if (!HasField(t, field)) return std::nullopt;
  xb::Value v = t.FieldGet(field);
  if (v.type() != xb::Value::Type::kDate || v.date() <= 0) return std::nullopt;
  return v.date();
}

int FieldWidthOf(const WDBTable& t, const char* field) {
  int pos = t.FieldPos(field);
  if (pos <= 0) return 0;
  return t.DBStruct()[pos - 1].len;
}

void PutText(WDBTable& t, const char* field, const std::string& utf8) {
  if (HasField(t, field)) t.FieldPut(field, xb::Value::Char(xb::FromUtf8(utf8)));
}

void PutRaw(WDBTable& t, const char* field, const std::string& bytes) {
  if (HasField(t, field)) t.FieldPut(field, xb::Value::Char(bytes));
}

void PutNum(WDBTable& t, const char* field, double v) {
  if (HasField(t, field)) t.FieldPut(field, xb::Value::Number(v));
}

void PutDate(WDBTable& t, const char* field, int32_t julian) {
  if (HasField(t, field)) t.FieldPut(field, xb::Value::Date(julian));
}

std::string BusinessKey(const std::string& code) {
  return PadRight(code, 15);
}

std::string Str(int64_t n, int width) {
  return PadLeft(std::to_string(n), width);
}

}  // namespace qz
