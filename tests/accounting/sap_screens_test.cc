// The SAP journal's screens as a user meets them: the mapping list and its
// row editor, the journal run with its checks, its printout and its work
// tables, and the reconciliation window reached from it.
#include <gtest/gtest.h>

#include "accounting/sap/as_sap.h"
#include "accounting/sap/conc_sap.h"
#include "accounting/sap/crea_sap.h"
#include "lib/accounting/sap_mapping.h"
#include "lib/ui/catalog.h"
#include "lib/ui/tree.h"
#include "support/sap_payroll.h"

namespace qztest {
namespace {

class SapScreens : public SapPayrollSession {
 protected:
  std::vector<qz::SapMapRow> Stored() {
    auto t = xb::Table::Open(file("F_AS_SA2.DBF"));
    EXPECT_TRUE(t.ok());
    auto rows = qz::LoadSapMapping(**t, "HOTEL CENTRAL");
    EXPECT_TRUE(rows.ok());
    return rows.ok() ? *rows : std::vector<qz::SapMapRow>{};
  }
  int Rows(const std::string& table) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    int n = 0;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) ++n;
    return n;
  }
  qz::CREA_SAP* OpenJournal() {
    auto* s = qz::OpenScreen<qz::CREA_SAP>(desktop, "CREA_SAP", "HOTEL CENTRAL");
    EXPECT_NE(s, nullptr);
    return s;
  }
  static void Mark(qz::CREA_SAP* s, const std::string& depto) {
    qz::TreeNode* n = s->tree()->Find(Biz(depto));
    ASSERT_NE(n, nullptr);
    s->tree()->SetMarked(n, true);
  }
};

TEST_F(SapScreens, MappingIsEditedOnAScratchCopyAndWrittenBackOnAccept) {
  StoreMapping({Map("_5", 1, 0, "5-01", "PLANILLA", 10), Map("20", 0, 2, "2-01", "PLANILLA", 30)});
  auto* s = qz::OpenScreen<qz::AS_SAP>(desktop, "AS_SAP", "HOTEL CENTRAL");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Shown(), (std::vector<std::pair<std::string, std::string>>{
                            {"* T. Ingresos", "NOTA _5"}, {"CCSS", "NOTA 20"}}));
  // A new row: the balancing item fixes the three groups.
  ui.OnDialog("E_SAP", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::E_SAP::kFactor), "1.00000");
    EXPECT_EQ(d.Check(qz::E_SAP::kDebito), 1);
    EXPECT_EQ(d.Check(qz::E_SAP::kDepartamento), 1);
    d.UserPress(1);  // no column yet: refused, the dialog stays
    d.UserChoose(qz::E_SAP::kColumna, "* Diferencia Deb.y Cred");
    EXPECT_FALSE(d.ControlEnabled(qz::E_SAP::kCredito));
    EXPECT_EQ(d.Check(qz::E_SAP::kGranTotal), 1);
    d.UserType(qz::E_SAP::kBloque, "PLANILLA");
    d.UserType(qz::E_SAP::kOrden, "90");
    d.UserType(qz::E_SAP::kRotulo, "DIFERENCIA");
    d.UserPress(1);
  });
  s->Agregar();
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::E_SAP::kNoColumn});
  // The second row is removed, after the question.
  s->SetSelected(qz::AS_SAP::kList, 1, true);
  ui.AnswerNext(1);
  s->Quitar();
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::AS_SAP::kAskDelete});
  // Nothing is stored before "Aceptar".
  EXPECT_EQ(Stored().size(), 2u);
  EXPECT_EQ(Rows("F_AS_SAP"), 0);
  ASSERT_TRUE(ui.Press(s, qz::AS_SAP::kAceptar));
  auto rows = Stored();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].columna, "_5");
  EXPECT_EQ(rows[1].columna, "_6");
  EXPECT_EQ(rows[1].aplica, qz::kSapGranTotal);
  EXPECT_EQ(rows[1].orden, 90);
  EXPECT_EQ(rows[1].factor, 1);
  EXPECT_EQ(Rows("F_AS_SAP"), 1);

  // Opened again, a modification and "Cancelar" leave the table alone.
  auto* again = qz::OpenScreen<qz::AS_SAP>(desktop, "AS_SAP", "HOTEL CENTRAL");
  ASSERT_NE(again, nullptr);
  again->SetSelected(qz::AS_SAP::kList, 0, true);
  ui.OnDialog("E_SAP", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::E_SAP::kCuenta), "5-01");
    d.UserType(qz::E_SAP::kCuenta, "5-99");
    d.UserClick(qz::E_SAP::kCredito);
    d.UserPress(1);
  });
  again->Modificar();
  ASSERT_TRUE(ui.Press(again, qz::AS_SAP::kCancelar));
  EXPECT_EQ(Stored()[0].cuenta, "5-01");
  EXPECT_EQ(Rows("F_AS_SAP"), 1);
}

TEST_F(SapScreens, JournalRunChecksPrintsAndKeepsItsLines) {
  auto* s = OpenJournal();
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->Procesar());
  Mark(s, "D1");
  EXPECT_FALSE(s->Procesar());
  s->UserChoose(qz::CREA_SAP::kMoneda, "COLONES");
  s->UserType(qz::CREA_SAP::kFecha, "");
  EXPECT_FALSE(s->Procesar());
  s->SetDate(qz::CREA_SAP::kFecha, kSapCut);
  EXPECT_FALSE(s->Procesar());  // the business has no mapping yet
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{qz::ProcessScreen::kNoDepartment, qz::CREA_SAP::kNoCurrency,
                                      qz::CREA_SAP::kNoDate, qz::CREA_SAP::kNoMapping}));
  StoreMapping(Mapping());
  s->UserType(qz::CREA_SAP::kReferencia, "PLANILLA MARZO");
  ASSERT_TRUE(ui.Press(s, 1));
  ASSERT_EQ(ui.printed().size(), 1u);
  EXPECT_EQ(ui.printed()[0].title, "Reporte de Facturación");
  EXPECT_NE(ui.printed()[0].PlainText().find("PLANILLA MARZO"), std::string::npos);
  EXPECT_EQ(s->lines().size(), 6u);  // D1 only: no bonus line of D2
  EXPECT_EQ(s->work_table("TMP_PL13")->RecCount(), 6u);
  // A cancelled printer dialog prints nothing; the lines are still there.
  ui.CancelNextPrint();
  EXPECT_FALSE(s->Procesar());
  EXPECT_EQ(ui.printed().size(), 1u);

  // A currency without a rate: told with the employee and column, nothing
  // written, nothing printed.
  s->UserChoose(qz::CREA_SAP::kMoneda, "DOLARES");
  EXPECT_FALSE(s->Procesar());
  auto boxes = ui.TakeBoxTexts();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("ANA MORA, columna 20"), std::string::npos);
  EXPECT_EQ(ui.printed().size(), 1u);
}

TEST_F(SapScreens, ReconciliationOfADepartmentWithoutPayrollIsToldAndOpensNothing) {
  StoreMapping(Mapping());
  auto* s = OpenJournal();
  ASSERT_NE(s, nullptr);
  Mark(s, "D1");
  s->SetDate(qz::CREA_SAP::kFecha, kSapCut);
  ASSERT_TRUE(ui.Press(s, qz::CREA_SAP::kConciliar));
  auto boxes = ui.TakeBoxTexts();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "No existe planilla del departamento D1 para la fecha 31/03/26");
}

}  // namespace
}  // namespace qztest
