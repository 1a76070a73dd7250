// The demo's formats: a payroll report and an hours report per business, two
// salary certificates, two digital signatures and an employee-list format
// (with its 55 items), so each format screen opens populated.
#include <algorithm>

#include "lib/install/demo/demo_context.h"
#include "lib/payroll/employee_list_fields.h"
#include "lib/security/passwords.h"

namespace qz::demo {
namespace {

xb::Status AddReportFormat(Context& c, const std::string& n) {
  XB_RETURN_IF_ERROR(c.Add("ENC_REPP", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("DESCRIP", "PLANILLA RESUMIDA");
    r.Set("COMENTARIO", "Salario, extras, deducciones de ley y aguinaldo");
    r.Set("PIE_PAGINA", "Elaborado por Recursos Humanos").Set("MAX_COL", 132);
    r.Set("HEADER_1", "Planilla de Salarios").Set("TIP_LETRA", 1);
    r.Set("IMP_COD", 1).Set("IMP_CED", 1).Set("IMP_SUMA", 1).Set("IMP_PUESTO", 1);
    r.Set("EVAL_VAC", 1);
  }));
  // Column types, a total and a provision, in print order.
  struct Field {
    const char* column;
    const char* tipo;
    const char* picture;
    const char* label;
  };
  const Field fields[] = {{"01", "CN", "", ""},
                          {"02", "CN", "", ""},
                          {"20", "CN", "", ""},
                          {"_1", "CT", "999,999,999.99", "Salario Total"},
                          {"_2", "CT", "999,999,999.99", "Total Deducciones"},
                          {"01", "CP", "", ""}};
  int orden = 1;
  for (const auto& f : fields)
    XB_RETURN_IF_ERROR(c.Add("DET_REPP", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("COD_COLUMN", f.column).Set("ORDEN", orden++);
      r.Set("TIPO", f.tipo).Set("T_PICTURE", f.picture).Set("T_ROTULO", f.label);
    }));
  return xb::Status::OK();
}

xb::Status AddCertificates(Context& c, const std::string& n) {
  XB_RETURN_IF_ERROR(c.Add("F_CONST", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("DESCRIP", "CONSTANCIA DE SALARIO");
    r.Set("REB_CONST", 10.67).Set("HEAD_CONST", 1).Set("LETRA_CONS", "Arial");
    r.Set("TXT_CONST",
          "Por este medio se hace constar que <<nombre>>, cédula <<cedula>>, labora para "
          "esta empresa desde el <<fecha_i>> en el puesto de <<puesto>>, con un salario "
          "mensual de <<salario>> (<<l_salario>>) y un salario líquido de <<sal_liq>>.\r\n"
          "Se extiende la presente a solicitud del interesado el <<fecha>>.");
  }));
  return c.Add("F_CONST", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "02").Set("DESCRIP", "CONSTANCIA PARA EMBAJADA");
    r.Set("REB_CONST", 0).Set("HEAD_CONST", 1).Set("SIN_TITULO", 1).Set("LETRA_CONS", "Times New Roman");
    r.Set("TXT_CONST",
          "A quien interese:\r\n<<xnombre>>, identificación <<xcedula>>, trabaja en el "
          "departamento <<c_depto>> con horario <<H_LYV>> de lunes a viernes.");
  });
}

xb::Status AddSignatures(Context& c, const Business& b) {
  const std::string& n = b.code;
  struct Signature {
    const char* code;
    const char* name;
    const char* password;
    const char* position;
    const char* email;
    double overdraft;
  };
  const Signature signatures[] = {
      {"01", "MARIA FERNANDEZ SOTO", "gerencia1", "GERE", "gerencia@quartzel-demo.cr", 5000000},
      {"02", "JORGE RAMIREZ VARGAS", "contab22", "CONT", "contabilidad@quartzel-demo.cr", 0}};
  for (const auto& s : signatures)
    XB_RETURN_IF_ERROR(c.Add("USR_REQ", [&](Row& r) {
      // The signature password is stored scrambled, as the users' are.
      std::string clave = ENCRYPT_STRING(Cp1252(s.password), 1);
      clave.resize(kPasswordWidth, ' ');
      r.Set("NEGOCIO", n).Set("CODIGO", s.code).Set("NOMBRE", s.name).SetRaw("CLAVE", xb::Value::Char(clave));
      r.Set("PUESTO", s.position).Set("EMAIL", s.email).Set("MONTO_SOB", s.overdraft);
      r.Set("SOBREGIRAR", s.overdraft > 0 ? 1 : 0).Set("CHEQUES", 1).Set("CXP", 1).Set("BANCOS", 1);
      r.Set("CONTA", 1).Set("IMP_FIRMA", 1).Set("RECHAZAR", 1).Set("ESPERA", 30);
      r.Set("ETAPAS_REQ", "[0001][0002]").Set("ETAPAS_CXP", "[0002]").Set("ETAPAS_ABO", "[0003]");
      r.Set("NOTIFICA", "[0003]");
      if (!b.departments.empty()) r.Set("DEPARTS", "[" + b.departments.front() + "]");
    }));
  return xb::Status::OK();
}

xb::Status AddEmployeeList(Context& c, const std::string& n) {
  XB_RETURN_IF_ERROR(c.Add("ENC_EMP", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("DESCRIP", "Directorio telefónico");
    r.Set("PAGINA", 0).Set("LETRA", 1);
  }));
  // Code, names, department, phones and e-mail are printed.
  const std::vector<int> printed = {1, 2, 3, 4, 5, 7, 8, 9};
  const auto& fields = EmployeeListFields();
  int position = 1;
  for (int item = 1; item <= static_cast<int>(fields.size()); ++item) {
    const bool on = std::find(printed.begin(), printed.end(), item) != printed.end();
    const int length = item == 2 ? 25 : item == 9 ? 30 : 12;
    XB_RETURN_IF_ERROR(c.Add("DET_EMP", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "01").Set("ITEM", item).Set("TITULO", fields[item - 1]);
      r.Set("CHECK", on ? 1 : 0).Set("POSICION", on ? position : 0).Set("LONGITUD", length);
      r.Set("CAMPO", fields[item - 1]);
    }));
    if (on) position += length + 1;
  }
  return xb::Status::OK();
}

}  // namespace

xb::Status AddFormats(Context& c) {
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(AddReportFormat(c, b.code));
    XB_RETURN_IF_ERROR(AddCertificates(c, b.code));
    XB_RETURN_IF_ERROR(AddSignatures(c, b));
    XB_RETURN_IF_ERROR(AddEmployeeList(c, b.code));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
