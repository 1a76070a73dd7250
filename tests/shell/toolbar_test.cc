// The business toolbar: changing business with the company-access dialog
// (accepted, cancelled, closed by its frame), the rights and globals that
// follow, and the scheduled prices.
#include <gtest/gtest.h>

#include "shell/keyboard.h"
#include "shell/prices.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

class ToolbarTest : public ShellTest {
 protected:
  void SetUp() override {
    AddUser(kCentral, 2, "ANA", "ANA123");
    Grant(kCentral, 2, 2662);
    Grant(kCentral, 2, 2663);
    AddUser(kPlaya, 1, "JEFE", "JEFE01", true);
    AddUser(kPlaya, 7, "ANA", "PLAYA1");  // no MENUS rows in this business
    ASSERT_TRUE(LoginAs("ANA", "ANA123"));
    bar = main->toolbar();
    ASSERT_NE(bar, nullptr);
  }
  void Access(const std::string& name, const std::string& password) {
    ui.OnDialog("CHANGE_NEG", [this, name, password](qz::WDIAG& d) {
      EXPECT_FALSE(bar->window_enabled());
      d.UserType(500, name);
      d.UserType(501, password);
      d.UserPress(1);
    });
  }
  void Choose(const std::string& descrip) {
    ASSERT_TRUE(bar->ChooseBusiness(descrip));
    main->DispatchPosted();
  }
  std::string Selected() {
    return bar->Control(qz::MToolBar::kBusiness)
        ->entries[bar->Control(qz::MToolBar::kBusiness)->current]
        .text;
  }

  qz::MToolBar* bar = nullptr;
};

TEST_F(ToolbarTest, CancellingRestoresBusinessAndRights) {
  EXPECT_EQ(bar->Text(qz::MToolBar::kUserBox), "ANA");
  ui.OnDialog("CHANGE_NEG", [this](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(500), "ANA");
    EXPECT_TRUE(Greyed(2662));  // withdrawn while the change is pending
    d.UserPress(2);
  });
  Choose("Hotel Playa");
  EXPECT_EQ(Selected(), "Hotel Central");
  EXPECT_EQ(bar->Cur_Neg, Biz(kCentral));
  EXPECT_FALSE(Greyed(2662));
  EXPECT_EQ(qz::G().XU_COMP, Biz(kCentral));
  EXPECT_TRUE(bar->window_enabled());
}

TEST_F(ToolbarTest, ClosingTheDialogByItsFrameCountsAsCancel) {
  // Neither button: the window system just ends the dialog.
  ui.OnDialog("CHANGE_NEG", [](qz::WDIAG& d) { d.ENDDIALOG(0); });
  Choose("Hotel Playa");
  EXPECT_EQ(Selected(), "Hotel Central");
  EXPECT_FALSE(Greyed(2662));
  EXPECT_EQ(bar->uName, "ANA");
}

TEST_F(ToolbarTest, SupervisorOfTheNewBusinessGetsEverything) {
  Access("jefe", "jefe01");
  Choose("Hotel Playa");
  EXPECT_EQ(qz::G().XU_COMP, Biz(kPlaya));
  EXPECT_EQ(bar->Cur_Neg, Biz(kPlaya));
  EXPECT_EQ(qz::G().XSUPERACCESS, 1);
  EXPECT_EQ(bar->Text(qz::MToolBar::kUserBox), "JEF");
  for (int id : {2000, 2500, 2662, 4756}) EXPECT_FALSE(Greyed(id)) << id;
  EXPECT_EQ(main->CurrentBusiness(), Biz(kPlaya));
}

TEST_F(ToolbarTest, UserWithoutRowsInTheNewBusinessKeepsOnlyTheBasics) {
  Access("ANA", "PLAYA1");
  Choose("Hotel Playa");
  EXPECT_EQ(qz::G().XUSER_NUMBER, 7);
  std::vector<int> allowed;
  for (int id = 2000; id <= 7000; ++id)
    if (!main->rights().GET_RIGHTS(id)) allowed.push_back(id);
  EXPECT_EQ(allowed, std::vector<int>{2009});
}

