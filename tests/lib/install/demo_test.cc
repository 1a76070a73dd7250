// The demo hotel group adds up: value rows, hourly-cost factors, logins,
// rates, history and serials agree with each other, and a second demo is the
// same file for file.
#include <cmath>
#include <fstream>
#include <set>

#include "install_test_util.h"
#include "lib/data/serials.h"
#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/value_loader.h"
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
  std::set<int> tables;  // the bracket-table kinds of the composite items
  for (const auto& t : Rows("ENC_TIP"))
    if (Num(t, "TIPO") == 3) tables.insert(static_cast<int>(Num(t, "TIPO_TABLA")));
  EXPECT_EQ(tables, (std::set<int>{1, 2, 3}));
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

  std::set<std::string> rounded;  // businesses with cost rounding
  for (const auto& p : Rows("F_PLAN"))
    if (Num(p, "RED_COSTO") == 1) rounded.insert(Str(p, "NEGOCIO"));
  EXPECT_EQ(rounded.size(), 1u);
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
      // R rounds the hourly cost up to cents where the business asks for it.
      double cost = base / divisor / hours;
      if (rounded.count(n)) cost = std::ceil(cost * 100 - 1e-7) / 100;
      EXPECT_NEAR(Num(v, "FACTOR"), cost * Num(t, "VALOR_3"), 0.00001)
          << key << " column " << Str(v, "COD_COLUMN");
    }
  }
  EXPECT_GT(dependent_rows, 600);
}

// The definitions exercise the payroll core: the base salary counts its
// hours, weekly payrolls are stored as paid on the Friday they fall on, and
// one business keeps a second currency pair with its own rate handling.
TEST_F(Demo, DefinitionsMatchHowTheDemoPays) {
  for (const auto& t : Rows("ENC_TIP"))
    if (Num(t, "VAL_BASE") == 1) {
      EXPECT_EQ(Num(t, "SUM_HORA"), 1);
      EXPECT_EQ(Num(t, "HORAS_BASE"), 1);
    }
  std::map<std::string, int> pay_day;  // business|department|date -> DIA_PAGO
  for (const auto& t : Rows("H_TIP_PL"))
    if (Num(t, "TIPO") == 1)
      pay_day[Str(t, "NEGOCIO") + "|" + Str(t, "DEPTO") + "|" +
              xb::DtosFromJulian(t.at("FECHA").date())] = static_cast<int>(Num(t, "DIA_PAGO"));
  ASSERT_FALSE(pay_day.empty());
  for (const auto& [key, day] : pay_day)
    EXPECT_EQ(qz::Weekday(xb::JulianFromYmd(std::stoi(key.substr(key.size() - 8, 4)),
                                            std::stoi(key.substr(key.size() - 4, 2)),
                                            std::stoi(key.substr(key.size() - 2)))),
              day)
        << key;
  std::set<std::string> euro;
  for (const auto& n : Rows("NEGOCIOS"))
    if (Num(n, "MANEJO_TC") == 1) euro.insert(Str(n, "CODIGO"));
  ASSERT_EQ(euro.size(), 1u);
  int euro_rates = 0;
  for (const auto& r : Rows("T_CAMBIO"))
    if (Str(r, "MONEDA1") == "EU") {
      EXPECT_TRUE(euro.count(Str(r, "NEGOCIO")));
      EXPECT_EQ(Str(r, "MONEDA2"), "CR");
      ++euro_rates;
    }
  EXPECT_EQ(euro_rates, 53);
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
  // Each payroll has a line for everyone on the staff that day: hired by
  // then, and still active or gone after it.
  const auto staff = Rows("ENC_PERS");
  auto on_staff = [&](const std::string& n, const std::string& d, int32_t date) {
    int count = 0;
    for (const auto& e : staff)
      count += Str(e, "NEGOCIO") == n && Str(e, "DEPTO") == d &&
               e.at("F_INGRESO").date() <= date &&
               (Num(e, "ACTIVO") == 1 || e.at("F_RETIRO").date() >= date);
    return count;
  };
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
    EXPECT_EQ(lines[n + "|" + d + "|" + xb::DtosFromJulian(date)], on_staff(n, d, date))
        << n << " " << d << " " << xb::DtosFromJulian(date);
    // Payrolls fall on Fridays (weekly) or on the 15th and month ends.
    int y, m, day;
    xb::YmdFromJulian(date, &y, &m, &day);
    bool month_end =
        xb::JulianFromYmd(y, m, day) + 1 == xb::JulianFromYmd(m == 12 ? y + 1 : y, m % 12 + 1, 1);
    EXPECT_TRUE(month_end || day == 15 || (date + 1) % 7 == 5) << d << " " << day;
  }
  // History column rows hold what was paid: the base column the line's
  // salary, and a total wherever a value was (the recomputation below checks
  // the amounts).
  int paid = 0;
  for (const auto& v : Rows("H_D_PERS")) paid += Num(v, "TOTAL") != 0;
  EXPECT_GT(paid, 1000);
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

