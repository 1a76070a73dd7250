// Table access of the catalog screens, kept in one place: the data layer's
// USE / KILLTABLA and its record-change pattern (LOCK_FOR_MODIFY, ADD_NEW_REC,
// UNLOCK_FOR_MODIFY), plus the text conversions between the controls
// (UTF-8) and the tables (Windows-1252 bytes, blank-padded).
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/data/wtable.h"
#include "xbase/table.h"

namespace qz {

class WDIAG;

// Opens table `name` of the installation for a screen (patiently; a table
// that cannot be opened is a fault for the error handler).
TablePtr OpenTable(WDIAG* owner, const std::string& name);
void CloseTable(TablePtr& t);

// Locks the current record for editing (waiting for other users as the
// data layer does). False only when there is no current record: nothing may
// then be written.
bool LockForModify(WDBTable& t);
// Writes the record and releases its lock.
void UnlockForModify(WDBTable& t);
// Appends a blank record, locked and current.
bool AddNewRec(WDBTable& t);

// Text fields: UTF-8 from a control <-> the table's bytes, blank-padded or
// cut to `width` characters.
std::string ToField(const std::string& utf8, int width);
std::string FromField(const xb::Value& v);                            // UTF-8, trailing blanks kept
std::string FieldText(const xb::Table& t, const std::string& field);  // UTF-8, trimmed
// A character field's bytes as stored (keys and codes are compared so);
// empty for a missing or other field.
std::string FieldBytes(const xb::Table& t, const std::string& field);
// A numeric field's value; 0 for a missing or other field.
double FieldNumber(const xb::Table& t, const std::string& field);
int FieldWidth(const xb::Table& t, const std::string& field);         // 0 when missing
// A code typed by the user as stored: the picture's "!" positions upper
// case (a picture of "!" only upper-cases the whole code, however long),
// then table bytes padded to `width`.
std::string CodeField(const std::string& utf8, const std::string& picture, int width);
// N, F, I, B and Y fields hold numbers.
bool IsNumericType(char type);
std::string TrimRight(std::string s);

}  // namespace qz
