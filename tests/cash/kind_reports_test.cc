// The closing reports of the sales, reservations and timeshare boxes: what
// each lists of its module's tables for the shift (other boxes, other
// periods and annulled rows left out), grouped with totals per currency.
#include "cash/cash_window.h"
#include "cash/closing_report.h"
#include "page_text.h"
#include "sales_fixture.h"

namespace qztest {
namespace {

class KindReportTest : public SalesTest {
 protected:
  void SetUp() override {
    SalesTest::SetUp();
    for (const char* t : {"ENC_RLIB", "CON_RLIB", "ENC_RDC", "ENC_TLIB", "CON_TLIB", "ENC_DTS",
                          "DTS_MOVE", "TIP_MVTS"})
      Create(t);
  }
  // The page text of the report of `kind` for box `code` with the shift
  // 08/12/26 11:00:00 - 09/12/26 23:00:00.
  std::vector<std::string> Report(const qz::BoxKind& kind, const std::string& code) {
    qz::BoxHeader box;
    box.code = code;
    box.descrip = "CAJA";
    qz::Shift shift;
    shift.fecha_ini = xb::JulianFromYmd(2026, 12, 8);
    shift.hora_ini = "11:00:00";
    shift.fecha_fin = xb::JulianFromYmd(2026, 12, 9);
    shift.hora_fin = "23:00:00";
    shift.agente = "0001";
    return Text(qz::ShiftClosingReport(kind, kBiz, box, shift));
  }
  static std::vector<std::string> Text(const qz::PrintDocument& doc) { return PageText(doc); }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return HasLine(lines, line);
  }
  static int Count(const std::vector<std::string>& lines, const std::string& part) {
    return LinesWith(lines, part);
  }
  static Row Movement(const std::string& code, int day, const std::string& hora,
                      const std::string& caja, const std::string& concepto,
                      const std::string& ref_field, const std::string& ref,
                      const std::string& moneda, double monto, int anulado = 0) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)},       {"FECHA", D(2026, 12, day)},
            {"HORA", C(hora)},         {"CAJA", C(caja)},         {"CONCEPTO", C(concepto)},
            {ref_field, C(ref)},       {"NOMBRE", C("ROJAS ANA")}, {"MONEDA", C(moneda)},
            {"MONTO", N(monto)},       {"ANULADO", N(anulado)}};
  }
};

TEST_F(KindReportTest, TheSalesPreliminaryReportListsTheShiftsDocumentsPaymentsAndTaxes) {
  qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0001", "ANA MORA", true);
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_TRUE(w->SelectBox("V1"));
  ui.OnDialog("V_CIERRE", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(505), "23:59:59");
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  ASSERT_EQ(ui.previews().size(), 1u);
  const auto lines = Text(ui.previews()[0]);
  EXPECT_EQ(ui.previews()[0].titles[0], "CIERRE DE CAJA");
  // F005 is of the day before the shift, F004 of the other box.
  Has(lines, "08/12/26 12:00:00 F001 C 2,160.00");
  Has(lines, "08/12/26 13:00:00 F002 C100 EMPRESA ABC $ 45.20");
  Has(lines, "09/12/26 10:00:00 F003 C 8,000.00");
  EXPECT_EQ(Count(lines, "F004"), 0);
  EXPECT_EQ(Count(lines, "F005"), 0);
  // Payments by movement type, the posted ones too (they were taken).
  Has(lines, "EF: EFECTIVO");
  Has(lines, "***Total EFECTIVO C 3,159.00");
  Has(lines, "***Total TARJETA $ 30.00");
  Has(lines, "IV: IMPUESTO DE VENTAS C 260.00");
  Has(lines, "***Gran Total Ventas: C 10,160.00");
  Has(lines, "$ 45.20");
  Has(lines, "***Gran Total Recaudado: C 3,159.00");
}

