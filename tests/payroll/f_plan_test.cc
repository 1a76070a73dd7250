// The payroll parameters window: the first "Aceptar" of a business, the
// cost rounding that (alone) recomputes the hourly costs, the name format,
// the sub-windows that edit copies until "Aceptar", the scales, bad input
// and a row another workstation holds.
#include "payroll/f_plan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "lib/ui/catalog.h"
#include "payroll/param_window.h"
#include "payroll/scale_editor.h"
#include "payroll_defs_fixture.h"
#include "support/other_workstation.h"

namespace {

using qz::F_PLAN;
using qztest::C;
using qztest::kHc;
using qztest::kHp;
using qztest::N;

class FPlanTest : public qztest::PayrollDefsSession {
 protected:
  void SetUp() override {
    CreateDefinitions();
    qztest::CreateSchemaTable(inst.root + "PROFILE", "TMP_AVS");
    Create("F_PLAN2", {Range(kHc, 3, 6, 7), Range(kHc, 6, 12, 15), Range(kHp, 1, 2, 3)});
    Create("F_PLAN3", {Range(kHc, 3, 6, 7), Range(kHc, 12, 9999, 19.5)});
    Create("PROVEE", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("PLANILLA")}, {"NOMBRE", C("PLANILLAS SA")},
                       {"LEE_NOM", N(0)}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("VARIOS")}, {"NOMBRE", C("PAGOS VARIOS")},
                       {"LEE_NOM", N(1)}}});
    Create("LIGAS", {{{"NEGOCIO", C(kHc)}, {"MODULO", C("06")}, {"CODIGO", C("AJ")},
                      {"DESCRIP", C("AJUSTES")}},
                     {{"NEGOCIO", C(kHc)}, {"MODULO", C("04")}, {"CODIGO", C("BN")},
                      {"DESCRIP", C("BANCOS")}}});
    Create("ENC_MAPC", {{{"CODIGO", C("CR")}, {"DESCRIP", C("COSTA RICA")}}});
    Create("BANCOS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"DESCRIP", C("BANCO NACIONAL")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("02")}, {"DESCRIP", C("BANCO BCR")}}});
    Create("CUEN_LIB", {{{"NEGOCIO", C(kHc)}, {"BANCO", C("01")}, {"CUENTA", C("100-1")},
                         {"DESCRIP", C("PLANILLA COLONES")}},
                        {{"NEGOCIO", C(kHc)}, {"BANCO", C("02")}, {"CUENTA", C("200-9")},
                         {"DESCRIP", C("BCR DOLARES")}}});
    for (const char* t : {"TIP_TRAN", "TRANS_B", "ETAP_PLA", "FONTS"}) Create(t);
  }

  static qztest::Row Range(const std::string& biz, double from, double to, double days) {
    return {{"NEGOCIO", C(biz)}, {"RANGO_I", N(from)}, {"RANGO_F", N(to)}, {"DIAS", N(days)}};
  }

  F_PLAN* Open(const std::string& biz = kHc) {
    F_PLAN* s = qz::OpenScreen<F_PLAN>(desktop, "F_PLANILLA", biz);
    EXPECT_NE(s, nullptr);
    return s;
  }
  qz::ParamWindow* Sub(const std::string& name) {
    return dynamic_cast<qz::ParamWindow*>(desktop.FindWindow(name));
  }
  // Rows of a scale of the business, in record order: "from-to:days".
  std::vector<std::string> Scale(const std::string& table, const std::string& biz = kHc) {
    std::vector<std::string> out;
    auto t = xb::Table::Open(file(table + ".DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Deleted() || (*t)->Get("NEGOCIO")->str() != biz) continue;
      char buf[80];
      std::snprintf(buf, sizeof buf, "%g-%g:%g", (*t)->Get("RANGO_I")->number(),
                    (*t)->Get("RANGO_F")->number(), (*t)->Get("DIAS")->number());
      out.push_back(buf);
    }
    return out;
  }
  bool Recalculated() {
    for (const auto& w : ui.wait_texts())
      if (w == F_PLAN::kRecalcText) return true;
    return false;
  }
};

