// The position catalog and its edit window E_PUESTO: the budget labels from
// F_PLAN7, room classes, weekdays, evaluation profile, code changes carried
// into the employees, and what happens with bad input and locked rows.
#include "payroll/puestos.h"

#include <gtest/gtest.h>

#include "payroll/e_puesto.h"
#include "payroll/ocupa.h"
#include "support/ui_session.h"

namespace {

using qz::E_PUESTO;
using qztest::Biz;
using qztest::C;
using qztest::N;

class PuestosTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    const std::string hc = Biz("HOTEL CENTRAL"), hp = Biz("HOTEL PLAYA");
    Create("PUESTOS",
           {{{"NEGOCIO", C(hc)},
             {"CODIGO", C("CAM")},
             {"DESCRIP", C("CAMARERA")},
             {"HORAS_DIA", N(8)},
             {"PERFIL_EVA", C("P2")},
             {"PRES_EMP2", N(1234)},
             {"PRES_EXT2", N(5)},
             {"TIPO_PRES", N(1)},
             {"CLAS_ROM", C("[SUI ]")},
             {"SEMANA", C(" 2 3   ")}},
            {{"NEGOCIO", C(hc)}, {"CODIGO", C("REC")}, {"DESCRIP", C("RECEPCIONISTA")}},
            {{"NEGOCIO", C(hp)}, {"CODIGO", C("CAM")}, {"DESCRIP", C("CAMARERA PLAYA")}}});
    Create("F_PLAN7", {{{"NEGOCIO", C(hc)},
                        {"RANG_HOR1", N(10)},
                        {"RANG_HOR2", N(50)},
                        {"RANG_HOR3", N(100)},
                        {"RANG_PAX1", N(20)},
                        {"RANG_PAX2", N(40)}}});
    Create("CLAS_ROM", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("DBL")}, {"DESCRIP", C("DOBLE")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("SUI")}, {"DESCRIP", C("SUITE")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("CAB")}, {"DESCRIP", C("CABAÑA")}}});
    Create("PERF_EVA", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("P1")}, {"DESCRIP", C("OPERATIVO")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("P2")}, {"DESCRIP", C("GERENCIAL")}}});
    Create("ENC_PERS", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("E1")}, {"PUESTO", C("CAM")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("E2")}, {"PUESTO", C("CAM")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("E3")}, {"PUESTO", C("REC")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("E4")}, {"PUESTO", C("CAM")}}});
    screen = qz::OpenScreen<qz::PUESTOS>(desktop, "PUESTOS", hc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }

  E_PUESTO* Editor() { return dynamic_cast<E_PUESTO*>(desktop.FindWindow("MODIPUESTO")); }

  // Field values of the business's row with `code`, read from the file.
  std::string Field(const std::string& code, const std::string& field,
                    const std::string& business = "HOTEL CENTRAL") {
    auto t = xb::Table::Open(file("PUESTOS.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if (qz::FieldText(**t, "NEGOCIO") != business || qz::FieldText(**t, "CODIGO") != code)
        continue;
      auto v = (*t)->Get(field);
      if (v->is_numeric()) return std::to_string(static_cast<long long>(v->number()));
      return qz::TrimRight(v->str());
    }
    return "<none>";
  }
  std::vector<std::string> EmployeePositions() {
    auto t = xb::Table::Open(file("ENC_PERS.DBF"));
    std::vector<std::string> out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      out.push_back(qz::FieldText(**t, "CODIGO") + "=" + qz::FieldText(**t, "PUESTO"));
    return out;
  }

  qz::PUESTOS* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(PuestosTest, AddWritesTheWholeFormAndDisablesTheListMeanwhile) {
  ASSERT_TRUE(ui.Menu("Agregar"));
  E_PUESTO* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  EXPECT_FALSE(ui.Press(screen, 1));  // the disabled list cannot be closed meanwhile

  // Occupancy basis by default; rows labelled from the business's ranges.
  EXPECT_EQ(e->Check(E_PUESTO::kPorOcupacion), 1);
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 1), "   0 a   10");
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 2), "  11 a   50");
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 3), "  51 a  100");
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 4), "");  // upper bound 0: no label
  ui.Click(e, E_PUESTO::kPorPax);
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 2), "  21 a   40");
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 3), "");

  // Lists hold the business's rows only; "Sin perfil asignado" closes the profiles.
  const auto* classes = e->Control(E_PUESTO::kClases);
  ASSERT_EQ(classes->entries.size(), 2u);
  const auto* profiles = e->Control(E_PUESTO::kPerfil);
  ASSERT_EQ(profiles->entries.size(), 3u);
  EXPECT_EQ(profiles->entries.back().text, "Sin perfil asignado");

  ui.Type(e, E_PUESTO::kCodigo, "coc");
  ui.Type(e, E_PUESTO::kDescrip, "Cocinero");
  ui.Type(e, E_PUESTO::kHorasDia, "7.5");
  ui.Type(e, E_PUESTO::kEmpleados + 1, "1,250");
  ui.Type(e, E_PUESTO::kExtras + 20, "3");
  e->UserSelect(E_PUESTO::kClases, "DOBLE", true);
  e->UserSelect(E_PUESTO::kClases, "SUITE", true);
  ui.Click(e, E_PUESTO::kFirstDay + 1);          // Monday "2"
  ui.Click(e, E_PUESTO::kFirstDay + 3 * 6 + 2);  // Sunday "3"
  e->UserChoose(E_PUESTO::kPerfil, "OPERATIVO");
  ui.Press(e, 1);

  EXPECT_EQ(desktop.FindWindow("MODIPUESTO"), nullptr);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(Field("COC", "DESCRIP"), "Cocinero");
  EXPECT_EQ(Field("COC", "PRES_EMP1"), "1250");
  EXPECT_EQ(Field("COC", "PRES_EXT20"), "3");
  EXPECT_EQ(Field("COC", "TIPO_PRES"), "1");
  EXPECT_EQ(Field("COC", "CLAS_ROM"), "[DBL ][SUI ]");
  EXPECT_EQ(Field("COC", "SEMANA"), "2     3");
  EXPECT_EQ(Field("COC", "PERFIL_EVA"), "P1");
  EXPECT_EQ(grid->RowCount(), 3);
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "COC");
}

