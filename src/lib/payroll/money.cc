#include "lib/payroll/money.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "xbase/value.h"

namespace qz {
namespace {

// How far a scaled value may lie from a grid point and still count as on it:
// a fixed 1e-9 for small values plus about 450 units in the last place for
// large ones. Amounts carry at most 15 significant digits, so anything closer
// than that is representation noise, not a real fraction.
double Tolerance(double v) {
  return 1e-9 + std::fabs(v) * 1e-13;
}

double Snap(double v) {
  double r = std::nearbyint(v);
  return std::fabs(v - r) <= Tolerance(v) ? r : v;
}

double Pow10(int n) {
  static const double k[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  return k[n < 0 ? 0 : (n > 15 ? 15 : n)];
}

// Rounds x up onto the grid of multiples of 1/scale.
double CeilToGrid(double x, double scale) {
  return std::ceil(Snap(x * scale)) / scale;
}

// Rounds half away from zero on the decimal digits of `x` as written with 15
// significant digits (what an amount of the tables can carry), so the
// decision at the half is taken on the decimal number, never on the binary
// approximation: 123456789.12499 is ...124990 and goes down; 1.005, held as
// 1.00499999999999989, is 1.00500000000000 and goes up.
double RoundDecimal(double x, int dec) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
  // buf: d.dddddddddddddde±XX
  std::string digits;
  digits.push_back(buf[0]);
  digits.append(buf + 2, 14);
  int exp10 = std::atoi(buf + 17);
  // digits[i] has weight 10^(exp10 - i); keep those with weight >= 10^-dec.
  int keep = exp10 + dec + 1;
  if (keep < 0) return x < 0 ? -0.0 : 0.0;
  if (keep >= static_cast<int>(digits.size())) return x;  // nothing beyond the grid
  bool up = digits[static_cast<size_t>(keep)] >= '5';
  // The integer formed by the kept digits, in units of 10^-dec.
  double units = 0;
  for (int i = 0; i < keep; ++i) units = units * 10 + (digits[static_cast<size_t>(i)] - '0');
  if (up) units += 1;
  double r = units / Pow10(dec);
  return x < 0 ? -r : r;
}

}  // namespace

double RoundHalfAway(double x, int dec) {
  if (!std::isfinite(x)) return 0;
  if (dec < 0) dec = 0;
  if (dec > 15) dec = 15;
  double a = std::fabs(x) * Pow10(dec);
  if (a >= 4503599627370496.0) return x;  // 2^52: no fractional digits left to round
  // Far from the half the binary value decides safely and fast; near it the
  // decimal digits do.
  double frac = a - std::floor(a);
  if (std::fabs(frac - 0.5) > 1e-6) {
    double r = std::floor(a + 0.5) / Pow10(dec);
    return x < 0 ? -r : r;
  }
  return RoundDecimal(x, dec);
}

double ROUND5(double x) {
  return RoundHalfAway(x, 2);
}

double ROUND6(double x, int d, int h) {
  if (!std::isfinite(x)) return 0;
  if (d < 0) d = 0;
  if (d > 6) d = 6;
  if (d == 0) return CeilToGrid(x, 1);
  if (d == 1 && h == 1) return CeilToGrid(x, 2);
  // The payroll looked at the fraction with 2d+1 decimals only; anything finer
  // never moved a cost to the next step.
  double xr = RoundHalfAway(x, 2 * d + 1);
  double scale = Pow10(d);
  if (h == 1) scale /= 5;
  return CeilToGrid(xr, scale);
}

double CostRounding::operator()(double x) const {
  if (red_costo != 1) return std::isfinite(x) ? x : 0;
  return ROUND6(x, dec_costo, dec_cost5);
}

double HourlyCostFactor(double base, double val_div, double schedule_factor, double valor_3,
                        const CostRounding& r) {
  if (val_div == 0 || schedule_factor == 0) return 0;
  double f = r(base / val_div / schedule_factor) * valor_3;
  return std::isfinite(f) ? f : 0;
}

double CALC_MONTO_PRESTAMO(double cuota, double tasa, int n) {
  if (n <= 0) return 0;
  if (tasa == 0) return cuota * n;
  double i = tasa / 12.0 / 100.0;
  double p = std::pow(1 + i, n);
  double m = cuota * (p - 1) / (i * p);
  return std::isfinite(m) ? m : 0;
}

std::string NUM_INVERSO(int32_t fecha, const std::string& hora) {
  auto part = [&](size_t pos) {
    int v = 0;
    for (size_t k = pos; k < pos + 2 && k < hora.size(); ++k) {
      if (hora[k] < '0' || hora[k] > '9') break;
      v = v * 10 + (hora[k] - '0');
    }
    return v;
  };
  long long dias = static_cast<long long>(xb::JulianFromYmd(2090, 1, 1)) - fecha;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%10lld%10d%10d%10d", dias, 24 - part(0), 60 - part(3),
                60 - part(6));
  return buf;
}

bool IS_VAL_CED(const std::string& id, int min_len) {
  size_t b = id.find_first_not_of(' ');
  if (b == std::string::npos) return false;
  size_t e = id.find_last_not_of(' ');
  if (static_cast<int>(e - b + 1) < min_len) return false;
  for (size_t k = b; k <= e; ++k) {
    char c = id[k];
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!ok) return false;
  }
  return true;
}

int DIF_MESES(int32_t desde, int32_t hasta) {
  if (desde <= 0 || hasta <= desde) return 0;
  int y1, m1, d1, y2, m2, d2;
  xb::YmdFromJulian(desde, &y1, &m1, &d1);
  xb::YmdFromJulian(hasta, &y2, &m2, &d2);
  return (y2 * 12 + m2) - (y1 * 12 + m1);
}

}  // namespace qz
