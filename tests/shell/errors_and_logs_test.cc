// The error dialog over the handler core, the log viewers, the exchange-
// rate check and the installation screens.
#include <gtest/gtest.h>

#include "lib/errors/error_handler.h"
#include "lib/ui/edit_menu.h"
#include "shell/application.h"
#include "shell/error_dialog.h"
#include "shell/exchange_check.h"
#include "shell/log_viewers.h"
#include "shell/shell_screens.h"
#include "shell/traduct.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

qz::ErrorInfo OpenFault(bool retry, bool ignore) {
  qz::ErrorInfo e;
  e.gen_code = qz::kGenOpen;
  e.os_code = qz::kOsNotFound;
  e.subsystem = "DBFCDX";
  e.sub_code = 1001;
  e.description = "Open error";
  e.filename = "BASES/FALTA.DBF";
  e.can_retry = retry;
  e.can_default = ignore;
  return e;
}

class ErrorDialogTest : public ShellTest {
 protected:
  ErrorDialogTest() : dialog(ui.desktop()) { dialog.Install(); }
  qz::ERROR_SPEC dialog;
};

TEST_F(ErrorDialogTest, RetryIgnoreAndQuit) {
  int runs = 0;
  ui.OnDialog("ERROR_SPEC", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::ERROR_SPEC::kErrorLine), "Error DBFCDX/1001  Open error: BASES/FALTA.DBF");
    EXPECT_NE(d.Text(qz::ERROR_SPEC::kDetails).find("Módulo  : PCFG\r\n"), std::string::npos);
    EXPECT_TRUE(d.ControlEnabled(qz::ERROR_SPEC::kRetry));
    d.UserPress(qz::ERROR_SPEC::kRetry);
  });
  ui.OnDialog("ERROR_SPEC", [](qz::WDIAG& d) { d.UserPress(qz::ERROR_SPEC::kIgnore); });
  auto r = qz::RunOperation([&] {
    ++runs;
    throw qz::Fault(OpenFault(true, true));
  });
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(r, qz::OperationResult::kIgnored);
  EXPECT_EQ(Count("ERROR"), 2u);
  EXPECT_EQ(Count("E_MSGS"), 2u);  // XEMAILSEND 0: queued for the mail server
  EXPECT_EQ(Field("E_MSGS", 1, "LISTO"), "1");
  EXPECT_EQ(Field("E_MSGS", 1, "ENVIADO"), "0");

  // Neither retry nor ignore allowed: the frame cannot close it, "Salir" ends.
  ui.OnDialog("ERROR_SPEC", [](qz::WDIAG& d) {
    EXPECT_FALSE(d.ControlEnabled(qz::ERROR_SPEC::kRetry));
    EXPECT_FALSE(d.ControlEnabled(qz::ERROR_SPEC::kIgnore));
    d.UserPress(2);
    EXPECT_FALSE(d.ended());
    d.UserPress(qz::ERROR_SPEC::kQuit);
  });
  qz::G().XREC_E_S = std::nullopt;
  qz::RunOperation([] { throw qz::Fault(OpenFault(false, false)); });
  EXPECT_EQ(process_exit, 1);
}

TEST_F(ErrorDialogTest, AnErrorWhileTheDialogIsUpOpensNoSecondOne) {
  ui.OnDialog("ERROR_SPEC", [](qz::WDIAG& d) {
    // Something the dialog's own work triggers fails too.
    EXPECT_EQ(qz::RunOperation([] { throw qz::Fault(OpenFault(true, true)); }),
              qz::OperationResult::kIgnored);
    d.UserPress(qz::ERROR_SPEC::kIgnore);
  });
  qz::RunOperation([] { throw qz::Fault(OpenFault(true, true)); });
  EXPECT_EQ(dialog.asked(), 1);
  EXPECT_EQ(ui.modal_log(), std::vector<std::string>{"ERROR_SPEC"});
}

TEST_F(ErrorDialogTest, QuitStampsTheSessionsEntryRow) {
  AddUser(kCentral, 2, "ANA", "ANA123");
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  ui.OnDialog("ERROR_SPEC", [](qz::WDIAG& d) { d.UserPress(qz::ERROR_SPEC::kQuit); });
  qz::RunOperation([] { throw qz::Fault(OpenFault(true, true)); });
  EXPECT_EQ(process_exit, 1);
  EXPECT_EQ(Field("LOG_E_S", 1, "ERR_CHECK"), "*");
  EXPECT_EQ(Field("LOG_E_S", 1, "HORA_SAL"), "10:30:00");
}

class LogViewerTest : public ShellTest {};

