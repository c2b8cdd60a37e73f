#include "allocation/allocation_review.h"

#include <algorithm>
#include <bitset>

#include "engine/dates.h"

namespace zelba {

namespace {

constexpr double kOldTestDays = 90;

bool isListedFluid(const RunControl& rc, int fluid) {
  return rc.hasVolumes[fluid] || rc.theoretical[fluid];
}

// A first method that reads the well test of the day.
bool needsWellTest(int method) {
  switch (method) {
    case kMethodWelltest:
    case kMethodWellChar:
    case kMethodPi:
    case kMethodVogel:
    case kMethodFetkovich:
    case kMethodZozed:
    case kMethodInterpolate:
      return true;
    default:
      return false;
  }
}

void note(RunState& rs, DiagnosticKind kind, std::string reason, int node, int fluid = -1,
          int day = -1, double value = 0) {
  Diagnostic d;
  d.kind = kind;
  d.reason = std::move(reason);
  d.node = node;
  d.fluid = fluid;
  d.day = day;
  d.value = value;
  rs.diagnostics.add(std::move(d));
}

void reviewWell(RunState& rs, int index) {
  const RunControl& rc = rs.control;
  const BaNode& well = *rs.nodeTable[index];
  const auto [first, end] = periodDays(rc);

  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    if (!isListedFluid(rc, fluid)) continue;
    const BaFluidDays& days = well.fluids[fluid];
    for (int d = first; d < end; ++d) {
      if ((*well.routes)[d].hoursOn != 0) continue;
      if (days.volume[d] != 0 || days.cumResult[d] != 0) {
        note(rs, DiagnosticKind::kVolumeWithoutHours, "volume on a day with 0 hours on", index,
             fluid, d, days.cumResult[d] != 0 ? days.cumResult[d] : days.volume[d]);
      }
    }
  }

  // A day on production that got nothing because its theoretical volume was
  // 0 (a well test of 0, a method with no rate), per measured fluid.
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    if (!rc.hasVolumes[fluid] || rc.theoretical[fluid]) continue;
    const BaFluidDays& days = well.fluids[fluid];
    int count = 0;
    int firstDay = -1;
    for (int d = first; d < end; ++d) {
      if ((*well.routes)[d].hoursOn > 0 && days.volume[d] == 0 && days.cumResult[d] == 0) {
        if (count++ == 0) firstDay = d;
      }
    }
    if (count == 0) continue;
    note(rs, DiagnosticKind::kNoTheoreticalVolume,
         "on production with no theoretical volume: gets no allocation; the method " +
             methodText(days.source[firstDay]) + " gave 0",
         index, fluid, firstDay, count);
  }
  if (const auto found = rs.scratch.noNodalRateDays.find(&well);
      found != rs.scratch.noNodalRateDays.end()) {
    std::bitset<kDaySlots> days(found->second);
    for (int d = 0; d < kDaySlots; ++d) {
      if (d < first || d >= end) days.reset(static_cast<size_t>(d));
    }
    const int count = static_cast<int>(days.count());
    if (count != 0) {
      note(rs, DiagnosticKind::kNoNodalRate,
           "the nodal method found no rate; the next method of the chain gave the day's rate",
           index, kOil, -1, count);
    }
  }

  bool needsTest = false;
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    if (isListedFluid(rc, fluid) && needsWellTest(well.methods[fluid][0])) needsTest = true;
  }
  if (needsTest && well.acceptedTests == 0) {
    note(rs, DiagnosticKind::kNoWellTest,
         "its methods need a well test, but none was accepted before or during the period", index);
  }
  if (well.newestTestDate > 0) {
    const double age = daysBetween(well.newestTestDate, rc.periodStart);
    if (age > kOldTestDays) {
      note(rs, DiagnosticKind::kOldWellTest, "newest well test is older than 90 days", index, -1,
           -1, age);
    }
  }
}

}  // namespace

void reviewAllocation(RunState& rs) {
  for (int i = 0; i < rs.nodeCount(); ++i) {
    const BaNode& node = *rs.nodeTable[i];
    if (isWellWithDays(rs, node) && node.allocated) reviewWell(rs, i);
  }
}

}  // namespace zelba
