// Opening a payroll period: one department of 1,000 employees x 40 columns
// (40,000 value rows, 1,000 lines, 40 column-type copies) through the data
// layer in one atomic transaction, each iteration on a new date; and the
// demo's thirteen months of payrolls, every department, opened and paid.
// Run: build/bench_consolidation
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "lib/install/installation.h"
#include "lib/payroll/consolidation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/temp_dir.h"
#include "xbase/table.h"
#include "bench_rows.h"

namespace {

constexpr int kEmployees = 1000;
constexpr int kColumns = 40;
const char* kNeg = "HOTEL CENTRAL";

using bench_rows::C;
using bench_rows::Col;
using bench_rows::N;
using bench_rows::Open;
using bench_rows::Put;

struct Department {
  qztest::TempDir dir;
  std::string root;
  Department() {
    root = bench_rows::NewInstallation(dir.path());
    const std::string b = root + "BASES/";
    auto p = Open(b, "TIP_PLA");
    Put(*p, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("Q")}, {"VAL_DIV", N(15)}, {"CANTIDAD", N(2)}});
    auto s = Open(b, "TIEMPO_E");
    Put(*s, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}});
    auto d = Open(b, "ENC_DEPT");
    Put(*d, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("Q")}});
    auto cols = Open(b, "DET_DEPT");
    auto tip = Open(b, "ENC_TIP");
    for (int c = 0; c < kColumns; ++c) {
      Put(*tip, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(Col(c))}, {"TIPO", N(1)},
                 {"VAL_BASE", N(c == 0 ? 1 : 0)}, {"VAC_PAGADA", N(c == 7 ? 1 : 0)}});
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
    bench_rows::StartPayroll(root, {p.get(), s.get(), d.get(), cols.get(), tip.get(), e.get(), v.get()});
  }
};

void BM_OpenDepartmentPayroll(benchmark::State& state) {
  static Department dept;
  int32_t fecha = xb::JulianFromYmd(2026, 1, 15);
  int lines = 0;
  for (auto _ : state) {
    qz::ConsolidationRequest r;
    r.negocio = kNeg;
    r.depto = "D1";
    r.fecha = fecha++;
    qz::ConsolidationResult result = qz::ConsolidatePayroll(r);
    if (!result.ok()) std::abort();
    lines = result.lines;
  }
  state.counters["lines"] = lines;
  state.counters["value_rows"] = lines * kColumns;
}
BENCHMARK(BM_OpenDepartmentPayroll)->Unit(benchmark::kMillisecond)->Iterations(3);

// The demo with its whole history (the history is most of it).
void BM_DemoWithThirteenMonths(benchmark::State& state) {
  for (auto _ : state) {
    qztest::TempDir dir;
    qz::InstallOptions o;
    o.demo = true;
    auto made = qz::CreateInstallation(dir.path() + "/demo", o);
    if (!made.ok()) std::abort();
    state.counters["payrolls"] = made->demo.rows["H_E_DEPT"];
    state.counters["lines"] = made->demo.rows["H_E_PERS"];
  }
}
BENCHMARK(BM_DemoWithThirteenMonths)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
