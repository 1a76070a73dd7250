// The rollback journal of a server transaction: one file per transaction in
// the journal folder of BASES, holding the before-image of every record the
// transaction changes and the number of every record it appends. Each entry
// is on disk (synced) before the change it describes reaches a table, so a
// rollback, or the next start after the process died, can undo them all.
//
// File layout: 8-byte magic "QZJRNL01", then entries
//   u32 body length | body | u32 FNV-1a of body
//   body = kind ('B' before-image, 'A' append) | u16 path length | path
//          (relative to the program folder when inside it) | u32 recno |
//          u32 image length | image
// A torn last entry (the process died while writing it) fails its checksum
// and is ignored: the change it announced never happened.
//
// Birth: a journal is written under a name ending ".JNEW", locked before its
// first byte, and renamed to ".JRN" once its header is on disk, so no one
// ever sees an unlocked or half-born journal under its real name.
//
// Liveness: the owner holds a lock on byte kJournalLockOffset for the life of
// the transaction; the lock dies with the process, so a journal whose lock
// can be taken belongs to a dead transaction. A recoverer first takes byte
// kJournalRecoveryOffset, which owners never hold: whoever finds that byte
// busy knows a rollback is under way and waits for it instead of taking the
// journal for a live one. A recovered journal's magic is overwritten with
// "QZJDONE!" before it is removed, so a second recoverer that opened it
// meanwhile finds nothing to apply.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/env.h"
#include "xbase/status.h"

namespace qz {

inline constexpr uint64_t kJournalLockOffset = 0x7FFFFFFF;
inline constexpr uint64_t kJournalRecoveryOffset = 0x7FFFFFFE;

struct JournalEntry {
  char kind = 'B';
  std::string table;  // as stored (relative or absolute)
  uint32_t recno = 0;
  std::string image;
};

class JournalFile {
 public:
  // Creates a new journal in `folder` (created if missing) and locks it.
  static xb::Result<std::unique_ptr<JournalFile>> Create(const std::string& folder);
  ~JournalFile();

  xb::Status Add(const JournalEntry& e);
  // The transaction is over: mark the file done and remove it.
  xb::Status Discard();
  const std::string& path() const { return path_; }

 private:
  JournalFile() = default;
  std::unique_ptr<xb::File> file_;
  std::string path_;
  uint64_t end_ = 0;
};

// The journal folder of an installation.
std::string JournalFolder(const std::string& program_folder);
// Table path as stored in a journal, and back.
std::string JournalTableName(const std::string& program_folder, const std::string& path);
std::string JournalTablePath(const std::string& program_folder, const std::string& stored);

// Parses a journal's bytes. `*done` is true for a journal already recovered
// (or not a journal at all); entries stop at the first torn one.
void ParseJournal(const std::string& bytes, std::vector<JournalEntry>* entries, bool* done);

struct RecoveryReport {
  int journals = 0;  // journals of dead transactions rolled back
  int records = 0;   // records restored or erased
  std::vector<std::string> problems;
  std::vector<std::string> kept;  // journals left for a later try (undo incomplete)
};

// Rolls back every journal of a dead transaction in the installation's
// journal folder, waiting for a rollback another process is running. Journals
// of live transactions (this process's own included) are left alone.
RecoveryReport RecoverJournals(const std::string& program_folder);

// Whether a transaction's end makes its work durable: the tables and the
// journal synced to the disk (on by default). Only a process building files
// nobody else can see yet turns it off: the installer, whose staging folder
// is thrown away on any failure, skips thousands of disk round trips while
// it opens the demo's payrolls.
void SetDurableCommits(bool on);
bool DurableCommits();

// The guard the data layer runs before it locks, appends or commits with the
// server engine: a transaction whose process died is rolled back before this
// process can build on its values. Problems are shown once ("Alerta").
void MeetDeadTransactions();
// The same for either engine, for the points where a live process must not
// read what a dead one left: the start of an atomic transaction and a process
// about to read the tables it will rewrite. The local engine otherwise undoes
// a dead journal only when a program starts, so a workstation already running
// would build on those rows and see its work rolled back by that next start.
void UndoDeadTransactions();
// Whether a journal of a dead transaction (or one being rolled back) is
// there, without touching it. A lock just taken is only safe to build on
// when this is false afterwards: the transaction that held the record may
// have died between the check before the lock and the lock.
bool DeadTransactionWaiting();
// The same question with either engine.
bool DeadJournalWaiting();

}  // namespace qz
