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
