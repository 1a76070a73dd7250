// The counted closing and the intermediate count of a hotel box: expected
// amounts, the adjustments a difference posts, and postings that are all
// or nothing.
#include <filesystem>

#include "cash/cash_window.h"
#include "cash/count_posting.h"
#include "lib/settings/globals.h"
#include "support/scripted_boxes.h"
#include "hotel_fixture.h"

namespace qztest {
namespace {

class CountedClosingTest : public HotelCashTest {
 protected:
  void SetUp() override {
    HotelCashTest::SetUp();
    Set("ENC_HCAJ", 1, "TIP_CIERRE", N(1));
    // The previous shift left 5000 colones counted in the box.
    AddRows(bases, "DET_HCAJ",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CAJA", C("01")}, {"FECHA_INI", D(2026, 12, 7)},
              {"HORA_INI", C("07:00:00")}, {"FECHA_FIN", D(2026, 12, 7)},
              {"HORA_FIN", C("22:00:00")}, {"H_LIMITE", C("24:60:60")},
              {"LIMITE", D(2090, 1, 1)}}});
    AddRows(bases, "DET_HCA2",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CAJA", C("01")}, {"MONEDA", C("01")},
              {"MONTO", N(5000)}, {"FECHA_INI", D(2026, 12, 7)}, {"HORA_INI", C("07:00:00")}}});
    Payment("100", "EF", "06:59:59", 700, "01", 700);     // before the shift opened
    OpenBox01();
    Payment("100", "EF", "08:00:00", 10000, "01", 10000);
    Payment("101", "EF", "09:00:00", 20, "02", 20);
    Payment("101", "TC", "09:30:00", 50, "02", 50);       // a card payment
    Payment("100", "EF", "10:00:00", 300, "01", 300, "", 1);  // an adjustment
    clock.SetNow({2026, 12, 8, 16, 0, 0, 0});
    qz::G().XUSER_ABREVIA = "SUP";
  }

  // Closes box 01 from its window: the authorised closing, the confirmation
  // and the count question (answered `count`), then `grid` on HCAJAS4.
  void CloseCounted(bool count, std::function<void(qz::WDIAG&)> grid = nullptr) {
    qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kHotelToolbar, 1, kBiz);
    ASSERT_NE(w, nullptr);
    ui.OnDialog("PASS_HCAJA", [](qz::WDIAG& d) {
      d.UserType(503, "ANA");
      d.UserType(502, "SECRETO");
      d.UserPress(1);
    });
    ui.AnswerNext(1);                // "Desea realizar el Cierre?..."
    ui.AnswerNext(count ? 1 : 2);    // "¿Desea realizar arqueo de caja?"
    if (grid) ui.OnDialog("HCAJAS4", grid);
    ui.Press(w, qz::CashBoxWindow::kClose);
  }
  static void Type(qz::WDIAG& d, int row, const std::string& amount) {
    ASSERT_TRUE(d.Grid(701)->EditCell(row, 2, amount));
  }
  // The shortage code carries a 10 % service charge and a 13 % sales tax
  // on the line plus the service (with a row that adds nothing).
  void TaxTheShortage() {
    Create("TRAN_IMP");
    AddRows(bases, "TRANSACS", {Trans("SV", "SERVICIO 10%", 1, 0, 0, 0),
                                Trans("IV", "IMPUESTO DE VENTAS", 1, 0, 0, 0)});
    AddRows(bases, "TRAN_IMP", {Tax("FA", 2, "IV", 13, 1), Tax("FA", 1, "SV", 10, 0),
                                Tax("FA", 3, "XX", 0, 0), Tax("SO", 1, "", 5, 0)});
  }
  static Row Tax(const std::string& code, int orden, const std::string& tax, double percent,
                 int on_taxes) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)},        {"ORDEN", N(orden)},
            {"COD_IMP", C(tax)},       {"PORCENTAJE", N(percent)}, {"SOBRE_IMP", N(on_taxes)}};
  }
};

