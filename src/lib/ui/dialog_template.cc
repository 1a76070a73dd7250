#include "lib/ui/dialog_template.h"
#include "lib/ui/dialog_template_data.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace qz {
namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;

struct KindName {
  ControlKind kind;
  const char* name;
};
constexpr KindName kKinds[] = {
    {ControlKind::kRow, "row"},       {ControlKind::kColumn, "column"},
    {ControlKind::kGroup, "group"},   {ControlKind::kTabs, "tabs"},
    {ControlKind::kTab, "tab"},       {ControlKind::kLabel, "label"},
    {ControlKind::kEdit, "edit"},     {ControlKind::kMemo, "memo"},
    {ControlKind::kButton, "button"}, {ControlKind::kCheck, "check"},
    {ControlKind::kRadio, "radio"},   {ControlKind::kCombo, "combo"},
    {ControlKind::kList, "list"},     {ControlKind::kGrid, "grid"},
    {ControlKind::kTree, "tree"},     {ControlKind::kSpacer, "spacer"},
};

const std::set<std::string> kNodeKeys = {"kind",    "id",       "caption", "label",
                                         "width",   "lines",    "picture", "options",
                                         "default", "readonly", "stretch", "items"};
const std::set<std::string> kRepeatKeys = {"kind", "count", "step", "first", "values", "items"};
const std::set<std::string> kTopKeys = {"name", "title", "child", "min_width", "layout"};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

class Parser {
 public:
  explicit Parser(std::string name) : name_(std::move(name)) {}

  xb::Status Node(const json& j, const std::string& where, TemplateNode* out) {
    if (!j.is_object()) return Fail(where, "is not an object");
    for (auto it = j.begin(); it != j.end(); ++it) {
      if (!kNodeKeys.count(it.key())) return Fail(where, "has unknown key \"" + it.key() + "\"");
    }
    if (!j.contains("kind") || !j["kind"].is_string()) return Fail(where, "has no kind");
    std::string kind = j["kind"].get<std::string>();
    bool known = false;
    for (const auto& k : kKinds) {
      if (kind == k.name) {
        out->kind = k.kind;
        known = true;
      }
    }
    if (!known) return Fail(where, "has unknown kind \"" + kind + "\"");
    std::string here = where + " (" + kind + ")";
    XB_RETURN_IF_ERROR(Int(j, "id", here, &out->id));
    XB_RETURN_IF_ERROR(Int(j, "width", here, &out->width));
    XB_RETURN_IF_ERROR(Int(j, "lines", here, &out->lines));
    XB_RETURN_IF_ERROR(Str(j, "caption", here, &out->caption));
    XB_RETURN_IF_ERROR(Str(j, "label", here, &out->label));
    XB_RETURN_IF_ERROR(Str(j, "picture", here, &out->picture));
    XB_RETURN_IF_ERROR(Bool(j, "default", here, &out->is_default));
    XB_RETURN_IF_ERROR(Bool(j, "readonly", here, &out->readonly));
    XB_RETURN_IF_ERROR(Bool(j, "stretch", here, &out->stretch));
    if (j.contains("options")) {
      if (!j["options"].is_array()) return Fail(here, "options must be a list of texts");
      for (const auto& o : j["options"]) {
        if (!o.is_string()) return Fail(here, "options must be a list of texts");
        out->options.push_back(o.get<std::string>());
      }
    }
    if (out->id < 0) return Fail(here, "has a negative id");
    if (out->id != 0) {
      if (!ids_.insert(out->id).second) return Fail(here, "repeats id " + std::to_string(out->id));
    }
    if (out->picture.empty() && out->kind == ControlKind::kEdit && out->width < 0)
      return Fail(here, "has a negative width");
    if (IsContainer(out->kind)) {
      if (out->id != 0) return Fail(here, "is a container and cannot have an id");
      if (!j.contains("items") || !j["items"].is_array() || j["items"].empty())
        return Fail(here, "is a container without items");
      std::vector<json> items;
      for (const auto& c : j["items"]) {
        if (c.is_object() && c.value("kind", "") == "repeat") {
          XB_RETURN_IF_ERROR(Repeat(c, here + ".items[" + std::to_string(items.size()) + "]",
                                    &items));
        } else {
          items.push_back(c);
        }
      }
      int n = 0;
      for (const auto& c : items) {
        TemplateNode child;
        XB_RETURN_IF_ERROR(Node(c, here + ".items[" + std::to_string(n++) + "]", &child));
        if (out->kind == ControlKind::kTabs && child.kind != ControlKind::kTab)
          return Fail(here, "holds something other than tabs");
        if (child.kind == ControlKind::kTab && out->kind != ControlKind::kTabs)
          return Fail(here, "holds a tab outside tabs");
        out->items.push_back(std::move(child));
      }
    } else {
      if (j.contains("items")) return Fail(here, "is a control and cannot hold items");
      bool needs_id = out->kind != ControlKind::kLabel && out->kind != ControlKind::kSpacer;
      if (needs_id && out->id == 0) return Fail(here, "needs an id");
    }
    return xb::Status::OK();
  }

