#include "lib/data/journal.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <set>

#include "lib/clock.h"
#include "lib/data/patience.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/message_box.h"
#include "xbase/table.h"

namespace qz {
namespace {

constexpr char kMagic[] = "QZJRNL01";
constexpr char kDoneMagic[] = "QZJDONE!";
constexpr size_t kMagicLen = 8;

uint32_t Fnv1a(const std::string& s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

void PutU32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

std::string Serialize(const JournalEntry& e) {
  std::string body;
  body.push_back(e.kind);
  body.push_back(static_cast<char>(e.table.size() & 0xFF));
  body.push_back(static_cast<char>((e.table.size() >> 8) & 0xFF));
  body += e.table;
  PutU32(&body, e.recno);
  PutU32(&body, static_cast<uint32_t>(e.image.size()));
  body += e.image;
  std::string out;
  PutU32(&out, static_cast<uint32_t>(body.size()));
  out += body;
  PutU32(&out, Fnv1a(body));
  return out;
}

bool ParseBody(const std::string& body, JournalEntry* e) {
  if (body.size() < 3) return false;
  e->kind = body[0];
  size_t plen = static_cast<unsigned char>(body[1]) | (static_cast<unsigned char>(body[2]) << 8);
  if (body.size() < 3 + plen + 8) return false;
  e->table = body.substr(3, plen);
  e->recno = GetU32(body, 3 + plen);
  uint32_t ilen = GetU32(body, 7 + plen);
  if (body.size() != 11 + plen + ilen) return false;
  e->image = body.substr(11 + plen, ilen);
  return e->kind == 'B' || e->kind == 'A';
}

std::atomic<int> g_sequence{0};

// Journals this process could not roll back: retried at the next start, not
// at every lock (nor alerted at every lock).
std::set<std::string>& GivenUp() {
  static std::set<std::string> s;
  return s;
}

// Journal names begin with the owner's host and process: "HOST-PID-".
std::string OwnJournalPrefix() {
  return Upper(HostName()) + "-" + std::to_string(getpid()) + "-";
}

bool EndsWithNoCase(const std::string& name, const std::string& ext) {
  return name.size() >= ext.size() && Upper(name.substr(name.size() - ext.size())) == ext;
}

xb::Status ReadAll(xb::File& f, std::string* bytes) {
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(f.Size(&size));
  bytes->assign(size, '\0');
  size_t got = 0;
  XB_RETURN_IF_ERROR(f.ReadAt(0, bytes->data(), size, &got));
  bytes->resize(got);
  return xb::Status::OK();
}

// Undoes one dead transaction's entries, newest first. False when some
// record could not be put back (the journal is then kept for the next start).
bool Apply(const std::string& program_folder, const std::vector<JournalEntry>& entries,
           RecoveryReport* report) {
  std::map<std::string, std::unique_ptr<xb::Table>> tables;
  bool complete = true;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    std::string path = JournalTablePath(program_folder, it->table);
    auto& table = tables[path];
    if (!table) {
      auto t = xb::Table::Open(path);
      if (!t.ok()) {
        // A temporary or since-deleted table: nothing left to restore.
        if (!t.status().IsNotFound()) {
          report->problems.push_back(t.status().ToString());
          complete = false;
        }
        tables.erase(path);
        continue;
      }
      table = std::move(*t);
    }
    xb::Table& t = *table;
    auto count = t.RecCount();
    if (!count.ok()) {
      report->problems.push_back(count.status().ToString());
      complete = false;
      continue;
    }
    // An append that never reached the file leaves nothing to erase.
    if (it->recno > *count) continue;
    Patience p;
    p.message = "El dato se encuentra bloqueado: " + t.name();
    p.gen_code = kGenLock;
    p.filename = path;
    p.operation = "RECOVER";
    xb::Status s;
    try {
      RetryPatiently([&] { return t.LockRecord(it->recno); }, p);
      s = it->kind == 'B' ? t.RestoreRecord(it->recno, it->image) : t.EraseRecord(it->recno);
    } catch (const Fault& f) {
      s = xb::Status::IOError(f.info().description);
    }
    if (s.ok()) s = t.UnlockRecord(it->recno);
    if (s.ok()) {
      ++report->records;
    } else {
      report->problems.push_back(s.ToString());
      complete = false;
    }
  }
  for (auto& [path, table] : tables) {
    xb::Status s = table->Flush();
    std::vector<std::string> problems;
    if (s.ok()) s = table->Check(&problems);
    table->Close();
    if (!s.ok()) report->problems.push_back(s.ToString());
    if (problems.empty()) continue;
    // The process died between a record write and its index update: rebuild
    // the tags when nobody else has the table open.
    xb::OpenOptions ex;
    ex.exclusive = true;
    auto t = xb::Table::Open(path, ex);
    if (t.ok() && (*t)->Reindex().ok()) continue;
    for (auto& p : problems) report->problems.push_back(path + ": " + p);
  }
  return complete;
}

}  // namespace

xb::Result<std::unique_ptr<JournalFile>> JournalFile::Create(const std::string& folder) {
  xb::Env* env = xb::Env::Default();
  if (!env->Exists(folder)) {
    xb::Status s = env->MakeDir(folder);
    if (!s.ok() && !env->Exists(folder)) return s;
  }
  std::unique_ptr<JournalFile> j(new JournalFile());
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string stem = folder + OwnJournalPrefix() + std::to_string(++g_sequence);
    j->path_ = stem + ".JRN";
    std::string newborn = stem + ".JNEW";
    if (env->Exists(j->path_) || env->Exists(newborn)) continue;
    auto f = env->Create(newborn, true);
    if (!f.ok()) return f.status();
    j->file_ = std::move(*f);
    // Locked before its first byte and renamed only once its header is on
    // disk: a starting workstation never takes it for a dead one.
    xb::Status s = j->file_->Lock(kJournalLockOffset, 1, true);
    if (s.ok()) s = j->file_->WriteAt(0, kMagic, kMagicLen);
    if (s.ok() && DurableCommits()) s = j->file_->Sync();
    if (s.ok()) s = env->Rename(newborn, j->path_);
    if (!s.ok()) {
      j->file_.reset();
      // A recoverer took it for a dead one before the lock was on it: the
      // next name will do.
      if (!env->Exists(newborn)) continue;
      env->Remove(newborn);
      return s;
    }
    j->end_ = kMagicLen;
    return j;
  }
  return xb::Status::IOError(folder + ": no free journal name");
}