TEST_F(PuestosTest, ModifyLoadsTheRowAndKeepsItWithoutChanges) {
  grid->Select(0);  // CAM
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(E_PUESTO::kCodigo), "CAM");
  EXPECT_EQ(e->Text(E_PUESTO::kHorasDia), "8.00");
  EXPECT_EQ(e->Check(E_PUESTO::kPorPax), 1);
  EXPECT_EQ(e->Text(E_PUESTO::kRangeLabel + 1), "   0 a   20");
  EXPECT_EQ(e->Text(E_PUESTO::kEmpleados + 2), "1234");
  EXPECT_EQ(e->Text(E_PUESTO::kPerfil), "GERENCIAL");
  const auto* classes = e->Control(E_PUESTO::kClases);
  EXPECT_FALSE(classes->entries[0].selected);
  EXPECT_TRUE(classes->entries[1].selected);
  EXPECT_EQ(e->Check(E_PUESTO::kFirstDay + 0), 1);          // Monday blank
  EXPECT_EQ(e->Check(E_PUESTO::kFirstDay + 3 * 1 + 1), 1);  // Tuesday "2"
  EXPECT_EQ(e->Check(E_PUESTO::kFirstDay + 3 * 3 + 2), 1);  // Thursday "3"

  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_TRUE(ui.wait_texts().empty());
  EXPECT_EQ(Field("CAM", "SEMANA"), " 2 3");
  EXPECT_EQ(Field("CAM", "CLAS_ROM"), "[SUI ]");
  EXPECT_EQ(EmployeePositions(),
            (std::vector<std::string>{"E1=CAM", "E2=CAM", "E3=REC", "E4=CAM"}));
}

