// The demo rows of the catalogs edited in forms of their own that the small
// catalogs leave out: a second (not default) vacation type with its days, and
// the document classifications with their sub-classes.
#include <tuple>
#include <vector>

#include "lib/install/demo/demo_context.h"

namespace qz::demo {

xb::Status AddCatalogEditorRows(Context& c) {
  struct Sub {
    int item;
    const char* descrip;
  };
  struct Class {
    const char* code;
    const char* descrip;
    std::vector<Sub> items;
  };
  const std::vector<Class> classes = {
      {"CONT", "Contratos", {{1, "Contrato de trabajo"}, {2, "Adenda"}, {3, "Finiquito"}}},
      {"IDEN", "Identificación", {{1, "Cédula"}, {2, "Pasaporte"}, {3, "Permiso de trabajo"}}},
      {"MEDI", "Documentos médicos", {{1, "Incapacidad"}, {2, "Dictamen médico"}}},
      {"PERS", "Acciones de personal", {{1, "Amonestación"}, {2, "Felicitación"}}}};
  for (const auto& b : c.businesses) {
    const std::string& n = b.code;
    XB_RETURN_IF_ERROR(c.Add("ENC_VAC", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "GER").Set("DESCRIP", "Vacaciones de gerencia");
      r.Set("DEFAULT", 0);
    }));
    for (const auto& [months, per_month, per_year] :
         std::vector<std::tuple<double, double, double>>{{0, 1.25, 15}, {36, 1.5, 18}})
      XB_RETURN_IF_ERROR(c.Add("DET_VAC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", "GER").Set("MES", months).Set("D_MES", per_month);
        r.Set("D_ANHO", per_year);
      }));
    for (const auto& cls : classes) {
      XB_RETURN_IF_ERROR(c.Add("E_PLA_DC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", cls.code).Set("DESCRIP", cls.descrip);
      }));
      for (const auto& s : cls.items)
        XB_RETURN_IF_ERROR(c.Add("D_PLA_DC", [&](Row& r) {
          r.Set("NEGOCIO", n).Set("CODIGO", cls.code).Set("ITEM", s.item).Set("DESCRIP", s.descrip);
        }));
    }
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
