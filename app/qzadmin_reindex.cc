// qzadmin reindex: rebuilds the structural index of one table, or of every
// table of an installation, from the records alone. The tags come from the old
// index when its tag directory can be read, else from the table catalog
// compiled into qzadmin, so a damaged or deleted .CDX is rebuilt too.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>

#include "lib/install/catalog.h"
#include "qzadmin.h"
#include "xbase/env.h"
#include "xbase/table.h"

namespace qzadmin {
namespace {

std::vector<xb::TagInfo> CatalogTags(const std::string& table_name) {
  std::vector<xb::TagInfo> tags;
  auto catalog = qz::EmbeddedCatalog();
  if (!catalog.ok()) return tags;
  const qz::CatalogTable* t = (*catalog)->Find(table_name);
  if (!t) return tags;
  for (const auto& g : t->tags) {
    xb::TagInfo info;
    info.name = g.name;
    info.key = g.key;
    info.for_expr = g.for_expr;
    info.descending = g.descending;
    tags.push_back(info);
  }
  return tags;
}

// Rebuilds one table's index; prints what was done. False on failure.
bool ReindexTable(const std::string& file) {
  xb::OpenOptions o;
  o.exclusive = true;
  auto t = xb::Table::Open(file, o);
  if (!t.ok() && !t.status().IsBusy()) {
    // The index itself may be what cannot be opened: the table alone will do.
    o.open_index = false;
    o.require_index = false;
    t = xb::Table::Open(file, o);
  }
  if (!t.ok()) {
    Fail(t.status().ToString());
    return false;
  }
  xb::Status s = (*t)->Reindex(CatalogTags((*t)->name()));
  if (s.ok()) s = (*t)->Close();
  if (!s.ok()) {
    Fail(s.ToString());
    return false;
  }
  std::cout << (*t)->path() << ": " << (*t)->Tags().size() << " tags rebuilt\n";
  return true;
}

bool IsTableFile(const std::string& name) {
  if (name.size() < 5) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".DBF";
}

}  // namespace

int CmdReindex(const Args& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "qzadmin: reindex wants one table file or installation folder\n");
    return 2;
  }
  if (!IsFolder(args[0])) return ReindexTable(args[0]) ? 0 : 1;
  // An installation: its shared tables and the templates of scratch tables;
  // a plain folder of tables: the tables in it.
  xb::Env* env = xb::Env::Default();
  std::vector<std::string> folders;
  for (const char* sub : {"BASES", "PROFILE"}) {
    auto d = env->Resolve(xb::JoinPath(args[0], sub));
    if (d.ok() && IsFolder(*d)) folders.push_back(*d);
  }
  if (folders.empty()) folders.push_back(args[0]);
  int failed = 0, done = 0;
  for (const auto& dir : folders) {
    std::vector<std::string> names;
    xb::Status s = env->ListDir(dir, &names);
    if (!s.ok()) return Fail(s.ToString());
    std::sort(names.begin(), names.end());
    for (const auto& n : names) {
      if (!IsTableFile(n)) continue;
      if (ReindexTable(xb::JoinPath(dir, n))) {
        ++done;
      } else {
        ++failed;
      }
    }
  }
  std::cout << args[0] << ": " << done << " tables reindexed, " << failed << " failed\n";
  return failed ? 1 : 0;
}

}  // namespace qzadmin
