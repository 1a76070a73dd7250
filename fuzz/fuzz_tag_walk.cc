// libFuzzer target: any bytes as the structural index (.CDX) of a valid
// table. Opening it, walking every tag both ways through the table (as the
// grids do), seeking and checking must end with records or an error: a walk
// that does not end is a failure here.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "xbase/table.h"

namespace {

constexpr int kRecords = 60;

std::string Dir() {
  static std::string d = [] {
    char tmpl[] = "/tmp/fuzzwalk-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    xb::CreateOptions co;
    co.exclusive = true;
    auto t = xb::Table::Create(dir + "/W.DBF", {{"CODE", 'C', 6, 0}, {"N", 'N', 6, 0}}, co);
    if (t.ok()) {
      for (int i = 1; i <= kRecords; ++i) {
        (void)(*t)->Append();
        (void)(*t)->Put("CODE", xb::Value::Char("K" + std::to_string(i * 7 % 50)));
        (void)(*t)->Put("N", xb::Value::Number(i % 9));
      }
      (void)(*t)->Close();
    }
    return dir;
  }();
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string dir = Dir();
  std::remove((dir + "/W.CDX-journal").c_str());
  FILE* f = std::fopen((dir + "/W.CDX").c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  xb::OpenOptions o;
  o.read_only = true;
  auto t = xb::Table::Open(dir + "/W.DBF", o);
  if (!t.ok()) return 0;
  xb::SetDeletedHidden(true);
  // Every entry is visited at most once: a walk can never be longer than the
  // entries the file can hold.
  const long limit = static_cast<long>(size / 2) + 2 * kRecords + 10;
  for (const auto& tag : (*t)->Tags()) {
    if (!(*t)->SetOrder(tag.name).ok()) continue;
    long steps = 0;
    for (xb::Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1))
      if (++steps > limit) __builtin_trap();
    steps = 0;
    for (xb::Status s = (*t)->GoBottom(); s.ok() && !(*t)->Bof() && !(*t)->Eof(); s = (*t)->Skip(-1))
      if (++steps > limit) __builtin_trap();
    (void)(*t)->Seek(xb::Value::Char("K1"), true);
    (void)(*t)->Skip(1);
  }
  std::vector<std::string> problems;
  (void)(*t)->Check(&problems);
  return 0;
}
