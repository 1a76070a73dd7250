#include "lib/install/installation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "lib/install/bitmaps.h"
#include "lib/install/folder_merge.h"
#include "lib/install/system_rows.h"
#include "lib/install/table_maker.h"
#include "lib/install/text_files.h"
#include "xbase/env.h"

namespace qz {
namespace fs = std::filesystem;
namespace {

const char* const kFolders[] = {"BASES", "PROFILE",   "TEMP",         "BMP",  "HTML",
                                "MAIL",  "MAIL/SEND", "MAIL/RECEIVE", "HBEAT"};

void Tell(const InstallOptions& o, const std::string& step) {
  if (o.progress) o.progress(step);
}

xb::Status WriteFile(xb::Env* env, const std::string& path, const std::string& bytes) {
  if (!env) env = xb::Env::Default();
  auto f = env->Create(path, true);
  if (!f.ok()) return f.status();
  XB_RETURN_IF_ERROR((*f)->WriteAt(0, bytes.data(), bytes.size()));
  return (*f)->Sync();
}

xb::Status MakeFolders(const std::string& root) {
  for (const char* f : kFolders) {
    std::error_code ec;
    fs::create_directory(fs::path(root) / f, ec);
    if (ec)
      return xb::Status::IOError(root + "/" + f + ": cannot create the folder: " + ec.message());
  }
  return xb::Status::OK();
}

xb::Status MakeTables(const std::string& root, const Catalog& catalog, const InstallOptions& o,
                      InstallReport* report) {
  Tell(o, "BASES");
  bool profile_told = false;
  for (const auto& t : catalog.tables()) {
    bool shared = t.folder == "BASES";
    if (!shared && !profile_told) {
      Tell(o, "PROFILE");
      profile_told = true;
    }
    MakeOptions mo;
    mo.env = o.env;
    // Demo rows go in first and the tags are built over them afterwards: one
    // sorted build per tag is far cheaper than a key insert per row.
    mo.with_tags = !o.demo;
    XB_RETURN_IF_ERROR(CreateTable(t, root + "/" + t.folder, mo));
    (shared ? report->tables : report->templates)++;
    report->tags += static_cast<int>(t.tags.size());
  }
  return xb::Status::OK();
}

xb::Status WriteSupportFiles(xb::Env* env, const std::string& root,
                             const std::string& last_business) {
  for (const auto& f : InstallationBitmaps())
    XB_RETURN_IF_ERROR(WriteFile(env, root + "/" + f.path, f.bytes));
  XB_RETURN_IF_ERROR(WriteFile(env, root + "/HTML/NOTIFICA.HTM", NotificationTemplate()));
  return WriteFile(env, root + "/QUARTZEL.INI", IniFile(last_business));
}

// Builds the tags of every table that has none yet (after a bulk load).
xb::Status AddMissingTags(const std::string& root, const Catalog& catalog, xb::Env* env) {
  for (const auto& t : catalog.tables()) {
    if (t.tags.empty()) continue;
    xb::OpenOptions oo;
    oo.env = env;
    oo.exclusive = true;
    auto table = xb::Table::Open(xb::JoinPath(root + "/" + t.folder, t.name + ".DBF"), oo);
    if (!table.ok()) return table.status();
    xb::Status s = (*table)->Tags().empty() ? AddTags(t, **table) : xb::Status::OK();
    xb::Status c = (*table)->Close();
    XB_RETURN_IF_ERROR(s);
    XB_RETURN_IF_ERROR(c);
  }
  return xb::Status::OK();
}

// Everything of an installation, written into the empty folder `root`.
xb::Status Build(const std::string& root, const Catalog& catalog, const InstallOptions& o,
                 InstallReport* report) {
  XB_RETURN_IF_ERROR(MakeFolders(root));
  XB_RETURN_IF_ERROR(MakeTables(root, catalog, o, report));
  bool has_system_tables =
      catalog.Find("F_SYS") && catalog.Find("FONTS") && catalog.Find("F_TXT_S");
  if (has_system_tables) XB_RETURN_IF_ERROR(WriteSystemRows(root + "/BASES", o.env));
  std::string last_business;
  if (o.demo) {
    DemoOptions demo = o.demo_options;
    demo.env = o.env;
    XB_RETURN_IF_ERROR(LoadDemo(root, catalog, demo, o.progress, &report->demo));
    Tell(o, "tags");
    XB_RETURN_IF_ERROR(AddMissingTags(root, catalog, o.env));
    if (catalog.Find("H_E_DEPT"))
      XB_RETURN_IF_ERROR(LoadDemoHistory(root, demo, o.progress, &report->demo));
    last_business = "HOTELSOL";
  }
  Tell(o, "BMP, HTML, QUARTZEL.INI");
  return WriteSupportFiles(o.env, root, last_business);
}

bool IsEmptyFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_empty(p, ec) && !ec;
}

// The folders of a new installation get the permissions a plain mkdir would
// give (the staging folder is private while it is built).
void OpenUp(const fs::path& p) {
  mode_t mask = umask(0);
  umask(mask);
  std::error_code ec;
  fs::permissions(p, static_cast<fs::perms>(0777 & ~mask), ec);
}

}  // namespace