TEST_F(LogViewerTest, ErrorsAndEntriesShowTheirRowsAndDetails) {
  AddRows("ERROR", {{{"FECHA", D(2026, 12, 1)},
                     {"HORA", C("08:00:00")},
                     {"DESCRIP", C("Uno")},
                     {"DETALLE", C("detalle uno")},
                     {"USUARIO", C("ZOE")}},
                    {{"FECHA", D(2026, 11, 1)},
                     {"HORA", C("08:00:00")},
                     {"DESCRIP", C("Dos")},
                     {"DETALLE", C("detalle dos")},
                     {"USUARIO", C("ABEL")}}});
  qz::LogViewer* v = qz::OpenViewErrors(ui.desktop());
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(v->grid()->RowCount(), 2);
  EXPECT_EQ(v->grid()->Cell(0, 2).substr(0, 3), "Dos");  // by date
  EXPECT_EQ(v->grid()->Cell(0, 0), "01/11/26");           // the date column is not blank
  EXPECT_EQ(v->Text(501), "detalle dos");
  v->grid()->Select(1);
  Wait(250);
  EXPECT_EQ(v->Text(501), "detalle uno");
  v->grid()->ClickHeader(3);  // by user
  EXPECT_EQ(v->grid()->Cell(0, 2).substr(0, 3), "Dos");
  EXPECT_EQ(ui.desktop().edit_menu()[0].caption, qz::kNoOperations);
  ui.Press(v, 1);
  EXPECT_EQ(ui.desktop().FindWindow("VIEW_ERRORS"), nullptr);

  AddRows("LOG_E_S", {{{"FECHA", D(2026, 12, 1)},
                       {"HORA", C("08:00:00")},
                       {"USUARIO", C("Ana")},
                       {"DESC_ERR", C("fallo|detalle")},
                       {"SEQUENCIA", C("paso 3")},
                       {"POLL_F", D(2026, 12, 1)},
                       {"POLL_H", C("08:05:00")}}});
  qz::LogViewer* e = qz::OpenViewEntries(ui.desktop());
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(501), "fallo|detalle\r\npaso 3");
  EXPECT_EQ(e->Text(502), "01/12/26 / 08:05:00");
  EXPECT_EQ(e->grid()->Cell(0, 0), "01/12/26");  // "Entrada"
  EXPECT_EQ(e->grid()->Cell(0, 2), "        ");  // "Salida": still in, a blank date
}

TEST_F(LogViewerTest, RollbacksOfTheBusinessOnlyAndAMissingTableIsReported) {
  AddRows("LOG_ROLL",
          {{{"NEGOCIO", C(Biz(kCentral))},
            {"FECHA", D(2026, 12, 1)},
            {"MOTIVO", C("bloqueo")},
            {"TRANS_ID", N(12)}},
           {{"NEGOCIO", C(Biz(kPlaya))}, {"FECHA", D(2026, 12, 1)}, {"MOTIVO", C("otro")}}});
  qz::LogViewer* v = qz::OpenViewRollback(ui.desktop(), Biz(kCentral));
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(v->grid()->RowCount(), 1);
  EXPECT_EQ(v->grid()->Cell(0, 5), "  12");

  std::filesystem::remove(bases + "/ERROR.DBF");
  EXPECT_EQ(qz::OpenViewErrors(ui.desktop()), nullptr);
  ASSERT_EQ(Boxes().size(), 1u);
}

class ExchangeCheckTest : public ShellTest {};

TEST_F(ExchangeCheckTest, MonthsBackKeepTheDayOrTakeTheMonthsLastDay) {
  qz::BusinessRow b;
  b.cant_mon = 1;
  const int32_t march31 = xb::JulianFromYmd(2027, 3, 31);
  EXPECT_EQ(qz::OBT_DIA_F(b, march31), xb::JulianFromYmd(2027, 2, 28));
  EXPECT_EQ(qz::OBT_DIA_F(b, xb::JulianFromYmd(2028, 3, 31)), xb::JulianFromYmd(2028, 2, 29));
  b.cant_mon = 2;  // two steps, always with day 31: 31 January
  EXPECT_EQ(qz::OBT_DIA_F(b, march31), xb::JulianFromYmd(2027, 1, 31));
  b.cant_mon = 13;
  EXPECT_EQ(qz::OBT_DIA_F(b, march31), xb::JulianFromYmd(2026, 2, 28));
  b.check_mon = 1;
  b.cant_mon = 10;
  EXPECT_EQ(qz::OBT_DIA_F(b, march31), march31 - 10);
  b.cant_mon = 0;
  EXPECT_EQ(qz::OBT_DIA_F(b, march31), std::nullopt);
}

