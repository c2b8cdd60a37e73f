// Malformed input files through the module's C entry: whatever an input file
// holds, BaEngineStart returns 1 or -1 and no output it writes prints NaN or
// infinity. The files are generated from one well-formed field (truncated,
// corrupted, stretched) and written to a directory of their own; the outputs
// they name are relative, so they land in that directory too. Inputs kept in
// data/fuzz_regressions (findings of the fuzz target) are run the same way.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fuzz/non_finite.h"

namespace zelba {
namespace {

namespace fs = std::filesystem;

// A small field that reaches every section and most rate methods; every
// output it names is relative to the run's directory.
const char* kBase =
    "#control\n"
    "*period 20050101 20050110\n"
    "*daily\n"
    "*Theoretical Oil\n"
    "*Range 0.5 1.5\n"
    "*Target 0.9 1.1\n"
    "*precision 2\n"
    "*priortestDays 60\n"
    "*report r.prn t.txt\n"
    "*load l.txt\n"
    "*zeltable Alloc\n"
    "*zelfields Date Hours Oil Gas Water\n"
    "#end\n"
    "#network\n"
    "*Define SUPER GC TF #Well COMPLETION\n"
    "*Header \"Malformed input base\"\n"
    "*Methods *Welltest *Decline\n"
    "*GC G1 *shrinkage 0.98\n"
    "TF T1\n"
    "TF T2\n"
    "TF T1-LP *2ndStage\n"
    "*TF T1 *psep 200 *calibration 1.1 *gor 500 *bsw 20\n"
    "Well W1 \"label\" *Oil *Decline *Welltest\n"
    "Well W2 *Gas *Const *Welltest\n"
    "Well W3 *Oil *pi *Vogel *Fetkovich *WellChar *Welltest\n"
    "COMPLETION C1\n"
    "*TF T1-LP *2ndStage *gor 55 *psep 45\n"
    "*TF T2\n"
    "Well W4 *Oil *polynomial *Welltest\n"
    "Well W5 *Oil *Kh *Welltest\n"
    "Well W6 *Oil *Zozed *Welltest *Gas *Zozed\n"
    "Well W1\n"
    "#end\n"
    "#volume\n"
    "*GC G1\n"
    "*date oil gas water stock\n"
    "20050101 900 500 400 5\n"
    "20050102 910 505 410 -3\n"
    "20050103 905 498 405 0\n"
    "20050104 920 510 400 2\n"
    "20050105 915 502 398 -1\n"
    "20050106 890 490 402 4\n"
    "20050107 900 500 400 0\n"
    "20050108 910 505 401 1\n"
    "20050109 905 499 399 -2\n"
    "20050110 899 497 403 3\n"
    "*TF T1\n"
    "*date oil gas water\n"
    "20050101 450 250 200\n"
    "20050105 455 255 205\n"
    "20050110 452 251 199\n"
    "*TF T2\n"
    "*day oil gas water\n"
    "1 460 260 210\n"
    "2 455 255 200 a\n"
    "3 450 250 195 %\n"
    "*TF T1-LP\n"
    "*date gas\n"
    "20050101 12.5\n"
    "20050102 13.0\n"
    "*COMPLETION C1\n"
    "*date oil\n"
    "20050101 10 a\n"
    "#end\n"
    "#welltest\n"
    "*Latest\n"
    "*date oil gor bsw whfp Status calibration\n"
    "*Well W1\n"
    "20041220 120 800 30 200 good 1\n"
    "20041101 110 790 28 205 OK 1\n"
    "*Well W2\n"
    "20041221 90 900 40 190 good choke\n"
    "*Well W3\n"
    "20041222 150 700 20 800 good 1.05\n"
    "20050104 140 710 22 780 good 1\n"
    "*Well W4\n"
    "20041223 60 600 50 180 good 1\n"
    "*Well W5\n"
    "20041224 70 650 45 185 0 1\n"
    "*Well W6\n"
    "20041215 500 600 20 200 good 1\n"
    "#end\n"
    "#welltest\n"
    "*day oil gas water api\n"
    "*Well W6\n"
    "3 480 300 100 35\n"
    "#end\n"
    "#time\n"
    "*date\n"
    "*ON 24\n"
    "*Well W2\n"
    "20050103 12\n"
    "*Well W3\n"
    "20050105 20 TF T2\n"
    "#end\n"
    "#time\n"
    "*hms\n"
    "*Status\n"
    "*Well W4\n"
    "20050102 08:00:00 dn\n"
    "20050102 10:00:00 up\n"
    "#end\n"
    "#time\n"
    "*days\n"
    "*DownTime\n"
    "*Well W5\n"
    "4 0.25\n"
    "#end\n"
    "#equation\n"
    "*Well W1\n"
    "*Oil *Decline 20040630 200 3 0\n"
    "*Well W2\n"
    "*Gas *Const 900\n"
    "*Well W3\n"
    "*Oil *pi 0.5 2000\n"
    "*Vogel 1000 2000\n"
    "*Fetkovich 0.25 0.5 2000\n"
    "*WellChar 2 100\n"
    "*Well W4\n"
    "*Oil *polynomial *days 10 2 0.5\n"
    "*Well W5\n"
    "*Oil\n"
    "*ZEL date kh\n"
    "20041201 50\n"
    "20050105 100\n"
    "*Well W6\n"
    "*ResProp 0 0 35 0.7 1.05 0 0 0 0\n"
    "*PVTPROP 3000 180 1.2 1.5 400 0 0.02 0.9 1.02 0.5 0\n"
    "*wellProp 50 20 4 50 0 1e-5 2500\n"
    "*dateinfo 20041215 0 90\n"
    "*welldesc 2.441 8000 90 0\n"
    "#end\n"
    "#equation\n"
    "*Interpolate\n"
    "*Nominal\n"
    "*Date 20050103\n"
    "*Well W1\n"
    "*Oil *hyperbolic 20040630 200 3 0.5\n"
    "#end\n"
    "#wellwatch\n"
    "*date hms thp choke rate\n"
    "*Well W1\n"
    "20041231 18:00:00 200 32 108\n"
    "20050101 06:00:00 200 32 110\n"
    "20050101 18:00:00 210 32 115\n"
    "20050102 06:00:00 205 32 112\n"
    "#end\n";

// The keywords of each section, written as a section would hold them.
const std::vector<std::pair<std::string, std::vector<std::string>>> kKeywords = {
    {"#control",
     {"*period", "*monthly", "*daily", "*Theoretical", "*Range", "*Target", "*precision", "*from",
      "*priortestDays", "*testDateafter", "*report", "*html", "*load", "*zeltable", "*metric",
      "*zelfields"}},
    {"#network",
     {"*Define", "*Methods", "*Header", "*TF", "*GC", "*Well", "TF", "Well", "*TF T1 *calibration",
      "*TF T1 *psep", "*TF T1 *gor", "*TF T1 *bsw", "*TF T1 *shrinkage", "*TF T9 *2ndStage",
      "Well W9 *Oil", "Well W9 *Oil *Decline"}},
    {"#volume", {"*TF", "*TF T1 *shrinkage", "*date", "*day", "*oil", "*stock", "1", "20050101"}},
    {"#welltest", {"*BswFraction", "*ascending", "*Latest", "*date", "*day", "*Status", "*Well"}},
    {"#time", {"*hms", "*Status", "*DownTime", "*days", "*date", "*ON", "*OFF", "*Well", "1"}},
    {"#equation",
     {"*Nominal",      "*Interpolate", "*Date",     "*ZEL",      "*Oil",        "*Gas",
      "*Well",         "*Measured",    "*Welltest", "*Const",    "*WellChar",   "*pi",
      "*Vogel",        "*Fetkovich",   "*Decline",  "*harmonic", "*hyperbolic", "*transient",
      "*pct",          "*Zozed",       "*Kh",       "*h",        "*polynomial", "*interpolate",
      "*dateinfo",     "*ResProp",     "*PVTPROP",  "*wellProp", "*welldesc",   "\"*Choke Eq.\"",
      "*Oil *Decline", "20050101"}},
    {"#wellwatch", {"*date", "*hms", "*hrs", "*rate", "*Well", "20050101"}},
};

// Values in place of every number: the extremes of double and float, values
// past them, integers past 32 bits, denormals and signed zero.
const std::vector<std::string> kExtremes = {
    "1e308",
    "-1e308",
    "1e309",
    "-1e309",
    "1.7976931348623157e308",
    "1e-308",
    "4e-324",
    "1e38",
    "3.5e38",
    "-3.5e38",
    "1e-45",
    "99999999999999999999",
    "-99999999999999999999",
    "0",
    "-0",
    "2147483648",
    "-2147483649",
    "4294967296",
    "-99999",
};

// The lines of `text`, newline kept.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line + "\n");
  return lines;
}

bool isNumberToken(const std::string& token) {
  size_t i = token[0] == '-' || token[0] == '+' ? 1 : 0;
  return i < token.size() &&
         (std::isdigit(static_cast<unsigned char>(token[i])) || token[i] == '.');
}

// `text` with every blank-separated number replaced by `pick(number, isDate)`.
template <typename Pick>
std::string replaceNumbers(const std::string& text, Pick pick) {
  std::string out;
  std::string token;
  auto flush = [&] {
    if (!token.empty() && isNumberToken(token)) {
      const bool isDate = token.size() == 8 && token.rfind("200", 0) == 0;
      out += pick(token, isDate);
    } else {
      out += token;
    }
    token.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '\n') {
      flush();
      out += c;
    } else {
      token += c;
    }
  }
  flush();
  return out;
}

