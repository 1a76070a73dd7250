// A payroll clerk's session on the demo installation with the personnel
// action screens: every business has stages, persons, types and profiles;
// the clerk may change them where the auditor may only look; a type opened
// for one business is saved into that business even after the toolbar
// changed business, and the list's menu then follows the business in force.
#include <gtest/gtest.h>

#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "payroll/actions/mod_acci.h"
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

class ActionsSessionTest : public qztest::DemoShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qztest::StartOnDemoCopy(dir, &root));
    qz::RegisterPayrollScreens(registry, ui.desktop());
  }
  void Login(const std::string& user, const std::string& password) {
    main = qztest::LogIn(ui, view, registry, user, password);
    ASSERT_NE(main, nullptr);
  }
  // Rows of `table` of `business` (codes trimmed), in record order.
  std::vector<std::string> Codes(const std::string& table, const std::string& business,
                                 const std::string& field = "CODIGO") {
    auto t = xb::Table::Open(root + "BASES/" + table + ".DBF");
    std::vector<std::string> out;
    if (!t.ok()) return out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldText(**t, "NEGOCIO") == business) out.push_back(qz::FieldText(**t, field));
    return out;
  }
  qz::CatalogScreen* Open(int right) {
    EXPECT_TRUE(main->Command(right));
    return dynamic_cast<qz::CatalogScreen*>(ui.desktop().active());
  }

};

TEST_F(ActionsSessionTest, EveryBusinessHasItsDefinitionsAndTheAuditorOnlyLooks) {
  for (const char* b : {"HOTELSOL", "VOLCAN", "CITYSUITES"}) {
    SCOPED_TRACE(b);
    EXPECT_EQ(Codes("ETAP_PLA", b).size(), 5u);
    EXPECT_EQ(Codes("AUTO_PLA", b).size(), 3u);
    EXPECT_EQ(Codes("TIP_ACC2", b).size(), 5u);
    EXPECT_EQ(Codes("PERF_EVA", b).size(), 2u);
    EXPECT_EQ(Codes("PERF_EV2", b, "PRUEBA").size(), 5u);
  }
  Login("CONSULTA", "DEMO");
  for (int right : {4108, 5106, 4102, 6473}) {
    SCOPED_TRACE(right);
    // Without the menu right the screen does not even open.
    EXPECT_FALSE(main->Command(right) && ui.Menu("Agregar"));
  }
  EXPECT_EQ(Codes("TIP_ACC2", "HOTELSOL").size(), 5u);
}

TEST_F(ActionsSessionTest, AFormOpenedBeforeABusinessChangeSavesIntoItsOwnBusiness) {
  Login("PLANILLA", "DEMO");
  qz::CatalogScreen* types = Open(4108);
  ASSERT_NE(types, nullptr);
  ASSERT_EQ(types->oB()->RowCount(), 5);
  types->oB()->Select(0);
  ASSERT_TRUE(ui.Menu("Modificar"));
  auto* form = dynamic_cast<qz::MOD_ACCI*>(ui.desktop().FindWindow("MOD_ACCI"));
  ASSERT_NE(form, nullptr);

  ASSERT_NO_FATAL_FAILURE(ChangeBusiness("Volcán Lodge & Spa", "PLANILLA"));
  ASSERT_EQ(ui.desktop().FindWindow("MOD_ACCI"), form);
  ui.Type(form, qz::MOD_ACCI::kDescrip, "Aumento revisado");
  ui.Press(form, 1);
  for (const auto& t : ui.TakeBoxTexts()) ADD_FAILURE() << t;
  EXPECT_EQ(Codes("TIP_ACC2", "HOTELSOL", "DESCRIP")[0], "Aumento revisado");
  EXPECT_NE(Codes("TIP_ACC2", "VOLCAN", "DESCRIP")[0], "Aumento revisado");

  // The list stays the list of its business; its menu works with the
  // clerk's rights in the business now in force.
  ui.desktop().Activate(types);
  ASSERT_TRUE(ui.Menu("Agregar"));
  form = dynamic_cast<qz::MOD_ACCI*>(ui.desktop().FindWindow("MOD_ACCI"));
  ASSERT_NE(form, nullptr);
  ui.Type(form, qz::MOD_ACCI::kCodigo, "16");
  ui.Type(form, qz::MOD_ACCI::kDescrip, "Nueva");
  ui.Press(form, 1);
  EXPECT_EQ(Codes("TIP_ACC2", "HOTELSOL").back(), "16");
  EXPECT_EQ(Codes("TIP_ACC2", "VOLCAN").size(), 5u);
}

}  // namespace
