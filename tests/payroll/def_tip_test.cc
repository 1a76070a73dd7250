// The column-type catalog, its window ED_TIP and the bracket window ED_TIP2:
// the checks before saving, the fields stored by their enabling boxes, the
// bracket rows written back from the scratch table, a code change carried
// into the tables that use it, the recalculation question, and deleting a
// type with everything that hangs from it.
#include "payroll/def_tip.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "payroll/ed_tip.h"
#include "payroll/ed_tip2.h"
#include "support/ui_session.h"

namespace {

namespace id = qz::ed_tip;
using qz::ED_TIP;
using qz::ED_TIP2;
using qztest::Biz;
using qztest::C;
using qztest::N;

class DefTipTest : public qztest::UiSession {
 protected:
  const std::string hc = Biz("HOTEL CENTRAL"), hp = Biz("HOTEL PLAYA");

  void SetUp() override {
    Create("ENC_TIP",
           {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("SALARIO BASE")},
             {"TIPO", N(1)}, {"VAL_BASE", N(1)}, {"FACTOR_2", N(1)}},
            {{"NEGOCIO", C(hc)}, {"CODIGO", C("02")}, {"DESCRIP", C("HORAS EXTRA")},
             {"TIPO", N(1)}, {"VAL_DEPEND", N(1)}, {"VALOR_3", N(1.5)}, {"FACTOR", N(1)},
             {"F_DESCRIP", C("Costo")}, {"VALOR_2", N(1)}, {"FACTOR_2", N(1)},
             {"IMP_FACTOR", N(1)}, {"ROTULO_FAC", C("Costo Hora")}},
            {{"NEGOCIO", C(hc)}, {"CODIGO", C("30")}, {"DESCRIP", C("RENTA")},
             {"TIPO", N(3)}, {"MONEDA", C("CR")}, {"TIPO_TABLA", N(1)}},
            {{"NEGOCIO", C(hp)}, {"CODIGO", C("30")}, {"DESCRIP", C("RENTA PLAYA")},
             {"TIPO", N(3)}, {"MONEDA", C("CR")}, {"TIPO_TABLA", N(1)}}});
    Create("DET_TIP", {Bracket(hc, "30", 1, 0, 1000, 0), Bracket(hc, "30", 2, 1000, 2000, 10),
                       Bracket(hc, "30", 3, 2000, 9999, 15), Bracket(hp, "30", 1, 0, 500, 5)});
    Create("MONEDAS", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("CR")}, {"DESCRIP", C("COLONES")}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("US")}, {"DESCRIP", C("DOLARES")}}});
    Create("CONCEPTD", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("CUOTA")}}});
    Create("GRP_CMP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("INGRESOS")}}});
    Create("DET_PERS", {Uses(hc, "E1", "30"), Uses(hc, "E2", "30"), Uses(hp, "E3", "30"),
                        Uses(hc, "E1", "01")});
    Create("DET_DEPT", {{{"NEGOCIO", C(hc)}, {"DEPTO", C("D1")}, {"COD_COLUMN", C("30")}}});
    Create("DET_REPP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("R1")}, {"COD_COLUMN", C("30")}}});
    Create("DET_PER3", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("E1")}, {"COD_COLUMN", C("30")}}});
    qztest::CreateSchemaTable(inst.root + "PROFILE", "TMP_TIP");
    screen = qz::OpenScreen<qz::DEF_TIP>(desktop, "DEF_TIP", hc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }

  static qztest::Row Bracket(const std::string& b, const std::string& code, int serie, double from,
                             double to, double pct) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"SERIE", N(serie)},
            {"RANGO_I", N(from)}, {"RANGO_F", N(to)}, {"PORCENTAJE", N(pct)}};
  }
  static qztest::Row Uses(const std::string& b, const std::string& emp, const std::string& col) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)}};
  }

  ED_TIP* Editor() { return dynamic_cast<ED_TIP*>(desktop.FindWindow("DEF_TIP2")); }
  ED_TIP2* Detail() { return dynamic_cast<ED_TIP2*>(desktop.FindWindow("DEF_TIP3")); }
  void SelectCode(const std::string& code) {
    for (int r = 0; r < grid->RowCount(); ++r)
      if (qz::TrimRight(grid->Cell(r, 0)) == code) grid->Select(r);
  }

  // A field of the business's column type `code`, as text ("<none>" when
  // there is no such row).
  std::string Field(const std::string& code, const std::string& field,
                    const std::string& business = "HOTEL CENTRAL") {
    auto t = xb::Table::Open(file("ENC_TIP.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if (qz::FieldText(**t, "NEGOCIO") != business || qz::FieldText(**t, "CODIGO") != code)
        continue;
      auto v = (*t)->Get(field);
      if (v->is_numeric()) {
        std::string s = std::to_string(v->number());
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
        return s;
      }
      return qz::TrimRight(v->str());
    }
    return "<none>";
  }
  // Live rows of a table as business initial + owner + "/" + COD_COLUMN in
  // record order, or, for DET_TIP, "CODIGO#SERIE:from-to@pct" sorted.
  std::vector<std::string> Rows(const std::string& table) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    std::vector<std::string> out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      std::string b = qz::FieldText(**t, "NEGOCIO").substr(6, 1);  // C or P
      if (table == "DET_TIP") {
        auto n = [&](const char* f) {
          return std::to_string(static_cast<long long>((*t)->Get(f)->number()));
        };
        out.push_back(b + qz::FieldText(**t, "CODIGO") + "#" + n("SERIE") + ":" + n("RANGO_I") +
                      "-" + n("RANGO_F") + "@" + n("PORCENTAJE"));
      } else {
        std::string owner = qz::FieldText(**t, table == "DET_DEPT" ? "DEPTO" : "CODIGO");
        out.push_back(b + owner + "/" + qz::FieldText(**t, "COD_COLUMN"));
      }
    }
    if (table == "DET_TIP") std::sort(out.begin(), out.end());
    return out;
  }

  qz::DEF_TIP* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(DefTipTest, EachRefusalIsToldAndWritesNothing) {
  ASSERT_TRUE(ui.Menu("Agregar Tipo"));
  ED_TIP* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  ui.Type(e, id::kCodigo, "40");
  ui.Type(e, id::kDescrip, "Nueva");
  ui.Click(e, id::kKind3);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Falta definir el tipo de moneda"});
  e->UserChoose(id::kMoneda, "COLONES");
  ui.Click(e, id::kInfo);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Falta definir el tipo de moneda para la columna informativa"});
  e->UserChoose(id::kMonedaInfo, "Ninguna");  // "Ninguna" is no currency either
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts().size(), 1u);
  e->UserChoose(id::kMonedaInfo, "DOLARES");
  ui.Click(e, id::kDeuda);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Falta definir el tipo concepto a aplicar a la deuda"});
  e->UserChoose(id::kConceptoDeuda, "CUOTA");
  ui.Type(e, id::kCodigo, "02");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de tipo ya definido..."});
  ui.Type(e, id::kCodigo, "_1");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El Código no puede iniciar con el caracter _"});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Field("_1", "DESCRIP"), "<none>");
  EXPECT_EQ(Editor(), e);
  ui.Type(e, id::kCodigo, "40");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(Field("40", "MONEDA2"), "US");
  EXPECT_EQ(Field("40", "C_DEUDA"), "01");
  EXPECT_EQ(Field("40", "TIPO"), "3");
  EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(DefTipTest, FieldsWhoseBoxIsOffAreStoredEmpty) {
  ui.Menu("Agregar Tipo");
  ED_TIP* e = Editor();
  ui.Type(e, id::kCodigo, "05");
  // Kind 1 by default: the value applies, it prints, days worked do not divide.
  EXPECT_EQ(e->Check(id::kKind1), 1);
  EXPECT_EQ(e->Check(id::kImpValor), 1);
  EXPECT_TRUE(e->ControlEnabled(id::kValor));
  EXPECT_FALSE(e->ControlEnabled(id::kPorcentaje));
  EXPECT_FALSE(e->ControlEnabled(id::kDetalle));
  ui.Type(e, id::kValor, "1,500.25");
  ui.Type(e, id::kFirstLabel, "Monto");      // value label, printed
  ui.Click(e, id::kImpTotal);
  ui.Type(e, id::kFirstLabel + 4, "Total");  // total label ...
  ui.Click(e, id::kImpTotal);                // ... whose box goes off again
  EXPECT_FALSE(e->ControlEnabled(id::kFirstLabel + 4));
  ui.Click(e, id::kFactor);
  ui.Type(e, id::kFDescrip, "Horas");
  ui.Type(e, id::kValor2, "2.5");
  ui.Click(e, id::kImpFactor);
  ui.Click(e, id::kFactor);  // unchecking "Incluir" clears the factor
  EXPECT_EQ(e->Text(id::kFDescrip), "");
  EXPECT_EQ(e->Check(id::kImpFactor), 0);
  ui.Click(e, id::kCalcDif);
  ui.Type(e, 507, "8");  // the cut-off
  ui.Click(e, id::kCalcDif);
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr) << ui.TakeBoxTexts().size();
  EXPECT_EQ(Field("05", "VALOR"), "1500.25");
  EXPECT_EQ(Field("05", "ROTULO_VAL"), "Monto");
  EXPECT_EQ(Field("05", "ROTULO_TOT"), "");
  EXPECT_EQ(Field("05", "F_DESCRIP"), "");
  EXPECT_EQ(Field("05", "VALOR_2"), "1");  // no factor: times 1
  EXPECT_EQ(Field("05", "CORTE"), "0");
  EXPECT_EQ(Field("05", "TIPO_MONTO"), "0");
  EXPECT_EQ(Field("05", "FACTOR_2"), "1");
}

