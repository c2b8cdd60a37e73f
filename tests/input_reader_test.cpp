// The input file's lexical form: line kinds, comments, the end markers, and
// how a line is split into fields.

#include <memory>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "input/input_reader.h"

namespace zelba {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitFieldsTest, CommasBlanksQuotesAndComments) {
  const std::pair<const char*, Fields> rows[] = {
      {"a,,b", {"a", "", "b"}},
      {",,,", {"", "", ""}},  // a comma ending the line gives no field
      // The blank after "a" takes one comma with it; the second opens an empty field.
      {"a ,,b", {"a", "", "b"}},
      {"\t a\tb\t\tc  ", {"a", "b", "c"}},
      {"\"Well A, north\" 5", {"Well A, north", "5"}},
      {"\"a\",,b", {"a", "b"}},       // blanks and commas after a closing quote are skipped
      {"\"a\"\t,b", {"a", "", "b"}},  // but not a tab: the comma after it is an empty field
      {"\"\" x \"open, runs on", {"", "x", "open, runs on"}},
      {"Well W1 10 // note", {"Well", "W1", "10"}},
      {"Well W1 /* note */ 10", {"Well", "W1"}},
      // Only a field that begins with the marker ends the line, and never a quoted one.
      {"Well a//b /x \"//x\" 5", {"Well", "a//b", "/x", "//x", "5"}}};
  for (const auto& [line, expected] : rows) {
    Fields fields;
    splitFields(line, fields);
    EXPECT_EQ(fields, expected) << "line: " << line;
  }
}

TEST(InputReaderTest, LineKindsSkippedLinesAndLineEnds) {
  InputReader reader;
  // The last line, without newline, keeps its last character, even when it is its only one.
  reader.openText(
      "\n   \n\t\t\n// a comment\n   /* another\n"
      "Well A\r\n\r\n\t\t*Tab y\n#end\n#END x\n#endx\n\"*quoted\" 1\r\nb");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(reader.line(), "Well A");                  // CR LF removed
  EXPECT_EQ(reader.lineNumber(), 6);                   // five skipped lines before it
  EXPECT_EQ(reader.readFields(fields), kKeywordLine);  // leading tabs are blanks
  EXPECT_EQ(fields, (Fields{"*Tab", "y"}));
  EXPECT_EQ(reader.readFields(fields), kEndMarker);
  EXPECT_EQ(reader.readFields(fields), kEndMarker);  // any case, further fields ignored
  EXPECT_EQ(reader.readFields(fields), kDataLine);   // "#endx" is not the marker
  // The kind comes from the first character of the line, not of the field.
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"b"}));
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
  EXPECT_FALSE(reader.isOpen());
}

TEST(InputReaderTest, EofKeywordOpenAndClose) {
  InputReader reader;
  reader.openText("Well A\n  *EoFxyz rest\nWell B\n");  // only the first four characters count
  EXPECT_EQ(reader.readLine(), kDataLine);
  EXPECT_EQ(reader.readLine(), kEndOfInput);  // "Well B" is never read

  EXPECT_FALSE(reader.openFile("/nonexistent/zelba/input.txt"));
  EXPECT_EQ(reader.readLine(), kEndOfInput);
  reader.openText("Well A\nWell B\n");
  reader.close();
  reader.close();  // closing twice is harmless
  EXPECT_EQ(reader.readLine(), kEndOfInput);
}

TEST(InputReaderTest, NoLengthLimits) {
  // A 300-character field, then 1000 fields "v0" to "v999": over 5000 characters.
  std::string line(300, 'N');
  for (int i = 0; i < 1000; ++i) line += " v" + std::to_string(i);
  InputReader reader;
  reader.openText(line + "\nnext line\n");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  ASSERT_EQ(fields.size(), 1001u);
  EXPECT_EQ(fields[0], std::string(300, 'N'));
  EXPECT_EQ(fields.back(), "v999");
  EXPECT_EQ(reader.readFields(fields), kDataLine);  // nothing of the long line spills over
  EXPECT_EQ(fields, (Fields{"next", "line"}));
}

// Files saved by Windows editors (a byte-order mark, CRLF) and by old Mac
// editors (lone carriage returns) read as their authors see them.
TEST(InputReaderTest, ByteOrderMarkAndCarriageReturns) {
  InputReader reader;
  reader.openText("\xEF\xBB\xBF*period 1 2\r\nWell A\rWell B\r\rWell C");
  Fields fields;
  ASSERT_EQ(reader.readFields(fields), kKeywordLine);
  EXPECT_EQ(fields, (Fields{"*period", "1", "2"}));  // the mark is not part of the keyword
  for (const char* well : {"A", "B", "C"}) {
    ASSERT_EQ(reader.readFields(fields), kDataLine);
    EXPECT_EQ(fields, (Fields{"Well", well}));
  }
  EXPECT_EQ(reader.lineNumber(), 5);  // the empty line between B and C counts
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
  EXPECT_FALSE(reader.readFailed());

  // A mark later in the file is data, not skipped.
  reader.openText("x\n\xEF\xBB\xBFy");
  reader.readLine();
  reader.readLine();
  EXPECT_EQ(reader.line(), "\xEF\xBB\xBFy");
}

// A stream whose device fails after its first bytes, as a disk or network
// file system does on an I/O error.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string head) : head_(std::move(head)) {
    setg(head_.data(), head_.data(), head_.data() + head_.size());
  }

 protected:
  int_type underflow() override { throw std::ios_base::failure("I/O error"); }

 private:
  std::string head_;
};

TEST(InputReaderTest, AReadErrorIsNotTheEndOfTheFile) {
  auto buffer = std::make_unique<FailingBuffer>("Well A\nWell B\nWel");
  auto stream = std::make_unique<std::istream>(buffer.get());
  InputReader reader;
  reader.openStream(std::move(stream));
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
  EXPECT_TRUE(reader.readFailed());  // and still after the reader closed itself
}

}  // namespace
}  // namespace zelba
