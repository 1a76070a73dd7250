#include "shell/prices.h"

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/work_areas.h"
#include "shell/shell_tables.h"

namespace qz {
namespace {

bool Due(const WDBTable& header, int32_t today, const std::string& now) {
  std::optional<int32_t> date = DateField(header, "F_APLICA");
  if (!date) return true;
  if (*date < today) return true;
  return *date == today && RawField(header, "H_APLICA").substr(0, 8) <= now;
}

void ApplyDetails(WDBTable& details, WDBTable& prices, const std::string& business,
                  const std::string& header_code, const std::string& price_type) {
  const std::string key = business + header_code;
  details.Seek(key, true);
  for (; !details.Eof(); details.Skip()) {
    if (RawField(details, "NEGOCIO") + RawField(details, "CODIGO") != key) break;
    if (!prices.Seek(business + price_type + RawField(details, "ARTICULO"))) continue;
    LOCK_FOR_MODIFY(prices);
    prices.FieldPut("PRECIO", details.FieldGet("PRECIO"));
    UNLOCK_FOR_MODIFY(prices);
  }
}

}  // namespace

int APLICA_PRECIOS(const std::string& business_code) {
  AreaSelection keep(Areas().Selected());
  TablePtr headers = OpenShellTable("ENC_PPRE", "ENC_PPR2");
  TablePtr details = OpenShellTable("DET_PPRE", "DET_PPRE");
  TablePtr prices = OpenShellTable("DET_PREC", "DET_PRC1");
  if (!headers || !details || !prices) return 0;
  const std::string business = BusinessKey(business_code);
  const std::string pending = business + "1";
  const int32_t today = XDATE();
  const std::string now = XTIME();
  int applied = 0;
  // Headers are in date and time order: the first one not yet due ends the
  // walk. Applying a header takes it out of the pending keys.
  for (uint32_t guard = headers->RecCount() + 1; guard > 0; --guard) {
    if (!headers->Seek(pending, true) || headers->Eof()) break;
    if (RawField(*headers, "NEGOCIO") != business || IntField(*headers, "PENDIENTE") != 1) break;
    if (!Due(*headers, today, now)) break;
    ApplyDetails(*details, *prices, business, RawField(*headers, "CODIGO"),
                 RawField(*headers, "T_PRECIO"));
    LOCK_FOR_MODIFY(*headers);
    PutNum(*headers, "PENDIENTE", 0);
    PutDate(*headers, "F_PROCESA", today);
    PutText(*headers, "H_PROCESA", now);
    UNLOCK_FOR_MODIFY(*headers);
    ++applied;
  }
  return applied;
}

}  // namespace qz
