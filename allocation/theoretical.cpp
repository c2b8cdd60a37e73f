// Theoretical volumes of the wells: the daily loop, the gas, water and
// injection method chains, and the decline, polynomial and well-test
// interpolation evaluators that the oil methods share.
//
// Decline curves follow Arps: exponential (effective or nominal), harmonic
// and hyperbolic, with the decline rate per month of 30.4375 days.
#include "allocation/theoretical.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/numbers.h"

#include "allocation/oil_methods.h"
#include "engine/dates.h"
#include "engine/work_threads.h"

namespace zelba {

namespace {

constexpr double kDaysPerMonth = 30.4375;

int methodAt(const BaNode& node, int fluid, int k) {
  return node.methods[fluid][k];
}

bool chainMayRun(const BaNode& node, int day, int fluid) {
  return (*node.testDays)[day].valid || isEquationDriven(node, fluid);
}

// The "Kh" value of the well's oil equation serves every fluid's Kh method.
double oilKh(const BaNode& node, int day) {
  return dayEquation(node, kOil, day).kh;
}

}  // namespace

double waterOilRatioOf(double bsw, bool fraction) {
  const double whole = fraction ? 1.0 : 100.0;
  return bsw > 0 && bsw < whole ? bsw / (whole - bsw) : 0;
}

float testValue(const BaNode& node, int day, int column) {
  return (*node.testDays)[day].values[column];
}

bool isEquationDriven(const BaNode& node, int fluid) {
  switch (methodAt(node, fluid, 0)) {
    case kMethodDecline:
    case kMethodHarmonic:
    case kMethodHyperbolic:
    case kMethodTransient:
    case kMethodKh:
    case kMethodPolynomial:
    case kMethodInterpolate:
      return true;
    default:
      return false;
  }
}

void setCalibrationDefault(RunState& rs, double value) {
  rs.scratch.calibrationDefault = value > 0 ? value : 1.0;
}

Eval declineRate(const RunState& rs, const BaNode& node, int day, int fluid) {
  const BaDayEquation& e = dayEquation(node, fluid, day);
  // Without a reference date and an initial rate there is no time on the
  // curve, hence no decline value.
  if (e.refDate == 0 || !(e.qi > 0) || day == 0) return Eval{-1, 0};
  // The day's date written as periodStart + (d - 1); a day number past the end
  // of its month counts on into the next month.
  const double date = rs.control.periodStart + (day - 1);
  const double t = daysBetween(e.refDate, date) / kDaysPerMonth;
  double out = e.qi;
  if (e.di != 0) {
    double d = e.di;
    if (d > 1) d *= 0.01;  // given in percent per month
    const double n = e.declN;
    if (n > 0 && n == 1) {
      out = e.qi / (1 + d * t);
    } else if (n > 0) {
      out = e.qi / std::pow(1 + n * d * t, 1 / n);
    } else if (rs.control.nominal) {
      out = e.qi * std::exp(-d * t);
    } else {
      out = e.qi * std::pow(1 - d, t);
    }
  }
  out = finiteOrZero(out);
  return Eval{out > 0 ? 1 : -1, out};
}

Eval polynomialValue(const BaNode& node, int day, int fluid) {
  const BaDayEquation& e = dayEquation(node, fluid, day);
  if (e.polyVariable == -1 || e.coef.empty() || day <= 0) return Eval{-1, 0};
  double value = 0;
  double power = 1;
  for (const float c : e.coef) {
    value += c * power;
    power *= day;
  }
  return std::isfinite(value) ? Eval{1, value} : Eval{-1, 0};
}

double interpolateTable(InterpolationTable& table, double x, bool holdFirst) {
  const std::vector<double>& xs = table.x;
  const std::vector<double>& ys = table.y;
  size_t k = std::max<size_t>(table.cursor, 1);
  for (; k < table.count(); ++k) {
    if (x < xs[k]) {
      table.cursor = k;
      if (k == 1 && holdFirst) return ys[0];
      const double span = xs[k] - xs[k - 1];
      if (span == 0) return ys[k];
      return finiteOrZero(ys[k - 1] + (x - xs[k - 1]) * (ys[k] - ys[k - 1]) / span);
    }
    if (x == xs[k]) {
      table.cursor = k;
      return ys[k];
    }
  }
  table.cursor = table.count();
  return ys.back();
}

Eval testInterpolated(RunState& rs, const BaNode& node, int day, int fluid, int column) {
  if (dayEquation(node, fluid, day).curveVariable == -1) return Eval{-1, 0};
  InterpolationTable& table = rs.scratch.testTable;
  if (day == 0) {
    // Only days with a test line of their own, not the carried copies.
    table.clear();
    for (int s = 0; s < kDaySlots; ++s) {
      const BaTestDay& test = (*node.testDays)[s];
      if (test.given) table.add(s, test.values[column]);
    }
    return Eval{-1, 0};
  }
  if (table.count() < 3) return Eval{-1, 0};
  return Eval{1, interpolateTable(table, day, true)};
}

namespace {

// The well-test columns a ratio chain reads: the fluid's own rate and its
// ratio to oil.
struct RatioColumns {
  int rate;   // "GAS" or "WATER"
  int ratio;  // "gor" or "bsw"
};

// The gas and water chains: each method gives either a direct rate (ratio
// mode off) or a ratio to the oil volume (`ratio`: the GOR for gas, the BS&W
// for water). Returns with the chain's last method in `eval.method`.
void ratioChain(RunState& rs, const BaNode& node, int day, int fluid, RatioColumns columns,
                double& ratio, WellEvaluation& eval) {
  int status = 1;
  for (int k = 0; k < kMethodSlots; ++k) {
    const int m = methodAt(node, fluid, k);
    eval.method = m;
    Eval r;
    switch (m) {
      case kMethodWelltest:
        eval.rate = testValue(node, day, columns.rate);
        if (eval.rate == 0) {
          ratio = testValue(node, day, columns.ratio);
        } else {
          eval.ratioMode = false;
        }
        break;
      case kMethodConst:
        ratio = dayEquation(node, fluid, day).constRate;
        status = ratio > 0 ? 1 : 0;
        break;
      case kMethodDecline:
      case kMethodHarmonic:
      case kMethodHyperbolic:
        eval.ratioMode = false;
        r = declineRate(rs, node, day, fluid);
        status = r.status;
        eval.rate = r.value;
        break;
      case kMethodZozed:
        if (fluid != kGas) break;  // only gas has a fitted curve
        r = gasCurveFit(rs, node, day);
        status = r.status;
        if (r.status == 1) {  // the fitted value is the day's gas rate
          eval.rate = r.value;
          eval.ratioMode = false;
        }
        break;
      case kMethodKh:
        eval.rate = oilKh(node, day);
        if (eval.rate > 0) {
          eval.ratioMode = false;
        } else {
          status = -1;
        }
        break;
      case kMethodPolynomial:
        status = takeFound(polynomialValue(node, day, fluid), ratio);
        break;
      case kMethodInterpolate:
        status = takeFound(testInterpolated(rs, node, day, fluid, columns.ratio), ratio);
        break;
      default:  // no rule for the fluid: the status stands
        break;
    }
    if (eval.rate < 0) eval.rate = 0;
    if (status == 1) break;
  }
}

}  // namespace

void gasChain(RunState& rs, const BaNode& node, int day, WellEvaluation& eval) {
  if (!chainMayRun(node, day, kGas)) return;
  eval.ratioMode = true;
  eval.gasOilRatio = 0;
  ratioChain(rs, node, day, kGas, {kTestGas, kTestGor}, eval.gasOilRatio, eval);
}

void waterChain(RunState& rs, const BaNode& node, int day, WellEvaluation& eval) {
  if (!chainMayRun(node, day, kWater)) return;
  eval.ratioMode = true;
  double bsw = 0;
  ratioChain(rs, node, day, kWater, {kTestWater, kTestBsw}, bsw, eval);
  if (eval.ratioMode) eval.waterOilRatio = waterOilRatioOf(bsw, rs.control.bswFraction);
}

void injectionChain(RunState& rs, const BaNode& node, int day, int fluid, WellEvaluation& eval) {
  if (!chainMayRun(node, day, fluid)) return;
  eval.ratioMode = false;
  const int column = kTestWaterInj + (fluid - kWaterInj);  // WaterInj, GasInj, SteamInj
  int status = 1;
  for (int k = 0; k < kMethodSlots; ++k) {
    const int m = methodAt(node, fluid, k);
    eval.method = m;
    switch (m) {
      case kMethodWelltest:
        eval.rate = testValue(node, day, column);
        break;
      case kMethodConst:
        eval.rate = dayEquation(node, fluid, day).constRate;
        break;
      case kMethodKh:
        eval.rate = oilKh(node, day);
        break;
      case kMethodPolynomial:
        status = takeFound(polynomialValue(node, day, fluid), eval.rate);
        break;
      case kMethodInterpolate:
        status = takeFound(testInterpolated(rs, node, day, fluid, column), eval.rate);
        break;
      default:
        break;
    }
    if (eval.rate < 0) eval.rate = 0;
    if (status == 1) break;
  }
}

namespace {

// The oil volume that gas and water ratios apply to: the allocated oil when
// oil was allocated, else the theoretical oil.
double oilVolumeOf(const BaNode& node, int day) {
  const BaFluidDays& oil = node.fluids[kOil];
  return oil.dayResult[day] != 0 ? oil.dayResult[day] : oil.volume[day];
}

// One day's rate of a well into `eval`; returns the hours the rate is scaled by.
double evaluateDay(RunState& rs, const BaNode& node, const BaPom* pom, int stage, int fluid,
                   int day, bool firstDay, WellEvaluation& eval, std::int8_t& source) {
  double hours = (*node.routes)[day].hoursOn;
  auto recordMethod = [&] {
    source = static_cast<std::int8_t>(eval.method);
    if (eval.method == kSourceWellWatch) hours = 24;  // a well-watch rate is the day's own
  };
  switch (fluid) {
    case kOil:
      if (firstDay) oilChain(rs, node, 0, eval);
      oilChain(rs, node, day, eval);
      recordMethod();
      break;
    case kGas:
      if (stage == 2 && pom && pom->gor > 0) {
        eval.gasOilRatio = pom->gor;
        eval.ratioMode = true;
      } else {
        if (firstDay) gasChain(rs, node, 0, eval);
        gasChain(rs, node, day, eval);
        recordMethod();
      }
      if (eval.ratioMode) {
        eval.rate = eval.gasOilRatio * oilVolumeOf(node, day) * 0.001;
        hours = 24;  // the day's oil volume already counts the hours on
      }
      break;
    case kWater:
      if (stage == 2 && pom && pom->bsw > 0) {
        eval.waterOilRatio = waterOilRatioOf(pom->bsw, false);
        eval.ratioMode = true;
      } else {
        if (firstDay) waterChain(rs, node, 0, eval);
        waterChain(rs, node, day, eval);
        recordMethod();
      }
      if (eval.ratioMode) {
        eval.rate = oilVolumeOf(node, day) * eval.waterOilRatio;
        hours = 24;  // the day's oil volume already counts the hours on
      }
      if (eval.rate < 0) eval.rate = 0;
      break;
    case kWaterInj:
    case kGasInj:
    case kSteamInj:
      injectionChain(rs, node, day, fluid, eval);
      source = static_cast<std::int8_t>(eval.method);
      hours = 24;  // injection is not scaled by hours on
      break;
    default:  // CO2 injection and the unnamed slot have no methods
      break;
  }
  return hours;
}

// Evaluates one well over the period; returns the days on which its nodal
// method found no rate.
std::uint32_t evaluateWell(RunState& rs, BaNode& node, const BaPom* pom, int stage, int fluid,
                           bool everyNode) {
  const RunControl& rc = rs.control;
  BaFluidDays& days = node.fluids[fluid];
  WellEvaluation eval;
  bool firstDay = true;
  const auto [first, end] = periodDays(rc);
  for (int d = first; d < end; ++d) {
    // A volume given for the well itself, a day without production, and a day
    // already evaluated for an earlier point are left alone (a second stage
    // evaluates again).
    if (days.qualifier[d] != 0 || (*node.routes)[d].hoursOn == 0 ||
        (days.volume[d] != 0 && stage != 2)) {
      // Without allocation a volume given in #volume for the well is its
      // allocated volume too, as its point's total counts it.
      if (everyNode && days.volume[d] != 0) {
        days.dayResult[d] = days.volume[d];
        accumulate(days.cumResult[d], days.volume[d]);
      }
      continue;
    }
    node.hasVolume[fluid] = 1;
    const double hours =
        evaluateDay(rs, node, pom, stage, fluid, d, firstDay, eval, days.source[d]);
    const double volume = finiteOrZero(eval.rate * hours / 24);
    days.volume[d] = volume;
    if (everyNode) {
      days.dayResult[d] = volume;
      accumulate(days.cumResult[d], volume);
    }
    firstDay = false;
  }
  return eval.noNodalRateDays;
}

void noteNoNodalRate(RunState& rs, const BaNode& node, std::uint32_t days) {
  if (days != 0) rs.scratch.noNodalRateDays[&node] |= days;
}

// The well's methods for the fluid read the run's scratch tables (the
// well-test or the Kh interpolation), which a well that does not rebuild them
// inherits from the well evaluated before it.
bool readsScratchTables(const RunControl& rc, const BaNode& node, int fluid) {
  for (int k = 0; k < kMethodSlots; ++k) {
    const int m = methodAt(node, fluid, k);
    if (m == kMethodInterpolate || (fluid == kOil && m == kMethodKh && rc.interpolate)) {
      return true;
    }
  }
  return false;
}

// The oil chain may solve for a nodal rate: milliseconds a well-day.
bool mayRunNodal(const BaNode& node, int fluid) {
  if (fluid != kOil) return false;
  for (int k = 0; k < kMethodSlots; ++k) {
    if (methodAt(node, fluid, k) == kMethodZozed) return true;
  }
  return false;
}

bool listsWellTwice(const std::vector<BaNode*>& wells) {
  std::vector<BaNode*> sorted(wells);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

// Sharing wells out costs some microseconds; a point is shared out when it
// has nodal wells or many plain ones.
constexpr size_t kSharedPlainWells = 512;
constexpr int kSharedNodalWells = 2;
constexpr size_t kPlainWellsPerItem = 64;

// Evaluates `wells` (in member order) for one point or for the whole run.
void evaluateWells(RunState& rs, const std::vector<BaNode*>& wells, const BaPom* pom, int stage,
                   int fluid, bool everyNode) {
  WorkThreads* threads = rs.workThreads;
  std::vector<BaNode*> shared;  // the wells evaluated on the threads
  int nodalWells = 0;
  if (threads != nullptr && threads->parallel() && rs.traceFiles == nullptr && wells.size() >= 2) {
    for (BaNode* well : wells) {
      if (readsScratchTables(rs.control, *well, fluid)) continue;
      shared.push_back(well);
      if (mayRunNodal(*well, fluid)) ++nodalWells;
    }
    const bool worth = nodalWells >= kSharedNodalWells || shared.size() >= kSharedPlainWells;
    if (!worth || listsWellTwice(shared)) shared.clear();
  }
  if (shared.empty()) {
    for (BaNode* well : wells) {
      noteNoNodalRate(rs, *well, evaluateWell(rs, *well, pom, stage, fluid, everyNode));
    }
    return;
  }
  // The threads find the fluid's blocks created: they only write into them.
  for (BaNode* well : shared) well->fluids[fluid];
  const size_t perItem = nodalWells > 0 ? 1 : kPlainWellsPerItem;
  const int items = static_cast<int>((shared.size() + perItem - 1) / perItem);
  std::vector<std::uint32_t> noNodalRate(shared.size());
  threads->forEach(items, [&](int item) {
    const size_t from = static_cast<size_t>(item) * perItem;
    const size_t to = std::min(shared.size(), from + perItem);
    for (size_t i = from; i < to; ++i) {
      noNodalRate[i] = evaluateWell(rs, *shared[i], pom, stage, fluid, everyNode);
    }
  });
  // The wells that read the scratch tables, in member order, as without threads.
  for (BaNode* well : wells) {
    if (readsScratchTables(rs.control, *well, fluid)) {
      noteNoNodalRate(rs, *well, evaluateWell(rs, *well, pom, stage, fluid, everyNode));
    }
  }
  for (size_t i = 0; i < shared.size(); ++i) noteNoNodalRate(rs, *shared[i], noNodalRate[i]);
}

}  // namespace

void computeTheoreticalVolumes(RunState& rs, int pom, int fluid, bool everyNode) {
  if (fluid < 0 || fluid >= kFluidSlots) return;
  std::vector<BaNode*> wells;
  if (everyNode) {
    for (const auto& node : rs.nodeTable) {
      node->allocated = 1;
      if (isWellWithDays(rs, *node)) wells.push_back(node.get());
    }
    evaluateWells(rs, wells, nullptr, 0, fluid, true);
    return;
  }
  if (pom < 0 || pom >= rs.pomCount()) return;
  const BaPom& p = *rs.pomTable[pom];
  const int q = memberListPom(rs, pom);
  if (q < 0) return;
  const BaPom& listed = *rs.pomTable[q];
  setCalibrationDefault(rs, listed.calibration);
  wells.reserve(listed.members.size());
  for (const std::int32_t member : listed.members) {
    if (member < 0 || member >= rs.nodeCount()) continue;
    BaNode& node = *rs.nodeTable[member];
    if (isWellWithDays(rs, node)) wells.push_back(&node);
  }
  evaluateWells(rs, wells, &p, p.stage, fluid, false);
}

}  // namespace zelba
