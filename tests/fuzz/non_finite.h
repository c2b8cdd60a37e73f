// Finds a printed NaN or infinity in an output file of a run.
//
// A number that is not finite prints as "nan", "-nan", "inf" or "-inf"
// (upper case with the capital conversions). An output also repeats texts of
// the input (headers, node names, host field names), so a word of the input
// such as a node named INF may show up legitimately. A word is a run of
// letters, digits, '_' and '.', and the signs around it do not count: a word
// of the output that reads nan, inf or infinity in any case is a printed
// non-finite number unless the input holds the same word.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace zelba {
namespace fuzz {

inline bool isWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
}

// The kind of a non-finite word: "nan", "inf" or "infinity" in lower case,
// or "" for any other word.
inline std::string nonFiniteKind(std::string_view word) {
  if (word.size() != 3 && word.size() != 8) return "";
  std::string lower(word);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "nan" || lower == "inf" || lower == "infinity") return lower;
  return "";
}

// Calls `found(kind, position)` for every non-finite word of `text`; stops
// when it returns true.
template <typename Found>
void forEachNonFiniteWord(std::string_view text, Found found) {
  size_t i = 0;
  while (i < text.size()) {
    if (!isWordChar(text[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < text.size() && isWordChar(text[i])) ++i;
    const std::string kind = nonFiniteKind(text.substr(start, i - start));
    if (!kind.empty() && found(kind, start)) return;
  }
}

// The position in `output` of the first printed NaN or infinity that `input`
// does not explain, or std::string_view::npos when there is none.
inline size_t findNonFinite(std::string_view output, std::string_view input) {
  bool inInput[3] = {false, false, false};  // nan, inf, infinity
  auto slot = [](const std::string& kind) { return kind == "nan" ? 0 : kind == "inf" ? 1 : 2; };
  forEachNonFiniteWord(input, [&](const std::string& kind, size_t) {
    inInput[slot(kind)] = true;
    return false;
  });
  size_t position = std::string_view::npos;
  forEachNonFiniteWord(output, [&](const std::string& kind, size_t at) {
    if (inInput[slot(kind)]) return false;
    position = at;
    return true;
  });
  return position;
}

// A few lines of `text` around `position`, for a failure message.
inline std::string contextAt(std::string_view text, size_t position) {
  const size_t begin = position > 200 ? position - 200 : 0;
  const size_t end = std::min(text.size(), position + 120);
  return std::string(text.substr(begin, end - begin));
}

}  // namespace fuzz
}  // namespace zelba
