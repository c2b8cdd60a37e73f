#include "output/json_results.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "engine/dates.h"
#include "output/report_common.h"

namespace zelba {

namespace {

using Json = nlohmann::ordered_json;

// A host date as the number yyyymmdd.
long long dateNumber(double date) {
  return std::isfinite(date) ? static_cast<long long>(date) : 0;
}

std::string nodeName(const RunState& rs, int node) {
  return node >= 0 && node < rs.nodeCount() ? rs.nodeTable[node]->name : std::string();
}

Json pointJson(const RunState& rs, const BaPom& pom) {
  const RunControl& rc = rs.control;
  const BaNode& node = *rs.nodeTable[pom.nodeIndex];
  Json point;
  point["index"] = pom.index;
  point["node"] = node.name;
  point["level"] = levelName(rs, node);
  point["stage"] = pom.stage;
  Json members = Json::array();
  for (const std::int32_t m : pom.members) members.push_back(nodeName(rs, m));
  point["members"] = std::move(members);
  Json fluids = Json::object();
  const DayRange p = periodDays(rc);
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    if (!isListed(rc, fluid)) continue;
    Json days = Json::array();
    for (int d = p.first; d < p.end; ++d) {
      Json day;
      day["date"] = dateNumber(dayDate(rs, d));
      day["measured"] = node.fluids[fluid].volume[d];
      if (pom.factorComputed[fluid][d]) {
        day["fieldFactor"] = pom.fieldFactor[fluid][d];
        day["rangeCode"] = pom.rangeCode[fluid][d];
      } else {
        day["fieldFactor"] = nullptr;
        day["rangeCode"] = nullptr;
      }
      days.push_back(std::move(day));
    }
    fluids[fluidName(rs, fluid)] = std::move(days);
  }
  point["fluids"] = std::move(fluids);
  return point;
}

Json wellJson(const RunState& rs, const BaNode& well) {
  const RunControl& rc = rs.control;
  Json result;
  result["name"] = well.name;
  result["level"] = levelName(rs, well);
  Json fluids = Json::object();
  const DayRange p = periodDays(rc);
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    if (!isListed(rc, fluid)) continue;
    const BaFluidDays& f = well.fluids[fluid];
    Json days = Json::array();
    for (int d = p.first; d < p.end; ++d) {
      const BaDayRoute& route = (*well.routes)[d];
      const int pom = route.pomIndex;
      Json day;
      day["date"] = dateNumber(dayDate(rs, d));
      day["hoursOn"] = route.hoursOn;
      if (pom >= 0 && pom < rs.pomCount()) {
        day["point"] = nodeName(rs, rs.pomTable[pom]->nodeIndex);
      } else {
        day["point"] = nullptr;
      }
      day["theoretical"] = f.volume[d];
      day["method"] = methodText(f.source[d]);
      day["allocated"] = f.cumResult[d];
      days.push_back(std::move(day));
    }
    fluids[fluidName(rs, fluid)] = std::move(days);
  }
  result["fluids"] = std::move(fluids);
  return result;
}

Json diagnosticJson(const RunState& rs, const Diagnostic& d) {
  Json record;
  record["kind"] = diagnosticKindName(d.kind);
  record["reason"] = d.reason;
  if (d.line > 0) {
    record["line"] = d.line;
    record["section"] = d.section;
  }
  if (d.node >= 0) record["node"] = nodeName(rs, d.node);
  if (d.pom >= 0) record["point"] = nodeName(rs, rs.pomTable[d.pom]->nodeIndex);
  if (d.fluid >= 0) record["fluid"] = fluidName(rs, d.fluid);
  if (d.day >= 0) record["date"] = dateNumber(dayDate(rs, d.day));
  if (diagnosticHasValue(d.kind)) record["value"] = d.value;
  if (d.kind == DiagnosticKind::kFactorOutOfRange) record["code"] = d.code;
  return record;
}

}  // namespace

std::string resultsJson(const RunState& rs) {
  const RunControl& rc = rs.control;
  Json root;
  root["periodStart"] = dateNumber(rc.periodStart);
  root["periodEnd"] = dateNumber(rc.periodEnd);
  root["mode"] = rc.dailyMode ? "daily" : "monthly";
  // The accepted field-factor range of every point of measurement.
  root["rangeMin"] = rc.rangeMin;
  root["rangeMax"] = rc.rangeMax;
  Json fluids = Json::array();
  for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
    if (!isListed(rc, fluid)) continue;
    Json entry;
    entry["name"] = fluidName(rs, fluid);
    entry["units"] = unitsLabel(rc, fluid);
    entry["theoreticalOnly"] = isTheoreticalOnly(rc, fluid);
    fluids.push_back(std::move(entry));
  }
  root["fluids"] = std::move(fluids);
  Json points = Json::array();
  for (const auto& pom : rs.pomTable) points.push_back(pointJson(rs, *pom));
  root["points"] = std::move(points);
  Json wells = Json::array();
  for (const auto& node : rs.nodeTable) {
    if (isWellWithDays(rs, *node)) wells.push_back(wellJson(rs, *node));
  }
  root["wells"] = std::move(wells);
  Json diagnostics = Json::array();
  for (const Diagnostic& d : rs.diagnostics) diagnostics.push_back(diagnosticJson(rs, d));
  root["diagnostics"] = std::move(diagnostics);
  // Every record the run made, kept in full above or only counted.
  Json counts = Json::object();
  for (int kind = 0; kind < kDiagnosticKinds; ++kind) {
    const auto k = static_cast<DiagnosticKind>(kind);
    counts[diagnosticKindName(k)] = rs.diagnostics.count(k);
  }
  root["diagnosticCounts"] = std::move(counts);
  // Names and input text are bytes as the input gave them: any that are not
  // UTF-8 are replaced, so that the results stay valid JSON.
  return root.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace zelba
