#include "lib/ini/private_profile.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "lib/settings/globals.h"
#include "xbase/env.h"

namespace qz {
namespace {

xb::Env* Fs() {
  return xb::Env::Default();
}

struct Line {
  std::string text;  // without its line end
  std::string end;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    bool cr = nl > start && bytes[nl - 1] == '\r';
    lines.push_back({bytes.substr(start, nl - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
    start = nl + 1;
  }
  return lines;
}

std::optional<std::string> SectionName(const std::string& line) {
  std::string t = Trim(line);
  if (t.size() < 2 || t[0] != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// Key and value of a "key=value" line; nullopt for other lines.
std::optional<std::pair<std::string, std::string>> KeyValue(const std::string& line) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return std::nullopt;
  std::string key = Trim(line.substr(0, eq));
  if (key.empty() || key[0] == ';') return std::nullopt;
  std::string value = Trim(line.substr(eq + 1));
  // A value in matching quotes is given without them.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::make_pair(key, value);
}

xb::Status ReadFile(const std::string& path, std::string* bytes, bool* missing) {
  *missing = false;
  auto f = Fs()->Open(path, xb::OpenMode::kReadOnly);
  if (!f.ok()) {
    *missing = f.status().IsNotFound() || !Fs()->Exists(path);
    return *missing ? xb::Status::OK() : f.status();
  }
  uint64_t size = 0;
  XB_RETURN_IF_ERROR((*f)->Size(&size));
  bytes->assign(size, '\0');
  size_t got = 0;
  XB_RETURN_IF_ERROR((*f)->ReadAt(0, bytes->data(), size, &got));
  bytes->resize(got);
  return xb::Status::OK();
}

xb::Status ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string aside = path + ".~" + std::to_string(getpid());
  auto f = Fs()->Create(aside, true);
  if (!f.ok()) return f.status();
  xb::Status s = (*f)->WriteAt(0, bytes.data(), bytes.size());
  if (s.ok()) s = (*f)->Sync();
  f->reset();
  if (s.ok()) s = Fs()->Rename(aside, path);
  if (!s.ok()) Fs()->Remove(aside);
  return s;
}

// Rewrites the file with `key` set to `value` (or removed when null).
xb::Status Update(const std::string& section, const std::string& key,
                  const std::optional<std::string>& value, const std::string& file) {
  std::string bytes;
  bool missing = false;
  XB_RETURN_IF_ERROR(ReadFile(file, &bytes, &missing));
  std::vector<Line> lines = SplitLines(bytes);
  const std::string eol = lines.empty() || lines.front().end.empty() ? "\r\n" : lines.front().end;
  if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
  const std::string entry = Trim(key) + "=" + value.value_or("");
  int section_at = -1, last_in_section = -1;
  bool in_section = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i].text)) {
      in_section = EqualsNoCase(*name, Trim(section));
      if (in_section && section_at < 0) {
        section_at = static_cast<int>(i);
        last_in_section = static_cast<int>(i);
      }
      continue;
    }
    if (!in_section) continue;
    if (!Trim(lines[i].text).empty()) last_in_section = static_cast<int>(i);
    auto kv = KeyValue(lines[i].text);
    if (kv && EqualsNoCase(kv->first, Trim(key))) {
      if (value) {
        lines[i].text = entry;
      } else {
        lines.erase(lines.begin() + static_cast<long>(i));
      }
      std::string out;
      for (const auto& l : lines) out += l.text + l.end;
      return ReplaceFile(file, out);
    }
  }
  if (!value) return xb::Status::OK();
  if (section_at < 0) {
    if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back({"", eol});
    lines.push_back({"[" + Trim(section) + "]", eol});
    lines.push_back({entry, eol});
  } else {
    lines.insert(lines.begin() + last_in_section + 1, Line{entry, eol});
  }
  std::string out;
  for (const auto& l : lines) out += l.text + l.end;
  return ReplaceFile(file, out);
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& file) {
  std::string bytes;
  bool missing = false;
  if (!ReadFile(file, &bytes, &missing).ok() || missing) return default_value;
  bool in_section = false;
  for (const auto& l : SplitLines(bytes)) {
    if (auto name = SectionName(l.text)) {
      in_section = EqualsNoCase(*name, Trim(section));
      continue;
    }
    if (!in_section) continue;
    auto kv = KeyValue(l.text);
    if (kv && EqualsNoCase(kv->first, Trim(key))) return kv->second;
  }
  return default_value;
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int default_value,
                         const std::string& file) {
  std::string v = GetPrivateProfileString(section, key, "", file);
  if (v.empty()) return default_value;
  return std::atoi(v.c_str());
}

xb::Status WritePrivateProfileString(const std::string& section, const std::string& key,
                                     const std::string& value, const std::string& file) {
  return Update(section, key, Trim(value), file);
}

xb::Status DeletePrivateProfileKey(const std::string& section, const std::string& key,
                                   const std::string& file) {
  return Update(section, key, std::nullopt, file);
}

std::string QuartzelIni() {
  return G().PATH + "QUARTZEL.INI";
}

}  // namespace qz
