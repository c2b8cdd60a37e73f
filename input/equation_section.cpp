// "#equation": the parameters of each well's theoretical-rate methods per
// fluid and day, well properties, run-wide reservoir and PVT properties, and
// rows of host variables ("*ZEL").
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

constexpr float kDefaultDrainageDays = 90.0f;

struct EquationSection {
  int fluid = kOil;
  int well = -1;
  int day = 0;           // current equation day; -1 while a "*Date" lies outside the period
  bool zelRows = false;  // data lines are host-variable rows
};

// Method and fluid names are read from their second character on; the first,
// by convention '*', is skipped whatever it is.
std::string_view nameAt(const Fields& fields, size_t k) {
  std::string_view name = fieldAt(fields, k);
  return name.empty() ? name : name.substr(1);
}

// Parameter p (1 for the first) of a method whose name is field `at`.
float param(const Fields& fields, size_t at, int p) {
  return toSingle(numberAt(fields, at + p));
}

constexpr const char* kUnknownVariable =
    "names no known variable (date, days, pwf, bhp): the method gives no value";

void storePolynomial(BaDayEquation& e, const LineNotes& notes, const Fields& fields, size_t at) {
  size_t first = at + 1;
  const std::string& p1 = fieldAt(fields, first);
  if (!p1.empty() && p1.front() == '*') {
    e.polyVariable = lookupKeyword(p1, curveVariables());
    if (e.polyVariable < 0) notes.partlyUsed("polynomial " + std::string(kUnknownVariable));
    ++first;
  }
  e.coef.clear();
  for (size_t k = first; k < fields.size(); ++k) e.coef.push_back(toSingle(numberAt(fields, k)));
  e.coefCount = static_cast<std::int32_t>(e.coef.size());
}

void storeWellProp(RunState& rs, BaWellProp& prop, const Fields& fields, size_t at) {
  auto& slot = prop.slot;
  constexpr WellPropSlot kSlotOfParameter[] = {
      kPropThickness, kPropPorosity,        kPropRadius, kPropPermeability,
      kPropSkin,      kPropCompressibility, kPropKh};
  for (int p = 1; p <= 7; ++p) slot[kSlotOfParameter[p - 1]] = param(fields, at, p);
  // Fall back on the reservoir properties where the well has none.
  if (slot[kPropCompressibility] <= 0) slot[kPropCompressibility] = rs.control.resProp[8];
  if (slot[kPropPorosity] <= 0) slot[kPropPorosity] = rs.control.resProp[7];
  if (slot[kPropPermeability] == 0 && slot[kPropThickness] != 0) {
    slot[kPropPermeability] = slot[kPropKh] / slot[kPropThickness];
  }
}

// Stores the method named by field `at` with its parameters p1, p2, ... from
// the fields after it, for the current well, fluid and day.
void storeMethod(RunState& rs, const LineNotes& notes, const EquationSection& section,
                 const Fields& fields, size_t at) {
  const int method = lookupKeyword(nameAt(fields, at), methodNames());
  if (method < 0) {
    return notes.ignored("unknown method, keyword or well type '" + fieldAt(fields, at) + "'" +
                         didYouMean(nameAt(fields, at), methodNames()));
  }
  if (section.well < 0) return notes.ignored("no well: a '*TYPE name' well header must come first");
  if (section.day < 0 || section.day >= kDaySlots) {
    return notes.ignored("the current *Date lies outside the accepted range");
  }
  BaNode& node = *rs.nodeTable[section.well];
  BaDayEquation& e = equationDaysForWrite(node, section.fluid)[section.day];
  e.present = e.given = 1;
  auto p = [&](int n) { return param(fields, at, n); };
  switch (method) {
    case kMethodConst:
      e.constRate = p(1);
      break;
    case kMethodWellChar:
      e.slope = p(1);
      e.yo = p(2);
      break;
    case kMethodPi:
      e.pi = p(1);
      e.pres = p(2);
      break;
    case kMethodVogel:
      e.vogelMax = p(1);
      e.pres = p(2);
      break;
    case kMethodFetkovich:
      e.fetkC = p(1);
      e.declN = p(2);
      e.pres = p(3);
      break;
    case kMethodDecline:
    case kMethodHarmonic:
    case kMethodHyperbolic:
      e.refDate = numberAt(fields, at + 1);
      e.qi = p(2);
      e.di = p(3);
      e.declN = p(4);
      break;
    case kMethodPct:
      e.pct = p(1);
      break;
    case kMethodKh:
      e.kh = p(1);
      break;
    case kMethodPolynomial:
      storePolynomial(e, notes, fields, at);
      break;
    case kMethodInterpolate:
      e.curveVariable = lookupKeyword(fieldAt(fields, at + 1), curveVariables());
      if (e.curveVariable < 0) notes.partlyUsed("interpolate " + std::string(kUnknownVariable));
      break;
    case kMethodDateInfo:
      node.wellProp->dateInfo = {numberAt(fields, at + 1), numberAt(fields, at + 2)};
      node.wellProp->slot[kPropTestAgeLimit] = p(3) > 0 ? p(3) : kDefaultDrainageDays;
      break;
    case kMethodResProp:
      for (int n = 1; n <= 9; ++n) rs.control.resProp[n - 1] = p(n);
      break;
    case kMethodPvtProp:
      for (int n = 1; n <= 11; ++n) rs.control.pvtProp[n - 1] = p(n);
      break;
    case kMethodWellProp:
      storeWellProp(rs, *node.wellProp, fields, at);
      break;
    case kMethodWellDesc:
      for (int n = 1; n <= 4; ++n) node.wellDesc->values[n - 1] = p(n);
      break;
    case kMethodChokeEq:
      e.choke1 = p(1);
      e.choke2 = p(2);
      e.choke3 = p(3);
      break;
    default:  // the method itself is the whole equation
      break;
  }
}

