// "Distribución de Gastos de Planilla": the screen's choices, its checks in
// the order the user meets them, the error window, and the workbook and
// listings a clean run produces.
#include "accounting/expense/export_c.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "lib/accounting/expense_output.h"
#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"
#include "support/expense_fixture.h"

namespace {

using qztest::AddRows;
using qztest::C;
using qztest::N;

using qz::EXPORT_C;
namespace fs = std::filesystem;

class ExportCTest : public qztest::ExpenseSession {
 protected:
  void SetUp() override {
    ExpenseSession::SetUp();
    // Today is 8/12/2026 (the test clock); nothing is opened yet.
    Employee("E1", "AYB", 1000, 50);
    Employee("E2", "AYB", 500);
    Employee("R1", "REC", 400);
    screen = qz::OpenScreen<EXPORT_C>(desktop, "EXPORT_C", qztest::kHotel);
    ASSERT_NE(screen, nullptr);
    screen->SetText(EXPORT_C::kArchivo, inst.root + "TEMP/gastos_p.xls");
  }
  std::vector<std::string> Departments() {
    std::vector<std::string> out;
    for (const auto& n : screen->tree()->root()->children.front()->children) out.push_back(n->cargo);
    return out;
  }
  void MarkAll() { ASSERT_TRUE(screen->UserPress(EXPORT_C::kMarcarTodos)); }
  std::vector<std::string> Workbooks() {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(inst.root + "TEMP"))
      if (e.path().extension() == ".xlsx") out.push_back(e.path().filename());
    return out;
  }
  EXPORT_C* screen = nullptr;
};

TEST_F(ExportCTest, TheTypeChoosesTheDepartmentsAndThePayDate) {
  EXPECT_EQ(screen->title(), "Archivo de Exportación para Contabilidad");
  EXPECT_EQ(screen->Text(EXPORT_C::kTipo), "Mensual");
  EXPECT_EQ(screen->Text(EXPORT_C::kFormaPago), "Pago Electrónico");
  EXPECT_EQ(screen->Text(EXPORT_C::kFecha), "08/12/26");
  EXPECT_EQ(screen->Text(EXPORT_C::kFechaEmision), "08/12/26");
  EXPECT_THAT(Departments(), ::testing::ElementsAre(qztest::Biz("AYB")));
  // The weekly type pays on Fridays: Tuesday 8/12 is paid on Friday 11/12.
  ASSERT_TRUE(screen->UserChoose(EXPORT_C::kTipo, "Semanal"));
  EXPECT_THAT(Departments(), ::testing::ElementsAre(qztest::Biz("REC")));
  EXPECT_EQ(screen->Text(EXPORT_C::kFechaEmision), "11/12/26");
}

TEST_F(ExportCTest, ChecksStopTheRunBeforeAnythingIsWritten) {
  screen->Procesar(true);
  EXPECT_THAT(ui.TakeBoxTexts(),
              ::testing::ElementsAre("Falta seleccionar departamento(s) para Procesar "));
  MarkAll();
  screen->Procesar(true);  // no currency chosen
  EXPECT_THAT(ui.TakeBoxTexts(), ::testing::ElementsAre("Falta seleccionar la moneda"));
  ASSERT_TRUE(screen->UserChoose(EXPORT_C::kMoneda, "Colones"));
  // A payroll already opened on the date stops; one earlier in the month
  // only asks, and "Cancelar" stops too.
  const auto date = [](int d) { return xb::Value::Date(xb::JulianFromYmd(2026, 12, d)); };
  AddRows(bases, "H_E_DEPT", {{{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C("AYB")}, {"FECHA", date(1)}}});
  ui.AnswerNext(2);
  screen->Procesar(true);
  EXPECT_THAT(ui.TakeBoxTexts(), ::testing::ElementsAre("La planilla del Depto AYB no corresponde "
                                                        "al periodo\r\n¿Desea Continuar?"));
  screen->UserType(EXPORT_C::kFecha, "01/12/26");
  screen->Procesar(true);
  EXPECT_THAT(ui.TakeBoxTexts(), ::testing::ElementsAre("La planilla del Depto AYB ya existe para "
                                                        "la fecha escogida"));
  EXPECT_TRUE(Workbooks().empty());
}

TEST_F(ExportCTest, ProblemsAreListedInTheErrorWindowAndNoWorkbookIsWritten) {
  AddRows(bases, "DET_DEP3", {Split("AYB", "CC-GONE", 0)});
  Update("ENC_DEPT", "CODIGO", "AYB", "CRED_RET", C(""));
  MarkAll();
  screen->UserChoose(EXPORT_C::kMoneda, "Colones");
  std::string shown;
  ui.OnDialog("V_ERROR_2", [&](qz::WDIAG& d) {
    shown = d.Text(500);
    d.UserPress(1);
  });
  EXPECT_EQ(screen->Procesar(true), "");
  EXPECT_THAT(shown, ::testing::HasSubstr("La liga contable crédito para la retención temporal es "
                                          "invalida para el departamento Alimentos y Bebidas"));
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_TRUE(Workbooks().empty());
}

