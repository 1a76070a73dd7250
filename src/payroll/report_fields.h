// What a payroll report format can print: every column type of the business
// that is not a separator, the five payroll totals, and the provision types
// marked for reports. Each has the text of the field lists and a list key
// (the column-type code, "_1".."_5" for the totals, "+" + the provision
// code), from which its DET_REPP row (TIPO, COD_COLUMN) follows.
#pragma once

#include <string>
#include <vector>

#include "xbase/table.h"

namespace qz {

struct ReportField {
  std::string text;  // as listed (UTF-8)
  std::string key;   // list cargo
};

struct ReportTotal {
  const char* key;
  const char* caption;
};
// "* Salario Total" (_1) .. "* T. Ingresos " (_5).
const std::vector<ReportTotal>& ReportTotals();

// The available fields in list order, from the business's column types
// (ENC_TIP) and provision types (T_PROV).
std::vector<ReportField> AvailableReportFields(xb::Table& enc_tip, xb::Table& t_prov,
                                               const std::string& business);

// DET_REPP's TIPO ("CN" column type, "CT" total, "CP" provision) and
// COD_COLUMN of a list key, and back.
std::string ReportFieldTipo(const std::string& key);
std::string ReportFieldColumn(const std::string& key);
std::string ReportFieldKey(const std::string& tipo, const std::string& column);

}  // namespace qz
