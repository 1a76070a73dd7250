#include "lib/settings/startup.h"

#include <cstdlib>

#include "lib/data/journal.h"
#include "lib/data/server_engine.h"
#include "lib/data/use.h"
#include "lib/errors/fault.h"
#include "lib/settings/ads_def.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/env.h"
#include "xbase/table.h"

namespace qz {
namespace {

StartResult ChooseServerEngine(Globals& g, const std::string& ads_def) {
  auto lines = ReadAdsDef(ads_def);
  if (!lines.ok()) {
    MESSAGE_BOX("No se puede leer el archivo de parámetros del servidor: " + ads_def + "\r" +
                    lines.status().message(),
                "Atención", kMbIconStop);
    return StartResult::kEndProgram;
  }
  ApplyAdsDef(g, *lines);
  g.XADS_RIGHTS_CHECKING = false;
  const std::string data_path = Trim(g.XADSPARAMS[0]);
  if (!ServerLoaded(data_path)) {
    MESSAGE_BOX("Servidor Advantage Database Server no localizable\rError: " +
                    PadLeft(std::to_string(kServerNotFoundError), 10),
                "Atención", kMbIconStop);
    return StartResult::kEndProgram;
  }
  g.XADS_MYCONNECTION = ServerConnect(data_path);
  if (!*g.XADS_MYCONNECTION)
    MESSAGE_BOX("No se pudo establecer ADSCONNECT60", "Atención", kMbIconStop);
  g.DEF_RDD = "ADSCDX";
  g.XADS_RIGHTS_CHECKING = false;
  g.XADSDIRECTORY = data_path;
  return StartResult::kContinue;
}

}  // namespace

int ExpandTwoDigitYear(int yy) {
  return yy >= 80 ? 1900 + yy : 2000 + yy;
}

StartResult StartDataLayer(const std::string& program_folder) {
  Globals& g = G();
  xb::SetDeletedHidden(true);
  g.PATH = NormalizeFolder(program_folder);
  if (!g.PATH.empty() && g.PATH.back() != '/') g.PATH += '/';
  xb::Env* env = xb::Env::Default();
  auto ads_def = env->Resolve(g.PATH + "ADS.DEF");
  if (ads_def.ok()) {
    if (ChooseServerEngine(g, *ads_def) == StartResult::kEndProgram)
      return StartResult::kEndProgram;
  } else {
    g.DEF_RDD = "DBFCDX";
  }
  // Transactions of workstations that died mid-way are undone before anyone
  // reads their half-done changes.
  RecoveryReport r = RecoverJournals(g.PATH);
  if (!r.problems.empty())
    MESSAGE_BOX(
        "No se pudo deshacer por completo una transacción interrumpida:\r" + r.problems.front(),
        "Alerta", kMbIconStop);
  g.XREMOTE_SESSION = std::getenv("SSH_CONNECTION") ? 1 : 0;
  if (env->Resolve(g.PATH + "BASES/DUMMYADS.DBF").ok()) {
    try {
      g.XDUMMYADSTABLE = USE(nullptr, "DUMMYADS");
    } catch (const Fault& f) {
      MESSAGE_BOX(f.info().description, "Alerta", kMbIconWarning);
    }
  }
  g.XLOGOFILE = "KORVALIS.BMP";
  return StartResult::kContinue;
}

}  // namespace qz
