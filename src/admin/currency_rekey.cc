#include "admin/currency_rekey.h"

#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"

namespace qz {

RekeyTarget CodeTarget(const std::string& table, const std::string& tag, const std::string& field,
                       const std::string& business, const std::string& code) {
  RekeyTarget t;
  t.table = table;
  t.tag = tag;
  t.field = field;
  t.seek = business + code;
  t.in_range = [business, code, field](const xb::Table& row) {
    return FieldBytes(row, "NEGOCIO") == business &&
           TrimRight(FieldBytes(row, field)) == TrimRight(code);
  };
  return t;
}

RekeyRows::RekeyRows(std::vector<RekeyTarget> targets, std::string old_code, std::string new_code)
    : targets_(std::move(targets)),
      old_code_(std::move(old_code)),
      new_code_(std::move(new_code)) {}

RekeyRows::~RekeyRows() {
  for (auto& [name, t] : tables_) CloseTable(t);
}

WDBTable& RekeyRows::TableOf(size_t target) {
  TablePtr& t = tables_[targets_[target].table];
  // A table that cannot be opened is a fault: nothing has been written yet.
  if (!t) t = OpenTable(nullptr, targets_[target].table);
  if (!t) ThrowFault(kGenOpen, "No se puede abrir archivo: " + targets_[target].table, "", "REKEY");
  return *t;
}

std::string RekeyRows::Padded(const std::string& code, size_t target) {
  std::string out = code;
  int width = FieldWidth(TableOf(target).table(), targets_[target].field);
  if (width > 0) out.resize(width, ' ');
  return out;
}

void RekeyRows::Collect(size_t i) {
  const RekeyTarget& target = targets_[i];
  WDBTable& handle = TableOf(i);
  xb::Table& t = handle.table();
  handle.SetOrder(target.tag);
  std::vector<uint32_t> rows;
  for (handle.Seek(target.seek, true); !t.Eof() && target.in_range(t); t.Skip(1)) {
    if (!target.wanted || target.wanted(t, t.RecNo())) rows.push_back(t.RecNo());
  }
  for (uint32_t recno : rows) {
    handle.GoTo(recno);
    LOCK_WITHOUT_LOG(handle);
    // The lock re-read the row: another user may have changed it meanwhile.
    if (t.Eof() || t.Deleted() || !target.in_range(t) ||
        (target.wanted && !target.wanted(t, recno))) {
      t.UnlockRecord(recno);
      continue;
    }
    found_.push_back({i, recno});
  }
}

int RekeyRows::Run() {
  journaled_ = InServerTransaction();
  for (size_t i = 0; i < targets_.size(); ++i) Collect(i);
  for (const Found& f : found_) {
    WDBTable& handle = TableOf(f.target);
    const std::string& field = targets_[f.target].field;
    handle.GoTo(f.recno);
    LOCK_FOR_MODIFY(handle);
    changed_.push_back({f.target, f.recno, FieldBytes(handle.table(), field)});
    handle.FieldPut(field, xb::Value::Char(Padded(new_code_, f.target)));
    UNLOCK_FOR_MODIFY(handle);
    MULTITASK();
  }
  return static_cast<int>(changed_.size());
}

void RekeyRows::Undo() {
  if (journaled_) return;
  std::string problem;
  for (auto it = changed_.rbegin(); it != changed_.rend(); ++it) {
    try {
      WDBTable& handle = TableOf(it->target);
      handle.GoTo(it->recno);
      LOCK_FOR_MODIFY(handle);
      handle.FieldPut(targets_[it->target].field, xb::Value::Char(it->before));
      UNLOCK_FOR_MODIFY(handle);
    } catch (const Fault& f) {
      if (problem.empty()) problem = targets_[it->target].table + ": " + f.info().description;
    }
  }
  changed_.clear();
  if (!problem.empty())
    MESSAGE_BOX("No se pudo deshacer el cambio de código por completo:\r\n" + problem, "Alerta",
                kMbIconStop);
}

}  // namespace qz
