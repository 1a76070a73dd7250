// One department operation as one transaction: started here whatever the
// engine (a half-deleted or half-copied department is worse than an error),
// ended when the work returns, rolled back when the data layer stops it. The
// user then learns which table stopped it and that nothing was changed.
#pragma once

#include <functional>
#include <string>

namespace qz {

// `what` completes "No se pudo <what>" ("borrar el departamento"). Returns
// whether the work was committed. Inside a transaction that is already open
// the work simply joins it (its faults go to that transaction's owner).
bool RunAtomically(const std::string& what, const std::function<void()>& body);

}  // namespace qz
