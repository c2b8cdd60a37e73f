// make_field: writes the input file of a synthetic field of N wells, for the
// benchmark of large runs.
//
//   make_field WELLS SEED OUTPUT
//
// The field is one month (January 2005) of daily allocation on two levels:
// gathering centres (GC) whose meters are allocated to their separators (TF),
// and separators whose meters are allocated to their wells, about ten members
// per point. A few separators have a low-pressure second stage that
// re-allocates their wells' flash gas. Every well has a test before the
// period, some are re-tested inside it; some wells are down for part of a
// few days; a share of the wells take their oil from a decline curve and
// their gas from a constant GOR. The run writes the text report, the totals
// table and the load file.
//
// With the shape `nodal` (make_field WELLS SEED OUTPUT nodal) every well
// takes its oil from the nodal method ("*Oil *Zozed *Welltest") with its
// reservoir and tubing data in "#equation"; a tenth of the wells have a
// tight reservoir and a high wellhead pressure, data that give no nodal rate,
// so that their chain searches in vain each day and falls back to the test.
//
// The same WELLS and SEED always give the same file, byte for byte: the
// random numbers come from our own generator, not from the standard
// library's distributions, whose results differ between library versions.
#include <algorithm>
#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kDays = 31;
constexpr const char* kPeriod = "20050101 20050131";
constexpr int kJanuary2005 = 20050100;   // + day of month
constexpr int kDecember2004 = 20041200;  // + day of month

// SplitMix64: small, fast and fully defined by its seed.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double between(double low, double high) { return low + (high - low) * unit(); }
  int between(int low, int high) {  // inclusive
    return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool chance(double p) { return unit() < p; }

 private:
  std::uint64_t state_;
};

enum class OilMethod { kWellTest, kDecline };

struct Well {
  std::string name;
  double oil = 0;      // true oil rate on day 1, bbl/d
  double decline = 0;  // nominal decline per month
  double gor = 0;      // scf/bbl
  double bsw = 0;      // percent
  double whfp = 0;     // psi
  OilMethod oilMethod = OilMethod::kWellTest;
  bool gasConst = false;                    // gas from a constant GOR equation
  std::vector<std::pair<int, double>> off;  // (day, hours on) of days with down time
  int retestDay = 0;                        // day of a test inside the period, 0 for none
  bool nodal = false;                       // oil from the nodal method
  bool noNodalRate = false;                 // its data give no nodal rate
  double permeability = 0;                  // md, of the nodal method's reservoir

  double hoursOn(int day) const {
    for (const auto& [d, hours] : off) {
      if (d == day) return hours;
    }
    return 24.0;
  }
  double oilOn(int day) const {  // produced that day
    return oil * std::exp(-decline * (day - 1) / 30.4375) * hoursOn(day) / 24.0;
  }
};

struct Separator {
  std::string name;
  std::vector<int> wells;  // indexes into the well list
  bool secondStage = false;
  double meterOil = 1, meterGas = 1, meterWater = 1;  // meter factors
};

struct Centre {
  std::string name;
  std::vector<int> separators;
  double factor = 1;
};

struct Field {
  std::vector<Well> wells;
  std::vector<Separator> separators;
  std::vector<Centre> centres;
};

std::string numbered(const char* prefix, int n, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%0*d", prefix, width, n);
  return text;
}

// The nodal shape: a rate for most wells (low wellhead pressure, gassy
// oil); none for a tenth (a tight reservoir against a high wellhead
// pressure: the root finder runs its whole search every day).
void makeNodal(Well& w, Random& random) {
  w.nodal = true;
  w.oilMethod = OilMethod::kWellTest;
  w.gasConst = false;
  w.noNodalRate = random.chance(0.1);
  if (w.noNodalRate) {
    w.whfp = random.between(580.0, 620.0);
    w.gor = random.between(1550.0, 1650.0);
    w.oil = random.between(280.0, 320.0);
    w.permeability = random.between(9.0, 11.0);
  } else {
    w.whfp = random.between(150.0, 300.0);
    w.gor = random.between(1600.0, 3000.0);
    w.permeability = random.between(10.0, 50.0);
  }
}

