// The debt-instalment adjustment: the check of the transactions' concepts
// that refuses before any change, the instalments of recurring and balance
// transactions (the last one charging only the balance), other currencies,
// inactive employees, and a run stopped half-way.
#include <gtest/gtest.h>

#include "lib/data/date_time.h"
#include "payroll/history/ajuste_c.h"
#include "processes_fixture.h"

namespace {

using qz::AJUSTE_C;
using qztest::C;
using qztest::kHc;
using qztest::N;
using qztest::Row;

class AjusteCTest : public qztest::ProcessSession {
 protected:
  void SetUp() override {
    ProcessSession::SetUp();
    // Column 10 takes recurring instalments (deduction concept 01 applies
    // to transaction concepts of type 1), column 11 balances (concept 02,
    // type 0) and is divided over the department's two payrolls a month.
    qztest::AddRows(bases, "ENC_TIP", {Debt("10", "01", 0), Debt("11", "02", 1)});
    Set("TIP_PLA", {{"CODIGO", "M"}}, "CANTIDAD", N(2));
    Set("ENC_DEPT", {}, "MONEDA", C("CR"));
    Create("CONCEPTD", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"APLICA", N(1)}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("02")}, {"APLICA", N(0)}}});
    Create("CONCEPTT", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("PR")}, {"TIPO", N(1)}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("SA")}, {"TIPO", N(0)}}});
    Create("DEUDORES", {Debtor("DE1", "E1"), Debtor("DE3", "E3"), Debtor("DE4", "E4")});
    Create("ENC_DDA", {Tx("DE1", "10", "T1", "PR", 0, 5000), Tx("DE1", "10", "T2", "PR", 0, 2000, 0),
                       Tx("DE1", "11", "T3", "SA", 3000, 8000), Tx("DE1", "11", "T4", "SA", 50000, 8000),
                       Tx("DE1", "11", "T5", "SA", 0, 8000), Tx("DE1", "10", "T6", "PR", 0, 10, 1, "US"),
                       Tx("DE3", "10", "T7", "PR", 0, 9000), Tx("DE4", "10", "T8", "PR", 0, 4000)});
    Create("T_CAMBIO", {{{"NEGOCIO", C(kHc)}, {"MONEDA1", C("US")}, {"MONEDA2", C("CR")},
                         {"FECHA", qztest::Day(2026, 1, 1)}, {"CAMBIO", N(500)}}});
    std::vector<Row> values;
    for (const char* e : {"E1", "E2", "E3", "E4"})
      for (const char* col : {"10", "11"}) values.push_back(Value(e, col, 999, 0));
    qztest::AddRows(bases, "DET_PERS", values);
  }
  static Row Debt(const std::string& code, const std::string& concepto, int dividir) {
    Row r = Type(code, "PRESTAMO " + code, 0, 0, 0);
    r["DEUDA"] = N(1);
    r["C_DEUDA"] = C(concepto);
    r["DIVIDIR"] = N(dividir);
    return r;
  }
  static Row Debtor(const std::string& code, const std::string& emp) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(code)}, {"EMPLEADO", C(emp)}};
  }
  static Row Tx(const std::string& deudor, const std::string& col, const std::string& code,
                const std::string& concepto, double saldo, double cuota, int activa = 1,
                const std::string& moneda = "CR") {
    return {{"NEGOCIO", C(kHc)},     {"DEUDOR", C(deudor)},  {"COLUMNA", C(col)},
            {"CODIGO", C(code)},     {"CONCEPTO", C(concepto)}, {"SALDO", N(saldo)},
            {"CUOTA", N(cuota)},     {"MONEDA", C(moneda)},  {"ACTIVA", N(activa)}};
  }
  AJUSTE_C* Run(const std::vector<std::string>& depts = {"D1", "D2"}) {
    auto* s = qz::OpenScreen<AJUSTE_C>(desktop, "AJUSTE_C", kHc);
    EXPECT_NE(s, nullptr);
    for (const auto& d : depts) Choose(*s->tree(), d);
    ui.Press(s, AJUSTE_C::kAjustar);
    return s;
  }
  std::string Stamp(const std::string& dept) {
    auto rows = Rows("ENC_DEPT", {{"CODIGO", dept}});
    auto t = xb::Table::Open(file("ENC_DEPT.DBF"));
    (*t)->GoTo(rows.front());
    auto v = (*t)->Get("F_AJUSTE");
    return qz::DateText(v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0);
  }
};

