// The oil rate methods of one well and day.
//
// Inflow-performance relations: straight-line productivity index, Vogel
// (solution-gas drive) and Fetkovich (back-pressure). Gilbert's choke
// correlation: wellhead pressure = 435 R^0.546 q / S^1.89. The transient
// productivity index is that of radial flow,
// k h / (70.6 B mu (ln(k t / (phi c rw^2)) - 7.4316 + 2 s)), t in hours.
#include "allocation/oil_methods.h"

#include <cmath>

#include "engine/dates.h"

namespace zelba {

namespace {

constexpr double kGilbertConstant = 435;
constexpr double kGilbertChokeExponent = 1.89;
constexpr double kGilbertRatioExponent = 0.546;

// The date of a query day written as periodStart + d; a day number past the
// end of its month counts on into the next month.
double queryDate(const RunState& rs, int day) {
  return rs.control.periodStart + day;
}

bool firstMethodIsChoke(const BaNode& node) {
  return node.methods[kOil][0] == kMethodChokeEq;
}

}  // namespace

Eval khInterpolated(RunState& rs, const BaNode& node, int day) {
  InterpolationTable& table = rs.scratch.equationTable;
  if (day == 0) {
    table.clear();
    if (node.beforeDate != 0)
      table.add(daysBetween(kRowDayOrigin, node.beforeDate), node.beforeValue);
    for (int s = 1; s < kDaySlots; ++s) {
      const BaDayEquation& e = dayEquation(node, kOil, s);
      if (e.given && e.rowDay > 0) table.add(e.rowDay, e.kh);
    }
    if (node.afterDate != 0) table.add(daysBetween(kRowDayOrigin, node.afterDate), node.afterValue);
    return Eval{-1, 0};
  }
  if (table.count() == 0) return Eval{-1, 0};
  if (table.count() == 1) return Eval{1, table.y[0]};
  const double x = daysBetween(kRowDayOrigin, queryDate(rs, day));
  return Eval{1, interpolateTable(table, x, false)};
}

TestAge testAge(const RunState& rs, const BaNode& node, int day) {
  TestAge result;
  const BaWellProp& prop = *node.wellProp;
  const double reference = prop.dateInfo[1] != 0 ? prop.dateInfo[1] : prop.dateInfo[0];
  if (reference != 0) result.age = daysBetween(reference, queryDate(rs, day));
  if (result.age <= 0) return result;
  const float limit = prop.slot[kPropTestAgeLimit];
  result.flag = limit == 0 || result.age <= limit ? 1 : 0;
  return result;
}

Eval transientProductivity(const RunState& rs, const BaNode& node, double ageDays) {
  const auto& slot = node.wellProp->slot;
  const double thickness = slot[kPropThickness];
  const double porosity = slot[kPropPorosity];
  const double radius = slot[kPropRadius];
  const double permeability = slot[kPropPermeability];
  const double skin = slot[kPropSkin];
  const double compressibility = slot[kPropCompressibility];
  if (!(permeability > 0) || !(thickness > 0)) return Eval{-1, 0};
  const double a = porosity * compressibility * std::pow(radius / 12, 2) * 0.01;
  if (!(a > 0)) return Eval{-1, 0};
  const auto& pvt = rs.control.pvtProp;
  const double c = pvt[3] * 70.6 * pvt[2];
  // The constant -7.4316 holds for time in hours.
  const double argument = permeability * ageDays * 24 / a;
  if (!(argument > 0)) return Eval{-1, 0};
  const double d = (std::log(argument) - 7.4316 + 2 * skin) * c;
  if (!(d > 0) || !std::isfinite(d)) return Eval{-1, 0};
  const double index = permeability * thickness / d;
  return std::isfinite(index) ? Eval{1, index} : Eval{-1, 0};
}

Eval chokeRate(const BaNode& node, int day) {
  double p = testValue(node, day, kTestWhfp);
  double s = testValue(node, day, kTestChoke);
  double q = testValue(node, day, kTestOil);
  if (p == 0 || s == 0 || q <= 0) {
    // The calibration point of the "Choke Eq." equation stands in for the test.
    const BaDayEquation& e = dayEquation(node, kOil, day);
    p = e.choke2;
    q = e.choke1;
    s = e.choke3;
  }
  const BaWatchDay& watch = watchDay(node, day);
  const double pw = watch.watchThp;
  const double sw = watch.watchChoke;
  if (!(p > 0) || !(s > 0) || !(q > 0) || !(pw > 0) || !(sw > 0)) return Eval{-1, 0};
  const double r = std::pow(std::pow(s, kGilbertChokeExponent) * p / (kGilbertConstant * q),
                            1.8315018315018314);  // 1 / 0.546
  const double rate = std::pow(sw, kGilbertChokeExponent) * pw /
                      (std::pow(r, kGilbertRatioExponent) * kGilbertConstant);
  return std::isfinite(rate) ? Eval{1, rate} : Eval{-1, 0};
}

int oilChain(RunState& rs, const BaNode& node, int day, WellEvaluation& eval) {
  const bool equationDriven = isEquationDriven(node, kOil);
  // A well with well-watch samples takes the day's well-watch rate, unless its
  // equations drive it or its choke method reads the well watch itself.
  if (node.watchSampleCount != 0 && !equationDriven && !firstMethodIsChoke(node)) {
    eval.rate = watchDay(node, day).watchRate;
    eval.method = kSourceWellWatch;
    return 1;
  }
  if (!(*node.testDays)[day].valid && !equationDriven) return -1;

  for (int k = 0; k < kMethodSlots; ++k) {
    const int m = node.methods[kOil][k];
    eval.method = m;
    int status = 1;
    const BaDayEquation& e = dayEquation(node, kOil, day);
    const double whfp = testValue(node, day, kTestWhfp);
    Eval r;
    switch (m) {
      case kMethodWelltest: {
        eval.rate = testValue(node, day, kTestOil);
        double cal = testValue(node, day, kTestCalibration);
        const double pointCalibration = rs.scratch.calibrationDefault;
        if (pointCalibration != 0 && cal == -1.0)
          cal = pointCalibration;  // calibrated on the choke
        if (cal > 0) eval.rate *= cal;
        break;
      }
      case kMethodConst:
        eval.rate = e.constRate;
        status = eval.rate != 0 ? 1 : 0;
        break;
      case kMethodWellChar:
        status = -1;
        if (whfp > 0 && e.slope != 0) {
          eval.rate = (whfp - e.yo) / e.slope;
          if (eval.rate > 0) status = 1;
        }
        break;
      case kMethodPi:
        status = -1;
        if (whfp > 0 && e.pres > 0 && e.pi > 0 && whfp < e.pres) {
          eval.rate = (e.pres - whfp) * e.pi;
          status = 1;
        }
        break;
      case kMethodVogel:
        status = -1;
        if (whfp > 0 && e.pres > 0 && e.vogelMax > 0 && whfp < e.pres) {
          const double x = whfp / e.pres;
          eval.rate = (1 - 0.2 * x - 0.8 * x * x) * e.vogelMax;
          status = 1;
        }
        break;
      case kMethodFetkovich:
        status = -1;
        if (whfp > 0 && e.pres > 0 && e.fetkC > 0 && whfp < e.pres && e.declN > 0) {
          const double pres = e.pres;
          eval.rate = e.fetkC * std::pow(pres * pres - whfp * whfp, double(e.declN));
          status = 1;
        }
        break;
      case kMethodDecline:
      case kMethodHarmonic:
      case kMethodHyperbolic:
        r = declineRate(rs, node, day, kOil);
        status = r.status;
        eval.rate = r.value;
        break;
      case kMethodTransient:
        if (testAge(rs, node, day).flag != 0) status = -1;
        break;
      case kMethodPct:
        eval.rate = e.pct;
        status = 11;
        break;
      case kMethodZozed: {
        const TestAge age = testAge(rs, node, day);
        if (age.flag == 0) break;
        status = -1;
        if (whfp > 0) {
          const Eval index = transientProductivity(rs, node, age.age);
          if (index.status == 1) r = liftRate(rs, node, day, index.value);
          if (index.status == 1 && r.status == 1) {
            eval.rate = r.value;
            status = 1;
          }
        }
        if (status == -1 && day >= 0 && day < kDaySlots) {
          eval.noNodalRateDays |= std::uint32_t{1} << day;
        }
        break;
      }
      case kMethodKh:
        if (rs.control.interpolate) {
          r = khInterpolated(rs, node, day);
          status = r.status;
          eval.rate = r.value;
        } else {
          eval.rate = e.kh;
        }
        if (eval.rate <= 0) status = -1;
        break;
      case kMethodPolynomial:
        status = takeFound(polynomialValue(node, day, kOil), eval.rate);
        break;
      case kMethodInterpolate:
        status = takeFound(testInterpolated(rs, node, day, kOil, kTestOil), eval.rate);
        break;
      case kMethodChokeEq:
        status = takeFound(chokeRate(node, day), eval.rate);
        break;
      default:  // no rule: the method ends the chain with the carried rate
        break;
    }
    if (!std::isfinite(eval.rate) || eval.rate < 0) eval.rate = 0;
    if (status != -1) return status;
  }
  return -1;
}

}  // namespace zelba
