// Modal dialogs, the dialog-usage hook, focus and activation around them, the
// "Editar" popup with rights, the waiting window and unscripted dialogs.
#include "lib/ui/desktop.h"

#include <gtest/gtest.h>

#include "lib/settings/globals.h"
#include "lib/ui/lists.h"
#include "lib/ui/tree.h"
#include "support/ui_session.h"

namespace {

class DesktopTest : public qztest::UiSession {};

TEST_F(DesktopTest, DialogBoxRunsTheFiveSteps) {
  auto* screen = desktop.Adopt(std::make_unique<qz::WDIAG>(desktop, nullptr, "OCUPA"));
  ASSERT_TRUE(screen->CREATE().ok());
  screen->SetFocus(700);
  std::vector<std::string> log;
  qz::SetDialogLogHook([&](qz::WDIAG* owner, const std::string& name) {
    log.push_back(name + (owner == screen ? " by screen" : ""));
  });
  std::vector<int> seen;
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    EXPECT_FALSE(screen->shown_active());  // shown inactive while the dialog runs
    EXPECT_EQ(d.Text(501), "preset");      // set on WM_INITDIALOG
    d.UserType(500, "X");
    d.UserPress(1);
  });
  int r =
      qz::DIALOG_BOX(desktop, "MODIOCUPA", screen, [&](qz::WDIAG& d, int m, int64_t w, int64_t) {
        seen.push_back(m);
        if (m == qz::kWmInitDialog) d.SetText(501, "preset");
        if (m == qz::kWmCommand && w == 1) d.ENDDIALOG(7);
        return m == qz::kWmCommand ? 1 : 0;
      });
  qz::SetDialogLogHook(nullptr);
  EXPECT_EQ(r, 7);
  EXPECT_EQ(log, std::vector<std::string>{"MODIOCUPA by screen"});
  EXPECT_EQ(seen, (std::vector<int>{qz::kWmInitDialog, qz::kWmCommand}));
  EXPECT_TRUE(screen->shown_active());
  EXPECT_EQ(desktop.focus_window(), screen);
  EXPECT_EQ(screen->focus(), 700);
}

TEST_F(DesktopTest, MissingTemplateIsToldAndAnswersCancel) {
  EXPECT_EQ(qz::DIALOG_BOX(desktop, "NO_EXISTE", nullptr, nullptr), 2);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Error");
}

TEST_F(DesktopTest, DeniedRightsGreyTheirEntries) {
  desktop.SetRightsCheck([](int right) { return right == 2664; });
  int added = 0;
  struct Screen : qz::WDIAG {
    Screen(qz::Desktop& d, int* n) : WDIAG(d, nullptr, "PUESTOS"), n_(n) {}
    bool DoOperation(const std::string& op) override {
      if (op == "ADD_PUESTOS" || op == "MOD_PUESTOS") ++*n_;
      return true;
    }
    int* n_;
  };
  Screen s(desktop, &added);
  desktop.MENUSET(2662, &s, "");
  ASSERT_EQ(desktop.edit_menu().size(), 3u);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "Agregar");  // shown without the trailing blank
  EXPECT_TRUE(desktop.edit_menu()[1].Denied());
  EXPECT_FALSE(desktop.ChooseEdit("Modificar"));
  EXPECT_EQ(added, 0);  // the screen is not among the desktop's windows
  desktop.MENUSET(0, nullptr, "");
  EXPECT_EQ(desktop.edit_menu()[0].caption, "No hay operaciones asociadas");
  EXPECT_FALSE(desktop.ChooseEdit("No hay operaciones asociadas"));
}

