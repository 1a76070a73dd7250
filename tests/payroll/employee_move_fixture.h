// Two hotels of one installation for moving employees between businesses.
//
// HOTEL CENTRAL (HC): kitchen D1 "COCINA" with E1 ANA MORA and E2 LUIS SOLIS
// (active), E3 EVA ROJAS (inactive), and bar D2 with E4 JOSE PAZ. Column
// types 01 SALARIO, 02 HORAS EXTRA, 03 PROPINAS (the playa lacks it), 04
// VIATICOS (the playa's kitchen lacks it), 06 FERIADOS, 07 PRESTAMO (pays
// debts), 08 EMBARGO (may repeat) and 09 COMISION (an absolute amount here,
// a percentage at the playa). E1 holds 01-04, 07 and 09, E2 01 and 02. E1 owes
// loan PR-00001 (concept 01) with two payments. Payrolls of D1 on 15/01/26
// and 31/01/26 with lines for E1 and E2, with every definition copy.
//
// HOTEL PLAYA (HP): kitchen K1 "COCINA PLAYA" with columns 01, 02, 05, 06,
// 07, 08 and 09, already paid on 31/01/26 (its own payroll). Its loan and
// payment counters stand at PR-00007 and AB-000040.
#pragma once

#include <string>
#include <vector>

#include "lib/ui/catalog_data.h"
#include "support/ui_session.h"
#include "xbase/table.h"

namespace qztest {

inline const std::string kMoveSource = Biz("HC");
inline const std::string kMoveTarget = Biz("HP");

class EmployeeMoveSession : public UiSession {
 protected:
  void SetUp() override {
    Create("NEGOCIOS", {{{"CODIGO", C(kMoveSource)}, {"DESCRIP", C("HOTEL CENTRAL")}},
                        {{"CODIGO", C(kMoveTarget)}, {"DESCRIP", C("HOTEL PLAYA")}}});
    Create("ENC_DEPT", {Dept(kMoveSource, "D1", "COCINA"), Dept(kMoveSource, "D2", "BAR"),
                        Dept(kMoveTarget, "K1", "COCINA PLAYA")});
    Create("F_PLAN", {{{"NEGOCIO", C(kMoveSource)}, {"ORDEN_TREE", N(0)}}});
    Create("TIP_PLA", {{{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}},
                       {{"NEGOCIO", C(kMoveTarget)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}},
                        {{"NEGOCIO", C(kMoveTarget)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}}});
    std::vector<Row> types;
    for (const auto& [code, name, tipo, extra] :
         std::vector<std::tuple<const char*, const char*, int, const char*>>{
             {"01", "SALARIO", 1, "VAL_BASE"}, {"02", "HORAS EXTRA", 1, "VAL_DEPEND"},
             {"03", "PROPINAS", 1, ""},        {"04", "VIATICOS", 1, ""},
             {"06", "FERIADOS", 1, ""},        {"07", "PRESTAMO", 1, "DEUDA"},
             {"08", "EMBARGO", 1, "DUPLICA"},  {"09", "COMISION", 1, ""}}) {
      types.push_back(Type(kMoveSource, code, name, tipo, extra));
      if (std::string(code) == "03") continue;
      types.push_back(Type(kMoveTarget, code, std::string(name) + " PLAYA",
                           std::string(code) == "09" ? 2 : tipo, extra));
    }
    types.push_back(Type(kMoveTarget, "05", "BONO PLAYA", 1, ""));
    Create("ENC_TIP", types);
    std::vector<Row> columns = {Column(kMoveSource, "D1", "01"), Column(kMoveSource, "D1", "02"),
                                Column(kMoveSource, "D2", "01")};
    for (const char* c : {"01", "02", "05", "06", "07", "08", "09"})
      columns.push_back(Column(kMoveTarget, "K1", c));
    Create("DET_DEPT", columns);
    Create("ENC_PERS", {Employee("E1", "D1", "ANA MORA", 1), Employee("E2", "D1", "LUIS SOLIS", 1),
                        Employee("E3", "D1", "EVA ROJAS", 0), Employee("E4", "D2", "JOSE PAZ", 1)});
    Create("DET_PERS", {Value("E1", "01", 120000), Value("E1", "02", 10), Value("E1", "03", 5),
                        Value("E1", "04", 7), Value("E1", "07", 2500), Value("E1", "09", 3),
                        Value("E2", "01", 240000), Value("E2", "02", 4),
                        Value("E4", "01", 60000)});
    Create("DET_PER2", {{{"NEGOCIO", C(kMoveSource)}, {"COD_PER", C("E1")}, {"COD_COLUMN", C("02")}}});
    Create("DET_PER3");
    Create("DEUDORES", {{{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C("E1")}, {"EMPLEADO", C("E1")}}});
    Create("ENC_DDA", {{{"NEGOCIO", C(kMoveSource)}, {"DEUDOR", C("E1")}, {"COLUMNA", C("07")},
                        {"CODIGO", C("PR-00001")}, {"CONCEPTO", C("01")}, {"SALDO", N(50000)}}});
    Create("DET_DDA", {Payment("AB-000001"), Payment("AB-000002")});
    std::vector<Row> concepts_t, concepts_d, serials;
    for (const std::string& b : {kMoveSource, kMoveTarget}) {
      concepts_t.push_back({{"NEGOCIO", C(b)}, {"CODIGO", C("01")}, {"SERIAL", C("PRESTAMO")}});
      concepts_d.push_back({{"NEGOCIO", C(b)}, {"CODIGO", C("01")}, {"SERIAL", C("ABONO")}});
      const bool playa = b == kMoveTarget;
      serials.push_back(Serial(b, "PRESTAMO", "PR-", 5, playa ? 7 : 1));
      serials.push_back(Serial(b, "ABONO", "AB-", 6, playa ? 40 : 2));
    }
    Create("CONCEPTT", concepts_t);
    Create("CONCEPTD", concepts_d);
    Create("SERIALES", serials);
    BuildHistory();
    for (const char* t : {"DET_TIP", "CONJ_COL", "H_D_PER2", "H_E_COST", "H_D_COST"})
      Create(t);
    CreateSchemaTable(inst.root + "PROFILE", "T_COLS");
  }

