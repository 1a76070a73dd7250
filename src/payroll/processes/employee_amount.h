// An amount typed in place into a grid of a department's active employees
// (ENC_PERS on ENC_PERS13/14): written under the employee's record lock,
// after which the cursor moves down one row, as typing down a column
// expects. An employee another user holds is named at once instead of
// keeping the typist waiting on a row that may stay locked for the length
// of an edit; a row that left the department or was deactivated meanwhile
// is not written.
#pragma once

#include <string>
#include <vector>

#include "lib/data/wtable.h"
#include "lib/ui/progress.h"

namespace qz {

class WBLISTBOX;

// The text of an employee's lock held by another user.
std::string EmployeeLockedBy(const std::string& nombre);
// The text for an employee deleted, moved or deactivated by another
// workstation after the list was read.
std::string EmployeeGone(const std::string& nombre);

// Writes the amount `text` stands for (blank = 0) into `field` of the
// employee `w` stands on; false when it is refused.
bool SaveEmployeeAmount(WDBTable& w, WBLISTBOX& grid, const std::string& depto, const char* field,
                        const std::string& text);

// Sets `fields` to 0 for every active employee of the department, each under
// its record lock (inside the caller's transaction), stepping `progress`.
void ClearEmployeeAmounts(WDBTable& w, const std::string& negocio, const std::string& depto,
                          const std::vector<const char*>& fields, Progress& progress);

}  // namespace qz
