// Employees of the demo with one value row per column of their department,
// individual cost-centre splits, loans paid through payroll, and the serials
// that numbered them.
#include <cmath>
#include <cstdio>
#include <set>

#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

const std::vector<std::string> kWomen = {"María",    "Ana",     "Laura",    "Sofía",  "Daniela",
                                         "Carolina", "Andrea",  "Gabriela", "Mónica", "Patricia",
                                         "Silvia",   "Valeria", "Fernanda", "Karla",  "Adriana",
                                         "Natalia",  "Paola",   "Lucía"};
const std::vector<std::string> kMen = {"José",     "Luis",    "Carlos",   "Juan",    "Jorge",
                                       "Andrés",   "Diego",   "Fernando", "Ricardo", "Alejandro",
                                       "Mauricio", "Esteban", "Rodrigo",  "Pablo",   "Sergio",
                                       "Manuel",   "Óscar",   "Javier"};
const std::vector<std::string> kSurnames = {
    "Rodríguez", "Vargas",  "Jiménez",  "Mora",   "Rojas",      "Araya",  "Sánchez", "Solís",
    "Hernández", "Campos",  "Alvarado", "Chaves", "Quesada",    "Castro", "Ramírez", "Méndez",
    "Zúñiga",    "Salazar", "Calderón", "Arias",  "Villalobos", "Brenes", "Murillo", "Cordero",
    "Monge",     "Víquez",  "Fallas",   "Ulate",  "Barrantes",  "Porras"};
const std::vector<std::string> kPlaces = {"Liberia, Guanacaste",        "Santa Cruz, Guanacaste",
                                          "La Fortuna, San Carlos",     "Alajuela centro",
                                          "San José, Barrio Escalante", "Heredia, San Pablo",
                                          "Cartago, Oreamuno",          "Nicoya, Guanacaste"};

// Department shares of a business's staff.
const std::map<std::string, int> kWeights = {{"ADM", 8},  {"REC", 14}, {"AYB", 20}, {"COC", 15},
                                             {"AMA", 20}, {"MAN", 10}, {"SEG", 7},  {"VEN", 6}};

// E-mail addresses are plain ASCII: the accented letters of the names lose
// their accents (UTF-8 sequences of the Latin-1 block).
std::string Ascii(const std::string& utf8) {
  static const std::map<std::string, char> kMap = {
      {"á", 'a'}, {"é", 'e'}, {"í", 'i'}, {"ó", 'o'}, {"ú", 'u'}, {"ñ", 'n'}, {"ü", 'u'},
      {"Á", 'a'}, {"É", 'e'}, {"Í", 'i'}, {"Ó", 'o'}, {"Ú", 'u'}, {"Ñ", 'n'}};
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char ch = static_cast<unsigned char>(utf8[i]);
    if (ch < 0x80) {
      out.push_back(static_cast<char>(std::tolower(ch)));
    } else if (i + 1 < utf8.size()) {
      auto it = kMap.find(utf8.substr(i, 2));
      if (it != kMap.end()) out.push_back(it->second);
      ++i;
    }
  }
  return out;
}

std::string Digits(Random& r, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + r.Int(0, 9)));
  return s;
}

double Round2(double v) {
  return std::round(v * 100) / 100;
}

// The employee's value (VALOR_1) and factor in one column.
std::pair<double, double> ValueOf(Context& c, const Employee& e, const ColumnType& t) {
  Random& r = c.random();
  const PayrollType* type = c.Type(c.departments.at(e.dept).payroll_type);
  const Schedule* schedule = c.FindSchedule(e.schedule);
  if (t.dependent) {
    double hours = 0;
    if (t.code == "02" && r.Chance(0.5)) hours = r.Int(1, 12);
    if (t.code == "03" && r.Chance(0.2)) hours = r.Int(1, 6);
    if (t.code == "04" && e.schedule == "03") hours = r.Int(20, 48);
    if (t.code == "07" && r.Chance(0.25)) hours = 8;
    if (t.code == "14" && r.Chance(0.3)) hours = r.Int(2, 10);
    return {hours, HourlyFactor(*c.FindBusiness(e.business), e.base, type->divisor,
                                schedule->hours, t.multiplier)};
  }
  if (t.kind == 2) {
    bool member = t.code != "22" || e.first.size() % 3 != 0;  // most join the association
    return {0, member ? t.percent : 0};
  }
  if (t.kind != 1) return {0, 0};
  if (t.base) return {e.base, 0};
  if (t.code == "05") return {std::round(r.Real(40000, 260000) / 100) * 100, 0};
  if (t.code == "06") return {25000, 0};
  if (t.code == "10") return {e.instalment, 0};
  if (t.code == "11" && r.Chance(0.1)) return {r.Int(5, 15) * 5000.0, 0};
  if (t.code == "12" && r.Chance(0.03)) return {35000, 0};
  if (t.code == "13" && r.Chance(0.3)) return {10000, 0};
  if (t.code == "50") return {type->kind == 1 ? 7.0 : 30.0 / type->quantity, 0};
  return {0, 0};
}