TEST_F(ToolbarTest, WrongPasswordsCountAgainstTheNewBusiness) {
  ui.OnDialog("CHANGE_NEG", [](qz::WDIAG& d) {
    d.UserType(500, "JEFE");
    for (int i = 0; i < 3; ++i) {
      d.UserType(501, "MALA");
      d.UserPress(1);
    }
    EXPECT_TRUE(d.ended());
  });
  Choose("Hotel Playa");
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Acceso Denegado", "Acceso Denegado",
                                               "Acceso Denegado", qz::kTooManyAttempts}));
  EXPECT_EQ(Selected(), "Hotel Central");
  EXPECT_FALSE(Greyed(2662));
  EXPECT_EQ(Field("USUARIOS", 2, "BLOQUEADO"), "0");  // a supervisor is not blocked
}

TEST_F(ToolbarTest, TheKeyboardTypesIntoTheFieldThatHadTheFocus) {
  ui.OnDialog("CHANGE_NEG", [this](qz::WDIAG& d) {
    d.SetFocus(501);
    ui.OnDialog("TECLADO", [](qz::WDIAG& k) {
      for (char c : std::string("JEFE01")) {
        const std::string keys = qz::kKeyboardKeys;
        k.UserPress(qz::kFirstKey + static_cast<int>(keys.find(c)));
      }
      k.UserPress(qz::kKeySpace);
      k.UserPress(qz::kKeyBackspace);
      EXPECT_EQ(k.Text(qz::kKeyboardText), "JEFE01");
      k.UserPress(1);
    });
    d.UserPress(201);
    EXPECT_EQ(d.Text(501), "JEFE01");
    d.UserType(500, "JEFE");
    d.UserPress(1);
  });
  Choose("Hotel Playa");
  EXPECT_EQ(qz::G().XU_COMP, Biz(kPlaya));
}

// A screen with the positions' "Editar" entries that records what ran.
class PositionsLike : public qz::WDIAG {
 public:
  explicit PositionsLike(qz::Desktop& d) : WDIAG(d, nullptr, "VIEW_ROLLBACK") {}
  void OnActivate() override { desktop().MENUSET(2662, this, qz::G().XU_COMP); }
  bool DoOperation(const std::string& name) override {
    ran.push_back(name);
    return true;
  }
  std::vector<std::string> ran;
};

TEST_F(ToolbarTest, EditEntriesFollowTheRightsOfTheBusinessInForce) {
  auto owned = std::make_unique<PositionsLike>(ui.desktop());
  PositionsLike* screen = owned.get();
  ui.desktop().Adopt(std::move(owned));
  ASSERT_TRUE(screen->CREATE().ok());
  auto agregar = [this] { return main->menu_bar().FindPath({"Editar", "Agregar"}); };
  ASSERT_NE(agregar(), nullptr);
  EXPECT_FALSE(agregar()->greyed());

  // ANA only consults positions in the other business.
  ui.OnDialog("CHANGE_NEG", [&](qz::WDIAG& d) {
    EXPECT_TRUE(agregar()->greyed());  // withdrawn while the change is pending
    EXPECT_FALSE(ui.Menu("Agregar"));
    d.UserType(500, "ANA");
    d.UserType(501, "PLAYA1");
    d.UserPress(1);
  });
  Choose("Hotel Playa");
  EXPECT_TRUE(agregar()->greyed());
  EXPECT_FALSE(ui.Menu("Agregar"));
  EXPECT_FALSE(main->Command(2663));
  EXPECT_TRUE(screen->ran.empty());

  Access("ANA", "ANA123");
  Choose("Hotel Central");
  EXPECT_FALSE(agregar()->greyed());
  EXPECT_TRUE(ui.Menu("Agregar"));
  EXPECT_EQ(screen->ran, std::vector<std::string>{"ADD_PUESTOS"});
}

