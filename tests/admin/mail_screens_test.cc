// The mail screens: parameters saved and reloaded, the test mail, the
// user's own addresses, mailing a file (queued while the mail server works,
// sent at once when it does not, kept when sending fails) and the queue log.
#include "admin/mail_screens.h"
#include "admin/moneda.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "lib/mail/mail_session.h"
#include "lib/mail/send_file.h"
#include "lib/settings/globals.h"
#include "lib/workbook/grid_workbook.h"
#include "support/smtp_server.h"
#include "support/ui_session.h"

namespace {

using qztest::Biz;
using qztest::C;
using qztest::N;

class MailScreens : public qztest::UiSession {
 protected:
  void SetUp() override {
    if (!qztest::SmtpServerAvailable()) GTEST_SKIP() << "python3-aiosmtpd is not installed";
    Create("DEFMAIL");
    Create("E_MSGS");
    Create("USUARIOS", {{{"NEGOCIO", C(Biz("HOTEL CENTRAL"))},
                         {"CODIGO", N(7)},
                         {"USUARIO", C("ANA MORA")},
                         {"ABREVIA", C("ANA")},
                         {"EMAIL", C("ana@hotel.test")}}});
    qz::Globals& g = qz::G();
    g.XU_COMP = Biz("HOTEL CENTRAL");
    g.XUSER_NUMBER = 7;
    g.XUSER_ABREVIA = "ANA";
    g.XEMAILHOST = "127.0.0.1";
    g.XEMAILADDR = "planillas@hotel.test";
    qz::SetMailTimeouts({2000, 2000, 2000});
  }
  void TearDown() override {
    qz::SetMailTimeouts({});
    UiSession::TearDown();
  }
  std::string Row(const char* table, uint32_t recno, const char* field) {
    auto t = xb::Table::Open(file(std::string(table) + ".DBF"));
    if (!(*t)->GoTo(recno).ok()) return "<none>";
    auto v = (*t)->Get(field);
    if (v->is_numeric()) return std::to_string(static_cast<long long>(v->number()));
    return qz::TrimRight(v->str());
  }
  uint32_t Rows(const char* table) {
    auto t = xb::Table::Open(file(std::string(table) + ".DBF"));
    return *(*t)->RecCount();
  }
  void MailServerLastSeenAt(int hour, int minute) {
    std::filesystem::create_directories(inst.root + "HBEAT");
    const std::string path = inst.root + "HBEAT/MAILSERV.HBT";
    std::ofstream(path) << "";
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 11;
    tm.tm_mday = 8;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }
  void Export(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(inst.root + "TEMP");
    std::ofstream(inst.root + "TEMP/" + name, std::ios::binary) << bytes;
  }
};

TEST_F(MailScreens, ParametersAreCreatedThenModifiedAndTakeEffect) {
  ui.OnDialog("F_MAIL", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(501), "");
    d.UserType(501, "smtp.hotel.test");
    d.UserType(517, "587");
    d.UserType(503, "Planillas");
    d.UserType(504, "planillas@hotel.test");
    d.UserClick(1002);
    d.UserType(512, "buzon");
    d.UserType(513, "Cl4ve");
    d.UserType(505, "soporte@quartzel.test");
    d.UserType(506, "CENTRAL");
    d.UserType(521, "C:\\STUNNEL ");
    d.UserPress(1);
  });
  qz::EMAIL6(desktop, Biz("HOTEL CENTRAL"));
  ASSERT_EQ(Rows("DEFMAIL"), 1u);
  EXPECT_EQ(Row("DEFMAIL", 1, "NEGOCIO"), "HOTEL CENTRAL");
  EXPECT_EQ(Row("DEFMAIL", 1, "SMTP_PORT"), "587");
  EXPECT_EQ(Row("DEFMAIL", 1, "AUTORIZA"), "1");
  const qz::Globals& g = qz::G();
  EXPECT_EQ(g.XEMAILHOST, "smtp.hotel.test");
  EXPECT_EQ(g.XEMAIL_SMTP_PORT, 587);
  EXPECT_EQ(g.XEMAILAUTH, 1);
  EXPECT_EQ(g.XEMAIL_ID, "CENTRAL");

  ui.OnDialog("F_MAIL", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(501), "smtp.hotel.test");
    EXPECT_EQ(d.Text(517), "587");
    EXPECT_EQ(d.Check(1002), 1);
    EXPECT_EQ(d.Check(1001), 0);
    d.UserClick(1002);
    d.UserClick(1001);
    d.UserPress(1);
  });
  qz::EMAIL6(desktop, Biz("HOTEL PLAYA"));
  ASSERT_EQ(Rows("DEFMAIL"), 1u);  // modified, not appended
  EXPECT_EQ(Row("DEFMAIL", 1, "NEGOCIO"), "HOTEL CENTRAL");
  EXPECT_EQ(qz::G().XEMAILAUTH, 0);
  EXPECT_EQ(qz::G().XEMAILSEND, 1);
}

