// Section parsers of the input file and the dispatcher that calls them.
//
// A section parser reads the lines of its section from the reader until
// "#end" or the end of input, and returns. Lines a parser cannot use are
// skipped silently.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_state.h"
#include "input/input_reader.h"

namespace zelba {

// Reads a whole input, handing each section to its parser in file order.
// Lines outside sections are ignored; "#end" outside a section ends the input.
void readSections(RunState& rs, InputReader& reader);

// Opens the file at `path` and reads it into the run state. Returns 1 when
// the file was opened and read to its end (whatever it held), 0 when a read
// error stopped it part-way (the run state holds only a part of the input),
// -1 when it cannot be opened.
int readInputFile(RunState& rs, const std::string& path);

void parseControlSection(RunState& rs, InputReader& reader);  // "#control"
void parseNetworkSection(RunState& rs, InputReader& reader);  // "#network"
void parseVolumeSection(RunState& rs, InputReader& reader);   // "#volume"

// The well data sections. They place dated lines on day indexes, so the
// period must be known before they are read.
void parseWelltestSection(RunState& rs, InputReader& reader);   // "#welltest"
void parseTimeSection(RunState& rs, InputReader& reader);       // "#time"
void parseWellwatchSection(RunState& rs, InputReader& reader);  // "#wellwatch"
void parseEquationSection(RunState& rs, InputReader& reader);   // "#equation"

// Index of the node (type, name) named by a "#network" line, created when it
// does not exist yet (see findNode). `tokens` are the line's fields (may be
// empty): for a new well they give its label and method lists, for a new
// facility its stage. A node that exists is returned unchanged. Tokens of a
// new node's line that name no method, fluid or stage are added to `unused`
// when given.
int findOrCreateNode(RunState& rs, std::string_view typeName, std::string_view name,
                     const std::vector<std::string>& tokens,
                     std::vector<std::string>* unused = nullptr);

// Reads method tokens ('*Oil *Welltest *Decline ...') into per-fluid method
// lists, from token `first` on. A fluid token restarts that fluid's list;
// method tokens before any fluid fill every fluid's list. Tokens that name
// neither, or a method beyond the fifth, are added to `unused` when given.
void readMethodTokens(const RunState& rs, const std::vector<std::string>& tokens, size_t first,
                      FluidArray<std::array<std::uint8_t, kMethodSlots>>& methods,
                      std::vector<std::string>* unused = nullptr);

// Defines a point of measurement from a '*TYPE name options' line of
// "#network"; returns its POM index, or -1 when the line is unusable. Fields
// that are no option are added to `unused` when given.
int definePom(RunState& rs, const std::vector<std::string>& fields,
              std::vector<std::string>* unused = nullptr);
// Adds the node of a 'TYPE name ...' line of "#network" to the point of
// measurement defined last; returns the node index, or -1 when the type or
// name is unusable. The node is created even before any point exists, but is
// then a member of none. Method tokens not used are added to `unused`.
int addPomMember(RunState& rs, const std::vector<std::string>& fields,
                 std::vector<std::string>* unused = nullptr);

}  // namespace zelba
