// Creating and checking an installation folder: BASES with every shared table
// and its structural index, PROFILE with the empty templates of the scratch
// tables, TEMP, BMP, HTML, MAIL (SEND, RECEIVE), HBEAT and QUARTZEL.INI.
//
// A new installation is built in a hidden folder beside the target and moved
// into place only when complete, so a failure (a read-only folder, a full
// disk) leaves nothing half-made behind.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lib/install/catalog.h"
#include "lib/install/demo/demo.h"
#include "xbase/env.h"
#include "xbase/status.h"

namespace qz {

struct InstallOptions {
  // Allows a target folder that is not empty. Only what an installation
  // consists of is replaced (the catalog's tables, with their index and memo
  // files, and the files listed above); everything else in the folder stays.
  // Replacing a table loses the rows it had.
  bool force = false;
  bool demo = false;  // also load the demo hotel group
  DemoOptions demo_options;
  // Where table and file writes go (null = the process environment); tests
  // inject failures through it.
  xb::Env* env = nullptr;
  // Told each step as it starts ("BASES", "demo: employees", ...); may be empty.
  std::function<void(const std::string&)> progress;
};

struct InstallReport {
  int tables = 0;                     // BASES tables created
  int templates = 0;                  // PROFILE templates created
  int tags = 0;                       // tags built, both folders
  std::vector<std::string> replaced;  // files of an earlier installation replaced (--force)
  DemoSummary demo;
};

// Creates an installation in `dir` from the catalog compiled into the program.
// Refuses a folder that is not empty unless `options.force`.
xb::Result<InstallReport> CreateInstallation(const std::string& dir, const InstallOptions& options);

// The same from a given catalog (tests use small ones).
xb::Result<InstallReport> CreateInstallation(const std::string& dir, const Catalog& catalog,
                                             const InstallOptions& options);

struct CheckReport {
  int tables = 0;                     // tables checked
  int tags = 0;                       // tags walked
  std::vector<std::string> problems;  // empty = the installation matches the catalog
};

// Opens every catalog table of the installation `dir` read-only, compares its
// structure and tags with the catalog and walks every tag against the records.
xb::Result<CheckReport> CheckInstallation(const std::string& dir, const Catalog& catalog);

// Whether `dir` already holds an installation (a BASES folder or QUARTZEL.INI,
// in any spelling of the names).
bool LooksInstalled(const std::string& dir);

}  // namespace qz
