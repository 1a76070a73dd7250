// A supervisor's session on the demo installation with accounting windows
// open while the toolbar changes business: each window stays with the
// business it was opened for — its department tree, a refresh of it, and
// what it stores.
#include <gtest/gtest.h>

#include "accounting/accounting_screens.h"
#include "accounting/employer_report/arc_inf.h"
#include "accounting/sap/crea_sap.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "lib/ui/lists.h"
#include "lib/ui/tree.h"
#include "payroll/payroll_screens.h"
#include "shell/principal.h"
#include "shell/toolbar.h"
#include "support/demo_copy.h"
#include "support/demo_shell_session.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"
#include "xbase/table.h"

namespace {

class AccountingSessionTest : public qztest::DemoShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qztest::StartOnDemoCopy(dir, &root));
    qz::RegisterPayrollScreens(registry, ui.desktop());
    qz::RegisterAccountingScreens(registry, ui.desktop());
    main = qztest::LogIn(ui, view, registry, "SUPER");
    ASSERT_NE(main, nullptr);
    ui.TakeBoxTexts();
  }
  void ChangeToVolcan() {
    ASSERT_NO_FATAL_FAILURE(ChangeBusiness("Volcán Lodge & Spa", "SUPER"));
    ASSERT_EQ(qz::TrimRight(qz::G().XU_COMP), "VOLCAN");
  }
  // "DESCRIP|tag" of the active departments of `business` by code, with
  // the code upper-cased as the demo's parameters ("@!") show it.
  std::vector<std::string> ActiveDepartments(const std::string& business) {
    auto t = xb::Table::Open(root + "BASES/ENC_DEPT.DBF");
    std::vector<std::pair<std::string, std::string>> rows;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldText(**t, "NEGOCIO") == business && (*t)->Get("INACTIVO")->number() == 0)
        rows.push_back({qz::FieldBytes(**t, "CODIGO"), qz::FieldText(**t, "DESCRIP")});
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> out;
    for (auto& [code, name] : rows) out.push_back(name + "|" + qz::TrimRight(code));
    return out;
  }
  static std::vector<std::string> Leaves(qz::TreeModel* tree) {
    std::vector<std::string> out;
    for (const auto& n : tree->root()->children.at(0)->children)
      out.push_back(n->text + "|" + n->right_text);
    return out;
  }

};

TEST_F(AccountingSessionTest, JournalTreeStaysWithItsBusinessAcrossABusinessChange) {
  ASSERT_TRUE(main->Command(4210));
  auto* journal = dynamic_cast<qz::CREA_SAP*>(ui.desktop().FindWindow("CREA_SAP"));
  ASSERT_NE(journal, nullptr);
  const std::vector<std::string> hotelsol = ActiveDepartments("HOTELSOL");
  ASSERT_FALSE(hotelsol.empty());
  EXPECT_EQ(Leaves(journal->tree()), hotelsol);
  EXPECT_EQ(journal->tree()->tag_margin(), 3);  // the demo's DESC_TREE
  journal->tree()->SetMarked(journal->tree()->root()->children[0]->children[0].get(), true);

  ASSERT_NO_FATAL_FAILURE(ChangeToVolcan());
  ASSERT_EQ(ui.desktop().FindWindow("CREA_SAP"), journal);
  ASSERT_NE(ActiveDepartments("VOLCAN"), hotelsol);
  // Refreshed, the tree lists the same business's departments, the mark
  // kept, and the next window opened from the menu is the new business's.
  ASSERT_TRUE(journal->tree()->ChooseContext(journal->tree()->root(), qz::kTreeRefresh));
  EXPECT_EQ(Leaves(journal->tree()), hotelsol);
  EXPECT_EQ(journal->tree()->MarkedLeaves().size(), 1u);
  journal->Terminar();
  ASSERT_TRUE(main->Command(4210));
  journal = dynamic_cast<qz::CREA_SAP*>(ui.desktop().FindWindow("CREA_SAP"));
  ASSERT_NE(journal, nullptr);
  EXPECT_EQ(Leaves(journal->tree()), ActiveDepartments("VOLCAN"));
}

TEST_F(AccountingSessionTest, EmployerReportOpenedBeforeABusinessChangeStoresIntoItsOwnBusiness) {
  ASSERT_TRUE(main->Command(qz::ARC_INF::kMenuId));
  auto* report = dynamic_cast<qz::ARC_INF*>(ui.desktop().FindWindow("ARC_INF"));
  ASSERT_NE(report, nullptr);
  const qz::ControlState* salary = report->Control(qz::ARC_INF::kFirstList);
  ASSERT_NE(salary, nullptr);
  ASSERT_FALSE(salary->entries.empty());
  const std::string first = salary->entries[0].text;
  const bool was_selected = salary->entries[0].selected;
  auto stored = [&](const std::string& business) {
    auto t = xb::Table::Open(root + "BASES/F_PLAN.DBF");
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldText(**t, "NEGOCIO") == business) return qz::FieldBytes(**t, "INF_SAL");
    return std::string("<no row>");
  };
  const std::string volcan_before = stored("VOLCAN");

  ASSERT_NO_FATAL_FAILURE(ChangeToVolcan());
  ASSERT_EQ(ui.desktop().FindWindow("ARC_INF"), report);
  ASSERT_TRUE(report->UserSelect(qz::ARC_INF::kFirstList, first, !was_selected));
  ASSERT_TRUE(ui.Press(report, 1));
  for (const auto& t : ui.TakeBoxTexts()) ADD_FAILURE() << t;
  EXPECT_EQ(ui.desktop().FindWindow("ARC_INF"), nullptr);
  EXPECT_EQ(stored("VOLCAN"), volcan_before);
  const std::string code = first.substr(first.rfind('(') + 1, first.size() - first.rfind('(') - 2);
  EXPECT_EQ(stored("HOTELSOL").find(code + ",") != std::string::npos, !was_selected);
}

}  // namespace
