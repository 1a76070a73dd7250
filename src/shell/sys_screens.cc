#include "lib/data/locking.h"
#include "lib/data/server_engine.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "shell/shell_screens.h"
#include "shell/shell_tables.h"

namespace qz {
namespace {

struct NumberBox {
  int id;
  const char* field;
  const char* picture;
};

const NumberBox kDbNumbers[] = {
    {501, "MAXCOMMIT", "99,999,999"}, {502, "IDLECOMMIT", "99,999,999"},
    {516, "GARBAGE", "999,999"},      {517, "WS_SOCKET", "999,999"},
    {518, "DLGSIZE", "999"},          {519, "DGROUP", "99,999"},
    {520, "MAXTIMEOUT", "9,999"},
};

const std::pair<int, const char*> kDbChecks[] = {
    {1001, "GRAYED"},    {1002, "LOCAL_TEMP"}, {1003, "SOLO_IND"}, {1004, "NO_DATE"},
    {1005, "REFRESH_B"}, {1006, "NOFLATBUTT"}, {1007, "NO_SIM_P"}, {1008, "NO_TIMEOUT"},
};

std::string RgbField(int n) {
  return "RGB" + std::to_string(n);
}

std::string LimitField(int n) {
  // 8001, 8002 ... = MS_M1_MIN, MS_M1_MAX ... MS_M12_MAX.
  int month = (n - 1) / 2 + 1;
  return "MS_M" + std::to_string(month) + (n % 2 == 1 ? "_MIN" : "_MAX");
}

// The single F_SYS row, locked (appended when the table has none).
bool LockSystemRow(WDBTable& t) {
  t.GoTop();
  if (t.Eof()) {
    ADD_NEW_REC(t);
  } else {
    LOCK_FOR_MODIFY(t);
  }
  return true;
}

void ApplyColours(WDBTable& t) {
  Globals& g = G();
  auto rgb = [&](int first) {
    return Rgb{IntField(t, RgbField(first).c_str()), IntField(t, RgbField(first + 1).c_str()),
               IntField(t, RgbField(first + 2).c_str())};
  };
  // True-colour displays report no colour count and take the first set.
  if (Rgb o = rgb(1); !(o == Rgb{0, 0, 0})) g.XO_COLOUR = o;
  if (Rgb h = rgb(4); !(h == Rgb{0, 0, 0})) g.XH_COLOUR = h;
}

void FillDb(WDIAG& dlg, WDBTable& t) {
  t.GoTop();
  for (const auto& n : kDbNumbers)
    dlg.SetText(n.id, Trim(FormatNumber(NumField(t, n.field), n.picture)));
  for (const auto& [id, field] : kDbChecks) dlg.SetCheck(id, IntField(t, field) == 1 ? 1 : 0);
  dlg.SetText(503, TextField(t, "LOCAL_PATH"));
  for (int i = 1; i <= 12; ++i)
    dlg.SetText(503 + i, std::to_string(IntField(t, RgbField(i).c_str())));
  for (int i = 1; i <= 24; ++i)
    dlg.SetText(8000 + i, std::to_string(IntField(t, LimitField(i).c_str())));
}

void SaveDb(WDIAG& dlg, WDBTable& t) {
  LockSystemRow(t);
  for (const auto& n : kDbNumbers) PutNum(t, n.field, NumberBoxValue(dlg.Text(n.id)));
  for (const auto& [id, field] : kDbChecks) PutNum(t, field, dlg.Check(id) ? 1 : 0);
  std::string path = Trim(dlg.Text(503));
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  PutText(t, "LOCAL_PATH", path);
  for (int i = 1; i <= 12; ++i) PutNum(t, RgbField(i).c_str(), NumberBoxValue(dlg.Text(503 + i)));
  for (int i = 1; i <= 24; ++i)
    PutNum(t, LimitField(i).c_str(), NumberBoxValue(dlg.Text(8000 + i)));
  UNLOCK_FOR_MODIFY(t);
  Globals& g = G();
  g.XGRAYED = IntField(t, "GRAYED");
  ApplyColours(t);
  g.XDLGSIZE = IntField(t, "DLGSIZE");
  if (int ws = IntField(t, "WS_SOCKET"); ws != 0) g.XWS_SOCKET = ws;
  g.XFLAT_SHOW = IntField(t, "NOFLATBUTT") == 1 ? 0 : 1;
  const int minutes = IntField(t, "MAXTIMEOUT");
  g.XAPP_MAX_MESSAGETIME = minutes == 0 ? 300000 : static_cast<int64_t>(minutes) * 60 * 1000;
  g.XAPP_MESSAGE_NOCHECK = IntField(t, "NO_TIMEOUT");
}

}  // namespace

double NumberBoxValue(const std::string& text) {
  std::string digits;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '.') digits += c;
  return NumericValue(digits);
}