TEST_F(DefTipTest, KindsSwitchTheirControlsAndASeparatorKeepsNothing) {
  ui.Menu("Agregar Tipo");
  ED_TIP* e = Editor();
  ui.Click(e, id::kKind2);
  EXPECT_TRUE(e->ControlEnabled(id::kPorcentaje));
  EXPECT_TRUE(e->ControlEnabled(id::kMontoTotal));
  EXPECT_FALSE(e->ControlEnabled(id::kDivDias));
  EXPECT_FALSE(e->ControlEnabled(id::kValor));
  ui.Type(e, id::kPorcentaje, "9.67");
  ui.Click(e, id::kMontoTotal);
  ui.Click(e, id::kKind3);
  EXPECT_TRUE(e->ControlEnabled(id::kMontoCompuesto));
  EXPECT_TRUE(e->ControlEnabled(id::kDetalle));
  EXPECT_FALSE(e->ControlEnabled(id::kPorcentaje));
  ui.Click(e, id::kKind4);
  for (int c : {id::kValor, id::kPorcentaje, id::kMontoCompuesto, id::kFactor, id::kImpValor,
                id::kRImpT, id::kValXDef})
    EXPECT_FALSE(e->ControlEnabled(c)) << c;
  ui.Type(e, id::kCodigo, "41");
  ui.Press(e, 1);
  EXPECT_EQ(Field("41", "TIPO"), "4");
  EXPECT_EQ(Field("41", "DUPLICA"), "1");
  EXPECT_EQ(Field("41", "VALOR"), "0");
  EXPECT_EQ(Field("41", "TIPO_MONTO"), "0");  // only percentages keep it
  EXPECT_EQ(Field("41", "IMP_VALOR"), "0");
}

