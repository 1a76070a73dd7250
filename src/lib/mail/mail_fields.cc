#include "lib/mail/mail_fields.h"

#include "lib/settings/globals.h"
#include "xbase/codepage.h"

namespace qz::mail {

void PutText(WDBTable& t, const char* field, const std::string& utf8) {
  if (t.FieldPos(field) > 0) t.FieldPut(field, xb::Value::Char(xb::FromUtf8(utf8)));
}

void PutNum(WDBTable& t, const char* field, double v) {
  if (t.FieldPos(field) > 0) t.FieldPut(field, xb::Value::Number(v));
}

void PutDate(WDBTable& t, const char* field, int32_t julian) {
  if (t.FieldPos(field) > 0) t.FieldPut(field, xb::Value::Date(julian));
}

std::string GetText(const WDBTable& t, const char* field) {
  return t.FieldPos(field) > 0 ? t.TextUtf8(field) : std::string();
}

double GetNum(const WDBTable& t, const char* field) {
  if (t.FieldPos(field) <= 0) return 0;
  xb::Value v = t.FieldGet(field);
  return v.is_numeric() ? v.number() : 0;
}

}  // namespace qz::mail
