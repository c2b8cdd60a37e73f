// "#network": entity types, points of measurement and the nodes that flow to
// them, with default and per-well theoretical-rate methods.
#include <vector>

#include "engine/keywords.h"
#include "engine/numbers.h"
#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

// "*Define T1 T2 ...": the run's entity types from now on. A name written
// with a leading '#' is the first well type; without one, the last name is.
void defineEntityTypes(RunState& rs, const std::vector<std::string>& fields) {
  NameTable types;
  int firstWell = -1;
  for (size_t k = 1; k < fields.size(); ++k) {
    std::string name = fields[k];
    const bool marked = !name.empty() && name.front() == '#';
    if (marked) name.erase(0, 1);
    if (name.empty()) continue;  // an empty name could never be looked up
    toUpperAscii(name);
    const int id = static_cast<int>(types.size());
    if (marked && firstWell < 0) firstWell = id;
    types.push_back({id, std::move(name)});
  }
  if (firstWell < 0) firstWell = types.empty() ? 0 : static_cast<int>(types.size()) - 1;
  rs.entityTypes = std::move(types);
  rs.control.firstWellType = firstWell;
}

// The options of a point-of-measurement line, from field 3 on, in any order.
void readPomOptions(RunState& rs, BaPom& pom, const std::vector<std::string>& fields,
                    std::vector<std::string>* unused) {
  BaNode& node = *rs.nodeTable[pom.nodeIndex];
  for (size_t k = 2; k < fields.size(); ++k) {
    const std::string& option = fields[k];
    auto is = [&](const char* name) { return equalsIgnoreCase(option, name); };
    auto value = [&] { return toSingle(parseNumber(fieldAt(fields, ++k))); };
    if (is("*calibration")) {
      pom.calibration = value();
    } else if (is("*psep")) {
      pom.psep = value();
    } else if (is("*gor")) {
      pom.gor = value();
    } else if (is("*bsw")) {
      pom.bsw = value();
    } else if (is("*shrinkage")) {
      node.shrinkage = value();
    } else if (is("*2ndStage")) {
      pom.stage = 2;
    } else if (is("*1stStage")) {
      pom.stage = 1;
    } else if (unused) {
      unused->push_back(option);
    }
  }
}

}  // namespace

void readMethodTokens(const RunState& rs, const std::vector<std::string>& tokens, size_t first,
                      FluidArray<std::array<std::uint8_t, kMethodSlots>>& methods,
                      std::vector<std::string>* unused) {
  int fluid = -1;  // none selected yet: methods go to every fluid's list
  int position = 0;
  for (size_t t = first; t < tokens.size(); ++t) {
    // The first character, by convention '*', is skipped whatever it is.
    const std::string_view token = std::string_view(tokens[t]).substr(tokens[t].empty() ? 0 : 1);
    const int fluidId = lookupKeyword(token, rs.fluidNames);
    if (fluidId >= 0 && fluidId < kFluidSlots) {
      fluid = fluidId;
      position = 0;
      continue;
    }
    const int method = lookupKeyword(token, methodNames());
    if (method < 0 || position >= kMethodSlots) {
      if (unused) unused->push_back(tokens[t]);
      continue;
    }
    if (fluid >= 0) {
      methods[fluid][position] = static_cast<std::uint8_t>(method);
    } else {
      for (auto& list : methods) list[position] = static_cast<std::uint8_t>(method);
    }
    ++position;
  }
}

int findOrCreateNode(RunState& rs, std::string_view typeNameText, std::string_view name,
                     const std::vector<std::string>& tokens, std::vector<std::string>* unused) {
  bool created = false;
  const int index = findNode(rs, typeNameText, name, &created);
  if (!created || tokens.empty()) return index;
  BaNode& node = *rs.nodeTable[index];
  if (isWellType(rs, node.typeId)) {
    // A third token not starting with '*' is a label the run does not use.
    const bool labelled = tokens.size() < 3 || tokens[2].empty() || tokens[2][0] != '*';
    readMethodTokens(rs, tokens, labelled ? 3 : 2, node.methods, unused);
  } else if (tokens.size() > 2) {
    if (equalsIgnoreCase(tokens[2], "*2ndStage")) node.stage = 2;
    if (equalsIgnoreCase(tokens[2], "*1stStage")) node.stage = 1;
    if (unused) {
      unused->insert(unused->end(), tokens.begin() + (node.stage ? 3 : 2), tokens.end());
    }
  }
  return index;
}

