// Forms that edit one record field by field (the payroll parameters and
// their sub-windows): a copy of the record held as values, and the list of
// which control shows which field. The copy is what the windows edit; the
// table is written only when the owning screen saves.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "lib/ui/wdiag.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

// A record's values by field name. Character and memo fields hold UTF-8
// text without trailing blanks; numbers, dates and logicals their value.
using RecordCopy = std::map<std::string, xb::Value>;

struct Bound {
  enum Kind { kText, kNumber, kCheck, kRadio, kRadioCode, kDate, kCombo };
  Bound(int id, std::string field, Kind kind, int value = 0, std::string code = {})
      : id(id), field(std::move(field)), kind(kind), value(value), code(std::move(code)) {}
  int id;
  std::string field;
  Kind kind;
  int value = 0;     // kRadio: the field's value this radio stands for
  std::string code;  // kRadioCode: the same for a character field
};
using Bindings = std::vector<Bound>;

// The current record of `t` (or, at end of file, every field empty).
RecordCopy ReadRecord(const xb::Table& t);
// Writes the listed fields of `copy` into the current record of `t`
// (which the caller holds locked); fields the table lacks are skipped, so an
// older installation keeps working.
void WriteRecord(xb::Table& t, const RecordCopy& copy, const std::set<std::string>& fields);

// Puts the copy's values into the controls.
void ShowRecord(WDIAG& w, const Bindings& b, const RecordCopy& copy);
// Checks every numeric and date control first: a value that is no number or
// no date is told to the user (title "Error"), gets the focus, and nothing
// is taken (false). Then takes every control's value into `copy`; a combo
// with nothing selected leaves its field as it was.
bool TakeRecord(WDIAG& w, const Bindings& b, RecordCopy* copy);

// The fields a list of bindings edits.
void AddFields(const Bindings& b, std::set<std::string>* fields);

// Value helpers on a copy (missing fields read empty).
double CopyNumber(const RecordCopy& c, const std::string& field);
std::string CopyText(const RecordCopy& c, const std::string& field);

// "La fecha "x" no es válida" for a refused date.
std::string NotADateMessage(const std::string& text);

}  // namespace qz
