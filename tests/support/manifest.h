// The fixture manifests (<TABLE>.json): expected records and tag orders of
// the tables another xBase engine wrote. Parsed once per process.
#pragma once

#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <string>

#include "xbase/codepage.h"
#include "xbase/value.h"
#include "support/temp_dir.h"

namespace qztest {

inline const nlohmann::json& Manifest(const std::string& table) {
  static std::map<std::string, nlohmann::json> cache;
  auto it = cache.find(table);
  if (it == cache.end()) {
    std::ifstream in(FixturePath(table + ".json"));
    it = cache.emplace(table, nlohmann::json::parse(in)).first;
  }
  return it->second;
}

// The value a manifest gives for a field of type `type`, as the engine
// hands it out (text in Windows-1252 bytes, dates as Julian days).
inline xb::Value ManifestValue(const nlohmann::json& v, char type, int dec) {
  switch (type) {
    case 'C': case 'M': return xb::Value::Char(xb::FromUtf8(v.get<std::string>()));
    case 'D': return xb::Value::Date(xb::JulianFromDtos(v.get<std::string>()));
    case 'L': return xb::Value::Logical(v.get<bool>());
    case 'I':
      if (dec > 0) return xb::Value::Number(v.get<double>());
      return xb::Value::Integer(v.get<int64_t>());
    case 'T': case '@': {
      std::string s = v.get<std::string>();  // YYYYMMDDhhmmssfff
      int32_t jd = xb::JulianFromDtos(s.substr(0, 8));
      int ms = std::stoi(s.substr(8, 2)) * 3600000 + std::stoi(s.substr(10, 2)) * 60000 +
               std::stoi(s.substr(12, 2)) * 1000 + std::stoi(s.substr(14, 3));
      return xb::Value::Stamp(xb::Timestamp{jd, ms});
    }
    default: return xb::Value::Number(v.get<double>());
  }
}

}  // namespace qztest