TEST_F(PuestosTest, CodeChangeIsCarriedIntoTheBusinessEmployees) {
  grid->Select(0);
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kCodigo, "CAMA");
  ui.Press(e, 1);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  EXPECT_FALSE(ui.wait_open());
  // The other business's employee keeps its own position CAM.
  EXPECT_EQ(EmployeePositions(),
            (std::vector<std::string>{"E1=CAMA", "E2=CAMA", "E3=REC", "E4=CAM"}));
  EXPECT_EQ(Field("CAMA", "DESCRIP"), "CAMARERA");
  EXPECT_EQ(Field("CAM", "DESCRIP", "HOTEL PLAYA"), "CAMARERA PLAYA");
}

TEST_F(PuestosTest, DuplicateOnModifyKeepsTheWindowOpenWithoutLocks) {
  grid->Select(1);  // REC -> CAM
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kCodigo, "CAM");
  ui.Type(e, E_PUESTO::kDescrip, "CAMBIADO");
  ui.Press(e, 1);
  ASSERT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de puesto ya definido..."});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Editor(), e);
  EXPECT_EQ(e->Text(E_PUESTO::kDescrip), "CAMBIADO");
  EXPECT_EQ(Field("REC", "DESCRIP"), "RECEPCIONISTA");
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
  EXPECT_EQ(EmployeePositions()[2], "E3=REC");
  ui.Press(e, 2);
  EXPECT_TRUE(screen->window_enabled());
}

TEST_F(PuestosTest, NumbersRefuseLettersAndOutOfRangeHoursWriteNothing) {
  ui.Menu("Agregar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kEmpleados + 1, "12a3");
  EXPECT_TRUE(e->last_input_refused());
  EXPECT_EQ(e->Text(E_PUESTO::kEmpleados + 1), "123");
  ui.Type(e, E_PUESTO::kCodigo, "NEW");
  ui.Type(e, E_PUESTO::kHorasDia, "150");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Las horas por día deben estar entre 0 y 99.99"});
  EXPECT_EQ(Field("NEW", "DESCRIP"), "<none>");
  ui.Type(e, E_PUESTO::kHorasDia, "8");
  ui.Press(e, 1);
  EXPECT_EQ(Field("NEW", "PRES_EMP1"), "123");
}

TEST_F(PuestosTest, LockedRowWaitsTellsTheUserAfterFiveSecondsAndSavesOnRelease) {
  auto other = xb::Table::Open(file("PUESTOS.DBF"));  // another workstation
  ASSERT_TRUE(other.ok());
  grid->Select(0);
  ASSERT_TRUE((*other)->LockRecord(grid->RecNoAt(0)).ok());
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kDescrip, "OTRA");
  int asked = 0;
  ui.WhileBoxShown([&](const std::string& text) {
    if (text.rfind("El dato se encuentra bloqueado: ", 0) == 0 && ++asked == 2)
      (*other)->UnlockAll();  // the other user lets go while the second box is up
  });
  int64_t before = clock.slept();
  ui.Press(e, 1);
  EXPECT_GE(clock.slept() - before, 5000);  // no message during the first 5 seconds
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ui.boxes().front().title, "Alerta");
  EXPECT_EQ(Field("CAM", "DESCRIP"), "OTRA");
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
}

TEST_F(PuestosTest, DeleteConfirmsWithThePositionQuestion) {
  grid->Select(1);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el puesto?");
  EXPECT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(Field("REC", "DESCRIP"), "<none>");
  EXPECT_EQ(EmployeePositions()[2], "E3=REC");  // references are not checked
}

TEST_F(PuestosTest, EachActiveScreenShowsItsOwnEditEntries) {
  ASSERT_EQ(desktop.edit_menu_id(), 2662);
  Create("T_OCUPA");
  auto* ocupa = qz::OpenScreen<qz::OCUPA>(desktop, "OCUPA", Biz("HOTEL CENTRAL"));
  ASSERT_NE(ocupa, nullptr);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "Agregar ocupación");
  desktop.Activate(screen);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "Agregar");
  ui.Press(screen, 1);  // closing it brings the occupations back to the front
  EXPECT_EQ(desktop.active(), ocupa);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "Agregar ocupación");
  ui.Press(ocupa, 1);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "No hay operaciones asociadas");
}

}  // namespace