TEST_F(MailScreens, TestMailUsesTheTypedValuesOnlyWhileItRuns) {
  qztest::SmtpServer server(qztest::SmtpOptions{"buzon", "Cl4ve"});
  ui.OnDialog("F_MAIL", [&](qz::WDIAG& d) {
    d.UserType(501, "127.0.0.1");
    d.UserType(517, std::to_string(server.port()));
    d.UserType(504, "planillas@hotel.test");
    d.UserClick(1002);
    d.UserType(512, "buzon");
    d.UserType(513, "Cl4ve");
    d.UserType(505, "soporte@quartzel.test");
    d.UserPress(3);
    d.UserPress(2);
  });
  qz::EMAIL6(desktop, Biz("HOTEL CENTRAL"));
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0]["headers"]["Subject"], "Confirmacion de Configuracion SMTP");
  EXPECT_EQ(msgs[0]["rcpt_tos"][0], "soporte@quartzel.test");
  EXPECT_EQ(ui.wait_texts(), (std::vector<std::string>{"Programando Parámetros...",
                                                       "Conectando a: soporte@quartzel.test",
                                                       "Enviando email a: soporte@quartzel.test"}));
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"email enviado correctamente..."});
  EXPECT_EQ(Rows("DEFMAIL"), 0u);  // cancelled: nothing saved
  EXPECT_EQ(qz::G().XEMAILAUTH, 0);
  EXPECT_FALSE(qz::G().XEMAIL_SMTP_PORT.has_value());
}

TEST_F(MailScreens, UserAddressesAndButtonStyle) {
  ui.OnDialog("U_EMAIL", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Check(201), 1);
    EXPECT_EQ(d.Text(501), "ana@hotel.test");
    d.UserType(502, "Ana Mora");
    d.UserType(503, "ana.mora@hotel.test");
    d.UserClick(203);
    d.UserPress(1);
  });
  qz::U_EMAIL(desktop);
  EXPECT_EQ(Row("USUARIOS", 1, "USERNAME"), "Ana Mora");
  EXPECT_EQ(Row("USUARIOS", 1, "BUTTONSTYL"), "2");
  EXPECT_EQ(qz::G().XEMAILNAME, "Ana Mora");
  EXPECT_EQ(qz::G().XEMAILADDR, "ana.mora@hotel.test");
  EXPECT_EQ(qz::G().XBUTTON_STYLE, 5);
}

TEST_F(MailScreens, FileIsQueuedWhileTheMailServerWorks) {
  Export("planilla.xlsx", "PK-workbook");
  ui.OnDialog("LEE_EMAIL", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(503), "ana@hotel.test");
    EXPECT_EQ(d.Text(601), "MAILSERVER OK...");
    d.UserType(503, "ana");
    d.UserPress(1);
    d.UserType(503, "gerente@hotel.test");
    d.UserPress(1);
  });
  EXPECT_TRUE(qz::SEND_FILE_EMAIL(desktop, nullptr, inst.root + "TEMP", "planilla.xlsx",
                                  "Planilla quincenal", Biz("HOTEL CENTRAL"), "Hotel Central"));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"email inválido",
                                      "Archivo guardado en Espera por enviar por MAILSERVER\r"
                                      "Info: Planilla quincenal\rDestino: gerente@hotel.test"}));
  ASSERT_EQ(Rows("E_MSGS"), 1u);
  EXPECT_EQ(Row("E_MSGS", 1, "SUBJECT"), "QUARTZEL Software ENVIO AUTOMATICO DE ARCHIVO");
  EXPECT_EQ(Row("E_MSGS", 1, "HTML_ATTCH"), "planilla.xlsx");
  EXPECT_EQ(Row("E_MSGS", 1, "ENVIADO"), "0");
}

TEST_F(MailScreens, FileIsSentAtOnceWhenTheMailServerIsSilent) {
  qztest::SmtpServer server;
  qz::G().XEMAIL_SMTP_PORT = server.port();
  MailServerLastSeenAt(10, 20);  // ten minutes before the clock's 10:30
  Export("planilla.xlsx", "PK-workbook");
  ui.OnDialog("LEE_EMAIL", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(601), "El MAILSERVER no se encuentra trabajando...");
    d.UserPress(1);
  });
  EXPECT_TRUE(qz::SEND_FILE_EMAIL(desktop, nullptr, inst.root + "TEMP", "planilla.xlsx",
                                  "Planilla quincenal", Biz("HOTEL CENTRAL"), "Hotel Central"));
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"email enviado correctamente..."});
  EXPECT_EQ(Row("E_MSGS", 1, "ENVIADO"), "1");
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0]["rcpt_tos"][0], "ana@hotel.test");
  bool attached = false;
  for (const auto& p : msgs[0]["parts"]) attached |= p["filename"] == "planilla.xlsx";
  EXPECT_TRUE(attached);
}

