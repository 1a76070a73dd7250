// The pick list of foreign-key fields (lookup by code, the search dialog by
// code or by description) and the waiting window of long processes with its
// progress bar and "Cancelar".
#include <gtest/gtest.h>

#include "lib/ui/browse.h"
#include "lib/ui/pick_list.h"
#include "lib/ui/progress.h"
#include "support/ui_session.h"

namespace {

using qztest::Biz;
using qztest::C;

class PickList : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("PUESTOS", {{{"NEGOCIO", C(Biz("B"))}, {"CODIGO", C("REC")}, {"DESCRIP", C("RECEPCION")}},
                       {{"NEGOCIO", C(Biz("A"))}, {"CODIGO", C("AAA")}, {"DESCRIP", C("OTRO")}},
                       {{"NEGOCIO", C(Biz("B"))}, {"CODIGO", C("CAM")}, {"DESCRIP", C("CAMARERA")}},
                       {{"NEGOCIO", C(Biz("B"))}, {"CODIGO", C("CHEF")}, {"DESCRIP", C("ALFA CHEF")}}});
    {
      auto t = xb::Table::Open(file("PUESTOS.DBF"), {nullptr, false, true});
      ASSERT_TRUE((*t)->CreateTag("PUESTOS2", "NEGOCIO+DESCRIP").ok());
    }
    table = std::move(*xb::Table::Open(file("PUESTOS.DBF")));
    source.table = table.get();
    source.business = Biz("B");
    source.code_tag = "PUESTOS";
    source.descrip_tag = "PUESTOS2";
    source.code_picture = "!!!!";
    source.title = "Puestos";
  }
  std::unique_ptr<xb::Table> table;
  qz::PickSource source;
};

TEST_F(PickList, LookupByCodeKeepsTheCallersTable) {
  ASSERT_TRUE(table->SetOrder("PUESTOS2").ok());
  table->GoTop();
  uint32_t at = table->RecNo();
  auto c = qz::PickLookup(source, "cam");  // upper-cased by the picture
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->code, "CAM");
  EXPECT_EQ(c->descrip, "CAMARERA");
  EXPECT_FALSE(qz::PickLookup(source, "AAA"));  // another business
  EXPECT_FALSE(qz::PickLookup(source, "CA"));   // codes are whole, not prefixes
  EXPECT_FALSE(qz::PickLookup(source, "TOOLONGCODE"));
  EXPECT_EQ(table->Order(), "PUESTOS2");
  EXPECT_EQ(table->RecNo(), at);
}

TEST_F(PickList, TheDialogSearchesByCodeOrDescriptionAndReturnsTheRow) {
  qz::WDIAG form(desktop, nullptr, "MODIPUESTO");
  form.INIT();
  ui.OnDialog("OBSEARCH", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.title(), "Puestos");
    qz::WBLISTBOX* g = d.Grid(700);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->RowCount(), 3);  // only the business
    EXPECT_EQ(qz::TrimRight(g->Cell(g->current(), 0)), "CHEF");  // started on the typed code
    d.UserClick(1002);                                           // order by description
    EXPECT_EQ(qz::TrimRight(g->Cell(0, 1)), "ALFA CHEF");
    d.UserType(501, "CAMA");
    d.UserPress(201);
    EXPECT_EQ(qz::TrimRight(g->Cell(g->current(), 0)), "CAM");
    d.UserPress(1);
  });
  auto c = qz::PickFromList(desktop, &form, source, "CH");
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->code, "CAM");
  EXPECT_EQ(table->Order(), "");  // the caller's table as it was (no order)

  ui.OnDialog("OBSEARCH", [&](qz::WDIAG& d) { d.UserPress(2); });
  EXPECT_FALSE(qz::PickFromList(desktop, &form, source));
  // Each opening is one modal dialog, whatever the answer.
  EXPECT_EQ(ui.modal_log(), (std::vector<std::string>{"OBSEARCH", "OBSEARCH"}));
}

TEST_F(PickList, AFieldValidatesTypedCodesAndFillsFromTheList) {
  qz::WDIAG form(desktop, nullptr, "MODIOCUPA");
  form.INIT();
  qz::PickField field(form, 500, 501, 0, source);
  form.SetText(500, "cam");
  EXPECT_TRUE(field.Validate());
  EXPECT_EQ(form.Text(501), "CAMARERA");
  form.SetText(500, "XYZ");
  EXPECT_FALSE(field.Validate());
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código no existe"});
  EXPECT_EQ(form.Text(501), "");
  EXPECT_EQ(form.focus(), 500);
  form.SetText(500, "");
  EXPECT_FALSE(field.Validate(false));  // blank, and the field is not optional
  field.optional = true;
  EXPECT_TRUE(field.Validate(false));

  ui.OnDialog("OBSEARCH", [&](qz::WDIAG& d) {
    d.Grid(700)->Select(2);  // REC
    d.UserPress(1);
  });
  EXPECT_TRUE(field.Choose());
  EXPECT_EQ(form.Text(500), "REC");
  EXPECT_EQ(form.Text(501), "RECEPCION");
  EXPECT_EQ(field.value()->code, "REC");
}

TEST_F(PickList, ProgressShowsTheBarAndStopsWhenCancelled) {
  int done = 0;
  {
    qz::Progress p(nullptr, "Procesando Datos...");
    p.SetTotal(1000);
    ui.CancelWaitAt(400);
    for (int i = 0; i < 1000; ++i) {
      if (!p.Step()) break;
      ++done;
    }
    EXPECT_TRUE(ui.wait_open());
    EXPECT_TRUE(p.Cancelled());
  }
  EXPECT_FALSE(ui.wait_open());
  EXPECT_GE(done, 399);
  EXPECT_LE(done, 410);  // stopped at the next redraw after the press
  ASSERT_FALSE(ui.progress().empty());
  EXPECT_EQ(ui.progress().back().total, 1000);
  EXPECT_TRUE(ui.progress().back().can_cancel);
  // A redraw per percent at most: a long loop does not flood the window.
  EXPECT_LE(ui.progress().size(), 45u);

  // Without a cancel button the press is never seen.
  ui.CancelWaitAt(0);
  qz::Progress fixed(nullptr, "Un momento por favor...", /*can_cancel=*/false);
  fixed.SetTotal(10);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(fixed.Step());
  EXPECT_FALSE(fixed.Cancelled());
}

}  // namespace
