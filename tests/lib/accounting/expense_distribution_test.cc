// The expense distribution's computation: lines, accounts, splits, groups,
// balancing and the problems the validation lists.
#include "lib/accounting/expense_distribution.h"

#include <gmock/gmock.h>

#include "lib/accounting/expense_accounts.h"
#include "lib/accounting/expense_output.h"
#include "support/expense_fixture.h"

namespace {

using qztest::AddRows;
using qztest::C;
using qztest::N;

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ExpenseDistributionTest : public qztest::ExpenseSession {
 protected:
  qz::ExpenseRequest Request(std::vector<std::string> deptos = {"AYB"}) {
    qz::ExpenseRequest r;
    r.negocio = "HOTEL CENTRAL";
    r.deptos = std::move(deptos);
    r.moneda = "CR";
    r.fecha = kPayDate;
    return r;
  }
  static double Sum(const qz::ExpenseRun& run, const std::string& liga, const std::string& centro) {
    double s = 0;
    for (const auto& l : run.lines)
      if (l.liga == liga && l.centro == centro) s += l.monto;
    return s;
  }
  static std::vector<std::string> Texts(const std::vector<qz::ExpenseError>& errors) {
    std::vector<std::string> out;
    for (const auto& e : errors) out.push_back(e.text);
    return out;
  }
};

TEST(ExpenseAccounts, PrefixGoesWhereTheMaskSaysOrNowhere) {
  EXPECT_EQ(qz::AccountFromLink("5-01-XX-001    ", "     XX", "31        "), "5-01-31-001    ");
  EXPECT_EQ(qz::AccountFromLink("5-01-00-001    ", "     XXX", "31        "), "5-01-31 001    ");
  EXPECT_EQ(qz::AccountFromLink("5-01-00-001    ", "", "31"), "5-01-00-001    ");
  EXPECT_EQ(qz::OwnAccountForCentre("7-XXX-01", "4"), "7-4  -01");
  EXPECT_EQ(qz::OwnAccountWithoutCentre("XX7-01"), "7-01           ");
}

TEST_F(ExpenseDistributionTest, EveryAmountIsSplitAndTheEntryBalances) {
  Employee("E1", "AYB", 1000, 50);
  Employee("E2", "AYB", 500);
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(Request());
  ASSERT_TRUE(run.errors.empty()) << run.errors.front().text;
  EXPECT_EQ(run.empleados, 2);
  // Salary 1,500 on the expense link, 60/40, with the centre's prefix.
  EXPECT_DOUBLE_EQ(Sum(run, "SALARIO", "CC-REST"), 900);
  EXPECT_DOUBLE_EQ(Sum(run, "SALARIO", "CC-BAR"), 600);
  EXPECT_DOUBLE_EQ(Sum(run, "CCSS", "CC-REST") + Sum(run, "CCSS", "CC-BAR"), 150);
  EXPECT_DOUBLE_EQ(Sum(run, "PREST", "CC-REST") + Sum(run, "PREST", "CC-BAR"), 50);
  // Net: 1,000 - 100 - 50 and 500 - 50, paid electronically on the payable link.
  EXPECT_DOUBLE_EQ(run.a_pagar, 1300);
  EXPECT_DOUBLE_EQ(Sum(run, "PAGAR", "CC-REST") + Sum(run, "PAGAR", "CC-BAR"), 1300);
  for (const auto& l : run.lines) {
    if (l.liga == "SALARIO") {
      EXPECT_EQ(l.cuenta, l.centro == "CC-REST" ? "5-01-31-001    " : "5-01-32-001    ");
    }
  }
  const qz::GroupSums s = qz::SumGroup(run.lines, qz::kGrupoPagar);
  EXPECT_DOUBLE_EQ(s.debitos, 1500);
  EXPECT_DOUBLE_EQ(s.creditos, 1500);
  // Centres in first-use order: the department's split in its tag's order.
  ASSERT_EQ(run.centres.size(), 2u);
  EXPECT_EQ(run.centres[0].codigo, "CC-BAR");
  EXPECT_EQ(run.centres[0].prefijo, "32");
  // The summary: one row per link and centre, centre by centre.
  std::vector<std::string> rows;
  for (const auto& r : qz::SummarizeExpenses(run))
    rows.push_back(r.centro + " " + r.descripcion + " " + qz::ExpenseAmountText(r.debito) + "/" +
                   qz::ExpenseAmountText(r.credito));
  EXPECT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], "CC-BAR CCSS por pagar           0.00/         60.00");
  EXPECT_TRUE(qz::ValidateExpenseDistribution(Request()).empty());
}

