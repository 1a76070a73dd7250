// The sales box's reports: the restaurant's sales report of one box or of
// every box over a period (reached from the sales box window), and the
// shift's closing report naming the cashier who holds the box.
#include "cash/sales/sales_posting.h"
#include "cash/sales_report.h"
#include "page_text.h"
#include "sales_fixture.h"

namespace qztest {
namespace {

class SalesReportTest : public SalesTest {
 protected:
  void SetUp() override {
    SalesTest::SetUp();
    // Left out of every report below: an annulled sale of V1 in the
    // period and a sale of another business's box V1.
    Document("F006", 8, "18:00:00", "01", "", "", 0, "V1");
    Line("F006", "CENA", 1, 7777, 0, 0);
    Set("DOCUMENT", 6, "ANULADO", N(1));
    AddRows(bases, "DOCUMENT",
            {{{"NEGOCIO", C(Biz("OTRO NEGOCIO"))}, {"CODIGO", C("F007")},
              {"FECHA", D(2026, 12, 8)}, {"HORA", C("12:00:00")}, {"MONEDA", C("01")},
              {"CAJA", C("V1")}}});
    AddRows(bases, "DET_DOC", {{{"NEGOCIO", C(Biz("OTRO NEGOCIO"))}, {"CODIGO", C("F007")},
                                {"MONTO", N(6666)}}});
    Set("LINEAS", 1, "DESCRIP", C("ALIMENTOS"));
    Set("LINEAS", 2, "DESCRIP", C("BEBIDAS"));
  }
  static qz::ReportPeriod Period(int from_day, const std::string& from_time, int to_day,
                                 const std::string& to_time) {
    qz::ReportPeriod p;
    p.from_date = xb::JulianFromYmd(2026, 12, from_day);
    p.from_time = from_time;
    p.to_date = xb::JulianFromYmd(2026, 12, to_day);
    p.to_time = to_time;
    return p;
  }
};

TEST_F(SalesReportTest, OneBoxOrEveryBoxOfTheBusinessInThePeriod) {
  Document("F008", 9, "09:00:00", "01", "", "", 0, "");  // sold outside the tills
  Line("F008", "CENA", 1, 500, 0, 0);
  const auto doc = qz::RestaurantSalesReport(kBiz, "V1", Period(8, "00:00:00", 9, "23:59:59"));
  EXPECT_EQ(doc.title, "Cierre de Caja");
  auto lines = PageText(doc);
  HasLine(lines, "REPORTE DE VENTAS RESTAURANTE");
  HasLine(lines, "Caja: V1 CAJA RESTAURANTE");
  HasLine(lines, "Entre: 08/12/26 00:00:00 y 09/12/26 23:59:59");
  HasLine(lines, "08/12/26 12:00:00 F001 C 2,160.00");
  HasLine(lines, "08/12/26 13:00:00 F002 C100 EMPRESA ABC $ 45.20");
  HasLine(lines, "09/12/26 10:00:00 F003 C 8,000.00");
  for (const char* out : {"F004", "F005", "F006", "F007", "F008", "Ventas por Caja"})
    EXPECT_EQ(LinesWith(lines, out), 0) << out;
  HasLine(lines, "***Gran Total Ventas: C 10,160.00");
  HasLine(lines, "$ 45.20");
  HasLine(lines, "***Gran Total Recaudado: C 3,159.00");
  // The articles sold, net of discounts, per line of articles.
  HasLine(lines, "Ventas por Artículo");
  HasLine(lines, "BEBI: BEBIDAS");
  HasLine(lines, "CAFE CAFE CON LECHE 2.000 C 1,900.00");
  HasLine(lines, "***Total BEBIDAS C 1,900.00");
  HasLine(lines, "CENA CENA EJECUTIVA 1.000 C 8,000.00");
  HasLine(lines, "CENA CENA EJECUTIVA 1.000 $ 40.00");
  HasLine(lines, "***Total ALIMENTOS $ 40.00");  // currencies in the order first sold
  HasLine(lines, "C 8,000.00");

  // Every box: V2's sale comes in, with the box it was taken at and a
  // total per box; the annulled one and the other business's stay out.
  lines = PageText(qz::RestaurantSalesReport(kBiz, "", Period(8, "00:00:00", 9, "23:59:59")));
  HasLine(lines, "Caja: Todas las Cajas");
  HasLine(lines, "08/12/26 12:00:00 F001 V1 C 2,160.00");
  HasLine(lines, "08/12/26 12:30:00 F004 V2 C 8,000.00");
  HasLine(lines, "Ventas por Caja");
  HasLine(lines, "V1: CAJA RESTAURANTE C 10,160.00");
  HasLine(lines, "V2: CAJA BAR C 8,000.00");
  HasLine(lines, "Sin caja C 500.00");
  for (const char* out : {"F005", "F006", "F007"}) EXPECT_EQ(LinesWith(lines, out), 0) << out;
  HasLine(lines, "09/12/26 09:00:00 F008 C 500.00");
  HasLine(lines, "***Gran Total Ventas: C 18,660.00");

  // The period's ends count to the second: 12:30:00 to 13:00:00 of the 8th.
  lines = PageText(qz::RestaurantSalesReport(kBiz, "", Period(8, "12:30:00", 8, "13:00:00")));
  EXPECT_EQ(LinesWith(lines, "F001"), 0);
  EXPECT_EQ(LinesWith(lines, "F003"), 0);
  HasLine(lines, "08/12/26 12:30:00 F004 V2 C 8,000.00");
  HasLine(lines, "08/12/26 13:00:00 F002 V1 C100 EMPRESA ABC $ 45.20");
}

TEST_F(SalesReportTest, TheSalesBoxWindowAsksBoxAndPeriodAndKeepsTheWindowOnBadInput) {
  // No box is held here: the sales report needs none.
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->SelectBox("V2"));
  int runs = 0;
  ui.OnDialog("V_CIERRE", [&](qz::WDIAG& d) {
    ++runs;
    EXPECT_EQ(d.title(), "Reporte de Ventas Restaurante");
    const qz::ControlState* box = d.Control(601);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->entries.size(), 3u);
    EXPECT_EQ(box->entries[box->current].text, "V2 CAJA BAR");  // the box under the cursor
    EXPECT_EQ(d.Text(502), "09/12/26");                       // today, the whole day
    EXPECT_EQ(d.Text(503), "00:00:00");
    EXPECT_EQ(d.Text(505), "23:59:59");
    d.UserPress(1);  // V2 today: nothing sold
    EXPECT_TRUE(d.UserChoose(601, "Todas las Cajas"));
    EXPECT_TRUE(d.UserType(502, "08/12/26"));
    d.UserPress(1);
    EXPECT_TRUE(d.UserType(505, "25:00"));
    d.UserPress(1);
    EXPECT_TRUE(d.UserType(505, "12:00"));
    EXPECT_TRUE(d.UserType(504, "07/12/26"));
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kSalesReport);
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(ui.previews().size(), 2u);
  auto lines = PageText(ui.previews()[0]);
  HasLine(lines, "Caja: V2 CAJA BAR");
  HasLine(lines, "(sin movimientos)");
  lines = PageText(ui.previews()[1]);
  HasLine(lines, "Caja: Todas las Cajas");
  HasLine(lines, "Entre: 08/12/26 00:00:00 y 09/12/26 23:59:59");
  HasLine(lines, "***Gran Total Ventas: C 18,160.00");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Hora inválida (hh:mm:ss)",
                                      "El inicio del período no puede ser posterior a su final"}));
  // The box window is still there for the next operation.
  EXPECT_FALSE(w->ended());
}

