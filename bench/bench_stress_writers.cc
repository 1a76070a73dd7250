// Stress run of the engine (by hand, not in CI): several forked writers
// update one shared table for a while, each update a read-modify-write of a
// counter under the record lock that also changes the record's keys and
// rewrites its memo. At the end every increment must be in the table (lost
// updates: 0), every memo must belong to its record, and check must be clean.
//
//   bench_stress_writers [--seconds=30] [--writers=4] [--records=500]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "load_average.h"
#include "xbase/table.h"

namespace {

std::string Code(uint32_t recno, long cnt) {
  // Wide enough for any record number: a code cut by the field would read
  // back as another record's.
  char b[24];
  std::snprintf(b, sizeof b, "%04ld%08u", cnt % 10000, recno);
  return b;
}
std::string Note(uint32_t recno, long cnt) {
  return "v" + std::to_string(cnt) + ":" +
         std::string(40 + (recno * 37 + cnt * 11) % 700, static_cast<char>('a' + cnt % 26));
}

int Arg(int argc, char** argv, const char* name, int def) {
  std::string prefix = std::string("--") + name + "=";
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) return std::atoi(argv[i] + prefix.size());
  return def;
}

// One writer: returns through `fd` how often it incremented each record.
[[noreturn]] void Writer(const std::string& path, int records, int seconds, int fd, unsigned seed) {
  std::vector<long> mine(static_cast<size_t>(records) + 1, 0);
  auto t = xb::Table::Open(path);
  if (!t.ok()) {
    std::fprintf(stderr, "open: %s\n", t.status().ToString().c_str());
    _exit(2);
  }
  (void)(*t)->SetOrder("CODE");
  std::mt19937 rng(seed);
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    uint32_t r = 1 + rng() % static_cast<uint32_t>(records);
    if (!(*t)->GoTo(r).ok()) _exit(3);
    xb::Status s = (*t)->LockRecord();
    if (s.IsBusy()) continue;
    if (!s.ok()) _exit(4);
    long cnt = static_cast<long>((*t)->Get("CNT")->number()) + 1;
    s = (*t)->Put("CNT", xb::Value::Number(static_cast<double>(cnt)));
    if (s.ok()) s = (*t)->Put("CODE", xb::Value::Char(Code(r, cnt)));
    if (s.ok()) s = (*t)->Put("NOTE", xb::Value::Char(Note(r, cnt)));
    if (s.ok()) s = (*t)->WriteBack();
    if (!s.ok()) {
      std::fprintf(stderr, "update: %s\n", s.ToString().c_str());
      _exit(5);
    }
    (void)(*t)->UnlockRecord(r);
    ++mine[r];
    // Now and then a walk in key order, as a grid on another screen would.
    if (rng() % 64 == 0) {
      int n = 0;
      for (s = (*t)->GoTop(); s.ok() && !(*t)->Eof() && n < 50; s = (*t)->Skip(1)) ++n;
      if (!s.ok()) _exit(6);
    }
  }
  (void)(*t)->Close();
  size_t bytes = mine.size() * sizeof(long);
  if (write(fd, mine.data(), bytes) != static_cast<ssize_t>(bytes)) _exit(7);
  _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = Arg(argc, argv, "seconds", 30);
  const int writers = Arg(argc, argv, "writers", 4);
  const int records = Arg(argc, argv, "records", 500);
  std::string dir = std::filesystem::temp_directory_path() / ("qzstress-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string path = dir + "/STRESS.DBF";
  {
    xb::CreateOptions co;
    co.exclusive = true;
    auto t = xb::Table::Create(path, {{"CODE", 'C', 12, 0}, {"CNT", 'N', 10, 0}, {"NOTE", 'M', 10, 0}}, co);
    if (!t.ok() || !(*t)->CreateTag("CODE", "CODE").ok() ||
        !(*t)->CreateTag("CNT", "STR(CNT,10)+CODE", "", true).ok())
      return 1;
    for (int i = 1; i <= records; ++i) {
      if (!(*t)->Append().ok() || !(*t)->Put("CODE", xb::Value::Char(Code(i, 0))).ok() ||
          !(*t)->Put("CNT", xb::Value::Number(0)).ok() || !(*t)->Put("NOTE", xb::Value::Char(Note(i, 0))).ok())
        return 1;
    }
    if (!(*t)->Close().ok()) return 1;
  }
  std::vector<pid_t> pids;
  std::vector<int> fds;
  for (int w = 0; w < writers; ++w) {
    int p[2];
    if (pipe(p) != 0) return 1;
    pid_t pid = fork();
    if (pid == 0) {
      close(p[0]);
      Writer(path, records, seconds, p[1], 100 + w);
    }
    close(p[1]);
    pids.push_back(pid);
    fds.push_back(p[0]);
  }
  std::vector<long> total(static_cast<size_t>(records) + 1, 0);
  int failed = 0;
  for (int w = 0; w < writers; ++w) {
    std::vector<long> mine(total.size(), 0);
    size_t want = mine.size() * sizeof(long), got = 0;
    while (got < want) {
      ssize_t n = read(fds[w], reinterpret_cast<char*>(mine.data()) + got, want - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    int st = 0;
    waitpid(pids[w], &st, 0);
    if (got != want || !WIFEXITED(st) || WEXITSTATUS(st) != 0) ++failed;
    for (size_t i = 0; i < total.size(); ++i) total[i] += mine[i];
  }
  long updates = 0, lost = 0, bad_memos = 0;
  std::vector<std::string> problems;
  {
    auto t = xb::Table::Open(path);
    if (!t.ok()) return 1;
    for (int r = 1; r <= records; ++r) {
      if (!(*t)->GoTo(static_cast<uint32_t>(r)).ok()) return 1;
      long cnt = static_cast<long>((*t)->Get("CNT")->number());
      updates += total[r];
      if (cnt != total[r]) lost += std::labs(total[r] - cnt);
      auto note = (*t)->Get("NOTE");
      if (!note.ok() || note->str() != Note(r, cnt) || (*t)->Get("CODE")->str() != Code(r, cnt)) ++bad_memos;
    }
    (void)(*t)->Check(&problems);
  }
  std::string load = qzbench::LoadAverage();
  std::printf("%d writers, %d s, %d records: %ld updates, %.0f updates/s\n", writers, seconds, records,
              updates, static_cast<double>(updates) / seconds);
  std::printf("lost updates: %ld, records whose memo or key is not their own: %ld, check problems: %zu, "
              "failed writers: %d\n",
              lost, bad_memos, problems.size(), failed);
  for (size_t i = 0; i < problems.size() && i < 10; ++i) std::printf("  %s\n", problems[i].c_str());
  std::printf("load average: %s\n", load.c_str());
  std::filesystem::remove_all(dir);
  return lost || bad_memos || !problems.empty() || failed ? 1 : 0;
}