  void BuildHistory() {
    std::vector<Row> headers, lines, columns, types, brackets, kinds, splits, sets, schedules,
        transfers, values, centres, dept_centres;
    for (auto fecha : {Day(2026, 1, 15), Day(2026, 1, 31)}) {
      const Row dept = {{"NEGOCIO", C(kMoveSource)}, {"DEPTO", C("D1")}, {"FECHA", fecha}};
      auto with = [&](Row r, const Row& more) {
        for (const auto& [k, v] : more) r[k] = v;
        return r;
      };
      headers.push_back({{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C("D1")}, {"DESCRIP", C("COCINA")},
                         {"TIPO", C("M")}, {"FECHA", fecha}});
      for (const char* c : {"01", "02"}) {
        columns.push_back(with(dept, {{"COD_COLUMN", C(c)}, {"TIPO", C("01")}}));
        types.push_back(with(dept, {{"CODIGO", C(c)}, {"TIPO", N(1)}}));
      }
      brackets.push_back(with(dept, {{"CODIGO", C("02")}, {"SERIE", N(1)}}));
      kinds.push_back(with(dept, {{"CODIGO", C("M")}, {"VAL_DIV", N(30)}}));
      splits.push_back(with(dept, {{"CODIGO", N(1)}, {"PORCENTAJE", N(100)}}));
      sets.push_back(with(dept, {{"CODIGO", C("S1")}, {"TIPO", C("01")}}));
      schedules.push_back(with(dept, {{"CODIGO", C("08")}, {"FACTOR", N(8)}}));
      transfers.push_back(with(dept, {{"CODIGO", C("T1")}}));
      dept_centres.push_back(with(dept, {{"COD_CENTRO", C("CC1")}, {"PORCENTAJE", N(100)}}));
      for (const char* e : {"E1", "E2"}) {
        lines.push_back(with(dept, {{"CODIGO", C(e)}, {"NOMBRE", C(e)}}));
        for (const char* c : {"01", "02"})
          values.push_back({{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C(e)}, {"COD_COLUMN", C(c)},
                            {"FECHA", fecha}, {"VALOR_1", N(1)}});
      }
      centres.push_back({{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C("E1")}, {"COD_COLUMN", C("01")},
                         {"FECHA", fecha}, {"PORCENTAJE", N(100)}});
    }
    headers.push_back({{"NEGOCIO", C(kMoveTarget)}, {"CODIGO", C("K1")}, {"DESCRIP", C("PROPIA")},
                       {"FECHA", Day(2026, 1, 31)}});
    Create("H_E_DEPT", headers);
    Create("H_E_PERS", lines);
    Create("H_D_DEPT", columns);
    Create("H_E_TIP", types);
    Create("H_D_TIP", brackets);
    Create("H_TIP_PL", kinds);
    Create("H_D_DEP2", splits);
    Create("H_CONJ_C", sets);
    Create("H_TIEM_E", schedules);
    Create("H_TIP_TR", transfers);
    Create("H_D_PERS", values);
    Create("H_D_PER3", centres);
    Create("H_D_DEP3", dept_centres);
  }

