// The SAP journal of the current payroll: who is on it, what each mapping
// row books, the balancing line, the work table's bytes and the printout.
#include <gtest/gtest.h>

#include "lib/accounting/sap_lines.h"
#include "lib/accounting/sap_print.h"
#include "lib/accounting/sap_run.h"
#include "lib/accounting/sap_tables.h"
#include "support/sap_payroll.h"

namespace qztest {
namespace {

class SapJournalTest : public SapPayrollSession {
 protected:
  qz::SapComputation Run(const std::vector<qz::SapMapRow>& mapping, const std::string& moneda = "CR",
                         std::vector<std::string> depts = {"D1", "D2"}) {
    qz::SapRequest r;
    r.negocio = "HOTEL CENTRAL";
    r.departamentos = depts;
    r.corte = kSapCut;
    r.moneda = moneda;
    return qz::ComputeCurrentSap(r, mapping);
  }
  static std::string Trim(const std::string& s) { return s.substr(s.find_first_not_of(' ')); }
  static std::vector<std::string> Describe(const std::vector<qz::SapLine>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines)
      out.push_back(l.bloque + "/" + std::to_string(l.orden) + " " + l.cuenta + " " + l.ce_cos + " " +
                    l.rotulo + " D " + Trim(qz::SapAmountText(l.debito)) + " C " +
                    Trim(qz::SapAmountText(l.credito)));
    return out;
  }
};

TEST_F(SapJournalTest, BooksEachDepartmentAndBalancesTheBlock) {
  auto c = Run(Mapping());
  ASSERT_TRUE(c.problems.empty());
  ASSERT_EQ(c.departments.size(), 2u);
  // E1 950 + E2 1,800.22 + the retired E3 400; the immediate retirement
  // and the employee hired after the pay date are not on it.
  EXPECT_NEAR(c.departments[0].totals.s_total, 3150.22, 1e-9);
  EXPECT_NEAR(c.departments[0].totals.d_total, 300.03, 1e-9);
  EXPECT_EQ(c.departments[0].employees, 3);
  // The weekly department is paid on the Friday of the cut date's week.
  EXPECT_EQ(c.departments[1].fecha, xb::JulianFromYmd(2026, 4, 3));
  auto lines = qz::BuildSapLines(Mapping(), c);
  EXPECT_EQ(Describe(lines),
            (std::vector<std::string>{
                "PLANILLA/10 5-01 CC-COC COCINA D 3,400.25 C 0.00",
                "PLANILLA/10 5-01 CC-EVE EVENTOS D 500.00 C 0.00",
                "PLANILLA/20 5-02 CC-COC COCINA D 100.00 C 0.00",
                "PLANILLA/30 2-01  NOTA 20 D 0.00 C 350.03",
                "PLANILLA/40 2-02  NOTA _3 D 0.00 C 50.00",
                "PLANILLA/50 2-03  NOTA _1 D 0.00 C 3,600.22",
                "PLANILLA/90 5-09  NOTA _6 D 0.00 C 0.00"}));
  auto blocks = qz::SapBlockTotals(lines);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_NEAR(blocks[0].debito, 4000.25, 1e-9);
  EXPECT_NEAR(blocks[0].credito, 4000.25, 1e-9);
}

TEST_F(SapJournalTest, FilterAndDetailLevelAndAnOnlyBalancingBlock) {
  auto mapping = Mapping();
  mapping.push_back(Map("_1", 1, 1, "2-03", "PAGO", 10));
  mapping.back().cecos = "PLANILLA";
  mapping.push_back(Map("_5", 0, 2, "1-02", "PAGO", 20, /*tipo=*/1));  // fixed departments only
  mapping.push_back(Map("_6", 1, 2, "5-09", "PAGO", 90));
  mapping.push_back(Map("_6", 1, 2, "5-09", "VACIO", 90));
  auto c = Run(mapping);
  ASSERT_TRUE(c.detail);
  auto lines = qz::BuildSapLines(mapping, c);
  std::vector<std::string> pago, vacio;
  for (const auto& l : Describe(lines)) {
    if (l.rfind("PAGO", 0) == 0) pago.push_back(l);
    if (l.rfind("VACIO", 0) == 0) vacio.push_back(l);
  }
  // One line per included employee with the row's own cost centre; the
  // fixed-only credit leaves out the extra department; the difference is
  // the extra department's employee (450) less the fixed salary gap.
  EXPECT_EQ(pago, (std::vector<std::string>{
                      "PAGO/10 2-03 PLANILLA ANA MORA D 950.00 C 0.00",
                      "PAGO/10 2-03 PLANILLA LUIS SOTO D 1,800.22 C 0.00",
                      "PAGO/10 2-03 PLANILLA EVA RUIZ D 400.00 C 0.00",
                      "PAGO/10 2-03 PLANILLA PEDRO LUNA D 450.00 C 0.00",
                      "PAGO/20 1-02  NOTA _5 D 0.00 C 3,400.25",
                      "PAGO/90 5-09  NOTA _6 D 0.00 C 199.97"}));
  EXPECT_EQ(vacio, (std::vector<std::string>{"VACIO/90 5-09  NOTA _6 D 0.00 C 0.00"}));
  for (const auto& b : qz::SapBlockTotals(lines)) EXPECT_NEAR(b.debito, b.credito, 1e-9) << b.bloque;

  // The printout: one page per block, the balancing block with zero totals.
  qz::PrintDocument doc = qz::SapJournalDocument(lines, "MARZO");
  ASSERT_EQ(doc.pages.size(), 3u);
  EXPECT_EQ(doc.title, "Reporte de Facturación");
  const auto last = doc.PageLines(2);
  std::string text;
  for (const auto& l : last) text += l + "\n";
  EXPECT_NE(text.find("Asiento Contable S.A.P"), std::string::npos);
  EXPECT_NE(text.find("MARZO"), std::string::npos);
  size_t zeros = 0;
  for (size_t p = text.find("0.00"); p != std::string::npos; p = text.find("0.00", p + 1)) ++zeros;
  EXPECT_EQ(zeros, 4u);  // the line's debit and credit, the block's two totals
}

TEST_F(SapJournalTest, NetRoundingUpIsBalancedByTheDifferenceLine) {
  AddRows(bases, "F_PLAN", {});
  {
    auto t = xb::Table::Open(file("F_PLAN.DBF"));
    ASSERT_TRUE(t.ok());
    (*t)->GoTop();
    ASSERT_TRUE((*t)->LockRecord().ok());
    (*t)->Put("REDONDEO", N(1));
    (*t)->Put("DECIMALES", N(0));
    ASSERT_TRUE((*t)->Flush().ok());
    (*t)->UnlockAll();
    ASSERT_TRUE((*t)->Close().ok());
  }
  auto c = Run(Mapping(), "CR", {"D1"});
  // 1,800.22 rounds up to 1,801: the net grows by 0.78, the difference line
  // debits it.
  EXPECT_NEAR(c.departments[0].totals.s_total, 950 + 1801 + 400, 1e-9);
  auto lines = qz::BuildSapLines(Mapping(), c);
  EXPECT_NEAR(lines.back().debito, 0.78, 1e-9);
  EXPECT_EQ(lines.back().credito, 0);
}

TEST_F(SapJournalTest, MissingRateAndMissingColumnTypeAreProblemsWithEmployeeAndColumn) {
  auto c = Run(Mapping(), "US", {"D1"});
  ASSERT_FALSE(c.problems.empty());
  EXPECT_EQ(c.problems[0].empleado, "ANA MORA");
  EXPECT_EQ(c.problems[0].columna, "20");
  EXPECT_NE(c.problems[0].text.find("tipo de cambio"), std::string::npos);

  AddRows(bases, "DET_PERS", {{{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("E2")},
                               {"COD_COLUMN", C("77")}, {"VALOR_1", N(5)}}});
  auto mapping = Mapping();
  mapping.push_back(Map("77", 1, 0, "5-77", "PLANILLA", 25));
  auto d = Run(mapping, "CR", {"D1"});
  ASSERT_EQ(d.problems.size(), 1u);
  EXPECT_EQ(d.problems[0].empleado, "LUIS SOTO");
  EXPECT_EQ(d.problems[0].columna, "77");
  // Not mapped, the same row is nobody's business.
  EXPECT_TRUE(Run(Mapping(), "CR", {"D1"}).problems.empty());
}

TEST_F(SapJournalTest, WorkTableHoldsTheLinesByteForByte) {
  CreateSchemaTable(bases, "TMP_PL13");
  CreateSchemaTable(bases, "TMP_PL11");
  auto c = Run(Mapping());
  auto lines = qz::BuildSapLines(Mapping(), c);
  {
    auto l13 = xb::Table::Open(file("TMP_PL13.DBF"));
    auto l11 = xb::Table::Open(file("TMP_PL11.DBF"));
    ASSERT_TRUE(l13.ok() && l11.ok());
    qz::SapWorkTables w;
    w.tmp_pl13 = l13->get();
    w.tmp_pl11 = l11->get();
    ASSERT_TRUE(qz::WriteSapWorkTables(c, lines, w).ok());
    // A second run starts from empty tables.
    ASSERT_TRUE(qz::ClearSapWorkTables(w).ok());
    ASSERT_TRUE(qz::WriteSapWorkTables(c, lines, w).ok());
    ASSERT_TRUE((*l13)->Close().ok());
    ASSERT_TRUE((*l11)->Close().ok());
  }
  auto t = xb::Table::Open(file("TMP_PL13.DBF"));
  ASSERT_TRUE(t.ok());
  int live = 0;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) ++live;
  EXPECT_EQ(live, 7);
  ASSERT_TRUE((*t)->GoTo(8).ok());  // the second run's first line
  auto pad = [](std::string s, size_t n) { return s.resize(n, ' '), s; };
  EXPECT_EQ((*t)->RecordBytes(), " _5  10PLANILLA  " + pad("5-01", 15) + pad("CC-COC", 20) +
                                     pad("COCINA", 40) + pad("NOTA _5", 40) + "        3400.25" +
                                     "           0.00");
  ASSERT_TRUE((*t)->GoTo(14).ok());  // the balancing line carries its amounts
  EXPECT_EQ((*t)->RecordBytes().substr(1, 6), "_6  90");
  EXPECT_EQ((*t)->RecordBytes().substr(132), "           0.00           0.00");
  auto d = xb::Table::Open(file("TMP_PL11.DBF"));
  ASSERT_TRUE(d.ok() && (*d)->GoTo(3).ok());
  EXPECT_EQ((*d)->RecordBytes(), " " + pad("D1", 15) + pad("CC-COC", 20) + "0" +
                                     "        3150.22" + "         300.03" + "          50.00" +
                                     "         100.00" + "        3400.25");
}

