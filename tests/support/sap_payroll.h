// A small business for SAP journals: department D1 (monthly payroll, fixed)
// and D2 (weekly, paid on Fridays, extra); salary, bonus, a percentage
// deduction and a withholding column; employees who are in and out of the
// journal by their dates; and a mapping that books salary and bonus per
// department against the deduction, the withholdings and the net salary.
#pragma once

#include <string>
#include <vector>

#include "lib/accounting/sap_mapping.h"
#include "support/ui_session.h"
#include "xbase/table.h"

namespace qztest {

inline const std::string kSapBiz = Biz("HOTEL CENTRAL");
inline const int32_t kSapCut = xb::JulianFromYmd(2026, 3, 31);  // a Tuesday

class SapPayrollSession : public UiSession {
 protected:
  void SetUp() override {
    const std::string profile = inst.root + "PROFILE";
    for (const char* t : {"TMP_PLA4", "TMP_PLA5", "TMP_PL11", "TMP_PL12", "TMP_PL13", "TMP_SAP"})
      CreateSchemaTable(profile, t);
    Create("F_PLAN", {{{"NEGOCIO", C(kSapBiz)}, {"REDONDEO", N(0)}, {"DECIMALES", N(2)}}});
    Create("MONEDAS", {{{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("CR")}, {"DESCRIP", C("COLONES")}},
                       {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("US")}, {"DESCRIP", C("DOLARES")}}});
    Create("T_CAMBIO");
    Create("TIP_PLA", {{{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("M")}, {"DESCRIP", C("MENSUAL")},
                        {"TIPO", N(0)}, {"CANTIDAD", N(1)}, {"VAL_DIV", N(30)}},
                       {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("S")}, {"DESCRIP", C("SEMANAL")},
                        {"TIPO", N(1)}, {"CANTIDAD", N(7)}, {"OBLIGA_DIA", N(1)},
                        {"DIA_PAGO", N(6)}, {"N_EMISION", N(4)}, {"VAL_DIV", N(7)}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}}});
    Create("ENC_DEPT", {Dept("D1", "COCINA", "M", 0, "CC-COC"), Dept("D2", "EVENTOS", "S", 1, "CC-EVE")});
    std::vector<Row> cols;
    for (const char* d : {"D1", "D2"})
      for (auto [col, cat] : {std::pair{"01", "01"}, {"06", "01"}, {"20", "02"}, {"09", "03"},
                              {"77", "01"}})
        cols.push_back({{"NEGOCIO", C(kSapBiz)}, {"DEPTO", C(d)}, {"TIPO", C(cat)},
                        {"COD_COLUMN", C(col)}});
    Create("DET_DEPT", cols);
    Create("ENC_TIP", {Type("01", "SALARIO", 1, 1, 1), Type("06", "BONIFICACION", 1, 1, 0),
                       Type("09", "REBAJO", 1, 0, 1),
                       {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C("20")}, {"DESCRIP", C("CCSS")},
                        {"TIPO", N(2)}, {"FACTOR_2", N(0)}, {"VALOR", N(10)},
                        {"VAL_X_DEF", N(1)}, {"TIPO_MONTO", N(0)}, {"DEDUCIBLE", N(1)}}});
    Create("DET_TIP");
    const int32_t hired = xb::JulianFromYmd(2025, 1, 1);
    Create("ENC_PERS",
           {Employee("E1", "ANA MORA", "D1", 1, hired, 0, 0), Employee("E2", "LUIS SOTO", "D1", 1, hired, 0, 0),
            Employee("E3", "EVA RUIZ", "D1", 0, hired, xb::JulianFromYmd(2026, 3, 20), 0),
            Employee("E4", "JUAN PAZ", "D1", 0, hired, xb::JulianFromYmd(2026, 3, 20), 1),
            Employee("E5", "NUEVO", "D1", 1, xb::JulianFromYmd(2026, 4, 10), 0, 0),
            Employee("X1", "PEDRO LUNA", "D2", 1, hired, 0, 0)});
    Create("DET_PERS", {Value("E1", "01", 1000), Value("E1", "06", 100), Value("E1", "20", 0),
                        Value("E1", "09", 50), Value("E2", "01", 2000.25), Value("E2", "20", 0),
                        Value("E3", "01", 400), Value("E4", "01", 300), Value("E5", "01", 900),
                        Value("X1", "01", 500), Value("X1", "20", 0)});
    Create("H_E_DEPT");
    Create("H_E_PERS", {Line("E3", xb::JulianFromYmd(2026, 3, 15)),
                        Line("E4", xb::JulianFromYmd(2026, 3, 15))});
    Create("H_D_PERS");
    Create("F_AS_SAP");
    Create("F_AS_SA2");
  }

  static qz::SapMapRow Map(const char* col, int debito, int aplica, const char* cuenta,
                           const char* bloque, int orden, int tipo = 0) {
    qz::SapMapRow m;
    m.columna = col;
    m.debito = debito;
    m.aplica = aplica;
    m.cuenta = cuenta;
    m.bloque = bloque;
    m.orden = orden;
    m.tipo = tipo;
    m.rotulo = std::string("NOTA ") + col;
    return m;
  }
  // Salary and bonus per department against the deduction, withholdings
  // and net salary, with a balancing line.
  static std::vector<qz::SapMapRow> Mapping() {
    return {Map("_5", 1, 0, "5-01", "PLANILLA", 10), Map("_4", 1, 0, "5-02", "PLANILLA", 20),
            Map("20", 0, 2, "2-01", "PLANILLA", 30), Map("_3", 0, 2, "2-02", "PLANILLA", 40),
            Map("_1", 0, 2, "2-03", "PLANILLA", 50), Map("_6", 1, 2, "5-09", "PLANILLA", 90)};
  }
  void StoreMapping(const std::vector<qz::SapMapRow>& rows) {
    auto t = xb::Table::Open(file("F_AS_SA2.DBF"));
    ASSERT_TRUE(t.ok());
    for (const auto& r : rows) {
      ASSERT_TRUE((*t)->Append().ok());
      ASSERT_TRUE((*t)->Put("NEGOCIO", C(kSapBiz)).ok());
      ASSERT_TRUE(qz::WriteSapMapRow(**t, r).ok());
      ASSERT_TRUE((*t)->Flush().ok());
      (*t)->UnlockAll();
    }
    ASSERT_TRUE((*t)->Close().ok());
  }

 private:
  static Row Dept(const char* code, const char* descrip, const char* tipo, int extra,
                  const char* cecos) {
    return {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C(code)}, {"DESCRIP", C(descrip)},
            {"TIPO", C(tipo)},      {"EXTRA", N(extra)}, {"CECOS", C(cecos)},
            {"MONEDA", C("CR")},    {"INACTIVO", N(0)}};
  }
  static Row Type(const char* code, const char* descrip, int tipo, int sign, int deducible) {
    return {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C(code)}, {"DESCRIP", C(descrip)},
            {"TIPO", N(tipo)},      {"FACTOR_2", N(sign)}, {"DEDUCIBLE", N(deducible)}};
  }
  static Row Employee(const char* code, const char* name, const char* dept, int activo,
                      int32_t hired, int32_t retired, int inmediato) {
    return {{"NEGOCIO", C(kSapBiz)},        {"CODIGO", C(code)},
            {"NOMBRE", C(name)},            {"DEPTO", C(dept)},
            {"ACTIVO", N(activo)},          {"F_INGRESO", xb::Value::Date(hired)},
            {"F_RETIRO", xb::Value::Date(retired)}, {"INMEDIATO", N(inmediato)},
            {"COD_TIEMPO", C("08")},        {"CEDULA", C(std::string("1-") + code)}};
  }
  static Row Value(const char* code, const char* col, double v) {
    return {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(col)},
            {"VALOR_1", N(v)}};
  }
  static Row Line(const char* code, int32_t fecha) {
    return {{"NEGOCIO", C(kSapBiz)}, {"CODIGO", C(code)}, {"DEPTO", C("D1")},
            {"FECHA", xb::Value::Date(fecha)}};
  }
};

}  // namespace qztest
