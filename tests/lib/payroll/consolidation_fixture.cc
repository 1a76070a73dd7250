#include "consolidation_fixture.h"

#include <cstdio>

namespace qztest {
namespace {

Row Layout(const std::string& dept, const char* tipo, const char* column, int orden) {
  return {{"NEGOCIO", C(kBiz)},         {"DEPTO", C(dept)},   {"TIPO", C(tipo)},
          {"COD_COLUMN", C(column)},    {"ORDEN", xb::Value::Number(orden)},
          {"CODIGO", xb::Value::Number(orden)}};
}

}  // namespace

const std::vector<std::string>& ConsolidationTest::HistoryTables() {
  static const std::vector<std::string> kTables = {
      "H_E_DEPT", "H_D_DEPT", "H_E_TIP",  "H_D_TIP",  "H_D_DEP2", "H_D_DEP3",
      "H_TIP_PL", "H_CONJ_C", "H_E_PERS", "H_D_PERS", "H_D_PER2", "H_D_PER3",
      "H_TIEM_E", "H_TIP_TR", "H_E_COST", "H_D_COST", "H_GRP_C"};
  return kTables;
}

void ConsolidationTest::SetUp() {
  auto n = [](double v) { return xb::Value::Number(v); };
  Create("ENC_DEPT", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("D1")}, {"DESCRIP", C("Cocina")},
                       {"TIPO", C("M")}, {"MONEDA", C("CRC")}},
                      {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("D2")}, {"DESCRIP", C("Bar")},
                       {"TIPO", C("M")}, {"MONEDA", C("CRC")}}});
  std::vector<Row> layout;
  for (const char* d : {"D1", "D2"}) {
    layout.push_back(Layout(d, "01", "SB", 1));
    layout.push_back(Layout(d, "01", "VA", 2));
    layout.push_back(Layout(d, "03", "RT", 3));
  }
  Create("DET_DEPT", layout);
  Create("ENC_TIP",
         {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("SB")}, {"TIPO", n(1)}, {"VAL_BASE", n(1)},
           {"VALOR", n(5000)}, {"DESCRIP", C("Salario")}},
          {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("VA")}, {"TIPO", n(1)}, {"VAC_PAGADA", n(1)},
           {"DESCRIP", C("Vacaciones")}},
          {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("RT")}, {"TIPO", n(3)}, {"TIPO_TABLA", n(1)},
           {"DIA_TABLA", n(5)}, {"CONTA_IND", n(1)}, {"VALOR", n(7)}, {"VALOR_3", n(1.5)},
           {"DESCRIP", C("Renta")}}});
  Create("DET_TIP", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("RT")}, {"SERIE", n(1)},
                      {"RANGO_I", n(0)}, {"RANGO_F", n(800000)}, {"PORCENTAJE", n(0)}},
                     {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("RT")}, {"SERIE", n(2)},
                      {"RANGO_I", n(800000)}, {"RANGO_F", n(9e9)}, {"PORCENTAJE", n(10)}}});
  Create("DET_DEP2", {{{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"CODIGO", n(1)},
                       {"PORCENTAJE", n(100)}}});
  Create("DET_DEP3", {{{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"COD_CENTRO", C("C1")},
                       {"PORCENTAJE", n(100)}}});
  Create("TIP_PLA", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("M")}, {"DESCRIP", C("Mensual")},
                      {"CANTIDAD", n(1)}, {"VAL_DIV", n(30)}}});
  Create("CONJ_COL", {{{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"CODIGO", C("01")},
                       {"DESCRIP", C("Ingresos")}}});
  Create("ENC_PERS", {{{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"CODIGO", C("A1")},
                       {"NOMBRE", C("Ana Mora")}, {"ACTIVO", n(1)}, {"TOT_SAL", n(600000)},
                       {"TOT_GRUPO1", n(11)}},
                      {{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"CODIGO", C("B2")},
                       {"NOMBRE", C(xb::FromUtf8("Beto Solís"))}, {"ACTIVO", n(1)}, {"TOT_SAL", n(900000)}},
                      {{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"CODIGO", C("C3")},
                       {"NOMBRE", C("Carla Vega")}, {"ACTIVO", n(0)}, {"TOT_SAL", n(1)}},
                      {{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D2")}, {"CODIGO", C("D4")},
                       {"NOMBRE", C("Dora Ruiz")}, {"ACTIVO", n(2)}, {"TOT_SAL", n(1)}}});
  std::vector<Row> values;
  for (const char* e : {"A1", "B2", "C3"})
    for (const char* col : {"SB", "VA", "RT"})
      values.push_back({{"NEGOCIO", C(kBiz)}, {"CODIGO", C(e)}, {"COD_COLUMN", C(col)},
                        {"VALOR_1", n(123)}, {"FACTOR", n(4)}, {"CENTRO_IND", n(1)}});
  Create("DET_PERS", values);
  Create("DET_PER2", {{{"NEGOCIO", C(kBiz)}, {"COD_PER", C("A1")}, {"DIA", xb::Value::Date(kMarch31 - 30)},
                       {"COD_COLUMN", C("SB")}, {"C_1", n(8)}}});
  Create("DET_PER3", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("A1")}, {"COD_COLUMN", C("SB")},
                       {"COD_CENTRO", C("C1")}, {"PORCENTAJE", n(60)}},
                      {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("A1")}, {"COD_COLUMN", C("SB")},
                       {"COD_CENTRO", C("C2")}, {"PORCENTAJE", n(40)}}});
  Create("TIEMPO_E", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("08")}, {"FACTOR", n(8)}},
                      {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("04")}, {"FACTOR", n(4)}}});
  Create("TIP_TRAN", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("01")}, {"DESCRIP", C("Banco")}}});
  Create("E_COSTO", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("T1")}, {"DESCRIP", C("General")}}});
  Create("D_COSTO", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("T1")}, {"COD_CENTRO", C("C1")},
                      {"PORCENTAJE", n(70)}},
                     {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("T1")}, {"COD_CENTRO", C("C2")},
                      {"PORCENTAJE", n(30)}}});
  Create("GRP_CMP", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("G1")}, {"DESCRIP", C("Extras")}},
                     {{"NEGOCIO", C(kBiz)}, {"CODIGO", C("G2")}, {"DESCRIP", C("Bonos")}}});
  for (const auto& t : HistoryTables()) Create(t);
}

