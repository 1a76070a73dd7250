#include "lib/ui/output_file.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace qz {

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool FolderExists(const std::string& folder) {
  struct stat st;
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string SideFileName(const std::string& final_path) {
  static std::atomic<int> counter{0};
  std::string folder = FolderOf(final_path);
  std::string base = final_path.substr(final_path.find_last_of('/') + 1);
  std::string ext;
  size_t dot = base.find_last_of('.');
  if (dot != std::string::npos && dot > 0) ext = base.substr(dot);
  return folder + "/.~" + base + "." + std::to_string(::getpid()) + "-" +
         std::to_string(++counter) + ".part" + ext;
}

std::string SystemErrorText(int err) {
  switch (err) {
    case ENOENT:
      return "la carpeta no existe";
    case EACCES:
    case EPERM:
      return "no tiene permiso para escribir en la carpeta";
    case EROFS:
      return "la carpeta es de sólo lectura";
    case ENOSPC:
      return "el disco está lleno";
    case EISDIR:
      return "el nombre es el de una carpeta";
    case ENAMETOOLONG:
      return "el nombre es demasiado largo";
    default:
      return std::strerror(err);
  }
}

xb::Status PublishFile(const std::string& side, const std::string& final_path, bool replace) {
  struct stat st;
  int rc = replace ? ::rename(side.c_str(), final_path.c_str())
                   : ::link(side.c_str(), final_path.c_str());
  int err = errno;
  if (rc != 0 && !replace && (err == EPERM || err == EOPNOTSUPP || err == ENOSYS)) {
    // A file system without hard links (a Windows share): test, then rename.
    if (::stat(final_path.c_str(), &st) == 0) return xb::Status::Exists(final_path);
    rc = ::rename(side.c_str(), final_path.c_str());
    err = errno;
    if (rc == 0) return xb::Status::OK();
  } else if (rc == 0) {
    if (!replace) ::unlink(side.c_str());
    return xb::Status::OK();
  }
  if (err == EEXIST) return xb::Status::Exists(final_path);
  ::unlink(side.c_str());
  if (replace && err == EISDIR) return xb::Status::IOError(SystemErrorText(err));
  if (::stat(final_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return xb::Status::IOError(SystemErrorText(EISDIR));
  return xb::Status::IOError(SystemErrorText(err));
}

}  // namespace qz
