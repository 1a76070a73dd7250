#include "payroll/report_fields.h"

#include "lib/ui/catalog_data.h"
#include "payroll/form_fields.h"

namespace qz {

const std::vector<ReportTotal>& ReportTotals() {
  static const std::vector<ReportTotal> kTotals = {{"_1", "* Salario Total"},
                                                   {"_2", "* Total Deducciones"},
                                                   {"_3", "* Total de Rebajos"},
                                                   {"_4", "* T. Ingresos N.Dedu"},
                                                   {"_5", "* T. Ingresos "}};
  return kTotals;
}

namespace {

template <class Keep, class Add>
void EachRow(xb::Table& t, const std::string& business, Keep keep, Add add) {
  std::optional<xb::Value> scope = xb::Value::Char(business);
  if (!t.SetOrder(1).ok() || !t.SetScope(scope, scope).ok()) return;
  for (t.GoTop(); !t.Eof(); t.Skip(1))
    if (keep(t)) add(TrimRight(FieldText(t, "CODIGO")), FieldText(t, "DESCRIP"));
  t.SetScope(std::nullopt, std::nullopt);
}

}  // namespace

std::vector<ReportField> AvailableReportFields(xb::Table& enc_tip, xb::Table& t_prov,
                                               const std::string& business) {
  std::vector<ReportField> out;
  EachRow(
      enc_tip, business, [](const xb::Table& t) { return NumberField(t, "TIPO") != 4; },
      [&](const std::string& code, const std::string& d) { out.push_back({d, code}); });
  for (const auto& t : ReportTotals()) out.push_back({t.caption, t.key});
  EachRow(
      t_prov, business, [](const xb::Table& t) { return NumberField(t, "IMP_REP") == 1; },
      [&](const std::string& code, const std::string& d) { out.push_back({"+ " + d, "+" + code}); });
  return out;
}

std::string ReportFieldTipo(const std::string& key) {
  if (!key.empty() && key[0] == '_') return "CT";
  if (!key.empty() && key[0] == '+') return "CP";
  return "CN";
}

std::string ReportFieldColumn(const std::string& key) {
  return ReportFieldTipo(key) == "CP" ? key.substr(1) : key;
}

std::string ReportFieldKey(const std::string& tipo, const std::string& column) {
  return tipo == "CP" ? "+" + column : column;
}

}  // namespace qz
