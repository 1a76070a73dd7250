// A long report (10,000 lines, about 180 pages) written once and sent to a
// workbook: page model, typing of every cell, title block and the .xlsx
// save through a side file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "lib/settings/globals.h"
#include "lib/ui/print_document.h"
#include "lib/workbook/report_workbook.h"

namespace {

constexpr int kLines = 10000;

qz::PrintDocument LongReport() {
  qz::PageWriter w("Distribución de Gastos", 66, 100);
  w.UseReportFrame({"Distribución de Gastos de Planilla", "Hotel Central"}, "");
  w.SetHeader([](qz::PageWriter& p, int) {
    p.Say(0, "Centro");
    p.Say(12, "Fecha");
    p.Say(24, "Cuenta");
    p.SayRight(70, "Débito");
    p.SayRight(90, "Crédito");
    p.NewLine();
  });
  for (int i = 0; i < kLines; ++i) {
    w.Say(0, "C" + std::to_string(100 + i % 300));
    w.Say(12, "15/11/26");
    w.Say(24, "5101-" + std::to_string(i % 97));
    w.SayRight(70, std::to_string(1000 + i) + ",123.45");
    w.SayRight(90, "-" + std::to_string(i) + ".50");
    w.NewLine();
  }
  return w.Finish();
}

void BM_WriteReport(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(LongReport());
}
BENCHMARK(BM_WriteReport)->Unit(benchmark::kMillisecond);

void BM_ReportToWorkbook(benchmark::State& state) {
  std::string dir = "/tmp/bench_report_workbook_" + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(dir);
  qz::PrintDocument doc = LongReport();
  int n = 0;
  for (auto _ : state) {
    qz::ReportWorkbookOptions o;
    o.folder = dir;
    o.forced_name = "bench" + std::to_string(++n);
    benchmark::DoNotOptimize(qz::ReportToWorkbook(doc, o));
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReportToWorkbook)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
