#include "shell/exchange_check.h"

#include <algorithm>

#include "lib/data/date_time.h"
#include "lib/payroll/rates.h"
#include "lib/ui/message_box.h"
#include "shell/shell_tables.h"
#include "xbase/value.h"

namespace qz {
namespace {

int DaysInMonth(int y, int m) {
  int next_y = m == 12 ? y + 1 : y, next_m = m == 12 ? 1 : m + 1;
  return xb::JulianFromYmd(next_y, next_m, 1) - xb::JulianFromYmd(y, m, 1);
}

}  // namespace

std::optional<int32_t> OBT_DIA_F(const BusinessRow& b, int32_t today) {
  if (b.cant_mon <= 0) return std::nullopt;
  if (b.check_mon == 1) return today - b.cant_mon;
  int y, m, d;
  xb::YmdFromJulian(today, &y, &m, &d);
  for (int i = 0; i < b.cant_mon; ++i) {
    if (--m == 0) {
      m = 12;
      --y;
    }
  }
  return xb::JulianFromYmd(y, m, std::min(d, DaysInMonth(y, m)));
}

std::vector<std::string> StaleRateLines(const std::string& business) {
  std::vector<std::string> lines;
  BusinessRow b = ReadBusiness(business);
  if (!b.found || !b.has_check_mon) return lines;
  std::optional<int32_t> oldest = OBT_DIA_F(b, XDATE());
  TablePtr monedas = OpenShellTable("MONEDAS", "MONEDAS");
  TablePtr rates = OpenShellTable("T_CAMBIO", "T_CAMB2");
  if (!monedas || !rates) return lines;
  const std::string key = BusinessKey(business);
  std::string accounting;
  if (monedas->Seek(key + b.moneda_con)) accounting = TextField(*monedas, "DESCRIP");
  monedas->Seek(key, true);
  for (; !monedas->Eof() && RawField(*monedas, "NEGOCIO") == key; monedas->Skip()) {
    std::string code = RawField(*monedas, "CODIGO");
    int32_t latest = CFECHA_ACT(key, rates->table(), b.moneda_con, code);
    if (latest > 0 && (!oldest || latest >= *oldest)) continue;
    lines.push_back("Debe actualizar la definición de tipos de cambio de " +
                    TextField(*monedas, "DESCRIP") + " a " + accounting + "\r");
  }
  return lines;
}

void CHECK_CAMBIO(const std::string& business) {
  std::vector<std::string> lines = StaleRateLines(business);
  if (lines.empty()) return;
  std::string text = " ";
  for (const auto& l : lines) text += l;
  MESSAGE_BOX(text, "Atención", kMbIconStop);
}

}  // namespace qz
