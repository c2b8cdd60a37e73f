// Where the writers put their files. The engine writes through this seam so
// that tests and the fuzzer can keep every output in memory.
#pragma once

#include <cstdio>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace zelba {

// One text file being written.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void write(std::string_view text) = 0;
  // Bytes written so far: the file position where the next text starts.
  virtual long position() const = 0;

  // Where put() formats a line before writing it; kept with the file so that
  // its capacity is reused from line to line.
  std::string formatted;
};

class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // A new, empty file at `path`; null when it cannot be created. The file is
  // complete when the sink is destroyed.
  virtual std::unique_ptr<TextSink> create(const std::string& path) = 0;
  // A finished file opened for reading; null when it cannot be opened.
  virtual std::unique_ptr<std::istream> openForReading(const std::string& path) = 0;
};

// The real file system.
OutputFiles& diskFiles();

// No file at all: every file "cannot be created", so nothing is written.
class NoFiles : public OutputFiles {
 public:
  std::unique_ptr<TextSink> create(const std::string&) override { return nullptr; }
  std::unique_ptr<std::istream> openForReading(const std::string&) override { return nullptr; }
};

// Files kept in memory, by path.
class MemoryFiles : public OutputFiles {
 public:
  std::unique_ptr<TextSink> create(const std::string& path) override;
  std::unique_ptr<std::istream> openForReading(const std::string& path) override;
  const std::map<std::string, std::string>& files() const { return files_; }
  // The text of the file at `path`; empty when there is none.
  std::string text(const std::string& path) const;

 private:
  std::map<std::string, std::string> files_;
};

// Writes printf-style formatted text to `sink`; the text may be of any length.
void put(TextSink& sink, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zelba
