// The grid over the EMPLE fixture (20,000 records, every 17th deleted):
//   Open    open the table, bind the grid (two columns), BROWMARKS on tag EMPLE
//           with no business scope: reads every visible row
//   Scroll  from the first row to the last, a screenful (25 rows) at a time,
//           reading every visible cell as the view draws it
//   Refresh REFRESHALL of the full grid (the 60-second refresh)
//   Search  incremental search of 200 code prefixes typed one character at a
//           time in the grid of one business
// Run: build/bench_ui_browse [path/to/EMPLE.dbf]; the default is the EMPLE
// fixture unpacked into the build tree.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "lib/clock.h"
#include "lib/ui/browse.h"
#include "lib/ui/desktop.h"
#include "xbase/table.h"

namespace {

std::string g_path;

// Moves only when slept on, so a pause between searched codes costs nothing.
class StepClock : public qz::Clock {
 public:
  int64_t TickMs() override { return t_; }
  void SleepMs(int64_t ms) override { t_ += ms; }
  qz::LocalDateTime Now() override { return {}; }

 private:
  int64_t t_ = 1000000;
};

class NoScreen : public qz::WindowSystem {
 public:
  void Show(qz::WDIAG&) override {}
  void Destroy(qz::WDIAG&) override {}
  void RunModal(qz::WDIAG& w) override { w.ENDDIALOG(2); }
  void WaitShown(int, const std::string&) override {}
  void WaitClosed(int) override {}
  void Preview(const qz::PrintDocument&) override {}
};

struct Grid {
  NoScreen ws;
  qz::Desktop desktop{ws};
  qz::WDIAG owner{desktop, nullptr, "EMPLE"};
  std::unique_ptr<xb::Table> table;
  std::unique_ptr<qz::WBLISTBOX> grid;

  bool Open(const std::string& business = "") {
    xb::OpenOptions o;
    o.read_only = true;
    auto t = xb::Table::Open(g_path, o);
    if (!t.ok()) return false;
    table = std::move(*t);
    grid = std::make_unique<qz::WBLISTBOX>(owner, 700, table.get());
    grid->AddColumn("Código", "CODIGO", std::string(15, '!'));
    grid->AddColumn("Nombre", "NOMBRE", std::string(40, 'X'));
    grid->AddColumn("Salario", "TOT_SAL", "9999,999,999.99");
    return grid->BROWMARKS({{1, "EMPLE"}}, 1, business).ok();
  }
};

void BM_Open(benchmark::State& state) {
  int rows = 0;
  for (auto _ : state) {
    Grid g;
    if (!g.Open()) state.SkipWithError("cannot open EMPLE");
    rows = g.grid->RowCount();
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_OpenAndScrollToEnd(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    Grid g;
    if (!g.Open()) state.SkipWithError("cannot open EMPLE");
    for (int top = 0; top < g.grid->RowCount(); top += 25) {
      g.grid->Select(top);
      for (int r = top; r < std::min(top + 25, g.grid->RowCount()); ++r) {
        for (int c = 0; c < 3; ++c) bytes += g.grid->Cell(r, c).size();
      }
    }
    g.grid->Select(g.grid->RowCount() - 1);
  }
  benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_OpenAndScrollToEnd)->Unit(benchmark::kMillisecond);

void BM_Refresh(benchmark::State& state) {
  Grid g;
  if (!g.Open()) state.SkipWithError("cannot open EMPLE");
  for (auto _ : state) g.grid->REFRESHALL();
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State& state) {
  StepClock clock;
  qz::SetClock(&clock);
  Grid g;
  if (!g.Open("HOTEL CENTRAL  ")) state.SkipWithError("cannot open EMPLE");
  state.counters["rows"] = g.grid->RowCount();
  int found = 0;
  for (auto _ : state) {
    for (int i = 0; i < 200; ++i) {
      // Each code starts a new search (as after a pause in typing).
      clock.SleepMs(5000);
      std::string code = std::to_string(100000 + (i * 997) % 100000).substr(0, 4);
      for (char ch : code) found += g.grid->TypeSearch(std::string(1, ch));
    }
  }
  state.counters["moved"] = found;
  qz::SetClock(nullptr);
}
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  g_path = std::filesystem::path(QZ_FIXTURES_DIR) / "xbase/EMPLE.dbf";
  if (argc > 1 && argv[1][0] != '-') {
    g_path = argv[1];
    --argc;
    ++argv;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
