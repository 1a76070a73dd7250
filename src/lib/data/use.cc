#include "lib/data/use.h"

#include <algorithm>

#include "lib/clock.h"
#include "lib/data/file_utils.h"
#include "lib/data/patience.h"
#include "lib/data/transaction.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

xb::Env* Fs() {
  return xb::Env::Default();
}

bool FileExists(const std::string& path) {
  return Fs()->Resolve(path).ok();
}

struct ParsedName {
  std::string name;  // cut to 8 characters; "X.DBF" for a temporary copy
  bool temporary = false;
};

ParsedName ParseName(const std::string& raw) {
  ParsedName p;
  std::string n = Trim(raw);
  size_t dot = n.find('.');
  if (dot == std::string::npos) {
    p.name = n.substr(0, 8);
  } else {
    p.name = n.substr(0, std::min<size_t>(dot, 8)) + ".DBF";
    p.temporary = true;
  }
  return p;
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string StemOfPath(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find('.', slash == std::string::npos ? 0 : slash + 1);
  return dot == std::string::npos ? path : path.substr(0, dot);
}

// The newest table of the file bag is closed to free an area.
void CloseNewestBagged() {
  auto& bag = G().XADSFILEBAG;
  if (bag.empty()) return;
  int area = bag.back().second;
  bag.pop_back();
  WDBTable gone;
  gone.Area = area;
  gone.Axit();
}

int NewArea() {
  int area = Areas().FreeArea();
  if (area == 0 && AdsLineIs(3, "1")) {
    CloseNewestBagged();
    area = Areas().FreeArea();
  }
  if (area == 0) ThrowFault(kGenOpen, "No hay áreas de trabajo libres", "", "USE");
  return area;
}

std::unique_ptr<xb::Table> OpenPatiently(const std::string& path, bool shared, bool read_only) {
  std::unique_ptr<xb::Table> table;
  xb::OpenOptions oo;
  oo.exclusive = !shared;
  oo.read_only = read_only;
  Patience p;
  p.counter = RetryCounter::kOpens;
  p.message = "No se puede abrir archivo: " + path;
  p.gen_code = kGenOpen;
  p.filename = path;
  p.operation = "USE";
  RetryPatiently(
      [&]() -> xb::Status {
        auto t = xb::Table::Open(path, oo);
        if (!t.ok()) {
          if (t.status().IsNotFound())
            ThrowFault(kGenOpen, "No se puede abrir archivo: " + path, path, "USE", kOsNotFound);
          return t.status();
        }
        table = std::move(*t);
        return xb::Status::OK();
      },
      p);
  return table;
}

TablePtr Register(void* parent, std::unique_ptr<xb::Table> table, int area, const std::string& rdd,
                  bool temporary) {
  std::string path = table->path();
  WorkArea wa;
  wa.table = std::move(table);
  wa.rdd = rdd;
  wa.temporary = temporary;
  Areas().Put(area, std::move(wa));
  Areas().Select(area);
  auto obj = std::make_unique<WDBTable>();
  obj->Init(parent, path, area, rdd, temporary);
  return obj;
}

void ApplyTag(WDBTable& t, const std::string& tag) {
  if (!tag.empty()) {
    t.SetOrder(tag);
    t.GoTop();
  }
}

TablePtr ReuseBagged(void* parent, const std::string& name, const std::string& path,
                     const std::string& tag) {
  auto& bag = G().XADSFILEBAG;
  for (auto it = bag.begin(); it != bag.end(); ++it) {
    if (!EqualsNoCase(it->first.substr(0, 15), name.substr(0, 15))) continue;
    WorkArea* wa = Areas().Get(it->second);
    // The same name from another folder is another table.
    if (!wa || !wa->table || StemOfPath(wa->table->path()) != StemOfPath(path)) continue;
    int area = it->second;
    bag.erase(it);
    auto& files = G().XFILES_AREA;
    files.erase(
        std::remove_if(files.begin(), files.end(), [&](const auto& e) { return e.first == area; }),
        files.end());
    Areas().Select(area);
    auto obj = std::make_unique<WDBTable>();
    obj->Init(parent, wa->table->path(), area, wa->rdd, false);
    obj->ClearScope();
    obj->GoTop();
    ApplyTag(*obj, tag);
    return obj;
  }
  return nullptr;
}

TablePtr OpenTemporaryCopy(void* parent, const std::string& name, const UseOptions& o) {
  Globals& g = G();
  const std::string folder = TempFolder();
  const std::string rdd =
      g.XTEMPPATH.local == 1 ? "DBFCDX" : (o.driver.empty() ? g.DEF_RDD : o.driver);
  const std::string template_path = g.PATH + "PROFILE/" + name;
  std::string target;
  {
    auto tmpl = OpenPatiently(template_path, true, true);
    if (Areas().FreeArea() == 0 && AdsLineIs(3, "1")) CloseNewestBagged();
    RetryPatiently(
        [&]() -> xb::Status {
          target = folder + UniqueTempName(folder);
          xb::CreateOptions co;
          co.codepage = tmpl->codepage();
          auto t = xb::Table::Create(target, tmpl->fields(), co);
          // Another workstation took the name in the same hundredth: take the next.
          if (!t.ok() && t.status().code() == xb::Code::kExists)
            return xb::Status::Busy(t.status().message());
          if (!t.ok()) return t.status();
          return (*t)->Close();
        },
        Patience{RetryCounter::kNone, "No se puede copiar estructura a: " + folder, false,
                 kGenCreate, folder, "COPY STRUCTURE"});
  }
  std::string cargo = "BORRAR";
  auto template_cdx = Fs()->Resolve(StemOfPath(template_path) + ".CDX");
  if (template_cdx.ok()) {
    std::string cdx = StemOfPath(target) + ".CDX";
    int rc = COPY_BFILE(*template_cdx, cdx);
    if (rc != 0) {
      RemoveTableFiles(target);
      ThrowFault(kGenCreate, "No se puede copiar CDX: " + *template_cdx + " a " + cdx, cdx,
                 "COPY FILE");
    }
    cargo += "->" + cdx;
  }
  std::unique_ptr<xb::Table> table;
  try {
    table = OpenPatiently(target, false, o.read_only);
  } catch (...) {
    RemoveTableFiles(target);
    throw;
  }
  int area = NewArea();
  TablePtr obj = Register(parent, std::move(table), area, rdd, true);
  obj->Cargo = cargo;
  ApplyTag(*obj, Trim(o.tag));
  return obj;
}

}  // namespace

