// The grid over 100,000 rows (a table made for the run: code, name, date,
// amount; a tag on the code):
//   Open            open the table, bind a grid of four columns, BROWMARKS
//   OpenAndEnd      Open, then go to the last row and draw the last screenful
//                   (what Ctrl+End or dragging the scroll bar down does)
//   OpenAndPageAll  Open, then page from the first row to the last a
//                   screenful (25 rows) at a time, drawing every row
//   RefreshOneRow   one row in view changed (not its key), then REFRESHALL
//   RefreshMoved    one row's key changed (it moves), then REFRESHALL
//   Reread          the minute's refresh: the tag walked again, nothing changed
// Run: build/bench_ui_grid
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "lib/ui/browse.h"
#include "lib/ui/desktop.h"
#include "xbase/table.h"

namespace {

constexpr int kRows = 100000;
std::string g_path;

class NoScreen : public qz::WindowSystem {
 public:
  void Show(qz::WDIAG&) override {}
  void Destroy(qz::WDIAG&) override {}
  void RunModal(qz::WDIAG& w) override { w.ENDDIALOG(2); }
  void WaitShown(int, const std::string&) override {}
  void WaitClosed(int) override {}
  void Preview(const qz::PrintDocument&) override {}
};

bool MakeTable(const std::string& path) {
  auto t = xb::Table::Create(path,
                             {{"CODIGO", 'C', 10}, {"NOMBRE", 'C', 30}, {"FECHA", 'D', 8},
                              {"MONTO", 'N', 12, 2}},
                             {nullptr, true, true});
  if (!t.ok()) return false;
  if (!(*t)->CreateTag("CODIGO", "CODIGO").ok()) return false;
  char code[16];
  for (int i = 0; i < kRows; ++i) {
    (*t)->Append();
    std::snprintf(code, sizeof code, "E%07d", (i * 7919) % kRows);
    (*t)->Put("CODIGO", xb::Value::Char(code));
    (*t)->Put("NOMBRE", xb::Value::Char("EMPLEADO NUMERO " + std::to_string(i)));
    (*t)->Put("FECHA", xb::Value::Date(xb::JulianFromYmd(2000 + i % 25, 1 + i % 12, 1 + i % 28)));
    (*t)->Put("MONTO", xb::Value::Number(1000 + i % 5000 + 0.5));
  }
  return (*t)->Close().ok();
}

struct Grid {
  NoScreen ws;
  qz::Desktop desktop{ws};
  qz::WDIAG owner{desktop, nullptr, "GRID"};
  std::unique_ptr<xb::Table> table;
  std::unique_ptr<qz::WBLISTBOX> grid;

  bool Open() {
    auto t = xb::Table::Open(g_path);
    if (!t.ok()) return false;
    table = std::move(*t);
    grid = std::make_unique<qz::WBLISTBOX>(owner, 700, table.get());
    grid->AddColumn("Código", "CODIGO", std::string(10, '!'));
    grid->AddColumn("Nombre", "NOMBRE", std::string(30, 'X'));
    grid->AddColumn("Fecha", "FECHA", "");
    grid->AddColumn("Monto", "MONTO", "9999,999,999.99");
    return grid->BROWMARKS({{1, "CODIGO"}}, 1, "").ok();
  }
  size_t Draw(int first) {
    size_t bytes = 0;
    int last = std::min(first + 25, grid->RowCount());
    grid->SetVisibleRows(first, last - 1);
    for (int r = first; r < last; ++r)
      for (int c = 0; c < 4; ++c) bytes += grid->Cell(r, c).size();
    return bytes;
  }
};

void BM_Open(benchmark::State& state) {
  for (auto _ : state) {
    Grid g;
    if (!g.Open()) state.SkipWithError("cannot open");
    state.counters["rows"] = g.grid->RowCount();
  }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_OpenAndEnd(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    Grid g;
    if (!g.Open()) state.SkipWithError("cannot open");
    bytes += g.Draw(0);
    g.grid->Select(g.grid->RowCount() - 1);
    bytes += g.Draw(g.grid->RowCount() - 25);
  }
  benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_OpenAndEnd)->Unit(benchmark::kMillisecond);

void BM_OpenAndPageAll(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    Grid g;
    if (!g.Open()) state.SkipWithError("cannot open");
    for (int top = 0; top < g.grid->RowCount(); top += 25) {
      g.grid->Select(top);
      bytes += g.Draw(top);
    }
  }
  benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_OpenAndPageAll)->Unit(benchmark::kMillisecond);

void Change(Grid& g, int row, const std::string& field, const xb::Value& v) {
  g.table->GoTo(g.grid->RecNoAt(row));
  g.table->LockRecord();
  g.table->Put(field, v);
  g.table->Flush();
  g.table->UnlockAll();
}

void BM_RefreshOneRow(benchmark::State& state) {
  Grid g;
  if (!g.Open()) state.SkipWithError("cannot open");
  g.grid->Select(50010);
  g.Draw(50000);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Change(g, 50010, "NOMBRE", xb::Value::Char("CAMBIO " + std::to_string(n++)));
    state.ResumeTiming();
    g.grid->REFRESHALL();
  }
  state.counters["walks"] = g.grid->walks();
}
BENCHMARK(BM_RefreshOneRow)->Unit(benchmark::kMicrosecond);

void BM_RefreshMoved(benchmark::State& state) {
  Grid g;
  if (!g.Open()) state.SkipWithError("cannot open");
  g.grid->Select(50010);
  g.Draw(50000);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    char code[16];
    std::snprintf(code, sizeof code, "Z%07d", n++);
    // Each time another row in view moves to the end.
    g.grid->Select(50010);
    Change(g, 50010, "CODIGO", xb::Value::Char(code));
    state.ResumeTiming();
    g.grid->REFRESHALL();
  }
  state.counters["walks"] = g.grid->walks();
}
BENCHMARK(BM_RefreshMoved)->Unit(benchmark::kMillisecond);

void BM_Reread(benchmark::State& state) {
  Grid g;
  if (!g.Open()) state.SkipWithError("cannot open");
  g.Draw(0);
  for (auto _ : state) g.grid->Reread();
}
BENCHMARK(BM_Reread)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  auto dir = std::filesystem::temp_directory_path() / ("qz-bench-grid-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  g_path = (dir / "GRID.DBF").string();
  if (!MakeTable(g_path)) {
    std::fprintf(stderr, "cannot create %s\n", g_path.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return 0;
}
