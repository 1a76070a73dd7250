// libFuzzer target: any bytes opened as a compound index must give statuses,
// never crashes, hangs or leaks. Walks every tag both ways, seeks, and makes
// a few changes (which must leave the file readable or report Corrupt).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "xbase/cdx.h"

namespace {

void Walk(xb::CdxTag* t, bool back) {
  auto c = t->NewCursor();
  xb::Status s = back ? c->Last() : c->First();
  for (int i = 0; s.ok() && c->Valid() && i < 100000; ++i) s = back ? c->Prev() : c->Next();
}

void Exercise(xb::CdxFile* f) {
  for (int i = 0; i < f->tag_count() && i < 16; ++i) {
    xb::CdxTag* t = f->tag(i);
    t->SetKeyType(i % 2 ? xb::KeyType::kNumber : xb::KeyType::kChar);
    Walk(t, false);
    Walk(t, true);
    auto c = t->NewCursor();
    bool found;
    (void)c->Seek("A", true, false, &found);
    (void)c->Seek("A", true, true, &found);
    (void)c->Next();
    (void)c->Prev();
    int len = t->def().key_len;
    if (len < 1 || len > 240) continue;
    if (!f->LockWrite().ok()) continue;
    for (uint32_t r = 1; r <= 40; ++r) {
      std::string k(static_cast<size_t>(len), static_cast<char>('A' + r % 7));
      if (!t->Insert(k, r * 977).ok()) break;
    }
    (void)t->Remove(std::string(static_cast<size_t>(len), 'B'), 977);
    (void)f->UnlockWrite();
    Walk(t, false);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_cdx_" + std::to_string(getpid()) + ".cdx";
  // The last input's rollback journal would make this one depend on it.
  std::remove((path + "-journal").c_str());
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return 0;
  std::fwrite(data, 1, size, fp);
  std::fclose(fp);
  auto f = xb::CdxFile::Open(xb::Env::Default(), path, xb::OpenMode::kReadWrite);
  if (f.ok()) {
    Exercise(f->get());
    // Whatever the changes did, the file must reopen cleanly or as Corrupt.
    f.value().reset();
    auto again = xb::CdxFile::Open(xb::Env::Default(), path, xb::OpenMode::kReadOnly);
    if (again.ok()) {
      for (int i = 0; i < (*again)->tag_count() && i < 16; ++i) Walk((*again)->tag(i), false);
    }
  }
  return 0;
}