class PricesTest : public ShellTest {
 protected:
  void SetUp() override {
    for (const char* t : {"F_INV", "ENC_PPRE", "DET_PPRE", "DET_PREC"})
      qztest::CreateSchemaTable(bases, t);
    AddRows("F_INV", {{{"NEGOCIO", C(Biz(kCentral))}, {"PREC_AUTO", N(1)}}});
    auto header = [&](const char* code, xb::Value date, const char* time) {
      return Row{{"NEGOCIO", C(Biz(kCentral))}, {"CODIGO", C(code)},
                 {"PENDIENTE", N(1)},           {"F_APLICA", date},
                 {"H_APLICA", C(time)},         {"T_PRECIO", C("01")}};
    };
    AddRows("ENC_PPRE",
            {header("AYER", D(2026, 12, 7), "23:00:00"), header("HOY", D(2026, 12, 8), "10:00:00"),
             header("LUEGO", D(2026, 12, 8), "18:00:00")});
    AddRows("DET_PPRE", {{{"NEGOCIO", C(Biz(kCentral))},
                          {"CODIGO", C("AYER")},
                          {"ARTICULO", C("CAFE")},
                          {"PRECIO", N(1500)}},
                         {{"NEGOCIO", C(Biz(kCentral))},
                          {"CODIGO", C("HOY")},
                          {"ARTICULO", C("TE")},
                          {"PRECIO", N(900)}},
                         {{"NEGOCIO", C(Biz(kCentral))},
                          {"CODIGO", C("LUEGO")},
                          {"ARTICULO", C("CAFE")},
                          {"PRECIO", N(2000)}}});
    AddRows("DET_PREC", {{{"NEGOCIO", C(Biz(kCentral))},
                          {"T_PRECIO", C("01")},
                          {"ARTICULO", C("CAFE")},
                          {"PRECIO", N(1000)}},
                         {{"NEGOCIO", C(Biz(kCentral))},
                          {"T_PRECIO", C("01")},
                          {"ARTICULO", C("TE")},
                          {"PRECIO", N(800)}}});
    AddUser(kCentral, 2, "ANA", "ANA123");
  }
};

TEST_F(PricesTest, DueHeadersAreAppliedAtTheNextTick) {
  ASSERT_TRUE(LoginAs("ANA", "ANA123"));
  EXPECT_EQ(main->toolbar()->Prec_Auto, 1);
  EXPECT_EQ(Field("DET_PREC", 1, "PRECIO"), "1000");
  Wait(30000);
  // Yesterday's list, although its time of day (23:00) is later than now.
  EXPECT_EQ(Field("DET_PREC", 1, "PRECIO"), "1500");
  EXPECT_EQ(Field("DET_PREC", 2, "PRECIO"), "900");
  EXPECT_EQ(Field("ENC_PPRE", 1, "PENDIENTE"), "0");
  EXPECT_EQ(Field("ENC_PPRE", 1, "F_PROCESA"), "20261208");
  EXPECT_EQ(Field("ENC_PPRE", 2, "H_PROCESA"), "10:30:00");
  EXPECT_EQ(Field("ENC_PPRE", 3, "PENDIENTE"), "1");  // 18:00 has not come
  // A structure change holds the job back.
  qz::G().IN_CH_STRUC = 1;
  clock.SetNow({2026, 12, 8, 19, 0, 0, 0});
  Wait(30000);
  EXPECT_EQ(Field("ENC_PPRE", 3, "PENDIENTE"), "1");
  qz::G().IN_CH_STRUC = 0;
  Wait(30000);
  EXPECT_EQ(Field("ENC_PPRE", 3, "PENDIENTE"), "0");
  EXPECT_EQ(Field("DET_PREC", 1, "PRECIO"), "2000");
}

}  // namespace
}  // namespace shelltest
