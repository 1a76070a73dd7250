#include "lib/ui/catalog_data.h"

#include <cctype>
#include <filesystem>

#include "lib/clock.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

std::string g_tables_dir = "BASES";

constexpr int64_t kRetryMs = 100;
constexpr int64_t kPatienceMs = 5000;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The table file of `name` in the tables folder, whatever the case of its
// name and extension.
std::string FindTableFile(const std::string& name) {
  std::error_code ec;
  std::string want = Upper(name) + ".DBF";
  for (const auto& e : fs::directory_iterator(g_tables_dir, ec)) {
    if (Upper(e.path().filename().string()) == want) return e.path().string();
  }
  return (fs::path(g_tables_dir) / (name + ".DBF")).string();
}

// Retries `attempt` every 100 ms; after 5 seconds every failure asks the
// user (OK = go on, Cancel = give up).
template <class F>
bool Patiently(F attempt, const std::string& message) {
  Clock& clock = CurrentClock();
  int64_t start = clock.TickMs();
  for (;;) {
    xb::Status st = attempt();
    if (st.ok()) return true;
    if (!st.IsBusy() && st.code() != xb::Code::kIOError) {
      MESSAGE_BOX(message + "\r\n" + st.message(), "Alerta", kMbIconStop);
      return false;
    }
    if (clock.TickMs() - start >= kPatienceMs) {
      if (MESSAGE_BOX(message, "Alerta", kMbOkCancel | kMbIconWarning) != 1) return false;
    }
    clock.SleepMs(kRetryMs);
  }
}

}  // namespace

void SetTablesDir(const std::string& dir) { g_tables_dir = dir; }
const std::string& TablesDir() { return g_tables_dir; }

std::unique_ptr<xb::Table> OpenTable(const std::string& name) {
  std::string path = FindTableFile(name);
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    MESSAGE_BOX("No se puede abrir archivo: " + path, "Alerta", kMbIconStop);
    return nullptr;
  }
  std::unique_ptr<xb::Table> table;
  bool ok = Patiently(
      [&]() -> xb::Status {
        auto t = xb::Table::Open(path);
        if (!t.ok()) return t.status();
        table = std::move(*t);
        return xb::Status::OK();
      },
      "No se puede abrir archivo: " + path);
  return ok ? std::move(table) : nullptr;
}

void CloseTable(std::unique_ptr<xb::Table>& t) {
  if (!t) return;
  t->Close();
  t.reset();
}

bool LockForModify(xb::Table& t) {
  if (t.Eof() || t.RecNo() == 0) return false;
  uint32_t recno = t.RecNo();
  return Patiently([&] { return t.LockRecord(recno); },
                   "El dato se encuentra bloqueado: " + t.name());
}

void UnlockForModify(xb::Table& t) {
  uint32_t recno = t.RecNo();
  xb::Status st = t.Flush();
  if (!st.ok()) MESSAGE_BOX("No se pudo grabar en " + t.name() + "\r\n" + st.message(), "Alerta",
                            kMbIconStop);
  if (recno) t.UnlockRecord(recno);
}

bool AddNewRec(xb::Table& t) {
  return Patiently([&] { return t.Append(); }, "El dato se encuentra bloqueado: " + t.name());
}

std::string ToField(const std::string& utf8, int width) {
  std::string bytes = xb::FromUtf8(utf8);
  if (width > 0) bytes.resize(width, ' ');
  return bytes;
}

std::string FromField(const xb::Value& v) { return v.is_char() ? xb::ToUtf8(v.str()) : ""; }

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

std::string FieldText(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() ? TrimRight(FromField(*v)) : std::string();
}

int FieldWidth(const xb::Table& t, const std::string& field) {
  int i = t.FieldIndex(field);
  return i < 0 ? 0 : t.fields()[i].len;
}

}  // namespace qz
