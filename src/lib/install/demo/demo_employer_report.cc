// The employer's report choices of every business: the normal period as
// "Aguinaldo", the first extra bonus group as "Bono 14" (with its period),
// and the column types behind each amount of the report.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

// Column types (demo_columns.cc) behind each list of the report.
const char* const kLists[][2] = {{"INF_SAL", "01,08,"},
                                 {"INF_H_EXT", "02,03,07,14,"},
                                 {"INF_SA_EXT", "04,"},
                                 {"INF_COMIS", "05,"},
                                 {"INF_OTRO_P", "06,31,"}};

}  // namespace

xb::Status AddEmployerReport(Context& c) {
  const Day today = c.today();
  const int year = today.year() - (today.month() == 12 ? 0 : 1);
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(UpdateRow(c, "F_PLAN", b.code, [&](xb::Table& t) {
      t.Put("INF_AGUI1", xb::Value::Char("0"));
      t.Put("INF_AGUI2", xb::Value::Char("1"));
      // The second group's period: the calendar year.
      t.Put("F_INICIO2", xb::Value::Date(Day::Ymd(year, 1, 1).jd));
      t.Put("F_FIN2", xb::Value::Date(Day::Ymd(year, 12, 31).jd));
      for (const auto& list : kLists) t.Put(list[0], xb::Value::Char(list[1]));
    }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
