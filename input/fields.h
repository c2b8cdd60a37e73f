// Helpers the section parsers share for reading the lines of a section.
#pragma once

#include <string>
#include <vector>

#include "engine/run_state.h"
#include "input/input_reader.h"

namespace zelba {

using Fields = std::vector<std::string>;

// Field k (0 for the first); an empty text when the line is shorter, so that
// a missing argument reads as an empty field.
const std::string& fieldAt(const Fields& fields, size_t k);

// parseNumber of field k (0 for a missing field).
double numberAt(const Fields& fields, size_t k);

// Records that the line just read was not used (or only partly used) and why.
void ignoreLine(RunState& rs, const InputReader& reader, const char* section, std::string reason);
void partlyUsedLine(RunState& rs, const InputReader& reader, const char* section,
                    std::string reason);

// Records a date of the line just read that is not a calendar date (see
// isOddDate); does nothing for any other date.
void noteOddDate(RunState& rs, const InputReader& reader, const char* section, double date);
// Records something about the dates of the line just read (an odd date).
void noteDate(RunState& rs, const InputReader& reader, const char* section, std::string reason);

// Why a data line with fields past its section's column header is partly used.
constexpr const char* kFieldsPastHeader = "more fields than the column header names";

// The diagnostics of one section's lines, for parsers that note them from
// several functions.
struct LineNotes {
  RunState& rs;
  const InputReader& reader;
  const char* section;

  void ignored(std::string reason) const { ignoreLine(rs, reader, section, std::move(reason)); }
  void partlyUsed(std::string reason) const {
    partlyUsedLine(rs, reader, section, std::move(reason));
  }
  void oddDate(double date) const { noteOddDate(rs, reader, section, date); }
};

// The well named by a header line '*TYPE name' of a well data section: its
// node index, or -1 when the type is unknown or not a well type, the name is
// empty, or the node has no well data (it was made while its type was not yet
// a well type). A well that "#network" did not name is created, and noted.
int headerWell(const LineNotes& notes, const Fields& fields);

// The node of a '*TYPE name' line, found or created; a node that "#network"
// did not define is noted as a new `kind` ("well", "node").
int findNodeNoted(const LineNotes& notes, const Fields& fields, const char* kind);

// Why a header line of a well data section names no well.
std::string headerProblem(const RunState& rs, const Fields& fields);

// The fields of a column header whose names `ids` found no column for (-1),
// as a reason text; empty when every name is known.
std::string unknownColumns(const Fields& fields, const std::vector<int>& ids);

// Hands each remaining line of the section to `handle(kind, fields)`, up to
// the section's "#end" or the end of input.
template <typename Handler>
void forEachSectionLine(InputReader& reader, Handler&& handle) {
  Fields fields;
  int kind;
  while ((kind = reader.readFields(fields)) != kEndMarker && kind != kEndOfInput) {
    if (!fields.empty()) handle(kind, fields);
  }
}

}  // namespace zelba
