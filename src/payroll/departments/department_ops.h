// What the departments list offers besides its editor: deleting the
// department under the cursor, duplicating it (DUP_PLA) and its time-clock
// options (DEF_DTO3). Each takes the business and the department's code as
// the tables hold them (code-page bytes, padded or not), runs modally and
// returns whether it changed the tables, so the list knows to refresh.
#pragma once

#include <string>

#include "lib/ui/desktop.h"

namespace qz {

class WDIAG;

// "Desea borrar el departamento?" with what goes along (employees and their
// rows), a second confirmation when the department has past payrolls (they
// stay), then the department, its layout and its employees in one
// transaction: a failure leaves everything as it was and names the table.
bool DEL_DTO(Desktop& desktop, const std::string& negocio, const std::string& codigo,
             WDIAG* owner = nullptr);

// "Duplicación de Departamentos" (template "DUP_PLAN"): a new code (501) and
// description (502) for a copy of department `codigo` with its columns,
// provisions and sets, in one transaction.
bool DUP_PLA(Desktop& desktop, const std::string& negocio, const std::string& codigo,
             WDIAG* owner = nullptr);

// "Opciones de Reloj Marcador" (template "DEF_DEPTO_9"): the column types
// that receive each kind of time-clock hours and whether each applies,
// written to the department's row on "Aceptar".
bool DEF_DTO3(Desktop& desktop, const std::string& negocio, const std::string& codigo,
              WDIAG* owner = nullptr);

}  // namespace qz
