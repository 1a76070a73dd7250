// Which control of the parameters window and of each sub-window edits which
// field.
#include <map>

#include "payroll/f_plan.h"

namespace qz {
namespace {

using K = Bound;

Bindings Bonus() {
  Bindings b = {
      {500, "TOT_EMP", K::kRadio, 0},   {501, "TOT_EMP", K::kRadio, 1},
      {502, "F_INICIO", K::kDate},      {503, "F_FIN", K::kDate},
      {504, "M_AGUI1", K::kNumber},     {505, "P_AGUI1", K::kNumber},
      {560, "LOGICA_AG", K::kRadio, 0}, {561, "LOGICA_AG", K::kRadio, 1},
      {562, "ADIC_AG", K::kCombo},      {563, "FORMATO_AG", K::kRadio, 0},
      {564, "FORMATO_AG", K::kRadio, 1}, {565, "FORMATO_AG", K::kRadio, 2},
  };
  // Groups 2..5, ten ids each from 510.
  for (int n = 2; n <= 5; ++n) {
    const int id = 510 + 10 * (n - 2);
    const std::string s = std::to_string(n);
    b.push_back({id + 0, "TOTAL_AG" + s, K::kCheck});
    b.push_back({id + 1, "ROTULO_AG" + s, K::kText});
    b.push_back({id + 2, "F_INICIO" + s, K::kDate});
    b.push_back({id + 3, "F_FIN" + s, K::kDate});
    b.push_back({id + 4, "M_AGUI" + s, K::kNumber});
    b.push_back({id + 5, "P_AGUI" + s, K::kNumber});
    b.push_back({id + 6, "DIVIDE_AG" + s, K::kCheck});
    b.push_back({id + 7, "BASE_I" + s, K::kDate});
    b.push_back({id + 8, "BASE_F" + s, K::kDate});
  }
  return b;
}

}  // namespace

const Bindings& MainBindings() {
  static const Bindings b = {
      {F_PLAN::kNombre1, "TIP_NOMBRE", K::kRadio, 1},
      {F_PLAN::kNombre2, "TIP_NOMBRE", K::kRadio, 2},
      {F_PLAN::kProvTot, "PROVEE_C_T", K::kCombo},
      {F_PLAN::kNomProvTot, "NOM_PROV_T", K::kText},
      {F_PLAN::kProvInd, "PROVEE_C_I", K::kCombo},
      {F_PLAN::kProvEle, "PROVEE_C_E", K::kCombo},
      {F_PLAN::kNomProvEle, "NOM_PROV_E", K::kText},
      {F_PLAN::kMensual, "TIP_PLA", K::kRadioCode, 0, "M"},
      {F_PLAN::kAdicional, "TIP_PLA", K::kRadioCode, 0, "A"},
      {F_PLAN::kLigAjuste, "LIG_AJUSTE", K::kCombo},
      {F_PLAN::kColPopu, "COL_POPU", K::kCombo},
      {130, "PATRONO", K::kText},
      {131, "POLIZA", K::kText},
      {132, "SUC_CCSS", K::kText},
      {133, "NOM_TEMP", K::kText},
      {134, "NOM_TEMP2", K::kText},
      {135, "NOM_TEMP3", K::kText},
      {136, "NOM_TEMP4", K::kText},
      {137, "TXT_MONTO1", K::kText},
      {138, "TXT_MONTO2", K::kText},
      {139, "TXT_MONTO3", K::kText},
      {140, "TXT_MONTO4", K::kText},
      {141, "DIF_DIAS", K::kNumber},
      {142, "SAL_PROM", K::kNumber},
      {143, "SAL_PROM2", K::kNumber},
      {144, "COP_COMP", K::kNumber},
      {145, "DESC_TREE", K::kNumber},
      {146, "PICT_TREE", K::kText},
      {147, "ORDEN_TREE", K::kCheck},
      {150, "REDONDEO", K::kCheck},
      {151, "DECIMAL_5", K::kCheck},
      {152, "DECIMALES", K::kNumber},
      {F_PLAN::kRedCosto, "RED_COSTO", K::kCheck},
      {F_PLAN::kDecCost5, "DEC_COST5", K::kCheck},
      {F_PLAN::kDecCosto, "DEC_COSTO", K::kNumber},
      {156, "CHEQ_CONTA", K::kCheck},
      {157, "LIGAR_RH", K::kCheck},
      {158, "IMP_DEUDA", K::kCheck},
      {159, "RECIBIDO", K::kCheck},
      {160, "REVISADO", K::kCheck},
      {161, "SALARIO_M", K::kCheck},
      {162, "IMP_SUM", K::kRadio, 1},
      {163, "IMP_SUM", K::kRadio, 2},
      {164, "IMP_SUM", K::kRadio, 0},
      {165, "T_COMPROB", K::kCheck},
      {166, "TIP_HOJA", K::kRadio, 1},
      {167, "TIP_HOJA", K::kRadio, 0},
      {168, "TIPO_INS", K::kCheck},
      {169, "NO_FIRMA_D", K::kCheck},
      {170, "NO_FIN_LIQ", K::kCheck},
      {F_PLAN::kSetOpcion, "SET_OPCION", K::kCheck},
      // F_PLAN7
      {180, "NO_TRANS", K::kCheck},
      {181, "DIAS_LIQ", K::kCheck},
      {F_PLAN::kMapSap, "MAP_SAP", K::kCombo},
      {183, "LOCACION", K::kText},
      {184, "PAIS", K::kText},
      {185, "INNCODE", K::kText},
  };
  return b;
}

const Bindings& SubWindowBindings(const std::string& name) {
  static const std::map<std::string, Bindings> all = {
      {"F_PLANILLA2",
       {{500, "PAT_NOMBRE", K::kText},
        {501, "PAT_DIRECC", K::kText},
        {502, "PAT_CED", K::kText},
        {503, "PAT_FAX", K::kText},
        {504, "PAT_TELEF", K::kText},
        {505, "PAT_EMAIL", K::kText}}},
      {"F_PLANILLA3", {{500, "FIN_LIQ", K::kText}}},
      {"F_PLANILLA4",
       {{500, "TIPO_PAGO", K::kRadio, 0},
        {501, "TIPO_PAGO", K::kRadio, 2},
        {502, "TIPO_PAGO", K::kRadio, 3},
        {503, "TIPO_PAGO", K::kRadio, 4},
        {510, "EFEC_X_BAN", K::kCheck},
        {511, "BANCO_EFEC", K::kCombo},
        {512, "CUENT_EFEC", K::kCombo},
        {520, "BANCO", K::kCombo},
        {521, "CUENTA", K::kCombo},
        {530, "TIP_TRANSF", K::kCombo},
        {531, "TIP_CUENTA", K::kCombo},
        {532, "TRANS_BANC", K::kCombo},
        {540, "BANCO_TOT", K::kCombo},
        {541, "CUENTA_TOT", K::kCombo},
        {550, "COD_TIEMPO", K::kCombo},
        {551, "C_SEGURO", K::kCombo},
        {552, "TIP_CED", K::kCombo},
        {560, "PROC_COL", K::kCheck},
        {561, "COL_INS", K::kCombo},
        {562, "COL_CCSS", K::kCombo}}},
      {"F_PLANILLA5",
       {{500, "ETAP_INI", K::kCombo},
        {501, "ETAP_FIN", K::kCombo},
        {502, "ETAP_INTER", K::kCombo},
        {503, "TIP_ACCION", K::kRadio, 1},
        {504, "TIP_ACCION", K::kRadio, 0},
        {505, "LEYENDA", K::kText}}},
      {"F_PLANILLA6", Bonus()},
      {"ED_CONST",
       {{500, "TXT_CONST", K::kText},
        {501, "REB_CONST", K::kNumber},
        {502, "HEAD_CONST", K::kCheck},
        {503, "SIN_TITULO", K::kCheck},
        {504, "NO_FECHA", K::kCheck},
        {505, "LETRA_CONS", K::kCombo}}},
      {"CESANTIA",
       {{500, "TIPO_CESA", K::kRadio, 0},
        {501, "TIPO_CESA", K::kRadio, 1},
        {502, "CORTE_CESA", K::kDate},
        {503, "FACT_CESA", K::kNumber}}},
      {"PREAVISO", {}},
  };
  static const Bindings none;
  auto it = all.find(name);
  return it == all.end() ? none : it->second;
}

const std::set<std::string>& Plan7Fields() {
  static const std::set<std::string> f = {"NO_TRANS", "DIAS_LIQ", "MAP_SAP", "LOCACION",
                                          "PAIS",     "INNCODE",  "NO_FECHA"};
  return f;
}

const std::set<std::string>& PlanFields() {
  static const std::set<std::string> f = [] {
    std::set<std::string> s;
    AddFields(MainBindings(), &s);
    for (const char* w : {"F_PLANILLA2", "F_PLANILLA3", "F_PLANILLA4", "F_PLANILLA5",
                          "F_PLANILLA6", "ED_CONST", "CESANTIA"})
      AddFields(SubWindowBindings(w), &s);
    s.insert("COL_SEGURO");
    for (const auto& f7 : Plan7Fields()) s.erase(f7);
    return s;
  }();
  return f;
}

const std::vector<std::string>& PaymentDefaultFields() {
  static const std::vector<std::string> f = {"BANCO_EFEC", "CUENT_EFEC", "BANCO",
                                             "CUENTA",     "TIP_TRANSF", "TIP_CUENTA",
                                             "TRANS_BANC", "BANCO_TOT",  "CUENTA_TOT"};
  return f;
}

}  // namespace qz