// `line` put just after the line that opens `section` (first = true) or
// just before the "#end" that closes it, in the first occurrence of the
// section.
std::string insertInSection(const std::string& text, const std::string& section,
                            const std::string& line, bool first) {
  const size_t open = text.find(section + "\n");
  if (open == std::string::npos) return text + section + "\n" + line + "#end\n";
  if (first) {
    const size_t after = open + section.size() + 1;
    return text.substr(0, after) + line + text.substr(after);
  }
  const size_t end = text.find("#end\n", open);
  return text.substr(0, end) + line + text.substr(end);
}

class MalformedInput : public ::testing::Test {
 protected:
  struct Outcome {
    int status = 0;
    int outputs = 0;  // output files the run wrote
  };

  void SetUp() override {
    module_ = dlopen(ZELBA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_, nullptr) << dlerror();
    start_ = reinterpret_cast<int (*)(char*)>(dlsym(module_, "BaEngineStart"));
    ASSERT_NE(start_, nullptr);
    std::string pattern = testing::TempDir() + "zelba-malformed-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    cwd_ = cwd;
    // Outputs named without a directory are written where the run starts.
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }

  void TearDown() override {
    if (!cwd_.empty()) {
      EXPECT_EQ(chdir(cwd_.c_str()), 0);
    }
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
    if (module_) dlclose(module_);
  }

