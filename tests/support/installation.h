// A scratch installation: program folder with BASES, PROFILE and TEMP, the
// tables the data layer writes (LOG_ROLL, SERIALES, TXT_SRCH, ERROR, LOG_E_S,
// E_MSGS) and a sample business table ARTICULO, with fresh settings and the
// start sequence run on it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace qztest {

inline xb::FieldDef F(const char* name, char type, int len, int dec = 0) {
  return xb::FieldDef{name, type, static_cast<uint8_t>(len), static_cast<uint8_t>(dec), 0, 0};
}

struct TagDef {
  const char* name;
  const char* key;
};

inline void MakeTable(const std::string& path, xb::FieldList fields,
                      std::initializer_list<TagDef> tags = {}) {
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(path, std::move(fields), co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  for (const auto& tag : tags) ASSERT_TRUE((*t)->CreateTag(tag.name, tag.key).ok()) << tag.name;
  ASSERT_TRUE((*t)->Close().ok());
}

class Installation {
 public:
  // `ads_def`: contents of ADS.DEF, or empty for none (local engine).
  explicit Installation(const std::string& ads_def = "") {
    namespace fs = std::filesystem;
    root = dir.path() + "/";
    for (const char* d : {"BASES", "PROFILE", "TEMP"}) fs::create_directories(root + d);
    std::string b = root + "BASES/";
    MakeTable(b + "LOG_ROLL",
              {F("NEGOCIO", 'C', 15), F("FECHA", 'D', 8), F("HORA", 'C', 8), F("USUARIO", 'C', 10),
               F("INFO_USER", 'C', 80), F("MOTIVO", 'C', 254), F("TRANS_ID", 'N', 4)});
    MakeTable(
        b + "SERIALES",
        {F("NEGOCIO", 'C', 15), F("MODULO", 'C', 10), F("CODIGO", 'C', 15), F("DESCRIP", 'C', 30),
         F("NUMERO", 'N', 15), F("NUMERO2", 'N', 15), F("JUSTIFICA", 'N', 1), F("INDENT", 'N', 2),
         F("PREFIJO", 'C', 10), F("POSFIJO", 'C', 10), F("MUTUO", 'N', 1), F("CURRENT_N", 'C', 15)},
        {{"SERIALES", "NEGOCIO+MODULO+CODIGO"}});
    MakeTable(
        b + "TXT_SRCH",
        {F("NEGOCIO", 'C', 15), F("TABLA", 'C', 10), F("DOCUMENTO", 'C', 15), F("ID", 'N', 10),
         F("T_ITEM", 'C', 30)},
        {{"TXT_SRCH4", "NEGOCIO+TABLA+DOCUMENTO+T_ITEM"}, {"TXT_SRCH5", "NEGOCIO+TABLA+T_ITEM"}});
    MakeTable(b + "ERROR", {F("FECHA", 'D', 8), F("HORA", 'C', 8), F("DESCRIP", 'C', 254),
                            F("DETALLE", 'M', 10)});
    MakeTable(b + "LOG_E_S",
              {F("FECHA", 'D', 8), F("HORA", 'C', 8), F("USUARIO", 'C', 30), F("FECHA_SAL", 'D', 8),
               F("HORA_SAL", 'C', 8), F("DESC_ERR", 'C', 254), F("ERR_CHECK", 'C', 1)});
    MakeTable(b + "E_MSGS", {F("FECHA", 'D', 8), F("HORA", 'C', 8), F("TO_USER", 'C', 100),
                             F("SUBJECT", 'C', 100), F("BODY", 'M', 10), F("USERNAME", 'C', 60),
                             F("USERADDR", 'C', 60), F("ENVIADO", 'N', 1), F("LISTO", 'N', 1)});
    MakeTable(b + "ARTICULO",
              {F("NEGOCIO", 'C', 15), F("CODIGO", 'C', 15), F("DESCRIP", 'C', 30),
               F("PRECIO", 'N', 10, 2)},
              {{"ARTICULO", "NEGOCIO+CODIGO"}, {"ARTICUL2", "UPPER(DESCRIP)"}});
    if (!ads_def.empty()) WriteFile("ADS.DEF", ads_def);
  }

  // Fresh settings and the start sequence, as a new process would run it.
  qz::StartResult Start() {
    qz::ResetGlobals();
    qz::G().EXT_MODULO = "PCFG";
    return qz::StartDataLayer(root);
  }

  void WriteFile(const std::string& rel, const std::string& bytes) const {
    std::ofstream(root + rel, std::ios::binary) << bytes;
  }
  bool Exists(const std::string& rel) const { return std::filesystem::exists(root + rel); }

  // ADS.DEF of a server installation whose data path is BASES.
  static std::string ServerAdsDef(const std::string& root, const std::string& line2 = "1",
                                  const std::string& line3 = "0") {
    return root + "BASES\r" + line2 + "\r" + line3 + "\r0\r";
  }

  TempDir dir;
  std::string root;  // program folder, with trailing separator
};

// Adds an ARTICULO row directly through the engine.
inline void AddArticulo(const std::string& root, const std::string& negocio,
                        const std::string& codigo, const std::string& descrip, double precio) {
  auto t = xb::Table::Open(root + "BASES/ARTICULO.DBF");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->Append().ok());
  ASSERT_TRUE((*t)->Put("NEGOCIO", xb::Value::Char(negocio)).ok());
  ASSERT_TRUE((*t)->Put("CODIGO", xb::Value::Char(codigo)).ok());
  ASSERT_TRUE((*t)->Put("DESCRIP", xb::Value::Char(descrip)).ok());
  ASSERT_TRUE((*t)->Put("PRECIO", xb::Value::Number(precio)).ok());
  ASSERT_TRUE((*t)->Close().ok());
}

}  // namespace qztest