TEST_F(AjusteCTest, EachDebtColumnTakesTheInstalmentsOfItsTransactions) {
  Run({"D1"});
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(ui.wait_texts(),
            (std::vector<std::string>{"Revisando Datos...", "Procesando Datos..."}));
  // 5,000 active + 10 US at 500; the inactive T2 adds nothing.
  EXPECT_EQ(Valor("E1", "10"), 10000);
  // T3 owes 3,000 and one payroll's share of its instalment is 4,000: the
  // monthly value charges the balance on each of the two payrolls (6,000);
  // T4 its instalment; T5, paid off, nothing.
  EXPECT_EQ(Valor("E1", "11"), 14000);
  // No debtor, no instalment.
  EXPECT_EQ(Valor("E2", "10"), 0);
  EXPECT_EQ(Valor("E2", "11"), 0);
  // Inactive, or in a department not marked: as it was.
  EXPECT_EQ(Valor("E3", "10"), 999);
  EXPECT_EQ(Valor("E4", "10"), 999);
  EXPECT_EQ(Stamp("D1"), "08/12/26");
  EXPECT_EQ(Stamp("D2"), "        ");
  // The other columns are not debt columns.
  EXPECT_EQ(Valor("E1", "01"), 120000);
}

TEST_F(AjusteCTest, RunningAgainGivesTheSameValues) {
  Run();
  ui.TakeBoxTexts();
  ui.desktop().CloseAll();
  Run();
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Valor("E1", "10"), 10000);
  EXPECT_EQ(Valor("E1", "11"), 14000);
  EXPECT_EQ(Valor("E4", "10"), 4000);
  EXPECT_EQ(Stamp("D2"), "08/12/26");
}

TEST_F(AjusteCTest, ATransactionOfTheWrongConceptIsNamedAndNothingChanges) {
  Run({});
  // A balance transaction on the column of recurring instalments.
  qztest::AddRows(bases, "ENC_DDA", {Tx("DE1", "10", "T9", "SA", 100, 100)});
  ui.desktop().CloseAll();
  Run({"D1"});
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{
                AJUSTE_C::kNoDepartment,
                "El concepto de abono aplicar a la transacción : T9             es incorrecto"}));
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Valor("E1", "10"), 999);
  EXPECT_EQ(Valor("E1", "11"), 999);
  EXPECT_EQ(Stamp("D1"), "        ");
  // A concept that does not exist cannot apply either.
  Set("ENC_DDA", {{"CODIGO", "T9"}}, "CONCEPTO", C("PR"));
  Set("ENC_DDA", {{"CODIGO", "T4"}}, "CONCEPTO", C("XX"));
  ui.desktop().CloseAll();
  Run({"D1"});
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{
                "El concepto de abono aplicar a la transacción : T4             es incorrecto"});
  EXPECT_EQ(Valor("E1", "10"), 999);
}

TEST_F(AjusteCTest, AnEmployeeHeldElsewhereStopsTheAdjustmentWhole) {
  qztest::ScriptedErrorDialog errors;
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  const uint32_t held = Rows("DET_PERS", {{"CODIGO", "E2"}, {"COD_COLUMN", "10"}}).front();
  ASSERT_TRUE((*other)->LockRecord(held).ok());
  AJUSTE_C* s = Run({"D1"});
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Valor("E1", "10"), 999);  // written before E2, rolled back
  EXPECT_EQ(Stamp("D1"), "        ");
  (*other)->UnlockAll();
  ui.Press(s, AJUSTE_C::kAjustar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Valor("E1", "10"), 10000);
  EXPECT_EQ(Valor("E2", "10"), 0);
}

}  // namespace
