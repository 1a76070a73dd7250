// The SAP journal of one department of 1,000 employees x 40 columns (30
// salary columns, 5 deductions, 5 withholdings, each mapped at the
// department level, plus the totals, a line per employee and the balancing
// line): the computation from the current tables, the lines, and the five
// work tables written.
// Run: build/bench_sap_journal
#include <benchmark/benchmark.h>

#include <string>
#include <tuple>

#include "bench_rows.h"
#include "lib/accounting/sap_lines.h"
#include "lib/accounting/sap_run.h"
#include "lib/accounting/sap_tables.h"
#include "lib/data/use.h"
#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

constexpr int kEmployees = 1000;
constexpr int kColumns = 40;
const char* kNeg = "HOTEL CENTRAL";

using bench_rows::C;
using bench_rows::Col;
using bench_rows::N;
using bench_rows::Open;
using bench_rows::Put;

const char* Category(int c) {
  return c < 30 ? "01" : c < 35 ? "02" : "03";
}

struct Department {
  qztest::TempDir dir;
  std::string root;
  std::vector<qz::SapMapRow> mapping;
  Department() {
    root = bench_rows::NewInstallation(dir.path());
    const std::string b = root + "BASES/";
    auto p = Open(b, "TIP_PLA");
    Put(*p, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("Q")}, {"VAL_DIV", N(15)}, {"CANTIDAD", N(2)}});
    auto s = Open(b, "TIEMPO_E");
    Put(*s, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}});
    auto d = Open(b, "ENC_DEPT");
    Put(*d, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("Q")}, {"MONEDA", C("CR")},
             {"CECOS", C("CC-D1")}, {"DESCRIP", C("COCINA")}});
    auto cols = Open(b, "DET_DEPT");
    auto tip = Open(b, "ENC_TIP");
    for (int c = 0; c < kColumns; ++c) {
      const bool income = c < 30;
      Put(*tip, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(Col(c))}, {"TIPO", N(1)},
                 {"FACTOR_2", N(income ? 1 : 0)}, {"DEDUCIBLE", N(c % 7 == 6 ? 0 : 1)},
                 {"DESCRIP", C("COLUMNA " + Col(c))}});
      Put(*cols, {{"NEGOCIO", C(kNeg)}, {"DEPTO", C("D1")}, {"TIPO", C(Category(c))},
                  {"COD_COLUMN", C(Col(c))}, {"ORDEN", N(c)}});
      qz::SapMapRow m;
      m.columna = Col(c);
      m.debito = income ? 1 : 0;
      m.aplica = income ? qz::kSapDepartamento : qz::kSapGranTotal;
      m.cuenta = "5-" + Col(c);
      m.bloque = "PLANILLA";
      m.orden = c;
      mapping.push_back(m);
    }
    const std::tuple<const char*, int, int> totals[] = {
        {"_1", 0, qz::kSapGranTotal}, {"_1", 1, qz::kSapDetallado}, {"_6", 1, qz::kSapGranTotal}};
    for (auto [code, debito, aplica] : totals) {
      qz::SapMapRow m;
      m.columna = code;
      m.debito = debito;
      m.aplica = aplica;
      m.bloque = aplica == qz::kSapDetallado ? "PAGO" : "PLANILLA";
      m.orden = 90;
      mapping.push_back(m);
    }
    auto e = Open(b, "ENC_PERS");
    auto v = Open(b, "DET_PERS");
    for (int i = 0; i < kEmployees; ++i) {
      const std::string code = "E" + std::to_string(10000 + i);
      Put(*e, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"DEPTO", C("D1")},
               {"NOMBRE", C("Empleado " + code)}, {"COD_TIEMPO", C("08")}, {"ACTIVO", N(1)},
               {"TOT_SAL", N(600000 + 997.0 * i)}});
      for (int c = 0; c < kColumns; ++c)
        Put(*v, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(Col(c))},
                 {"VALOR_1", N(c < 30 ? 1000 + i + c : 50 + c)}});
    }
    bench_rows::StartPayroll(root, {p.get(), s.get(), d.get(), cols.get(), tip.get(), e.get(), v.get()});
  }
};

void BM_SapJournal(benchmark::State& state) {
  static Department dept;
  size_t lines = 0;
  qz::TablePtr work[5];
  const char* names[5] = {"TMP_PLA4.DBF", "TMP_PLA5.DBF", "TMP_PL11.DBF", "TMP_PL12.DBF",
                          "TMP_PL13.DBF"};
  for (int i = 0; i < 5; ++i) work[i] = qz::USE(nullptr, names[i]);
  qz::SapWorkTables w{&work[0]->table(), &work[1]->table(), &work[2]->table(), &work[3]->table(),
                      &work[4]->table()};
  for (auto _ : state) {
    qz::SapRequest r;
    r.negocio = kNeg;
    r.departamentos = {"D1"};
    r.corte = xb::JulianFromYmd(2026, 3, 31);
    r.moneda = "CR";
    qz::SapComputation c = qz::ComputeCurrentSap(r, dept.mapping);
    if (!c.problems.empty() || c.employees.size() != kEmployees) std::abort();
    auto l = qz::BuildSapLines(dept.mapping, c);
    if (!qz::ClearSapWorkTables(w).ok() || !qz::WriteSapWorkTables(c, l, w).ok()) std::abort();
    lines = l.size();
  }
  for (auto& t : work) qz::KILLTABLA(t);
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["value_rows"] = kEmployees * kColumns;
}
BENCHMARK(BM_SapJournal)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