TEST(SapRules, PayDateAndInclusion) {
  qz::PayrollType weekly;
  weekly.tipo = 1;
  weekly.dia_pago = 6;  // Friday
  const int32_t tuesday = xb::JulianFromYmd(2026, 3, 31), saturday = xb::JulianFromYmd(2026, 4, 4);
  EXPECT_EQ(qz::SapPayDate(&weekly, 1, tuesday), xb::JulianFromYmd(2026, 4, 3));
  EXPECT_EQ(qz::SapPayDate(&weekly, 1, saturday), xb::JulianFromYmd(2026, 4, 3));
  EXPECT_EQ(qz::SapPayDate(&weekly, 0, tuesday), tuesday);
  EXPECT_EQ(qz::SapPayDate(nullptr, 1, tuesday), tuesday);

  qz::SapEmployeeStatus e;
  e.f_ingreso = tuesday - 100;
  e.f_retiro = tuesday - 5;
  e.newest_line = tuesday - 10;
  EXPECT_TRUE(qz::SapIncluded(e, tuesday));
  e.inmediato = 1;
  EXPECT_FALSE(qz::SapIncluded(e, tuesday));
  e.inmediato = 0;
  e.newest_line = tuesday - 5;  // paid up to the retirement already
  EXPECT_FALSE(qz::SapIncluded(e, tuesday));
  e.newest_line = 0;  // never on a payroll
  EXPECT_FALSE(qz::SapIncluded(e, tuesday));
  e.newest_line = tuesday - 10;
  e.f_retiro = tuesday + 1;  // leaves after the pay date: not yet
  EXPECT_FALSE(qz::SapIncluded(e, tuesday));
  e.activo = 1;
  EXPECT_TRUE(qz::SapIncluded(e, tuesday));
  e.f_ingreso = tuesday + 1;
  EXPECT_FALSE(qz::SapIncluded(e, tuesday));
}

}  // namespace
}  // namespace qztest
