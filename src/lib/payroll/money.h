// Money arithmetic of the payroll: decimal rounding of amounts, the upward
// payroll rounding ROUND6 and the cost rounding built on it, the hourly-cost
// factor, loan principal and a few small numeric and key helpers.
//
// Amounts are doubles (the tables store them as decimal text). A double cannot
// hold 7.13 exactly. Rounding to decimals decides at the half on the amount's
// decimal digits (15 significant ones, all an amount carries), so 7.125 held
// as 7.12499... rounds half away from zero to 7.13 and 123,456,789.12499
// stays .12, as a person computing by hand expects. ROUND6 snaps a value
// within a few units in the last place of its grid onto it before rounding
// up, so 7.13 held as 7.12999... stays 7.13.
#pragma once

#include <cstdint>
#include <string>

namespace qz {

// `x` rounded to `dec` decimals (0..15), half away from zero on its decimal
// digits. Non-finite input gives 0, so no NaN or infinity ever reaches a
// table.
double RoundHalfAway(double x, int dec);

// ROUND5: an amount rounded to 2 decimals.
double ROUND5(double x);

// ROUND6(x, d, h): the upward payroll rounding of hourly costs and net
// salaries. Rounds towards +infinity onto the grid 10^-d, or onto 5 x 10^-d
// when h = 1 (d = 2, h = 1: the next 0.05); a value already on the grid stays.
// Digits beyond 2d+1 decimals are dropped first, as the payroll always did.
// d is clamped to 0..6.
double ROUND6(double x, int d, int h);

// The cost rounding R of the business's payroll parameters (F_PLAN fields
// RED_COSTO, DEC_COSTO, DEC_COST5).
struct CostRounding {
  int red_costo = 0;
  int dec_costo = 0;
  int dec_cost5 = 0;
  double operator()(double x) const;
};

// The hourly-cost factor stored in FACTOR of an employee value row whose
// column type has VAL_DEPEND = 1: R(base / val_div / schedule_factor) x
// valor_3. Either divisor 0 (or non-finite input) gives factor 0: an employee
// without a dividing factor or schedule has no hourly cost to derive.
double HourlyCostFactor(double base, double val_div, double schedule_factor, double valor_3,
                        const CostRounding& r);

// CALC_MONTO_PRESTAMO: the principal that `n` monthly instalments `cuota` repay
// at a yearly rate of `tasa` percent. Rate 0 gives cuota x n; n <= 0 or a
// result that cannot be computed gives 0.
double CALC_MONTO_PRESTAMO(double cuota, double tasa, int n);

// NUM_INVERSO: a key that sorts newest first: days from `fecha` (Julian day
// number) to 01/01/2090, 24 - hours, 60 - minutes and 60 - seconds, each as a
// 10-character right-aligned number. `hora` is "hh:mm:ss".
std::string NUM_INVERSO(int32_t fecha, const std::string& hora);

// IS_VAL_CED: an identification is valid when its trimmed text is at least
// `min_len` (NEGOCIOS.N_CEDULA) long and holds only letters A-Z and digits.
bool IS_VAL_CED(const std::string& id, int min_len);

// DIF_MESES: the number of month changes met walking day by day from `desde`
// to `hasta` (Julian day numbers); 0 when hasta is not after desde or either
// date is empty.
int DIF_MESES(int32_t desde, int32_t hasta);

}  // namespace qz
