// Table commands of qzadmin: dump, info, check, reindex, pack.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "qzadmin.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qzadmin {
namespace {

using nlohmann::json;

struct TableArgs {
  std::string file;
  std::string tag;
  bool deleted = false;
  bool ok = false;
};

TableArgs Parse(const Args& args, bool allow_tag) {
  TableArgs t;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--deleted" && allow_tag) {
      t.deleted = true;
    } else if (args[i] == "--tag" && allow_tag && i + 1 < args.size()) {
      t.tag = args[++i];
    } else if (!args[i].empty() && args[i][0] != '-' && t.file.empty()) {
      t.file = args[i];
    } else {
      std::fprintf(stderr, "qzadmin: unexpected argument %s\n", args[i].c_str());
      return t;
    }
  }
  if (t.file.empty()) {
    std::fprintf(stderr, "qzadmin: a table file is needed\n");
    return t;
  }
  t.ok = true;
  return t;
}

std::string Timestamp(const xb::Timestamp& t) {
  if (t.jd == 0) return std::string(17, ' ');
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d%03d", t.ms / 3600000, t.ms / 60000 % 60,
                t.ms / 1000 % 60, t.ms % 1000);
  return xb::DtosFromJulian(t.jd) + buf;
}

json ToJson(const xb::Value& v, xb::CodePage cp) {
  switch (v.type()) {
    case xb::Value::Type::kChar: return xb::ToUtf8(v.str(), cp);
    case xb::Value::Type::kNumber: return v.number();
    case xb::Value::Type::kInteger: return v.integer();
    case xb::Value::Type::kDate: return xb::DtosFromJulian(v.date());
    case xb::Value::Type::kLogical: return v.logical();
    case xb::Value::Type::kTimestamp: return Timestamp(v.stamp());
    default: return nullptr;
  }
}

xb::Result<std::unique_ptr<xb::Table>> OpenFor(const std::string& file, bool exclusive) {
  xb::OpenOptions o;
  o.read_only = !exclusive;
  o.exclusive = exclusive;
  return xb::Table::Open(file, o);
}

}  // namespace

int CmdDump(const Args& args) {
  TableArgs a = Parse(args, true);
  if (!a.ok) return 2;
  auto t = OpenFor(a.file, false);
  if (!t.ok()) return Fail(t.status().ToString());
  xb::Table& tb = **t;
  xb::SetDeletedHidden(!a.deleted);
  xb::Status s = tb.SetOrder(a.tag);
  if (!s.ok()) return Fail(s.ToString());
  for (s = tb.GoTop(); s.ok() && !tb.Eof(); s = tb.Skip(1)) {
    json values = json::object();
    for (size_t i = 0; i < tb.fields().size(); ++i) {
      auto v = tb.Get(static_cast<int>(i));
      if (!v.ok()) return Fail(v.status().ToString());
      values[tb.fields()[i].name] = ToJson(*v, tb.codepage());
    }
    json rec = {{"recno", tb.RecNo()}, {"deleted", tb.Deleted()}, {"values", values}};
    std::cout << rec.dump() << '\n';
  }
  if (!s.ok()) return Fail(s.ToString());
  return 0;
}

int CmdInfo(const Args& args) {
  TableArgs a = Parse(args, false);
  if (!a.ok) return 2;
  auto t = OpenFor(a.file, false);
  if (!t.ok()) return Fail(t.status().ToString());
  xb::Table& tb = **t;
  json fields = json::array();
  for (const auto& f : tb.fields())
    fields.push_back({{"name", f.name}, {"type", std::string(1, f.type)}, {"len", f.len}, {"dec", f.dec}});
  json tags = json::array();
  for (const auto& g : tb.Tags())
    tags.push_back({{"name", g.name}, {"key", g.key}, {"for", g.for_expr},
                    {"descending", g.descending}, {"type", std::string(1, g.key_type)},
                    {"key_len", g.key_len}});
  auto n = tb.RecCount();
  if (!n.ok()) return Fail(n.status().ToString());
  json out = {{"table", tb.name()}, {"file", tb.path()}, {"codepage", "cp1252"},
              {"reccount", *n}, {"record_length", tb.record_length()},
              {"fields", fields}, {"tags", tags}};
  std::cout << out.dump(2) << '\n';
  return 0;
}

int CmdCheck(const Args& args) {
  TableArgs a = Parse(args, false);
  if (!a.ok) return 2;
  auto t = OpenFor(a.file, false);
  if (!t.ok()) return Fail(t.status().ToString());
  std::vector<std::string> problems;
  xb::Status s = (*t)->Check(&problems);
  if (!s.ok()) return Fail(s.ToString());
  for (const auto& p : problems) std::cout << p << '\n';
  if (!problems.empty()) return 1;
  std::cout << (*t)->path() << ": " << (*t)->Tags().size() << " tags consistent\n";
  return 0;
}

int CmdPack(const Args& args) {
  TableArgs a = Parse(args, false);
  if (!a.ok) return 2;
  auto t = OpenFor(a.file, true);
  if (!t.ok()) return Fail(t.status().ToString());
  auto before = (*t)->RecCount();
  xb::Status s = (*t)->Pack();
  auto after = (*t)->RecCount();
  if (s.ok()) s = (*t)->Close();
  if (!s.ok()) return Fail(s.ToString());
  std::cout << "removed " << (*before - *after) << " deleted records, " << *after << " remain\n";
  return 0;
}

}  // namespace qzadmin
