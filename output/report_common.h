// The decisions every writer shares, so that the report, the totals listing,
// the load file and the HTML pages cannot drift apart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/run_state.h"

namespace zelba {

// A fluid slot appears in the outputs when it was measured or is allocated
// from theoretical rates; the latter are "theoretical-only" slots.
bool isListed(const RunControl& rc, int slot);
bool isTheoreticalOnly(const RunControl& rc, int slot);

// "bbl"/"m3", "Mcf"/"Km3" for gas and gas injection, "tons" for steam.
std::string unitsLabel(const RunControl& rc, int slot);

// `text` centred in a field of `width` - 1 characters (cut when longer).
std::string centre(std::string_view text, int width);

// The node indexes in report order: each well of the well level whose point
// of measurement (its `pomIndex`) has an allocated facility as its own node
// is listed right after that facility, in node order among its wells; every
// other node keeps its place. Where each facility is followed by its own
// wells this is the node table's order. The monthly report and the network
// index list wells under the facility they flow to this way.
std::vector<int> reportOrder(const RunState& rs);

// The node is of the well level itself (the monthly report, the totals
// listing and the load file list only these).
bool isWellLevel(const RunState& rs, const BaNode& node);

// The field factor of the point of measurement whose own node `nodeIndex` is
// (the first such point), for the slot and day; 0 when the node is no point.
double facilityFieldFactor(const RunState& rs, int nodeIndex, int slot, int day);

// The level name of a node: its entity type's name.
std::string levelName(const RunState& rs, const BaNode& node);

}  // namespace zelba