bool LooksInstalled(const std::string& dir) {
  return !FindEntry(dir, "BASES").empty() || !FindEntry(dir, "QUARTZEL.INI").empty();
}

xb::Result<InstallReport> CreateInstallation(const std::string& dir,
                                             const InstallOptions& options) {
  auto catalog = EmbeddedCatalog();
  if (!catalog.ok()) return catalog.status();
  return CreateInstallation(dir, **catalog, options);
}

xb::Result<InstallReport> CreateInstallation(const std::string& dir, const Catalog& catalog,
                                             const InstallOptions& options) {
  if (dir.empty()) return xb::Status::InvalidArgument("no installation folder given");
  if (options.demo) XB_RETURN_IF_ERROR(CheckDemoOptions(options.demo_options));
  fs::path target = fs::path(dir).lexically_normal();
  if (target.filename().empty()) target = target.parent_path();  // "demo/" -> "demo"
  std::error_code ec;
  bool exists = fs::exists(target, ec);
  if (exists && !fs::is_directory(target, ec))
    return xb::Status::Exists(dir + ": is a file, not a folder");
  bool empty = exists && IsEmptyFolder(target);
  if (exists && !empty && !options.force) {
    std::string what =
        LooksInstalled(target.string()) ? "already holds an installation" : "is not empty";
    return xb::Status::Exists(dir + ": " + what +
                              "; use --force to recreate the installation's tables and files in "
                              "it (their rows are lost; nothing else is touched)");
  }
  fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(parent, ec))
    return xb::Status::NotFound(parent.string() + ": the folder does not exist");

  // Build beside the target, on the same file system, so the move is a rename.
  std::string tmpl = (parent / ("." + target.filename().string() + ".qz-new-XXXXXX")).string();
  if (!mkdtemp(tmpl.data()))
    return xb::Status::IOError(parent.string() +
                               ": cannot create a folder there: " + std::strerror(errno));
  fs::path stage(tmpl);
  InstallReport report;
  xb::Status s = Build(stage.string(), catalog, options, &report);
  if (s.ok()) {
    OpenUp(stage);
    if (!exists || empty) {
      fs::rename(stage, target, ec);
      if (ec)
        s = xb::Status::IOError(dir +
                                ": cannot move the new installation into place: " + ec.message());
    } else {
      s = MergeInto(stage.string(), target.string(), &report.replaced);
    }
  }
  fs::remove_all(stage, ec);  // gone already after a rename; otherwise the leftovers
  if (!s.ok()) return s;
  return report;
}

xb::Result<CheckReport> CheckInstallation(const std::string& dir, const Catalog& catalog) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return xb::Status::NotFound(dir + ": not a folder");
  CheckReport report;
  std::set<std::string> missing_folders;
  for (const auto& t : catalog.tables()) {
    std::string folder = FindEntry(dir, t.folder);
    if (folder.empty()) {
      if (missing_folders.insert(t.folder).second)
        report.problems.push_back(dir + ": folder " + t.folder + " is missing");
      continue;
    }
    auto path = xb::Env::Default()->Resolve(xb::JoinPath(dir + "/" + folder, t.name + ".DBF"));
    if (!path.ok()) {
      report.problems.push_back(dir + "/" + folder + ": table " + t.name + " is missing");
      continue;
    }
    xb::OpenOptions oo;
    oo.read_only = true;
    auto table = xb::Table::Open(*path, oo);
    if (!table.ok()) {
      report.problems.push_back(table.status().ToString());
      continue;
    }
    ++report.tables;
    CompareWithCatalog(t, **table, &report.problems);
    xb::Status s = (*table)->Check(&report.problems);
    if (!s.ok()) report.problems.push_back(s.ToString());
    report.tags += static_cast<int>((*table)->Tags().size());
  }
  return report;
}

}  // namespace qz
