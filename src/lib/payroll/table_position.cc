#include "lib/payroll/table_position.h"

#include "xbase/value.h"

namespace qz {

TablePosition::TablePosition(xb::Table* t) : t_(t) {
  order_ = t->Order();
  scope_ = t->SavedScope();
  recno_ = t->RecNo();
  eof_ = t->Eof();
}

TablePosition::~TablePosition() {
  // Best effort: a failure to restore must not hide the helper's own result.
  (void)Restore();
}

xb::Status TablePosition::Restore() {
  if (restored_) return xb::Status::OK();
  restored_ = true;
  // The order first: setting it drops any scope, so the scope comes after.
  xb::Status s = t_->SetOrder(order_);
  if (s.ok()) s = t_->RestoreScope(scope_);
  // The record last, even when the scope could not be set: the caller's
  // record is still the best place to leave the table.
  xb::Status g = t_->GoTo(eof_ ? 0 : recno_);
  return s.ok() ? g : s;
}

xb::Status SeekOn(xb::Table& t, const std::string& tag, const std::string& key, bool soft) {
  // Setting the tag even when it is already the controlling one drops any
  // scope the caller left on it, which would otherwise hide rows from us.
  XB_RETURN_IF_ERROR(t.SetOrder(tag));
  return t.Seek(xb::Value::Char(key), soft);
}

std::string Str(long long n, int width) {
  std::string d = std::to_string(n);
  if (static_cast<int>(d.size()) > width) return std::string(width, '*');
  return std::string(width - d.size(), ' ') + d;
}

}  // namespace qz