TEST_F(KindReportTest, TheReservationsReportListsDepositsByConceptAndThePrepaymentDocuments) {
  AddRows(bases, "CON_RLIB", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("01")},
                               {"DESCRIP", C("DEPOSITO EN EFECTIVO")}}});
  AddRows(bases, "ENC_RLIB",
          {Movement("R-1", 8, "12:00:00", "R1", "01", "COD_RES", "RES-9", "02", 100),
           Movement("R-2", 8, "12:30:00", "R1", "01", "COD_RES", "RES-9", "01", 5000),
           Movement("R-3", 8, "13:00:00", "R1", "01", "COD_RES", "RES-9", "02", 70, 1),
           Movement("R-4", 8, "13:00:00", "R2", "01", "COD_RES", "RES-9", "02", 80),
           Movement("R-5", 8, "10:59:59", "R1", "01", "COD_RES", "RES-9", "02", 90)});
  AddRows(bases, "ENC_RDC", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("PP-7")},
                              {"FECHA", D(2026, 12, 9)}, {"HORA", C("09:00:00")},
                              {"CAJA", C("R1")}, {"CLIENTE", C("C100")}, {"MONEDA", C("02")},
                              {"MONTO", N(250)}}});
  const auto lines = Report(*qz::BoxKindFor(qz::kReservationsToolbar), "R1");
  Has(lines, "CIERRE DE CAJA PRE-PAGOS");
  Has(lines, "01: DEPOSITO EN EFECTIVO");
  Has(lines, "08/12/26 12:00:00 R-1 RES-9 ROJAS ANA $ 100.00");
  EXPECT_EQ(Count(lines, "R-3"), 0);  // annulled
  EXPECT_EQ(Count(lines, "R-4"), 0);  // another box
  EXPECT_EQ(Count(lines, "R-5"), 0);  // before the shift
  Has(lines, "***Total DEPOSITO EN EFECTIVO $ 100.00");
  Has(lines, "09/12/26 09:00:00 PP-7 C100 EMPRESA ABC $ 250.00");
  Has(lines, "***Gran Total: $ 350.00");
  Has(lines, "C 5,000.00");
}

TEST_F(KindReportTest, TheTimeshareReportsListTheirMovementsInvoicesDocumentsAndPayments) {
  AddRows(bases, "CON_TLIB", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("EN")},
                               {"DESCRIP", C("ENGANCHE")}}});
  AddRows(bases, "ENC_TLIB",
          {Movement("T-1", 8, "15:00:00", "T1", "EN", "CONTRATO", "CT-55", "02", 1500)});
  AddRows(bases, "ENC_FAC", {{{"NEGOCIO", C(Biz(kBiz))}, {"NUM_FACT", C("FA-900")},
                              {"NUMERO", C("100")}, {"FECHA", D(2026, 12, 8)},
                              {"HORA", C("15:05:00")}, {"CAJA", C("T1")}, {"MONEDA", C("02")},
                              {"TOTAL", N(1500)}}});
  auto lines = Report(*qz::BoxKindFor(qz::kTimeshareToolbar, 1), "T1");
  Has(lines, "08/12/26 15:00:00 T-1 CT-55 ROJAS ANA $ 1,500.00");
  Has(lines, "Resumen de Transacciones");
  Has(lines, "EN: ENGANCHE $ 1,500.00");
  Has(lines, "Listado de Facturas Emitidas");
  Has(lines, "08/12/26 15:05:00 FA-900 100 $ 1,500.00");

  AddRows(bases, "TIP_MVTS", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("EF")},
                               {"DESCRIP", C("EFECTIVO")}}});
  AddRows(bases, "ENC_DTS", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("D-1")},
                              {"FECHA", D(2026, 12, 9)}, {"HORA", C("10:00:00")},
                              {"CAJA", C("T2")}, {"CONTRATO", C("CT-55")},
                              {"NOMBRE", C("ROJAS ANA")}, {"MONEDA", C("02")},
                              {"MONTO", N(9000)}}});
  AddRows(bases, "DTS_MOVE", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("P-1")},
                               {"FECHA", D(2026, 12, 9)}, {"HORA", C("10:05:00")},
                               {"CAJA", C("T2")}, {"DOCUMENTO", C("D-1")},
                               {"TIPO_MOV", C("EF")}, {"MONEDA", C("02")}, {"MONTO", N(2000)}}});
  lines = Report(*qz::BoxKindFor(qz::kTimeshareToolbar, 2), "T2");
  Has(lines, "CIERRE DE CAJA");
  Has(lines, "09/12/26 10:00:00 D-1 CT-55 ROJAS ANA $ 9,000.00");
  Has(lines, "09/12/26 10:05:00 P-1 D-1 $ 2,000.00");
  Has(lines, "***Gran Total Ventas: $ 9,000.00");
  Has(lines, "***Gran Total Recaudado: $ 2,000.00");
}

}  // namespace
}  // namespace qztest
