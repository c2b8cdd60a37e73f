#include "output/output_files.h"

#include <cstdarg>
#include <fstream>
#include <sstream>
#include <string>

namespace zelba {

namespace {

class DiskSink : public TextSink {
 public:
  explicit DiskSink(std::FILE* file) : file_(file) {
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  }
  ~DiskSink() override { std::fclose(file_); }
  void write(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), file_);  // write errors are ignored
    written_ += static_cast<long>(text.size());
  }
  long position() const override { return written_; }

 private:
  std::FILE* file_;
  long written_ = 0;
};

class DiskFiles : public OutputFiles {
 public:
  std::unique_ptr<TextSink> create(const std::string& path) override {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return nullptr;
    return std::make_unique<DiskSink>(file);
  }
  std::unique_ptr<std::istream> openForReading(const std::string& path) override {
    auto in = std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary);
    if (!in->is_open()) return nullptr;
    return in;
  }
};

class MemorySink : public TextSink {
 public:
  explicit MemorySink(std::string& text) : text_(text) {}
  void write(std::string_view text) override { text_.append(text); }
  long position() const override { return static_cast<long>(text_.size()); }

 private:
  std::string& text_;
};

}  // namespace

OutputFiles& diskFiles() {
  static DiskFiles files;
  return files;
}

std::unique_ptr<TextSink> MemoryFiles::create(const std::string& path) {
  std::string& text = files_[path];
  text.clear();
  return std::make_unique<MemorySink>(text);
}

std::unique_ptr<std::istream> MemoryFiles::openForReading(const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end()) return nullptr;
  return std::make_unique<std::istringstream>(found->second);
}

std::string MemoryFiles::text(const std::string& path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? std::string() : found->second;
}

void put(TextSink& sink, const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(length) < sizeof small) {
    sink.write(std::string_view(small, static_cast<size_t>(length)));
  } else {
    std::string large(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(large.data(), large.size(), format, again);
    large.resize(static_cast<size_t>(length));
    sink.write(large);
  }
  va_end(again);
}

}  // namespace zelba
