// Departments with employees, layout and payroll history, for the tests of
// renaming, deleting and duplicating a department. HOTEL CENTRAL has the
// kitchen COC (three employees, two past payrolls) and the bar BAR (one
// employee, one payroll); HOTEL PLAYA has a COC of its own. Rows are written
// straight through the engine; counts are read the same way.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/ui_session.h"
#include "lib/settings/globals.h"
#include "xbase/value.h"

namespace qztest {

inline const std::string kCentral = Biz("HOTEL CENTRAL");
inline const std::string kPlaya = Biz("HOTEL PLAYA");

// Every table a department's code reaches, and the history tables.
inline const std::vector<std::string>& DepartmentTables() {
  static const std::vector<std::string> t = {
      "ENC_DEPT", "DET_DEPT", "DET_DEP2", "CONJ_COL", "DET_DEP3", "MAP_PLA",  "ENC_PERS",
      "DET_PERS", "DET_PER2", "DET_PER3", "ACCIONES", "ACCI_OLD", "DET_DDA",  "H_E_DEPT",
      "H_E_PERS", "H_D_DEPT", "H_D_DEP2", "H_E_TIP",  "H_D_TIP",  "H_TIP_PL", "H_CONJ_C",
      "H_TIEM_E", "H_TIP_TR", "H_D_DEP3", "H_D_PERS", "T_CAMBIO"};
  return t;
}

// The history tables that carry the department, with the field naming it.
struct HistoryTable {
  const char* table;
  const char* field;
};
inline const std::vector<HistoryTable>& HistoryTables() {
  static const std::vector<HistoryTable> t = {
      {"H_E_DEPT", "CODIGO"}, {"H_E_PERS", "DEPTO"}, {"H_D_DEPT", "DEPTO"},
      {"H_D_DEP2", "DEPTO"},  {"H_E_TIP", "DEPTO"},  {"H_D_TIP", "DEPTO"},
      {"H_TIP_PL", "DEPTO"},  {"H_CONJ_C", "DEPTO"}, {"H_TIEM_E", "DEPTO"},
      {"H_TIP_TR", "DEPTO"},  {"H_D_DEP3", "DEPTO"}};
  return t;
}

class DepartmentSession : public UiSession {
 protected:
  void SetUp() override {
    for (const auto& t : DepartmentTables()) Create(t);
    AddDepartment(kCentral, "COC", "Cocina", {"E1", "E2", "E3"}, {Date(2026, 10, 31), Date(2026, 11, 30)});
    AddDepartment(kCentral, "BAR", "Bar", {"B1"}, {Date(2026, 11, 30)});
    AddDepartment(kPlaya, "COC", "Cocina Playa", {"E1"}, {Date(2026, 11, 30)});
    for (const auto& [table, rows] : pending_) WriteRows(table, rows);
    pending_.clear();
  }

  // AddRows without a sync per row: a few hundred rows in a blink.
  void WriteRows(const std::string& table, const std::vector<Row>& rows) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    for (const auto& r : rows) {
      ASSERT_TRUE((*t)->Append().ok());
      for (const auto& [field, value] : r) ASSERT_TRUE((*t)->Put(field, value).ok()) << table << "." << field;
      ASSERT_TRUE((*t)->WriteBack().ok());
      (*t)->UnlockAll();
    }
    ASSERT_TRUE((*t)->Close().ok());
  }

  static int32_t Date(int y, int m, int d) { return xb::JulianFromYmd(y, m, d); }

  // Rows are gathered per table and written once SetUp has them all.
  std::map<std::string, std::vector<Row>> pending_;
  void Add(const std::string& table, const std::vector<Row>& rows) {
    auto& p = pending_[table];
    p.insert(p.end(), rows.begin(), rows.end());
  }

