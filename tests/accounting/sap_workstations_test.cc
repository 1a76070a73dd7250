// The SAP screens with two workstations at work: two mapping windows open on
// the same business, each saving what it changed; the row editor's work
// thrown away with the window; and the journal run twice in a row.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "accounting/sap/as_sap.h"
#include "accounting/sap/crea_sap.h"
#include "lib/accounting/sap_mapping.h"
#include "lib/ui/catalog.h"
#include "lib/ui/tree.h"
#include "support/other_workstation.h"
#include "support/sap_payroll.h"
#include "support/table_rows.h"

namespace qztest {
namespace {

class SapWorkstations : public SapPayrollSession {
 protected:
  // "COLUMNA/CUENTA/ORDEN" of the stored mapping, in its order.
  std::vector<std::string> Stored() {
    auto t = xb::Table::Open(file("F_AS_SA2.DBF"));
    EXPECT_TRUE(t.ok());
    auto rows = qz::LoadSapMapping(**t, "HOTEL CENTRAL");
    std::vector<std::string> out;
    if (rows.ok())
      for (const auto& r : *rows)
        out.push_back(r.columna + "/" + r.cuenta + "/" + std::to_string(r.orden));
    return out;
  }
  qz::AS_SAP* OpenMapping() {
    auto* s = qz::OpenScreen<qz::AS_SAP>(desktop, "AS_SAP", "HOTEL CENTRAL");
    EXPECT_NE(s, nullptr);
    return s;
  }
  // Changes the account of list entry `row` through the row editor.
  void ChangeAccount(qz::AS_SAP* s, int row, const std::string& cuenta) {
    s->SetSelected(qz::AS_SAP::kList, row, true);
    ui.OnDialog("E_SAP", [cuenta](qz::WDIAG& d) {
      d.UserType(qz::E_SAP::kCuenta, cuenta);
      d.UserPress(1);
    });
    s->Modificar();
  }
  // Adds a withholding row "_3" in block PLANILLA at `orden`.
  void AddWithholdings(qz::AS_SAP* s, const std::string& orden) {
    ui.OnDialog("E_SAP", [orden](qz::WDIAG& d) {
      d.UserChoose(qz::E_SAP::kColumna, "* Total de Rebajos");
      d.UserType(qz::E_SAP::kCuenta, "2-02");
      d.UserType(qz::E_SAP::kBloque, "PLANILLA");
      d.UserType(qz::E_SAP::kOrden, orden);
      d.UserPress(1);
    });
    s->Agregar();
  }
};

TEST_F(SapWorkstations, EachMappingWindowSavesWhatItChangedAndNothingTwice) {
  StoreMapping({Map("_5", 1, 0, "5-01", "PLANILLA", 10), Map("20", 0, 2, "2-01", "PLANILLA", 30)});
  qz::AS_SAP* mine = OpenMapping();
  qz::AS_SAP* other = OpenMapping();
  ASSERT_TRUE(mine && other);
  // The other workstation books the income elsewhere and adds withholdings.
  ChangeAccount(other, 0, "5-77");
  AddWithholdings(other, "40");
  ASSERT_TRUE(ui.Press(other, qz::AS_SAP::kAceptar));
  // This one, opened before, changes the deduction and adds the same row.
  ChangeAccount(mine, 1, "2-99");
  AddWithholdings(mine, "40");
  ASSERT_TRUE(ui.Press(mine, qz::AS_SAP::kAceptar));
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(desktop.FindWindow("AS_SAP"), nullptr);
  EXPECT_EQ(Stored(), (std::vector<std::string>{"_5/5-77/10", "20/2-99/30", "_3/2-02/40"}));
}

TEST_F(SapWorkstations, TwoFirstMappingsSavedAtOnceGiveTheBusinessOneHeader) {
  qz::AS_SAP* mine = OpenMapping();
  ASSERT_NE(mine, nullptr);
  AddWithholdings(mine, "40");
  // Another program holds the header table for a moment, so the other
  // workstation, having found no header for the business, waits to add it.
  auto holder = xb::Table::Open(file("F_AS_SAP.DBF"));
  ASSERT_TRUE(holder.ok());
  ASSERT_TRUE((*holder)->LockFile().ok());
  RacingWorkstation other;
  other.Start(inst.root, [](const std::function<void()>& ready) {
    qz::HeadlessUi ws;
    auto* o = qz::OpenScreen<qz::AS_SAP>(ws.desktop(), "AS_SAP", "HOTEL CENTRAL");
    if (!o) return 91;
    ready();
    o->UserPress(qz::AS_SAP::kAceptar);
    return ws.desktop().FindWindow("AS_SAP") == nullptr ? 0 : 94;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  qz::SetClock(nullptr);  // waits on the real clock, as a user would
  (void)(*holder)->UnlockAll();
  EXPECT_TRUE(ui.Press(mine, qz::AS_SAP::kAceptar));
  qz::SetClock(&clock);
  EXPECT_EQ(other.Wait(), 0);
  EXPECT_EQ(desktop.FindWindow("AS_SAP"), nullptr);
  auto head = xb::Table::Open(file("F_AS_SAP.DBF"));
  ASSERT_TRUE(head.ok());
  int headers = 0;
  for ((*head)->GoTop(); !(*head)->Eof(); (*head)->Skip(1))
    headers += qz::FieldText(**head, "NEGOCIO") == "HOTEL CENTRAL";
  EXPECT_EQ(headers, 1);
  EXPECT_EQ(Stored(), std::vector<std::string>{"_3/2-02/40"});
}

TEST_F(SapWorkstations, ARowBothChangedIsRefusedAndNothingIsSaved) {
  StoreMapping({Map("_5", 1, 0, "5-01", "PLANILLA", 10), Map("20", 0, 2, "2-01", "PLANILLA", 30)});
  qz::AS_SAP* mine = OpenMapping();
  qz::AS_SAP* other = OpenMapping();
  ASSERT_TRUE(mine && other);
  ChangeAccount(other, 0, "5-77");
  ASSERT_TRUE(ui.Press(other, qz::AS_SAP::kAceptar));
  ChangeAccount(mine, 0, "5-55");
  AddWithholdings(mine, "40");
  EXPECT_FALSE(mine->Aceptar());
  auto boxes = ui.TakeBoxTexts();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind(qz::AS_SAP::kChangedElsewhere, 0), 0u);
  EXPECT_NE(boxes[0].find("T. Ingresos"), std::string::npos);
  EXPECT_EQ(Stored(), (std::vector<std::string>{"_5/5-77/10", "20/2-01/30"}));
  // The window stays with the user's work; "Cancelar" leaves the table.
  EXPECT_EQ(desktop.FindWindow("AS_SAP"), mine);
  ASSERT_TRUE(ui.Press(mine, qz::AS_SAP::kCancelar));
  EXPECT_EQ(Stored(), (std::vector<std::string>{"_5/5-77/10", "20/2-01/30"}));

  // A row the other workstation removed: removing it here too is no
  // conflict; changing it is.
  mine = OpenMapping();
  other = OpenMapping();
  other->SetSelected(qz::AS_SAP::kList, 1, true);
  ui.AnswerNext(1);
  other->Quitar();
  ASSERT_TRUE(ui.Press(other, qz::AS_SAP::kAceptar));
  mine->SetSelected(qz::AS_SAP::kList, 1, true);
  ui.AnswerNext(1);
  mine->Quitar();
  EXPECT_TRUE(mine->Aceptar());
  ui.TakeBoxTexts();
  EXPECT_EQ(Stored(), std::vector<std::string>{"_5/5-77/10"});
}

TEST_F(SapWorkstations, RowEditedThenMappingCancelledLeavesEveryTableAlone) {
  qz::AS_SAP* s = OpenMapping();
  ASSERT_NE(s, nullptr);
  AddWithholdings(s, "40");
  EXPECT_EQ(s->Shown().size(), 1u);
  ASSERT_TRUE(ui.Press(s, qz::AS_SAP::kCancelar));
  EXPECT_TRUE(Stored().empty());
  EXPECT_TRUE(SortedRows(file("F_AS_SAP.DBF"), {"NEGOCIO"}).empty());
  // Opened again, nothing of the thrown-away row is there.
  s = OpenMapping();
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->Shown().empty());
}

TEST_F(SapWorkstations, TheJournalRunTwiceGivesTheSameLines) {
  StoreMapping(Mapping());
  auto* s = qz::OpenScreen<qz::CREA_SAP>(desktop, "CREA_SAP", "HOTEL CENTRAL");
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(ui.Press(s, qz::ProcessScreen::kMarcarTodos));
  s->UserChoose(qz::CREA_SAP::kMoneda, "COLONES");
  s->SetDate(qz::CREA_SAP::kFecha, kSapCut);
  auto lines = [&] {
    std::vector<std::string> out;
    xb::Table& t = s->work_table("TMP_PL13")->table();
    for (xb::Status st = t.GoTop(); st.ok() && !t.Eof(); st = t.Skip(1))
      out.push_back(qz::FieldText(t, "COLUMNA") + " " + qz::FieldText(t, "ROTULO") + " " +
                    std::to_string(t.Get("DEBITO")->number()) + " " +
                    std::to_string(t.Get("CREDITO")->number()));
    return out;
  };
  ASSERT_TRUE(s->Procesar());
  const std::vector<std::string> first = lines();
  ASSERT_FALSE(first.empty());
  ASSERT_TRUE(s->Procesar());
  EXPECT_EQ(lines(), first);
  EXPECT_EQ(ui.printed().size(), 2u);
  EXPECT_EQ(ui.printed()[0].PlainText(), ui.printed()[1].PlainText());
}

}  // namespace
}  // namespace qztest
