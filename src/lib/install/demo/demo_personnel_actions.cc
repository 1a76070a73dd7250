// Personnel actions of every demo business: the approval stages an action
// passes through, the persons in charge of authorising them, the customised
// action types with the employee fields and salary columns they change, and
// the evaluation profiles with their tests.
#include <string>
#include <tuple>
#include <vector>

#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

struct Stage {
  const char* code;
  const char* descrip;
  int kind;  // TIPO: 1 initial .. 5 cancelled
  const char* legend;
};

const Stage kStages[] = {{"0001", "Solicitud", 1, "Solicitado por"},
                         {"0002", "Revisión de Recursos Humanos", 2, "Revisado por"},
                         {"0003", "Aprobada", 3, "Aprobado por"},
                         {"0004", "Procesada en planilla", 4, ""},
                         {"0005", "Anulada", 5, ""}};

struct Person {
  const char* code;
  const char* name;
  const char* position;
  const char* mail;
  const char* may_modify;
  const char* may_authorise;
  bool direct;
};

const Person kPersons[] = {
    {"RRHH", "María Fernanda Solís", "Jefe de Recursos Humanos", "rrhh", "[0001][0002]",
     "[0001][0002][0003]", true},
    {"GERE", "Carlos Alberto Mora", "Gerente General", "gerencia", "[0002]", "[0002][0003]", false},
    {"CONT", "Ana Lucía Jiménez", "Contralora", "contraloria", "", "[0003]", false}};

// The code of the first column type of the model that `pick` accepts.
template <class Pick>
std::string FirstColumn(const Context& c, Pick pick) {
  for (const auto& col : c.columns)
    if (pick(col)) return col.code;
  return "";
}

xb::Status AddStages(Context& c, const std::string& n) {
  for (const Stage& s : kStages)
    XB_RETURN_IF_ERROR(c.Add("ETAP_PLA", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", s.code).Set("DESCRIP", s.descrip).Set("TIPO", s.kind);
      r.Set("P_LEYENDA", s.legend).Set("IMPRIMIR", 1).Set("P_FIRMA", s.legend[0] ? 1 : 0);
      r.Set("NO_MODIFI", s.kind >= 4 ? 1 : 0).Set("NO_ANULA", s.kind >= 4 ? 1 : 0);
      r.Set("NO_BORRA", s.kind >= 3 ? 1 : 0).Set("NO_CONTAR", s.kind == 5 ? 1 : 0);
      r.Set("NOTIFICAR1", s.kind == 2 ? 1 : 0).Set("TIEMPO1", s.kind == 2 ? 30 : 0);
      r.Set("TIEMPO2", s.kind == 2 ? 240 : 0);
      r.Set("HORA1", s.kind == 2 ? "08:00:00" : "").Set("HORA2", s.kind == 2 ? "17:00:00" : "");
    }));
  return xb::Status::OK();
}

xb::Status AddPersons(Context& c, const Business& b) {
  for (const Person& p : kPersons)
    XB_RETURN_IF_ERROR(c.Add("AUTO_PLA", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("CODIGO", p.code).Set("NOMBRE", p.name);
      r.Set("FIRMA", p.name).Set("TXT_PUESTO", p.position).Set("P_LEYENDA", p.position);
      r.Set("EMAIL", std::string(p.mail) + "@" + b.city + ".example");
      r.Set("DIRECTO", p.direct ? 1 : 0).Set("ETAPAS_MOD", p.may_modify);
      r.Set("ETAPAS_AUT", p.may_authorise);
    }));
  return xb::Status::OK();
}

