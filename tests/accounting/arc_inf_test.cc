// The employer's report configuration: what the window offers from the
// parameters row, how the choices are stored (and read back), and what
// happens around it — no parameters yet, a list too long for its field,
// another workstation holding the row, the parameters window writing
// meanwhile.
#include "accounting/employer_report/arc_inf.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lib/ui/catalog.h"
// (the fixture needs the grid type first)
#include "accounting/accounting_fixture.h"
#include "accounting/accounting_screens.h"
#include "accounting/employer_report/report_choices.h"
#include "lib/ui/lists.h"
#include "support/other_workstation.h"

namespace {

using qz::ARC_INF;
using qztest::C;
using qztest::kCentral;
using qztest::kPlaya;
using qztest::N;

xb::Value D(int y, int m, int d) { return xb::Value::Date(xb::JulianFromYmd(y, m, d)); }

class ArcInfTest : public qztest::AccountingSession {
 protected:
  void SetUp() override {
    AccountingSession::SetUp();
    std::vector<qztest::Row> columns;
    for (auto [code, name] : {std::pair{"01", "SALARIO BASE"}, {"02", "HORAS EXTRA"},
                              {"05", "COMISIONES"}, {"A", "AJUSTES"}})
      columns.push_back({{"NEGOCIO", C(kCentral)}, {"CODIGO", C(code)}, {"DESCRIP", C(name)}});
    columns.push_back({{"NEGOCIO", C(kPlaya)}, {"CODIGO", C("09")}, {"DESCRIP", C("PLAYA")}});
    Create("ENC_TIP", columns);
    Create("F_PLAN", {{{"NEGOCIO", C(kCentral)},
                       {"F_INICIO", D(2025, 12, 1)},
                       {"F_FIN", D(2026, 11, 30)},
                       {"TOTAL_AG2", N(1)},
                       {"ROTULO_AG2", C("ESCOLAR   ")},
                       {"F_INICIO2", D(2026, 1, 1)},
                       {"F_FIN2", D(2026, 12, 31)},
                       {"TOTAL_AG4", N(1)},
                       {"ROTULO_AG4", C("BONO 14")},
                       {"INF_AGUI1", C("0")},
                       {"INF_AGUI2", C("4")},
                       {"INF_SAL", C("01,A ,")},
                       {"INF_COMIS", C("05,")},
                       {"COL_SEGURO", C("[01]")}}});
  }

