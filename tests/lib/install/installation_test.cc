// An installation as the program finds it: every table and tag, the folders
// and files, the installation rows; and what the installer refuses.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>

#include "install_test_util.h"
#include "lib/install/bitmaps.h"
#include "lib/install/table_maker.h"
#include "lib/install/text_files.h"
#include "support/fault_env.h"

namespace {

namespace fs = std::filesystem;
using qztest::ReadAll;
using qztest::TheCatalog;

std::string ReadFile(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

class Init : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { inst_ = new qztest::SharedInstallation(false); }
  static void TearDownTestSuite() { delete inst_; }
  static qztest::SharedInstallation* inst_;
};
qztest::SharedInstallation* Init::inst_ = nullptr;

TEST_F(Init, EveryCatalogTableReopensWithItsStructureAndCleanTags) {
  ASSERT_TRUE(inst_->status.ok()) << inst_->status.ToString();
  const auto& r = inst_->report;
  EXPECT_EQ(r.tables + r.templates, static_cast<int>(TheCatalog().tables().size()));
  EXPECT_EQ(r.tags, static_cast<int>(TheCatalog().TagCount()));
  EXPECT_GT(r.templates, 20);

  auto check = qz::CheckInstallation(inst_->dir(), TheCatalog());
  ASSERT_TRUE(check.ok());
  EXPECT_TRUE(check->problems.empty()) << check->problems.front();
  EXPECT_EQ(check->tables, static_cast<int>(TheCatalog().tables().size()));
  EXPECT_EQ(check->tags, static_cast<int>(TheCatalog().TagCount()));

  // Tables without tags get no index file (the program reads them in order).
  EXPECT_FALSE(fs::exists(inst_->bases() + "/F_SYS.CDX"));
  EXPECT_TRUE(fs::exists(inst_->bases() + "/ENC_PERS.CDX"));
  EXPECT_TRUE(fs::exists(inst_->dir() + "/PROFILE/TMP_TIP.CDX"));
  EXPECT_FALSE(fs::exists(inst_->dir() + "/PROFILE/ENC_PERS.DBF"));
}

TEST_F(Init, FoldersFilesAndInstallationRows) {
  ASSERT_TRUE(inst_->status.ok());
  for (const char* f :
       {"BASES", "PROFILE", "TEMP", "BMP", "HTML", "MAIL/SEND", "MAIL/RECEIVE", "HBEAT"})
    EXPECT_TRUE(fs::is_directory(inst_->dir() + "/" + f)) << f;

  auto fsys = ReadAll(inst_->bases() + "/F_SYS.DBF");
  ASSERT_EQ(fsys.size(), 1u);  // the program reads the first and only row
  EXPECT_GT(qztest::Num(fsys[0], "MAXCOMMIT"), 0);
  EXPECT_EQ(qztest::Num(fsys[0], "GRAYED"), 1);
  EXPECT_EQ(qztest::Num(fsys[0], "BLOQUEADO"), 0);

  std::set<std::string> registered;
  for (const auto& row : ReadAll(inst_->bases() + "/F_TXT_S.DBF")) {
    registered.insert(qztest::Str(row, "TABLA"));
    const qz::CatalogTable* t = TheCatalog().Find(qztest::Str(row, "TABLA"));
    ASSERT_NE(t, nullptr) << qztest::Str(row, "TABLA");
    EXPECT_TRUE(t->HasField(qztest::Str(row, "DOCUMENTO"))) << t->name;
    EXPECT_TRUE(t->HasField("NEGOCIO")) << t->name;  // words are kept per business
  }
  for (const char* t : {"ENC_PERS", "PUESTOS", "ENC_DEPT", "ENC_TIP", "TIEMPO_E"})
    EXPECT_TRUE(registered.count(t)) << t;
  EXPECT_FALSE(ReadAll(inst_->bases() + "/FONTS.DBF").empty());
  // Businesses, users and everything else start empty.
  EXPECT_TRUE(ReadAll(inst_->bases() + "/NEGOCIOS.DBF").empty());

  std::string html = ReadFile(inst_->dir() + "/HTML/NOTIFICA.HTM");
  for (const auto& p : qz::NotificationPlaceholders())
    EXPECT_NE(html.find(p), std::string::npos) << p;
  EXPECT_NE(html.find("Notificaci\xF3n"), std::string::npos);  // Windows-1252, as declared
  EXPECT_NE(ReadFile(inst_->dir() + "/QUARTZEL.INI").find("[LAST_NEG]\r\n"), std::string::npos);
}

TEST_F(Init, BitmapsAreWellFormedWindowsBitmaps) {
  for (const char* name : {"LOGO32.BMP", "ART1.BMP", "ADS2.BMP", "KORVALIS.BMP"}) {
    std::string b = ReadFile(inst_->dir() + "/BMP/" + name);
    ASSERT_GT(b.size(), 54u) << name;
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(Le32(b, 2), b.size()) << name;
    EXPECT_EQ(Le32(b, 10), 54u);
    uint32_t w = Le32(b, 18), h = Le32(b, 22);
    EXPECT_EQ(static_cast<uint8_t>(b[28]), 24);
    EXPECT_EQ(b.size(), 54 + ((w * 3 + 3) & ~3u) * h) << name << ": rows padded to 4 bytes";
  }
  // An odd width needs padding: 3 pixels of 3 bytes take a 12-byte row.
  std::string small = qz::EncodeBmp(3, 2, [](int x, int) {
    return qz::BmpColour{uint8_t(x), 0, 0};
  });
  EXPECT_EQ(small.size(), 54u + 12 * 2);
}

TEST(InitRefuses, AnExistingInstallationOrAnotherFoldersFiles) {
  qztest::TempDir tmp;
  std::string dir = tmp.path() + "/inst";
  ASSERT_TRUE(qz::CreateInstallation(dir, {}).ok());
  auto again = qz::CreateInstallation(dir, {});
  ASSERT_FALSE(again.ok());
  EXPECT_NE(again.status().message().find("already holds an installation"), std::string::npos);
  EXPECT_NE(again.status().message().find("--force"), std::string::npos);

  std::string other = tmp.path() + "/other";
  fs::create_directory(other);
  std::ofstream(other + "/notes.txt") << "mine";
  auto r = qz::CreateInstallation(other, {});
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.status().message().find("is not empty"), std::string::npos);
  EXPECT_EQ(ReadFile(other + "/notes.txt"), "mine");

