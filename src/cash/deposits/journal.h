// Journal entries of the accounting module (ENC_ASIE / DET_ASIE) as the
// cash layer posts them: a header per entry, numbered from the module's
// serial, and its lines in the accounting currency, rounded to cents; a
// rounding line keeps every entry balanced. Runs inside the caller's
// transaction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/data/wtable.h"

namespace qz {

struct JournalLine {
  std::string cuenta;   // account bytes
  std::string descrip;  // UTF-8
  double debito = 0, credito = 0;
};

struct LedgerEntry {
  std::string negocio;
  std::string modulo;  // journal type or module (9)
  int32_t fecha = 0;
  std::string documento;   // bytes
  std::string descrip;     // UTF-8
  std::string movimiento;  // the movement that produced it
  std::string rounding_account;  // takes what rounding leaves unbalanced
  std::vector<JournalLine> lines;
};

// The serial (SERIALES) an entry of `modulo` takes its number from: "ASI"
// + the module ("ASI09"). A module without one gets it at its first entry.
std::string JournalSerialCode(const std::string& modulo);

// Gives `modulo` its serial when it has none: made once, under the file
// lock of SERIALES (looked for again there), going on from the highest
// number the module's entries already use. Called before a transaction
// that posts to the module (the file lock cannot be had while the
// transaction holds a serial of its own); PostJournal calls it as a last
// resort.
void EnsureJournalSerial(void* owner, const std::string& negocio, const std::string& modulo);

// Appends the entry (lines rounded to cents, a rounding line when they do
// not balance) and answers its number. A run posting several entries in
// one transaction passes one SERIALES handle for all of them: the serial
// row stays locked until the transaction ends, and another handle of this
// same process would wait for it as for another workstation.
std::string PostJournal(void* owner, const LedgerEntry& e, WDBTable* seriales = nullptr);

// The lines of the entries posted for `movimiento` in `modulo`, every one.
std::vector<JournalLine> PostedLines(void* owner, const std::string& negocio,
                                     const std::string& modulo, const std::string& movimiento);

// The same lines with debit and credit swapped.
std::vector<JournalLine> Reversed(std::vector<JournalLine> lines);

}  // namespace qz
