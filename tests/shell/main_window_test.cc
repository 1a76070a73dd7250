// The main window after a login: rights on the menu, the menu bar in order,
// "Editar" following the active screen, capture mode and the usage log,
// exit requests, the session lock and the ways out.
#include <gtest/gtest.h>

#include "lib/ui/edit_menu.h"
#include "shell/log_viewers.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

// A screen that puts the department screen's entries into "Editar".
class FakeDepartments : public qz::WDIAG {
 public:
  explicit FakeDepartments(qz::Desktop& d) : WDIAG(d, nullptr, "VIEW_ROLLBACK") {}
  void OnActivate() override { desktop().MENUSET(2503, this, qz::G().XU_COMP); }
  void OnDeactivate() override { desktop().MENUSET(0, this, qz::G().XU_COMP); }
  bool DoOperation(const std::string& name) override {
    ran.push_back(name);
    return true;
  }
  std::vector<std::string> ran;
};

class MainWindowTest : public ShellTest {
 protected:
  void SetUp() override {
    AddUser(kCentral, 1, "SUPER", "CLAVE", true);
    AddUser(kCentral, 2, "ANA", "ANA123", false, {{"PERMISO1", N(1)}});
    AddUser(kCentral, 3, "NUEVO", "NUEVO1");
    Grant(kCentral, 2, 2662);
    Grant(kCentral, 2, 2674, false);
    Grant(kCentral, 2, 7001);  // beyond the ids a menu can have
    Grant(kCentral, 2, 2664);
    registry.Register("PUESTOS", [this](const std::string& b, const std::string& t) {
      opened.push_back(t + "@" + b);
    });
  }
  std::vector<std::string> Captions(const qz::MenuEntry& popup) {
    std::vector<std::string> out;
    for (const auto& e : popup.items) out.push_back(e.separator() ? "-" : e.caption);
    return out;
  }
  std::vector<std::string> opened;
};

TEST_F(MainWindowTest, SupervisorHasEveryRightANewUserOnlyTheAlwaysAllowedOnes) {
  ASSERT_TRUE(LoginAs("SUPER", "CLAVE"));
  for (int id : {2000, 2500, 2662, 4756, 6503, 2588}) EXPECT_FALSE(Greyed(id)) << id;
  EXPECT_EQ(main->rights().AllowedCount(), 5001);

  ResetMain();
  ASSERT_TRUE(LoginAs("NUEVO", "NUEVO1"));
  std::vector<int> allowed;
  for (int id = 2000; id <= 7000; ++id)
    if (!main->rights().GET_RIGHTS(id)) allowed.push_back(id);
  EXPECT_EQ(allowed, (std::vector<int>{2009, 3232, 3386}));
  EXPECT_TRUE(Greyed(2904));

  // Rows of MENUS count; 7001 is ignored; PERMISO1 adds the password change.
  ResetMain();
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_FALSE(Greyed(2662));
  EXPECT_TRUE(Greyed(2674));
  EXPECT_FALSE(Greyed(2904));
  EXPECT_FALSE(main->rights().GET_RIGHTS(7001));  // outside the range: never greyed
  EXPECT_EQ(main->rights().AllowedCount(), 6);    // 2009 3232 3386 2904 2662 2664
}