TEST_F(DefTipTest, BracketRowsAreWrittenBackFromTheDetailWindow) {
  SelectCode("30");
  ui.Menu("Modificar Tipo");
  ED_TIP* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(id::kMoneda), "COLONES");
  ui.Press(e, id::kDetalle);
  ED_TIP2* d = Detail();
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(e->window_enabled());
  EXPECT_FALSE(ui.Press(e, 1));  // the column-type window waits for the detail
  qz::WBLISTBOX* g = d->oB();
  ASSERT_EQ(g->RowCount(), 4);  // three brackets and the blank row
  EXPECT_NE(g->Cell(1, 0).find("1,000.00"), std::string::npos);
  EXPECT_EQ(d->Check(ED_TIP2::kCostaRica), 1);
  // Remove the second bracket, fill the blank row, insert an all-zero row
  // before the first: it is not stored.
  g->Select(1);
  ui.Press(d, ED_TIP2::kBorrar);
  ASSERT_EQ(g->RowCount(), 3);
  EXPECT_TRUE(g->EditCell(2, 0, "9999"));
  EXPECT_TRUE(g->EditCell(2, 1, "20000"));
  EXPECT_TRUE(g->EditCell(2, 2, "25"));
  EXPECT_EQ(g->RowCount(), 4);  // a new blank row under it
  g->Select(0);
  ui.Press(d, ED_TIP2::kInsertar);
  EXPECT_EQ(g->RowCount(), 5);
  EXPECT_EQ(g->current(), 0);
  EXPECT_FALSE(g->EditCell(1, 0, "1,2"));  // no number: refused, told
  EXPECT_EQ(ui.TakeBoxTexts().size(), 1u);
  ui.Click(d, ED_TIP2::kNicaragua);
  EXPECT_TRUE(d->ControlEnabled(ED_TIP2::kDiaPago));
  EXPECT_FALSE(d->ControlEnabled(ED_TIP2::kColumnaBase));
  d->UserChoose(ED_TIP2::kDiaPago, "VIERNES");
  ui.Type(d, ED_TIP2::kRestaComp, "7");
  ui.Press(d, 1);
  EXPECT_EQ(Detail(), nullptr);
  EXPECT_TRUE(e->window_enabled());
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  // Row 2 is gone and the new bracket took the smallest free number, 2.
  EXPECT_EQ(Rows("DET_TIP"), (std::vector<std::string>{"C30#1:0-1000@0", "C30#2:9999-20000@25",
                                                       "C30#3:2000-9999@15", "P30#1:0-500@5"}));
  EXPECT_EQ(Field("30", "TIPO_TABLA"), "2");
  EXPECT_EQ(Field("30", "DIA_TABLA"), "6");
  EXPECT_EQ(Field("30", "RESTA_COMP"), "7");
}

