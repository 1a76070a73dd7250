// The catalog compiled into the program: the same as schema/, valid, and
// every name the program's code uses as a table or tag exists in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "install_test_util.h"

namespace {

using qztest::TheCatalog;

std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(Catalog, EmbeddedCopyMatchesTheSchemaFolderAndIsValid) {
  qz::Catalog from_disk;
  for (const auto& e : std::filesystem::directory_iterator(std::string(QZ_SOURCE_DIR) + "/schema"))
    if (e.path().extension() == ".json") {
      ASSERT_TRUE(from_disk.AddFile(ReadText(e.path()), e.path().filename().string()).ok());
    }
  ASSERT_TRUE(from_disk.Validate().ok());
  const qz::Catalog& embedded = TheCatalog();
  ASSERT_EQ(embedded.tables().size(), from_disk.tables().size());
  EXPECT_EQ(embedded.TagCount(), from_disk.TagCount());
  for (const auto& t : from_disk.tables()) {
    const qz::CatalogTable* e = embedded.Find(t.name);
    ASSERT_NE(e, nullptr) << t.name;
    EXPECT_EQ(e->fields.size(), t.fields.size()) << t.name;
    EXPECT_EQ(e->tags.size(), t.tags.size()) << t.name;
  }
}

TEST(Catalog, EveryNameOfTheNamesListExists) {
  std::istringstream names(ReadText(std::string(QZ_SOURCE_DIR) + "/schema/names.txt"));
  int n = 0;
  for (std::string name; std::getline(names, name);) {
    if (name.empty()) continue;
    ++n;
    EXPECT_TRUE(TheCatalog().Find(name) || TheCatalog().FindTagOwner(name)) << name;
  }
  EXPECT_GT(n, 250);
}

TEST(Catalog, BadFilesAreRefusedWithTheFileAndTableNamedAndChangeNothing) {
  struct Case {
    const char* json;
    const char* message;
  } cases[] = {
      {"{ not json", "bad.json: not valid JSON"},
      {R"({"group":"g","tables":[{"folder":"BASES","fields":[]}]})", "missing \"name\""},
      {R"({"group":"g","tables":[{"name":"A","folder":"BASES","fields":[{"name":"X","type":"C","len":"5"}]}]})",
       "must be a whole number"},
  };
  for (const auto& c : cases) {
    qz::Catalog catalog;
    xb::Status s = catalog.AddFile(c.json, "bad.json");
    EXPECT_FALSE(s.ok()) << c.json;
    EXPECT_NE(s.message().find(c.message), std::string::npos) << s.message();
    EXPECT_TRUE(catalog.tables().empty());
  }
  // Format right, content wrong: Validate names the table and what is wrong.
  struct Bad {
    const char* table;
    const char* message;
  } bad[] = {
      {R"({"name":"lower","folder":"BASES","fields":[{"name":"A","type":"C","len":5}]})",
       "upper case"},
      {R"({"name":"T","folder":"BASES","fields":[{"name":"A","type":"D","len":9}]})",
       "has width 8"},
      {R"({"name":"T","folder":"BASES","fields":[{"name":"A","type":"C","len":5},{"name":"A","type":"C","len":5}]})",
       "appears twice"},
      {R"({"name":"T","folder":"BASES","fields":[{"name":"A","type":"C","len":5}],"tags":[{"name":"T","key":"A+NOPE"}]})",
       "NOPE"},
      {R"({"name":"T","folder":"ELSEWHERE","fields":[{"name":"A","type":"C","len":5}]})",
       "BASES or PROFILE"},
  };
  for (const auto& b : bad) {
    qz::Catalog catalog;
    ASSERT_TRUE(
        catalog.AddFile(std::string(R"({"group":"g","tables":[)") + b.table + "]}", "x.json").ok());
    xb::Status s = catalog.Validate();
    EXPECT_FALSE(s.ok()) << b.table;
    EXPECT_NE(s.message().find(b.message), std::string::npos) << s.message();
  }
  qz::Catalog twice;
  const char* one =
      R"({"group":"g","tables":[{"name":"T","folder":"BASES","fields":[{"name":"A","type":"C","len":5}]}]})";
  ASSERT_TRUE(twice.AddFile(one, "a.json").ok());
  EXPECT_NE(twice.AddFile(one, "b.json").message().find("defined twice"), std::string::npos);
}

// Literals of the program's code that look like table or tag names: the
// prefixes of table names (ENC_, DET_, H_, TMP_), or a catalog table's name
// (or its first seven letters) followed by digits, as tags are named. Names
// that are fields of some table are not table references. The allow-list
// holds what looks like a table name but is something else.
TEST(Catalog, EveryTableAndTagTheCodeNamesExists) {
  const std::set<std::string> allow = {
      "H_E_", "H_D_",  // prefixes spoken of, not tables
  };
  std::set<std::string> fields, tables, tags;
  for (const auto& t : TheCatalog().tables()) {
    tables.insert(t.name);
    for (const auto& f : t.fields) fields.insert(f.name);
    for (const auto& g : t.tags) tags.insert(g.name);
  }
  auto looks_like_table = [&](const std::string& s) {
    static const std::regex prefixed("^(ENC|DET|H|TMP)_[A-Z0-9_]+$");
    if (std::regex_match(s, prefixed)) return true;
    size_t digits = s.find_first_of("0123456789");
    if (digits == std::string::npos || digits == 0) return false;
    if (s.find_first_not_of("0123456789_", digits) != std::string::npos) return false;
    std::string stem = s.substr(0, digits);
    for (const auto& t : tables)
      if (t == stem || (stem.size() == 7 && t.size() == 8 && t.compare(0, 7, stem) == 0))
        return true;
    return false;
  };
  static const std::regex literal("\"([A-Z][A-Z0-9_]{2,9})\"");
  int files = 0, checked = 0;
  for (const char* root : {"src", "app"}) {
    std::filesystem::path dir = std::filesystem::path(QZ_SOURCE_DIR) / root;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
      std::string ext = e.path().extension().string();
      if (ext != ".cc" && ext != ".h") continue;
      ++files;
      std::string text = ReadText(e.path());
      for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
        std::string name = (*it)[1];
        if (allow.count(name) || fields.count(name) || !looks_like_table(name)) continue;
        ++checked;
        EXPECT_TRUE(tables.count(name) || tags.count(name))
            << name << " (in " << e.path().lexically_relative(QZ_SOURCE_DIR).string()
            << ") is neither a table nor a tag of the catalog";
      }
    }
  }
  EXPECT_GT(files, 20);
  EXPECT_GT(checked, 20);  // the installer alone names dozens of tables
}

}  // namespace