// A "*ZEL" row: date, kh, slope, yo, RDate, Qi, Di, n of the current well and fluid.
void readZelRow(RunState& rs, EquationSection& section, const Fields& fields) {
  const RunControl& rc = rs.control;
  BaNode& node = *rs.nodeTable[section.well];
  const double date = numberAt(fields, 0);
  if (date > 0) {
    section.day = dayIndex(rc, date, 0);
    if (date < rc.periodStart && (node.beforeDate == 0 || date < node.beforeDate)) {
      node.beforeDate = date;
      node.beforeValue = numberAt(fields, 1);
    }
    if (date > rc.periodEnd && (node.afterDate == 0 || date > node.afterDate)) {
      node.afterDate = date;
      node.afterValue = numberAt(fields, 1);
    }
  }
  if (section.day < 0 || section.day >= kDaySlots) return;
  BaDayEquation& e = equationDaysForWrite(node, section.fluid)[section.day];
  e.present = e.given = 1;
  e.rowDay = static_cast<float>(daysBetween(kRowDayOrigin, date));
  e.kh = toSingle(numberAt(fields, 1));
  e.slope = toSingle(numberAt(fields, 2));
  e.yo = toSingle(numberAt(fields, 3));
  e.refDate = numberAt(fields, 4);
  e.qi = toSingle(numberAt(fields, 5));
  e.di = toSingle(numberAt(fields, 6));
  e.declN = toSingle(numberAt(fields, 7));
}

void readKeywordLine(RunState& rs, const LineNotes& notes, EquationSection& section,
                     const Fields& fields) {
  const std::string& keyword = fields.front();
  if (equalsIgnoreCase(keyword, "*Nominal")) {
    rs.control.nominal = 1;
  } else if (equalsIgnoreCase(keyword, "*Interpolate")) {
    rs.control.interpolate = 1;
  } else if (equalsIgnoreCase(keyword, "*Date")) {
    notes.oddDate(numberAt(fields, 1));
    section.day = dayIndex(rs.control, numberAt(fields, 1), 0);
    if (section.day < 0 || section.day >= kDaySlots) {
      notes.partlyUsed(
          "date outside the accepted range: equations are not stored until the next *Date");
    }
  } else if (equalsIgnoreCase(keyword, "*ZEL")) {
    section.zelRows = true;
  } else if (const int fluid = lookupFluid(rs, nameAt(fields, 0)); fluid >= 0) {
    // "day", "date", "stock" ... address no fluid
    if (fluid >= kFluidSlots) return notes.ignored("'" + keyword + "' is not a fluid");
    section.fluid = fluid;
    if (fields.size() > 1) storeMethod(rs, notes, section, fields, 1);
  } else if (const int well = headerWell(notes, fields); well >= 0) {
    section.well = well;
  } else if (isWellType(rs, lookupEntityType(rs, fieldAt(fields, 0)))) {
    // A well header that names no usable well: its lines belong to no well.
    section.well = -1;
    notes.ignored(headerProblem(rs, fields));
  } else {
    storeMethod(rs, notes, section, fields, 0);
  }
}

// A day without an equation of its own takes a copy of the latest earlier
// day's, marked as not given.
void carryForward(RunState& rs) {
  for (const auto& node : rs.nodeTable) {
    for (auto& block : node->dayEquations) {
      if (!block) continue;
      EquationDays& days = *block;
      const EquationDays& read = days;
      int latest = 0;
      int copy = -1;  // the first copy of the latest day's; the days after it share it
      for (int d = 0; d < kDaySlots; ++d) {
        if (read[d].present) {
          latest = d;
          copy = -1;
        } else if (d != latest && copy >= 0) {
          days.share(d, copy);
        } else if (d != latest) {
          days[d] = read[latest];
          days[d].given = 0;
          copy = d;
        }
      }
      days.compact();
    }
  }
}

}  // namespace

void parseEquationSection(RunState& rs, InputReader& reader) {
  EquationSection section;
  const LineNotes notes{rs, reader, "#equation"};
  forEachSectionLine(rs, reader, "#equation", [&](int kind, const Fields& fields) {
    if (kind == kKeywordLine) {
      readKeywordLine(rs, notes, section, fields);
    } else if (!section.zelRows) {
      notes.ignored("data line without *ZEL: only host-variable rows are data lines");
    } else if (section.well < 0) {
      notes.ignored("no well: a '*TYPE name' well header must come first");
    } else {
      notes.oddDate(numberAt(fields, 0));
      readZelRow(rs, section, fields);
      if (section.day < 0 || section.day >= kDaySlots) {
        notes.partlyUsed("row date outside the accepted range: the row is not stored");
      }
    }
  });
  carryForward(rs);
}

}  // namespace zelba
