// Installation commands of qzadmin: init, demo, check of a whole installation
// and schema (the catalog compiled into the program).
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "lib/install/catalog.h"
#include "lib/install/installation.h"
#include "qzadmin.h"

namespace qzadmin {
namespace {

struct InitArgs {
  std::string dir;
  qz::InstallOptions options;
  bool ok = false;
};

bool ParseDate(const std::string& s, qz::DemoOptions* o) {
  if (s.size() != 8 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  int y = std::stoi(s.substr(0, 4)), m = std::stoi(s.substr(4, 2)), d = std::stoi(s.substr(6, 2));
  if (y < 1990 || y > 2080 || m < 1 || m > 12 || d < 1 || d > 31) return false;
  o->year = y;
  o->month = m;
  o->day = d;
  return true;
}

InitArgs Parse(const Args& args, bool demo) {
  InitArgs a;
  a.options.demo = demo;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--force") {
      a.options.force = true;
    } else if (demo && args[i] == "--date" && i + 1 < args.size()) {
      if (!ParseDate(args[++i], &a.options.demo_options)) {
        std::fprintf(stderr, "qzadmin: --date wants YYYYMMDD, not %s\n", args[i].c_str());
        return a;
      }
    } else if (!args[i].empty() && args[i][0] != '-' && a.dir.empty()) {
      a.dir = args[i];
    } else {
      std::fprintf(stderr, "qzadmin: unexpected argument %s\n", args[i].c_str());
      return a;
    }
  }
  if (a.dir.empty()) {
    std::fprintf(stderr, "qzadmin: an installation folder is needed\n");
    return a;
  }
  a.ok = true;
  return a;
}

int Install(const Args& args, bool demo) {
  InitArgs a = Parse(args, demo);
  if (!a.ok) return 2;
  auto start = std::chrono::steady_clock::now();
  auto report = qz::CreateInstallation(a.dir, a.options);
  if (!report.ok()) return Fail(report.status().ToString());
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s: %d tables and %d templates with %d tags created in %.2f s\n", a.dir.c_str(),
              report->tables, report->templates, report->tags, secs);
  if (!report->replaced.empty())
    std::printf("replaced %zu files of the earlier installation (nothing else was touched)\n",
                report->replaced.size());
  if (demo) {
    long rows = 0;
    for (const auto& [table, n] : report->demo.rows) rows += n;
    std::printf("demo: %ld rows in %zu tables\n", rows, report->demo.rows.size());
    int n = 0;
    const qz::DemoLogin* logins = qz::DemoLogins(&n);
    for (int i = 0; i < n; ++i)
      std::printf("  login %-9s password %-6s (%s)\n", logins[i].name, logins[i].password,
                  logins[i].role);
  }
  return 0;
}

}  // namespace

int CmdInit(const Args& args) {
  return Install(args, false);
}
int CmdDemo(const Args& args) {
  return Install(args, true);
}

int CmdCheckInstallation(const Args& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "qzadmin: check wants one installation folder\n");
    return 2;
  }
  auto catalog = qz::EmbeddedCatalog();
  if (!catalog.ok()) return Fail(catalog.status().ToString());
  auto report = qz::CheckInstallation(args[0], **catalog);
  if (!report.ok()) return Fail(report.status().ToString());
  for (const auto& p : report->problems) std::cout << p << '\n';
  std::cout << args[0] << ": " << report->tables << " tables, " << report->tags << " tags checked, "
            << report->problems.size() << " problems\n";
  return report->problems.empty() ? 0 : 1;
}

int CmdSchema(const Args& args) {
  auto catalog = qz::EmbeddedCatalog();
  if (!catalog.ok()) return Fail(catalog.status().ToString());
  bool as_json = !args.empty() && args[0] == "--json";
  if (args.size() > (as_json ? 1u : 0u)) {
    std::fprintf(stderr, "qzadmin: schema takes only --json\n");
    return 2;
  }
  nlohmann::json out = nlohmann::json::array();
  for (const auto& t : (*catalog)->tables()) {
    if (!as_json) {
      std::printf("%-8s %-7s %3zu fields %2zu tags  %s\n", t.name.c_str(), t.folder.c_str(),
                  t.fields.size(), t.tags.size(), t.doc.c_str());
      continue;
    }
    nlohmann::json fields = nlohmann::json::array(), tags = nlohmann::json::array();
    for (const auto& f : t.fields)
      fields.push_back(
          {{"name", f.name}, {"type", std::string(1, f.type)}, {"len", f.len}, {"dec", f.dec}});
    for (const auto& g : t.tags)
      tags.push_back(
          {{"name", g.name}, {"key", g.key}, {"for", g.for_expr}, {"descending", g.descending}});
    out.push_back({{"name", t.name},
                   {"folder", t.folder},
                   {"group", t.group},
                   {"fields", fields},
                   {"tags", tags}});
  }
  if (as_json) std::cout << out.dump(1) << '\n';
  return 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qzadmin