Employee MakeEmployee(Context& c, const Business& b, const std::string& dept, int number,
                      std::set<std::string>* cedulas) {
  Random& r = c.random();
  const Department& d = c.departments.at(dept);
  Employee e;
  e.business = b.code;
  char code[16];
  std::snprintf(code, sizeof code, "%05d", number);
  e.code = code;
  e.dept = dept;
  bool woman = r.Chance(0.5);
  e.first = woman ? r.Pick(kWomen) : r.Pick(kMen);
  e.last1 = r.Pick(kSurnames);
  e.last2 = r.Pick(kSurnames);
  e.name = e.first + " " + e.last1 + " " + e.last2;
  do e.cedula = std::to_string(r.Int(1, 7)) + Digits(r, 8);
  while (!cedulas->insert(e.cedula).second);
  // The first employee of a department holds its lead position.
  bool lead = number == 1 || r.Chance(0.08);
  e.position = lead ? d.positions.front() : d.positions[r.Int(0, d.positions.size() - 1)];
  e.schedule = dept == "SEG" && r.Chance(0.5) ? "03" : (r.Chance(0.15) ? "02" : "01");
  if (r.Chance(0.05)) e.schedule = "04";
  auto [low, high] = c.pay_scale.at(e.position);
  e.monthly = std::round(r.Real(low, high) / 1000) * 1000;
  if (e.schedule == "04") e.monthly = std::round(e.monthly / 2000) * 1000;
  e.base = Round2(e.monthly / c.Type(d.payroll_type)->per_month);
  e.active = !r.Chance(0.04);
  e.split = (dept == "AYB" || dept == "REC") && r.Chance(0.2);
  e.hired = c.today().Plus(-r.Int(60, 16 * 365));
  e.born = Day::Ymd(r.Int(1964, 2004), r.Int(1, 12), r.Int(1, 28));
  return e;
}

xb::Status WriteEmployee(Context& c, const Business& b, const Employee& e) {
  Random& r = c.random();
  const std::string mail = Ascii(e.first) + "." + Ascii(e.last1) + "@" + b.city + ".demo.test";
  XB_RETURN_IF_ERROR(c.Add("ENC_PERS", [&](Row& w) {
    w.Set("NEGOCIO", b.code).Set("CODIGO", e.code).Set("NOMBRE", e.name);
    w.Set("NOMBRE_2", e.first).Set("APELLIDO_1", e.last1).Set("APELLIDO_2", e.last2);
    w.Set("DEPTO", e.dept).Set("ACTIVO", e.active ? 1 : 0).Set("COD_TIEMPO", e.schedule);
    w.Set("TELEFONO_1", "8" + Digits(r, 3) + "-" + Digits(r, 4)).Set("EMAIL", mail);
    w.Set("CEDULA", e.cedula).Set("TIP_IDEN", "01").Set("TIP_CED", "01");
    w.Set("DIRECCION",
          r.Pick(kPlaces) + ", " + std::to_string(r.Int(1, 6) * 50) + " m al norte de la iglesia");
    w.Set("SEXO", std::find(kWomen.begin(), kWomen.end(), e.first) != kWomen.end() ? "F" : "M");
    w.Set("E_CIVIL", r.Pick(std::vector<std::string>{"S", "C", "C", "D", "U"}));
    w.Set("NACIMIENTO", e.born).Set("GAFETE", "G-" + e.code).Set("TIPO_VAC", "LEY");
    w.Set("PUESTO", e.position).Set("OCUPACION", c.occupation.at(e.position));
    w.Set("TIPO_EMP", r.Chance(0.9) ? "01" : "02").Set("HORARIO1", "07:00 a 16:00");
    w.Set("TOT_HORAS1", c.FindSchedule(e.schedule)->hours * 6);
    w.Set("F_INGRESO", e.hired).Set("F_INICIO", e.hired);
    if (!e.active) w.Set("F_RETIRO", c.today().Plus(-r.Int(5, 90)));
    w.Set("SALARIO_M", e.monthly).Set("MONEDA", "CR").Set("TOT_SAL", e.base);
    w.Set("COD_SEGURO", e.cedula).Set("C_SEGURO", "01").Set("TIPO_PAGO", 3);
    w.Set("BANCO", "01").Set("CUENTA", "200-01-" + Digits(r, 6)).Set("TIP_TRANSF", "01");
    w.Set("CUEN_TRANS", "152010010" + Digits(r, 8)).Set("TIP_CUENTA", "01");
    w.Set("TRANS_BANC", "TRF-PLANILLA").Set("ASOCIACION", e.first.size() % 3 != 0 ? 1 : 0);
    w.Set("HIJOS", r.Int(0, 3)).Set("INF_PAIS", r.Chance(0.9) ? "CR" : "NI");
    w.Set("INF_ETNIA", "01")
        .Set("INF_CONTRA", "01")
        .Set("INF_LUGAR", "0" + std::to_string(r.Int(1, 5)));
    w.Set("INF_IDIOMA", r.Chance(0.4) ? "[ES][EN]" : "[ES]").Set("INF_REGION", "GU");
    w.Set("PAIS", "Costa Rica").Set("LOCACION", b.name.substr(0, 20)).Set("SAL_COMPLE", 1);
  }));
  for (const auto& l : c.departments.at(e.dept).layout) {
    const ColumnType* t = c.Column(l.column);
    if (!t || t->kind == 4) continue;  // separators hold no values
    auto [value, factor] = ValueOf(c, e, *t);
    bool split = e.split && t->base;
    XB_RETURN_IF_ERROR(c.Add("DET_PERS", [&](Row& w) {
      w.Set("NEGOCIO", b.code).Set("CODIGO", e.code).Set("COD_COLUMN", t->code);
      w.Set("VALOR_1", value).Set("FACTOR", factor).Set("CENTRO_IND", split ? 1 : 0);
    }));
    if (!split) continue;
    // Works both floors: the salary is split between the department's centre
    // and the neighbouring one.
    const auto& centres = c.departments.at(e.dept).centres;
    std::vector<std::pair<std::string, double>> parts = {
        {centres.front().first, 70}, {e.dept == "REC" ? "CC-VEN" : "CC-REC", 30}};
    if (centres.size() > 1) parts = {{centres[0].first, 50}, {centres[1].first, 50}};
    for (const auto& [centre, pct] : parts)
      XB_RETURN_IF_ERROR(c.Add("DET_PER3", [&](Row& w) {
        w.Set("NEGOCIO", b.code).Set("CODIGO", e.code).Set("COD_COLUMN", t->code);
        w.Set("COD_CENTRO", centre).Set("PORCENTAJE", pct);
      }));
  }
  return xb::Status::OK();
}

