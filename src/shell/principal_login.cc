// Ingresar: the login as the main window runs it, with the splash, the
// marker file, the entry log and the password-expiry check.
#include <filesystem>
#include <fstream>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "shell/password_change.h"
#include "shell/principal.h"
#include "shell/shell_tables.h"

namespace qz {
namespace {

void CreateMarkerFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) std::ofstream(path, std::ios::binary);
}

void AppendEntryLog(const std::string& usuario) {
  Globals& g = G();
  TablePtr log = OpenShellTable("LOG_E_S", "");
  if (!log) return;
  ADD_NEW_REC(*log);
  const int32_t today = XDATE();
  const std::string now = XTIME();
  PutDate(*log, "FECHA", today);
  PutText(*log, "HORA", now);
  PutText(*log, "USUARIO", usuario);
  PutText(*log, "INFO_USER", UserAndHost());
  PutText(*log, "WS_HOST", Upper(HostName()));
  PutText(*log, "MODULO", g.EXT_MODULO);
  PutText(*log, "ID_USUARIO", g.XUSER_ABREVIA);
  PutDate(*log, "POLL_F", today);
  PutText(*log, "POLL_H", now);
  g.XREC_E_S = log->RecNo();
  UNLOCK_NEW_REC(*log);
  KILLTABLA(log);
}

}  // namespace

bool PRINCIPAL::Ingresar() {
  std::optional<LoginResult> r = login_.Login(kTitle);
  if (!r) {
    EXIT_LOGIN();
    return false;
  }
  Globals& g = G();
  view_.ShowSplash(g.PATH + "BMP/LOGO32.BMP", kSplashMs);
  CreateMarkerFile(g.PATH + "QUARTZEL.ALV");
  RunOperation([&] { AppendEntryLog(r->usuario); });
  rights_.set_ACT_NEG(r->business);
  if (g.XUSER_NUMBER && PasswordExpired(r->business, *g.XUSER_NUMBER)) {
    if (ACT_CLAVE(desktop_, r->business) == 0) {
      Exit();
      return false;
    }
  }
  return true;
}

}  // namespace qz
