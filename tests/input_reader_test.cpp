// The input file's lexical form: line kinds, comments, the end markers, and
// how a line is split into fields.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "input/input_reader.h"

namespace zelba {
namespace {

using Fields = std::vector<std::string>;

Fields split(const std::string& line) {
  Fields fields;
  splitFields(line, fields);
  return fields;
}

TEST(SplitFieldsTest, CommasAndBlanks) {
  EXPECT_EQ(split("a,,b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(split(",a"), (Fields{"", "a"}));
  EXPECT_EQ(split("a,"), (Fields{"a"}));  // a comma ending the line gives no field
  EXPECT_EQ(split(",,,"), (Fields{"", "", ""}));
  EXPECT_EQ(split("a , b"), (Fields{"a", "b"}));
  EXPECT_EQ(split("a b"), (Fields{"a", "b"}));
  EXPECT_EQ(split("a, b"), (Fields{"a", "b"}));
  // The blank after "a" takes the first comma with it; the second opens an empty field.
  EXPECT_EQ(split("a ,,b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(split("a\tb\t\tc"), (Fields{"a", "b", "c"}));
  EXPECT_EQ(split("   a   b   "), (Fields{"a", "b"}));
  EXPECT_EQ(split("Oil Gas"), (Fields{"Oil", "Gas"}));  // letter case is kept
  EXPECT_TRUE(split("").empty());
  EXPECT_TRUE(split("    ").empty());
}

TEST(SplitFieldsTest, QuotedFields) {
  EXPECT_EQ(split("\"Well A, north\" 5"), (Fields{"Well A, north", "5"}));
  // Blanks and commas after a closing quote are all skipped.
  EXPECT_EQ(split("\"a\",,b"), (Fields{"a", "b"}));
  EXPECT_EQ(split("\"a\" , , b"), (Fields{"a", "b"}));
  EXPECT_EQ(split("\"\" x"), (Fields{"", "x"}));
  EXPECT_EQ(split("x \"open quote, runs on"), (Fields{"x", "open quote, runs on"}));
}

TEST(SplitFieldsTest, InLineComments) {
  EXPECT_EQ(split("Well W1 10 // note"), (Fields{"Well", "W1", "10"}));
  EXPECT_EQ(split("Well W1 /* note */ 10"), (Fields{"Well", "W1"}));
  EXPECT_EQ(split("Well W1,// note"), (Fields{"Well", "W1"}));
  // Only a field that begins with the marker ends the line, and never a quoted one.
  EXPECT_EQ(split("Well a//b /x"), (Fields{"Well", "a//b", "/x"}));
  EXPECT_EQ(split("Well \"//x\" 5"), (Fields{"Well", "//x", "5"}));
  EXPECT_EQ(split("Well \"/* y\" 5"), (Fields{"Well", "/* y", "5"}));
}

TEST(SplitFieldsTest, NoLengthLimits) {
  const std::string longField(300, 'N');
  EXPECT_EQ(split("Well " + longField + " 7"), (Fields{"Well", longField, "7"}));

  std::string line;
  Fields expected;
  for (int i = 0; i < 200; ++i) {
    expected.push_back("v" + std::to_string(i));
    line += (i ? ", " : "") + expected.back();
  }
  EXPECT_EQ(split(line), expected);
}

TEST(InputReaderTest, LineKindsAndSkippedLines) {
  InputReader reader;
  reader.openText(
      "\n"
      "   \n"
      "\t\t\n"
      "// a comment\n"
      "   /* another\n"
      "Well A\n"
      "  *Key x\n"
      "\t\t*Tab y\n"
      "#end\n"
      "#END x\n"
      "#endx\n"
      "\"*quoted\" 1\n");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"Well", "A"}));
  EXPECT_EQ(reader.lineNumber(), 6);  // five skipped lines before it
  EXPECT_EQ(reader.readFields(fields), kKeywordLine);
  EXPECT_EQ(fields, (Fields{"*Key", "x"}));
  EXPECT_EQ(reader.readFields(fields), kKeywordLine);  // leading tabs are blanks
  EXPECT_EQ(fields, (Fields{"*Tab", "y"}));
  EXPECT_EQ(reader.line(), "  *Tab y");
  EXPECT_EQ(reader.readFields(fields), kEndMarker);
  EXPECT_EQ(reader.readFields(fields), kEndMarker);  // any case, further fields ignored
  EXPECT_EQ(reader.readFields(fields), kDataLine);   // "#endx" is not the marker
  EXPECT_EQ(fields, (Fields{"#endx"}));
  // The kind comes from the first character of the line, not of the field.
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"*quoted", "1"}));
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
}