TEST_F(SalesReportTest, TheClosingReportNamesTheCashierWhoHoldsTheBox) {
  // Ana opened the shift; Luis re-attached the box at this workstation.
  Cashier("0002", "LUIS VEGA", "LUIS");
  qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0002", "LUIS VEGA", true);
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_TRUE(w->SelectBox("V1"));
  ui.OnDialog("V_CIERRE", [](qz::WDIAG& d) {
    EXPECT_EQ(d.title(), "Cierre de Caja");
    EXPECT_FALSE(d.ControlEnabled(601));  // the shift decides box and period
    EXPECT_FALSE(d.ControlEnabled(502));
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  ASSERT_EQ(ui.previews().size(), 1u);
  auto lines = PageText(ui.previews()[0]);
  HasLine(lines, "Digitador: 0002 LUIS VEGA");
  HasLine(lines, "Preliminar");

  // The bar's box, opened by Ana at another workstation, under the cursor:
  // its report names Ana, not the cashier who holds V1 here.
  Set("VCAJAS", 2, "ESTADO", C("A"));
  AddRows(bases, "DET_VCAJ", {{{"NEGOCIO", C(Biz(kBiz))}, {"CAJA", C("V2")},
                               {"FECHA_INI", D(2026, 12, 9)}, {"HORA_INI", C("08:00:00")},
                               {"AGENTE", C("0001")}}});
  ASSERT_TRUE(w->SelectBox("V2"));
  ui.OnDialog("V_CIERRE", [](qz::WDIAG& d) {
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  ASSERT_EQ(ui.previews().size(), 2u);
  lines = PageText(ui.previews()[1]);
  HasLine(lines, "Caja: V2 CAJA BAR");
  HasLine(lines, "Digitador: 0001 ANA MORA");

  // Without a cashier named, the one who opened the shift.
  qz::Shift shift = *qz::FindShift(sales, 1);
  qz::BoxHeader box = *qz::ReadBoxHeader(sales, kBiz, "V1");
  lines = PageText(qz::ShiftClosingReport(sales, kBiz, box, shift));
  HasLine(lines, "Digitador: 0001 ANA MORA");
}

TEST_F(SalesReportTest, ThePreliminaryReportOfAClosedBoxIsRefusedAsClosed) {
  qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0001", "ANA MORA", true);
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_TRUE(w->SelectBox("V2"));
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Esta Caja se encuentra cerrada."});
  EXPECT_TRUE(ui.previews().empty());
}

TEST_F(SalesReportTest, APreliminaryReportPrintedAfterAClosingElsewhereIsTheFinalOne) {
  // The preliminary report's window stays open while another workstation
  // closes the box: "Imprimir" then prints the final report of the shift.
  qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0001", "ANA MORA", true);
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_TRUE(w->SelectBox("V1"));
  ui.OnDialog("V_CIERRE", [&](qz::WDIAG& d) {
    clock.SetNow({2026, 12, 9, 22, 30, 0, 0});
    EXPECT_EQ(qz::CloseSalesBox(kBiz, "V1", false).box, qz::BoxChange::kDone);
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  ASSERT_EQ(ui.previews().size(), 1u);
  const auto lines = PageText(ui.previews()[0]);
  HasLine(lines, "Cierre Final");
  HasLine(lines, "Cierre: 09/12/26 22:30:00");
  EXPECT_EQ(LinesWith(lines, "Preliminar"), 0);
}

}  // namespace
}  // namespace qztest
