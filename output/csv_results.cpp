#include "output/csv_results.h"

#include <cmath>

#include "engine/dates.h"
#include "engine/keywords.h"
#include "output/report_common.h"

namespace zelba {

namespace {

// The one header row: a well's rows fill the first columns, a point's the
// last, and `record` says which a row is.
constexpr const char* kHeader =
    "record,date,well,point,fluid,hours_on,theoretical,method,allocated,measured,field_factor,"
    "range_code\r\n";

// The bytes of `text` as UTF-8: a byte that starts no valid sequence is
// replaced by U+FFFD, so that the table stays UTF-8 whatever the input held.
std::string validUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out += text[i++];
      continue;
    }
    const size_t length = utf8SequenceLength(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

// A text cell: quoted when it holds a comma, a quote, CR or LF, or starts or
// ends with a blank (which a spreadsheet would drop); quotes doubled.
void putText(BufferSink& out, const std::string& raw) {
  const std::string text = validUtf8(raw);
  const bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) {
    out.write(text);
    return;
  }
  out.write("\"");
  for (const char c : text)
    out.write(c == '"' ? std::string_view("\"\"") : std::string_view(&c, 1));
  out.write("\"");
}

// A figure as the load file and the totals table print it (`format` is one
// of their conversions); a value that is not a finite number stays empty.
void putNumber(BufferSink& out, const char* format, double value) {
  if (std::isfinite(value)) put(out, format, value);
}

void putDate(BufferSink& out, double date) {
  putNumber(out, "%.0f", date);
}

void writeWellRows(const RunState& rs, const BaNode& well, BufferSink& out) {
  const RunControl& rc = rs.control;
  const DayRange p = periodDays(rc);
  for (int d = p.first; d < p.end; ++d) {
    const BaDayRoute& route = (*well.routes)[d];
    const int pom = route.pomIndex;
    const std::string point =
        pom >= 0 && pom < rs.pomCount() ? rs.nodeTable[rs.pomTable[pom]->nodeIndex]->name : "";
    for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
      if (!isListed(rc, fluid)) continue;
      const BaFluidDays& f = well.fluids[fluid];
      out.write("well,");
      putDate(out, dayDate(rs, d));
      out.write(",");
      putText(out, well.name);
      out.write(",");
      putText(out, point);
      out.write(",");
      putText(out, fluidName(rs, fluid));
      out.write(",");
      putNumber(out, "%.3f", route.hoursOn);
      out.write(",");
      putNumber(out, "%.1f", f.volume[d]);
      out.write(",");
      putText(out, methodText(f.source[d]));
      out.write(",");
      putNumber(out, "%.1f", f.cumResult[d]);
      out.write(",,,\r\n");
    }
  }
}

void writePointRows(const RunState& rs, const BaPom& pom, BufferSink& out) {
  const RunControl& rc = rs.control;
  const BaNode& node = *rs.nodeTable[pom.nodeIndex];
  const DayRange p = periodDays(rc);
  for (int d = p.first; d < p.end; ++d) {
    for (int fluid = 0; fluid < kFluidSlots; ++fluid) {
      if (!isListed(rc, fluid)) continue;
      out.write("point,");
      putDate(out, dayDate(rs, d));
      out.write(",,");
      putText(out, node.name);
      out.write(",");
      putText(out, fluidName(rs, fluid));
      out.write(",,,,,");
      putNumber(out, "%.1f", node.fluids[fluid].volume[d]);
      out.write(",");
      if (pom.factorComputed[fluid][d]) {
        putNumber(out, "%.3f", pom.fieldFactor[fluid][d]);
        out.write(",");
        put(out, "%d", static_cast<int>(pom.rangeCode[fluid][d]));
      } else {
        out.write(",");
      }
      out.write("\r\n");
    }
  }
}

}  // namespace

std::string csvResults(const RunState& rs) {
  BufferSink out;
  out.write(kHeader);
  for (const auto& node : rs.nodeTable) {
    if (isWellWithDays(rs, *node)) writeWellRows(rs, *node, out);
  }
  for (const auto& pom : rs.pomTable) writePointRows(rs, *pom, out);
  return std::string(out.text());
}

}  // namespace zelba
