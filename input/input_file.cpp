// The dispatcher: hands each section of the input file to its parser.
#include <vector>

#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

using SectionParser = void (*)(RunState&, InputReader&);

// Reads a section whose contents this version of the engine does not use, up
// to its "#end" or the end of input.
void skipSection(RunState&, InputReader& reader) {
  forEachSectionLine(reader, [](int, const Fields&) {});
}

struct Section {
  const char* name;
  SectionParser parse;
};

// Compared in this order; a line naming none of them is ignored.
const Section kSections[] = {
    {"#network", parseNetworkSection}, {"#volume", parseVolumeSection},
    {"#welltest", skipSection},        {"#time", skipSection},
    {"#equation", skipSection},        {"#control", parseControlSection},
    {"#wellwatch", skipSection},
};

}  // namespace

void readSections(RunState& rs, InputReader& reader) {
  std::vector<std::string> fields;
  while (true) {
    const int kind = reader.readFields(fields);
    if (kind == kEndMarker || kind == kEndOfInput) break;
    if (fields.empty() || fields.front().empty() || fields.front().front() != '#') continue;
    for (const Section& section : kSections) {
      if (equalsIgnoreCase(fields.front(), section.name)) {
        section.parse(rs, reader);
        break;
      }
    }
  }
  reader.close();
}

int readInputFile(RunState& rs, const std::string& path) {
  InputReader reader;
  if (!reader.openFile(path)) return -1;
  readSections(rs, reader);
  return 1;
}

}  // namespace zelba
