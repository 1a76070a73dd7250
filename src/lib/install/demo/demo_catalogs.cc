// The small catalogs of the demo: schedules, positions and occupations, the
// employee classifications, banks and transfer types, debt concepts,
// provisions, vacation rules, and the accounting side (centres, links).
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

struct Item {
  const char* code;
  const char* descrip;
};

xb::Status AddSimple(Context& c, const std::string& business, const char* table,
                     const std::vector<Item>& items) {
  for (const auto& i : items)
    XB_RETURN_IF_ERROR(c.Add(table, [&](Row& r) {
      r.Set("NEGOCIO", business).Set("CODIGO", i.code).Set("DESCRIP", i.descrip);
    }));
  return xb::Status::OK();
}

struct Position {
  const char* code;
  const char* descrip;
  const char* occupation;
  double low, high;  // monthly salary, colones
};
const Position kPositions[] = {{"GERE", "Gerente General", "1120", 2600000, 3400000},
                               {"CONT", "Contador General", "2411", 1250000, 1650000},
                               {"ASIS", "Asistente Administrativo", "4110", 560000, 720000},
                               {"RRHH", "Encargada de Recursos Humanos", "2412", 950000, 1200000},
                               {"RECE", "Recepcionista", "4222", 520000, 640000},
                               {"BOTO", "Botones", "9152", 430000, 480000},
                               {"CONS", "Conserje", "4222", 560000, 680000},
                               {"MESE", "Salonero", "5123", 440000, 520000},
                               {"BART", "Bartender", "5123", 480000, 580000},
                               {"CHEF", "Chef Ejecutivo", "3434", 1400000, 1900000},
                               {"COCI", "Cocinero", "5120", 520000, 650000},
                               {"AYCO", "Ayudante de Cocina", "9412", 430000, 470000},
                               {"CAMA", "Camarera de Habitaciones", "9111", 430000, 490000},
                               {"SUPA", "Supervisora de Ama de Llaves", "5151", 620000, 760000},
                               {"TECN", "Técnico de Mantenimiento", "7411", 560000, 720000},
                               {"JARD", "Jardinero", "9214", 430000, 470000},
                               {"OFSE", "Oficial de Seguridad", "5414", 480000, 560000},
                               {"EJVE", "Ejecutivo de Ventas", "3322", 700000, 950000}};

const Item kOccupations[] = {{"1120", "Directores y gerentes generales"},
                             {"2411", "Contadores"},
                             {"2412", "Especialistas en recursos humanos"},
                             {"4110", "Oficinistas generales"},
                             {"4222", "Empleados de recepción"},
                             {"9152", "Porteros y botones"},
                             {"5123", "Camareros y bármanes"},
                             {"3434", "Jefes de cocina"},
                             {"5120", "Cocineros"},
                             {"9412", "Ayudantes de cocina"},
                             {"9111", "Limpiadores de hoteles"},
                             {"5151", "Supervisores de limpieza"},
                             {"7411", "Electricistas y técnicos"},
                             {"9214", "Peones de jardinería"},
                             {"5414", "Guardias de seguridad"},
                             {"3322", "Representantes comerciales"}};

}  // namespace

