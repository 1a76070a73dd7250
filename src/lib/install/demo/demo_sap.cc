// The SAP journal mapping of every business: the payroll block books the
// salary income and non-deductible income per department against the
// deductions, withholdings and net salary payable; the employer-charges
// block books the informative percentages (their amounts come negative, as
// deductions do, so the rows turn them with a factor of -1); the payment
// block lists each employee's net salary against the bank.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

struct MapRow {
  const char* columna;
  int debito, aplica;
  const char* cuenta;
  const char* bloque;
  int orden;
  double factor;
  const char* rotulo;
};

const MapRow kRows[] = {
    {"_5", 1, 0, "5-01-01-001", "PLANILLA", 10, 1, "Salarios"},
    {"_4", 1, 0, "5-01-01-003", "PLANILLA", 20, 1, "Bonificaciones"},
    {"20", 0, 2, "2-01-04-001", "PLANILLA", 30, 1, "CCSS trabajador"},
    {"21", 0, 2, "2-01-04-003", "PLANILLA", 40, 1, "Banco Popular"},
    {"22", 0, 2, "2-01-04-004", "PLANILLA", 50, 1, "Asociación Solidarista"},
    {"30", 0, 2, "2-01-04-002", "PLANILLA", 60, 1, "Impuesto de renta"},
    {"_3", 0, 2, "2-01-03-003", "PLANILLA", 70, 1, "Rebajos por pagar"},
    {"_1", 0, 2, "2-01-03-001", "PLANILLA", 80, 1, "Salarios por pagar"},
    {"_6", 1, 2, "5-01-09-001", "PLANILLA", 90, 1, "Ajuste por redondeo"},
    {"23", 1, 0, "5-01-02-001", "CARGAS", 10, -1, "Cargas sociales patronales"},
    {"23", 0, 2, "2-01-04-001", "CARGAS", 20, -1, "CCSS patronal por pagar"},
    {"24", 1, 0, "5-01-02-002", "CARGAS", 30, -1, "Póliza de riesgos"},
    {"24", 0, 2, "2-01-04-005", "CARGAS", 40, -1, "INS por pagar"},
    {"25", 1, 0, "5-01-02-003", "CARGAS", 50, -1, "Gasto de aguinaldo"},
    {"25", 0, 2, "2-01-05-001", "CARGAS", 60, -1, "Provisión de aguinaldo"},
    {"_6", 1, 2, "5-01-09-001", "CARGAS", 90, 1, "Ajuste por redondeo"},
    {"_1", 1, 1, "2-01-03-001", "PAGO", 10, 1, "Pago de salario"},
    {"_1", 0, 2, "1-01-02-001", "PAGO", 20, 1, "Transferencia bancaria"},
    {"_6", 1, 2, "5-01-09-001", "PAGO", 90, 1, "Ajuste por redondeo"},
};

}  // namespace

xb::Status AddSapMapping(Context& c) {
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(c.Add("F_AS_SAP", [&](Row& r) { r.Set("NEGOCIO", b.code); }));
    for (const auto& m : kRows)
      XB_RETURN_IF_ERROR(c.Add("F_AS_SA2", [&](Row& r) {
        r.Set("NEGOCIO", b.code).Set("COLUMNA", m.columna).Set("TIPO", 0);
        r.Set("DEBITO", m.debito).Set("APLICA", m.aplica).Set("CUENTA", m.cuenta);
        r.Set("CECOS", m.aplica == 1 ? "PLANILLA" : "").Set("BLOQUE", m.bloque);
        r.Set("ORDEN", m.orden).Set("FACTOR", m.factor).Set("ROTULO", m.rotulo);
      }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