TEST_F(ExportCTest, ACleanRunWritesTheWorkbookAndPrintsEitherListing) {
  MarkAll();
  screen->UserChoose(EXPORT_C::kMoneda, "Colones");
  screen->SetText(EXPORT_C::kRotulo, "Planilla de noviembre");
  const std::string path = screen->Procesar(true);
  EXPECT_EQ(path, inst.root + "TEMP/gastos_p.xlsx");
  EXPECT_THAT(ui.TakeBoxTexts(), ::testing::ElementsAre("Fin de Proceso"));
  EXPECT_THAT(Workbooks(), ::testing::ElementsAre("gastos_p.xlsx"));
  EXPECT_THAT(ui.wait_texts(), ::testing::Contains("Revisando Datos..."));
  EXPECT_THAT(ui.wait_texts(), ::testing::Contains("Calculando Datos de Empleados"));

  screen->Procesar(false);
  ASSERT_EQ(ui.previews().size(), 1u);
  const qz::PrintDocument& summary = ui.previews().back();
  EXPECT_EQ(summary.titles, (std::vector<std::string>{"Hotel Central S.A.", qz::kExpenseTitle,
                                                      "Planilla de noviembre"}));
  EXPECT_THAT(summary.PlainText(), ::testing::HasSubstr("División: 31 : Restaurante"));
  EXPECT_FALSE(summary.landscape);
  screen->UserClick(EXPORT_C::kDetallado);
  screen->Procesar(false);
  ASSERT_EQ(ui.previews().size(), 2u);
  EXPECT_TRUE(ui.previews().back().landscape);
  EXPECT_THAT(ui.previews().back().PlainText(), ::testing::HasSubstr("EMPLEADO E2"));
  // Cash: nobody of AYB is paid so, and the entry is empty but clean.
  screen->UserChoose(EXPORT_C::kFormaPago, "Efectivo");
  screen->Procesar(false);
  ASSERT_EQ(ui.previews().size(), 3u);
  EXPECT_THAT(ui.previews().back().PlainText(), ::testing::Not(::testing::HasSubstr("EMPLEADO")));
}

TEST_F(ExportCTest, RowsAnotherWorkstationHoldsAreReadAndAWorkbookThatCannotBeWrittenIsTold) {
  MarkAll();
  screen->UserChoose(EXPORT_C::kMoneda, "Colones");
  // Another workstation edits the employee and the parameters: the run
  // only reads them, so it neither waits nor asks.
  auto pers = xb::Table::Open(bases + "/ENC_PERS.DBF");
  auto plan = xb::Table::Open(bases + "/F_PLAN.DBF");
  ASSERT_TRUE(pers.ok() && plan.ok());
  ASSERT_TRUE((*pers)->LockRecord(1).ok());
  ASSERT_TRUE((*plan)->LockRecord(1).ok());
  EXPECT_EQ(screen->Procesar(true), inst.root + "TEMP/gastos_p.xlsx");
  EXPECT_THAT(ui.TakeBoxTexts(), ::testing::ElementsAre("Fin de Proceso"));
  // A folder that is not there: told, and no file (not even half of one).
  screen->SetText(EXPORT_C::kArchivo, inst.root + "NO_EXISTE/gastos_p.xls");
  EXPECT_EQ(screen->Procesar(true), "");
  const auto boxes = ui.TakeBoxTexts();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0], "Fin de Proceso");
  EXPECT_FALSE(fs::exists(inst.root + "NO_EXISTE"));
  EXPECT_THAT(Workbooks(), ::testing::ElementsAre("gastos_p.xlsx"));
}

TEST_F(ExportCTest, CancellingTheComputationStillListsWhatWasDone) {
  MarkAll();
  screen->UserChoose(EXPORT_C::kMoneda, "Colones");
  screen->UserClick(EXPORT_C::kDetallado);
  ui.CancelWaitAt(1);
  screen->Procesar(false);
  ASSERT_EQ(ui.previews().size(), 1u);
  const std::string text = ui.previews().back().PlainText();
  EXPECT_THAT(text, ::testing::HasSubstr("EMPLEADO E1"));
  EXPECT_THAT(text, ::testing::Not(::testing::HasSubstr("EMPLEADO E2")));
}

}  // namespace
