// The box a workstation holds and the state all workstations share.
#include "cash/box_state.h"

#include "lib/errors/error_handler.h"
#include "support/scripted_boxes.h"
#include "cash_fixture.h"

namespace qztest {
namespace {

class BoxStateTest : public CashTest {
 protected:
  void SetUp() override {
    CashTest::SetUp();
    Box("ENC_HCAJ", "01", "CAJA RECEPCION", "SECRETO");
    Cashier("0001", "ANA MORA", "ANA");
  }
};

TEST_F(BoxStateTest, NoBoxHeldAnswersTheEmptyValues) {
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "????");
  EXPECT_EQ(qz::GET_DIG_ABIERTO(), "");
  EXPECT_FALSE(qz::CAJA2_ABIERTA());
  EXPECT_EQ(qz::GET_CAJA2_ABIERTA(), "????");
}

TEST_F(BoxStateTest, OpeningWritesTheHeaderAndAShiftAndHoldsTheBox) {
  clock.SetNow({2026, 12, 8, 7, 5, 9, 0});
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), hotel, kBiz, "01", "0001"),
            qz::BoxChange::kDone);
  EXPECT_TRUE(qz::CAJA_ABIERTA());
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "01");
  EXPECT_EQ(qz::GET_DIG_ABIERTO(), "ANA MORA");
  EXPECT_EQ(qz::ProcessCashBoxes().XH_CAJAS.kind, qz::kHotelKind);
  EXPECT_EQ(toolbar.icon, 1);
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
  ASSERT_EQ(Count("DET_HCAJ"), 1u);
  EXPECT_EQ(DateField("DET_HCAJ", 1, "FECHA_INI"), xb::JulianFromYmd(2026, 12, 8));
  EXPECT_EQ(Field("DET_HCAJ", 1, "HORA_INI"), "07:05:09");
  EXPECT_EQ(Field("DET_HCAJ", 1, "AGENTE"), "0001");
  EXPECT_EQ(Field("DET_HCAJ", 1, "H_LIMITE"), "24:60:60");
  EXPECT_EQ(DateField("DET_HCAJ", 1, "LIMITE"), xb::JulianFromYmd(2090, 1, 1));
  EXPECT_EQ(DateField("DET_HCAJ", 1, "FECHA_FIN"), 0);
  auto shift = qz::FindOpenShift(hotel, kBiz, "01");
  ASSERT_TRUE(shift);
  EXPECT_EQ(shift->recno, 1u);
}

TEST_F(BoxStateTest, OfTwoWorkstationsOpeningTheSameBoxOnlyOneSucceeds) {
  // Both saw "Cerrada"; the second one's write finds the box open under its lock.
  ASSERT_EQ(qz::OpenBoxRecords(hotel, kBiz, "01", "0001"), qz::BoxChange::kDone);
  EXPECT_EQ(qz::OpenBoxRecords(hotel, kBiz, "01", "0001"), qz::BoxChange::kAlreadyOpen);
  EXPECT_EQ(Count("DET_HCAJ"), 1u);
}

TEST_F(BoxStateTest, AClosingElsewhereIsNoticedAtTheNextQuestionAndTurnsTheIcon) {
  qz::CashBoxes& here = qz::ProcessCashBoxes();
  ASSERT_EQ(qz::OpenCashBox(here, hotel, kBiz, "01", "0001"), qz::BoxChange::kDone);
  // A second workstation re-attaches the same box, then closes it.
  FakeCashButton other_bar{Biz(kBiz)};
  qz::CashBoxes other;
  other.button = &other_bar;
  other.Hold(hotel, "01", "CAJA RECEPCION", "0001", "ANA MORA", true);
  EXPECT_TRUE(other.CAJA_ABIERTA());
  clock.SetNow({2026, 12, 8, 15, 0, 0, 0});
  ASSERT_EQ(qz::CloseCashBox(other, hotel, kBiz), qz::BoxChange::kDone);
  EXPECT_EQ(other_bar.icon, 0);
  EXPECT_EQ(Field("DET_HCAJ", 1, "HORA_FIN"), "15:00:00");
  EXPECT_EQ(DateField("DET_HCAJ", 1, "CTRL_FECHA"), xb::JulianFromYmd(2026, 12, 8));

  EXPECT_EQ(toolbar.icon, 1);  // nobody told this workstation yet
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_EQ(toolbar.icon, 0);
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "????");
  EXPECT_EQ(qz::GET_DIG_ABIERTO(), "");
  // Its own closing now finds nothing to close and writes nothing.
  EXPECT_EQ(qz::CloseBoxRecords(hotel, kBiz, "01", true), qz::BoxChange::kNotOpen);
  EXPECT_EQ(Field("DET_HCAJ", 1, "HORA_FIN"), "15:00:00");
}

