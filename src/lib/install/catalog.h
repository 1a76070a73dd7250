// The table catalog: every table the program opens, with its fields and index
// tags, as schema/*.json describe it (docs/schema.md). The installer creates
// tables from it, and checks compare installations with it. The JSON files are
// compiled into the program, so an installed binary needs no source tree.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "xbase/field.h"
#include "xbase/status.h"

namespace qz {

struct CatalogTag {
  std::string name;
  std::string key;
  std::string for_expr;
  bool descending = false;
};

struct CatalogTable {
  std::string name;    // upper case, at most 8 characters
  std::string folder;  // "BASES" (shared) or "PROFILE" (templates of scratch tables)
  std::string group;   // the catalog file it comes from ("employees", ...)
  std::string doc;
  xb::FieldList fields;  // in table order
  std::vector<CatalogTag> tags;

  bool HasField(const std::string& name) const;
  bool HasMemo() const;
};

class Catalog {
 public:
  const std::vector<CatalogTable>& tables() const { return tables_; }
  // Case-insensitive; null when the catalog has no such table.
  const CatalogTable* Find(const std::string& name) const;
  // The table that owns tag `tag`; null when no table has it. Tag names are
  // unique within a table only, so the first owner (in catalog order) is given.
  const CatalogTable* FindTagOwner(const std::string& tag) const;
  size_t TagCount() const;

  // Adds the tables of one catalog file (JSON text). `origin` names the file in
  // messages. Does not validate beyond the format; call Validate afterwards.
  xb::Status AddFile(const std::string& json_text, const std::string& origin);
  // Checks what the engine relies on: names, types and widths, unique table,
  // field and tag names, every key and FOR expression compiles against its
  // table, record length and field count. The first problem is reported.
  xb::Status Validate() const;

 private:
  std::vector<CatalogTable> tables_;
  std::map<std::string, size_t> by_name_;
};

// The catalog compiled into the program (parsed and validated once).
xb::Result<const Catalog*> EmbeddedCatalog();

}  // namespace qz
