// Allocation of the volume measured at one point of measurement back to its
// members, through one field factor.
#pragma once

#include "engine/run_state.h"

namespace zelba {

// Range-check codes of a field factor, written into the members' `excluded`.
enum RangeCode {
  kInRange = 0,
  kFactorNegative = 100,
  kFactorBelowRange = 103,
  kFactorAboveRange = 104,
};

// Allocates fluid `fluid` measured at point `pom` over days d0 up to but not
// including d1. REQUIRES: the theoretical volumes of the point's wells are
// computed for the fluid.
void allocatePom(RunState& rs, int fluid, int pom, int d0, int d1);

// 1.0, except for oil at a facility-type point: the node's shrinkage when above 0.
double shrinkFactor(const RunState& rs, const BaNode& node, int typeId, int fluid);

// Fills the point node's volume to allocate for day `day`: at the top level
// from its measured volume (shrinkage, stock, measured water-oil ratio), at a
// lower level the day's oil stock on top of what the level above allocated.
void prepareMeasured(RunState& rs, BaNode& node, int fluid, int day, bool topLevel, double shrink);

int checkFactorRange(const RunControl& rc, double factor);

// Cuts a volume to `precision` decimals (toward zero); with precision 0 to
// whole units, after adding 0.0001.
double roundToPrecision(const RunControl& rc, double value);

}  // namespace zelba
