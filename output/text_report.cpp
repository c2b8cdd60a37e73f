// The text report. Pages start with a form feed; columns follow from fixed
// printf formats, one group of columns per listed fluid slot.
#include "output/text_report.h"

#include <algorithm>
#include <array>

#include "engine/dates.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "output/report_common.h"

namespace zelba {

namespace {

constexpr int kHeaderRows = 5;
constexpr int kMinNameWidth = 17;  // "Measured Volume:" fits

// The five header cells of one fluid slot: row 0 the centred fluid name, row
// 1 a rule, row 2 the titles, row 3 the units, row 4 the column rules (full
// in the page header, short above a totals row).
struct CellFormats {
  int nameWidth;
  std::array<const char*, kHeaderRows> rows;
  const char* shortRule;
};

struct CellSet {
  CellFormats listed;
  CellFormats theoretical;  // theoretical-only slots
};

const CellSet kDailyWell = {
    {36,
     {" %s ", " ---------------------------------- ", "   Method  Theoretical  Allocated   ",
      "    Used   %11s %11s  ", "  -------- ----------- -----------  "},
     "           ----------- -----------  "},
    {24,
     {" %s ", " ---------------------- ", "   Method  Theoretical  ", "    Used   %11s  ",
      "  -------- -----------  "},
     "           -----------  "},
};

const CellSet kDailyFacility = {
    {24,
     {" %s ", " ---------------------- ", "    Measured    Field   ", "   %11s  Factor  ",
      "  ----------- --------  "},
     "  -----------           "},
    {13,
     {" %s  ", " ------------- ", "  Theoretical  ", "  %11s  ", "  -----------  "},
     "  -----------  "},
};

const CellSet kNetworkTotals = {
    {36,
     {" %s ", " ---------------------------------- ", "  Theoretical  Measured    Field    ",
      "  %11s %11s  Factor   ", "  ----------- ----------- --------  "},
     nullptr},
    {13, {"  %s ", " ------------- ", "  Theoretical  ", "  %11s  ", "  -----------  "}, nullptr},
};

const CellSet kMonthly = {
    {26,
     {" %s ", " ------------------------- ", "  Theoretical  Allocated   ", "  %11s %11s  ",
      "  ----------- -----------  "},
     nullptr},
    {13, {"  %s ", " ------------- ", "  Theoretical  ", "  %11s  ", "  -----------  "}, nullptr},
};

const CellFormats& cellsFor(const RunControl& rc, const CellSet& set, int slot) {
  return isTheoreticalOnly(rc, slot) ? set.theoretical : set.listed;
}

void writeHeaderRow(const RunState& rs, TextSink& out, const CellSet& set, int row,
                    const std::string& left) {
  const RunControl& rc = rs.control;
  out.write(left);
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    const CellFormats& cells = cellsFor(rc, set, slot);
    if (row == 0) {
      put(out, cells.rows[0], centre(fluidName(rs, slot), cells.nameWidth).c_str());
    } else if (row == 3) {
      const std::string units = centre(unitsLabel(rc, slot), 11);
      put(out, cells.rows[3], units.c_str(), units.c_str());
    } else {
      out.write(cells.rows[row]);
    }
  }
  out.write("\n");
}

void writeHeaderRows(const RunState& rs, TextSink& out, const CellSet& set,
                     const std::array<std::string, kHeaderRows>& left) {
  for (int row = 0; row < kHeaderRows; ++row) writeHeaderRow(rs, out, set, row, left[row]);
}

void writeShortRules(const RunState& rs, TextSink& out, const CellSet& set,
                     const std::string& left) {
  out.write(left);
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (isListed(rs.control, slot)) out.write(cellsFor(rs.control, set, slot).shortRule);
  }
  out.write("\n");
}

std::array<std::string, kHeaderRows> dailyLeftParts(bool uptime) {
  if (uptime) {
    return {std::string(16, ' '), std::string(16, ' '), "         Uptime ", "  Date   hours  ",
            "-------- ------ "};
  }
  return {std::string(8, ' '), std::string(8, ' '), std::string(8, ' '), "  Date  ", "--------"};
}

