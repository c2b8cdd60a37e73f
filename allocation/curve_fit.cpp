// The gas curve fit and its linear solver.
//
// The solver is Crout's LU decomposition with partial pivoting and implicit
// row scaling (the pivot is chosen as if every row were first scaled to a
// largest entry of 1), followed by forward and back substitution that skips
// the leading zeros of the right-hand side.
#include "allocation/curve_fit.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

#include "allocation/oil_methods.h"
#include "engine/output_files.h"
#include "engine/text.h"

namespace zelba {

namespace {

constexpr double kTiny = 1e-30;  // floor of a row's scale and of a zero pivot

constexpr CurveSet kCurveSets[] = {
    {"F_1", 100.0, 0.1, 0.0, -0.18645, 1559.0, -0.17296, 1435.0, -0.12442, 1082.0, 1.44, 2.17,
     -0.65, 852.0},
    {"F_2", 100.0, 0.2, 0.0, -0.21573, 1827.0, -0.1952, 1638.0, -0.14163, 1178.0, 1.44, 2.35, -0.65,
     930.0},
    {"F_3", 100.0, 0.3, 0.0, -0.36054, 3037.0, -0.3396, 2838.0, -0.275, 2277.0, 2.66, 2.95, -1.35,
     1349.0},
    {"F_4", 100.0, 0.4, 0.0, 0.0, 390.0, 0.0, 345.0, 0.0, 270.0, 1.75, 3.74, -0.91, 1757.0},
};

// The fit: five points at fixed abscissas; the last ordinate is fixed too.
constexpr int kFitPoints = 5;
constexpr double kFitAbscissas[kFitPoints] = {0, 50, 100, 250, 643};
constexpr double kFitUpper = 236.0;  // ordinate at 643 and the largest acceptable value
constexpr double kEvaluatedAt = 65.0;

constexpr const char* kTraceFile = "shit.out";

// The diagnostic trace of one fit: a new file for the fit's whole duration
// when asked for, else nothing is written.
class FitTrace {
 public:
  explicit FitTrace(OutputFiles* files) {
    if (files != nullptr) file_ = files->create(kTraceFile);
  }

  template <typename... Args>
  void line(const char* format, Args... args) {
    if (file_) put(*file_, format, args...);
  }

 private:
  std::unique_ptr<TextSink> file_;
};

}  // namespace

double luDecompose(LuMatrix& a, int n, LuPivots& pivot) {
  LuVector scale{};
  double parity = 1.0;
  for (int i = 1; i <= n; ++i) {
    double big = kTiny;
    for (int j = 1; j <= n; ++j) {
      const double magnitude = std::fabs(a[i][j]);
      if (magnitude > big) big = magnitude;
    }
    scale[i] = 1 / big;
  }
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i < j; ++i) {
      double sum = a[i][j];
      for (int k = 1; k < i; ++k) sum -= a[i][k] * a[k][j];
      a[i][j] = sum;
    }
    double big = 0;
    int imax = j;
    for (int i = j; i <= n; ++i) {
      double sum = a[i][j];
      for (int k = 1; k < j; ++k) sum -= a[i][k] * a[k][j];
      a[i][j] = sum;
      // Among equally good candidates the last row wins.
      const double merit = scale[i] * std::fabs(sum);
      if (merit >= big) {
        big = merit;
        imax = i;
      }
    }
    if (imax != j) {
      for (int k = 1; k <= n; ++k) std::swap(a[imax][k], a[j][k]);
      parity = -parity;
      scale[imax] = scale[j];
    }
    pivot[j] = imax;
    if (a[j][j] == 0) a[j][j] = kTiny;
    if (j < n) {
      for (int i = j + 1; i <= n; ++i) a[i][j] /= a[j][j];
    }
  }
  return parity;
}

void luSolve(const LuMatrix& a, int n, const LuPivots& pivot, LuVector& b) {
  // Forward substitution, undoing the row exchanges as it goes; `first` is the
  // first row whose right-hand side is not 0, the sums start there.
  int first = 0;
  for (int i = 1; i <= n; ++i) {
    const int p = pivot[i];
    double sum = b[p];
    b[p] = b[i];
    if (first != 0) {
      for (int k = first; k < i; ++k) sum -= a[i][k] * b[k];
    } else if (sum != 0) {
      first = i;
    }
    b[i] = sum;
  }
  for (int i = n; i >= 1; --i) {
    double sum = b[i];
    for (int k = i + 1; k <= n; ++k) sum -= a[i][k] * b[k];
    b[i] = sum / a[i][i];
  }
}

CurveSetLookup findCurveSet(std::string_view name) {
  for (const CurveSet& set : kCurveSets) {
    if (equalsIgnoreCase(name, set.name)) return CurveSetLookup{1, set};
  }
  return CurveSetLookup{};
}

CurveFit gasCurveFit(std::string_view setName, double abscissa, double x, OutputFiles* traceFiles) {
  FitTrace trace(traceFiles);
  CurveFit fit;
  if (!(abscissa > 0) || !(x > 0)) return fit;
  const CurveSetLookup found = findCurveSet(setName);
  if (found.status != 1) return fit;
  const CurveSet& c = found.set;

  LuVector rhs{};
  rhs[1] = 0;
  rhs[2] = c.h * x + c.i;
  rhs[3] = c.f * x + c.g;
  rhs[4] = c.d * x + c.e;
  rhs[5] = kFitUpper;
  fit.upper = kFitUpper;
  for (int i = 1; i <= kFitPoints; ++i) trace.line("rhs[%d]=%f\n", i, rhs[i]);

  // Row r holds 1, x, x^2, x^3, x^4 of point r; the point at 0 is 1 followed
  // by zeros.
  LuMatrix m{};
  for (int r = 1; r <= kFitPoints; ++r) {
    const double at = kFitAbscissas[r - 1];
    m[r][1] = 1.0;
    double power = 1.0;
    for (int e = 1; e <= 4; ++e) {
      power *= at;
      m[r][e + 1] = power;
    }
  }
  for (int r = 1; r <= kFitPoints; ++r) {
    trace.line("j %d = %12.0f %12.0f %12.0f %12.0f %12.0f \n", r, m[r][1], m[r][2], m[r][3],
               m[r][4], m[r][5]);
  }

  LuPivots pivot{};
  luDecompose(m, kFitPoints, pivot);
  luSolve(m, kFitPoints, pivot, rhs);
  for (int i = 1; i <= kFitPoints; ++i) trace.line("ans[%d]=%f\n", i, rhs[i]);

  double value = 0;
  double power = 1.0;
  for (int i = 1; i <= kFitPoints; ++i) {
    value += rhs[i] * power;
    power *= kEvaluatedAt;
  }
  if (!std::isfinite(value)) return fit;
  fit.value = value;
  fit.status = value >= 0 && value <= fit.upper ? 1 : -1;
  return fit;
}

Eval gasCurveFit(RunState& rs, const BaNode&, int) {
  const CurveFit fit = gasCurveFit("F_2", 65.0, 7637.5, rs.traceFiles);
  return Eval{fit.status, fit.value};
}

}  // namespace zelba