TEST_F(CountedClosingTest, TheExpectedAmountsStartFromThePreviousCountAndTakeTheCashOnly) {
  auto shift = qz::FindOpenShift(hotel, kBiz, "01");
  ASSERT_TRUE(shift);
  auto rows = qz::ExpectedAmounts(kBiz, "01", *shift);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].currency, "01");
  EXPECT_DOUBLE_EQ(rows[0].expected, 15000);
  EXPECT_EQ(rows[1].currency, "02");
  EXPECT_DOUBLE_EQ(rows[1].expected, 20);
}

TEST_F(CountedClosingTest, ACountEqualToTheExpectedPostsNoAdjustment) {
  TaxTheShortage();  // nothing to tax either
  const uint32_t lines = Count("DET_FOL");
  CloseCounted(true, [](qz::WDIAG& d) {
    Type(d, 0, "15000");
    Type(d, 1, "20");
    EXPECT_EQ(d.Grid(702)->Cell(0, 2), "     15,000.00");
    EXPECT_EQ(qz::Trim(d.Grid(703)->Cell(0, 2)), "0.00");
    d.UserPress(1);
  });
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  EXPECT_EQ(Count("DET_FOL"), lines);
  ASSERT_EQ(Count("DET_HCA2"), 3u);
  EXPECT_EQ(Field("DET_HCA2", 2, "MONEDA"), "01");
  EXPECT_DOUBLE_EQ(Number("DET_HCA2", 2, "MONTO"), 15000);
  EXPECT_DOUBLE_EQ(Number("DET_HCA2", 3, "MONTO"), 20);
  EXPECT_EQ(Field("DET_HCA2", 2, "HORA_INI"), "07:00:00");
  EXPECT_EQ(Field("DET_HCA2", 2, "HORA_FIN"), "16:00:00");
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "C");
  EXPECT_EQ(Field("DET_HCAJ", 2, "HORA_FIN"), "16:00:00");
  EXPECT_EQ(Field("DET_HCAJ", 2, "CTRL_USR"), "SUP ");
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "????");
  EXPECT_EQ(toolbar.icon, 0);
  // The shift's adjustment folio exists all the same.
  ASSERT_EQ(Count("ENC_FOL"), 3u);
  EXPECT_EQ(Field("ENC_FOL", 3, "TIPO"), "3");
  EXPECT_EQ(Field("ENC_FOL", 3, "HORA_INI"), "07:00:00");
  EXPECT_DOUBLE_EQ(Number("ENC_FOL", 3, "MAESTRA"), 1);  // a master account
  EXPECT_EQ(Field("ENC_FOL", 3, "CONSECUT"), "0001");
}

