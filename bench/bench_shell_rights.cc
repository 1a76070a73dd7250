// The rights rows of the users screen at their real size: 5,001 rows per
// user or profile. Creating a user appends them all; saving a design writes
// the rows whose value changed (all of them in the worst case below);
// loading reads them back. The target is well under a second each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "lib/data/use.h"
#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "shell/rights_rows.h"
#include "shell/shell_tables.h"

namespace {

namespace fs = std::filesystem;

const std::string kBusiness = "HOTELSOL";

// A fresh demo installation of this process (its users have their 5,001
// rows already, as the demo writes them).
const std::string& Home() {
  static const std::string home = [] {
    std::string dir =
        (fs::temp_directory_path() / ("qz-bench-rights-" + std::to_string(getpid()))).string();
    qz::InstallOptions o;
    o.demo = true;
    o.force = true;
    auto r = qz::CreateInstallation(dir, o);
    if (!r.ok()) std::fprintf(stderr, "demo: %s\n", r.status().ToString().c_str());
    qz::ResetGlobals();
    qz::StartDataLayer(dir + "/");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(Home(), ec);
    });
    return dir;
  }();
  return home;
}

// A new user's rows: 5,001 appended.
void BM_CreateUserRights(benchmark::State& state) {
  Home();
  qz::TablePtr menus = qz::OpenShellTable("MENUS", "MENUS");
  int code = 1000;
  const qz::RightsDesign none = qz::EmptyDesign();
  for (auto _ : state) benchmark::DoNotOptimize(qz::WriteRightsRows(*menus, kBusiness, ++code, none));
  qz::KILLTABLA(menus);
}
BENCHMARK(BM_CreateUserRights)->Unit(benchmark::kMillisecond);

// Saving a design in which every right changed: 5,001 rows locked and
// written.
void BM_SaveDesignAllChanged(benchmark::State& state) {
  Home();
  qz::TablePtr menus = qz::OpenShellTable("MENUS", "MENUS");
  qz::RightsDesign design = qz::ReadRightsRows(*menus, kBusiness, 3).checks;
  for (auto _ : state) {
    design.flip();
    benchmark::DoNotOptimize(qz::WriteRightsRows(*menus, kBusiness, 3, design));
  }
  qz::KILLTABLA(menus);
}
BENCHMARK(BM_SaveDesignAllChanged)->Unit(benchmark::kMillisecond);

// Loading a user's design (5,001 rows read).
void BM_LoadDesign(benchmark::State& state) {
  Home();
  qz::TablePtr menus = qz::OpenShellTable("MENUS", "MENUS");
  for (auto _ : state) benchmark::DoNotOptimize(qz::ReadRightsRows(*menus, kBusiness, 2));
  qz::KILLTABLA(menus);
}
BENCHMARK(BM_LoadDesign)->Unit(benchmark::kMillisecond);

// "Asignar Perfil": the profile's rows read, the user's written.
void BM_AssignProfile(benchmark::State& state) {
  Home();
  qz::TablePtr menus = qz::OpenShellTable("MENUS", "MENUS");
  qz::TablePtr det = qz::OpenShellTable("DET_PERF", "DET_PERF");
  int i = 0;
  for (auto _ : state) {
    // Alternate between the profile and no rights so each pass writes.
    qz::RightsDesign d = qz::ReadRightsRows(*det, kBusiness, 1).checks;
    if (++i % 2 == 0) d = qz::EmptyDesign();
    benchmark::DoNotOptimize(qz::WriteRightsRows(*menus, kBusiness, 3, d));
  }
  qz::KILLTABLA(det);
  qz::KILLTABLA(menus);
}
BENCHMARK(BM_AssignProfile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
