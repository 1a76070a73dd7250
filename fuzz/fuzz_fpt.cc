// libFuzzer target: any bytes as the memo file (.FPT) of a valid table.
// Reading every memo must give text or an error naming the file, and a memo
// written afterwards must read back, never crash or run outside the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "xbase/table.h"

namespace {

std::string Dir() {
  static std::string d = [] {
    char tmpl[] = "/tmp/fuzzfpt-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    // A table of 8 records whose memo fields point at blocks 0..14.
    xb::CreateOptions co;
    co.exclusive = true;
    auto t = xb::Table::Create(dir + "/M.DBF", {{"ID", 'N', 4, 0}, {"NOTE", 'M', 10, 0}}, co);
    if (t.ok()) {
      for (int i = 1; i <= 8; ++i) {
        (void)(*t)->Append();
        (void)(*t)->Put("ID", xb::Value::Number(i));
        (void)(*t)->Put("NOTE", xb::Value::Char(std::string(static_cast<size_t>(i * 20), 'x')));
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
  std::string dbf = dir + "/M.DBF", fpt = dir + "/M.FPT";
  // Keep a pristine copy of the table: writes below change it.
  static std::string dbf_bytes = [&] {
    FILE* f = std::fopen(dbf.c_str(), "rb");
    std::string b;
    char buf[4096];
    size_t n;
    while (f && (n = std::fread(buf, 1, sizeof buf, f)) > 0) b.append(buf, n);
    if (f) std::fclose(f);
    return b;
  }();
  FILE* f = std::fopen(dbf.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(dbf_bytes.data(), 1, dbf_bytes.size(), f);
  std::fclose(f);
  f = std::fopen(fpt.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  xb::OpenOptions o;
  o.exclusive = true;
  auto t = xb::Table::Open(dbf, o);
  if (!t.ok()) return 0;
  xb::SetDeletedHidden(false);
  for (xb::Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1)) {
    auto v = (*t)->Get("NOTE");
    if (!v.ok() && v.status().message().find("M.FPT") == std::string::npos) __builtin_trap();
  }
  if ((*t)->GoTo(3).ok()) {
    std::string text(77, 'q');
    if ((*t)->Put("NOTE", xb::Value::Char(text)).ok() && (*t)->WriteBack().ok()) {
      auto back = (*t)->Get("NOTE");
      if (back.ok() && back->str() != text) __builtin_trap();
    }
  }
  return 0;
}