TEST_F(FPlanTest, OnlyTheCostRoundingRecomputesTheHourlyCosts) {
  F_PLAN* s = Open();
  EXPECT_EQ(s->title(), "Parámetros Generales");
  EXPECT_EQ(s->Text(F_PLAN::kDecCosto), "2");
  // Any other field: saved, nothing recomputed.
  ui.Type(s, 130, "3-101-999999");
  ui.Press(s, 1);
  EXPECT_EQ(desktop.FindWindow("F_PLANILLA"), nullptr);
  EXPECT_EQ(Field("F_PLAN", "PATRONO"), "3-101-999999");
  EXPECT_FALSE(Recalculated());
  EXPECT_EQ(Factor("E1", "HX"), 7);

  s = Open();
  ui.Type(s, F_PLAN::kDecCosto, "0");
  ui.Press(s, 1);
  EXPECT_TRUE(Recalculated());
  // E1: the first base value (SB 100,000, not the sum with SC) / 30 / 8 =
  // 416.666... rounded up to a whole 417; x 1.5 = 625.5, x 2 = 834.
  EXPECT_NEAR(Factor("E1", "HX"), 625.5, 1e-6);
  EXPECT_NEAR(Factor("E1", "HD"), 834, 1e-6);
  // E2: 150,000 / 15 / 8 = 1,250; x 1.5.
  EXPECT_NEAR(Factor("E2", "HX"), 1875, 1e-6);
  // E9's payroll type has no divisor: factor 0 in every dependent column.
  EXPECT_EQ(Factor("E9", "HX"), 0);
  EXPECT_EQ(Factor("E9", "HD"), 0);
  EXPECT_EQ(Factor("E1", "SB"), 7);
  EXPECT_EQ(Factor("E1", "HX", kHp), 7);  // the other business is not touched
  EXPECT_EQ(Field("F_PLAN", "DEC_COSTO"), "0");

  // Turning the rounding off alone also recomputes: 416.666... x 1.5.
  s = Open();
  ui.Click(s, F_PLAN::kRedCosto);
  ui.Press(s, 1);
  EXPECT_NEAR(Factor("E1", "HX"), 625, 1e-3);
}

TEST_F(FPlanTest, ABusinessWithoutParametersGetsItsRowsOnTheFirstAceptar) {
  F_PLAN* s = Open(kHp);
  EXPECT_EQ(s->Check(F_PLAN::kNombre1), 1);
  EXPECT_EQ(Field("F_PLAN", "TIP_NOMBRE", "", kHp), "<none>");
  ui.Type(s, 183, "Playa Hermosa");
  ui.Press(s, 1);
  EXPECT_TRUE(ui.boxes().empty());  // no name question, nothing to recompute
  EXPECT_FALSE(Recalculated());
  EXPECT_EQ(Field("F_PLAN", "TIP_NOMBRE", "", kHp), "1");
  EXPECT_EQ(Field("F_PLAN7", "LOCACION", "", kHp), "Playa Hermosa");
  // The other business's rows stay as they were.
  EXPECT_EQ(Field("F_PLAN", "PATRONO"), "3-101-000001");
  EXPECT_EQ(Field("F_PLAN7", "HORA_1"), "02");
  EXPECT_EQ(Scale("F_PLAN2", kHp), std::vector<std::string>{"1-2:3"});
}

