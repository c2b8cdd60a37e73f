#include "engine/output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace zelba {

int FileOperations::write(std::FILE* file, const char* data, size_t size) {
  errno = 0;
  if (std::fwrite(data, 1, size, file) == size) return 0;
  return errno != 0 ? errno : EIO;
}

int FileOperations::flush(std::FILE* file) {
  errno = 0;
  return std::fflush(file) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

int FileOperations::close(std::FILE* file) {
  errno = 0;
  return std::fclose(file) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

namespace {

std::string reasonOf(int error) {
  return std::strerror(error);
}

// Where a disk file's bytes go: straight to its path, or to a temporary file
// that is renamed over the path once it is complete.
struct DiskTarget {
  std::string path;       // the file written, links followed
  std::string temporary;  // the temporary file beside it; empty when written directly
};

// Collects text in a large buffer and hands it to the file in big blocks.
// The first failure stops the writing; finish() reports it.
class DiskSink : public TextSink {
 public:
  DiskSink(std::FILE* file, DiskTarget target, FileOperations& operations)
      : file_(file), target_(std::move(target)), operations_(operations) {
    buffer_.reserve(kBlock);
  }
  ~DiskSink() override {
    if (file_ != nullptr) finish();
  }
  void write(std::string_view text) override {
    written_ += static_cast<long>(text.size());
    if (text.size() >= kBlock / 4) {
      // A block formatted apart (a run of report pages) goes to the file as
      // it is, without a copy through the buffer.
      flushBuffer();
      if (error_ == 0) error_ = operations_.write(file_, text.data(), text.size());
      return;
    }
    buffer_.append(text);
    if (buffer_.size() >= kBlock) flushBuffer();
  }
  long position() const override { return written_; }

  std::string finish() override {
    if (file_ == nullptr) return error_ != 0 ? reasonOf(error_) : std::string();
    flushBuffer();
    if (error_ == 0) error_ = operations_.flush(file_);
    const int closed = operations_.close(file_);
    file_ = nullptr;
    if (error_ == 0) error_ = closed;
    if (!target_.temporary.empty()) {
      if (error_ == 0 && std::rename(target_.temporary.c_str(), target_.path.c_str()) != 0) {
        error_ = errno;
      }
      if (error_ != 0) std::remove(target_.temporary.c_str());
    }
    return error_ != 0 ? reasonOf(error_) : std::string();
  }

 private:
  static constexpr size_t kBlock = 1 << 20;
  void flushBuffer() {
    if (error_ == 0 && !buffer_.empty()) {
      error_ = operations_.write(file_, buffer_.data(), buffer_.size());
    }
    buffer_.clear();
  }
  std::FILE* file_;
  DiskTarget target_;
  FileOperations& operations_;
  std::string buffer_;
  long written_ = 0;
  int error_ = 0;  // errno of the first failure, 0 while all is well
};

FileOperations& libraryOperations() {
  static FileOperations operations;
  return operations;
}

// The directory part of `path` ("." for a bare name) and its last part.
std::pair<std::string, std::string> splitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The path with its symbolic links followed; the path itself when it names
// nothing yet (or a link to nothing).
std::string followLinks(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string followed = resolved;
  std::free(resolved);
  return followed;
}

// The permissions a new file gets: 0666 less the process's umask.
mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Opens a temporary file beside `target` with `mode`; null when the
// directory takes none (read-only, or no permission).
std::FILE* openTemporary(const std::string& target, mode_t mode, std::string& temporary) {
  const auto [dir, name] = splitPath(target);
  std::string pattern = dir + "/." + name + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return nullptr;
  fchmod(fd, mode);
  std::FILE* file = fdopen(fd, "w");
  if (file == nullptr) {
    ::close(fd);
    std::remove(pattern.c_str());
    return nullptr;
  }
  temporary = pattern;
  return file;
}

}  // namespace

DiskFiles::DiskFiles(FileOperations* operations)
    : operations_(operations != nullptr ? operations : &libraryOperations()) {}

std::unique_ptr<TextSink> DiskFiles::create(const std::string& path) {
  createFailure_.clear();
  DiskTarget target{followLinks(path), {}};
  struct stat existing {};
  const bool exists = stat(target.path.c_str(), &existing) == 0;
  struct stat link {};
  const bool danglingLink = !exists && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  // A file that may not be written is not replaced by a rename either.
  if (exists && access(target.path.c_str(), W_OK) != 0) {
    createFailure_ = reasonOf(errno);
    return nullptr;
  }
  std::FILE* file = nullptr;
  if (exists ? S_ISREG(existing.st_mode) : !danglingLink) {
    const mode_t mode = exists ? existing.st_mode & 07777 : newFileMode();
    file = openTemporary(target.path, mode, target.temporary);
  }
  // A device, a pipe, a link to nothing yet, or a directory that takes no
  // temporary file: written in place.
  if (file == nullptr) {
    file = std::fopen(target.path.c_str(), "w");
    if (file == nullptr) {
      createFailure_ = reasonOf(errno);
      return nullptr;
    }
  }
  return std::make_unique<DiskSink>(file, std::move(target), *operations_);
}

std::unique_ptr<std::istream> DiskFiles::openForReading(const std::string& path) {
  auto in = std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary);
  if (!in->is_open()) return nullptr;
  return in;
}

std::string DiskFiles::identity(const std::string& path) {
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0) {
    // A device or a pipe may take any number of outputs.
    if (!S_ISREG(existing.st_mode)) return {};
    return "file " + std::to_string(existing.st_dev) + ":" + std::to_string(existing.st_ino);
  }
  // A file not there yet: its directory's real path and its name.
  const auto [dir, name] = splitPath(path);
  return "path " + followLinks(dir) + "/" + name;
}

