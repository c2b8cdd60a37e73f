// Keyword tables of the input file and their case-insensitive lookup.
//
// Every keyword, section, type, column and method name of the input file is
// matched through one of these tables. A table is a list of (id, name) rows;
// several names may share one id, and the first matching row wins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelba {

struct BaNameId {
  int id;            // value the name stands for
  std::string name;  // as written in the input file (matched without regard to case)
};

using NameTable = std::vector<BaNameId>;

// Fixed tables, shared by every run.
const NameTable& methodNames();     // theoretical-rate methods; "Zozed" 12 stands before "pct" 11
const NameTable& equationParams();  // "*ZEL" row columns
const NameTable& testColumns();     // "#welltest" columns; id 15 has no name
const NameTable& watchColumns();    // "#wellwatch" columns
const NameTable& curveVariables();  // variables of "polynomial" and "interpolate"
const NameTable& pvtNames();        // PVT property names

// Rows a run starts from; `entityTypes` may be replaced by "*Define".
NameTable defaultEntityTypes();  // "SUPER" 0 .. "OPERATOR" 6
NameTable defaultFluidNames();   // "Oil" 0 .. "Co2inj" 6, "day" 10 .. "choke" 14

// Method ids that the engine refers to by name.
enum MethodId {
  kMethodMeasured = 0,
  kMethodWelltest = 1,
  kMethodConst = 2,
  kMethodWellChar = 3,
  kMethodPi = 4,
  kMethodVogel = 5,
  kMethodFetkovich = 6,
  kMethodDecline = 7,
  kMethodHarmonic = 8,
  kMethodHyperbolic = 9,
  kMethodTransient = 10,
  kMethodPct = 11,
  kMethodZozed = 12,
  kMethodKh = 13,
  kMethodH = 14,
  kMethodPolynomial = 15,
  kMethodInterpolate = 16,
  kMethodDateInfo = 17,
  kMethodResProp = 18,
  kMethodPvtProp = 19,
  kMethodWellProp = 20,
  kMethodWellDesc = 21,
  kMethodChokeEq = 22,
  kSourceWellWatch = 23,  // source code of a theoretical value taken from the well watch
};

// Ids of the fluid table that are not fluid slots.
enum FluidColumnId {
  kColumnDay = 10,
  kColumnDate = 11,
  kColumnStock = 12,
  kColumnThp = 13,
  kColumnChoke = 14,
};

// Id of the first row whose name equals `text` without regard to case, after
// skipping one leading '*' of `text`; -1 when no row matches. The comparison is
// of the whole text: "Oil " (trailing blank) matches nothing.
int lookupKeyword(std::string_view text, const NameTable& table);

// Name of the `methodNames` row with this id ("pct" for 11, "Zozed" for 12);
// "??" for a negative id and for an id no row has.
std::string methodName(int id);
// The name of the method that gave a day's theoretical value: "Watch" for a
// well-watch rate, "??" when none is known.
std::string methodText(int source);

}  // namespace zelba