TEST(InputReaderTest, ReadLineKinds) {
  InputReader reader;
  reader.openText("#end\n*k\nx *eof\n");
  EXPECT_EQ(reader.readLine(), kDataLine);  // "#end" is told apart only by readFields
  EXPECT_EQ(reader.line(), "#end");
  EXPECT_EQ(reader.readLine(), kKeywordLine);
  EXPECT_EQ(reader.readLine(), kDataLine);
  EXPECT_EQ(reader.readLine(), kEndOfInput);
}

TEST(InputReaderTest, EofKeywordEndsTheInput) {
  InputReader reader;
  reader.openText("Well A\n  *EoF rest\nWell B\n");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);  // "Well B" is never read

  reader.openText("*eofxyz\nWell B\n");  // only the first four characters count
  EXPECT_EQ(reader.readLine(), kEndOfInput);

  reader.openText("*eo\n");
  EXPECT_EQ(reader.readLine(), kKeywordLine);
}

TEST(InputReaderTest, LastLineWithoutNewline) {
  InputReader reader;
  reader.openText("Well W12");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"Well", "W12"}));

  reader.openText("a\nb");  // a one-character last line is not blank
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"a"}));
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"b"}));
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
}

TEST(InputReaderTest, CrLfLines) {
  InputReader reader;
  reader.openText("Well W1\r\n\r\n  \r\n*K v\r\nx\r\n");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"Well", "W1"}));
  EXPECT_EQ(reader.line(), "Well W1");
  EXPECT_EQ(reader.readFields(fields), kKeywordLine);
  EXPECT_EQ(fields, (Fields{"*K", "v"}));
  EXPECT_EQ(reader.lineNumber(), 4);
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  EXPECT_EQ(fields, (Fields{"x"}));
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);
}

TEST(InputReaderTest, LongLinesAreKeptWhole) {
  // 1000 fields of four digits and a blank: a 5000-character line.
  std::string line;
  for (int i = 0; i < 1000; ++i) {
    std::string number = std::to_string(i);
    line += std::string(4 - number.size(), '0') + number + " ";
  }
  ASSERT_EQ(line.size(), 5000u);
  InputReader reader;
  reader.openText(line + "\nnext line\n");
  Fields fields;
  EXPECT_EQ(reader.readFields(fields), kDataLine);
  ASSERT_EQ(fields.size(), 1000u);
  EXPECT_EQ(fields.front(), "0000");
  EXPECT_EQ(fields.back(), "0999");
  EXPECT_EQ(reader.readFields(fields), kDataLine);  // nothing of the long line spills over
  EXPECT_EQ(fields, (Fields{"next", "line"}));
  EXPECT_EQ(reader.lineNumber(), 2);
}

TEST(InputReaderTest, OpenAndClose) {
  InputReader reader;
  Fields fields;
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.readFields(fields), kEndOfInput);  // nothing open
  EXPECT_FALSE(reader.openFile("/nonexistent/zelba/input.txt"));
  EXPECT_EQ(reader.readLine(), kEndOfInput);

  reader.openText("Well A\nWell B\n");
  EXPECT_TRUE(reader.isOpen());
  EXPECT_EQ(reader.readLine(), kDataLine);
  reader.close();
  reader.close();
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.readLine(), kEndOfInput);
}

}  // namespace
}  // namespace zelba
