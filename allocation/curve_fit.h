// The gas method "Zozed": a degree-4 polynomial fitted exactly through five
// points of a built-in curve set and evaluated at a fixed abscissa, with the
// dense linear solver it needs.
#pragma once

#include <array>
#include <string_view>

namespace zelba {

class OutputFiles;

// Matrices and vectors of the solver are 1-based: rows and columns 1..n are
// used, index 0 is not, so n is at most kLuMaxOrder.
constexpr int kLuMaxOrder = 9;
using LuVector = std::array<double, kLuMaxOrder + 1>;
using LuMatrix = std::array<LuVector, kLuMaxOrder + 1>;
using LuPivots = std::array<int, kLuMaxOrder + 1>;

// Replaces `a` by the LU decomposition (Crout's method, partial pivoting with
// implicit row scaling) of a row-wise permutation of itself: L below the
// diagonal (unit diagonal not stored), U on and above it. pivot[j] is the row
// exchanged with row j at column j. Returns the parity of the permutation,
// +1.0 or -1.0. Never fails: a zero pivot becomes 1e-30 and a row of zeros is
// scaled as if its largest entry were 1e-30, so a singular matrix gives large
// but finite numbers. REQUIRES: 1 <= n <= kLuMaxOrder.
double luDecompose(LuMatrix& a, int n, LuPivots& pivot);

// Replaces `b` by the solution x of A x = b, where `a` and `pivot` are the
// output of luDecompose for A. REQUIRES: 1 <= n <= kLuMaxOrder.
void luSolve(const LuMatrix& a, int n, const LuPivots& pivot, LuVector& b);

// One row of the built-in curve-set table. Pairs (d, e), (f, g) and (h, i) are
// slope and intercept of straight lines in the fit parameter X; a, b, c and
// j to m are part of the table but do not reach the fitted value.
struct CurveSet {
  const char* name;
  double a, b, c, d, e, f, g, h, i, j, k, l, m;
};

struct CurveSetLookup {
  int status = -1;  // 1 when found, -1 when no set has the name
  CurveSet set{};   // the row found
};

// The first of the sets "F_1" to "F_4" named `name`, compared without regard
// to ASCII case.
CurveSetLookup findCurveSet(std::string_view name);

struct CurveFit {
  int status = -1;   // 1 when the value lies within 0 and `upper`, else -1
  double upper = 0;  // upper bound of an acceptable value; 0 when no set was found
  double value = 0;  // the fitted curve at 65; 0 when there was no fit or it is not finite
};

// Fits c1 + c2 x + c3 x^2 + c4 x^3 + c5 x^4 through (0, 0), (50, h X + i),
// (100, f X + g), (250, d X + e) and (643, 236) of curve set `setName` and
// evaluates it at 65, whatever `abscissa` says (it must only be above 0).
// Status -1 with value 0 when `abscissa` or X is not above 0 or the set is
// unknown. With `traceFiles`, every call writes the trace file "shit.out"
// through them anew: the five right-hand sides, the five matrix rows and the
// five coefficients, one a line.
CurveFit gasCurveFit(std::string_view setName, double abscissa, double x,
                     OutputFiles* traceFiles = nullptr);

}  // namespace zelba
