// Renaming a department with a long history, inside the atomic transaction
// the department editor's save holds: 1,000 employees, 40 columns, 24 monthly
// payrolls (24,000 payroll lines, 960,000 line values in H_D_PERS, the
// definitions of each payroll copied into the other history tables), about a
// million history rows in all. Each iteration renames the department back
// and forth, so every run moves the same rows.
// Run: build/bench_department_rename
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "lib/data/transaction.h"
#include "lib/install/installation.h"
#include "lib/payroll/department_moves.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

constexpr int kEmployees = 1000;
constexpr int kColumns = 40;
constexpr int kMonths = 24;
const char* kNeg = "HOTEL CENTRAL";

std::string Col(int c) {
  std::string s = std::to_string(c);
  return s.size() < 2 ? "0" + s : s;
}

using Row = std::map<std::string, xb::Value>;

void Put(xb::Table& t, const Row& row) {
  if (!t.Append().ok()) std::abort();
  for (const auto& [f, v] : row)
    if (!t.Put(f, v).ok()) std::abort();
}

struct Installation {
  qztest::TempDir dir;
  std::string root;
  int64_t history_rows = 0;

  std::unique_ptr<xb::Table> Open(const std::string& name) {
    auto t = xb::Table::Open(root + "BASES/" + name + ".DBF");
    if (!t.ok()) std::abort();
    return std::move(*t);
  }

  Installation() {
    root = dir.path() + "/";
    qz::InstallOptions options;
    options.force = true;
    if (!qz::CreateInstallation(root, options).ok()) std::abort();
    auto C = [](const std::string& s) { return xb::Value::Char(s); };
    auto N = [](double d) { return xb::Value::Number(d); };
    const Row biz = {{"NEGOCIO", C(kNeg)}};
    auto with = [&](Row r) {
      r.insert(biz.begin(), biz.end());
      return r;
    };
    {
      auto d = Open("ENC_DEPT");
      Put(*d, with({{"CODIGO", C("D1")}, {"TIPO", C("M")}}));
      if (!d->Close().ok()) std::abort();
    }
    {
      auto e = Open("ENC_PERS");
      for (int i = 0; i < kEmployees; ++i)
        Put(*e, with({{"CODIGO", C("E" + std::to_string(10000 + i))}, {"DEPTO", C("D1")}}));
      if (!e->Close().ok()) std::abort();
    }
    std::map<std::string, std::unique_ptr<xb::Table>> h;
    for (const char* n : {"H_E_DEPT", "H_E_PERS", "H_D_PERS", "H_D_DEPT", "H_E_TIP", "H_D_TIP",
                          "H_TIP_PL", "H_CONJ_C", "H_TIEM_E", "H_TIP_TR", "H_D_DEP2", "H_D_DEP3"})
      h[n] = Open(n);
    auto add = [&](const char* table, Row r) {
      Put(*h[table], with(std::move(r)));
      ++history_rows;
    };
    for (int m = 0; m < kMonths; ++m) {
      const xb::Value fecha = xb::Value::Date(xb::JulianFromYmd(2025 + m / 12, 1 + m % 12, 28));
      add("H_E_DEPT", {{"CODIGO", C("D1")}, {"FECHA", fecha}});
      for (int i = 0; i < kEmployees; ++i) {
        const std::string code = "E" + std::to_string(10000 + i);
        add("H_E_PERS", {{"CODIGO", C(code)}, {"DEPTO", C("D1")}, {"FECHA", fecha}});
        for (int c = 0; c < kColumns; ++c)
          add("H_D_PERS", {{"CODIGO", C(code)}, {"COD_COLUMN", C(Col(c))}, {"VALOR_1", N(1000)},
                           {"FECHA", fecha}});
      }
      for (int c = 0; c < kColumns; ++c) {
        const Row r = {{"DEPTO", C("D1")}, {"FECHA", fecha}};
        Row col = r, tip = r, bracket = r;
        col["COD_COLUMN"] = C(Col(c));
        tip["CODIGO"] = C(Col(c));
        bracket["CODIGO"] = C(Col(c));
        add("H_D_DEPT", col);
        add("H_E_TIP", tip);
        add("H_D_TIP", bracket);
      }
      for (const char* n : {"H_TIP_PL", "H_CONJ_C", "H_TIEM_E", "H_TIP_TR", "H_D_DEP2", "H_D_DEP3"})
        add(n, {{"DEPTO", C("D1")}, {"FECHA", fecha}});
    }
    for (auto& [n, t] : h)
      if (!t->Close().ok()) std::abort();
    qz::ResetGlobals();
    qz::G().EXT_MODULO = "PCFG";
    qz::StartDataLayer(root);
  }
};

void BM_RenameDepartment(benchmark::State& state) {
  static Installation inst;
  bool forth = true;
  int64_t moved = 0, reports = 0;
  for (auto _ : state) {
    qz::RenameOptions o;
    o.own_rows = true;
    o.progress = [&](const std::string&, int64_t) { ++reports; };
    qz::START_ATOMIC_TRANSACTION();
    qz::RenameResult r = qz::RenameDepartment(kNeg, forth ? "D1" : "D2", forth ? "D2" : "D1", o);
    qz::END_TRANSACTION();
    forth = !forth;
    moved = r.rows;
  }
  state.counters["history_rows"] = static_cast<double>(inst.history_rows);
  state.counters["rows_moved"] = static_cast<double>(moved);
  state.counters["progress_calls"] = static_cast<double>(reports) / state.iterations();
}
BENCHMARK(BM_RenameDepartment)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
