#include "lib/install/folder_merge.h"

#include <strings.h>

#include <filesystem>
#include <set>

namespace qz {
namespace fs = std::filesystem;
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Rel(const fs::path& p, const fs::path& root) {
  return p.lexically_relative(root).generic_string();
}

xb::Status Remove(const fs::path& p, const fs::path& root, std::vector<std::string>* replaced) {
  std::error_code ec;
  fs::remove(p, ec);
  if (ec) return xb::Status::IOError(p.string() + ": cannot replace it: " + ec.message());
  replaced->push_back(Rel(p, root));
  return xb::Status::OK();
}

xb::Status MergeFolder(const fs::path& from, const fs::path& to, const fs::path& root,
                       std::vector<std::string>* replaced) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (const auto& e : fs::directory_iterator(from, ec)) entries.push_back(e);
  if (ec) return xb::Status::IOError(from.string() + ": " + ec.message());

  // Tables being replaced: their old companions go, whatever the new table has.
  std::set<std::string> stems;
  for (const auto& e : entries)
    if (e.is_regular_file() && Upper(e.path().extension().string()) == ".DBF")
      stems.insert(Upper(e.path().stem().string()));
  if (!stems.empty()) {
    std::vector<fs::path> old;
    for (const auto& e : fs::directory_iterator(to, ec)) {
      std::string ext = Upper(e.path().extension().string());
      if (e.is_regular_file() && stems.count(Upper(e.path().stem().string())) &&
          (ext == ".DBF" || ext == ".CDX" || ext == ".FPT"))
        old.push_back(e.path());
    }
    if (ec) return xb::Status::IOError(to.string() + ": " + ec.message());
    for (const auto& p : old) XB_RETURN_IF_ERROR(Remove(p, root, replaced));
  }

  for (const auto& e : entries) {
    std::string name = e.path().filename().string();
    std::string existing = FindEntry(to.string(), name);
    fs::path dest = to / (existing.empty() ? name : existing);
    if (e.is_directory()) {
      if (existing.empty()) {
        fs::rename(e.path(), dest, ec);
        if (ec) return xb::Status::IOError(dest.string() + ": cannot create it: " + ec.message());
        continue;
      }
      if (!fs::is_directory(dest, ec))
        return xb::Status::Exists(dest.string() +
                                  ": is a file where the installation has a folder");
      XB_RETURN_IF_ERROR(MergeFolder(e.path(), dest, root, replaced));
      continue;
    }
    if (!existing.empty()) {
      if (fs::is_directory(dest, ec))
        return xb::Status::Exists(dest.string() +
                                  ": is a folder where the installation has a file");
      XB_RETURN_IF_ERROR(Remove(dest, root, replaced));
      dest = to / name;  // the new file keeps the installation's spelling
    }
    fs::rename(e.path(), dest, ec);
    if (ec) return xb::Status::IOError(dest.string() + ": cannot write it: " + ec.message());
  }
  return xb::Status::OK();
}

}  // namespace

std::string FindEntry(const std::string& dir, const std::string& name) {
  std::error_code ec;
  if (fs::exists(fs::path(dir) / name, ec)) return name;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    std::string n = e.path().filename().string();
    if (strcasecmp(n.c_str(), name.c_str()) == 0) return n;
  }
  return "";
}

xb::Status MergeInto(const std::string& from, const std::string& to,
                     std::vector<std::string>* replaced) {
  return MergeFolder(from, to, to, replaced);
}

}  // namespace qz
