// Start-up settings: ADS.DEF and the engine choice, server date and time
// with their fallbacks, installation settings, the local temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "lib/data/date_time.h"
#include "lib/data/server_engine.h"
#include "lib/data/use.h"
#include "lib/settings/ads_def.h"
#include "lib/settings/globals.h"
#include "lib/settings/installation.h"
#include "lib/settings/startup.h"
#include "support/fake_clock.h"
#include "support/installation.h"
#include "support/scripted_boxes.h"
#include "xbase/value.h"

namespace qz {
namespace {

namespace fs = std::filesystem;
using qztest::F;

TEST(AdsDef, LinesEndWithCrAndLineFeedsAreIgnored) {
  EXPECT_EQ(SplitAdsDefLines("a\r\nb\r\n\rc"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitAdsDefLines("x\n y\r"), (std::vector<std::string>{"x y"}));
  EXPECT_TRUE(SplitAdsDefLines("").empty());
}

TEST(AdsDef, FourLinesKeepTheDefaultsOfLaterLines) {
  Globals g;
  ApplyAdsDef(g, SplitAdsDefLines("/srv\r1\r1\r1\r"));
  EXPECT_EQ(g.XADSPARAMS.size(), 26u);
  EXPECT_EQ(g.XADSPARAMS[3], "1");
  EXPECT_EQ(g.XADSPARAMS[25], "");
  EXPECT_EQ(g.XADSCACHERECORDS, 0);
  EXPECT_EQ(g.XADS_TS, std::string(100, '0'));
  std::string lines;
  for (int i = 1; i <= 20; ++i) lines += "x\r";
  ApplyAdsDef(g, SplitAdsDefLines(lines + ".F. rights\r  \r.F.\r\r\r0010\rdir"));
  EXPECT_FALSE(g.XADS_RIGHTS_CHECKING);
  EXPECT_EQ(g.XADSCACHERECORDS, 0);  // line 22 blank
  EXPECT_TRUE(g.XADS_COMPATIBLE_LOCKING);
  EXPECT_EQ(g.XADS_TS, "0010");
  EXPECT_EQ(g.XADS_DIR, "dir");
}

TEST(Startup, EngineChoiceAndServerTest) {
  qztest::ScriptedBoxes boxes;
  qztest::Installation inst;
  EXPECT_EQ(inst.Start(), StartResult::kContinue);
  EXPECT_EQ(G().DEF_RDD, "DBFCDX");
  EXPECT_EQ(G().PATH, inst.root);
  inst.WriteFile("ADS.DEF", inst.root + "NOHAY\r1\r");
  EXPECT_EQ(inst.Start(), StartResult::kEndProgram);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text,
            "Servidor Advantage Database Server no localizable\rError:       6420");
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  EXPECT_EQ(inst.Start(), StartResult::kContinue);
  EXPECT_EQ(G().DEF_RDD, "ADSCDX");
  EXPECT_TRUE(G().XADS_MYCONNECTION.value_or(false));
  EXPECT_EQ(G().XADSDIRECTORY, inst.root + "BASES");
  EXPECT_EQ(ServerManagementInfo().sessions, 1);
  ServerDisconnect();
}

class FixedServerClock : public ServerClockSource {
 public:
  FixedServerClock() { SetServerClockSource(this); }
  ~FixedServerClock() override { SetServerClockSource(nullptr); }
  std::optional<LocalDateTime> Now() override { return now; }
  std::optional<LocalDateTime> now;
};

TEST(ServerDateTime, ServerClockWithWorkstationFallbacks) {
  qztest::FakeClock clock;  // workstation: 08/12/2026 10:30:00
  FixedServerClock server;
  qztest::Installation inst;
  inst.Start();
  server.now = LocalDateTime{2027, 1, 2, 25, 4, 5, 0};
  EXPECT_EQ(DateText(XDATE()), "08/12/26");  // local engine: the workstation
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  inst.Start();
  EXPECT_EQ(DateText(XDATE()), "02/01/27");
  EXPECT_EQ(XTIME(), "01:04:05");  // hours modulo 24
  EXPECT_EQ(DateText(XDATE(true)), "08/12/26");
  G().XFEC_HORA_LOCAL = 1;
  EXPECT_EQ(XTIME(), "10:30:00");
  EXPECT_EQ(GET_SERVERTIME(), "01:04:05");
  G().XFEC_HORA_LOCAL = 0;
  server.now->year = 1600;  // server clock never set
  EXPECT_EQ(DateText(XDATE()), "08/12/26");
  server.now.reset();  // the call fails
  EXPECT_EQ(XTIME(), "10:30:00");
  server.now = LocalDateTime{2027, 1, 2, 3, 4, 5, 0};
  G().XADS_MYCONNECTION = false;
  EXPECT_EQ(DateText(XDATE()), "08/12/26");
  ServerDisconnect();
}

TEST(ServerDateTime, SharedFolderClockIsNearTheWorkstationClock) {
  qztest::Installation inst;
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  inst.Start();
  auto now = ServerNow();
  ASSERT_TRUE(now.has_value());
  EXPECT_LE(std::abs(JulianOf(*now) - JulianOf(CurrentClock().Now())), 1);
  ServerDisconnect();
}

TEST(InstallationSettings, MissingFieldsKeepDefaultsAndRulesApply) {
  qztest::ScriptedBoxes boxes;
  qztest::Installation inst;
  qztest::MakeTable(
      inst.root + "BASES/F_SYS",
      {F("MAXCOMMIT", 'N', 8), F("GRAYED", 'N', 1), F("P_FONT", 'C', 30), F("DGROUP", 'N', 6),
       F("MAXTIMEOUT", 'N', 4), F("RGB1", 'N', 3), F("RGB2", 'N', 3), F("RGB3", 'N', 3),
       F("LOCAL_TEMP", 'N', 1), F("LOCAL_PATH", 'C', 60)});
  qztest::MakeTable(inst.root + "BASES/DEFMAIL", {F("HOST", 'C', 40), F("SENDMAIL", 'N', 1)});
  {
    auto t = xb::Table::Open(inst.root + "BASES/F_SYS.DBF");
    (*t)->Append();
    (*t)->Put("MAXCOMMIT", xb::Value::Number(50));
    (*t)->Put("MAXTIMEOUT", xb::Value::Number(3));
    (*t)->Put("RGB1", xb::Value::Number(10));
    (*t)->Put("LOCAL_TEMP", xb::Value::Number(1));
    (*t)->Put("LOCAL_PATH", xb::Value::Char(inst.root + "LOCALTMP/"));
    auto m = xb::Table::Open(inst.root + "BASES/DEFMAIL.DBF");
    (*m)->Append();
    (*m)->Put("HOST", xb::Value::Char("  smtp.hotel  "));
  }
  inst.Start();
  LoadInstallationSettings(nullptr);
  const Globals& g = G();
  EXPECT_EQ(g.XEMAILHOST, "smtp.hotel");
  EXPECT_FALSE(g.XEMAIL_SMTP_PORT.has_value());
  EXPECT_EQ(g.XEMAIL_ID, "");  // DEFMAIL's missing text fields are empty, not the default
  EXPECT_EQ(g.XMAXCOMMIT, 50);
  EXPECT_EQ(g.XPRINT_FONT, "Calibri");  // field present but blank
  EXPECT_EQ(g.XDGROUPLIMIT, 6000);
  EXPECT_EQ(g.XAPP_MAX_MESSAGETIME, 180000);
  EXPECT_EQ(g.XO_COLOUR, (Rgb{10, 0, 0}));
  EXPECT_EQ(g.XH_COLOUR, (Rgb{200, 0, 0}));
  EXPECT_EQ(g.XWS_SOCKET, 4129);
  EXPECT_EQ(g.XTEMPPATH.local, 1);
  EXPECT_EQ(g.XTEMPPATH.folder, inst.root + "LOCALTMP");
  EXPECT_TRUE(fs::is_directory(inst.root + "LOCALTMP/TEMP"));
  EXPECT_EQ(TempFolder(), inst.root + "LOCALTMP/TEMP/");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(InstallationSettings, UnusableLocalTempFolderIsGivenUp) {
  qztest::ScriptedBoxes boxes;
  qztest::Installation inst;
  inst.Start();
  inst.WriteFile("AFILE", "x");
  SetLocalTempFolder(1, inst.root + "AFILE/SUB");
  EXPECT_EQ(G().XTEMPPATH.local, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, "Error");
  SetLocalTempFolder(0, "");  // not asked for: nothing to check
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(InstallationSettings, BorrarTempsRemovesOnlyThisProgramsLeftovers) {
  qztest::Installation inst;
  inst.Start();
  SetLocalTempFolder(1, inst.root + "LT");
  const std::string d = inst.root + "LT/TEMP/";
  for (const char* n : {"T1.PCFG", "T1.CDX", "T1.FPT", "ORPHAN.CDX", "MEMO.FPT", "X.HOT", "X.CDX",
                        "KEEP.DBF", "KEEP.CDX", "OTHER.POS"})
    std::ofstream(d + n) << "x";
  BORRAR_TEMPS();
  std::set<std::string> left;
  for (const auto& e : fs::directory_iterator(d)) left.insert(e.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"KEEP.DBF", "KEEP.CDX", "OTHER.POS"}));
}

TEST(Startup, TwoDigitYearsFollowTheEpoch1980) {
  EXPECT_EQ(ExpandTwoDigitYear(79), 2079);
  EXPECT_EQ(ExpandTwoDigitYear(80), 1980);
}

}  // namespace
}  // namespace qz
