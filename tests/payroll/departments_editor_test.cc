// The department editor's lists and checks: what loading shows, the
// once-only rule for column types (separators excepted), the order list,
// set numbering and deletion, and every refusal of "Aceptar".
#include <gtest/gtest.h>

#include "departments_fixture.h"

namespace {

using qz::DEF_DTO;
using namespace qz::def_dto;
using Strings = std::vector<std::string>;

class DeptEditorTest : public qztest::DepartmentsTest {};

TEST_F(DeptEditorTest, LoadingShowsColumnsSetsAndOrderWhileTheListWaits) {
  DEF_DTO* e = Modify(0);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(ui.wait_texts().back(), kLoading);
  EXPECT_FALSE(screen->window_enabled());
  EXPECT_EQ(Entries(e, 600 + kColumnas), (Strings{"SALARIO", "HORAS EXTRA * "}));
  EXPECT_EQ(Entries(e, 600 + kOrden), (Strings{"SALARIO", "|EXTRAS"}));
  EXPECT_EQ(Entries(e, 620 + kColumnas), (Strings{"CCSS"}));
  EXPECT_EQ(e->Text(kCodigo), "D1");
  EXPECT_EQ(e->Text(kLigaCont), "LL");
  Pick(e, 0, kConjuntos, " 1  EXTRAS  ");
  EXPECT_EQ(Entries(e, 600 + kDetalle), (Strings{"HORAS EXTRA"}));
  // The list's entries do nothing while the editor is open.
  EXPECT_FALSE(ui.Menu("Modificar Departamento"));
  EXPECT_EQ(desktop.windows().size(), 2u);
  ui.Press(e, 2);
  EXPECT_TRUE(screen->window_enabled());
}

TEST_F(DeptEditorTest, AColumnTypeGoesInOnceButASeparatorMayRepeat) {
  DEF_DTO* e = Modify(0);
  Pick(e, 0, kDisponibles, "05 CCSS");  // already among the deductions
  Press(e, 0, kIncluir);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kAlreadyIncluded});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  Pick(e, 0, kDisponibles, "04 LINEA");
  Press(e, 0, kIncluir);
  Press(e, 0, kIncluir);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Entries(e, 600 + kOrden), (Strings{"SALARIO", "|EXTRAS", "LINEA", "LINEA"}));
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  // Two rows with their own numbers and places; a separator holds no values.
  Strings d1;
  for (const auto& r : Rows("DET_DEPT", {"DEPTO", "COD_COLUMN", "CODIGO", "ORDEN"}))
    if (r.rfind("D1|04", 0) == 0) d1.push_back(r);
  EXPECT_EQ(d1, (Strings{"D1|04|4|3", "D1|04|5|4"}));
  EXPECT_TRUE(Holders("04").empty());
}

TEST_F(DeptEditorTest, UpAndDownReorderAndTheOrderIsSaved) {
  DEF_DTO* e = Modify(0);
  Pick(e, 0, kOrden, "|EXTRAS");
  Press(e, 0, kUp);
  EXPECT_EQ(Entries(e, 600 + kOrden), (Strings{"|EXTRAS", "SALARIO"}));
  Press(e, 0, kUp);  // already first
  Press(e, 0, kDown);
  Press(e, 0, kUp);
  ui.Press(e, 1);
  EXPECT_EQ(Rows("CONJ_COL", {"DEPTO", "CODIGO", "ORDEN"}), Strings{"D1| 1|1"});
  EXPECT_EQ(Rows("DET_DEPT", {"DEPTO", "COD_COLUMN", "ORDEN", "COD_CONJ"}),
            (Strings{"D1|01|2|0", "D1|02|0| 1", "D1|05|1|0", "D2|01|1|0"}));
}

