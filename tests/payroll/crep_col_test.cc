// Report formats: the available fields (column types but separators, the
// five totals, provisions marked for reports), the list moves, and the
// DET_REPP rows written in list order — kept, rewritten, deleted.
#include "payroll/enc_repp.h"

#include <gtest/gtest.h>

#include "format_session.h"
#include "payroll/crep_col.h"

namespace {

using qz::CREP_COL;
using qztest::C;
using qztest::N;

class CrepColTest : public qztest::FormatSession {
 protected:
  void SetUp() override {
    Create("ENC_TIP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("Salario")}, {"TIPO", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("02")}, {"DESCRIP", C("Extras")}, {"TIPO", N(2)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("09")}, {"DESCRIP", C("-----")}, {"TIPO", N(4)}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("05")}, {"DESCRIP", C("Playa")}, {"TIPO", N(1)}}});
    Create("T_PROV", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("Aguinaldo")}, {"IMP_REP", N(1)}},
                      {{"NEGOCIO", C(hc)}, {"CODIGO", C("02")}, {"DESCRIP", C("Oculta")}, {"IMP_REP", N(0)}}});
    Create("ENC_REPP", {{{"NEGOCIO", C(hc)},
                         {"CODIGO", C("R1")},
                         {"DESCRIP", C("PLANILLA")},
                         {"MAX_COL", N(132)},
                         {"TIP_LETRA", N(2)},
                         {"IMP_CED", N(1)},
                         {"EVAL_VAC", N(0)}}});
    // Format R1 prints the total _1, column 01 and provision 01 (same code
    // as the column), in that order.
    Create("DET_REPP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("R1")}, {"COD_COLUMN", C("_1")}, {"ORDEN", N(1)},
                         {"TIPO", C("CT")}, {"T_PICTURE", C("99,999.99")}, {"T_ROTULO", C("Total")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("R1")}, {"COD_COLUMN", C("01")}, {"ORDEN", N(2)},
                         {"TIPO", C("CN")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("R1")}, {"COD_COLUMN", C("01")}, {"ORDEN", N(3)},
                         {"TIPO", C("CP")}}});
    screen = OpenFromMenu<qz::ENC_REPP>("ENC_REPP", "DEF_REPC");
    ASSERT_NE(screen, nullptr);
  }
  CREP_COL* Editor() { return Window<CREP_COL>("CREP_COL"); }
  std::vector<std::string> Fields(const std::string& code) {
    std::vector<std::string> out;
    for (const auto& r : Rows("DET_REPP", {"CODIGO", "ORDEN", "TIPO", "COD_COLUMN", "T_PICTURE", "T_ROTULO"}, hc))
      if (r.rfind(code + "|", 0) == 0) out.push_back(r);
    std::sort(out.begin(), out.end());
    return out;
  }

  qz::ENC_REPP* screen = nullptr;
};

TEST_F(CrepColTest, AvailableFieldsAndTheListMoves) {
  EXPECT_EQ(EditCaptions(),
            (std::vector<std::string>{"Agregar formato de reporte", "Modificar formato de reporte",
                                      "Borrar formato de reporte"}));
  ASSERT_TRUE(ui.Menu("Agregar formato de reporte"));
  CREP_COL* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(Texts(e, CREP_COL::kDisponibles),
            (std::vector<std::string>{"Salario", "Extras", "* Salario Total", "* Total Deducciones",
                                      "* Total de Rebajos", "* T. Ingresos N.Dedu", "* T. Ingresos ",
                                      "+ Aguinaldo"}));
  e->UserSelect(CREP_COL::kDisponibles, "Extras", true);
  e->UserSelect(CREP_COL::kDisponibles, "+ Aguinaldo", true);
  ui.Press(e, CREP_COL::kAgregar);  // "-->"
  e->UserSelect(CREP_COL::kDisponibles, "Salario", true);
  ui.Press(e, CREP_COL::kAgregar);
  EXPECT_EQ(e->ReportKeys(), (std::vector<std::string>{"02", "+01", "01"}));
  EXPECT_EQ(Texts(e, CREP_COL::kDisponibles).size(), 5u);

  // "Salario" is still selected: Up twice takes it to the top, a third time
  // does nothing.
  for (int i = 0; i < 3; ++i) ui.Press(e, CREP_COL::kSubir);
  EXPECT_EQ(e->ReportKeys(), (std::vector<std::string>{"01", "02", "+01"}));
  e->UserSelect(CREP_COL::kReporte, "Salario", false);
  e->UserSelect(CREP_COL::kReporte, "Extras", true);
  ui.Press(e, CREP_COL::kBajar);
  ui.Press(e, CREP_COL::kBajar);
  EXPECT_EQ(e->ReportKeys(), (std::vector<std::string>{"01", "+01", "02"}));

  // "<--" gives "Extras" back in its catalog place.
  ui.Press(e, CREP_COL::kQuitar);
  EXPECT_EQ(e->ReportKeys(), (std::vector<std::string>{"01", "+01"}));
  EXPECT_EQ(Texts(e, CREP_COL::kDisponibles)[0], "Extras");
  EXPECT_TRUE(e->Control(CREP_COL::kDisponibles)->entries[0].selected);

  ui.Type(e, CREP_COL::kCodigo, "r2");
  ui.Type(e, CREP_COL::kDescrip, "resumen");
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  EXPECT_EQ(Fields("R2"), (std::vector<std::string>{"R2|1|CN|01||", "R2|2|CP|01||"}));
  EXPECT_EQ(Rows("ENC_REPP", {"CODIGO", "DESCRIP", "TIP_LETRA", "EVAL_VAC"}, hc).back(),
            "R2|resumen|1|1");
}

