// Logging in: the scrambling of plain passwords, attempt limits and
// blocking, the global lock and the request file, the entry log and the
// business remembered for the next login.
#include <gtest/gtest.h>

#include "lib/ini/private_profile.h"
#include "lib/security/passwords.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

using qz::ENCRYPT_STRING;

TEST(PasswordScrambling, IsTheSuitesXorByPosition) {
  EXPECT_EQ(ENCRYPT_STRING("abc", 1), "```");
  EXPECT_EQ(ENCRYPT_STRING("abc", 0), "abc");
  // Trailing blanks are kept and not scrambled; the routine undoes itself.
  EXPECT_EQ(ENCRYPT_STRING("AB  ", 1), std::string("@@  "));
  EXPECT_EQ(qz::DECRYPT_STRING(ENCRYPT_STRING("SECRETO", 1), 1), "SECRETO");
  EXPECT_TRUE(qz::PasswordMatches("SECRETO", ENCRYPT_STRING("SECRETO   ", 1), 1));
  EXPECT_TRUE(qz::PasswordMatches("SECRETO", "SECRETO", 0));
  EXPECT_FALSE(qz::PasswordMatches("SECRETA", ENCRYPT_STRING("SECRETO", 1), 1));
  // 'A"' scrambles to "@ " whose blank the field trims: still recognised.
  EXPECT_EQ(ENCRYPT_STRING("A\"", 1), "@ ");
  EXPECT_TRUE(qz::PasswordMatches("A\"", "@", 1));
}

class LoginTest : public ShellTest {
 protected:
  void SetUp() override {
    AddUser(kCentral, 1, "SUPER", "CLAVE", true);
    AddUser(kCentral, 2, "ANA", "ANA123");
    AddUser(kCentral, 3, "LUIS", "LUIS99");
    AddUser(kPlaya, 1, "PEDRO", "PEDRO1");
  }
};

TEST_F(LoginTest, PlainPasswordsOfTheBusinessAreScrambledAtTheFirstLogin) {
  ASSERT_TRUE(LoginAs("ana", "ana123"));
  // Every plain row of the business, the other business untouched.
  for (uint32_t rec : {1u, 2u, 3u}) EXPECT_EQ(Field("USUARIOS", rec, "ADASIPA"), "1") << rec;
  EXPECT_EQ(Field("USUARIOS", 2, "PASSWORD"), ENCRYPT_STRING("ANA123", 1));
  EXPECT_EQ(Field("USUARIOS", 4, "ADASIPA"), "0");
  EXPECT_EQ(qz::G().XU_COMP, Biz(kCentral));
  EXPECT_EQ(qz::G().XUSER_NUMBER, 2);
  // The same password still opens the door.
  ResetMain();
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(Field("USUARIOS", 2, "PASSWORD"), ENCRYPT_STRING("ANA123", 1));
}

TEST_F(LoginTest, EntryLogMarkerFileAndLastBusiness) {
  ASSERT_TRUE(LoginAs("PEDRO", "PEDRO1", "Hotel Playa"));
  EXPECT_EQ(Count("LOG_E_S"), 1u);
  EXPECT_EQ(Field("LOG_E_S", 1, "USUARIO"), "Usuario PEDRO");
  EXPECT_EQ(Field("LOG_E_S", 1, "MODULO"), "PCFG");
  EXPECT_EQ(Field("LOG_E_S", 1, "ID_USUARIO"), "PED");
  EXPECT_EQ(Field("LOG_E_S", 1, "FECHA"), "20261208");
  EXPECT_EQ(qz::G().XREC_E_S, 1u);
  EXPECT_TRUE(std::filesystem::exists(root + "QUARTZEL.ALV"));
  EXPECT_EQ(view.splash, root + "BMP/LOGO32.BMP");
  EXPECT_EQ(qz::GetPrivateProfileString("LAST_NEG", "LAST_NEG", "", qz::QuartzelIni()),
            "HOTEL PLAYA");
  // Leaving stamps the exit.
  ui.AnswerNext(1);
  main->SendMessage(qz::kWmClose);
  EXPECT_TRUE(view.ended);
  EXPECT_EQ(Field("LOG_E_S", 1, "HORA_SAL"), "10:30:00");

  // The next login offers the business used last.
  ResetMain();
  view = qz::RecordingView();
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Control(601)->entries[d.Control(601)->current].text, "Hotel Playa");
    d.UserPress(2);
  });
  EXPECT_FALSE(StartMain());
  EXPECT_TRUE(view.ended);
  EXPECT_EQ(Count("LOG_E_S"), 1u);  // a cancelled login leaves no row
}

