#include "lib/data/table_optimize.h"

#include <algorithm>
#include <map>
#include <memory>

#include "lib/data/journal.h"
#include "lib/settings/globals.h"
#include "xbase/table.h"

namespace qz {
namespace {

using Outcome = OptimizeReport::Outcome;

std::string PathOf(const std::string& name) { return G().PATH + "BASES/" + name; }

bool Listed(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

OptimizeReport EndedOn(OptimizeReport r, Outcome outcome, const std::string& table,
                       const std::string& detail = {}) {
  r.outcome = outcome;
  r.table = table;
  r.path = table.empty() ? "" : PathOf(table) + ".DBF";
  r.detail = detail;
  return r;
}

}  // namespace

OptimizeReport OptimizeTables(const std::vector<std::string>& tables,
                              const OptimizeStep& before_each) {
  // A dead transaction's journal names records by number; it must be undone
  // before packing renumbers them.
  UndoDeadTransactions();

  OptimizeReport report;
  std::map<std::string, std::unique_ptr<xb::Table>> held;
  xb::OpenOptions exclusive;
  exclusive.exclusive = true;
  for (const std::string& raw : tables) {
    const std::string name = Trim(raw);
    if (held.count(name) || Listed(report.missing, name)) continue;
    auto t = xb::Table::Open(PathOf(name), exclusive);
    if (t.ok()) {
      held[name] = std::move(*t);
    } else if (t.status().IsNotFound()) {
      report.missing.push_back(name);
    } else {
      // Closing what we hold (the map going away) hands the tables back.
      return EndedOn(report, t.status().IsBusy() ? Outcome::kInUse : Outcome::kFailed, name,
                     t.status().message());
    }
  }
  if (DeadJournalWaiting())  // one died between the check and our opens
    return EndedOn(report, Outcome::kFailed, "",
                   "Hay una transacción interrumpida pendiente de deshacer");

  const int total = static_cast<int>(tables.size());
  for (int i = 0; i < total; ++i) {
    const std::string name = Trim(tables[i]);
    auto it = held.find(name);
    if (it == held.end()) continue;  // missing
    if (before_each && !before_each(name, i + 1, total))
      return EndedOn(report, Outcome::kStopped, name);
    xb::Status s = it->second->Pack();  // rebuilds every tag from the packed records
    if (!s.ok()) return EndedOn(report, Outcome::kFailed, name, s.message());
    report.optimized.push_back(name);
  }
  for (auto& [name, table] : held) {
    xb::Status s = table->Close();
    if (!s.ok()) return EndedOn(report, Outcome::kFailed, name, s.message());
  }
  return report;
}

}  // namespace qz
