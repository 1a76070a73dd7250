// Time to create an installation: `qzadmin init` (every table and tag of the
// catalog, empty) and `qzadmin demo` (init plus the demo hotel group, with
// its tags built over the loaded rows). Run by hand: build/bench_install.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "lib/install/installation.h"

namespace {

namespace fs = std::filesystem;

void Install(benchmark::State& state, bool demo, int employees) {
  std::string base = (fs::temp_directory_path() / "qzbench-XXXXXX").string();
  if (!mkdtemp(base.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  int n = 0;
  for (auto _ : state) {
    qz::InstallOptions o;
    o.demo = demo;
    o.demo_options.employees = employees;
    std::string dir = base + "/inst" + std::to_string(n++);
    auto r = qz::CreateInstallation(dir, o);
    if (!r.ok()) {
      state.SkipWithError(r.status().ToString().c_str());
      break;
    }
    state.PauseTiming();
    fs::remove_all(dir);
    state.ResumeTiming();
  }
  fs::remove_all(base);
}

void BM_Init(benchmark::State& state) {
  Install(state, false, 0);
}
void BM_Demo(benchmark::State& state) {
  Install(state, true, static_cast<int>(state.range(0)));
}

BENCHMARK(BM_Init)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Demo)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
