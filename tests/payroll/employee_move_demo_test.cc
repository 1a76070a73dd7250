// Moving employees on the demo installation, with its thirteen months of
// payrolls: a kitchen clerk with a loan and a colleague go from one hotel to
// another; every payroll date they were paid on is in the target once, the
// loan follows, the installation checks clean, and the target's screens
// show them.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "lib/install/catalog.h"
#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/cell_click.h"
#include "lib/ui/dialog_template.h"
#include "lib/payroll/employee_move.h"
#include "payroll/employee_move/copy_emp.h"
#include "support/demo_copy.h"
#include "support/demo_shell_session.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"
#include "xbase/table.h"

namespace {

class EmployeeMoveDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qztest::StartOnDemoCopy(dir, &root));
  }
  void TearDown() override {
    ui.desktop().CloseAll();
    for (const auto& p : ui.problems()) ADD_FAILURE() << p;
  }
  // Each row of `table` as its fields' trimmed texts.
  std::vector<std::map<std::string, std::string>> Rows(const std::string& table,
                                                       const std::vector<std::string>& fields) {
    std::vector<std::map<std::string, std::string>> out;
    auto t = xb::Table::Open(root + "BASES/" + table + ".DBF");
    EXPECT_TRUE(t.ok()) << table;
    if (!t.ok()) return out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Deleted()) continue;
      std::map<std::string, std::string> row;
      for (const auto& f : fields) {
        auto v = (*t)->Get(f);
        row[f] = v.ok() && v->type() == xb::Value::Type::kDate ? xb::DtosFromJulian(v->date())
                                                               : qz::Trim(qz::FieldText(**t, f));
      }
      out.push_back(row);
    }
    return out;
  }

  qztest::TempDir dir;
  qztest::FakeClock clock;
  std::string root;
  qz::HeadlessUi ui;
};

