// The dispatcher: hands each section of the input file to its parser.
#include <string_view>
#include <vector>

#include "engine/text.h"
#include "input/fields.h"
#include "input/sections.h"

namespace zelba {

namespace {

using SectionParser = void (*)(RunState&, InputReader&);

struct Section {
  const char* name;
  SectionParser parse;
};

// Compared in this order; a line naming none of them is ignored.
const Section kSections[] = {
    {"#network", parseNetworkSection},     {"#volume", parseVolumeSection},
    {"#welltest", parseWelltestSection},   {"#time", parseTimeSection},
    {"#equation", parseEquationSection},   {"#control", parseControlSection},
    {"#wellwatch", parseWellwatchSection},
};

}  // namespace

bool isSectionName(std::string_view field) {
  for (const Section& section : kSections) {
    if (equalsIgnoreCase(field, section.name)) return true;
  }
  return false;
}

void readSections(RunState& rs, InputReader& reader) {
  std::vector<std::string> fields;
  while (true) {
    const int kind = reader.readFields(fields);
    if (kind == kEndOfInput) break;
    if (kind == kEndMarker) {
      ignoreLine(rs, reader, "", "#end outside a section ends the input: the rest is not read");
      break;
    }
    if (fields.empty()) continue;
    const Section* section = nullptr;
    for (const Section& candidate : kSections) {
      if (equalsIgnoreCase(fields.front(), candidate.name)) {
        section = &candidate;
        break;
      }
    }
    if (section) {
      section->parse(rs, reader);
    } else if (!fields.front().empty() && fields.front().front() == '#') {
      std::vector<std::string_view> names;
      for (const Section& known : kSections) names.push_back(known.name);
      ignoreLine(
          rs, reader, "",
          "'" + fields.front() + "' is not a section name" + didYouMean(fields.front(), names));
    } else {
      ignoreLine(rs, reader, "", "line outside any section");
    }
  }
  reader.close();
}

int readInputFile(RunState& rs, const std::string& path) {
  InputReader reader;
  if (!reader.openFile(path)) return -1;
  readSections(rs, reader);
  return reader.readFailed() ? 0 : 1;
}

}  // namespace zelba
