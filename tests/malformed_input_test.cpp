// Malformed input files through the module's C entry: whatever a file holds,
// BaEngineStart returns 1 or -1 and no output prints NaN or infinity. The files
// are one well-formed field truncated, corrupted or stretched, and the fuzz
// findings of data/fuzz_regressions.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/fuzz/non_finite.h"

namespace zelba {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::pair<std::string, std::string>>;  // {section, text}

// A small field that reaches every section and most rate methods, with a
// report, a totals table and a load file named relative to the run.
const std::string kBase =
    "#control\n*period 20050101 20050105\n*daily\n*Theoretical Oil\n*Range 0.5 1.5\n"
    "*Target 0.9 1.1\n*precision 2\n*priortestDays 60\n*report r.prn t.txt\n*load l.txt\n"
    "*zeltable Alloc\n*zelfields Date Hours Oil Gas Water\n#end\n#network\n"
    "*Define SUPER GC TF #Well COMPLETION\n*Header \"Malformed input base\"\n"
    "*Methods *Welltest *Decline\n*GC G1 *shrinkage 0.98\nTF T1\nTF T2\nTF T1-LP *2ndStage\n"
    "*TF T1 *psep 200 *calibration 1.1 *gor 500 *bsw 20\n"
    "Well W1 \"label\", *Oil *Decline *Welltest *Gas *Decline\nWell W2 *Gas *Const *Welltest\n"
    "Well W3 *Oil *pi *Vogel *Fetkovich *WellChar *Welltest\nWell W7 *Oil *Fetkovich *Welltest\n"
    "COMPLETION C1\n*TF T1-LP *2ndStage *gor 55 *psep 45\n*TF T2\n"
    "Well W4 *Oil *polynomial *Welltest\nWell W5 *Oil *Kh *Welltest *Gas *Kh\n"
    "Well W6 *Oil *Zozed *Welltest *Gas *Zozed\nWell W1\n#end\n#volume\n*GC G1\n"
    "*date oil gas water stock\n20050101 900 500 400 5\n20050102 910 505 410 -3\n"
    "20050103 905, 498, 405, 0 // commas\n20050104 920 510 400 2\n20050105 915 502 398 -1\n*TF T1\n"
    "*date oil gas water\n20050101 450 250 200\n20050105 455 255 205\n*TF T2\n*day oil gas water\n"
    "1 460 260 210\n2 455 255 200 a\n3 450 250 195 %\n*TF T1-LP\n*date gas\n20050101 12.5\n"
    "20050102 13.0\n*COMPLETION C1\n*date oil\n20050101 10 a\n#end\n#welltest\n*Latest\n"
    "*date oil gor bsw whfp Status calibration\n*Well W1\n20041220 120 800 30 200 good 1\n"
    "20041101 110 790 28 205 OK 1\n*Well W2\n20041221 90 900 40 190 good choke\n*Well W7\n"
    "20041222 150 700 20 800 good 1\n*Well W3\n20041222 150 700 20 800 good 1.05\n"
    "20050104 140 710 22 780 good 1\n*Well W4\n20041223 60 600 50 180 good 1\n*Well W5\n"
    "20041224 70 650 45 185 0 1\n*Well W6\n20041215 500 600 20 200 good 1\n#end\n#welltest\n"
    "*day oil gas water api\n*Well W6\n3 480 300 100 35\n#end\n#time\n*date\n*ON 24\n*Well W2\n"
    "20050103 12\n*Well W3\n20050105 20 TF T2\n#end\n#time\n*hms\n*Status\n*Well W4\n"
    "20050102 08:00:00 dn\n20050102 10:00:00 up\n#end\n#time\n*days\n*DownTime\n*Well W5\n4 0.25\n"
    "#end\n#equation\n*Well W1\n*Oil *Decline 20040630 200 3 0\n*Gas *Decline 20040630 900 3 0\n"
    "*Well W2\n*Gas *Const 900\n*Well W7\n*Oil *Fetkovich 0.25 0.5 2000\n*Well W3\n"
    "*Oil *pi 0.5 2000\n*Vogel 1000 2000\n*Fetkovich 0.25 0.5 2000\n*WellChar 2 100\n*Well W4\n"
    "*Oil *polynomial *days 10 2 0.5\n*Well W5\n*Oil\n*ZEL date kh\n20041201 50\n20050105 100\n"
    "*Well W6\n*ResProp 0 0 35 0.7 1.05 0 0 0 0\n"
    "*PVTPROP 3000 180 1.2 1.5 400 0 0.02 0.9 1.02 0.5 0\n*wellProp 50 20 4 50 0 1e-5 2500\n"
    "*dateinfo 20041215 0 90\n*welldesc 2.441 8000 90 0\n#end\n#equation\n*Interpolate\n*Nominal\n"
    "*Date 20050103\n*Well W1\n*Oil *hyperbolic 20040630 200 3 0.5\n#end\n#wellwatch\n"
    "*date hms thp choke rate\n*Well W1\n20041231 18:00:00 200 32 108\n"
    "20050101 06:00:00 200 32 110\n20050101 18:00:00 210 32 115\n20050102 06:00:00 205 32 112\n"
    "#end\n";

// `lines` put just after the line opening the first `section` (first = true) or
// just before the "#end" closing it.
std::string insertInSection(const std::string& text, const std::string& section,
                            const std::string& lines, bool first = false) {
  const size_t open = text.find(section + "\n");
  const size_t at = first ? open + section.size() + 1 : text.find("#end\n", open);
  return text.substr(0, at) + lines + text.substr(at);
}

// The base with its report as HTML pages, named with the prefix "d".
const std::string kHtml = insertInSection(kBase, "#control", "*html h.htm d\n");

// The parts of `text` separated by `by`.
std::vector<std::string> split(const std::string& text, char by = ' ') {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; std::getline(in, word, by);) words.push_back(word);
  return words;
}

