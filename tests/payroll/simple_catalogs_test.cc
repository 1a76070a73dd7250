// The inline-dialog catalogs as a user works them: each one opened from its
// menu entry, its messages (with their odd blanks), the drop-downs, check
// boxes and radios of the richer dialogs, and a changed code carried into
// the employees, places and provisions that use it.
#include "payroll/simple_catalog.h"

#include <gtest/gtest.h>

#include "lib/ui/catalog_edit.h"
#include "payroll/payroll_screens.h"
#include "support/ui_session.h"

namespace {

using qztest::Biz;
using qztest::C;
using qztest::N;

const std::string kHc = Biz("HOTEL CENTRAL");
const std::string kHp = Biz("HOTEL PLAYA");

class SimpleCatalogsTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    for (const auto& d : qz::SimpleCatalogs())
      Create(d.setup.table, {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("AA")}, {"DESCRIP", C("PRIMERO")}},
                             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("BB")}, {"DESCRIP", C("SEGUNDO")}},
                             {{"NEGOCIO", C(kHp)}, {"CODIGO", C("CC")}, {"DESCRIP", C("OTRO")}}});
    Create("ENC_PERS");
    Create("DET_DEP2");
    Create("SERIALES", {{{"NEGOCIO", C(kHc)}, {"MODULO", C("06")}, {"CODIGO", C("PRUEBAS")},
                         {"DESCRIP", C("PRUEBAS Y EVALUACIONES")}},
                        {{"NEGOCIO", C(kHc)}, {"MODULO", C("01")}, {"CODIGO", C("FACTURAS")},
                         {"DESCRIP", C("FACTURAS")}},
                        {{"NEGOCIO", C(kHp)}, {"MODULO", C("06")}, {"CODIGO", C("PLAYA")},
                         {"DESCRIP", C("SERIAL DE PLAYA")}}});
    qz::RegisterPayrollScreens(registry, desktop);
  }

  // Opens `screen` the way its menu entry does.
  qz::SimpleCatalog* Open(const std::string& screen) {
    const qz::ScreenOpener* open = registry.Find(screen);
    if (!open) return nullptr;
    (*open)(kHc, screen);
    return dynamic_cast<qz::SimpleCatalog*>(desktop.active());
  }
  std::vector<std::string> Codes(qz::CatalogScreen* s) {
    std::vector<std::string> out;
    for (int r = 0; r < s->oB()->RowCount(); ++r)
      out.push_back(qz::TrimRight(s->oB()->Cell(r, 0)));
    return out;
  }
  void Employees(const std::vector<qztest::Row>& rows) { Create("ENC_PERS", rows); }
  // `field` of every row of `table`, in record order, as "CODE=value".
  std::vector<std::string> Column(const std::string& table, const std::string& field) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    std::vector<std::string> out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      auto v = (*t)->Get(field);
      std::string text = v->is_numeric() ? std::to_string(v->number()).substr(0, 6)
                                         : qz::FieldText(**t, field);
      out.push_back(qz::FieldText(**t, "CODIGO") + "=" + text);
    }
    return out;
  }
  // Renames the selected row's code of the active screen through "Modificar".
  void Rename(qz::CatalogScreen* s, int row, const std::string& code,
              const std::string& dialog) {
    s->oB()->Select(row);
    ui.OnDialog(dialog, [&](qz::WDIAG& d) {
      d.UserType(500, code);
      d.UserPress(1);
    });
    ASSERT_TRUE(ui.Menu("Modificar"));
  }

  qz::MenuRegistry registry;
};

struct Expected {
  const char* screen;
  const char* dialog;
  const char* delete_caption;
  const char* duplicate_on_add;
  const char* duplicate_on_modify;
  const char* delete_question;
};