TEST_F(ExpenseDistributionTest, OnlyTheChosenPaymentMethodAndTheIncludedEmployees) {
  const auto date = [](int y, int m, int d) { return xb::Value::Date(xb::JulianFromYmd(y, m, d)); };
  Employee("E1", "AYB", 1000);
  Employee("CASH", "AYB", 700, 0, {{"TIPO_PAGO", N(0)}});
  Employee("LATE", "AYB", 900, 0, {{"F_INGRESO", date(2026, 12, 1)}});
  // Retired after the last payroll and by the pay date: still paid; an
  // immediate retirement is not.
  Employee("GONE", "AYB", 300, 0, {{"ACTIVO", N(0)}, {"F_RETIRO", date(2026, 11, 20)}});
  Employee("NOW", "AYB", 300, 0,
           {{"ACTIVO", N(0)}, {"F_RETIRO", date(2026, 11, 20)}, {"INMEDIATO", N(1)}});
  for (const char* e : {"GONE", "NOW"})
    AddRows(bases, "H_E_PERS", {{{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C(e)}, {"DEPTO", C("AYB")},
                                 {"FECHA", date(2026, 10, 31)}}});
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(Request());
  EXPECT_EQ(run.empleados, 2);  // E1 and GONE
  EXPECT_DOUBLE_EQ(run.a_pagar, 900 + 270);
  qz::ExpenseRequest cash = Request();
  cash.forma_pago = qz::kPagoEfectivo;
  EXPECT_DOUBLE_EQ(qz::ComputeExpenseDistribution(cash).a_pagar, 630);
}

TEST_F(ExpenseDistributionTest, ChequesAreBookedOnTheBankAccountsLink) {
  Employee("E1", "AYB", 1000, 0,
           {{"TIPO_PAGO", N(2)}, {"BANCO", C("01")}, {"CUENTA", C("100-01")}});
  Employee("E2", "AYB", 500, 0, {{"TIPO_PAGO", N(2)}, {"BANCO", C("09")}, {"CUENTA", C("X")}});
  qz::ExpenseRequest r = Request();
  r.forma_pago = qz::kPagoChequeIndividual;
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(r);
  EXPECT_DOUBLE_EQ(Sum(run, "BANCO", "CC-REST") + Sum(run, "BANCO", "CC-BAR"), 900);
  for (const auto& l : run.lines) {
    if (l.liga == "BANCO") {
      EXPECT_EQ(l.modulo, "04");
    }
  }
  EXPECT_THAT(Texts(run.errors),
              ElementsAre("La liga contable de la cuenta bancaria 09 X no es válida para el "
                          "empleado EMPLEADO E2"));
}

TEST_F(ExpenseDistributionTest, ZeroAndNegativeNetsHaveGroupsOfTheirOwn) {
  Employee("ZERO", "AYB", 1000, 900);  // 1,000 - 100 - 900
  Employee("OWES", "AYB", 1000, 1200, {{"RET_ACUM", N(10)}});
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(Request());
  ASSERT_TRUE(run.errors.empty()) << run.errors.front().text;
  EXPECT_TRUE(run.neto_cero);
  EXPECT_DOUBLE_EQ(run.a_pagar, 0);
  EXPECT_DOUBLE_EQ(run.retenido, 310);  // 100 + 1,200 + 10 - 1,000
  for (const auto& l : run.lines)
    EXPECT_EQ(l.grupo, l.empleado == "ZERO" ? qz::kGrupoNetoCero : qz::kGrupoRetencion) << l.liga;
  EXPECT_DOUBLE_EQ(Sum(run, "RETDB", "CC-REST") + Sum(run, "RETDB", "CC-BAR"), 310);
  EXPECT_DOUBLE_EQ(Sum(run, "RETCR", "CC-REST") + Sum(run, "RETCR", "CC-BAR"), 10);
  for (int g : {qz::kGrupoRetencion, qz::kGrupoNetoCero}) {
    const qz::GroupSums s = qz::SumGroup(run.lines, g);
    EXPECT_DOUBLE_EQ(s.debitos, s.creditos) << g;
  }
}

TEST_F(ExpenseDistributionTest, HalfAColonIsAbsorbedButMoreThanOneIsReported) {
  // The salary follows the employee's own 100 % split; the rest the
  // department's, which lists 99.95 % (0.50 of 1,000 left over), then
  // 99.899 % (1.01).
  Employee("E1", "AYB", 1000);
  AddRows(bases, "DET_PER3", {{{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C("E1")},
                               {"COD_COLUMN", C("01")}, {"COD_CENTRO", C("CC-REST")},
                               {"PORCENTAJE", N(100)}}});
  Update("DET_PERS", "COD_COLUMN", "01", "CENTRO_IND", N(1));
  auto set_split = [&](double rest, double bar) {
    Update("DET_DEP3", "COD_CENTRO", "CC-REST", "PORCENTAJE", N(rest));
    Update("DET_DEP3", "COD_CENTRO", "CC-BAR", "PORCENTAJE", N(bar));
  };
  set_split(59.95, 40);
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(Request());
  qz::GroupSums s = qz::SumGroup(run.lines, qz::kGrupoPagar);
  EXPECT_DOUBLE_EQ(s.debitos, 999.50);  // the salary line gave up the half colon
  EXPECT_DOUBLE_EQ(s.creditos, 999.50);
  EXPECT_TRUE(qz::ValidateExpenseDistribution(Request()).empty());

  set_split(59.899, 40);
  run = qz::ComputeExpenseDistribution(Request());
  s = qz::SumGroup(run.lines, qz::kGrupoPagar);
  EXPECT_DOUBLE_EQ(s.debitos, 1000);
  EXPECT_DOUBLE_EQ(s.creditos, 998.99);
  EXPECT_THAT(Texts(qz::ValidateExpenseDistribution(Request())),
              ElementsAre("Los Débitos      1,000.00 y Créditos         998.99 , no concuerdan.\r\n"
                          "Monto a girar        900.00"));
}

