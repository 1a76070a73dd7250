#include "lib/payroll/table_position.h"

#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

TablePosition::TablePosition(xb::Table* t) : t_(t) {
  order_ = t->Order();
  recno_ = t->RecNo();
  eof_ = t->Eof();
}

TablePosition::~TablePosition() {
  // Best effort: a failure to restore must not hide the helper's own result.
  (void)t_->SetOrder(order_);
  (void)t_->GoTo(eof_ ? 0 : recno_);
}

xb::Status SeekOn(xb::Table& t, const std::string& tag, const std::string& key, bool soft) {
  // Setting the tag even when it is already the controlling one drops any
  // scope the caller left on it, which would otherwise hide rows from us.
  XB_RETURN_IF_ERROR(t.SetOrder(tag));
  return t.Seek(xb::Value::Char(key), soft);
}

std::string PadRight(const std::string& s, size_t n) {
  std::string r = s.substr(0, n);
  r.append(n - r.size(), ' ');
  return r;
}

std::string Str(long long n, int width) {
  std::string d = std::to_string(n);
  if (static_cast<int>(d.size()) > width) return std::string(width, '*');
  return std::string(width - d.size(), ' ') + d;
}

}  // namespace qz