TEST_F(DefTipTest, CancelledDetailAndEditorWriteNoBracket) {
  SelectCode("30");
  ui.Menu("Modificar Tipo");
  ED_TIP* e = Editor();
  // What was done in a cancelled detail window is undone.
  ui.Press(e, id::kDetalle);
  qz::WBLISTBOX* g = Detail()->oB();
  g->Select(0);
  ui.Press(Detail(), ED_TIP2::kBorrar);
  EXPECT_TRUE(g->EditCell(0, 2, "99"));
  EXPECT_TRUE(g->EditCell(2, 0, "5"));
  ui.Press(Detail(), 2);
  ui.Press(e, id::kDetalle);
  g = Detail()->oB();
  ASSERT_EQ(g->RowCount(), 4);
  EXPECT_NE(g->Cell(0, 1).find("1,000.00"), std::string::npos);
  EXPECT_NE(g->Cell(1, 2).find("10.00"), std::string::npos);
  ui.Press(Detail(), 2);
  ui.Click(e, id::kKind1);  // another kind empties the brackets ...
  ui.Click(e, id::kKind3);
  ui.Press(e, id::kDetalle);
  EXPECT_EQ(Detail()->oB()->RowCount(), 1);
  ui.Press(Detail(), 2);
  ui.Press(e, 2);  // ... but only a saved window writes that
  EXPECT_EQ(Rows("DET_TIP").size(), 4u);
  EXPECT_EQ(Field("30", "TIPO_TABLA"), "1");
}

TEST_F(DefTipTest, CodeChangeIsCarriedEverywhereInTheBusiness) {
  SelectCode("30");
  ui.Menu("Modificar Tipo");
  ED_TIP* e = Editor();
  ui.Type(e, id::kCodigo, "31");
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  EXPECT_EQ(Rows("DET_PERS"),
            (std::vector<std::string>{"CE1/31", "CE2/31", "PE3/30", "CE1/01"}));
  EXPECT_EQ(Rows("DET_DEPT"), std::vector<std::string>{"CD1/31"});
  EXPECT_EQ(Rows("DET_REPP"), std::vector<std::string>{"CR1/31"});
  EXPECT_EQ(Rows("DET_PER3"), std::vector<std::string>{"CE1/31"});
  EXPECT_EQ(Rows("DET_TIP"), (std::vector<std::string>{"C31#1:0-1000@0", "C31#2:1000-2000@10",
                                                       "C31#3:2000-9999@15", "P30#1:0-500@5"}));
  EXPECT_EQ(Field("30", "DESCRIP", "HOTEL PLAYA"), "RENTA PLAYA");
}

