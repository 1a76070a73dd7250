// Password lifetime at login and the two ways of changing a password.
#include <gtest/gtest.h>

#include "shell/password_change.h"
#include "lib/security/passwords.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

class PasswordTest : public ShellTest {
 protected:
  void SetUp() override { Set("NEGOCIOS", 1, "DIAS_CLAVE", N(30)); }
  // ANA, whose password was last changed `days` days before 8 December 2026.
  void AddAna(int days, Row extra = {}) {
    Row r = {{"F_CLAVE", xb::Value::Date(xb::JulianFromYmd(2026, 12, 8) - days)},
             {"DIAS_CLAVE", N(0)},
             {"PERMISO1", N(1)}};
    for (auto& [k, v] : extra) r[k] = v;
    AddUser(kCentral, 2, "ANA", "ANA123", false, r);
  }
  void Change(const std::string& current, const std::string& nuevo, const std::string& verify,
              const char* tmpl = "ACT_CLAVE") {
    ui.OnDialog(tmpl, [current, nuevo, verify](qz::WDIAG& d) {
      d.UserType(qz::kPwCurrent, current);
      d.UserType(qz::kPwNew, nuevo);
      d.UserType(qz::kPwVerify, verify);
      d.UserPress(1);
      if (!d.ended()) d.UserPress(2);
    });
  }
};

TEST_F(PasswordTest, ThirtyDaysIsStillValidThirtyOneAsksForANewOne) {
  AddAna(30);
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(ui.modal_log(), std::vector<std::string>{"XLOGINUSR"});

  ResetMain();
  Set("USUARIOS", 1, "F_CLAVE", xb::Value::Date(xb::JulianFromYmd(2026, 12, 8) - 31));
  Change("ANA123", "NUEVA1", "NUEVA1");
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(Field("USUARIOS", 1, "PASSWORD"), qz::ENCRYPT_STRING("NUEVA1", 1));
  EXPECT_EQ(Field("USUARIOS", 1, "F_CLAVE"), "20261208");
  EXPECT_EQ(Count("ADASIPA"), 1u);
  EXPECT_EQ(Field("ADASIPA", 1, "ORIGEN"), "1");
  EXPECT_EQ(Field("ADASIPA", 1, "P2"), qz::ENCRYPT_STRING("NUEVA1", 1));
  EXPECT_EQ(Field("ADASIPA", 1, "NOMBRE"), "ANA");

  // Not changing it ends the program through the normal exit.
  ResetMain();
  Set("USUARIOS", 1, "F_CLAVE", xb::Value::Date(xb::JulianFromYmd(2026, 11, 1)));
  ui.OnDialog("ACT_CLAVE", [](qz::WDIAG& d) { d.UserPress(2); });
  view = qz::RecordingView();
  EXPECT_FALSE(LoginAs("ANA", "NUEVA1"));
  EXPECT_TRUE(view.ended);
  EXPECT_NE(Field("LOG_E_S", 3, "HORA_SAL"), "");
}

TEST_F(PasswordTest, ChecksInOrder) {
  AddAna(40);
  ui.OnDialog("ACT_CLAVE", [](qz::WDIAG& d) {
    auto attempt = [&](const char* c, const char* n, const char* v) {
      d.UserType(qz::kPwCurrent, c);
      d.UserType(qz::kPwNew, n);
      d.UserType(qz::kPwVerify, v);
      d.UserPress(1);
    };
    attempt("ANA123", "AB", "AB");
    attempt("ANA123", "NUEVA1", "NUEVA2");
    attempt("ANA123", "ANA123", "ANA123");
    attempt("ANA123", "AB#", "AB#");  // scrambles to a trailing blank
    EXPECT_FALSE(d.ended());
    attempt("ana123", "nueva1", "nueva1");  // typed in lower case: same passwords
    EXPECT_TRUE(d.ended());
  });
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "La Clave Nueva debe tener al menos 3 dígitos",
                         "La Clave de Acceso Nueva no coincide con la verificación",
                         "La Clave de Acceso Nueva no puede ser igual a la actual",
                         "La Clave Nueva no puede empezar ni terminar con ese carácter",
                         "La Clave fue actualizada con Éxito"}));
}

TEST_F(PasswordTest, LongestMinimumWinsAndAWrongCurrentPasswordCounts) {
  AddAna(40, {{"SIZE_CLAVE", N(5)}});
  Set("NEGOCIOS", 1, "SIZE_CLAVE", N(4));
  ui.OnDialog("ACT_CLAVE", [](qz::WDIAG& d) {
    d.UserType(qz::kPwCurrent, "ANA123");
    d.UserType(qz::kPwNew, "ABCD");
    d.UserType(qz::kPwVerify, "ABCD");
    d.UserPress(1);
    for (int i = 0; i < 3; ++i) {
      d.UserType(qz::kPwCurrent, "MALA");
      d.UserType(qz::kPwNew, "ABCDE");
      d.UserPress(1);
    }
    EXPECT_TRUE(d.ended());
  });
  EXPECT_FALSE(LoginAs("ANA", "ANA123"));
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[0], "La Clave Nueva debe tener al menos 5 dígitos");
  EXPECT_EQ(boxes[1], "La Clave de Acceso Actual no coincide con la verificación");
  EXPECT_EQ(boxes[4], qz::kTooManyAttempts);
  EXPECT_EQ(Field("USUARIOS", 1, "BLOQUEADO"), "1");
}

TEST_F(PasswordTest, MenuChangeNeedsThePermission) {
  AddAna(0, {{"PERMISO1", N(0)}});
  AddUser(kCentral, 3, "LUIS", "LUIS99", false, {{"PERMISO1", N(1)}});
  Grant(kCentral, 2, 2904);
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_TRUE(main->Command(2904));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"No es permitido el Cambio de Clave..."});

  ResetMain();
  ASSERT_TRUE(LoginAs("LUIS", "LUIS99"));
  Change("LUIS99", "LUIS00", "LUIS00", "CH_PASSWD");
  ASSERT_TRUE(main->Choose({"&Archivo", "Mantenimientos", "Cambio de Clave de Acceso"}));
  EXPECT_EQ(Field("USUARIOS", 2, "PASSWORD"), qz::ENCRYPT_STRING("LUIS00", 1));
  EXPECT_EQ(Field("ADASIPA", 1, "ORIGEN"), "2");
}

TEST_F(PasswordTest, UsingUpTheAttemptsFromTheMenuLocksTheApplication) {
  AddAna(0);
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  ui.OnDialog("CH_PASSWD", [](qz::WDIAG& d) {
    for (int i = 0; i < 3; ++i) {
      d.UserType(qz::kPwCurrent, "MALA");
      d.UserType(qz::kPwNew, "OTRA12");
      d.UserType(qz::kPwVerify, "OTRA12");
      d.UserPress(1);
    }
  });
  ASSERT_TRUE(main->Command(2904));
  EXPECT_FALSE(view.enabled);
  EXPECT_EQ(Boxes().back(), "APLICACION BLOQUEADA!");
  EXPECT_EQ(Field("USUARIOS", 1, "BLOQUEADO"), "1");
}

}  // namespace
}  // namespace shelltest
