// The cash box window as a cashier and a supervisor use it.
#include "cash/cash_window.h"

#include "lib/ini/private_profile.h"
#include "lib/settings/globals.h"
#include "hotel_fixture.h"

namespace qztest {
namespace {

class CashWindowTest : public HotelCashTest {
 protected:
  qz::CashBoxWindow* Open(int toolbar_kind = qz::kHotelToolbar, int box_type = 1) {
    qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, toolbar_kind, box_type, kBiz);
    EXPECT_NE(w, nullptr);
    return w;
  }
  // The opening dialog answered with the passwords (cashier preselected).
  void Passwords(const std::string& tmpl, const std::string& cashier, const std::string& box,
                 bool cancel_after_error = false) {
    ui.OnDialog(tmpl, [=](qz::WDIAG& d) {
      d.UserType(503, cashier);
      d.UserType(502, box);
      d.UserPress(1);
      if (cancel_after_error && !d.ended()) d.UserPress(2);
    });
  }
  bool Alive(qz::WDIAG* w) { return desktop.Alive(w); }
};

TEST_F(CashWindowTest, OpeningWithBothPasswordsHoldsTheBoxAndClosesTheWindow) {
  qz::CashBoxWindow* w = Open();
  EXPECT_EQ(w->Text(qz::CashBoxWindow::kOpenLabel), "Ninguna...");
  ASSERT_EQ(w->grid()->RowCount(), 1);
  EXPECT_EQ(w->grid()->Cell(0, 2), "Cerrada");
  ui.OnDialog("ABRE_HCAJA", [](qz::WDIAG& d) {
    // The only cashier is preselected.
    EXPECT_EQ(d.Control(602)->current, 0);
    d.UserType(503, "ANA");
    d.UserType(502, "SECRETO");
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_FALSE(Alive(w));
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "01");
  EXPECT_EQ(qz::GET_DIG_ABIERTO(), "ANA MORA");
  EXPECT_EQ(toolbar.icon, 1);
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
  EXPECT_EQ(Count("DET_HCAJ"), 1u);

  // Opened again, the window shows the box held here.
  w = Open();
  EXPECT_EQ(w->Text(qz::CashBoxWindow::kOpenLabel), "CAJA RECEPCION");
  EXPECT_EQ(w->grid()->Cell(w->grid()->current(), 2), "Abierta");
}

TEST_F(CashWindowTest, AWrongPasswordKeepsTheDialogAndWritesNothing) {
  qz::CashBoxWindow* w = Open();
  Passwords("ABRE_HCAJA", "ANA", "OTRA", true);
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Clave de Paso Errada"});
  EXPECT_TRUE(Alive(w));
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "C");
  EXPECT_EQ(Count("DET_HCAJ"), 0u);
  EXPECT_FALSE(qz::CAJA_ABIERTA());

  Passwords("ABRE_HCAJA", "ana", "SECRETO", true);  // case counts
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Clave de Paso Errada"});
}

TEST_F(CashWindowTest, PasswordsCompareOnTheirFirstTenCharacters) {
  Cashier("0002", "LUIS SOTO", "0123456789");
  qz::CashBoxWindow* w = Open();
  ui.OnDialog("ABRE_HCAJA", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Control(602)->current, -1);  // two cashiers: nobody preselected
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserChoose(602, "LUIS SOTO");
    d.UserType(503, "0123456789 and more");
    d.UserType(502, "SECRETO   ");
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Debe completar todos los datos básicos:\r\nDigitador"});
  EXPECT_EQ(Field("DET_HCAJ", 1, "AGENTE"), "0002");
}

TEST_F(CashWindowTest, ABoxOpenElsewhereCannotBeOpenedButCanBeReattachedAndClosedHere) {
  // Another workstation opened the box; this one holds nothing.
  ASSERT_EQ(qz::OpenBoxRecords(hotel, kBiz, "01", "0001"), qz::BoxChange::kDone);
  qz::CashBoxWindow* w = Open();
  EXPECT_EQ(w->Text(qz::CashBoxWindow::kOpenLabel), "Ninguna...");
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Actualmente, se encuentra abierta esta caja."});

  ui.OnDialog("ABRE_HCAJA", [](qz::WDIAG& d) {
    EXPECT_EQ(d.title(), "Reabrir Caja");
    d.UserType(503, "ANA");
    d.UserType(502, "SECRETO");
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kReattach);
  EXPECT_FALSE(Alive(w));
  EXPECT_TRUE(qz::CAJA_ABIERTA());
  EXPECT_EQ(Count("DET_HCAJ"), 1u);  // re-attaching writes nothing

  // The authorised closing, the final report, then the box is let go.
  w = Open();
  Passwords("PASS_HCAJA", "ANA", "SECRETO");
  ui.OnDialog("HP_CIERRE", [](qz::WDIAG& d) { d.UserPress(2); });
  clock.SetNow({2026, 12, 8, 15, 30, 0, 0});
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{
                "Desea realizar el Cierre?\rSi tiene dudas, conteste que NO e imprima un Cierre "
                "Preliminar",
                "Caja cerrada con Éxito"}));
  EXPECT_FALSE(Alive(w));
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_EQ(toolbar.icon, 0);
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "C");
  EXPECT_EQ(Field("DET_HCAJ", 1, "HORA_FIN"), "15:30:00");
  EXPECT_EQ(Field("DET_HCAJ", 1, "CTRL_HORA"), "15:30:00");
}

