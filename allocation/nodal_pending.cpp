// The nodal rate and the gas curve fit need the tubing traverse, the root
// finder and the linear solver, which this build does not have yet: both give
// no value, so the method chains move on to their next method.
#include "allocation/oil_methods.h"

namespace zelba {

Eval liftRate(RunState&, const BaNode&, int, double) {
  return Eval{-1, 0};
}

Eval gasCurveFit(RunState&, const BaNode&, int) {
  return Eval{-1, 0};
}

}  // namespace zelba