void ConsolidationTest::AddEmployees(const std::string& dept, int count, double salary,
                                     const std::string& prefix) {
  std::vector<Row> people, values;
  for (int i = 1; i <= count; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%s%04d", prefix.c_str(), i);
    people.push_back({{"NEGOCIO", C(kBiz)}, {"DEPTO", C(dept)}, {"CODIGO", C(code)},
                      {"NOMBRE", C(std::string("Empleado ") + code)},
                      {"ACTIVO", xb::Value::Number(1)}, {"TOT_SAL", xb::Value::Number(salary)}});
    for (const char* col : {"SB", "VA", "RT"})
      values.push_back({{"NEGOCIO", C(kBiz)}, {"CODIGO", C(code)}, {"COD_COLUMN", C(col)}});
  }
  AddRows(bases, "ENC_PERS", people);
  AddRows(bases, "DET_PERS", values);
}

std::vector<std::map<std::string, xb::Value>> ConsolidationTest::Rows(
    const std::string& table,
    const std::function<bool(const std::map<std::string, xb::Value>&)>& keep) {
  std::vector<std::map<std::string, xb::Value>> rows;
  xb::OpenOptions o;
  o.read_only = true;
  auto t = xb::Table::Open(bases + "/" + table + ".DBF", o);
  EXPECT_TRUE(t.ok()) << table << ": " << t.status().ToString();
  if (!t.ok()) return rows;
  for (xb::Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1)) {
    std::map<std::string, xb::Value> r;
    for (const auto& f : (*t)->fields()) r[f.name] = *(*t)->Get(f.name);
    if (!keep || keep(r)) rows.push_back(r);
  }
  return rows;
}

std::vector<std::string> ConsolidationTest::CheckHistory() {
  std::vector<std::string> problems;
  for (const auto& name : HistoryTables()) {
    auto t = xb::Table::Open(bases + "/" + name + ".DBF");
    if (!t.ok()) {
      problems.push_back(name + ": " + t.status().ToString());
      continue;
    }
    std::vector<std::string> found;
    xb::Status s = (*t)->Check(&found);
    if (!s.ok()) problems.push_back(name + ": " + s.ToString());
    for (const auto& p : found) problems.push_back(name + ": " + p);
  }
  return problems;
}

std::string S(const std::map<std::string, xb::Value>& row, const std::string& field) {
  auto it = row.find(field);
  if (it == row.end()) return "";
  std::string s = it->second.str();
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

double Num(const std::map<std::string, xb::Value>& row, const std::string& field) {
  auto it = row.find(field);
  return it == row.end() ? 0 : it->second.number();
}

}  // namespace qztest
