// A user session without a display: a scratch installation folder, a fake
// clock, the scripted window system and the dialog templates of the source
// tree. Screen tests derive their fixtures from it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "support/fake_clock.h"
#include "support/schema_tables.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"

namespace qztest {

class UiSession : public ::testing::Test {
 protected:
  UiSession() {
    qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
    qz::SetTablesDir(dir.path());
  }
  void TearDown() override {
    for (const auto& p : ui.problems()) ADD_FAILURE() << p;
  }

  void Create(const std::string& table, const std::vector<Row>& rows = {}) {
    CreateSchemaTable(dir.path(), table);
    if (!rows.empty()) AddRows(dir.path(), table, rows);
  }

  TempDir dir;
  FakeClock clock;
  qz::HeadlessUi ui;
  qz::Desktop& desktop = ui.desktop();
};

}  // namespace qztest