TEST_F(SimpleCatalogsTest, EachCatalogOpensFromItsMenuEntryWithItsOwnMessages) {
  const Expected all[] = {
      {"PL_PAIS", "MODI_PL_PAIS", "Borrar", "Código  ya definido...", "Código ya definido...",
       "¿Desea borrar el Item seleccionado?"},
      {"T_ETNIA", "MODI_T_ETNIA", "Borrar", "Código  ya definido...", "Código ya definido...",
       "¿Desea borrar el Item seleccionado?"},
      {"UBIC_NAC", "MODI_UBIC_NAC", "Borrar", "Código  ya definido...", "Código ya definido...",
       "¿Desea borrar el Item seleccionado?"},
      {"T_CONTRA", "MODI_T_CONTRA", "Borrar", "Código  ya definido...", "Código ya definido...",
       "¿Desea borrar el Item seleccionado?"},
      {"PL_IDIOM", "MODI_PL_IDIOM", "Borrar", "Código  ya definido...", "Código ya definido...",
       "¿Desea borrar el Item seleccionado?"},
      {"REG_NAC", "MODI_REG_NAC", "Borrar", "Código  ya definido...", "Código ya definido...",
       "¿Desea borrar el Item seleccionado?"},
      {"TIP_PRUE", "E_TIPO_PRUE", "Eliminar", "Código  ya definido...", "Código ya definido...",
       "Desea borrar el item?"},
      {"D_T_PROV", "E_PROVISION", "Borrar", "Código  ya definido...", "Código ya definido...",
       "Desea borrar el item?"},
      {"TIP_EMP", "MODITIP_EMP", "Borrar", "Código de tipo de empleado ya definido...",
       "Código de tipo de empleado ya definido...", "Desea borrar el tipo de empleado?"},
  };
  for (const auto& e : all) {
    SCOPED_TRACE(e.screen);
    qz::SimpleCatalog* s = Open(e.screen);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Codes(s), (std::vector<std::string>{"AA", "BB"}));  // the business's rows only
    ASSERT_EQ(desktop.edit_menu().size(), 3u);
    EXPECT_EQ(desktop.edit_menu()[2].caption, e.delete_caption);

    ui.OnDialog(e.dialog, [&](qz::WDIAG& d) {
      d.UserType(500, "AA");
      d.UserType(501, "REPETIDO");
      d.UserPress(1);
      EXPECT_FALSE(d.ended());
      d.UserPress(2);
    });
    ui.Menu("Agregar");
    s->oB()->Select(1);
    ui.OnDialog(e.dialog, [&](qz::WDIAG& d) {
      d.UserType(500, "AA");
      d.UserPress(1);
      d.UserPress(2);
    });
    ui.Menu("Modificar");
    EXPECT_EQ(ui.TakeBoxTexts(),
              (std::vector<std::string>{e.duplicate_on_add, e.duplicate_on_modify}));
    EXPECT_EQ(ui.boxes().back().title, "Error");

    ui.AnswerNext(2);
    ui.Menu(e.delete_caption);
    EXPECT_EQ(ui.boxes().back().text, e.delete_question);
    EXPECT_EQ(ui.boxes().back().title, "Advertencia");
    EXPECT_EQ(Codes(s), (std::vector<std::string>{"AA", "BB"}));
    ui.AnswerNext(1);
    ui.Menu(e.delete_caption);
    EXPECT_EQ(Codes(s), std::vector<std::string>{"AA"});
    ui.Press(s, 1);
    EXPECT_EQ(desktop.active(), nullptr);
    ui.TakeBoxTexts();
  }
}

TEST_F(SimpleCatalogsTest, SalaryTypesAllowRepeatedCodesAndKeepFourDecimals) {
  Create("TIPO_SAL", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("MIN")}, {"DESCRIP", C("MINIMO")},
                       {"AUMENTO", N(2.1234)}}});
  qz::SimpleCatalog* s = Open("TIPO_SAL");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(desktop.edit_menu()[2].caption, "Eliminar");
  s->oB()->Select(0);
  ui.OnDialog("E_TIPO_SAL", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(502), "2.1234");
    d.UserType(501, "MINIMO DE LEY");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  ui.OnDialog("E_TIPO_SAL", [&](qz::WDIAG& d) {
    d.UserType(500, "MIN");
    d.UserType(501, "OTRO MINIMO");
    d.UserType(502, "10.5");
    d.UserPress(1);
  });
  ui.Menu("Agregar");
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Column("TIPO_SAL", "AUMENTO"),
            (std::vector<std::string>{"MIN=2.1234", "MIN=10.500"}));  // untouched value kept
  EXPECT_EQ(Column("TIPO_SAL", "DESCRIP"),
            (std::vector<std::string>{"MIN=MINIMO DE LEY", "MIN=OTRO MINIMO"}));
  EXPECT_EQ(Codes(s), (std::vector<std::string>{"MIN", "MIN"}));
}

