// Table access of the catalog screens, kept in one place: opening a table of
// the installation by name, closing it, and the record-change pattern (lock
// for modify, append locked, unlock). The screens reach tables only through
// these calls, so they move to the data layer's USE / KILLTABLA /
// LOCK_FOR_MODIFY / ADD_NEW_REC by changing this file alone.
#pragma once

#include <memory>
#include <string>

#include "xbase/status.h"
#include "xbase/table.h"

namespace qz {

// The folder of the shared tables (BASES).
void SetTablesDir(const std::string& dir);
const std::string& TablesDir();

// Opens table `name` (file names match case-insensitively) shared, with its
// structural index. Retries every 100 ms; after 5 seconds shows "No se puede
// abrir archivo: " + path (title "Alerta") and asks whether to go on trying.
// Null when the user gives up or the table does not exist (reported).
std::unique_ptr<xb::Table> OpenTable(const std::string& name);
// Writes pending changes and closes; null is fine.
void CloseTable(std::unique_ptr<xb::Table>& t);

// Locks the current record for editing. Retries every 100 ms; after 5
// seconds shows "El dato se encuentra bloqueado: " + alias and lets the user
// retry or give up. False when there is no current record or the user gave
// up: nothing may then be written.
bool LockForModify(xb::Table& t);
// Writes the record and releases its lock.
void UnlockForModify(xb::Table& t);
// Appends a blank record, locked and current (same patience as the lock).
bool AddNewRec(xb::Table& t);

// Text fields: UTF-8 from a control <-> the table's bytes, blank-padded or
// cut to `width` characters.
std::string ToField(const std::string& utf8, int width);
std::string FromField(const xb::Value& v);  // UTF-8, trailing blanks kept
std::string FieldText(const xb::Table& t, const std::string& field);  // UTF-8, trimmed
int FieldWidth(const xb::Table& t, const std::string& field);  // 0 when missing
std::string TrimRight(std::string s);

}  // namespace qz
