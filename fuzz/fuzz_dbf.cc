// Fuzz target: arbitrary bytes as a DBF table (first half) and its FPT memo
// file (second half). Opening, walking every record and reading every field
// must never crash, hang or read outside the buffers.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "xbase/table.h"

namespace {

std::string Dir() {
  static std::string d = [] {
    char tmpl[] = "/tmp/fuzzdbf-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  return d;
}

void Write(const std::string& path, const uint8_t* p, size_t n) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (n) std::fwrite(p, 1, n, f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t half = size / 2;
  Write(Dir() + "/F.DBF", data, half);
  Write(Dir() + "/F.FPT", data + half, size - half);
  xb::OpenOptions o;
  o.read_only = true;
  o.open_index = false;
  auto t = xb::Table::Open(Dir() + "/F.DBF", o);
  if (!t.ok()) return 0;
  xb::SetDeletedHidden(false);
  int n = 0;
  for (xb::Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof() && n < 1000; s = (*t)->Skip(1), ++n) {
    for (size_t i = 0; i < (*t)->fields().size(); ++i) (void)(*t)->Get(static_cast<int>(i));
  }
  (void)(*t)->GoBottom();
  (void)(*t)->Skip(-3);
  return 0;
}
