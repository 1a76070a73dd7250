#include "lib/install/system_rows.h"

#include "lib/install/rows.h"
#include "xbase/table.h"

namespace qz {
namespace {

xb::Result<std::unique_ptr<xb::Table>> OpenExclusive(const std::string& dir,
                                                     const std::string& name, xb::Env* env) {
  xb::OpenOptions o;
  o.env = env;
  o.exclusive = true;
  return xb::Table::Open(xb::JoinPath(dir, name + ".DBF"), o);
}

// One row. MAXCOMMIT and GRAYED are the two fields the program requires; the
// rest are the values the program would assume anyway, written out so the
// parameter screens show them.
xb::Status WriteFsys(xb::Table& t) {
  Row r(t);
  r.Set("T_FONT", "Tahoma").Set("T_SIZE", 8).Set("P_FONT", "Calibri").Set("D_FONT", "");
  r.Set("MAXCOMMIT", 100).Set("IDLECOMMIT", 30).Set("GARBAGE", 300).Set("GRAYED", 1);
  r.Set("WS_SOCKET", 4129).Set("MULTITASK", 3).Set("DLGSIZE", 0).Set("DGROUP", 6000);
  r.Set("MAXTIMEOUT", 10).Set("NO_TIMEOUT", 0).Set("LOCAL_TEMP", 0).Set("BLOQUEADO", 0);
  // Base and highlight colours, the same for both kinds of display.
  const int colours[] = {192, 192, 192, 200, 0, 0, 192, 192, 192, 200, 0, 0};
  for (int i = 0; i < 12; ++i) r.Set(("RGB" + std::to_string(i + 1)).c_str(), colours[i]);
  return r.Done();
}

xb::Status WriteFonts(xb::Table& t) {
  for (const char* f : {"Arial", "Arial Black", "Arial Narrow", "Calibri", "Cambria", "Century",
                        "Courier New", "Tahoma", "Times New Roman", "Verdana"})
    XB_RETURN_IF_ERROR(Row(t).Set("T_FONT", f).Done());
  return xb::Status::OK();
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& SearchableTables() {
  static const std::vector<std::pair<std::string, std::string>> kTables = {
      {"ENC_PERS", "CODIGO"}, {"ENC_DEPT", "CODIGO"}, {"PUESTOS", "CODIGO"},
      {"T_OCUPA", "CODIGO"},  {"ENC_TIP", "CODIGO"},  {"TIP_PLA", "CODIGO"},
      {"TIEMPO_E", "CODIGO"}, {"TIP_EMP", "CODIGO"},  {"CONCEPTD", "CODIGO"},
      {"CONCEPTT", "CODIGO"}, {"T_PROV", "CODIGO"},   {"TIP_ACC", "CODIGO"}};
  return kTables;
}

xb::Status WriteSystemRows(const std::string& bases_dir, xb::Env* env) {
  struct Step {
    const char* table;
    xb::Status (*write)(xb::Table&);
  };
  const Step steps[] = {
      {"F_SYS", WriteFsys},
      {"FONTS", WriteFonts},
      {"F_TXT_S", [](xb::Table& t) {
         for (const auto& [table, field] : SearchableTables())
           XB_RETURN_IF_ERROR(Row(t).Set("TABLA", table).Set("DOCUMENTO", field).Done());
         return xb::Status::OK();
       }}};
  for (const auto& step : steps) {
    auto t = OpenExclusive(bases_dir, step.table, env);
    if (!t.ok()) return t.status();
    xb::Status s = step.write(**t);
    xb::Status c = (*t)->Close();
    XB_RETURN_IF_ERROR(s);
    XB_RETURN_IF_ERROR(c);
  }
  return xb::Status::OK();
}

}  // namespace qz
