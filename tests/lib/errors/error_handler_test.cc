// The error handler: what is silenced, what is recorded where, and the
// answers retry / ignore / quit.
#include "lib/errors/error_handler.h"

#include <gtest/gtest.h>

#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "support/installation.h"
#include "support/scripted_boxes.h"

namespace qz {
namespace {

std::unique_ptr<xb::Table> Open(const std::string& root, const char* name) {
  return std::move(*xb::Table::Open(root + "BASES/" + name + ".DBF"));
}

TEST(ErrorHandler, ExpectedKindsAreSilencedOrSoft) {
  qztest::ScriptedErrorDialog dialog;
  ErrorInfo zero;
  zero.gen_code = kGenZeroDiv;
  EXPECT_EQ(ERRORSYS(zero), HandlerResult::kZero);
  EXPECT_EQ(SafeDiv(5, 0), 0);
  ErrorInfo sharing;
  sharing.gen_code = kGenOpen;
  sharing.os_code = kOsSharingViolation;
  sharing.can_default = true;
  ClearNetErr();
  EXPECT_EQ(ERRORSYS(sharing), HandlerResult::kDefault);
  EXPECT_TRUE(NetErr());
  ErrorInfo driver;
  driver.sub_code = 6313;
  EXPECT_EQ(ERRORSYS(driver), HandlerResult::kZero);
  EXPECT_TRUE(dialog.lines.empty());
}

TEST(ErrorHandler, ErrorLineAndEntryLogText) {
  ErrorInfo e;
  e.subsystem = "DBFCDX";
  e.sub_code = 1001;
  e.description = "Open error";
  e.filename = "ENC_PERS.DBF";
  e.gen_code = 21;
  e.os_code = 2;
  e.call_stack = {"USE(120)", "ABRIRBASES(33)"};
  EXPECT_EQ(ErrorLine(e), "Error DBFCDX/1001  Open error: ENC_PERS.DBF");
  e.severity = 1;
  e.subsystem.clear();
  e.sub_code.reset();
  e.filename.clear();
  e.operation = "SEEK";
  EXPECT_EQ(ErrorLine(e),
            "Warning ???"
            "/???  Open error: SEEK");
  EXPECT_EQ(
      ErrorDetails(e),
      "File:  GenCode: 21 OsCode: 2\r\nCalled from USE(120)\r\nCalled from ABRIRBASES(33)\r\n");
  EXPECT_EQ(EntryLogErrorText("L", ErrorDetails(e)),
            "L|File:  GenCode: 21 OsCode: 2 > USE(120) > ABRIRBASES(33) ");
}

TEST(ErrorHandler, RecordsQueuesRetriesAndQuits) {
  qztest::Installation inst;
  inst.Start();
  G().EXT_MODULO = "PCFG";
  G().XEMAILDEST = "soporte@hotel";
  G().XEMAIL_ID = "HOTEL";
  {
    auto log = Open(inst.root, "LOG_E_S");
    log->Append();
    log->Put("USUARIO", xb::Value::Char("ANA"));
  }
  G().XREC_E_S = 1;
  qztest::ScriptedErrorDialog dialog;
  dialog.answers = {1, 2};  // Reintentar, then Ignorar
  int runs = 0;
  OperationResult r = RunOperation([&] {
    ++runs;
    USE(nullptr, "NOEXISTE");
  });
  EXPECT_EQ(r, OperationResult::kIgnored);
  EXPECT_EQ(runs, 2);
  ASSERT_EQ(dialog.lines.size(), 2u);
  EXPECT_NE(dialog.details[0].find("Módulo  : PCFG\r\n"), std::string::npos);

  auto errors = Open(inst.root, "ERROR");
  EXPECT_EQ(*errors->RecCount(), 2u);
  errors->GoTo(1);
  EXPECT_EQ(Trim(errors->Get("DESCRIP")->str()), xb::FromUtf8(dialog.lines[0]));
  auto mail = Open(inst.root, "E_MSGS");
  ASSERT_EQ(*mail->RecCount(), 2u);  // XEMAILSEND 0: queued
  mail->GoTo(1);
  EXPECT_EQ(mail->Get("LISTO")->number(), 1);
  EXPECT_EQ(mail->Get("ENVIADO")->number(), 0);
  EXPECT_EQ(Trim(mail->Get("SUBJECT")->str()), "Error: HOTEL");
  auto log = Open(inst.root, "LOG_E_S");
  EXPECT_EQ(log->Get("ERR_CHECK")->str(), "*");
  EXPECT_NE(log->Get("FECHA_SAL")->date(), 0);

  int exit_code = -1;
  SetProcessExit([&](int code) { exit_code = code; });
  dialog.answers = {3};
  RunOperation([&] { USE(nullptr, "NOEXISTE"); });
  EXPECT_EQ(exit_code, 1);
  SetProcessExit(nullptr);
}

TEST(ErrorHandler, FaultInsideATransactionRollsItBack) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  inst.Start();
  qztest::ScriptedErrorDialog dialog;
  TablePtr t = USE(nullptr, "ARTICULO");
  RunOperation([&] {
    START_TRANSACTION();
    LOCK_FOR_MODIFY(*t);
    t->FieldPut("PRECIO", xb::Value::Number(99));
    UNLOCK_FOR_MODIFY(*t);
    t->FieldPut("NOFIELD", xb::Value::Number(1));  // a runtime fault mid-way
  });
  EXPECT_EQ(Open(inst.root, "ARTICULO")->Get("PRECIO")->number(), 10);
  auto roll = Open(inst.root, "LOG_ROLL");
  ASSERT_EQ(*roll->RecCount(), 1u);
  EXPECT_EQ(Trim(roll->Get("MOTIVO")->str()), xb::FromUtf8(dialog.lines.at(0)));
}

}  // namespace
}  // namespace qz
