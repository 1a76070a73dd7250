// A small hotel payroll for the expense distribution: one business, a
// monthly and a weekly payroll type, a restaurant department paid in colones
// split 60/40 over two centres, a salary, a social-security percentage and a
// loan column, each with its accounting link, and employees added by the
// test. Shared by the computation tests and the screen tests.
#pragma once

#include <string>
#include <vector>

#include "support/ui_session.h"
#include "xbase/value.h"

namespace qztest {

inline const std::string kHotel = Biz("HOTEL CENTRAL");

class ExpenseSession : public UiSession {
 protected:
  // 30/11/2026, a Monday.
  const int32_t kPayDate = xb::JulianFromYmd(2026, 11, 30);

  void SetUp() override {
    for (const char* t : {"ENC_PERS", "DET_PERS", "DET_DEPT", "ENC_TIP", "DET_TIP", "TIP_PLA",
                          "TIEMPO_E", "ENC_DEPT", "H_E_DEPT", "H_E_PERS", "H_D_PERS", "T_CAMBIO",
                          "DET_PER3", "F_PLAN", "DET_LIGA", "LIGAS", "C_COSTOS", "CUENTAS",
                          "CUEN_LIB", "E_COSTO", "D_COSTO", "DET_DEP3", "NEGOCIOS", "MONEDAS"})
      Create(t);
    AddRows(bases, "NEGOCIOS", {{{"CODIGO", C(kHotel)}, {"DESCRIP", C("Hotel Central S.A.")}}});
    AddRows(bases, "MONEDAS", {{{"NEGOCIO", C(kHotel)}, {"CODIGO", C("CR")}, {"DESCRIP", C("Colones")}},
                               {{"NEGOCIO", C(kHotel)}, {"CODIGO", C("US")}, {"DESCRIP", C("Dólares")}}});
    AddRows(bases, "F_PLAN", {{{"NEGOCIO", C(kHotel)}, {"LIG_AJUSTE", C("AJUSTE")},
                               {"DECIMALES", N(2)}, {"DIF_DIAS", N(30)}}});
    AddRows(bases, "TIP_PLA",
            {{{"NEGOCIO", C(kHotel)}, {"CODIGO", C("M")}, {"DESCRIP", C("Mensual")}, {"TIPO", N(0)},
              {"CANTIDAD", N(1)}, {"N_EMISION", N(1)}, {"VAL_DIV", N(240)}, {"MES_COMERC", N(30)}},
             {{"NEGOCIO", C(kHotel)}, {"CODIGO", C("S")}, {"DESCRIP", C("Semanal")}, {"TIPO", N(1)},
              {"CANTIDAD", N(7)}, {"N_EMISION", N(4)}, {"DIA_PAGO", N(6)}, {"OBLIGA_DIA", N(1)},
              {"VAL_DIV", N(48)}, {"MES_COMERC", N(30)}}});
    AddRows(bases, "TIEMPO_E", {{{"NEGOCIO", C(kHotel)}, {"CODIGO", C("01")}, {"FACTOR", N(8)}}});
    Department("AYB", "Alimentos y Bebidas", "M");
    Department("REC", "Recepción", "S");
    AddRows(bases, "ENC_TIP",
            {Type("01", "Salario Base", 1, 1), Type("10", "Cuota Préstamo", 1, 0),
             {{"NEGOCIO", C(kHotel)}, {"CODIGO", C("20")}, {"DESCRIP", C("CCSS Trabajador")},
              {"TIPO", N(2)}, {"FACTOR_2", N(0)}, {"VALOR", N(10)}, {"VAL_X_DEF", N(1)},
              {"TIPO_MONTO", N(2)}}});
    for (const char* d : {"AYB", "REC"})
      AddRows(bases, "DET_DEPT", {Column(d, "01", "01", "SALARIO"), Column(d, "02", "20", "CCSS"),
                                  Column(d, "03", "10", "PREST")});
    AddRows(bases, "LIGAS",
            {Link("SALARIO", "Gasto de salarios", "5-01-XX-001", "     XX", 1),
             Link("CCSS", "CCSS por pagar", "2-01-04-001", "", 0),
             Link("PREST", "Préstamos a empleados", "1-01-05-001", "", 0),
             Link("PAGAR", "Salarios por pagar", "2-01-03-001", "", 0),
             Link("RETCR", "Retenciones (crédito)", "2-01-03-002", "", 0),
             Link("RETDB", "Retenciones (débito)", "1-01-05-002", "", 1),
             Link("AJUSTE", "Ajuste por redondeo", "5-01-09-001", "", 1),
             Link("BANCO", "Banco Nacional", "1-01-01-001", "", 0, "04")});
    AddRows(bases, "CUEN_LIB", {{{"NEGOCIO", C(kHotel)}, {"BANCO", C("01")}, {"CUENTA", C("100-01")},
                                 {"ASIENTO1", C("BANCO")}}});
    AddRows(bases, "C_COSTOS", {Centre("CC-REST", "Restaurante", "31"), Centre("CC-BAR", "Bar", "32"),
                                Centre("CC-REC", "Recepción", "20")});
    AddRows(bases, "DET_DEP3", {Split("AYB", "CC-REST", 60), Split("AYB", "CC-BAR", 40),
                                Split("REC", "CC-REC", 100)});
  }

