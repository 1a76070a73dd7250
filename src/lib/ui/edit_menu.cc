#include "lib/ui/edit_menu.h"

namespace qz {
namespace {

struct Registered {
  int menu_id;
  EditMenuItem items[4];
};

// Captions keep the trailing blanks the screens register; the menus show
// them trimmed.
constexpr Registered kTable[] = {
    {2502, {{"Agregar Tipo", 2419, "ADD_DEF_TIP"}, {"Modificar Tipo", 2420, "MOD_DEF_TIP"},
            {"Borrar Tipo", 2421, "DEL_DEF_TIP"}}},
    {2729, {{"Agregar", 2730, "ADD_D_T_PROV"}, {"Modificar", 2731, "MOD_D_T_PROV"},
            {"Borrar", 2732, "DEL_D_T_PROV"}}},
    {2503, {{"Agregar Departamento", 2422, "ADD_DEPTO"}, {"Modificar Departamento", 2423, "MOD_DEPTO"},
            {"Borrar Departamento", 2424, "DEL_DEPTO"}, {"Duplicar Departamento", 2765, "DUP_DEPTO"}}},
    {6347, {{"Agregar", 6348, "ADD_TIPO"}, {"Modificar", 6349, "MOD_TIPO"},
            {"Eliminar", 6350, "DEL_TIPO"}}},
    {3937, {{"Agregar", 3938, "ADD_VAC"}, {"Modificar", 3939, "MOD_VAC"},
            {"Borrar", 3940, "DEL_VAC"}}},
    {2504, {{"Agregar   Tipo de Planilla", 2428, "ADD_TIPO_PLA"},
            {"Modificar Tipo de Planilla", 2429, "MOD_TIPO_PLA"},
            {"Borrar    Tipo de Planilla", 2430, "DEL_TIPO_PLA"}}},
    {2512, {{"Agregar", 2509, "ADD_DEF_TRAN"}, {"Modificar", 2510, "MOD_DEF_TRAN"},
            {"Borrar", 2511, "DEL_DEF_TRAN"}}},
    {2505, {{"Agregar", 2431, "ADD_TIP_TRAN"}, {"Modificar", 2432, "MOD_TIP_TRAN"},
            {"Borrar", 2433, "DEL_TIP_TRAN"}}},
    {2506, {{"Agregar", 2435, "ADD_TIEMPO_E"}, {"Modificar", 2436, "MOD_TIEMPO_E"},
            {"Borrar", 2437, "DEL_TIEMPO_E"}}},
    {2662, {{"Agregar ", 2663, "ADD_PUESTOS"}, {"Modificar ", 2664, "MOD_PUESTOS"},
            {"Borrar ", 2665, "DEL_PUESTOS"}}},
    {2674, {{"Agregar ocupación", 2675, "ADD_OCUPA"}, {"Modificar ocupación", 2676, "MOD_OCUPA"},
            {"Borrar ocupación", 2678, "DEL_OCUPA"}}},
    {2689, {{"Agregar", 2690, "ADD_TIP_EMP"}, {"Modificar", 2691, "MOD_TIP_EMP"},
            {"Borrar", 2692, "DEL_TIP_EMP"}}},
    {2693, {{"Agregar", 2694, "ADD_ACCION_E"}, {"Modificar", 2695, "MOD_ACCION_E"},
            {"Borrar", 2696, "DEL_ACCION_E"}}},
    {4108, {{"Agregar", 4109, "ADD_ACC_PERS"}, {"Modificar", 4110, "MOD_ACC_PERS"},
            {"Borrar", 4111, "DEL_ACC_PERS"}}},
    {4102, {{"Agregar", 4103, "ADD_AU_PLA"}, {"Modificar", 4104, "MOD_AU_PLA"},
            {"Borrar", 4105, "DEL_AU_PLA"}}},
    {6465, {{"Agregar", 6466, "ADD_TIP_PRUE"}, {"Modificar", 6467, "MOD_TIP_PRUE"},
            {"Eliminar", 6468, "DEL_TIP_PRUE"}}},
    {6473, {{"Agregar", 6474, "ADD_PERF_EVA"}, {"Modificar", 6475, "MOD_PERF_EVA"},
            {"Eliminar", 6476, "DEL_PERF_EVA"}}},
    {2609, {{"Agregar formato de reporte", 2610, "ADD_ENC_REPP"},
            {"Modificar formato de reporte", 2611, "MOD_ENC_REPP"},
            {"Borrar formato de reporte", 2612, "DEL_ENC_REPP"}}},
    {2666, {{"Agregar", 2667, "ADD_CONCEPTD"}, {"Modificar", 2668, "MOD_CONCEPTD"},
            {"Borrar", 2669, "DEL_CONCEPTD"}}},
    {2702, {{"Agregar", 2703, "ADD_CONCEPTT"}, {"Modificar", 2704, "MOD_CONCEPTT"},
            {"Borrar", 2705, "DEL_CONCEPTT"}}},
    {3413, {{"Agregar", 3414, "ADD_DEF_CC"}, {"Modificar", 3415, "MOD_DEF_CC"},
            {"Borrar", 3416, "DEL_DEF_CC"}}},
    {3501, {{"Agregar", 3502, "ADD_DEF_DIST"}, {"Modificar", 3503, "MOD_DEF_DIST"},
            {"Borrar", 3504, "DEL_DEF_DIST"}}},
    {3900, {{"Agregar", 3901, "ADD_DF_CST"}, {"Modificar", 3902, "MOD_DF_CST"},
            {"Borrar", 3903, "DEL_DF_CST"}}},
    {3656, {{"Agregar", 3657, "ADD_USR_REQ"}, {"Modificar", 3658, "MOD_USR_REQ"},
            {"Borrar", 3659, "DEL_USR_REQ"}}},
    {4492, {{"Agregar", 4493, "ADD_PRE_EMP"}, {"Modificar", 5155, "MOD_PRE_EMP"},
            {"Borrar", 4495, "DEL_PRE_EMP"}}},
    {4736, {{"Agregar", 4737, "ADD_PL_PAIS"}, {"Modificar", 4738, "MOD_PL_PAIS"},
            {"Borrar", 4739, "DEL_PL_PAIS"}}},
    {4740, {{"Agregar", 4741, "ADD_T_ETNIA"}, {"Modificar", 4742, "MOD_T_ETNIA"},
            {"Borrar", 4743, "DEL_T_ETNIA"}}},
    {4744, {{"Agregar", 4745, "ADD_UBIC_NAC"}, {"Modificar", 4746, "MOD_UBIC_NAC"},
            {"Borrar", 4747, "DEL_UBIC_NAC"}}},
    {4748, {{"Agregar", 4749, "ADD_T_CONTRA"}, {"Modificar", 4750, "MOD_T_CONTRA"},
            {"Borrar", 4751, "DEL_T_CONTRA"}}},
    {4752, {{"Agregar", 4753, "ADD_PL_IDIOM"}, {"Modificar", 4754, "MOD_PL_IDIOM"},
            {"Borrar", 4755, "DEL_PL_IDIOM"}}},
    {4780, {{"Agregar", 4781, "ADD_REG_NAC"}, {"Modificar", 4782, "MOD_REG_NAC"},
            {"Borrar", 4783, "DEL_REG_NAC"}}},
    {5291, {{"Agregar", 5291, "AGREGAR_MAP"}, {"Modificar", 5292, "MODIFICAR_MAP"},
            {"Borrar", 5294, "BORRAR_MAP"}}},
    {3941, {{"Agregar", 3942, "ADD_VAC2"}, {"Modificar", 3943, "MOD_VAC2"},
            {"Borrar", 3944, "DEL_VAC2"}}},
};

}  // namespace

std::vector<EditMenuItem> EditMenuItems(int menu_id) {
  std::vector<EditMenuItem> out;
  for (const auto& r : kTable) {
    if (r.menu_id != menu_id) continue;
    for (const auto& i : r.items) {
      if (i.caption) out.push_back(i);
    }
  }
  return out;
}

}  // namespace qz