TEST_F(ExchangeCheckTest, StaleRatesAreListed) {
  Set("NEGOCIOS", 1, "CHECK_MON", N(1));
  Set("NEGOCIOS", 1, "CANT_MON", N(7));
  Set("NEGOCIOS", 1, "MONEDA_CON", C("CR"));
  AddRows("MONEDAS",
          {{{"NEGOCIO", C(Biz(kCentral))}, {"CODIGO", C("CR")}, {"DESCRIP", C("Colones")}},
           {{"NEGOCIO", C(Biz(kCentral))}, {"CODIGO", C("US")}, {"DESCRIP", C("Dólares")}},
           {{"NEGOCIO", C(Biz(kCentral))}, {"CODIGO", C("EU")}, {"DESCRIP", C("Euros")}}});
  AddRows("T_CAMBIO", {{{"NEGOCIO", C(Biz(kCentral))},
                        {"MONEDA1", C("US")},
                        {"MONEDA2", C("CR")},
                        {"FECHA", D(2026, 12, 5)},
                        {"CAMBIO", N(505)}},
                       {{"NEGOCIO", C(Biz(kCentral))},
                        {"MONEDA1", C("EU")},
                        {"MONEDA2", C("CR")},
                        {"FECHA", D(2026, 11, 20)},
                        {"CAMBIO", N(590)}}});
  EXPECT_EQ(qz::StaleRateLines(kCentral),
            std::vector<std::string>{
                "Debe actualizar la definición de tipos de cambio de Euros a Colones\r"});
  AddUser(kCentral, 2, "ANA", "ANA123");
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         " Debe actualizar la definición de tipos de cambio de Euros a Colones\r"});
}

class InstallationScreensTest : public ShellTest {};

TEST_F(InstallationScreensTest, SysDbSavesAndRefreshesTheGlobals) {
  AddRows("F_SYS", {{{"MAXCOMMIT", N(100)}, {"GRAYED", N(1)}}});
  ui.OnDialog("SYS_DB", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(501), "100");
    d.UserType(501, "12,500");
    d.UserType(520, "15");
    d.UserType(517, "5000");
    d.UserType(503, "/tmp/local/");
    d.UserClick(1006);
    d.UserClick(1001);
    d.UserType(504, "10");
    d.UserType(505, "20");
    d.UserType(506, "30");
    d.UserType(8024, "7");
    d.UserPress(1);
  });
  qz::DEF_SYSDB(ui.desktop());
  EXPECT_EQ(Field("F_SYS", 1, "MAXCOMMIT"), "12500");
  EXPECT_EQ(Field("F_SYS", 1, "LOCAL_PATH"), "/tmp/local");
  EXPECT_EQ(Field("F_SYS", 1, "MS_M12_MAX"), "7");
  const qz::Globals& g = qz::G();
  EXPECT_EQ(g.XAPP_MAX_MESSAGETIME, 15 * 60 * 1000);
  EXPECT_EQ(g.XWS_SOCKET, 5000);
  EXPECT_EQ(g.XFLAT_SHOW, 0);
  EXPECT_EQ(g.XGRAYED, 0);
  EXPECT_EQ(g.XO_COLOUR, (qz::Rgb{10, 20, 30}));

  ui.OnDialog("SYS_FONT", [](qz::WDIAG& d) {
    d.UserType(501, "  Tahoma ");
    d.UserType(502, "9.5");
    d.UserType(503, "");
    d.UserPress(1);
  });
  qz::DEF_SYSFONT(ui.desktop());
  EXPECT_EQ(Field("F_SYS", 1, "T_FONT"), "Tahoma");
  EXPECT_EQ(g.XPRINT_FONT, "Times New Roman");
  EXPECT_EQ(g.XGLOBAL_FONT_NAME, "");

  ui.OnDialog("FEC_HORA", [](qz::WDIAG& d) {
    d.UserClick(1001);
    d.UserPress(1);
  });
  qz::FEC_HORA(ui.desktop());
  EXPECT_EQ(g.XFEC_HORA_LOCAL, 1);
  qz::ADS_xINFO();
  EXPECT_EQ(Boxes().back(), "Servidor Advantage no disponible...");
}

TEST(Translations, PairsApplyInOrderWithTheirUpperCaseForms) {
  qz::ResetGlobals();
  qz::G().XTRADUCT = {{"Departamento", "Área"}, {"Planilla", "Nómina"}};
  EXPECT_EQ(qz::P_TRADUCT("Definición de Departamentos / PLANILLA"),
            "Definición de Áreas / NóMINA");
}

TEST(ProgramFolder, HomeVariableWinsOverTheExecutablesFolder) {
  unsetenv("QUARTZEL_HOME");
  EXPECT_EQ(qz::FindProgramFolder("/opt/quartzel/quartzel-pcfg"), "/opt/quartzel");
  setenv("QUARTZEL_HOME", "/srv/demo", 1);
  EXPECT_EQ(qz::FindProgramFolder("/opt/quartzel/quartzel-pcfg"), "/srv/demo");
  unsetenv("QUARTZEL_HOME");
}

}  // namespace
}  // namespace shelltest
