// Tolerant conversion of input fields to numbers.
#pragma once

#include <cfloat>
#include <cmath>
#include <string_view>

namespace zelba {

// The "no value" marker of every numeric field: a field that starts with '*'
// or a letter ("NA", "*", "n/a") reads as this value.
constexpr double MISSING_VALUE = -99999.0;

// Reads a numeric field the way every section of the input file does:
// - null or a field starting with '*' or an ASCII letter: MISSING_VALUE;
// - otherwise the longest decimal prefix (blanks, sign, digits, point,
//   exponent) is converted; reading stops at the first character that does
//   not fit, so "12x" is 12, "-" is 0, ".5" is 0.5 and an empty field is 0;
// - a prefix whose value is not a finite double ("1e999") gives MISSING_VALUE.
// The conversion does not depend on the process locale.
double parseNumber(const char* token);
double parseNumber(std::string_view token);

// The leading integer of a field (optional blanks, sign, digits), 0 when there
// is none; held within the range of int instead of overflowing.
int leadingInteger(std::string_view token);

// A value for a single-precision field: MISSING_VALUE when the double does not
// fit a float (so that a stored value is never infinite), else the value.
float toSingle(double value);

// The value, or 0 when it is not a finite number.
inline double finiteOrZero(double value) {
  return std::isfinite(value) ? value : 0;
}

// Adds `value` to `sum`, holding the result within the finite doubles: an
// overflow stops at the largest double of its sign, and a sum that is no
// number becomes 0. Volumes summed from absurd input thus never print as
// infinity.
inline void accumulate(double& sum, double value) {
  const double result = sum + value;
  if (std::isfinite(result)) {
    sum = result;
  } else {
    sum = std::isnan(result) ? 0 : std::copysign(DBL_MAX, result);
  }
}

}  // namespace zelba
