// A business with two departments, three employees and their column values,
// and the departments list open on it; helpers to open the editor and read
// the tables back.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lib/ui/catalog_data.h"
#include "payroll/departments/brow_dto.h"
#include "payroll/departments/def_dto.h"
#include "support/ui_session.h"

namespace qztest {

inline const std::string kHc = Biz("HOTEL CENTRAL");
inline const std::string kPa = Biz("HOTEL PLAYA");

class DepartmentsTest : public UiSession {
 protected:
  void SetUp() override { Build(); }

  void Build(bool server = false) {
    if (server) {
      inst.WriteFile("ADS.DEF", Installation::ServerAdsDef(inst.root));
      inst.Start();
    }
    Create("ENC_TIP", {Type("01", "SALARIO", 1, 0, 0), Type("02", "HORAS EXTRA", 0, 1, 1.5),
                       Type("03", "BONO", 0, 0, 0), Type("04", "LINEA", 0, 0, 0, 4),
                       Type("05", "CCSS", 0, 0, 0)});
    Create("TIP_PLA", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("M")}, {"DESCRIP", C("MENSUAL")},
                        {"VAL_DIV", N(30)}}});
    Create("MONEDAS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("01")}, {"DESCRIP", C("COLONES")}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}}});
    Create("F_PLAN", {{{"NEGOCIO", C(kHc)}, {"RED_COSTO", N(0)}}});
    Create("C_COSTOS", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("CC-A")}, {"DESCRIP", C("CENTRO A")}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("CC-B")}, {"DESCRIP", C("CENTRO B")}}});
    Create("LIGAS", {{{"NEGOCIO", C(kHc)}, {"MODULO", C("06")}, {"CODIGO", C("PL-EFECT")},
                      {"DESCRIP", C("SALARIOS POR PAGAR")}}});
    Create("T_PROV", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("AG")}, {"DESCRIP", C("AGUINALDO")}}});
    Create("ENC_DEPT", {Dept(kHc, "D1", "COCINA", "LL"), Dept(kHc, "D2", "BAR", ""),
                        Dept(kPa, "D1", "PLAYA COCINA", "")});
    // D1: salary 01 then the set " 1" holding 02; deductions 05.
    Create("DET_DEPT", {Col("D1", "01", "01", 1, 1, "0"), Col("D1", "01", "02", 2, 0, " 1"),
                        Col("D1", "02", "05", 3, 1, "0"), Col("D2", "01", "01", 1, 1, "0")});
    Create("CONJ_COL", {{{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"TIPO", C("01")},
                         {"CODIGO", C(" 1")}, {"DESCRIP", C("EXTRAS")}, {"ORDEN", N(2)}}});
    Create("DET_DEP2", {{{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"CODIGO", N(1)},
                         {"TIPO", C("AG")}, {"PORCENTAJE", N(8.33)}, {"LIGA", C("PL-EFECT")},
                         {"DESCRIP", C("AGUINALDO")}}});
    Create("DET_DEP3", {{{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"COD_CENTRO", C("CC-A")},
                         {"PORCENTAJE", N(100)}}});
    Create("ENC_PERS", {Employee("E1", "D1"), Employee("E2", "D1"), Employee("E3", "D2")});
    Create("DET_PERS", {Value("E1", "01", 120000), Value("E1", "02", 0), Value("E1", "05", 0),
                        Value("E2", "01", 240000), Value("E2", "02", 0), Value("E2", "05", 0),
                        Value("E3", "01", 90000), Value("E3", "02", 0), Value("E3", "05", 0)});
    Create("DET_PER3", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"COD_COLUMN", C("01")},
                         {"COD_CENTRO", C("CC-A")}, {"PORCENTAJE", N(100)}}});
    for (const char* t : {"H_E_PERS", "H_TIP_PL", "H_E_DEPT", "T_CAMBIO"}) Create(t);
    screen = qz::OpenScreen<qz::BROW_DTO>(desktop, "BROW_DTO", kHc);
    ASSERT_NE(screen, nullptr);
  }

  static Row Type(const std::string& code, const std::string& d, int base, int depend,
                  double valor_3, int tipo = 1) {
    return {{"NEGOCIO", C(kHc)},     {"CODIGO", C(code)},        {"DESCRIP", C(d)},
            {"TIPO", N(tipo)},       {"VAL_BASE", N(base)},      {"VAL_DEPEND", N(depend)},
            {"VALOR_3", N(valor_3)}, {"DUPLICA", N(tipo == 4)}};
  }
  static Row Dept(const std::string& neg, const std::string& code, const std::string& d,
                  const std::string& link) {
    return {{"NEGOCIO", C(neg)}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}, {"TIPO", C("M")},
            {"MONEDA", C("01")}, {"LIGA_CONT", C(link)}};
  }
  static Row Col(const std::string& dept, const std::string& sec, const std::string& col,
                 int row, int orden, const std::string& set) {
    return {{"NEGOCIO", C(kHc)},  {"DEPTO", C(dept)},   {"TIPO", C(sec)},
            {"COD_COLUMN", C(col)}, {"CODIGO", N(row)}, {"ORDEN", N(orden)},
            {"COD_CONJ", C(set)}};
  }
  static Row Employee(const std::string& code, const std::string& dept) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(code)}, {"DEPTO", C(dept)},
            {"COD_TIEMPO", C("08")}, {"ACTIVO", N(1)}};
  }
  static Row Value(const std::string& emp, const std::string& col, double v) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)}, {"VALOR_1", N(v)},
            {"CENTRO_IND", N(col == "01" ? 1 : 0)}};
  }

  // Every live row of `table` as the fields asked, "|"-joined, record order.
  std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    EXPECT_TRUE(t.ok()) << table;
    std::vector<std::string> out;
    if (!t.ok()) return out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Deleted()) continue;
      std::string line;
      for (const auto& f : fields) {
        if (!line.empty()) line += "|";
        auto v = (*t)->Get(f);
        if (v.ok() && v->is_numeric()) {
          char buf[32];
          std::snprintf(buf, sizeof buf, "%g", v->number());
          line += buf;
        } else {
          line += qz::FieldText(**t, f);
        }
      }
      out.push_back(line);
    }
    return out;
  }
  // The value rows of column `col`, as "EMPLOYEE".
  std::vector<std::string> Holders(const std::string& col) {
    std::vector<std::string> out;
    for (const auto& r : Rows("DET_PERS", {"COD_COLUMN", "CODIGO"}))
      if (r.substr(0, 2) == col) out.push_back(r.substr(3));
    return out;
  }
  double Factor(const std::string& emp, const std::string& col) {
    auto t = xb::Table::Open(file("DET_PERS.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (!(*t)->Deleted() && qz::FieldText(**t, "CODIGO") == emp &&
          qz::FieldText(**t, "COD_COLUMN") == col)
        return qz::FieldNumber(**t, "FACTOR");
    return -1;
  }

  qz::DEF_DTO* Editor() { return dynamic_cast<qz::DEF_DTO*>(desktop.FindWindow("DEF_DEPTO")); }
  // Opens the editor on grid row `row` (code order: D1, D2) or for a new one.
  qz::DEF_DTO* Modify(int row) {
    screen->oB()->Select(row);
    EXPECT_TRUE(ui.Menu("Modificar Departamento"));
    return Editor();
  }
  qz::DEF_DTO* Add() {
    EXPECT_TRUE(ui.Menu("Agregar Departamento"));
    return Editor();
  }
  // Selects `text` in list `base + offset` of section `s`.
  static void Pick(qz::DEF_DTO* e, int s, int offset, const std::string& text) {
    const int id = qz::def_dto::kSectionBase[s] + offset;
    for (int i = 0; i < static_cast<int>(e->Control(id)->entries.size()); ++i)
      e->SetSelected(id, i, false);
    EXPECT_TRUE(e->UserSelect(id, text, true)) << text;
  }
  void Press(qz::DEF_DTO* e, int s, int offset) {
    ui.Press(e, qz::def_dto::kSectionBase[s] + offset);
  }
  static std::vector<std::string> Entries(qz::DEF_DTO* e, int id) {
    std::vector<std::string> out;
    for (const auto& en : e->Control(id)->entries) out.push_back(en.text);
    return out;
  }

  qz::BROW_DTO* screen = nullptr;
};

}  // namespace qztest