  static xb::Value Day(int y, int m, int d) { return xb::Value::Date(xb::JulianFromYmd(y, m, d)); }
  static Row Dept(const std::string& b, const std::string& code, const std::string& d) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}, {"TIPO", C("M")}};
  }
  static Row Type(const std::string& b, const std::string& code, const std::string& d, int tipo,
                  const std::string& flag) {
    Row r = {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"DESCRIP", C(d)}, {"TIPO", N(tipo)}};
    if (!flag.empty()) r[flag] = N(1);
    if (flag == "VAL_DEPEND") r["VALOR_3"] = N(1.5);
    return r;
  }
  static Row Column(const std::string& b, const std::string& dept, const std::string& col) {
    return {{"NEGOCIO", C(b)}, {"DEPTO", C(dept)}, {"COD_COLUMN", C(col)}, {"TIPO", C("01")}};
  }
  static Row Employee(const std::string& code, const std::string& dept, const std::string& name,
                      int activo) {
    return {{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C(code)}, {"DEPTO", C(dept)},
            {"NOMBRE", C(name)},      {"ACTIVO", N(activo)}, {"COD_TIEMPO", C("08")}};
  }
  static Row Value(const std::string& emp, const std::string& col, double valor) {
    return {{"NEGOCIO", C(kMoveSource)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)},
            {"VALOR_1", N(valor)}};
  }
  static Row Payment(const std::string& code) {
    return {{"NEGOCIO", C(kMoveSource)}, {"DEUDA", C("PR-00001")}, {"CODIGO", C(code)},
            {"CONCEPTO", C("01")}, {"DEPTO", C("D1")}};
  }
  static Row Serial(const std::string& b, const std::string& code, const std::string& prefix,
                    int width, int number) {
    return {{"NEGOCIO", C(b)},         {"CODIGO", C(code)},       {"MODULO", C("06")},
            {"NUMERO", N(number)},     {"INDENT", N(width)},      {"PREFIJO", C(prefix)},
            {"NUMERO2", N(999999)}};
  }

  // The rows of `table` whose fields hold the given texts (trimmed).
  std::vector<uint32_t> Rows(const std::string& table,
                             const std::vector<std::pair<std::string, std::string>>& match) {
    std::vector<uint32_t> out;
    auto t = xb::Table::Open(file(table + ".DBF"));
    EXPECT_TRUE(t.ok()) << table;
    if (!t.ok()) return out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if ((*t)->Deleted()) continue;
      bool all = true;
      for (const auto& [f, v] : match) all = all && qz::FieldText(**t, f) == v;
      if (all) out.push_back((*t)->RecNo());
    }
    return out;
  }
  size_t Count(const std::string& table,
               const std::vector<std::pair<std::string, std::string>>& match = {}) {
    return Rows(table, match).size();
  }
  // Field `field` of the rows of `table` matching, in record order.
  std::vector<std::string> Texts(const std::string& table,
                                 const std::vector<std::pair<std::string, std::string>>& match,
                                 const std::string& field) {
    std::vector<std::string> out;
    auto t = xb::Table::Open(file(table + ".DBF"));
    for (uint32_t r : Rows(table, match)) {
      (*t)->GoTo(r);
      out.push_back(qz::FieldText(**t, field));
    }
    return out;
  }
  std::vector<double> Numbers(const std::string& table,
                              const std::vector<std::pair<std::string, std::string>>& match,
                              const std::string& field) {
    std::vector<double> out;
    auto t = xb::Table::Open(file(table + ".DBF"));
    for (uint32_t r : Rows(table, match)) {
      (*t)->GoTo(r);
      out.push_back(qz::FieldNumber(**t, field));
    }
    return out;
  }
};

}  // namespace qztest