TEST_F(CashWindowTest, ABoxClosedElsewhereWhileThePasswordsAreTypedIsNotReattached) {
  ASSERT_EQ(qz::OpenBoxRecords(hotel, kBiz, "01", "0001"), qz::BoxChange::kDone);
  qz::CashBoxWindow* w = Open();
  ui.OnDialog("ABRE_HCAJA", [&](qz::WDIAG& d) {
    d.UserType(503, "ANA");
    d.UserType(502, "SECRETO");
    // The supervisor closes it from another workstation meanwhile.
    ASSERT_EQ(qz::CloseBoxRecords(hotel, kBiz, "01", true), qz::BoxChange::kDone);
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kReattach);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Actualmente, no se encuentra abierta esta caja."});
  EXPECT_TRUE(Alive(w));
  EXPECT_EQ(w->grid()->Cell(w->grid()->current(), 2), "Cerrada");
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "????");
  EXPECT_EQ(toolbar.icon, 0);
}

TEST_F(CashWindowTest, OnlyCashiersWhoMayCloseAuthoriseAClosing) {
  Cashier("0002", "LUIS SOTO", "LUIS", 0);
  OpenBox01();
  qz::CashBoxWindow* w = Open();
  ui.OnDialog("PASS_HCAJA", [](qz::WDIAG& d) {
    ASSERT_EQ(d.Control(602)->entries.size(), 1u);
    EXPECT_EQ(d.Control(602)->entries[0].text, "ANA MORA");
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_TRUE(Alive(w));
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
}

TEST_F(CashWindowTest, TheStationCheckRefusesAWorkstationWithoutTheKey) {
  AddRows(bases, "F_HOTEL3", {{{"NEGOCIO", C(Biz(kBiz))}, {"CHECK_CAJA", N(1)}}});
  qz::CashBoxWindow* w = Open();
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Esta estación no tiene autorizado la operación de esta caja"});
  ASSERT_TRUE(qz::WritePrivateProfileString("HDEF_CAJA", Biz(kBiz) + "01", "1", qz::QuartzelIni())
                  .ok());
  Passwords("ABRE_HCAJA", "ANA", "SECRETO");
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_FALSE(Alive(w));
  EXPECT_TRUE(qz::CAJA_ABIERTA());
}

TEST_F(CashWindowTest, ClosingAnotherWorkstationsBoxKeepsTheBoxHeldHere) {
  Box("ENC_HCAJ", "02", "CAJA BAR", "BAR");
  OpenBox01();
  ASSERT_EQ(qz::OpenBoxRecords(hotel, kBiz, "02", "0001"), qz::BoxChange::kDone);
  qz::CashBoxWindow* w = Open();
  ASSERT_TRUE(w->SelectBox("02"));
  Passwords("PASS_HCAJA", "ANA", "BAR");
  ui.OnDialog("HP_CIERRE", [](qz::WDIAG& d) { d.UserPress(2); });
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(Field("ENC_HCAJ", 2, "ESTADO"), "C");
  EXPECT_TRUE(qz::CAJA_ABIERTA());
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "01");
  EXPECT_EQ(toolbar.icon, 1);
}

TEST_F(CashWindowTest, ClosedBoxesRefuseTheCloseThePreliminaryReportAndTheCount) {
  qz::CashBoxWindow* w = Open();
  Passwords("PASS_HCAJA", "ANA", "SECRETO");
  ui.Press(w, qz::CashBoxWindow::kClose);
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  ui.Press(w, qz::CashBoxWindow::kCount);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Actualmente no se encuentra abierta esta caja.",
                                      "Esta Caja se encuentra cerrada.",
                                      "Necesita primero abrir una caja"}));
}

