// Past payrolls written straight into the history tables, for the
// recalculations over them: business HOTEL CENTRAL, department D1 whose
// payroll type copy is "M" and whose schedule copy "08" has factor 8, with
// helpers to add payrolls, lines and value rows and to read what was written
// (by another handle, as another workstation would).
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lib/payroll/history_recalc.h"
#include "support/ui_session.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qztest {

inline const std::string kCentral = Biz("HOTEL CENTRAL");

class HistoryRecalcTest : public UiSession {
 protected:
  void SetUp() override {
    for (const char* t : {"H_E_DEPT", "H_D_DEPT", "H_E_PERS", "H_D_PERS", "H_D_PER4", "H_D_PER5",
                          "H_D_PER6", "H_D_PER7", "H_D_PER8", "H_D_PER9", "H_TIP_PL", "H_TIEM_E",
                          "T_CAMBIO", "LOG_ROLL"})
      Create(t);
    Create("F_PLAN", {{{"NEGOCIO", C(kCentral)}, {"SAL_PROM", N(3)}}});
  }

  static int32_t Date(int y, int m, int d) { return xb::JulianFromYmd(y, m, d); }

  // A payroll of `depto` on `fecha`: its header, payroll-type copy (with
  // `n_emision` and divisor 30) and schedule copy "08", and the columns
  // given in payroll order.
  void Payroll(const std::string& depto, int32_t fecha, const std::vector<std::string>& columns,
               double n_emision = 1, const std::string& moneda = "CR") {
    const xb::Value d = xb::Value::Date(fecha);
    AddRows(bases, "H_E_DEPT",
            {{{"NEGOCIO", C(kCentral)}, {"CODIGO", C(depto)}, {"DESCRIP", C("COCINA")},
              {"TIPO", C("M")}, {"MONEDA", C(moneda)}, {"FECHA", d}}});
    AddRows(bases, "H_TIP_PL",
            {{{"NEGOCIO", C(kCentral)}, {"DEPTO", C(depto)}, {"CODIGO", C("M")},
              {"VAL_DIV", N(30)}, {"N_EMISION", N(n_emision)}, {"FECHA", d}}});
    AddRows(bases, "H_TIEM_E",
            {{{"NEGOCIO", C(kCentral)}, {"DEPTO", C(depto)}, {"CODIGO", C("08")},
              {"FACTOR", N(8)}, {"FECHA", d}}});
    std::vector<Row> rows;
    for (size_t i = 0; i < columns.size(); ++i)
      rows.push_back({{"NEGOCIO", C(kCentral)}, {"DEPTO", C(depto)}, {"COD_COLUMN", C(columns[i])},
                      {"TIPO", C("01")}, {"ORDEN", N(static_cast<double>(i + 1))},
                      {"FECHA", d}});
    if (!rows.empty()) AddRows(bases, "H_D_DEPT", rows);
  }

  // A payroll line of employee `code` with its total salary.
  void Line(const std::string& depto, int32_t fecha, const std::string& code, double tot_sal,
            int32_t f_inicio = 0) {
    Row r = {{"NEGOCIO", C(kCentral)}, {"DEPTO", C(depto)},    {"CODIGO", C(code)},
             {"NOMBRE", C("EMPLEADO " + code)}, {"TOT_SAL", N(tot_sal)},
             {"COD_TIEMPO", C("08")},   {"FECHA", xb::Value::Date(fecha)}};
    if (f_inicio) r["F_INICIO"] = xb::Value::Date(f_inicio);
    AddRows(bases, "H_E_PERS", {r});
  }

  // The employee's value row of `column`, with RESULT1..5 = base + 1..5.
  void Value(const std::string& code, const std::string& column, int32_t fecha, double base) {
    Row r = {{"NEGOCIO", C(kCentral)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(column)},
             {"FECHA", xb::Value::Date(fecha)}};
    for (int k = 1; k <= 5; ++k) r["RESULT" + std::to_string(k)] = N(base + k);
    AddRows(bases, "H_D_PERS", {r});
  }

  qz::HistoryRecalcRequest Request(int32_t inicio = 0, int32_t fin = 0) {
    qz::HistoryRecalcRequest r;
    r.negocio = "HOTEL CENTRAL";
    r.range.inicio = inicio;
    r.range.fin = fin;
    return r;
  }

  // The visible rows of `table`, each as field -> value.
  std::vector<std::map<std::string, xb::Value>> Rows(const std::string& table) {
    std::vector<std::map<std::string, xb::Value>> rows;
    xb::OpenOptions o;
    o.read_only = true;
    auto t = xb::Table::Open(bases + "/" + table + ".DBF", o);
    EXPECT_TRUE(t.ok()) << table;
    if (!t.ok()) return rows;
    for (xb::Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1)) {
      std::map<std::string, xb::Value> r;
      for (const auto& f : (*t)->fields()) r[f.name] = *(*t)->Get(f.name);
      rows.push_back(r);
    }
    return rows;
  }
  // The row of `table` of employee `code` on `fecha`.
  std::map<std::string, xb::Value> RowOf(const std::string& table, const std::string& code,
                                         int32_t fecha) {
    for (auto& r : Rows(table))
      if (Text(r, "CODIGO") == code && r["FECHA"].date() == fecha) return r;
    ADD_FAILURE() << table << " has no row of " << code;
    return {};
  }
  static std::string Text(const std::map<std::string, xb::Value>& r, const std::string& f) {
    auto it = r.find(f);
    if (it == r.end()) return "";
    std::string s = it->second.str();
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  }
  static double Num(const std::map<std::string, xb::Value>& r, const std::string& f) {
    auto it = r.find(f);
    return it == r.end() ? NAN : it->second.number();
  }
  // Holds record `recno` of `table` locked from another handle.
  std::unique_ptr<xb::Table> Hold(const std::string& table, uint32_t recno) {
    auto t = xb::Table::Open(bases + "/" + table + ".DBF");
    EXPECT_TRUE(t.ok());
    EXPECT_TRUE((*t)->LockRecord(recno).ok());
    return std::move(*t);
  }
};

}  // namespace qztest