TEST_F(MainWindowTest, TheMenuBarInOrderAndEntriesOfScreensNotBuiltStayVisibleGreyed) {
  ASSERT_TRUE(LoginAs("SUPER", "CLAVE"));
  const qz::MenuBar& bar = main->menu_bar();
  std::vector<std::string> popups;
  for (const auto& p : bar.popups) popups.push_back(p.caption);
  EXPECT_EQ(popups, (std::vector<std::string>{"&Archivo", "Editar", "Servicios Adicionales",
                                              "Otros Servicios", "Ventanas", "Acerca de"}));
  EXPECT_EQ(Captions(bar.popups[0]), (std::vector<std::string>{"Mantenimientos", "Salir"}));
  EXPECT_EQ(Captions(bar.popups[1]), std::vector<std::string>{qz::kNoOperations});
  EXPECT_EQ(Captions(bar.popups[4]), (std::vector<std::string>{"Cascada", "Comparativo",
                                                               "Acomodar Iconos", "Cerrar Todos"}));
  EXPECT_EQ(Captions(bar.popups[5]), (std::vector<std::string>{"Acerca &de", "ADS Config."}));
  const qz::MenuEntry* other = &bar.popups[3];
  EXPECT_EQ(other->items.size(), 20u);
  EXPECT_EQ(other->items[1].caption, "Iniciar Planilla");
  EXPECT_EQ(bar.FindPath({"Servicios Adicionales", "Acciones de Personal",
                          "Acciones de Personal Personalizadas",
                          "Encargados de Autorizar las Acciones de Personal"})
                ->id,
            4102);

  // A screen that exists runs through DO_ACTION with the toolbar's business.
  ASSERT_TRUE(main->Command(2662));
  EXPECT_EQ(opened, std::vector<std::string>{"PUESTOS@" + Biz(kCentral)});
  EXPECT_EQ(ui.desktop().xid_menu(), 2662);
  // One that does not is shown greyed and does nothing.
  const qz::MenuEntry* init = bar.Find(2501);
  ASSERT_NE(init, nullptr);
  EXPECT_FALSE(init->available);
  EXPECT_TRUE(init->greyed());
  EXPECT_FALSE(main->Command(2501));
  EXPECT_TRUE(Boxes().empty());
  // An id that is not in the menu at all.
  EXPECT_FALSE(main->Command(9999));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Menuitem no encontrado: 9999"});
}

TEST_F(MainWindowTest, ScreensOpenedFromTheMenuAreInTheUsageLogAndTheFontsAreApplied) {
  registry.Register("OCUPA", [this](const std::string&, const std::string& t) {
    auto w = std::make_unique<qz::WDIAG>(ui.desktop(), nullptr, t);
    qz::WDIAG* raw = w.get();
    ui.desktop().Adopt(std::move(w));
    ASSERT_TRUE(raw->CREATE().ok());
  });
  ASSERT_TRUE(LoginAs("SUPER", "CLAVE"));
  EXPECT_EQ(view.fonts_applied, 1);
  EXPECT_EQ(main->StatusPanes()[0], "Listo");
  const uint32_t before = Count("LOG_DIAG");
  ASSERT_TRUE(main->Command(2674));
  ASSERT_EQ(Count("LOG_DIAG"), before + 1);
  EXPECT_EQ(Field("LOG_DIAG", before + 1, "DIALOGO"), "OCUPA");
  EXPECT_EQ(Field("LOG_DIAG", before + 1, "ID_DIAG"), "2674");
  EXPECT_EQ(Field("LOG_DIAG", before + 1, "USUARIO"), "SUP");

  ui.OnDialog("SYS_FONT", [](qz::WDIAG& d) {
    d.UserType(501, "Courier");
    d.UserPress(1);
  });
  ASSERT_TRUE(main->Choose({"&Archivo", "Mantenimientos", "Fuente Despliegue de Datos"}));
  EXPECT_EQ(qz::G().XWINDOW_FONT_NAME, "Courier");
  EXPECT_EQ(view.fonts_applied, 2);  // shown at once, not at the next start
}

