// The users screen as an administrator uses it: rights designed on the real
// menu and then used by the user at the next login, profiles handed out,
// users added, changed and deleted (with a second workstation in the way),
// the password policy, the request file, the rights tree and the report.
#include <gtest/gtest.h>

#include <filesystem>

#include "lib/security/passwords.h"
#include "shell/rights.h"
#include "shell/toolbar.h"
#include "shell/user_admin.h"
#include "shell/user_reports.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

class UserAdminTest : public ShellTest {
 protected:
  void SetUp() override {
    for (const char* t : {"PERFILES", "DET_PERF", "DERECHOS", "F_BROWSE", "DET_TRA2"})
      qztest::CreateSchemaTable(bases, t);
    AddUser(kCentral, 1, "SUPER", "CLAVE", true);
    AddUser(kCentral, 2, "ANA", "ANA123");
    Grant(kCentral, 2, 2662);
    AddUser(kCentral, 4, "LUIS", "LUIS12");
    AddRows("F_SYS", {{{"BLOQUEADO", N(0)}}});
  }
  qz::USUARIOS* OpenScreen() {
    if (!main) {
      EXPECT_TRUE(LoginAs("SUPER", "CLAVE"));
    }
    EXPECT_TRUE(main->Choose({"&Archivo", "Mantenimientos", "Perfiles de Usuario"}));
    return dynamic_cast<qz::USUARIOS*>(ui.desktop().FindWindow("USUARIOS"));
  }
  // Selects the user row with login `name` in the screen's list.
  void SelectUser(qz::USUARIOS* s, const std::string& name) {
    auto* g = s->users_grid();
    for (int r = 0; r < g->RowCount(); ++r)
      if (g->Cell(r, 2).rfind(name, 0) == 0) {
        ASSERT_TRUE(g->Select(r).ok());
        return;
      }
    FAIL() << name << " not listed";
  }
  // MENUS rows of user `code` for `id` ("T"/"F"), "" when none.
  std::string Right(const std::string& table, int code, int id) {
    auto t = xb::Table::Open(bases + "/" + table + ".DBF");
    std::string out;
    for (uint32_t r = 1; t.ok() && r <= *(*t)->RecCount(); ++r) {
      (*t)->GoTo(r);
      if ((*t)->Deleted()) continue;
      if ((*t)->Get("CODIGO")->number() == code && (*t)->Get("ID")->number() == id)
        out += (*t)->Get("CHECK_ID")->logical() ? "T" : "F";
    }
    return out;
  }
  int Rows(const std::string& table, int code, const char* field = "CODIGO") {
    auto t = xb::Table::Open(bases + "/" + table + ".DBF");
    int n = 0;
    for (uint32_t r = 1; t.ok() && r <= *(*t)->RecCount(); ++r) {
      (*t)->GoTo(r);
      if (!(*t)->Deleted() && (*t)->Get(field)->number() == code) ++n;
    }
    return n;
  }
  void FillUser(qz::WDIAG& d, const std::string& login, const std::string& password) {
    d.UserType(500, "Usuario " + login);
    d.UserType(501, login);
    d.UserType(502, password);
    d.UserType(503, password);
    d.UserType(504, login.substr(0, 3));
  }
};

TEST_F(UserAdminTest, RightsDesignedOnTheMenuAreWhatTheUserGetsAtTheNextLogin) {
  qz::USUARIOS* s = OpenScreen();
  ASSERT_NE(s, nullptr);
  SelectUser(s, "ANA");
  s->UserPress(qz::USUARIOS::kLoadUserDesign);
  EXPECT_TRUE(main->menu_bar().Find(2662)->checked);
  EXPECT_FALSE(main->menu_bar().Find(2500)->checked);
  s->UserPress(qz::USUARIOS::kStartDesign);
  EXPECT_TRUE(main->Captura);
  // The administrator right-clicks entries of the real menu.
  main->MenuRightClick(2500);
  main->MenuRightClick(2662);
  main->DispatchPosted();
  EXPECT_TRUE(main->menu_bar().Find(2500)->checked);
  EXPECT_FALSE(main->menu_bar().Find(2662)->checked);
  s->UserPress(qz::USUARIOS::kSaveUserDesign);
  EXPECT_FALSE(main->Captura);
  EXPECT_EQ(Rows("MENUS", 2), 5001);  // the missing rows were created
  EXPECT_EQ(Right("MENUS", 2, 2500), "T");
  EXPECT_EQ(Right("MENUS", 2, 2662), "F");
  // Closing the screen takes the marks off the menu.
  s->UserPress(1);
  ui.desktop().Collect();
  EXPECT_FALSE(main->menu_bar().Find(2500)->checked);

  ResetMain();
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_FALSE(Greyed(2500));
  EXPECT_TRUE(Greyed(2662));
}

