// Demo tables for the catalog screens: enough rows to see a screen at work.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <vector>

#include "quartzel_pcfg.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace pcfg {
namespace {

namespace fs = std::filesystem;
using Row = std::map<std::string, xb::Value>;

xb::Value T(const std::string& utf8) {
  return xb::Value::Char(xb::FromUtf8(utf8));
}
xb::Value N(double d) {
  return xb::Value::Number(d);
}

std::string CreateTable(const nlohmann::json& def, const std::string& bases,
                        const std::vector<Row>& rows) {
  xb::FieldList fields;
  for (const auto& f : def["fields"]) {
    xb::FieldDef d;
    d.name = f["name"].get<std::string>();
    d.type = f["type"].get<std::string>()[0];
    d.len = static_cast<uint8_t>(f["len"].get<int>());
    d.dec = static_cast<uint8_t>(f["dec"].get<int>());
    fields.push_back(d);
  }
  xb::CreateOptions co;
  co.exclusive = true;
  co.overwrite = true;
  std::string name = def["name"].get<std::string>();
  auto t = xb::Table::Create(bases + "/" + name + ".DBF", fields, co);
  if (!t.ok()) return t.status().ToString();
  for (const auto& tag : def["tags"]) {
    auto st = (*t)->CreateTag(tag["name"].get<std::string>(), tag["key"].get<std::string>(),
                              tag["for"].get<std::string>(), tag["descending"].get<bool>());
    if (!st.ok()) return st.ToString();
  }
  for (const auto& r : rows) {
    if (auto st = (*t)->Append(); !st.ok()) return st.ToString();
    for (const auto& [f, v] : r) (*t)->Put(f, v);
  }
  auto st = (*t)->Close();
  return st.ok() ? "" : st.ToString();
}

}  // namespace

std::string FindSchemaDir() {
  std::vector<fs::path> candidates;
  if (const char* h = std::getenv("QUARTZEL_HOME")) candidates.emplace_back(fs::path(h) / "schema");
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    candidates.push_back(exe.parent_path() / "schema");
    candidates.push_back(exe.parent_path().parent_path() / "schema");
  }
  for (const auto& c : candidates) {
    if (fs::is_directory(c, ec)) return c.string();
  }
  return "";
}

