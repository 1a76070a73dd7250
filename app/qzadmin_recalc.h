// qzadmin recalc: the recalculations of past payrolls and of values derived
// from them, run without the desktop program. Each kind is one line of the
// table in qzadmin_recalc.cc: its name, the function that runs it with the
// parsed options, and the options it takes.
#pragma once

#include <string>
#include <vector>

#include "lib/payroll/history_recalc.h"
#include "qzadmin_terminal.h"

namespace qzadmin {

struct RecalcOptions {
  std::string dir;       // installation folder
  std::string business;  // --business
  std::string kind;      // --kind
  // --from / --to YYYYMMDD, 0 when not given: as "Inicio:" and "Fin :" of
  // the screens (only --from selects nothing, only --to everything up to it).
  qz::HistoryDateRange range;
  std::vector<std::string> departments;  // --department D, repeatable
  std::string payroll_type;              // --type T
  TerminalBoxes* boxes = nullptr;        // messages and the progress bar
};

// Runs one kind; returns the exit status (0 only when it was committed).
using RecalcKindFn = int (*)(const RecalcOptions&);

// The history recalculations share their run: progress bar, the screens'
// messages, a line of counts on stdout.
int RunHistoryRecalcKind(const RecalcOptions& o,
                         qz::HistoryRecalcResult (*recalc)(const qz::HistoryRecalcRequest&));

}  // namespace qzadmin