TEST_F(LoginTest, ThirdFailureEndsAndBlocksOnlyAKnownUsersWrongPassword) {
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    d.UserType(500, "LUIS");
    for (const char* bad : {"X1", "X2", "X3"}) {
      d.UserType(501, bad);
      d.UserPress(1);
    }
  });
  EXPECT_FALSE(StartMain());
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Acceso Denegado", "Acceso Denegado",
                                               "Acceso Denegado", qz::kTooManyAttempts}));
  EXPECT_EQ(Field("USUARIOS", 3, "BLOQUEADO"), "1");
  EXPECT_NE(Field("USUARIOS", 3, "INFO_BLOQ"), "");
  EXPECT_EQ(Count("LOG_E_S"), 0u);

  // An unknown name only ends the dialog; nobody is blocked.
  ResetMain();
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    for (int i = 0; i < 3; ++i) {
      d.UserType(500, "NADIE");
      d.UserType(501, "X");
      d.UserPress(1);
    }
  });
  EXPECT_FALSE(StartMain());
  EXPECT_EQ(Field("USUARIOS", 2, "BLOQUEADO"), "0");

  // The blocked user is refused even with the right password.
  ResetMain();
  Boxes();
  EXPECT_FALSE(LoginAs("LUIS", "LUIS99"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{qz::kUserBlocked});
}

TEST_F(LoginTest, SupervisorGetsTheStampButIsNotBlocked) {
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    d.UserType(500, "SUPER");
    for (int i = 0; i < 3; ++i) {
      d.UserType(501, "MAL");
      d.UserPress(1);
    }
  });
  EXPECT_FALSE(StartMain());
  EXPECT_EQ(Field("USUARIOS", 1, "BLOQUEADO"), "0");
  EXPECT_NE(Field("USUARIOS", 1, "INFO_BLOQ"), "");
}

TEST_F(LoginTest, ZeroAttemptsMeansNoLimit) {
  Set("NEGOCIOS", 1, "INTENTOS", N(0));
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    d.UserType(500, "ANA");
    for (int i = 0; i < 6; ++i) {
      d.UserType(501, "MAL");
      d.UserPress(1);
      EXPECT_FALSE(d.ended());
    }
    d.UserType(501, "ANA123");  // fields stay as typed; the right one gets in
    d.UserPress(1);
  });
  EXPECT_TRUE(StartMain());
  EXPECT_EQ(Boxes().size(), 6u);
}

TEST_F(LoginTest, RequestFileWithOnlyAOneLetsOnlySupervisorsIn) {
  WriteFile("BLOQUEAD.!", "1");
  EXPECT_FALSE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Se encuentra globalmente bloqueado el Acceso al "
                                              "Sistema\rSe le notificará cuando tenga Acceso "
                                              "nuevamente..."});
  ResetMain();
  EXPECT_TRUE(LoginAs("SUPER", "CLAVE"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Se encuentra globalmente bloqueado el Acceso al "
                                              "Sistema\rEn su calidad de Supervisor, se le "
                                              "permite entrar..."});
  // A request for another module of the suite (a digit set) does not apply.
  ResetMain();
  WriteFile("BLOQUEAD.!", "0001");
  EXPECT_TRUE(LoginAs("ANA", "ANA123"));
}

TEST_F(LoginTest, GlobalLockInF_SYS) {
  AddRows("F_SYS", {{{"BLOQUEADO", N(1)}, {"MAXCOMMIT", N(0)}, {"GRAYED", N(1)}}});
  EXPECT_FALSE(LoginAs("ANA", "ANA123"));
  ResetMain();
  Boxes();
  EXPECT_TRUE(LoginAs("SUPER", "CLAVE"));
  ASSERT_EQ(Boxes().size(), 1u);
}

TEST_F(LoginTest, RequestFileAppearingWhileTheDialogWaitsClosesIt) {
  ui.OnDialog("XLOGINUSR", [this](qz::WDIAG& d) {
    d.UserType(500, "ANA");
    clock.Advance(20000);
    ui.Idle();
    EXPECT_FALSE(d.ended());
    WriteFile("BLOQUEAD.!", "1");
    clock.Advance(20000);
    ui.Idle();
    EXPECT_TRUE(d.ended());
  });
  EXPECT_FALSE(StartMain());
}

TEST_F(LoginTest, BadTablesGiveMessagesNotCrashes) {
  // No business rows: the combo is empty and OK says so.
  std::filesystem::remove(bases + "/NEGOCIOS.DBF");
  std::filesystem::remove(bases + "/NEGOCIOS.CDX");
  qztest::CreateSchemaTable(bases, "NEGOCIOS");
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    d.UserType(500, "ANA");
    d.UserType(501, "ANA123");
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  EXPECT_FALSE(StartMain());
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Debe seleccionar una compañía válida"});

  // A corrupt users table: a clear message, the dialog stays, nothing written.
  ResetMain();
  AddRows("NEGOCIOS", {{{"CODIGO", C(Biz(kCentral))}, {"DESCRIP", C("Hotel Central")}}});
  WriteFile("BASES/USUARIOS.DBF", "not a table");
  ui.OnDialog("XLOGINUSR", [](qz::WDIAG& d) {
    d.UserType(500, "ANA");
    d.UserType(501, "ANA123");
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  EXPECT_FALSE(StartMain());
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("No se puede abrir la tabla USUARIOS", 0), 0u) << boxes[0];
}

}  // namespace
}  // namespace shelltest
