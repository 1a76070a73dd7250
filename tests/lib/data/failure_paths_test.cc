// Failures of the data layer reach the user: a step that fails goes to the
// error handler where it failed, "Reintentar" runs that step again, and a
// transaction around it is rolled back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lib/data/file_utils.h"
#include "lib/data/locking.h"
#include "lib/data/server_engine.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "support/installation.h"
#include "support/scripted_boxes.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<xb::Table> Open(const std::string& root, const char* name) {
  return std::move(*xb::Table::Open(root + "BASES/" + name + ".DBF"));
}

uint32_t Count(const std::string& root, const char* name) {
  return *Open(root, name)->RecCount();
}

TablePtr ReadOnly(const char* name) {
  UseOptions o;
  o.read_only = true;
  return USE(nullptr, name, o);
}

TEST(FailurePaths, FailedAppendIsReportedWithItsErrorRow) {
  qztest::Installation inst;
  inst.Start();
  G().XUSER_ABREVIA = "ANA";
  for (const char* f : {"ERROR.DBF", "ERROR.FPT"}) fs::remove(inst.root + "BASES/" + f);
  qztest::MakeTable(
      inst.root + "BASES/ERROR",
      {qztest::F("FECHA", 'D', 8), qztest::F("HORA", 'C', 8), qztest::F("DESCRIP", 'C', 200),
       qztest::F("DETALLE", 'M', 10), qztest::F("USUARIO", 'C', 10)});
  qztest::ScriptedErrorDialog dialog;
  TablePtr t = ReadOnly("ARTICULO");
  OperationResult r = RunOperation([&] {
    ADD_NEW_REC(*t);
    ADD_FAILURE() << "the operation went on after a failed append";
  });
  EXPECT_EQ(r, OperationResult::kIgnored);
  ASSERT_EQ(dialog.lines.size(), 1u);
  EXPECT_NE(dialog.lines[0].find("ARTICULO"), std::string::npos);
  auto errors = Open(inst.root, "ERROR");
  ASSERT_EQ(*errors->RecCount(), 1u);
  errors->GoTo(1);
  EXPECT_EQ(Trim(errors->Get("USUARIO")->str()), "ANA");  // the by-user order has it
}

TEST(FailurePaths, FailedAppendInsideATransactionRollsItBack) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  inst.Start();
  G().XU_COMP = "HOTEL";
  qztest::ScriptedErrorDialog dialog;
  dialog.answers = {1};  // "Reintentar" is not offered: nothing to retry after a rollback
  TablePtr t = USE(nullptr, "ARTICULO");
  TablePtr log = ReadOnly("LOG_E_S");
  bool went_on = false;
  // A caller that swallows the fault and ends its transaction anyway.
  try {
    START_TRANSACTION();
    LOCK_FOR_MODIFY(*t);
    t->FieldPut("PRECIO", xb::Value::Number(99));
    UNLOCK_FOR_MODIFY(*t);
    ADD_NEW_REC(*log);
    went_on = true;
  } catch (const Fault& f) {
    EXPECT_TRUE(f.info().reported);
  }
  END_TRANSACTION();
  EXPECT_FALSE(went_on);
  ASSERT_EQ(dialog.retry_offered.size(), 1u);
  EXPECT_FALSE(dialog.retry_offered[0]);
  EXPECT_EQ(Open(inst.root, "ARTICULO")->Get("PRECIO")->number(), 10);
  auto roll = Open(inst.root, "LOG_ROLL");
  ASSERT_EQ(*roll->RecCount(), 1u);
  EXPECT_EQ(Trim(roll->Get("NEGOCIO")->str()), "HOTEL");  // the rollback viewer shows it
  EXPECT_EQ(Count(inst.root, "ERROR"), 1u);
}

TEST(FailurePaths, RetryRunsTheFailedStepAgainNotTheOperation) {
  qztest::Installation inst;
  inst.Start();
  qztest::ScriptedErrorDialog dialog;
  dialog.answers = {1};
  TablePtr art = USE(nullptr, "ARTICULO");
  TablePtr log = ReadOnly("LOG_ROLL");
  const int log_area = log->Area;
  // While the dialog is up the user mends the cause (here: the table is
  // reopened writable).
  dialog.on_ask = [&](const std::string&) {
    Areas().Get(log_area)->table = std::move(*xb::Table::Open(inst.root + "BASES/LOG_ROLL.DBF"));
  };
  int runs = 0;
  OperationResult r = RunOperation([&] {
    ++runs;
    ADD_NEW_REC(*art);
    art->FieldPut("CODIGO", xb::Value::Char("A1"));
    UNLOCK_NEW_REC(*art);
    ADD_NEW_REC(*log);
    log->FieldPut("USUARIO", xb::Value::Char("ANA"));
    UNLOCK_NEW_REC(*log);
  });
  EXPECT_EQ(r, OperationResult::kDone);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(dialog.lines.size(), 1u);
  EXPECT_EQ(Count(inst.root, "ARTICULO"), 1u);  // not appended twice
  EXPECT_EQ(Count(inst.root, "LOG_ROLL"), 1u);
}