  ARC_INF* Open(const std::string& biz = kCentral) {
    ARC_INF* s = qz::OpenScreen<ARC_INF>(desktop, "ARC_INF", biz);
    EXPECT_NE(s, nullptr);
    return s;
  }
  std::vector<std::string> Texts(ARC_INF* s, int id) {
    std::vector<std::string> out;
    for (const auto& e : s->Control(id)->entries) out.push_back(e.text);
    return out;
  }
  std::vector<std::string> Selected(ARC_INF* s, int id) {
    std::vector<std::string> out;
    for (const auto& e : s->Control(id)->entries)
      if (e.selected) out.push_back(e.cargo);
    return out;
  }
  std::string Stored(const std::string& biz, const char* field) {
    auto t = xb::Table::Open(file("F_PLAN.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldBytes(**t, "NEGOCIO") == biz) return qz::FieldBytes(**t, field);
    return "<no row>";
  }
  static constexpr int kSalary = ARC_INF::kFirstList, kOvertime = ARC_INF::kFirstList + 1,
                       kCommissions = ARC_INF::kFirstList + 3, kOthers = ARC_INF::kFirstList + 4;
};

TEST_F(ArcInfTest, OffersTheEnabledBonusPeriodsAndShowsWhatIsStored) {
  ARC_INF* s = Open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->title(), "Formato de Archivo del Informe");
  // The fourth group is stored as "4"; groups 3 and 5 are not enabled.
  EXPECT_EQ(Texts(s, ARC_INF::kAguinaldo),
            (std::vector<std::string>{"Normal. Periódo:  01/12/25 al 30/11/26",
                                      "ESCOLAR Periódo: 01/01/26 al 31/12/26",
                                      "BONO 14 Periódo:          al         ", "Ninguno"}));
  EXPECT_EQ(qz::CCOMBOBOX(*s, ARC_INF::kAguinaldo).CURCARGO(), "0");
  EXPECT_EQ(qz::CCOMBOBOX(*s, ARC_INF::kBono14).CURCARGO(), "4");
  // Each list holds the business's column types in code order.
  EXPECT_EQ(Texts(s, kSalary), (std::vector<std::string>{"SALARIO BASE (01)", "HORAS EXTRA (02)",
                                                         "COMISIONES (05)", "AJUSTES (A)"}));
  EXPECT_EQ(Selected(s, kSalary), (std::vector<std::string>{"01", "A"}));
  EXPECT_EQ(Selected(s, kCommissions), (std::vector<std::string>{"05"}));
  EXPECT_TRUE(Selected(s, kOvertime).empty());
}

TEST_F(ArcInfTest, AceptarStoresCommaTerminatedCodesAndOnlyItsOwnFields) {
  ARC_INF* s = Open();
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(s->UserSelect(kSalary, "AJUSTES (A)", false));
  ASSERT_TRUE(s->UserSelect(kOvertime, "HORAS EXTRA (02)", true));
  ASSERT_TRUE(s->UserSelect(kOvertime, "SALARIO BASE (01)", true));
  ASSERT_TRUE(s->UserSelect(kCommissions, "COMISIONES (05)", false));
  ASSERT_TRUE(s->UserChoose(ARC_INF::kBono14, "Ninguno"));
  // Meanwhile the parameters window saves another field of the same row.
  {
    auto t = xb::Table::Open(file("F_PLAN.DBF"));
    ASSERT_TRUE((*t)->GoTo(1).ok());
    ASSERT_TRUE((*t)->LockRecord().ok());
    ASSERT_TRUE((*t)->Put("COL_SEGURO", C("[02]")).ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  ui.Press(s, 1);
  EXPECT_TRUE(desktop.FindWindow("ARC_INF") == nullptr);
  EXPECT_EQ(Stored(kCentral, "INF_SAL").substr(0, 4), "01, ");
  EXPECT_EQ(Stored(kCentral, "INF_H_EXT").substr(0, 7), "01,02, ");
  // Nothing selected is stored as empty text.
  EXPECT_EQ(qz::TrimRight(Stored(kCentral, "INF_COMIS")), "");
  EXPECT_EQ(Stored(kCentral, "INF_AGUI1"), "0");
  EXPECT_EQ(Stored(kCentral, "INF_AGUI2"), " ");
  EXPECT_EQ(qz::TrimRight(Stored(kCentral, "COL_SEGURO")), "[02]");

  // Opened again, the window shows what was stored.
  s = Open();
  EXPECT_EQ(Selected(s, kOvertime), (std::vector<std::string>{"01", "02"}));
  EXPECT_EQ(qz::CCOMBOBOX(*s, ARC_INF::kBono14).CURCARGO(), " ");
}

TEST_F(ArcInfTest, CancelarStoresNothing) {
  ARC_INF* s = Open();
  ASSERT_TRUE(s->UserSelect(kOthers, "COMISIONES (05)", true));
  ui.Press(s, 2);
  EXPECT_TRUE(desktop.FindWindow("ARC_INF") == nullptr);
  EXPECT_EQ(qz::TrimRight(Stored(kCentral, "INF_OTRO_P")), "");
}

TEST_F(ArcInfTest, ABusinessWithoutParametersGetsItsRowAndOnlyTheNormalPeriod) {
  ARC_INF* s = Open(kPlaya);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Texts(s, ARC_INF::kAguinaldo),
            (std::vector<std::string>{"Normal. Periódo:           al         ", "Ninguno"}));
  EXPECT_FALSE(qz::CCOMBOBOX(*s, ARC_INF::kAguinaldo).CURCARGO().has_value());
  EXPECT_EQ(Texts(s, kSalary), (std::vector<std::string>{"PLAYA (09)"}));
  ASSERT_TRUE(s->UserSelect(kSalary, "PLAYA (09)", true));
  ui.Press(s, 1);
  EXPECT_EQ(Stored(kPlaya, "INF_SAL").substr(0, 3), "09,");
  // No period chosen: the bonus fields are left as they were.
  EXPECT_EQ(Stored(kPlaya, "INF_AGUI1"), " ");
  EXPECT_EQ(Stored(kCentral, "INF_AGUI2"), "4");
}

TEST_F(ArcInfTest, AListLongerThanItsFieldIsRefusedAndNothingIsLost) {
  std::vector<qztest::Row> many;
  for (int i = 10; i < 100; ++i)
    many.push_back({{"NEGOCIO", C(kCentral)}, {"CODIGO", C(std::to_string(i))},
                    {"DESCRIP", C("COLUMNA " + std::to_string(i))}});
  qztest::AddRows(bases, "ENC_TIP", many);
  ARC_INF* s = Open();
  for (int i = 10; i < 100; ++i)
    ASSERT_TRUE(s->UserSelect(kOthers, "COLUMNA " + std::to_string(i) + " (" + std::to_string(i) + ")",
                              true));
  ui.Press(s, 1);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].text, "Demasiadas columnas seleccionadas en \"Otros Pagos\"");
  EXPECT_EQ(ui.boxes()[0].title, "Error");
  ASSERT_TRUE(desktop.FindWindow("ARC_INF") != nullptr);
  EXPECT_EQ(qz::TrimRight(Stored(kCentral, "INF_OTRO_P")), "");
  // Taking some away, the same window stores the rest.
  for (int i = 10; i < 30; ++i)
    s->UserSelect(kOthers, "COLUMNA " + std::to_string(i) + " (" + std::to_string(i) + ")", false);
  ui.Press(s, 1);
  EXPECT_EQ(Stored(kCentral, "INF_OTRO_P").substr(0, 6), "30,31,");
  EXPECT_EQ(qz::TrimRight(Stored(kCentral, "INF_OTRO_P")).size(), 210u);
}

TEST_F(ArcInfTest, WaitsForTheRowAnotherWorkstationHoldsAndThenStores) {
  ARC_INF* s = Open();
  ASSERT_TRUE(s->UserSelect(kOvertime, "HORAS EXTRA (02)", true));
  auto other = xb::Table::Open(file("F_PLAN.DBF"));
  ASSERT_TRUE((*other)->LockRecord(1).ok());
  // While the question waits, the other user lets go.
  ui.WhileBoxShown([&](const std::string&) { (*other)->UnlockAll(); });
  ui.Press(s, 1);
  EXPECT_EQ(Stored(kCentral, "INF_H_EXT").substr(0, 3), "02,");
  EXPECT_TRUE(desktop.FindWindow("ARC_INF") == nullptr);
}

TEST_F(ArcInfTest, TwoWorkstationsStoringABusinessWithoutParametersAddOneRow) {
  ARC_INF* s = Open(kPlaya);
  ASSERT_TRUE(s->UserSelect(kSalary, "PLAYA (09)", true));
  // Another program holds the parameters table for a moment, so the other
  // workstation, having found no row for the business, waits to add it.
  auto holder = xb::Table::Open(file("F_PLAN.DBF"));
  ASSERT_TRUE(holder.ok());
  ASSERT_TRUE((*holder)->LockFile().ok());
  qztest::RacingWorkstation other;
  other.Start(inst.root, [](const std::function<void()>& ready) {
    qz::HeadlessUi ws;
    ARC_INF* o = qz::OpenScreen<ARC_INF>(ws.desktop(), "ARC_INF", kPlaya);
    if (!o || !o->UserSelect(kSalary, "PLAYA (09)", true)) return 91;
    ready();
    o->UserPress(1);
    return ws.desktop().FindWindow("ARC_INF") == nullptr ? 0 : 94;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // The table is free again and this workstation stores at once, waiting on
  // the real clock as a user would.
  qz::SetClock(nullptr);
  (void)(*holder)->UnlockAll();
  ui.Press(s, 1);
  qz::SetClock(&clock);
  EXPECT_EQ(other.Wait(), 0);
  EXPECT_EQ(desktop.FindWindow("ARC_INF"), nullptr);
  int rows = 0;
  auto t = xb::Table::Open(file("F_PLAN.DBF"));
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) rows += qz::FieldBytes(**t, "NEGOCIO") == kPlaya;
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(Stored(kPlaya, "INF_SAL").substr(0, 3), "09,");
}

TEST_F(ArcInfTest, TheMenuOpensTheWindow) {
  qz::MenuRegistry registry;
  qz::RegisterAccountingScreens(registry, desktop);
  const qz::ScreenOpener* open = registry.Find("ARC_INF");
  ASSERT_NE(open, nullptr);
  (*open)(kCentral, "ARC_INF");
  EXPECT_NE(desktop.FindWindow("ARC_INF"), nullptr);
}

TEST(ReportChoices, StoredListsReadThreeCharactersAtATime) {
  EXPECT_EQ(qz::CodesOfList("01,02,"), (std::vector<std::string>{"01", "02"}));
  EXPECT_EQ(qz::CodesOfList("01,   A ,  "), (std::vector<std::string>{"01", "A "}));
  EXPECT_EQ(qz::CodesOfList("0"), (std::vector<std::string>{"0 "}));
  EXPECT_TRUE(qz::CodesOfList("").empty());
  EXPECT_EQ(qz::ListOfCodes({"01", "A"}), "01,A ,");
  EXPECT_EQ(qz::ListOfCodes({}), "");
}

}  // namespace
