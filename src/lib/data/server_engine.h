// The server engine's own services, which the vendor's database server
// would provide: the "server loaded" test, the connection (a session), the
// server clock and management information. The server is the shared data
// folder itself: it is "loaded" when that folder is reachable, each
// connected workstation holds a locked session file in it, and its clock is
// the folder's file-modification clock, which every workstation sees alike.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "lib/clock.h"

namespace qz {

// The error number reported when the server cannot be found.
inline constexpr int kServerNotFoundError = 6420;

// Where the server engine keeps its session and clock files.
std::string ServerFolder(const std::string& data_path);

bool ServerLoaded(const std::string& data_path);
// Registers this process as a session; false when the folder refuses it.
bool ServerConnect(const std::string& data_path);
void ServerDisconnect();

// The server's clock; nullopt when it cannot be read.
class ServerClockSource {
 public:
  virtual ~ServerClockSource() = default;
  virtual std::optional<LocalDateTime> Now() = 0;
};
// Installs `s` (not owned); null restores the shared-folder clock.
void SetServerClockSource(ServerClockSource* s);
std::optional<LocalDateTime> ServerNow();

struct ServerInfo {
  int sessions = 0;  // live sessions of all workstations
  std::string version;
};
ServerInfo ServerManagementInfo();

}  // namespace qz
