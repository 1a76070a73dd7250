#include "shell/dialog_log.h"

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/desktop.h"
#include "shell/shell_tables.h"

namespace qz {

bool LoggedDialog(const std::string& name) {
  if (name == "XLOGINUSR" || name == "CHECK_DB") return false;
  for (const char* quiet :
       {"OBSEARCH", "WAIT", "PSETGEN", "WHILE_PRINT", "VER_ARTI", "PREVIEW800"}) {
    if (EqualsNoCase(name, quiet)) return false;
  }
  return true;
}

void NEW_LOG_DIAG(Desktop& desktop, const std::string& template_name) {
  if (!LoggedDialog(template_name)) return;
  const Globals& g = G();
  if (!ShellTableExists("LOG_DIAG")) return;
  TablePtr t = OpenShellTable("LOG_DIAG", "LOG_DIA2", true);
  if (!t) return;
  const int32_t today = XDATE();
  bool recycled = false;
  t->GoTop();
  if (!t->Eof()) {
    std::optional<int32_t> fecha = DateField(*t, "FECHA");
    // A row another workstation is recycling right now is not waited for:
    // a new row is appended instead.
    if (fecha && today - *fecha > 240 && t->RLock()) {
      t->Unlock();
      recycled = true;
      LOCK_FOR_MODIFY(*t);
    }
  }
  if (!recycled) ADD_NEW_REC(*t);
  PutText(*t, "NEGOCIO", g.XU_COMP);
  PutNum(*t, "ID_DIAG", desktop.xid_menu());
  PutText(*t, "USUARIO", g.XUSER_ABREVIA);
  PutText(*t, "INFO_USER", WorkstationStamp());
  PutText(*t, "DIALOGO", template_name);
  PutDate(*t, "FECHA", today);
  PutText(*t, "HORA", XTIME());
  PutText(*t, "MODULO", g.EXT_MODULO);
  if (recycled) {
    UNLOCK_FOR_MODIFY(*t);
  } else {
    UNLOCK_NEW_REC(*t);
  }
  KILLTABLA(t);
  desktop.set_xid_menu(0);
}

void InstallDialogLog(Desktop& desktop) {
  Desktop* d = &desktop;
  SetDialogLogHook([d](WDIAG*, const std::string& name) {
    try {
      NEW_LOG_DIAG(*d, name);
    } catch (const Fault&) {
      // The usage log is a statistic: a dialog opens even when it cannot be
      // recorded.
    }
  });
}

void RemoveDialogLog() {
  SetDialogLogHook(nullptr);
}

}  // namespace qz