TEST_F(FPlanTest, ANewNameFormatRewritesTheNamesOnlyWhenTheUserAgrees) {
  F_PLAN* s = Open();
  ui.Click(s, F_PLAN::kNombre2);
  ui.AnswerNext(2);
  ui.Press(s, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{F_PLAN::kNameQuestion});
  EXPECT_EQ(ui.boxes().back().title, "Advertencia");
  EXPECT_EQ(Field("F_PLAN", "TIP_NOMBRE"), "2");  // the format is saved all the same
  EXPECT_EQ(Field("ENC_PERS", "NOMBRE", "E1"), "ANA MORA SOLIS");

  s = Open();
  ui.Click(s, F_PLAN::kNombre1);
  ui.Click(s, F_PLAN::kNombre2);  // back where it was: no question
  ui.Press(s, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());

  s = Open();
  ui.Click(s, F_PLAN::kNombre1);
  ui.Press(s, 1);  // OK
  EXPECT_EQ(Field("F_PLAN", "TIP_NOMBRE"), "1");
  EXPECT_EQ(Field("ENC_PERS", "NOMBRE", "E1"), "ANA MORA SOLIS");
  s = Open();
  ui.Click(s, F_PLAN::kNombre2);
  ui.Press(s, 1);
  EXPECT_EQ(Field("ENC_PERS", "NOMBRE", "E2"), "VEGA ROJAS,LUIS");
  EXPECT_EQ(Field("ENC_PERS", "NOMBRE", "E1", kHp), "IVAN CRUZ MATA");
}

TEST_F(FPlanTest, SubWindowsEditCopiesThatOnlyAceptarWrites) {
  F_PLAN* s = Open();
  ui.Press(s, F_PLAN::kPatrono);
  qz::ParamWindow* w = Sub("F_PLANILLA2");
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(s->window_enabled());
  ui.Type(w, 500, "Hotel Central S.A.");
  ui.Press(w, 1);
  EXPECT_TRUE(s->window_enabled());
  EXPECT_EQ(Field("F_PLAN", "PAT_NOMBRE"), "");  // not yet

  // Cancel leaves the copy as it was.
  ui.Press(s, F_PLAN::kPatrono);
  w = Sub("F_PLANILLA2");
  EXPECT_EQ(w->Text(500), "Hotel Central S.A.");
  ui.Type(w, 500, "otro");
  ui.Press(w, 2);

  // A date that is no date is refused and nothing of the window is taken.
  ui.Press(s, F_PLAN::kAguinaldo);
  w = Sub("F_PLANILLA6");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->title(), "Parámetros para Calculo de Aguinaldo");
  EXPECT_EQ(w->Text(510), "Grupo #1");
  ui.Type(w, 504, "12");
  ui.Type(w, 502, "31/02/24");
  ui.Press(w, 1);
  EXPECT_EQ(ui.boxes().back().title, "Error");
  ASSERT_EQ(Sub("F_PLANILLA6"), w);
  ui.Type(w, 502, "01/12/23");
  ui.Type(w, 503, "30/11/24");
  ui.Click(w, 510);  // "Grupo #1"
  ui.Type(w, 511, "Extras");
  EXPECT_TRUE(w->UserChoose(562, "HORAS EXTRA"));
  ui.Press(w, 1);

  // Stages: the comment is trimmed.
  ui.Press(s, F_PLAN::kAcciones);
  w = Sub("F_PLANILLA5");
  ui.Type(w, 505, "  revisar  ");
  ui.Press(w, 1);

  ui.Press(s, 1);
  EXPECT_EQ(Field("F_PLAN", "PAT_NOMBRE"), "Hotel Central S.A.");
  EXPECT_EQ(Field("F_PLAN", "M_AGUI1"), "12");
  EXPECT_EQ(Field("F_PLAN", "TOTAL_AG2"), "1");
  EXPECT_EQ(Field("F_PLAN", "ROTULO_AG2"), "Extras");
  EXPECT_EQ(Field("F_PLAN", "ADIC_AG"), "HX");
  EXPECT_EQ(Field("F_PLAN", "LEYENDA"), "revisar");
}

