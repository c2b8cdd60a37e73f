// ba-engine: runs one back allocation on an input file through the module's
// exported entry, and explains a failed run in one plain line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/ba_engine.h"
#include "engine/driver.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitUsage = 2;

void printUsage(std::FILE* to) {
  std::fprintf(to,
               "Usage: ba-engine INPUT\n"
               "Runs one back allocation on the input file INPUT and writes the outputs\n"
               "that its #control section names.\n"
               "\n"
               "  --trace-fit  write the trace file shit.out of every gas curve fit into the\n"
               "               current directory\n"
               "  --help       show this help and exit\n"
               "  --version    show the version and exit\n"
               "\n"
               "Exit status: 0 when the run succeeded, 1 when it failed, 2 for a usage error.\n");
}

// Why a run returned -1, in the user's terms.
std::string failureReason(const std::string& input, const zelba::RunSummary& summary) {
  if (!summary.inputOpened) return "cannot open the input file '" + input + "'";
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

}  // namespace

int main(int argc, char** argv) {
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
      setenv("ZELBA_TRACE_FIT", "1", 1);
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

  std::string path = inputs.front();
  const int status = BaEngineStart(path.data());
  if (status == 1) return kExitSuccess;
  std::fprintf(stderr, "ba-engine: %s\n", failureReason(path, zelba::lastRunSummary()).c_str());
  return kExitRunFailed;
}
