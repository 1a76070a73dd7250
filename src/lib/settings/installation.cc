#include "lib/settings/installation.h"

#include <cstdlib>
#include <map>
#include <set>

#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"
#include "xbase/env.h"

namespace qz {
namespace {

xb::Env* Fs() {
  return xb::Env::Default();
}

bool Has(WDBTable& t, const char* field) {
  return t.FieldPos(field) > 0;
}

double Num(WDBTable& t, const char* field, double missing) {
  if (!Has(t, field)) return missing;
  xb::Value v = t.FieldGet(field);
  if (v.is_numeric()) return v.number();
  if (v.type() == xb::Value::Type::kLogical) return v.logical() ? 1 : 0;
  if (v.is_char()) return std::atof(v.str().c_str());
  return missing;
}

std::string Text(WDBTable& t, const char* field, const std::string& missing) {
  if (!Has(t, field)) return missing;
  return t.TextUtf8(field);
}

bool Opened(void* parent, const char* name, TablePtr* out) {
  if (!Fs()->Resolve(G().PATH + "BASES/" + name + ".DBF").ok()) return false;
  *out = USE(parent, name);
  return true;
}

std::string Extension(const std::string& name) {
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? "" : Upper(name.substr(dot + 1));
}

std::string StemOf(const std::string& name) {
  size_t dot = name.find_last_of('.');
  return Upper(dot == std::string::npos ? name : name.substr(0, dot));
}

}  // namespace

void LoadMailSettings(WDBTable& t) {
  Globals& g = G();
  t.GoTop();
  g.XEMAIL_SMTP_PORT.reset();
  g.XEMAIL_POP3_PORT.reset();
  if (Has(t, "SMTP_PORT")) g.XEMAIL_SMTP_PORT = static_cast<int>(Num(t, "SMTP_PORT", 0));
  if (Has(t, "POP3_PORT")) g.XEMAIL_POP3_PORT = static_cast<int>(Num(t, "POP3_PORT", 0));
  g.XEMAILHOST = Text(t, "HOST", "");
  g.XEMAILNAME = Text(t, "USERNAME", "");
  g.XEMAILADDR = Text(t, "USERADDR", "");
  g.XEMAIL_ID = Text(t, "ID_NAME", "");
  g.XEMAILDEST = Text(t, "DESTINO", "");
  g.XEMAILSEND = static_cast<int>(Num(t, "SENDMAIL", 0));
  g.XEMAILAUTH = static_cast<int>(Num(t, "AUTORIZA", 0));
  g.XEMAIL_AU = Text(t, "AUTH_USER", "");
  g.XEMAIL_AP = Text(t, "AUTH_PASS", "");
  g.XEMAIL_CC1 = Text(t, "CC_CONF1", "");
  g.XEMAIL_CC2 = Text(t, "CC_CONF2", "");
}

void LoadSystemSettings(WDBTable& t, int display_colors) {
  Globals& g = G();
  t.GoTop();
  g.XWINDOW_FONT_NAME = Text(t, "T_FONT", g.XWINDOW_FONT_NAME);
  g.XGLOBAL_FONT_SIZE = Num(t, "T_SIZE", 8);
  if (Has(t, "P_FONT")) {
    std::string p = Text(t, "P_FONT", "");
    g.XPRINT_FONT = p.empty() ? "Calibri" : p;
  } else {
    g.XPRINT_FONT = "Times New Roman";
  }
  if (Has(t, "D_FONT")) g.XGLOBAL_FONT_NAME = Text(t, "D_FONT", "");
  g.XFIESTAHOUSECOUNT = static_cast<int>(Num(t, "FIESTA1", 0));
  g.XSEL_DATE = Num(t, "NO_DATE", 0) == 1 ? "NO" : "";
  g.XREFRESH_BROWSE = Num(t, "REFRESH_B", 0) == 1 ? 0 : 1;
  g.XWS_SOCKET = 4129;
  if (int ws = static_cast<int>(Num(t, "WS_SOCKET", 0)); ws != 0) g.XWS_SOCKET = ws;
  g.XMAXCOMMIT = static_cast<int>(Num(t, "MAXCOMMIT", g.XMAXCOMMIT));
  g.XGRAYED = static_cast<int>(Num(t, "GRAYED", g.XGRAYED));
  if (Has(t, "MULTITASK")) g.XMULTITASK = {1, static_cast<int>(Num(t, "MULTITASK", 3))};
  g.XDLGSIZE = static_cast<int>(Num(t, "DLGSIZE", g.XDLGSIZE));
  if (Has(t, "DGROUP")) {
    int d = static_cast<int>(Num(t, "DGROUP", 0));
    g.XDGROUPLIMIT = d == 0 ? 6000 : d;
  }
  if (Num(t, "NOFLATBUTT", 0) == 1) g.XFLAT_SHOW = 0;
  if (Num(t, "NO_SIM_P", 0) == 1) g.XSIM_PRINT = 0;
  if (Has(t, "LOCAL_TEMP"))
    SetLocalTempFolder(static_cast<int>(Num(t, "LOCAL_TEMP", 0)), Text(t, "LOCAL_PATH", ""));
  auto rgb = [&](int first) {
    Rgb c{static_cast<int>(Num(t, ("RGB" + std::to_string(first)).c_str(), 0)),
          static_cast<int>(Num(t, ("RGB" + std::to_string(first + 1)).c_str(), 0)),
          static_cast<int>(Num(t, ("RGB" + std::to_string(first + 2)).c_str(), 0))};
    return c;
  };
  int base = display_colors <= 20 ? 1 : 7;
  if (Rgb o = rgb(base); !(o == Rgb{0, 0, 0})) g.XO_COLOUR = o;
  if (Rgb h = rgb(base + 3); !(h == Rgb{0, 0, 0})) g.XH_COLOUR = h;
  g.XAPP_MAX_MESSAGETIME = 600000;
  if (int m = static_cast<int>(Num(t, "MAXTIMEOUT", 0)); m != 0)
    g.XAPP_MAX_MESSAGETIME = static_cast<int64_t>(m) * 60 * 1000;
  g.XAPP_MESSAGE_NOCHECK = static_cast<int>(Num(t, "NO_TIMEOUT", 0));
}

void LoadFonts(WDBTable& t) {
  std::vector<std::string> fonts;
  if (t.table().Tags().size() > 0) {
    for (const auto& tag : t.table().Tags())
      if (tag.name == "FONTS") t.SetOrder("FONTS");
  }
  for (t.GoTop(); !t.Eof(); t.Skip()) fonts.push_back(t.TextUtf8("T_FONT"));
  if (!fonts.empty()) G().XAVAILABLE_FONTS = fonts;
}

void LoadInstallationSettings(void* parent, int display_colors) {
  TablePtr t;
  if (Opened(parent, "DEFMAIL", &t)) {
    LoadMailSettings(*t);
    KILLTABLA(t);
  }
  if (Opened(parent, "F_SYS", &t)) {
    LoadSystemSettings(*t, display_colors);
    KILLTABLA(t);
  }
  if (Opened(parent, "FONTS", &t)) {
    LoadFonts(*t);
    KILLTABLA(t);
  }
}

void SetLocalTempFolder(int local_temp, const std::string& local_path) {
  Globals& g = G();
  std::string folder = NormalizeFolder(Trim(local_path));
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  g.XTEMPPATH = {local_temp, folder};
  // Only an installation that asks for a local folder gets it checked: the
  // others have nothing to create and nothing to complain about.
  if (local_temp != 1) return;
  // Drive letters do not exist here; a folder is usable when it is absolute
  // and can be written or created.
  bool usable = !folder.empty() && folder[0] == '/';
  if (usable) {
    auto probe = Fs()->Create(folder + "/YES", false);
    if (!probe.ok()) usable = Fs()->MakeDir(folder).ok();
  }
  if (usable) {
    if (!Fs()->Exists(folder + "/TEMP")) Fs()->MakeDir(folder + "/TEMP");
    return;
  }
  MESSAGE_BOX(
      "Error creando directorio temporal de archivos...\rNo hay Unidades de Disco Duro "
      "Disponibles o accesibles",
      "Error", kMbIconStop);
  g.XTEMPPATH.local = 0;
}

void BORRAR_TEMPS() {
  const Globals& g = G();
  if (g.XTEMPPATH.local != 1) return;
  std::string dir = NormalizeFolder(g.XTEMPPATH.folder);
  if (dir.empty()) return;
  if (dir.back() != '/') dir += '/';
  dir += "TEMP/";
  std::vector<std::string> names;
  if (!Fs()->ListDir(dir, &names).ok()) return;
  std::map<std::string, std::set<std::string>> groups;    // stem -> extensions
  std::map<std::string, std::vector<std::string>> files;  // stem -> names
  for (const auto& n : names) {
    groups[StemOf(n)].insert(Extension(n));
    files[StemOf(n)].push_back(n);
  }
  const std::string module = Upper(g.EXT_MODULO);
  auto remove_group = [&](const std::string& stem, bool only_companions) {
    for (const auto& n : files[stem]) {
      std::string e = Extension(n);
      if (!only_companions || e == module || e == "HOT" || e == "CDX" || e == "FPT")
        Fs()->Remove(dir + n);
    }
  };
  for (const auto& [stem, exts] : groups) {
    if (exts.count(module) || exts.count("HOT")) {
      remove_group(stem, true);
      continue;
    }
    bool orphan = true;
    for (const auto& e : exts) orphan &= (e == "CDX" || e == "FPT");
    if (orphan) remove_group(stem, false);
  }
}

}  // namespace qz
