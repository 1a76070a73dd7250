// Mail through a real SMTP server on loopback: a notification with HTML
// body, inline picture and attachment; logins on and off; servers that are
// down, refuse, hang or drop the line (the message stays queued and is sent
// later); the error handler's reports; and the password kept out of every
// file.
#include <gtest/gtest.h>

#include "lib/errors/error_handler.h"
#include "lib/mail/mail_queue.h"
#include "lib/mail/notification.h"
#include "lib/mail/mail_fixture.h"

namespace {

using qz::Notification;
using qztest::SmtpServer;

const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0", 4) + "JFIF-picture" + std::string(1, '\0');

Notification Sample() {
  Notification n;
  n.business = "HOTEL CENTRAL  ";
  n.hotel = "Hotel Central & Spa";
  n.to = {"gerente@hotel.test", "conta@hotel.test", "rrhh@hotel.test"};
  n.subject = "Planilla aprobada - Notificación";
  n.user = "ANA";
  n.titles[0] = "ENVIO AUTOMATICO";
  n.texts[0] = "Archivo planilla.csv";
  n.titles[1] = "Descripción:";
  n.texts[1] = "Planilla <quincenal>";
  n.detail = "línea 1";
  return n;
}

const nlohmann::json* Part(const nlohmann::json& msg, const std::string& type) {
  for (const auto& p : msg["parts"])
    if (p["type"] == type) return &p;
  return nullptr;
}

class MailSession : public qztest::MailTest {};

TEST_F(MailSession, NotificationWithPictureAndAttachmentArrivesThroughALogin) {
  SmtpServer server(qztest::SmtpOptions{"buzon", "Cl4ve-Secreta"});
  ASSERT_TRUE(server.running());
  UseServer(server.port(), "buzon", "Cl4ve-Secreta");
  Write("HTML/NOTIFICA.HTM",
        "<html><body><img src=\"cid:NOTIFICA.JPG\"><h1>XHOTEL</h1><p>XTITULO1: XTEXTO1</p>"
        "<p>XTITULO2 XTEXTO2</p><p>XDETALLE0 XDETALLE1</p><p>XUSUARIO XFECHA</p>"
        "<p>[XTEXTO6]</p></body></html>");
  Write("HTML/NOTIFICA.JPG", kJpeg);
  Write("EXPORT/planilla.csv", "codigo;monto\r\nE1;1500.25\r\n");
  Notification n = Sample();
  n.attachment = "planilla.csv";
  n.attachment_folder = inst.root + "EXPORT";
  n.delete_attachment = true;

  const uint32_t recno = qz::SEND_NOTIFICATION(n);
  ASSERT_EQ(recno, 1u);
  EXPECT_EQ(Queue(recno, "LISTO"), "1");
  EXPECT_EQ(Queue(recno, "ENVIADO"), "0");
  EXPECT_EQ(Queue(recno, "HTML_EMBED"), "NOTIFICA.JPG");
  EXPECT_EQ(Queue(recno, "CC2"), "rrhh@hotel.test");
  EXPECT_EQ(Queue(recno, "MAIL").substr(0, 8), "20261208");
  EXPECT_TRUE(std::filesystem::exists(inst.root + "MAIL/RECEIVE"));

  ASSERT_EQ(qz::SendQueuedMail(recno), 0) << qz::MailErrorText(qz::SendQueuedMail(recno));
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  const auto& m = msgs[0];
  EXPECT_EQ(m["auth_user"], "buzon");
  EXPECT_EQ(m["mail_from"], "planillas@hotel.test");
  EXPECT_EQ(m["rcpt_tos"], (nlohmann::json{"gerente@hotel.test", "conta@hotel.test",
                                          "rrhh@hotel.test"}));
  EXPECT_EQ(m["headers"]["Subject"], "Planilla aprobada - Notificación");
  EXPECT_EQ(m["headers"]["From"], "\"Hotel Central\" <planillas@hotel.test>");
  EXPECT_EQ(m["headers"]["To"], "<gerente@hotel.test>");
  EXPECT_EQ(m["headers"]["Cc"], "<conta@hotel.test>, <rrhh@hotel.test>");
  EXPECT_EQ(m["headers"]["X-Priority"], "Normal");
  EXPECT_EQ(m["content_type"], "multipart/mixed");

  const auto* html = Part(m, "text/html");
  ASSERT_NE(html, nullptr);
  const std::string body = (*html)["text"];
  EXPECT_NE(body.find("<h1>Hotel Central &amp; Spa</h1>"), std::string::npos) << body;
  EXPECT_NE(body.find("ENVIO AUTOMATICO: Archivo planilla.csv"), std::string::npos);
  EXPECT_NE(body.find("Descripci&#243;n: Planilla &lt;quincenal&gt;"), std::string::npos);
  EXPECT_NE(body.find("DETALLE: l&#237;nea 1"), std::string::npos);
  EXPECT_NE(body.find("ANA 08/12/26/10:30:00"), std::string::npos);
  EXPECT_NE(body.find("<p>[]</p>"), std::string::npos);  // unused placeholders empty

  const auto* img = Part(m, "image/jpeg");
  ASSERT_NE(img, nullptr);
  EXPECT_EQ((*img)["content_id"], "<NOTIFICA.JPG>");
  EXPECT_EQ((*img)["disposition"], "inline");
  EXPECT_EQ((*img)["hex"], "ffd8ffe04a4649462d70696374757265" "00");

  const auto* att = Part(m, "text/plain");
  ASSERT_NE(att, nullptr);
  EXPECT_EQ((*att)["filename"], "planilla.csv");
  EXPECT_EQ((*att)["disposition"], "attachment");
  EXPECT_EQ((*att)["text"], "codigo;monto\r\nE1;1500.25\r\n");

  EXPECT_EQ(Queue(recno, "ENVIADO"), "1");
  EXPECT_EQ(Queue(recno, "F_ENVIO"), "date");
  EXPECT_FALSE(std::filesystem::exists(inst.root + "EXPORT/planilla.csv"));  // asked to delete
  // Sending again does not duplicate it.
  EXPECT_EQ(qz::SendQueuedMail(recno), 0);
  EXPECT_EQ(server.Messages().size(), 1u);
}

TEST_F(MailSession, WithoutAuthenticationNoLoginIsOffered) {
  SmtpServer server;
  UseServer(server.port());
  qz::G().XEMAIL_AU = "buzon";
  qz::G().XEMAIL_AP = "no-se-usa";
  ASSERT_EQ(qz::CONNECTSEE(), 0);
  EXPECT_EQ(qz::SENDMAILSEE("a@hotel.test", "", "", "Hola", "<p>hola</p>"), 0);
  qz::DISCONNECTSEE();
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_TRUE(msgs[0]["auth_user"].is_null());
  EXPECT_FALSE(msgs[0]["headers"].contains("Cc"));
}

TEST_F(MailSession, OneSessionCarriesSeveralMessagesWithBlindCopies) {
  SmtpServer server;
  UseServer(server.port());
  ASSERT_EQ(qz::CONNECTSEE(), 0);
  EXPECT_EQ(qz::SENDMAILSEE("a@hotel.test", "b@hotel.test", "c@hotel.test", "Uno", "<p>1</p>"), 0);
  EXPECT_EQ(qz::SENDMAILSEE("a@hotel.test", "", "", "Dos", "<p>2</p>"), 0);
  qz::DISCONNECTSEE();
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 2u);
  // The blind copy travels in the envelope only.
  EXPECT_EQ(msgs[0]["rcpt_tos"].size(), 3u);
  EXPECT_FALSE(msgs[0]["headers"].contains("Bcc"));
  EXPECT_EQ(qz::SENDMAILSEE("a@hotel.test", "", "", "Tres", "x"), qz::kMailNotConnected);
}

