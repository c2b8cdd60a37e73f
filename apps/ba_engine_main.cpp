// ba-engine: runs one back allocation on an input file through the module's
// exported entry, and explains a failed run in one plain line. On request it
// also reports what the run ignored and decided (--check, --diagnostics) and
// writes the complete results as JSON (--json).
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "engine/driver.h"
#include "output/csv_results.h"
#include "output/dashboard.h"
#include "output/diagnostics_table.h"
#include "output/json_results.h"

#ifdef ZELBA_VIEWER_MODULE
#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "output/report_view_data.h"
#endif

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOutputFailed = 3;
constexpr int kExitNeedsAttention = 4;

// A run that has taken this long shows its progress on a terminal.
constexpr double kQuietSeconds = 2.0;

void printUsage(std::FILE* to) {
  std::fprintf(
      to,
      "Usage: ba-engine INPUT\n"
      "       ba-engine --check INPUT\n"
      "       ba-engine [--strict] [--quiet] [--diagnostics FILE] [--json FILE]\n"
      "                 [--csv FILE] [--dashboard FILE] INPUT\n"
      "Runs one back allocation on the input file INPUT and writes the outputs\n"
      "that its #control section names. When the run recorded something that\n"
      "needs attention (a field factor out of range, an ignored input line, ...),\n"
      "a short summary of it goes to standard error.\n"
      "\n"
      "  --check             run the allocation but write no output file; print the\n"
      "                      input lines the run ignored, the allocation's exceptions\n"
      "                      and a summary per point of measurement\n"
      "  --diagnostics FILE  write the same account to FILE during a normal run\n"
      "  --json FILE         write the complete results of the run to FILE as JSON\n"
      "  --csv FILE          write the results per well, point, day and fluid to FILE\n"
      "                      as one CSV table\n"
      "  --dashboard FILE    write the run on one HTML page with charts to FILE (it\n"
      "                      needs no other file and no network)\n"
      "                      (FILE - is standard output, for each of these)\n"
      "  --strict            exit with status 4 when the run recorded anything that\n"
      "                      needs attention (after writing the outputs as usual)\n"
      "  --quiet             print neither the summary nor the progress of a long run\n"
      "  --view              show the text report in the report viewer after the run\n"
      "  --trace-fit         write the trace file shit.out of every gas curve fit into the\n"
      "                      current directory\n"
      "  --help              show this help and exit\n"
      "  --version           show the version and exit\n"
      "\n"
      "Exit status: 0 when the run succeeded and wrote every output; 1 when it\n"
      "failed; 2 for a usage error; 3 when it ran but an output file (one that\n"
      "#control names, the diagnostics, JSON, CSV or dashboard file) could not be written\n"
      "completely: each is named with the reason, and an earlier file of its\n"
      "name is left as it was; 4 with --strict or --check when the run recorded\n"
      "something that needs attention.\n");
}

// Why a run returned -1, in the user's terms.
std::string failureReason(const std::string& input, const zelba::RunSummary& summary) {
  if (summary.outOfMemory) {
    return "the run on '" + input + "' ran out of memory and failed";
  }
  if (!summary.inputOpened) return "cannot open the input file '" + input + "'";
  if (summary.inputReadFailed) {
    return "the input file '" + input +
           "' could not be read to its end (a read error); nothing was allocated";
  }
  if (summary.nodeCount == 0) {
    return "no node was defined in '" + input +
           "': name the wells and facilities in a #network or #volume section";
  }
  if (summary.periodEnd == 0) {
    return "no period end is known for '" + input +
           "': give *period in #control or dated lines in #volume";
  }
  return "the run failed on '" + input + "'";
}

struct CommandLine {
  std::string input;
  bool check = false;
  bool traceFit = false;
  bool strict = false;
  bool quiet = false;
  bool view = false;
  std::string diagnosticsFile;
  std::string jsonFile;
  std::string csvFile;
  std::string dashboardFile;
};

// The name that stands for standard output.
constexpr const char* kStandardOutput = "-";

// Writes a file of ours whole ("-": to standard output); says why and
// returns false when it could not.
bool writeOwnFile(const char* what, const std::string& path, const std::string& text) {
  if (path == kStandardOutput) {
    const bool written =
        std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    if (!written) {
      std::fprintf(stderr, "ba-engine: could not write the %s to standard output: %s\n", what,
                   std::strerror(errno));
    }
    return written;
  }
  const std::string reason = zelba::writeWholeFile(zelba::diskFiles(), path, text);
  if (reason.empty()) return true;
  std::fprintf(stderr, "ba-engine: could not write the %s file '%s': %s\n", what, path.c_str(),
               reason.c_str());
  return false;
}

