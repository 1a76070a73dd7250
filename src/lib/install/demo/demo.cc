#include "lib/install/demo/demo.h"

namespace qz {

xb::Status LoadDemo(const std::string&, const Catalog&, const DemoOptions&,
                    const std::function<void(const std::string&)>&, DemoSummary*) {
  return xb::Status::OK();
}

const DemoLogin* DemoLogins(int* count) {
  static const DemoLogin kLogins[] = {{"SUPER", "DEMO", "supervisor"}};
  *count = 1;
  return kLogins;
}

}  // namespace qz