TEST_F(MailSession, WrongPasswordIsToldQueuedAndNeverWrittenDown) {
  SmtpServer server(qztest::SmtpOptions{"buzon", "Cl4ve-Secreta"});
  UseServer(server.port(), "buzon", "Mala-Clave-777");
  const int rc = qz::CONNECTSEE();
  EXPECT_LT(rc, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text,
            "Error SMTP Connect, maybe bad authentication: " + std::to_string(rc));

  const uint32_t recno = qz::SEND_NOTIFICATION(Sample());
  EXPECT_LT(qz::SendQueuedMail(recno), 0);
  EXPECT_EQ(Queue(recno, "ENVIADO"), "0");
  EXPECT_EQ(Queue(recno, "ERR_COUNT"), "1");
  EXPECT_NE(Queue(recno, "ERR_TEXT"), "");
  EXPECT_TRUE(server.Messages().empty());
  EXPECT_FALSE(InstallationHolds("Mala-Clave-777"));
  EXPECT_EQ(qz::MailErrorText(rc).find("Mala-Clave-777"), std::string::npos);
}

TEST_F(MailSession, ServerDownQueuesAndTheMessageGoesOutLater) {
  UseServer(qztest::FreePort());
  const uint32_t first = qz::SEND_NOTIFICATION(Sample());
  Notification other = Sample();
  other.subject = "Segundo";
  const uint32_t second = qz::SEND_NOTIFICATION(other);
  EXPECT_EQ(qz::SendPendingMails(), 0);
  EXPECT_EQ(Queue(first, "ERR_COUNT"), "1");
  EXPECT_EQ(Queue(second, "ERR_COUNT"), "1");
  EXPECT_EQ(Queue(first, "ENVIADO"), "0");

  SmtpServer server;
  UseServer(server.port());
  EXPECT_EQ(qz::SendPendingMails(), 2);
  EXPECT_EQ(Queue(first, "ENVIADO"), "1");
  EXPECT_EQ(Queue(second, "ENVIADO"), "1");
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[1]["headers"]["Subject"], "Segundo");
  EXPECT_EQ(qz::SendPendingMails(), 0);  // nothing left
}

