// Optimising a list of shared tables of the BASES folder: each is packed
// (deleted records removed, memos rewritten compactly) and its indexes are
// rebuilt from the packed records.
//
// Every table of the list is opened exclusively before the first one is
// touched. So a table another workstation (or another window of this one)
// has open refuses the whole run up front, naming the table, and nothing is
// half done. Each pack builds new files beside the old ones and swaps them
// in (xbase/file_swap.h): a run killed at any moment leaves every table
// either as it was or packed, with all of its records.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qz {

struct OptimizeReport {
  enum class Outcome {
    kDone,     // every table of the list was optimised (missing ones passed over)
    kInUse,    // `table` is open elsewhere: nothing was done
    kFailed,   // `table` could not be opened or packed; tables before it are done
    kStopped,  // the caller asked to stop before `table`; tables before it are done
  };
  Outcome outcome = Outcome::kDone;
  std::string table;   // the table the run ended on (not kDone)
  std::string path;    // its file
  std::string detail;  // the engine's account of a failure
  std::vector<std::string> optimized;  // tables packed, in order
  std::vector<std::string> missing;    // tables this installation does not have
};

// Called before each table is packed with its name, its position (from 1)
// and the length of the list; returning false stops the run there.
using OptimizeStep = std::function<bool(const std::string& table, int index, int total)>;

// Optimises `tables` (names as the system gives them) in the order given; a
// name listed twice is packed twice. Transactions a dead process left
// behind are rolled back first, so no journal is replayed over the
// renumbered records of a packed table.
OptimizeReport OptimizeTables(const std::vector<std::string>& tables,
                              const OptimizeStep& before_each = {});

}  // namespace qz
