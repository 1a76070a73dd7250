// Form controls bound to table fields: the edits, numbers and check boxes of
// an edit window read from and written to its row in one place, so each
// window lists its bindings instead of repeating the conversions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

struct BoundField {
  enum Kind { kText, kNumber, kCheck };
  int id = 0;
  std::string field;
  Kind kind = kText;
  std::string picture;  // numbers: how they are shown ("9999", "999.99")
};

// A field's number (0 when missing or not numeric).
double NumberField(const xb::Table& t, const std::string& field);
// `n` through `picture`, without leading blanks.
std::string NumberText(double n, const std::string& picture);

// Fields of the current row into the controls.
void LoadBound(WDIAG& w, const xb::Table& t, const std::vector<BoundField>& fields);
// Every number control must hold a number: the first that does not is told
// ("Error") and focused; false then.
bool BoundNumbersValid(WDIAG& w, const std::vector<BoundField>& fields);
// The controls into the current row (locked by the caller). A field the
// table lacks (an older installation) is skipped.
void WriteBound(const WDIAG& w, xb::Table& t, const std::vector<BoundField>& fields);

// Radio groups stored as one number: radio `ids[i]` stands for `values[i]`.
void LoadChoice(WDIAG& w, const xb::Table& t, const std::string& field,
                const std::vector<int>& ids, const std::vector<int>& values);
void WriteChoice(const WDIAG& w, xb::Table& t, const std::string& field,
                 const std::vector<int>& ids, const std::vector<int>& values);

// Selections of a list kept in one text field as "[" + code + "]" per
// selected entry (codes trimmed). Writing keeps whole codes only: what does
// not fit the field is left out rather than cut.
std::string BracketedSelection(const WDIAG& w, int list_id, int width);
void SelectBracketed(WDIAG& w, int list_id, const std::string& stored);

// Adds one entry per row of the business in `t` (order 1, scoped to the
// business): the text field shown, the code as cargo. `keep` picks rows.
void AddBusinessRows(WDIAG& w, int id, xb::Table& t, const std::string& business,
                     const std::string& text_field,
                     const std::function<bool(const xb::Table&)>& keep = nullptr);

}  // namespace qz
