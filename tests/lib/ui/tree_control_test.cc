// Trees as the department, rights and usage-log screens use them: clicks,
// marks that only leaves take, expansion, the standard context entries
// (expand, collapse, clear marks, search, refresh), and a refresh that keeps
// what the user had opened, marked and selected.
#include <gtest/gtest.h>

#include "lib/ui/tree.h"
#include "support/ui_session.h"

namespace {

class TreeControl : public qztest::UiSession {
 protected:
  // Departments grouped by area, as a fill function a screen would give.
  void Fill(qz::TreeModel& t) {
    for (const auto& [area, depts] : areas) {
      auto* a = t.Add(nullptr, area, "AREA " + area);
      for (const auto& d : depts) t.Add(a, d, d, "15");
    }
    t.Sort();
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> areas = {
      {"Hospedaje", {"Recepción", "Ama de llaves"}},
      {"Alimentos", {"Cocina", "Bar", "Restaurante"}}};
  qz::WDIAG w{desktop, nullptr, "LOG_DIAG"};
};

TEST_F(TreeControl, ClickMarkExpandAndTheStandardContextEntries) {
  qz::TreeModel t(w, 800, qz::TreeModel::Mode::kMultiple);
  t.SetFill([this](qz::TreeModel& m) { Fill(m); });
  t.Refresh();
  ASSERT_EQ(t.size(), 7);
  EXPECT_EQ(t.root()->children[0]->text, "Alimentos");  // sorted ascending
  EXPECT_EQ(t.root()->children[0]->children[0]->text, "Bar");
  std::vector<std::string> clicked;
  t.on_click = [&](qz::TreeNode* n) { clicked.push_back(n->cargo); };
  t.Click(t.Find("Cocina"));
  EXPECT_EQ(clicked, std::vector<std::string>{"Cocina"});
  EXPECT_EQ(t.selected()->cargo, "Cocina");

  t.AddStandardContextEntries();
  std::vector<std::string> captions;
  for (const auto& e : t.context_menu()) captions.push_back(e.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Expandir todo", "Contraer todo", "Limpiar marcas",
                                                "Buscar...", "Actualizar"}));
  EXPECT_TRUE(t.ChooseContext(nullptr, qz::kTreeExpandAll));
  EXPECT_TRUE(t.Find("AREA Alimentos")->expanded);
  EXPECT_FALSE(t.Find("Bar")->expanded);  // leaves have nothing to open
  EXPECT_TRUE(t.ChooseContext(nullptr, qz::kTreeCollapseAll));
  EXPECT_FALSE(t.Find("AREA Hospedaje")->expanded);

  EXPECT_TRUE(t.SetMarked(t.Find("AREA Hospedaje"), true));
  EXPECT_EQ(t.MarkedLeaves().size(), 2u);
  EXPECT_TRUE(t.ChooseContext(t.Find("Bar"), qz::kTreeClearMarks));
  EXPECT_TRUE(t.MarkedLeaves().empty());

  // "Buscar..." asks for the text and goes from the selection on, opening
  // the branch of what it finds; a cancelled question changes nothing.
  std::optional<std::string> answer = "RE";
  t.ask_text = [&](const std::string&) { return answer; };
  EXPECT_TRUE(t.ChooseContext(nullptr, qz::kTreeSearch));
  EXPECT_EQ(t.selected()->cargo, "Restaurante");  // after Cocina
  EXPECT_TRUE(t.Find("AREA Alimentos")->expanded);
  EXPECT_TRUE(t.ChooseContext(nullptr, qz::kTreeSearch));
  EXPECT_EQ(t.selected()->cargo, "Recepción");  // the next one, in the other area
  answer.reset();
  EXPECT_TRUE(t.ChooseContext(nullptr, qz::kTreeSearch));
  EXPECT_EQ(t.selected()->cargo, "Recepción");
  EXPECT_EQ(t.Search("no existe"), nullptr);
}

TEST_F(TreeControl, RefreshKeepsWhatTheUserOpenedMarkedAndSelected) {
  qz::TreeModel t(w, 800, qz::TreeModel::Mode::kMultiple);
  t.SetFill([this](qz::TreeModel& m) { Fill(m); });
  t.Refresh();
  t.Expand(t.Find("AREA Alimentos"), true);
  t.SetMarked(t.Find("Bar"), true);
  t.Click(t.Find("Cocina"));
  // Meanwhile a department is added and one removed.
  areas[1].second = {"Cocina", "Bar", "Banquetes"};
  t.Refresh();
  EXPECT_EQ(t.size(), 7);
  ASSERT_NE(t.Find("Banquetes"), nullptr);
  EXPECT_EQ(t.Find("Restaurante"), nullptr);
  EXPECT_TRUE(t.Find("AREA Alimentos")->expanded);
  EXPECT_FALSE(t.Find("AREA Hospedaje")->expanded);
  EXPECT_TRUE(t.Find("Bar")->marked);
  ASSERT_NE(t.selected(), nullptr);
  EXPECT_EQ(t.selected()->cargo, "Cocina");
  // The selected node disappears: nothing stays selected (no dangling node).
  areas[1].second = {"Bar"};
  t.Refresh();
  EXPECT_EQ(t.selected(), nullptr);
  t.AddStandardContextEntries();
  areas[1].second = {"Bar", "Cocina"};
  EXPECT_TRUE(t.ChooseContext(nullptr, qz::kTreeRefresh));  // the context entry
  EXPECT_NE(t.Find("Cocina"), nullptr);
}

TEST_F(TreeControl, SingleSelectionTreesMarkNothingAndRefreshNeedsAFill) {
  qz::TreeModel t(w, 800);
  auto* n = t.Add(nullptr, "Usuarios", "");
  t.Add(n, "Ana", "ANA");
  EXPECT_FALSE(t.SetMarked(t.Find("ANA"), true));
  t.AddStandardContextEntries();
  for (const auto& e : t.context_menu()) EXPECT_NE(e.caption, qz::kTreeClearMarks);
  EXPECT_FALSE(t.ChooseContext(nullptr, qz::kTreeRefresh));  // no fill: nothing to redo
  EXPECT_EQ(t.size(), 2);
  EXPECT_EQ(w.Tree(800), &t);
}

}  // namespace
