// The department list's delete, duplicate and time-clock windows as a user
// meets them: what the confirmations say, what cancelling keeps, what a
// refused lock leaves behind, the duplicate's three refusals, and options
// that come back as they were saved.
#include "payroll/departments/department_ops.h"

#include <gtest/gtest.h>

#include "lib/ui/wdiag.h"
#include "support/department_fixture.h"

namespace {

using qztest::C;
using qztest::kCentral;
using qztest::N;

class DepartmentOpsTest : public qztest::DepartmentSession {
 protected:
  void SetUp() override {
    DepartmentSession::SetUp();
    Create("ENC_TIP", {{{"NEGOCIO", C(kCentral)}, {"CODIGO", C("SB")}, {"DESCRIP", C("Salario Base")}},
                       {{"NEGOCIO", C(kCentral)}, {"CODIGO", C("HX")}, {"DESCRIP", C("Horas Extra")}},
                       {{"NEGOCIO", C(kCentral)}, {"CODIGO", C("CS")}, {"DESCRIP", C("Seguro")}}});
  }

  void ExpectKitchenWhole() {
    EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 1);
    EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), 3);
    EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC"), 3);
    for (const char* e : {"E1", "E2", "E3"}) EXPECT_EQ(Count("DET_PERS", "CODIGO", e), 3) << e;
  }
};

TEST_F(DepartmentOpsTest, DeleteSaysWhatGoesAsksAgainForHistoryAndKeepsIt) {
  EXPECT_TRUE(qz::DEL_DTO(desktop, kCentral, "COC"));
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[0].title, "Advertencia");
  EXPECT_EQ(ui.boxes()[0].style, 33);
  EXPECT_EQ(ui.boxes()[0].text.rfind("Desea borrar el departamento?", 0), 0u);
  EXPECT_NE(ui.boxes()[0].text.find("3 empleados"), std::string::npos);
  EXPECT_NE(ui.boxes()[0].text.find("15 registros"), std::string::npos);
  EXPECT_EQ(ui.boxes()[1].style, 49);
  EXPECT_NE(ui.boxes()[1].text.find("2 planillas históricas"), std::string::npos);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 0);
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC"), 0);
  EXPECT_EQ(Count("DET_PERS", "CODIGO", "E2"), 0);
  EXPECT_EQ(HistoryCounts("COC"), (std::vector<int>{2, 6, 6, 2, 6, 6, 2, 2, 2, 2, 2}));
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "BAR"), 1);
  EXPECT_FALSE(ui.progress().empty());
}

TEST_F(DepartmentOpsTest, CancellingEitherQuestionChangesNothing) {
  ui.AnswerNext(2);
  EXPECT_FALSE(qz::DEL_DTO(desktop, kCentral, "COC"));
  EXPECT_EQ(ui.TakeBoxTexts().size(), 1u);
  ui.AnswerNext(1);
  ui.AnswerNext(2);
  EXPECT_FALSE(qz::DEL_DTO(desktop, kCentral, "COC"));
  EXPECT_EQ(ui.TakeBoxTexts().size(), 2u);
  ExpectKitchenWhole();
}

TEST_F(DepartmentOpsTest, ADepartmentWithoutEmployeesOrHistoryIsAskedOnce) {
  qztest::AddRows(bases, "ENC_DEPT", {{{"NEGOCIO", C(kCentral)}, {"CODIGO", C("NUEVO")}}});
  EXPECT_TRUE(qz::DEL_DTO(desktop, kCentral, "NUEVO"));
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Desea borrar el departamento?"});
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "NUEVO"), 0);
}

TEST_F(DepartmentOpsTest, ADeleteStoppedByAnotherUserNamesTheTableAndLeavesAllAsItWas) {
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(9).ok());  // the last kitchen employee's last value
  EXPECT_FALSE(qz::DEL_DTO(desktop, kCentral, "COC"));
  (*other)->UnlockAll();
  const auto& last = ui.boxes().back();
  EXPECT_EQ(last.title, "Error");
  EXPECT_NE(last.text.find("DET_PERS"), std::string::npos) << last.text;
  ExpectKitchenWhole();
  EXPECT_EQ(Count("DET_DEP2", "DEPTO", "COC"), 2);
  // The list's next delete works once the other user is gone.
  EXPECT_TRUE(qz::DEL_DTO(desktop, kCentral, "COC"));
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 0);
}

TEST_F(DepartmentOpsTest, DuplicateRefusesBadCodesThenCopiesTheLayoutOnce) {
  ui.OnDialog("DUP_PLAN", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.title(), "Duplicación de Departamentos");
    EXPECT_NE(d.Text(500).find("Cocina"), std::string::npos);
    d.UserPress(1);
    d.UserType(501, "bar");  // taken: codes are upper case
    d.UserPress(1);
    d.UserType(501, "coc2");
    d.UserType(502, "Cocina Dos");
    d.UserPress(1);
  });
  EXPECT_TRUE(qz::DUP_PLA(desktop, kCentral, "COC"));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Codigo de departamento invalido",
                                      "El código digitado para el departamento nuevo, ya existe "}));
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC2"), 1);
  EXPECT_EQ(Count("ENC_DEPT", "DESCRIP", "Cocina Dos"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC2"), 3);
  EXPECT_EQ(Count("DET_DEP2", "DEPTO", "COC2"), 2);
  EXPECT_EQ(Count("CONJ_COL", "DEPTO", "COC2"), 1);
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC2"), 0);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), 3);

  // The copy can be copied and deleted like any department.
  ui.OnDialog("DUP_PLAN", [&](qz::WDIAG& d) {
    d.UserType(501, "COC3");
    d.UserPress(1);
  });
  EXPECT_TRUE(qz::DUP_PLA(desktop, kCentral, "COC2"));
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC3"), 3);
  EXPECT_TRUE(qz::DEL_DTO(desktop, kCentral, "COC2"));
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC2"), 0);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC3"), 3);
}

