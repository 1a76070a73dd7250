// Commands of qzadmin, the installation and table maintenance tool.
#pragma once

#include <string>
#include <vector>

namespace qzadmin {

using Args = std::vector<std::string>;

// Each command returns the process exit status: 0 success, 1 a problem found
// or an operation that failed, 2 wrong usage.
int CmdDump(const Args& args);
int CmdInfo(const Args& args);
int CmdCheck(const Args& args);
int CmdReindex(const Args& args);
int CmdPack(const Args& args);
int CmdInit(const Args& args);
int CmdDemo(const Args& args);
int CmdCheckInstallation(const Args& args);
int CmdSchema(const Args& args);
int CmdConsolidate(const Args& args);
int CmdRecalc(const Args& args);
int CmdReconcile(const Args& args);
bool IsFolder(const std::string& path);

// Prints "qzadmin: <message>" on stderr and returns 1.
int Fail(const std::string& message);

}  // namespace qzadmin
