// A real SMTP server for the mail tests (tests/support/smtp_server.py under
// the Python that has aiosmtpd), started on a free loopback port and stopped
// when the object goes away. What it received is read back as the JSON
// summaries the script writes.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qztest {

inline bool SmtpServerAvailable() {
  return std::string(QZ_SMTP_PYTHON).size() > 0;
}

struct SmtpOptions {
  std::string user;  // empty: no login required
  std::string password;
  std::string mode = "accept";  // "refuse", "drop"
};

class SmtpServer {
 public:
  SmtpServer() : SmtpServer(SmtpOptions{}) {}
  explicit SmtpServer(const SmtpOptions& o) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> args = {QZ_SMTP_PYTHON,
                                     std::string(QZ_SOURCE_DIR) + "/tests/support/smtp_server.py",
                                     dir_.path(), "--mode", o.mode};
    if (!o.user.empty()) {
      args.insert(args.end(), {"--user", o.user, "--password", o.password});
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    FILE* f = fdopen(out[0], "r");
    char line[128] = {0};
    if (f && std::fgets(line, sizeof line, f)) std::sscanf(line, "PORT %d", &port_);
    if (f) std::fclose(f);
  }
  ~SmtpServer() { Stop(); }

  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

  int port() const { return port_; }
  bool running() const { return pid_ > 0 && port_ > 0; }

  // Summaries of the messages received, oldest first.
  std::vector<nlohmann::json> Messages() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
      if (e.path().extension() == ".json") names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    std::vector<nlohmann::json> out;
    for (const auto& n : names) {
      std::ifstream in(n);
      out.push_back(nlohmann::json::parse(in));
    }
    return out;
  }

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// A loopback port nobody listens on (bound, then released).
inline int FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  close(s);
  return ntohs(a.sin_port);
}

// A server that accepts connections and never says a word.
class SilentServer {
 public:
  SilentServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(fd_, 4);
    socklen_t len = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
  ~SilentServer() { close(fd_); }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace qztest