void writeHeaderLines(const RunState& rs, TextSink& out, bool skipEmpty) {
  for (const std::string& header : rs.control.headers) {
    if (!skipEmpty || !header.empty()) put(out, "%s\n", header.c_str());
  }
}

struct Sums {
  FluidArray<double> theoretical{};
  FluidArray<double> allocated{};
};

int periodEnd(const RunControl& rc) {
  return periodDays(rc).end;
}
int periodFirst(const RunControl& rc) {
  return periodDays(rc).first;
}

// The text of a day's method (methodText) for every source id, made once:
// the report prints one per listed fluid and day.
const std::string& methodLabel(std::int8_t source) {
  static const std::array<std::string, 256> kLabels = [] {
    std::array<std::string, 256> labels;
    for (int id = -128; id < 128; ++id) labels[static_cast<size_t>(id + 128)] = methodText(id);
    return labels;
  }();
  return kLabels[static_cast<size_t>(source + 128)];
}

// One node's page of the daily report; returns its sums over the period.
Sums writeDailyPage(const RunState& rs, TextSink& out, int index) {
  const RunControl& rc = rs.control;
  const BaNode& node = *rs.nodeTable[index];
  const bool facility = node.typeId < rc.firstWellType;
  const bool uptime = !facility && node.routes;
  const CellSet& cells = facility ? kDailyFacility : kDailyWell;

  out.write("\f\t\n");
  writeHeaderLines(rs, out, false);
  out.write("\n");
  put(out, "\n%s: %s\n", levelName(rs, node).c_str(), node.name.c_str());
  writeHeaderRows(rs, out, cells, dailyLeftParts(uptime));

  Sums sums;
  float hours = 0.0f;
  for (int d = periodFirst(rc); d < periodEnd(rc); ++d) {
    put(out, "%8.0f ", dayDate(rs, d));
    if (uptime) {
      hours = (*node.routes)[d].hoursOn;
      put(out, "%6.2f  ", hours);
    }
    for (int slot = 0; slot < kFluidSlots; ++slot) {
      const BaFluidDays& days = node.fluids[slot];
      accumulate(sums.theoretical[slot], days.volume[d]);
      accumulate(sums.allocated[slot], days.cumResult[d]);
      if (!isListed(rc, slot)) continue;
      static const std::string kShutIn = "ShutIn";
      const std::string& method = hours == 0.0f ? kShutIn : methodLabel(days.source[d]);
      if (isTheoreticalOnly(rc, slot)) {
        if (facility) {
          put(out, " %11.1f   ", days.cumResult[d]);
        } else {
          put(out, " %-8s %11.1f   ", method.c_str(), days.cumResult[d]);
        }
      } else if (facility) {
        put(out, " %11.1f %8.3f   ", days.volume[d], facilityFieldFactor(rs, index, slot, d));
      } else {
        put(out, " %-8s %11.1f %11.1f %c ", method.c_str(), days.volume[d], days.cumResult[d],
            days.qualifier[d] != 0 ? '*' : ' ');
      }
    }
    out.write("\n");
  }

  if (periodEnd(rc) - periodFirst(rc) >= 2) {
    writeShortRules(rs, out, cells, std::string(uptime ? 16 : 8, ' '));
    out.write(std::string(uptime ? 17 : 9, ' '));
    for (int slot = 0; slot < kFluidSlots; ++slot) {
      if (!isListed(rc, slot)) continue;
      const double theoretical = sums.theoretical[slot];
      const double allocated = sums.allocated[slot];
      if (isTheoreticalOnly(rc, slot)) {
        if (facility) {
          put(out, " %11.1f   ", allocated);
        } else {
          put(out, " %-8s %11.1f   ", " ", allocated);
        }
      } else if (facility) {
        put(out, " %11.1f %8s   ", theoretical, " ");
      } else {
        put(out, " %-8s %11.1f %11.1f %c ", " ", theoretical, allocated, ' ');
      }
    }
    out.write("\n");
  }
  if (facility && rc.hasVolumes[kOil]) {
    out.write("After\n");
    put(out, "Shrinkage %11.1f\n", sums.allocated[kOil]);
  }
  return sums;
}