  void AddDepartment(const std::string& biz, const std::string& dept, const std::string& name,
                     const std::vector<std::string>& employees, const std::vector<int32_t>& dates) {
    auto base = [&](std::initializer_list<std::pair<const std::string, xb::Value>> more) {
      Row r{{"NEGOCIO", C(biz)}};
      r.insert(more);
      return r;
    };
    Add("ENC_DEPT",
            {base({{"CODIGO", C(dept)}, {"DESCRIP", C(name)}, {"TIPO", C("M")}, {"MONEDA", C("CR")},
                   {"PIC_SAL", C("999,999.99")}, {"H_EXTRA", C("HX")}, {"EXTRA_APLI", N(1)}})});
    std::vector<Row> cols, sets, provisions;
    int n = 0;
    for (const char* col : kColumns) {
      ++n;
      cols.push_back(base({{"DEPTO", C(dept)}, {"TIPO", C(n <= 2 ? "01" : "02")}, {"COD_COLUMN", C(col)},
                           {"CODIGO", N(n)}, {"ORDEN", N(n)}, {"COD_CONJ", C("0")}}));
    }
    Add("DET_DEPT", cols);
    Add("CONJ_COL", {base({{"DEPTO", C(dept)}, {"TIPO", C("01")}, {"CODIGO", C("1")},
                                      {"DESCRIP", C("Total")}, {"ORDEN", N(3)}})});
    Add("DET_DEP2", {base({{"DEPTO", C(dept)}, {"CODIGO", N(1)}, {"TIPO", C("AG")},
                                      {"PORCENTAJE", N(8.33)}}),
                                base({{"DEPTO", C(dept)}, {"CODIGO", N(2)}, {"TIPO", C("VA")},
                                      {"PORCENTAJE", N(4.16)}})});
    Add("DET_DEP3", {base({{"DEPTO", C(dept)}, {"COD_CENTRO", C("100")}, {"PORCENTAJE", N(100)}})});
    Add("MAP_PLA", {base({{"DEPTO", C(dept)}, {"PUESTO", C("CHEF")}, {"COD_COLUMN", C("SB")},
                                     {"LIGA_CONTA", C("5101")}})});
    std::vector<Row> people, values, splits, grids, actions, old_actions, debts;
    for (const auto& e : employees) {
      people.push_back(base({{"CODIGO", C(e)}, {"DEPTO", C(dept)}, {"NOMBRE", C("Empleado " + e)}, {"ACTIVO", N(1)}}));
      for (const char* col : kColumns)
        values.push_back(base({{"CODIGO", C(e)}, {"COD_COLUMN", C(col)}, {"VALOR_1", N(1000)}}));
      splits.push_back(base({{"CODIGO", C(e)}, {"COD_COLUMN", C("SB")}, {"COD_CENTRO", C("100")}, {"PORCENTAJE", N(100)}}));
      grids.push_back(base({{"COD_PER", C(e)}, {"COD_COLUMN", C("HX")}}));
      actions.push_back(base({{"CODIGO", C("A" + e)}, {"COD_DEPTO", C(dept)}, {"COD_PERS", C(e)}}));
      old_actions.push_back(base({{"CODIGO", C("V" + e)}, {"COD_DEPTO", C(dept)}, {"COD_PERS", C(e)}}));
      debts.push_back(base({{"DEUDA", C("D" + e)}, {"CODIGO", C(e)}, {"DEPTO", C(dept)}}));
    }
    Add("ENC_PERS", people);
    Add("DET_PERS", values);
    Add("DET_PER3", splits);
    Add("DET_PER2", grids);
    Add("ACCIONES", actions);
    Add("ACCI_OLD", old_actions);
    Add("DET_DDA", debts);
    for (int32_t f : dates) {
      const xb::Value fecha = xb::Value::Date(f);
      auto hist = [&](const char* field, std::initializer_list<std::pair<const std::string, xb::Value>> more) {
        Row r = base(more);
        r[field] = C(dept);
        r["FECHA"] = fecha;
        return r;
      };
      Add("H_E_DEPT", {hist("CODIGO", {{"DESCRIP", C(name)}, {"TIPO", C("M")}, {"MONEDA", C("CR")}})});
      std::vector<Row> lines, line_values, hcols, htips, hbrackets;
      for (const auto& e : employees) {
        lines.push_back(hist("DEPTO", {{"CODIGO", C(e)}, {"NOMBRE", C("Empleado " + e)}, {"TOT_SAL", N(3000)}}));
        for (const char* col : kColumns)
          line_values.push_back(base({{"CODIGO", C(e)}, {"COD_COLUMN", C(col)}, {"VALOR_1", N(1000)}, {"FECHA", fecha}}));
      }
      int k = 0;
      for (const char* col : kColumns) {
        ++k;
        hcols.push_back(hist("DEPTO", {{"TIPO", C("01")}, {"COD_COLUMN", C(col)}, {"CODIGO", N(k)}, {"ORDEN", N(k)}}));
        htips.push_back(hist("DEPTO", {{"CODIGO", C(col)}, {"DESCRIP", C(std::string("Columna ") + col)}, {"TIPO", N(1)}}));
        hbrackets.push_back(hist("DEPTO", {{"CODIGO", C(col)}, {"RANGO_I", N(0)}, {"RANGO_F", N(1e6)}}));
      }
      Add("H_E_PERS", lines);
      Add("H_D_PERS", line_values);
      Add("H_D_DEPT", hcols);
      Add("H_E_TIP", htips);
      Add("H_D_TIP", hbrackets);
      Add("H_D_DEP2", {hist("DEPTO", {{"CODIGO", N(1)}, {"PORCENTAJE", N(8.33)}})});
      Add("H_TIP_PL", {hist("DEPTO", {{"CODIGO", C("M")}, {"VAL_DIV", N(30)}})});
      Add("H_CONJ_C", {hist("DEPTO", {{"TIPO", C("01")}, {"CODIGO", C("1")}})});
      Add("H_TIEM_E", {hist("DEPTO", {{"CODIGO", C("08")}, {"FACTOR", N(8)}})});
      Add("H_TIP_TR", {hist("DEPTO", {{"CODIGO", C("01")}})});
      Add("H_D_DEP3", {hist("DEPTO", {{"COD_CENTRO", C("100")}, {"PORCENTAJE", N(100)}})});
    }
  }

  // Visible rows of `table` whose NEGOCIO is `biz` and whose `field` holds `code`.
  int Count(const std::string& table, const std::string& field, const std::string& code,
            const std::string& biz = kCentral) {
    xb::OpenOptions o;
    o.read_only = true;
    auto t = xb::Table::Open(file(table + ".DBF"), o);
    EXPECT_TRUE(t.ok()) << table << ": " << t.status().ToString();
    if (!t.ok()) return -1;
    int n = 0;
    for (xb::Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1)) {
      auto b = (*t)->Get("NEGOCIO");
      auto v = (*t)->Get(field);
      if (b.ok() && v.ok() && b->str() == biz && qz::Trim(v->str()) == code) ++n;
    }
    return n;
  }

  // The rows of every history table under `code`, table by table.
  std::vector<int> HistoryCounts(const std::string& code, const std::string& biz = kCentral) {
    std::vector<int> out;
    for (const auto& h : HistoryTables()) out.push_back(Count(h.table, h.field, code, biz));
    return out;
  }

  static constexpr const char* kColumns[] = {"SB", "HX", "CS"};
};

}  // namespace qztest