void DEF_SYSDB(Desktop& desktop) {
  TablePtr t = OpenShellTable("F_SYS", "");
  if (!t) return;
  DIALOG_BOX(desktop, "SYS_DB", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      FillDb(dlg, *t);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 1) {
      if (RunOperation([&] { SaveDb(dlg, *t); }) == OperationResult::kDone) dlg.ENDDIALOG(1);
    } else if (wparam == 2) {
      dlg.ENDDIALOG(2);
    }
    return 1;
  });
  KILLTABLA(t);
}

void DEF_SYSFONT(Desktop& desktop) {
  TablePtr t = OpenShellTable("F_SYS", "");
  if (!t) return;
  DIALOG_BOX(desktop, "SYS_FONT", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      t->GoTop();
      dlg.SetText(501, TextField(*t, "T_FONT"));
      dlg.SetText(502, Trim(FormatNumber(NumField(*t, "T_SIZE", 8), "99.9")));
      dlg.SetText(503, TextField(*t, "P_FONT"));
      dlg.SetText(504, TextField(*t, "D_FONT"));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) dlg.ENDDIALOG(2);
    if (wparam != 1) return 1;
    auto save = [&] {
      LockSystemRow(*t);
      PutText(*t, "T_FONT", Trim(dlg.Text(501)));
      PutNum(*t, "T_SIZE", NumericValue(dlg.Text(502)));
      PutText(*t, "P_FONT", Trim(dlg.Text(503)));
      PutText(*t, "D_FONT", Trim(dlg.Text(504)));
      UNLOCK_FOR_MODIFY(*t);
      Globals& g = G();
      const std::string print = Trim(dlg.Text(503));
      g.XPRINT_FONT = print.empty() ? "Times New Roman" : print;
      g.XGLOBAL_FONT_NAME = Trim(dlg.Text(504));
      g.XWINDOW_FONT_NAME = Trim(dlg.Text(501));
      if (double size = NumericValue(dlg.Text(502)); size > 0) g.XGLOBAL_FONT_SIZE = size;
    };
    if (RunOperation(save) == OperationResult::kDone) dlg.ENDDIALOG(1);
    return 1;
  });
  KILLTABLA(t);
}

void FEC_HORA(Desktop& desktop) {
  DIALOG_BOX(desktop, "FEC_HORA", nullptr, [](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      dlg.SetCheck(1001, G().XFEC_HORA_LOCAL == 1 ? 1 : 0);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 1) {
      G().XFEC_HORA_LOCAL = dlg.Check(1001) ? 1 : 0;
      dlg.ENDDIALOG(1);
    } else if (wparam == 2) {
      dlg.ENDDIALOG(2);
    }
    return 1;
  });
}

void ADS_xINFO() {
  if (!IsServerEngine()) {
    MESSAGE_BOX("Servidor Advantage no disponible...", "Versión Advantage Database Server",
                kMbIconInformation);
    return;
  }
  const Globals& g = G();
  ServerInfo info = ServerManagementInfo();
  MESSAGE_BOX(
      "Sesiones: " + std::to_string(info.sessions) + "\r\nServer Versión: " + info.version +
          "\r\nLocking Scheme: " + (g.XADS_COMPATIBLE_LOCKING ? "Compatible" : "Propietario") +
          "\r\nRecord Cache: " + std::to_string(g.XADSCACHERECORDS),
      "Versión Advantage Database Server", kMbIconInformation);
}

}  // namespace qz