  xb::Status Fail(const std::string& where, const std::string& what) const {
    return xb::Status::InvalidArgument("dialog template " + name_ + ": " + where + " " + what);
  }

 private:
  // A repeat stands for its items written `count` times: in repetition i
  // (from 0) every id inside grows by i * `step` (default 1), "{n}" in a
  // caption or label becomes `first` + i (default 1) and "{value}" the i-th
  // of `values` (whose length is then the count).
  xb::Status Repeat(const json& r, const std::string& where, std::vector<json>* out) {
    for (auto it = r.begin(); it != r.end(); ++it) {
      if (!kRepeatKeys.count(it.key()))
        return Fail(where, "(repeat) has unknown key \"" + it.key() + "\"");
    }
    std::string here = where + " (repeat)";
    int count = 0, step = 1, first = 1;
    XB_RETURN_IF_ERROR(Int(r, "count", here, &count));
    XB_RETURN_IF_ERROR(Int(r, "step", here, &step));
    XB_RETURN_IF_ERROR(Int(r, "first", here, &first));
    std::vector<std::string> values;
    if (r.contains("values")) {
      if (!r["values"].is_array()) return Fail(here, "values must be a list of texts");
      for (const auto& v : r["values"]) {
        if (!v.is_string()) return Fail(here, "values must be a list of texts");
        values.push_back(v.get<std::string>());
      }
      if (r.contains("count") && count != static_cast<int>(values.size()))
        return Fail(here, "has a count other than the number of values");
      count = static_cast<int>(values.size());
    }
    if (count <= 0 || count > 1000) return Fail(here, "needs a count from 1 to 1000");
    if (!r.contains("items") || !r["items"].is_array() || r["items"].empty())
      return Fail(here, "is a repeat without items");
    for (int i = 0; i < count; ++i) {
      std::string n = std::to_string(first + i);
      std::string value = values.empty() ? std::string() : values[i];
      for (const auto& item : r["items"]) out->push_back(Substitute(item, i * step, n, value));
    }
    return xb::Status::OK();
  }

  static json Substitute(const json& j, int id_add, const std::string& n, const std::string& value) {
    if (!j.is_object()) return j;
    json c = j;
    if (id_add != 0 && c.contains("id") && c["id"].is_number_integer() && c["id"].get<int>() != 0)
      c["id"] = c["id"].get<int>() + id_add;
    for (const char* key : {"caption", "label"}) {
      if (!c.contains(key) || !c[key].is_string()) continue;
      std::string t = c[key].get<std::string>();
      for (auto [from, to] : {std::pair<std::string, std::string>{"{n}", n}, {"{value}", value}}) {
        for (size_t p = t.find(from); p != std::string::npos; p = t.find(from, p + to.size()))
          t.replace(p, from.size(), to);
      }
      c[key] = t;
    }
    if (c.contains("items") && c["items"].is_array()) {
      for (auto& item : c["items"]) item = Substitute(item, id_add, n, value);
    }
    return c;
  }

  xb::Status Int(const json& j, const char* key, const std::string& where, int* out) {
    if (!j.contains(key)) return xb::Status::OK();
    if (!j[key].is_number_integer())
      return Fail(where, std::string(key) + " must be a whole number");
    *out = j[key].get<int>();
    return xb::Status::OK();
  }
  xb::Status Str(const json& j, const char* key, const std::string& where, std::string* out) {
    if (!j.contains(key)) return xb::Status::OK();
    if (!j[key].is_string()) return Fail(where, std::string(key) + " must be a text");
    *out = j[key].get<std::string>();
    return xb::Status::OK();
  }
  xb::Status Bool(const json& j, const char* key, const std::string& where, bool* out) {
    if (!j.contains(key)) return xb::Status::OK();
    if (!j[key].is_boolean()) return Fail(where, std::string(key) + " must be true or false");
    *out = j[key].get<bool>();
    return xb::Status::OK();
  }

  std::string name_;
  std::set<int> ids_;
};

void Collect(const TemplateNode& n, std::vector<const TemplateNode*>* out) {
  if (n.id != 0) out->push_back(&n);
  for (const auto& c : n.items) Collect(c, out);
}

std::string DefaultDir() {
  std::vector<fs::path> candidates;
  if (const char* r = std::getenv("QUARTZEL_RESOURCES"))
    candidates.emplace_back(fs::path(r) / "dialogs");
  if (const char* h = std::getenv("QUARTZEL_HOME"))
    candidates.emplace_back(fs::path(h) / "resources/dialogs");
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    candidates.push_back(exe.parent_path() / "resources/dialogs");
    candidates.push_back(exe.parent_path().parent_path() / "resources/dialogs");
  }
  for (const auto& c : candidates) {
    if (fs::is_directory(c, ec)) return c.string();
  }
  return "resources/dialogs";
}