TEST_F(SimpleCatalogsTest, PlacesChooseTheirRegionAmongTheBusinessRegions) {
  Create("REG_NAC", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("GU")}, {"DESCRIP", C("GUANACASTE")}},
                     {{"NEGOCIO", C(kHc)}, {"CODIGO", C("SJ")}, {"DESCRIP", C("SAN JOSE")}},
                     {{"NEGOCIO", C(kHp)}, {"CODIGO", C("LI")}, {"DESCRIP", C("LIMON")}}});
  Create("UBIC_NAC", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"DESCRIP", C("LIBERIA")},
                       {"REGION", C("GU")}}});
  qz::SimpleCatalog* s = Open("UBIC_NAC");
  ASSERT_NE(s, nullptr);
  ui.OnDialog("MODI_UBIC_NAC", [&](qz::WDIAG& d) {
    const auto* regions = d.Control(601);
    ASSERT_EQ(regions->entries.size(), 2u);
    EXPECT_EQ(regions->entries[1].text, "SAN JOSE");
    d.UserType(500, "02");
    d.UserType(501, "ESCAZU");
    d.UserChoose(601, "SAN JOSE");
    d.UserPress(1);
  });
  ui.Menu("Agregar");
  s->oB()->Select(0);
  ui.OnDialog("MODI_UBIC_NAC", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(601), "GUANACASTE");  // the stored region is shown
    d.UserType(501, "LIBERIA CENTRO");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(Column("UBIC_NAC", "REGION"), (std::vector<std::string>{"01=GU", "02=SJ"}));
}

TEST_F(SimpleCatalogsTest, TestTypesOfferThePayrollModuleSerialsOfTheBusiness) {
  qz::SimpleCatalog* s = Open("TIP_PRUE");
  ASSERT_NE(s, nullptr);
  ui.OnDialog("E_TIPO_PRUE", [&](qz::WDIAG& d) {
    const auto* serials = d.Control(610);
    ASSERT_EQ(serials->entries.size(), 1u);  // not module 01, not the other business
    d.UserType(500, "psic");
    d.UserType(501, "PSICOMETRICA");
    d.UserChoose(610, "PRUEBAS Y EVALUACIONES");
    d.UserPress(1);
  });
  ui.Menu("Agregar");
  EXPECT_EQ(Column("TIP_PRUE", "COD_SERIAL").back(), "PSIC=PRUEBAS");
}

TEST_F(SimpleCatalogsTest, ProvisionsStoreTheirFlagsAndBase) {
  qz::SimpleCatalog* s = Open("D_T_PROV");
  ASSERT_NE(s, nullptr);
  ui.OnDialog("E_PROVISION", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Check(509), 1);  // on total income unless chosen
    d.UserType(500, "03");
    d.UserType(501, "CESANTIA");
    d.UserType(502, "999,999.99");
    d.UserType(503, "Cesantia");
    d.UserClick(504);
    d.UserClick(508);
    d.UserClick(510);
    d.UserPress(1);
  });
  ui.Menu("Agregar");
  auto flags = [&](const std::string& code) {
    std::string out;
    for (const char* f : {"IMP_REP", "AGUINALDO", "FINAL_MES", "CARGAR_VAC", "C_COSTO",
                          "VACACIONES"})
      for (const auto& v : Column("T_PROV", f))
        if (v.rfind(code + "=", 0) == 0) out += v.substr(code.size() + 1, 1);
    return out;
  };
  EXPECT_EQ(flags("03"), "100011");
  EXPECT_EQ(Column("T_PROV", "R_ROTULO").back(), "03=Cesantia");
  s->oB()->Select(0);  // "03" sorts first
  ui.OnDialog("E_PROVISION", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Check(504), 1);
    EXPECT_EQ(d.Check(505), 0);
    EXPECT_EQ(d.Check(510), 1);
    d.UserClick(504);
    d.UserClick(509);
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(flags("03"), "000010");
}