  // Runs the module on `text` as the input file and checks the properties
  // every run must have; the outputs are removed afterwards.
  Outcome run(const std::string& label, const std::string& text) {
    const std::string input = dir_ + "/input.ba";
    std::ofstream(input, std::ios::binary) << text;
    std::string path = input;
    Outcome outcome;
    outcome.status = start_(path.data());
    EXPECT_TRUE(outcome.status == 1 || outcome.status == -1)
        << label << ": status " << outcome.status;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      if (!entry.is_regular_file() || entry.path() == input) continue;
      ++outcome.outputs;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string output((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
      const size_t at = fuzz::findNonFinite(output, text);
      EXPECT_EQ(at, std::string::npos)
          << label << ": " << entry.path().filename() << " prints a non-finite number:\n"
          << fuzz::contextAt(output, at);
    }
    for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
    return outcome;
  }

  void* module_ = nullptr;
  int (*start_)(char*) = nullptr;
  std::string dir_;
  std::string cwd_;
};

TEST_F(MalformedInput, TheBaseFieldRunsAndWritesItsOutputs) {
  // The well-formed field: a period and nodes, so status 1, and the report,
  // totals table and load file, so the checks below have outputs to read.
  const Outcome base = run("base", kBase);
  EXPECT_EQ(base.status, 1);
  EXPECT_EQ(base.outputs, 3);
}

TEST_F(MalformedInput, TruncatedFilesAndSections) {
  const std::string base = kBase;
  // Cut anywhere: mid-line, mid-number, mid-keyword, mid-section.
  for (size_t cut = 0; cut < base.size(); cut += base.size() / 97 + 1) {
    run("cut at " + std::to_string(cut), base.substr(0, cut));
  }
  // One "#end" missing: the section runs on into the next one.
  std::vector<std::string> lines = linesOf(base);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != "#end\n") continue;
    std::string text;
    for (size_t k = 0; k < lines.size(); ++k) {
      if (k != i) text += lines[k];
    }
    run("no #end at line " + std::to_string(i + 1), text);
  }
  // A section opened and never closed at the very end, and "*eof" inside one.
  for (const auto& [section, keywords] : kKeywords) {
    run(section + " opened last", base + section + "\n");
    run(section + " cut by *eof", insertInSection(base, section, "*eof\n", false));
  }
  // Lines dropped at random, and the lines in random order.
  std::mt19937 random(20050101);
  for (int k = 0; k < 20; ++k) {
    std::string text;
    for (const std::string& line : lines) {
      if (random() % 4 != 0) text += line;
    }
    run("lines dropped, draw " + std::to_string(k), text);
  }
  for (int k = 0; k < 10; ++k) {
    std::vector<std::string> shuffled = lines;
    for (size_t i = shuffled.size() - 1; i > 0; --i)
      std::swap(shuffled[i], shuffled[random() % (i + 1)]);
    std::string text;
    for (const std::string& line : shuffled) text += line;
    run("lines shuffled, draw " + std::to_string(k), text);
  }
}