std::mutex g_mu;
std::string g_dir;
std::map<std::string, std::shared_ptr<const DialogTemplate>> g_cache;

}  // namespace

const char* ControlKindName(ControlKind k) {
  for (const auto& e : kKinds) {
    if (e.kind == k) return e.name;
  }
  return "?";
}

bool IsContainer(ControlKind k) {
  return k == ControlKind::kRow || k == ControlKind::kColumn || k == ControlKind::kGroup ||
         k == ControlKind::kTabs || k == ControlKind::kTab;
}

std::vector<const TemplateNode*> DialogTemplate::Controls() const {
  std::vector<const TemplateNode*> out;
  Collect(root, &out);
  return out;
}

const TemplateNode* DialogTemplate::Find(int id) const {
  for (const TemplateNode* n : Controls()) {
    if (n->id == id) return n;
  }
  return nullptr;
}

xb::Result<DialogTemplate> ParseDialogTemplate(const std::string& json_text,
                                               const std::string& name) {
  Parser p(name);
  json j = json::parse(json_text, nullptr, /*allow_exceptions=*/false);
  if (j.is_discarded()) return p.Fail("file", "is not valid JSON");
  if (!j.is_object()) return p.Fail("file", "is not an object");
  for (auto it = j.begin(); it != j.end(); ++it) {
    if (!kTopKeys.count(it.key())) return p.Fail("file", "has unknown key \"" + it.key() + "\"");
  }
  DialogTemplate t;
  if (!j.contains("name") || !j["name"].is_string()) return p.Fail("file", "has no name");
  t.name = j["name"].get<std::string>();
  if (Upper(t.name) != Upper(name)) return p.Fail("file", "is named \"" + t.name + "\"");
  if (j.contains("title")) {
    if (!j["title"].is_string()) return p.Fail("title", "must be a text");
    t.title = j["title"].get<std::string>();
  }
  if (j.contains("child")) {
    if (!j["child"].is_boolean()) return p.Fail("child", "must be true or false");
    t.child = j["child"].get<bool>();
  }
  if (j.contains("min_width")) {
    if (!j["min_width"].is_number_integer()) return p.Fail("min_width", "must be a whole number");
    t.min_width = j["min_width"].get<int>();
  }
  if (!j.contains("layout")) return p.Fail("file", "has no layout");
  XB_RETURN_IF_ERROR(p.Node(j["layout"], "layout", &t.root));
  if (!IsContainer(t.root.kind) || t.root.kind == ControlKind::kTab)
    return p.Fail("layout", "must be a row, column, group or tabs");
  return t;
}

void SetDialogTemplateDir(const std::string& dir) {
  std::lock_guard<std::mutex> l(g_mu);
  g_dir = dir;
  g_cache.clear();
}

std::string DialogTemplateDir() {
  std::lock_guard<std::mutex> l(g_mu);
  if (g_dir.empty()) g_dir = DefaultDir();
  return g_dir;
}

xb::Result<std::shared_ptr<const DialogTemplate>> LoadDialogTemplate(const std::string& name) {
  std::string key = Upper(name);
  std::string dir = DialogTemplateDir();
  {
    std::lock_guard<std::mutex> l(g_mu);
    auto it = g_cache.find(key);
    if (it != g_cache.end()) return it->second;
  }
  std::error_code ec;
  fs::path found;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    if (e.path().extension() == ".json" && Upper(e.path().stem().string()) == key) found = e.path();
  }
  std::string text;
  if (!found.empty()) {
    std::ifstream in(found, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    if (!in && !in.eof()) return xb::Status::IOError("cannot read " + found.string());
    text = ss.str();
  } else {
    // Not in the folder: the copy built into the program.
    for (int i = 0; i < dialog_data::kFileCount && text.empty(); ++i)
      if (Upper(dialog_data::kFiles[i].name) == key) text = dialog_data::kFiles[i].text;
    if (text.empty())
      return xb::Status::NotFound("dialog template " + name + " not found in " + dir);
  }
  auto t = ParseDialogTemplate(text, name);
  if (!t.ok()) return t.status();
  auto shared = std::make_shared<const DialogTemplate>(std::move(t.value()));
  std::lock_guard<std::mutex> l(g_mu);
  g_cache[key] = shared;
  return shared;
}

std::vector<std::string> ListDialogTemplates() {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(DialogTemplateDir(), ec)) {
    if (e.path().extension() == ".json") out.push_back(Upper(e.path().stem().string()));
  }
  for (int i = 0; i < dialog_data::kFileCount; ++i) out.push_back(Upper(dialog_data::kFiles[i].name));
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace qz