TEST_F(MainWindowTest, EditarFollowsTheActiveScreen) {
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  auto screen = std::make_unique<FakeDepartments>(ui.desktop());
  FakeDepartments* s = screen.get();
  ui.desktop().Adopt(std::move(screen));
  ASSERT_TRUE(s->CREATE().ok());
  const qz::MenuEntry* edit = &main->menu_bar().popups[1];
  EXPECT_EQ(Captions(*edit),
            (std::vector<std::string>{"Agregar Departamento", "Modificar Departamento",
                                      "Borrar Departamento", "Duplicar Departamento"}));
  // ANA holds none of these rights: all greyed.
  for (const auto& e : edit->items) EXPECT_TRUE(e.greyed()) << e.caption;

  s->ENDDIALOG(1);
  ui.desktop().Collect();
  EXPECT_EQ(Captions(main->menu_bar().popups[1]), std::vector<std::string>{qz::kNoOperations});
}

TEST_F(MainWindowTest, CaptureModeTicksEntriesAndASupervisorsRightClickOpensTheUsageLog) {
  AddRows("LOG_DIAG", {{{"NEGOCIO", C(Biz(kCentral))},
                        {"ID_DIAG", N(2662)},
                        {"USUARIO", C("ANA")},
                        {"FECHA", D(2026, 12, 1)},
                        {"HORA", C("09:00:00")}},
                       {{"NEGOCIO", C(Biz(kCentral))},
                        {"ID_DIAG", N(2500)},
                        {"USUARIO", C("SUP")},
                        {"FECHA", D(2026, 12, 1)},
                        {"HORA", C("09:00:00")}}});
  ASSERT_TRUE(LoginAs("SUPER", "CLAVE"));
  main->MenuRightClick(2662);
  main->DispatchPosted();
  auto* viewer = dynamic_cast<qz::LogDiagViewer*>(ui.desktop().FindWindow("LOG_DIAG"));
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->grid()->RowCount(), 1);
  ASSERT_EQ(viewer->tree()->root()->children.size(), 1u);
  EXPECT_EQ(viewer->tree()->root()->children[0]->children[0]->text, "Usuario ANA");

  main->SendMessage(qz::kMsgCaptureOn, qz::kCaptureMarker);
  main->MenuRightClick(2662);
  main->MenuRightClick(4102);
  main->MenuRightClick(2662);
  main->DispatchPosted();
  EXPECT_FALSE(main->rights().GET_CHECKS(2662));
  EXPECT_TRUE(main->rights().GET_CHECKS(4102));
  EXPECT_TRUE(main->menu_bar().Find(4102)->checked);
  main->SendMessage(qz::kMsgCaptureOff, qz::kCaptureMarker);
  EXPECT_FALSE(main->Captura);

  // An ordinary user's right click does nothing.
  ResetMain();
  ui.desktop().CloseAll();
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  main->MenuRightClick(2662);
  main->DispatchPosted();
  EXPECT_EQ(ui.desktop().FindWindow("LOG_DIAG"), nullptr);
}

TEST_F(MainWindowTest, ExitRequestGivesOrdinaryUsersFiveMinutes) {
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  qz::G().XAPP_MESSAGE_NOCHECK = 1;  // no session lock in the way
  WriteFile("BLOQUEAD.!", "0000");
  Wait(60000);  // the minute check
  ASSERT_EQ(view.notices.size(), 1u);
  EXPECT_EQ(view.notices[0][0], "Debe salir del sistema en máximo 5 minutos!");
  EXPECT_EQ(main->Por_Salir, 1);
  for (int i = 0; i < 9; ++i) Wait(30000);
  EXPECT_FALSE(view.ended);
  Wait(30000);
  Wait(30000);
  EXPECT_TRUE(view.ended);
  EXPECT_EQ(Field("LOG_E_S", 1, "HORA_SAL"), "");  // forced out: no exit stamp
  EXPECT_EQ(view.notices.size(), 1u);
}

