#include "lib/payroll/rates.h"

#include <cmath>

#include "lib/payroll/dates.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/table_position.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

const char* const kRateColumns[] = {"CAMBIO", "CAMBIO2", "CAMBIO3", "CAMBIO4", "CAMBIO5"};

std::string Code(const std::string& c) {
  return PadRight(c, 2);
}
bool Same(const std::string& a, const std::string& b) {
  return Code(a) == Code(b);
}

// Soft-seeks the newest row of (from -> to) dated on or before `fecha`.
bool SeekRelation(xb::Table& t, const std::string& negocio, const std::string& from,
                  const std::string& to, int32_t fecha, int rate_no, RateRow* out) {
  const std::string prefix = PadRight(negocio, 15) + Code(from) + Code(to);
  long long dias = static_cast<long long>(xb::JulianFromYmd(2090, 1, 1)) - fecha;
  if (!SeekOn(t, "T_CAMB2", prefix + Str(dias, 14), true).ok() || t.Eof()) return false;
  if (PadRight(StrField(t, "NEGOCIO"), 15) != PadRight(negocio, 15) ||
      Code(StrField(t, "MONEDA1")) != Code(from) || Code(StrField(t, "MONEDA2")) != Code(to))
    return false;
  out->found = true;
  out->rate = NumField(t, kRateColumns[rate_no - 1]);
  out->fecha = DateField(t, "FECHA");
  return true;
}

// Rate plus drift, and the multiplier it gives.
double Multiplier(const RateRow& r, double drift, int offset, int32_t today) {
  if (!r.found) return 0;
  double rate = r.rate;
  if (drift != 0) rate += (static_cast<double>(today - r.fecha) + offset) * drift;
  if (r.inverse) return rate == 0 ? 0 : 1 / rate;
  return std::isfinite(rate) ? rate : 0;
}

}  // namespace

RateRow FindRate(xb::Table& t, const std::string& negocio, const std::string& target,
                 const std::string& source, int32_t fecha, int rate_no) {
  if (rate_no < 1 || rate_no > 5) rate_no = 1;
  TablePosition keep(&t);
  RateRow r;
  if (SeekRelation(t, negocio, source, target, fecha, rate_no, &r)) return r;
  if (SeekRelation(t, negocio, target, source, fecha, rate_no, &r)) r.inverse = true;
  return r;
}

double CAMBIO_ACT(const std::string& negocio, xb::Table& t, const std::string& target,
                  const std::string& source, double drift, int drift_offset, int rate_no) {
  if (Same(target, source)) return 1;
  int32_t today = Today();
  return Multiplier(FindRate(t, negocio, target, source, today, rate_no), drift, drift_offset,
                    today);
}

double CAMBIO_SPEC(const std::string& negocio, xb::Table& t, const std::string& target,
                   const std::string& source, int32_t fecha, int rate_no) {
  if (Same(target, source)) return 1;
  return Multiplier(FindRate(t, negocio, target, source, fecha, rate_no), 0, 0, fecha);
}

double XCAMBIO_SPEC(const std::string& negocio, xb::Table& t, const std::string& target,
                    const std::string& source, int32_t fecha, int rate_no, bool manejo_tc) {
  if (Same(target, source)) return 1;
  RateRow r = FindRate(t, negocio, target, source, fecha, rate_no);
  if (!r.found) return 0;
  return r.inverse && !manejo_tc ? -r.rate : r.rate;
}

double XCAMBIO_ACT(const std::string& negocio, xb::Table& t, const std::string& target,
                   const std::string& source, int rate_no) {
  if (Same(target, source)) return 1;
  RateRow r = FindRate(t, negocio, target, source, Today(), rate_no);
  if (!r.found) return 0;
  return r.inverse ? -r.rate : r.rate;
}

int32_t CFECHA_ACT(const std::string& negocio, xb::Table& t, const std::string& target,
                   const std::string& source) {
  if (Same(target, source)) return Today();
  return FindRate(t, negocio, target, source, Today()).fecha;
}

}  // namespace qz
