// Which control of the column-type window ("DEF_TIP2") shows which field of
// ENC_TIP, and which check box enables it. The window loads and saves the
// plain fields through this one table; a field whose enabling box is off is
// stored empty (text), 0 (numbers and flags) or its `off` value.
#pragma once

#include <vector>

namespace qz {

enum class Binding { kCheck, kNumber, kText, kCombo };

struct FieldBinding {
  const char* field;
  int control;
  Binding kind;
  int enabled_by = 0;  // the check box that enables the field; 0 = none
  double off = 0;      // numbers: the value stored while it is disabled
  const char* picture = "";  // numbers: how the edit shows them
};

// Control ids of "DEF_TIP2" with a rule of their own.
namespace ed_tip {
inline constexpr int kCodigo = 501, kDescrip = 502;
inline constexpr int kKind1 = 201, kKind2 = 202, kKind3 = 203, kKind4 = 204;  // TIPO 1..4
inline constexpr int kDetalle = 205;
inline constexpr int kMontoDeducible = 206, kMontoNoDeducible = 207, kMontoTotal = 208;
inline constexpr int kSignPlus = 209, kSignMinus = 210;           // FACTOR_2 1 / 0
inline constexpr int kAfectaF4Plus = 211, kAfectaF4Minus = 212;   // AFECTA_F4 1 / 0
inline constexpr int kAfectaF5Plus = 213, kAfectaF5Minus = 214;   // AFECTA_F5 1 / 0
inline constexpr int kValor = 503, kPorcentaje = 515, kMontoCompuesto = 516;
inline constexpr int kMoneda = 601, kConceptoDeuda = 602, kMonedaInfo = 603;
inline constexpr int kGrupo = 604, kGrupoAjuste = 605;
inline constexpr int kValXDef = 301, kEditable = 302, kVerPeriod = 306, kDivDias = 308;
inline constexpr int kValBase = 309, kValDepend = 310, kLimite = 311, kDeuda = 312, kInfo = 313;
inline constexpr int kCalcDif = 332;
inline constexpr int kImpValor = 340, kImpFactor = 341, kImpTotal = 342, kImpDif = 343, kImpF4 = 344;
inline constexpr int kRImpV = 350, kRImpF = 351, kRImpT = 352, kRImpD = 353, kRImpF4 = 354;
inline constexpr int kFactor = 360, kEditableF = 361, kFacXDef = 362;
inline constexpr int kFactor4 = 363, kEditF4 = 364;
inline constexpr int kValor3 = 505, kFDescrip = 540, kValor2 = 541;
inline constexpr int kFact4XDef = 543, kFactor5 = 544;
// The print flags of the payroll (340..344) and of reports (350..354), each
// with its label and picture edits.
inline constexpr int kFirstLabel = 520, kFirstReportLabel = 530;
}  // namespace ed_tip

// Every plain field of the window, in template order.
const std::vector<FieldBinding>& ColumnTypeBindings();

}  // namespace qz