TEST(FailurePaths, RawAppendIsAStepThatCanBeRetried) {
  qztest::Installation inst;
  inst.Start();
  qztest::ScriptedErrorDialog dialog;
  dialog.answers = {1};
  TablePtr art = USE(nullptr, "ARTICULO");
  TablePtr log = ReadOnly("LOG_ROLL");
  const int log_area = log->Area;
  dialog.on_ask = [&](const std::string&) {
    Areas().Get(log_area)->table = std::move(*xb::Table::Open(inst.root + "BASES/LOG_ROLL.DBF"));
  };
  int runs = 0;
  OperationResult r = RunOperation([&] {
    ++runs;
    ADD_NEW_REC(*art);  // written before the append fails: the operation cannot start over
    art->FieldPut("CODIGO", xb::Value::Char("A1"));
    UNLOCK_NEW_REC(*art);
    log->Append();
    log->table().UnlockRecord(0);
  });
  EXPECT_EQ(r, OperationResult::kDone);
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(dialog.retry_offered.size(), 1u);
  EXPECT_TRUE(dialog.retry_offered[0]);
  EXPECT_EQ(Count(inst.root, "ARTICULO"), 1u);
  EXPECT_EQ(Count(inst.root, "LOG_ROLL"), 1u);
}

TEST(FailurePaths, OperationThatWroteIsNotRunAgainFromTheStart) {
  qztest::Installation inst;
  inst.Start();
  qztest::ScriptedErrorDialog dialog;
  dialog.answers = {1, 1};
  TablePtr art = USE(nullptr, "ARTICULO");
  int runs = 0;
  RunOperation([&] {
    ++runs;
    ADD_NEW_REC(*art);
    UNLOCK_NEW_REC(*art);
    art->FieldPut("NOFIELD", xb::Value::Number(1));
  });
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(dialog.retry_offered.size(), 1u);
  EXPECT_FALSE(dialog.retry_offered[0]);
  EXPECT_EQ(Count(inst.root, "ARTICULO"), 1u);
}

TEST(FailurePaths, MissingTableNamesThePathInSpanish) {
  qztest::Installation inst;
  inst.Start();
  qztest::ScriptedErrorDialog dialog;
  RunOperation([] { USE(nullptr, "NOEXISTE"); });
  ASSERT_EQ(dialog.lines.size(), 1u);
  EXPECT_NE(dialog.lines[0].find("No se puede abrir archivo: " + inst.root + "BASES/NOEXISTE"),
            std::string::npos)
      << dialog.lines[0];
}

TEST(FailurePaths, OptimisingATableInUseIsReported) {
  qztest::Installation inst;
  inst.Start();
  qztest::ScriptedErrorDialog dialog;
  TablePtr in_use = USE(nullptr, "ARTICULO");
  OperationResult r = RunOperation([] { SAVE_PACK(nullptr, "ARTICULO"); });
  EXPECT_EQ(r, OperationResult::kIgnored);
  ASSERT_EQ(dialog.lines.size(), 1u);
  EXPECT_NE(dialog.lines[0].find("No se puede abrir archivo: "), std::string::npos);
}

TEST(FailurePaths, ByteCopyFailsOnAReadError) {
  qztest::Installation inst;
  // A folder opens but cannot be read: the copy must not report success.
  EXPECT_EQ(COPY_BFILE(inst.root + "BASES", inst.root + "TEMP/COPIA"), kCopyShortWrite);
  EXPECT_FALSE(fs::exists(inst.root + "TEMP/COPIA"));
}

TEST(FailurePaths, ServerFilesDoNotPileUpInTheSharedFolder) {
  qztest::Installation inst;
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  const std::string folder = ServerFolder(inst.root + "BASES");
  fs::create_directories(folder);
  // What a killed workstation left: its session file, no longer locked.
  { std::ofstream(folder + "SESSION-OTRA-1.SES") << ""; }
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(ServerNow().has_value());
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(folder)) left.push_back(e.path().filename());
  ASSERT_EQ(left.size(), 1u) << left[0];  // our own session only
  EXPECT_EQ(left[0].substr(0, 8), "SESSION-");
  EXPECT_EQ(ServerManagementInfo().sessions, 1);
  ServerDisconnect();
}

}  // namespace
}  // namespace qz
