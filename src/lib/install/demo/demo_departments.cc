// Departments of the demo with their column layouts (three sections, a set of
// overtime columns), provisions, cost-centre splits and accounting links.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

struct DeptSpec {
  const char* code;
  const char* descrip;
  const char* type;  // payroll type
  std::vector<const char*> positions;
  std::vector<const char*> extra;  // salary columns beyond the common ones
  std::vector<std::pair<const char*, double>> centres;
};

const std::vector<DeptSpec>& Specs() {
  static const std::vector<DeptSpec> kSpecs = {
      {"ADM", "Administración", "01", {"GERE", "CONT", "RRHH", "ASIS"}, {"06"}, {{"CC-ADM", 100}}},
      {"REC", "Recepción", "02", {"RECE", "CONS", "BOTO"}, {"04", "07"}, {{"CC-REC", 100}}},
      {"AYB",
       "Alimentos y Bebidas",
       "02",
       {"MESE", "BART"},
       {"05", "07"},
       {{"CC-REST", 60}, {"CC-BAR", 40}}},
      {"COC", "Cocina", "03", {"CHEF", "COCI", "AYCO"}, {"14", "07"}, {{"CC-COC", 100}}},
      {"AMA", "Ama de Llaves", "02", {"SUPA", "CAMA"}, {"07"}, {{"CC-AMA", 100}}},
      {"MAN", "Mantenimiento", "03", {"TECN", "JARD"}, {"14"}, {{"CC-MAN", 80}, {"CC-ADM", 20}}},
      {"SEG", "Seguridad", "03", {"OFSE"}, {"04", "07"}, {{"CC-SEG", 100}}},
      {"VEN", "Ventas y Mercadeo", "01", {"EJVE"}, {"05"}, {{"CC-VEN", 100}}}};
  return kSpecs;
}

// Salary section: base, the overtime set, the department's own columns,
// vacations and the step bonus; then the deductions and the rebates.
std::vector<LayoutColumn> Layout(const DeptSpec& d) {
  std::vector<LayoutColumn> l = {{"01", "01", ""}, {"01", "02", " 1"}, {"01", "03", " 1"}};
  for (const char* col : d.extra) l.push_back({"01", col, ""});
  for (const char* col : {"08", "31", "40", "23", "24", "25", "50"}) l.push_back({"01", col, ""});
  for (const char* col : {"20", "21", "22", "30", "41"}) l.push_back({"02", col, ""});
  for (const char* col : {"09", "10", "11", "12", "13"}) l.push_back({"03", col, ""});
  return l;
}

const char* const kCentres[][2] = {{"CC-ADM", "Administración general"},
                                   {"CC-REC", "Recepción y reservas"},
                                   {"CC-REST", "Restaurante"},
                                   {"CC-BAR", "Bar y piscina"},
                                   {"CC-COC", "Cocina central"},
                                   {"CC-AMA", "Habitaciones"},
                                   {"CC-MAN", "Mantenimiento y jardines"},
                                   {"CC-SEG", "Seguridad"},
                                   {"CC-VEN", "Ventas"}};

// Accounting links of the payroll module ("06" padded to the field).
const char* const kLinks[][3] = {{"PL-SALARIO", "Gasto de salarios", "5-01-01-001"},
                                 {"PL-EXTRAS", "Gasto de tiempo extra", "5-01-01-002"},
                                 {"PL-CCSS", "CCSS por pagar", "2-01-04-001"},
                                 {"PL-RENTA", "Impuesto de renta retenido", "2-01-04-002"},
                                 {"PL-PREST", "Préstamos a empleados", "1-01-05-001"},
                                 {"PL-PROVAG", "Provisión de aguinaldo", "2-01-05-001"},
                                 {"PL-PROVVA", "Provisión de vacaciones", "2-01-05-002"},
                                 {"PL-PROVCE", "Provisión de cesantía", "2-01-05-003"},
                                 {"PL-EFECT", "Salarios por pagar", "2-01-03-001"},
                                 {"PL-RETDB", "Retenciones temporales (débito)", "1-01-05-002"},
                                 {"PL-RETCR", "Retenciones temporales (crédito)", "2-01-03-002"},
                                 {"PL-AJUSTE", "Ajuste por redondeo", "5-01-09-001"}};

const char* LinkOf(const ColumnType& t) {
  if (t.code == "10") return "PL-PREST";
  if (t.code == "30") return "PL-RENTA";
  if (t.code == "20" || t.code == "21") return "PL-CCSS";
  if (t.dependent) return "PL-EXTRAS";
  if (t.sign == 1) return "PL-SALARIO";
  return "PL-EFECT";
}

xb::Status AddAccounting(Context& c, const std::string& n) {
  for (const auto& cc : kCentres)
    XB_RETURN_IF_ERROR(c.Add("C_COSTOS", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", cc[0]).Set("DESCRIP", cc[1]).Set("PREFIJO", "01");
    }));
  for (const auto& l : kLinks) {
    XB_RETURN_IF_ERROR(c.Add(
        "CUENTAS", [&](Row& r) { r.Set("NEGOCIO", n).Set("CUENTA", l[2]).Set("DESCRIP", l[1]); }));
    XB_RETURN_IF_ERROR(c.Add("LIGAS", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("MODULO", "06").Set("CODIGO", l[0]).Set("DESCRIP", l[1]);
      // Expenses and what employees owe are debits; what is owed to them,
      // to the state or to the funds, and what they pay back, credits.
      const std::string code = l[0];
      const bool debit = code == "PL-SALARIO" || code == "PL-EXTRAS" || code == "PL-RETDB" ||
                         code == "PL-AJUSTE";
      r.Set("CUENTA", l[2]).Set("TIPO", debit ? 1 : 0);
    }));
  }
  // Distribution tables for shared costs.
  const std::vector<
      std::tuple<const char*, const char*, std::vector<std::pair<const char*, double>>>>
      tables = {{"0001", "Alimentos y bebidas", {{"CC-REST", 60}, {"CC-BAR", 40}}},
                {"0002", "Áreas comunes", {{"CC-REC", 50}, {"CC-AMA", 30}, {"CC-MAN", 20}}}};
  for (const auto& [code, descrip, lines] : tables) {
    XB_RETURN_IF_ERROR(c.Add("E_COSTO", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip);
    }));
    for (const auto& [centre, pct] : lines)
      XB_RETURN_IF_ERROR(c.Add("D_COSTO", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", code).Set("COD_CENTRO", centre).Set("PORCENTAJE", pct);
      }));
  }
  return xb::Status::OK();
}