// The keywords of each section, '|' between them, written as the section would hold them.
const Rows kKeywords = {
    {"#control",
     "*period|*monthly|*daily|*Theoretical|*Range|*Target|*precision|*from|*report|"
     "*priortestDays|*testDateafter|*html|*load|*zeltable|*metric|*zelfields"},
    {"#network",
     "*Define|*Define SUPER GC|*Methods|*Header|*TF|*GC|*Well|TF|Well|*TF T1 *psep|"
     "*TF T1 *calibration|*TF T1 *gor|*TF T1 *bsw|*TF T1 *shrinkage|Well W9 *Oil|"
     "*TF T9 *2ndStage|Well W9 *Oil *Decline"},
    {"#volume", "*TF|*TF T1 *shrinkage|*date|*day|*oil|*stock|1|20050101"},
    {"#welltest", "*BswFraction|*ascending|*Latest|*date|*day|*Status|*Well"},
    {"#time", "*hms|*Status|*DownTime|*days|*date|*ON|*OFF|*Well|1"},
    {"#equation",
     "*Nominal|*Interpolate|*Date|*ZEL|*Oil|*Gas|*Well|*Measured|*Welltest|*Const|"
     "*WellChar|*pi|*Vogel|*Fetkovich|*Decline|*harmonic|*hyperbolic|*transient|"
     "*pct|*Zozed|*Kh|*h|*polynomial|*interpolate|*dateinfo|*ResProp|*PVTPROP|"
     "*wellProp|*welldesc|\"*Choke Eq.\"|*Oil *Decline|20050101|*eof"},
    {"#wellwatch", "*date|*hms|*hrs|*rate|*Well|20050101"}};

// The extremes of double and float, values past them, integers past 32 bits,
// denormals and signed zero.
const std::vector<std::string> kExtremes = split(
    "1e308 -1e308 1e309 -1e309 1.7976931348623157e308 1e-308 4e-324 1e38 3.5e38 -3.5e38 "
    "1e-45 99999999999999999999 -99999999999999999999 0 -0 2147483648 -2147483649 "
    "4294967296 -99999");