Field makeField(int wellCount, std::uint64_t seed, bool nodal) {
  Random random(seed);
  Field field;
  const int width = wellCount >= 100000 ? 6 : 5;
  field.wells.resize(wellCount);
  for (int i = 0; i < wellCount; ++i) {
    Well& w = field.wells[i];
    w.name = numbered("W", i + 1, width);
    w.oil = random.between(15.0, 320.0);
    w.decline = random.between(0.0, 0.04);
    w.gor = random.between(450.0, 1600.0);
    w.bsw = random.between(5.0, 85.0);
    w.whfp = random.between(140.0, 330.0);
    if (random.chance(0.12)) w.oilMethod = OilMethod::kDecline;
    w.gasConst = random.chance(0.06);
    if (random.chance(0.08)) {
      const int downDays = random.between(1, 3);
      const int first = random.between(1, kDays - downDays + 1);
      for (int d = first; d < first + downDays; ++d) {
        w.off.emplace_back(d, std::round(random.between(0.0, 20.0) * 2) / 2);
      }
    }
    if (random.chance(0.25)) w.retestDay = random.between(2, kDays);
    if (nodal) makeNodal(w, random);
  }

  // Separators of 8 to 12 wells, centres of 8 to 12 separators.
  for (int next = 0; next < wellCount;) {
    Separator s;
    s.name = numbered("TF", static_cast<int>(field.separators.size()) + 1, width - 1);
    const int count = std::min(random.between(8, 12), wellCount - next);
    for (int k = 0; k < count; ++k) s.wells.push_back(next++);
    s.secondStage = random.chance(0.03);
    s.meterOil = random.between(0.93, 1.07);
    s.meterGas = random.between(0.9, 1.1);
    s.meterWater = random.between(0.9, 1.1);
    field.separators.push_back(std::move(s));
  }
  const int separatorCount = static_cast<int>(field.separators.size());
  for (int next = 0; next < separatorCount;) {
    Centre c;
    c.name = numbered("GC", static_cast<int>(field.centres.size()) + 1, width - 2);
    const int count = std::min(random.between(8, 12), separatorCount - next);
    for (int k = 0; k < count; ++k) c.separators.push_back(next++);
    c.factor = random.between(0.97, 1.01);
    field.centres.push_back(std::move(c));
  }
  return field;
}

// Output through one buffered stream; a failed write is found at the close.
class Writer {
 public:
  explicit Writer(std::FILE* file) : file_(file) {}
  template <typename... Args>
  void line(const char* format, Args... args) {
    std::fprintf(file_, format, args...);
  }

 private:
  std::FILE* file_;
};

void writeControl(Writer& out) {
  out.line("#control\n");
  out.line("*period %s\n", kPeriod);
  out.line("*daily\n");
  out.line("*Range 0.5 1.5\n");
  out.line("*precision 2\n");
  out.line("*report field.prn field_totals.txt\n");
  out.line("*load field_load.txt\n");
  out.line("*zeltable WellDailyAlloc\n");
  out.line("*zelfields ProdDate HoursOn AllocOil AllocGas AllocWater\n");
  out.line("#end\n\n");
}

void writeNetwork(Writer& out, const Field& field) {
  out.line("#network\n");
  out.line("*Header \"Synthetic field - %zu wells\"\n", field.wells.size());
  out.line("*Header \"January 2005, daily back allocation\"\n");
  out.line("*Methods *Welltest *Decline\n");
  for (const Centre& c : field.centres) {
    out.line("*GC %s *shrinkage 0.985\n", c.name.c_str());
    for (int s : c.separators) {
      const Separator& sep = field.separators[s];
      out.line("TF %s\n", sep.name.c_str());
      if (sep.secondStage) out.line("TF %s-LP *2ndStage\n", sep.name.c_str());
    }
  }
  for (const Separator& sep : field.separators) {
    out.line("*TF %s *psep 200\n", sep.name.c_str());
    for (int i : sep.wells) {
      const Well& w = field.wells[i];
      std::string methods;
      if (w.nodal) methods += " *Oil *Zozed *Welltest";
      if (w.oilMethod == OilMethod::kDecline) methods += " *Oil *Decline *Welltest";
      if (w.gasConst) methods += " *Gas *Const *Welltest";
      out.line("Well %s%s\n", w.name.c_str(), methods.c_str());
    }
    if (sep.secondStage) out.line("*TF %s-LP *2ndStage *gor 55 *psep 45\n", sep.name.c_str());
  }
  out.line("#end\n\n");
}

void writeVolumes(Writer& out, const Field& field, Random& noise) {
  out.line("#volume\n");
  std::vector<std::array<double, 3>> separatorDays(field.separators.size() * (kDays + 1));
  auto at = [&](size_t s, int day) -> std::array<double, 3>& {
    return separatorDays[s * (kDays + 1) + day];
  };
  for (size_t s = 0; s < field.separators.size(); ++s) {
    const Separator& sep = field.separators[s];
    out.line("*TF %s\n*date oil gas water\n", sep.name.c_str());
    for (int day = 1; day <= kDays; ++day) {
      double oil = 0, gas = 0, water = 0;
      for (int i : sep.wells) {
        const Well& w = field.wells[i];
        const double o = w.oilOn(day);
        oil += o;
        gas += o * w.gor / 1000.0;
        water += o * w.bsw / (100.0 - w.bsw);
      }
      auto& v = at(s, day);
      v = {oil * sep.meterOil * noise.between(0.98, 1.02),
           gas * sep.meterGas * noise.between(0.97, 1.03),
           water * sep.meterWater * noise.between(0.97, 1.03)};
      out.line("%d %.1f %.1f %.1f\n", kJanuary2005 + day, v[0], v[1], v[2]);
    }
    if (sep.secondStage) {
      out.line("*TF %s-LP\n*date gas\n", sep.name.c_str());
      for (int day = 1; day <= kDays; ++day) {
        out.line("%d %.1f\n", kJanuary2005 + day, at(s, day)[1] * noise.between(0.04, 0.07));
      }
    }
  }
  for (const Centre& c : field.centres) {
    out.line("*GC %s\n*date oil gas water stock\n", c.name.c_str());
    for (int day = 1; day <= kDays; ++day) {
      double oil = 0, gas = 0, water = 0;
      for (int s : c.separators) {
        oil += at(s, day)[0];
        gas += at(s, day)[1];
        water += at(s, day)[2];
      }
      const double stock = oil * noise.between(-0.01, 0.01);
      out.line("%d %.1f %.1f %.1f %.1f\n", kJanuary2005 + day, oil * c.factor,
               gas * c.factor * noise.between(0.99, 1.01), water * noise.between(0.99, 1.01),
               stock);
    }
  }
  out.line("#end\n\n");
}

