// Moving employees from one hotel to another as the payroll clerk does it:
// the list and its filters, marking, the column mapping with its warnings,
// what moves and what is left, the loan renumbered in the target hotel, the
// shared payroll date copied once; then what another workstation holding a
// row does to the move (nothing half-done) and the retry that follows.
#include <gtest/gtest.h>

#include "lib/payroll/employee_move.h"
#include "lib/ui/catalog.h"
#include "lib/ui/cell_click.h"
#include "payroll/employee_move/b_cols.h"
#include "payroll/employee_move/copy_emp.h"
#include "payroll/processes/init_pla.h"
#include "payroll/employee_move_fixture.h"

namespace {

using qztest::C;
using qztest::kMoveSource;
using qztest::kMoveTarget;
using qztest::N;

class EmployeeMoveTest : public qztest::EmployeeMoveSession {
 protected:
  qz::COPY_EMP* Open(const std::string& business = kMoveSource) {
    auto* s = qz::OpenScreen<qz::COPY_EMP>(desktop, "COPY_EMP", business);
    EXPECT_NE(s, nullptr);
    return s;
  }
  static int RowOf(qz::WBLISTBOX& g, int col, const std::string& text) {
    for (int r = 0; r < g.RowCount(); ++r)
      if (qz::TrimRight(g.Cell(r, col)) == text) return r;
    return -1;
  }
  static std::vector<std::string> Column(qz::WBLISTBOX& g, int col) {
    std::vector<std::string> out;
    for (int r = 0; r < g.RowCount(); ++r) out.push_back(qz::TrimRight(g.Cell(r, col)));
    return out;
  }
  // Marks the employees by clicking their mark cell, then fills the options.
  void Prepare(qz::COPY_EMP& s, const std::vector<std::string>& employees,
               const std::string& prefix = "TR") {
    for (const std::string& e : employees) {
      const int row = RowOf(*s.grid(), 1, e);
      ASSERT_GE(row, 0) << e;
      ASSERT_TRUE(qz::ClickCell(*s.grid(), row, qz::COPY_EMP::kMarkColumn));
      EXPECT_EQ(s.grid()->Cell(row, 0), "✓");
    }
    s.UserType(qz::COPY_EMP::kPrefijo, prefix);
    ASSERT_TRUE(s.UserChoose(qz::COPY_EMP::kNegocio, "HOTEL PLAYA"));
    ASSERT_TRUE(s.UserChoose(qz::COPY_EMP::kDepto, "COCINA PLAYA"));
  }
  void AcceptMapping() {
    ui.OnDialog("B_COLS", [](qz::WDIAG& d) { d.UserPress(1); });
  }
  // Nothing of the kitchen has reached the playa, and the central has it all.
  void ExpectNothingMoved() {
    EXPECT_EQ(Count("ENC_PERS", {{"NEGOCIO", "HC"}}), 4u);
    EXPECT_EQ(Count("ENC_PERS", {{"NEGOCIO", "HP"}}), 0u);
    EXPECT_EQ(Count("DET_PERS", {{"CODIGO", "E1"}}), 6u);
    EXPECT_EQ(Count("DET_PERS", {{"NEGOCIO", "HP"}}), 0u);
    EXPECT_EQ(Count("H_E_DEPT", {{"NEGOCIO", "HP"}}), 1u);
    EXPECT_EQ(Count("H_E_PERS", {{"NEGOCIO", "HC"}}), 4u);
    EXPECT_EQ(Count("H_D_PERS", {{"NEGOCIO", "HC"}}), 8u);
    EXPECT_EQ(Count("ENC_DDA", {{"NEGOCIO", "HC"}, {"CODIGO", "PR-00001"}}), 1u);
    EXPECT_EQ(Count("DET_DDA", {{"NEGOCIO", "HC"}, {"DEUDA", "PR-00001"}}), 2u);
    EXPECT_EQ(Count("DEUDORES", {{"NEGOCIO", "HC"}}), 1u);
    EXPECT_EQ(Numbers("SERIALES", {{"NEGOCIO", "HP"}, {"CODIGO", "PRESTAMO"}}, "NUMERO"),
              std::vector<double>{7});
    for (const char* t : {"H_D_DEPT", "H_E_TIP", "H_D_TIP", "H_TIP_PL", "H_D_DEP2", "H_CONJ_C",
                          "H_TIEM_E", "H_TIP_TR", "H_D_PER3"})
      EXPECT_EQ(Count(t, {{"NEGOCIO", "HP"}}), 0u) << t;
  }
  // E1 and E2 are at the playa once, with everything they own.
  void ExpectMovedOnce() {
    EXPECT_EQ(Texts("ENC_PERS", {{"NEGOCIO", "HP"}}, "CODIGO"),
              (std::vector<std::string>{"TR-E1", "TR-E2"}));
    EXPECT_EQ(Texts("ENC_PERS", {{"NEGOCIO", "HP"}}, "DEPTO"),
              (std::vector<std::string>{"K1", "K1"}));
    EXPECT_EQ(Texts("ENC_PERS", {{"NEGOCIO", "HC"}}, "CODIGO"),
              (std::vector<std::string>{"E3", "E4"}));
    // The shared date 15/01 is copied once; 31/01 the playa had already.
    EXPECT_EQ(Count("H_E_DEPT", {{"NEGOCIO", "HP"}, {"CODIGO", "K1"}}), 2u);
    EXPECT_EQ(Count("H_E_DEPT", {{"NEGOCIO", "HP"}, {"DESCRIP", "PROPIA"}}), 1u);
    EXPECT_EQ(Count("H_D_DEPT", {{"NEGOCIO", "HP"}, {"DEPTO", "K1"}}), 2u);
    EXPECT_EQ(Count("H_E_TIP", {{"NEGOCIO", "HP"}, {"DEPTO", "K1"}}), 2u);
    for (const char* t :
         {"H_D_TIP", "H_TIP_PL", "H_D_DEP2", "H_D_DEP3", "H_CONJ_C", "H_TIEM_E", "H_TIP_TR"})
      EXPECT_EQ(Count(t, {{"NEGOCIO", "HP"}, {"DEPTO", "K1"}}), 1u) << t;
    // The central keeps its payrolls' definitions; the lines went.
    EXPECT_EQ(Count("H_E_DEPT", {{"NEGOCIO", "HC"}}), 2u);
    EXPECT_EQ(Count("H_D_DEPT", {{"NEGOCIO", "HC"}}), 4u);
    EXPECT_EQ(Count("H_E_PERS", {{"NEGOCIO", "HC"}}), 0u);
    EXPECT_EQ(Count("H_E_PERS", {{"NEGOCIO", "HP"}, {"CODIGO", "TR-E1"}, {"DEPTO", "K1"}}), 2u);
    EXPECT_EQ(Count("H_D_PERS", {{"NEGOCIO", "HP"}, {"CODIGO", "TR-E2"}}), 4u);
    EXPECT_EQ(Count("H_D_PER3", {{"NEGOCIO", "HP"}, {"CODIGO", "TR-E1"}}), 2u);
    // The loan and its payments, renumbered by the playa's counters.
    EXPECT_EQ(Texts("ENC_DDA", {{"NEGOCIO", "HP"}}, "CODIGO"),
              std::vector<std::string>{"PR-00008"});
    EXPECT_EQ(Texts("ENC_DDA", {{"NEGOCIO", "HP"}}, "DEUDOR"), std::vector<std::string>{"TR-E1"});
    EXPECT_EQ(Texts("DET_DDA", {{"NEGOCIO", "HP"}, {"DEUDA", "PR-00008"}}, "CODIGO"),
              (std::vector<std::string>{"AB-000041", "AB-000042"}));
    // Charged by payrolls that now belong to the playa's kitchen.
    EXPECT_EQ(Texts("DET_DDA", {{"NEGOCIO", "HP"}}, "DEPTO"),
              (std::vector<std::string>{"K1", "K1"}));
    EXPECT_EQ(Texts("H_D_DEP3", {{"NEGOCIO", "HP"}}, "COD_CENTRO"),
              std::vector<std::string>{"CC1"});
    EXPECT_EQ(Count("DET_DDA", {{"DEPTO", "D1"}}), 0u);
    EXPECT_EQ(Texts("DEUDORES", {{"NEGOCIO", "HP"}}, "EMPLEADO"),
              std::vector<std::string>{"TR-E1"});
    EXPECT_EQ(Numbers("SERIALES", {{"NEGOCIO", "HP"}, {"CODIGO", "ABONO"}}, "NUMERO"),
              std::vector<double>{42});
    EXPECT_EQ(Numbers("SERIALES", {{"NEGOCIO", "HC"}, {"CODIGO", "PRESTAMO"}}, "NUMERO"),
              std::vector<double>{1});
    // The daily grid stays where it was.
    EXPECT_EQ(Count("DET_PER2", {{"NEGOCIO", "HC"}, {"COD_PER", "E1"}}), 1u);
  }
  void ExpectTablesSound() {
    for (const char* name : {"ENC_PERS", "DET_PERS", "H_E_DEPT", "H_E_PERS", "H_D_PERS",
                             "H_D_PER3", "H_D_DEPT", "H_E_TIP", "ENC_DDA", "DET_DDA", "DEUDORES",
                             "SERIALES", "TXT_SRCH"}) {
      auto t = xb::Table::Open(file(std::string(name) + ".DBF"));
      ASSERT_TRUE(t.ok()) << name;
      std::vector<std::string> problems;
      EXPECT_TRUE((*t)->Check(&problems).ok()) << name;
      for (const auto& p : problems) ADD_FAILURE() << name << ": " << p;
    }
  }
};

TEST(EmployeeMoveCode, PrefixAndCodeAreCutToFifteen) {
  EXPECT_EQ(qz::NewEmployeeCode(" TR ", "E1   "), "TR-E1          ");
  EXPECT_EQ(qz::NewEmployeeCode("PLAYANORTE", "EMP0001"), "PLAYANORTE-EMP0");
  EXPECT_EQ(qz::NewEmployeeCode("SUCURSALPLAYA01X", "E1"), "SUCURSALPLAYA01");
  EXPECT_EQ(qz::NewEmployeeCode("", "E1"), "-E1            ");
}

TEST_F(EmployeeMoveTest, TheListFollowsTreeAndFilterAndTheOptionsListTheOtherHotels) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->title(), "Traslado de empleados entre Negocios");
  EXPECT_EQ(s->Check(qz::COPY_EMP::kPorCodigo), 1);  // ORDEN_TREE = 0
  EXPECT_EQ(Column(*s->grid(), 1), (std::vector<std::string>{"E1", "E2", "E3", "E4"}));
  EXPECT_EQ(Column(*s->grid(), 7), (std::vector<std::string>{"COCINA", "COCINA", "COCINA", "BAR"}));
  s->UserClick(qz::COPY_EMP::kInactivos);
  EXPECT_EQ(Column(*s->grid(), 1), std::vector<std::string>{"E3"});
  s->tree()->Click(s->tree()->Find(qztest::Biz("D2")));
  EXPECT_EQ(s->grid()->RowCount(), 0);
  s->UserClick(qz::COPY_EMP::kActivos);
  EXPECT_EQ(Column(*s->grid(), 1), std::vector<std::string>{"E4"});
  s->tree()->Click(s->tree()->Find(qztest::Biz("D1")));
  EXPECT_EQ(Column(*s->grid(), 1), (std::vector<std::string>{"E1", "E2"}));
  s->UserClick(qz::COPY_EMP::kTodos);
  ASSERT_TRUE(s->grid()->ClickHeader(2).ok());  // by name
  EXPECT_EQ(Column(*s->grid(), 2), (std::vector<std::string>{"ANA MORA", "EVA ROJAS", "LUIS SOLIS"}));
  // The top of the tree is the whole hotel again.
  s->tree()->Click(s->tree()->root()->children.front().get());
  EXPECT_EQ(s->grid()->RowCount(), 4);
  const qz::ControlState* hotels = s->Control(qz::COPY_EMP::kNegocio);
  ASSERT_EQ(hotels->entries.size(), 1u);
  EXPECT_EQ(hotels->entries[0].text, "HOTEL PLAYA");
  ASSERT_TRUE(s->UserChoose(qz::COPY_EMP::kNegocio, "HOTEL PLAYA"));
  ASSERT_EQ(s->Control(qz::COPY_EMP::kDepto)->entries.size(), 1u);
  // Nothing marked: nothing to move.
  ui.TakeBoxTexts();
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::COPY_EMP::kNoEmployees});
}

