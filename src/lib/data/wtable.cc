#include "lib/data/wtable.h"

#include <algorithm>

#include "lib/data/journal.h"
#include "lib/data/patience.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return Upper(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string StemOf(const std::string& file_name) {
  size_t dot = file_name.find('.');
  return dot == std::string::npos ? file_name : file_name.substr(0, dot);
}

[[noreturn]] void Fail(const WDBTable& t, const xb::Status& s, const char* op, int gen = kGenRead) {
  ThrowFault(gen, s.message(), t.Name, op);
}

}  // namespace

std::string AliasFor(const std::string& file_name, int area) {
  std::string digits = std::to_string(area);
  if (digits.size() < 3) digits = std::string(3 - digits.size(), '0') + digits;
  return PadRight(StemOf(Upper(file_name)), 7, '0') + digits;
}

WTable::~WTable() = default;

void WTable::Init(void* parent, const std::string& path, int area, const std::string& rdd,
                  bool temporary) {
  oParent = parent;
  Area = area;
  RDD = rdd;
  std::string file = FileNameOf(path);
  // A normal table is named without its extension; a temporary copy keeps it.
  Name = temporary ? file : StemOf(file);
  Alias = AliasFor(file, area);
  if (WorkArea* wa = Areas().Get(area)) {
    wa->alias = Alias;
    wa->name = Name;
  }
  Globals& g = G();
  g.XFILES_AREA.push_back({area, Name});
  SEARCH_TXT = 0;
  std::string doc_field;
  for (const auto& [tabla, documento] : g.XTXT_SRCH_FILES) {
    if (EqualsNoCase(Trim(tabla), Name)) {
      SEARCH_TXT = 1;
      doc_field = Trim(documento);
      break;
    }
  }
  if (area > 0 && area <= static_cast<int>(g.XTXT_SRCH_VECTOR.size()))
    g.XTXT_SRCH_VECTOR[area - 1] = {SEARCH_TXT, doc_field, Name};
}

void WTable::Detach() {
  Area = 0;
}

void WTable::Axit() {
  if (Area == 0) return;
  // Inside a server transaction a table with changes stays open (and keeps
  // its locks) until the transaction ends.
  auto table = Areas().Release(Area);
  if (table && !KeepUntilTransactionEnds(table)) {
    xb::Status s = table->Close();
    if (!s.ok()) MESSAGE_BOX("No se pudo cerrar el archivo: " + s.message(), "Alerta", kMbIconStop);
  }
  Globals& g = G();
  if (Area <= static_cast<int>(g.XTXT_SRCH_VECTOR.size())) g.XTXT_SRCH_VECTOR[Area - 1] = {};
  auto& files = g.XFILES_AREA;
  files.erase(
      std::remove_if(files.begin(), files.end(), [&](const auto& e) { return e.first == Area; }),
      files.end());
  Area = 0;
}

WDBTable::~WDBTable() {
  if (Area != 0) ReleaseTableObject(*this, false);
}

xb::Table& WDBTable::table() const {
  xb::Table* t = Areas().TableOf(Area);
  if (!t) ThrowFault(kGenRead, "Work area not in use", Name, "USED");
  return *t;
}

int WDBTable::Select() const {
  return Areas().Select(Area);
}

void WDBTable::Append() {
  // A step like ADD_NEW_REC's: waits while others hold the header, and a
  // failure waiting cannot cure goes to the error handler, whose
  // "Reintentar" appends again.
  // The table is looked up at each attempt: the one in the work area may be
  // replaced meanwhile (a user mending the cause while the message is up).
  RetryPatiently(
      [&] {
        MeetDeadTransactions();
        return table().Append();
      },
      LockPatience(table().path(), Alias, table().RecNo(), RetryCounter::kLocks, kGenAppendLock,
                   "APPEND"));
}

void WDBTable::Commit() {
  xb::Status s = table().Flush();
  if (!s.ok()) Fail(*this, s, "COMMIT", kGenWrite);
}

xb::FieldList WDBTable::DBStruct() const {
  return table().fields();
}

void WDBTable::Delete() {
  xb::Status s = table().Delete();
  if (!s.ok()) Fail(*this, s, "DELETE", kGenWrite);
}

