// Exchange-rate lookups on T_CAMBIO (tag T_CAMB2: business + from + to +
// days from FECHA to 01/01/2090, so the newest rate of a relation comes
// first). A row (MONEDA1 = X, MONEDA2 = Y, rate r) means one X is worth r Y.
//
// All lookups answer the multiplier that turns an amount in the source
// currency into the target currency, and 0 when no rate exists (callers treat
// 0 as "no rate"); a table that cannot be read answers 0 too. The table's
// order and record are restored.
#pragma once

#include <cstdint>
#include <string>

namespace xb {
class Table;
}

namespace qz {

// The stored row a lookup chose.
struct RateRow {
  bool found = false;
  bool inverse = false;  // stored target -> source
  double rate = 0;       // the rate column as stored
  int32_t fecha = 0;     // FECHA of the row
};

// Choosing a rate: the newest row dated on or before `fecha`, first in the
// source -> target direction, then in the reverse one. `rate_no` 1..5 picks
// CAMBIO .. CAMBIO5 (0 or anything else counts as 1).
RateRow FindRate(xb::Table& t_cambio, const std::string& negocio, const std::string& target,
                 const std::string& source, int32_t fecha, int rate_no = 1);

// CAMBIO_ACT: at today's rate, optionally with a daily drift: (days from the
// row's FECHA to today + offset) x drift is added to the rate before it is
// used or inverted.
double CAMBIO_ACT(const std::string& negocio, xb::Table& t_cambio, const std::string& target,
                  const std::string& source, double drift = 0, int drift_offset = 0,
                  int rate_no = 1);
// CAMBIO_SPEC: at the rate in force on `fecha`.
double CAMBIO_SPEC(const std::string& negocio, xb::Table& t_cambio, const std::string& target,
                   const std::string& source, int32_t fecha, int rate_no = 1);
// XCAMBIO_ACT: today's stored rate itself, positive when stored source ->
// target, negated when stored target -> source (the caller then divides);
// 1 for the same currency, 0 when there is none.
double XCAMBIO_ACT(const std::string& negocio, xb::Table& t_cambio, const std::string& target,
                   const std::string& source, int rate_no = 1);
// The dated form of XCAMBIO_ACT; with `manejo_tc` (the process setting
// XMANEJO_TC = 1) a negative answer is turned positive.
double XCAMBIO_SPEC(const std::string& negocio, xb::Table& t_cambio, const std::string& target,
                    const std::string& source, int32_t fecha, int rate_no = 1,
                    bool manejo_tc = false);
// CFECHA_ACT: the date of the rate CAMBIO_ACT would use: today for the same
// currency, the row's FECHA, or the empty date (0) when there is none.
int32_t CFECHA_ACT(const std::string& negocio, xb::Table& t_cambio, const std::string& target,
                   const std::string& source);

}  // namespace qz
