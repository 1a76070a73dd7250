// The data-entry columns of the business: twenty lists of the business's
// column types after "  Sin Uso...", what is stored from each choice, and a
// stored code that is no longer a column type.
#include "payroll/entry_columns/def_ch_c.h"

#include <gtest/gtest.h>

#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"
#include "support/ui_session.h"

namespace {

using qz::DEF_CH_C;
using qztest::Biz;
using qztest::C;

const std::string kCentral = Biz("HOTEL CENTRAL"), kPlaya = Biz("HOTEL PLAYA"),
                  kNuevo = Biz("HOTEL NUEVO");

class DefChCTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("ENC_TIP", {{{"NEGOCIO", C(kCentral)}, {"CODIGO", C("01")}, {"DESCRIP", C("SALARIO")}},
                       {{"NEGOCIO", C(kCentral)}, {"CODIGO", C("05")}, {"DESCRIP", C("EXTRAS ")}},
                       {{"NEGOCIO", C(kPlaya)}, {"CODIGO", C("07")}, {"DESCRIP", C("PROPINAS")}}});
    Create("F_PLAN", {{{"NEGOCIO", C(kCentral)}, {"COD_COL1", C("05")}, {"COD_COL2", C("99")}},
                      {{"NEGOCIO", C(kPlaya)}, {"COD_COL1", C("07")}}});
  }
  DEF_CH_C* Open(const std::string& business) {
    return qz::OpenScreen<DEF_CH_C>(desktop, "DEF_CH_C", business);
  }
  std::string Slot(const std::string& business, int n) {
    auto t = xb::Table::Open(file("F_PLAN.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldBytes(**t, "NEGOCIO") == business)
        return qz::FieldBytes(**t, DEF_CH_C::SlotField(n));
    return "<none>";
  }
  static std::optional<std::string> Chosen(DEF_CH_C* s, int n) {
    return qz::CCOMBOBOX(*s, DEF_CH_C::kFirstColumn + n - 1).CURCARGO();
  }
};

TEST_F(DefChCTest, EveryListOffersTheBusinessColumnsAndShowsTheStoredChoice) {
  DEF_CH_C* s = Open(kCentral);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->title(), "Definición Columnas Edición Datos x Departamento");
  for (int n = 1; n <= DEF_CH_C::kSlots; ++n) {
    const auto& entries = s->Control(DEF_CH_C::kFirstColumn + n - 1)->entries;
    ASSERT_EQ(entries.size(), 3u) << n;
    EXPECT_EQ(entries[0].text, "  Sin Uso...");
    EXPECT_EQ(entries[0].cargo, "  ");
    EXPECT_EQ(entries[2].text, "EXTRAS");
  }
  EXPECT_EQ(Chosen(s, 1), "05");
  // "99" is no longer a column type: no choice shown.
  EXPECT_EQ(Chosen(s, 2), std::nullopt);
  EXPECT_EQ(Chosen(s, 3), "  ");  // empty slots show "Sin Uso"
}

TEST_F(DefChCTest, SavingStoresEachChoiceAndKeepsWhatHasNone) {
  DEF_CH_C* s = Open(kCentral);
  ASSERT_NE(s, nullptr);
  s->UserChoose(DEF_CH_C::kFirstColumn, "  Sin Uso...");
  s->UserChoose(DEF_CH_C::kFirstColumn + 4, "SALARIO");
  s->UserChoose(DEF_CH_C::kFirstColumn + 19, "SALARIO");  // the same column twice
  ui.Press(s, 1);
  EXPECT_EQ(desktop.FindWindow("DEF_CH_C"), nullptr);
  EXPECT_EQ(Slot(kCentral, 1), "  ");
  EXPECT_EQ(Slot(kCentral, 2), "99");  // kept
  EXPECT_EQ(Slot(kCentral, 5), "01");
  EXPECT_EQ(Slot(kCentral, 20), "01");
  EXPECT_EQ(Slot(kPlaya, 1), "07");

  // "Salir" writes nothing.
  s = Open(kCentral);
  s->UserChoose(DEF_CH_C::kFirstColumn + 4, "EXTRAS");
  ui.Press(s, 2);
  EXPECT_EQ(Slot(kCentral, 5), "01");
}

TEST_F(DefChCTest, ABusinessWithoutColumnsOrParametersLosesNothing) {
  DEF_CH_C* s = Open(kNuevo);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Control(DEF_CH_C::kFirstColumn)->entries.size(), 1u);
  s->UserChoose(DEF_CH_C::kFirstColumn, "  Sin Uso...");
  ui.Press(s, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{DEF_CH_C::kNoParameters});
  EXPECT_EQ(desktop.FindWindow("DEF_CH_C"), s);  // still open with the choice
  EXPECT_EQ(Chosen(s, 1), "  ");
  EXPECT_EQ(Slot(kNuevo, 1), "<none>");
}

}  // namespace
