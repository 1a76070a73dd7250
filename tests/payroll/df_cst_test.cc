// Salary-certificate formats: the placeholder lists, insertion at the caret
// and removal of every occurrence, the blank and duplicate codes, the
// deduction percentage and the memo's line ends.
#include "payroll/df_cst.h"

#include <gtest/gtest.h>

#include "format_session.h"
#include "payroll/e_cst.h"

namespace {

using qz::E_CST;
using qztest::C;
using qztest::N;

class DfCstTest : public qztest::FormatSession {
 protected:
  void SetUp() override {
    Create("F_CONST", {{{"NEGOCIO", C(hc)},
                        {"CODIGO", C("01")},
                        {"DESCRIP", C("Constancia general")},
                        {"REB_CONST", N(9.5)},
                        {"TXT_CONST", C("Se hace constar que <<nombre>>\r\nlabora aqu\xed.")},
                        {"HEAD_CONST", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("02")}, {"DESCRIP", C("Embajada")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("03")}, {"DESCRIP", C("Playa")}}});
    screen = OpenFromMenu<qz::DF_CST>("DF_CST", "DF_CST");
    ASSERT_NE(screen, nullptr);
  }
  E_CST* Editor() { return Window<E_CST>("E_CST"); }

  qz::DF_CST* screen = nullptr;
};

TEST_F(DfCstTest, ListsOfferEveryPlaceholderInBothForms) {
  EXPECT_EQ(EditCaptions(), (std::vector<std::string>{"Agregar", "Modificar", "Borrar"}));
  ASSERT_TRUE(ui.Menu("Agregar"));
  E_CST* e = Editor();
  ASSERT_NE(e, nullptr);
  const auto* first = e->Control(E_CST::kDatos);
  const auto* second = e->Control(E_CST::kDatosX);
  ASSERT_EQ(first->entries.size(), 19u);
  ASSERT_EQ(second->entries.size(), 19u);
  EXPECT_EQ(first->entries[1].text, "Nombre ");  // captions keep their blanks
  EXPECT_EQ(first->entries[2].text, "1.er Apellido ");
  EXPECT_EQ(first->entries[10].cargo, "<<tipo.Ident>>");
  EXPECT_EQ(second->entries[10].cargo, "<<xtipo.Ident>>");
  EXPECT_EQ(first->entries[15].cargo, "<<H_LYV>>");
  EXPECT_EQ(second->entries[15].cargo, "<<xH_LYV>>");
  EXPECT_EQ(first->entries[18].cargo, "<<SEG_SOC>>");
  EXPECT_EQ(second->entries[18].cargo, "<<xseg_soc>>");
  ui.Press(e, 2);
}

TEST_F(DfCstTest, PlaceholdersGoAtTheCaretAndBorrarTakesEveryOccurrence) {
  ui.Menu("Agregar");
  E_CST* e = Editor();
  ui.Type(e, E_CST::kTexto, "Yo, , certifico.");
  e->SetCaret(E_CST::kTexto, 4);  // after "Yo, "
  e->UserSelect(E_CST::kDatos, "Nombre Completo", true);
  ui.Press(e, E_CST::kInsertar);
  EXPECT_EQ(e->Text(E_CST::kTexto), "Yo, <<nombre>>, certifico.");
  // Typing goes on after the placeholder; a second insertion lands there.
  EXPECT_EQ(e->Caret(E_CST::kTexto), 14);
  e->UserSelect(E_CST::kDatosX, "Cédula", true);
  ui.Press(e, E_CST::kInsertarX);
  EXPECT_EQ(e->Text(E_CST::kTexto), "Yo, <<nombre>><<xcedula>>, certifico.");
  // A caret inside an accented letter is moved to its start, never splits it.
  ui.Type(e, E_CST::kTexto, "é<<nombre>> y <<nombre>> y <<xcedula>>");
  e->SetCaret(E_CST::kTexto, 1);
  EXPECT_EQ(e->Caret(E_CST::kTexto), 0);

  ui.Press(e, E_CST::kBorrar);  // "Nombre Completo" and "Cédula" (x) are selected
  EXPECT_EQ(e->Text(E_CST::kTexto), "é y  y ");
  e->UserSelect(E_CST::kDatos, "Nombre Completo", false);
  e->UserSelect(E_CST::kDatosX, "Cédula", false);
  ui.Press(e, E_CST::kInsertar);  // nothing selected: nothing inserted
  EXPECT_EQ(e->Text(E_CST::kTexto), "é y  y ");
  ui.Press(e, 2);
}

TEST_F(DfCstTest, AddRefusesABlankCodeThenADuplicateThenSaves) {
  ui.Menu("Agregar");
  E_CST* e = Editor();
  ui.Type(e, E_CST::kDescrip, "Banco");
  ui.Type(e, E_CST::kTexto, "L\xC3\xADnea 1\nL\xC3\xADnea 2");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código en Blanco"});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  ui.Type(e, E_CST::kCodigo, "02");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código ya utilizado por otro formato"});
  ASSERT_EQ(Editor(), e);  // still open with what was typed
  EXPECT_EQ(e->Text(E_CST::kDescrip), "Banco");
  ui.Type(e, E_CST::kCodigo, "03");  // taken only in another business
  ui.Type(e, E_CST::kRebajo, "12.5");
  ui.Click(e, E_CST::kSinTitulo);
  ui.Type(e, E_CST::kLetra, "Arial");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty() || ui.TakeBoxTexts().empty());
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Rows("F_CONST", {"CODIGO", "DESCRIP", "REB_CONST", "HEAD_CONST", "SIN_TITULO", "LETRA_CONS"},
                 hc)
                .back(),
            "03|Banco|12.500000|0|1|Arial");
  // The memo keeps the suite's line ends.
  EXPECT_EQ(Raw("F_CONST", "03", "TXT_CONST"), "L\xEDnea 1\r\nL\xEDnea 2");
}

TEST_F(DfCstTest, ModifyLoadsTheTextAndRefusesAnOutOfRangePercentage) {
  screen->oB()->Select(0);
  ui.Menu("Modificar");
  E_CST* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(E_CST::kTexto), "Se hace constar que <<nombre>>\nlabora aquí.");
  EXPECT_EQ(e->Text(E_CST::kRebajo), "9.50");
  EXPECT_EQ(e->Check(E_CST::kEncabezado), 1);
  ui.Type(e, E_CST::kRebajo, "150");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El porcentaje de rebajo debe estar entre 0 y 100"});
  ui.Type(e, E_CST::kRebajo, "10");
  ui.Type(e, E_CST::kCodigo, "02");  // the other format's code
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código ya utilizado por otro formato"});
  ui.Type(e, E_CST::kCodigo, "01");
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Raw("F_CONST", "01", "TXT_CONST"), "Se hace constar que <<nombre>>\r\nlabora aqu\xed.");
  EXPECT_EQ(Rows("F_CONST", {"CODIGO", "REB_CONST"}, hc)[0], "01|10");
}

TEST_F(DfCstTest, DeleteAsksTheFormatQuestion) {
  screen->oB()->Select(1);
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "¿Desea borrar el tipo?");
  EXPECT_EQ(ui.boxes().back().title, "Advertencia");
  EXPECT_EQ(Rows("F_CONST", {"CODIGO"}, hc).size(), 2u);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(Rows("F_CONST", {"CODIGO"}, hc), std::vector<std::string>{"01"});
  EXPECT_EQ(screen->oB()->RowCount(), 1);
}

}  // namespace