TEST_F(EmployeeMoveTest, TwoEmployeesMoveWithValuesLoanAndHistoryAndTheSharedDateIsCopiedOnce) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1", "E2"});
  ui.OnDialog("B_COLS", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.title(), "Definición de Columnas");
    qz::WBLISTBOX& g = *d.Grid(qz::B_COLS::kGrid);
    EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"01", "02", "03", "04", "07", "09"}));
    EXPECT_EQ(Column(g, 2), (std::vector<std::string>{"01", "02", "", "04", "07", "09"}));
    EXPECT_EQ(Column(g, 3)[0], "SALARIO PLAYA");
    EXPECT_EQ(Column(g, 4), (std::vector<std::string>{
                                "", "", "La columna no existe",
                                "La columna no existe en el departamento destino", "",
                                "Las columnas no concuerdan en el tipo"}));
    d.UserPress(1);
  });
  ui.TakeBoxTexts();
  s->UserPress(qz::COPY_EMP::kTrasladar);
  const std::vector<std::string> boxes = ui.TakeBoxTexts();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], qz::B_COLS::DropQuestion({"03", "04"}));
  EXPECT_EQ(boxes[1], "Fin de Proceso");
  ExpectMovedOnce();
  // Kept columns under their new code, the kind mismatch included; 03 and 04
  // dropped; the playa kitchen's 06 added at 0, but not 05 (unknown at the
  // central) nor 08 (a column that may repeat).
  EXPECT_EQ(Texts("DET_PERS", {{"NEGOCIO", "HP"}, {"CODIGO", "TR-E1"}}, "COD_COLUMN"),
            (std::vector<std::string>{"01", "02", "07", "09", "06"}));
  EXPECT_EQ(Numbers("DET_PERS", {{"CODIGO", "TR-E1"}, {"COD_COLUMN", "01"}}, "VALOR_1"),
            std::vector<double>{120000});
  EXPECT_EQ(Count("DET_PERS", {{"NEGOCIO", "HP"}, {"CODIGO", "TR-E2"}}), 5u);
  EXPECT_EQ(Count("DET_PERS", {{"NEGOCIO", "HC"}, {"CODIGO", "E1"}}), 0u);
  // The hourly cost follows the playa's definitions: 120,000 / 30 / 8 x 1.5.
  EXPECT_EQ(Numbers("DET_PERS", {{"CODIGO", "TR-E1"}, {"COD_COLUMN", "02"}}, "FACTOR"),
            std::vector<double>{750});
  bool employee_shown = false, date_shown = false;
  for (const std::string& w : ui.wait_texts()) {
    employee_shown = employee_shown || w == "Procesando :E1";
    date_shown = date_shown || w == "Historico: 15/01/26";
  }
  EXPECT_TRUE(employee_shown);
  EXPECT_TRUE(date_shown);
  // The list no longer shows them, and nothing is marked.
  EXPECT_EQ(Column(*s->grid(), 1), (std::vector<std::string>{"E3", "E4"}));
  EXPECT_EQ(Column(*s->grid(), 0), (std::vector<std::string>{"", ""}));
  ExpectTablesSound();

  // What the clerk does next: the playa's own screens show the newcomers.
  desktop.CloseAll();
  qz::COPY_EMP* playa = Open(kMoveTarget);
  ASSERT_NE(playa, nullptr);
  EXPECT_EQ(Column(*playa->grid(), 1), (std::vector<std::string>{"TR-E1", "TR-E2"}));
  EXPECT_EQ(Column(*playa->grid(), 7), (std::vector<std::string>{"COCINA PLAYA", "COCINA PLAYA"}));
  desktop.CloseAll();
  Create("TMP_HPER");
  auto* init = qz::OpenScreen<qz::INIT_PLA>(desktop, "INIT_PLA", kMoveTarget);
  ASSERT_NE(init, nullptr);
  init->tree()->Click(init->tree()->Find(qztest::Biz("K1")));
  EXPECT_EQ(Column(*init->grid(), 0), (std::vector<std::string>{"TR-E1", "TR-E2"}));
}