TEST_F(SimpleCatalogsTest, RenamedLanguageIsReplacedInsideEachEmployeesList) {
  Create("PL_IDIOM", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("EN")}, {"DESCRIP", C("INGLES")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("ES")}, {"DESCRIP", C("ESPANOL")}}});
  Employees({{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"INF_IDIOMA", C("[ES][EN]")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E2")}, {"INF_IDIOMA", C("[EN][FR][ES]")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E3")}, {"INF_IDIOMA", C("[ES]")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E4")}, {"INF_IDIOMA", C("EN,ES")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E5")}, {"INF_IDIOMA", C("[ENG]")}},
             {{"NEGOCIO", C(kHp)}, {"CODIGO", C("E6")}, {"INF_IDIOMA", C("[EN]")}}});
  qz::SimpleCatalog* s = Open("PL_IDIOM");
  ASSERT_NE(s, nullptr);
  Rename(s, 0, "IN", "MODI_PL_IDIOM");
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  EXPECT_EQ(Column("ENC_PERS", "INF_IDIOMA"),
            (std::vector<std::string>{"E1=[ES][IN]", "E2=[IN][FR][ES]", "E3=[ES]", "E4=IN,ES",
                                      "E5=[ENG]", "E6=[EN]"}));
}

TEST_F(SimpleCatalogsTest, RenamedRegionMovesThePlacesAndTheEmployees) {
  Create("REG_NAC", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("GU")}, {"DESCRIP", C("GUANACASTE")},
                      {"NUMERO", N(5)}}});
  Create("UBIC_NAC", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"REGION", C("GU")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("02")}, {"REGION", C("SJ")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", C("03")}, {"REGION", C("GU")}},
                      {{"NEGOCIO", C(kHp)}, {"CODIGO", C("01")}, {"REGION", C("GU")}}});
  Employees({{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"DEPTO", C("B")},
              {"INF_REGION", C("GU")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E2")}, {"DEPTO", C("A")},
              {"INF_REGION", C("GU")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E3")}, {"INF_REGION", C("SJ")}},
             {{"NEGOCIO", C(kHp)}, {"CODIGO", C("E4")}, {"INF_REGION", C("GU")}}});
  qz::SimpleCatalog* s = Open("REG_NAC");
  ASSERT_NE(s, nullptr);
  s->oB()->Select(0);
  ui.OnDialog("MODI_REG_NAC", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(502), "5");
    d.UserType(500, "GT");
    d.UserType(502, "6");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(Column("REG_NAC", "NUMERO"), std::vector<std::string>{"GT=6.0000"});
  EXPECT_EQ(Column("UBIC_NAC", "REGION"),
            (std::vector<std::string>{"01=GT", "02=SJ", "03=GT", "01=GU"}));
  EXPECT_EQ(Column("ENC_PERS", "INF_REGION"),
            (std::vector<std::string>{"E1=GT", "E2=GT", "E3=SJ", "E4=GU"}));
}

TEST_F(SimpleCatalogsTest, RenamesReachEveryReferencingField) {
  Employees({{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"INF_PAIS", C("AA")},
              {"INF_ETNIA", C("AA")}, {"INF_CONTRA", C("BB")}, {"INF_LUGAR", C("AA")},
              {"TIPO_EMP", C("AA")}},
             {{"NEGOCIO", C(kHp)}, {"CODIGO", C("E2")}, {"INF_PAIS", C("AA")},
              {"TIPO_EMP", C("AA")}}});
  Create("DET_DEP2", {{{"NEGOCIO", C(kHc)}, {"CODIGO", N(1)}, {"TIPO", C("AA")}},
                      {{"NEGOCIO", C(kHc)}, {"CODIGO", N(2)}, {"TIPO", C("BB")}}});
  const std::pair<const char*, const char*> renamed[] = {
      {"PL_PAIS", "MODI_PL_PAIS"}, {"T_ETNIA", "MODI_T_ETNIA"}, {"T_CONTRA", "MODI_T_CONTRA"},
      {"UBIC_NAC", "MODI_UBIC_NAC"}, {"TIP_EMP", "MODITIP_EMP"}, {"D_T_PROV", "E_PROVISION"}};
  for (const auto& [screen, dialog] : renamed) {
    qz::SimpleCatalog* s = Open(screen);
    ASSERT_NE(s, nullptr);
    Rename(s, 0, "ZA", dialog);  // AA -> ZA
    Rename(s, 0, "ZB", dialog);  // BB (now first) -> ZB
    ui.Press(s, 1);
  }
  EXPECT_EQ(Column("ENC_PERS", "INF_PAIS"), (std::vector<std::string>{"E1=ZA", "E2=AA"}));
  EXPECT_EQ(Column("ENC_PERS", "INF_ETNIA")[0], "E1=ZA");
  EXPECT_EQ(Column("ENC_PERS", "INF_CONTRA")[0], "E1=ZB");
  EXPECT_EQ(Column("ENC_PERS", "INF_LUGAR")[0], "E1=ZA");
  EXPECT_EQ(Column("ENC_PERS", "TIPO_EMP"), (std::vector<std::string>{"E1=ZA", "E2=AA"}));
  auto t = xb::Table::Open(file("DET_DEP2.DBF"));
  std::vector<std::string> types;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) types.push_back(qz::FieldText(**t, "TIPO"));
  EXPECT_EQ(types, (std::vector<std::string>{"ZA", "ZB"}));
}