void writeNetworkTotals(const RunState& rs, TextSink& out, const Sums& network) {
  const RunControl& rc = rs.control;
  out.write("\f\n");
  writeHeaderLines(rs, out, false);
  out.write("\n\nProduction Network Totals:\n");
  out.write("---------- ------- ------\n\n\n");
  const std::string blanks(8, ' ');
  writeHeaderRows(rs, out, kNetworkTotals, {blanks, blanks, blanks, blanks, blanks});
  out.write(std::string(9, ' '));
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    const double theoretical = network.theoretical[slot];
    const double allocated = network.allocated[slot];
    if (isTheoreticalOnly(rc, slot)) {
      put(out, " %11.1f   ", theoretical);
    } else {
      const double factor = theoretical == 0 ? 1.0 : finiteOrZero(allocated / theoretical);
      put(out, " %11.1f %11.1f %8.4f   ", theoretical, allocated, factor);
    }
  }
  out.write("\n");
}

// The monthly report's layout: the name column's width and its format.
struct MonthlyLayout {
  int width = kMinNameWidth;
  std::string nameFormat;  // "%-<width>s"
};

MonthlyLayout monthlyLayout(const RunState& rs) {
  MonthlyLayout layout;
  const int wellLevel = static_cast<int>(typeName(rs, rs.control.firstWellType).size());
  layout.width = std::max({rs.control.maxNameLength, wellLevel, kMinNameWidth});
  layout.nameFormat = "%-" + std::to_string(layout.width) + "s";
  return layout;
}

void putName(TextSink& out, const MonthlyLayout& layout, const char* name) {
  put(out, layout.nameFormat.c_str(), name);
}

std::array<std::string, kHeaderRows> monthlyLeftParts(const RunState& rs, int width) {
  std::string level = typeName(rs, rs.control.firstWellType);
  level.resize(std::max<size_t>(level.size(), static_cast<size_t>(width)), ' ');
  const std::string blanks(static_cast<size_t>(width), ' ');
  return {blanks + std::string(8, ' '), blanks + std::string(8, ' '), blanks + " Uptime ",
          level + "  Days  ", std::string(static_cast<size_t>(width), '-') + " ------ "};
}

void writeMonthlyPageHeader(const RunState& rs, TextSink& out, const MonthlyLayout& layout,
                            const std::string& level, const std::string& name, double shrinkage) {
  const RunControl& rc = rs.control;
  out.write("\f\n");
  writeHeaderLines(rs, out, true);
  out.write("\n");
  put(out, "\n%s: %s   ", level.c_str(), name.c_str());
  put(out, "   From: %.0f  to: %.0f", rc.periodStart, rc.periodEnd);
  if (shrinkage != 0) put(out, "    Shrinkage: %-7.3f ", shrinkage);
  out.write("\n\n");
  writeHeaderRows(rs, out, kMonthly, monthlyLeftParts(rs, layout.width));
}

// A row of the monthly totals block with one value per measured slot, in
// `format` after an empty text, and blanks under theoretical-only slots.
template <typename ValueOf>
void putMeasuredRow(const RunControl& rc, TextSink& out, const MonthlyLayout& layout,
                    const char* label, const char* format, ValueOf valueOf) {
  putName(out, layout, label);
  put(out, " %6s ", " ");
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    if (isTheoreticalOnly(rc, slot)) {
      put(out, "  %11s  ", "");
    } else {
      put(out, format, "", valueOf(slot));
    }
  }
  out.write("\n");
}

// The totals block closing a facility's wells; `facility` is -1 for wells
// that have no facility before them.
void writeMonthlyTotals(const RunState& rs, TextSink& out, const MonthlyLayout& layout,
                        int facility, double shrinkage, const Sums& sums) {
  const RunControl& rc = rs.control;
  writeMonthlyPageHeader(rs, out, layout, " ", " ", shrinkage);
  putName(out, layout, " ");
  put(out, " %6s ", " ");
  bool anyMeasured = false;
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    if (isTheoreticalOnly(rc, slot)) {
      put(out, "  %11.1f  ", sums.allocated[slot]);
    } else {
      put(out, "  %11.1f %11.1f  ", sums.theoretical[slot], sums.allocated[slot]);
      anyMeasured = true;
    }
  }
  out.write("\n\n");
  if (!anyMeasured) return;

  putMeasuredRow(rc, out, layout, "Measured Volume:", "  %11s %11.1f  ",
                 [&](int slot) { return sums.allocated[slot]; });
  out.write("\n");
  putMeasuredRow(rc, out, layout, "Field Factors:", "  %11.s %11.3f  ", [&](int slot) {
    return facility < 0 ? 0 : facilityFieldFactor(rs, facility, slot, 1);
  });
}

}  // namespace