TEST_F(DeptEditorTest, SetsAreNumberedAcrossSectionsAndADeletedSetReturnsItsColumns) {
  DEF_DTO* e = Modify(0);
  ui.OnDialog("E_CONJUNTO", [](qz::WDIAG& d) {
    d.UserType(500, "Total Cargas");
    d.UserType(501, "CARGAS");
    d.UserPress(1);
  });
  Press(e, 1, kSetAdd);
  EXPECT_EQ(Entries(e, 620 + kConjuntos), Strings{" 2  CARGAS  Total Cargas"});
  // The deduction joins the new set; the salary set goes, its column back
  // to the place the set had.
  Pick(e, 1, kColumnas, "CCSS");
  Press(e, 1, kIntoSet);
  EXPECT_EQ(Entries(e, 620 + kOrden), Strings{"|CARGAS"});
  Pick(e, 0, kConjuntos, " 1  EXTRAS  ");
  Press(e, 0, kSetDel);
  EXPECT_EQ(Entries(e, 600 + kOrden), (Strings{"SALARIO", "HORAS EXTRA"}));
  EXPECT_EQ(Entries(e, 600 + kColumnas), (Strings{"SALARIO", "HORAS EXTRA"}));
  EXPECT_TRUE(Entries(e, 600 + kConjuntos).empty());
  ui.Press(e, 1);
  EXPECT_EQ(Rows("CONJ_COL", {"DEPTO", "TIPO", "CODIGO", "DESCRIP", "COD_TOTAL", "ORDEN"}),
            Strings{"D1|02| 2|CARGAS|Total Cargas|1"});
  EXPECT_EQ(Rows("DET_DEPT", {"DEPTO", "COD_COLUMN", "ORDEN", "COD_CONJ"}),
            (Strings{"D1|01|1|0", "D1|02|2|0", "D1|05|0| 2", "D2|01|1|0"}));
  // A column moving out of a set keeps its employees' values.
  EXPECT_EQ(Holders("02"), (Strings{"E1", "E2", "E3"}));
}

TEST_F(DeptEditorTest, EachRefusalKeepsTheEditorOpenAndWritesNothing) {
  const Strings before = Rows("ENC_DEPT", {"NEGOCIO", "CODIGO", "DESCRIP"});
  DEF_DTO* e = Add();
  ASSERT_NE(e, nullptr);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kNoCurrency});
  ui.OnDialog("E_CONJUNTO", [](qz::WDIAG& d) { d.UserPress(1); });
  e->UserChoose(kMoneda, "COLONES");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kNoPayrollType});
  e->UserChoose(kTipo, "MENSUAL");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kNoCode});
  ui.Type(e, kCodigo, "d9");
  Press(e, 2, kSetAdd);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kEmptySet});
  Pick(e, 2, kConjuntos, " 1    ");
  Press(e, 2, kSetDel);
  ui.Type(e, kCodigo, "d2");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kCodeExists});
  for (const auto& b : ui.boxes()) EXPECT_EQ(b.title, "Error");
  EXPECT_EQ(Editor(), e);
  EXPECT_EQ(Rows("ENC_DEPT", {"NEGOCIO", "CODIGO", "DESCRIP"}), before);
  // The same code in another business is no conflict; a free one saves.
  ui.Type(e, kCodigo, "d9");
  ui.Type(e, kDescrip, "LAVANDERIA");
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(screen->oB()->RowCount(), 3);
  // Modify: a code another department holds is refused too.
  e = Modify(0);
  ui.Type(e, kCodigo, "D2");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kCodeExists});
  ui.Type(e, kCodigo, "D1");
  ui.Type(e, kDescrip, "COCINA CENTRAL");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Rows("ENC_DEPT", {"NEGOCIO", "CODIGO", "DESCRIP"}),
            (Strings{"HOTEL CENTRAL|D1|COCINA CENTRAL", "HOTEL CENTRAL|D2|BAR",
                     "HOTEL PLAYA|D1|PLAYA COCINA", "HOTEL CENTRAL|D9|LAVANDERIA"}));
}

}  // namespace
