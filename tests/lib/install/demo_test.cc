// The demo hotel group adds up: value rows, hourly-cost factors, logins,
// rates, history and serials agree with each other, and a second demo is the
// same file for file.
#include <cmath>
#include <fstream>
#include <set>

#include "install_test_util.h"
#include "lib/data/serials.h"
#include "lib/data/txt_srch.h"
#include "lib/security/passwords.h"
#include "lib/settings/globals.h"
#include "lib/settings/installation.h"
#include "lib/settings/startup.h"

namespace {

namespace fs = std::filesystem;
using qztest::Num;
using qztest::ReadAll;
using qztest::Record;
using qztest::Str;

class Demo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { inst_ = new qztest::SharedInstallation(true); }
  static void TearDownTestSuite() { delete inst_; }
  static std::vector<Record> Rows(const std::string& table) {
    return ReadAll(inst_->bases() + "/" + table + ".DBF");
  }
  static qztest::SharedInstallation* inst_;
};
qztest::SharedInstallation* Demo::inst_ = nullptr;

TEST_F(Demo, IsCompleteAndEveryTagIsConsistent) {
  ASSERT_TRUE(inst_->status.ok()) << inst_->status.ToString();
  auto check = qz::CheckInstallation(inst_->dir(), qztest::TheCatalog());
  ASSERT_TRUE(check.ok());
  EXPECT_TRUE(check->problems.empty()) << check->problems.front();
  EXPECT_EQ(Rows("NEGOCIOS").size(), 3u);
  EXPECT_EQ(Rows("ENC_PERS").size(), 300u);
  std::set<int> kinds;
  for (const auto& t : Rows("ENC_TIP")) kinds.insert(static_cast<int>(Num(t, "TIPO")));
  EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4}));
  EXPECT_GE(Rows("ENC_TIP").size(), 3u * 25);
}

// Every employee holds a value row for each non-separator column of the
// department's layout and no other; dependent columns carry the hourly cost.
TEST_F(Demo, ValueRowsAndHourlyCostFactorsAddUp) {
  ASSERT_TRUE(inst_->status.ok());
  std::map<std::string, Record> types, payroll_types, schedules, depts;
  for (const auto& r : Rows("ENC_TIP")) types[Str(r, "NEGOCIO") + "|" + Str(r, "CODIGO")] = r;
  for (const auto& r : Rows("TIP_PLA"))
    payroll_types[Str(r, "NEGOCIO") + "|" + Str(r, "CODIGO")] = r;
  for (const auto& r : Rows("TIEMPO_E")) schedules[Str(r, "NEGOCIO") + "|" + Str(r, "CODIGO")] = r;
  for (const auto& r : Rows("ENC_DEPT")) depts[Str(r, "NEGOCIO") + "|" + Str(r, "CODIGO")] = r;
  std::map<std::string, std::set<std::string>> layout;  // business|dept -> columns
  for (const auto& r : Rows("DET_DEPT")) {
    std::string n = Str(r, "NEGOCIO"), col = Str(r, "COD_COLUMN");
    ASSERT_TRUE(types.count(n + "|" + col)) << col;
    if (Num(types[n + "|" + col], "TIPO") != 4) layout[n + "|" + Str(r, "DEPTO")].insert(col);
  }
  std::map<std::string, std::vector<Record>> values;  // business|employee -> rows
  for (const auto& r : Rows("DET_PERS"))
    values[Str(r, "NEGOCIO") + "|" + Str(r, "CODIGO")].push_back(r);

  int dependent_rows = 0;
  for (const auto& e : Rows("ENC_PERS")) {
    std::string n = Str(e, "NEGOCIO"), key = n + "|" + Str(e, "CODIGO");
    const auto& rows = values[key];
    std::set<std::string> have;
    double base = 0;
    for (const auto& v : rows) {
      have.insert(Str(v, "COD_COLUMN"));
      if (Num(types[n + "|" + Str(v, "COD_COLUMN")], "VAL_BASE") == 1) base += Num(v, "VALOR_1");
    }
    EXPECT_EQ(have.size(), rows.size()) << key << ": a column twice";
    EXPECT_EQ(have, layout[n + "|" + Str(e, "DEPTO")]) << key;
    EXPECT_NEAR(base, Num(e, "TOT_SAL"), 0.005) << key;
    const Record& dept = depts[n + "|" + Str(e, "DEPTO")];
    double divisor = Num(payroll_types[n + "|" + Str(dept, "TIPO")], "VAL_DIV");
    double hours = Num(schedules[n + "|" + Str(e, "COD_TIEMPO")], "FACTOR");
    ASSERT_GT(divisor, 0);
    ASSERT_GT(hours, 0);
    for (const auto& v : rows) {
      const Record& t = types[n + "|" + Str(v, "COD_COLUMN")];
      if (Num(t, "VAL_DEPEND") != 1) continue;
      ++dependent_rows;
      EXPECT_NEAR(Num(v, "FACTOR"), base / divisor / hours * Num(t, "VALOR_3"), 0.00001)
          << key << " column " << Str(v, "COD_COLUMN");
    }
  }
  EXPECT_GT(dependent_rows, 600);
  // The demo's parameters switch cost rounding off, so the formula has no R.
  for (const auto& p : Rows("F_PLAN")) EXPECT_EQ(Num(p, "RED_COSTO"), 0);
}

