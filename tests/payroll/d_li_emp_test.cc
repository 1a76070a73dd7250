// Employee-list formats: the 55 fields in their fixed order, the blank code
// and description messages, the 55 item rows written on add, a missing item
// created on modify, items following a changed code and going with a deleted
// format.
#include "payroll/d_li_emp.h"

#include <gtest/gtest.h>

#include "format_session.h"
#include "payroll/m_li_emp.h"

namespace {

using qz::M_LI_EMP;
using qztest::C;
using qztest::N;

class DLiEmpTest : public qztest::FormatSession {
 protected:
  void SetUp() override {
    Create("ENC_EMP", {{{"NEGOCIO", C(hc)},
                        {"CODIGO", C("01")},
                        {"DESCRIP", C("Planilla completa")},
                        {"PAGINA", N(1)},
                        {"LETRA", N(3)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("02")}, {"DESCRIP", C("Teléfonos")}}});
    // Format 01 has two items only (another program wrote it); 02 none.
    Create("DET_EMP", {{{"NEGOCIO", C(hc)},
                        {"CODIGO", C("01")},
                        {"ITEM", N(2)},
                        {"TITULO", C("Nombre del empleado")},
                        {"CHECK", N(1)},
                        {"POSICION", N(7)},
                        {"LONGITUD", N(35)},
                        {"CAMPO", C("NOMBRE")}},
                       {{"NEGOCIO", C(hc)},
                        {"CODIGO", C("01")},
                        {"ITEM", N(55)},
                        {"TITULO", C("Inn")},
                        {"CAMPO", C("INNCODE")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("01")}, {"ITEM", N(1)}, {"CAMPO", C("CODIGO")}}});
    screen = OpenFromMenu<qz::D_LI_EMP>("D_LI_EMP", "D_LI_EMP");
    ASSERT_NE(screen, nullptr);
  }
  M_LI_EMP* Editor() { return Window<M_LI_EMP>("M_LI_EMP"); }
  std::vector<std::string> Items(const std::string& code, const std::string& business = "") {
    std::vector<std::string> out;
    for (const auto& r : Rows("DET_EMP", {"CODIGO", "ITEM", "CAMPO", "TITULO", "CHECK", "POSICION", "LONGITUD"},
                              business.empty() ? hc : business))
      if (r.rfind(code + "|", 0) == 0) out.push_back(r);
    return out;
  }

  qz::D_LI_EMP* screen = nullptr;
};

TEST_F(DLiEmpTest, TheFieldsAreTheFiftyFiveInTheirOrder) {
  const auto& f = qz::EmployeeListFields();
  ASSERT_EQ(f.size(), 55u);
  EXPECT_EQ(f[0], "CODIGO");
  EXPECT_EQ(f[9], "CEDULA");
  EXPECT_EQ(f[32], "PUESTO");
  EXPECT_EQ(f[40], "TOT_HORAS1");
  EXPECT_EQ(f[54], "INNCODE");
}

TEST_F(DLiEmpTest, AddRefusesBlanksAndWritesFiftyFiveItems) {
  ASSERT_TRUE(ui.Menu("Agregar"));
  M_LI_EMP* e = Editor();
  ASSERT_NE(e, nullptr);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"El código no puede definirse en blanco"});
  ui.Type(e, M_LI_EMP::kCodigo, "03");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"La descripción no puede definirse en blanco"});
  ui.Type(e, M_LI_EMP::kDescrip, "Contactos");
  ui.Type(e, M_LI_EMP::kCodigo, "02");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"El código ya fue registrado"});
  EXPECT_TRUE(Items("02").empty());  // nothing written by the refused save

  ui.Type(e, M_LI_EMP::kCodigo, "03");
  ui.Click(e, M_LI_EMP::kHorizontal);
  ui.Click(e, M_LI_EMP::kLetra2);
  ui.Type(e, M_LI_EMP::kTitulo + 24, "Tel. contacto");
  ui.Click(e, M_LI_EMP::kCheck + 24);
  ui.Type(e, M_LI_EMP::kLongitud + 24, "12");
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);
  EXPECT_EQ(Rows("ENC_EMP", {"CODIGO", "DESCRIP", "PAGINA", "LETRA"}, hc).back(),
            "03|Contactos|1|2");
  std::vector<std::string> items = Items("03");
  ASSERT_EQ(items.size(), 55u);
  EXPECT_EQ(items[0], "03|1|CODIGO|CODIGO|0|1|10");
  EXPECT_EQ(items[23], "03|24|TEL_CONTA1|Tel. contacto|1|24|12");
  EXPECT_EQ(items[54], "03|55|INNCODE|INNCODE|0|55|10");
}

TEST_F(DLiEmpTest, ModifyKeepsStoredItemsAndCreatesTheMissingOnes) {
  screen->oB()->Select(0);  // 01
  ui.Menu("Modificar");
  M_LI_EMP* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Check(M_LI_EMP::kHorizontal), 1);
  EXPECT_EQ(e->Check(M_LI_EMP::kLetra3), 1);
  EXPECT_EQ(e->Text(M_LI_EMP::kTitulo + 2), "Nombre del empleado");
  EXPECT_EQ(e->Check(M_LI_EMP::kCheck + 2), 1);
  EXPECT_EQ(e->Text(M_LI_EMP::kLongitud + 2), "35");
  EXPECT_EQ(e->Text(M_LI_EMP::kTitulo + 3), "APELLIDO_1");  // missing: the defaults
  ui.Type(e, M_LI_EMP::kPosicion + 55, "99");
  ui.Press(e, 1);
  std::vector<std::string> items = Items("01");
  ASSERT_EQ(items.size(), 55u);  // the two stored rows rewritten, 53 created
  EXPECT_EQ(items[0], "01|2|NOMBRE|Nombre del empleado|1|7|35");
  EXPECT_EQ(items[1], "01|55|INNCODE|Inn|0|99|0");
  EXPECT_EQ(items[2], "01|1|CODIGO|CODIGO|0|1|10");
  EXPECT_EQ(Items("01", hp).size(), 1u);  // the other business's format untouched
}

TEST_F(DLiEmpTest, ACodeChangeCarriesTheItemsAndDeleteRemovesThem) {
  screen->oB()->Select(0);
  ui.Menu("Modificar");
  M_LI_EMP* e = Editor();
  ui.Type(e, M_LI_EMP::kCodigo, "09");
  ui.Press(e, 1);
  EXPECT_TRUE(Items("01").empty());
  EXPECT_EQ(Items("09").size(), 55u);
  EXPECT_EQ(Items("09")[0], "09|2|NOMBRE|Nombre del empleado|1|7|35");

  // "09" sorts last in the list.
  screen->oB()->Select(1);
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Esta seguro que desea eliminar el Item?");
  EXPECT_EQ(Items("09").size(), 55u);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_TRUE(Items("09").empty());
  EXPECT_EQ(Rows("ENC_EMP", {"CODIGO"}, hc), std::vector<std::string>{"02"});
  EXPECT_EQ(Items("01", hp).size(), 1u);
}

}  // namespace
