// Journal entries of the accounting module (ENC_ASIE / DET_ASIE) as the
// cash layer posts them: a header per entry and its lines in the
// accounting currency, rounded to cents; a rounding line keeps every entry
// balanced. Runs inside the caller's transaction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qz {

struct JournalLine {
  std::string cuenta;   // account bytes
  std::string descrip;  // UTF-8
  double debito = 0, credito = 0;
};

struct JournalEntry {
  std::string negocio;
  std::string modulo;  // journal type or module (9)
  int32_t fecha = 0;
  std::string documento;   // bytes
  std::string descrip;     // UTF-8
  std::string movimiento;  // the movement that produced it
  std::string rounding_account;  // takes what rounding leaves unbalanced
  std::vector<JournalLine> lines;
};

// Appends the entry (lines rounded to cents, a rounding line when they do
// not balance) and answers its number.
std::string PostJournal(void* owner, const JournalEntry& e);

// The lines of the entries posted for `movimiento` in `modulo`, every one.
std::vector<JournalLine> PostedLines(void* owner, const std::string& negocio,
                                     const std::string& modulo, const std::string& movimiento);

// The same lines with debit and credit swapped.
std::vector<JournalLine> Reversed(std::vector<JournalLine> lines);

}  // namespace qz