TEST_F(MailSession, RefusingHangingOrDroppingServersLeaveTheMessageQueued) {
  SmtpServer refusing(qztest::SmtpOptions{"", "", "refuse"});
  SmtpServer dropping(qztest::SmtpOptions{"", "", "drop"});
  qztest::SilentServer silent;
  const uint32_t recno = qz::SEND_NOTIFICATION(Sample());
  int attempts = 0;
  for (int port : {refusing.port(), dropping.port(), silent.port()}) {
    UseServer(port);
    EXPECT_LT(qz::SendQueuedMail(recno), 0) << port;
    ++attempts;
    EXPECT_EQ(Queue(recno, "ERR_COUNT"), std::to_string(attempts));
    EXPECT_EQ(Queue(recno, "ENVIADO"), "0");
  }
  EXPECT_EQ(QueueCount(), 1u);
}

TEST_F(MailSession, ErrorReportsAreMailedAtOnceOrQueuedWhenTheServerIsAway) {
  qztest::ScriptedErrorDialog dialog;
  qz::SetMailSender(nullptr);
  qz::G().XEMAILSEND = 1;
  SmtpServer server;
  UseServer(server.port());
  qz::ErrorInfo e;
  e.subsystem = "DBFCDX";
  e.sub_code = 1001;
  e.description = "Open error";
  e.filename = "ENC_PERS.DBF";
  e.can_default = true;
  qz::ERRORSYS(e);
  auto msgs = server.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0]["headers"]["Subject"], "Error: CENTRAL");
  EXPECT_EQ(msgs[0]["rcpt_tos"][0], "soporte@quartzel.test");
  const std::string body = (*Part(msgs[0], "text/html"))["text"];
  EXPECT_NE(body.find("Error DBFCDX/1001  Open error: ENC_PERS.DBF"), std::string::npos);
  EXPECT_EQ(QueueCount(), 0u);

  server.Stop();
  qz::ERRORSYS(e);
  ASSERT_EQ(QueueCount(), 1u);  // not lost: queued for the mail server
  EXPECT_EQ(Queue(1, "SUBJECT"), "Error: CENTRAL");
  EXPECT_EQ(Queue(1, "LISTO"), "1");
  SmtpServer back;
  UseServer(back.port());
  EXPECT_EQ(qz::SendPendingMails(), 1);
  ASSERT_EQ(back.Messages().size(), 1u);
  EXPECT_NE(std::string((*Part(back.Messages()[0], "text/html"))["text"]).find("ENC_PERS.DBF"),
            std::string::npos);
}

}  // namespace
