// The stations catalog and the workstation assignment.
#include "devices/p_elect.h"

#include <gtest/gtest.h>

#include "devices/devices_fixture.h"
#include "devices/stations.h"

namespace {

class Stations : public qztest::DevicesTest {
 protected:
  void SetUp() override {
    DevicesTest::SetUp();
    Station("CAJA1", "01", "01", "Caja uno", "COM", "1001", "T-01");
    qztest::AddRows(bases, "P_ELECT", {{{"NEGOCIO", qztest::C(qztest::Biz("HOTEL PLAYA"))},
                               {"CODIGO", qztest::C("PLAYA")}}});
    screen = qz::OpenScreen<qz::P_ELECT>(desktop, "P_ELECT", qztest::Biz(kBiz));
    ASSERT_NE(screen, nullptr);
  }
  qz::P_ELECT* screen = nullptr;
};

TEST_F(Stations, AddModifyAndDeleteFromTheEditMenuKeepBankAndParameters) {
  EXPECT_EQ(screen->oB()->RowCount(), 1);  // this business only
  ASSERT_EQ(desktop.edit_menu().size(), 3u);
  EXPECT_EQ(desktop.edit_menu()[0].right, 6191);
  EXPECT_EQ(desktop.edit_menu()[2].right, 6193);
  ui.OnDialog("E_P_ELECT", [](qz::WDIAG& d) {
    d.UserType(qz::P_ELECT::kCodigo, "CAJA1");  // same code, other bank: allowed
    d.UserType(qz::P_ELECT::kDescrip, "Credomatic uno");
    d.UserClick(qz::P_ELECT::kCredomatic);
    d.UserType(qz::P_ELECT::kMoneda, "01");
    d.UserType(qz::P_ELECT::kParam1, "CR-1");
    d.UserPress(1);
  });
  EXPECT_TRUE(ui.Menu("Agregar"));
  ASSERT_EQ(screen->oB()->RowCount(), 2);
  auto rows = qz::StationRows(qztest::Biz(kBiz), "CAJA1", qz::kCredomatic);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(qz::TrimmedParam(rows[0], 1), "CR-1");

  // Modify: the stored bank is checked; neither radio checked keeps it.
  screen->oB()->Select(screen->oB()->RowOf(1));
  ui.OnDialog("E_P_ELECT", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::P_ELECT::kDescrip), "Caja uno");
    EXPECT_EQ(d.Check(qz::P_ELECT::kNacional), 1);
    EXPECT_EQ(d.Text(qz::P_ELECT::kParam1 + 2), "T-01");
    d.UserType(qz::P_ELECT::kParam1 + 2, "T-99");
    d.UserPress(1);
  });
  EXPECT_TRUE(ui.Menu("Modificar"));
  auto nacional = qz::FindStation(qztest::Biz(kBiz), "CAJA1", qz::kBancoNacional, "01");
  ASSERT_TRUE(nacional);
  EXPECT_EQ(qz::TrimmedParam(*nacional, 3), "T-99");

  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Desea borrar la Configuración?"});
  EXPECT_EQ(screen->oB()->RowCount(), 2);
  // A user without the delete right gets nothing from the entry.
  desktop.SetRightsCheck([](int right) { return right == 6193; });
  EXPECT_FALSE(ui.Menu("Borrar"));
  EXPECT_EQ(screen->oB()->RowCount(), 2);
  desktop.SetRightsCheck(nullptr);
  ui.Menu("Borrar");
  EXPECT_EQ(screen->oB()->RowCount(), 1);
}

TEST_F(Stations, AssignmentIsKeptPerBusinessInTheIniFile) {
  qztest::AddRows(bases, "PREDET_P",
          {{{"NEGOCIO", qztest::C(qztest::Biz(kBiz))}, {"CODIGO", qztest::C("P1")},
            {"DESCRIP", qztest::C("Impresora caja")}},
           {{"NEGOCIO", qztest::C(qztest::Biz(kBiz))}, {"CODIGO", qztest::C("P2")},
            {"DESCRIP", qztest::C("Impresora slip")}},
           {{"NEGOCIO", qztest::C(qztest::Biz("HOTEL PLAYA"))}, {"CODIGO", qztest::C("P9")},
            {"DESCRIP", qztest::C("Otra")}}});
  ui.OnDialog("A_ELECT", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Control(601)->entries.size(), 2u);
    d.UserType(501, "  CAJA1 ");
    d.UserChoose(601, "Impresora slip");
    d.UserType(502, "HOTEL CENTRAL");
    d.UserType(505, "Gracias");
    d.UserType(506, "TID-7");
    d.UserPress(1);
  });
  qz::A_ELECT(desktop, qztest::Biz(kBiz));
  const std::string ini = qz::QuartzelIni();
  EXPECT_EQ(qz::GetPrivateProfileString("ESTACION_CREDIT", kBiz, "?", ini), "CAJA1");
  EXPECT_EQ(qz::GetPrivateProfileString("PREDET_P_CREDOMATIC", kBiz, "?", ini), "P2");
  EXPECT_EQ(qz::GetPrivateProfileString("ESTACION_CREDIT_H4", kBiz, "?", ini), "Gracias");
  EXPECT_EQ(qz::WorkstationStation(kBiz), qztest::Biz("CAJA1"));

  ui.OnDialog("A_ELECT", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(501), "CAJA1");
    EXPECT_EQ(d.Text(601), "Impresora slip");
    EXPECT_EQ(d.Text(506), "TID-7");
    d.UserType(501, "OTRA");
    d.UserPress(2);  // cancelled: nothing written
  });
  qz::A_ELECT(desktop, qztest::Biz(kBiz));
  EXPECT_EQ(qz::GetPrivateProfileString("ESTACION_CREDIT", kBiz, "?", ini), "CAJA1");
}

}  // namespace
