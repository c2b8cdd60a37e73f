// Units and dates: the out-of-line members the host supplies for them.
#include "hostmodel/units_dates.h"

#include <cmath>

namespace {

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool ZEL_UNIT::IsLinked() const {
  return !linkedUnit.empty();
}

CZelDate::CZelDate(double hostDate) {
  if (!std::isfinite(hostDate) || hostDate < 10101.0 || hostDate > 99991231.0 ||
      hostDate != std::floor(hostDate)) {
    return;
  }
  const long value = static_cast<long>(hostDate);
  const int year = static_cast<int>(value / 10000);
  const int month = static_cast<int>(value / 100 % 100);
  const int day = static_cast<int>(value % 100);
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return;
  year_ = year;
  month_ = month;
  day_ = day;
}

bool CZelDate::SetYear(int year) {
  if (year < 1 || year > 9999) return false;
  // 29 February of a year that is not a leap year is not a date.
  if (day_ > daysInMonth(year, month_)) return false;
  year_ = year;
  return true;
}

bool CZelDate::SetMonth(int month) {
  if (month < 1 || month > 12 || day_ > daysInMonth(year_, month)) return false;
  month_ = month;
  return true;
}

bool CZelDate::SetDay(int day) {
  if (day < 1 || day > daysInMonth(year_, month_)) return false;
  day_ = day;
  return true;
}

bool CZelDate::SetHour(int hour) {
  if (hour < 0 || hour > 23) return false;
  hour_ = hour;
  return true;
}

bool CZelDate::SetMinute(int minute) {
  if (minute < 0 || minute > 59) return false;
  minute_ = minute;
  return true;
}

bool CZelDate::SetSecond(int second) {
  if (second < 0 || second > 59) return false;
  second_ = second;
  return true;
}

bool CDateFactor::SetAt(double date, const CLostAndFactor& value) {
  // A NaN key would break the map's order, and NaN factors would reach the
  // volumes they scale.
  if (!std::isfinite(date) || !std::isfinite(value.lost) || !std::isfinite(value.factor)) {
    return false;
  }
  factors_[date] = value;
  return true;
}

int CDateFactor::GetSize() const {
  return static_cast<int>(factors_.size());
}

void CDateFactor::ClearFactors() {
  factors_.clear();
}