JournalFile::~JournalFile() = default;

xb::Status JournalFile::Add(const JournalEntry& e) {
  std::string bytes = Serialize(e);
  // Handed to the operating system before the data changes, which is what a
  // process that dies mid-transaction needs: the entry is in the page cache
  // and the next start finds it. Syncing every entry to the disk would cost a
  // disk round trip per record (milliseconds), which turns opening a payroll
  // period into minutes; the tables are synced before the journal goes away.
  XB_RETURN_IF_ERROR(file_->WriteAt(end_, bytes.data(), bytes.size()));
  end_ += bytes.size();
  return xb::Status::OK();
}

xb::Status JournalFile::Discard() {
  if (!file_) return xb::Status::OK();
  xb::Status s = file_->WriteAt(0, kDoneMagic, kMagicLen);
  if (s.ok() && DurableCommits()) s = file_->Sync();
  xb::Status r = xb::Env::Default()->Remove(path_);
  file_.reset();
  return s.ok() ? r : s;
}

namespace {
bool g_durable = true;
}  // namespace

void SetDurableCommits(bool on) {
  g_durable = on;
}
bool DurableCommits() {
  return g_durable;
}

std::string JournalFolder(const std::string& program_folder) {
  return program_folder + "BASES/JOURNAL/";
}

std::string JournalTableName(const std::string& program_folder, const std::string& path) {
  if (!program_folder.empty() && path.compare(0, program_folder.size(), program_folder) == 0)
    return path.substr(program_folder.size());
  return path;
}

std::string JournalTablePath(const std::string& program_folder, const std::string& stored) {
  if (!stored.empty() && stored[0] == '/') return stored;
  return program_folder + stored;
}

void ParseJournal(const std::string& bytes, std::vector<JournalEntry>* entries, bool* done) {
  entries->clear();
  *done = bytes.size() < kMagicLen || bytes.compare(0, kMagicLen, kMagic) != 0;
  if (*done) return;
  size_t at = kMagicLen;
  while (at + 4 <= bytes.size()) {
    uint32_t len = GetU32(bytes, at);
    if (at + 4 + len + 4 > bytes.size()) break;
    std::string body = bytes.substr(at + 4, len);
    if (Fnv1a(body) != GetU32(bytes, at + 4 + len)) break;
    JournalEntry e;
    if (!ParseBody(body, &e)) break;
    entries->push_back(std::move(e));
    at += 8 + len;
  }
}