TEST_F(UserAdminTest, OwnRightsChangedInAnOpenSessionApplyAtTheNextBusinessChange) {
  // ANA administers users without being a supervisor.
  Grant(kCentral, 2, 2000);
  Grant(kCentral, 2, 2663);
  AddUser(kPlaya, 7, "ANA", "PLAYA1");
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  qz::USUARIOS* s = OpenScreen();
  ASSERT_NE(s, nullptr);
  SelectUser(s, "ANA");
  s->UserPress(qz::USUARIOS::kLoadUserDesign);
  s->UserPress(qz::USUARIOS::kStartDesign);
  EXPECT_FALSE(Greyed(2500));  // every entry can be ticked while capturing
  main->MenuRightClick(2663);   // "Modificar" of the positions screen
  main->DispatchPosted();
  s->UserPress(qz::USUARIOS::kSaveUserDesign);
  EXPECT_TRUE(Greyed(2500));
  EXPECT_EQ(Right("MENUS", 2, 2663), "F");
  EXPECT_FALSE(main->rights().GET_R_EDIT(2663));  // the session keeps its rights

  qz::MToolBar* bar = main->toolbar();
  auto change_to = [&](const std::string& descrip, const std::string& password) {
    ui.OnDialog("CHANGE_NEG", [password](qz::WDIAG& d) {
      d.UserType(500, "ANA");
      d.UserType(501, password);
      d.UserPress(1);
    });
    ASSERT_TRUE(bar->ChooseBusiness(descrip));
    main->DispatchPosted();
  };
  change_to("Hotel Playa", "PLAYA1");
  change_to("Hotel Central", "ANA123");
  EXPECT_TRUE(main->rights().GET_R_EDIT(2663));  // "Editar" entries now refuse it
  EXPECT_FALSE(Greyed(2662));
  EXPECT_FALSE(Greyed(2000));
}

TEST_F(UserAdminTest, TickingAllTicksOnlyTheShownMenuAndOtherIdsKeepTheirValue) {
  Grant(kCentral, 2, 6900);  // an id of another module of the suite
  qz::USUARIOS* s = OpenScreen();
  SelectUser(s, "ANA");
  s->UserPress(qz::USUARIOS::kLoadUserDesign);
  s->UserPress(qz::USUARIOS::kUntickMenu);
  EXPECT_FALSE(s->have_loaded());
  s->UserPress(qz::USUARIOS::kTickMenu);
  EXPECT_TRUE(s->have_loaded());
  s->UserPress(qz::USUARIOS::kSaveUserDesign);
  EXPECT_EQ(Right("MENUS", 2, 2501), "T");
  EXPECT_EQ(Right("MENUS", 2, 6900), "T");  // not in this menu: kept
  EXPECT_EQ(Right("MENUS", 2, 6899), "F");
  // Starting a design with nothing loaded (212 forgets it) asks first.
  s->UserPress(qz::USUARIOS::kUntickMenu);
  ui.AnswerNext(2);
  s->UserPress(qz::USUARIOS::kStartDesign);
  EXPECT_FALSE(main->Captura);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(UserAdminTest, AChangedProfileGivenToAUserIsWhatTheUserLogsInWith) {
  qz::USUARIOS* s = OpenScreen();
  ui.OnDialog("EDIT_PERFIL", [](qz::WDIAG& d) {
    d.UserType(502, "Recepción");
    d.UserPress(1);
  });
  s->UserPress(qz::USUARIOS::kAddProfile);
  ASSERT_EQ(s->profiles_grid()->RowCount(), 1);
  EXPECT_EQ(Rows("DET_PERF", 1), 5001);
  ASSERT_TRUE(s->profiles_grid()->Select(0).ok());
  s->UserPress(qz::USUARIOS::kLoadProfileDesign);
  s->UserPress(qz::USUARIOS::kStartDesign);
  main->MenuRightClick(2674);
  main->MenuRightClick(2904);
  main->DispatchPosted();
  s->UserPress(qz::USUARIOS::kSaveProfileDesign);
  EXPECT_TRUE(main->Captura);  // a profile's save keeps designing
  EXPECT_EQ(Right("DET_PERF", 1, 2674), "T");

  SelectUser(s, "LUIS");
  ui.AnswerNext(1);
  s->UserPress(qz::USUARIOS::kAssignProfile);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Se asignará el Perfil Recepción\r\nal Usuario LUIS",
                                              "Perfil asignado!"}));
  // Saving a user design right after loading a profile goes to the selected
  // user, never to the user whose code is the profile's.
  EXPECT_EQ(s->loaded_user(), std::nullopt);
  s->UserPress(1);
  ui.desktop().Collect();
  EXPECT_FALSE(main->Captura);

  ResetMain();
  ASSERT_TRUE(LoginAs("LUIS", "LUIS12"));
  EXPECT_FALSE(Greyed(2674));
  EXPECT_TRUE(Greyed(2662));
  EXPECT_EQ(main->rights().AllowedCount(), 5);  // 2674 2904 + 2009 3232 3386
}

