#include "payroll/actions/frm_imp.h"

#include "lib/ui/desktop.h"
#include "lib/ui/dialog_template.h"
#include "payroll/actions/mod_acci.h"

namespace qz {
namespace {

std::string Caption(const WDIAG& form, int id) {
  const DialogTemplate* t = form.dialog_template();
  const TemplateNode* n = t ? t->Find(id) : nullptr;
  return n ? n->caption : std::string();
}

}  // namespace

std::string PrintFormatText(const WDIAG& form) {
  std::string out = "ACCION DE PERSONAL\r\n";
  out += form.Text(MOD_ACCI::kCodigo) + " - " + form.Text(MOD_ACCI::kDescrip) + "\r\n";
  out += "Empleado: código, nombre, departamento y puesto\r\n";
  if (form.Check(MOD_ACCI::kImpSal) == 1) out += "Salario actual\r\n";
  std::string fields;
  for (int i = 0; i < MOD_ACCI::kFieldCount; ++i)
    if (form.Check(MOD_ACCI::kFirstField + i) == 1)
      fields += "  " + Caption(form, MOD_ACCI::kFirstField + i) + ": anterior / nuevo\r\n";
  if (!fields.empty()) out += "Datos que cambia la acción:\r\n" + fields;
  for (int n = 0; n < MOD_ACCI::kColumns; ++n) {
    const int base = n * MOD_ACCI::kColumnStep;
    if (form.Check(MOD_ACCI::kColumna + base) != 1) continue;
    std::string how;
    for (int r = 0; r < 3; ++r)
      if (form.Check(MOD_ACCI::kFirstSuma + base + r) == 1)
        how = Caption(form, MOD_ACCI::kFirstSuma + base + r);
    out += "Valor #" + std::to_string(n + 1) + ": " + form.Text(MOD_ACCI::kColumnaCombo + base) +
           " (" + how + ")\r\n";
  }
  out += "Etapa: " + form.Text(MOD_ACCI::kEtapa) + "\r\n";
  out += "Firmas de los encargados de autorizar\r\n";
  return out;
}

int FRM_IMP(WDIAG& form) {
  const std::string text = PrintFormatText(form);
  return DIALOG_BOX(form.desktop(), "FRM_IMP", &form,
                    [text](WDIAG& dlg, int msg, int64_t w, int64_t) {
                      if (msg == kWmInitDialog) {
                        dlg.SetText(500, text);
                        dlg.SetFocus(2);
                        return 1;
                      }
                      if (msg == kWmCommand && (w == 1 || w == 2))
                        dlg.ENDDIALOG(static_cast<int>(w));
                      return 1;
                    });
}

}  // namespace qz
