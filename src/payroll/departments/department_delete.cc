// Deleting a department from the list. The department takes its employees
// with it, so the confirmation says how many go; its past payrolls stay (they
// are what was paid), and a department that has them asks a second time,
// saying so, before anything is touched.
#include <functional>

#include "lib/errors/error_handler.h"
#include "lib/payroll/department_moves.h"
#include "lib/ui/message_box.h"
#include "lib/ui/progress.h"
#include "payroll/departments/atomic_run.h"
#include "payroll/departments/department_ops.h"

namespace qz {
namespace {

constexpr int kConfirm = kMbOkCancel | kMbIconQuestion;
constexpr int kWarn = kMbOkCancel | kMbIconWarning;

std::string FirstQuestion(const DepartmentCounts& c) {
  std::string text = "Desea borrar el departamento?";
  if (c.employees == 0) return text;
  text += "\r\n\r\nSe borrarán también " + std::to_string(c.employees) +
          (c.employees == 1 ? " empleado" : " empleados") + " del departamento con " +
          std::to_string(c.employee_rows) + " registros de valores.";
  return text;
}

std::string HistoryQuestion(const DepartmentCounts& c) {
  return "El departamento tiene " + std::to_string(c.payrolls) +
         (c.payrolls == 1 ? " planilla histórica" : " planillas históricas") +
         ".\r\nLas planillas históricas se conservan, pero quedarán sin su departamento."
         "\r\n¿Desea borrar el departamento de todas formas?";
}

}  // namespace

bool DEL_DTO(Desktop&, const std::string& negocio, const std::string& codigo, WDIAG* owner) {
  DepartmentCounts counts;
  if (RunOperation([&] { counts = CountDepartment(negocio, codigo); }) != OperationResult::kDone)
    return false;
  if (MESSAGE_BOX(FirstQuestion(counts), "Advertencia", kConfirm) != 1) return false;
  if (counts.payrolls > 0 && MESSAGE_BOX(HistoryQuestion(counts), "Advertencia", kWarn) != 1)
    return false;
  Progress progress(owner, "Borrando Departamento", false);
  progress.SetTotal(counts.layout_rows + counts.employee_rows + counts.employees + 1);
  int64_t shown = 0;
  auto step = [&](const std::string&, int64_t rows) {
    progress.Step(rows - shown);
    shown = rows;
  };
  const bool done =
      RunAtomically("borrar el departamento", [&] { DeleteDepartment(negocio, codigo, step); });
  progress.Close();
  return done;
}

}  // namespace qz
