// "Optimizar Base de Datos" as the user meets it: opened from its menu
// entry, it packs every payroll table and closes itself; a table another
// window or workstation holds is named and nothing is touched; stopping it
// half-way loses nothing.
#include "payroll/maintenance/opt_pla.h"

#include <gtest/gtest.h>

#include <set>

#include "lib/data/file_utils.h"
#include "lib/ui/catalog.h"
#include "lib/ui/menu_registry.h"
#include "payroll/payroll_screens.h"
#include "support/ui_session.h"

namespace {

using qz::OPT_PLA;
using qztest::C;
using qztest::N;

const std::string kHc = qztest::Biz("HOTEL CENTRAL");

class OptPlaTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    std::set<std::string> made;
    for (const std::string& t : qz::PayrollTablesToOptimize())
      if (made.insert(t).second) Create(t);
    std::vector<qztest::Row> depts, people, payrolls;
    for (int i = 1; i <= 4; ++i)
      depts.push_back({{"NEGOCIO", C(kHc)}, {"CODIGO", C("D" + std::to_string(i))},
                       {"FIN_ACCION", C("Texto final del departamento " + std::to_string(i))}});
    for (int i = 1; i <= 30; ++i)
      people.push_back({{"NEGOCIO", C(kHc)}, {"CODIGO", C("E" + std::to_string(i))},
                        {"DEPTO", C("D" + std::to_string(i % 4 + 1))}, {"ACTIVO", N(1)}});
    for (int i = 1; i <= 6; ++i)
      payrolls.push_back({{"NEGOCIO", C(kHc)}, {"CODIGO", C("D1")},
                          {"FECHA", xb::Value::Date(xb::JulianFromYmd(2026, i, 28))},
                          {"FIN_LIQ", C(std::string(300 + i * 50, 'a' + i))}});
    qztest::AddRows(bases, "ENC_DEPT", depts);
    qztest::AddRows(bases, "ENC_PERS", people);
    qztest::AddRows(bases, "H_E_DEPT", payrolls);
    DeleteEvery("ENC_DEPT", 2);  // D2, D4
    DeleteEvery("ENC_PERS", 3);
    DeleteEvery("H_E_DEPT", 3);
  }

  void DeleteEvery(const std::string& table, uint32_t n) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    ASSERT_TRUE(t.ok());
    for (uint32_t r = n; r <= *(*t)->RecCount(); r += n) {
      ASSERT_TRUE((*t)->GoTo(r).ok());
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Delete().ok());
      ASSERT_TRUE((*t)->Flush().ok());
      (*t)->UnlockAll();
    }
  }
  // Records in the file, deleted ones included.
  uint32_t Records(const std::string& table) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    return t.ok() ? *(*t)->RecCount() : 0;
  }
  // The memo `field` of every live row, in record order.
  std::vector<std::string> Memos(const std::string& table, const std::string& field) {
    std::vector<std::string> out;
    auto t = xb::Table::Open(file(table + ".DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) out.push_back((*t)->Get(field)->str());
    return out;
  }
  // Every listed table whose tags disagree with its records.
  std::vector<std::string> Unclean() {
    std::vector<std::string> out;
    for (const std::string& name : qz::PayrollTablesToOptimize()) {
      auto t = xb::Table::Open(file(name + ".DBF"));
      std::vector<std::string> problems;
      if (!t.ok() || !(*t)->Check(&problems).ok() || !problems.empty()) out.push_back(name);
    }
    return out;
  }
  OPT_PLA* Open() {
    // Through the menu's registry, as "Otros Servicios" opens it (no business).
    qz::MenuRegistry registry;
    qz::RegisterMaintenanceScreens(registry, desktop);
    const qz::ScreenOpener* open = registry.Find("OPT_PLA");
    EXPECT_NE(open, nullptr);
    if (open) (*open)("", "OPT_PLA");
    auto* s = dynamic_cast<OPT_PLA*>(desktop.FindWindow("OPT_PLA"));
    EXPECT_NE(s, nullptr);
    return s;
  }
};

TEST_F(OptPlaTest, OptimizarPacksEveryPayrollTableKeepsTheMemosAndClosesTheWindow) {
  const auto dept_memos = Memos("ENC_DEPT", "FIN_ACCION");
  const auto payroll_memos = Memos("H_E_DEPT", "FIN_LIQ");
  OPT_PLA* s = Open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->title(), "Optimizacion de Base de Datos de Planillas");
  EXPECT_EQ(s->Text(OPT_PLA::kTabla), "");
  ASSERT_TRUE(ui.Press(s, OPT_PLA::kOptimizar));

  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(desktop.FindWindow("OPT_PLA"), nullptr);
  EXPECT_EQ(Records("ENC_DEPT"), 2u);
  EXPECT_EQ(Records("ENC_PERS"), 20u);
  EXPECT_EQ(Records("H_E_DEPT"), 4u);
  EXPECT_EQ(Memos("ENC_DEPT", "FIN_ACCION"), dept_memos);
  EXPECT_EQ(Memos("H_E_DEPT", "FIN_LIQ"), payroll_memos);
  EXPECT_TRUE(Unclean().empty()) << ::testing::PrintToString(Unclean());
  // One step per table of the list, the waiting window naming each.
  ASSERT_FALSE(ui.progress().empty());
  EXPECT_EQ(ui.progress().back().total,
            static_cast<int64_t>(qz::PayrollTablesToOptimize().size()));
  const auto& waits = ui.wait_texts();
  EXPECT_NE(std::find(waits.begin(), waits.end(), "Optimizando ENC_PERS"), waits.end());
  EXPECT_NE(std::find(waits.begin(), waits.end(), "Optimizando DET_DDA"), waits.end());
  EXPECT_FALSE(ui.wait_open());
}

