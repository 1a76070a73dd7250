#include "devices/stations.h"

#include "lib/data/use.h"
#include "lib/ini/private_profile.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

StationRow Read(const WDBTable& t) {
  StationRow r;
  r.descrip = t.TextUtf8("DESCRIP");
  r.moneda = t.FieldGet("MONEDA").str();
  for (int i = 0; i < 5; ++i) r.params[i] = t.FieldGet("PARAM" + std::to_string(i + 1)).str();
  return r;
}

std::string Key(const std::string& business, const std::string& station, const std::string& bank) {
  return PadRight(business, 15) + PadRight(station, 15) + bank;
}

}  // namespace

std::string WorkstationStation(const std::string& business) {
  std::string code = GetPrivateProfileString("ESTACION_CREDIT", Trim(business), "", QuartzelIni());
  return PadRight(code, 15);
}

std::vector<StationRow> StationRows(const std::string& business, const std::string& station,
                                    const std::string& bank) {
  std::vector<StationRow> rows;
  TablePtr t = USE(nullptr, "P_ELECT", "P_ELECT");
  const std::string key = Key(business, station, bank);
  for (t->Seek(key, true); !t->Eof(); t->Skip()) {
    const std::string k = t->FieldGet("NEGOCIO").str() + t->FieldGet("CODIGO").str() +
                          t->FieldGet("BANCO").str();
    if (k != key) break;
    rows.push_back(Read(*t));
  }
  KILLTABLA(t);
  return rows;
}

std::optional<StationRow> FindStation(const std::string& business, const std::string& station,
                                      const std::string& bank, const std::string& moneda) {
  TablePtr t = USE(nullptr, "P_ELECT", "P_ELECT");
  std::optional<StationRow> r;
  if (t->Seek(Key(business, station, bank) + PadRight(moneda, 2))) r = Read(*t);
  KILLTABLA(t);
  return r;
}

std::optional<StationRow> FindSettlementStation(const std::string& business,
                                                const std::string& station,
                                                const std::string& params) {
  TablePtr t = USE(nullptr, "P_ELECT", "P_ELECT2");
  std::optional<StationRow> r;
  if (t->Seek(Key(business, station, kBancoNacional) + PadRight(params, 60))) r = Read(*t);
  KILLTABLA(t);
  return r;
}

std::string TrimmedParam(const StationRow& r, int n) {
  return Trim(r.params[n - 1]);
}

std::vector<std::string> SplitAnswer(const std::string& answer) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t semi = answer.find(';'); semi != std::string::npos; semi = answer.find(';', start)) {
    fields.push_back(answer.substr(start, semi - start));
    start = semi + 1;
  }
  if (start < answer.size()) fields.push_back(answer.substr(start));
  return fields;
}

std::string AnswerField(const std::vector<std::string>& fields, size_t n) {
  return n >= 1 && n <= fields.size() ? fields[n - 1] : std::string();
}

}  // namespace qz
