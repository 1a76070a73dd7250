// What the expense distribution hands over: the workbook, read back by an
// independent reader, agrees cell by cell with the printed summary; the
// detailed listing and the checks before a run; and a demo installation's
// payroll distributes without a problem.
#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "lib/accounting/expense_checks.h"
#include "lib/accounting/expense_distribution.h"
#include "lib/accounting/expense_output.h"
#include "lib/data/use.h"
#include "lib/payroll/dates.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/demo_copy.h"
#include "support/expense_fixture.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

using qztest::AddRows;
using qztest::C;
using qztest::N;

namespace fs = std::filesystem;
using json = nlohmann::json;

json ReadBack(const std::string& path) {
  const std::string out = path + ".json";
  std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  std::string cmd = python + " " + std::string(QZ_SOURCE_DIR) +
                    "/tests/lib/workbook/read_workbook.py '" + path + "' > '" + out + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  std::ifstream in(out);
  json j = json::parse(in, nullptr, false);
  fs::remove(out);
  return j;
}

// The amount printed on `line` ending at column `end`, as a number.
double PrintedAmount(const std::string& line, size_t end) {
  if (line.size() < end) return 0;
  std::string s = line.substr(end - 14, 14);
  s.erase(std::remove(s.begin(), s.end(), ','), s.end());
  return s.find_first_not_of(' ') == std::string::npos ? 0 : std::stod(s);
}

class ExpenseOutputTest : public qztest::ExpenseSession {
 protected:
  qz::ExpenseRun Run() {
    qz::ExpenseRequest r;
    r.negocio = "HOTEL CENTRAL";
    r.deptos = {"AYB", "REC"};
    r.moneda = "CR";
    r.fecha = kPayDate;
    return qz::ComputeExpenseDistribution(r);
  }
};

TEST_F(ExpenseOutputTest, TheWorkbookSaysWhatTheSummaryPrints) {
  Employee("E1", "AYB", 1000, 50);
  Employee("E2", "REC", 750.25);
  const qz::ExpenseRun run = Run();
  ASSERT_TRUE(run.errors.empty());
  const auto titles = qz::ExpenseTitles("Hotel Central S.A.", "Noviembre");
  const qz::PrintDocument doc = qz::ExpenseSummaryDocument(run, titles);
  const std::string text = doc.PlainText();
  EXPECT_THAT(text, ::testing::HasSubstr("División: 31 : Restaurante"));
  EXPECT_THAT(text, ::testing::HasSubstr("División: 20 : Recepción"));
  // The printed lines and totals, by account and centre.
  std::vector<std::tuple<std::string, double, double>> printed;
  double grand_debit = 0, grand_credit = 0;
  for (int p = 0; p < static_cast<int>(doc.pages.size()); ++p)
    for (const std::string& line : doc.PageLines(p)) {
      if (line.rfind("5-", 0) == 0 || line.rfind("2-", 0) == 0 || line.rfind("1-", 0) == 0)
        printed.emplace_back(line.substr(0, 15), PrintedAmount(line, 80), PrintedAmount(line, 95));
      if (line.find("Gran Total") != std::string::npos) {
        grand_debit = PrintedAmount(line, 80);
        grand_credit = PrintedAmount(line, 95);
      }
    }
  EXPECT_DOUBLE_EQ(grand_debit, 1750.25);
  EXPECT_DOUBLE_EQ(grand_credit, 1750.25);

  const std::string path = qz::WriteExpenseWorkbook(run, inst.root + "TEMP/gastos_p.xls", titles);
  ASSERT_EQ(path, inst.root + "TEMP/gastos_p.xlsx");
  const json wb = ReadBack(path);
  ASSERT_EQ(wb["sheets"].size(), 1u);
  const json& cells = wb["sheets"][0]["cells"];
  // Title block above, the headings on sheet row 10 and the data under them.
  EXPECT_THAT(cells["A4"]["value"].get<std::string>(),
              ::testing::EndsWith("Distribución de Gastos de Planilla"));
  EXPECT_EQ(cells["A10"]["value"], "División");
  EXPECT_EQ(cells["D10"]["value"], "Débito");
  size_t row = 11;
  for (const auto& [cuenta, debit, credit] : printed) {
    const std::string r = std::to_string(row++);
    EXPECT_EQ(cells["B" + r]["value"].get<std::string>(), cuenta) << r;
    EXPECT_DOUBLE_EQ(cells["D" + r]["value"].get<double>(), debit) << r;
    EXPECT_DOUBLE_EQ(cells["E" + r]["value"].get<double>(), credit) << r;
    EXPECT_EQ(cells["D" + r]["format"], "#,##0.00");
  }
  EXPECT_EQ(printed.size(), qz::SummarizeExpenses(run).size());
  const std::string total = std::to_string(row);
  EXPECT_EQ(cells["C" + total]["value"], "Gran Total");
  EXPECT_DOUBLE_EQ(cells["D" + total]["value"].get<double>(), grand_debit);
  EXPECT_DOUBLE_EQ(cells["E" + total]["value"].get<double>(), grand_credit);
  // A second file never overwrites the first.
  EXPECT_EQ(qz::WriteExpenseWorkbook(run, inst.root + "TEMP/gastos_p.xls", titles),
            inst.root + "TEMP/gastos_p (2).xlsx");
}

