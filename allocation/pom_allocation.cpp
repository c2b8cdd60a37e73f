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

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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

namespace {

// One allocation of a point over a day range, as its phases share it.
struct PomRange {
  RunState& rs;
  BaPom& point;  // the point of measurement
  BaNode& node;  // its own node
  int pom;       // its index
  int fluid;
  int d0;  // the days d0 up to but not including d1
  int d1;
  int routeKey = -1;              // what a member's route names on a day it flows to the point
  std::vector<BaNode*>& members;  // the run's scratch list, filled for this range
};

// The measured volume to allocate over the range; added to the point's
// measured total.
double measuredVolume(PomRange& r) {
  RunState& rs = r.rs;
  const RunControl& rc = rs.control;
  const BaFluidDays& days = r.node.fluids[r.fluid];
  const double shrink = shrinkFactor(rs, r.node, r.point.typeId, r.fluid);
  const int from = rc.fromPom >= 0 && rc.fromPom < rs.pomCount() ? rc.fromPom : 0;
  const bool topLevel = r.point.typeId == rs.pomTable[from]->typeId;
  double measured = 0;
  if (topLevel) {
    for (int d = r.d0; d < r.d1; ++d) {
      prepareMeasured(rs, r.node, r.fluid, d, true, shrink);
      accumulate(measured, days.dayResult[d]);
    }
  } else if (rc.dailyMode) {
    prepareMeasured(rs, r.node, r.fluid, r.d0, false, shrink);
    measured = days.dayResult[r.d0];
  } else {
    measured = r.node.runTotalB[r.fluid];
  }
  accumulate(r.point.measuredTotal[r.fluid], measured);
  return measured;
}

struct BaseVolume {
  double fixed = 0;  // the members' absolute and percentage parts
  double total = 0;  // those and the theoretical volumes to be scaled
};

// The members' base volume over the range; marks them allocated and adds
// each one's base to its run total.
BaseVolume baseVolume(PomRange& r, double measured) {
  BaseVolume base;
  for (BaNode* member : r.members) {
    if (!member->hasVolume[r.fluid]) continue;
    member->allocated = 1;
    const BaFluidDays& days = member->fluids[r.fluid];
    double theo = 0;
    double fixed = 0;
    for (int d = r.d0; d < r.d1; ++d) {
      if (!flowsTo(*member, d, r.routeKey)) continue;
      if (days.qualifier[d] == kQualifierPlain) {
        accumulate(theo, days.volume[d]);
      } else {
        accumulate(fixed, fixedPart(days, d, measured));
      }
    }
    accumulate(member->runTotalA[r.fluid], theo + fixed);
    accumulate(base.fixed, fixed);
    accumulate(base.total, theo + fixed);
  }
  accumulate(r.point.baseTotal[r.fluid], base.total);
  return base;
}

struct FieldFactor {
  int code = kInRange;     // its range-check code
  bool targetHit = false;  // inside the target band
  double applied = 0;      // what the base volumes are multiplied by
};

// The range's field factor, checked and recorded on the point.
FieldFactor fieldFactor(PomRange& r, double measured, const BaseVolume& base) {
  const RunControl& rc = r.rs.control;
  const double factor = finiteOrZero((measured - base.fixed) / (base.total - base.fixed));
  r.point.fieldFactor[r.fluid][r.d0] = factor;
  FieldFactor f;
  f.code = checkFactorRange(rc, factor);
  r.point.factorComputed[r.fluid][r.d0] = 1;
  r.point.rangeCode[r.fluid][r.d0] = static_cast<std::uint8_t>(f.code);
  // Inside the target band the members keep their base volumes unscaled.
  f.targetHit = rc.targetLow != 0 && rc.targetLow < factor && factor < rc.targetHigh;
  f.applied = f.targetHit ? 1.0 : factor;
  if (f.code != kInRange) {
    accumulate(r.rs.scratch.unallocated[r.fluid], measured);
    noteException(r.rs, DiagnosticKind::kFactorOutOfRange,
                  "field factor out of range: the members got nothing", r.pom, r.fluid, r.d0,
                  factor, f.code);
  } else if (f.targetHit) {
    noteException(r.rs, DiagnosticKind::kTargetBandHit,
                  "field factor in the target band: members keep their base volumes", r.pom,
                  r.fluid, r.d0, factor);
  }
  return f;
}

struct Shares {
  double allocated = 0;       // the sum of the members' cut shares
  BaNode* largest = nullptr;  // the member with the largest share, null for none
};

// Gives each member its share of every day, cut to the run's precision; a
// factor out of range gives them nothing and its code instead.
Shares shareOut(PomRange& r, double measured, const FieldFactor& f) {
  const RunControl& rc = r.rs.control;
  Shares shares;
  double largestShare = kNoShare;
  for (BaNode* member : r.members) {
    if (f.code != kInRange) {
      member->excluded = static_cast<std::uint8_t>(f.code);
      continue;
    }
    if (!member->hasVolume[r.fluid]) continue;
    BaFluidDays& days = member->fluids[r.fluid];
    double memberSum = 0;
    for (int d = r.d0; d < r.d1; ++d) {
      if (!flowsTo(*member, d, r.routeKey) || days.volume[d] == 0) continue;
      const double share = days.qualifier[d] == kQualifierPlain ? days.volume[d] * f.applied
                                                                : fixedPart(days, d, measured);
      const double cut = finiteOrZero(roundToPrecision(rc, share));
      days.dayResult[d] = cut;
      accumulate(days.cumResult[d], cut);
      if (share > largestShare) {
        largestShare = share;
        shares.largest = member;
      }
      accumulate(memberSum, cut);
    }
    accumulate(member->runTotalB[r.fluid], memberSum);
    accumulate(shares.allocated, memberSum);
  }
  return shares;
}

// What the cutting left over goes to the largest share; an over-allocation
// is not taken back. Returns what was allocated in all.
double giveRemainder(PomRange& r, double measured, const FieldFactor& f, const Shares& shares) {
  double allocated = shares.allocated;
  if (f.targetHit || measured == allocated || !shares.largest) return allocated;
  if (measured < allocated) {
    noteException(r.rs, DiagnosticKind::kRemainderKept,
                  "members got more than was measured; nothing was taken back", r.pom, r.fluid,
                  r.d0, allocated - measured);
  }
  const double diff = std::max(0.0, finiteOrZero(measured - allocated));
  BaFluidDays& days = shares.largest->fluids[r.fluid];
  accumulate(days.dayResult[r.d0], diff);
  accumulate(days.cumResult[r.d0], diff);
  accumulate(shares.largest->runTotalB[r.fluid], diff);
  accumulate(allocated, diff);
  return allocated;
}

}  // namespace