bool hasReportPage(const RunState& rs, const BaNode& node) {
  return node.allocated && (rs.control.dailyMode || !isWellLevel(rs, node));
}

namespace {

// Nodes formatted together: about 300 KB of pages.
constexpr int kPagesPerRun = 64;

// The pages of a run of nodes, where they start in its text, and the sums of
// the well-level pages among them, in node order.
struct DailyPages {
  BufferSink text;
  ReportPageStarts starts;
  std::vector<Sums> wellSums;
  void clear() {
    text.clear();
    starts.clear();
    wellSums.clear();
  }
};

}  // namespace

ReportPageStarts writeDailyReport(const RunState& rs, TextSink& out) {
  ReportPageStarts starts;
  Sums network;
  formatNodeRuns<DailyPages>(
      rs, rs.nodeCount(), kPagesPerRun,
      [&rs](int first, int end, DailyPages& run) {
        for (int i = first; i < end; ++i) {
          const BaNode& node = *rs.nodeTable[i];
          if (!hasReportPage(rs, node)) continue;
          run.starts.push_back({i, run.text.position()});
          const Sums sums = writeDailyPage(rs, run.text, i);
          if (isWellLevel(rs, node)) run.wellSums.push_back(sums);
        }
      },
      [&](const DailyPages& run) {
        const long base = out.position();
        for (const ReportPageStart& start : run.starts) {
          starts.push_back({start.node, base + start.offset});
        }
        out.write(run.text.text());
        // The network totals sum the pages in node order.
        for (const Sums& sums : run.wellSums) {
          for (int slot = 0; slot < kFluidSlots; ++slot) {
            if (!isListed(rs.control, slot)) continue;
            accumulate(network.theoretical[slot], sums.theoretical[slot]);
            accumulate(network.allocated[slot], sums.allocated[slot]);
          }
        }
      });
  writeNetworkTotals(rs, out, network);
  return starts;
}

ReportPageStarts writeMonthlyReport(const RunState& rs, TextSink& out) {
  ReportPageStarts starts;
  const RunControl& rc = rs.control;
  const MonthlyLayout layout = monthlyLayout(rs);
  Sums sums;
  int facility = -1;
  double shrinkage = 0;
  bool wellsWritten = false;
  for (const int i : reportOrder(rs)) {
    const BaNode& node = *rs.nodeTable[i];
    if (!node.allocated) continue;
    if (!hasReportPage(rs, node)) {
      Sums well;
      double hours = 0;
      for (int d = periodFirst(rc); d < periodEnd(rc); ++d) {
        for (int slot = 0; slot < kFluidSlots; ++slot) {
          accumulate(well.theoretical[slot], node.fluids[slot].volume[d]);
          accumulate(well.allocated[slot], node.fluids[slot].cumResult[d]);
        }
        if (node.routes) hours += (*node.routes)[d].hoursOn;
      }
      putName(out, layout, node.name.c_str());
      put(out, " %6.2f ", hours / 24);
      for (int slot = 0; slot < kFluidSlots; ++slot) {
        if (isListed(rc, slot)) {
          if (isTheoreticalOnly(rc, slot)) {
            put(out, "  %11.1f  ", well.allocated[slot]);
          } else {
            put(out, "  %11.1f %11.1f  ", well.theoretical[slot], well.allocated[slot]);
          }
        }
        accumulate(sums.theoretical[slot], well.theoretical[slot]);
        accumulate(sums.allocated[slot], well.allocated[slot]);
      }
      out.write("\n");
      wellsWritten = true;
      continue;
    }
    if (wellsWritten) writeMonthlyTotals(rs, out, layout, facility, shrinkage, sums);
    wellsWritten = false;
    facility = i;
    shrinkage = node.shrinkage;
    starts.push_back({i, out.position()});
    writeMonthlyPageHeader(rs, out, layout, levelName(rs, node), node.name, shrinkage);
    sums = Sums{};
  }
  writeMonthlyTotals(rs, out, layout, facility, shrinkage, sums);
  return starts;
}

