// Saving a department: a column leaving the layout takes every employee's
// value with it and coming back brings new ones (with their hourly-cost
// factor); an added department numbers its rows; provisions and the
// cost-centre split reach the employees' splits; a save stopped halfway by
// another workstation leaves every table as it was; and an editor writes
// the department it loaded whatever happens in the list behind it.
#include <gtest/gtest.h>

#include "departments_fixture.h"
#include "lib/ui/catalog.h"
#include "support/scripted_boxes.h"

namespace {

using qz::DEF_DTO;
using namespace qz::def_dto;
using Strings = std::vector<std::string>;

class DeptSaveTest : public qztest::DepartmentsTest {};

TEST_F(DeptSaveTest, AColumnLeavingTakesEveryEmployeesValueAndComingBackBringsNewOnes) {
  DEF_DTO* e = Modify(0);
  Pick(e, 1, kColumnas, "CCSS");
  Press(e, 1, kExcluir);
  // The overtime column leaves its set, then the layout.
  Pick(e, 0, kConjuntos, " 1  EXTRAS  ");
  Pick(e, 0, kDetalle, "HORAS EXTRA");
  Press(e, 0, kOutOfSet);
  Pick(e, 0, kConjuntos, " 1  EXTRAS  ");
  Press(e, 0, kSetDel);
  Pick(e, 0, kColumnas, "HORAS EXTRA");
  Press(e, 0, kExcluir);
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  EXPECT_EQ(Holders("05"), Strings{"E3"});  // E3 works in another department
  EXPECT_EQ(Holders("02"), Strings{"E3"});
  EXPECT_EQ(Holders("01"), (Strings{"E1", "E2", "E3"}));
  EXPECT_EQ(Rows("DET_DEPT", {"DEPTO", "COD_COLUMN"}), (Strings{"D1|01", "D2|01"}));
  EXPECT_TRUE(Rows("CONJ_COL", {"DEPTO"}).empty());

  e = Modify(0);
  Pick(e, 1, kDisponibles, "05 CCSS");
  Press(e, 1, kIncluir);
  Pick(e, 0, kDisponibles, "02 HORAS EXTRA");
  Press(e, 0, kIncluir);
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Holders("05"), (Strings{"E3", "E1", "E2"}));
  EXPECT_EQ(Holders("02"), (Strings{"E3", "E1", "E2"}));
  // The smallest free row numbers are taken again.
  EXPECT_EQ(Rows("DET_DEPT", {"DEPTO", "COD_COLUMN", "CODIGO"}),
            (Strings{"D1|01|1", "D2|01|1", "D1|02|2", "D1|05|3"}));
  // Hourly cost: 120,000 / 30 / 8 x 1.5 and 240,000 / 30 / 8 x 1.5; the
  // other department's employee is not touched.
  EXPECT_NEAR(Factor("E1", "02"), 750, 1e-6);
  EXPECT_NEAR(Factor("E2", "02"), 1500, 1e-6);
  EXPECT_EQ(Factor("E3", "02"), 0);
  EXPECT_EQ(Factor("E1", "05"), 0);
}

TEST_F(DeptSaveTest, AnAddedDepartmentNumbersItsRowsAcrossSections) {
  DEF_DTO* e = Add();
  ui.Type(e, kCodigo, "rec");
  ui.Type(e, kDescrip, "RECEPCION");
  e->UserChoose(kMoneda, "COLONES");
  e->UserChoose(kTipo, "MENSUAL");
  for (const char* c : {"01 SALARIO", "03 BONO"}) {
    Pick(e, 0, kDisponibles, c);
    Press(e, 0, kIncluir);
  }
  Pick(e, 1, kDisponibles, "05 CCSS");
  Press(e, 1, kIncluir);
  ui.OnDialog("E_CONJUNTO", [](qz::WDIAG& d) {
    d.UserType(501, "BONOS");
    d.UserPress(1);
  });
  Press(e, 0, kSetAdd);
  Pick(e, 0, kColumnas, "BONO");
  Press(e, 0, kIntoSet);
  e->UserClick(kTotSal);
  e->SetText(kTotSal + 1, "999,999.99");
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  Strings rec;
  for (const auto& r : Rows("DET_DEPT", {"DEPTO", "TIPO", "COD_COLUMN", "CODIGO", "ORDEN", "COD_CONJ"}))
    if (r.rfind("REC", 0) == 0) rec.push_back(r);
  EXPECT_EQ(rec, (Strings{"REC|01|01|1|1|0", "REC|01|03|2|0| 1", "REC|02|05|3|1|0"}));
  EXPECT_EQ(Rows("CONJ_COL", {"DEPTO", "CODIGO", "DESCRIP", "ORDEN"}).back(), "REC| 1|BONOS|2");
  EXPECT_EQ(Rows("ENC_DEPT", {"CODIGO", "TIPO", "MONEDA", "TOT_SAL", "PIC_SAL"}).back(),
            "REC|M|01|1|999,999.99");
  EXPECT_EQ(screen->oB()->RowCount(), 3);
}

TEST_F(DeptSaveTest, TheSplitEditorRefusesAMissingLinkAndARepeatedCentre) {
  DEF_DTO* e = Modify(1);  // D2 has no payment link
  ui.Press(e, kCentroAdd);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kNoLink});
  ui.Press(e, 2);

  e = Modify(0);
  ui.OnDialog("DEF_DEPTO_7", [](qz::WDIAG& d) {
    d.UserChoose(500, "CENTRO A");
    d.UserType(501, "50");
    d.UserPress(1);  // refused: CC-A is in the split already
    d.UserChoose(500, "CENTRO B");
    d.UserPress(1);
  });
  ui.Press(e, kCentroAdd);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kDuplicateCentre});
  // The old centre goes, with the employees' own splits on it.
  e->SetSelected(kCentros, 0, true);
  ui.Press(e, kCentroDel);
  ui.Press(e, 1);
  EXPECT_EQ(Rows("DET_DEP3", {"DEPTO", "COD_CENTRO", "PORCENTAJE"}), Strings{"D1|CC-B|50"});
  // Every value row split on its own (column 01 of E1 and E2) gets the new
  // centre; E1's row of the removed one is gone.
  EXPECT_EQ(Rows("DET_PER3", {"CODIGO", "COD_COLUMN", "COD_CENTRO", "PORCENTAJE"}),
            (Strings{"E1|01|CC-B|50", "E2|01|CC-B|50"}));
}

