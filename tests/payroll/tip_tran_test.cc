// Transfer types and their edit window E_TRANSF: the required currency and
// electronic file, every field stored and loaded back, the code carried
// into the employees.
#include "payroll/tip_tran.h"

#include <gtest/gtest.h>

#include "payroll/e_transf.h"
#include "support/ui_session.h"

namespace {

using qz::E_TRANSF;
using qztest::C;
using qztest::N;

const std::string kHc = qztest::Biz("HOTEL CENTRAL");
const std::string kHp = qztest::Biz("HOTEL PLAYA");

class TipTranTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("TIP_TRAN", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"DESCRIP", C("BANCO NACIONAL")},
                         {"MONEDA", C("CR")}, {"TIP_ARCH", N(1)}, {"ORDEN", N(2)},
                         {"F_VERSION", N(4)}, {"XCHAR", N(1)}, {"ENCABEZADO", C("Hola")},
                         {"COD_PATRON", C("3-101-123")}, {"BANCO_CHE", C("02")}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("02")}, {"DESCRIP", C("BCR")},
                         {"MONEDA", C("CR")}, {"TIP_ARCH", N(2)}}});
    Create("MONEDAS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("CR")}, {"DESCRIP", C("COLONES")}},
                       {{"NEGOCIO", C(kHc)}, {"CODIGO", C("US")}, {"DESCRIP", C("DOLARES")}},
                       {{"NEGOCIO", C(kHp)}, {"CODIGO", C("EU")}, {"DESCRIP", C("EUROS")}}});
    Create("BANCOS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"DESCRIP", C("NACIONAL")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("02")}, {"DESCRIP", C("COSTA RICA")}}});
    Create("SERIALES", {{{"NEGOCIO", C(kHc)}, {"MODULO", C("06")}, {"CODIGO", C("CHEQUES")},
                         {"DESCRIP", C("CHEQUES DE PLANILLA")}}});
    Create("ENC_PERS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"TIP_TRANSF", C("01")}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E2")}, {"TIP_TRANSF", C("02")}},
                        {{"NEGOCIO", C(kHp)}, {"CODIGO", C("E3")}, {"TIP_TRANSF", C("01")}}});
    screen = qz::OpenScreen<qz::TIP_TRAN>(desktop, "TIP_TRAN", kHc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }

  E_TRANSF* Editor() { return dynamic_cast<E_TRANSF*>(desktop.FindWindow("E_TIP_TRA")); }
  std::string Field(const std::string& code, const std::string& field) {
    auto t = xb::Table::Open(file("TIP_TRAN.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if (qz::FieldText(**t, "CODIGO") != code) continue;
      auto v = (*t)->Get(field);
      if (v->is_numeric()) return std::to_string(static_cast<int>(v->number()));
      return qz::FieldText(**t, field);
    }
    return "<none>";
  }

  qz::TIP_TRAN* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(TipTranTest, CurrencyAndFileTypeAreRequiredThenEveryFieldIsStored) {
  ASSERT_TRUE(ui.Menu("Agregar"));
  E_TRANSF* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  EXPECT_EQ(e->Control(E_TRANSF::kMoneda)->entries.size(), 2u);  // the business's currencies
  ui.Type(e, E_TRANSF::kCodigo, "03");
  ui.Type(e, E_TRANSF::kDescrip, "BAC");
  ui.Press(e, 1);
  e->UserChoose(E_TRANSF::kMoneda, "DOLARES");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{"Falta definir la moneda",
                                                         "Falta definir el archivo electrónico"}));
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Field("03", "DESCRIP"), "<none>");

  e->UserChoose(E_TRANSF::kArchivo, "BAC Credomatic");
  e->UserChoose(E_TRANSF::kVersion, "B.Pop. 2005");
  ui.Click(e, E_TRANSF::kOrdenNombre);
  ui.Click(e, E_TRANSF::kCero);
  ui.Click(e, E_TRANSF::kCheque);
  ui.Click(e, E_TRANSF::kCtaAhorros);
  e->UserChoose(E_TRANSF::kSerial, "CHEQUES DE PLANILLA");
  e->UserChoose(E_TRANSF::kBancoCheque, "COSTA RICA");
  ui.Type(e, 510, "3-101-999");
  ui.Type(e, 512, "200-02-555");
  ui.Type(e, 513, "4");
  ui.Type(e, 518, "CC-ADM");
  ui.Type(e, 525, "Encabezado\r\nsegunda linea");
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(Field("03", "MONEDA"), "US");
  EXPECT_EQ(Field("03", "TIP_ARCH"), "3");
  EXPECT_EQ(Field("03", "F_VERSION"), "3");
  EXPECT_EQ(Field("03", "ORDEN"), "2");
  EXPECT_EQ(Field("03", "XCHAR"), "1");
  EXPECT_EQ(Field("03", "CHEQUE"), "1");
  EXPECT_EQ(Field("03", "CTA_X_EMP"), "0");
  EXPECT_EQ(Field("03", "TIPO_CTA"), "1");
  EXPECT_EQ(Field("03", "SERIAL"), "CHEQUES");
  EXPECT_EQ(Field("03", "BANCO_CHE"), "02");
  EXPECT_EQ(Field("03", "COD_PATRON"), "3-101-999");
  EXPECT_EQ(Field("03", "DIGITO"), "4");
  EXPECT_EQ(Field("03", "CENT_COSTO"), "CC-ADM");
  EXPECT_EQ(Field("03", "ENCABEZADO"), "Encabezado\r\nsegunda linea");
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "03");
}

TEST_F(TipTranTest, ModifyLoadsTheRowAndRenameReachesTheEmployees) {
  grid->Select(0);
  ui.Menu("Modificar");
  E_TRANSF* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(E_TRANSF::kMoneda), "COLONES");
  EXPECT_EQ(e->Text(E_TRANSF::kArchivo), "Banco Nacional de Costa Rica");
  EXPECT_EQ(e->Text(E_TRANSF::kVersion), "BCR(Y2K)");
  EXPECT_EQ(e->Check(E_TRANSF::kOrdenNombre), 1);
  EXPECT_EQ(e->Check(E_TRANSF::kCero), 1);
  EXPECT_EQ(e->Text(E_TRANSF::kBancoCheque), "COSTA RICA");
  EXPECT_EQ(e->Text(525), "Hola");
  ui.Type(e, E_TRANSF::kCodigo, "09");
  ui.Press(e, 1);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  // Untouched fields come back as they were.
  EXPECT_EQ(Field("09", "F_VERSION"), "4");
  EXPECT_EQ(Field("09", "ENCABEZADO"), "Hola");
  EXPECT_EQ(Field("09", "COD_PATRON"), "3-101-123");
  auto t = xb::Table::Open(file("ENC_PERS.DBF"));
  std::vector<std::string> types;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
    types.push_back(qz::FieldText(**t, "TIP_TRANSF"));
  EXPECT_EQ(types, (std::vector<std::string>{"09", "02", "01"}));
}

TEST_F(TipTranTest, DuplicateCodeKeepsTheWindowOpenAndDeleteAsks) {
  grid->Select(1);
  ui.Menu("Modificar");
  E_TRANSF* e = Editor();
  ui.Type(e, E_TRANSF::kCodigo, "01");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de tipo ya definido..."});
  EXPECT_EQ(Editor(), e);
  ui.Press(e, 2);
  EXPECT_TRUE(screen->window_enabled());
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el tipo?");
  EXPECT_EQ(grid->RowCount(), 1);
}

}  // namespace