TEST_F(FPlanTest, SuppliersPaymentDefaultsAndTheirClearing) {
  F_PLAN* s = Open();
  // A supplier whose payee name is not typed shows its own name, greyed.
  EXPECT_TRUE(s->UserChoose(F_PLAN::kProvTot, "PLANILLAS SA (PLANILLA)"));
  EXPECT_EQ(s->Text(F_PLAN::kNomProvTot), "PLANILLAS SA");
  EXPECT_FALSE(s->ControlEnabled(F_PLAN::kNomProvTot));
  EXPECT_TRUE(s->UserChoose(F_PLAN::kProvTot, "PAGOS VARIOS (VARIOS)"));
  EXPECT_TRUE(s->ControlEnabled(F_PLAN::kNomProvTot));
  ui.Type(s, F_PLAN::kNomProvTot, "Juan Pérez");

  ui.Press(s, F_PLAN::kEmpleados);
  qz::ParamWindow* w = Sub("F_PLANILLA4");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Check(502), 1);  // Transferencia, as stored
  ui.Click(w, 501);             // Cheque Individual
  // The accounts follow the bank.
  EXPECT_EQ(w->Control(521)->entries.size(), 1u);
  EXPECT_TRUE(w->UserChoose(520, "BANCO BCR"));
  ASSERT_EQ(w->Control(521)->entries.size(), 1u);
  EXPECT_EQ(w->Control(521)->entries[0].cargo, "200-9");
  EXPECT_TRUE(w->UserChoose(521, "BCR DOLARES"));
  ui.Press(w, 1);
  ui.Press(s, 1);
  EXPECT_EQ(Field("F_PLAN", "PROVEE_C_T"), "VARIOS");
  EXPECT_EQ(Field("F_PLAN", "NOM_PROV_T"), "Juan Pérez");
  EXPECT_EQ(Field("F_PLAN", "TIPO_PAGO"), "2");
  EXPECT_EQ(Field("F_PLAN", "BANCO"), "02");
  EXPECT_EQ(Field("F_PLAN", "CUENTA"), "200-9");

  // Without per-employee defaults no payment default is kept.
  s = Open();
  ui.Click(s, F_PLAN::kSetOpcion);
  ui.Press(s, 1);
  EXPECT_EQ(Field("F_PLAN", "TIPO_PAGO"), "0");
  EXPECT_EQ(Field("F_PLAN", "BANCO"), "");
  EXPECT_EQ(Field("F_PLAN", "CUENTA"), "");
}

TEST_F(FPlanTest, ScalesAreWrittenBackRowByRowAndBlankRowsAreNotStored) {
  F_PLAN* s = Open();
  ui.Press(s, F_PLAN::kPreaviso);
  auto* e = dynamic_cast<qz::ScaleEditor*>(desktop.FindWindow("PREAVISO"));
  ASSERT_NE(e, nullptr);
  qz::WBLISTBOX* g = e->grid();
  ASSERT_EQ(g->RowCount(), 3);  // the two ranges and a blank row to type into
  EXPECT_EQ(g->Cell(0, 2), "   7");
  EXPECT_TRUE(g->EditCell(0, 2, "8"));  // 3-6: 8 days
  EXPECT_TRUE(g->EditCell(2, 0, "12"));  // typing into the blank row adds one
  EXPECT_TRUE(g->EditCell(2, 1, "9999"));
  EXPECT_TRUE(g->EditCell(2, 2, "30"));
  EXPECT_EQ(g->RowCount(), 4);
  g->Select(1);  // 6-12 goes
  e->Borrar();
  EXPECT_EQ(g->RowCount(), 3);
  g->Select(1);
  e->Insertar();  // a blank row before 12-9999, left blank
  EXPECT_EQ(g->RowCount(), 4);
  EXPECT_EQ(g->Cell(1, 0), "   0");
  ui.Press(e, 1);
  EXPECT_EQ(Scale("F_PLAN2"), (std::vector<std::string>{"3-6:7", "6-12:15"}));  // not yet

  ui.Press(s, F_PLAN::kCesantia);
  auto* c = dynamic_cast<qz::ScaleEditor*>(desktop.FindWindow("CESANTIA"));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->grid()->Cell(1, 2), "  19.50");
  // A stored range the user empties is removed.
  for (int col = 0; col < 3; ++col) c->grid()->EditCell(0, col, "0");
  ui.Click(c, 501);
  ui.Type(c, 502, "01/01/01");
  ui.Type(c, 503, "20");
  ui.Press(c, 1);

  ui.Press(s, 1);
  EXPECT_EQ(Scale("F_PLAN2"), (std::vector<std::string>{"3-6:8", "12-9999:30"}));
  EXPECT_EQ(Scale("F_PLAN2", kHp), std::vector<std::string>{"1-2:3"});
  EXPECT_EQ(Scale("F_PLAN3"), std::vector<std::string>{"12-9999:19.5"});
  EXPECT_EQ(Field("F_PLAN", "TIPO_CESA"), "1");
  EXPECT_EQ(Field("F_PLAN", "FACT_CESA"), "20");
}

