// The grid as the process and log screens use it: columns without a picture
// show dates and numbers as their fields read, a totals row follows every
// change, in-place editors apply the column's picture, a refresh after one
// changed row reads that row and the rows in view and no others, and rows
// another workstation adds or deletes still appear or go.
#include <gtest/gtest.h>

#include "lib/ui/browse.h"
#include "lib/ui/picture.h"
#include "support/ui_session.h"

namespace {

using qztest::C;

class GridControls : public qztest::UiSession {
 protected:
  void SetUp() override {
    xb::CreateOptions o;
    o.exclusive = true;
    auto t = xb::Table::Create(file("MOVS.DBF"),
                               {{"NEGOCIO", 'C', 2}, {"CODIGO", 'C', 6}, {"FECHA", 'D', 8},
                                {"MONTO", 'N', 12, 2}, {"NOTA", 'C', 30}},
                               o);
    ASSERT_TRUE(t.ok());
    table = std::move(*t);
    ASSERT_TRUE(table->CreateTag("MOVS", "NEGOCIO+CODIGO").ok());
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(table->Append().ok());
      table->Put("NEGOCIO", C(i % 3 == 0 ? "ZZ" : "AA"));
      char code[8];
      std::snprintf(code, sizeof code, "C%04d", i);
      table->Put("CODIGO", C(code));
      table->Put("FECHA", xb::Value::Date(xb::JulianFromYmd(1990 + i % 20, 1 + i % 12, 1 + i % 28)));
      table->Put("MONTO", xb::Value::Number(i + 0.25));
      table->Put("NOTA", C("n"));
    }
    ASSERT_TRUE(table->Close().ok());
    table = std::move(*xb::Table::Open(file("MOVS.DBF")));
    w = std::make_unique<qz::WDIAG>(desktop, nullptr, "MOVS");
    grid = std::make_unique<qz::WBLISTBOX>(*w, 700, table.get());
    grid->AddColumn("Código", "CODIGO", "!!!!!!");
    grid->AddColumn("Fecha", "FECHA", "");
    grid->AddColumn("Monto", "MONTO", "");
    grid->AddColumn("Nota", "NOTA", "!!!!!!!!!!");
    ASSERT_TRUE(grid->BROWMARKS({{1, "MOVS"}}, 1, "AA").ok());
  }
  void TearDown() override {
    grid.reset();
    UiSession::TearDown();
  }
  double Sum() {
    double s = 0;
    for (int i = 0; i < 300; ++i)
      if (i % 3 != 0) s += i + 0.25;
    return s;
  }
  // Another workstation's handle on the same table.
  std::unique_ptr<xb::Table> Other() { return std::move(*xb::Table::Open(file("MOVS.DBF"))); }

  std::unique_ptr<xb::Table> table;
  std::unique_ptr<qz::WDIAG> w;
  std::unique_ptr<qz::WBLISTBOX> grid;
};

TEST_F(GridControls, ColumnsWithoutAPictureShowDatesAndNumbersAsTheirFieldsRead) {
  ASSERT_EQ(grid->RowCount(), 200);
  EXPECT_EQ(grid->Cell(0, 0), "C0001 ");
  EXPECT_EQ(grid->Cell(0, 1), "02/02/91");  // day/month/two-digit year
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 2)), "        1.25");
  EXPECT_TRUE(grid->columns()[2].right_align);
  // Fitting widths: the header or the widest content in view.
  EXPECT_EQ(grid->FitWidth(1), 8);
  EXPECT_EQ(grid->FitWidth(2), 5);  // "Monto", and "71.25" near the top
  EXPECT_EQ(grid->FitWidth(3), 4);  // "Nota" is wider than "N"
  // A blank date is blank, not "00/00/00".
  table->GoTo(grid->RecNoAt(5));
  table->LockRecord();
  table->Put("FECHA", xb::Value::Date(0));
  table->Flush();
  table->UnlockAll();
  grid->REFRESHALL();
  EXPECT_EQ(grid->Cell(5, 1), "        ");
}

TEST_F(GridControls, TotalsFollowEditsRefreshesAndOtherWorkstations) {
  grid->SetTotal(2);
  EXPECT_TRUE(grid->has_totals());
  EXPECT_DOUBLE_EQ(grid->Total(2), Sum());
  EXPECT_EQ(grid->TotalCell(2), "    30050.00");  // the column's picture
  EXPECT_EQ(grid->TotalCell(1), "");  // not summed
  grid->SetEditable(2, [&](const std::string& text) {
    table->LockRecord();
    table->Put("MONTO", xb::Value::Number(qz::NumericValue(text)));
    table->Flush();
    table->UnlockAll();
    return true;
  });
  EXPECT_TRUE(grid->EditCell(0, 2, "1001.25"));  // 1.25 -> 1001.25
  EXPECT_DOUBLE_EQ(grid->Total(2), Sum() + 1000);
  // Another workstation deletes a row far out of view: the minute's refresh
  // walks the table and the sums lose it.
  {
    auto o = Other();
    o->GoTo(grid->RecNoAt(150));
    double gone = o->Get("MONTO")->number();
    o->LockRecord();
    o->Delete();
    o->Close();
    grid->Reread();
    EXPECT_EQ(grid->RowCount(), 199);
    EXPECT_DOUBLE_EQ(grid->Total(2), Sum() + 1000 - gone);
  }
}

