#include "lib/payroll/catalog_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

namespace qztest {
namespace {

// Every table of the catalog by name, parsed once per process.
const nlohmann::json& CatalogTable(const std::string& name) {
  static const std::map<std::string, nlohmann::json> tables = [] {
    std::map<std::string, nlohmann::json> m;
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(QZ_SOURCE_DIR) + "/schema")) {
      if (e.path().extension() != ".json") continue;
      std::ifstream in(e.path());
      nlohmann::json j = nlohmann::json::parse(in);
      for (const auto& t : j["tables"]) m[t["name"].get<std::string>()] = t;
    }
    return m;
  }();
  static const nlohmann::json none;
  auto it = tables.find(name);
  return it == tables.end() ? none : it->second;
}

}  // namespace

std::unique_ptr<xb::Table> CreateCatalogTable(const std::string& dir, const std::string& name) {
  const nlohmann::json& t = CatalogTable(name);
  EXPECT_FALSE(t.is_null()) << "no table " << name << " in the catalog";
  if (t.is_null()) return nullptr;
  xb::FieldList fields;
  for (const auto& f : t["fields"]) {
    xb::FieldDef d;
    d.name = f["name"].get<std::string>();
    d.type = f["type"].get<std::string>()[0];
    d.len = static_cast<uint8_t>(f["len"].get<int>());
    d.dec = static_cast<uint8_t>(f["dec"].get<int>());
    fields.push_back(d);
  }
  std::string path = dir + "/" + name;
  {
    xb::CreateOptions co;
    co.exclusive = true;
    auto created = xb::Table::Create(path, fields, co);
    EXPECT_TRUE(created.ok()) << created.status().ToString();
    if (!created.ok()) return nullptr;
    for (const auto& g : t["tags"]) {
      xb::Status s =
          (*created)->CreateTag(g["name"].get<std::string>(), g["key"].get<std::string>(),
                                g.value("for", ""), g.value("descending", false));
      EXPECT_TRUE(s.ok()) << name << ": " << s.ToString();
    }
    EXPECT_TRUE((*created)->Close().ok());
  }
  auto opened = xb::Table::Open(path + ".DBF");
  EXPECT_TRUE(opened.ok()) << opened.status().ToString();
  return opened.ok() ? std::move(opened.value()) : nullptr;
}

void AddRow(xb::Table& t, Row fields) {
  ASSERT_TRUE(t.Append().ok());
  for (const auto& [name, v] : fields) {
    xb::Status s = t.Put(name, v);
    ASSERT_TRUE(s.ok()) << t.name() << "." << name << ": " << s.ToString();
  }
  ASSERT_TRUE(t.Flush().ok());
  ASSERT_TRUE(t.UnlockAll().ok());
}

}  // namespace qztest
