// Bank transactions: the tree of the business's banks, the grid of the
// selected bank, rows stored under that bank, codes unique in the business.
#include "payroll/def_tran.h"

#include <gtest/gtest.h>

#include "support/ui_session.h"

namespace {

using qz::DEF_TRAN;
using qztest::C;

const std::string kHc = qztest::Biz("HOTEL CENTRAL");
const std::string kHp = qztest::Biz("HOTEL PLAYA");

class DefTranTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("BANCOS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"DESCRIP", C("NACIONAL")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("02")}, {"DESCRIP", C("COSTA RICA")}},
                      {{"NEGOCIO", C(kHp)}, {"CODIGO", C("09")}, {"DESCRIP", C("PLAYA")}}});
    Create("TRANS_B", {Row(kHc, "TRF", "01", "TRANSFERENCIA"), Row(kHc, "DEP", "01", "DEPOSITO"),
                       Row(kHc, "SINPE", "02", "SINPE"), Row(kHp, "TRF", "09", "OTRA")});
    screen = qz::OpenScreen<DEF_TRAN>(desktop, "DEF_TRAN", kHc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  static qztest::Row Row(const std::string& biz, const char* code, const char* bank,
                         const char* descrip) {
    return {{"NEGOCIO", C(biz)}, {"CODIGO", C(code)}, {"BANCO", C(bank)},
            {"DESCRIP", C(descrip)}};
  }
  std::vector<std::string> Codes() {
    std::vector<std::string> out;
    for (int r = 0; r < grid->RowCount(); ++r) out.push_back(qz::TrimRight(grid->Cell(r, 0)));
    return out;
  }
  std::vector<std::string> Stored() {
    auto t = xb::Table::Open(file("TRANS_B.DBF"));
    std::vector<std::string> out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      out.push_back(qz::FieldText(**t, "NEGOCIO") + "|" + qz::FieldText(**t, "BANCO") + "|" +
                    qz::FieldText(**t, "CODIGO") + "|" + qz::FieldText(**t, "DESCRIP"));
    return out;
  }
  void Add(const std::string& code, const std::string& descrip) {
    ui.OnDialog("E_TRANSACCION", [=](qz::WDIAG& d) {
      d.UserType(500, code);
      d.UserType(501, descrip);
      d.UserPress(1);
      if (!d.ended()) d.UserPress(2);
    });
    ui.Menu("Agregar");
  }

  DEF_TRAN* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(DefTranTest, TreeListsTheBanksAndTheGridFollowsTheSelectedOne) {
  qz::TreeModel* tree = screen->tree();
  ASSERT_EQ(tree->size(), 2);  // the business's banks only
  EXPECT_EQ(tree->selected()->text, "NACIONAL");
  EXPECT_EQ(Codes(), (std::vector<std::string>{"DEP", "TRF"}));
  tree->Click(tree->Find("02"));
  EXPECT_EQ(Codes(), std::vector<std::string>{"SINPE"});
  EXPECT_EQ(grid->NMAXREC, 1);
  EXPECT_EQ(grid->columns()[1].header, "Descripción ");
}

TEST_F(DefTranTest, AddStoresTheSelectedBankAndCodesAreUniqueInTheBusiness) {
  screen->tree()->Click(screen->tree()->Find("02"));
  Add("transf-dolares", "Transferencia en dolares");
  Add("TRF", "Repetida en otro banco");  // TRF belongs to bank 01
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de transacción ya definido..."});
  EXPECT_EQ(Codes(), (std::vector<std::string>{"SINPE", "transf-dolares"}));
  EXPECT_EQ(Stored().back(), "HOTEL CENTRAL|02|transf-dolares|Transferencia en dolares");

  grid->Select(0);  // modify keeping the code passes its own test
  ui.OnDialog("E_TRANSACCION", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(500), "SINPE");
    d.UserType(501, "SINPE MOVIL");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Stored()[2], "HOTEL CENTRAL|02|SINPE|SINPE MOVIL");
}

TEST_F(DefTranTest, DeleteAsksAndOnlyTheSelectedBankChanges) {
  grid->Select(1);  // TRF of bank 01
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "¿Desea borrar la transacción bancaria?");
  EXPECT_EQ(ui.boxes().back().style, 33);
  EXPECT_EQ(Codes(), std::vector<std::string>{"DEP"});
  EXPECT_EQ(Stored().size(), 3u);
}

TEST_F(DefTranTest, WithoutBanksNothingCanBeAdded) {
  ui.Press(screen, 1);
  Create("BANCOS");
  screen = qz::OpenScreen<DEF_TRAN>(desktop, "DEF_TRAN", kHc);
  ASSERT_NE(screen, nullptr);
  grid = screen->oB();
  EXPECT_EQ(grid->RowCount(), 0);
  ui.Menu("Agregar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Seleccione primero un banco"});
  EXPECT_TRUE(ui.modal_log().empty());
}

}  // namespace