TEST_F(DesktopTest, ControlsByIdAndTheirMessages) {
  qz::WDIAG d(desktop, nullptr, "MODIPUESTO");
  ASSERT_TRUE(d.INIT().ok());
  qz::SENDDLGITEMMESSAGE(d, 501, qz::kWmSetText, 0, "Cocinero");
  EXPECT_EQ(qz::GETDLGITMTEXT(d, 501), "Cocinero");
  qz::SENDDLGITEMMESSAGE(d, 1012, qz::kBmSetCheck, 1);
  EXPECT_EQ(qz::SENDDLGITEMMESSAGE(d, 1012, qz::kBmGetCheck), 1);
  d.UserClick(1013);  // radios of one day exclude each other
  EXPECT_EQ(d.Check(1012), 0);
  EXPECT_EQ(d.Check(1014), 0);  // other days untouched
  d.EnableControl(501, false);
  EXPECT_FALSE(d.UserType(501, "otro"));
  EXPECT_EQ(d.Text(501), "Cocinero");
  EXPECT_EQ(qz::GETDLGITMTEXT(d, 9999), "");

  qz::CCOMBOBOX combo(d, 601);
  combo.ADD("Operativo", "OPE ");
  combo.ADD("Sin perfil asignado", "    ");
  EXPECT_FALSE(combo.CURCARGO().has_value());
  EXPECT_TRUE(combo.SEEKCARGO("    "));
  EXPECT_EQ(*combo.CURCARGO(), "    ");
  EXPECT_FALSE(combo.SEEKCARGO("XXX"));
  EXPECT_FALSE(combo.CURCARGO().has_value());
  qz::CLISTBOX list(d, 600);
  list.ADD("Suite", "SUI ");
  list.ADD("Doble", "DBL ");
  EXPECT_TRUE(list.SELECTCARGO("DBL "));
  EXPECT_TRUE(list.ISSELECTED("DBL "));
  EXPECT_FALSE(list.ISSELECTED("SUI "));
}

TEST_F(DesktopTest, WaitWindowAndLeavesOnlyTreeMarks) {
  {
    qz::WAIT wait(nullptr, "Procesando Datos...");
    EXPECT_TRUE(ui.wait_open());
    wait.PUT_TEXT("Un momento por favor...");
  }
  EXPECT_FALSE(ui.wait_open());
  EXPECT_EQ(ui.wait_texts(),
            (std::vector<std::string>{"Procesando Datos...", "Un momento por favor..."}));

  qz::WDIAG d(desktop, nullptr, "OCUPA");
  qz::TreeModel tree(d, 800, qz::TreeModel::Mode::kMultiple);
  auto* dept = tree.Add(nullptr, "Alimentos y Bebidas", "AYB", "12");
  tree.Add(dept, "Cocina", "COC");
  tree.Add(dept, "Bar", "BAR");
  auto* single = tree.Add(nullptr, "Recepción", "REC");
  EXPECT_TRUE(tree.SetMarked(dept, true));  // a branch marks its leaves
  EXPECT_FALSE(dept->marked);
  EXPECT_EQ(tree.MarkedLeaves().size(), 2u);
  tree.SetMarked(single, true);
  EXPECT_EQ(tree.Find("AYB")->right_text, "12");
  std::string chosen;
  tree.AddContextEntry("Seleccionar Todo", [&](qz::TreeNode* n) { chosen = n->cargo; });
  EXPECT_TRUE(tree.ChooseContext(single, "Seleccionar Todo"));
  EXPECT_EQ(chosen, "REC");
}

TEST(HeadlessUi, UnscriptedDialogsAreCancelledAndReported) {
  qztest::FakeClock clock;
  qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  qz::HeadlessUi ui;
  EXPECT_EQ(qz::DIALOG_BOX(ui.desktop(), "MODIOCUPA", nullptr, nullptr), 2);
  ASSERT_EQ(ui.problems().size(), 1u);
  ui.AnswerNext(2);
  EXPECT_EQ(ui.problems().size(), 2u);  // an answer nobody asked for
  EXPECT_EQ(qz::MESSAGE_BOX("¿Seguro?", "Advertencia", 33), 2);
  EXPECT_EQ(qz::MESSAGE_BOX("Fin de Proceso", "Aviso", 64), 1);
}

TEST(HeadlessUi, LongLoopsPumpTheWindowSystemAtTheInstallationsCadence) {
  qztest::FakeClock clock;
  qz::ResetGlobals();
  qz::HeadlessUi ui;
  qz::G().XMULTITASK = {1, 4};  // F_SYS.MULTITASK = 4: every fourth call
  for (int i = 0; i < 12; ++i) qz::MULTITASK();
  EXPECT_EQ(ui.pumps(), 3);
  qz::MULTITASK(2, true);  // forced: at once, twice
  EXPECT_EQ(ui.pumps(), 5);
  qz::G().XMULTITASK = {1, 0};  // 0: every call
  qz::MULTITASK();
  EXPECT_EQ(ui.pumps(), 6);
  // WAIT_TIME keeps the screen alive for the whole wait.
  qz::WAIT_TIME(1);
  EXPECT_GE(ui.pumps(), 6 + 50);
  EXPECT_GE(clock.slept(), 1000);
}

}  // namespace
