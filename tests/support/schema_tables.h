// Tables of the program's catalog (schema/*.json) created empty in a test
// folder, with their tags, and rows added by field name.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "xbase/table.h"

namespace qztest {

inline const nlohmann::json* SchemaTable(const std::string& name) {
  static std::map<std::string, nlohmann::json> tables = [] {
    std::map<std::string, nlohmann::json> all;
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(QZ_SOURCE_DIR) + "/schema")) {
      if (e.path().extension() != ".json") continue;
      std::ifstream in(e.path());
      auto j = nlohmann::json::parse(in, nullptr, false);
      if (j.is_discarded() || !j.contains("tables")) continue;
      for (const auto& t : j["tables"]) all[t["name"].get<std::string>()] = t;
    }
    return all;
  }();
  auto it = tables.find(name);
  return it == tables.end() ? nullptr : &it->second;
}

// Creates table `name` of the catalog in `dir` with every tag.
inline void CreateSchemaTable(const std::string& dir, const std::string& name) {
  const nlohmann::json* s = SchemaTable(name);
  ASSERT_NE(s, nullptr) << name << " is not in the catalog";
  xb::FieldList fields;
  for (const auto& f : (*s)["fields"]) {
    xb::FieldDef d;
    d.name = f["name"].get<std::string>();
    d.type = f["type"].get<std::string>()[0];
    d.len = static_cast<uint8_t>(f["len"].get<int>());
    d.dec = static_cast<uint8_t>(f["dec"].get<int>());
    fields.push_back(d);
  }
  xb::CreateOptions co;
  co.exclusive = true;
  co.overwrite = true;
  auto t = xb::Table::Create(dir + "/" + name + ".DBF", fields, co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  for (const auto& tag : (*s)["tags"]) {
    auto st = (*t)->CreateTag(tag["name"].get<std::string>(), tag["key"].get<std::string>(),
                              tag["for"].get<std::string>(), tag["descending"].get<bool>());
    ASSERT_TRUE(st.ok()) << name << ": " << st.ToString();
  }
  ASSERT_TRUE((*t)->Close().ok());
}

using Row = std::map<std::string, xb::Value>;

// Appends rows (text values are Windows-1252 bytes, as stored).
inline void AddRows(const std::string& dir, const std::string& name, const std::vector<Row>& rows) {
  auto t = xb::Table::Open(dir + "/" + name + ".DBF");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  for (const auto& r : rows) {
    ASSERT_TRUE((*t)->Append().ok());
    for (const auto& [field, value] : r) {
      auto st = (*t)->Put(field, value);
      ASSERT_TRUE(st.ok()) << st.ToString();
    }
    ASSERT_TRUE((*t)->Flush().ok());
    (*t)->UnlockAll();
  }
  ASSERT_TRUE((*t)->Close().ok());
}

inline xb::Value C(const std::string& s) {
  return xb::Value::Char(s);
}
inline xb::Value N(double d) {
  return xb::Value::Number(d);
}

// Business codes are 15 characters, blank-padded.
inline std::string Biz(const std::string& b) {
  std::string s = b;
  s.resize(15, ' ');
  return s;
}

}  // namespace qztest
