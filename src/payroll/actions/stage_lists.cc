#include "payroll/actions/stage_lists.h"

#include <functional>
#include <optional>
#include <vector>

#include "lib/data/file_utils.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/desktop.h"

namespace qz {
namespace {

// What a field of a row becomes (the same bytes when untouched).
using Rewrite = std::function<std::string(const std::string& field, const std::string& bytes)>;

// Walks the business's rows of `table` (index order 1, keyed by business
// first) and rewrites `fields` of each row whose value `rewrite` changes,
// one lock per row. Returns the number of rows changed.
int RewriteRows(const std::string& table, const std::vector<std::string>& fields,
                const std::string& business, const Rewrite& rewrite) {
  TablePtr handle = OpenTable(nullptr, table);
  if (!handle) return 0;
  xb::Table& t = handle->table();
  auto changes = [&] {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& f : fields) {
      if (t.FieldIndex(f) < 0) continue;  // an older installation
      const std::string now = FieldBytes(t, f);
      std::string next = rewrite(f, now);
      next.resize(now.size(), ' ');
      if (next != now) out.push_back({f, next});
    }
    return out;
  };
  int changed = 0;
  std::optional<xb::Value> scope = xb::Value::Char(business);
  if (t.SetOrder(1).ok() && t.SetScope(scope, scope).ok()) {
    // None of the fields is part of the key: the walk goes on in place.
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      if (changes().empty() || !LockForModify(*handle)) continue;
      // The lock re-read the row: another user may have changed it.
      for (const auto& [f, bytes] : changes()) t.Put(f, xb::Value::Char(bytes));
      UnlockForModify(*handle);
      ++changed;
      MULTITASK();
    }
    t.SetScope(std::nullopt, std::nullopt);
  }
  CloseTable(handle);
  return changed;
}

const std::vector<std::string> kLists = {"ETAPAS_MOD", "ETAPAS_AUT"};
// The digital signatures choose the same stages for requisitions, payables,
// payments and notifications.
const std::vector<std::string> kSignatureLists = {"ETAPAS_REQ", "ETAPAS_CXP", "ETAPAS_ABO",
                                                  "NOTIFICA"};

// USR_REQ belongs to the whole suite: an installation of this program alone
// may not have it.
int RewriteSignatures(const std::string& business, const Rewrite& rewrite) {
  if (!IS_FILE(nullptr, "USR_REQ")) return 0;
  return RewriteRows("USR_REQ", kSignatureLists, business, rewrite);
}

}  // namespace

std::string RemoveBracketedCode(const std::string& list, const std::string& code) {
  const std::string wanted = TrimRight(code);
  std::string out;
  size_t i = 0;
  while (i < list.size()) {
    size_t close = list[i] == '[' ? list.find(']', i) : std::string::npos;
    if (close != std::string::npos && TrimRight(list.substr(i + 1, close - i - 1)) == wanted) {
      i = close + 1;
      continue;
    }
    out += list[i++];
  }
  return out;
}

int RenameStage(const std::string& business, const std::string& old_code,
                const std::string& new_code) {
  auto in_list = [&](const std::string&, const std::string& bytes) {
    std::string replaced = ReplaceCodeInList(bytes, old_code, new_code);
    // A longer code must not push the last stages out of the field.
    return TrimRight(replaced).size() > bytes.size() ? bytes : replaced;
  };
  auto whole = [&](const std::string&, const std::string& bytes) {
    return TrimRight(bytes) == TrimRight(old_code) ? new_code : bytes;
  };
  return RewriteRows("AUTO_PLA", kLists, business, in_list) +
         RewriteSignatures(business, in_list) +
         RewriteRows("TIP_ACC2", {"ETAPA_INI"}, business, whole) +
         RewriteRows("TIP_ACC", {"ETAPA_INI"}, business, whole) +
         RewriteRows("F_PLAN", {"ETAP_INI", "ETAP_INTER", "ETAP_FIN"}, business, whole);
}

int RemoveStageFromPersons(const std::string& business, const std::string& code) {
  auto without = [&](const std::string&, const std::string& bytes) {
    return RemoveBracketedCode(bytes, code);
  };
  return RewriteRows("AUTO_PLA", kLists, business, without) + RewriteSignatures(business, without);
}

}  // namespace qz
