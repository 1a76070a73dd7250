// Digital signatures: the signature password is stored scrambled like the
// users' passwords and never comes back into the form; permissions, amounts
// and the stage and department selections round-trip; duplicate codes use
// the add and modify messages.
#include "payroll/usr_req.h"

#include <gtest/gtest.h>

#include "format_session.h"
#include "lib/security/passwords.h"
#include "payroll/e_usrreq.h"

namespace {

using qz::E_USRREQ;
using qztest::C;
using qztest::N;

class UsrReqTest : public qztest::FormatSession {
 protected:
  void SetUp() override {
    Create("USR_REQ", {{{"NEGOCIO", C(hc)},
                        {"CODIGO", C("01")},
                        {"NOMBRE", C("ANA MORA")},
                        {"CLAVE", C(qz::ENCRYPT_STRING("vieja", 1) + "     ")},
                        {"CHEQUES", N(1)},
                        {"ETAPAS_REQ", C("[0002]")},
                        {"DEPARTS", C("[ADM][GONE]")}}});
    Create("ETAP_PLA", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("0001")}, {"DESCRIP", C("Solicitud")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("0002")}, {"DESCRIP", C("Revisi\xf3n")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("0009")}, {"DESCRIP", C("Playa")}}});
    Create("ENC_DEPT", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("ADM")}, {"DESCRIP", C("Administraci\xf3n")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("COC")}, {"DESCRIP", C("Cocina")}}});
    screen = OpenFromMenu<qz::USR_REQ>("USR_REQ", "USR_REQ");
    ASSERT_NE(screen, nullptr);
  }
  E_USRREQ* Editor() { return Window<E_USRREQ>("AGREGAR_USR_REQ"); }
  std::string StoredClave(const std::string& code) { return Raw("USR_REQ", code, "CLAVE"); }

  qz::USR_REQ* screen = nullptr;
};

TEST_F(UsrReqTest, AddStoresThePasswordScrambledAndTheSelectionsBracketed) {
  ASSERT_TRUE(ui.Menu("Agregar"));
  E_USRREQ* e = Editor();
  ASSERT_NE(e, nullptr);
  // The password control is drawn masked.
  const auto& opts = e->Control(E_USRREQ::kClave)->node->options;
  EXPECT_NE(std::find(opts.begin(), opts.end(), "password"), opts.end());
  EXPECT_EQ(Texts(e, E_USRREQ::kEtapasCxp), (std::vector<std::string>{"Solicitud", "Revisión"}));
  EXPECT_EQ(Texts(e, E_USRREQ::kDeparts), (std::vector<std::string>{"Administración", "Cocina"}));

  ui.Type(e, E_USRREQ::kCodigo, "01");
  ui.Type(e, E_USRREQ::kNombre, "Luis Vega");
  ui.Type(e, E_USRREQ::kClave, "firma123");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código  ya definido..."});  // two blanks
  ui.Type(e, E_USRREQ::kCodigo, "02");
  ui.Click(e, E_USRREQ::kFirstFlag);       // SOBREGIRAR
  ui.Click(e, E_USRREQ::kFirstFlag + 11);  // ART_HOTEL
  ui.Type(e, E_USRREQ::kMontoSob, "1,500,000.50");
  ui.Type(e, E_USRREQ::kEspera, "15");
  ui.Type(e, E_USRREQ::kEmail, "luis@hotel.cr");
  e->UserSelect(E_USRREQ::kEtapasCxp, "Solicitud", true);
  e->UserSelect(E_USRREQ::kEtapasCxp, "Revisión", true);
  e->UserSelect(E_USRREQ::kDeparts, "Cocina", true);
  e->UserSelect(E_USRREQ::kNotifica, "Revisión", true);
  ui.Press(e, 1);
  ASSERT_EQ(Editor(), nullptr);

  const std::string stored = StoredClave("02");
  EXPECT_EQ(stored.size(), 10u);
  EXPECT_EQ(stored.find("firma123"), std::string::npos);  // never in clear
  EXPECT_TRUE(qz::PasswordMatches("firma123", stored, 1));
  EXPECT_EQ(Rows("USR_REQ",
                 {"CODIGO", "NOMBRE", "SOBREGIRAR", "CHEQUES", "ART_HOTEL", "MONTO_SOB", "ESPERA",
                  "ETAPAS_CXP", "ETAPAS_REQ", "DEPARTS", "NOTIFICA", "EMAIL"})
                .back(),
            "02|Luis Vega|1|0|1|1500000.500000|15|[0001][0002]||[COC]|[0002]|luis@hotel.cr");
}

TEST_F(UsrReqTest, ModifyNeverShowsThePasswordAndABlankFieldKeepsIt) {
  screen->oB()->Select(0);
  ui.Menu("Modificar");
  E_USRREQ* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(E_USRREQ::kClave), "");
  EXPECT_EQ(e->Text(E_USRREQ::kNombre), "ANA MORA");
  EXPECT_EQ(e->Check(E_USRREQ::kFirstFlag + 2), 1);  // CHEQUES
  // Selections come back; a department that no longer exists is dropped.
  EXPECT_TRUE(e->Control(E_USRREQ::kEtapasReq)->entries[1].selected);
  EXPECT_FALSE(e->Control(E_USRREQ::kEtapasReq)->entries[0].selected);
  EXPECT_TRUE(e->Control(E_USRREQ::kDeparts)->entries[0].selected);
  ui.Type(e, E_USRREQ::kNombre, "ANA MORA SOLIS");
  ui.Press(e, 1);
  EXPECT_TRUE(qz::PasswordMatches("vieja", StoredClave("01"), 1));
  EXPECT_EQ(Rows("USR_REQ", {"NOMBRE", "DEPARTS"})[0], "ANA MORA SOLIS|[ADM]");

  // A new password replaces it; one that cannot be stored is refused.
  ui.Menu("Modificar");
  e = Editor();
  ui.Type(e, E_USRREQ::kClave, "nueva");
  ui.Press(e, 1);
  EXPECT_TRUE(qz::PasswordMatches("nueva", StoredClave("01"), 1));
  ui.Menu("Modificar");
  e = Editor();
  EXPECT_EQ(e->Text(E_USRREQ::kClave), "");
  ui.Type(e, E_USRREQ::kClave, " x");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"La clave contiene un carácter que no se puede guardar"});
  EXPECT_TRUE(qz::PasswordMatches("nueva", StoredClave("01"), 1));
  ui.Press(e, 2);
}

TEST_F(UsrReqTest, DeleteAsksTheItemQuestion) {
  screen->oB()->Select(0);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "¿Desea borrar el item seleccionado?");
  EXPECT_TRUE(Rows("USR_REQ", {"CODIGO"}).empty());
}

}  // namespace
