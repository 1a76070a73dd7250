// The page model: headers on every page and the 95 % page-break rule, the
// report frame with page numbers, aligned texts, rules, boxes and logos.
#include "lib/ui/print_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lib/settings/globals.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace {

TEST(PageWriter, BreaksBeforeTheNextLinePasses95PercentAndRepeatsTheHeader) {
  qz::PageWriter w("Prueba", /*lines_per_page=*/20, /*columns=*/40);
  w.SetHeader([](qz::PageWriter& p, int page) {
    p.Say(0, "DISTRIBUCIÓN", qz::PageWriter::kBold);
    p.Say(30, "Pág. " + std::to_string(page));
    p.NewLine();
    p.Say(0, "----", qz::PageWriter::kUnderline);
    p.NewLine();
  });
  for (int i = 0; i < 30; ++i) {
    w.Say(2, "linea " + std::to_string(i));
    w.NewLine();
  }
  qz::PrintDocument d = w.Finish();
  ASSERT_EQ(d.pages.size(), 2u);
  auto p1 = d.PageLines(0);
  // 20 lines: line n ends at n+1; the next line must end within 19 (95 %).
  ASSERT_EQ(p1.size(), 19u);
  EXPECT_EQ(p1[0], "DISTRIBUCIÓN                  Pág. 1");
  EXPECT_EQ(p1[2], "  linea 0");
  EXPECT_EQ(p1[18], "  linea 16");
  auto p2 = d.PageLines(1);
  EXPECT_EQ(p2[0], "DISTRIBUCIÓN                  Pág. 2");
  EXPECT_EQ(p2[2], "  linea 17");
  EXPECT_TRUE(d.pages[0].items[0].bold);
  EXPECT_TRUE(d.pages[0].items[2].underline);
}

TEST(PageWriter, ExplicitBreaksAndAnEmptyDocumentHaveOnePageAtLeast) {
  qz::PageWriter w("Vacío");
  EXPECT_EQ(w.Finish().pages.size(), 1u);
  qz::PageWriter v("Dos");
  v.Say(0, "a");
  v.NewPage();
  v.Say(5, "b");
  auto d = v.Finish();
  ASSERT_EQ(d.pages.size(), 2u);
  EXPECT_EQ(d.PageLines(1), std::vector<std::string>{"     b"});
}

TEST(PageWriter, TheReportFrameNumbersEveryPageAndKeepsTheBodyAboveItsFooter) {
  qztest::FakeClock clock;
  qz::ResetGlobals();
  qz::G().XPRINT_FONT = "Calibri";
  qz::PageWriter w("x", /*lines_per_page=*/20, /*columns=*/40);
  w.UseReportFrame({"DERECHOS DE ACCESO", "Usuario: ANA"}, "");
  w.SetHeader([](qz::PageWriter& p, int) {
    p.Say(0, "Opción");
    p.SayRight(40, "Monto");
    p.NewLine();
  });
  for (int i = 0; i < 20; ++i) {
    w.Say(0, "fila " + std::to_string(i));
    w.SayRight(40, std::to_string(i * 100) + ".00");
    w.NewLine();
  }
  qz::PrintDocument d = w.Finish();
  EXPECT_EQ(d.title, "DERECHOS DE ACCESO");
  EXPECT_EQ(d.font_family, "Calibri");
  ASSERT_EQ(d.pages.size(), 2u);
  auto p1 = d.PageLines(0);
  ASSERT_EQ(p1.size(), 20u);
  EXPECT_EQ(p1[0], "           DERECHOS DE ACCESO");  // centred in 40 columns
  EXPECT_EQ(p1[1], "              Usuario: ANA");
  EXPECT_EQ(p1[3], "Opción                             Monto");
  EXPECT_EQ(p1[4], "fila 0                              0.00");
  // 20 lines less the 2 of the footer: the body ends where 95 % of 18 ends.
  EXPECT_EQ(p1[16], "fila 12                          1200.00");
  EXPECT_EQ(p1[17], "");
  EXPECT_EQ(p1[19], "08/12/26 10:30:00          Página 1 de 2");
  EXPECT_EQ(d.PageLines(1)[19], "08/12/26 10:30:00          Página 2 de 2");
  EXPECT_EQ(d.PageLines(1)[4], "fila 13                          1300.00");
  // Who printed what: the frame, the column headings, the body.
  const auto& items = d.pages[0].items;
  EXPECT_EQ(items[0].role, qz::PrintRole::kFrame);
  EXPECT_EQ(items[2].role, qz::PrintRole::kHeading);
  EXPECT_EQ(items[4].role, qz::PrintRole::kBody);
  EXPECT_EQ(d.pages[0].rules.size(), 1u);  // the footer's rule
}

TEST(PageWriter, BoxesLoseTheirGreyWhenTheInstallationSaysSoAndLogosComeFromBmp) {
  qztest::TempDir dir;
  qz::ResetGlobals();
  qz::G().PATH = dir.path() + "/";
  std::filesystem::create_directories(dir.path() + "/BMP");
  std::ofstream(dir.path() + "/BMP/korvalis.bmp") << "BM";
  qz::PageWriter grey("a");
  grey.Box(2, 0, 10, 30);
  grey.Logo("KORVALIS.BMP", 0, 3, 8);
  auto d = grey.Finish();
  ASSERT_EQ(d.pages[0].boxes.size(), 1u);
  EXPECT_EQ(d.pages[0].boxes[0].shade, 30);
  EXPECT_EQ(d.pages[0].boxes[0].bottom, 2);
  ASSERT_EQ(d.pages[0].images.size(), 1u);
  EXPECT_EQ(d.pages[0].images[0].path, dir.path() + "/BMP/korvalis.bmp");

  qz::G().XGRAYED = 0;
  qz::PageWriter plain("b");
  plain.Box(1, 0, 10, 30);                  // the frame stays, the grey goes
  plain.Box(1, 0, 10, 30, /*frame=*/false);  // nothing left to draw
  auto e = plain.Finish();
  ASSERT_EQ(e.pages[0].boxes.size(), 1u);
  EXPECT_EQ(e.pages[0].boxes[0].shade, 0);
  qz::ResetGlobals();
}

}  // namespace
