#include "payroll/maintenance/opt_pla.h"

#include "lib/data/file_utils.h"
#include "lib/data/table_optimize.h"
#include "lib/settings/multitask.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/progress.h"

namespace qz {

OPT_PLA::OPT_PLA(Desktop& desktop, const std::string& template_name, const std::string&)
    : WDIAG(desktop, nullptr, template_name) {}

bool OPT_PLA::Init() {
  if (!CREATE().ok()) return false;
  ADD(kOptimizar, [this] { Optimizar(); });
  ADD(kCancelar, [this] { ENDDIALOG(kCancelar); });
  return true;
}

void OPT_PLA::OnActivate() { desktop().MENUSET(0, this, ""); }

void OPT_PLA::Optimizar() {
  EnableControl(kOptimizar, false);
  EnableControl(kCancelar, false);
  OptimizeReport r;
  {
    // Stopping between two tables loses nothing: each one is either packed
    // whole or left as it was.
    Progress progress(this, "Un momento por favor...");
    progress.SetTotal(static_cast<int64_t>(PayrollTablesToOptimize().size()));
    int at = 1;
    r = OptimizeTables(PayrollTablesToOptimize(), [&](const std::string& table, int index, int) {
      SetText(kTabla, table);
      progress.SetText("Optimizando " + table);
      progress.Step(index - at);  // the tables before it, missing ones too
      at = index;
      MULTITASK(1, true);
      return !progress.Cancelled();
    });
  }
  SetText(kTabla, "");
  EnableControl(kOptimizar, true);
  EnableControl(kCancelar, true);
  using Outcome = OptimizeReport::Outcome;
  switch (r.outcome) {
    case Outcome::kDone:
      MESSAGE_BOX("Fin de Proceso", "", kMbIconInformation);
      ENDDIALOG(kOptimizar);
      return;
    case Outcome::kInUse:
      MESSAGE_BOX("No se puede abrir archivo: " + r.path + "\r\n" + kRevise, "Alerta",
                  kMbIconWarning);
      return;
    case Outcome::kFailed:
      MESSAGE_BOX((r.table.empty() ? std::string("No se pudo optimizar la base de datos: ")
                                   : "No se pudo optimizar " + r.table + ": ") +
                      r.detail + "\r\nNinguna tabla ha perdido registros.",
                  "Alerta", kMbIconStop);
      return;
    case Outcome::kStopped:
      MESSAGE_BOX("Optimización interrumpida antes de " + r.table + ": " +
                      std::to_string(r.optimized.size()) +
                      " tablas optimizadas; las demás quedan como estaban.",
                  "Aviso", kMbIconInformation);
      return;
  }
}

}  // namespace qz