TEST_F(MainWindowTest, SupervisorIsToldOnceUnlessTheRequestStartsWithOne) {
  ASSERT_TRUE(LoginAs("SUPER", "CLAVE"));
  qz::G().XAPP_MESSAGE_NOCHECK = 1;  // no session lock in the way
  WriteFile("BLOQUEAD.!", "0");
  Wait(60000);
  Wait(60000);
  ASSERT_EQ(view.notices.size(), 1u);
  EXPECT_EQ(view.notices[0][2], "En _su_ calidad de Supervisor, Ud. NO será obligado");
  for (int i = 0; i < 12; ++i) Wait(30000);
  EXPECT_FALSE(view.ended);

  WriteFile("BLOQUEAD.!", "1");
  Wait(60000);
  ASSERT_EQ(view.notices.size(), 2u);
  EXPECT_EQ(view.notices[1][0], "Debe salir del sistema en máximo 5 minutos!");
  for (int i = 0; i < 11; ++i) Wait(30000);
  EXPECT_TRUE(view.ended);
}

TEST_F(MainWindowTest, IdleSessionLocksAndOnlyThePasswordUnlocksIt) {
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  // F_SYS without MAXTIMEOUT: ten minutes.
  EXPECT_EQ(qz::G().XAPP_MAX_MESSAGETIME, 600000);
  Wait(500000);
  main->idle().UserInput();  // the user works
  Wait(500000);
  EXPECT_EQ(ui.modal_log().size(), 1u);  // only the login so far

  int shown = 0;
  ui.OnDialog("BLOQ_SESSION", [&](qz::WDIAG& d) {
    ++shown;
    EXPECT_EQ(d.Text(500), "ANA");
    EXPECT_EQ(qz::G().XAPP_IN_MESSAGETIME, 1);
    d.UserType(501, "OTRA");
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserType(501, "ANA123");
    d.UserPress(1);
  });
  Wait(100000);
  Wait(1000);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(qz::G().XAPP_IN_MESSAGETIME, 0);
  EXPECT_FALSE(view.ended);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Acceso Denegado"});
  // Not again right away: the idle time starts over.
  Wait(60000);
  EXPECT_EQ(ui.modal_log().size(), 2u);

  // "Salir" asks; OK ends without the exit stamp.
  ui.OnDialog("BLOQ_SESSION", [](qz::WDIAG& d) { d.UserPress(2); });
  ui.AnswerNext(1);
  Wait(600000);
  Wait(1000);
  EXPECT_TRUE(view.ended);
  EXPECT_EQ(Field("LOG_E_S", 1, "HORA_SAL"), "");
}

TEST_F(MainWindowTest, NoTimeoutSwitchAndMinimisedWindowSkipTheLock) {
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  qz::G().XAPP_MESSAGE_NOCHECK = 1;
  Wait(900000);
  Wait(1000);
  qz::G().XAPP_MESSAGE_NOCHECK = 0;
  view.minimized = true;
  Wait(1000);
  Wait(1000);
  EXPECT_EQ(ui.modal_log().size(), 1u);
}

TEST_F(MainWindowTest, ClosingAsksFirst) {
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  ui.AnswerNext(2);
  ASSERT_TRUE(main->Choose({"&Archivo", "Salir"}));
  main->DispatchPosted();
  EXPECT_FALSE(view.ended);
  EXPECT_EQ(ui.boxes().back().title, "Cierre de Aplicación");
  ui.AnswerNext(1);
  main->Choose({"&Archivo", "Salir"});
  main->DispatchPosted();
  EXPECT_TRUE(view.ended);
  EXPECT_EQ(view.exit_code, 0);
  EXPECT_EQ(Field("LOG_E_S", 1, "HORA_SAL"), "10:30:00");
}

TEST_F(MainWindowTest, MissingMenusTableLeavesOnlyTheAlwaysAllowedRights) {
  std::filesystem::remove(bases + "/MENUS.DBF");
  std::filesystem::remove(bases + "/MENUS.CDX");
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  auto boxes = Boxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes[0].rfind("No se puede abrir la tabla MENUS", 0), 0u);
  EXPECT_TRUE(Greyed(2662));
  EXPECT_FALSE(Greyed(2904));
}

}  // namespace
}  // namespace shelltest
