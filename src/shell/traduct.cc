#include "shell/traduct.h"

#include "lib/settings/globals.h"
#include "shell/shell_tables.h"

namespace qz {
namespace {

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  if (from.empty()) return s;
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

}  // namespace

void LOAD_TRADUCT(const std::string& business) {
  Globals& g = G();
  g.XTRADUCT.clear();
  if (!ShellTableExists("TRADUCT")) return;
  TablePtr t = OpenShellTable("TRADUCT", "TRADUCT");
  if (!t) return;
  const std::string key = BusinessKey(business);
  t->Seek(key, true);
  for (; !t->Eof() && RawField(*t, "NEGOCIO") == key; t->Skip())
    g.XTRADUCT.emplace_back(TextField(*t, "SEQUENCE1"), TextField(*t, "SEQUENCE2"));
}

std::string P_TRADUCT(const std::string& text) {
  std::string out = text;
  for (const auto& [from, to] : G().XTRADUCT) {
    out = ReplaceAll(out, from, to);
    out = ReplaceAll(out, Upper(from), Upper(to));
  }
  return out;
}

}  // namespace qz
