#include "lib/payroll/employee_list_fields.h"

namespace qz {

const std::vector<std::string>& EmployeeListFields() {
  static const std::vector<std::string> kFields = {
      "CODIGO",     "NOMBRE",     "APELLIDO_1", "APELLIDO_2", "DEPTO",      "COD_TIEMPO",
      "TELEFONO_1", "TELEFONO_2", "EMAIL",      "CEDULA",     "DIRECCION",  "SEXO",
      "T_SANGRE",   "GAFETE",     "NACIMIENTO", "TIPO_VAC",   "PERFIL",     "TIP_IDEN",
      "E_CIVIL",    "UBIC_CED1",  "UBIC_CED2",  "ASOCIACION", "INDIGENA",   "TEL_CONTA1",
      "TEL_CONTA2", "TEL_CONTA3", "DIR_CONTA1", "DIR_CONTA2", "DIR_CONTA3", "CONTACTAR1",
      "CONTACTAR2", "CONTACTAR3", "PUESTO",     "OCUPACION",  "UBICACION",  "INS_COND",
      "TIPO_EMP",   "INS_JOR",    "HORARIO1",   "ALMUERZO1",  "TOT_HORAS1", "F_INICIO",
      "F_RETIRO",   "F_INGRESO",  "F_CAMBIO",   "ANHOS",      "MANAGER",    "SALARIO_M",
      "SALARIO_A",  "MONEDA",     "CARGO_M",    "GERENTE",    "LOCACION",   "PAIS",
      "INNCODE"};
  return kFields;
}

}  // namespace qz
