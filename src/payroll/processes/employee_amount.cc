#include "payroll/processes/employee_amount.h"

#include "lib/data/locking.h"
#include "lib/ui/browse.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/processes/process_screen.h"
#include "xbase/value.h"

namespace qz {

std::string EmployeeLockedBy(const std::string& nombre) {
  return "El empleado " + nombre + " está siendo modificado por otro usuario";
}

std::string EmployeeGone(const std::string& nombre) {
  return "El empleado " + nombre + " ya no está activo en este departamento";
}

bool SaveEmployeeAmount(WDBTable& w, WBLISTBOX& grid, const std::string& depto, const char* field,
                        const std::string& text) {
  xb::Table& t = w.table();
  if (depto.empty() || t.Eof() || t.RecNo() == 0) return false;
  const std::optional<double> amount = ParseNumber(text.empty() ? "0" : text);
  if (!amount) return false;
  const uint32_t recno = t.RecNo();
  if (!t.IsRecordLocked(recno)) {
    if (!t.LockRecord(recno).ok()) {
      MESSAGE_BOX(EmployeeLockedBy(FieldText(t, "NOMBRE")), "Alerta", kMbIconWarning);
      return false;
    }
    (void)t.UnlockRecord(recno);
  }
  LOCK_FOR_MODIFY(w);
  // The record as the lock re-read it: another workstation may have
  // deleted the employee, moved him or let him go since the list was read.
  // The amount is not written, and the typist is told why it did not stay.
  if (t.Deleted() || Bytes(t, "DEPTO") != depto || Number(t, "ACTIVO") != 1) {
    const std::string nombre = FieldText(t, "NOMBRE");
    UNLOCK_FOR_MODIFY(w);
    MESSAGE_BOX(EmployeeGone(nombre), "Alerta", kMbIconWarning);
    return false;
  }
  (void)t.Put(field, xb::Value::Number(*amount));
  UNLOCK_FOR_MODIFY(w);
  const int row = grid.RowOf(recno);
  if (row >= 0 && row + 1 < grid.RowCount()) (void)grid.Select(row + 1);
  return true;
}

void ClearEmployeeAmounts(WDBTable& w, const std::string& negocio, const std::string& depto,
                          const std::vector<const char*>& fields, Progress& progress) {
  ForEachRow(w.table(), "ENC_PERS", negocio + depto, [&](xb::Table& t) {
    if (Number(t, "ACTIVO") != 1) return;
    LOCK_FOR_MODIFY(w);
    for (const char* field : fields) (void)t.Put(field, xb::Value::Number(0));
    UNLOCK_FOR_MODIFY(w);
    progress.Step();
  });
}

}  // namespace qz
