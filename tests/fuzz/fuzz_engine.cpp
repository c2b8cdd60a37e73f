// libFuzzer target: one complete engine run on the fuzz input as the input
// file. Outputs are kept in memory (an input can name any output path; the
// fuzzer never writes real files). A run must end with status 1 or -1 and
// print no NaN or infinity in any output; crashes, sanitizer reports, hangs
// and runs of more than 2 GB are found by libFuzzer itself (the Makefile's
// -timeout and -rss_limit_mb=2048).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/driver.h"
#include "engine/output_files.h"
#include "tests/fuzz/non_finite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A state of its own per input, so that a finding reproduces from its input alone.
  zelba::RunState rs;
  zelba::MemoryFiles files;
  zelba::RunOptions options;
  options.files = &files;
  // Fuzzing looks for crashes and bad values, not for results: a bound on the
  // nodal solutions keeps a slow input from passing for a hang.
  options.nodalTraverseBudget = 100;
  const int status = zelba::runEngineOnText(rs, text, nullptr, options);
  if (status != 1 && status != -1) {
    std::fprintf(stderr, "fuzz_engine: run returned status %d\n", status);
    std::abort();
  }
  for (const auto& [path, output] : files.files()) {
    const size_t at = zelba::fuzz::findNonFinite(output, text);
    if (at != std::string::npos) {
      std::fprintf(stderr, "fuzz_engine: output \"%s\" prints a non-finite number at %zu:\n%s\n",
                   path.c_str(), at, zelba::fuzz::contextAt(output, at).c_str());
      std::abort();
    }
  }
  return 0;
}