int definePom(RunState& rs, const std::vector<std::string>& fields,
              std::vector<std::string>* unused) {
  const std::string& type = fieldAt(fields, 0);
  const int typeId = lookupEntityType(rs, type);
  if (typeId < 0) return -1;
  const int nodeIndex = findOrCreateNode(rs, type, fieldAt(fields, 1), fields);
  if (nodeIndex < 0) return -1;

  Record<BaPom> pom = makeRecord<BaPom>(&runArena(rs));
  pom->index = rs.pomCount();
  pom->previousPom = rs.currentPom;
  pom->typeId = typeId;
  pom->nodeIndex = nodeIndex;
  pom->stage = rs.nodeTable[nodeIndex]->stage;
  rs.currentPom = pom->index;
  rs.pomIndexByNode.emplace(nodeIndex, pom->index);
  BaPom& added = *pom;
  rs.pomTable.push_back(std::move(pom));
  readPomOptions(rs, added, fields, unused);
  return added.index;
}

int addPomMember(RunState& rs, const std::vector<std::string>& fields,
                 std::vector<std::string>* unused) {
  const int nodeIndex =
      findOrCreateNode(rs, fieldAt(fields, 0), fieldAt(fields, 1), fields, unused);
  if (nodeIndex < 0) return -1;
  if (rs.currentPom >= 0 && rs.currentPom < rs.pomCount()) {
    rs.pomTable[rs.currentPom]->members.push_back(nodeIndex);
  }
  return nodeIndex;
}

namespace {

constexpr const char* kSection = "#network";

// Why a node line names no node, for the run's diagnostics.
std::string unusableNodeLine(const RunState& rs, const Fields& fields) {
  if (lookupEntityType(rs, fieldAt(fields, 0)) < 0) {
    return "unknown entity type '" + fieldAt(fields, 0) + "'" +
           didYouMean(fieldAt(fields, 0), rs.entityTypes);
  }
  return "no node name";
}

// `known`: the method and fluid names the tokens could have meant, when
// they were method tokens.
std::string unusedTokensReason(const std::vector<std::string>& unused, const char* what,
                               const std::vector<std::string_view>* known = nullptr) {
  std::string reason = std::string(what) + " not used:";
  for (const std::string& token : unused) {
    reason += " '" + token + "'" + (known ? didYouMean(token, *known) : std::string());
  }
  return reason;
}

// The names a method token may have: the methods and the fluids.
std::vector<std::string_view> methodTokenNames(const RunState& rs) {
  std::vector<std::string_view> names;
  for (const BaNameId& row : methodNames()) names.push_back(row.name);
  for (const BaNameId& row : rs.fluidNames) names.push_back(row.name);
  return names;
}

void readMemberLine(RunState& rs, const InputReader& reader, const Fields& fields) {
  const int before = rs.nodeCount();
  std::vector<std::string> unused;
  const int node = addPomMember(rs, fields, &unused);
  if (node < 0) {
    ignoreLine(rs, reader, kSection, unusableNodeLine(rs, fields));
    return;
  }
  if (rs.currentPom < 0) {
    partlyUsedLine(rs, reader, kSection,
                   "no point of measurement is defined yet: the node belongs to none");
  }
  const bool created = rs.nodeCount() > before;
  if (!created && fields.size() > 2) {
    partlyUsedLine(rs, reader, kSection,
                   "the node is already defined: the rest of the line is not used");
  } else if (!unused.empty()) {
    const bool well = isWellType(rs, rs.nodeTable[node]->typeId);
    const std::vector<std::string_view> known = methodTokenNames(rs);
    partlyUsedLine(
        rs, reader, kSection,
        unusedTokensReason(unused, well ? "method tokens" : "fields", well ? &known : nullptr));
  }
}

}  // namespace

void parseNetworkSection(RunState& rs, InputReader& reader) {
  rs.defaultMethods = {};  // every "#network" section starts from "Measured"
  forEachSectionLine(rs, reader, "#network", [&](int kind, const Fields& fields) {
    if (kind == kDataLine) {
      readMemberLine(rs, reader, fields);
      return;
    }
    const std::string& keyword = fields.front();
    std::vector<std::string> unused;
    if (equalsIgnoreCase(keyword, "*Define")) {
      defineEntityTypes(rs, fields);
    } else if (equalsIgnoreCase(keyword, "*Methods")) {
      readMethodTokens(rs, fields, 1, rs.defaultMethods, &unused);
      if (!unused.empty()) {
        const std::vector<std::string_view> known = methodTokenNames(rs);
        partlyUsedLine(rs, reader, kSection, unusedTokensReason(unused, "method tokens", &known));
      }
    } else if (equalsIgnoreCase(keyword, "*Header")) {
      if (rs.control.headerCount() < kMaxHeaders) {
        rs.control.headers.push_back(fieldAt(fields, 1));
      } else {
        ignoreLine(rs, reader, kSection, "only 10 header lines are kept");
      }
    } else if (definePom(rs, fields, &unused) < 0) {
      ignoreLine(rs, reader, kSection, unusableNodeLine(rs, fields) + " (or unknown keyword)");
    } else if (!unused.empty()) {
      const std::vector<std::string_view> known = methodTokenNames(rs);
      partlyUsedLine(rs, reader, kSection,
                     unusedTokensReason(unused, "options or method tokens", &known));
    }
  });
}

}  // namespace zelba
