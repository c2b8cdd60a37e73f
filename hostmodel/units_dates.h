// Units and dates: the host's units of measure (`ZEL_UNIT`, linked to a
// unit of another system when the host converts between them) and unit
// sets, its calendar date with time of day (`CZelDate`), and the factors
// by date that a pattern applies to a completion's volumes
// (`CLostAndFactor`, `CDateFactor`). Host dates are doubles yyyymmdd.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "hostmodel/model_object.h"

// A unit of measure of the host.
class ZELBA_MODEL_EXPORT ZEL_UNIT {
 public:
  ZEL_UNIT() = default;
  ZEL_UNIT(const std::string& name, const std::string& abbreviation, int code)
      : name(name), abbreviation(abbreviation), code_(code) {}

  int GetCode() const { return code_; }
  void SetCode(int code) { code_ = code; }
  // True when the unit is linked to a unit of the other unit system (its
  // linked unit is named) that values are converted to.
  bool IsLinked() const;

  std::string name;          // "barrel"
  std::string abbreviation;  // "bbl"
  std::string quantity;      // what it measures: "volume"
  std::string linkedUnit;    // the unit of the other system it converts to, "" for none
  std::string format;        // printf format of values shown in it
  int system = 0;            // the unit system it belongs to
  int decimals = 2;          // decimals shown
  bool isBase = false;       // the quantity's base unit
  bool isDefault = false;    // the system's default unit of the quantity

 private:
  int code_ = 0;  // the host's code of the unit
};

// The host's units.
class ZELBA_MODEL_EXPORT CZelUnits {
 public:
  // True when the host has units of measure at all.
  bool IsUnits() const { return !units_.empty(); }
  bool IsLinked(const ZEL_UNIT& unit) const { return unit.IsLinked(); }
  void Add(const ZEL_UNIT& unit) { units_.push_back(unit); }
  const std::vector<ZEL_UNIT>& Units() const { return units_; }

 private:
  std::vector<ZEL_UNIT> units_;
};

// A calendar date and time of day. Each setter takes a value in its range
// (year 1 to 9999, month 1 to 12, day 1 to the month's last, hour 0 to 23,
// minute and second 0 to 59) and returns true, or returns false and keeps
// the old value.
class ZELBA_MODEL_EXPORT CZelDate {
 public:
  CZelDate() = default;
  // The date of a host date yyyymmdd at midnight; 1 January 1901 for one
  // that is not a calendar date.
  explicit CZelDate(double hostDate);

  bool SetYear(int year);
  bool SetMonth(int month);
  bool SetDay(int day);
  bool SetHour(int hour);
  bool SetMinute(int minute);
  bool SetSecond(int second);

  // The parts narrowed to the widths of the host's binary records.
  std::int16_t Year16() const { return static_cast<std::int16_t>(year_); }
  std::int8_t Month8() const { return static_cast<std::int8_t>(month_); }
  std::int8_t Day8() const { return static_cast<std::int8_t>(day_); }
  std::int8_t Hour8() const { return static_cast<std::int8_t>(hour_); }
  std::int8_t Minute8() const { return static_cast<std::int8_t>(minute_); }
  std::int8_t Second8() const { return static_cast<std::int8_t>(second_); }
  // The time of day as a fraction of the day (12:00 is 0.5).
  float DayFraction() const {
    return static_cast<float>((hour_ * 3600 + minute_ * 60 + second_) / 86400.0);
  }
  // The host date yyyymmdd (the time of day left out).
  double HostDate() const { return year_ * 10000.0 + month_ * 100.0 + day_; }

 private:
  int year_ = 1901;
  int month_ = 1;
  int day_ = 1;
  int hour_ = 0;
  int minute_ = 0;
  int second_ = 0;
};

// The share of a completion's volume lost, and the factor applied to what
// is left, from a date on.
class ZELBA_MODEL_EXPORT CLostAndFactor {
 public:
  CLostAndFactor() = default;
  CLostAndFactor(double lost, double factor) : lost(lost), factor(factor) {}

  double lost = 0.0;
  double factor = 0.0;
};

// Factors by date: each entry holds from its date (a host date) on. Only
// finite dates and values are kept.
class ZELBA_MODEL_EXPORT CDateFactor {
 public:
  CDateFactor() = default;
  CDateFactor(const CDateFactor&) = default;
  CDateFactor& operator=(const CDateFactor&) = default;

  // Sets the entry of `date`, in place of any earlier one. Returns false,
  // changing nothing, for a date or value that is not finite.
  bool SetAt(double date, const CLostAndFactor& value);
  // The number of dated entries.
  int GetSize() const;
  // Takes every dated entry out.
  void ClearFactors();
  // The entry of exactly `date`, or null.
  const CLostAndFactor* Lookup(double date) const {
    auto it = factors_.find(date);
    return it == factors_.end() ? nullptr : &it->second;
  }
  const std::map<double, CLostAndFactor>& Factors() const { return factors_; }
  // The factor on dates before the first entry.
  double GetDefaultFactor() const { return defaultFactor_; }
  void SetDefaultFactor(double factor) { defaultFactor_ = factor; }

 private:
  std::map<double, CLostAndFactor> factors_;
  double defaultFactor_ = 1.0;
};
