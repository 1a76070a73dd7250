// A scratch installation with the mail tables and folders, mail settings
// pointing at a loopback server, and helpers to read E_MSGS back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lib/mail/mail_session.h"
#include "lib/settings/globals.h"
#include "support/fake_clock.h"
#include "support/installation.h"
#include "support/schema_tables.h"
#include "support/scripted_boxes.h"
#include "support/smtp_server.h"
#include "xbase/codepage.h"

namespace qztest {

class MailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SmtpServerAvailable()) GTEST_SKIP() << "python3-aiosmtpd is not installed";
    inst.Start();
    CreateSchemaTable(inst.root + "BASES", "E_MSGS");
    std::filesystem::create_directories(inst.root + "HTML");
    qz::SetMailTimeouts({2000, 2000, 2000});
    qz::Globals& g = qz::G();
    g.XEMAILHOST = "127.0.0.1";
    g.XEMAILNAME = "Hotel Central";
    g.XEMAILADDR = "planillas@hotel.test";
    g.XEMAILDEST = "soporte@quartzel.test";
    g.XEMAIL_ID = "CENTRAL";
  }
  void TearDown() override {
    qz::DISCONNECTSEE();
    qz::SetMailTimeouts({});
  }

  void UseServer(int port, const std::string& user = "", const std::string& password = "") {
    qz::Globals& g = qz::G();
    g.XEMAIL_SMTP_PORT = port;
    g.XEMAILAUTH = user.empty() ? 0 : 1;
    g.XEMAIL_AU = user;
    g.XEMAIL_AP = password;
  }

  void Write(const std::string& rel, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(inst.root + rel).parent_path());
    std::ofstream(inst.root + rel, std::ios::binary) << bytes;
  }

  // Field of E_MSGS record `recno` as text (numbers without decimals).
  std::string Queue(uint32_t recno, const std::string& field) {
    auto t = xb::Table::Open(inst.root + "BASES/E_MSGS.DBF");
    EXPECT_TRUE((*t)->GoTo(recno).ok());
    auto v = (*t)->Get(field);
    if (!v.ok()) return "<missing>";
    if (v->is_numeric()) return std::to_string(static_cast<long long>(v->number()));
    if (v->type() == xb::Value::Type::kDate) return v->date() == 0 ? "" : "date";
    std::string s = xb::ToUtf8(v->str());
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  uint32_t QueueCount() {
    auto t = xb::Table::Open(inst.root + "BASES/E_MSGS.DBF");
    return *(*t)->RecCount();
  }

  // True when any file under the installation holds `text`.
  bool InstallationHolds(const std::string& text) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(inst.root)) {
      if (!e.is_regular_file()) continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), {});
      if (bytes.find(text) != std::string::npos) return true;
    }
    return false;
  }

  FakeClock clock;
  Installation inst;
  ScriptedBoxes boxes;
};

}  // namespace qztest
