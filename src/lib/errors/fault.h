// How runtime faults reach the error handler. A C++ program has no runtime
// error block, so an operation that cannot go on (a table that cannot be
// opened, a lock that still fails inside a server transaction, a write the
// disk refused) throws a Fault carrying the description the handler needs.
// Faults are caught at the boundary of the user's operation by
// RunOperation() (errors/operation.h), which runs the handler: it rolls back
// an open transaction, records the error and asks retry / ignore / quit.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qz {

// Generic error codes, as the xBase runtime numbers them.
enum GenCode : int {
  kGenZeroDiv = 5,
  kGenCreate = 20,
  kGenOpen = 21,
  kGenClose = 22,
  kGenRead = 23,
  kGenWrite = 24,
  kGenCorruption = 32,
  kGenNoField = 36,
  kGenAppendLock = 40,
  kGenLock = 41,
  kGenDataType = 33,
};

// Operating-system codes the handler tells apart.
enum OsCode : int {
  kOsNotFound = 2,
  kOsSharingViolation = 32,
};

struct ErrorInfo {
  int gen_code = 0;
  int os_code = 0;
  std::string subsystem;  // driver name ("DBFCDX", "ADSCDX"); empty = not known
  std::optional<int> sub_code;
  int severity = 2;  // above 1 = error, else warning
  std::string description;
  std::string filename;
  std::string operation;
  bool can_retry = false;
  bool can_default = false;
  std::vector<std::string> call_stack;  // "ROUTINE(line)" of each frame
  // The handler has already recorded and shown it (see StepFailed): whoever
  // catches it only abandons the operation.
  bool reported = false;
};

class Fault : public std::runtime_error {
 public:
  explicit Fault(ErrorInfo info) : std::runtime_error(info.description), info_(std::move(info)) {}
  const ErrorInfo& info() const { return info_; }

 private:
  ErrorInfo info_;
};

// Throws a Fault for the engine's error `message` on `filename`.
[[noreturn]] void ThrowFault(int gen_code, const std::string& description,
                             const std::string& filename, const std::string& operation,
                             int os_code = 0);

// Divisions the system defines as yielding 0 when the divisor is 0.
inline double SafeDiv(double a, double b) {
  return b == 0 ? 0 : a / b;
}

}  // namespace qz
