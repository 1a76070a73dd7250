#include "lib/data/server_engine.h"

#include <unistd.h>

#include <ctime>

#include "lib/data/journal.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "xbase/env.h"

namespace qz {
namespace {

xb::Env* Fs() {
  return xb::Env::Default();
}

std::unique_ptr<xb::File> g_session;

std::string Folder(const std::string& data_path) {
  std::string f = NormalizeFolder(data_path);
  if (!f.empty() && f.back() != '/') f += '/';
  return f;
}

std::string ProcessTag() {
  return Upper(HostName()) + "-" + std::to_string(getpid());
}

bool EnsureFolder(const std::string& folder) {
  if (Fs()->Exists(folder)) return true;
  return Fs()->MakeDir(folder).ok() || Fs()->Exists(folder);
}

class SharedFolderClock final : public ServerClockSource {
 public:
  std::optional<LocalDateTime> Now() override {
    std::string folder = ServerFolder(G().XADSDIRECTORY);
    if (G().XADSDIRECTORY.empty() || !EnsureFolder(folder)) return std::nullopt;
    // Touch a file of our own: its modification time is the file server's clock.
    std::string path = folder + "CLOCK-" + ProcessTag();
    auto f = Fs()->Create(path, true);
    if (!f.ok()) return std::nullopt;
    if (!(*f)->WriteAt(0, "!", 1).ok()) return std::nullopt;
    xb::FileInfo info;
    if (!Fs()->Stat(path, &info).ok()) return std::nullopt;
    return LocalFromEpochNs(info.mtime_ns);
  }
};

SharedFolderClock g_folder_clock;
ServerClockSource* g_clock = &g_folder_clock;

}  // namespace

std::string ServerFolder(const std::string& data_path) {
  return Folder(data_path) + "QZSERVER/";
}

bool ServerLoaded(const std::string& data_path) {
  std::string d = Trim(data_path);
  if (d.empty()) return false;
  xb::FileInfo info;
  return Fs()->Stat(NormalizeFolder(d), &info).ok();
}

bool ServerConnect(const std::string& data_path) {
  ServerDisconnect();
  std::string folder = ServerFolder(data_path);
  if (!EnsureFolder(folder)) return false;
  auto f = Fs()->Create(folder + "SESSION-" + ProcessTag() + ".SES", true);
  if (!f.ok()) return false;
  if (!(*f)->Lock(kJournalLockOffset, 1, true).ok()) return false;
  g_session = std::move(*f);
  return true;
}

void ServerDisconnect() {
  if (!g_session) return;
  std::string path = g_session->path();
  g_session.reset();
  Fs()->Remove(path);
}

void SetServerClockSource(ServerClockSource* s) {
  g_clock = s ? s : &g_folder_clock;
}

std::optional<LocalDateTime> ServerNow() {
  return g_clock->Now();
}

ServerInfo ServerManagementInfo() {
  ServerInfo info;
  info.version = "QZ Server Engine 1.0";
  std::string folder = ServerFolder(G().XADSDIRECTORY);
  std::vector<std::string> names;
  if (!Fs()->ListDir(folder, &names).ok()) return info;
  for (const auto& n : names) {
    if (!StartsWith(n, "SESSION-")) continue;
    std::string path = folder + n;
    if (g_session && g_session->path() == path) {
      ++info.sessions;
      continue;
    }
    auto f = Fs()->Open(path, xb::OpenMode::kReadWrite);
    if (!f.ok()) continue;
    if ((*f)->Lock(kJournalLockOffset, 1, true).IsBusy()) {
      ++info.sessions;
    } else {
      Fs()->Remove(path);  // its process is gone
    }
  }
  return info;
}

}  // namespace qz
