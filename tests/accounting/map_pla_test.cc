// Accounting links by position: the department tree scoping the list, the
// descriptions looked up for each code, the form's checks in order and the
// uniqueness of the whole combination only.
#include "accounting/map_pla.h"

#include <gtest/gtest.h>

#include "accounting/accounting_fixture.h"
#include "accounting/e_mappla.h"
#include "lib/ui/lists.h"

namespace {

using qz::E_MAPPLA;
using qztest::C;
using qztest::kCentral;
using qztest::kPlaya;
using qztest::N;

const std::string kPayroll = std::string("06") + std::string(7, ' ');

class MapPlaTest : public qztest::AccountingSession {
 protected:
  void SetUp() override {
    AccountingSession::SetUp();
    Create("ENC_DEPT", {Dept(kCentral, "ADM", "ADMINISTRACION"), Dept(kCentral, "AYB", "ALIMENTOS"),
                        Dept(kPlaya, "AYB", "PLAYA")});
    Create("PUESTOS", {Code(kCentral, "MESE", "MESERO"), Code(kCentral, "CONT", "CONTADOR")});
    Create("ENC_TIP", {Code(kCentral, "01", "SALARIO"), Code(kCentral, "05", "EXTRAS")});
    Create("LIGAS", {Link(kCentral, "PL-SAL", "GASTO SALARIOS"), Link(kCentral, "PL-EXT", "GASTO EXTRAS"),
                     {{"NEGOCIO", C(kCentral)}, {"MODULO", C("04")}, {"CODIGO", C("BANCO")},
                      {"DESCRIP", C("CUENTA BANCO")}}});
    Create("MAP_PLA", {Map(kCentral, "AYB", "MESE", "01", "PL-SAL", 0),
                       Map(kCentral, "ADM", "CONT", "01", "PL-SAL", 0),
                       Map(kPlaya, "AYB", "MESE", "01", "PL-SAL", 0)});
    screen = qz::OpenScreen<qz::MAP_PLA>(desktop, "MAP_PLA", kCentral);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  static qztest::Row Dept(const std::string& b, const char* code, const char* d) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}, {"INACTIVO", N(0)}};
  }
  static qztest::Row Code(const std::string& b, const char* code, const char* d) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}};
  }
  static qztest::Row Link(const std::string& b, const char* code, const char* d) {
    return {{"NEGOCIO", C(b)}, {"MODULO", C("06")}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}};
  }
  static qztest::Row Map(const std::string& b, const char* dept, const char* pos, const char* col,
                         const char* link, int statistic) {
    return {{"NEGOCIO", C(b)},      {"DEPTO", C(dept)},      {"PUESTO", C(pos)},
            {"COD_COLUMN", C(col)}, {"LIGA_CONTA", C(link)}, {"STATISTIC", N(statistic)}};
  }
  void ClickDepartment(const std::string& code) {
    std::string cargo = code;
    cargo.resize(15, ' ');
    screen->tree()->Click(screen->tree()->Find(cargo));
  }
  E_MAPPLA* Form() { return dynamic_cast<E_MAPPLA*>(desktop.FindWindow("E_MAPPLA")); }
  qz::MAP_PLA* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(MapPlaTest, TheTreeScopesTheListAndTheCodesShowTheirDescriptions) {
  // The first department is shown at once.
  EXPECT_EQ(qz::TrimRight(screen->department()), "ADM");
  ASSERT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 0)), "CONT");
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 1)), "CONTADOR");
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 3)), "SALARIO");
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 5)), "GASTO SALARIOS");
  ClickDepartment("AYB");
  ASSERT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(qz::TrimRight(grid->Cell(0, 0)), "MESE");
  // The form offers only the payroll module's links.
  ASSERT_TRUE(ui.Menu("Agregar"));
  ASSERT_NE(Form(), nullptr);
  EXPECT_EQ(Form()->Control(E_MAPPLA::kLiga)->entries.size(), 2u);
  EXPECT_EQ(qz::TrimRight(*qz::CCOMBOBOX(*Form(), E_MAPPLA::kDepto).CURCARGO()), "AYB");
}

