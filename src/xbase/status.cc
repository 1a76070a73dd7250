#include "xbase/status.h"

namespace xb {

std::string Status::ToString() const {
  if (ok()) return "OK";
  return message_;
}

Status Status::With(const std::string& context) const {
  if (ok()) return *this;
  return Status(code_, context + ": " + message_);
}

}  // namespace xb