// `text` with each word (a run of characters other than blanks, line breaks and
// quotes) replaced by `map(word)`.
template <typename Map>
std::string mapWords(const std::string& text, Map map) {
  std::string out, word;
  for (char c : text + "\n") {
    if (c != ' ' && c != '\n' && c != '"') {
      word += c;
      continue;
    }
    out += map(word) + c;
    word.clear();
  }
  out.pop_back();
  return out;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The module's C entry, loaded as a host program loads it.
int (*const baEngineStart)(char*) = reinterpret_cast<int (*)(char*)>(
    dlsym(dlopen(ZELBA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL), "BaEngineStart"));

class MalformedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(baEngineStart, nullptr) << ZELBA_LIBRARY_PATH << ": " << dlerror();
    std::string dir = testing::TempDir() + "zelba-malformed-XXXXXX";
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    fs::current_path(dir_ = dir);  // outputs named without a directory land where the run starts
  }

  void TearDown() override {
    fs::current_path(cwd_);
    fs::remove_all(dir_);
  }

  // Runs the module on `text` as the input file, checks the status and the
  // outputs for a printed non-finite number, then removes them. Returns the
  // number of outputs written.
  int run(const std::string& label, const std::string& text) {
    std::string input = (dir_ / "input.ba").string();
    std::ofstream(input, std::ios::binary) << text;
    const int status = baEngineStart(input.data());
    EXPECT_TRUE(status == 1 || status == -1) << label << ": status " << status;
    int count = 0;
    std::string outputs;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      if (!entry.is_regular_file() || entry.path() == input) continue;
      ++count;
      outputs += "\n== " + entry.path().filename().string() + "\n" + readFile(entry.path());
    }
    const size_t at = fuzz::findNonFinite(outputs, text);
    EXPECT_EQ(at, std::string::npos) << label << ": an output prints a non-finite number:\n"
                                     << fuzz::contextAt(outputs, at);
    for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
    return count;
  }

  const fs::path cwd_ = fs::current_path();
  fs::path dir_;
};

// The report, totals table and load file (or HTML pages: the frameset, five
// index pages, a data page per allocated node), so that the malformed runs
// have outputs to check.
TEST_F(MalformedInput, TheBaseFieldRunsAndWritesItsOutputs) {
  EXPECT_EQ(run("base", kBase), 3);
  EXPECT_GE(run("HTML", kHtml), 9);
}

TEST_F(MalformedInput, TruncatedFilesAndSections) {
  // Cut anywhere: mid-line, mid-number, mid-keyword, mid-section.
  for (size_t cut = 0; cut < kBase.size(); cut += kBase.size() / 61 + 1)
    run("cut at " + std::to_string(cut), kBase.substr(0, cut));
  // Each "#end" missing in turn: the section runs on into the next one.
  for (size_t at = kBase.find("#end\n"); at != std::string::npos; at = kBase.find("#end\n", at + 1))
    run("no #end at " + std::to_string(at), kBase.substr(0, at) + kBase.substr(at + 5));
  // The lines in random order (one draw in three) or a quarter of them dropped.
  std::mt19937 random(20050101);
  for (int k = 0; k < 30; ++k) {
    std::vector<std::string> lines = split(kBase, '\n');
    if (k % 3 == 0) std::shuffle(lines.begin(), lines.end(), random);
    std::string text;
    for (const std::string& line : lines) text += k % 3 == 0 || random() % 4 ? line + "\n" : "";
    run("lines shuffled or dropped, draw " + std::to_string(k), text);
  }
}

TEST_F(MalformedInput, RandomBytes) {
  // Of five draws, two of any bytes, one of printable text with line breaks,
  // two of the base with up to 20 bytes overwritten.
  const std::string alphabet = "#*/\"., \t\n-+e0123456789abcdefghijklmnopqrstuvwxyz";
  std::mt19937 random(31);
  for (int k = 0; k < 100; ++k) {
    const bool fresh = k % 5 < 3;
    std::string text = fresh ? std::string(random() % 4000, ' ') : kBase;
    for (size_t n = 0, changes = fresh ? text.size() : 1 + random() % 20; n < changes; ++n) {
      char& c = fresh ? text[n] : text[random() % text.size()];
      c = k % 5 == 2 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    }
    run("random bytes, draw " + std::to_string(k), text);
  }
}

TEST_F(MalformedInput, EnormousAndTinyNumbers) {
  // Each extreme in place of every number, dates included, then of every
  // value, dates kept so that the allocation meets the extremes; then draws of
  // extremes in place of every value and of a quarter of the dates.
  std::mt19937 random(1940);
  const size_t rows = 2 * kExtremes.size();
  for (size_t k = 0; k < rows + 30; ++k) {
    const std::string label = k >= rows ? "draw" : k % 2 ? "every value" : "every number";
    run(label + " " + (k < rows ? kExtremes[k / 2] : std::to_string(k)),
        mapWords(kBase, [&](const std::string& w) {
          const size_t i = w[0] == '-' || w[0] == '+';  // a number: digits or '.' after a sign
          const bool number =
              i < w.size() && (std::isdigit(static_cast<unsigned char>(w[i])) || w[i] == '.');
          const bool date = w.size() == 8 && w.rfind("200", 0) == 0;
          if (!number || (date && (k < rows ? k % 2 : random() % 4))) return w;
          return kExtremes[k < rows ? k / 2 : random() % kExtremes.size()];
        }));
  }
}

