// The catalog files as text, generated at build time from schema/*.json by
// embed_catalog.cmake (see CMakeLists.txt).
#pragma once

namespace qz::catalog_data {

struct File {
  const char* name;  // "employees.json"
  const char* text;
};

extern const File kFiles[];
extern const int kFileCount;

}  // namespace qz::catalog_data
