#include "lib/accounting/sap_mapping.h"

#include "lib/accounting/row_fields.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/table_position.h"
#include "xbase/codepage.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

const SapTotalItem kSapTotals[6] = {{"_1", "* Salario Total"},      {"_2", "* Total Deducciones"},
                                    {"_3", "* Total de Rebajos"},    {"_4", "* T. Ingresos N.Dedu"},
                                    {"_5", "* T. Ingresos "},        {"_6", "* Diferencia Deb.y Cred"}};

std::string SapTotalLabel(const std::string& code) {
  for (const auto& t : kSapTotals)
    if (code == t.code) return t.label;
  return "";
}

SapMapRow ReadSapMapRow(const xb::Table& t) {
  SapMapRow r;
  r.columna = StrField(t, "COLUMNA");
  r.tipo = IntField(t, "TIPO");
  r.debito = IntField(t, "DEBITO");
  r.aplica = IntField(t, "APLICA");
  r.cuenta = StrField(t, "CUENTA");
  r.cecos = StrField(t, "CECOS");
  r.bloque = StrField(t, "BLOQUE");
  r.orden = IntField(t, "ORDEN");
  r.factor = NumField(t, "FACTOR");
  r.rotulo = StrField(t, "ROTULO");
  return r;
}

xb::Status WriteSapMapRow(xb::Table& t, const SapMapRow& r) {
  auto c = [](const std::string& s) { return xb::Value::Char(s); };
  auto n = [](double d) { return xb::Value::Number(d); };
  return PutFields(t, {{"COLUMNA", c(r.columna)},
                       {"TIPO", n(r.tipo)},
                       {"DEBITO", n(r.debito)},
                       {"APLICA", n(r.aplica)},
                       {"CUENTA", c(r.cuenta)},
                       {"CECOS", c(r.cecos)},
                       {"BLOQUE", c(r.bloque)},
                       {"ORDEN", n(r.orden)},
                       {"FACTOR", n(r.factor)},
                       {"ROTULO", c(r.rotulo)}});
}

xb::Result<std::vector<SapMapRow>> LoadSapMapping(xb::Table& t, const std::string& negocio) {
  TablePosition keep(&t);
  const std::string key = PadRight(negocio, 15);
  XB_RETURN_IF_ERROR(SeekOn(t, "F_AS_SA3", key, true));
  std::vector<SapMapRow> rows;
  for (bool more = true; more && !t.Eof(); more = t.Skip().ok()) {
    auto n = t.Get("NEGOCIO");
    if (!n.ok() || PadRight(n->str(), 15) != key) break;
    rows.push_back(ReadSapMapRow(t));
  }
  return rows;
}

}  // namespace qz