namespace {

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

std::string writeWholeFile(OutputFiles& files, const std::string& path, std::string_view text) {
  std::unique_ptr<TextSink> sink = files.create(path);
  if (!sink) return files.createFailure();
  sink->write(text);
  return sink->finish();
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

namespace {

// One conversion of a format: %[-][width][.precision][z](s|f|c|d|u|%).
struct Conversion {
  bool left = false;
  int width = 0;
  int precision = -1;  // -1: none given
  char type = 0;
};

// Reads the conversion that starts after the '%' at `at`; false for one the
// fast formatter does not handle.
bool parseConversion(const char*& at, Conversion& c) {
  if (*at == '-') {
    c.left = true;
    ++at;
  }
  while (*at >= '0' && *at <= '9') c.width = c.width * 10 + (*at++ - '0');
  if (*at == '.') {
    ++at;
    c.precision = 0;
    while (*at >= '0' && *at <= '9') c.precision = c.precision * 10 + (*at++ - '0');
  }
  if (*at == 'z' && at[1] == 'u') ++at;
  c.type = *at;
  if (c.type == 0) return false;
  ++at;
  return c.type == 's' || c.type == 'f' || c.type == 'c' || c.type == 'd' || c.type == 'u' ||
         c.type == '%';
}

// The digits of `value` with `precision` decimals exactly as printf's "%.*f"
// gives them (the exact binary value rounded half to even), last digit
// first, for values whose scaled magnitude fits 64 bits; returns their
// count, or 0 when the caller must use the general conversion.
int fixedDigitsFast(char* digits, double value, int precision) {
  static constexpr std::uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  if (precision < 0 || precision > 6 || !(std::fabs(value) < 1e12)) return 0;
  // The exact value is mantissa * 2^-shift, read from the double's bits: the
  // significand with its hidden bit, and the biased exponent.
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int shift = 1074;  // a subnormal number: mantissa * 2^-1074
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    shift = 1075 - biased;
  }
  unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPowers[precision];
  std::uint64_t units;  // the value times 10^precision, rounded
  if (shift <= 0) {
    units = static_cast<std::uint64_t>(scaled << -shift);
  } else if (shift >= 120) {
    units = 0;
  } else {
    const unsigned __int128 one = 1;
    const unsigned __int128 rest = scaled & ((one << shift) - 1);
    const unsigned __int128 half = one << (shift - 1);
    units = static_cast<std::uint64_t>(scaled >> shift);
    if (rest > half || (rest == half && (units & 1))) ++units;
  }
  // Two digits a step, then the zeros that give the unit digit and every
  // decimal one.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  int count = 0;
  while (units >= 100) {
    const auto pair = static_cast<unsigned>(units % 100) * 2;
    units /= 100;
    digits[count++] = kPairs[pair + 1];
    digits[count++] = kPairs[pair];
  }
  if (units >= 10) {
    digits[count++] = kPairs[units * 2 + 1];
    digits[count++] = kPairs[units * 2];
  } else if (units > 0 || count == 0) {
    digits[count++] = static_cast<char>('0' + units);
  }
  while (count <= precision) digits[count++] = '0';
  return count;
}

// Adds the text of one put() to a TextBuffer, each piece straight into the
// buffer's space.
class LineText {
 public:
  explicit LineText(TextBuffer& buffer) : buffer_(buffer) {}
  void append(std::string_view text) {
    // The short literals between conversions (a blank or two) are copied
    // here rather than by a library call each.
    if (text.size() <= kShort) {
      char* at = buffer_.space(kShort);
      for (size_t i = 0; i < text.size(); ++i) at[i] = text[i];
      buffer_.add(text.size());
      return;
    }
    buffer_.append(text);
  }
  void pad(size_t count) {
    blanks(buffer_.space(std::max(count, kShort)), count);
    buffer_.add(count);
  }
  void appendPadded(std::string_view text, const Conversion& c) {
    const size_t pad = padding(text.size(), c);
    if (!c.left) this->pad(pad);
    append(text);
    if (c.left) this->pad(pad);
  }
  // A fixed-point number from its digits (last first): sign, digits and the
  // decimal point, padded to the conversion's width.
  void appendFixed(bool negative, const char* digits, int count, int precision,
                   const Conversion& c) {
    const size_t length = static_cast<size_t>(count) + (negative ? 1 : 0) + (precision > 0 ? 1 : 0);
    const size_t pad = padding(length, c);
    char* at = buffer_.space(length + std::max(pad, kShort));
    if (!c.left) {
      blanks(at, pad);
      at += pad;
    }
    if (negative) *at++ = '-';
    for (int i = count - 1; i >= 0; --i) {
      *at++ = digits[i];
      if (i == precision && precision > 0) *at++ = '.';
    }
    if (c.left) blanks(at, pad);
    buffer_.add(length + pad);
  }

 private:
  static constexpr size_t kShort = 16;
  static size_t padding(size_t length, const Conversion& c) {
    return c.width > 0 && length < static_cast<size_t>(c.width)
               ? static_cast<size_t>(c.width) - length
               : 0;
  }
  // `count` blanks at `at`, which has room for at least kShort bytes: a
  // field's padding is mostly under kShort and written in one store.
  static void blanks(char* at, size_t count) {
    if (count <= kShort) {
      std::memcpy(at, "                ", kShort);
    } else {
      std::memset(at, ' ', count);
    }
  }
  TextBuffer& buffer_;
};

// Formats like vsnprintf for the conversions the writers use, much faster:
// fixed-point numbers are converted exactly as printf does, by to_chars.
// Returns false, having consumed `args` in part, at a conversion it does not
// handle.
bool formatFast(LineText& out, const char* format, va_list args) {
  char number[400];  // the widest fixed-point double with 15 decimals fits
  for (const char* at = format; *at;) {
    if (*at != '%') {
      const char* literal = at;
      while (*at && *at != '%') ++at;
      out.append(std::string_view(literal, static_cast<size_t>(at - literal)));
      continue;
    }
    ++at;
    Conversion c;
    if (!parseConversion(at, c)) return false;
    switch (c.type) {
      case '%':
        out.append("%");
        break;
      case 's': {
        std::string_view text = va_arg(args, const char*);
        if (c.precision >= 0 && text.size() > static_cast<size_t>(c.precision)) {
          text = text.substr(0, static_cast<size_t>(c.precision));
        }
        out.appendPadded(text, c);
        break;
      }
      case 'c': {
        const char ch = static_cast<char>(va_arg(args, int));
        out.appendPadded(std::string_view(&ch, 1), c);
        break;
      }
      case 'd': {
        const auto r = std::to_chars(number, number + sizeof number, va_arg(args, int));
        out.appendPadded(std::string_view(number, static_cast<size_t>(r.ptr - number)), c);
        break;
      }
      case 'u': {
        const auto r = std::to_chars(number, number + sizeof number, va_arg(args, size_t));
        out.appendPadded(std::string_view(number, static_cast<size_t>(r.ptr - number)), c);
        break;
      }
      case 'f': {
        const double value = va_arg(args, double);
        const int precision = c.precision < 0 ? 6 : std::min(c.precision, 15);
        if (const int count = fixedDigitsFast(number, value, precision); count > 0) {
          out.appendFixed(std::signbit(value), number, count, precision, c);
          break;
        }
        const auto r = std::to_chars(number, number + sizeof number, value,
                                     std::chars_format::fixed, precision);
        if (r.ec != std::errc()) {  // not expected for a finite double; printf decides
          const int n = std::snprintf(number, sizeof number, "%.*f", precision, value);
          out.appendPadded(std::string_view(number, static_cast<size_t>(std::max(n, 0))), c);
        } else {
          out.appendPadded(std::string_view(number, static_cast<size_t>(r.ptr - number)), c);
        }
        break;
      }
      default:
        break;
    }
  }
  return true;
}

}  // namespace

void TextBuffer::grow(size_t count) {
  const size_t capacity = std::max({size_ + count, 2 * capacity_, size_t{4096}});
  std::unique_ptr<char[]> data(new char[capacity]);
  if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
  data_ = std::move(data);
  capacity_ = capacity;
}

void put(TextSink& sink, const char* format, ...) {
  // A sink that keeps its text in memory gets it formatted in place; any
  // other gets it in one write.
  TextBuffer* own = sink.ownText();
  TextBuffer& buffer = own != nullptr ? *own : sink.formatted;
  if (own == nullptr) buffer.clear();
  const size_t start = buffer.size();
  // The arguments are walked a second time, from a new start, only for a
  // conversion the fast formatter does not know (copying the list for every
  // line would cost more than the rare second walk).
  va_list args;
  va_start(args, format);
  LineText line(buffer);
  const bool formatted = formatFast(line, format, args);
  va_end(args);
  if (!formatted) {
    buffer.cut(start);
    va_start(args, format);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
      va_start(args, format);
      std::vsnprintf(buffer.space(static_cast<size_t>(length) + 1), static_cast<size_t>(length) + 1,
                     format, args);
      va_end(args);
      buffer.add(static_cast<size_t>(length));
    }
  }
  if (own == nullptr) sink.write(buffer.text());
}

}  // namespace zelba
