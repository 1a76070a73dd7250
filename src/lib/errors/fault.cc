#include "lib/errors/fault.h"

#include "lib/settings/globals.h"

namespace qz {

void ThrowFault(int gen_code, const std::string& description, const std::string& filename,
                const std::string& operation, int os_code) {
  ErrorInfo e;
  e.gen_code = gen_code;
  e.os_code = os_code;
  e.subsystem = G().DEF_RDD;
  e.description = description;
  e.filename = filename;
  e.operation = operation;
  e.can_retry = true;
  e.can_default = true;
  throw Fault(e);
}

}  // namespace qz
