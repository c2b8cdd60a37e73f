// The fluid passes: for each point of measurement from the starting point on,
// in table order, the theoretical volumes of its wells and then the
// allocation of its measured volume, per day or once for the period; or, for
// a fluid allocated from theoretical rates only, the wells' theoretical
// volumes as their allocated volumes and their sum at each point.
//
// Points are processed in table order, so a lower-level point must come after
// the point that allocates to its node, and a second stage right after its
// first stage.
#include "allocation/fluid_pass.h"

#include <algorithm>
#include <string>

#include "allocation/pom_allocation.h"
#include "allocation/theoretical.h"
#include "engine/numbers.h"

namespace zelba {

namespace {

void selectActiveFluid(RunState& rs, int fluid) {
  for (const auto& node : rs.nodeTable) node->activeFluid = fluid;
}

// Calls `allocate(d0, d1)` for each day of the period in daily mode, once for
// the whole period in monthly mode.
template <typename Allocate>
void forEachRange(const RunControl& rc, Allocate allocate) {
  const auto [first, end] = periodDays(rc);
  if (rc.dailyMode) {
    for (int d = first; d < end; ++d) allocate(d, d + 1);
  } else {
    allocate(first, end);
  }
}

}  // namespace

void sumMembers(RunState& rs, int fluid, int pom, int d0, int d1) {
  if (pom < 0 || pom >= rs.pomCount()) return;
  const BaPom& p = *rs.pomTable[pom];
  if (p.nodeIndex < 0 || p.nodeIndex >= rs.nodeCount()) return;
  BaFluidDays& total = rs.nodeTable[p.nodeIndex]->fluids[fluid];
  rs.nodeTable[p.nodeIndex]->allocated = 1;
  d0 = std::max(d0, 0);
  d1 = std::min(d1, kDaySlots);
  for (size_t k = 0; k < p.members.size(); ++k) {
    const std::int32_t m = p.members[k];
    if (m < 0 || m >= rs.nodeCount()) continue;
    const BaFluidDays& member = rs.nodeTable[m]->fluids[fluid];
    for (int d = d0; d < d1; ++d) {
      accumulate(total.cumResult[d], member.volume[d]);
      if (k == 0) total.source[d] = kMethodWelltest;
    }
  }
}

void allocateFluid(RunState& rs, int fluid) {
  if (fluid < 0 || fluid >= kFluidSlots) return;
  const RunControl& rc = rs.control;
  const int firstPom = std::max(rc.fromPom, 0);
  if (rc.theoretical[fluid]) {
    selectActiveFluid(rs, fluid);
    computeTheoreticalVolumes(rs, -1, fluid, true);
    for (int p = firstPom; p < rs.pomCount(); ++p) {
      forEachRange(rc, [&](int d0, int d1) { sumMembers(rs, fluid, p, d0, d1); });
    }
  } else if (rc.hasVolumes[fluid]) {
    selectActiveFluid(rs, fluid);
    const std::string phase = "allocating " + fluidName(rs, fluid);
    for (int p = firstPom; p < rs.pomCount(); ++p) {
      if (rs.progress) rs.progress(phase, p + 1, rs.pomCount());
      computeTheoreticalVolumes(rs, p, fluid, false);
      forEachRange(rc, [&](int d0, int d1) { allocatePom(rs, fluid, p, d0, d1); });
    }
  }
}

}  // namespace zelba
