// The supervisor walks the whole "Servicios Adicionales" menu of a demo
// installation: every screen the menu can open is opened from its entry, a
// row is added, modified and deleted through its "Editar" entries with
// whatever form each one shows, the screen is closed, and afterwards the
// installation still checks clean. A screen whose form refuses the walk's
// plain values is reported with the messages it showed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "accounting/accounting_screens.h"
#include "lib/install/catalog.h"
#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "payroll/payroll_screens.h"
#include "shell/menu_tables.h"
#include "shell/principal.h"
#include "support/demo_copy.h"
#include "support/demo_shell_session.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"

namespace {

struct Entry {
  std::string caption;
  int right;
  std::string screen;
};

void Collect(const std::vector<qz::MenuDef>& defs, const qz::MenuRegistry& r,
             std::vector<Entry>* out) {
  for (const auto& d : defs) {
    if (d.right != 0 && *d.screen && r.Has(d.screen)) out->push_back({d.caption, d.right, d.screen});
    Collect(d.items, r, out);
  }
}

// Plain values for every empty enabled control of a form: the first edit is
// the code, numeric edits get 1, dates today, other edits a description;
// combos without a choice take their first entry. Then "Aceptar" (1).
void FillAndAccept(qz::WDIAG& d, const std::string& code, const std::string& text) {
  const qz::DialogTemplate* t = d.dialog_template();
  bool first_edit = true;
  if (t) {
    for (const qz::TemplateNode* n : t->Controls()) {
      if (!d.ControlEnabled(n->id) || n->readonly) continue;
      const qz::ControlState* c = d.Control(n->id);
      if (!c) continue;
      if (n->kind == qz::ControlKind::kEdit) {
        const bool numeric =
            !n->picture.empty() && n->picture.find_first_not_of("9,.") == std::string::npos;
        const bool is_date = n->picture == "@D";
        std::string value = is_date ? "01/01/26" : numeric ? "1" : first_edit ? code : text;
        if (first_edit || c->text.empty() || (numeric && c->text == "0"))
          d.UserType(n->id, value);
        first_edit = false;
      } else if (n->kind == qz::ControlKind::kCombo && c->current < 0 && !c->entries.empty()) {
        d.UserChooseIndex(n->id, 0);
      }
    }
  }
  d.UserPress(1);
}

class MenuWalkTest : public qztest::DemoShellTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qztest::StartOnDemoCopy(dir, &root));
    qz::RegisterPayrollScreens(registry, ui.desktop());
    qz::RegisterAccountingScreens(registry, ui.desktop());
    main = qztest::LogIn(ui, view, registry, "SUPER");
    ASSERT_NE(main, nullptr);
  }

  // Runs the "Editar" entry whose caption starts with `verb`; a window it
  // opens (an edit window beside the screen) gets the plain values too.
  bool Edit(qz::WDIAG* screen, const std::string& verb, const std::string& code,
            const std::string& text) {
    const auto& entries = ui.desktop().edit_menu();
    auto it = std::find_if(entries.begin(), entries.end(), [&](const qz::EditAction& e) {
      return e.caption.rfind(verb, 0) == 0;
    });
    if (it == entries.end()) return false;
    const auto before = ui.desktop().windows();
    if (!ui.Menu(it->caption)) return false;
    for (qz::WDIAG* w : ui.desktop().windows()) {
      if (w == screen || std::find(before.begin(), before.end(), w) != before.end()) continue;
      FillAndAccept(*w, code, text);
      ui.desktop().Collect();
      break;
    }
    return true;
  }

  int Rows(qz::WDIAG* screen) {
    auto* c = dynamic_cast<qz::CatalogScreen*>(screen);
    return c && c->oB() ? c->oB()->RowCount() : -1;
  }
  bool SelectCode(qz::WDIAG* screen, const std::string& code) {
    auto* c = dynamic_cast<qz::CatalogScreen*>(screen);
    if (!c || !c->oB()) return false;
    for (int r = 0; r < c->oB()->RowCount(); ++r)
      if (qz::TrimRight(c->oB()->Cell(r, 0)) == code) return c->oB()->Select(r).ok();
    return false;
  }

};

TEST_F(MenuWalkTest, EveryScreenOfTheMenuOpensAddsModifiesAndDeletesAndTheFilesStayClean) {
  std::vector<Entry> entries;
  Collect(qz::ProgramPopups()[0].items, registry, &entries);
  ASSERT_FALSE(entries.empty());
  ui.OnAnyDialog([](qz::WDIAG& d) { FillAndAccept(d, "ZW", "PRUEBA DEL RECORRIDO"); });
  std::set<std::string> walked;
  int catalogs = 0;
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.screen + " (" + e.caption + ")");
    if (!walked.insert(e.screen).second) continue;
    ui.TakeBoxTexts();
    ASSERT_TRUE(main->Command(e.right)) << "the menu entry does not run";
    qz::WDIAG* screen = ui.desktop().active();
    ASSERT_NE(screen, nullptr) << "no window opened";
    std::vector<std::string> boxes = ui.TakeBoxTexts();
    EXPECT_TRUE(boxes.empty()) << "opening showed: " << boxes.front();

    const int rows = Rows(screen);
    if (rows < 0) {
      // A single form (the parameters, the hours-report columns): opened and
      // closed; its own tests walk its fields.
      ui.desktop().CloseAll();
      continue;
    }
    ++catalogs;
    ASSERT_TRUE(Edit(screen, "Agregar", "ZW", "PRUEBA DEL RECORRIDO")) << "no \"Agregar\" entry";
    {
      boxes = ui.TakeBoxTexts();
      EXPECT_EQ(Rows(screen), rows + 1)
          << "add did not add a row" << (boxes.empty() ? "" : ": " + boxes.front());
      if (SelectCode(screen, "ZW")) {
        EXPECT_TRUE(Edit(screen, "Modificar", "ZW", "PRUEBA MODIFICADA"));
        boxes = ui.TakeBoxTexts();
        EXPECT_EQ(Rows(screen), rows + 1) << (boxes.empty() ? "" : boxes.front());
        ASSERT_TRUE(SelectCode(screen, "ZW")) << "the modified row is gone";
        // Unscripted confirmations answer OK.
        if (!Edit(screen, "Borrar", "", "")) Edit(screen, "Eliminar", "", "");
        ui.TakeBoxTexts();
        EXPECT_EQ(Rows(screen), rows) << "delete did not delete the row";
      }
    }
    ui.desktop().CloseAll();
  }
  EXPECT_GE(catalogs, 2);
  ui.desktop().CloseAll();
  auto catalog = qz::EmbeddedCatalog();
  ASSERT_TRUE(catalog.ok());
  auto report = qz::CheckInstallation(root, **catalog);
  ASSERT_TRUE(report.ok()) << report.status().ToString();
  for (const auto& p : report->problems) ADD_FAILURE() << p;
}

}  // namespace
