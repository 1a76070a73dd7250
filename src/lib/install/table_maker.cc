#include "lib/install/table_maker.h"

namespace qz {

xb::Result<std::unique_ptr<xb::Table>> MakeTable(const CatalogTable& table, const std::string& dir,
                                                 const MakeOptions& options) {
  xb::CreateOptions co;
  co.env = options.env;
  co.overwrite = options.overwrite;
  co.exclusive = true;
  auto t = xb::Table::Create(xb::JoinPath(dir, table.name + ".DBF"), table.fields, co);
  if (!t.ok()) return t.status();
  if (options.with_tags) {
    xb::Status s = AddTags(table, **t);
    if (!s.ok()) {
      (*t)->Close();
      return s;
    }
  }
  return t;
}

xb::Status AddTags(const CatalogTable& table, xb::Table& t) {
  for (const auto& g : table.tags)
    XB_RETURN_IF_ERROR(t.CreateTag(g.name, g.key, g.for_expr, g.descending));
  return xb::Status::OK();
}

xb::Status CreateTable(const CatalogTable& table, const std::string& dir,
                       const MakeOptions& options) {
  auto t = MakeTable(table, dir, options);
  if (!t.ok()) return t.status();
  return (*t)->Close();
}

void CompareWithCatalog(const CatalogTable& table, xb::Table& t,
                        std::vector<std::string>* problems) {
  const std::string where = t.path() + ": ";
  const xb::FieldList& have = t.fields();
  if (have.size() != table.fields.size())
    problems->push_back(where + std::to_string(have.size()) + " fields, the catalog has " +
                        std::to_string(table.fields.size()));
  for (size_t i = 0; i < table.fields.size() && i < have.size(); ++i) {
    const xb::FieldDef& want = table.fields[i];
    const xb::FieldDef& got = have[i];
    if (want.name != got.name || want.type != got.type || want.len != got.len ||
        want.dec != got.dec) {
      auto show = [](const xb::FieldDef& f) {
        return f.name + " " + std::string(1, f.type) + std::to_string(f.len) +
               (f.dec ? "." + std::to_string(f.dec) : "");
      };
      problems->push_back(where + "field " + std::to_string(i + 1) + " is " + show(got) +
                          ", the catalog has " + show(want));
    }
  }
  std::vector<xb::TagInfo> tags = t.Tags();
  for (const auto& g : table.tags) {
    const xb::TagInfo* found = nullptr;
    for (const auto& ti : tags)
      if (ti.name == g.name) found = &ti;
    if (!found) {
      problems->push_back(where + "tag " + g.name + " is missing");
    } else if (found->key != g.key || found->for_expr != g.for_expr ||
               found->descending != g.descending) {
      problems->push_back(where + "tag " + g.name + " has key \"" + found->key +
                          "\", the catalog has \"" + g.key + "\"");
    }
  }
}

}  // namespace qz