TEST_F(DepartmentOpsTest, DuplicatingUnderTheCodeOfADeletedDepartmentAsksAboutItsPayrolls) {
  EXPECT_TRUE(qz::DEL_DTO(desktop, kCentral, "COC"));  // its two payrolls stay
  ui.TakeBoxTexts();
  const auto history = HistoryCounts("COC");
  auto type_coc = [&](qz::WDIAG& d) {
    d.UserType(501, "COC");
    d.UserPress(1);
  };
  ui.OnDialog("DUP_PLAN", [&](qz::WDIAG& d) {
    ui.AnswerNext(2);
    type_coc(d);
    d.UserPress(2);
  });
  const size_t shown = ui.boxes().size();
  EXPECT_FALSE(qz::DUP_PLA(desktop, kCentral, "BAR"));
  ASSERT_EQ(ui.boxes().size(), shown + 1);
  const auto& box = ui.boxes().back();
  EXPECT_EQ(box.title, "Advertencia");
  EXPECT_EQ(box.style, 33);
  EXPECT_NE(box.text.find("2 planillas históricas de un departamento borrado"), std::string::npos)
      << box.text;
  ui.TakeBoxTexts();
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 0);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), 0);

  // Recreating the department on purpose: the copy takes the code, the
  // payrolls stay as they were.
  ui.OnDialog("DUP_PLAN", type_coc);
  EXPECT_TRUE(qz::DUP_PLA(desktop, kCentral, "BAR"));
  EXPECT_EQ(ui.TakeBoxTexts().size(), 1u);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), Count("DET_DEPT", "DEPTO", "BAR"));
  EXPECT_EQ(HistoryCounts("COC"), history);
}

TEST_F(DepartmentOpsTest, DuplicateWithoutASourceSaysSoAndCancelWritesNothing) {
  ui.OnDialog("DUP_PLAN", [&](qz::WDIAG& d) {
    d.UserType(501, "OTRO");
    d.UserPress(1);
    d.UserPress(2);
  });
  EXPECT_FALSE(qz::DUP_PLA(desktop, kCentral, "NADA"));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Falta seleccionar departamento(s) para Procesar "});
  ui.OnDialog("DUP_PLAN", [&](qz::WDIAG& d) {
    d.UserType(501, "OTRO");
    d.UserPress(2);
  });
  EXPECT_FALSE(qz::DUP_PLA(desktop, kCentral, "COC"));
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "OTRO"), 0);
}

TEST_F(DepartmentOpsTest, TimeClockOptionsAreSavedAndComeBack) {
  // H_NOC names a column type deleted since: it must survive an accept.
  {
    auto t = xb::Table::Open(file("ENC_DEPT.DBF"));
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(1).ok());
    ASSERT_TRUE((*t)->LockRecord(1).ok());
    ASSERT_TRUE((*t)->Put("H_NOC", C("ZZ")).ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  ui.OnDialog("DEF_DEPTO_9", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.title(), "Opciones de Reloj Marcador");
    EXPECT_EQ(d.Control(603)->current, 2);  // H_EXTRA = HX: "(Ninguna)", CS, HX, SB
    EXPECT_EQ(d.Check(623), 1);
    EXPECT_EQ(d.Control(601)->current, 0);
    EXPECT_TRUE(d.UserChoose(601, "SB - Salario Base"));
    d.UserClick(621);
    d.UserClick(623);
    d.UserClick(640);
    d.UserPress(1);
  });
  EXPECT_TRUE(qz::DEF_DTO3(desktop, kCentral, "COC"));
  EXPECT_EQ(Count("ENC_DEPT", "H_TRABAJA", "SB"), 1);
  EXPECT_EQ(Count("ENC_DEPT", "H_NOC", "ZZ"), 1);
  ui.OnDialog("DEF_DEPTO_9", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Control(601)->current, 3);
    EXPECT_EQ(d.Check(621), 1);
    EXPECT_EQ(d.Check(623), 0);
    EXPECT_EQ(d.Check(640), 1);
    EXPECT_EQ(d.Check(641), 0);
    const qz::ControlState* noc = d.Control(609);
    ASSERT_GE(noc->current, 0);
    EXPECT_NE(noc->entries[noc->current].text.find("ZZ"), std::string::npos);
    d.UserPress(2);
  });
  EXPECT_FALSE(qz::DEF_DTO3(desktop, kCentral, "COC"));
  // The other departments' rows are not touched.
  EXPECT_EQ(Count("ENC_DEPT", "H_TRABAJA", "SB", qztest::kPlaya), 0);
}

}  // namespace