TEST_F(ExpenseOutputTest, TheDetailListsEachEmployeesLinesPerCentre) {
  Employee("E1", "AYB", 1000);
  Employee("E2", "AYB", 500);
  const qz::PrintDocument doc =
      qz::ExpenseDetailDocument(Run(), qz::ExpenseTitles("Hotel Central S.A.", ""));
  EXPECT_TRUE(doc.landscape);
  const std::vector<std::string> lines = doc.PageLines(0);
  int salary_lines = 0;
  for (const std::string& l : lines)
    if (l.rfind("5-01-31-001", 0) == 0) {
      ++salary_lines;
      EXPECT_EQ(l.substr(16, 17), "Gasto de salarios");
      EXPECT_EQ(l.substr(58, 9), "EMPLEADO ");
    }
  EXPECT_EQ(salary_lines, 2);
  EXPECT_THAT(doc.PlainText(), ::testing::HasSubstr("Total por Division"));
}

TEST_F(ExpenseOutputTest, ChecksBeforeTheRun) {
  qz::PayrollType weekly;
  weekly.tipo = 1;
  weekly.dia_pago = 6;  // Friday
  EXPECT_EQ(qz::ExpensePayDate(weekly, 1, kPayDate), kPayDate + 4);  // Monday 30/11 -> Friday 4/12
  EXPECT_EQ(qz::ExpensePayDate(weekly, 0, kPayDate), kPayDate);
  const auto date = [](int y, int m, int d) { return xb::Value::Date(xb::JulianFromYmd(y, m, d)); };
  AddRows(bases, "H_E_DEPT", {{{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C("AYB")},
                               {"FECHA", date(2026, 12, 2)}},
                              {{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C("REC")},
                               {"FECHA", date(2026, 12, 1)}}});
  // AYB is monthly with one payroll a month: a second one is out of period;
  // REC is weekly and has one in the week of 4/12.
  qz::PeriodCheck c = qz::CheckExpensePeriod("HOTEL CENTRAL", {"AYB", "REC"}, kPayDate + 4);
  EXPECT_EQ(c.error, "");
  EXPECT_THAT(c.notes, ::testing::ElementsAre("La planilla del Depto AYB no corresponde al periodo",
                                              "La planilla del Depto REC no corresponde al periodo"));
  c = qz::CheckExpensePeriod("HOTEL CENTRAL", {"AYB", "REC"}, xb::JulianFromYmd(2026, 12, 1));
  EXPECT_EQ(c.error, "La planilla del Depto REC ya existe para la fecha escogida");

  // Debt columns to adjust, only when the payroll is linked to personnel.
  AddRows(bases, "ENC_TIP", {{{"NEGOCIO", C(qztest::kHotel)}, {"CODIGO", C("15")}, {"DEUDA", N(1)}}});
  AddRows(bases, "DET_DEPT", {Column("AYB", "03", "15", "PREST")});
  EXPECT_TRUE(qz::DepartmentsToAdjust("HOTEL CENTRAL", {"AYB"}, kPayDate).empty());
  Update("F_PLAN", "NEGOCIO", "HOTEL CENTRAL", "LIGAR_RH", N(1));
  EXPECT_THAT(qz::DepartmentsToAdjust("HOTEL CENTRAL", {"AYB", "REC"}, kPayDate),
              ::testing::ElementsAre("AYB"));
}

// The demo's hotels: every department of every payroll type distributes
// without a problem, and the payable group balances.
TEST(ExpenseDemo, TheDemoPayrollDistributesCleanly) {
  qztest::TempDir dir;
  const std::string root = dir.path() + "/demo/";
  const xb::Status made = qztest::CopyDemoInstallation(dir.path() + "/demo");
  ASSERT_TRUE(made.ok()) << made.ToString();
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  ASSERT_EQ(qz::StartDataLayer(root), qz::StartResult::kContinue);
  auto dept = xb::Table::Open(root + "BASES/ENC_DEPT.DBF");
  ASSERT_TRUE(dept.ok());
  std::map<std::string, std::vector<std::string>> by_business;
  for ((*dept)->GoTop(); !(*dept)->Eof(); (*dept)->Skip(1)) {
    by_business[(*dept)->Get("NEGOCIO")->str()].push_back((*dept)->Get("CODIGO")->str());
  }
  (*dept)->Close();
  ASSERT_FALSE(by_business.empty());
  int employees = 0;
  for (const auto& [negocio, deptos] : by_business) {
    qz::ExpenseRequest r;
    r.negocio = xb::ToUtf8(negocio);
    r.deptos = deptos;
    r.moneda = "CR";
    r.fecha = qz::Today();
    const auto errors = qz::ValidateExpenseDistribution(r);
    for (const auto& e : errors) ADD_FAILURE() << negocio << ": " << e.text;
    const qz::ExpenseRun run = qz::ComputeExpenseDistribution(r);
    employees += run.empleados;
    const qz::GroupSums s = qz::SumGroup(run.lines, qz::kGrupoPagar);
    EXPECT_DOUBLE_EQ(s.debitos, s.creditos) << negocio;
    EXPECT_GT(run.a_pagar, 0) << negocio;
  }
  EXPECT_GT(employees, 20);
}

}  // namespace
