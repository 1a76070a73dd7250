// The grid over a table: business scope, tag switching from the headers,
// incremental search, the 60-second refresh and NMAXREC.
#include "lib/ui/browse.h"

#include <gtest/gtest.h>

#include "support/ui_session.h"

namespace {

using qztest::Biz;
using qztest::C;

class BrowseTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("PUESTOS", {{{"NEGOCIO", C(Biz("B"))}, {"CODIGO", C("REC")}, {"DESCRIP", C("ALFA")}},
                       {{"NEGOCIO", C(Biz("A"))}, {"CODIGO", C("AAA")}, {"DESCRIP", C("OTRO")}},
                       {{"NEGOCIO", C(Biz("B"))}, {"CODIGO", C("CAM")}, {"DESCRIP", C("ZETA")}},
                       {{"NEGOCIO", C(Biz("B"))}, {"CODIGO", C("CHEF")}, {"DESCRIP", C("BETA")}},
                       {{"NEGOCIO", C(Biz("C"))}, {"CODIGO", C("ZZZ")}, {"DESCRIP", C("OTRO")}}});
    // A second tag on the description, to switch to from its header.
    {
      auto t = xb::Table::Open(file("PUESTOS.DBF"), {nullptr, false, true});
      ASSERT_TRUE((*t)->CreateTag("PUESTOS2", "NEGOCIO+DESCRIP").ok());
    }
    table = std::move(*xb::Table::Open(file("PUESTOS.DBF")));
    w = std::make_unique<qz::WDIAG>(desktop, nullptr, "PUESTOS");
    w->CREATE();
    grid = std::make_unique<qz::WBLISTBOX>(*w, 700, table.get());
    qz::AGREGARCOL(*grid, table.get(), "Código", "CODIGO", "!!!!");
    qz::AGREGARCOL(*grid, table.get(), "Descripción", "DESCRIP", std::string(40, '!'));
    ASSERT_TRUE(qz::BROWMARKS(*grid, {{1, "PUESTOS"}, {2, "PUESTOS2"}}, 1, Biz("B")).ok());
  }
  void TearDown() override {
    grid.reset();
    UiSession::TearDown();
  }
  std::vector<std::string> Col(int c) {
    std::vector<std::string> out;
    for (int r = 0; r < grid->RowCount(); ++r) out.push_back(qz::TrimRight(grid->Cell(r, c)));
    return out;
  }

  std::unique_ptr<xb::Table> table;
  std::unique_ptr<qz::WDIAG> w;
  std::unique_ptr<qz::WBLISTBOX> grid;
};

TEST_F(BrowseTest, ShowsOnlyTheBusinessInTagOrderAndFollowsTheHeaders) {
  EXPECT_EQ(Col(0), (std::vector<std::string>{"CAM", "CHEF", "REC"}));
  EXPECT_EQ(grid->NMAXREC, 3);
  EXPECT_EQ(grid->current(), 0);
  EXPECT_EQ(qz::FieldText(*table, "CODIGO"), "CAM");  // the table sits on the first row
  EXPECT_EQ(grid->HeaderColour(0), qz::kActiveMarkColour);
  EXPECT_FALSE(grid->HeaderColour(1).has_value());

  grid->Select(2);  // REC, then order by description: REC stays selected
  ASSERT_TRUE(grid->ClickHeader(1).ok());
  EXPECT_EQ(Col(1), (std::vector<std::string>{"ALFA", "BETA", "ZETA"}));
  EXPECT_EQ(grid->current(), 0);
  EXPECT_EQ(qz::FieldText(*table, "CODIGO"), "REC");
  EXPECT_EQ(grid->HeaderColour(1), qz::kActiveMarkColour);
  EXPECT_EQ(table->Order(), "PUESTOS2");
}

TEST_F(BrowseTest, IncrementalSearchDropsCharactersUntilARowMatches) {
  EXPECT_TRUE(grid->TypeSearch("c"));
  EXPECT_TRUE(grid->TypeSearch("h"));  // "CH" -> CHEF
  EXPECT_EQ(qz::FieldText(*table, "CODIGO"), "CHEF");
  EXPECT_TRUE(grid->TypeSearch("x"));  // "CHX" misses; "CH" is found again
  EXPECT_EQ(grid->current(), 1);
  clock.Advance(5000);  // after a pause typing starts over
  EXPECT_TRUE(grid->TypeSearch("r"));
  EXPECT_EQ(qz::FieldText(*table, "CODIGO"), "REC");
  clock.Advance(5000);
  EXPECT_FALSE(grid->TypeSearch("z"));  // ZZZ belongs to another business
  EXPECT_EQ(qz::FieldText(*table, "CODIGO"), "REC");
}

TEST_F(BrowseTest, RefreshesEveryMinuteOnlyWhileActiveEnabledAndSwitchedOn) {
  {
    auto other = xb::Table::Open(file("PUESTOS.DBF"));  // another workstation adds a row
    (*other)->Append();
    (*other)->Put("NEGOCIO", C(Biz("B")));
    (*other)->Put("CODIGO", C("BAR"));
    (*other)->Close();
  }
  clock.Advance(59000);
  ui.Idle();
  EXPECT_EQ(grid->RowCount(), 3);
  w->ENABLEWINDOW(false);
  clock.Advance(1000);
  ui.Idle();
  EXPECT_EQ(grid->RowCount(), 3);  // disabled: no refresh
  w->ENABLEWINDOW(true);
  qz::SetBrowseRefresh(false);
  clock.Advance(60000);
  ui.Idle();
  EXPECT_EQ(grid->RowCount(), 3);
  qz::SetBrowseRefresh(true);
  clock.Advance(60000);
  ui.Idle();
  EXPECT_EQ(Col(0), (std::vector<std::string>{"BAR", "CAM", "CHEF", "REC"}));
  EXPECT_EQ(grid->NMAXREC, 4);
  EXPECT_EQ(qz::FieldText(*table, "CODIGO"), "CAM");  // the selection stayed on its record
}

TEST_F(BrowseTest, InPlaceEditRunsTheScreenAndShowsTheRowAsStored) {
  grid->SetEditable(1, [&](const std::string& text) {
    if (text.empty()) return false;
    table->LockRecord();
    table->Put("DESCRIP", C(text));
    table->Flush();
    table->UnlockAll();
    return true;
  });
  EXPECT_FALSE(grid->EditCell(0, 0, "X"));  // not editable
  EXPECT_FALSE(grid->EditCell(1, 1, ""));
  EXPECT_EQ(qz::TrimRight(grid->Cell(1, 1)), "BETA");
  EXPECT_TRUE(grid->EditCell(1, 1, "gamma"));
  EXPECT_EQ(qz::TrimRight(grid->Cell(1, 1)), "GAMMA");
}

}  // namespace
