// Readers beside a writer of another engine: a child process takes the index
// lock with blocking requests in a loop and bumps the change counter, while
// this process seeks random keys on the same table in shared mode. Every
// read must succeed and find its record.
// Run: build/bench_index_readers [--reads=N] [--records=N] [--dir=PATH]
//        [--hold-us=N] [--work-us=N]   (the writer's time with and without the lock)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "support/blocking_index_writer.h"
#include "xbase/table.h"

using xb::Status;
using xb::Table;
using xb::Value;

namespace {

std::string Code(int i) { return "C" + std::to_string(100000 + i * 7); }

}  // namespace

int main(int argc, char** argv) {
  long reads = 1000000;
  int records = 20000, hold_us = 20, work_us = 50;
  std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--reads=", 8) == 0) reads = std::atol(argv[i] + 8);
    if (std::strncmp(argv[i], "--records=", 10) == 0) records = std::atoi(argv[i] + 10);
    if (std::strncmp(argv[i], "--dir=", 6) == 0) base = argv[i] + 6;
    if (std::strncmp(argv[i], "--hold-us=", 10) == 0) hold_us = std::atoi(argv[i] + 10);
    if (std::strncmp(argv[i], "--work-us=", 10) == 0) work_us = std::atoi(argv[i] + 10);
  }
  std::string dir = base + "/qzreaders-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  {
    xb::CreateOptions co;
    co.exclusive = true;
    auto t = Table::Create(dir + "/R", {{"CODE", 'C', 10, 0, 0, 0}, {"AMOUNT", 'N', 10, 0, 0, 0}}, co);
    if (!t.ok()) return 1;
    for (int i = 0; i < records; ++i) {
      (*t)->Append();
      (*t)->Put(0, Value::Char(Code(i)));
      (*t)->Put(1, Value::Number(i));
    }
    if (!(*t)->CreateTag("BYCODE", "CODE").ok()) return 1;
  }
  auto t = Table::Open(dir + "/R.DBF");
  if (!t.ok() || !(*t)->SetOrder("BYCODE").ok()) return 1;
  const std::string cdx = dir + "/R.CDX";
  uint32_t before = qztest::BlockingIndexWriter::Counter(cdx);
  long errors = 0, wrong = 0;
  auto start = std::chrono::steady_clock::now();
  {
    qztest::BlockingIndexWriter writer(cdx, hold_us, work_us);
    if (!writer.WaitUntilWriting(cdx)) return 2;
    std::mt19937 rng(1);
    for (long i = 0; i < reads; ++i) {
      int k = static_cast<int>(rng() % records);
      Status s = (*t)->Seek(Value::Char(Code(k)));
      if (!s.ok()) {
        if (errors++ < 5) std::printf("error: %s\n", s.ToString().c_str());
        continue;
      }
      if (!(*t)->Found() || (*t)->Get(1)->number() != k) ++wrong;
    }
  }
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  uint32_t commits = qztest::BlockingIndexWriter::Counter(cdx) - before;
  std::printf("%ld reads in %.1f s beside %u commits of a blocking writer: %ld errors, %ld wrong\n",
              reads, secs, commits, errors, wrong);
  t->reset();
  std::filesystem::remove_all(dir);
  return errors || wrong ? 1 : 0;
}