TEST_F(UserAdminTest, AddedUserTakesTheFirstFreeCodeAndLogsInWithThePolicyPassword) {
  AddRows("SUBBASES", {{{"CODIGO", C("S1")}, {"DIRECTORIO", C("SUB1")}, {"DESCRIP", C("Sucursal")}}});
  Set("NEGOCIOS", 1, "SIZE_CLAVE", N(6));
  qz::USUARIOS* s = OpenScreen();
  int step = 0;
  ui.OnDialog("EDIT_USER", [&](qz::WDIAG& d) {
    FillUser(d, "ana", "CORTA");
    d.UserPress(1);  // shorter than the business's 6
    d.UserType(502, "SEGURA1");
    d.UserType(503, "SEGURA2");
    d.UserPress(1);
    d.UserType(503, "segura1");
    d.UserPress(1);  // ANA exists
    d.UserType(501, "Marta");
    d.UserChoose(601, "Sucursal");
    d.UserPress(1);
    step = d.ended() ? 1 : -1;
  });
  s->UserPress(qz::USUARIOS::kAddUser);
  ASSERT_EQ(step, 1);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"La Clave debe tener al menos 6 dígitos",
                                              "Clave distinta a Confirmación",
                                              "Nombre de Usuario ya existente..."}));
  const uint32_t rec = Count("USUARIOS");
  EXPECT_EQ(Field("USUARIOS", rec, "CODIGO"), "3");
  EXPECT_EQ(Field("USUARIOS", rec, "NOMBRE"), "MARTA");
  EXPECT_EQ(Field("USUARIOS", rec, "SUBBASE"), "S1");
  EXPECT_EQ(Field("USUARIOS", rec, "PASSWORD"), qz::ENCRYPT_STRING("SEGURA1"));
  EXPECT_EQ(Field("USUARIOS", rec, "ADASIPA"), "1");
  EXPECT_EQ(Rows("MENUS", 3), 5001);
  ASSERT_EQ(Count("ADASIPA"), 1u);
  EXPECT_EQ(Field("ADASIPA", 1, "ORIGEN"), "3");
  EXPECT_EQ(Field("ADASIPA", 1, "NOMBRE"), "MARTA");

  s->UserPress(1);
  ResetMain();
  ASSERT_TRUE(LoginAs("marta", "segura1"));
  EXPECT_EQ(main->rights().AllowedCount(), 3);
}

TEST_F(UserAdminTest, ModifyNeverShowsThePasswordAndASupervisorResetsIt) {
  qz::USUARIOS* s = OpenScreen();
  SelectUser(s, "ANA");
  ui.OnDialog("EDIT_USER", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(502), "");
    EXPECT_EQ(d.Text(503), "");
    EXPECT_EQ(d.Control(201), nullptr);  // no hidden control that reveals it
    d.UserType(500, "Ana Maria Soto");
    d.UserPress(1);  // blank: the password stays
  });
  s->UserPress(qz::USUARIOS::kModUser);
  EXPECT_EQ(Field("USUARIOS", 2, "USUARIO"), "Ana Maria Soto");
  EXPECT_EQ(Field("USUARIOS", 2, "PASSWORD"), qz::ENCRYPT_STRING("ANA123"));
  EXPECT_EQ(Count("ADASIPA"), 0u);

  ui.OnDialog("EDIT_USER", [&](qz::WDIAG& d) {
    d.UserType(502, "NUEVA1");
    d.UserType(503, "NUEVA1");
    d.UserPress(1);
  });
  s->UserPress(qz::USUARIOS::kModUser);
  EXPECT_EQ(Field("USUARIOS", 2, "PASSWORD"), qz::ENCRYPT_STRING("NUEVA1"));
  ASSERT_EQ(Count("ADASIPA"), 1u);
  EXPECT_EQ(Field("ADASIPA", 1, "P1"), qz::ENCRYPT_STRING("ANA123"));
  s->UserPress(1);
  ResetMain();
  EXPECT_TRUE(LoginAs("ANA", "NUEVA1"));
}

