// Dialog templates are data: one JSON file per template name in
// resources/dialogs/. A template declares its controls (numeric id, kind,
// caption, width or picture, options) inside layout containers (rows,
// columns, groups, tabs); the window systems lay them out, so nothing here
// knows about pixels. One loader validates every file the same way for the Qt
// and the headless window systems.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "xbase/status.h"

namespace qz {

enum class ControlKind {
  // containers
  kRow,
  kColumn,
  kGroup,
  kTabs,
  kTab,
  // controls
  kLabel,
  kEdit,  // one line of text; `picture` of 9s makes it numeric
  kMemo,  // several lines of text
  kButton,
  kCheck,
  kRadio,  // radios of one container exclude each other
  kCombo,
  kList,  // multi-selection list
  kGrid,  // a table grid (WBLISTBOX)
  kTree,
  kSpacer,
};

const char* ControlKindName(ControlKind k);
bool IsContainer(ControlKind k);

struct TemplateNode {
  ControlKind kind = ControlKind::kColumn;
  int id = 0;                        // 0 = not addressable (labels, containers)
  std::string caption;               // button/check/radio/group/tab text; initial text of a label
  std::string label;                 // text shown to the left of an edit/combo/list
  int width = 0;                     // in characters (edits: the longest text accepted)
  int lines = 0;                     // visible lines (memo, list, grid, tree); 0 = default
  std::string picture;               // "!" upper case, "X" any, "9" digit; numeric when all 9s , .
  std::vector<std::string> options;  // fixed entries of a combo or list; "password" on an edit
  bool is_default = false;           // the button Enter presses
  bool readonly = false;
  bool stretch = false;             // takes the spare room of its container
  std::vector<TemplateNode> items;  // children of a container
};

struct DialogTemplate {
  std::string name;
  std::string title;
  bool child = false;  // true: an MDI child window; false: a dialog
  int min_width = 0;   // in characters; 0 = as the contents need
  TemplateNode root;   // a column

  // Every addressable control (id != 0), in template order.
  std::vector<const TemplateNode*> Controls() const;
  const TemplateNode* Find(int id) const;
};

// Parses and validates one template. Unknown keys, unknown kinds, duplicate
// ids, containers without items or controls holding items are errors that
// name the template and the offending node.
xb::Result<DialogTemplate> ParseDialogTemplate(const std::string& json_text,
                                               const std::string& name);

// Where templates are read from: resources/dialogs of the installation (or
// of the source tree in development builds).
void SetDialogTemplateDir(const std::string& dir);
std::string DialogTemplateDir();

// Loads `name` (case-insensitive file name, NAME.json) from the template
// folder; loaded templates are kept for the life of the process.
xb::Result<std::shared_ptr<const DialogTemplate>> LoadDialogTemplate(const std::string& name);
// Names of every template file in the folder, upper case, sorted.
std::vector<std::string> ListDialogTemplates();

}  // namespace qz
