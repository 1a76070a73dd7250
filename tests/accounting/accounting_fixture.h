// Two hotels of a group with cost centres, distribution tables, department
// and employee splits, accounting links and positions: what the accounting
// definition screens read and rewrite.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "lib/ui/catalog_data.h"
#include "support/table_rows.h"
#include "support/ui_session.h"

namespace qztest {

inline const std::string kCentral = Biz("HOTEL CENTRAL");
inline const std::string kPlaya = Biz("HOTEL PLAYA");

class AccountingSession : public UiSession {
 protected:
  void SetUp() override {
    Create("C_COSTOS", {Centre(kCentral, "CC-REST", "RESTAURANTE", "31"),
                        Centre(kCentral, "CC-BAR", "BAR", "32"),
                        Centre(kCentral, "CC-ADM", "ADMINISTRACION", "10"),
                        Centre(kPlaya, "CC-REST", "RESTAURANTE PLAYA", "31")});
    Create("E_COSTO", {{{"NEGOCIO", C(kCentral)}, {"CODIGO", C("0001")}, {"DESCRIP", C("A Y B")}},
                       {{"NEGOCIO", C(kCentral)}, {"CODIGO", C("0002")}, {"DESCRIP", C("GENERAL")}},
                       {{"NEGOCIO", C(kPlaya)}, {"CODIGO", C("0001")}, {"DESCRIP", C("PLAYA")}}});
    Create("D_COSTO", {Line(kCentral, "0001", "CC-REST", 60), Line(kCentral, "0001", "CC-BAR", 40),
                       Line(kCentral, "0002", "CC-ADM", 100), Line(kPlaya, "0001", "CC-REST", 100)});
    Create("DET_DEP3", {{{"NEGOCIO", C(kCentral)}, {"DEPTO", C("AYB")}, {"COD_CENTRO", C("CC-REST")},
                         {"PORCENTAJE", N(70)}},
                        {{"NEGOCIO", C(kCentral)}, {"DEPTO", C("AYB")}, {"COD_CENTRO", C("CC-BAR")},
                         {"PORCENTAJE", N(30)}},
                        {{"NEGOCIO", C(kCentral)}, {"DEPTO", C("ADM")}, {"COD_CENTRO", C("CC-REST")},
                         {"PORCENTAJE", N(10)}},
                        {{"NEGOCIO", C(kPlaya)}, {"DEPTO", C("AYB")}, {"COD_CENTRO", C("CC-REST")},
                         {"PORCENTAJE", N(100)}}});
    // E1 and E2 follow table 0001, E3 the department; E1 splits its salary
    // (column 01) and its overtime (05) itself, E2 only its salary.
    Create("ENC_PERS", {Employee(kCentral, "E1", "AYB", "0001"), Employee(kCentral, "E2", "AYB", "0001"),
                        Employee(kCentral, "E3", "AYB", ""), Employee(kPlaya, "E1", "AYB", "0001")});
    Create("DET_PERS", {Value(kCentral, "E1", "01", 1), Value(kCentral, "E1", "05", 1),
                        Value(kCentral, "E1", "10", 0), Value(kCentral, "E2", "01", 1),
                        Value(kCentral, "E3", "01", 1), Value(kPlaya, "E1", "01", 1)});
    Create("DET_PER3", {Split(kCentral, "E1", "01", "CC-REST", 60), Split(kCentral, "E1", "01", "CC-BAR", 40),
                        Split(kCentral, "E1", "05", "CC-REST", 100), Split(kCentral, "E2", "01", "CC-REST", 60),
                        Split(kCentral, "E2", "01", "CC-BAR", 40), Split(kCentral, "E3", "01", "CC-REST", 100),
                        Split(kPlaya, "E1", "01", "CC-REST", 100)});
  }

  static Row Centre(const std::string& b, const char* code, const char* descrip, const char* prefix) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"DESCRIP", C(descrip)}, {"PREFIJO", C(prefix)}};
  }
  static Row Line(const std::string& b, const char* table, const char* centre, double pct) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(table)}, {"COD_CENTRO", C(centre)}, {"PORCENTAJE", N(pct)}};
  }
  static Row Employee(const std::string& b, const char* code, const char* dept, const char* table) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"NOMBRE", C(std::string("EMPLEADO ") + code)},
            {"DEPTO", C(dept)}, {"DIST_COST", C(table)}, {"ACTIVO", N(1)}};
  }
  static Row Value(const std::string& b, const char* code, const char* column, int own_split) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(column)},
            {"CENTRO_IND", N(own_split)}};
  }
  static Row Split(const std::string& b, const char* code, const char* column, const char* centre,
                   double pct) {
    return {{"NEGOCIO", C(b)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(column)},
            {"COD_CENTRO", C(centre)}, {"PORCENTAJE", N(pct)}};
  }

  // Every live row of `table`, as SortedRows lists them.
  std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields) {
    return SortedRows(file(table + ".DBF"), fields);
  }
  // Rows of every table a centre or a table code is written into.
  std::vector<std::string> Everything() {
    std::vector<std::string> all;
    auto add = [&](const std::string& table, const std::vector<std::string>& fields) {
      for (auto& r : Rows(table, fields)) all.push_back(table + " " + r);
    };
    add("C_COSTOS", {"CODIGO", "DESCRIP", "PREFIJO"});
    add("E_COSTO", {"CODIGO", "DESCRIP"});
    add("D_COSTO", {"CODIGO", "COD_CENTRO", "PORCENTAJE"});
    add("DET_DEP3", {"DEPTO", "COD_CENTRO", "PORCENTAJE"});
    add("DET_PER3", {"CODIGO", "COD_COLUMN", "COD_CENTRO", "PORCENTAJE"});
    add("ENC_PERS", {"CODIGO", "DIST_COST"});
    return all;
  }
  static size_t Count(const std::vector<std::string>& rows, const std::string& text) {
    return static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [&](const std::string& r) {
      return r.find(text) != std::string::npos;
    }));
  }
  // The grid row showing `code` in its first column, or -1.
  static int RowOf(const qz::WBLISTBOX* grid, const std::string& code) {
    for (int r = 0; r < grid->RowCount(); ++r)
      if (qz::TrimRight(grid->Cell(r, 0)) == code) return r;
    return -1;
  }
};

}  // namespace qztest
