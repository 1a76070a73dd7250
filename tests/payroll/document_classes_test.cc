// Document classifications (D_CLA_DC): the tree of classes and sub-classes
// of the business, adding either through the "Editar" entries, their
// checks, a class's new code carried into its sub-classes, deletions that
// leave no orphans, and rows another workstation removed meanwhile.
#include "payroll/d_cla_dc.h"

#include <gtest/gtest.h>

#include "catalog_editors_fixture.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_edit.h"

namespace {

using qz::D_CLA_DC;
using qztest::C;
using qztest::N;

class DocumentClassesTest : public qztest::CatalogEditorsTest {
 protected:
  void SetUp() override {
    Create("E_PLA_DC", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("CONT")}, {"DESCRIP", C("Contratos")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("IDEN")}, {"DESCRIP", C("Identidad")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("CONT")}, {"DESCRIP", C("Playa")}}});
    Create("D_PLA_DC", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("CONT")}, {"ITEM", N(2)}, {"DESCRIP", C("Adenda")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("CONT")}, {"ITEM", N(1)}, {"DESCRIP", C("Contrato")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("CONT")}, {"ITEM", N(1)}, {"DESCRIP", C("Playa")}}});
    screen = qz::OpenScreen<D_CLA_DC>(desktop, "D_CLA_DC", hc);
    ASSERT_NE(screen, nullptr);
    tree = screen->tree();
  }
  // The tree as "text" lines, sub-classes indented.
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (const auto& c : tree->root()->children) {
      out.push_back(c->text);
      for (const auto& i : c->children) out.push_back("  " + i->text);
    }
    return out;
  }
  void Select(const std::string& cargo) {
    qz::TreeNode* n = tree->Find(cargo);
    ASSERT_NE(n, nullptr) << cargo;
    tree->Click(n);
  }
  // Scripts the next form: types code (control 500) and description, presses Aceptar.
  void Form(const std::string& tmpl, const std::string& code, const std::string& descrip) {
    ui.OnDialog(tmpl, [=](qz::WDIAG& d) {
      d.UserType(D_CLA_DC::kCodigo, code);
      d.UserType(D_CLA_DC::kDescrip, descrip);
      d.UserPress(1);
    });
  }
  void Cancel(const std::string& tmpl) {
    ui.OnDialog(tmpl, [](qz::WDIAG& d) { d.UserPress(2); });
  }

  D_CLA_DC* screen = nullptr;
  qz::TreeModel* tree = nullptr;
};

TEST_F(DocumentClassesTest, TreeShowsTheBusinessClassesWithTheirNumberedSubClasses) {
  EXPECT_EQ(desktop.edit_menu_id(), D_CLA_DC::kMenuId);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"CONT - Contratos", "   1 - Contrato", "   2 - Adenda",
                                               "IDEN - Identidad"}));
}

TEST_F(DocumentClassesTest, AddingChecksCodesNumbersAndBlankDescriptions) {
  Form("E_CLA_DC", "iden", "Otra");  // upper-cased: IDEN exists
  Form("E_CLA_DC", "medi", "");
  Form("E_CLA_DC", "medi", "Médicos");
  ASSERT_TRUE(ui.Menu("Agregar Clasificación"));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{D_CLA_DC::kClassTaken, D_CLA_DC::kBlankDescrip}));
  EXPECT_EQ(tree->selected()->cargo, D_CLA_DC::ClassCargo("MEDI"));

  // A sub-class goes to the selected class.
  Form("E_DET_DC", "0", "Cero");
  Form("E_DET_DC", "5", "Incapacidad");
  ui.Menu("Agregar Sub-clasificación");
  Select(D_CLA_DC::ItemCargo("CONT", 2));  // a sub-class selected: added to its class
  Form("E_DET_DC", "1", "Repetido");
  Cancel("E_DET_DC");
  ui.Menu("Agregar Sub-clasificación");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{D_CLA_DC::kItemRange, D_CLA_DC::kItemTaken}));
  EXPECT_EQ(Rows("D_PLA_DC", {"CODIGO", "ITEM", "DESCRIP"}),
            (std::vector<std::string>{"CODIGO=CONT ITEM=2 DESCRIP=Adenda",
                                      "CODIGO=CONT ITEM=1 DESCRIP=Contrato",
                                      "CODIGO=MEDI ITEM=5 DESCRIP=Incapacidad"}));
  // The other business has its own sub-class 1 of CONT; ours may have it too.
  Select(D_CLA_DC::ClassCargo("IDEN"));
  Form("E_DET_DC", "1", "Cédula");
  ui.Menu("Agregar Sub-clasificación");
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  ASSERT_NE(tree->Find(D_CLA_DC::ItemCargo("IDEN", 1)), nullptr);
  EXPECT_EQ(tree->Find(D_CLA_DC::ItemCargo("IDEN", 1))->text, " 1 - Cédula");
}