TEST_F(EmployeeMoveTest, ATargetDepartmentDeletedWhileTheMappingIsOpenStopsTheMove) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1", "E2"});
  ui.OnDialog("B_COLS", [&](qz::WDIAG& d) {
    // Another workstation deletes the playa's kitchen meanwhile.
    auto t = xb::Table::Open(file("ENC_DEPT.DBF"));
    ASSERT_TRUE(t.ok());
    for (uint32_t r : Rows("ENC_DEPT", {{"NEGOCIO", "HP"}, {"CODIGO", "K1"}})) {
      ASSERT_TRUE((*t)->GoTo(r).ok());
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Delete().ok());
      (*t)->UnlockAll();
    }
    d.UserPress(1);
  });
  ui.TakeBoxTexts();
  s->UserPress(qz::COPY_EMP::kTrasladar);
  const std::vector<std::string> boxes = ui.TakeBoxTexts();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), qz::kTargetDepartmentGone);
  ExpectNothingMoved();
  // The choice of departments is the playa's as it is now.
  for (const auto& e : s->Control(qz::COPY_EMP::kDepto)->entries) EXPECT_NE(e.text, "COCINA PLAYA");
}

TEST_F(EmployeeMoveTest, CancellingTheMappingOrTheDropQuestionLosesNothing) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1"});
  ui.OnDialog("B_COLS", [&](qz::WDIAG& d) { d.UserPress(2); });
  s->UserPress(qz::COPY_EMP::kTrasladar);
  ExpectNothingMoved();
  // "No" to the question keeps the mapping open; then "&Cancelar".
  ui.OnDialog("B_COLS", [&](qz::WDIAG& d) {
    ui.AnswerNext(2);
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  ui.TakeBoxTexts();
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::B_COLS::DropQuestion({"03", "04"})});
  ExpectNothingMoved();
  EXPECT_TRUE(s->Marked("E1"));
}

