#include <strings.h>

#include "xbase/env.h"

namespace xb {

Status File::ReadExact(uint64_t offset, void* buf, size_t n) {
  size_t got = 0;
  XB_RETURN_IF_ERROR(ReadAt(offset, buf, n, &got));
  if (got != n) {
    return Status::Corrupt(path() + ": file ends at byte " + std::to_string(offset + got) +
                           ", expected " + std::to_string(n) + " bytes at offset " +
                           std::to_string(offset));
  }
  return Status::OK();
}

bool Env::Exists(const std::string& path) {
  FileInfo info;
  return Stat(path, &info).ok();
}

Result<std::string> Env::Resolve(const std::string& path) {
  if (Exists(path)) return path;
  std::string dir = DirName(path);
  std::string base = BaseName(path);
  std::vector<std::string> names;
  Status s = ListDir(dir.empty() ? "." : dir, &names);
  if (!s.ok()) return Status::NotFound(path + ": no such file");
  for (const auto& n : names) {
    if (strcasecmp(n.c_str(), base.c_str()) == 0) return JoinPath(dir, n);
  }
  return Status::NotFound(path + ": no such file");
}

std::string DirName(const std::string& path) {
  auto p = path.find_last_of('/');
  if (p == std::string::npos) return "";
  if (p == 0) return "/";
  return path.substr(0, p);
}

std::string BaseName(const std::string& path) {
  auto p = path.find_last_of('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ReplaceExtension(const std::string& path, const std::string& ext) {
  std::string base = BaseName(path);
  auto dot = base.find_last_of('.');
  std::string stem = dot == std::string::npos ? path : path.substr(0, path.size() - base.size() + dot);
  return stem + ext;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

}  // namespace xb