TEST_F(DeptSaveTest, ProvisionsNeedALinkAndAreRewrittenOrAppended) {
  DEF_DTO* e = Modify(0);
  ui.OnDialog("DEF_DEPTO_6", [](qz::WDIAG& d) {
    d.UserType(500, "VACACIONES");
    d.UserType(501, "4.16");
    d.UserPress(1);  // no link
    d.UserType(503, "PL-EFECT");
    d.UserClick(511);
    d.UserPress(1);
  });
  ui.Press(e, kProvAdd);
  EXPECT_EQ(ui.TakeBoxTexts(), Strings{kNoLink});
  ui.Press(e, 1);
  EXPECT_EQ(Rows("DET_DEP2", {"DEPTO", "CODIGO", "DESCRIP", "PORCENTAJE", "LIGA", "TIPO_EMP"}),
            (Strings{"D1|1|AGUINALDO|8.33|PL-EFECT|0", "D1|2|VACACIONES|4.16|PL-EFECT|1"}));
  e = Modify(0);
  e->SetSelected(kProvisiones, 0, true);
  ui.Press(e, kProvDel);
  ui.Press(e, 1);
  EXPECT_EQ(Rows("DET_DEP2", {"DESCRIP"}), Strings{"VACACIONES"});
}

TEST_F(DeptSaveTest, AnEditorWritesItsOwnDepartmentWhateverHappensBehindIt) {
  DEF_DTO* e = Modify(0);
  ui.Type(e, kDescrip, "COCINA NUEVA");
  // Operations reaching the list anyway do nothing; the list's cursor moves.
  screen->DoOperation("MOD_DEPTO");
  screen->DoOperation("ADD_DEPTO");
  screen->main_table()->GoTo(screen->oB()->RecNoAt(1));
  // The user changes business and opens the departments there.
  auto* other = qz::OpenScreen<qz::BROW_DTO>(desktop, "BROW_DTO", qztest::kPa);
  ASSERT_NE(other, nullptr);
  other->oB()->Select(0);
  ASSERT_TRUE(ui.Menu("Modificar Departamento"));
  auto* e2 = dynamic_cast<DEF_DTO*>(desktop.FindWindow("DEF_DEPTO"));
  ASSERT_NE(e2, e);
  EXPECT_EQ(e2->Text(kDescrip), "PLAYA COCINA");
  ui.Press(e, 1);
  ui.Press(e2, 2);
  EXPECT_EQ(Rows("ENC_DEPT", {"NEGOCIO", "CODIGO", "DESCRIP"}),
            (Strings{"HOTEL CENTRAL|D1|COCINA NUEVA", "HOTEL CENTRAL|D2|BAR",
                     "HOTEL PLAYA|D1|PLAYA COCINA"}));
  EXPECT_TRUE(screen->window_enabled());
}

class DeptSaveFailureTest : public qztest::DepartmentsTest {};

TEST_F(DeptSaveFailureTest, ASaveStoppedHalfwayLeavesEveryTableAsItWas) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  auto snapshot = [&] {
    return std::vector<Strings>{
        Rows("ENC_DEPT", {"CODIGO", "DESCRIP"}),
        Rows("DET_DEPT", {"DEPTO", "TIPO", "COD_COLUMN", "CODIGO", "ORDEN", "COD_CONJ"}),
        Rows("CONJ_COL", {"DEPTO", "CODIGO", "ORDEN"}),
        Rows("DET_PERS", {"CODIGO", "COD_COLUMN", "FACTOR"}),
        Rows("DET_DEP2", {"DEPTO", "CODIGO"}),
        Rows("DET_DEP3", {"DEPTO", "COD_CENTRO"}),
        Rows("DET_PER3", {"CODIGO", "COD_CENTRO"})};
  };
  const auto before = snapshot();
  // Another workstation keeps E2's deduction locked: the header, the
  // column rows and E1's value are written before E2's lock gives up.
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(6).ok());  // E2 / 05
  DEF_DTO* e = Modify(0);
  ui.Type(e, kDescrip, "COCINA CERRADA");
  Pick(e, 1, kColumnas, "CCSS");
  Press(e, 1, kExcluir);
  Pick(e, 0, kOrden, "|EXTRAS");
  Press(e, 0, kUp);
  ui.Press(e, 1);
  ASSERT_EQ(errors.lines.size(), 1u);
  EXPECT_NE((errors.lines[0] + errors.details[0]).find("DET_PERS"), std::string::npos)
      << errors.lines[0];
  EXPECT_EQ(snapshot(), before);
  auto roll = xb::Table::Open(file("LOG_ROLL.DBF"));
  ASSERT_TRUE(roll.ok());
  EXPECT_EQ(*(*roll)->RecCount(), 1u);
  // Nothing typed is lost: once the row is free the same window saves.
  ASSERT_EQ(Editor(), e);
  (*other)->UnlockAll();
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Holders("05"), Strings{"E3"});
  EXPECT_EQ(Rows("ENC_DEPT", {"DESCRIP"}).front(), "COCINA CERRADA");
}

}  // namespace
