#include "input/input_reader.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/text.h"

namespace zelba {

namespace {

bool isBlankOrTab(char c) {
  return c == ' ' || c == '\t';
}

bool startsComment(std::string_view text) {
  return text.size() >= 2 && text[0] == '/' && (text[1] == '*' || text[1] == '/');
}

}  // namespace

bool InputReader::openFile(const std::string& path) {
  close();
  // A directory opens as a stream but cannot be read: it is no input file.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  auto file = std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary);
  if (!file->is_open()) return false;
  openStream(std::move(file));
  return true;
}

void InputReader::openText(std::string text) {
  openStream(std::make_unique<std::istringstream>(std::move(text)));
}

void InputReader::openStream(std::unique_ptr<std::istream> in) {
  close();
  in_ = std::move(in);
  atStart_ = true;
  readFailed_ = false;
  lineNumber_ = 0;
}

void InputReader::close() {
  in_.reset();
  line_.clear();
  rest_.clear();
  hasRest_ = false;
}

bool InputReader::nextPhysicalLine() {
  if (hasRest_) {
    line_.swap(rest_);
    hasRest_ = false;
  } else if (!std::getline(*in_, line_)) {
    // The end of the file sets eofbit alone; anything else is a read error.
    if (in_->bad() || !in_->eof()) readFailed_ = true;
    return false;
  }
  if (atStart_) {
    atStart_ = false;
    if (line_.compare(0, 3, "\xEF\xBB\xBF") == 0) line_.erase(0, 3);
  }
  // A carriage return ends the line: the last one of a CRLF line is dropped,
  // any other starts the next line.
  const size_t cr = line_.find('\r');
  if (cr != std::string::npos) {
    if (cr + 1 < line_.size()) {
      rest_.assign(line_, cr + 1, std::string::npos);
      hasRest_ = true;
    }
    line_.resize(cr);
  }
  return true;
}

int InputReader::readLine() {
  while (in_) {
    if (!nextPhysicalLine()) {
      close();
      return kEndOfInput;
    }
    ++lineNumber_;
    // A NUL byte ends the text of a line, as it does for every text routine.
    if (const size_t nul = line_.find('\0'); nul != std::string::npos) line_.resize(nul);

    size_t first = 0;
    while (first < line_.size() && isBlankOrTab(line_[first])) {
      line_[first] = ' ';
      ++first;
    }
    const std::string_view rest = std::string_view(line_).substr(first);
    if (rest.empty() || startsComment(rest)) continue;
    if (rest.front() != '*') return kDataLine;
    if (startsWithIgnoreCase(rest, "*eof")) {
      close();
      return kEndOfInput;
    }
    return kKeywordLine;
  }
  return kEndOfInput;
}

int InputReader::readFields(std::vector<std::string>& fields) {
  fields.clear();
  const int kind = readLine();
  if (kind == kEndOfInput) return kEndOfInput;
  splitFields(line_, fields);
  if (!fields.empty() && equalsIgnoreCase(fields.front(), "#end")) return kEndMarker;
  return kind;
}

void splitFields(const std::string& line, std::vector<std::string>& fields) {
  fields.clear();
  const size_t n = line.size();
  size_t i = 0;
  while (true) {
    while (i < n && isBlankOrTab(line[i])) ++i;
    if (i >= n) return;
    const char c = line[i];
    if (c == '"') {
      // A quoted field runs to the next double quote, blanks and commas
      // included; blanks and commas after it are skipped, up to a tab.
      const size_t close = line.find('"', i + 1);
      const size_t end = close == std::string::npos ? n : close;
      fields.emplace_back(line, i + 1, end - i - 1);
      i = close == std::string::npos ? n : close + 1;
      while (i < n && (line[i] == ' ' || line[i] == ',')) ++i;
      continue;
    }
    if (c == ',') {
      fields.emplace_back();
      ++i;
      continue;
    }
    size_t end = i;
    while (end < n && !isBlankOrTab(line[end]) && line[end] != ',') ++end;
    const std::string_view field = std::string_view(line).substr(i, end - i);
    if (startsComment(field)) return;  // the rest of the line is a comment
    fields.emplace_back(field);
    i = end;
    if (i >= n) return;
    if (line[i] == ',') {
      ++i;
    } else {
      while (i < n && isBlankOrTab(line[i])) ++i;
      if (i < n && line[i] == ',') ++i;
    }
  }
}

}  // namespace zelba