TEST_F(FPlanTest, FieldsRefuseWhatTheirPictureDoesNotAllow) {
  F_PLAN* s = Open();
  ui.Type(s, F_PLAN::kDecCosto, "x");
  EXPECT_TRUE(s->last_input_refused());
  EXPECT_EQ(s->Text(F_PLAN::kDecCosto), "");
  ui.Type(s, F_PLAN::kDecCosto, "25");
  EXPECT_TRUE(s->last_input_refused());
  EXPECT_EQ(s->Text(F_PLAN::kDecCosto), "2");
  ui.Type(s, 144, "1a");  // "# Copias"
  EXPECT_EQ(s->Text(144), "1");
  ui.Type(s, 142, "-");
  ui.Press(s, 1);
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(s->focus(), 142);
  EXPECT_EQ(Field("F_PLAN", "COP_COMP"), "0");  // nothing written
  ASSERT_EQ(desktop.FindWindow("F_PLANILLA"), s);
}

TEST_F(FPlanTest, ARowAnotherWorkstationHoldsIsWaitedForAndThenSaved) {
  F_PLAN* s = Open();
  auto other = xb::Table::Open(file("F_PLAN.DBF"));
  ASSERT_TRUE((*other)->LockRecord(1).ok());
  ui.WhileBoxShown([&](const std::string&) { (*other)->UnlockAll(); });
  ui.Type(s, 131, "POL-1");
  int64_t before = clock.slept();
  ui.Press(s, 1);
  EXPECT_GE(clock.slept() - before, 5000);
  EXPECT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(Field("F_PLAN", "POLIZA"), "POL-1");
}

TEST_F(FPlanTest, TwoWorkstationsSavingABusinessWithoutParametersAddItsRowsOnce) {
  F_PLAN* s = Open(kHp);
  ui.Type(s, 183, "Playa Hermosa");
  // Another program holds the complementary table for a moment, so the
  // other workstation, having found no row for the business, waits to add it.
  auto holder = xb::Table::Open(file("F_PLAN7.DBF"));
  ASSERT_TRUE(holder.ok());
  ASSERT_TRUE((*holder)->LockFile().ok());
  qztest::RacingWorkstation other;
  other.Start(inst.root, [](const std::function<void()>& ready) {
    qz::HeadlessUi ws;
    F_PLAN* o = qz::OpenScreen<F_PLAN>(ws.desktop(), "F_PLANILLA", kHp);
    if (!o) return 91;
    ready();
    o->UserPress(1);
    return ws.desktop().FindWindow("F_PLANILLA") == nullptr ? 0 : 94;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  qz::SetClock(nullptr);  // waits on the real clock, as a user would
  (void)(*holder)->UnlockAll();
  ui.Press(s, 1);
  qz::SetClock(&clock);
  EXPECT_EQ(other.Wait(), 0);
  EXPECT_EQ(desktop.FindWindow("F_PLANILLA"), nullptr);
  for (const char* table : {"F_PLAN", "F_PLAN7"}) {
    auto t = xb::Table::Open(file(std::string(table) + ".DBF"));
    ASSERT_TRUE(t.ok());
    int rows = 0;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) rows += (*t)->Get("NEGOCIO")->str() == kHp;
    EXPECT_EQ(rows, 1) << table;
  }
}

}  // namespace
