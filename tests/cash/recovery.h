// What the program does at its next start after a process died inside a
// transaction: the dead transaction's journal is rolled back. Answers the
// problems met (none when every record was put back).
#pragma once

#include <string>
#include <vector>

namespace qztest {

std::vector<std::string> RecoverAsAtStart();

}  // namespace qztest
