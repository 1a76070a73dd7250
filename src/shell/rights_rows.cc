#include "shell/rights_rows.h"

#include <set>

#include "lib/data/locking.h"
#include "shell/rights.h"
#include "shell/shell_tables.h"

namespace qz {
namespace {

constexpr int kIds = kLastRight - kFirstRight + 1;

std::string OwnerKey(const std::string& business, int code) {
  return BusinessKey(business) + Str(code, 8);
}

// Record numbers of the owner's rows for each id (2000-7000), in key order.
std::vector<std::vector<uint32_t>> RowsById(WDBTable& t, const std::string& business, int code,
                                            StoredRights* stored) {
  std::vector<std::vector<uint32_t>> rows(kIds);
  const std::string b = BusinessKey(business);
  t.Seek(OwnerKey(business, code), true);
  for (; !t.Eof(); t.Skip()) {
    if (RawField(t, "NEGOCIO") != b || IntField(t, "CODIGO") != code) break;
    const int id = IntField(t, "ID");
    if (id < kFirstRight || id > kLastRight) continue;
    auto& list = rows[id - kFirstRight];
    if (list.empty() && stored) {
      stored->found[id - kFirstRight] = true;
      stored->checks[id - kFirstRight] = NumField(t, "CHECK_ID") != 0;
    }
    list.push_back(t.RecNo());
  }
  return rows;
}

}  // namespace

RightsDesign EmptyDesign() {
  return RightsDesign(kIds, false);
}

StoredRights ReadRightsRows(WDBTable& t, const std::string& business, int code) {
  StoredRights s{EmptyDesign(), std::vector<bool>(kIds, false)};
  RowsById(t, business, code, &s);
  return s;
}

int WriteRightsRows(WDBTable& t, const std::string& business, int code,
                    const RightsDesign& design) {
  const auto rows = RowsById(t, business, code, nullptr);
  int written = 0;
  for (int i = 0; i < kIds; ++i) {
    const bool want = i < static_cast<int>(design.size()) && design[i];
    if (rows[i].empty()) {
      ADD_NEW_REC(t);
      PutRaw(t, "NEGOCIO", BusinessKey(business));
      PutNum(t, "CODIGO", code);
      PutNum(t, "ID", kFirstRight + i);
      t.FieldPut("CHECK_ID", xb::Value::Logical(want));
      UNLOCK_NEW_REC(t);
      ++written;
      continue;
    }
    for (uint32_t recno : rows[i]) {
      t.GoTo(recno);
      if ((NumField(t, "CHECK_ID") != 0) == want) continue;
      LOCK_FOR_MODIFY(t);
      // Two administrators saving the same owner write the same rows: the
      // last writer wins row by row.
      t.FieldPut("CHECK_ID", xb::Value::Logical(want));
      UNLOCK_FOR_MODIFY(t);
      ++written;
    }
  }
  return written;
}

int DeleteRowsOf(WDBTable& t, const std::string& business, int code, const char* code_field) {
  const std::string b = BusinessKey(business);
  std::vector<uint32_t> doomed;
  t.Seek(OwnerKey(business, code), true);
  for (; !t.Eof(); t.Skip()) {
    if (RawField(t, "NEGOCIO") != b || IntField(t, code_field) != code) break;
    doomed.push_back(t.RecNo());
  }
  for (uint32_t recno : doomed) {
    t.GoTo(recno);
    DELETE_RECORD(t);
  }
  return static_cast<int>(doomed.size());
}

int SmallestFreeCode(WDBTable& t) {
  std::set<int> used;
  const std::string order = t.table().Order();
  t.SetOrder("");
  for (t.GoTop(); !t.Eof(); t.Skip()) used.insert(IntField(t, "CODIGO"));
  if (!order.empty()) t.SetOrder(order);
  int code = 1;
  while (used.count(code)) ++code;
  return code;
}

}  // namespace qz