bool WDBTable::Eof() const {
  return table().Eof();
}
bool WDBTable::Bof() const {
  return table().Bof();
}
int WDBTable::FCount() const {
  return static_cast<int>(table().fields().size());
}

xb::Value WDBTable::FieldGet(int pos) const {
  auto v = table().Get(pos - 1);
  if (!v.ok()) Fail(*this, v.status(), "FIELDGET");
  return *v;
}

xb::Value WDBTable::FieldGet(const std::string& name) const {
  auto v = table().Get(name);
  if (!v.ok()) Fail(*this, v.status(), "FIELDGET", kGenNoField);
  return *v;
}

std::string WDBTable::FieldName(int pos) const {
  const auto& f = table().fields();
  return pos >= 1 && pos <= static_cast<int>(f.size()) ? f[pos - 1].name : "";
}

int WDBTable::FieldPos(const std::string& name) const {
  return table().FieldIndex(name) + 1;
}

void WDBTable::FieldPut(int pos, const xb::Value& v) {
  xb::Status s = table().Put(pos - 1, v);
  if (!s.ok()) Fail(*this, s, "FIELDPUT", kGenDataType);
}

void WDBTable::FieldPut(const std::string& name, const xb::Value& v) {
  xb::Status s = table().Put(name, v);
  if (!s.ok()) Fail(*this, s, "FIELDPUT", s.IsNotFound() ? kGenNoField : kGenDataType);
}

bool WDBTable::FLock() {
  MeetDeadTransactions();
  xb::Status s = table().LockFile();
  if (s.IsBusy()) return false;
  if (!s.ok()) Fail(*this, s, "FLOCK", kGenLock);
  return true;
}

bool WDBTable::Found() const {
  return table().Found();
}

void WDBTable::GoBottom() {
  xb::Status s = table().GoBottom();
  if (!s.ok()) Fail(*this, s, "GOBOTTOM");
}

void WDBTable::GoTo(uint32_t recno) {
  xb::Status s = table().GoTo(recno);
  if (!s.ok()) Fail(*this, s, "GOTO");
}

void WDBTable::GoTop() {
  xb::Status s = table().GoTop();
  if (!s.ok()) Fail(*this, s, "GOTOP");
}

uint32_t WDBTable::LastRec() const {
  auto n = table().RecCount();
  if (!n.ok()) Fail(*this, n.status(), "LASTREC");
  return *n;
}

uint32_t WDBTable::RecNo() const {
  return table().RecNo();
}

bool WDBTable::RLock() {
  MeetDeadTransactions();
  xb::Status s = table().LockRecord();
  if (s.IsBusy()) return false;
  if (!s.ok()) Fail(*this, s, "RLOCK", kGenLock);
  return true;
}

bool WDBTable::Seek(const xb::Value& key, bool soft) {
  xb::Status s = table().Seek(key, soft);
  if (!s.ok()) Fail(*this, s, "SEEK");
  return table().Found();
}

void WDBTable::Skip(int64_t n) {
  xb::Status s = table().Skip(n);
  if (!s.ok()) Fail(*this, s, "SKIP");
}

void WDBTable::Unlock() {
  xb::Status s = table().UnlockAll();
  if (!s.ok()) Fail(*this, s, "UNLOCK", kGenWrite);
}

bool WDBTable::Used() const {
  return Area != 0 && Areas().TableOf(Area) != nullptr;
}

void WDBTable::SetOrder(const std::string& tag) {
  xb::Status s = table().SetOrder(tag);
  if (!s.ok()) Fail(*this, s, "ORDSETFOCUS");
}

void WDBTable::SetScope(const std::optional<xb::Value>& top,
                        const std::optional<xb::Value>& bottom) {
  xb::Status s = table().SetScope(top, bottom);
  if (!s.ok()) Fail(*this, s, "ORDSCOPE");
}

void WDBTable::ClearScope() {
  xb::Status s = table().ClearScope();
  if (!s.ok()) Fail(*this, s, "ORDSCOPE");
}

bool WDBTable::Deleted() const {
  return table().Deleted();
}

std::string WDBTable::TextUtf8(const std::string& field) const {
  xb::Value v = FieldGet(field);
  return xb::ToUtf8(Trim(v.str()), table().codepage());
}

}  // namespace qz