  static Row Type(const char* code, const char* descrip, int kind, int sign) {
    return {{"NEGOCIO", C(kHotel)}, {"CODIGO", C(code)}, {"DESCRIP", C(xb::FromUtf8(descrip))},
            {"TIPO", N(kind)},      {"FACTOR_2", N(sign)}, {"DEDUCIBLE", N(1)}};
  }
  static Row Column(const char* dept, const char* section, const char* col, const char* link) {
    return {{"NEGOCIO", C(kHotel)}, {"DEPTO", C(dept)}, {"TIPO", C(section)},
            {"COD_COLUMN", C(col)}, {"LIGA_CONTA", C(link)}};
  }
  static Row Link(const char* code, const char* descrip, const char* cuenta, const char* mask,
                  int debit, const char* module = "06") {
    return {{"NEGOCIO", C(kHotel)}, {"MODULO", C(module)}, {"CODIGO", C(code)},
            {"DESCRIP", C(xb::FromUtf8(descrip))}, {"CUENTA", C(cuenta)}, {"FORMATO_CC", C(mask)},
            {"TIPO", N(debit)}};
  }
  static Row Centre(const char* code, const char* descrip, const char* prefix) {
    return {{"NEGOCIO", C(kHotel)}, {"CODIGO", C(code)}, {"DESCRIP", C(xb::FromUtf8(descrip))},
            {"PREFIJO", C(prefix)}};
  }
  static Row Split(const char* dept, const char* centre, double pct) {
    return {{"NEGOCIO", C(kHotel)}, {"DEPTO", C(dept)}, {"COD_CENTRO", C(centre)},
            {"PORCENTAJE", N(pct)}};
  }
  void Department(const char* code, const char* descrip, const char* type) {
    AddRows(bases, "ENC_DEPT",
            {{{"NEGOCIO", C(kHotel)}, {"CODIGO", C(code)}, {"DESCRIP", C(xb::FromUtf8(descrip))},
              {"TIPO", C(type)}, {"MONEDA", C("CR")}, {"LIGA_CONT", C("PAGAR")},
              {"CRED_RET", C("RETCR")}, {"DEB_RET", C("RETDB")}}});
  }
  // An active employee paid electronically, with salary, loan instalment and
  // social security.
  void Employee(const char* code, const char* dept, double salary, double loan = 0,
                const std::vector<std::pair<const char*, xb::Value>>& extra = {}) {
    Row r = {{"NEGOCIO", C(kHotel)},   {"CODIGO", C(code)},
             {"NOMBRE", C(std::string("EMPLEADO ") + code)}, {"DEPTO", C(dept)},
             {"ACTIVO", N(1)},         {"TIPO_PAGO", N(3)},
             {"COD_TIEMPO", C("01")},  {"F_INGRESO", xb::Value::Date(xb::JulianFromYmd(2020, 1, 6))}};
    for (const auto& [f, v] : extra) r[f] = v;
    AddRows(bases, "ENC_PERS", {r});
    AddRows(bases, "DET_PERS", {Value(code, "01", salary), Value(code, "20", 0)});
    if (loan != 0) AddRows(bases, "DET_PERS", {Value(code, "10", loan)});
  }
  // Sets `field` of every row of `table` whose `key` field reads `match`
  // (trimmed), as another program would: under the record's lock.
  void Update(const std::string& table, const char* key, const std::string& match,
              const char* field, const xb::Value& v) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      auto got = (*t)->Get(key);
      std::string text = got.ok() && got->is_char() ? got->str() : "";
      text.erase(text.find_last_not_of(' ') + 1);
      if (text != match) continue;
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Put(field, v).ok());
      ASSERT_TRUE((*t)->WriteBack().ok());
      (*t)->UnlockAll();
    }
    ASSERT_TRUE((*t)->Close().ok());
  }
  static Row Value(const char* code, const char* col, double v) {
    return {{"NEGOCIO", C(kHotel)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(col)},
            {"VALOR_1", N(v)}};
  }
};

}  // namespace qztest
