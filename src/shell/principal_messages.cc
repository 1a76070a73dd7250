// The main window's window procedure, posted messages, timers and exits.
#include "lib/clock.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/installation.h"
#include "lib/ui/message_box.h"
#include "shell/password_change.h"
#include "shell/principal.h"
#include "shell/shell_tables.h"
#include "shell/toolbar.h"

namespace qz {

int PRINCIPAL::SendMessage(int msg, int64_t wparam, int64_t lparam) {
  if (ended_) return 0;
  // A message arriving while one is handled (a timer during a modal dialog
  // the handler opened) is passed on unhandled.
  if (in_wnd_proc_) return 0;
  in_wnd_proc_ = true;
  int r = 0;
  RunOperation([&] { r = WndProcPR(msg, wparam, lparam); });
  in_wnd_proc_ = false;
  return r;
}

void PRINCIPAL::PostMessage(int msg, int64_t wparam, int64_t lparam) {
  Post([this, msg, wparam, lparam] { SendMessage(msg, wparam, lparam); });
}

void PRINCIPAL::Post(std::function<void()> fn) {
  if (ended_) return;
  queue_.push_back(std::move(fn));
  if (wakeup_) wakeup_();
}

int PRINCIPAL::DispatchPosted() {
  int n = 0;
  while (!queue_.empty() && !ended_) {
    auto fn = std::move(queue_.front());
    queue_.pop_front();
    fn();
    desktop_.Collect();
    ++n;
  }
  return n;
}

int PRINCIPAL::WndProcPR(int msg, int64_t wparam, int64_t lparam) {
  switch (msg) {
    case kWmClose:
      Salir();
      return 1;
    case kWmTimer:
      OnTimer(static_cast<int>(wparam));
      return 1;
    case kMsgQuitCheck1:
    case kMsgQuitCheck2:
      CHECK_QUIT();
      return 1;
    case kMsgExitCountdown:
      ExitCountdown();
      return 1;
    case kMsgBusinessChanged:
      ExpiryAfterBusinessChange();
      return 1;
    case kMsgLockSession:
      if (!view_.Minimized()) BLOQ_SESSION();
      idle_.LockEnded();
      return 1;
    case kWmNcActivate:
      Activo = wparam != 0 ? 1 : 0;
      return 1;
    case kMsgCaptureOn:
    case kMsgCaptureOff:
      if (wparam == kCaptureMarker) {
        Captura = msg == kMsgCaptureOn;
        RebuildMenu();
      }
      return 1;
    case kWmMenuSelect:
      if (lparam == kCaptureMarker) CaptureOrUsageLog(static_cast<int>(wparam));
      return 1;
    case kWmRButtonDown:
    case kWmMenuRButtonUp:
      MenuRightClick(static_cast<int>(wparam));
      return 1;
    default:
      return 0;
  }
}

void PRINCIPAL::OnTimer(int id) {
  if (id == 1) PostMessage(kMsgQuitCheck1);
  if (id == kExitCheckTimer) PostMessage(kMsgQuitCheck2);
  if (id == kCountdownTimer) PostMessage(kMsgExitCountdown);
}

void PRINCIPAL::CHECK_QUIT() {
  Globals& g = G();
  if (g.IN_CH_STRUC == 1 || Por_Salir == 1) return;
  ExitRequest request = ReadExitRequest();
  if (!request.present) return;
  if (request.everybody) {
    g.XNO_SALIR = 0;
    g.XSUPERACCESS = 0;
  }
  if (!request.ForThisProgram()) return;
  if (g.XNO_SALIR == 0 && g.XSUPERACCESS == 0) {
    view_.ShowNotice({"Debe salir del sistema en máximo 5 minutos!",
                      "Pasados los 5 minutos, el sistema automáticamente", "se cerrará."});
    Por_Salir = 1;
    Time_Salir = CurrentClock().TickMs();
    desktop_.SetTimer(&frame_, kCountdownTimer, kCountdownMs, [this] { OnTimer(kCountdownTimer); });
  } else if (!supervisor_notified_) {
    supervisor_notified_ = true;
    view_.ShowNotice({"Se ha solicitado a todos los usuarios", "salir del Sistema.",
                      "En _su_ calidad de Supervisor, Ud. NO será obligado"});
  }
}

void PRINCIPAL::ExitCountdown() {
  const Globals& g = G();
  // A structure change must finish: the countdown waits for it instead of
  // being dropped, so the request still ends the session afterwards.
  if (g.IN_CH_STRUC == 1) return;
  if (g.XSUPERACCESS == 0 && CurrentClock().TickMs() - Time_Salir >= kGraceMs) EXIT_LOGIN();
}

void PRINCIPAL::ExpiryAfterBusinessChange() {
  const Globals& g = G();
  if (!g.XUSER_NUMBER || !PasswordExpired(rights_.ACT_NEG(), *g.XUSER_NUMBER)) return;
  if (ACT_CLAVE(desktop_, rights_.ACT_NEG()) == 0) Exit();
}

void PRINCIPAL::Salir() {
  if (MESSAGE_BOX("¿Desea salir de la aplicación?", "Cierre de Aplicación",
                  kMbOkCancel | kMbIconQuestion) == 1)
    Exit();
}

void PRINCIPAL::Exit() {
  End(0, true);
}

void PRINCIPAL::EXIT_LOGIN() {
  End(0, false);
}

void PRINCIPAL::End(int code, bool logout) {
  if (ended_) return;
  desktop_.KillTimers(&frame_);
  if (toolbar_) desktop_.KillTimers(toolbar_.get());
  if (logout) RunOperation([this] { LOGOUT_USER(); });
  G().XDUMMYADSTABLE.reset();
  ended_ = true;
  queue_.clear();
  view_.EndProcess(code);
}

void PRINCIPAL::LOGOUT_USER() {
  const Globals& g = G();
  if (g.XREC_E_S) {
    if (TablePtr log = OpenShellTable("LOG_E_S", "")) {
      log->GoTo(*g.XREC_E_S);
      if (!log->Eof()) {
        LOCK_FOR_MODIFY(*log);
        PutDate(*log, "FECHA_SAL", XDATE());
        PutText(*log, "HORA_SAL", XTIME());
        UNLOCK_FOR_MODIFY(*log);
      }
      KILLTABLA(log);
    }
  }
  BORRAR_TEMPS();
}

void PRINCIPAL::BLOQ_SESSION() {
  Globals& g = G();
  g.XAPP_IN_MESSAGETIME = 1;
  AttemptCounter attempts;
  const std::string business = rights_.ACT_NEG(), name = rights_.ACT_USER();
  DIALOG_BOX(desktop_, "BLOQ_SESSION", nullptr,
             [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) -> int {
               if (msg == kWmInitDialog) {
                 dlg.SetText(500, name);
                 dlg.SetFocus(501);
                 WDIAG* d = &dlg;
                 desktop_.SetTimer(d, 1, kCountdownMs, [this, d] {
                   CHECK_QUIT();
                   const Globals& gl = G();
                   if (Por_Salir == 1 && gl.XSUPERACCESS == 0 && gl.IN_CH_STRUC == 0 &&
                       CurrentClock().TickMs() - Time_Salir >= kGraceMs) {
                     d->ENDDIALOG(2);
                     Exit();
                   }
                 });
                 return 1;
               }
               if (msg != kWmCommand) return 0;
               if (wparam == 1) {
                 RunOperation([&] {
                   switch (Verif_Session(business, name, dlg.Text(501), attempts)) {
                     case SessionVerdict::kOk:
                       dlg.ENDDIALOG(1);
                       break;
                     case SessionVerdict::kLimit:
                       // The user is blocked now; asking whether to leave
                       // would only offer more attempts.
                       dlg.ENDDIALOG(2);
                       EXIT_LOGIN();
                       break;
                     case SessionVerdict::kRetry:
                       dlg.SetFocus(501);
                       break;
                   }
                 });
               } else if (wparam == 2) {
                 if (MESSAGE_BOX("Realmente desea salir de QUARTZEL?", "Advertencia",
                                 kMbOkCancel | kMbIconQuestion) == 1) {
                   dlg.ENDDIALOG(2);
                   EXIT_LOGIN();
                 } else {
                   dlg.SetFocus(501);
                 }
               }
               return 1;
             });
  g.XAPP_IN_MESSAGETIME = 0;
  g.XAPP_LAST_MESSAGETIME = CurrentClock().TickMs();
}

}  // namespace qz