TEST_F(Demo, LoginsUnscrambleToTheDocumentedPasswords) {
  EXPECT_EQ(qz::ENCRYPT_STRING("abc"), "```");    // a^1, b^2, c^3
  EXPECT_EQ(qz::ENCRYPT_STRING("AB  "), "@@  ");  // trailing blanks stay blanks
  EXPECT_EQ(qz::ENCRYPT_STRING(qz::ENCRYPT_STRING("DEMO")), "DEMO");
  EXPECT_EQ(qz::ENCRYPT_STRING("X", 0), "X");
  EXPECT_FALSE(qz::StorablePassword("!"));  // '!' ^ 1 is a blank: it would be trimmed away

  std::map<std::string, int> supervisors;
  for (const auto& u : Rows("USUARIOS")) {
    EXPECT_EQ(Num(u, "ADASIPA"), 1);
    std::string stored = Str(u, "PASSWORD");
    stored.resize(10, ' ');
    std::string plain = qz::ENCRYPT_STRING(stored, 1);
    EXPECT_EQ(plain, "DEMO      ") << Str(u, "NOMBRE");
    supervisors[Str(u, "NEGOCIO")] += Num(u, "SUPERVISOR") == 1;
  }
  EXPECT_EQ(supervisors.size(), 3u);
  for (const auto& [b, n] : supervisors) EXPECT_EQ(n, 1) << b;
  // Each user has one rights row per menu id 2000..7000.
  EXPECT_EQ(Rows("MENUS").size(), Rows("USUARIOS").size() * 5001);
}

TEST_F(Demo, NewestRateComesFirstOnTheDescendingTag) {
  auto t = qztest::OpenRead(inst_->bases() + "/T_CAMBIO.DBF");
  ASSERT_TRUE(t);
  ASSERT_TRUE(t->SetOrder("T_CAMB2").ok());
  // Soft seek at "days from the demo's today to 2090": the newest rate on or
  // before today, which is today's.
  int32_t today = xb::JulianFromYmd(2026, 6, 30), limit = xb::JulianFromYmd(2090, 1, 1);
  char days[16];
  std::snprintf(days, sizeof days, "%14d", limit - today);
  std::string key = std::string("HOTELSOL       ") + "US" + "CR" + days;
  ASSERT_TRUE(t->Seek(xb::Value::Char(key), true).ok());
  ASSERT_FALSE(t->Eof());
  EXPECT_EQ(t->Get("FECHA")->date(), today);
  EXPECT_GT(t->Get("CAMBIO")->number(), 400);
}

TEST_F(Demo, HistoryHasALinePerActiveEmployeeAndSerialsMatchTheRows) {
  std::map<std::string, int> active;  // business|dept
  for (const auto& e : Rows("ENC_PERS"))
    if (Num(e, "ACTIVO") == 1) active[Str(e, "NEGOCIO") + "|" + Str(e, "DEPTO")]++;
  std::map<std::string, int> lines;  // business|dept|date
  for (const auto& l : Rows("H_E_PERS")) {
    EXPECT_EQ(l.at("LIMITE").date(), xb::JulianFromYmd(2090, 1, 1));
    lines[Str(l, "NEGOCIO") + "|" + Str(l, "DEPTO") + "|" +
          xb::DtosFromJulian(l.at("FECHA").date())]++;
  }
  auto headers = Rows("H_E_DEPT");
  ASSERT_GT(headers.size(), 30u);
  for (const auto& h : headers) {
    std::string n = Str(h, "NEGOCIO"), d = Str(h, "CODIGO");
    int32_t date = h.at("FECHA").date();
    EXPECT_EQ(lines[n + "|" + d + "|" + xb::DtosFromJulian(date)], active[n + "|" + d]);
    // Payrolls fall on Fridays (weekly) or on the 15th and month ends.
    int y, m, day;
    xb::YmdFromJulian(date, &y, &m, &day);
    bool month_end =
        xb::JulianFromYmd(y, m, day) + 1 == xb::JulianFromYmd(m == 12 ? y + 1 : y, m % 12 + 1, 1);
    EXPECT_TRUE(month_end || day == 15 || (date + 1) % 7 == 5) << d << " " << day;
  }
  // History column rows start as consolidation leaves them: the base column
  // holds the line's salary, every other value is 0.
  for (const auto& v : Rows("H_D_PERS")) {
    if (Str(v, "COD_COLUMN") != "01") {
      EXPECT_EQ(Num(v, "VALOR_1"), 0);
    }
    EXPECT_EQ(Num(v, "FACTOR"), 0);
  }
  std::map<std::string, double> employees, loans, payments;
  for (const auto& e : Rows("ENC_PERS")) employees[Str(e, "NEGOCIO")]++;
  for (const auto& l : Rows("ENC_DDA")) loans[Str(l, "NEGOCIO")]++;
  for (const auto& p : Rows("DET_DDA")) payments[Str(p, "NEGOCIO")]++;
  for (const auto& s : Rows("SERIALES")) {
    std::string n = Str(s, "NEGOCIO"), code = Str(s, "CODIGO");
    const std::map<std::string, std::map<std::string, double>*> counted = {
        {"EMPLEADOS", &employees}, {"PRESTAMO", &loans}, {"ABONO", &payments}};
    auto it = counted.find(code);
    if (it != counted.end()) {
      EXPECT_EQ(Num(s, "NUMERO"), (*it->second)[n]) << n << " " << code;
    }
  }
  EXPECT_GT(loans["HOTELSOL"], 5);
}

