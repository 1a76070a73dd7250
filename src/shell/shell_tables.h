// Table access of the shell: opening its tables with a clear message instead
// of a fault (a missing USUARIOS or MENUS must not take the program down with
// it), and reading fields older installations may lack.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lib/data/use.h"
#include "lib/data/wtable.h"

namespace qz {

// USE(name) ordered by `tag` ("" = natural order). A table that cannot be
// opened (missing, corrupt, tag missing) is reported with "No se puede abrir
// la tabla " + name and null is returned; `quiet` skips the message.
TablePtr OpenShellTable(const std::string& name, const std::string& tag, bool quiet = false);
// Whether BASES holds the table at all.
bool ShellTableExists(const std::string& name);

bool HasField(const WDBTable& t, const char* field);
// Numbers (logical fields read 0/1); `missing` when the field does not exist.
double NumField(const WDBTable& t, const char* field, double missing = 0);
int IntField(const WDBTable& t, const char* field, int missing = 0);
// Trimmed UTF-8 text; `missing` when the field does not exist.
std::string TextField(const WDBTable& t, const char* field, const std::string& missing = "");
// The stored bytes, untrimmed ("" when missing).
std::string RawField(const WDBTable& t, const char* field);
// A date field's julian day; nullopt when missing or empty.
std::optional<int32_t> DateField(const WDBTable& t, const char* field);
// Width of a character field (0 when missing).
int FieldWidthOf(const WDBTable& t, const char* field);

// Writes that skip fields an installation lacks.
void PutText(WDBTable& t, const char* field, const std::string& utf8);
void PutRaw(WDBTable& t, const char* field, const std::string& bytes);
void PutNum(WDBTable& t, const char* field, double v);
void PutDate(WDBTable& t, const char* field, int32_t julian);

// Business codes are 15 characters, blank-padded on the right.
std::string BusinessKey(const std::string& code);
// Text of `n` right-aligned in `width` characters (the STR() of keys).
std::string Str(int64_t n, int width);

}  // namespace qz