TEST_F(GridControls, RefreshAfterOneChangedRowReadsOnlyTheRowsInView) {
  grid->SetVisibleRows(0, 24);
  for (int r = 0; r < 25; ++r) grid->Cell(r, 0);  // the view draws its rows
  int64_t walks = grid->walks();
  // The screen changes the selected row (not its key) and refreshes.
  grid->Select(3);
  table->LockRecord();
  table->Put("NOTA", C("cambiada"));
  table->Flush();
  table->UnlockAll();
  int64_t before = grid->rows_read();
  ASSERT_TRUE(grid->REFRESHALL().ok());
  EXPECT_EQ(grid->walks(), walks);            // no walk of the table
  EXPECT_EQ(grid->rows_read() - before, 1);   // only the changed row was formatted again
  EXPECT_EQ(qz::TrimRight(grid->Cell(3, 3)), "CAMBIADA");
  EXPECT_EQ(grid->current(), 3);

  // A changed key moves the row: the order is walked again and the
  // selection follows the record.
  uint32_t recno = grid->RecNoAt(3);
  table->LockRecord();
  table->Put("CODIGO", C("X9999"));
  table->Flush();
  table->UnlockAll();
  ASSERT_TRUE(grid->REFRESHALL().ok());
  EXPECT_EQ(grid->walks(), walks + 1);
  EXPECT_EQ(grid->RecNoAt(grid->RowCount() - 1), recno);
  EXPECT_EQ(grid->current(), grid->RowCount() - 1);
  EXPECT_EQ(table->RecNo(), recno);

  // A row moved to another business leaves the grid.
  table->LockRecord();
  table->Put("NEGOCIO", C("ZZ"));
  table->Flush();
  table->UnlockAll();
  ASSERT_TRUE(grid->REFRESHALL().ok());
  EXPECT_EQ(grid->RowCount(), 199);
  EXPECT_EQ(grid->RowOf(recno), -1);
}

TEST_F(GridControls, RowsAddedOrDeletedElsewhereAppearOnTheNextRefresh) {
  {
    auto o = Other();
    o->Append();
    o->Put("NEGOCIO", C("AA"));
    o->Put("CODIGO", C("A0000"));
    o->Close();
  }
  ASSERT_TRUE(grid->REFRESHALL().ok());  // the table grew: walked again
  EXPECT_EQ(grid->RowCount(), 201);
  EXPECT_EQ(grid->Cell(0, 0), "A0000 ");
  // A deletion by another workstation of a row in view.
  grid->Select(1);
  uint32_t gone = grid->RecNoAt(1);
  {
    auto o = Other();
    o->GoTo(gone);
    o->LockRecord();
    o->Delete();
    o->Close();
  }
  ASSERT_TRUE(grid->REFRESHALL().ok());
  EXPECT_EQ(grid->RowCount(), 200);
  EXPECT_EQ(grid->RowOf(gone), -1);
  EXPECT_EQ(grid->current(), 1);  // the row that took its place
}

TEST_F(GridControls, InPlaceEditorsApplyTheColumnPicture) {
  std::string got;
  grid->SetEditable(3, [&](const std::string& t) {
    got = t;
    return true;
  });
  grid->SetEditable(2, [&](const std::string& t) {
    got = t;
    return true;
  });
  EXPECT_TRUE(grid->EditCell(0, 3, "abc"));
  EXPECT_EQ(got, "ABC");  // "!" upper-cases
  EXPECT_FALSE(grid->last_edit_refused());
  EXPECT_TRUE(grid->EditCell(0, 3, "a very long note indeed"));
  EXPECT_EQ(got, "A VERY LON");  // the picture's width
  EXPECT_TRUE(grid->last_edit_refused());
  EXPECT_TRUE(grid->EditCell(0, 2, "12x5.5"));
  EXPECT_EQ(got, "125.5");  // letters never reach a number
  EXPECT_TRUE(grid->last_edit_refused());
}

TEST_F(GridControls, SeekTextFindsThePrefixOnTheActiveOrder) {
  EXPECT_TRUE(grid->SeekText("c0100"));
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "C0100");
  EXPECT_TRUE(grid->SeekText("C0098Q"));  // dropped to the longest prefix found
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "C0098");
  EXPECT_TRUE(grid->SeekText("C0099"));  // C0099 is another business's: C009 leads
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "C0091");
}

}  // namespace
