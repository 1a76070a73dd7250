// The toolbar's cash button: only a cash-handling module's toolbar has it,
// its icon follows the box held here, and it opens the module's window.
#include "cash/box_state.h"
#include "cash/cash_screens.h"
#include "cash/cash_window.h"
#include "lib/ini/private_profile.h"
#include "shell/shell_fixture.h"

namespace shelltest {
namespace {

class CashButtonTest : public ShellTest {
 protected:
  void SetUp() override {
    qz::ResetCashBoxes();
    for (const char* t : {"ENC_HCAJ", "DET_HCAJ", "DIGITA", "F_HOTEL3"})
      qztest::CreateSchemaTable(bases, t);
    AddRows("ENC_HCAJ", {{{"NEGOCIO", C(Biz(kCentral))}, {"CODIGO", C("01")},
                          {"DESCRIP", C("CAJA RECEPCION")}, {"ESTADO", C("C")},
                          {"PASSWORD", C("SECRETO")}}});
    AddRows("DIGITA", {{{"NEGOCIO", C(Biz(kCentral))}, {"CODIGO", C("0001")},
                        {"NOMBRE", C("ANA MORA")}, {"CLAVE", C("ANA")}, {"CIERRE", N(1)}}});
    AddUser(kCentral, 2, "ANA", "ANA123", true);
    qz::RegisterCashScreens(registry, ui.desktop());
  }
  void TearDown() override {
    ResetMain();
    qz::ResetCashBoxes();
    ShellTest::TearDown();
  }
  bool Start(int toolbar_kind) {
    ScriptLogin("Hotel Central", "ANA", "ANA123");
    main = std::make_unique<qz::PRINCIPAL>(ui.desktop(), view, registry);
    main->toolbar_kind = toolbar_kind;
    ui.principal = main.get();
    return main->Init();
  }
};

TEST_F(CashButtonTest, ThisProgramsToolbarHasNoCashButton) {
  ASSERT_TRUE(Start(qz::kPayrollToolbar));
  EXPECT_EQ(main->toolbar()->Control(qz::kCashButtonId), nullptr);
  EXPECT_EQ(qz::CurrentCashButton(), nullptr);
}

TEST_F(CashButtonTest, TheHotelButtonOpensItsWindowAndShowsTheBoxHeldHere) {
  ASSERT_TRUE(Start(qz::kHotelToolbar));
  qz::MToolBar* bar = main->toolbar();
  ASSERT_NE(bar->Control(qz::kCashButtonId), nullptr);
  EXPECT_EQ(bar->Control(qz::kCashButtonId)->text, "Apertura/Cierre de Cajas");
  EXPECT_EQ(bar->CashIcon(qz::kCashButtonId), "C_CLOSE1");
  ASSERT_TRUE(ui.Press(bar, qz::kCashButtonId));
  auto* w = dynamic_cast<qz::CashBoxWindow*>(ui.desktop().FindWindow("DLG_HCAJAS2"));
  ASSERT_NE(w, nullptr);
  ui.OnDialog("ABRE_HCAJA", [](qz::WDIAG& d) {
    d.UserType(503, "ANA");
    d.UserType(502, "SECRETO");
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(bar->CashIcon(qz::kCashButtonId), "C_OPEN1");
  // Another workstation closes the box: the next question turns the icon.
  ASSERT_EQ(qz::CloseBoxRecords(*qz::BoxKindFor(qz::kHotelToolbar), kCentral, "01", true),
            qz::BoxChange::kDone);
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_EQ(bar->CashIcon(qz::kCashButtonId), "C_CLOSE1");
}

TEST_F(CashButtonTest, TheTimeshareToolbarHasASecondButtonForTheSecondBox) {
  qztest::CreateSchemaTable(bases, "CAJA_TS");
  qztest::CreateSchemaTable(bases, "F_SHARE");
  ASSERT_TRUE(Start(qz::kTimeshareToolbar));
  qz::MToolBar* bar = main->toolbar();
  ASSERT_NE(bar->Control(qz::kCashButton2Id), nullptr);
  EXPECT_EQ(bar->CashIcon(qz::kCashButton2Id), "C_CLOSE1");
  ASSERT_TRUE(ui.Press(bar, qz::kCashButton2Id));
  auto* w = dynamic_cast<qz::CashBoxWindow*>(ui.desktop().FindWindow("DLG_TCAJAS2"));
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->kind().second_box());
  EXPECT_STREQ(w->kind().header, "CAJA_TS");
}

TEST_F(CashButtonTest, AWorkstationSetToAModuleStartsWithItsCashButton) {
  EXPECT_EQ(qz::ToolbarKindToStart(""), qz::kPayrollToolbar);  // no setting
  ASSERT_TRUE(qz::WritePrivateProfileString("MODULO", "MODULO", " hotel ", qz::QuartzelIni()).ok());
  EXPECT_EQ(qz::ToolbarKindToStart(""), qz::kHotelToolbar);
  // The command line wins.
  EXPECT_EQ(qz::ToolbarKindToStart("VENTAS"), qz::kSalesToolbar);
  EXPECT_EQ(qz::ToolbarKindToStart("PCFG"), qz::kPayrollToolbar);
  ASSERT_TRUE(Start(qz::ToolbarKindToStart("")));
  EXPECT_NE(main->toolbar()->Control(qz::kCashButtonId), nullptr);
}

TEST(ModuleToolbars, ModulesChooseTheirToolbar) {
  EXPECT_EQ(qz::ToolbarKindOfModule("hotel"), qz::kHotelToolbar);
  EXPECT_EQ(qz::ToolbarKindOfModule("HOT_2"), qz::kHotelToolbar);
  EXPECT_EQ(qz::ToolbarKindOfModule("VENTAS"), qz::kSalesToolbar);
  EXPECT_EQ(qz::ToolbarKindOfModule("DEPO"), qz::kReservationsToolbar);
  EXPECT_EQ(qz::ToolbarKindOfModule("T_SHARE"), qz::kTimeshareToolbar);
  EXPECT_EQ(qz::ToolbarKindOfModule("PCFG"), qz::kPayrollToolbar);
}

}  // namespace
}  // namespace shelltest