class StringSink : public zelba::TextSink {
 public:
  void write(std::string_view text) override { text_.append(text); }
  long position() const override { return static_cast<long>(text_.size()); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// One line per output file the run did not write, the first ones by name (an
// HTML set can have a page per node). Returns whether any output that was
// meant to be written could not be.
bool reportFailedOutputs(const std::vector<zelba::OutputFailure>& failed) {
  constexpr size_t kNamed = 20;
  bool anyFailed = false;
  for (size_t k = 0; k < failed.size(); ++k) {
    const zelba::OutputFailure& f = failed[k];
    anyFailed = anyFailed || !f.refused;
    if (k >= kNamed) continue;
    if (f.refused) {
      std::fprintf(stderr, "ba-engine: warning: %s\n", f.reason.c_str());
    } else {
      std::fprintf(stderr, "ba-engine: could not write the output file '%s': %s\n", f.path.c_str(),
                   f.reason.c_str());
    }
  }
  if (failed.size() > kNamed) {
    std::fprintf(stderr, "ba-engine: and %zu more output files not written\n",
                 failed.size() - kNamed);
  }
  return anyFailed;
}

// The progress of a long run on one line of a terminal, written over in
// place and cleared at the end. Nothing until the run has taken
// kQuietSeconds, and nothing at all where standard error is not a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(bool wanted) : shown_(wanted && isatty(STDERR_FILENO) != 0) {
    start_ = std::chrono::steady_clock::now();
  }
  ~ProgressLine() {
    if (written_) std::fputs("\r\033[K", stderr);
  }
  void report(std::string_view phase, int step, int steps) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (std::chrono::duration<double>(now - start_).count() < kQuietSeconds) return;
    // Often enough to be seen to move, seldom enough to cost nothing.
    if (written_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    written_ = true;
    if (steps > 0) {
      std::fprintf(stderr, "\r\033[Kba-engine: %.*s, point %d of %d",
                   static_cast<int>(phase.size()), phase.data(), step, steps);
    } else {
      std::fprintf(stderr, "\r\033[Kba-engine: %.*s", static_cast<int>(phase.size()), phase.data());
    }
    std::fflush(stderr);
  }

 private:
  bool shown_;
  bool written_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_;
};

// What ba-engine takes from a run before its state is released.
struct RunAccount {
  std::string table;                   // the diagnostics table, when asked for
  std::string json;                    // the JSON results, when asked for
  std::string csv;                     // the CSV results, when asked for
  std::string dashboard;               // the dashboard page, when asked for
  std::vector<std::string> attention;  // what needs attention, a line each
#ifdef ZELBA_VIEWER_MODULE
  std::unique_ptr<zelba::ReportViewData> view;  // what the viewer shows, when asked for
#endif
};

#ifdef ZELBA_VIEWER_MODULE
// The viewer module beside this program, else wherever the loader finds it.
std::string viewerModulePath() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return ZELBA_VIEWER_MODULE;
  const std::string path(self, static_cast<size_t>(length));
  return path.substr(0, path.rfind('/') + 1) + ZELBA_VIEWER_MODULE;
}

// Shows the report in the viewer; false, with a message, where it cannot be.
bool showViewer(const zelba::ReportViewData& data) {
  const bool display = std::getenv("DISPLAY") != nullptr ||
                       std::getenv("WAYLAND_DISPLAY") != nullptr ||
                       std::getenv("QT_QPA_PLATFORM") != nullptr;
  if (!display) {
    std::fputs("ba-engine: --view needs a display; the report was written but not shown\n", stderr);
    return false;
  }
  void* module = dlopen(viewerModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) module = dlopen(ZELBA_VIEWER_MODULE, RTLD_NOW | RTLD_LOCAL);
  auto show = module ? reinterpret_cast<int (*)(const zelba::ReportViewData*)>(
                           dlsym(module, "ZelBaShowReport"))
                     : nullptr;
  if (show == nullptr) {
    std::fprintf(stderr, "ba-engine: cannot load the report viewer: %s\n", dlerror());
    return false;
  }
  return show(&data) == 1;
}
#endif

