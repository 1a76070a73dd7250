#include "xbase/file_swap.h"

#include <cstring>

#include "xbase/table_locks.h"

namespace xb {
namespace {

constexpr char kMarkerHead[] = "QZSWAP 1\n";
constexpr char kMarkerTail[] = "END\n";
// Over the version byte and the update date: no DBF starts with it.
constexpr char kReplacedMark[4] = {'\0', 'Q', 'Z', 'P'};

std::string MarkerPath(const std::string& dbf) { return dbf + ".swap"; }

// The files of a complete marker; empty when it is missing or was cut short
// (the swap then never committed).
std::vector<std::string> ReadMarker(Env* env, const std::string& marker) {
  auto f = env->Open(marker, OpenMode::kReadOnly);
  if (!f.ok()) return {};
  uint64_t size = 0;
  if (!(*f)->Size(&size).ok() || size > 65536) return {};
  std::string text(size, '\0');
  if (!(*f)->ReadExact(0, text.data(), text.size()).ok()) return {};
  const std::string head = kMarkerHead, tail = kMarkerTail;
  if (text.size() < head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
      text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
    return {};
  std::vector<std::string> finals;
  size_t pos = head.size(), end = text.size() - tail.size();
  while (pos < end) {
    size_t nl = text.find('\n', pos);
    finals.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return finals;
}

Status RenameAll(Env* env, const std::vector<std::string>& finals) {
  for (const auto& f : finals) {
    std::string tmp = SwapTemp(f);
    if (!env->Exists(tmp)) continue;  // renamed before the kill
    XB_RETURN_IF_ERROR(env->Rename(tmp, f));
  }
  return Status::OK();
}

}  // namespace

std::string SwapTemp(const std::string& path) { return path + ".new"; }

void RemoveBuildFiles(Env* env, const std::string& path) {
  // An index being built keeps a rollback journal beside it until it is done.
  for (const std::string& f : {SwapTemp(path), SwapTemp(path) + "-journal"})
    if (env->Exists(f)) (void)env->Remove(f);
}

Status MarkReplaced(File* old_dbf) { return old_dbf->WriteAt(0, kReplacedMark, sizeof kReplacedMark); }

bool IsMarkedReplaced(const uint8_t* header_prefix, size_t len) {
  return len >= sizeof kReplacedMark && std::memcmp(header_prefix, kReplacedMark, sizeof kReplacedMark) == 0;
}

Status CommitSwap(Env* env, const std::string& dbf, const std::vector<std::string>& finals) {
  std::string text = kMarkerHead;
  for (const auto& f : finals) text += f + "\n";
  text += kMarkerTail;
  std::string marker = MarkerPath(dbf);
  {
    auto m = env->Create(marker, true);
    if (!m.ok()) return m.status();
    XB_RETURN_IF_ERROR((*m)->WriteAt(0, text.data(), text.size()));
    XB_RETURN_IF_ERROR((*m)->Sync());
  }
  XB_RETURN_IF_ERROR(RenameAll(env, finals));
  return env->Remove(marker);
}

Status RecoverSwap(Env* env, const std::string& dbf) {
  std::string marker = MarkerPath(dbf);
  if (!env->Exists(marker) && !env->Exists(SwapTemp(dbf))) return Status::OK();
  auto f = env->Open(dbf, OpenMode::kReadWrite);
  if (!f.ok()) {
    // A user who may only read cannot finish a committed swap, and must not
    // read the old table beside the new memo or index renamed before it.
    if (!ReadMarker(env, marker).empty())
      return Status::Busy(dbf + ": an interrupted pack waits for a user who may write the folder");
    return Status::OK();
  }
  if (!(*f)->Lock(kShareLockOffset, 1, true).ok()) return Status::OK();  // in use
  std::vector<std::string> finals = ReadMarker(env, marker);
  Status s;
  if (!finals.empty()) {
    const bool replaces_dbf = env->Exists(SwapTemp(dbf));  // then `f` is the old file
    s = RenameAll(env, finals);
    if (s.ok() && replaces_dbf) s = MarkReplaced(f->get());
    if (s.ok()) s = env->Remove(marker);
  } else {
    // Never committed: the old files are whole; drop what was being built.
    for (const char* ext : {".FPT", ".CDX", ".fpt", ".cdx"}) {
      RemoveBuildFiles(env, ReplaceExtension(dbf, ext));
      auto r = env->Resolve(ReplaceExtension(dbf, ext));
      if (r.ok()) RemoveBuildFiles(env, *r);
    }
    if (env->Exists(SwapTemp(dbf))) (void)env->Remove(SwapTemp(dbf));
    if (env->Exists(marker)) (void)env->Remove(marker);
  }
  (void)(*f)->Unlock(kShareLockOffset, 1);
  if (!s.ok()) return s.With(dbf + ": finishing an interrupted pack or reindex");
  return s;
}

}  // namespace xb