TEST_F(BoxStateTest, WithoutAToolbarTheHoldingIsNotReRead) {
  qz::CashBoxes here;  // no button of its own, and the process has none either
  qz::SetCashButton(nullptr);
  ASSERT_EQ(qz::OpenCashBox(here, hotel, kBiz, "01", "0001"), qz::BoxChange::kDone);
  ASSERT_EQ(qz::CloseBoxRecords(hotel, kBiz, "01", true), qz::BoxChange::kDone);
  EXPECT_TRUE(here.CAJA_ABIERTA());
}

TEST_F(BoxStateTest, ABoxWithoutItsOpenShiftIsNotClosed) {
  AddRows(bases, "ENC_HCAJ", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("02")},
                               {"DESCRIP", C("CAJA BAR")}, {"ESTADO", C("A")}}});
  EXPECT_EQ(qz::CloseBoxRecords(hotel, kBiz, "02", true), qz::BoxChange::kNoOpenShift);
  EXPECT_EQ(Field("ENC_HCAJ", 2, "ESTADO"), "A");
}

TEST_F(BoxStateTest, AClosingThatCannotFinishLeavesTheBoxOpen) {
  ASSERT_EQ(qz::OpenBoxRecords(hotel, kBiz, "01", "0001"), qz::BoxChange::kDone);
  // Another workstation holds the shift record: the header is already
  // marked closed when the shift's lock gives up inside the transaction.
  auto holder = Other("DET_HCAJ");
  ASSERT_TRUE(holder->LockRecord(1).ok());
  ScriptedErrorDialog dialog;
  qz::OperationResult r =
      qz::RunOperation([&] { qz::CloseBoxRecords(hotel, kBiz, "01", true); });
  EXPECT_EQ(r, qz::OperationResult::kIgnored);
  holder.reset();
  EXPECT_EQ(Field("ENC_HCAJ", 1, "ESTADO"), "A");
  EXPECT_EQ(DateField("DET_HCAJ", 1, "FECHA_FIN"), 0);
  EXPECT_TRUE(qz::FindOpenShift(hotel, kBiz, "01"));
}

TEST_F(BoxStateTest, TheSecondTimeshareBoxHasItsOwnArrayAndIcon) {
  const qz::BoxKind& ts2 = *qz::BoxKindFor(qz::kTimeshareToolbar, 2);
  Box("CAJA_TS", "T2", "VENTAS TIEMPO COMPARTIDO", "X");
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), ts2, kBiz, "T2", "0001"),
            qz::BoxChange::kDone);
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_TRUE(qz::CAJA2_ABIERTA());
  EXPECT_EQ(qz::GET_CAJA2_ABIERTA(), "T2");
  EXPECT_EQ(toolbar.icon, 0);
  EXPECT_EQ(toolbar.icon2, 1);
  EXPECT_EQ(Count("DET_C_TS"), 1u);
}

TEST(BoxKinds, EveryCashToolbarHasItsKind) {
  EXPECT_EQ(qz::BoxKindFor(qz::kPayrollToolbar), nullptr);
  EXPECT_EQ(qz::BoxKindFor(qz::kCasinoToolbar), nullptr);
  EXPECT_STREQ(qz::BoxKindFor(qz::kSalesToolbar)->header, "VCAJAS");
  EXPECT_EQ(qz::BoxKindFor(qz::kTimeshareToolbar, 2)->kind_code, qz::kTimeshareKind);
  EXPECT_EQ(qz::BoxKindOfCode(qz::kHotelKind), qz::BoxKindFor(qz::kHotelToolbar));
}

}  // namespace
}  // namespace qztest