TEST_F(EmployeeMoveTest, RetargetedColumnsAreCheckedAgainAndMayNotShareATarget) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1"});
  ui.OnDialog("B_COLS", [&](qz::WDIAG& d) {
    qz::WBLISTBOX& g = *d.Grid(qz::B_COLS::kGrid);
    ASSERT_TRUE(g.EditCell(2, qz::B_COLS::kDestinoColumn, "zz"));  // 03 -> a code nobody has
    EXPECT_EQ(qz::TrimRight(g.Cell(2, 2)), "ZZ");
    EXPECT_EQ(qz::TrimRight(g.Cell(2, 3)), "");
    EXPECT_EQ(qz::TrimRight(g.Cell(2, 4)), "La columna no existe");
    ASSERT_TRUE(g.EditCell(2, qz::B_COLS::kDestinoColumn, "01"));  // 03 -> 01, as 01 is
    EXPECT_EQ(qz::TrimRight(g.Cell(2, 4)), "");
    ui.TakeBoxTexts();
    d.UserPress(1);
    EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::B_COLS::SharedText("01")});
    ASSERT_TRUE(g.EditCell(2, qz::B_COLS::kDestinoColumn, "06"));  // tips become holidays
    EXPECT_EQ(qz::TrimRight(g.Cell(2, 3)), "FERIADOS PLAYA");
    ASSERT_TRUE(g.EditCell(3, qz::B_COLS::kDestinoColumn, "05"));  // travel becomes the bonus
    d.UserPress(1);
  });
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  // Nothing dropped: no question. One row per column: 06 came from 03.
  EXPECT_EQ(Numbers("DET_PERS", {{"CODIGO", "TR-E1"}, {"COD_COLUMN", "06"}}, "VALOR_1"),
            std::vector<double>{5});
  EXPECT_EQ(Numbers("DET_PERS", {{"CODIGO", "TR-E1"}, {"COD_COLUMN", "05"}}, "VALOR_1"),
            std::vector<double>{7});
  EXPECT_EQ(Count("DET_PERS", {{"NEGOCIO", "HP"}, {"CODIGO", "TR-E1"}}), 6u);
}

