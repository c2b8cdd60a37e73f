#include "engine/numbers.h"

#include <locale.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/text.h"

namespace zelba {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// strtod in the "C" locale, whatever locale the host process has set: the
// input file always writes a decimal point.
double convertDecimal(const std::string& text) {
  static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (cLocale == static_cast<locale_t>(0)) return std::strtod(text.c_str(), nullptr);
  return strtod_l(text.c_str(), nullptr, cLocale);
}

}  // namespace

double parseNumber(const char* token) {
  if (token == nullptr) return MISSING_VALUE;
  return parseNumber(std::string_view(token));
}

double parseNumber(std::string_view token) {
  if (token.empty()) return 0.0;
  if (token.front() == '*' || isAsciiLetter(token.front())) return MISSING_VALUE;

  // Copy the longest decimal prefix: [blanks][sign]digits[.digits][e[sign]digits],
  // into a buffer on the stack when it fits (every field of a real input).
  size_t i = 0;
  const size_t n = token.size();
  while (i < n && isBlank(token[i])) ++i;
  char small[80];
  std::string large;
  size_t length = 0;
  auto add = [&](char c) {
    if (length < sizeof small) {
      small[length] = c;
    } else {
      if (length == sizeof small) large.assign(small, length);
      large += c;
    }
    ++length;
  };
  if (i < n && (token[i] == '+' || token[i] == '-')) {
    if (token[i] == '-') add('-');
    ++i;
  }
  add('0');  // so that "-.5" and ".5" read with a 0 before the point
  bool digits = false;
  auto copyDigits = [&] {
    while (i < n && isDigit(token[i])) {
      add(token[i++]);
      digits = true;
    }
  };
  copyDigits();
  if (i < n && token[i] == '.') {
    add(token[i++]);
    copyDigits();
  }
  if (!digits) return 0.0;
  if (i < n && (token[i] == 'e' || token[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (token[j] == '+' || token[j] == '-')) ++j;
    if (j < n && isDigit(token[j])) {
      for (size_t k = i; k < j; ++k) add(token[k]);
      while (j < n && isDigit(token[j])) add(token[j++]);
    }
  }
  const char* text = length <= sizeof small ? small : large.data();
  // from_chars rounds exactly as strtod does; a value it cannot give (one that
  // overflows or underflows) goes through strtod, which decides as before.
  double value = 0;
  const auto parsed = std::from_chars(text, text + length, value);
  if (parsed.ec != std::errc() || parsed.ptr != text + length) {
    value = convertDecimal(std::string(text, length));
  }
  return std::isfinite(value) ? value : MISSING_VALUE;
}

int leadingInteger(std::string_view token) {
  size_t i = 0;
  const size_t n = token.size();
  while (i < n && isBlank(token[i])) ++i;
  bool negative = false;
  if (i < n && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  long long value = 0;
  while (i < n && isDigit(token[i])) {
    value = value * 10 + (token[i++] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

float toSingle(double value) {
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return static_cast<float>(MISSING_VALUE);
  return static_cast<float>(value);
}

}  // namespace zelba
