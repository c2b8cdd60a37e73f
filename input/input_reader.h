// The input file's lexical form: lines, comments, keyword lines and fields.
//
// The reader delivers one line at a time, split into fields. Lines and fields
// may be of any length and a line may hold any number of fields. Empty lines,
// blank lines and comment lines ("/*" or "//" as first non-blank characters)
// are skipped; a line starting with "*eof" (any case) ends the input.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace zelba {

enum LineKind {
  kEndOfInput = -1,  // end of file, read failure or "*eof"
  kEndMarker = 0,    // the line's first field is "#end" (readFields only)
  kDataLine = 1,
  kKeywordLine = 2,  // first non-blank character is '*'
};

class InputReader {
 public:
  InputReader() = default;

  // Opens a file for reading; false when it cannot be opened. A file already
  // open is closed first.
  bool openFile(const std::string& path);
  // Reads from text held in memory (tests, fuzzing).
  void openText(std::string text);
  // Reads from any stream (tests give one that fails part-way).
  void openStream(std::unique_ptr<std::istream> in);
  // Closes the input; every later read returns kEndOfInput. Idempotent.
  void close();
  bool isOpen() const { return in_ != nullptr; }

  // Reads the next line that is neither empty, blank nor a comment; returns
  // kDataLine, kKeywordLine or kEndOfInput. A line ends at a line feed, at a
  // carriage return followed by a line feed, or at a lone carriage return (old
  // Mac files); a UTF-8 byte-order mark before the first line is skipped.
  // Leading tabs become blanks.
  int readLine();

  // Reads the next line with readLine() and splits it into `fields`. Returns
  // kEndOfInput, kEndMarker when the first field is "#end" (any case), else
  // the line kind.
  int readFields(std::vector<std::string>& fields);

  // The text of the line last read, and its line number in the input (1 for
  // the first physical line).
  const std::string& line() const { return line_; }
  long lineNumber() const { return lineNumber_; }
  // The input could not be read to its end (an I/O error, not the end of the
  // file): what was read is only part of it. Kept after close().
  bool readFailed() const { return readFailed_; }

 private:
  std::unique_ptr<std::istream> in_;
  // Takes the next physical line into line_; false at the end or on failure.
  bool nextPhysicalLine();

  std::string line_;
  std::string rest_;  // text after a lone carriage return, not yet delivered
  bool hasRest_ = false;
  bool atStart_ = true;  // no line delivered yet: a byte-order mark may come
  bool readFailed_ = false;
  long lineNumber_ = 0;
};

// Splits one line into fields. Blanks, tabs and commas delimit fields; a
// double quote opens a field that runs to the next double quote; a comma at
// the start of a field gives an empty field; a plain field starting with "/*"
// or "//" ends the line.
void splitFields(const std::string& line, std::vector<std::string>& fields);

}  // namespace zelba