  std::ofstream(tmp.path() + "/afile") << "x";
  EXPECT_FALSE(qz::CreateInstallation(tmp.path() + "/afile", {}).ok());
  EXPECT_FALSE(qz::CreateInstallation(tmp.path() + "/no/such/parent", {}).ok());
  // Nothing half-made is left beside the targets.
  for (const auto& e : fs::directory_iterator(tmp.path()))
    EXPECT_EQ(e.path().filename().string().find(".qz-new"), std::string::npos);
}

TEST(InitForce, ReplacesOnlyWhatAnInstallationConsistsOf) {
  qztest::TempDir tmp;
  std::string dir = tmp.path() + "/inst";
  qz::InstallOptions demo;
  demo.demo = true;
  demo.demo_options.employees = 20;
  ASSERT_TRUE(qz::CreateInstallation(dir, demo).ok());
  ASSERT_FALSE(ReadAll(dir + "/BASES/ENC_PERS.DBF").empty());
  // Things of the site: a file of its own, a table the catalog does not know,
  // a temporary table, and a table copied from Windows in lower case.
  std::ofstream(dir + "/ADS.DEF") << "\\\\server\\quartzel\r";
  std::ofstream(dir + "/TEMP/T1234567.PCFG") << "work";
  fs::copy_file(dir + "/BASES/MONEDAS.DBF", dir + "/BASES/MIS_DATOS.DBF");
  fs::rename(dir + "/BASES/PUESTOS.DBF", dir + "/BASES/puestos.dbf");
  fs::rename(dir + "/BASES/PUESTOS.CDX", dir + "/BASES/Puestos.cdx");

  qz::InstallOptions force;
  force.force = true;
  auto r = qz::CreateInstallation(dir, force);
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  EXPECT_TRUE(ReadAll(dir + "/BASES/ENC_PERS.DBF").empty());  // recreated: its rows are gone
  EXPECT_TRUE(fs::exists(dir + "/ADS.DEF"));
  EXPECT_TRUE(fs::exists(dir + "/TEMP/T1234567.PCFG"));
  EXPECT_TRUE(fs::exists(dir + "/BASES/MIS_DATOS.DBF"));
  EXPECT_FALSE(fs::exists(dir + "/BASES/puestos.dbf"));
  EXPECT_FALSE(fs::exists(dir + "/BASES/Puestos.cdx"));
  EXPECT_TRUE(fs::exists(dir + "/BASES/PUESTOS.DBF"));
  auto listed = [&](const std::string& f) {
    return std::find(r->replaced.begin(), r->replaced.end(), f) != r->replaced.end();
  };
  EXPECT_TRUE(listed("BASES/puestos.dbf"));
  EXPECT_TRUE(listed("QUARTZEL.INI"));
  EXPECT_FALSE(listed("ADS.DEF"));
  auto check = qz::CheckInstallation(dir, TheCatalog());
  ASSERT_TRUE(check.ok());
  EXPECT_TRUE(check->problems.empty()) << check->problems.front();
}