xb::Status AddActionTypes(Context& c, const std::string& n) {
  const std::string base = FirstColumn(c, [](const ColumnType& t) { return t.base; });
  const std::string hours = FirstColumn(c, [](const ColumnType& t) { return t.dependent; });
  struct Type {
    const char* code;
    const char* descrip;
    std::vector<const char*> fields;
    std::string column;  // "" = no salary column
    int how;             // SUMA_COL: 0 replace, 1 add, 2 subtract
    bool new_hire, sick_leave;
  };
  // Codes apart from the simple action types (01 .. 04), whose actions
  // share ACCIONES.
  const std::vector<Type> types = {
      {"10", "Aumento de salario por evaluación", {"PUESTO"}, base, 1, false, false},
      {"11",
       "Ingreso de personal nuevo",
       {"NOMBRE", "APELLIDO1", "APELLIDO2", "CEDULA", "PUESTO", "DEPTO", "HORARIO", "F_INGRESO",
        "FORMA_PAG", "CUEN_TRANS"},
       base,
       0,
       true,
       false},
      {"12",
       "Traslado y cambio de horario",
       {"DEPTO", "HORARIO", "UBICACION", "OBSERVA"},
       "",
       0,
       false,
       false},
      {"13",
       "Incapacidad continua",
       {"ESTADO_EMP", "SIN_GOCE", "COMENTARIO"},
       hours,
       2,
       false,
       true},
      {"14",
       "Actualización de datos personales",
       {"TELEFONO1", "TELEFONO2", "EMAIL", "DIRECCION", "E_CIVIL"},
       "",
       0,
       false,
       false}};
  for (const Type& t : types)
    XB_RETURN_IF_ERROR(c.Add("TIP_ACC2", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", t.code).Set("DESCRIP", t.descrip);
      r.Set("SERIAL", "ACCIONES").Set("ETAPA_INI", "0001").Set("IMP_SAL", t.column.empty() ? 0 : 1);
      r.Set("ING_NUEVO", t.new_hire ? 1 : 0).Set("INC_CONTI", t.sick_leave ? 1 : 0);
      for (const char* f : t.fields) r.Set(f, 1);
      r.Set("COLUMNA", t.column.empty() ? 0 : 1).Set("COD_COLUM", t.column).Set("SUMA_COL", t.how);
      r.Set("COLUMNA2", 0).Set("SUMA_COL2", 0).Set("COLUMNA3", 0).Set("SUMA_COL3", 0);
      std::string checks(86, '0');
      checks[0] = '1';  // the first auxiliary option on every type
      r.Set("CHECKS", checks);
      for (const char* blk : {"BLOQUE1", "BLOQUE2", "BLOQUE3", "BLOQUE4", "BLOQUE5", "BLOQUE6"})
        r.Set(blk, 0);
    }));
  return xb::Status::OK();
}

xb::Status AddProfiles(Context& c, const std::string& n) {
  std::string hour_columns;
  for (const auto& col : c.columns)
    if (col.dependent && hour_columns.size() + col.code.size() + 2 <= 240)
      hour_columns += "[" + col.code + "]";
  struct Test {
    const char* code;
    const char* descrip;
    double from, to;
    bool mandatory;
  };
  struct Profile {
    const char* code;
    const char* descrip;
    int months;
    double minimum, raise;
    int kind;
    std::vector<Test> tests;
  };
  const std::vector<Profile> profiles = {{"OPER",
                                          "Personal operativo",
                                          6,
                                          70,
                                          3.5,
                                          0,
                                          {{"TECN", "Prueba técnica del puesto", 70, 100, true},
                                           {"IDIO", "Prueba de idiomas", 60, 100, false}}},
                                         {"JEFE",
                                          "Jefaturas y supervisores",
                                          12,
                                          80,
                                          5,
                                          1,
                                          {{"PSIC", "Prueba psicométrica", 75, 100, true},
                                           {"TECN", "Prueba técnica del puesto", 80, 100, true},
                                           {"IDIO", "Prueba de idiomas", 70, 100, true}}}};
  for (const Profile& p : profiles) {
    XB_RETURN_IF_ERROR(c.Add("PERF_EVA", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", p.code).Set("DESCRIP", p.descrip);
      r.Set("ANT_INI", p.months).Set("ANT_FINAL", p.months * 10).Set("ANT_NOTA", 10.0);
      r.Set("OBLI_ANT", 1).Set("PER_ANT", 12);
      r.Set("HOR_INI", 0.0)
          .Set("HOR_FINAL", 200.0)
          .Set("HOR_NOTA", 5.0)
          .Set("HOR_DETA", hour_columns);
      r.Set("OBLI_HOR", 0).Set("PER_HOR", 6);
      r.Set("PRUE_NOTA", 85.0).Set("OBLI_PRUE", 1).Set("PER_PRUE", 12);
      r.Set("NOTA_MINI", p.minimum).Set("AUMENTO", p.raise);
      int mandatory = 0;
      for (const Test& t : p.tests) mandatory += t.mandatory ? 1 : 0;
      r.Set("MIN_P_REG", static_cast<int>(p.tests.size()) - mandatory).Set("MIN_O_REG", mandatory);
      r.Set("TIPO_EVAL", p.kind);
    }));
    for (const Test& t : p.tests)
      XB_RETURN_IF_ERROR(c.Add("PERF_EV2", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("PERFIL", p.code).Set("PRUEBA", t.code).Set("DESCRIP", t.descrip);
        r.Set("NOTA_INI", t.from).Set("NOTA_FIN", t.to).Set("OBLIGA", t.mandatory ? 1 : 0);
      }));
  }
  return xb::Status::OK();
}

}  // namespace

xb::Status AddPersonnelActions(Context& c) {
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(AddStages(c, b.code));
    XB_RETURN_IF_ERROR(AddPersons(c, b));
    XB_RETURN_IF_ERROR(AddActionTypes(c, b.code));
    XB_RETURN_IF_ERROR(AddProfiles(c, b.code));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