TEST_F(EmployeeMoveTest, CodesThatWouldCollideOrAMissingCounterStopTheMoveBeforeItStarts) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1", "E2"}, "SUCURSALPLAYA01X");
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_EQ(ui.boxes().back().text,
            "Los empleados E1 y E2 tendrían el mismo código nuevo: SUCURSALPLAYA01");
  qztest::AddRows(bases, "ENC_PERS", {{{"NEGOCIO", C(kMoveTarget)}, {"CODIGO", C("TR-E2")}}});
  s->UserType(qz::COPY_EMP::kPrefijo, "TR");
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_EQ(ui.boxes().back().text, "El código TR-E2 ya existe en el negocio destino");
  s->Mark("E2", false);
  // The playa numbers payments with a counter it does not have.
  {
    auto t = xb::Table::Open(file("CONCEPTD.DBF"));
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(2).ok() && (*t)->LockRecord().ok());
    ASSERT_TRUE((*t)->Put("SERIAL", C("ABONO2")).ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  AcceptMapping();
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_NE(ui.boxes().back().text.find("\"ABONO2\""), std::string::npos) << ui.boxes().back().text;
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Count("ENC_PERS", {{"NEGOCIO", "HC"}}), 4u);
  EXPECT_EQ(Count("DET_PERS", {{"NEGOCIO", "HP"}}), 0u);
}