TEST_F(MalformedInput, RandomBytes) {
  std::mt19937 random(31);
  for (int k = 0; k < 40; ++k) {
    std::string text(random() % 4000, '\0');
    for (char& c : text) c = static_cast<char>(random());
    run("random bytes, draw " + std::to_string(k), text);
  }
  // Printable text with line breaks, and the base with bytes overwritten.
  const std::string alphabet = "#*/\"., \t\n-+e0123456789abcdefghijklmnopqrstuvwxyz";
  for (int k = 0; k < 20; ++k) {
    std::string text(random() % 4000, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    run("random text, draw " + std::to_string(k), text);
  }
  const std::string base = kBase;
  for (int k = 0; k < 40; ++k) {
    std::string text = base;
    const int changes = 1 + static_cast<int>(random() % 20);
    for (int c = 0; c < changes; ++c) text[random() % text.size()] = static_cast<char>(random());
    run("base with bytes overwritten, draw " + std::to_string(k), text);
  }
}

TEST_F(MalformedInput, EnormousAndTinyNumbers) {
  const std::string base = kBase;
  for (const std::string& value : kExtremes) {
    // Every number, dates included; then only the values, so that the
    // period and the days stay and the allocation meets the extremes.
    run("every number " + value,
        replaceNumbers(base, [&](const std::string&, bool) { return value; }));
    run("every value " + value, replaceNumbers(base, [&](const std::string& number, bool isDate) {
          return isDate ? number : value;
        }));
  }
  std::mt19937 random(1940);
  for (int k = 0; k < 30; ++k) {
    run("mixed extremes, draw " + std::to_string(k),
        replaceNumbers(base, [&](const std::string& number, bool isDate) {
          if (isDate && random() % 4 != 0) return number;
          return kExtremes[random() % kExtremes.size()];
        }));
  }
}

TEST_F(MalformedInput, ThousandsOfFieldsAndLinesOfMegabytes) {
  const std::string base = kBase;
  std::string numbers, names, methods, fluids;
  for (int i = 0; i < 3000; ++i) {
    numbers += " " + std::to_string(i * 7 % 1000);
    names += " N" + std::to_string(i);
    methods += i % 2 ? " *Decline" : " *Oil";
    fluids += i % 2 ? " gas" : " oil";
  }
  const std::vector<std::pair<std::string, std::string>> wide = {
      {"#control", "*Theoretical" + names + "\n"},
      {"#control", "*zelfields" + names + "\n"},
      {"#network", "*Define" + names + "\n"},
      {"#network", "*Methods" + methods + "\n"},
      {"#network", "Well W1" + methods + "\n"},
      {"#network", "*TF T1" + numbers + "\n"},
      {"#volume", "*TF T1\n*date" + fluids + "\n20050103" + numbers + "\n"},
      {"#volume", "*date oil gas water\n20050101" + numbers + "\n"},
      {"#welltest", "*date" + names + "\n*Well W1\n20041220" + numbers + "\n"},
      {"#time", "*Well W2\n1" + numbers + "\n"},
      {"#equation", "*Well W4\n*Oil *polynomial" + numbers + "\n"},
      {"#wellwatch",
       "*date hms thp choke rate" + names + "\n*Well W1\n20050101 01:00:00" + numbers + "\n"},
  };
  for (const auto& [section, line] : wide) {
    run(section + " with thousands of fields", insertInSection(base, section, line, false));
  }

  const size_t megabyte = 1 << 20;
  std::string pairs;
  while (pairs.size() < megabyte) pairs += "1 ";
  const std::vector<std::pair<std::string, std::string>> long_lines = {
      {"#control", "*report " + std::string(megabyte, 'r') + "\n"},
      {"#network", "*Header " + std::string(megabyte, ',') + "\n"},
      {"#network", "Well \"" + std::string(megabyte, 'q') + "\n"},
      {"#volume", "*date oil gas water\n20050102 " + pairs + "\n"},
      {"#welltest", "*" + std::string(megabyte, 'x') + "\n"},
      {"#time", "// " + std::string(megabyte, '/') + "\n"},
      {"#equation", "*Well W1\n*Oil *Decline " + std::string(megabyte, '9') + "\n"},
      {"#wellwatch", "\t" + std::string(megabyte, '\t') + "x\n"},
  };
  for (const auto& [section, line] : long_lines) {
    run(section + " with a line of a megabyte", insertInSection(base, section, line, false));
  }
}

TEST_F(MalformedInput, NamesOfThousandsOfCharacters) {
  const std::string base = kBase;
  const std::string name(5000, 'N');
  const std::vector<std::pair<std::string, std::string>> long_names = {
      {"#control", "*zeltable " + name + "\n*zelfields " + name + " " + name + "\n"},
      {"#control", "*load " + name + "\n"},
      {"#control", "*html " + name + " " + name + "/\n"},
      {"#network", "*Header \"" + name + "\"\n"},
      {"#network", "*Define SUPER GC TF #" + name + " COMPLETION\n*TF T2\n" + name + " W7\n"},
      {"#network", "*TF " + name + "\nWell " + name + "\nWell W8 \"" + name + "\"\n"},
      {"#network", "*Methods *" + name + "\nWell W9 *" + name + "\n"},
      {"#volume", "*TF " + name + "\n*date oil\n20050101 100\n"},
      {"#welltest", "*Well " + name + "\n20041220 100 500 20 200 good 1\n"},
      {"#time", "*Well W1\n20050102 10 TF " + name + "\n"},
      {"#equation", "*Well " + name + "\n*Oil *" + name + " 1 2 3\n"},
      {"#wellwatch", "*Well " + name + "\n20050101 01:00:00 200 32 100\n"},
  };
  for (const auto& [section, line] : long_names) {
    run(section + " with a name of 5000 characters", insertInSection(base, section, line, false));
  }
}

TEST_F(MalformedInput, EveryKeywordWithoutItsArguments) {
  const std::string base = kBase;
  for (const auto& [section, keywords] : kKeywords) {
    for (const std::string& keyword : keywords) {
      // At the start of the section, before what it would apply to, and at
      // its end, after everything else.
      run(section + " starts with bare " + keyword,
          insertInSection(base, section, keyword + "\n", true));
      run(section + " ends with bare " + keyword,
          insertInSection(base, section, keyword + "\n", false));
    }
  }
}

TEST_F(MalformedInput, FuzzRegressionInputs) {
  // Inputs that once crashed the engine or printed a non-finite number.
  const fs::path dir = fs::path(ZELBA_TEST_DATA_DIR) / "fuzz_regressions";
  if (!fs::is_directory(dir)) return;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    run(entry.path().filename().string(), text);
  }
}

}  // namespace
}  // namespace zelba