TEST_F(MapPlaTest, TheFormChecksEachChoiceInOrderAndOnlyTheWholeCombinationIsUnique) {
  ClickDepartment("AYB");
  ASSERT_TRUE(ui.Menu("Agregar"));
  E_MAPPLA* f = Form();
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  f->SetCurrent(E_MAPPLA::kDepto, -1);
  ui.Press(f, 1);
  f->UserChoose(E_MAPPLA::kDepto, "ALIMENTOS");
  ui.Press(f, 1);
  f->UserChoose(E_MAPPLA::kPuesto, "MESERO");
  ui.Press(f, 1);
  f->UserChoose(E_MAPPLA::kColumna, "SALARIO");
  ui.Press(f, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Falta seleccionar el departamento",
                                      "Falta seleccionar el puesto", "Falta seleccionar la columna",
                                      "Falta seleccionar la liga contable"}));
  f->UserChoose(E_MAPPLA::kLiga, "GASTO SALARIOS");
  ui.Press(f, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Esta combinatoria ya existe"});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  // The same department, position and column on another link is a new row.
  f->UserChoose(E_MAPPLA::kLiga, "GASTO EXTRAS");
  ui.Click(f, E_MAPPLA::kEstadistica);
  ui.Press(f, 1);
  EXPECT_EQ(Form(), nullptr);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(Count(Rows("MAP_PLA", {"DEPTO", "PUESTO", "COD_COLUMN", "LIGA_CONTA", "STATISTIC"}),
                  "HOTEL CENTRAL:AYB/MESE/01/PL-EXT/1"),
            1u);

  // Modifying a row into the other's combination is refused; keeping its own
  // passes.
  ASSERT_TRUE(grid->Select(0).ok());
  const std::string first_link = qz::TrimRight(grid->Cell(0, 4));
  ASSERT_TRUE(ui.Menu("Modificar"));
  f = Form();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(qz::TrimRight(*qz::CCOMBOBOX(*f, E_MAPPLA::kLiga).CURCARGO()), first_link);
  f->UserChoose(E_MAPPLA::kLiga, first_link == "PL-EXT" ? "GASTO SALARIOS" : "GASTO EXTRAS");
  ui.Press(f, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Esta combinatoria ya existe"});
  f->UserChoose(E_MAPPLA::kLiga, first_link == "PL-EXT" ? "GASTO EXTRAS" : "GASTO SALARIOS");
  f->UserChoose(E_MAPPLA::kPuesto, "CONTADOR");
  ui.Press(f, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Count(Rows("MAP_PLA", {"DEPTO", "PUESTO"}), "HOTEL CENTRAL:AYB/CONT"), 1u);
  EXPECT_EQ(Rows("MAP_PLA", {"DEPTO"}).size(), 4u);
}

TEST_F(MapPlaTest, ARowSavedForAnotherDepartmentIsShownThereAndDeleteAsks) {
  ASSERT_TRUE(ui.Menu("Agregar"));  // on ADM
  E_MAPPLA* f = Form();
  ASSERT_NE(f, nullptr);
  f->UserChoose(E_MAPPLA::kDepto, "ALIMENTOS");
  f->UserChoose(E_MAPPLA::kPuesto, "CONTADOR");
  f->UserChoose(E_MAPPLA::kColumna, "EXTRAS");
  f->UserChoose(E_MAPPLA::kLiga, "GASTO EXTRAS");
  ui.Press(f, 1);
  EXPECT_EQ(qz::TrimRight(screen->department()), "AYB");
  ASSERT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "CONT");

  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "¿Desea borrar el item?");
  EXPECT_EQ(grid->RowCount(), 2);
  ui.Menu("Borrar");
  EXPECT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(Rows("MAP_PLA", {"DEPTO"}).size(), 3u);
}

}  // namespace
