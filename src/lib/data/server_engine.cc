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
    // The file goes at once: the shared folder keeps no trace of the reading.
    std::string path = folder + "CLOCK-" + ProcessTag();
    auto f = Fs()->Create(path, true);
    if (!f.ok()) return std::nullopt;
    bool written = (*f)->WriteAt(0, "!", 1).ok();
    f->reset();
    xb::FileInfo info;
    bool read = written && Fs()->Stat(path, &info).ok();
    Fs()->Remove(path);
    if (!read) return std::nullopt;
    return LocalFromEpochNs(info.mtime_ns);
  }
};

SharedFolderClock g_folder_clock;
ServerClockSource* g_clock = &g_folder_clock;

// Counts the live sessions of `folder` and removes what dead processes left:
// session files whose lock is free and clock files older than a minute.
int SweepServerFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (!Fs()->ListDir(folder, &names).ok()) return 0;
  int live = 0;
  xb::FileInfo now_info;
  bool have_now = false;
  for (const auto& n : names) {
    std::string path = folder + n;
    if (StartsWith(n, "CLOCK-")) {
      // The folder changed when a session file or a clock file last came or
      // went: a clock file a minute older than that belongs to a dead reader.
      if (!have_now) have_now = Fs()->Stat(folder, &now_info).ok();
      xb::FileInfo info;
      if (have_now && Fs()->Stat(path, &info).ok() &&
          info.mtime_ns < now_info.mtime_ns - 60'000'000'000LL)
        Fs()->Remove(path);
      continue;
    }
    if (!StartsWith(n, "SESSION-")) continue;
    if (g_session && g_session->path() == path) {
      ++live;
      continue;
    }
    auto f = Fs()->Open(path, xb::OpenMode::kReadWrite);
    if (!f.ok()) continue;
    if ((*f)->Lock(kJournalLockOffset, 1, true).IsBusy()) {
      ++live;
    } else {
      Fs()->Remove(path);  // its process is gone
    }
  }
  return live;
}

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
  SweepServerFolder(folder);
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
  info.sessions = SweepServerFolder(ServerFolder(G().XADSDIRECTORY));
  return info;
}

}  // namespace qz