TEST_F(SimpleCatalogsTest, LockedEmployeeIsWaitedForAndStillRenamed) {
  Employees({{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"INF_PAIS", C("AA")}},
             {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E2")}, {"INF_PAIS", C("AA")}}});
  auto other = xb::Table::Open(file("ENC_PERS.DBF"));  // another workstation edits E2
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(2).ok());
  qz::SimpleCatalog* s = Open("PL_PAIS");
  ASSERT_NE(s, nullptr);
  int asked = 0;
  ui.WhileBoxShown([&](const std::string& text) {
    if (text.rfind("El dato se encuentra bloqueado: ", 0) == 0 && ++asked == 1)
      (*other)->UnlockAll();
  });
  int64_t before = clock.slept();
  Rename(s, 0, "ZA", "MODI_PL_PAIS");
  EXPECT_GE(clock.slept() - before, 5000);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(ui.wait_open());
  EXPECT_EQ(Column("ENC_PERS", "INF_PAIS"), (std::vector<std::string>{"E1=ZA", "E2=ZA"}));
  EXPECT_EQ(Codes(s), (std::vector<std::string>{"BB", "ZA"}));
}

TEST_F(SimpleCatalogsTest, ReadOnlyUserCannotAddModifyOrDelete) {
  // The demo's CONSULTA profile: every edit right of the catalogs denied.
  desktop.SetRightsCheck([](int right) { return right != 4736; });
  qz::SimpleCatalog* s = Open("PL_PAIS");
  ASSERT_NE(s, nullptr);
  s->oB()->Select(0);
  for (const char* entry : {"Agregar", "Modificar", "Borrar"}) EXPECT_FALSE(ui.Menu(entry)) << entry;
  EXPECT_TRUE(ui.modal_log().empty());  // no dialog opened
  EXPECT_EQ(Codes(s), (std::vector<std::string>{"AA", "BB"}));
}

TEST(ReplaceCodeInList, ReplacesWholeCodesOnly) {
  EXPECT_EQ(qz::ReplaceCodeInList("[ES][EN]", "EN", "IN"), "[ES][IN]");
  EXPECT_EQ(qz::ReplaceCodeInList("[EN ][ENG]", "EN", "I"), "[I ][ENG]");
  EXPECT_EQ(qz::ReplaceCodeInList("EN; ES,EN", "EN", "IN"), "IN; ES,IN");
  EXPECT_EQ(qz::ReplaceCodeInList("[ES]", "  ", "IN"), "[ES]");
}

}  // namespace