ReportPageStarts writeReport(const RunState& rs, OutputFiles& files, const std::string& path) {
  std::unique_ptr<TextSink> out = files.create(path);
  if (!out) return {};
  return rs.control.dailyMode ? writeDailyReport(rs, *out) : writeMonthlyReport(rs, *out);
}

namespace {

constexpr int kTotalsRowsPerRun = 1024;

// The rows of a run of wells of the totals listing and their sums.
struct TotalsRows {
  BufferSink text;
  std::vector<Sums> wellSums;
  void clear() {
    text.clear();
    wellSums.clear();
  }
};

// The well's row of the totals listing, when it has one.
void writeTotalsRow(const RunState& rs, const BaNode& node, TotalsRows& run) {
  const RunControl& rc = rs.control;
  if (!node.allocated || !isWellLevel(rs, node)) return;
  Sums well;
  bool produced = false;  // some listed slot's running allocated sum went above 0
  for (int d = periodFirst(rc); d < periodEnd(rc); ++d) {
    for (int slot = 0; slot < kFluidSlots; ++slot) {
      if (!isListed(rc, slot)) continue;
      accumulate(well.allocated[slot], node.fluids[slot].cumResult[d]);
      accumulate(well.theoretical[slot], node.fluids[slot].volume[d]);
      if (well.allocated[slot] > 0) produced = true;
    }
  }
  if (!produced) return;
  TextSink& out = run.text;
  put(out, "%-20s ", node.name.c_str());
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    if (isTheoreticalOnly(rc, slot)) {
      put(out, " %10.1f  ", well.theoretical[slot]);
    } else {
      put(out, " %10.1f %10.1f %c", well.theoretical[slot], well.allocated[slot], ' ');
    }
  }
  out.write("\n");
  run.wellSums.push_back(well);
}

}  // namespace

void writeTotalsListing(const RunState& rs, OutputFiles& files, const std::string& path) {
  const RunControl& rc = rs.control;
  std::unique_ptr<TextSink> file = files.create(path);
  if (!file) return;
  TextSink& out = *file;
  out.write("\f\n");
  writeHeaderLines(rs, out, false);
  out.write("\n\n");
  out.write("Monthly Allocated Totals\n");
  const auto left = dailyLeftParts(false);
  writeHeaderRows(rs, out, kDailyWell, left);

  Sums grand;
  formatNodeRuns<TotalsRows>(
      rs, rs.nodeCount(), kTotalsRowsPerRun,
      [&rs](int first, int end, TotalsRows& run) {
        for (int i = first; i < end; ++i) writeTotalsRow(rs, *rs.nodeTable[i], run);
      },
      [&](const TotalsRows& run) {
        out.write(run.text.text());
        // The grand totals sum the wells in node order.
        for (const Sums& well : run.wellSums) {
          for (int slot = 0; slot < kFluidSlots; ++slot) {
            if (!isListed(rc, slot)) continue;
            accumulate(grand.theoretical[slot], well.theoretical[slot]);
            accumulate(grand.allocated[slot], well.allocated[slot]);
          }
        }
      });
  writeHeaderRows(rs, out, kDailyWell, left);
  out.write(std::string(21, ' '));
  for (int slot = 0; slot < kFluidSlots; ++slot) {
    if (!isListed(rc, slot)) continue;
    if (isTheoreticalOnly(rc, slot)) {
      put(out, " %10.1f  ", grand.theoretical[slot]);
    } else {
      put(out, " %10.1f %10.1f  ", grand.theoretical[slot], grand.allocated[slot]);
    }
  }
  out.write("\n");
}

}  // namespace zelba