void allocatePom(RunState& rs, int fluid, int pom, int d0, int d1) {
  if (pom < 0 || pom >= rs.pomCount() || fluid < 0 || fluid >= kFluidSlots) return;
  BaPom& p = *rs.pomTable[pom];
  if (p.nodeIndex < 0 || p.nodeIndex >= rs.nodeCount()) return;
  d0 = std::max(d0, 0);
  d1 = std::min(d1, kDaySlots);
  if (d0 >= d1) return;
  PomRange r{rs, p, *rs.nodeTable[p.nodeIndex], pom, fluid, d0, d1, -1, rs.scratch.members};
  r.members.clear();

  const double measured = measuredVolume(r);
  if (!r.node.hasVolume[fluid] || r.node.excluded != 0) return;

  const int q = memberListPom(rs, pom);
  if (q < 0) return;
  const BaPom& listed = *rs.pomTable[q];
  r.routeKey = listed.index;
  r.node.allocated = 1;
  for (const std::int32_t m : listed.members) {
    if (m >= 0 && m < rs.nodeCount()) r.members.push_back(rs.nodeTable[m].get());
  }

  const BaseVolume base = baseVolume(r, measured);
  if (base.total == 0 || base.fixed == base.total) {
    if (measured != 0) {
      accumulate(rs.scratch.unallocated[fluid], measured);
      noteException(rs, DiagnosticKind::kNoBaseVolume,
                    "measured volume but no member with a base volume to scale", pom, fluid, d0,
                    measured);
    }
    return;
  }
  const FieldFactor factor = fieldFactor(r, measured, base);
  const Shares shares = shareOut(r, measured, factor);
  accumulate(p.allocatedTotal[fluid], giveRemainder(r, measured, factor, shares));
}

}  // namespace zelba
