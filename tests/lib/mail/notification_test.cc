// The notification page and the rules around it: placeholders replaced
// wherever the read blocks cut them, values escaped and never searched
// again, the heartbeat age and what counts as an address.
#include "lib/mail/notification.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <sstream>

#include "lib/mail/heartbeat.h"
#include "lib/mail/mail_text.h"
#include "lib/mail/mail_fixture.h"

namespace {

std::string Copy(const std::string& text, const qz::Placeholders& p, size_t block) {
  std::istringstream in(text);
  std::ostringstream out;
  EXPECT_TRUE(qz::CopyReplacing(in, out, p, block));
  return out.str();
}

TEST(Notification, PlaceholdersCutByEveryBlockBoundaryAreReplaced) {
  const qz::Placeholders p = {{"XHOTEL", "Playa"}, {"XTEXTO1", "uno"}, {"XTITULO1", "T"},
                              {"XDETALLE1", "XHOTEL"}, {"XDETALLE0", ""}};
  const std::string page = "<p>XHOTEL</p>XTEXTO1XTEXTO1|XTITULO1 XDETALLE0XDETALLE1 XHOTE";
  const std::string want = "<p>Playa</p>unouno|T XHOTEL XHOTE";
  EXPECT_EQ(Copy(page, p, 5000), want);
  // Every block size, down to below the longest name (raised to it), cuts
  // the names at every possible place.
  for (size_t block = 1; block <= page.size() + 1; ++block) EXPECT_EQ(Copy(page, p, block), want) << block;
  EXPECT_EQ(Copy("", p, 3), "");
}

TEST(Notification, ValuesAreEscapedAndDetailHeadingFollowsTheDetail) {
  qz::Notification n;
  n.hotel = "A&B <Hotel>";
  n.texts[5] = "Año";
  auto p = qz::NotificationPlaceholders(n, "08/12/26/10:30:00");
  auto value = [&](const std::string& name) {
    for (const auto& [k, v] : p)
      if (k == name) return v;
    return std::string("<none>");
  };
  EXPECT_EQ(value("XHOTEL"), "A&amp;B &lt;Hotel&gt;");
  EXPECT_EQ(value("XTEXTO6"), "A&#241;o");
  EXPECT_EQ(value("XDETALLE0"), "");
  n.detail = "x";
  p = qz::NotificationPlaceholders(n, "");
  EXPECT_EQ(value("XDETALLE0"), "DETALLE:");
  EXPECT_EQ(p.size(), 17u);
}

TEST(Notification, AddressRules) {
  EXPECT_TRUE(qz::VALID_EMAIL("  ana@hotel.cr "));
  EXPECT_FALSE(qz::VALID_EMAIL("a@b"));      // no full stop
  EXPECT_FALSE(qz::VALID_EMAIL("a@.c"));     // 4 characters
  EXPECT_FALSE(qz::VALID_EMAIL("ana hotel@x.cr"));
  EXPECT_FALSE(qz::VALID_EMAIL("ana.hotel.cr"));
  EXPECT_EQ(qz::AngleAddress("a@b.c"), "<a@b.c>");
  EXPECT_EQ(qz::AngleAddress("<a@b.c>"), "<a@b.c>");
  EXPECT_EQ(qz::BareAddress("\"Ana\" <a@b.c>"), "a@b.c");
  EXPECT_EQ(qz::SplitAddresses("a@b.c; c@d.e,,"), (std::vector<std::string>{"a@b.c", "c@d.e"}));
  EXPECT_EQ(qz::EncodeHeaderText("Año"), "=?UTF-8?B?QcOxbw==?=");
  EXPECT_EQ(qz::PlainTextAsHtml("a<b\r\nc\rd"), "<html><body><pre>a&lt;b\nc\nd</pre></body></html>");
}

class Heartbeat : public qztest::MailTest {};

TEST_F(Heartbeat, AgeOfTheMailServerDecidesBetweenQueueAndSend) {
  EXPECT_EQ(qz::GET_HEARTBEAT("MAILSERV"), -1);
  EXPECT_FALSE(qz::MailServerSilent());  // no heartbeat: the mail server is trusted
  Write("HBEAT/MAILSERV.HBT", "");
  // The clock says 08/12/2026 10:30:00; the file was written at 10:26:00
  // and then at 10:24:59 the day before the month changed.
  auto stamp = [&](int y, int mo, int d, int h, int mi, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    timespec times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (inst.root + "HBEAT/MAILSERV.HBT").c_str(), times, 0), 0);
  };
  stamp(2026, 12, 8, 10, 26, 0);
  EXPECT_EQ(qz::GET_HEARTBEAT("MAILSERV"), 240);
  EXPECT_FALSE(qz::MailServerSilent());
  stamp(2026, 12, 8, 10, 24, 59);
  EXPECT_EQ(qz::GET_HEARTBEAT("MAILSERV"), 301);
  EXPECT_TRUE(qz::MailServerSilent());
  // Across a month end the age is the real one (30 November had 30 days).
  clock.SetNow({2026, 12, 1, 0, 0, 30, 0});
  stamp(2026, 11, 30, 23, 59, 0);
  EXPECT_EQ(qz::GET_HEARTBEAT("MAILSERV"), 90);
}

}  // namespace
