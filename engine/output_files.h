// Where the writers put their files. The engine writes through this seam so
// that tests and the fuzzer can keep every output in memory.
#pragma once

#include <cstdio>
#include <cstring>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace zelba {

// Text built up in memory that put() can format straight into: space for
// the next bytes is asked for, filled and then added. Unlike a std::string
// it does not clear the space it gives.
class TextBuffer {
 public:
  std::string_view text() const { return std::string_view(data_.get(), size_); }
  size_t size() const { return size_; }
  void clear() { size_ = 0; }
  // Drops the text from `size` on. REQUIRES: size <= size().
  void cut(size_t size) { size_ = size; }
  // Room for `count` more bytes after the text; add() makes them part of it.
  char* space(size_t count) {
    if (capacity_ - size_ < count) grow(count);
    return data_.get() + size_;
  }
  void add(size_t count) { size_ += count; }
  void append(std::string_view text) {
    if (text.empty()) return;
    std::memcpy(space(text.size()), text.data(), text.size());
    size_ += text.size();
  }

 private:
  void grow(size_t count);
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// One text file being written.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void write(std::string_view text) = 0;
  // Bytes written so far: the file position where the next text starts.
  virtual long position() const = 0;
  // Completes the file: every byte written reaches it and it takes its name.
  // Returns an empty text when the file is complete, else the system's reason
  // why it is not ("No space left on device"). Called at most once; a sink
  // destroyed without it completes itself the same way but cannot tell.
  virtual std::string finish() { return {}; }
  // The buffer a sink that keeps its text in memory holds it in, for put()
  // to format into directly; null for a sink that takes text by write().
  virtual TextBuffer* ownText() { return nullptr; }

  // Where put() formats a line for a sink without a buffer of its own; kept
  // with the file so that its capacity is reused from line to line.
  TextBuffer formatted;
};

class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // A new, empty file at `path`; null when it cannot be created, with the
  // reason in createFailure(). The file is complete when the sink is
  // finished or destroyed.
  virtual std::unique_ptr<TextSink> create(const std::string& path) = 0;
  // Why the last create() returned null, in the system's words.
  virtual std::string createFailure() const { return "it cannot be created"; }
  // A finished file opened for reading; null when it cannot be opened.
  virtual std::unique_ptr<std::istream> openForReading(const std::string& path) = 0;
  // What tells two paths apart: equal for two paths that name one file (the
  // same file through a link, or a relative and an absolute path); empty for
  // a device or a pipe, which is not a file that one output could spoil for
  // another.
  virtual std::string identity(const std::string& path) { return path; }
};

// The operations by which a disk file is written, each returning 0 or the
// errno value of its failure. Tests put failing ones in their place to see
// how a full disk or an I/O error is handled.
class FileOperations {
 public:
  virtual ~FileOperations() = default;
  virtual int write(std::FILE* file, const char* data, size_t size);
  virtual int flush(std::FILE* file);
  virtual int close(std::FILE* file);
};

// Files on disk. A path that names a regular file, or nothing yet, is
// written to a temporary file beside it (symbolic links followed, so the
// file a link points to is replaced and keeps its permissions) and renamed
// over its name only when every write, flush and close succeeded: a failed
// write leaves no truncated file and an earlier file as it was. Anything
// else (a device, a pipe) is written directly; so is a file in a directory
// where no temporary file can be created.
class DiskFiles : public OutputFiles {
 public:
  // `operations` (not owned) default to the C library's.
  explicit DiskFiles(FileOperations* operations = nullptr);
  std::unique_ptr<TextSink> create(const std::string& path) override;
  std::string createFailure() const override { return createFailure_; }
  std::unique_ptr<std::istream> openForReading(const std::string& path) override;
  std::string identity(const std::string& path) override;

 private:
  FileOperations* operations_;
  std::string createFailure_;
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

// Writes `text` as the whole file at `path` through `files`. Returns an empty
// text when the file is complete, else the reason it is not.
std::string writeWholeFile(OutputFiles& files, const std::string& path, std::string_view text);

// Writes printf-style formatted text to `sink`; the text may be of any length.
void put(TextSink& sink, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zelba