TEST_F(CashWindowTest, TheCountButtonFollowsTheHeldBox) {
  AddRows(bases, "ENC_HCAJ", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("03")},
                               {"DESCRIP", C("CAJA SIN ARQUEO")}, {"ESTADO", C("C")},
                               {"PASSWORD", C("X")}, {"ARQUEO_AD", N(0)}}});
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), hotel, kBiz, "03", "0001"),
            qz::BoxChange::kDone);
  qz::CashBoxWindow* w = Open();
  EXPECT_FALSE(w->ControlEnabled(qz::CashBoxWindow::kCount));
}

TEST_F(CashWindowTest, TheSalesKindClosesWithoutAuthorisationAndPreselectsNobody) {
  Box("VCAJAS", "V1", "CAJA RESTAURANTE", "REST");
  qz::CashBoxWindow* w = Open(qz::kSalesToolbar);
  EXPECT_EQ(w->Check(qz::CashBoxWindow::kPostSales), 1);
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"No hay Caja Abierta..."});
  ui.OnDialog("ABRE_VCAJA", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Control(602)->current, -1);
    d.UserChoose(602, "ANA MORA");
    d.UserType(503, "ANA");
    d.UserType(502, "REST");
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kOpen);
  EXPECT_EQ(qz::ProcessCashBoxes().XH_CAJAS.sales_cashier, "0001");
  EXPECT_EQ(qz::ProcessCashBoxes().XH_CAJAS.kind, qz::kSalesKind);
  w = Open(qz::kSalesToolbar);
  ui.Press(w, qz::CashBoxWindow::kClose);  // the confirmation answers OK
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "C");
  EXPECT_EQ(qz::Trim(Field("DET_VCAJ", 1, "CTRL_HORA")), "");  // sales keep no audit fields
  EXPECT_FALSE(qz::CAJA_ABIERTA());
}

TEST_F(CashWindowTest, AShiftMissingStopsTheClosingBeforeAnyChange) {
  AddRows(bases, "ENC_HCAJ", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("09")},
                               {"DESCRIP", C("CAJA ROTA")}, {"ESTADO", C("A")},
                               {"PASSWORD", C("X")}}});
  qz::CashBoxWindow* w = Open();
  ASSERT_TRUE(w->SelectBox("09"));
  Passwords("PASS_HCAJA", "ANA", "X");
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{
                                   "Error cerrando la caja.\rNo hay registro de caja abierta!"});
  EXPECT_EQ(Field("ENC_HCAJ", 2, "ESTADO"), "A");
}

TEST_F(CashWindowTest, AReservationsBoxClosedByCountSaysItStaysOpen) {
  const qz::BoxKind& res = *qz::BoxKindFor(qz::kReservationsToolbar);
  Box("ENC_RCAJ", "R1", "CAJA RESERVAS", "RES");
  Set("ENC_RCAJ", 1, "TIP_CIERRE", N(1));
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), res, kBiz, "R1", "0001"),
            qz::BoxChange::kDone);
  qz::CashBoxWindow* w = Open(qz::kReservationsToolbar);
  Passwords("PASS_RCAJA", "ANA", "RES");
  ui.Press(w, qz::CashBoxWindow::kClose);  // the confirmation answers OK
  // Told, not left to believe the box closed; nothing changed.
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{
                "Desea realizar el Cierre?\rSi tiene dudas, conteste que NO e imprima un Cierre "
                "Preliminar",
                "El tipo de cierre de esta caja no se realiza desde esta ventana.\rLa caja no fue "
                "cerrada y sigue abierta."}));
  EXPECT_TRUE(Alive(w));
  EXPECT_EQ(w->grid()->Cell(w->grid()->current(), 2), "Abierta");
  EXPECT_EQ(Field("ENC_RCAJ", 1, "ESTADO"), "A");
  EXPECT_TRUE(qz::FindOpenShift(res, kBiz, "R1"));
  EXPECT_TRUE(qz::CAJA_ABIERTA());
  EXPECT_EQ(toolbar.icon, 1);
  // The preliminary report still reads the open shift.
  ui.OnDialog("RS_CIERRE", [](qz::WDIAG& d) { d.UserPress(2); });
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
}

}  // namespace
}  // namespace qztest