namespace {

// Takes the recovery byte of a journal, waiting while another process rolls
// it back. False when the journal went away meanwhile.
bool TakeRecoveryByte(xb::File& f, const std::string& path) {
  Clock& clock = CurrentClock();
  for (;;) {
    xb::Status s = f.Lock(kJournalRecoveryOffset, 1, true);
    if (s.ok()) return true;
    if (!s.IsBusy() || !xb::Env::Default()->Exists(path)) return false;
    clock.SleepMs(5);
  }
}

// Rolls back the journal at `path` when its transaction is dead.
void RecoverOne(const std::string& program_folder, const std::string& path,
                RecoveryReport* report) {
  xb::Env* env = xb::Env::Default();
  auto f = env->Open(path, xb::OpenMode::kReadWrite);
  if (!f.ok()) return;
  if (!TakeRecoveryByte(**f, path)) return;
  // Busy: its transaction is alive.
  if (!(*f)->Lock(kJournalLockOffset, 1, true).ok()) return;
  if (!env->Exists(path)) return;  // recovered and removed while we waited
  if (EndsWithNoCase(path, ".JNEW")) {
    env->Remove(path);  // its owner died before it held anything
    return;
  }
  std::string bytes;
  if (!ReadAll(**f, &bytes).ok()) {
    report->problems.push_back(path + ": cannot be read");
    report->kept.push_back(path);
    return;
  }
  std::vector<JournalEntry> entries;
  bool done = false;
  ParseJournal(bytes, &entries, &done);
  if (!done) {
    if (!Apply(program_folder, entries, report)) {
      report->kept.push_back(path);
      return;
    }
    ++report->journals;
    (*f)->WriteAt(0, kDoneMagic, kMagicLen);
    (*f)->Sync();
  }
  env->Remove(path);
}

}  // namespace

RecoveryReport RecoverJournals(const std::string& program_folder) {
  RecoveryReport report;
  xb::Env* env = xb::Env::Default();
  std::string folder = JournalFolder(program_folder);
  std::vector<std::string> names;
  if (!env->ListDir(folder, &names).ok()) return report;
  std::sort(names.begin(), names.end());
  for (const auto& name : names) {
    // This process's own journal is locked through another open file, so it
    // looks alive like any other.
    if (!EndsWithNoCase(name, ".JRN") && !EndsWithNoCase(name, ".JNEW")) continue;
    if (GivenUp().count(folder + name)) continue;
    RecoverOne(program_folder, folder + name, &report);
  }
  return report;
}

bool DeadTransactionWaiting() {
  return IsServerEngine() && DeadJournalWaiting();
}

bool DeadJournalWaiting() {
  const Globals& g = G();
  if (g.PATH.empty()) return false;
  xb::Env* env = xb::Env::Default();
  std::string folder = JournalFolder(g.PATH);
  std::vector<std::string> names;
  if (!env->ListDir(folder, &names).ok()) return false;
  for (const auto& name : names) {
    if (!EndsWithNoCase(name, ".JRN") && !EndsWithNoCase(name, ".JNEW")) continue;
    if (GivenUp().count(folder + name)) continue;
    auto f = env->Open(folder + name, xb::OpenMode::kReadWrite);
    if (!f.ok()) continue;
    // A recovery under way, or an owner gone: either way not finished.
    if (!(*f)->Lock(kJournalRecoveryOffset, 1, true).ok()) return true;
    if ((*f)->Lock(kJournalLockOffset, 1, true).ok()) return true;
  }
  return false;
}

namespace {

// Rolls back the dead journals of the installation; a rollback that could not
// finish is told once per journal ("Alerta"), not at every later guard.
void UndoDead() {
  static bool running = false;
  const Globals& g = G();
  if (running || g.PATH.empty()) return;
  running = true;
  RecoveryReport r = RecoverJournals(g.PATH);
  running = false;
  bool new_problem = false;
  for (const auto& path : r.kept) new_problem |= GivenUp().insert(path).second;
  if (!r.problems.empty() && (new_problem || r.kept.empty()))
    MESSAGE_BOX(
        "No se pudo deshacer por completo una transacción interrumpida:\r" + r.problems.front(),
        "Alerta", kMbIconStop);
}

}  // namespace

void MeetDeadTransactions() {
  if (IsServerEngine()) UndoDead();
}

void UndoDeadTransactions() {
  UndoDead();
}

}  // namespace qz
