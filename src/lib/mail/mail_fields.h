// Field access of the mail tables: writes and reads that skip fields an
// older installation lacks, with text converted between UTF-8 and the
// table's bytes.
#pragma once

#include <string>

#include "lib/data/wtable.h"

namespace qz::mail {

void PutText(WDBTable& t, const char* field, const std::string& utf8);
void PutNum(WDBTable& t, const char* field, double v);
void PutDate(WDBTable& t, const char* field, int32_t julian);
std::string GetText(const WDBTable& t, const char* field);  // trimmed UTF-8, "" when missing
double GetNum(const WDBTable& t, const char* field);        // 0 when missing

}  // namespace qz::mail