TEST_F(EmployeeMoveTest, ARowHeldByAnotherUserUndoesTheWholeMoveAndTheRetryMovesEachRowOnce) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1", "E2"});
  {
    // E2's last column value of 31/01: the move's very last history row.
    auto other = xb::Table::Open(file("H_D_PERS.DBF"));
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE((*other)->LockRecord(8).ok());
    AcceptMapping();
    s->UserPress(qz::COPY_EMP::kTrasladar);
    const auto& last = ui.boxes().back();
    EXPECT_EQ(last.title, "Error");
    EXPECT_NE(last.text.find("H_D_PERS"), std::string::npos) << last.text;
    EXPECT_NE(last.text.find("No se modificó ningún dato."), std::string::npos);
    ExpectNothingMoved();
    EXPECT_TRUE(s->Marked("E1") && s->Marked("E2"));
  }
  // The other user is gone: the same choice runs again.
  AcceptMapping();
  ui.TakeBoxTexts();
  s->UserPress(qz::COPY_EMP::kTrasladar);
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  ExpectMovedOnce();
  EXPECT_EQ(Count("DET_PERS", {{"NEGOCIO", "HP"}}), 10u);
  ExpectTablesSound();
}

TEST_F(EmployeeMoveTest, AnAppendRefusedInTheTargetUndoesTheWholeMove) {
  qz::COPY_EMP* s = Open();
  ASSERT_NE(s, nullptr);
  Prepare(*s, {"E1", "E2"});
  {
    auto other = xb::Table::Open(file("H_TIP_TR.DBF"));
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE((*other)->LockFile().ok());
    AcceptMapping();
    s->UserPress(qz::COPY_EMP::kTrasladar);
    EXPECT_NE(ui.boxes().back().text.find("H_TIP_TR"), std::string::npos)
        << ui.boxes().back().text;
  }
  ExpectNothingMoved();
  ExpectTablesSound();
}

}  // namespace
