// The page model: headers on every page and the 95 % page-break rule.
#include "lib/ui/print_document.h"

#include <gtest/gtest.h>

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

}  // namespace
