// The start sequence up to the main window: settings, engine choice
// (ADS.DEF), the server test and connection, recovery of transactions that
// died with their process, and the session-long DUMMYADS table.
#pragma once

#include <string>

namespace qz {

enum class StartResult { kContinue, kEndProgram };

// `program_folder` is the folder holding the executable (or QUARTZEL_HOME).
// Messages go through MESSAGE_BOX; kEndProgram means the program must end.
StartResult StartDataLayer(const std::string& program_folder);

// The two-digit year convention (epoch 1980): 80-99 are 1980-1999, 00-79 are 2000-2079.
int ExpandTwoDigitYear(int yy);

}  // namespace qz
