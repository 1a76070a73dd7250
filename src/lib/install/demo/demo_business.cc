// Businesses of the demo hotel group, their users with rights and profiles,
// and the installation's mail parameters.
#include <algorithm>
#include <set>

#include "lib/install/demo/demo_context.h"
#include "lib/security/passwords.h"

namespace qz::demo {
namespace {

constexpr int kFirstMenuId = 2000, kLastMenuId = 7000;

// Payroll menu entries and the "Editar" entries of their screens.
std::set<int> PayrollRights() {
  std::set<int> ids = {2500, 2501, 2502, 2503, 2504, 2505, 2506, 2512, 2609, 2662, 2666,
                       2674, 2689, 2693, 2702, 2728, 2729, 2765, 2891, 2904, 2988, 2990,
                       3413, 3417, 3501, 3567, 3900, 3937, 4092, 4102, 4108, 4476, 4492,
                       4502, 4503, 4504, 4507, 4514, 4606, 4676, 4736, 4740, 4744, 4748,
                       4752, 4780, 5106, 5127, 5291, 5673, 6347, 6465, 6473};
  const int ranges[][2] = {{2419, 2437}, {2509, 2511}, {2610, 2612}, {2663, 2669}, {2675, 2678},
                           {2690, 2696}, {2703, 2705}, {2730, 2732}, {3568, 3570}, {3901, 3903},
                           {3938, 3944}, {4737, 4755}, {4781, 4783}, {6348, 6350},
                           {4099, 4105}, {4109, 4111}, {6474, 6476}};
  for (const auto& r : ranges)
    for (int id = r[0]; id <= r[1]; ++id) ids.insert(id);
  return ids;
}

// Look, do not touch: the definition lists and the own password.
std::set<int> ReadOnlyRights() {
  return {2500, 2502, 2503, 2504, 2506, 2662, 2674, 2904};
}

struct User {
  int code;
  const char* login;
  const char* full_name;
  const char* abbreviation;
  bool supervisor;
};
const User kUsers[] = {{1, "SUPER", "Supervisor del Sistema", "SUP", true},
                       {2, "PLANILLA", "Encargada de Planillas", "PLA", false},
                       {3, "CONSULTA", "Auditoría Interna", "AUD", false}};

xb::Status AddRights(Context& c, const char* table, const std::string& business, int code,
                     const std::function<bool(int)>& granted) {
  for (int id = kFirstMenuId; id <= kLastMenuId; ++id)
    XB_RETURN_IF_ERROR(c.Add(table, [&](Row& r) {
      r.Set("NEGOCIO", business).Set("CODIGO", code).Set("ID", id).Set("CHECK_ID", granted(id));
    }));
  return xb::Status::OK();
}

xb::Status AddUsers(Context& c, const Business& b) {
  int count = 0;
  const DemoLogin* logins = DemoLogins(&count);
  const std::set<int> payroll = PayrollRights(), read_only = ReadOnlyRights();
  for (const User& u : kUsers) {
    const DemoLogin* login = std::find_if(
        logins, logins + count, [&](const DemoLogin& l) { return std::string(l.name) == u.login; });
    if (login == logins + count || !StorablePassword(login->password))
      return xb::Status::InvalidArgument(std::string("demo user ") + u.login +
                                         " has no storable password");
    std::string stamp = "instalador / demo " + std::to_string(c.today().day()) + "/" +
                        std::to_string(c.today().month()) + "/" + std::to_string(c.today().year()) +
                        " 08:00:00";
    XB_RETURN_IF_ERROR(c.Add("USUARIOS", [&](Row& r) {
      std::string lower = u.login;
      std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
      r.Set("NEGOCIO", b.code).Set("CODIGO", u.code).Set("USUARIO", u.full_name);
      r.Set("NOMBRE", u.login).Set("ABREVIA", u.abbreviation);
      r.Set("PASSWORD", ENCRYPT_STRING(login->password)).Set("ADASIPA", 1);
      r.Set("SUPERVISOR", u.supervisor ? 1 : 0).Set("PERMISO1", 1).Set("BLOQUEADO", 0);
      r.Set("NO_SALIR", u.supervisor ? 1 : 0).Set("BUTTONSTYL", 0).Set("IDIOMA", 0);
      r.Set("F_CLAVE", c.today()).Set("H_CLAVE", "08:00:00").Set("INFO_CLAVE", stamp);
      r.Set("EMAIL", lower + "@" + b.city + ".demo.test");
      r.Set("USERNAME", u.full_name).Set("USERADDR", lower + "@" + b.city + ".demo.test");
    }));
    auto granted = [&](int id) {
      if (u.supervisor) return true;
      return u.code == 2 ? payroll.count(id) > 0 : read_only.count(id) > 0;
    };
    XB_RETURN_IF_ERROR(AddRights(c, "MENUS", b.code, u.code, granted));
  }
  // Profiles to hand out: what the payroll clerk and the auditor may do.
  XB_RETURN_IF_ERROR(c.Add("PERFILES", [&](Row& r) {
    r.Set("NEGOCIO", b.code).Set("CODIGO", 1).Set("DESCRIP", "Planillas (definiciones y procesos)");
  }));
  XB_RETURN_IF_ERROR(AddRights(c, "DET_PERF", b.code, 1, [&](int id) { return payroll.count(id) > 0; }));
  XB_RETURN_IF_ERROR(c.Add("PERFILES", [&](Row& r) {
    r.Set("NEGOCIO", b.code).Set("CODIGO", 2).Set("DESCRIP", "Consulta de definiciones");
  }));
  return AddRights(c, "DET_PERF", b.code, 2, [&](int id) { return read_only.count(id) > 0; });
}

// The rights catalogue the rights tree is drawn from: an entry's right is
// menu id 2300 + its number; children have a blank area and point at their
// parent's number.
xb::Status AddRightsCatalogue(Context& c) {
  struct Entry {
    const char* module;
    int pointer, n_id;
    const char* descrip;
  };
  const Entry entries[] = {
      {"06", 0, 200, "Definición de Parámetros"},
      {"06", 0, 201, "Iniciar Planilla"},
      {"06", 0, 202, "Definición de Tipos de Columnas"},
      {"  ", 202, 119, "Agregar Tipo"},
      {"  ", 202, 120, "Modificar Tipo"},
      {"  ", 202, 121, "Borrar Tipo"},
      {"06", 0, 203, "Definición de Departamentos"},
      {"  ", 203, 122, "Agregar Departamento"},
      {"  ", 203, 123, "Modificar Departamento"},
      {"  ", 203, 124, "Borrar Departamento"},
      {"  ", 203, 465, "Duplicar Departamento"},
      {"06", 0, 204, "Definición de Tipos de Planillas"},
      {"  ", 204, 128, "Agregar Tipo de Planilla"},
      {"  ", 204, 129, "Modificar Tipo de Planilla"},
      {"  ", 204, 130, "Borrar Tipo de Planilla"},
      {"06", 0, 362, "Definición de Puestos"},
      {"  ", 362, 363, "Agregar"},
      {"  ", 362, 364, "Modificar"},
      {"  ", 362, 365, "Borrar"},
      {"06", 0, 374, "Definición de Ocupaciones"},
      {"  ", 374, 375, "Agregar ocupación"},
      {"  ", 374, 376, "Modificar ocupación"},
      {"  ", 374, 378, "Borrar ocupación"},
      {"06", 0, 1117, "Distribución de Gastos de Planilla"},
      {"21", 0, 604, "Cambio de Clave de Acceso"},
      {"21", 0, 483, "Definición de Monedas"},
      {"21", 0, 288, "Log de Errores Registrados"},
      {"21", 0, 290, "Log de Entradas Registradas"},
  };
  for (const Entry& e : entries)
    XB_RETURN_IF_ERROR(c.Add("DERECHOS", [&](Row& r) {
      r.Set("MODULO", e.module).Set("POINTER", e.pointer).Set("N_ID", e.n_id);
      r.Set("DESCRIP", e.descrip);
    }));
  return xb::Status::OK();
}

}  // namespace

xb::Status AddBusinesses(Context& c) {
  // Shares of the employees: the beach resort is the largest.
  const int total = c.options().employees;
  c.businesses = {{"HOTELSOL",
                   "Hotel Playa Sol",
                   "Inversiones Playa Sol S.A.",
                   "playasol",
                   "3-101-245871",
                   total * 14 / 30,
                   {"ADM", "REC", "AYB", "COC", "AMA", "MAN", "SEG", "VEN"}},
                  {"VOLCAN",
                   "Volcán Lodge & Spa",
                   "Turismo Volcánico del Norte S.A.",
                   "volcan",
                   "3-101-377402",
                   total * 10 / 30,
                   {"ADM", "REC", "AYB", "COC", "AMA", "MAN"}},
                  {"CITYSUITES",
                   "City Suites San José",
                   "Hospedajes Urbanos CS S.A.",
                   "citysuites",
                   "3-101-509116",
                   0,
                   {"ADM", "REC", "AMA", "VEN"}}};
  c.businesses[2].employees = total - c.businesses[0].employees - c.businesses[1].employees;
  c.businesses[1].cost_rounding = true;
  c.businesses[2].euro = true;

  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(c.Add("NEGOCIOS", [&](Row& r) {
      r.Set("CODIGO", b.code).Set("DESCRIP", b.name).Set("LOGO", "KORVALIS.BMP");
      r.Set("INTENTOS", 3).Set("DIAS_CLAVE", 0).Set("SIZE_CLAVE", 4).Set("MANEJO_TC", b.euro ? 1 : 0);
      r.Set("CHECK_MON", 0).Set("CANT_MON", 3).Set("MONEDA_CON", "CR").Set("N_CEDULA", 9);
    }));
    XB_RETURN_IF_ERROR(AddUsers(c, b));
  }
  XB_RETURN_IF_ERROR(AddRightsCatalogue(c));
  // Mail goes to a server on this machine; error mails stay off until set up.
  return c.Add("DEFMAIL", [&](Row& r) {
    r.Set("NEGOCIO", c.businesses[0].code).Set("HOST", "localhost").Set("SMTP_PORT", 25);
    r.Set("POP3", "localhost").Set("POP3_PORT", 110);
    r.Set("USERNAME", "Planillas QUARTZEL Demo").Set("USERADDR", "planillas@demo.test");
    r.Set("SENDMAIL", 0).Set("AUTORIZA", 0).Set("DESTINO", "soporte@demo.test");
    r.Set("ID_NAME", "DEMO QUARTZEL").Set("NEGOCIO_H", c.businesses[0].code);
  });
}

}  // namespace qz::demo
