// A payroll clerk's session on the demo: the payroll opening's window, opened
// for one hotel, stays that hotel's after the toolbar changes business; what
// the clerk does in it next (a salary typed, "Consolidar") goes to the hotel
// the window shows, never to the business now in force.
#include <gtest/gtest.h>

#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/browse.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "payroll/payroll_screens.h"
#include "payroll/processes/init_pla.h"
#include "shell/principal.h"
#include "shell/toolbar.h"
#include "support/demo_copy.h"
#include "support/demo_shell_session.h"
#include "support/fake_clock.h"
#include "support/schema_tables.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"
#include "xbase/table.h"

namespace {

class ProcessBusinessChange : public qztest::DemoShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qztest::StartOnDemoCopy(dir, &root));
    qz::RegisterPayrollScreens(registry, ui.desktop());
    main = qztest::LogIn(ui, view, registry, "PLANILLA");
    ASSERT_NE(main, nullptr);
  }
  // Rows of `table` whose NEGOCIO and `field` hold the texts given.
  size_t Count(const std::string& table, const std::string& business, const std::string& field,
               const std::string& value) {
    auto t = xb::Table::Open(root + "BASES/" + table + ".DBF");
    size_t n = 0;
    if (!t.ok()) return n;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (!(*t)->Deleted() && qz::FieldText(**t, "NEGOCIO") == business &&
          qz::FieldText(**t, field) == value)
        ++n;
    return n;
  }

};

TEST_F(ProcessBusinessChange, TheOpeningWindowKeepsToTheHotelItShows) {
  ASSERT_TRUE(main->Command(2501));
  auto* s = dynamic_cast<qz::INIT_PLA*>(ui.desktop().FindWindow("INIT_PLA"));
  ASSERT_NE(s, nullptr);

  ASSERT_NO_FATAL_FAILURE(ChangeBusiness("Volcán Lodge & Spa", "PLANILLA"));
  ASSERT_EQ(ui.desktop().FindWindow("INIT_PLA"), s);

  // The tree is still the Playa Sol's: its sales department (VEN) is one
  // the Volcán does not have.
  qz::TreeNode* ven = s->tree()->Find(qztest::Biz("VEN"));
  ASSERT_NE(ven, nullptr);
  const size_t volcan_lines = Count("H_E_PERS", "VOLCAN", "DEPTO", "REC");
  const size_t sol_headers = Count("H_E_DEPT", "HOTELSOL", "CODIGO", "REC");
  s->tree()->Click(s->tree()->Find(qztest::Biz("REC")));
  ASSERT_GT(s->grid()->RowCount(), 0);
  ASSERT_TRUE(s->grid()->EditCell(0, qz::INIT_PLA::kTotSalColumn, "123456"));
  ui.Type(s, qz::INIT_PLA::kFecha, "31/12/30");
  ui.Press(s, qz::INIT_PLA::kConsolidar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Count("H_E_DEPT", "HOTELSOL", "CODIGO", "REC"), sol_headers + 1);
  EXPECT_EQ(Count("H_E_PERS", "VOLCAN", "DEPTO", "REC"), volcan_lines);
  // The salary typed went to the Playa Sol's employee shown.
  auto t = xb::Table::Open(root + "BASES/ENC_PERS.DBF");
  ASSERT_TRUE(t.ok());
  std::vector<std::string> with_it;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
    if (qz::FieldNumber(**t, "TOT_SAL") == 123456) with_it.push_back(qz::FieldText(**t, "NEGOCIO"));
  EXPECT_EQ(with_it, std::vector<std::string>{"HOTELSOL"});
}

}  // namespace