TEST(ExpenseBalance, OnlyTheFirstEligibleLineOfTheGroupMoves) {
  auto line = [](int g, const char* liga, bool debit, double m) {
    qz::ExpenseLine l;
    l.grupo = g, l.liga = liga, l.debito = debit, l.monto = m;
    return l;
  };
  std::vector<qz::ExpenseLine> lines = {line(0, "Z", true, 100), line(0, "A", true, 50.5),
                                        line(0, "P", false, 150), line(2, "Q", true, 10),
                                        line(2, "B", false, 9.5), line(2, "C", false, 0.2)};
  EXPECT_TRUE(qz::BalanceGroup(lines, 0));
  EXPECT_DOUBLE_EQ(lines[1].monto, 50);  // link A comes first
  EXPECT_DOUBLE_EQ(lines[0].monto, 100);
  EXPECT_TRUE(qz::BalanceGroup(lines, 2));
  EXPECT_DOUBLE_EQ(lines[4].monto, 9.8);  // the zero-net group raises its first credit
  EXPECT_FALSE(qz::BalanceGroup(lines, 0));  // balanced now: nothing moves
  lines.push_back(line(1, "R", true, 101.01));
  lines.push_back(line(1, "S", false, 100));
  EXPECT_FALSE(qz::BalanceGroup(lines, 1));
  EXPECT_DOUBLE_EQ(lines[6].monto, 101.01);
}

TEST_F(ExpenseDistributionTest, BadDefinitionsAreListedAndNothingIsWritten) {
  Employee("E1", "AYB", 1000);
  Employee("E2", "AYB", 800, 0, {{"DIST_COST", C("0009")}});
  Employee("E3", "AYB", 600, 0, {{"DIST_COST", C("0001")}});
  // E2's table does not exist (its split sums 0); E3's names a centre that
  // is gone; the social security column has no link.
  AddRows(bases, "D_COSTO", {{{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C("0001")},
                              {"COD_CENTRO", C("CC-OLD")}, {"PORCENTAJE", N(100)}}});
  Update("DET_DEPT", "COD_COLUMN", "20", "LIGA_CONTA", C("NOEXISTE"));
  const auto errors = qz::ValidateExpenseDistribution(Request());
  const auto texts = Texts(errors);
  EXPECT_THAT(texts, ::testing::Contains(
                         "La liga contable definida en el departamento Alimentos y Bebidas para "
                         "la columna CCSS Trabajador  no es válida"));
  EXPECT_THAT(texts, ::testing::Contains("La distribución por centros de costo suma 0 para la "
                                         "columna Salario Base del empleado EMPLEADO E2"));
  EXPECT_THAT(texts, ::testing::Contains("El centro de costo CC-OLD no existe (empleado EMPLEADO "
                                         "E3, columna Salario Base)"));
  for (const auto& e : errors) {
    if (e.text.find("CC-OLD") == std::string::npos) continue;
    EXPECT_EQ(e.empleado, "E3");
    EXPECT_EQ(e.columna, e.text.find("Salario") != std::string::npos ? "01" : e.columna);
  }
  // A run with problems leaves no workbook behind.
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(Request());
  ASSERT_FALSE(run.errors.empty());
  EXPECT_EQ(qz::WriteExpenseWorkbook(run, inst.root + "TEMP/gastos.xlsx", {"x"}), "");
  EXPECT_FALSE(std::filesystem::exists(inst.root + "TEMP/gastos.xlsx"));
}

TEST_F(ExpenseDistributionTest, AnotherCurrencyNeedsItsRate) {
  Employee("E1", "AYB", 1000);
  qz::ExpenseRequest r = Request();
  r.moneda = "US";
  EXPECT_THAT(Texts(qz::ValidateExpenseDistribution(r)),
              ::testing::Contains("No existe el tipo de cambio de CR a US para el empleado "
                                  "EMPLEADO E1 en la columna Salario Base"));
  // One dollar is worth 500 colones (today's rate).
  AddRows(bases, "T_CAMBIO", {{{"NEGOCIO", C(qztest::kHotel)}, {"MONEDA1", C("US")},
                               {"MONEDA2", C("CR")}, {"FECHA", xb::Value::Date(xb::JulianFromYmd(2026, 12, 1))},
                               {"LIMITE", xb::Value::Date(xb::JulianFromYmd(2090, 1, 1))},
                               {"CAMBIO", N(500)}}});
  qz::ExpenseRun run = qz::ComputeExpenseDistribution(r);
  ASSERT_TRUE(run.errors.empty()) << run.errors.front().text;
  EXPECT_DOUBLE_EQ(Sum(run, "SALARIO", "CC-REST") + Sum(run, "SALARIO", "CC-BAR"), 2);
  EXPECT_DOUBLE_EQ(run.a_pagar, 1.8);
}

}  // namespace