// A run with its account taken from its state before it is released.
// Returns the run's status; false in `written` when a file of ours could not
// be written.
int runAccounted(const CommandLine& command, RunAccount& account, bool& written) {
  zelba::NoFiles noFiles;
  zelba::RunOptions options;
  if (command.check) options.files = &noFiles;
  options.traceFit = command.traceFit;
  ProgressLine progress(!command.quiet);
  options.progress = [&progress](std::string_view phase, int step, int steps) {
    progress.report(phase, step, steps);
  };
  std::string& table = account.table;
  std::string& json = account.json;
  options.inspect = [&](const zelba::RunState& rs) {
    if (command.check || !command.diagnosticsFile.empty()) {
      StringSink sink;
      zelba::writeDiagnosticsTable(rs, sink);
      table = sink.text();
    }
    if (!command.jsonFile.empty()) json = zelba::resultsJson(rs);
    if (!command.csvFile.empty()) account.csv = zelba::csvResults(rs);
    if (!command.dashboardFile.empty()) account.dashboard = zelba::dashboardHtml(rs);
    account.attention = zelba::attentionLines(rs);
#ifdef ZELBA_VIEWER_MODULE
    const zelba::RunControl& rc = rs.control;
    if (command.view && !command.check && rc.reportFile.size() >= 2 && !rc.html) {
      account.view =
          std::make_unique<zelba::ReportViewData>(zelba::reportViewData(rs, rc.reportFile));
    }
#endif
  };
  zelba::RunState& rs = zelba::processRunState();
  int status = -1;
  try {
    status = zelba::runEngine(rs, command.input, &zelba::lastRunSummary(), options);
  } catch (const std::bad_alloc&) {
    zelba::releaseRunState(rs);
    zelba::lastRunSummary() = zelba::RunSummary{};
    zelba::lastRunSummary().outOfMemory = true;
    return -1;
  } catch (const std::exception&) {
    zelba::releaseRunState(rs);
    return -1;
  }
  written = true;
  if (command.check) std::fputs(table.c_str(), stdout);
  if (!command.diagnosticsFile.empty() &&
      !writeOwnFile("diagnostics", command.diagnosticsFile, table)) {
    written = false;
  }
  if (!command.jsonFile.empty() && !writeOwnFile("JSON", command.jsonFile, json)) {
    written = false;
  }
  // The table and the page show a run's results: a failed run has none, and
  // an earlier file of the name is left as it was.
  const std::pair<const char*, const std::string*> results[] = {
      {"CSV", &command.csvFile}, {"dashboard", &command.dashboardFile}};
  for (const auto& [what, file] : results) {
    if (file->empty()) continue;
    if (status != 1) {
      std::fprintf(stderr, "ba-engine: the run failed, so the %s file '%s' was not written\n", what,
                   file->c_str());
      continue;
    }
    const std::string& text = file == &command.csvFile ? account.csv : account.dashboard;
    if (!writeOwnFile(what, *file, text)) written = false;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine command;
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printUsage(stdout);
      return kExitSuccess;
    }
    if (arg == "--version") {
      std::printf("ba-engine (ZelBA) %s\n", ZELBA_VERSION);
      return kExitSuccess;
    }
    if (arg == "--trace-fit") {
      command.traceFit = true;
      continue;
    }
    if (arg == "--check") {
      command.check = true;
      continue;
    }
    if (arg == "--strict" || arg == "--quiet") {
      (arg == "--strict" ? command.strict : command.quiet) = true;
      continue;
    }
    if (arg == "--view") {
#ifndef ZELBA_VIEWER_MODULE
      std::fputs("ba-engine: this build has no report viewer (built without the user interface)\n",
                 stderr);
      return kExitUsage;
#endif
      command.view = true;
      continue;
    }
    std::string* file = arg == "--diagnostics" ? &command.diagnosticsFile
                        : arg == "--json"      ? &command.jsonFile
                        : arg == "--csv"       ? &command.csvFile
                        : arg == "--dashboard" ? &command.dashboardFile
                                               : nullptr;
    if (file != nullptr) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ba-engine: %s needs a file name\n", arg.c_str());
        printUsage(stderr);
        return kExitUsage;
      }
      *file = argv[++i];
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
      std::fprintf(stderr, "ba-engine: unknown option '%s'\n", arg.c_str());
      printUsage(stderr);
      return kExitUsage;
    }
    if (arg != "--") inputs.push_back(arg);
  }
  if (inputs.size() != 1) {
    std::fprintf(stderr, "ba-engine: %s\n",
                 inputs.empty() ? "no input file given" : "give exactly one input file");
    printUsage(stderr);
    return kExitUsage;
  }
  command.input = inputs.front();

  bool written = true;
  RunAccount account;
  const int status = runAccounted(command, account, written);
  if (status != 1) {
    std::fprintf(stderr, "ba-engine: %s\n",
                 failureReason(command.input, zelba::lastRunSummary()).c_str());
    return kExitRunFailed;
  }
  // The engine keeps its status whatever became of the outputs; say what did.
  // (--check writes none.)
  if (!command.check && reportFailedOutputs(zelba::lastRunSummary().failedOutputs)) {
    written = false;
  }
  // --check has shown the whole account already.
  if (!command.check && !command.quiet && !account.attention.empty()) {
    std::fputs("ba-engine: the run recorded what needs attention:\n", stderr);
    for (const std::string& line : account.attention) std::fprintf(stderr, "  %s\n", line.c_str());
    std::fputs("ba-engine: run with --check for the details\n", stderr);
  }
#ifdef ZELBA_VIEWER_MODULE
  if (command.view) {
    if (account.view) {
      showViewer(*account.view);
    } else if (!command.check) {
      std::fputs("ba-engine: --view: the input names no text report to show\n", stderr);
    }
  }
#endif
  if (!written) return kExitOutputFailed;
  if ((command.strict || command.check) && !account.attention.empty()) return kExitNeedsAttention;
  return kExitSuccess;
}
