// The sub-windows of the payroll parameters: which template each button
// opens and what fills its drop-downs and lists.
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "payroll/f_plan.h"
#include "payroll/lookup_lists.h"
#include "payroll/param_window.h"
#include "payroll/scale_editor.h"

namespace qz {
namespace {

std::string Pad(const std::string& s, size_t n) {
  std::string out = s;
  out.resize(n, ' ');
  return out;
}

// Codes the suite's other programs share for these fields.
const std::vector<std::pair<std::string, std::string>> kTiposCuenta = {
    {"Cuenta Corriente", "01"}, {"Cuenta de Ahorros", "02"}, {"Cuenta Electrónica", "03"}};
const std::vector<std::pair<std::string, std::string>> kClasesSeguro = {
    {"Asegurado Directo", "01"}, {"Pensionado", "02"}, {"Asegurado Voluntario", "03"}};
const std::vector<std::pair<std::string, std::string>> kTiposCedula = {
    {"Cédula Nacional", "01"},
    {"Cédula de Residencia", "02"},
    {"Pasaporte", "03"},
    {"Permiso de Trabajo", "04"}};

// Placeholders of the salary-certificate text.
const std::vector<std::pair<std::string, std::string>> kDatosEmpleado = {
    {"Nombre Completo", "<<nombre>>"},
    {"Nombre ", "<<p_nombre>>"},
    {"1.er Apellido ", "<<apellido1>>"},
    {"2.do Apellido ", "<<apellido2>>"},
    {"Cédula", "<<cedula>>"},
    {"Departamento", "<<c_depto>>"},
    {"Fecha", "<<fecha>>"},
    {"Fecha de Ingreso", "<<fecha_i>>"},
    {"Puesto", "<<puesto>>"},
    {"Tipo Ident.", "<<tipo.Ident>>"},
    {"Salario", "<<salario>>"},
    {"Salario Líquido", "<<sal_liq>>"},
    {"Salario en Letras", "<<l_salario>>"},
    {"Salario Líquido en Letras", "<<l_sal_liq>>"},
    {"Horario Lunes y Viernes", "<<H_LYV>>"},
    {"Horario Sabado", "<<H_SAB>>"},
    {"Horario Domingo", "<<H_DOM>>"},
    {"Seguro Social", "<<SEG_SOC>>"},
    {"Dia Fecha Emision", "<<DIA_CARTA>>"},
    {"Mes Fecha Emision", "<<MES_CARTA>>"},
    {"Año Fecha Emision", "<<ANHO_CARTA>>"},
};

std::function<bool(const xb::Table&)> OfKind(int kind) {
  return [kind](const xb::Table& t) {
    auto v = t.Get("TIPO");
    return v.ok() && v->is_numeric() && v->number() == kind;
  };
}

// The accounts drop-down follows the bank chosen beside it.
void FillAccounts(WDIAG& w, const std::string& biz, int bank, int account,
                  const std::string& keep) {
  w.ClearEntries(account);
  auto cargo = CCOMBOBOX(w, bank).CURCARGO();
  if (!cargo) return;
  FillLookup(w, account, {"CUEN_LIB", "CUEN_LIB", biz + Pad(*cargo, 2), "CUENTA", "DESCRIP"});
  if (!keep.empty()) CCOMBOBOX(w, account).SEEKCARGO(keep);
}

void PaymentForm(WDIAG& w) {
  const bool cash = w.Check(500), cheque = w.Check(501), transfer = w.Check(502),
             total = w.Check(503);
  for (int id : {510, 511, 512}) w.EnableControl(id, cash);
  for (int id : {520, 521}) w.EnableControl(id, cheque);
  for (int id : {530, 531, 532}) w.EnableControl(id, transfer);
  for (int id : {540, 541}) w.EnableControl(id, total);
}

void SetupPayment(ParamWindow& p, const std::string& biz) {
  const std::pair<int, int> pairs[] = {{511, 512}, {520, 521}, {540, 541}};
  p.on_fill = [biz, pairs](ParamWindow& w) {
    for (auto [bank, account] : pairs) {
      FillLookup(w, bank, {"BANCOS", "BANCOS", biz});
      w.ADD(bank, [&w, biz, bank, account] { FillAccounts(w, biz, bank, account, ""); });
    }
    FillLookup(w, 530, {"TIP_TRAN", "TIP_TRAN", biz});
    FillFixed(w, 531, kTiposCuenta);
    FillLookup(w, 532, {"TRANS_B", "TRANS_B", biz});
    FillLookup(w, 550, {"TIEMPO_E", "TIEMPO_E", biz});
    FillFixed(w, 551, kClasesSeguro);
    FillFixed(w, 552, kTiposCedula);
    FillLookup(w, 561, {"ENC_TIP", "ENC_TIP", biz});
    FillLookup(w, 562, {"ENC_TIP", "ENC_TIP", biz});
    for (int id : {500, 501, 502, 503}) w.ADD(id, [&w] { PaymentForm(w); });
  };
  p.on_shown = [biz, pairs](ParamWindow& w) {
    const char* accounts[] = {"CUENT_EFEC", "CUENTA", "CUENTA_TOT"};
    for (int i = 0; i < 3; ++i)
      FillAccounts(w, biz, pairs[i].first, pairs[i].second, CopyText(w.copy(), accounts[i]));
    PaymentForm(w);
  };
}

void SetupCertificate(ParamWindow& p) {
  p.on_fill = [](ParamWindow& w) {
    FillLookup(w, 505, {"FONTS", "FONTS", "", "T_FONT", "T_FONT"});
    FillFixed(w, 600, kDatosEmpleado);
    // "Agregar" puts the chosen placeholders at the end of the text,
    // "Borrar" takes every occurrence of them out.
    w.ADD(601, [&w] {
      const ControlState* list = w.Control(600);
      std::string text = w.Text(500);
      for (const auto& e : list->entries)
        if (e.selected) text += e.cargo;
      w.SetText(500, text);
    });
    w.ADD(602, [&w] {
      const ControlState* list = w.Control(600);
      std::string text = w.Text(500);
      for (const auto& e : list->entries) {
        if (!e.selected) continue;
        for (size_t at = text.find(e.cargo); at != std::string::npos; at = text.find(e.cargo))
          text.erase(at, e.cargo.size());
      }
      w.SetText(500, text);
    });
  };
}

}  // namespace

const char* SubWindowTemplate(int button) {
  switch (button) {
    case F_PLAN::kPreaviso: return "PREAVISO";
    case F_PLAN::kConstancia: return "ED_CONST";
    case F_PLAN::kCesantia: return "CESANTIA";
    case F_PLAN::kPatrono: return "F_PLANILLA2";
    case F_PLAN::kLiquidacion: return "F_PLANILLA3";
    case F_PLAN::kEmpleados: return "F_PLANILLA4";
    case F_PLAN::kAcciones: return "F_PLANILLA5";
    case F_PLAN::kAguinaldo: return "F_PLANILLA6";
    default: return "";
  }
}

std::unique_ptr<ParamWindow> MakeSubWindow(F_PLAN& screen, int button) {
  const std::string name = SubWindowTemplate(button);
  if (name.empty()) return nullptr;
  if (button == F_PLAN::kPreaviso)
    return std::make_unique<ScaleEditor>(screen, name, screen.notice());
  if (button == F_PLAN::kCesantia)
    return std::make_unique<ScaleEditor>(screen, name, screen.severance());
  auto w = std::make_unique<ParamWindow>(screen, name, SubWindowBindings(name), &screen.copy());
  const std::string biz = Pad(screen.Negocio(), 15);
  if (button == F_PLAN::kEmpleados) {
    SetupPayment(*w, biz);
  } else if (button == F_PLAN::kAcciones) {
    w->on_fill = [biz](ParamWindow& p) {
      for (int id : {500, 501, 502}) FillLookup(p, id, {"ETAP_PLA", "ETAP_PLA", biz});
    };
    w->on_accept = [](ParamWindow& p, RecordCopy& work) {
      std::string text = TrimRight(p.Text(505));
      text.erase(0, text.find_first_not_of(' ') == std::string::npos ? text.size()
                                                                      : text.find_first_not_of(' '));
      work["LEYENDA"] = xb::Value::Char(text);
      return true;
    };
  } else if (button == F_PLAN::kAguinaldo) {
    w->on_fill = [biz](ParamWindow& p) {
      p.AddEntry(562, "Ninguno", "");  // stored as 2 blanks
      FillLookup(p, 562, {"ENC_TIP", "ENC_TIP", biz, "CODIGO", "DESCRIP", OfKind(1)});
    };
  } else if (button == F_PLAN::kConstancia) {
    SetupCertificate(*w);
  }
  return w;
}

}  // namespace qz
