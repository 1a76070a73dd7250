// The distribution of payroll expenses: one department of 1,000 employees x
// 40 columns (salary, hours, bonuses, percentages and deductions, each with
// its link), split over three centres, every employee paid electronically;
// the computation with its balancing, the validation pass (all payment
// methods), and the summary written as a workbook.
// Run: build/bench_expense_distribution   (target: under 2 s for the run)
#include <benchmark/benchmark.h>

#include <string>

#include "lib/accounting/expense_distribution.h"
#include "lib/accounting/expense_output.h"
#include "lib/install/installation.h"
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


// Column c: 0..29 salary items (absolute values, every third one hours at a
// cost), 30..34 percentage deductions, 35..39 withholdings.
struct Payroll {
  qztest::TempDir dir;
  std::string root;
  Payroll() {
    root = bench_rows::NewInstallation(dir.path());
    const std::string b = root + "BASES/";
    auto p = Open(b, "TIP_PLA");
    Put(*p, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("Q")}, {"TIPO", N(0)}, {"VAL_DIV", N(120)},
             {"CANTIDAD", N(2)}, {"N_EMISION", N(2)}, {"MES_COMERC", N(30)}});
    auto s = Open(b, "TIEMPO_E");
    Put(*s, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}});
    auto f = Open(b, "F_PLAN");
    Put(*f, {{"NEGOCIO", C(kNeg)}, {"LIG_AJUSTE", C("AJUSTE")}, {"DECIMALES", N(2)}});
    auto d = Open(b, "ENC_DEPT");
    Put(*d, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C("D1")}, {"TIPO", C("Q")}, {"MONEDA", C("CR")},
             {"DESCRIP", C("Operaciones")}, {"LIGA_CONT", C("PAGAR")}, {"CRED_RET", C("RETCR")},
             {"DEB_RET", C("RETDB")}});
    auto links = Open(b, "LIGAS");
    for (const auto& [code, debit] : {std::pair<const char*, int>{"GASTO", 1}, {"DEDUC", 0},
                                      {"PAGAR", 0}, {"RETCR", 0}, {"RETDB", 1}, {"AJUSTE", 1}})
      Put(*links, {{"NEGOCIO", C(kNeg)}, {"MODULO", C("06")}, {"CODIGO", C(code)},
                   {"DESCRIP", C(std::string("Liga ") + code)}, {"CUENTA", C("5-01-XX-001")},
                   {"FORMATO_CC", C("     XX")}, {"TIPO", N(debit)}});
    auto centres = Open(b, "C_COSTOS");
    auto split = Open(b, "DET_DEP3");
    for (const auto& [code, pct] :
         {std::pair<const char*, double>{"CC-A", 50}, {"CC-B", 30}, {"CC-C", 20}}) {
      Put(*centres, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"PREFIJO", C(code + 3)},
                     {"DESCRIP", C(std::string("Centro ") + code)}});
      Put(*split, {{"NEGOCIO", C(kNeg)}, {"DEPTO", C("D1")}, {"COD_CENTRO", C(code)},
                   {"PORCENTAJE", N(pct)}});
    }
    auto cols = Open(b, "DET_DEPT");
    auto tip = Open(b, "ENC_TIP");
    for (int c = 0; c < kColumns; ++c) {
      const bool income = c < 30, percent = c >= 30 && c < 35, hours = income && c % 3 == 1;
      Put(*tip, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(Col(c))}, {"TIPO", N(percent ? 2 : 1)},
                 {"FACTOR_2", N(income ? 1 : 0)}, {"DEDUCIBLE", N(c % 5 == 4 ? 0 : 1)},
                 {"FACTOR", N(hours ? 1 : 0)}, {"VAL_BASE", N(c == 0 ? 1 : 0)},
                 {"VALOR", N(percent ? 1.5 : 0)}, {"VAL_X_DEF", N(percent ? 1 : 0)},
                 {"TIPO_MONTO", N(2)}});
      Put(*cols, {{"NEGOCIO", C(kNeg)}, {"DEPTO", C("D1")},
                  {"TIPO", C(income ? "01" : (percent ? "02" : "03"))}, {"COD_COLUMN", C(Col(c))},
                  {"ORDEN", N(c)}, {"LIGA_CONTA", C(income ? "GASTO" : "DEDUC")}});
    }
    auto e = Open(b, "ENC_PERS");
    auto v = Open(b, "DET_PERS");
    for (int i = 0; i < kEmployees; ++i) {
      const std::string code = "E" + std::to_string(10000 + i);
      Put(*e, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"DEPTO", C("D1")},
               {"NOMBRE", C("Empleado " + code)}, {"COD_TIEMPO", C("08")}, {"ACTIVO", N(1)},
               {"TIPO_PAGO", N(3)}, {"SAL_COMPLE", N(1)}});
      for (int c = 0; c < kColumns; ++c) {
        const double value = c == 0 ? 300000 + 97.0 * i : (c < 30 ? 1000 + c * 7 + i % 13 : 25);
        Put(*v, {{"NEGOCIO", C(kNeg)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(Col(c))},
                 {"VALOR_1", N(value)}, {"FACTOR", N(c % 3 == 1 ? 1875.5 : 0)}});
      }
    }
    bench_rows::StartPayroll(root, {p.get(), s.get(), f.get(), d.get(), links.get(), centres.get(),
                                    split.get(), cols.get(), tip.get(), e.get(), v.get()});
  }
  qz::ExpenseRequest Request() const {
    qz::ExpenseRequest r;
    r.negocio = kNeg;
    r.deptos = {"D1"};
    r.moneda = "CR";
    r.fecha = xb::JulianFromYmd(2026, 11, 30);
    return r;
  }
};

Payroll& Data() {
  static Payroll p;
  return p;
}

void BM_DistributeExpenses(benchmark::State& state) {
  Payroll& p = Data();
  size_t lines = 0;
  for (auto _ : state) {
    qz::ExpenseRun run = qz::ComputeExpenseDistribution(p.Request());
    if (!run.errors.empty() || run.empleados != kEmployees) std::abort();
    lines = run.lines.size();
  }
  state.counters["employees"] = kEmployees;
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DistributeExpenses)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ValidateExpenses(benchmark::State& state) {
  Payroll& p = Data();
  for (auto _ : state)
    if (!qz::ValidateExpenseDistribution(p.Request()).empty()) std::abort();
}
BENCHMARK(BM_ValidateExpenses)->Unit(benchmark::kMillisecond)->Iterations(3);

// What "Crear Archivo" does after the validation: the run and its workbook.
void BM_DistributeAndWriteWorkbook(benchmark::State& state) {
  Payroll& p = Data();
  for (auto _ : state) {
    qz::ExpenseRun run = qz::ComputeExpenseDistribution(p.Request());
    const std::string path = qz::WriteExpenseWorkbook(run, p.root + "TEMP/gastos_p.xlsx",
                                                      qz::ExpenseTitles("Hotel", ""));
    if (path.empty()) std::abort();
  }
}
BENCHMARK(BM_DistributeAndWriteWorkbook)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
