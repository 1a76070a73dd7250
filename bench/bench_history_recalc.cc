// Rebuilding the column summary of past payrolls (and recomputing their
// average hourly costs) over the demo's thirteen months of payrolls, and
// over a generated history of one department of 1,000 employees x 20
// columns x 24 monthly payrolls opened by the real consolidation. Each
// iteration works on a fresh copy of the installation, made outside the
// timing: a rebuild over a summarised history has nothing to do.
// Run: build/bench_history_recalc
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "lib/data/journal.h"
#include "lib/install/installation.h"
#include "lib/payroll/consolidation.h"
#include "lib/payroll/history_hourly_cost.h"
#include "lib/payroll/history_summary.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/temp_dir.h"
#include "xbase/table.h"
#include "bench_rows.h"
#include "load_average.h"

namespace {

constexpr int kEmployees = 1000;
constexpr int kColumns = 20;
constexpr int kMonths = 24;
const char* kNeg = "HOTEL CENTRAL";

using bench_rows::C;
using bench_rows::Col;
using bench_rows::N;
using bench_rows::Open;
using bench_rows::Put;
namespace fs = std::filesystem;


// The demo installation, as `qzadmin demo` makes it.
struct Demo {
  qztest::TempDir dir;
  std::string root;
  Demo() {
    root = dir.path() + "/demo/";
    qz::InstallOptions o;
    o.demo = true;
    if (!qz::CreateInstallation(root, o).ok()) std::abort();
  }
};

// One department of kEmployees employees, its payroll opened on the last
// day of kMonths months.
struct History {
  qztest::TempDir dir;
  std::string root;
  History() {
    root = bench_rows::NewInstallation(dir.path() + "/hist");
    const std::string b = root + "BASES/";
    auto p = Open(b, "TIP_PLA");
    Put(*p, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}, {"CANTIDAD", N(1)},
             {"N_EMISION", N(1)}});
    auto s = Open(b, "TIEMPO_E");
    Put(*s, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}});
    auto d = Open(b, "ENC_DEPT");
    Put(*d, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("M")}});
    auto f = Open(b, "F_PLAN");
    Put(*f, {{"NEGOCIO", C(kNeg)}, {"SAL_PROM", N(6)}});
    auto cols = Open(b, "DET_DEPT");
    auto tip = Open(b, "ENC_TIP");
    for (int c = 0; c < kColumns; ++c) {
      Put(*tip, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(Col(c))}, {"TIPO", N(1)},
                 {"VAL_BASE", N(c == 0 ? 1 : 0)}});
      Put(*cols, {{"NEGOCIO", C(kNeg)}, {"DEPTO", C("D1")}, {"TIPO", C("01")},
                  {"COD_COLUMN", C(Col(c))}, {"ORDEN", N(c)}});
    }
    auto e = Open(b, "ENC_PERS");
    auto v = Open(b, "DET_PERS");
    for (int i = 0; i < kEmployees; ++i) {
      const std::string code = "E" + std::to_string(10000 + i);
      Put(*e, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"DEPTO", C("D1")},
               {"NOMBRE", C("Empleado " + code)}, {"COD_TIEMPO", C("08")}, {"ACTIVO", N(1)},
               {"TOT_SAL", N(600000 + 997.0 * i)}});
      for (int c = 0; c < kColumns; ++c)
        Put(*v, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(Col(c))}});
    }
    bench_rows::StartPayroll(root, {p.get(), s.get(), d.get(), f.get(), cols.get(), tip.get(),
                                    e.get(), v.get()});
    qz::SetDurableCommits(false);
    for (int m = 0; m < kMonths; ++m) {
      const int y = 2024 + m / 12, mo = m % 12 + 1;
      qz::ConsolidationRequest r;
      r.negocio = kNeg;
      r.depto = "D1";
      r.fecha = xb::JulianFromYmd(y + (mo == 12), mo % 12 + 1, 1) - 1;  // last day of the month
      if (!qz::ConsolidatePayroll(r).ok()) std::abort();
    }
    qz::SetDurableCommits(true);
  }
};

// A fresh copy of `from` with the data layer started on it.
struct Copy {
  qztest::TempDir dir;
  std::string root;
  explicit Copy(const std::string& from) {
    root = dir.path() + "/copy/";
    fs::copy(from, root, fs::copy_options::recursive);
    bench_rows::StartPayroll(root, {});
  }
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Run(benchmark::State& state, const std::string& root, const std::string& negocio,
         qz::HistoryRecalcResult (*recalc)(const qz::HistoryRecalcRequest&)) {
  qz::HistoryRecalcResult result;
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto copy = std::make_unique<Copy>(root);
    state.ResumeTiming();
    const double before = CpuSeconds();
    qz::HistoryRecalcRequest r;
    r.negocio = negocio;
    result = recalc(r);
    if (!result.ok()) std::abort();
    cpu += CpuSeconds() - before;
    state.PauseTiming();
    copy.reset();
    state.ResumeTiming();
  }
  state.counters["payrolls"] = result.payrolls;
  state.counters["lines"] = result.lines;
  state.counters["written"] = result.written;
  state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
}

Demo& TheDemo() {
  static Demo demo;
  return demo;
}
History& TheHistory() {
  static History history;
  return history;
}

void BM_SummaryDemoThirteenMonths(benchmark::State& state) {
  Run(state, TheDemo().root, "HOTELSOL", qz::RebuildColumnSummary);
}
BENCHMARK(BM_SummaryDemoThirteenMonths)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_HourlyCostDemoThirteenMonths(benchmark::State& state) {
  Run(state, TheDemo().root, "HOTELSOL", qz::RecalcAverageHourlyCost);
}
BENCHMARK(BM_HourlyCostDemoThirteenMonths)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Summary1000EmployeesTwentyFourMonths(benchmark::State& state) {
  Run(state, TheHistory().root, kNeg, qz::RebuildColumnSummary);
}
BENCHMARK(BM_Summary1000EmployeesTwentyFourMonths)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_HourlyCost1000EmployeesTwentyFourMonths(benchmark::State& state) {
  Run(state, TheHistory().root, kNeg, qz::RecalcAverageHourlyCost);
}
BENCHMARK(BM_HourlyCost1000EmployeesTwentyFourMonths)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  std::printf("load average: %s\n", qzbench::LoadAverage().c_str());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
