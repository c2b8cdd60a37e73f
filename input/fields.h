// Helpers the section parsers share for reading the lines of a section.
#pragma once

#include <string>
#include <string_view>
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

// " (did you mean 'NAME'?)" with the one of `names` closest to `text`, when
// it is at most two edits (insert, delete or change a character) away and
// `text` is longer than the edits, ASCII case ignored; empty when none is or
// `text` is one of them. A leading '*'
// of both is ignored, so keywords compare by their words.
std::string didYouMean(std::string_view text, const std::vector<std::string_view>& names);
// The same with the names of a table (methods, columns, types, fluids).
std::string didYouMean(std::string_view text, const NameTable& table);

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
std::string unknownColumns(const Fields& fields, const std::vector<int>& ids,
                           const NameTable& known);

// True for the name of a section of the input file ("#volume", any case).
bool isSectionName(std::string_view field);
// Records a section header met inside `section`, which is not closed yet.
void noteSectionInSection(RunState& rs, const InputReader& reader, const char* section,
                          const std::string& header);

// Hands each remaining line of `section` to `handle(kind, fields)`, up to
// its "#end" or the end of input. The header line of another section is no
// line of this one: it is recorded as a likely missing "#end" and skipped.
template <typename Handler>
void forEachSectionLine(RunState& rs, InputReader& reader, const char* section, Handler&& handle) {
  Fields fields;
  int kind;
  while ((kind = reader.readFields(fields)) != kEndMarker && kind != kEndOfInput) {
    if (fields.empty()) continue;
    // The header of another section: most likely this one lacks its "#end".
    if (kind == kDataLine && isSectionName(fields.front())) {
      noteSectionInSection(rs, reader, section, fields.front());
      continue;
    }
    handle(kind, fields);
  }
}

}  // namespace zelba
