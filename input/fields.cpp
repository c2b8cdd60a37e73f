#include "input/fields.h"

#include <cstdio>

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

void ignoreLine(RunState& rs, const InputReader& reader, const char* section, std::string reason) {
  noteLine(rs, reader, section, std::move(reason), DiagnosticKind::kIgnoredLine);
}

void partlyUsedLine(RunState& rs, const InputReader& reader, const char* section,
                    std::string reason) {
  noteLine(rs, reader, section, std::move(reason), DiagnosticKind::kPartlyUsedLine);
}

std::string headerProblem(const RunState& rs, const Fields& fields) {
  const int type = lookupEntityType(rs, fieldAt(fields, 0));
  if (type < 0) return "unknown entity type or keyword '" + fieldAt(fields, 0) + "'";
  if (!isWellType(rs, type))
    return "'" + fieldAt(fields, 0) + "' is a facility type, not a well type";
  if (fieldAt(fields, 1).empty()) return "no well name";
  return "'" + fieldAt(fields, 1) +
         "' was created before its type became a well type: it has no well data";
}

std::string unknownColumns(const Fields& fields, const std::vector<int>& ids) {
  std::string names;
  for (size_t k = 0; k < fields.size() && k < ids.size(); ++k) {
    if (ids[k] < 0) names += " '" + fields[k] + "'";
  }
  return names.empty() ? names : "unknown columns, not read:" + names;
}

int findNodeNoted(const LineNotes& notes, const Fields& fields, const char* kind) {
  RunState& rs = notes.rs;
  bool created = false;
  const int node = findNode(rs, fieldAt(fields, 0), fieldAt(fields, 1), &created);
  if (created) {
    notes.partlyUsed("'" + rs.nodeTable[node]->name + "' is not in #network: a new " + kind +
                     " was created, on no point of measurement");
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
