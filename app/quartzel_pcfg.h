// The desktop program's pieces: the demo installation it can create and the
// offscreen screenshots of templates and screens.
#pragma once

#include <string>

namespace qz {
class QtUi;
}

namespace pcfg {

// Creates the tables the two catalog screens use, with demo rows, in
// `bases` (from the table catalog in `schema_dir`). Returns "" or the error.
std::string CreateDemoTables(const std::string& schema_dir, const std::string& bases);
// The table catalog folder next to the program or its sources; "" if none.
std::string FindSchemaDir();
// The demo business.
inline constexpr const char* kDemoBusiness = "HOTEL CENTRAL  ";

// Renders `template_name` (a screen with demo data, or a dialog template) to
// a PNG file. Returns 0 on success.
int Screenshot(qz::QtUi& ui, const std::string& template_name, const std::string& png);

}  // namespace pcfg