TEST_F(DefTipTest, RecalculationIsAskedOnlyWhenTheFactorsDependOnTheSave) {
  // Modifying the dependent column without touching its multiplier: no question.
  SelectCode("02");
  ui.Menu("Modificar Tipo");
  EXPECT_EQ(Editor()->Text(id::kValor3), "1.50000");
  ui.Type(Editor(), id::kDescrip, "HORAS EXTRA 1.5");
  ui.Press(Editor(), 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  // A new dependent column always asks; Cancel keeps the type saved.
  ui.Menu("Agregar Tipo");
  ui.Type(Editor(), id::kCodigo, "03");
  ui.Click(Editor(), id::kValDepend);
  ui.Type(Editor(), id::kValor3, "2");
  ui.AnswerNext(2);
  ui.Press(Editor(), 1);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].text, ED_TIP::kRecalcQuestion);
  EXPECT_EQ(ui.boxes()[0].title, "Advertencia");
  EXPECT_EQ(ui.boxes()[0].style, 49);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Field("03", "VALOR_3"), "2");
  EXPECT_TRUE(ui.wait_texts().empty());  // nothing recalculated
  // Switching the base salary off asks too.
  ui.TakeBoxTexts();
  SelectCode("01");
  ui.Menu("Modificar Tipo");
  ui.Click(Editor(), id::kValBase);
  ui.AnswerNext(2);
  ui.Press(Editor(), 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{ED_TIP::kRecalcQuestion});
  EXPECT_EQ(Field("01", "VAL_BASE"), "0");
}

TEST_F(DefTipTest, DeleteAsksTwiceMoreAndTakesEverythingWithIt) {
  SelectCode("30");
  ui.AnswerNext(1);
  ui.AnswerNext(1);
  ui.AnswerNext(2);  // not with the departments
  ui.Menu("Borrar Tipo");
  ASSERT_EQ(ui.boxes().size(), 3u);
  EXPECT_EQ(ui.boxes()[0].text, "Desea borrar el tipo?");
  EXPECT_EQ(ui.boxes()[1].text, qz::DEF_TIP::kHasEmployees);
  EXPECT_EQ(ui.boxes()[1].style, 17);
  EXPECT_EQ(ui.boxes()[2].text, qz::DEF_TIP::kHasDepartments);
  EXPECT_EQ(Field("30", "DESCRIP"), "RENTA");
  EXPECT_EQ(Rows("DET_PERS").size(), 4u);
  ui.TakeBoxTexts();
  ui.Menu("Borrar Tipo");  // all OK
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  EXPECT_EQ(Field("30", "DESCRIP"), "<none>");
  EXPECT_EQ(Rows("DET_PERS"), (std::vector<std::string>{"PE3/30", "CE1/01"}));
  EXPECT_TRUE(Rows("DET_DEPT").empty());
  EXPECT_TRUE(Rows("DET_REPP").empty());
  EXPECT_TRUE(Rows("DET_PER3").empty());
  EXPECT_EQ(Rows("DET_TIP"), std::vector<std::string>{"P30#1:0-500@5"});
  EXPECT_EQ(grid->RowCount(), 2);
  // A type nothing uses asks only the first question.
  ui.TakeBoxTexts();
  SelectCode("02");
  ui.Menu("Borrar Tipo");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Desea borrar el tipo?"});
}

TEST_F(DefTipTest, BehindTheEditorTheCatalogAndItsMenuDoNothing) {
  SelectCode("30");
  ui.Menu("Modificar Tipo");
  ED_TIP* e = Editor();
  ASSERT_NE(e, nullptr);
  for (const char* caption : {"Agregar Tipo", "Modificar Tipo", "Borrar Tipo"})
    EXPECT_FALSE(ui.Menu(caption)) << caption;
  screen->DoOperation("DEL_DEF_TIP");
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(desktop.windows().size(), 2u);
  // Closing the catalog's window meanwhile is refused too; closing
  // everything (the program ending) closes the detail window first.
  ui.Press(e, id::kDetalle);
  EXPECT_FALSE(ui.Press(screen, 1));
  desktop.CloseAll();
  EXPECT_TRUE(desktop.windows().empty());
}

TEST_F(DefTipTest, AReadOnlyUserCannotAddModifyOrDelete) {
  desktop.SetRightsCheck([](int right) { return right >= 2419 && right <= 2421; });
  desktop.Activate(screen);
  for (const char* caption : {"Agregar Tipo", "Modificar Tipo", "Borrar Tipo"})
    EXPECT_FALSE(ui.Menu(caption)) << caption;
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Rows("DET_TIP").size(), 4u);
}

}  // namespace