TEST_F(Demo, EmployeesAreFoundThroughTheWordIndex) {
  // Words are kept as the data layer's search looks for them: accented
  // letters upper-cased too.
  auto upper = [](const std::string& utf8) {
    return xb::ToUtf8(qz::UpperCp1252(xb::FromUtf8(utf8)));
  };
  auto words = Rows("TXT_SRCH");
  int checked = 0;
  for (const auto& e : Rows("ENC_PERS")) {
    if (++checked > 40) break;
    for (const char* field : {"APELLIDO_1", "NOMBRE_2"}) {
      std::string word = upper(Str(e, field));
      bool found = false;
      for (const auto& w : words)
        found = found ||
                (Str(w, "TABLA") == "ENC_PERS" && Str(w, "NEGOCIO") == Str(e, "NEGOCIO") &&
                 Str(w, "DOCUMENTO") == Str(e, "CODIGO") && Str(w, "T_ITEM").rfind(word, 0) == 0);
      EXPECT_TRUE(found) << Str(e, "CODIGO") << " " << word;
    }
  }
  for (const auto& w : Rows("TXT_SRCH")) EXPECT_GT(Str(w, "T_ITEM").size(), 2u);
}

// The program's own start-up reads the demo: the data layer starts, the
// installation settings and the word-index registry load from its tables.
TEST_F(Demo, TheProgramsStartUpReadsTheInstallation) {
  ASSERT_TRUE(inst_->status.ok());
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  ASSERT_EQ(qz::StartDataLayer(inst_->dir() + "/"), qz::StartResult::kContinue);
  qz::LoadInstallationSettings(nullptr);
  qz::LoadWordIndexRegistry(nullptr);
  const qz::Globals& g = qz::G();
  EXPECT_EQ(g.XMAXCOMMIT, 100);
  EXPECT_EQ(g.XGRAYED, 1);
  EXPECT_EQ(g.XEMAILHOST, "localhost");
  EXPECT_EQ(g.XAVAILABLE_FONTS.size(), 10u);
  EXPECT_EQ(g.XTXT_SRCH_FILES.size(), 12u);
  // The serials the demo used continue where it left off (read only: the
  // current serial is not taken).
  EXPECT_EQ(qz::GET_CURRENTSERIAL(nullptr, "HOTELSOL", "EMPLEADOS"), "00141          ");
  qz::ResetGlobals();
}

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::string s(std::istreambuf_iterator<char>(in), {});
  // The DBF header's last-update date (bytes 1-3) is the day the file was made.
  if (p.extension() == ".DBF" && s.size() > 4) s[1] = s[2] = s[3] = 0;
  return s;
}

TEST_F(Demo, ASecondDemoIsTheSameFileForFile) {
  ASSERT_TRUE(inst_->status.ok());
  qztest::TempDir other;
  qz::InstallOptions o;
  o.demo = true;
  ASSERT_TRUE(qz::CreateInstallation(other.path() + "/again", o).ok());
  int compared = 0;
  for (const auto& e : fs::recursive_directory_iterator(inst_->dir())) {
    if (!e.is_regular_file()) continue;
    fs::path rel = e.path().lexically_relative(inst_->dir());
    ASSERT_TRUE(fs::exists(other.path() + "/again/" + rel.string())) << rel;
    EXPECT_TRUE(Bytes(e.path()) == Bytes(other.path() + "/again/" + rel.string())) << rel;
    ++compared;
  }
  EXPECT_GT(compared, 500);
}

}  // namespace
