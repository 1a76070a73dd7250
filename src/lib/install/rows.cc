#include "lib/install/rows.h"

#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {

Day Day::Ymd(int y, int m, int d) {
  return Day{xb::JulianFromYmd(y, m, d)};
}

int Day::year() const {
  int y, m, d;
  xb::YmdFromJulian(jd, &y, &m, &d);
  return y;
}
int Day::month() const {
  int y, m, d;
  xb::YmdFromJulian(jd, &y, &m, &d);
  return m;
}
int Day::day() const {
  int y, m, d;
  xb::YmdFromJulian(jd, &y, &m, &d);
  return d;
}

std::string Cp1252(std::string_view utf8) {
  return xb::FromUtf8(std::string(utf8));
}

Row::Row(xb::Table& t) : t_(t) {
  status_ = t_.Append();
}

void Row::Put(const char* field, const xb::Value& v) {
  if (!status_.ok()) return;
  status_ = t_.Put(field, v);
}

Row& Row::Set(const char* field, std::string_view utf8_text) {
  if (!status_.ok()) return *this;
  std::string bytes = Cp1252(utf8_text);
  int i = t_.FieldIndex(field);
  if (i < 0) {
    status_ = xb::Status::NotFound(t_.path() + ": no field " + field);
    return *this;
  }
  const xb::FieldDef& f = t_.fields()[i];
  // The engine cuts long texts to the field; installation data that does not
  // fit is a mistake in the data, so it is reported instead.
  if (f.type == 'C' && bytes.size() > f.len) {
    status_ = xb::Status::InvalidArgument(t_.path() + ": \"" + std::string(utf8_text) +
                                          "\" is longer than " + f.name + " (" +
                                          std::to_string(f.len) + ")");
    return *this;
  }
  Put(field, xb::Value::Char(std::move(bytes)));
  return *this;
}

Row& Row::Set(const char* field, double number) {
  Put(field, xb::Value::Number(number));
  return *this;
}

Row& Row::Set(const char* field, Day date) {
  Put(field, xb::Value::Date(date.jd));
  return *this;
}

Row& Row::Set(const char* field, bool logical) {
  Put(field, xb::Value::Logical(logical));
  return *this;
}

Row& Row::SetRaw(const char* field, const xb::Value& value) {
  Put(field, value);
  return *this;
}

xb::Status Row::Done() {
  if (!status_.ok()) return status_;
  return t_.WriteBack();
}

}  // namespace qz