xb::Status AddDepartment(Context& c, const Business& b, const Department& d) {
  const std::string& n = b.code;
  XB_RETURN_IF_ERROR(c.Add("ENC_DEPT", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", d.code).Set("DESCRIP", d.descrip);
    r.Set("TIPO", d.payroll_type).Set("MONEDA", d.currency);
    r.Set("HORA_INI", "07:00:00").Set("HORA_FIN", "17:00:00").Set("UNIDAD", 30);
    r.Set("INACTIVO", 0).Set("TOT_SAL", 1).Set("PIC_SAL", "999,999,999.99");
    r.Set("ROT_T_SAL", "Total Salario").Set("TOT_DED", 1).Set("PIC_DED", "999,999,999.99");
    r.Set("ROT_T_DED", "Total Deducciones").Set("TOT_REB", 1).Set("PIC_REB", "999,999,999.99");
    r.Set("ROT_T_REB", "Total Rebajos").Set("LOGO_COMP", 1).Set("LOGO_FILE", "KORVALIS.BMP");
    r.Set("FIN_LIQ", "Gracias por sus servicios.").Set("LIGA_CONT", "PL-EFECT");
    r.Set("DEB_RET", "PL-RETDB").Set("CRED_RET", "PL-RETCR");
    r.Set("C_COSTO", d.centres.front().first).Set("SERIAL", 1).Set("SERIAL_EMP", "EMPLEADOS");
    r.Set("CECOS", d.centres.front().first);  // the SAP journal's cost centre
    r.Set("CANT_PERS", 60).Set("H_EXTRA", "02").Set("EXTRA_APLI", 1);
    r.Set("H_DOBLES", "03").Set("DOBLE_APLI", 1).Set("H_TRABAJA", "01").Set("TRABA_APLI", 1);
  }));
  // Row numbers run across sections; a set takes one position in its section.
  int row = 0;
  std::map<std::string, int> position;
  std::map<std::string, bool> set_placed;
  for (const auto& l : d.layout) {
    int orden = 0;
    if (l.set.empty()) {
      orden = ++position[l.section];
    } else if (!set_placed[l.section + l.set]) {
      set_placed[l.section + l.set] = true;
      int set_orden = ++position[l.section];
      XB_RETURN_IF_ERROR(c.Add("CONJ_COL", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("DEPTO", d.code).Set("TIPO", l.section).Set("CODIGO", l.set);
        r.Set("DESCRIP", "Tiempo Extraordinario").Set("PICTURE", "999,999,999.99");
        r.Set("COD_TOTAL", "Total Extras").Set("ORDEN", set_orden);
      }));
    }
    const ColumnType* t = c.Column(l.column);
    XB_RETURN_IF_ERROR(c.Add("DET_DEPT", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("DEPTO", d.code).Set("TIPO", l.section).Set("COD_COLUMN", l.column);
      r.Set("CODIGO", ++row).Set("ORDEN", orden).Set("COD_CONJ", l.set.empty() ? "0" : l.set);
      r.Set("LIGA_CONTA", t && t->kind != 4 && !t->info ? LinkOf(*t) : "");
    }));
  }
  int provision = 0;
  for (const auto& [type, pct, link] : std::vector<std::tuple<const char*, double, const char*>>{
           {"01", 8.33, "PL-PROVAG"}, {"02", 4.17, "PL-PROVVA"}, {"03", 5.33, "PL-PROVCE"}})
    XB_RETURN_IF_ERROR(c.Add("DET_DEP2", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("DEPTO", d.code).Set("CODIGO", ++provision).Set("TIPO", type);
      r.Set("PORCENTAJE", pct).Set("LIGA", link).Set("TIPO_EMP", 0);
      r.Set("DESCRIP", std::string("Provisión ") + (type == std::string("01")   ? "de aguinaldo"
                                                    : type == std::string("02") ? "de vacaciones"
                                                                                : "de cesantía"));
    }));
  for (const auto& [centre, pct] : d.centres)
    XB_RETURN_IF_ERROR(c.Add("DET_DEP3", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("DEPTO", d.code).Set("COD_CENTRO", centre).Set("PORCENTAJE", pct);
    }));
  return xb::Status::OK();
}

}  // namespace

xb::Status AddDepartments(Context& c) {
  for (const auto& s : Specs()) {
    Department d;
    d.code = s.code, d.descrip = s.descrip, d.payroll_type = s.type, d.currency = "CR";
    for (const char* p : s.positions) d.positions.push_back(p);
    d.layout = Layout(s);
    for (const auto& [centre, pct] : s.centres) d.centres.push_back({centre, pct});
    c.departments[d.code] = d;
  }
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(AddAccounting(c, b.code));
    for (const auto& code : b.departments) {
      auto it = c.departments.find(code);
      if (it == c.departments.end())
        return xb::Status::InvalidArgument("demo: no department " + code);
      XB_RETURN_IF_ERROR(AddDepartment(c, b, it->second));
    }
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