xb::Status AddSerial(Context& c, const std::string& n, const char* code, const char* descrip,
                     int number, const char* prefix, int width) {
  char current[32] = "";
  if (number > 0) std::snprintf(current, sizeof current, "%s%0*d", prefix, width, number);
  return c.Add("SERIALES", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", code).Set("MODULO", "06").Set("DESCRIP", descrip);
    r.Set("NUMERO", number).Set("NUMERO2", 999999).Set("JUSTIFICA", 0).Set("INDENT", width);
    r.Set("PREFIJO", prefix).Set("CURRENT_N", current);
  });
}

}  // namespace

xb::Status AddEmployees(Context& c) {
  std::set<std::string> cedulas;
  for (const auto& b : c.businesses) {
    int weight = 0;
    for (const auto& d : b.departments) weight += kWeights.at(d);
    int number = 0, loans = 0, payments = 0;
    for (size_t i = 0; i < b.departments.size(); ++i) {
      const std::string& dept = b.departments[i];
      int share = i + 1 == b.departments.size()
                      ? std::max(0, b.employees - number)
                      : std::max(3, b.employees * kWeights.at(dept) / weight);
      const PayrollType* type = c.Type(c.departments.at(dept).payroll_type);
      for (int k = 0; k < share; ++k) {
        Employee e = MakeEmployee(c, b, dept, number + 1, &cedulas);
        ++number;
        const std::vector<Day> dates = PayrollDates(c, *type);
        if (e.active && c.random().Chance(0.15) && e.hired.jd < dates.front().jd) {
          // A loan taken before the history starts, paid by every payroll
          // since (by an employee on the payroll that long).
          int paid = static_cast<int>(dates.size());
          char code[16];
          std::snprintf(code, sizeof code, "PR-%05d", ++loans);
          e.loan = code;
          e.instalment = c.random().Int(3, 12) * 5000.0 / type->per_month;
          e.instalment = Round2(e.instalment);
          double principal = e.instalment * c.random().Int(paid + 6, 48);
          e.loan_balance = Round2(principal - e.instalment * paid);
          payments += paid;
          XB_RETURN_IF_ERROR(c.Add("DEUDORES", [&](Row& r) {
            r.Set("NEGOCIO", b.code).Set("CODIGO", e.code).Set("EMPLEADO", e.code);
          }));
          XB_RETURN_IF_ERROR(c.Add("ENC_DDA", [&](Row& r) {
            r.Set("NEGOCIO", b.code).Set("DEUDOR", e.code).Set("COLUMNA", "10");
            r.Set("CODIGO", e.loan).Set("CONCEPTO", "01").Set("SALDO", e.loan_balance);
            r.Set("CUOTA", e.instalment).Set("MONEDA", "CR").Set("ACTIVA", 1);
          }));
        }
        XB_RETURN_IF_ERROR(WriteEmployee(c, b, e));
        c.employees.push_back(e);
      }
    }
    XB_RETURN_IF_ERROR(AddSerial(c, b.code, "EMPLEADOS", "Código de empleados", number, "", 5));
    XB_RETURN_IF_ERROR(AddSerial(c, b.code, "PRESTAMO", "Préstamos a empleados", loans, "PR-", 5));
    XB_RETURN_IF_ERROR(AddSerial(c, b.code, "ABONO", "Abonos por planilla", payments, "AB-", 6));
    XB_RETURN_IF_ERROR(AddSerial(c, b.code, "ACCIONES", "Acciones de personal", 0, "AP-", 5));
    XB_RETURN_IF_ERROR(AddSerial(c, b.code, "CHEQUES", "Cheques de planilla", 0, "", 8));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