TEST_F(CountedClosingTest, AShortageOnATaxedCodeAddsItsTaxesInBothCurrencies) {
  TaxTheShortage();
  const uint32_t lines = Count("DET_FOL");
  CloseCounted(true, [](qz::WDIAG& d) {
    Type(d, 0, "14000");  // 1000 colones short
    Type(d, 1, "19");     // a dollar short
    d.UserPress(1);
  });
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  ASSERT_EQ(Count("DET_FOL"), lines + 6);
  struct Expected {
    const char* code;
    const char* comment;
    double debito, odebito;
    const char* omoneda;
  } expected[] = {
      {"FA  ", "Ajuste por faltante en caja", 1000, 1000, "01"},
      {"SV  ", "SERVICIO 10%", 100, 100, "01"},
      {"IV  ", "IMPUESTO DE VENTAS", 143, 143, "01"},  // 13 % of 1100
      {"FA  ", "Ajuste por faltante en caja", 500, 1, "02"},
      {"SV  ", "SERVICIO 10%", 50, 0.10, "02"},
      {"IV  ", "IMPUESTO DE VENTAS", 70, 0.14, "02"},  // 13 % of 1.10, in cents
  };
  for (uint32_t i = 0; i < 6; ++i) {
    const uint32_t rec = lines + 1 + i;
    const Expected& e = expected[i];
    EXPECT_EQ(Field("DET_FOL", rec, "COD_TRAN"), e.code) << i;
    EXPECT_EQ(Field("DET_FOL", rec, "COD_TRANS"), e.code) << i;
    EXPECT_EQ(qz::Trim(Field("DET_FOL", rec, "COMENTA")), e.comment) << i;
    EXPECT_EQ(Field("DET_FOL", rec, "OMONEDA"), e.omoneda) << i;
    EXPECT_EQ(Field("DET_FOL", rec, "MONEDA"), "01") << i;
    EXPECT_NEAR(Number("DET_FOL", rec, "ODEBITO"), e.odebito, 0.006) << i;
    EXPECT_NEAR(Number("DET_FOL", rec, "DEBITO"), e.debito, 0.006) << i;
    EXPECT_DOUBLE_EQ(Number("DET_FOL", rec, "CREDITO"), 0) << i;
    EXPECT_DOUBLE_EQ(Number("DET_FOL", rec, "AJUSTE"), 1) << i;
    EXPECT_EQ(Field("DET_FOL", rec, "NUMERO"), Field("ENC_FOL", 3, "NUMERO")) << i;
    EXPECT_EQ(Field("DET_FOL", rec, "CAJA"), "01") << i;
    EXPECT_EQ(Field("DET_FOL", rec, "HORA"), "16:00:00") << i;
  }
  EXPECT_EQ(Field("ENC_FOL", 3, "CONSECUT"), "0007");  // one number per line
  EXPECT_DOUBLE_EQ(Number("ENC_FOL", 3, "MAESTRA"), 1);
  // The next shift starts from what was counted.
  clock.SetNow({2026, 12, 8, 17, 0, 0, 0});
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), hotel, kBiz, "01", "0001"),
            qz::BoxChange::kDone);
  auto next = qz::ExpectedAmounts(kBiz, "01", *qz::FindOpenShift(hotel, kBiz, "01"));
  EXPECT_DOUBLE_EQ(next[0].expected, 14000);
  EXPECT_DOUBLE_EQ(next[1].expected, 19);
}

TEST_F(CountedClosingTest, DifferencesPostShortageAndOverageLinesAtTheCurrentRate) {
  const uint32_t lines = Count("DET_FOL");
  CloseCounted(true, [](qz::WDIAG& d) {
    Type(d, 0, "14,000");  // 1000 colones short
    Type(d, 1, "25");      // 5 dollars over
    EXPECT_EQ(qz::Trim(d.Grid(703)->Cell(0, 2)), "-1,000.00");
    d.UserPress(1);
  });
  ASSERT_EQ(Count("DET_FOL"), lines + 2);
  const uint32_t shortage = lines + 1, overage = lines + 2;
  EXPECT_EQ(Field("DET_FOL", shortage, "COD_TRAN"), "FA  ");
  EXPECT_EQ(qz::Trim(Field("DET_FOL", shortage, "COMENTA")), "Ajuste por faltante en caja");
  EXPECT_DOUBLE_EQ(Number("DET_FOL", shortage, "DEBITO"), 1000);
  EXPECT_DOUBLE_EQ(Number("DET_FOL", shortage, "ODEBITO"), 1000);
  EXPECT_DOUBLE_EQ(Number("DET_FOL", shortage, "AJUSTE"), 1);
  EXPECT_EQ(Field("DET_FOL", overage, "COD_TRAN"), "SO  ");
  EXPECT_EQ(qz::Trim(Field("DET_FOL", overage, "COMENTA")), "Ajuste por sobrante en caja");
  EXPECT_DOUBLE_EQ(Number("DET_FOL", overage, "CREDITO"), 2500);
  EXPECT_DOUBLE_EQ(Number("DET_FOL", overage, "OCREDITO"), 5);
  EXPECT_EQ(Field("DET_FOL", overage, "OMONEDA"), "02");
  EXPECT_EQ(Field("DET_FOL", overage, "MONEDA"), "01");
  EXPECT_EQ(Field("DET_FOL", overage, "NUMERO"), Field("ENC_FOL", 3, "NUMERO"));
  EXPECT_EQ(Field("DET_FOL", overage, "CAJA"), "01");
  EXPECT_EQ(Field("ENC_FOL", 3, "CONSECUT"), "0003");
  EXPECT_DOUBLE_EQ(Number("SERIALES", 1, "NUMERO"), 9001);
}