// A demo payroll recomputed from nothing but its own copies (H_E_TIP,
// H_D_TIP, H_TIP_PL, H_E_DEPT) gives back every amount it stored, and those
// amounts include income tax, step bonuses, overtime at the hourly cost and
// percentage deductions.
TEST_F(Demo, APastPayrollRecomputesFromItsCopies) {
  auto open = [&](const char* name) { return qztest::OpenRead(inst_->bases() + "/" + name + ".DBF"); };
  auto h_e_tip = open("H_E_TIP"), h_d_tip = open("H_D_TIP"), h_e_dept = open("H_E_DEPT"),
       t_cambio = open("T_CAMBIO"), h_tip_pl = open("H_TIP_PL"), h_d_pers = open("H_D_PERS"),
       enc_pers = open("ENC_PERS");
  ASSERT_TRUE(h_e_tip && h_d_tip && h_e_dept && t_cambio && h_tip_pl && h_d_pers && enc_pers);
  // The bi-weekly payroll of HOTELSOL on a 15th with the best-paid line, so
  // that income tax is withheld in it.
  std::vector<Record> lines;
  std::string dept, fecha;
  double best = 0;
  for (const auto& l : Rows("H_E_PERS")) {
    std::string f = xb::DtosFromJulian(l.at("FECHA").date());
    if (Str(l, "NEGOCIO") == "HOTELSOL" && f.substr(6) == "15" && Num(l, "TOT_SAL") > best)
      best = Num(l, "TOT_SAL"), dept = Str(l, "DEPTO"), fecha = f;
  }
  for (const auto& l : Rows("H_E_PERS"))
    if (Str(l, "NEGOCIO") == "HOTELSOL" && Str(l, "DEPTO") == dept &&
        xb::DtosFromJulian(l.at("FECHA").date()) == fecha)
      lines.push_back(l);
  ASSERT_GT(lines.size(), 3u) << dept << " " << fecha;
  const std::string n = "HOTELSOL       ", d = qz::PadRight(dept, 15);
  const int32_t date = lines.front().at("FECHA").date();
  ASSERT_TRUE(qz::Lookup(*h_e_dept, "H_E_DEPT2", n + d + fecha));
  qz::PayrollContext ctx;
  ctx.fecha = date;
  ctx.depto_hora = qz::IntField(*h_e_dept, "DEPTO_HORA");
  const std::string moneda = qz::StrField(*h_e_dept, "MONEDA");
  ASSERT_TRUE(qz::Lookup(*h_tip_pl, "H_TIP_PL",
                         n + d + qz::PadRight(qz::StrField(*h_e_dept, "TIPO"), 2) + fecha));
  ASSERT_TRUE(qz::ReadPayrollType(*h_tip_pl, &ctx.tipo).ok());
  const qz::ColumnTables copies{h_e_tip.get(), h_d_tip.get(), h_e_dept.get(), t_cambio.get(),
                                nullptr};
  std::map<std::string, int> nonzero;  // by kind of amount
  int compared = 0;
  for (const auto& l : lines) {
    const std::string e = qz::PadRight(Str(l, "CODIGO"), 15);
    std::vector<qz::LineValue> values;
    std::vector<double> stored;
    ASSERT_TRUE(h_d_pers->SetOrder("H_D_PERS2").ok());
    ASSERT_TRUE(h_d_pers->Seek(xb::Value::Char(n + e + fecha), true).ok());
    for (bool more = true; more && !h_d_pers->Eof(); more = h_d_pers->Skip().ok()) {
      if (qz::PadRight(qz::StrField(*h_d_pers, "CODIGO"), 15) != e ||
          qz::DateField(*h_d_pers, "FECHA") != date)
        break;
      values.push_back({qz::StrField(*h_d_pers, "COD_COLUMN"),
                        qz::NumField(*h_d_pers, "VALOR_1"), qz::NumField(*h_d_pers, "FACTOR")});
      stored.push_back(qz::NumField(*h_d_pers, "TOTAL"));
    }
    ASSERT_FALSE(values.empty()) << e;
    qz::LineFacts facts;
    facts.tot_sal = Num(l, "TOT_SAL");
    facts.f_ingreso = l.at("F_INGRESO").date();
    facts.inc_cont = static_cast<int>(Num(l, "INC_CONT"));
    if (qz::Lookup(*enc_pers, "ENC_PERS2", n + e))
      facts.sal_comple = qz::IntField(*enc_pers, "SAL_COMPLE");
    for (size_t i = 0; i < values.size(); ++i) {
      auto v = qz::OpenColumnValue({"HOTELSOL", dept, values[i].columna, true, moneda}, copies, ctx);
      ASSERT_TRUE(v.ok()) << values[i].columna << ": " << v.status().ToString();
      if (!*v) continue;
      const qz::ColumnType& def = (*v)->definition();
      if (auto* tax = dynamic_cast<qz::VAL_COMP*>(v->get()); tax && def.tipo_tabla == 1)
        tax->PUT_2(true, qz::PayrollsInMonth(ctx.tipo, date), false, 0);
      (*v)->PUT(qz::LineInput(def, values, values[i], facts));
      EXPECT_NEAR((*v)->GET().total, stored[i], 0.0051) << e << " column " << values[i].columna;
      ++compared;
      if (stored[i] == 0) continue;
      if (def.tipo == 3) nonzero[def.tipo_tabla == 1 ? "tax" : "bonus"]++;
      if (def.tipo == 2) nonzero["deduction"]++;
      if (def.tipo == 1 && def.factor == 1 && values[i].factor > 1) nonzero["overtime"]++;
    }
  }
  EXPECT_GT(compared, 50);
  for (const char* kind : {"tax", "bonus", "deduction", "overtime"})
    EXPECT_GT(nonzero[kind], 0) << kind;
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

// Two small demos (the same code as the full one; its history of thousands
// of openings would take minutes twice).
TEST(DemoTwice, ASecondDemoIsTheSameFileForFile) {
  qztest::TempDir other;
  qz::InstallOptions o;
  o.demo = true;
  o.demo_options.employees = 12;
  const std::string first = other.path() + "/first";
  ASSERT_TRUE(qz::CreateInstallation(first, o).ok());
  ASSERT_TRUE(qz::CreateInstallation(other.path() + "/again", o).ok());
  int compared = 0;
  for (const auto& e : fs::recursive_directory_iterator(first)) {
    if (!e.is_regular_file()) continue;
    fs::path rel = e.path().lexically_relative(first);
    ASSERT_TRUE(fs::exists(other.path() + "/again/" + rel.string())) << rel;
    EXPECT_TRUE(Bytes(e.path()) == Bytes(other.path() + "/again/" + rel.string())) << rel;
    ++compared;
  }
  EXPECT_GT(compared, 500);
}

}  // namespace
