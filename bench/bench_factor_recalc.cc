// The employee factor recalculation a definition screen runs after a save:
// 1,000 employees x 40 columns (one base-salary column, 20 dependent ones),
// every dependent factor changing on each run (the multipliers alternate),
// through the data layer on a shared installation with its CDX tags.
// Run: build/bench_factor_recalc
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include "lib/data/use.h"
#include "lib/install/installation.h"
#include "lib/payroll/factor_recalc.h"
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

struct Installation {
  qztest::TempDir dir;
  std::string root;
  Installation() {
    root = bench_rows::NewInstallation(dir.path());
    const std::string b = root + "BASES/";
    {
      auto t = Open(b, "F_PLAN");
      Put(*t, {{"NEGOCIO", C(kNeg)}, {"RED_COSTO", N(1)}, {"DEC_COSTO", N(2)}});
      auto p = Open(b, "TIP_PLA");
      Put(*p, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("Q")}, {"VAL_DIV", N(15)}});
      auto s = Open(b, "TIEMPO_E");
      Put(*s, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}});
      auto d = Open(b, "ENC_DEPT");
      Put(*d, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("Q")}});
      auto tip = Open(b, "ENC_TIP");
      for (int c = 0; c < kColumns; ++c)
        Put(*tip, {{"NEGOCIO", C(kNeg)},
                   {"CODIGO", C(Col(c))},
                   {"TIPO", N(1)},
                   {"VAL_BASE", N(c == 0 ? 1 : 0)},
                   {"VAL_DEPEND", N(c % 2 == 1 ? 1 : 0)},
                   {"VALOR_3", N(1.5)}});
      auto e = Open(b, "ENC_PERS");
      auto v = Open(b, "DET_PERS");
      for (int i = 0; i < kEmployees; ++i) {
        const std::string code = "E" + std::to_string(10000 + i);
        Put(*e, {{"NEGOCIO", C(kNeg)},
                 {"CODIGO", C(code)},
                 {"DEPTO", C("D1")},
                 {"COD_TIEMPO", C("08")},
                 {"ACTIVO", N(1)}});
        for (int c = 0; c < kColumns; ++c)
          Put(*v, {{"NEGOCIO", C(kNeg)},
                   {"CODIGO", C(code)},
                   {"COD_COLUMN", C(Col(c))},
                   {"VALOR_1", N(c == 0 ? 600000 + 997.0 * i : 0)}});
      }
      bench_rows::StartPayroll(root, {t.get(), p.get(), s.get(), d.get(), tip.get(), e.get(), v.get()});
    }
  }
};

// Every dependent multiplier set to `valor_3`, so the next run rewrites
// every dependent factor.
void SetMultipliers(double valor_3) {
  qz::TablePtr t = qz::USE(nullptr, "ENC_TIP");
  for (t->GoTop(); !t->Eof(); t->Skip()) {
    t->RLock();
    t->FieldPut("VALOR_3", xb::Value::Number(valor_3));
    t->Unlock();
  }
  qz::KILLTABLA(t);
}

void BM_RecalcEmployeeFactors(benchmark::State& state) {
  static Installation inst;
  double valor_3 = 1.5;
  int rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    valor_3 = valor_3 == 1.5 ? 1.75 : 1.5;
    SetMultipliers(valor_3);
    state.ResumeTiming();
    qz::FactorRecalcScope scope;
    scope.negocio = kNeg;
    auto r = qz::RecalcEmployeeFactors(scope);
    if (!r.ok()) std::abort();
    rows = r->rows;
  }
  state.counters["rows_written"] = rows;
}
BENCHMARK(BM_RecalcEmployeeFactors)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
