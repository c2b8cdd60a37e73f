// Services of the host application that the module calls.
//
// In the host they are exported by the host's calculation library; a batch
// run of the engine links our own implementations from this folder instead.
// The engine needs only the root finder; the data-model, date and
// user-interface services join this header as the parts that call them
// arrive.
#pragma once

#include <functional>

namespace zelba {

// Newton-Raphson search for a zero of `residual`, starting at `start`.
//
// `failureValue` is the value by which the residual says "no value here"
// (the nodal rate passes -99999.0); `h` is the difference step of the
// derivative (1.0 for the nodal rate). The search, reproducible to the last
// bit:
//   x = start; at most 50 iterations of:
//     f(x) equal to `failureValue`: return -1;
//     f(x) exactly 0: *root = x, return 1;
//     derivative (f(x + h) - f(x)) / h, or (f(x) - f(x - h)) / h when f(x + h)
//     equals `failureValue`; return -1 when both fail, or when the derivative
//     is 0 or not finite;
//     next = x - f(x) / derivative; while f(next) equals `failureValue`,
//     next = (x + next) / 2, at most 30 times, then return -1 if it still
//     fails; x = next.
//   After 50 iterations without a zero: *root = the last x, return -1.
// Returns 1 with the root in *root, or -1. *root is written only on a zero
// and after the 50th iteration; every other failure leaves it as it was.
// The residual is called on the caller's thread only; it may close over
// whatever state it needs.
int NewtonRaphsonRootFinder(const std::function<double(double)>& residual, double start,
                            double failureValue, double* root, double h);

}  // namespace zelba
