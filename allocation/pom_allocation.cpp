// Point-of-measurement allocation.
//
// The measured volume M of a point is shared among its members: members given
// as an absolute volume or a percentage take their part first, the others are
// scaled by one field factor F = (M - fixed) / (base - fixed). A factor outside
// the accepted range is not applied: the members are marked with its code and
// get nothing. Shares are cut to the run's precision and what the cutting
// leaves over goes to the member with the largest share.
//
// Points form levels. A point of the starting point's type allocates its own
// measured volume (after shrinkage and stock); a point of another type
// allocates what the level above gave its node.
#include "allocation/pom_allocation.h"

#include <cmath>

#include "engine/numbers.h"

namespace zelba {

namespace {

constexpr double kNoShare = -99999.0;

// The member flows to the point on that day: it has no routes (a facility),
// or its route of the day names the point.
bool flowsTo(const BaNode& member, int day, int routeKey) {
  return !member.routes || (*member.routes)[day].pomIndex == routeKey;
}

// Records an allocation exception of point `pom` for the run's diagnostics.
void noteException(RunState& rs, DiagnosticKind kind, std::string reason, int pom, int fluid,
                   int day, double value, int code = 0) {
  Diagnostic note;
  note.kind = kind;
  note.reason = std::move(reason);
  note.pom = pom;
  note.node = rs.pomTable[pom]->nodeIndex;
  note.fluid = fluid;
  note.day = day;
  note.value = value;
  note.code = code;
  rs.diagnostics.add(std::move(note));
}

// A member's part of the measured volume for one day, before any field factor:
// the base volume is scaled later, absolute and percentage parts are fixed.
double fixedPart(const BaFluidDays& days, int day, double measured) {
  return days.qualifier[day] == kQualifierPercent ? measured * days.volume[day] * 0.01
                                                  : days.volume[day];
}

}  // namespace

double shrinkFactor(const RunState& rs, const BaNode& node, int typeId, int fluid) {
  if (fluid != kOil || isWellType(rs, typeId)) return 1.0;
  return node.shrinkage > 0 ? node.shrinkage : 1.0;
}

void prepareMeasured(RunState& rs, BaNode& node, int fluid, int day, bool topLevel, double shrink) {
  BaFluidDays& days = node.fluids[fluid];
  if (!topLevel) {
    if (rs.control.dailyMode && fluid == kOil) accumulate(days.dayResult[day], node.stock[day]);
    return;
  }
  const double measuredOil = node.fluids[kOil].volume[day];
  const double measuredWater = node.fluids[kWater].volume[day];
  if (fluid == kWater && measuredWater != 0 && measuredOil != 0) {
    // Water keeps the measured water-oil ratio on top of the oil allocated
    // after shrinkage and stock (oil is allocated first).
    const double wc = measuredWater / (measuredOil + measuredWater);
    days.dayResult[day] = finiteOrZero(node.fluids[kOil].dayResult[day] * wc / (1 - wc));
  } else if (fluid == kWater && measuredWater != 0) {
    days.dayResult[day] = measuredWater;  // no oil to take a ratio to
  } else {
    days.dayResult[day] = finiteOrZero(days.volume[day] * shrink);
  }
  if (fluid == kOil) accumulate(days.dayResult[day], node.stock[day]);
  accumulate(days.cumResult[day], days.dayResult[day]);
}

int checkFactorRange(const RunControl& rc, double factor) {
  if (factor < 0) return kFactorNegative;
  if (factor < rc.rangeMin) return kFactorBelowRange;
  if (factor > rc.rangeMax) return kFactorAboveRange;
  return kInRange;
}

double roundToPrecision(const RunControl& rc, double value) {
  if (rc.precision == 0) return std::trunc(value + 0.0001);
  const double scaled = value * rc.precisionScale;
  if (!std::isfinite(scaled)) return value;
  return std::trunc(scaled) / rc.precisionScale;
}

void allocatePom(RunState& rs, int fluid, int pom, int d0, int d1) {
  const RunControl& rc = rs.control;
  if (pom < 0 || pom >= rs.pomCount() || fluid < 0 || fluid >= kFluidSlots) return;
  BaPom& p = *rs.pomTable[pom];
  if (p.nodeIndex < 0 || p.nodeIndex >= rs.nodeCount()) return;
  BaNode& point = *rs.nodeTable[p.nodeIndex];
  BaFluidDays& pointDays = point.fluids[fluid];
  const double shrink = shrinkFactor(rs, point, p.typeId, fluid);
  d0 = std::max(d0, 0);
  d1 = std::min(d1, kDaySlots);
  if (d0 >= d1) return;

  // The measured volume to allocate over the range.
  const int from = rc.fromPom >= 0 && rc.fromPom < rs.pomCount() ? rc.fromPom : 0;
  const bool topLevel = p.typeId == rs.pomTable[from]->typeId;
  double measured = 0;
  if (topLevel) {
    for (int d = d0; d < d1; ++d) {
      prepareMeasured(rs, point, fluid, d, true, shrink);
      accumulate(measured, pointDays.dayResult[d]);
    }
  } else if (rc.dailyMode) {
    prepareMeasured(rs, point, fluid, d0, false, shrink);
    measured = pointDays.dayResult[d0];
  } else {
    measured = point.runTotalB[fluid];
  }
  accumulate(p.measuredTotal[fluid], measured);
  if (!point.hasVolume[fluid] || point.excluded != 0) return;

  const int q = memberListPom(rs, pom);
  if (q < 0) return;
  const BaPom& listed = *rs.pomTable[q];
  const int routeKey = listed.index;
  point.allocated = 1;

  std::vector<BaNode*> members;
  members.reserve(listed.members.size());
  for (const std::int32_t m : listed.members) {
    if (m >= 0 && m < rs.nodeCount()) members.push_back(rs.nodeTable[m].get());
  }

  double fixedSum = 0;
  double baseSum = 0;
  for (BaNode* member : members) {
    if (!member->hasVolume[fluid]) continue;
    member->allocated = 1;
    const BaFluidDays& days = member->fluids[fluid];
    double theo = 0;
    double fixed = 0;
    for (int d = d0; d < d1; ++d) {
      if (!flowsTo(*member, d, routeKey)) continue;
      if (days.qualifier[d] == kQualifierPlain) {
        accumulate(theo, days.volume[d]);
      } else {
        accumulate(fixed, fixedPart(days, d, measured));
      }
    }
    accumulate(member->runTotalA[fluid], theo + fixed);
    accumulate(fixedSum, fixed);
    accumulate(baseSum, theo + fixed);
  }
  accumulate(p.baseTotal[fluid], baseSum);
  if (baseSum == 0 || fixedSum == baseSum) {
    if (measured != 0) {
      noteException(rs, DiagnosticKind::kNoBaseVolume,
                    "measured volume but no member with a base volume to scale", pom, fluid, d0,
                    measured);
    }
    return;
  }

  const double factor = finiteOrZero((measured - fixedSum) / (baseSum - fixedSum));
  p.fieldFactor[fluid][d0] = factor;
  const int code = checkFactorRange(rc, factor);
  p.factorComputed[fluid][d0] = 1;
  p.rangeCode[fluid][d0] = static_cast<std::uint8_t>(code);
  // Inside the target band the members keep their base volumes unscaled.
  const bool targetHit = rc.targetLow != 0 && rc.targetLow < factor && factor < rc.targetHigh;
  const double applied = targetHit ? 1.0 : factor;
  if (code != kInRange) {
    noteException(rs, DiagnosticKind::kFactorOutOfRange,
                  "field factor out of range: the members got nothing", pom, fluid, d0, factor,
                  code);
  } else if (targetHit) {
    noteException(rs, DiagnosticKind::kTargetBandHit,
                  "field factor in the target band: members keep their base volumes", pom, fluid,
                  d0, factor);
  }

  double largestShare = kNoShare;
  BaNode* largest = nullptr;
  double allocSum = 0;
  for (BaNode* member : members) {
    if (code != kInRange) {
      member->excluded = static_cast<std::uint8_t>(code);
      continue;
    }
    if (!member->hasVolume[fluid]) continue;
    BaFluidDays& days = member->fluids[fluid];
    double memberSum = 0;
    for (int d = d0; d < d1; ++d) {
      if (!flowsTo(*member, d, routeKey) || days.volume[d] == 0) continue;
      const double share = days.qualifier[d] == kQualifierPlain ? days.volume[d] * applied
                                                                : fixedPart(days, d, measured);
      const double r = finiteOrZero(roundToPrecision(rc, share));
      days.dayResult[d] = r;
      accumulate(days.cumResult[d], r);
      if (share > largestShare) {
        largestShare = share;
        largest = member;
      }
      accumulate(memberSum, r);
    }
    accumulate(member->runTotalB[fluid], memberSum);
    accumulate(allocSum, memberSum);
  }

  // What the cutting left over goes to the largest share; an over-allocation
  // is not taken back.
  if (!targetHit && measured != allocSum && largest) {
    if (measured < allocSum) {
      noteException(rs, DiagnosticKind::kRemainderKept,
                    "members got more than was measured; nothing was taken back", pom, fluid, d0,
                    allocSum - measured);
    }
    const double diff = std::max(0.0, finiteOrZero(measured - allocSum));
    BaFluidDays& days = largest->fluids[fluid];
    accumulate(days.dayResult[d0], diff);
    accumulate(days.cumResult[d0], diff);
    accumulate(largest->runTotalB[fluid], diff);
    accumulate(allocSum, diff);
  }
  accumulate(p.allocatedTotal[fluid], allocSum);
}

}  // namespace zelba
