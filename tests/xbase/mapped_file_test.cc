// Positional reads and writes of one file may come from several threads at
// once, as with pread/pwrite, while the file grows, is remapped over a larger
// range, and is truncated: no copy may run into a mapping being replaced.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "xbase/env.h"

namespace xb {
namespace {

std::string Pattern(size_t n, char seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seed + i % 251);
  return s;
}

TEST(MappedFile, ReadsFromAnotherThreadSurviveGrowthRemapsAndTruncation) {
  qztest::TempDir dir;
  auto f = Env::Default()->Create(dir.file("grow.bin"), true);
  ASSERT_TRUE(f.ok()) << f.status().ToString();
  File& file = **f;
  const std::string head = Pattern(8192, 'a');
  ASSERT_TRUE(file.WriteAt(0, head.data(), head.size()).ok());

  std::atomic<bool> stop{false};
  std::atomic<long> reads{0}, wrong{0};
  std::thread reader([&] {
    std::string buf(head.size(), '\0');
    while (!stop) {
      size_t got = 0;
      Status s = file.ReadAt(0, buf.data(), buf.size(), &got);
      if (!s.ok() || got != buf.size() || buf != head) ++wrong;
      ++reads;
    }
  });
  // Grows the file well past each mapping's reserved room (every read of the
  // new end maps it again), cuts it back now and then, and checks what it wrote.
  const std::string chunk = Pattern(64 << 10, 'k');
  std::string back(chunk.size(), '\0');
  uint64_t end = head.size();
  for (int i = 0; i < 240; ++i) {
    if (i % 80 == 79) {
      ASSERT_TRUE(file.Truncate(head.size()).ok());
      end = head.size();
    }
    ASSERT_TRUE(file.WriteAt(end, chunk.data(), chunk.size()).ok());
    size_t got = 0;
    ASSERT_TRUE(file.ReadAt(end, back.data(), back.size(), &got).ok());
    ASSERT_EQ(got, back.size());
    ASSERT_EQ(back, chunk);
    end += chunk.size();
  }
  // Let the reader run over the last mapping a while too.
  while (reads < 1000) std::this_thread::yield();
  stop = true;
  reader.join();
  EXPECT_EQ(wrong, 0);
  uint64_t size = 0;
  ASSERT_TRUE(file.Size(&size).ok());
  EXPECT_EQ(size, end);
}

}  // namespace
}  // namespace xb