std::string NormalizeFolder(std::string folder) {
  std::replace(folder.begin(), folder.end(), '\\', '/');
  return folder;
}

std::string TablePath(const std::string& raw_name, const UseOptions& o) {
  Globals& g = G();
  ParsedName p = ParseName(raw_name);
  std::string base = o.absolute ? NormalizeFolder(o.root) : g.PATH;
  std::string folder = WithSlash(NormalizeFolder(o.folder.value_or("BASES/")));
  const std::string& sub = g.XDBACCESS[0];
  if (!o.absolute && !Trim(sub).empty() && !p.temporary) {
    std::string candidate = WithSlash(folder + Trim(sub));
    if (FileExists(base + candidate + p.name + ".DBF")) folder = candidate;
  }
  return base + folder + p.name;
}

std::string TempFolder() {
  const Globals& g = G();
  std::string t = g.XTEMPPATH.local == 1 ? WithSlash(NormalizeFolder(g.XTEMPPATH.folder)) : g.PATH;
  return t + "TEMP/";
}

std::string UniqueTempName(const std::string& folder) {
  LocalDateTime now = CurrentClock().Now();
  int64_t hundredths =
      ((now.hour * 60 + now.minute) * 60 + now.second) * 100LL + now.millisecond / 10;
  const int64_t kSpace = 10000000;
  for (int64_t i = 0; i < kSpace; ++i) {
    std::string digits = PadLeft(std::to_string((hundredths + i) % kSpace), 7, '0');
    std::string name = "T" + digits + "." + G().EXT_MODULO;
    if (!FileExists(folder + name) && !FileExists(folder + "T" + digits + ".CDX")) return name;
  }
  return "T0000000." + G().EXT_MODULO;
}

TablePtr USE(void* parent, const std::string& name, const std::string& tag) {
  UseOptions o;
  o.tag = tag;
  return USE(parent, name, o);
}

TablePtr USE(void* parent, const std::string& raw_name, const UseOptions& o) {
  ParsedName p = ParseName(raw_name);
  if (p.temporary) return OpenTemporaryCopy(parent, p.name, o);
  Globals& g = G();
  std::string path = TablePath(raw_name, o);
  std::string tag = Trim(o.tag);
  if (AdsLineIs(3, "1")) {
    if (TablePtr reused = ReuseBagged(parent, p.name, path, tag)) return reused;
  }
  if (Areas().FreeArea() == 0 && AdsLineIs(3, "1")) CloseNewestBagged();
  auto table = OpenPatiently(path, o.shared, o.read_only);
  AttachJournal(*table);
  int area = NewArea();
  TablePtr obj =
      Register(parent, std::move(table), area, o.driver.empty() ? g.DEF_RDD : o.driver, false);
  ApplyTag(*obj, tag);
  return obj;
}

void ReleaseTableObject(WDBTable& t, bool force) {
  if (t.Area == 0) return;
  Globals& g = G();
  bool temporary = StartsWith(t.Cargo, "BORRAR");
  if (AdsLineIs(3, "1") && !temporary && t.Name.find('.') == std::string::npos && !force &&
      g.XADSTRANS == 1) {
    if (xb::Table* table = Areas().TableOf(t.Area)) table->ClearScope();
    g.XADSFILEBAG.push_back({t.Name, t.Area});
    t.Detach();
    return;
  }
  std::string path;
  if (xb::Table* table = Areas().TableOf(t.Area)) path = table->path();
  t.Axit();
  if (temporary && !path.empty()) RemoveTableFiles(path);
}

void KILLTABLA(TablePtr& t, bool force) {
  if (!t) return;
  ReleaseTableObject(*t, force);
  t.reset();
}

void CLEAR_FILEBAG() {
  auto bag = std::move(G().XADSFILEBAG);
  G().XADSFILEBAG.clear();
  for (const auto& [name, area] : bag) {
    WDBTable gone;
    gone.Area = area;
    gone.Axit();
  }
}

}  // namespace qz