TEST_F(MalformedInput, ThousandsOfFieldsAndLinesOfMegabytes) {
  // The lines of one section at a time with 2000 more fields: keyword lines
  // with numbers; or keyword lines with names, fluids and methods and data
  // lines with numbers, so that tables of thousands of columns are filled.
  const std::string kinds[] = {" oil", " *Oil", " *Decline"};
  std::string numbers, words;
  for (int i = 0; i < 2000; ++i) {
    numbers += " " + std::to_string(i * 7 % 1000);
    words += i % 4 ? kinds[i % 4 - 1] : " N" + std::to_string(i);
  }
  for (const auto& [section, keywords] : kKeywords) {
    for (const bool filled : {false, true}) {
      std::string text;
      bool inside = false;
      for (std::string line : split(kBase, '\n')) {
        const bool data = std::isdigit(static_cast<unsigned char>(line[0]));
        inside = inside && line != "#end";
        if (inside && (filled || !data)) line += data || !filled ? numbers : words;
        text += line + "\n";
        inside = inside || line == section;
      }
      run(section + (filled ? " with tables of thousands of columns" : " with thousands of fields"),
          text);
    }
  }
  const size_t mb = 1 << 20;
  std::string pairs;
  while (pairs.size() < mb) pairs += "1 ";
  const Rows longLines = {{"#control", "*report " + std::string(mb, 'r') + "\n"},
                          {"#network", "*Header " + std::string(mb, ',') + "\n"},
                          {"#network", "Well \"" + std::string(mb, 'q') + "\n"},
                          {"#volume", "*date oil gas water\n20050102 " + pairs + "\n"},
                          {"#welltest", "*" + std::string(mb, 'x') + "\n"},
                          {"#time", "// " + std::string(mb, '/') + "\n"},
                          {"#equation", "*Well W1\n*Oil *Decline " + std::string(mb, '9') + "\n"},
                          {"#wellwatch", "\t" + std::string(mb, '\t') + "x\n"}};
  for (const auto& [section, line] : longLines)
    run(section + " with a line of a megabyte", insertInSection(kBase, section, line));
}

TEST_F(MalformedInput, NamesOfThousandsOfCharacters) {
  // Each name of the field (node types and nodes, labels, header, method,
  // column, output files, host fields, test status) 5000 characters long at
  // every place it appears, so that it reaches the outputs; and only at every
  // other place, so that references name unknown nodes.
  const std::string tail(5000, 'N');
  for (const std::string& name :
       split("Well TF T1 T2 W1 W3 C1 label Malformed oil Decline r.prn t.txt l.txt Alloc Hours "
             "good h.htm d Gas")) {
    for (const auto& [base, every] : {std::pair(&kBase, 1), {&kBase, 2}, {&kHtml, 1}}) {
      int seen = 0;
      const std::string text = mapWords(*base, [&](const std::string& w) {
        const bool named = w == name || (!w.empty() && w.substr(1) == name);
        return named && seen++ % every == every - 1 ? w + tail : w;
      });
      const std::string where = every == 1 ? " everywhere" : " at every other place";
      if (text != *base) run(name + " long" + where + (base == &kHtml ? ", HTML" : ""), text);
    }
  }
}

TEST_F(MalformedInput, EveryKeywordWithoutItsArguments) {
  // Each section header alone at the end of the file; each keyword at the
  // start of its section, before what it would apply to, and at the end,
  // after everything else ("*eof" there cuts the file inside the section).
  for (const auto& [section, keywords] : kKeywords) {
    run(section + " opened last", kBase + section + "\n");
    for (const std::string& keyword : split(keywords, '|')) {
      run(section + " starts with bare " + keyword,
          insertInSection(kBase, section, keyword + "\n", true));
      run(section + " ends with bare " + keyword, insertInSection(kBase, section, keyword + "\n"));
    }
  }
}

// Inputs that once crashed the engine or printed a non-finite number.
TEST_F(MalformedInput, FuzzRegressionInputs) {
  const fs::path dir = ZELBA_TEST_DATA_DIR "/fuzz_regressions";
  for (const auto& entry : fs::directory_iterator(dir)) run(entry.path().string(), readFile(entry));
  EXPECT_GE(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
}

}  // namespace
}  // namespace zelba
