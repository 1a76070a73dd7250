// Process control: the department list with its five flags, flipped by a
// click on the cell under the department's lock, and the active/inactive
// filters.
#include "accounting/dep_chk.h"

#include <gtest/gtest.h>

#include "accounting/accounting_fixture.h"
#include "lib/ui/catalog.h"
#include "lib/ui/cell_click.h"

namespace {

using qz::DEP_CHK;
using qztest::C;
using qztest::kCentral;
using qztest::kPlaya;
using qztest::N;

class DepChkTest : public qztest::AccountingSession {
 protected:
  void SetUp() override {
    AccountingSession::SetUp();
    Create("ENC_DEPT", {Dept(kCentral, "ADM", "ADMINISTRACION", 0, 1),
                        Dept(kCentral, "AYB", "ALIMENTOS", 0, 0),
                        Dept(kCentral, "VIEJO", "CERRADO", 1, 0), Dept(kPlaya, "AYB", "PLAYA", 0, 0)});
    screen = qz::OpenScreen<DEP_CHK>(desktop, "DEP_CHK", kCentral);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  static qztest::Row Dept(const std::string& b, const char* code, const char* d, int inactive,
                          int cash) {
    return {{"NEGOCIO", C(b)},        {"CODIGO", C(code)},       {"DESCRIP", C(d)},
            {"INACTIVO", N(inactive)}, {"PRO_CONTA1", N(cash)}, {"PRO_CONTA5", N(1)}};
  }
  DEP_CHK* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(DepChkTest, FlagsShowAsMarksAndAClickFlipsThemOnDisk) {
  ASSERT_EQ(grid->RowCount(), 3);
  EXPECT_EQ(screen->Check(DEP_CHK::kTodos), 1);
  EXPECT_EQ(grid->columns()[0].header, "Código    ");
  EXPECT_EQ(grid->columns()[1].header, "Descrpción");
  EXPECT_EQ(grid->Cell(0, DEP_CHK::kFirstFlag), "✓");      // ADM pays cash
  EXPECT_EQ(grid->Cell(1, DEP_CHK::kFirstFlag), " ");
  EXPECT_EQ(grid->Cell(1, DEP_CHK::kFirstFlag + 4), "✓");  // year-end bonus

  ASSERT_TRUE(qz::ClickCell(*grid, 1, DEP_CHK::kFirstFlag + 1));  // AYB cheques
  EXPECT_EQ(grid->Cell(1, DEP_CHK::kFirstFlag + 1), "✓");
  EXPECT_EQ(Count(Rows("ENC_DEPT", {"CODIGO", "PRO_CONTA2"}), "HOTEL CENTRAL:AYB/1"), 1u);
  auto other = xb::Table::Open(file("ENC_DEPT.DBF"));
  EXPECT_TRUE((*other)->LockRecord(2).ok());  // the lock was released
  (*other)->UnlockAll();
  ASSERT_TRUE(qz::ClickCell(*grid, 1, DEP_CHK::kFirstFlag + 1));
  EXPECT_EQ(grid->Cell(1, DEP_CHK::kFirstFlag + 1), " ");
  EXPECT_EQ(Count(Rows("ENC_DEPT", {"CODIGO", "PRO_CONTA2"}), "HOTEL CENTRAL:AYB/0"), 1u);
  // Code and description cells are not flags.
  EXPECT_FALSE(qz::ClickCell(*grid, 1, 0));
  EXPECT_EQ(Count(Rows("ENC_DEPT", {"PRO_CONTA2"}), ":1"), 0u);
  EXPECT_EQ(Count(Rows("ENC_DEPT", {"CODIGO", "PRO_CONTA5"}), "HOTEL PLAYA:AYB/1"), 1u);
}

TEST_F(DepChkTest, ActiveAndInactiveShowTheirDepartmentsOnly) {
  ui.Click(screen, DEP_CHK::kInactivos);
  ASSERT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 0)), "VIEJO");
  ASSERT_TRUE(qz::ClickCell(*grid, 0, DEP_CHK::kFirstFlag + 3));
  EXPECT_EQ(Count(Rows("ENC_DEPT", {"CODIGO", "PRO_CONTA4"}), "HOTEL CENTRAL:VIEJO/1"), 1u);
  ui.Click(screen, DEP_CHK::kActivos);
  EXPECT_EQ(grid->RowCount(), 2);
  // By description: the header click switches the order within the filter.
  grid->ClickHeader(1);
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 1)), "ADMINISTRACION");
  ui.Click(screen, DEP_CHK::kTodos);
  EXPECT_EQ(grid->RowCount(), 3);
}

}  // namespace
