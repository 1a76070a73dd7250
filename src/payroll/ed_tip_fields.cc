#include "payroll/ed_tip_fields.h"

namespace qz {
namespace {

constexpr const char* kFactorPicture = "9999999.99999";

std::vector<FieldBinding> Build() {
  using namespace ed_tip;
  std::vector<FieldBinding> b = {
      {"VAL_X_DEF", kValXDef, Binding::kCheck},
      {"EDITABLE", kEditable, Binding::kCheck},
      {"DEDUCIBLE", 303, Binding::kCheck},
      {"REINICIAR", 304, Binding::kCheck},
      {"DIVIDIR", 305, Binding::kCheck},
      {"VER_PERIOD", kVerPeriod, Binding::kCheck},
      {"NUM_PERIOD", 504, Binding::kNumber, kVerPeriod, 0, "99"},
      {"DESACTIVAR", 307, Binding::kCheck},
      {"DIV_DIAS", kDivDias, Binding::kCheck},
      {"VAL_BASE", kValBase, Binding::kCheck},
      {"VAL_DEPEND", kValDepend, Binding::kCheck},
      {"VALOR_3", kValor3, Binding::kNumber, 0, 0, kFactorPicture},
      {"LIMITE", kLimite, Binding::kCheck},
      {"ROT_LIMITE", 506, Binding::kText, kLimite},
      {"DEUDA", kDeuda, Binding::kCheck},
      {"C_DEUDA", kConceptoDeuda, Binding::kCombo, kDeuda},
      {"INFO", kInfo, Binding::kCheck},
      {"MONEDA2", kMonedaInfo, Binding::kCombo, kInfo},
      {"INFO2", 314, Binding::kCheck},
      {"CONTA_IND", 315, Binding::kCheck},
      {"VAR_COSTO", 316, Binding::kCheck},
      {"AGRUPAR1", 317, Binding::kCheck},
      {"AGRUPAR2", 318, Binding::kCheck},
      {"AGRUPAR3", 319, Binding::kCheck},
      {"AGRUPAR4", 320, Binding::kCheck},
      {"LIGAR_HORA", 321, Binding::kCheck},
      {"SUM_HORA", 322, Binding::kCheck},
      {"HORAS_BASE", 323, Binding::kCheck},
      {"H_INCAP", 324, Binding::kCheck},
      {"DESGLOSE", 325, Binding::kCheck},
      {"RE_MENSUAL", 326, Binding::kCheck},
      {"VAC_PAGADA", 327, Binding::kCheck},
      {"VAC_COSTO", 328, Binding::kCheck},
      {"LIQUIDABLE", 329, Binding::kCheck},
      {"ED_CENTRO", 330, Binding::kCheck},
      {"COSTO_SAP", 331, Binding::kCheck},
      {"CALC_DIF", kCalcDif, Binding::kCheck},
      {"CORTE", 507, Binding::kNumber, kCalcDif, 0, "9999999.99"},
      {"PORC_ANTES", 508, Binding::kNumber, kCalcDif, 0, "99999.99999"},
      {"PORC_DESP", 509, Binding::kNumber, kCalcDif, 0, "99999.99999"},
      {"DIF_DEDUCC", 333, Binding::kCheck},
      {"IMP_PLAN", 334, Binding::kCheck},
      {"IMP_COMP", 335, Binding::kCheck},
      {"GRUPO", kGrupo, Binding::kCombo},
      {"GRUPO2", kGrupoAjuste, Binding::kCombo},
      {"FACTOR", kFactor, Binding::kCheck},
      {"F_DESCRIP", kFDescrip, Binding::kText, kFactor},
      {"EDITABLE_F", kEditableF, Binding::kCheck, kFactor},
      // Without a factor the column multiplies by 1.
      {"VALOR_2", kValor2, Binding::kNumber, kFactor, 1, kFactorPicture},
      {"FAC_X_DEF", kFacXDef, Binding::kCheck, kFactor},
      {"FACTOR_4", kFactor4, Binding::kCheck},
      {"EDIT_F4", kEditF4, Binding::kCheck, kFactor4},
      {"ROT_F4", 542, Binding::kText, kFactor4},
      {"FACT4_XDEF", kFact4XDef, Binding::kNumber, kFactor4, 0, kFactorPicture},
      {"FACTOR_5", kFactor5, Binding::kNumber, kFactor4, 0, "99999.99"},
  };
  // Print flags with their label and picture: payroll and pay slips, then
  // reports.
  const char* payroll[][3] = {{"IMP_VALOR", "ROTULO_VAL", "PICTURE_V"},
                              {"IMP_FACTOR", "ROTULO_FAC", "PICTURE_F"},
                              {"IMP_TOTAL", "ROTULO_TOT", "PICTURE_T"},
                              {"IMP_DIF", "ROTULO_DIF", "PICTURE_D"},
                              {"IMP_F4", "ROTULO_F4", "PICTURE_F4"}};
  const char* reports[][3] = {{"R_IMP_V", "R_ROT_VAL", "R_PICT_V"},
                              {"R_IMP_F", "R_ROT_FAC", "R_PICT_F"},
                              {"R_IMP_T", "R_ROT_TOT", "R_PICT_T"},
                              {"R_IMP_D", "R_ROT_DIF", "R_PICT_D"},
                              {"R_IMP_F4", "R_ROT_F4", "R_PICT_F4"}};
  for (int i = 0; i < 5; ++i) {
    int flag = kImpValor + i, label = kFirstLabel + 2 * i;
    b.push_back({payroll[i][0], flag, Binding::kCheck});
    b.push_back({payroll[i][1], label, Binding::kText, flag});
    b.push_back({payroll[i][2], label + 1, Binding::kText, flag});
  }
  for (int i = 0; i < 5; ++i) {
    int flag = kRImpV + i, label = kFirstReportLabel + 2 * i;
    b.push_back({reports[i][0], flag, Binding::kCheck});
    b.push_back({reports[i][1], label, Binding::kText, flag});
    b.push_back({reports[i][2], label + 1, Binding::kText, flag});
  }
  return b;
}

}  // namespace

const std::vector<FieldBinding>& ColumnTypeBindings() {
  static const std::vector<FieldBinding> kBindings = Build();
  return kBindings;
}

}  // namespace qz
