// Duplicating a department (DUP_PLA): the copy gets the source's header
// fields, columns, provisions and sets under the code and description typed
// here; its employees stay where they are.
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/payroll/department_moves.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/progress.h"
#include "lib/ui/wdiag.h"
#include "payroll/departments/atomic_run.h"
#include "payroll/departments/department_ops.h"

namespace qz {
namespace {

constexpr int kSource = 500, kCodigo = 501, kDescrip = 502;
constexpr int kCodeWidth = 15, kDescripWidth = 40;

struct Source {
  bool found = false;
  std::string descrip;  // UTF-8
};

// The department being copied, and whether `code` (as stored) is taken.
Source FindSource(const std::string& negocio, const std::string& codigo) {
  Source s;
  TablePtr t = OpenTable(nullptr, "ENC_DEPT");
  t->SetOrder("ENC_DEPT");
  if (!TrimRight(codigo).empty() && t->Seek(PadRight(negocio, 15) + PadRight(codigo, kCodeWidth))) {
    s.found = true;
    s.descrip = t->TextUtf8("DESCRIP");
  }
  CloseTable(t);
  return s;
}

bool CodeTaken(const std::string& negocio, const std::string& code) {
  return FindSource(negocio, code).found;
}

std::string PastPayrollsQuestion(int64_t payrolls) {
  return "El código digitado tiene " + std::to_string(payrolls) +
         (payrolls == 1 ? " planilla histórica" : " planillas históricas") +
         " de un departamento borrado; el departamento nuevo las mostrará como suyas.\r\n"
         "¿Desea Continuar?";
}

void Error(WDIAG& dlg, const std::string& text, int focus) {
  MESSAGE_BOX(text, "Error", kMbIconStop);
  dlg.SetFocus(focus);
}

// "Aceptar": the checks in the order the screen always made them, then the
// copy. True when the window may close.
bool Accept(WDIAG& dlg, const std::string& negocio, const std::string& codigo, bool* copied) {
  const std::string code = CodeField(dlg.Text(kCodigo), std::string(kCodeWidth, '!'), kCodeWidth);
  if (TrimRight(code).empty()) {
    Error(dlg, "Codigo de departamento invalido", kCodigo);
    return false;
  }
  Source source;
  bool taken = false;
  if (RunOperation([&] {
        source = FindSource(negocio, codigo);
        taken = CodeTaken(negocio, code);
      }) != OperationResult::kDone)
    return false;
  if (!source.found) {
    Error(dlg, "Falta seleccionar departamento(s) para Procesar ", kCodigo);
    return false;
  }
  if (taken) {
    Error(dlg, "El código digitado para el departamento nuevo, ya existe ", kCodigo);
    return false;
  }
  // A department deleted under this code left its payrolls behind: the copy
  // would show them as its own. Recreating that department on purpose is
  // fair, so the user decides.
  int64_t payrolls = 0;
  if (RunOperation([&] { payrolls = CountDepartment(negocio, code).payrolls; }) !=
      OperationResult::kDone)
    return false;
  if (payrolls > 0 && MESSAGE_BOX(PastPayrollsQuestion(payrolls), "Advertencia",
                                  kMbOkCancel | kMbIconQuestion) != 1) {
    dlg.SetFocus(kCodigo);
    return false;
  }
  const std::string descrip = ToField(dlg.Text(kDescrip), kDescripWidth);
  Progress progress(&dlg, "Duplicando Departamento", false);
  xb::Status refused;
  *copied = RunAtomically("duplicar el departamento", [&] {
    auto r = DuplicateDepartment(negocio, codigo, code, descrip,
                                 [&](const std::string&, int64_t) { progress.Step(0); });
    // Another workstation took the code meanwhile: nothing was written.
    if (!r.ok()) refused = r.status();
  });
  progress.Close();
  if (!refused.ok()) {
    Error(dlg, refused.message(), kCodigo);
    *copied = false;
    return false;
  }
  return *copied;
}

}  // namespace

bool DUP_PLA(Desktop& desktop, const std::string& negocio, const std::string& codigo,
             WDIAG* owner) {
  bool copied = false;
  DIALOG_BOX(desktop, "DUP_PLAN", owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      Source s;
      RunOperation([&] { s = FindSource(negocio, codigo); });
      dlg.SetText(kSource, "Departamento: " + TrimRight(FromField(xb::Value::Char(codigo))) +
                               (s.found ? " - " + s.descrip : ""));
      dlg.SetFocus(kCodigo);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 1) {
      if (Accept(dlg, negocio, codigo, &copied)) dlg.ENDDIALOG(1);
    } else if (wparam == 2) {
      dlg.ENDDIALOG(2);
    }
    return 1;
  });
  return copied;
}

}  // namespace qz
