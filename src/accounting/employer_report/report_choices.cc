#include "accounting/employer_report/report_choices.h"

#include "lib/data/date_time.h"
#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

constexpr size_t kCodeWidth = 2;
constexpr size_t kPieceWidth = kCodeWidth + 1;

int32_t DateOf(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0;
}

std::string Period(const xb::Table& t, const std::string& start, const std::string& end) {
  return DateText(DateOf(t, start)) + " al " + DateText(DateOf(t, end));
}

}  // namespace

const std::vector<ReportList>& ReportLists() {
  static const std::vector<ReportList> kLists = {{"INF_SAL", "Sal. Ordinario "},
                                                 {"INF_H_EXT", "Total Horas Extras"},
                                                 {"INF_SA_EXT", "Sal. Extra"},
                                                 {"INF_COMIS", "Comsiones"},
                                                 {"INF_OTRO_P", "Otros Pagos"}};
  return kLists;
}

std::vector<std::string> CodesOfList(const std::string& stored) {
  std::vector<std::string> codes;
  for (size_t at = 0; at < stored.size(); at += kPieceWidth) {
    std::string code = stored.substr(at, kCodeWidth);
    if (code.find_first_not_of(' ') == std::string::npos) continue;
    code.resize(kCodeWidth, ' ');
    codes.push_back(code);
  }
  return codes;
}

std::string ListOfCodes(const std::vector<std::string>& codes) {
  std::string out;
  for (std::string code : codes) {
    code.resize(kCodeWidth, ' ');
    out += code + ",";
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> BonusPeriods(const xb::Table& plan) {
  std::vector<std::pair<std::string, std::string>> items;
  const bool on_row = !plan.Eof();
  items.emplace_back("Normal. Periódo:  " + (on_row ? Period(plan, "F_INICIO", "F_FIN")
                                                     : DateText(0) + " al " + DateText(0)),
                     "0");
  // The extra groups 2 to 5 are stored under codes 1, 2, 4 and 5.
  const std::pair<const char*, const char*> groups[] = {{"2", "1"}, {"3", "2"}, {"4", "4"}, {"5", "5"}};
  for (const auto& [group, code] : groups) {
    const std::string g = group;
    if (!on_row || FieldNumber(plan, "TOTAL_AG" + g) != 1) continue;
    items.emplace_back(FieldText(plan, "ROTULO_AG" + g) + " Periódo: " +
                           Period(plan, "F_INICIO" + g, "F_FIN" + g),
                       code);
  }
  items.emplace_back("Ninguno", " ");
  return items;
}

}  // namespace qz