TEST_F(UserAdminTest, TheOnlySupervisorStaysOne) {
  qz::USUARIOS* s = OpenScreen();
  SelectUser(s, "SUPER");
  ui.AnswerNext(1);
  s->UserPress(qz::USUARIOS::kDelUser);
  EXPECT_EQ(Boxes().back().substr(0, 42), "Debe haber al menos un Usuario Supervisor.");
  EXPECT_EQ(Field("USUARIOS", 1, "NOMBRE"), "SUPER");

  ui.OnDialog("EDIT_USER", [&](qz::WDIAG& d) {
    d.UserClick(1001);
    d.UserPress(1);
  });
  s->UserPress(qz::USUARIOS::kModUser);
  EXPECT_EQ(Boxes().at(0).substr(0, 42), "Debe haber al menos un usuario Supervisor.");
  EXPECT_EQ(Field("USUARIOS", 1, "SUPERVISOR"), "1");
}

TEST_F(UserAdminTest, DeletingAUserTakesItsRightsAndLayoutsWithIt) {
  AddRows("F_BROWSE", {{{"NEGOCIO", C(Biz(kCentral))}, {"N_USER", N(4)}, {"DIALOGO", C("X")}}});
  AddRows("DET_TRA2", {{{"NEGOCIO", C(Biz(kCentral))}, {"COD_USER", N(4)}},
                       {{"NEGOCIO", C(Biz(kPlaya))}, {"COD_USER", N(4)}}});
  Grant(kCentral, 4, 2500);
  Grant(kPlaya, 4, 2500);  // the same code in another business stays
  qz::USUARIOS* s = OpenScreen();
  SelectUser(s, "LUIS");
  ui.AnswerNext(1);
  s->UserPress(qz::USUARIOS::kDelUser);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Desea borrar el Usuario?"});
  EXPECT_EQ(s->users_grid()->RowCount(), 2);
  EXPECT_EQ(Rows("MENUS", 4), 1);
  EXPECT_EQ(Rows("F_BROWSE", 4, "N_USER"), 0);
  EXPECT_EQ(Rows("DET_TRA2", 4, "COD_USER"), 1);
}

TEST_F(UserAdminTest, ASecondWorkstationHoldingTheUserMakesTheSaveWaitAndADeletionStopsIt) {
  qz::USUARIOS* s = OpenScreen();
  SelectUser(s, "ANA");
  auto other = xb::Table::Open(bases + "/USUARIOS.DBF");  // another workstation
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(2).ok());
  int asked = 0;
  ui.WhileBoxShown([&](const std::string&) {
    if (++asked == 2) (*other)->UnlockAll();
  });
  ui.OnDialog("EDIT_USER", [&](qz::WDIAG& d) {
    d.UserType(504, "AM");
    d.UserPress(1);
  });
  const int64_t before = clock.slept();
  s->UserPress(qz::USUARIOS::kModUser);
  EXPECT_GE(clock.slept() - before, 5000);
  EXPECT_EQ(ui.boxes().front().title, "Alerta");
  EXPECT_EQ(Field("USUARIOS", 2, "ABREVIA"), "AM");
  ui.WhileBoxShown(nullptr);
  Boxes();

  // The other workstation deletes ANA while her form is open here.
  ui.OnDialog("EDIT_USER", [&](qz::WDIAG& d) {
    ASSERT_TRUE((*other)->GoTo(2).ok());
    ASSERT_TRUE((*other)->LockRecord(2).ok());
    ASSERT_TRUE((*other)->Delete().ok());
    ASSERT_TRUE((*other)->Flush().ok());
    (*other)->UnlockAll();
    d.UserType(504, "ZZ");
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  s->UserPress(qz::USUARIOS::kModUser);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Field("USUARIOS", 2, "ABREVIA"), "AM");
}