TEST_F(DocumentClassesTest, NewClassCodeTakesItsSubClassesAlong) {
  Select(D_CLA_DC::ClassCargo("CONT"));
  ui.OnDialog("E_CLA_DC", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(D_CLA_DC::kCodigo), "CONT");
    EXPECT_EQ(d.Text(D_CLA_DC::kDescrip), "Contratos");
    d.UserType(D_CLA_DC::kCodigo, "CTRA");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(Rows("D_PLA_DC", {"CODIGO", "ITEM"}, ""),
            (std::vector<std::string>{"CODIGO=CTRA ITEM=2", "CODIGO=CTRA ITEM=1", "CODIGO=CONT ITEM=1"}));
  EXPECT_EQ(Shown()[0], "CTRA - Contratos");
  EXPECT_EQ(tree->selected()->cargo, D_CLA_DC::ClassCargo("CTRA"));

  Select(D_CLA_DC::ItemCargo("CTRA", 2));
  ui.OnDialog("E_DET_DC", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(D_CLA_DC::kClase), "CTRA - Contratos");
    EXPECT_EQ(d.Text(D_CLA_DC::kCodigo), "2");
    d.UserType(D_CLA_DC::kCodigo, "3");
    d.UserType(D_CLA_DC::kDescrip, "Adenda de contrato");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(Rows("D_PLA_DC", {"ITEM", "DESCRIP"})[0], "ITEM=3 DESCRIP=Adenda de contrato");
}

TEST_F(DocumentClassesTest, DeletingAClassTakesItsSubClassesAndCancelKeepsAll) {
  Select(D_CLA_DC::ClassCargo("CONT"));
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(Shown().size(), 4u);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{D_CLA_DC::kAskDeleteClass, D_CLA_DC::kAskDeleteClass}));
  EXPECT_EQ(ui.boxes().back().title, "Advertencia");
  EXPECT_EQ(Shown(), std::vector<std::string>{"IDEN - Identidad"});
  EXPECT_TRUE(Rows("D_PLA_DC", {"ITEM"}).empty());
  EXPECT_EQ(Rows("D_PLA_DC", {"ITEM"}, "HOTEL PLAYA").size(), 1u);

  // Nothing selected any more: the entries say so instead of guessing.
  tree->Click(nullptr);
  ui.Menu("Modificar");
  ui.Menu("Agregar Sub-clasificación");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"No hay registros a modificar", D_CLA_DC::kNoClass}));
}

TEST_F(DocumentClassesTest, SubClassDeletedByAnotherWorkstationIsToldNotRecreated) {
  Select(D_CLA_DC::ItemCargo("CONT", 1));
  ui.OnDialog("E_DET_DC", [this](qz::WDIAG& d) {
    d.UserType(D_CLA_DC::kDescrip, "Contrato firmado");
    // Meanwhile another workstation deletes the sub-class.
    auto other = LockedBy("D_PLA_DC", 2);
    other->GoTo(2);
    other->Delete();
    other->Flush();
    other->UnlockAll();
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::kRowDeletedMeanwhile});
  EXPECT_EQ(Rows("D_PLA_DC", {"ITEM", "DESCRIP"}),
            std::vector<std::string>{"ITEM=2 DESCRIP=Adenda"});
  EXPECT_EQ(Shown(), (std::vector<std::string>{"CONT - Contratos", "   2 - Adenda",
                                               "IDEN - Identidad"}));
}

}  // namespace