TEST_F(OptPlaTest, ATableHeldElsewhereIsNamedAndNothingIsTouchedUntilItIsFree) {
  OPT_PLA* s = Open();
  ASSERT_NE(s, nullptr);
  {
    auto other = xb::Table::Open(file("H_E_DEPT.DBF"));  // another workstation
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(ui.Press(s, OPT_PLA::kOptimizar));
  }
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Alerta");
  EXPECT_EQ(ui.boxes()[0].text, "No se puede abrir archivo: " + file("H_E_DEPT.DBF") + "\r\n" +
                                    OPT_PLA::kRevise);
  ui.TakeBoxTexts();
  // ENC_PERS comes first in the list and still has its deleted rows.
  EXPECT_EQ(Records("ENC_PERS"), 30u);
  EXPECT_EQ(Records("H_E_DEPT"), 6u);
  ASSERT_EQ(desktop.FindWindow("OPT_PLA"), s);
  EXPECT_TRUE(s->ControlEnabled(OPT_PLA::kOptimizar));

  ASSERT_TRUE(ui.Press(s, OPT_PLA::kOptimizar));
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Records("ENC_PERS"), 20u);
  EXPECT_EQ(Records("H_E_DEPT"), 4u);
}

TEST_F(OptPlaTest, StoppingTheWaitLeavesEveryTablePackedOrUntouched) {
  OPT_PLA* s = Open();
  ASSERT_NE(s, nullptr);
  ui.CancelWaitAt(2);  // while ENC_PERS and DET_PERS are done
  ASSERT_TRUE(ui.Press(s, OPT_PLA::kOptimizar));
  const auto texts = ui.TakeBoxTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("Optimización interrumpida antes de DET_PER2: 2 tablas", 0), 0u)
      << texts[0];
  EXPECT_EQ(Records("ENC_PERS"), 20u);
  EXPECT_EQ(Records("ENC_DEPT"), 4u);
  EXPECT_TRUE(Unclean().empty());
  ASSERT_EQ(desktop.FindWindow("OPT_PLA"), s);
  ASSERT_TRUE(ui.Press(s, OPT_PLA::kCancelar));
  EXPECT_EQ(desktop.FindWindow("OPT_PLA"), nullptr);
  EXPECT_EQ(Records("ENC_DEPT"), 4u);
}

}  // namespace
