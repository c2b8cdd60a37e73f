#include "input/fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "engine/dates.h"
#include "engine/numbers.h"

namespace zelba {

const std::string& fieldAt(const Fields& fields, size_t k) {
  static const std::string kEmpty;
  return k < fields.size() ? fields[k] : kEmpty;
}

double numberAt(const Fields& fields, size_t k) {
  return parseNumber(fieldAt(fields, k));
}

namespace {

void noteLine(RunState& rs, const InputReader& reader, const char* section, std::string reason,
              DiagnosticKind kind) {
  Diagnostic note;
  note.kind = kind;
  note.reason = std::move(reason);
  note.line = reader.lineNumber();
  note.section = section;
  rs.diagnostics.add(std::move(note));
}

}  // namespace

void noteOddDate(RunState& rs, const InputReader& reader, const char* section, double date) {
  if (!isOddDate(date)) return;
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", date);
  noteDate(rs, reader, section,
           std::string(text) + " is not a calendar date; the run counts it on from its month");
}

void noteDate(RunState& rs, const InputReader& reader, const char* section, std::string reason) {
  noteLine(rs, reader, section, std::move(reason), DiagnosticKind::kOddDate);
}

void noteSectionInSection(RunState& rs, const InputReader& reader, const char* section,
                          const std::string& header) {
  ignoreLine(rs, reader, section,
             "'" + header + "' starts a section inside " + section + ": missing #end before line " +
                 std::to_string(reader.lineNumber()) + "?");
}

void ignoreLine(RunState& rs, const InputReader& reader, const char* section, std::string reason) {
  noteLine(rs, reader, section, std::move(reason), DiagnosticKind::kIgnoredLine);
}

void partlyUsedLine(RunState& rs, const InputReader& reader, const char* section,
                    std::string reason) {
  noteLine(rs, reader, section, std::move(reason), DiagnosticKind::kPartlyUsedLine);
}

namespace {

constexpr int kMostEdits = 2;

std::string_view withoutStar(std::string_view text) {
  return !text.empty() && text.front() == '*' ? text.substr(1) : text;
}

// The edit distance of `a` and `b`, ASCII case ignored; kMostEdits + 1 for
// any distance above kMostEdits.
int editDistance(std::string_view a, std::string_view b) {
  const int far = kMostEdits + 1;
  if (std::abs(static_cast<long>(a.size()) - static_cast<long>(b.size())) > kMostEdits) return far;
  std::vector<int> previous(b.size() + 1);
  std::vector<int> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = static_cast<int>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = static_cast<int>(i);
    int best = row[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      best = std::min(best, row[j]);
    }
    if (best > kMostEdits) return far;  // every path is already too long
    std::swap(previous, row);
  }
  return std::min(previous[b.size()], far);
}

}  // namespace

std::string didYouMean(std::string_view text, const std::vector<std::string_view>& names) {
  const std::string_view word = withoutStar(text);
  if (word.empty()) return {};
  std::string_view closest;
  int distance = kMostEdits + 1;
  for (const std::string_view name : names) {
    const int d = editDistance(word, withoutStar(name));
    if (d == 0) return {};
    if (d < distance) {
      distance = d;
      closest = name;
    }
  }
  // Two edits make any short word another: a word is at least one character
  // longer than the edits that would change it.
  if (distance > kMostEdits || distance >= static_cast<int>(word.size())) return {};
  return " (did you mean '" + std::string(closest) + "'?)";
}

std::string didYouMean(std::string_view text, const NameTable& table) {
  std::vector<std::string_view> names;
  names.reserve(table.size());
  for (const BaNameId& row : table) names.push_back(row.name);
  return didYouMean(text, names);
}

std::string headerProblem(const RunState& rs, const Fields& fields) {
  const int type = lookupEntityType(rs, fieldAt(fields, 0));
  if (type < 0) {
    return "unknown entity type or keyword '" + fieldAt(fields, 0) + "'" +
           didYouMean(fieldAt(fields, 0), rs.entityTypes);
  }
  if (!isWellType(rs, type))
    return "'" + fieldAt(fields, 0) + "' is a facility type, not a well type";
  if (fieldAt(fields, 1).empty()) return "no well name";
  return "'" + fieldAt(fields, 1) +
         "' was created before its type became a well type: it has no well data";
}

std::string unknownColumns(const Fields& fields, const std::vector<int>& ids,
                           const NameTable& known) {
  std::string names;
  for (size_t k = 0; k < fields.size() && k < ids.size(); ++k) {
    if (ids[k] < 0) names += " '" + fields[k] + "'" + didYouMean(fields[k], known);
  }
  return names.empty() ? names : "unknown columns, not read:" + names;
}

namespace {

// " (did you mean ...?)" with the closest name of a node of the same type
// named before (in "#network", mostly). Only while the records are kept in full: a file
// of thousands of unknown wells costs no search each.
std::string namedInNetwork(const RunState& rs, int created) {
  if (rs.diagnostics.count(DiagnosticKind::kPartlyUsedLine) >= Diagnostics::kDetailedPerKind) {
    return {};
  }
  const BaNode& node = *rs.nodeTable[created];
  std::vector<std::string_view> names;
  for (const auto& other : rs.nodeTable) {
    if (other.get() != &node && other->typeId == node.typeId) {
      names.push_back(other->name);
    }
  }
  return didYouMean(node.name, names);
}

}  // namespace

int findNodeNoted(const LineNotes& notes, const Fields& fields, const char* kind) {
  RunState& rs = notes.rs;
  bool created = false;
  const int node = findNode(rs, fieldAt(fields, 0), fieldAt(fields, 1), &created);
  if (created) {
    notes.partlyUsed("'" + rs.nodeTable[node]->name + "' is not in #network: a new " + kind +
                     " was created, on no point of measurement" + namedInNetwork(rs, node));
  }
  return node;
}

int headerWell(const LineNotes& notes, const Fields& fields) {
  RunState& rs = notes.rs;
  if (!isWellType(rs, lookupEntityType(rs, fieldAt(fields, 0)))) return -1;
  const int well = findNodeNoted(notes, fields, "well");
  // A node made before a later "*Define" turned its type into a well type
  // has no day blocks for well data.
  if (well >= 0 && !isWellWithDays(rs, *rs.nodeTable[well])) return -1;
  return well;
}

}  // namespace zelba