TEST_F(UserAdminTest, RequestFileGlobalLockAndPasswordPolicy) {
  qz::USUARIOS* s = OpenScreen();
  EXPECT_EQ(s->Check(qz::USUARIOS::kFreeAccess), 1);
  s->UserClick(qz::USUARIOS::kFirstArea + 4);  // "Planillas"
  s->UserClick(qz::USUARIOS::kExitEverybody);
  std::ifstream in(root + "BLOQUEAD.!");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, "10000100000000000");
  // A second screen reads the choice back.
  s->UserPress(1);
  ui.desktop().Collect();
  s = OpenScreen();
  EXPECT_EQ(s->Check(qz::USUARIOS::kExitEverybody), 1);
  EXPECT_EQ(s->Check(qz::USUARIOS::kFirstArea + 4), 1);
  s->UserClick(qz::USUARIOS::kFreeAccess);
  EXPECT_FALSE(std::filesystem::exists(root + "BLOQUEAD.!"));

  s->UserClick(qz::USUARIOS::kGlobalLock);
  EXPECT_EQ(Field("F_SYS", 1, "BLOQUEADO"), "1");

  ui.OnDialog("E_CLAVE", [](qz::WDIAG& d) {
    d.UserType(501, "30");
    d.UserType(502, "8");
    d.UserType(503, "150");
    d.UserPress(1);  // INTENTOS has two digits
    d.UserType(503, "5");
    d.UserPress(1);
  });
  s->UserPress(qz::USUARIOS::kPolicy);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"El valor no puede tener más de 2 dígitos"});
  EXPECT_EQ(Field("NEGOCIOS", 1, "DIAS_CLAVE"), "30");
  EXPECT_EQ(Field("NEGOCIOS", 1, "SIZE_CLAVE"), "8");
  EXPECT_EQ(Field("NEGOCIOS", 1, "INTENTOS"), "5");
}

TEST_F(UserAdminTest, RightsTreeShowsGrantedEntriesAndPrintsThem) {
  auto entry = [](const char* m, int pointer, int n_id, const char* d) {
    return Row{{"MODULO", C(m)}, {"POINTER", N(pointer)}, {"N_ID", N(n_id)}, {"DESCRIP", C(d)}};
  };
  AddRows("DERECHOS", {entry("06", 0, 362, "Puestos"), entry("06", 0, 200, "Parámetros"),
                       entry("  ", 362, 363, "Agregar"), entry("  ", 363, 362, "Ciclo"),
                       entry("06", 0, 374, "Ocupaciones")});
  Grant(kCentral, 2, 2663);
  qz::USUARIOS* s = OpenScreen();
  SelectUser(s, "ANA");
  s->UserPress(qz::USUARIOS::kRightsTree);
  auto* tree = dynamic_cast<qz::V_DERECHOS*>(ui.desktop().FindWindow("DERECHOS"));
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->Text(qz::V_DERECHOS::kTitle), "USUARIO: ANA");
  const qz::TreeNode* nomina = tree->tree()->Find("M06");
  ASSERT_NE(nomina, nullptr);
  ASSERT_EQ(nomina->children.size(), 1u);  // 2500 and 2674 are not ANA's
  EXPECT_EQ(nomina->children[0]->text, "Puestos");
  ASSERT_EQ(nomina->children[0]->children.size(), 1u);
  EXPECT_EQ(nomina->children[0]->children[0]->right_text, "363");
  EXPECT_EQ(tree->tree()->root()->children.front()->text, "ACTIVOS FIJOS");  // sorted
  tree->UserPress(qz::V_DERECHOS::kPrint);
  ASSERT_EQ(ui.printed().size(), 1u);
  const std::string text = ui.printed()[0].PlainText();
  EXPECT_NE(text.find("DERECHOS DE ACCESO"), std::string::npos);
  EXPECT_NE(text.find("Negocio: Hotel Central"), std::string::npos);
  EXPECT_NE(text.find("362"), std::string::npos);
  // A supervisor sees the whole catalogue (the loop is cut, not followed).
  SelectUser(s, "SUPER");
  s->UserPress(qz::USUARIOS::kRightsTree);
  EXPECT_EQ(ui.desktop().windows().size(), 3u);
}

TEST_F(UserAdminTest, UserReportListsTheBusinessUsers) {
  Set("NEGOCIOS", 1, "DIAS_CLAVE", N(30));
  Set("USUARIOS", 2, "F_CLAVE", D(2026, 11, 2));
  Set("USUARIOS", 2, "H_CLAVE", C("10:15:00"));
  Set("USUARIOS", 3, "BLOQUEADO", N(1));
  AddUser(kPlaya, 9, "OTRO", "OTRO12");
  qz::USUARIOS* s = OpenScreen();
  s->UserPress(qz::USUARIOS::kUserReport);
  ASSERT_EQ(ui.previews().size(), 1u);
  const std::string text = ui.previews()[0].PlainText();
  EXPECT_NE(text.find("REPORTE DE USUARIOS"), std::string::npos);
  EXPECT_EQ(text.find("OTRO"), std::string::npos);
  EXPECT_NE(text.find("SUPER               Usuario SUPER                 SUP       X X     30"),
            std::string::npos);
  EXPECT_NE(text.find("ANA                 Usuario ANA                   ANA         X     30  02/11/26 10:15:00"),
            std::string::npos);
  EXPECT_NE(text.find("LUIS                Usuario LUIS                  LUI               30\n"),
            std::string::npos);
}

}  // namespace
}  // namespace shelltest
