// A business with the definitions the hourly-cost factor is made of: cost
// rounding, payroll types, a schedule, base and dependent column types,
// departments and employees with their value rows. Shared by the tests of
// the screens that recompute the factors.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/catalog_data.h"
#include "support/ui_session.h"
#include "xbase/table.h"

namespace qztest {

inline const std::string kHc = Biz("HOTEL CENTRAL");
inline const std::string kHp = Biz("HOTEL PLAYA");

class PayrollDefsSession : public UiSession {
 protected:
  // Type 01 monthly (VAL_DIV 30), 02 bi-weekly (15), 09 without divisor (0);
  // departments D1, D3 of type 01, D2 of 02, D9 of 09; schedule 08 of 8
  // hours; SB and SC base columns, HX (x1.5) and HD (x2) dependent.
  void CreateDefinitions() {
    Create("F_PLAN", {{{"NEGOCIO", C(kHc)},
                       {"TIP_NOMBRE", N(1)},
                       {"RED_COSTO", N(1)},
                       {"DEC_COSTO", N(2)},
                       {"SET_OPCION", N(1)},
                       {"TIPO_PAGO", N(3)},
                       {"BANCO", C("01")},
                       {"PATRONO", C("3-101-000001")}}});
    Create("F_PLAN7", {{{"NEGOCIO", C(kHc)}, {"PAIS", C("Costa Rica")}, {"HORA_1", C("02")}}});
    Create("TIP_PLA", {Type("01", "MENSUAL", 0, 1, 30), Type("02", "QUINCENAL", 0, 2, 15),
                       Type("09", "SIN DIVISOR", 0, 1, 0)});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("08")}, {"DESCRIP", C("OCHO HORAS")},
                         {"FACTOR", N(8)}}});
    Create("ENC_TIP", {Column("SB", "SALARIO BASE", 1, 0, 0), Column("SC", "SALARIO 2", 1, 0, 0),
                       Column("HX", "HORAS EXTRA", 0, 1, 1.5), Column("HD", "HORAS DOBLES", 0, 1, 2),
                       Column("PC", "CCSS", 0, 0, 0, 2)});
    Create("ENC_DEPT", {Dept("D1", "01"), Dept("D2", "02"), Dept("D3", "01"), Dept("D9", "09"),
                        {{"NEGOCIO", C(kHp)}, {"CODIGO", C("D1")}, {"TIPO", C("02")}}});
    Create("ENC_PERS", {Person(kHc, "E1", "D1", "ANA", "MORA", "SOLIS"),
                        Person(kHc, "E2", "D2", "LUIS", "VEGA", "ROJAS"),
                        Person(kHc, "E3", "D3", "EVA", "LOPEZ", "DIAZ"),
                        Person(kHc, "E9", "D9", "JOSE", "SOTO", "MENA"),
                        Person(kHp, "E1", "D1", "IVAN", "CRUZ", "MATA")});
    std::vector<Row> values;
    auto add = [&](const std::string& biz, const std::string& emp, double sb, double sc) {
      values.push_back(Value(biz, emp, "SB", sb));
      values.push_back(Value(biz, emp, "SC", sc));
      values.push_back(Value(biz, emp, "HX", 0));
      values.push_back(Value(biz, emp, "HD", 0));
    };
    add(kHc, "E1", 100000, 60000);
    add(kHc, "E2", 150000, 0);
    add(kHc, "E3", 240000, 0);
    add(kHc, "E9", 90000, 0);
    add(kHp, "E1", 100000, 0);
    Create("DET_PERS", values);
    for (const char* t : {"H_E_PERS", "H_TIP_PL", "H_E_DEPT", "T_CAMBIO"}) Create(t);
  }

  static Row Type(const std::string& code, const std::string& d, int tipo, int cantidad,
                  double val_div) {
    return {{"NEGOCIO", C(kHc)},       {"CODIGO", C(code)},     {"DESCRIP", C(d)},
            {"TIPO", N(tipo)},         {"CANTIDAD", N(cantidad)}, {"FACT_DIV", N(val_div ? 1 : 0)},
            {"VAL_DIV", N(val_div)},   {"LAPSO_DIAS", N(30)},   {"MES_COMERC", N(30)}};
  }
  static Row Column(const std::string& code, const std::string& d, int base, int depend,
                    double valor_3, int tipo = 1) {
    return {{"NEGOCIO", C(kHc)},         {"CODIGO", C(code)},       {"DESCRIP", C(d)},
            {"VAL_BASE", N(base)},       {"VAL_DEPEND", N(depend)}, {"VALOR_3", N(valor_3)},
            {"TIPO", N(tipo)}};
  }
  static Row Dept(const std::string& code, const std::string& tipo) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(code)}, {"TIPO", C(tipo)}};
  }
  static Row Person(const std::string& biz, const std::string& code, const std::string& dept,
                    const std::string& nombre, const std::string& ap1, const std::string& ap2) {
    return {{"NEGOCIO", C(biz)},        {"CODIGO", C(code)},      {"DEPTO", C(dept)},
            {"COD_TIEMPO", C("08")},    {"NOMBRE_2", C(nombre)},  {"APELLIDO_1", C(ap1)},
            {"APELLIDO_2", C(ap2)},     {"NOMBRE", C(nombre + " " + ap1 + " " + ap2)}};
  }
  static Row Value(const std::string& biz, const std::string& emp, const std::string& col,
                   double valor) {
    return {{"NEGOCIO", C(biz)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)},
            {"VALOR_1", N(valor)}, {"FACTOR", N(7)}};
  }

  // The stored factor of an employee's column (NAN when there is no row).
  double Factor(const std::string& emp, const std::string& col, const std::string& biz = kHc) {
    auto t = xb::Table::Open(file("DET_PERS.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Get("NEGOCIO")->str() == biz && qz::FieldText(**t, "CODIGO") == emp &&
          qz::FieldText(**t, "COD_COLUMN") == col)
        return (*t)->Get("FACTOR")->number();
    }
    return NAN;
  }
  // A field of the first row of `table` whose NEGOCIO and (when given)
  // CODIGO match, as text ("<none>" when no row matches).
  std::string Field(const std::string& table, const std::string& field,
                    const std::string& code = "", const std::string& biz = kHc) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Deleted() || (*t)->Get("NEGOCIO")->str() != biz) continue;
      if (!code.empty() && qz::FieldText(**t, "CODIGO") != code) continue;
      auto v = (*t)->Get(field);
      if (v->is_numeric()) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%g", v->number());
        return buf;
      }
      return qz::FieldText(**t, field);
    }
    return "<none>";
  }
};

}  // namespace qztest
