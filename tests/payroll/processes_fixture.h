// A business with two departments, their employees and values, and two past
// payrolls of the first department, for the payroll process screens.
//
// Department D1 "COCINA" (monthly type M, divisor 30) has columns 01 SALARIO
// (base) and 02 HORAS EXTRA (factor = hourly cost x 1.5); D2 "BAR" has only
// 01. Employees: E1 (120,000) and E2 (240,000) active in D1, E3 inactive in
// D1, E4 active in D2; all on schedule 08 (factor 8). Payrolls of D1 on
// 15/01/26 and 31/01/26 with lines for E1 and E2.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/tree.h"
#include "support/scripted_boxes.h"
#include "support/ui_session.h"
#include "xbase/value.h"

namespace qztest {

inline const std::string kHc = Biz("HOTEL CENTRAL");

inline xb::Value Day(int y, int m, int d) {
  return xb::Value::Date(xb::JulianFromYmd(y, m, d));
}

class ProcessSession : public UiSession {
 protected:
  void SetUp() override { Build(); }

  void Build(bool server = false) {
    if (server) {
      inst.WriteFile("ADS.DEF", Installation::ServerAdsDef(inst.root));
      inst.Start();
    }
    Create("ENC_DEPT", {Dept("D1", "COCINA", "M"), Dept("D2", "BAR", "M")});
    Create("TIP_PLA", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}},
                       {{"NEGOCIO", C(kHc)}, {"CODIGO", C("Z")}, {"VAL_DIV", N(0)}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("08")}, {"DESCRIP", C("OCHO HORAS")},
                         {"FACTOR", N(8)}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("04")}, {"DESCRIP", C("MEDIO TIEMPO")},
                         {"FACTOR", N(4)}}});
    Create("ENC_TIP", {Type("01", "SALARIO", 1, 0, 0), Type("02", "HORAS EXTRA", 0, 1, 1.5),
                       Type("03", "COMISION", 0, 0, 0), Type("05", "FERIADOS", 0, 1, 2)});
    Create("DET_TIP", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("03")}, {"SERIE", N(1)},
                        {"RANGO_F", N(1000)}, {"PORCENTAJE", N(5)}, {"VALOR_2", N(7)}}});
    Create("DET_DEPT", {Column("D1", "01", 1, 1), Column("D1", "02", 2, 2),
                        Column("D2", "01", 1, 1)});
    Create("F_PLAN", {{{"NEGOCIO", C(kHc)}, {"RED_COSTO", N(0)}}});
    Create("ENC_PERS", {Employee("E1", "D1", "ANA MORA", 1), Employee("E2", "D1", "LUIS SOLIS", 1),
                        Employee("E3", "D1", "EVA ROJAS", 0), Employee("E4", "D2", "JOSE PAZ", 1)});
    Create("DET_PERS", {Value("E1", "01", 120000, 0), Value("E1", "02", 10, 7),
                        Value("E2", "01", 240000, 0), Value("E2", "02", 4, 7),
                        Value("E3", "01", 90000, 0), Value("E3", "02", 1, 7),
                        Value("E4", "01", 60000, 0)});
    std::vector<Row> headers, lines, columns;
    for (auto fecha : {Day(2026, 1, 15), Day(2026, 1, 31)}) {
      headers.push_back({{"NEGOCIO", C(kHc)}, {"CODIGO", C("D1")}, {"DESCRIP", C("COCINA")},
                         {"FECHA", fecha}});
      for (const char* e : {"E1", "E2"})
        lines.push_back({{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"CODIGO", C(e)},
                         {"FECHA", fecha}});
      columns.push_back({{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"COD_COLUMN", C("01")},
                         {"TIPO", C("01")}, {"CODIGO", N(1)}, {"FECHA", fecha}});
    }
    Create("H_E_DEPT", headers);
    Create("H_E_PERS", lines);
    Create("H_D_DEPT", columns);
    for (const char* t : {"H_E_TIP", "H_D_TIP", "H_D_PERS", "H_D_PER2", "H_TIP_PL", "T_CAMBIO",
                          "H_TIEM_E", "CONJ_COL", "LIGAS", "LOG_ROLL"})
      Create(t);
    CreateSchemaTable(inst.root + "PROFILE", "TMP_HPER");
  }

  static Row Dept(const std::string& code, const std::string& d, const std::string& tipo) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}, {"TIPO", C(tipo)}};
  }
  static Row Type(const std::string& code, const std::string& d, int base, int depend,
                  double valor_3) {
    return {{"NEGOCIO", C(kHc)},     {"CODIGO", C(code)},       {"DESCRIP", C(d)},
            {"TIPO", N(1)},          {"VAL_BASE", N(base)},     {"VAL_DEPEND", N(depend)},
            {"VALOR_3", N(valor_3)}, {"VALOR", N(valor_3 * 10)}};
  }
  static Row Column(const std::string& dept, const std::string& col, int code, int orden) {
    return {{"NEGOCIO", C(kHc)}, {"DEPTO", C(dept)},    {"COD_COLUMN", C(col)},
            {"TIPO", C("01")},   {"CODIGO", N(code)},   {"ORDEN", N(orden)}};
  }
  static Row Employee(const std::string& code, const std::string& dept, const std::string& name,
                      int activo) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(code)},       {"DEPTO", C(dept)},
            {"NOMBRE", C(name)}, {"ACTIVO", N(activo)},     {"COD_TIEMPO", C("08")}};
  }
  static Row Value(const std::string& emp, const std::string& col, double valor, double factor) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)},
            {"VALOR_1", N(valor)}, {"FACTOR", N(factor)}};
  }

  // The rows of `table` whose fields hold the given texts (trimmed).
  std::vector<uint32_t> Rows(const std::string& table,
                             const std::vector<std::pair<std::string, std::string>>& match) {
    std::vector<uint32_t> out;
    auto t = xb::Table::Open(file(table + ".DBF"));
    EXPECT_TRUE(t.ok());
    if (!t.ok()) return out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Deleted()) continue;
      bool all = true;
      for (const auto& [f, v] : match) all = all && qz::FieldText(**t, f) == v;
      if (all) out.push_back((*t)->RecNo());
    }
    return out;
  }
  // Field `field` of the first row of `table` matching.
  double Num(const std::string& table,
             const std::vector<std::pair<std::string, std::string>>& match,
             const std::string& field) {
    auto rows = Rows(table, match);
    if (rows.empty()) return NAN;
    auto t = xb::Table::Open(file(table + ".DBF"));
    (*t)->GoTo(rows.front());
    return (*t)->Get(field)->number();
  }
  double Valor(const std::string& emp, const std::string& col) {
    return Num("DET_PERS", {{"CODIGO", emp}, {"COD_COLUMN", col}}, "VALOR_1");
  }
  double Factor(const std::string& emp, const std::string& col) {
    return Num("DET_PERS", {{"CODIGO", emp}, {"COD_COLUMN", col}}, "FACTOR");
  }
  size_t Count(const std::string& table) { return Rows(table, {}).size(); }
  // Sets `field` of the rows of `table` matching, as another program would.
  void Set(const std::string& table, const std::vector<std::pair<std::string, std::string>>& match,
           const std::string& field, const xb::Value& v) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    for (uint32_t r : Rows(table, match)) {
      (*t)->GoTo(r);
      (*t)->LockRecord();
      (*t)->Put(field, v);
      (*t)->Flush();
      (*t)->UnlockAll();
    }
  }

  // Marks (multiple selection) or clicks (single) department `code`.
  static void Choose(qz::TreeModel& tree, const std::string& code) {
    qz::TreeNode* n = tree.Find(Biz(code));
    ASSERT_NE(n, nullptr) << code;
    if (tree.mode() == qz::TreeModel::Mode::kMultiple)
      tree.SetMarked(n, true);
    else
      tree.Click(n);
  }
};

}  // namespace qztest
