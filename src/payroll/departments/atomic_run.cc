#include "payroll/departments/atomic_run.h"

#include "lib/data/transaction.h"
#include "lib/payroll/department_moves.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

void Report(const std::string& what, const std::string& table, const std::string& detail) {
  std::string text = "No se pudo " + what;
  text += table.empty() ? "." : ": la tabla " + table + " no permitió el cambio.";
  if (!detail.empty()) text += "\r\n" + detail;
  text += "\r\nNo se modificó ningún dato.";
  MESSAGE_BOX(text, "Error", kMbIconStop);
}

}  // namespace

bool RunAtomically(const std::string& what, const std::function<void()>& body) {
  // Inside a caller's transaction the work joins it, and the caller ends it
  // or rolls it back.
  if (InServerTransaction()) {
    body();
    return true;
  }
  try {
    Atomically(body);
    return true;
  } catch (const Fault& f) {
    Report(what, FaultTable(f), f.info().reported ? "" : f.info().description);
  } catch (const std::exception& e) {
    Report(what, "", e.what());
  }
  return false;
}

}  // namespace qz