void writeWellTests(Writer& out, const Field& field, Random& noise) {
  out.line("#welltest\n*date oil gor bsw whfp\n");
  for (const Well& w : field.wells) {
    out.line("*Well %s\n", w.name.c_str());
    const int before = kDecember2004 + noise.between(1, 28);
    out.line("%d %.1f %.0f %.1f %.0f\n", before, w.oil * noise.between(0.9, 1.1), w.gor, w.bsw,
             w.whfp);
    if (w.retestDay != 0) {
      out.line("%d %.1f %.0f %.1f %.0f\n", kJanuary2005 + w.retestDay,
               w.oilOn(w.retestDay) * 24.0 / w.hoursOn(w.retestDay) * noise.between(0.95, 1.05),
               w.gor * noise.between(0.95, 1.05), w.bsw, w.whfp);
    }
  }
  out.line("#end\n\n");
}

void writeTime(Writer& out, const Field& field) {
  out.line("#time\n*date\n*ON 24\n");
  for (const Well& w : field.wells) {
    if (w.off.empty()) continue;
    out.line("*Well %s\n", w.name.c_str());
    for (const auto& [day, hours] : w.off) out.line("%d %.1f\n", kJanuary2005 + day, hours);
  }
  out.line("#end\n\n");
}

void writeEquations(Writer& out, const Field& field) {
  out.line("#equation\n");
  bool runData = false;  // the run-wide fluid and reservoir data, once
  for (const Well& w : field.wells) {
    if (w.oilMethod != OilMethod::kDecline && !w.gasConst && !w.nodal) continue;
    out.line("*Well %s\n", w.name.c_str());
    if (w.nodal) {
      if (!runData) {
        out.line("*ResProp 0 0 35 0.7 1.05 0 0 0 0\n");
        out.line("*PVTPROP 3000 180 1.2 1.5 400 0 0.02 0.9 1.02 0.5 0\n");
        runData = true;
      }
      // 50 ft of pay, 20 % porosity, a 4 in wellbore, no skin; 2.441 in
      // tubing 8000 ft down a vertical hole; tested young enough all month.
      out.line("*wellProp 50 20 4 %.1f 0 1e-5 0\n", w.permeability);
      out.line("*dateinfo 20041201 0 90\n");
      out.line("*welldesc 2.441 8000 90 0\n");
    }
    if (w.oilMethod == OilMethod::kDecline) {
      // Referred to mid-2004: the rate then, grown back over six months of decline.
      const double percentPerMonth = w.decline * 100.0;
      out.line("*Oil *Decline 20040630 %.1f %.2f 0\n",
               w.oil * std::exp(w.decline * 184.0 / 30.4375), percentPerMonth);
    }
    if (w.gasConst) out.line("*Gas *Const %.0f\n", w.gor);
  }
  out.line("#end\n");
}

}  // namespace

int main(int argc, char** argv) {
  const bool nodal = argc == 5 && std::string(argv[4]) == "nodal";
  if (argc != 4 && !nodal) {
    std::fprintf(stderr, "usage: make_field WELLS SEED OUTPUT [nodal]\n");
    return 2;
  }
  char* end = nullptr;
  const long wells = std::strtol(argv[1], &end, 10);
  if (*end != '\0' || wells < 1 || wells > 10000000) {
    std::fprintf(stderr, "make_field: WELLS must be a number from 1 to 10000000\n");
    return 2;
  }
  const std::uint64_t seed = std::strtoull(argv[2], &end, 10);
  if (*end != '\0') {
    std::fprintf(stderr, "make_field: SEED must be a number\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[3], "w");
  if (file == nullptr) {
    std::fprintf(stderr, "make_field: cannot create %s\n", argv[3]);
    return 1;
  }
  const Field field = makeField(static_cast<int>(wells), seed, nodal);
  Random noise(seed ^ 0x5DEECE66Dull);
  Writer out(file);
  out.line("// Synthetic %sfield of %ld wells, seed %" PRIu64 ", written by make_field.\n\n",
           nodal ? "nodal " : "", wells, seed);
  writeControl(out);
  writeNetwork(out, field);
  writeVolumes(out, field, noise);
  writeWellTests(out, field, noise);
  writeTime(out, field);
  writeEquations(out, field);
  const bool failed = std::ferror(file) != 0;
  if (std::fclose(file) != 0 || failed) {
    std::fprintf(stderr, "make_field: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