TEST_F(CountedClosingTest, DecliningTheCountClosesWithTheExpectedAmounts) {
  const uint32_t lines = Count("DET_FOL");
  CloseCounted(false);
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  EXPECT_EQ(Count("DET_FOL"), lines);
  EXPECT_DOUBLE_EQ(Number("DET_HCA2", 2, "MONTO"), 15000);
  EXPECT_DOUBLE_EQ(Number("DET_HCA2", 3, "MONTO"), 20);
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "C");
  EXPECT_EQ(qz::Trim(Field("DET_HCAJ", 2, "CTRL_USR")), "");
  EXPECT_EQ(Field("DET_HCAJ", 2, "CTRL_HORA"), "16:00:00");
}

TEST_F(CountedClosingTest, APostingThatFailsMidwayLeavesNothingAndCanBeRepeated) {
  const uint32_t lines = Count("DET_FOL");
  ScriptedErrorDialog errors;
  // Another workstation holds the folio lines: the shortage line cannot be
  // appended once the folio and the counted amounts are written.
  auto holder = Other("DET_FOL");
  ASSERT_TRUE(holder->LockFile().ok());
  CloseCounted(true, [&](qz::WDIAG& d) {
    Type(d, 0, "14000");
    Type(d, 1, "20");
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(errors.lines.size(), 1u);
    EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
    EXPECT_EQ(Live("DET_HCA2"), 1u);
    EXPECT_EQ(Live("ENC_FOL"), 2u);
    EXPECT_EQ(Live("DET_FOL"), lines);
    EXPECT_DOUBLE_EQ(Number("SERIALES", 1, "NUMERO"), 9000);
    EXPECT_TRUE(qz::Trim(Field("DET_HCAJ", 2, "HORA_FIN")).empty());
    holder.reset();
    d.UserPress(1);
  });
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "C");
  EXPECT_EQ(Live("DET_HCA2"), 3u);
  EXPECT_EQ(Live("DET_FOL"), lines + 1);
  EXPECT_EQ(Live("ENC_FOL"), 3u);
}

TEST_F(CountedClosingTest, AMissingRateStopsThePostingBeforeAnyWrite) {
  AddRows(bases, "MONEDAS", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("03")},
                              {"DESCRIP", C("EUROS")}, {"SIMBOLO", C("E")}}});
  CloseCounted(true, [](qz::WDIAG& d) {
    Type(d, 2, "10");
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  EXPECT_EQ(ui.TakeBoxTexts().back(), "No hay tipo de cambio de 03 a 01 para el ajuste de la caja.");
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
  EXPECT_EQ(Count("DET_HCA2"), 1u);
}

TEST_F(CountedClosingTest, TheIntermediateCountRecordsItsPeriodAndKeepsTheBoxOpen) {
  Set("ENC_HCAJ", 1, "ARQUEO_AD", N(1));
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kHotelToolbar, 1, kBiz);
  ui.OnDialog("HCAJAS5", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(503), "16:00:00");
    d.UserType(502, "07/12/26");
    d.UserPress(1);
    d.UserType(502, "08/12/26");
    d.UserType(503, "06:00:00");
    d.UserPress(1);
    d.UserType(503, "07:00:00");
    Type(d, 0, "15000");
    Type(d, 1, "19");  // a dollar short
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kCount);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"La fecha no puede ser inferior a la fecha de cierre actual",
                                      "La hora no puede ser inferior a la hora de cierre actual",
                                      "Fin de Proceso"}));
  ASSERT_EQ(Count("DET_HCA3"), 1u);
  EXPECT_EQ(Field("DET_HCA3", 1, "HORA_INI"), "07:00:00");
  EXPECT_EQ(Field("DET_HCA3", 1, "HORA_FIN"), "16:00:00");
  ASSERT_EQ(Count("DET_HCA4"), 2u);
  EXPECT_DOUBLE_EQ(Number("DET_HCA4", 2, "MONTO"), 19);
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
  EXPECT_TRUE(qz::CAJA_ABIERTA());
  auto t = Other("DET_FOL");
  ASSERT_TRUE(t->GoTo(*t->RecCount()).ok());
  EXPECT_EQ(t->Get("COD_TRAN")->str(), "FA  ");
  EXPECT_DOUBLE_EQ(t->Get("DEBITO")->number(), 500);
}

