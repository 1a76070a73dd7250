#include "lib/ui/catalog_data.h"

#include "lib/data/locking.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {

TablePtr OpenTable(WDIAG* owner, const std::string& name) {
  return USE(owner, name);
}

void CloseTable(TablePtr& t) {
  if (t) KILLTABLA(t);
}

bool LockForModify(WDBTable& t) {
  if (t.Eof() || t.RecNo() == 0) return false;
  LOCK_FOR_MODIFY(t);
  return true;
}

void UnlockForModify(WDBTable& t) {
  UNLOCK_FOR_MODIFY(t);
}

bool AddNewRec(WDBTable& t) {
  ADD_NEW_REC(t);
  return true;
}

std::string ToField(const std::string& utf8, int width) {
  std::string bytes = xb::FromUtf8(utf8);
  if (width > 0) bytes.resize(width, ' ');
  return bytes;
}

std::string FromField(const xb::Value& v) {
  return v.is_char() ? xb::ToUtf8(v.str()) : "";
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

std::string FieldText(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() ? TrimRight(FromField(*v)) : std::string();
}

std::string FieldBytes(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

double FieldNumber(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

int FieldWidth(const xb::Table& t, const std::string& field) {
  int i = t.FieldIndex(field);
  return i < 0 ? 0 : t.fields()[i].len;
}

}  // namespace qz

namespace qz {

std::string CodeField(const std::string& utf8, const std::string& picture, int width) {
  std::string bytes = xb::FromUtf8(utf8);
  bool all_upper = !picture.empty() && picture.find_first_not_of('!') == std::string::npos;
  if (all_upper) {
    bytes = UpperCp1252(bytes);
  } else {
    for (size_t i = 0; i < bytes.size() && i < picture.size(); ++i)
      if (picture[i] == '!') bytes[i] = UpperCp1252(std::string(1, bytes[i]))[0];
  }
  if (width > 0) bytes.resize(width, ' ');
  return bytes;
}

bool IsNumericType(char type) {
  return type == 'N' || type == 'F' || type == 'I' || type == 'B' || type == 'Y';
}

}  // namespace qz