TEST_F(MailScreens, FailedDirectSendIsToldAndStaysQueued) {
  qz::G().XEMAIL_SMTP_PORT = qztest::FreePort();
  MailServerLastSeenAt(9, 0);
  Export("planilla.xlsx", "PK");
  ui.OnDialog("LEE_EMAIL", [](qz::WDIAG& d) { d.UserPress(1); });
  qz::SEND_FILE_EMAIL(desktop, nullptr, inst.root + "TEMP", "planilla.xlsx", "Planilla",
                      Biz("HOTEL CENTRAL"), "Hotel Central");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Error conectando SMTP"});
  EXPECT_EQ(Row("E_MSGS", 1, "ENVIADO"), "0");
  EXPECT_EQ(Row("E_MSGS", 1, "ERR_COUNT"), "1");

  // What cannot be mailed is refused before anything is queued.
  ui.OnDialog("LEE_EMAIL", [](qz::WDIAG& d) {
    d.UserPress(1);
    d.UserPress(2);
  });
  EXPECT_FALSE(qz::SEND_FILE_EMAIL(desktop, nullptr, inst.root + "TEMP", "falta.xlsx", "x",
                                   Biz("HOTEL CENTRAL"), ""));
  EXPECT_FALSE(qz::SEND_FILE_EMAIL(desktop, nullptr, inst.root + "TEMP", " ", "x", "", ""));
  EXPECT_FALSE(qz::SEND_FILE_EMAIL(desktop, nullptr, "", "a.xlsx", "x", "", ""));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{
                "Archivo no se encuentra en la dirección indicada",
                "No se puede enviar archivo. Nombre erróneo:  ",
                "Error generando Archivo XLS.  Reporte posiblemente sin datos?"}));
  EXPECT_EQ(Rows("E_MSGS"), 1u);

  qz::LOG_EMAIL* log = qz::OpenMailLog(desktop);
  ASSERT_NE(log, nullptr);
  ASSERT_EQ(log->grid()->RowCount(), 1);
  EXPECT_EQ(log->grid()->Cell(0, 2), "0");
  EXPECT_EQ(qz::TrimRight(log->grid()->Cell(0, 3)), "ana@hotel.test");
  EXPECT_NE(log->grid()->Cell(0, 8).find("-7"), std::string::npos);  // couldn't connect
  ui.Press(log, 1);
}

TEST_F(MailScreens, AGridExportedFromItsContextMenuIsMailedAsAWorkbook) {
  qztest::SmtpServer server;
  qz::G().XEMAIL_SMTP_PORT = server.port();
  MailServerLastSeenAt(10, 0);  // the mail server is silent: sent at once
  Create("MONEDAS", {{{"NEGOCIO", C(Biz("HOTEL CENTRAL"))}, {"CODIGO", C("CR")}, {"DESCRIP", C("COLONES")}},
                     {{"NEGOCIO", C(Biz("HOTEL CENTRAL"))}, {"CODIGO", C("US")}, {"DESCRIP", C("DOLARES")}}});
  auto* screen = qz::OpenScreen<qz::MONEDA>(desktop, "MONEDA", Biz("HOTEL CENTRAL"));
  ASSERT_NE(screen, nullptr);
  auto menu = qz::GridContextMenu(*screen->oB());
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_EQ(menu[0].caption, "Exportar a DBF");
  ui.OnDialog("DBF_OB", [](qz::WDIAG& d) { d.UserPress(3); });  // "Exportar && enviar email"
  std::string file;
  ui.OnDialog("LEE_EMAIL", [&](qz::WDIAG& d) {
    file = d.Text(502);
    d.UserType(503, "contador@hotel.test");
    d.UserPress(1);
  });
  menu[0].action();
  EXPECT_EQ(file.rfind("GRID_Definición de Monedas", 0), 0u) << file;
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"email enviado correctamente..."});
  EXPECT_TRUE(ui.opened().empty());  // mailed, not opened
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0]["rcpt_tos"][0], "contador@hotel.test");
  bool attached = false;
  for (const auto& p : msgs[0]["parts"]) attached |= p["filename"] == file;
  EXPECT_TRUE(attached);

  // "Salir" mails nothing.
  ui.OnDialog("DBF_OB", [](qz::WDIAG& d) { d.UserPress(2); });
  EXPECT_FALSE(qz::ExportGridAndMail(*screen->oB()));
  EXPECT_EQ(server.Messages().size(), 1u);
}

}  // namespace