TEST(InitFailure, AFullDiskLeavesNothingBehind) {
  qztest::TempDir tmp;
  qztest::FaultEnv env;
  env.faults.fail_writes_after = 400;  // the disk fills up part way through
  qz::InstallOptions o;
  o.env = &env;
  auto r = qz::CreateInstallation(tmp.path() + "/inst", o);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.status().message().find("injected failure"), std::string::npos)
      << r.status().ToString();
  EXPECT_TRUE(fs::is_empty(tmp.path()));
}

TEST(InitFailure, AReadOnlyFolderIsRefusedWithTheReason) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  qztest::TempDir tmp;
  std::string ro = tmp.path() + "/ro";
  fs::create_directory(ro);
  fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
  auto denied = qz::CreateInstallation(ro + "/inst", {});
  ASSERT_FALSE(denied.ok());
  EXPECT_NE(denied.status().message().find("cannot create a folder"), std::string::npos);
  fs::permissions(ro, fs::perms::owner_all);
  EXPECT_TRUE(fs::is_empty(ro));
}

TEST(InitForTemplates, ATableMadeAloneMatchesTheCatalogAndAChangedOneDoesNot) {
  qztest::TempDir tmp;
  const qz::CatalogTable* t = TheCatalog().Find("TMP_TIP");
  ASSERT_NE(t, nullptr);
  ASSERT_TRUE(qz::CreateTable(*t, tmp.path()).ok());
  auto table = qztest::OpenRead(tmp.path() + "/TMP_TIP.DBF");
  std::vector<std::string> problems;
  qz::CompareWithCatalog(*t, *table, &problems);
  EXPECT_TRUE(problems.empty());
  qz::CatalogTable changed = *t;
  changed.fields[1].len += 1;
  changed.tags.push_back({"EXTRA", "NEGOCIO", "", false});
  qz::CompareWithCatalog(changed, *table, &problems);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("field 2"), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find("tag EXTRA is missing"), std::string::npos);
  EXPECT_FALSE(qz::CreateTable(*t, tmp.path()).ok());  // never over an existing table
}

std::string RunQzadmin(const std::string& args, int* status) {
  std::string cmd = std::string(QZADMIN_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  int st = pclose(p);
  *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

TEST(Qzadmin, InitCheckAndSchemaFromTheCommandLine) {
  qztest::TempDir tmp;
  int st = 0;
  std::string out = RunQzadmin("init " + tmp.path() + "/q", &st);
  EXPECT_EQ(st, 0) << out;
  out = RunQzadmin("check " + tmp.path() + "/q", &st);
  EXPECT_EQ(st, 0) << out;
  EXPECT_NE(out.find("0 problems"), std::string::npos) << out;
  out = RunQzadmin("init " + tmp.path() + "/q", &st);
  EXPECT_EQ(st, 1);
  EXPECT_NE(out.find("already holds an installation"), std::string::npos) << out;
  // A damaged tag shows up in the check of the whole installation.
  fs::remove(tmp.path() + "/q/BASES/TIP_PLA.CDX");
  out = RunQzadmin("check " + tmp.path() + "/q", &st);
  EXPECT_EQ(st, 1) << out;
  EXPECT_NE(out.find("TIP_PLA"), std::string::npos) << out;
  out = RunQzadmin("schema", &st);
  EXPECT_EQ(st, 0);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'),
            static_cast<long>(TheCatalog().tables().size()));
  RunQzadmin("init", &st);
  EXPECT_EQ(st, 2);
}

}  // namespace
