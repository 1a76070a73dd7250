// The small code catalogs whose rows are edited in an inline dialog
// (countries, ethnic groups, places of birth, contract types, languages,
// regions, employee types, test types, salary types, provisions): one
// screen class driven by a table of definitions. Beyond the edit fields of
// CatalogSetup (controls 500, 501, 502 ...) a definition may add drop-downs
// filled from another table of the business, check boxes and radio groups.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"

namespace qz {

// A drop-down listing rows of `table` whose key (on `tag`) begins with the
// business + `scope_suffix`; shows `text_field`, stores `cargo_field` into
// the catalog's `field`.
struct CatalogCombo {
  int control = 0;
  std::string field;
  std::string table;
  std::string tag;
  std::string scope_suffix;  // table bytes, padded as in the key
  std::string text_field = "DESCRIP";
  std::string cargo_field = "CODIGO";
};

// A check box storing 1 (checked) or 0.
struct CatalogFlag {
  int control = 0;
  std::string field;
};

// Radio buttons storing the position of the checked one (0, 1, ...).
struct CatalogChoice {
  std::string field;
  std::vector<int> controls;
};

struct SimpleCatalogDef {
  std::string screen;  // the screen id of the menu, also its window template
  CatalogSetup setup;
  std::vector<CatalogCombo> combos;
  std::vector<CatalogFlag> flags;
  std::vector<CatalogChoice> choices;
};

// Every catalog of this kind, keyed by its window template (= screen id).
const std::vector<SimpleCatalogDef>& SimpleCatalogs();
const SimpleCatalogDef* FindSimpleCatalog(const std::string& screen);

class SimpleCatalog : public CatalogScreen {
 public:
  SimpleCatalog(Desktop& desktop, const std::string& template_name, const std::string& business,
                const SimpleCatalogDef& def);

  void LoadEditControls(WDIAG& dlg, int mode) override;
  void WriteEditFields(WDIAG& dlg, xb::Table& t) override;

 private:
  void FillCombo(WDIAG& dlg, const CatalogCombo& c);
  SimpleCatalogDef def_;
};

}  // namespace qz