std::string CreateDemoTables(const std::string& schema_dir, const std::string& bases) {
  std::map<std::string, nlohmann::json> defs;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(schema_dir, ec)) {
    if (e.path().extension() != ".json") continue;
    std::ifstream in(e.path());
    auto j = nlohmann::json::parse(in, nullptr, false);
    if (j.is_discarded() || !j.contains("tables")) continue;
    for (const auto& t : j["tables"]) defs[t["name"].get<std::string>()] = t;
  }
  const std::string hc = kDemoBusiness;
  const std::string hp = "HOTEL PLAYA    ";
  std::vector<Row> puestos;
  const char* positions[][2] = {{"AMA", "Ama de llaves"},    {"BAR", "Bartender"},
                                {"BOT", "Botones"},          {"CAM", "Camarera de piso"},
                                {"CAJ", "Cajero general"},   {"CHEF", "Chef ejecutivo"},
                                {"COC", "Cocinero"},         {"CONS", "Conserje"},
                                {"GER", "Gerente general"},  {"JREC", "Jefe de recepción"},
                                {"LAV", "Lavandería"},       {"MANT", "Mantenimiento"},
                                {"MES", "Mesero"},           {"REC", "Recepcionista"},
                                {"SEG", "Seguridad"},        {"SOM", "Sommelier"},
                                {"SPA", "Terapeuta de spa"}, {"VAL", "Valet parking"}};
  int i = 0;
  for (const auto& p : positions) {
    ++i;
    puestos.push_back({{"NEGOCIO", T(hc)},
                       {"CODIGO", T(p[0])},
                       {"DESCRIP", T(p[1])},
                       {"HORAS_DIA", N(8)},
                       {"PERFIL_EVA", T(i % 3 == 0 ? "GER" : "OPE")},
                       {"PRES_EMP1", N(2 + i % 4)},
                       {"PRES_EMP2", N(3 + i % 5)},
                       {"PRES_EMP3", N(4 + i % 6)},
                       {"PRES_EXT2", N(i % 2)},
                       {"PRES_EXT3", N(1 + i % 3)},
                       {"TIPO_PRES", N(0)},
                       {"CLAS_ROM", T("[STD ][DBL ]")},
                       {"SEMANA", T("22222 3")}});
  }
  puestos.push_back({{"NEGOCIO", T(hp)}, {"CODIGO", T("CAM")}, {"DESCRIP", T("Camarera")}});
  std::vector<Row> ocupa;
  const char* occupations[][3] = {{"1", "Personal de limpieza", "9112"},
                                  {"2", "Recepcionistas de hotel", "4224"},
                                  {"3", "Cocineros", "5120"},
                                  {"4", "Camareros de mesa", "5131"},
                                  {"5", "Guardias de seguridad", "5414"},
                                  {"6", "Gerentes de hoteles", "1411"}};
  for (const auto& o : occupations)
    ocupa.push_back(
        {{"NEGOCIO", T(hc)}, {"CODIGO", T(o[0])}, {"DESCRIP", T(o[1])}, {"XCODIGO", T(o[2])}});
  std::vector<std::pair<std::string, std::vector<Row>>> tables = {
      {"PUESTOS", puestos},
      {"T_OCUPA", ocupa},
      {"F_PLAN7",
       {{{"NEGOCIO", T(hc)},
         {"RANG_HOR1", N(20)},
         {"RANG_HOR2", N(40)},
         {"RANG_HOR3", N(60)},
         {"RANG_HOR4", N(80)},
         {"RANG_HOR5", N(100)},
         {"RANG_PAX1", N(50)},
         {"RANG_PAX2", N(150)},
         {"RANG_PAX3", N(300)},
         {"RANG_PAX4", N(600)}}}},
      {"CLAS_ROM",
       {{{"NEGOCIO", T(hc)}, {"CODIGO", T("STD")}, {"DESCRIP", T("Estándar")}},
        {{"NEGOCIO", T(hc)}, {"CODIGO", T("DBL")}, {"DESCRIP", T("Doble")}},
        {{"NEGOCIO", T(hc)}, {"CODIGO", T("JRS")}, {"DESCRIP", T("Junior suite")}},
        {{"NEGOCIO", T(hc)}, {"CODIGO", T("SUI")}, {"DESCRIP", T("Suite")}},
        {{"NEGOCIO", T(hc)}, {"CODIGO", T("PRE")}, {"DESCRIP", T("Suite presidencial")}}}},
      {"PERF_EVA",
       {{{"NEGOCIO", T(hc)}, {"CODIGO", T("OPE")}, {"DESCRIP", T("Personal operativo")}},
        {{"NEGOCIO", T(hc)}, {"CODIGO", T("GER")}, {"DESCRIP", T("Gerencial")}}}},
      {"ENC_PERS",
       {{{"NEGOCIO", T(hc)},
         {"CODIGO", T("1001")},
         {"NOMBRE", T("María Solís")},
         {"PUESTO", T("CAM")}},
        {{"NEGOCIO", T(hc)},
         {"CODIGO", T("1002")},
         {"NOMBRE", T("José Núñez")},
         {"PUESTO", T("REC")}}}},
  };
  fs::create_directories(bases, ec);
  for (const auto& [name, rows] : tables) {
    auto it = defs.find(name);
    if (it == defs.end()) return name + " is not in the table catalog " + schema_dir;
    std::string err = CreateTable(it->second, bases, rows);
    if (!err.empty()) return err;
  }
  return "";
}

}  // namespace pcfg
