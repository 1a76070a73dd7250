// A program folder with the shell's tables (from the table catalog), the
// start sequence run on it, the scripted window system, a fake clock and a
// recording main-window view: what the shell tests log in to.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/dialog_template.h"
#include "shell/principal.h"
#include "shell/toolbar.h"
#include "support/fake_clock.h"
#include "support/schema_tables.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"
#include "xbase/value.h"

namespace shelltest {

using qztest::Biz;
using qztest::C;
using qztest::N;
using qztest::Row;

// The scripted window system, telling the main window when the desktop's
// "Editar" entries change (as the Qt one does).
class ShellUi : public qz::HeadlessUi {
 public:
  void MenuChanged() override {
    if (principal) principal->RebuildMenu();
  }
  qz::PRINCIPAL* principal = nullptr;
};

inline xb::Value D(int y, int m, int d) {
  return xb::Value::Date(xb::JulianFromYmd(y, m, d));
}
inline xb::Value L(bool b) {
  return xb::Value::Logical(b);
}

class ShellTest : public ::testing::Test {
 protected:
  static constexpr const char* kCentral = "HOTEL CENTRAL";
  static constexpr const char* kPlaya = "HOTEL PLAYA";

  ShellTest() {
    namespace fs = std::filesystem;
    qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
    root = dir.path() + "/";
    for (const char* d : {"BASES", "PROFILE", "TEMP"}) fs::create_directories(root + d);
    bases = root + "BASES";
    for (const char* t :
         {"NEGOCIOS", "USUARIOS", "MENUS", "LOG_E_S", "LOG_DIAG", "ERROR", "LOG_ROLL", "ADASIPA",
          "F_SYS", "E_MSGS", "TRADUCT", "MONEDAS", "T_CAMBIO", "SUBBASES"})
      qztest::CreateSchemaTable(bases, t);
    qz::ResetGlobals();
    qz::G().EXT_MODULO = "PCFG";
    EXPECT_EQ(qz::StartDataLayer(root), qz::StartResult::kContinue);
    qz::SetProcessExit([this](int code) { process_exit = code; });
    AddRows("NEGOCIOS",
            {{{"CODIGO", C(Biz(kCentral))}, {"DESCRIP", C("Hotel Central")}, {"INTENTOS", N(3)}},
             {{"CODIGO", C(Biz(kPlaya))}, {"DESCRIP", C("Hotel Playa")}, {"INTENTOS", N(3)}}});
  }
  ~ShellTest() override {
    ResetMain();
    qz::SetProcessExit([](int code) { std::exit(code); });
  }
  void TearDown() override {
    for (const auto& p : ui.problems()) ADD_FAILURE() << p;
  }

  void AddRows(const std::string& table, const std::vector<Row>& rows) {
    qztest::AddRows(bases, table, rows);
  }
  void Set(const std::string& table, uint32_t recno, const std::string& field, const xb::Value& v) {
    auto t = xb::Table::Open(bases + "/" + table + ".DBF");
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(recno).ok());
    ASSERT_TRUE((*t)->LockRecord(recno).ok());
    auto st = (*t)->Put(field, v);
    ASSERT_TRUE(st.ok()) << st.ToString();
    ASSERT_TRUE((*t)->Flush().ok());
    (*t)->UnlockAll();
    ASSERT_TRUE((*t)->Close().ok());
  }
  // A user of `business`; the password is stored as typed (plain) unless
  // `scrambled`.
  void AddUser(const std::string& business, int code, const std::string& name,
               const std::string& password, bool supervisor = false, Row extra = {}) {
    Row r = {{"NEGOCIO", C(Biz(business))},
             {"CODIGO", N(code)},
             {"NOMBRE", C(name)},
             {"USUARIO", C("Usuario " + name)},
             {"ABREVIA", C(name.substr(0, 3))},
             {"PASSWORD", C(password)},
             {"ADASIPA", N(0)},
             {"SUPERVISOR", N(supervisor ? 1 : 0)}};
    for (auto& [k, v] : extra) r[k] = v;
    AddRows("USUARIOS", {r});
  }
  void Grant(const std::string& business, int code, int id, bool on = true) {
    AddRows(
        "MENUS",
        {{{"NEGOCIO", C(Biz(business))}, {"CODIGO", N(code)}, {"ID", N(id)}, {"CHECK_ID", L(on)}}});
  }
  // Field of the row with record number `recno` (text trimmed, numbers as
  // integers, dates as DTOS).
  std::string Field(const std::string& table, uint32_t recno, const std::string& field) {
    auto t = xb::Table::Open(bases + "/" + table + ".DBF");
    if (!t.ok() || !(*t)->GoTo(recno).ok()) return "<none>";
    auto v = (*t)->Get(field);
    if (!v.ok()) return "<none>";
    if (v->is_numeric()) return std::to_string(static_cast<long long>(v->number()));
    if (v->type() == xb::Value::Type::kDate) return xb::DtosFromJulian(v->date());
    if (v->type() == xb::Value::Type::kLogical) return v->logical() ? "T" : "F";
    std::string s = v->str();
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  uint32_t Count(const std::string& table) {
    auto t = xb::Table::Open(bases + "/" + table + ".DBF");
    if (!t.ok()) return 0;
    auto n = (*t)->RecCount();
    return n.ok() ? *n : 0;
  }
  void WriteFile(const std::string& rel, const std::string& bytes) {
    std::ofstream(root + rel, std::ios::binary) << bytes;
  }

  // The login dialog answered with business, name and password.
  void ScriptLogin(const std::string& business_descrip, const std::string& name,
                   const std::string& password) {
    ui.OnDialog("XLOGINUSR", [=](qz::WDIAG& d) {
      if (!business_descrip.empty()) d.UserChoose(601, business_descrip);
      d.UserType(500, name);
      d.UserType(501, password);
      d.UserPress(1);
    });
  }
  // Builds the main window (its Init runs the scripted login).
  bool StartMain() {
    main = std::make_unique<qz::PRINCIPAL>(ui.desktop(), view, registry);
    ui.principal = main.get();
    return main->Init();
  }
  bool LoginAs(const std::string& name, const std::string& password,
               const std::string& business_descrip = "Hotel Central") {
    ScriptLogin(business_descrip, name, password);
    return StartMain();
  }
  void ResetMain() {
    ui.principal = nullptr;
    main.reset();
  }
  // Advances the clock and lets timers and posted messages run.
  void Wait(int64_t ms) {
    clock.Advance(ms);
    ui.Idle();
    if (main) main->DispatchPosted();
  }
  std::vector<std::string> Boxes() { return ui.TakeBoxTexts(); }
  bool Greyed(int id) {
    const qz::MenuEntry* e = main->menu_bar().Find(id);
    return e == nullptr || e->denied;
  }

  qztest::TempDir dir;
  qztest::FakeClock clock;
  ShellUi ui;
  qz::RecordingView view;
  qz::MenuRegistry registry;
  std::unique_ptr<qz::PRINCIPAL> main;
  std::string root, bases;
  int process_exit = -1;
};

}  // namespace shelltest