xb::Status AddCatalogs(Context& c) {
  c.schedules = {{"01", "Jornada Diurna (8 horas)", 8},
                 {"02", "Jornada Mixta (7 horas)", 7},
                 {"03", "Jornada Nocturna (6 horas)", 6},
                 {"04", "Medio Tiempo (4 horas)", 4}};
  for (const auto& p : kPositions) {
    c.pay_scale[p.code] = {p.low, p.high};
    c.occupation[p.code] = p.occupation;
  }
  for (const auto& b : c.businesses) {
    const std::string& n = b.code;
    for (const auto& s : c.schedules)
      XB_RETURN_IF_ERROR(c.Add("TIEMPO_E", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", s.code).Set("DESCRIP", s.descrip).Set("FACTOR", s.hours);
      }));
    for (const auto& p : kPositions)
      XB_RETURN_IF_ERROR(c.Add("PUESTOS", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", p.code).Set("DESCRIP", p.descrip).Set("HORAS_DIA", 8);
        r.Set("TIPO_PRES", 0).Set("SEMANA", "  2  3 ");
        r.Set("PRES_EMP1", 1).Set("PRES_EMP2", 2).Set("PRES_EMP3", 3);
      }));
    for (const auto& o : kOccupations)
      XB_RETURN_IF_ERROR(c.Add("T_OCUPA", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", o.code).Set("DESCRIP", o.descrip);
        r.Set("XCODIGO", std::string("CIUO-") + o.code);
      }));
    XB_RETURN_IF_ERROR(AddSimple(c, n, "TIP_EMP",
                                 {{"01", "Permanente"},
                                  {"02", "Temporal"},
                                  {"03", "Por temporada"},
                                  {"04", "Practicante"}}));
    XB_RETURN_IF_ERROR(AddSimple(c, n, "BANCOS",
                                 {{"01", "Banco Nacional de Costa Rica"},
                                  {"02", "Banco de Costa Rica"},
                                  {"03", "BAC Credomatic"}}));
    XB_RETURN_IF_ERROR(c.Add("CUEN_LIB", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("BANCO", "01").Set("CUENTA", "100-01-0123456");
      r.Set("DESCRIP", "Cuenta corriente planillas").Set("MONEDA", "CR").Set("SERIAL", "CHEQUES");
    }));
    XB_RETURN_IF_ERROR(c.Add("PROVEE", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "PLANILLA").Set("NOMBRE", "Planilla de empleados");
      r.Set("LEE_NOM", 1);
    }));
    for (const auto& [code, bank, descrip] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"01", "01", "Transferencia Banco Nacional"},
             {"02", "02", "Transferencia Banco de Costa Rica"}})
      XB_RETURN_IF_ERROR(c.Add("TIP_TRAN", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("SUCURSAL", "001");
        r.Set("CUENTA", "100-01-0123456").Set("TIP_ARCH", 1).Set("ORDEN", 1);
        r.Set("MONEDA", "CR").Set("COD_PATRON", b.employer_id).Set("BANCO_CHE", bank);
        r.Set("ENCABEZADO", "Planilla " + b.name).Set("DESPEDIDA", "Fin del archivo");
        r.Set("F_VERSION", 1).Set("CHEQUE", 0).Set("CTA_X_EMP", 1).Set("DIGITO", "7");
        r.Set("COD_BANCO", bank == std::string("01") ? "151" : "152").Set("ID_BANCO", bank);
        r.Set("TXT_EMPRES", b.name).Set("ID_EMPRESA", b.employer_id).Set("TIPO_ID", "02");
        r.Set("SERIAL", "CHEQUES").Set("TIPO_CTA", 0).Set("CUENTA_CHE", "100-01-0123456");
        r.Set("TXT_REPORT", "Detalle de la transferencia de salarios");
      }));
    for (const auto& [code, bank, descrip] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"TRF-PLANILLA", "01", "Transferencia de salarios"},
             {"TRF-AGUINALDO", "01", "Transferencia de aguinaldo"},
             {"DEP-CUENTA", "01", "Depósito a cuenta de ahorros"},
             {"BCR-PLANILLA", "02", "Pago de planilla BCR"},
             {"BCR-SINPE", "02", "Transferencia SINPE"},
             {"BAC-PLANILLA", "03", "Planilla BAC"}})
      XB_RETURN_IF_ERROR(c.Add("TRANS_B", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("BANCO", bank).Set("DESCRIP", descrip);
      }));
    // Debts: a loan is a transaction of concept 01, paid back by payroll.
    XB_RETURN_IF_ERROR(c.Add("CONCEPTT", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("DESCRIP", "Préstamo personal");
      r.Set("SERIAL", "PRESTAMO").Set("TIPO", 1);
    }));
    XB_RETURN_IF_ERROR(c.Add("CONCEPTD", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("DESCRIP", "Abono por planilla");
      r.Set("SERIAL", "ABONO").Set("AFECTA", 0).Set("APLICA", 1);
    }));
    for (const auto& [code, descrip, vac] : std::vector<std::tuple<const char*, const char*, int>>{
             {"01", "Aguinaldo", 0}, {"02", "Vacaciones", 1}, {"03", "Cesantía", 0}})
      XB_RETURN_IF_ERROR(c.Add("T_PROV", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("IMP_REP", 1);
        r.Set("AGUINALDO", code == std::string("01") ? 1 : 0).Set("FINAL_MES", 1);
        r.Set("CARGAR_VAC", vac).Set("R_PICTURE", "999,999,999.99").Set("R_ROTULO", descrip);
      }));
    int order = 1;
    for (const auto& [code, descrip, sign] : std::vector<std::tuple<const char*, const char*, int>>{
             {"01", "Ingresos", 0}, {"02", "Horas extra", 0}, {"03", "Deducciones", 1}})
      XB_RETURN_IF_ERROR(c.Add("GRP_CMP", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip);
        r.Set("PICTURE", "999,999,999.99")
            .Set("ORDEN", order++)
            .Set("DETALLE", 1)
            .Set("TIPO", sign);
      }));
    XB_RETURN_IF_ERROR(AddSimple(c, n, "PL_PAIS",
                                 {{"CR", "Costa Rica"},
                                  {"NI", "Nicaragua"},
                                  {"PA", "Panamá"},
                                  {"CO", "Colombia"},
                                  {"VE", "Venezuela"}}));
    XB_RETURN_IF_ERROR(AddSimple(
        c, n, "T_ETNIA",
        {{"01", "No indica"}, {"02", "Mestiza"}, {"03", "Afrodescendiente"}, {"04", "Indígena"}}));
    XB_RETURN_IF_ERROR(AddSimple(
        c, n, "T_CONTRA", {{"01", "Tiempo indefinido"}, {"02", "Plazo fijo"}, {"03", "Por obra"}}));
    XB_RETURN_IF_ERROR(
        AddSimple(c, n, "PL_IDIOM",
                  {{"ES", "Español"}, {"EN", "Inglés"}, {"FR", "Francés"}, {"DE", "Alemán"}}));
    int number = 1;
    for (const auto& i : std::vector<Item>{{"SJ", "San José"},
                                           {"AL", "Alajuela"},
                                           {"CA", "Cartago"},
                                           {"HE", "Heredia"},
                                           {"GU", "Guanacaste"},
                                           {"PU", "Puntarenas"},
                                           {"LI", "Limón"}})
      XB_RETURN_IF_ERROR(c.Add("REG_NAC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", i.code).Set("DESCRIP", i.descrip).Set("NUMERO", number++);
      }));
    for (const auto& [code, descrip, region] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"01", "San José centro", "SJ"},
             {"02", "Liberia", "GU"},
             {"03", "Nicoya", "GU"},
             {"04", "San Carlos", "AL"},
             {"05", "Puntarenas centro", "PU"}})
      XB_RETURN_IF_ERROR(c.Add("UBIC_NAC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("REGION", region);
      }));
    for (const auto& [code, descrip, raise] :
         std::vector<std::tuple<const char*, const char*, double>>{
             {"MIN", "Salario mínimo de ley", 2.5},
             {"ESC", "Salario por escala", 3.125},
             {"GER", "Salario gerencial", 1.75}})
      XB_RETURN_IF_ERROR(c.Add("TIPO_SAL", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("AUMENTO", raise);
      }));
    // Evaluation tests, numbered with the payroll module's serial PRUEBAS.
    XB_RETURN_IF_ERROR(c.Add("SERIALES", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "PRUEBAS").Set("MODULO", "06");
      r.Set("DESCRIP", "Pruebas y evaluaciones").Set("NUMERO", 0).Set("NUMERO2", 999999);
      r.Set("JUSTIFICA", 0).Set("INDENT", 5).Set("PREFIJO", "PE-");
    }));
    for (const auto& [code, descrip] : std::vector<std::pair<const char*, const char*>>{
             {"PSIC", "Prueba psicométrica"},
             {"TECN", "Prueba técnica del puesto"},
             {"IDIO", "Prueba de idiomas"}})
      XB_RETURN_IF_ERROR(c.Add("TIP_PRUE", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip);
        r.Set("COD_SERIAL", "PRUEBAS");
      }));
    XB_RETURN_IF_ERROR(c.Add("ENC_VAC", [&](Row& r) {
      r.Set("NEGOCIO", n)
          .Set("CODIGO", "LEY")
          .Set("DESCRIP", "Vacaciones de ley")
          .Set("DEFAULT", 1);
    }));
    for (const auto& [months, per_month, per_year] :
         std::vector<std::tuple<double, double, double>>{{0, 1, 12}, {60, 1.25, 15}})
      XB_RETURN_IF_ERROR(c.Add("DET_VAC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", "LEY").Set("MES", months).Set("D_MES", per_month);
        r.Set("D_ANHO", per_year);
      }));
    for (const auto& [code, descrip, field] :
         std::vector<std::tuple<const char*, const char*, const char*>>{
             {"01", "Aumento de salario", "SALARIO"},
             {"02", "Traslado de departamento", "DEPTO"},
             {"03", "Cambio de puesto", "PUESTO"},
             {"04", "Cambio de horario", "HORARIO"}})
      XB_RETURN_IF_ERROR(c.Add("TIP_ACC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set(field, 1);
        r.Set("IMP_SAL", 1).Set("SERIAL", "ACCIONES").Set("ETAPA_INI", "0001");
      }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
