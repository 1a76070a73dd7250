// A user session without a display: a scratch installation (program folder
// with BASES, the data layer started on it), a fake clock, the scripted
// window system and the dialog templates of the source tree. Screen tests
// derive their fixtures from it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "support/fake_clock.h"
#include "support/installation.h"
#include "support/schema_tables.h"
#include "ui/headless/headless_ui.h"

namespace qztest {

class UiSession : public ::testing::Test {
 protected:
  UiSession() {
    qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
    inst.Start();
    bases = inst.root + "BASES";
  }
  void TearDown() override {
    for (const auto& p : ui.problems()) ADD_FAILURE() << p;
  }

  void Create(const std::string& table, const std::vector<Row>& rows = {}) {
    CreateSchemaTable(bases, table);
    if (!rows.empty()) AddRows(bases, table, rows);
  }
  std::string file(const std::string& name) const { return bases + "/" + name; }

  FakeClock clock;
  Installation inst;
  std::string bases;
  qz::HeadlessUi ui;
  qz::Desktop& desktop = ui.desktop();
};

}  // namespace qztest