TEST_F(CrepColTest, ModifyRewritesKeptFieldsAndDeletesTheOnesThatLeft) {
  screen->oB()->Select(0);
  ASSERT_TRUE(ui.Menu("Modificar formato de reporte"));
  CREP_COL* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->ReportKeys(), (std::vector<std::string>{"_1", "01", "+01"}));
  EXPECT_EQ(Texts(e, CREP_COL::kReporte),
            (std::vector<std::string>{"* Salario Total", "Salario", "+ Aguinaldo"}));
  EXPECT_EQ(e->Text(CREP_COL::kTotalPicture + 1), "99,999.99");
  EXPECT_EQ(e->Text(CREP_COL::kMaxCol), "132");
  EXPECT_EQ(e->Check(CREP_COL::kLetraMuyPequena), 1);
  EXPECT_EQ(e->Check(CREP_COL::kValor), 1);
  EXPECT_EQ(e->Check(CREP_COL::kFirstImp + 1), 1);  // IMP_CED

  // The column leaves; the provision with the same code stays and moves up.
  e->UserSelect(CREP_COL::kReporte, "Salario", true);
  ui.Press(e, CREP_COL::kQuitar);
  // What came back stays selected; "-->" would take it again.
  e->UserSelect(CREP_COL::kDisponibles, "Salario", false);
  e->UserSelect(CREP_COL::kDisponibles, "* Total Deducciones", true);
  ui.Press(e, CREP_COL::kAgregar);
  ui.Type(e, CREP_COL::kTotalRotulo + 2, "Deducido");
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  EXPECT_EQ(Fields("R1"), (std::vector<std::string>{"R1|1|CT|_1|99,999.99|Total", "R1|2|CP|01||",
                                                     "R1|3|CT|_2|999,999,999.99|Deducido"}));
}

TEST_F(CrepColTest, ACodeChangeCarriesTheFieldsAndDeleteRemovesThem) {
  screen->oB()->Select(0);
  ui.Menu("Modificar formato de reporte");
  CREP_COL* e = Editor();
  ui.Type(e, CREP_COL::kCodigo, "R9");
  ui.Press(e, 1);
  EXPECT_TRUE(Fields("R1").empty());
  EXPECT_EQ(Fields("R9").size(), 3u);
  ui.AnswerNext(1);
  ui.Menu("Borrar formato de reporte");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el formato de reporte");
  EXPECT_TRUE(Fields("R9").empty());
  EXPECT_TRUE(Rows("ENC_REPP", {"CODIGO"}).empty());
}

TEST_F(CrepColTest, DuplicateCodeKeepsTheEditorOpen) {
  ui.Menu("Agregar formato de reporte");
  CREP_COL* e = Editor();
  ui.Type(e, CREP_COL::kCodigo, "r1");
  ui.Type(e, CREP_COL::kMaxCol, "8O");
  EXPECT_TRUE(e->last_input_refused());
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de formato ya definido..."});
  EXPECT_EQ(Editor(), e);
  EXPECT_EQ(Fields("R1").size(), 3u);
  ui.Press(e, 2);
  EXPECT_TRUE(screen->window_enabled());
}

}  // namespace
