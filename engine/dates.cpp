#include "engine/dates.h"

#include <cmath>

#include "engine/numbers.h"

namespace zelba {

namespace {

constexpr int kDaysInFourYears = 1461;  // every fourth year is a leap year

int fullYear(int year) {
  return year < 1000 ? year + 1900 : year;
}

// Both day counts start the year in March: January and February count as
// months 14 and 15 of the year before; other months are shifted by one.
struct MarchYear {
  long year;
  long month;
};

MarchYear marchYear(int year, int month) {
  if (month < 3) return {fullYear(year) - 1L, month + 13L};
  return {fullYear(year), month + 1L};
}

}  // namespace

DateParts splitDate(double date) {
  DateParts parts;
  // Nine or more digits can never be a date.
  if (!std::isfinite(date) || date <= 0 || date >= 99999999.5) return parts;
  // The date rounded as "%.0f" prints it (to the nearest, halves to even),
  // and its number of digits, without going through printf.
  const long value = std::lrint(date);
  int digits = 1;
  for (long rest = value; rest >= 10; rest /= 10) ++digits;
  switch (digits) {
    case 8:
      parts.year = static_cast<int>(value / 10000);
      parts.month = static_cast<int>(value / 100 % 100);
      parts.day = static_cast<int>(value % 100);
      break;
    case 6:
      parts.year = static_cast<int>(value / 100);
      parts.month = static_cast<int>(value % 100);
      if (parts.year > 2100) return DateParts{};  // not a year-and-month
      break;
    case 5:
    case 4:
      parts.year = static_cast<int>(value / 100);
      parts.month = static_cast<int>(value % 100);
      break;
    default:
      return parts;
  }
  parts.valid = true;
  return parts;
}

bool isOddDate(double date) {
  if (!std::isfinite(date) || date < 10000000 || date >= 99999999.5) return false;
  const DateParts parts = splitDate(date);
  if (!parts.valid) return false;
  if (parts.month < 1 || parts.month > 12 || parts.day < 1) return true;
  // The calendar's own leap years, not the arithmetic's every fourth year.
  const bool leap = parts.year % 4 == 0 && (parts.year % 100 != 0 || parts.year % 400 == 0);
  const int days = parts.month == 2 ? (leap ? 29 : 28) : daysInMonth(parts.month, parts.year);
  return parts.day > days;
}

long serialDay(int year, int month, int day) {
  const MarchYear my = marchYear(year, month);
  return (153 * my.month) / 5 + (1461 * my.year) / 4 + day;
}

long julianDay(int year, int month, int day) {
  const long fy = fullYear(year);
  const MarchYear my = marchYear(year, month);
  const long y = my.year;
  long result = static_cast<long>(std::floor(365.25 * y)) +
                static_cast<long>(std::floor(30.6001 * my.month)) + day + 1720995;
  if ((fy * 12 + month) * 31 + day >= 588829) {  // on or after 15 October 1582
    const long a = y / 100;
    result += 2 - a + a / 4;
  }
  return result;
}

long dateToDayNumber(double date, int scale) {
  const DateParts p = splitDate(date);
  if (!p.valid) return 0;
  return scale == 0 ? serialDay(p.year, p.month, p.day) : julianDay(p.year, p.month, p.day);
}

double daysBetween(double a, double b) {
  return static_cast<double>(dateToDayNumber(b, 0) - dateToDayNumber(a, 0));
}

int daysInMonth(int month, int year) {
  switch (month) {
    case 2:
      return year % 4 == 0 ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    default:
      return 31;
  }
}

double addDays(double date, int days) {
  if (days == 0) return date;
  const DateParts p = splitDate(date);
  if (!p.valid) return date;
  long y = p.year;
  int m = p.month;
  long d = static_cast<long>(p.day) + days;
  const bool realMonth = m >= 1 && m <= 12;
  if (d > 0) {
    // Any 48 consecutive months hold the same number of days.
    if (realMonth && d > kDaysInFourYears) {
      const long spans = (d - 1) / kDaysInFourYears;
      d -= spans * kDaysInFourYears;
      y += 4 * spans;
    }
    while (d > daysInMonth(m, static_cast<int>(y))) {
      d -= daysInMonth(m, static_cast<int>(y));
      if (++m > 12) m = 1, ++y;
    }
  } else {
    if (realMonth && d < -kDaysInFourYears) {
      const long spans = -d / kDaysInFourYears;
      d += spans * kDaysInFourYears;
      y -= 4 * spans;
    }
    while (d < 1) {
      if (--m < 1) m = 12, --y;
      d += daysInMonth(m, static_cast<int>(y));
    }
  }
  return static_cast<double>(y) * 10000.0 + m * 100.0 + static_cast<double>(d);
}

int dayIndex(const RunControl& rc, double date, int lowest) {
  if (!(date > 0)) return -1;
  double offset = daysBetween(rc.periodStart, date) + 1;
  // Held within a small range before the integer conversion: anything this
  // far away is outside the period whatever its exact value.
  if (offset > 1000) offset = 1000;
  if (offset < -1000) offset = -1000;
  int i = static_cast<int>(offset);
  if (date < rc.periodStart) i = 0;
  if (date > rc.periodEnd) i = -1;
  if (lowest == 0) {
    if (rc.priorTestDays != 0) {
      i = rc.priorTestDays < daysBetween(rc.periodStart, date) ? -1 : 0;
    } else if (rc.testDateAfter != 0) {
      i = date >= rc.testDateAfter ? 0 : -1;
    }
  }
  return i < lowest ? -1 : i;
}

void fillDayDates(RunState& rs) {
  // Every day index gets its date, not only those up to `endDay` - 1: while
  // the sections are read `endDay` still holds the last day itself.
  rs.dayDates.fill(0);
  if (!splitDate(rs.control.periodStart).valid) return;
  for (int d = 1; d < kDaySlots; ++d) rs.dayDates[d] = addDays(rs.control.periodStart, d - 1);
}

double dayDate(const RunState& rs, int day) {
  return day >= 0 && day < kDaySlots ? rs.dayDates[day] : 0;
}

TimeOfDay parseTimeOfDay(std::string_view token) {
  TimeOfDay result;
  if (token.size() < 2) return result;
  // hh at character 1, mm at 4, ss at 7; characters 3, 6 and 9 separate them,
  // and reading each part stops at its separator.
  auto part = [&](size_t at) { return at < token.size() ? leadingInteger(token.substr(at)) : 0; };
  int hours = part(0);
  const int minutes = part(3);
  const int seconds = part(6);
  if (token.size() > 9) {
    const char marker = token[9];
    if ((marker == 'P' || marker == 'p') && hours != 12) hours += 12;
    if ((marker == 'A' || marker == 'a') && hours == 12) hours = 0;
  }
  if (hours < 0 || minutes < 0 || seconds < 0) return result;
  result.ok = true;
  result.seconds = hours * 3600.0 + minutes * 60.0 + seconds;
  return result;
}

}  // namespace zelba
