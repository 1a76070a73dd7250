// Card-terminal stations: the P_ELECT rows (one per station, bank and
// currency) and this workstation's station code, kept in QUARTZEL.INI.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qz {

inline constexpr const char* kBancoNacional = "01";
inline constexpr const char* kCredomatic = "02";

struct StationRow {
  std::string descrip;                 // UTF-8, trimmed
  std::string moneda;                  // table bytes
  std::string params[5];               // table bytes, untrimmed
};

// ESTACION_CREDIT of the business, padded with blanks to 15 characters (15
// blanks when this workstation has none).
std::string WorkstationStation(const std::string& business);

// The rows of `business` + `station` + `bank`, in P_ELECT order.
std::vector<StationRow> StationRows(const std::string& business, const std::string& station,
                                    const std::string& bank);
// The row of that station, bank and currency.
std::optional<StationRow> FindStation(const std::string& business, const std::string& station,
                                      const std::string& bank, const std::string& moneda);
// The first bank's settlement lookup (tag P_ELECT2): business + station +
// "01" + PARAM1 + PARAM2 + PARAM3 as remembered by the closing window.
std::optional<StationRow> FindSettlementStation(const std::string& business,
                                                const std::string& station,
                                                const std::string& params);

std::string TrimmedParam(const StationRow& r, int n);  // PARAMn (1-based), trimmed

// Splits a SockPos answer at every ";": "00;OK;" gives {"00", "OK"} (a
// trailing non-empty rest is the last field).
std::vector<std::string> SplitAnswer(const std::string& answer);
// Field n (1-based) of an answer; "" when the answer is shorter.
std::string AnswerField(const std::vector<std::string>& fields, size_t n);

// The message of a station the bank cannot be asked about.
inline constexpr const char* kTerminalNotFound = "Terminal no encontrada en Base de Datos de Terminales";

}  // namespace qz
