// Templates are data checked by one loader: every shipped template loads, and
// the mistakes a hand-edited file can hold are refused with the place named.
#include "lib/ui/dialog_template.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogTemplates, EveryShippedTemplateLoads) {
  qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  auto names = qz::ListDialogTemplates();
  ASSERT_GE(names.size(), 4u);
  for (const auto& n : names) {
    auto t = qz::LoadDialogTemplate(n);
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    EXPECT_FALSE((*t)->Controls().empty()) << n;
  }
  auto m = qz::LoadDialogTemplate("modipuesto");  // file names match in any case
  ASSERT_TRUE(m.ok());
  for (int id : {500, 501, 502, 503, 504, 600, 601, 801, 840, 860, 1011, 1031, 1, 2})
    EXPECT_NE((*m)->Find(id), nullptr) << id;
}

std::string Wrap(const std::string& layout_items) {
  return R"({"name": "X", "title": "T", "layout": {"kind": "column", "items": [)" + layout_items +
         "]}}";
}

TEST(DialogTemplates, MistakesAreRefusedWithTheirPlace) {
  struct Case {
    std::string json, expect;
  } cases[] = {
      {Wrap(R"({"kind": "edit", "id": 500, "widht": 4})"), "unknown key \"widht\""},
      {Wrap(R"({"kind": "edit", "id": 500}, {"kind": "button", "id": 500})"), "repeats id 500"},
      {Wrap(R"({"kind": "slider", "id": 5})"), "unknown kind \"slider\""},
      {Wrap(R"({"kind": "edit"})"), "needs an id"},
      {Wrap(R"({"kind": "row", "items": []})"), "container without items"},
      {Wrap(R"({"kind": "tab", "caption": "A", "items": [{"kind": "label"}]})"),
       "tab outside tabs"},
      {Wrap(R"({"kind": "edit", "id": "500"})"), "id must be a whole number"},
      {R"({"name": "X", "layout": {"kind": "column", "items": [{"kind": "label"}]}, "size": 3})",
       "unknown key \"size\""},
      {R"({"name": "Y", "layout": {"kind": "column", "items": [{"kind": "label"}]}})",
       "is named \"Y\""},
      {"{not json", "not valid JSON"},
  };
  for (const auto& c : cases) {
    auto t = qz::ParseDialogTemplate(c.json, "X");
    ASSERT_FALSE(t.ok()) << c.json;
    EXPECT_NE(t.status().message().find(c.expect), std::string::npos) << t.status().message();
  }
}

TEST(DialogTemplates, RepeatWritesItsItemsWithGrowingIdsAndNumberedCaptions) {
  auto t = qz::ParseDialogTemplate(
      Wrap(R"J({"kind": "repeat", "count": 20, "step": 10, "items": [
             {"kind": "row", "items": [
               {"kind": "label", "caption": "Rango {n}"},
               {"kind": "edit", "id": 821, "label": "Desde {n}:", "width": 10},
               {"kind": "edit", "id": 822, "width": 10}]}]},
           {"kind": "repeat", "values": ["Lunes", "Martes"], "step": 3, "first": 0, "items": [
             {"kind": "check", "id": 2011, "caption": "{value} ({n})"}]})J"),
      "X");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_EQ(t->root.items.size(), 22u);
  const qz::TemplateNode& last = t->root.items[19];
  EXPECT_EQ(last.items[0].caption, "Rango 20");
  EXPECT_EQ(last.items[1].id, 821 + 190);
  EXPECT_EQ(last.items[1].label, "Desde 20:");
  EXPECT_EQ(last.items[2].id, 822 + 190);
  EXPECT_EQ(t->Find(2014)->caption, "Martes (1)");
  EXPECT_EQ(t->Controls().size(), 42u);

  struct Case {
    std::string json, expect;
  } bad[] = {
      // Repetitions whose ids meet are refused like any repeated id.
      {Wrap(R"({"kind": "repeat", "count": 3, "items": [{"kind": "edit", "id": 1},
                                                       {"kind": "edit", "id": 2}]})"),
       "repeats id 2"},
      {Wrap(R"({"kind": "repeat", "count": 0, "items": [{"kind": "label"}]})"), "count from 1"},
      {Wrap(R"({"kind": "repeat", "count": 2, "values": ["a"], "items": [{"kind": "label"}]})"),
       "count other than"},
      {Wrap(R"({"kind": "repeat", "count": 2, "times": 3, "items": [{"kind": "label"}]})"),
       "unknown key \"times\""},
      {Wrap(R"({"kind": "repeat", "count": 2})"), "without items"},
  };
  for (const auto& c : bad) {
    auto r = qz::ParseDialogTemplate(c.json, "X");
    ASSERT_FALSE(r.ok()) << c.json;
    EXPECT_NE(r.status().message().find(c.expect), std::string::npos) << r.status().message();
  }
}

TEST(DialogTemplates, MissingTemplateIsNotFound) {
  qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  EXPECT_TRUE(qz::LoadDialogTemplate("NO_SUCH").status().IsNotFound());
}

}  // namespace

namespace {

// An installed program has no resources folder: the templates it was built
// with are inside it, and a folder that holds a template still wins.
TEST(DialogTemplates, BuiltInCopiesServeWhenTheFolderLacksThem) {
  std::string src = std::string(QZ_SOURCE_DIR) + "/resources/dialogs";
  qz::SetDialogTemplateDir(src);
  auto on_disk = qz::ListDialogTemplates();
  qz::SetDialogTemplateDir("/nonexistent/dialogs");
  EXPECT_EQ(qz::ListDialogTemplates(), on_disk);
  auto t = qz::LoadDialogTemplate("MODIOCUPA");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  EXPECT_FALSE((*t)->Controls().empty());
  EXPECT_TRUE(qz::LoadDialogTemplate("NO_SUCH").status().IsNotFound());
  qz::SetDialogTemplateDir(src);
}

}  // namespace
