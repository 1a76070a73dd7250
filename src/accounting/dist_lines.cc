#include "accounting/dist_lines.h"

#include <algorithm>
#include <optional>

#include "lib/data/use.h"
#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

// The records of `t` (on `tag`) whose key begins with `prefix`; collected
// first, because the rows a caller changes or deletes leave the range.
std::vector<uint32_t> RecordsWithPrefix(xb::Table& t, const std::string& tag,
                                        const std::string& prefix) {
  std::vector<uint32_t> out;
  std::optional<xb::Value> scope = xb::Value::Char(prefix);
  if (!t.SetOrder(tag).ok() || !t.SetScope(scope, scope).ok()) return out;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) out.push_back(t.RecNo());
  t.SetScope(std::nullopt, std::nullopt);
  return out;
}

// Locks record `recno` of `t`; false when it is gone (deleted meanwhile).
bool LockRow(WDBTable& t, uint32_t recno) {
  if (!t.table().GoTo(recno).ok() || !LockForModify(t)) return false;
  if (!t.table().Deleted()) return true;
  UnlockForModify(t);
  return false;
}

// The employees of the business whose distribution table is `code`.
std::vector<std::string> EmployeesUsing(const std::string& business, const std::string& code) {
  std::vector<std::string> out;
  TablePtr handle = OpenTable(nullptr, "ENC_PERS");
  if (!handle) return out;
  xb::Table& t = handle->table();
  std::string table_code = code;
  table_code.resize(FieldWidth(t, "DIST_COST"), ' ');
  for (uint32_t rec : RecordsWithPrefix(t, "ENC_PERS2", business)) {
    if (t.GoTo(rec).ok() && FieldBytes(t, "DIST_COST") == table_code)
      out.push_back(FieldBytes(t, "CODIGO"));
  }
  CloseTable(handle);
  return out;
}

// The columns of `employee` that have their own split.
std::vector<std::string> SplitColumns(WDBTable& det_pers, const std::string& business,
                                      const std::string& employee) {
  std::vector<std::string> out;
  xb::Table& t = det_pers.table();
  for (uint32_t rec : RecordsWithPrefix(t, "DET_PERS", business + employee)) {
    if (t.GoTo(rec).ok() && FieldNumber(t, "CENTRO_IND") == 1)
      out.push_back(FieldBytes(t, "COD_COLUMN"));
  }
  return out;
}

void FollowInEmployees(const std::string& business, const std::string& code,
                       const std::vector<DistLine>& removed, const std::vector<DistLine>& added,
                       DistLineChanges* changes) {
  if (removed.empty() && added.empty()) return;
  std::vector<std::string> employees = EmployeesUsing(business, code);
  if (employees.empty()) return;
  TablePtr det_per3 = OpenTable(nullptr, "DET_PER3");
  TablePtr det_pers = OpenTable(nullptr, "DET_PERS");
  if (!det_per3 || !det_pers) {
    CloseTable(det_per3);
    CloseTable(det_pers);
    return;
  }
  xb::Table& splits = det_per3->table();
  for (const std::string& employee : employees) {
    for (const DistLine& line : removed) {
      for (uint32_t rec : RecordsWithPrefix(splits, "DET_PER3_C", business + employee + line.centre)) {
        if (!LockRow(*det_per3, rec)) continue;
        det_per3->Delete();
        UnlockForModify(*det_per3);
        ++changes->splits_removed;
      }
    }
    if (added.empty()) continue;
    const std::vector<std::string> columns = SplitColumns(*det_pers, business, employee);
    for (const DistLine& line : added) {
      // A column that already splits onto the centre keeps its own share.
      std::vector<std::string> has;
      for (uint32_t rec : RecordsWithPrefix(splits, "DET_PER3_C", business + employee + line.centre))
        if (splits.GoTo(rec).ok()) has.push_back(FieldBytes(splits, "COD_COLUMN"));
      for (const std::string& column : columns) {
        if (std::find(has.begin(), has.end(), column) != has.end()) continue;
        if (!AddNewRec(*det_per3)) continue;
        splits.Put("NEGOCIO", xb::Value::Char(business));
        splits.Put("CODIGO", xb::Value::Char(employee));
        splits.Put("COD_COLUMN", xb::Value::Char(column));
        splits.Put("COD_CENTRO", xb::Value::Char(line.centre));
        splits.Put("PORCENTAJE", xb::Value::Number(line.percent));
        UnlockForModify(*det_per3);
        ++changes->splits_added;
      }
    }
  }
  CloseTable(det_per3);
  CloseTable(det_pers);
}

}  // namespace

std::vector<DistLine> ReadDistLines(const std::string& business, const std::string& code) {
  std::vector<DistLine> out;
  TablePtr handle = OpenTable(nullptr, "D_COSTO");
  if (!handle) return out;
  xb::Table& t = handle->table();
  for (uint32_t rec : RecordsWithPrefix(t, "D_COSTO1", business + code)) {
    if (t.GoTo(rec).ok())
      out.push_back({FieldBytes(t, "COD_CENTRO"), FieldNumber(t, "PORCENTAJE")});
  }
  CloseTable(handle);
  return out;
}

DistLineChanges SaveDistLines(const std::string& business, const std::string& old_code,
                              const std::string& code, const std::vector<DistLine>& lines) {
  DistLineChanges changes;
  std::vector<DistLine> removed, added;
  TablePtr handle = OpenTable(nullptr, "D_COSTO");
  if (!handle) return changes;
  xb::Table& t = handle->table();
  std::vector<std::string> kept;
  for (uint32_t rec : RecordsWithPrefix(t, "D_COSTO1", business + old_code)) {
    if (!LockRow(*handle, rec)) continue;
    const std::string centre = FieldBytes(t, "COD_CENTRO");
    auto line = std::find_if(lines.begin(), lines.end(),
                             [&](const DistLine& l) { return l.centre == centre; });
    const bool listed = line != lines.end();
    // A centre stored twice keeps one row.
    const bool repeated = std::find(kept.begin(), kept.end(), centre) != kept.end();
    if (!listed || repeated) {
      if (!listed) removed.push_back({centre, FieldNumber(t, "PORCENTAJE")});
      handle->Delete();
      ++changes.removed;
    } else {
      kept.push_back(centre);
      if (old_code != code) t.Put("CODIGO", xb::Value::Char(code));
      if (FieldNumber(t, "PORCENTAJE") != line->percent) {
        t.Put("PORCENTAJE", xb::Value::Number(line->percent));
        ++changes.changed;
      }
    }
    UnlockForModify(*handle);
  }
  for (const DistLine& line : lines) {
    if (std::find(kept.begin(), kept.end(), line.centre) != kept.end()) continue;
    if (!AddNewRec(*handle)) continue;
    t.Put("NEGOCIO", xb::Value::Char(business));
    t.Put("CODIGO", xb::Value::Char(code));
    t.Put("COD_CENTRO", xb::Value::Char(line.centre));
    t.Put("PORCENTAJE", xb::Value::Number(line.percent));
    UnlockForModify(*handle);
    kept.push_back(line.centre);
    added.push_back(line);
    ++changes.added;
  }
  CloseTable(handle);
  FollowInEmployees(business, code, removed, added, &changes);
  return changes;
}

}  // namespace qz
