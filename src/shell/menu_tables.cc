#include "shell/menu_tables.h"

namespace qz {
namespace {

const MenuDef kSep{""};

std::vector<MenuDef> Maintenance() {
  return {
      {"Meses Activos Módulos", 2915, "ED_M_ACT", "ED_M_ACT"},
      {"Impresoras Predeterminadas", 2782, "PREDET_P", "PREDET_P"},
      {"Perfiles de Usuario", 2000, "USUARIOS", "USUARIOS"},
      {"Cambio de Clave de Acceso", 2904, "CH_PASSWD", "CH_PASSWD"},
      {"Acceso Fecha/Hora", 4660, "FEC_HORA", "FEC_HORA"},
      {"Cambio email Usuario", 4696, "U_EMAIL", "U_EMAIL"},
      {"Fuente Despliegue de Datos", 2152, "SYS_FONT", "SYS_FONT"},
      {"Parámetros Manipulación DB", 2539, "SYS_DB", "SYS_DB"},
      {"Definición de Tipos de Letras"},
      {"Definición de Revisión de Tipos de Cambio", 2905, "NEG_CAMB", "NEG_CAMB"},
      {"Definición de Monedas", 2783, "MONEDA", "MONEDA"},
      {"Definición de Tipos de Cambio", 2901, "T_CAMBIO", "T_CAMBIO"},
      {"Definición de Seriales", 2841, "MANT_SER", "MANT_SER"},
      {"Optimización de Archivo", 3814, "OPT_FILE", "OPT_FILE"},
      {"Log de Errores Registrados", 2588, "VIEW_ERRORS", "VIEW_ERRORS"},
      {"Log de Entradas Registradas", 2590, "VIEW_E_S", "VIEW_E_S"},
      {"Log de Rollbacks Transaccionales", 4146, "VIEW_ROLLBACK", "VIEW_ROLLBACK"},
      {"Log Envío de emails", 6282, "LOG_EMAIL", "LOG_EMAIL"},
      {"Información ADS Connections", 6361, "ADS_CONN", "ADS_CONN"},
      {"E-Mails", 0, "", "", false, {{"Parámetros Globales", 2987, "EMAIL6", "EMAIL6"}}},
      {"Credit Card Interfaces",
       0,
       "",
       "",
       false,
       {{"Configuración de Estaciones", 6190, "P_ELECT", "P_ELECT"},
        {"Asignación Estación a PC", 6194, "A_ELECT", "A_ELECT"},
        {"Cierre Banco Nacional Costa Rica", 6195, "POSWARE", "POSWARE"},
        {"Pre-Cierre Credomatic", 6196, "CREDOMAT_PRE", "CREDOMAT"},
        {"Cierre Credomatic", 6197, "CREDOMAT", "CREDOMAT"}}},
      {"Soporte",
       0,
       "",
       "",
       false,
       {{"Definición de Encargados", 6501, "SOP_ENC", "SOP_ENC"},
        {"Definición de Clientes", 6502, "SOP_CLI", "SOP_CLI"},
        {"Definición de Solicitud", 6503, "SOP_SOL", "SOP_SOL"}}},
  };
}

std::vector<MenuDef> Additional() {
  return {
      {"Definición de Parámetros", 2500, "F_PLAN", "F_PLANILLA"},
      {"Definición de Tipos de Columnas", 2502, "DEF_TIP", "DEF_TIP"},
      {"Definición de Provisiones", 2729, "D_T_PROV", "D_T_PROV"},
      {"Definición de Departamentos", 2503, "BROW_DTO", "BROW_DTO"},
      {"Control de Procesos Contables", 4503, "DEP_CHK", "DEP_CHK"},
      {"Asignar Jornada Laboral", 2990, "ASIG_JOR", "ASIG_JOR"},
      {"Definición de Tipo de Salarios", 6347, "TIPO_SAL", "TIPO_SAL"},
      kSep,
      {"Definición de Tipos de Vacaciones", 3937, "DEF_VAC", "DEF_VAC"},
      kSep,
      {"Definición de Tipos de Planillas", 2504, "TIPO_PLA", "DEF_TIPO_PLA"},
      {"Definición de Transacción Bancaria", 2512, "DEF_TRAN", "DEF_TRAN"},
      {"Definición de Tipos Transferencia", 2505, "TIP_TRAN", "TIP_TRAN"},
      {"Definición de Jornada de Trabajo", 2506, "TIEMPO_E", "TIEMPO_E"},
      {"Definición de Puestos", 2662, "PUESTOS", "PUESTOS"},
      {"Definición de Ocupaciones", 2674, "OCUPA", "OCUPA"},
      {"Definición de Tipos de Empleados", 2689, "TIP_EMP", "TIP_EMP"},
      kSep,
      {"Acciones de Personal",
       0,
       "",
       "",
       false,
       {{"Acciones de Personal Sencillas",
         0,
         "",
         "",
         false,
         {{"Definición de Tipos de Acciones", 2693, "ACCION_E", "ACCION_E"}}},
        {"Acciones de Personal Personalizadas",
         0,
         "",
         "",
         false,
         {{"Definición de Tipos de Acciones", 4108, "ACC_PERS", "ACC_PERS"},
          {"Definición de Etapas para las Acciones de Personal", 5106, "ETAP_PLA", "ETAP_PLA"},
          {"Encargados de Autorizar las Acciones de Personal", 4102, "AUTO_PLA", "AUTO_PLA"}}}}},
      {"Pruebas y Evaluaciones",
       0,
       "",
       "",
       false,
       {{"Definición de Tipos de Pruebas", 6465, "TIP_PRUE", "TIP_PRUE"},
        {"Definición de Perfiles de Evaluación", 6473, "PERF_EVA", "PERF_EVA"}}},
      kSep,
      {"Crear Formato de Reportes", 2609, "ENC_REPP", "DEF_REPC"},
      {"Definición Columnas Reporte de Horas por Puesto", 5673, "DEF_R_HO", "DEF_R_HO"},
      kSep,
      {"Definición de Conceptos de Abono a Deuda", 2666, "CONCEPTD", "CONCEPTD"},
      {"Definición de Conceptos de Transacción", 2702, "CONCEPTT", "CONCEPTT"},
      kSep,
      {"Definición de Centros de Costos", 3413, "DEF_CC", "DEF_CC"},
      {"Definición de Tablas de Distribución", 3501, "DEF_DIST", "DEF_DIST"},
      {"Distribución de Gastos de Planilla", 3417, "EXPORT_C", "EXPORT_C"},
      {"Conjuntos para Comprobante de Pago", 5127, "DEF_GRP", "DEF_GRP"},
      {"Formatos para Constancia Salarial", 3900, "DF_CST", "DF_CST"},
      kSep,
      {"Definición de Clasificaciones de Documentos", 4476, "D_CLA_DC", "D_CLA_DC"},
      {"Definición de Firmas Digitales", 3656, "USR_REQ", "USR_REQ"},
      kSep,
      {"Definición de Formatos para Listado Empleados", 4492, "D_LI_EMP", "D_LI_EMP"},
      kSep,
      {"Definición de Paises", 4736, "PL_PAIS", "PL_PAIS"},
      {"Definición de Etnias", 4740, "T_ETNIA", "T_ETNIA"},
      {"Definición de Ubicación de Nacimiento", 4744, "UBIC_NAC", "UBIC_NAC"},
      {"Definición de tipo de Contrato", 4748, "T_CONTRA", "T_CONTRA"},
      {"Definición de Idiomas", 4752, "PL_IDIOM", "PL_IDIOM"},
      {"Definición de Regiones para Ubicación", 4780, "REG_NAC", "REG_NAC"},
      kSep,
      {"Mapeo de Ligas contables por Puesto", 5291, "MAP_PLA", "MAP_PLA"},
  };
}

std::vector<MenuDef> Other() {
  return {
      {"Ajuste Negativo para Aguinaldo", 4676, "AJUST_AG", "AJUST_AG"},
      {"Iniciar Planilla", 2501, "INIT_PLA", "INIT_PLA"},
      {"Añadir Columnas a Planillas Históricas", 2728, "ADD_COL", "ADD_COL"},
      {"Agregar Columna Informativa", 4092, "ADD_COL3", "ADD_COL3"},
      {"Agregar Columna a Departamentos", 4502, "ADD_COL4", "ADD_COL4"},
      {"Recalculo de Resumen de Columnas Históricas", 4507, "REC_HIST", "REC_HIST"},
      {"Recalculo de Costo por Hora Promedio Histórico", 4606, "REC_HIS2", "REC_HIS2"},
      {"Aumentar Valor a Columna", 2988, "RECALC_C", "RECALC_C"},
      {"Ajuste de Transacciones", 2891, "AJUSTE_C", "AJUSTE_C"},
      {"Recalculo de Totales Históricos", 4504, "CALC_GRP", "CALC_GRP"},
      {"Definición Columnas Edición x Departamento", 4514, "DEF_CH_C", "DEF_CH_C"},
      kSep,
      {"Pasar Empleados de Negocio", 0, "COPY_EMP", "COPY_EMP"},
      kSep,
      {"Optimizar Base de Datos", 2508, "OPT_PLA", "OPT_PLA", true},
      kSep,
      {"Definiciones Básicas para Asiento S.A.P", 4209, "AS_SAP", "AS_SAP"},
      {"Creación de Asiento S.A.P", 4210, "CREA_SAP", "CREA_SAP"},
      kSep,
      {"Configuracion para Archivo de Informe del Empleador", 4756, "ARC_INF", "ARC_INF"},
  };
}

const MenuDef* FindDef(const std::vector<MenuDef>& defs, const std::string& screen) {
  for (const auto& d : defs) {
    if (d.screen == screen && d.right != 0) return &d;
    if (const MenuDef* found = FindDef(d.items, screen)) return found;
  }
  return nullptr;
}

}  // namespace

const std::vector<MenuDef>& MaintenanceMenu() {
  static const std::vector<MenuDef> m = Maintenance();
  return m;
}

const std::vector<MenuDef>& ProgramPopups() {
  static const std::vector<MenuDef> p = {
      {"Servicios Adicionales", 0, "", "", false, Additional()},
      {"Otros Servicios", 0, "", "", false, Other()},
  };
  return p;
}

int RightOfScreen(const std::string& screen) {
  const MenuDef* d = FindScreenMenu(screen);
  return d ? d->right : 0;
}

const MenuDef* FindScreenMenu(const std::string& screen) {
  if (const MenuDef* d = FindDef(MaintenanceMenu(), screen)) return d;
  return FindDef(ProgramPopups(), screen);
}

}  // namespace qz
