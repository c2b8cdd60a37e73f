// The writers' formatted printing must give exactly what printf gives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "engine/output_files.h"

namespace zelba {
namespace {

class StringSink : public TextSink {
 public:
  void write(std::string_view text) override { text_.append(text); }
  long position() const override { return static_cast<long>(text_.size()); }
  std::string take() {
    std::string text;
    text.swap(text_);
    return text;
  }

 private:
  std::string text_;
};

template <typename... Args>
std::string printfText(const char* format, Args... args) {
  char buffer[1024];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

TEST(FormattedPrinting, FixedPointNumbersMatchPrintf) {
  StringSink sink;
  const char* formats[] = {"%11.1f", "%8.3f",   "%8.4f", "%6.2f  ", "%8.0f ", "%-7.3f ",
                           "%10.1f", "%12.3f ", "%.0f",  "%f",      "%11.3f"};
  // Ties in decimal (x.x5), values near rounding edges, negative zero, huge
  // and tiny magnitudes, and random volumes.
  std::vector<double> values = {0.0,   -0.0,   0.05,   0.15,     0.25,  2.5,   -2.5,
                                1.005, 12.345, 99.95,  -0.04,    1e15,  1e22,  1e-9,
                                1e300, -1e300, 2e-310, 20050101, 0.125, 2.675, 1234567.85};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> volume(-1e6, 1e6);
  std::uniform_real_distribution<double> exponent(-12, 13);
  for (int i = 0; i < 3000; ++i) {
    values.push_back(volume(random));
    values.push_back(std::pow(10.0, exponent(random)) * (i % 2 ? 1 : -1));
    // Exact decimal ties at each precision: k / 2^n.
    values.push_back(static_cast<double>(random() % 100000) / 1024.0);
    values.push_back(static_cast<double>(random() % 1000) / 8.0);
  }
  for (const char* format : formats) {
    for (const double v : values) {
      put(sink, format, v);
      ASSERT_EQ(sink.take(), printfText(format, v)) << format << " of " << v;
    }
  }
}

TEST(FormattedPrinting, TextCharactersAndIntegersMatchPrintf) {
  StringSink sink;
  put(sink, " %-8s %11.1f %11.1f %c ", "Welltest", 60.0, 90.0, '*');
  EXPECT_EQ(sink.take(), printfText(" %-8s %11.1f %11.1f %c ", "Welltest", 60.0, 90.0, '*'));
  put(sink, "  %11.s %11.3f  ", "", 1.25);  // precision 0 prints no text
  // 2 blanks, 11 blanks for the empty text, 1 blank, "1.250" right in 11: 20 blanks in all.
  EXPECT_EQ(sink.take(), std::string(20, ' ') + "1.250  ");
  put(sink, "%-5s|%5s|%.2s|%d|%zu|100%%", "ab", "cd", "xyz", -42, size_t{7});
  EXPECT_EQ(sink.take(), "ab   |   cd|xy|-42|7|100%");
  const std::string longName(5000, 'N');
  put(sink, "%-20s ", longName.c_str());  // longer than its width: printed whole
  EXPECT_EQ(sink.take(), longName + " ");
  // Wider than a line's own buffer; and a long text before a conversion left
  // to printf, which then formats the whole line once.
  put(sink, "A literal longer than a short one: %-20d|", 5);
  EXPECT_EQ(sink.take(), "A literal longer than a short one: 5" + std::string(19, ' ') + "|");
  put(sink, "%700s|", "x");
  EXPECT_EQ(sink.take(), std::string(699, ' ') + "x|");
  put(sink, "%s %ld|%s", longName.c_str(), 12L, "end");
  EXPECT_EQ(sink.take(), longName + " 12|end");
}

TEST(FormattedPrinting, InPlaceIntoASinkThatKeepsItsText) {
  // A sink with its own buffer gets each line added after the text before
  // it, also when printf must format the line and when the buffer grows.
  class KeptSink : public TextSink {
   public:
    void write(std::string_view text) override { text_.append(text); }
    long position() const override { return static_cast<long>(text_.size()); }
    TextBuffer* ownText() override { return &text_; }
    TextBuffer text_;
  } sink;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    put(sink, "%8.0f %-6s|", 20050101.0 + i, "Oil");
    put(sink, "%ld%%%c", 10L * i, i % 2 ? 'a' : 'b');
    sink.write("\n");
    expected +=
        printfText("%8.0f %-6s|%ld%%%c\n", 20050101.0 + i, "Oil", 10L * i, i % 2 ? 'a' : 'b');
  }
  EXPECT_EQ(sink.text_.text(), expected);
}

}  // namespace
}  // namespace zelba
