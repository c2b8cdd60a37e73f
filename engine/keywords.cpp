#include "engine/keywords.h"

#include "engine/text.h"

namespace zelba {

const NameTable& methodNames() {
  static const NameTable table = {
      {0, "Measured"},     {1, "Welltest"},   {2, "Const"},      {3, "WellChar"},
      {4, "pi"},           {5, "Vogel"},      {6, "Fetkovich"},  {7, "Decline"},
      {8, "harmonic"},     {9, "hyperbolic"}, {10, "transient"}, {12, "Zozed"},
      {11, "pct"},         {13, "Kh"},        {14, "h"},         {15, "polynomial"},
      {16, "interpolate"}, {17, "dateinfo"},  {18, "ResProp"},   {19, "PVTPROP"},
      {20, "wellProp"},    {21, "welldesc"},  {22, "Choke Eq."},
  };
  return table;
}

const NameTable& equationParams() {
  static const NameTable table = {
      {0, "date"}, {1, "kh"}, {2, "slope"}, {3, "yo"},    {4, "RDate"}, {5, "Qi"},
      {6, "Di"},   {7, "n"},  {7, "other"}, {7, "other"}, {7, "other"},
  };
  return table;
}

const NameTable& testColumns() {
  static const NameTable table = {
      {1, "oil"},          {2, "whfp"},      {3, "gor"},     {18, "glr"},      {4, "bsw"},
      {5, "whft"},         {6, "bhp"},       {7, "bht"},     {0, "date"},      {8, "choke"},
      {9, "psep"},         {10, "tsep"},     {2, "THP"},     {11, "tht"},      {11, "Wht"},
      {12, "chp"},         {13, "cht"},      {17, "day"},    {19, "api"},      {20, "gaslift"},
      {24, "calibration"}, {21, "WaterInj"}, {22, "GasInj"}, {23, "SteamInj"}, {14, "GAS"},
      {16, "WATER"},       {25, "Status"},
  };
  return table;
}

const NameTable& watchColumns() {
  static const NameTable table = {
      {0, "date"}, {1, "hms"}, {5, "hrs"}, {2, "thp"}, {3, "choke"}, {4, "rate"},
  };
  return table;
}

const NameTable& curveVariables() {
  static const NameTable table = {{0, "date"}, {1, "days"}, {2, "pwf"}, {3, "bhp"}};
  return table;
}

const NameTable& pvtNames() {
  static const NameTable table = {
      {0, "p"}, {1, "bo"}, {2, "rso"}, {3, "vo"},  {4, "bg"},
      {5, "z"}, {6, "vg"}, {7, "bw"},  {8, "rsw"}, {9, "vw"},
  };
  return table;
}

NameTable defaultEntityTypes() {
  return {{0, "SUPER"}, {1, "POS"},        {2, "TF"},      {3, "GC"},
          {4, "Well"},  {5, "COMPLETION"}, {6, "OPERATOR"}};
}

NameTable defaultFluidNames() {
  return {{0, "Oil"},    {1, "Gas"},  {2, "Water"}, {3, "WaterInj"}, {4, "GasInj"}, {5, "SteamInj"},
          {6, "Co2inj"}, {10, "day"}, {11, "date"}, {12, "stock"},   {13, "thp"},   {14, "choke"}};
}

int lookupKeyword(std::string_view text, const NameTable& table) {
  if (!text.empty() && text.front() == '*') text.remove_prefix(1);
  for (const BaNameId& row : table) {
    if (equalsIgnoreCase(text, row.name)) return row.id;
  }
  return -1;
}

std::string methodText(int source) {
  if (source == kSourceWellWatch) return "Watch";
  return methodName(source);
}

std::string methodName(int id) {
  if (id >= 0) {
    for (const BaNameId& row : methodNames()) {
      if (row.id == id) return row.name;
    }
  }
  return "??";
}

}  // namespace zelba
