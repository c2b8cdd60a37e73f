#include "engine/output_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace zelba {

namespace {

// Collects text in a large buffer and hands it to the file in big blocks.
class DiskSink : public TextSink {
 public:
  explicit DiskSink(std::FILE* file) : file_(file) { buffer_.reserve(kBlock); }
  ~DiskSink() override {
    flush();
    std::fclose(file_);
  }
  void write(std::string_view text) override {
    buffer_.append(text);
    written_ += static_cast<long>(text.size());
    if (buffer_.size() >= kBlock) flush();
  }
  long position() const override { return written_; }

 private:
  static constexpr size_t kBlock = 1 << 20;
  void flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), file_);  // write errors are ignored
    buffer_.clear();
  }
  std::FILE* file_;
  std::string buffer_;
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

bool fastFormatSupported(const char* format) {
  for (const char* at = format; *at;) {
    if (*at++ != '%') continue;
    Conversion c;
    if (!parseConversion(at, c)) return false;
  }
  return true;
}

// Writes `value` with `precision` decimals exactly as printf's "%.*f" does
// (the exact binary value rounded half to even) into `out`, for values whose
// scaled magnitude fits 64 bits; returns the length, or 0 when the caller
// must use the general conversion.
size_t formatFixedFast(char* out, double value, int precision) {
  static constexpr std::uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  if (precision < 0 || precision > 6 || !(std::fabs(value) < 1e12)) return 0;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);  // value = fraction * 2^exponent
  // mantissa * 2^(exponent - 53) is the exact value.
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = 53 - exponent;
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
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units != 0 || count <= precision);
  size_t length = 0;
  if (std::signbit(value)) out[length++] = '-';
  for (int i = count - 1; i >= 0; --i) {
    out[length++] = digits[i];
    if (i == precision && precision > 0) out[length++] = '.';
  }
  return length;
}

void appendPadded(std::string& out, std::string_view text, const Conversion& c) {
  const size_t pad = c.width > 0 && text.size() < static_cast<size_t>(c.width)
                         ? static_cast<size_t>(c.width) - text.size()
                         : 0;
  if (!c.left) out.append(pad, ' ');
  out.append(text);
  if (c.left) out.append(pad, ' ');
}

// Formats like vsnprintf for the conversions the writers use, much faster:
// fixed-point numbers are converted exactly as printf does, by to_chars.
void formatFast(std::string& out, const char* format, va_list args) {
  char number[400];  // the widest fixed-point double with 15 decimals fits
  for (const char* at = format; *at;) {
    if (*at != '%') {
      const char* literal = at;
      while (*at && *at != '%') ++at;
      out.append(literal, static_cast<size_t>(at - literal));
      continue;
    }
    ++at;
    Conversion c;
    parseConversion(at, c);
    switch (c.type) {
      case '%':
        out += '%';
        break;
      case 's': {
        std::string_view text = va_arg(args, const char*);
        if (c.precision >= 0 && text.size() > static_cast<size_t>(c.precision)) {
          text = text.substr(0, static_cast<size_t>(c.precision));
        }
        appendPadded(out, text, c);
        break;
      }
      case 'c': {
        const char ch = static_cast<char>(va_arg(args, int));
        appendPadded(out, std::string_view(&ch, 1), c);
        break;
      }
      case 'd': {
        const auto r = std::to_chars(number, number + sizeof number, va_arg(args, int));
        appendPadded(out, std::string_view(number, static_cast<size_t>(r.ptr - number)), c);
        break;
      }
      case 'u': {
        const auto r = std::to_chars(number, number + sizeof number, va_arg(args, size_t));
        appendPadded(out, std::string_view(number, static_cast<size_t>(r.ptr - number)), c);
        break;
      }
      case 'f': {
        const double value = va_arg(args, double);
        const int precision = c.precision < 0 ? 6 : std::min(c.precision, 15);
        if (const size_t n = formatFixedFast(number, value, precision); n > 0) {
          appendPadded(out, std::string_view(number, n), c);
          break;
        }
        const auto r = std::to_chars(number, number + sizeof number, value,
                                     std::chars_format::fixed, precision);
        if (r.ec != std::errc()) {  // not expected for a finite double; printf decides
          const int n = std::snprintf(number, sizeof number, "%.*f", precision, value);
          appendPadded(out, std::string_view(number, static_cast<size_t>(std::max(n, 0))), c);
        } else {
          appendPadded(out, std::string_view(number, static_cast<size_t>(r.ptr - number)), c);
        }
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

void put(TextSink& sink, const char* format, ...) {
  std::string& text = sink.formatted;
  text.clear();
  va_list args;
  va_start(args, format);
  if (fastFormatSupported(format)) {
    formatFast(text, format, args);
  } else {
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    if (length > 0) {
      text.resize(static_cast<size_t>(length) + 1);
      std::vsnprintf(text.data(), text.size(), format, again);
      text.resize(static_cast<size_t>(length));
    }
    va_end(again);
  }
  va_end(args);
  sink.write(text);
}

}  // namespace zelba
