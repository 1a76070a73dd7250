#include "lib/accounting/sap_mapping.h"

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
  XB_RETURN_IF_ERROR(t.Put("COLUMNA", c(r.columna)));
  XB_RETURN_IF_ERROR(t.Put("TIPO", n(r.tipo)));
  XB_RETURN_IF_ERROR(t.Put("DEBITO", n(r.debito)));
  XB_RETURN_IF_ERROR(t.Put("APLICA", n(r.aplica)));
  XB_RETURN_IF_ERROR(t.Put("CUENTA", c(r.cuenta)));
  XB_RETURN_IF_ERROR(t.Put("CECOS", c(r.cecos)));
  XB_RETURN_IF_ERROR(t.Put("BLOQUE", c(r.bloque)));
  XB_RETURN_IF_ERROR(t.Put("ORDEN", n(r.orden)));
  XB_RETURN_IF_ERROR(t.Put("FACTOR", n(r.factor)));
  return t.Put("ROTULO", c(r.rotulo));
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
