// Start-up of the program on the demo installation, up to the login dialog
// (settings, engine choice, recovery check, installation settings, the
// dialog with its businesses), and the menu work a session repeats: rights
// loaded and the bar rebuilt (login, business change) and the bar alone
// (every screen activation).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/dialog_template.h"
#include "shell/principal.h"
#include "ui/headless/headless_ui.h"

namespace {

namespace fs = std::filesystem;

const std::string& DemoHome() {
  static const std::string home = [] {
    std::string dir = (fs::temp_directory_path() / "qz-bench-shell-demo").string();
    if (!fs::exists(dir + "/BASES/USUARIOS.DBF")) {
      qz::InstallOptions o;
      o.demo = true;
      o.force = true;
      auto r = qz::CreateInstallation(dir, o);
      if (!r.ok()) std::fprintf(stderr, "demo: %s\n", r.status().ToString().c_str());
    }
    qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
    return dir + "/";
  }();
  return home;
}

void BM_StartUpToLoginDialog(benchmark::State& state) {
  const std::string home = DemoHome();
  for (auto _ : state) {
    qz::HeadlessUi ui;
    qz::RecordingView view;
    qz::MenuRegistry registry;
    int businesses = 0;
    ui.OnDialog("XLOGINUSR", [&](qz::WDIAG& d) {
      businesses = static_cast<int>(d.Control(601)->entries.size());
      d.UserPress(2);
    });
    qz::ResetGlobals();
    qz::StartDataLayer(home);
    qz::PRINCIPAL main(ui.desktop(), view, registry);
    main.Init();
    benchmark::DoNotOptimize(businesses);
  }
}
BENCHMARK(BM_StartUpToLoginDialog)->Unit(benchmark::kMillisecond);

// A logged-in supervisor's session for the menu benchmarks.
struct Session {
  Session() {
    qz::ResetGlobals();
    qz::StartDataLayer(DemoHome());
    ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
      d.UserType(500, "PLANILLA");
      d.UserType(501, "DEMO");
      d.UserPress(1);
    });
    main = std::make_unique<qz::PRINCIPAL>(ui.desktop(), view, registry);
    ok = main->Init();
  }
  qz::HeadlessUi ui;
  qz::RecordingView view;
  qz::MenuRegistry registry;
  std::unique_ptr<qz::PRINCIPAL> main;
  bool ok = false;
};

void BM_RightsAndMenuBar(benchmark::State& state) {
  Session s;
  if (!s.ok) state.SkipWithError("login failed");
  const std::string business = s.main->rights().ACT_NEG();
  for (auto _ : state) s.main->MenuSet("PLANILLA", business, true);
}
BENCHMARK(BM_RightsAndMenuBar)->Unit(benchmark::kMicrosecond);

void BM_MenuBarOnActivation(benchmark::State& state) {
  Session s;
  if (!s.ok) state.SkipWithError("login failed");
  for (auto _ : state) s.main->RebuildMenu();
}
BENCHMARK(BM_MenuBarOnActivation)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
