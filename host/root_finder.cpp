// Our stand-in for the host's Newton-Raphson root finder: a finite-difference
// Newton iteration that backs off toward the last good point whenever a step
// lands where the residual has no value.
#include <cmath>

#include "host/host_services.h"

namespace zelba {

namespace {

constexpr int kMaxIterations = 50;
constexpr int kMaxHalvings = 30;

}  // namespace

int NewtonRaphsonRootFinder(const std::function<double(double)>& residual, double start,
                            double failureValue, double* root, double h) {
  double x = start;
  double fx = residual(x);
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    if (fx == failureValue) return -1;
    if (fx == 0) {
      *root = x;
      return 1;
    }
    double derivative;
    const double ahead = residual(x + h);
    if (ahead != failureValue) {
      derivative = (ahead - fx) / h;
    } else {
      const double behind = residual(x - h);
      if (behind == failureValue) return -1;
      derivative = (fx - behind) / h;
    }
    if (derivative == 0 || !std::isfinite(derivative)) return -1;

    double next = x - fx / derivative;
    double fnext = residual(next);
    for (int halving = 0; fnext == failureValue; ++halving) {
      if (halving == kMaxHalvings) return -1;
      next = (x + next) / 2;
      fnext = residual(next);
    }
    // The residual at the new point is the one the next iteration starts
    // from; it is not evaluated twice.
    x = next;
    fx = fnext;
  }
  *root = x;
  return -1;
}

}  // namespace zelba