TEST_F(CountedClosingTest, AFolioFileWithoutTheMasterAccountFlagGetsTheRest) {
  // The front desk of an older installation keeps folios without MAESTRA.
  for (const char* ext : {".DBF", ".CDX"}) std::filesystem::remove(file("ENC_FOL") + ext);
  MakeTable(file("ENC_FOL") + ".DBF",
            {F("NEGOCIO", 'C', 15), F("NUMERO", 'C', 15), F("TIPO", 'C', 1), F("MONEDA", 'C', 2),
             F("CAJA", 'C', 2), F("FECHA_INI", 'D', 8), F("HORA_INI", 'C', 8),
             F("CONSECUT", 'C', 4), F("GRUPO", 'C', 4)},
            {{"ENC_FOL", "NEGOCIO+NUMERO"}});
  AddRows(bases, "ENC_FOL", {Folio("100", "01"), Folio("101", "02")});
  CloseCounted(true, [](qz::WDIAG& d) {
    Type(d, 0, "14000");
    Type(d, 1, "20");
    d.UserPress(1);
  });
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  ASSERT_EQ(Count("ENC_FOL"), 3u);
  EXPECT_EQ(Field("ENC_FOL", 3, "TIPO"), "3");
  EXPECT_EQ(Field("ENC_FOL", 3, "CONSECUT"), "0002");
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "C");
}

TEST_F(CountedClosingTest, ACountPostedAfterAnotherWorkstationClosedTheBoxWritesNothing) {
  Set("ENC_HCAJ", 1, "ARQUEO_AD", N(1));
  const uint32_t lines = Count("DET_FOL");
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kHotelToolbar, 1, kBiz);
  ui.OnDialog("HCAJAS5", [&](qz::WDIAG& d) {
    Type(d, 0, "14000");
    // The supervisor closes the box from another workstation meanwhile.
    ASSERT_EQ(qz::CloseBoxRecords(hotel, kBiz, "01", true), qz::BoxChange::kDone);
    d.UserPress(1);
    EXPECT_TRUE(d.ended());  // nothing left to count
  });
  ui.Press(w, qz::CashBoxWindow::kCount);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Actualmente no se encuentra abierta esta caja."});
  EXPECT_EQ(Count("DET_HCA3"), 0u);
  EXPECT_EQ(Count("DET_HCA4"), 0u);
  EXPECT_EQ(Count("DET_FOL"), lines);
  EXPECT_EQ(Count("ENC_FOL"), 2u);
  EXPECT_DOUBLE_EQ(Number("SERIALES", 1, "NUMERO"), 9000);
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "????");  // let go here
  EXPECT_EQ(toolbar.icon, 0);
}

TEST_F(CountedClosingTest, ACountedClosingAfterAnotherWorkstationClosedTheBoxEndsWithoutWriting) {
  const uint32_t lines = Count("DET_FOL");
  CloseCounted(true, [&](qz::WDIAG& d) {
    Type(d, 0, "14000");
    // Another workstation's counted closing got there first.
    ASSERT_EQ(qz::CloseBoxRecords(hotel, kBiz, "01", true), qz::BoxChange::kDone);
    d.UserPress(1);
    EXPECT_TRUE(d.ended());
  });
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Actualmente no se encuentra abierta esta caja.");
  EXPECT_EQ(Count("DET_HCA2"), 1u);  // the previous shift's only
  EXPECT_EQ(Count("DET_FOL"), lines);
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "????");
  EXPECT_EQ(toolbar.icon, 0);
}

TEST(FolioCounter, CountsInBase36) {
  EXPECT_EQ(qz::NextConsecutive("0001"), "0002");
  EXPECT_EQ(qz::NextConsecutive("0009"), "000A");
  EXPECT_EQ(qz::NextConsecutive("000Z"), "0010");
  EXPECT_EQ(qz::NextConsecutive(""), "0001");
}

}  // namespace
}  // namespace qztest