TEST_F(EmployeeMoveDemoTest, AClerkWithALoanAndAColleagueMoveWithTheirWholeHistory) {
  const std::string from = "HOTELSOL", to = "VOLCAN";
  // The first debtor of the hotel, and a colleague of the same department.
  std::string debtor, loan;
  for (const auto& d : Rows("ENC_DDA", {"NEGOCIO", "DEUDOR", "CODIGO"}))
    if (d.at("NEGOCIO") == from) {
      debtor = d.at("DEUDOR");
      loan = d.at("CODIGO");
      break;
    }
  ASSERT_FALSE(debtor.empty());
  std::string depto, colleague;
  const auto employees = Rows("ENC_PERS", {"NEGOCIO", "CODIGO", "DEPTO"});
  for (const auto& e : employees)
    if (e.at("NEGOCIO") == from && e.at("CODIGO") == debtor) depto = e.at("DEPTO");
  for (const auto& e : employees)
    if (e.at("NEGOCIO") == from && e.at("DEPTO") == depto && e.at("CODIGO") != debtor) {
      colleague = e.at("CODIGO");
      break;
    }
  ASSERT_FALSE(colleague.empty()) << debtor << " in " << depto;
  std::set<std::string> moved = {debtor, colleague};
  std::set<std::string> dates;
  size_t lines = 0;
  for (const auto& l : Rows("H_E_PERS", {"NEGOCIO", "CODIGO", "FECHA"}))
    if (l.at("NEGOCIO") == from && moved.count(l.at("CODIGO"))) {
      dates.insert(l.at("FECHA"));
      ++lines;
    }
  ASSERT_GE(dates.size(), 13u);
  size_t payments = 0;
  for (const auto& p : Rows("DET_DDA", {"NEGOCIO", "DEUDA"}))
    payments += p.at("NEGOCIO") == from && p.at("DEUDA") == loan;

  auto* s = qz::OpenScreen<qz::COPY_EMP>(ui.desktop(), "COPY_EMP", from);
  ASSERT_NE(s, nullptr);
  for (const std::string& e : moved) s->Mark(e);
  s->UserType(qz::COPY_EMP::kPrefijo, "SOL");
  const qz::ControlState* hotels = s->Control(qz::COPY_EMP::kNegocio);
  ASSERT_EQ(hotels->entries.size(), 2u);
  int target = -1;
  for (size_t i = 0; i < hotels->entries.size(); ++i)
    if (qz::TrimRight(hotels->entries[i].cargo) == to) target = static_cast<int>(i);
  ASSERT_GE(target, 0);
  ASSERT_TRUE(s->UserChooseIndex(qz::COPY_EMP::kNegocio, target));
  ASSERT_TRUE(s->UserChooseIndex(qz::COPY_EMP::kDepto, 0));
  const std::string target_depto =
      qz::TrimRight(s->Control(qz::COPY_EMP::kDepto)->entries[0].cargo);
  bool loan_column_kept = false;
  ui.OnDialog("B_COLS", [&](qz::WDIAG& d) {
    qz::WBLISTBOX& g = *d.Grid(700);
    for (int r = 0; r < g.RowCount(); ++r)
      if (qz::TrimRight(g.Cell(r, 0)) == "10")
        loan_column_kept = qz::TrimRight(g.Cell(r, 2)) == "10" && qz::TrimRight(g.Cell(r, 4)).empty();
    d.UserPress(1);
  });
  s->UserPress(qz::COPY_EMP::kTrasladar);
  ASSERT_EQ(ui.boxes().back().text, "Fin de Proceso");

  std::set<std::string> codes;
  for (const std::string& e : moved) codes.insert(qz::TrimRight(qz::NewEmployeeCode("SOL", e)));
  size_t found = 0;
  for (const auto& e : Rows("ENC_PERS", {"NEGOCIO", "CODIGO", "DEPTO"})) {
    EXPECT_FALSE(e.at("NEGOCIO") == from && moved.count(e.at("CODIGO")));
    if (e.at("NEGOCIO") == to && codes.count(e.at("CODIGO"))) {
      EXPECT_EQ(e.at("DEPTO"), target_depto);
      ++found;
    }
  }
  EXPECT_EQ(found, 2u);
  size_t moved_lines = 0;
  for (const auto& l : Rows("H_E_PERS", {"NEGOCIO", "CODIGO"}))
    moved_lines += l.at("NEGOCIO") == to && codes.count(l.at("CODIGO"));
  EXPECT_EQ(moved_lines, lines);
  std::map<std::string, int> headers;
  for (const auto& h : Rows("H_E_DEPT", {"NEGOCIO", "CODIGO", "FECHA"}))
    if (h.at("NEGOCIO") == to && h.at("CODIGO") == target_depto) ++headers[h.at("FECHA")];
  for (const std::string& d : dates) EXPECT_EQ(headers[d], 1) << d;
  if (loan_column_kept) {
    std::string new_loan;
    for (const auto& d : Rows("ENC_DDA", {"NEGOCIO", "DEUDOR", "CODIGO"}))
      if (d.at("NEGOCIO") == to && codes.count(d.at("DEUDOR"))) new_loan = d.at("CODIGO");
    ASSERT_FALSE(new_loan.empty());
    size_t moved_payments = 0;
    for (const auto& p : Rows("DET_DDA", {"NEGOCIO", "DEUDA"}))
      moved_payments += p.at("NEGOCIO") == to && p.at("DEUDA") == new_loan;
    EXPECT_EQ(moved_payments, payments);
  }

  // The target hotel's move screen lists them under the chosen department.
  ui.desktop().CloseAll();
  auto* target_screen = qz::OpenScreen<qz::COPY_EMP>(ui.desktop(), "COPY_EMP", to);
  ASSERT_NE(target_screen, nullptr);
  target_screen->tree()->Click(target_screen->tree()->Find(qz::PadRight(target_depto, 15)));
  size_t listed = 0;
  for (int r = 0; r < target_screen->grid()->RowCount(); ++r)
    listed += codes.count(qz::TrimRight(target_screen->grid()->Cell(r, 1)));
  EXPECT_EQ(listed, 2u);
  ui.desktop().CloseAll();

  auto catalog = qz::EmbeddedCatalog();
  ASSERT_TRUE(catalog.ok());
  auto report = qz::CheckInstallation(root, **catalog);
  ASSERT_TRUE(report.ok()) << report.status().ToString();
  for (const auto& p : report->problems) ADD_FAILURE() << p;
}

}  // namespace
