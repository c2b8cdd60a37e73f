// measure: runs a program and reports its wall time and peak resident memory,
// taken from the child's own resource usage (wait4), so the figures do not
// depend on an external timing tool.
//
//   measure PROGRAM [ARGUMENTS...]
//
// Prints one line to stderr after the program ends:
//   measure: exit CODE wall SECONDS user SECONDS sys SECONDS maxrss_kb KB
// and exits with the program's exit code (125 when it could not be started,
// 128 + signal when it was killed by a signal).
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

double seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: measure PROGRAM [ARGUMENTS...]\n");
    return 125;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("measure: fork");
    return 125;
  }
  if (child == 0) {
    execvp(argv[1], argv + 1);
    std::perror("measure: exec");
    _exit(125);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) {
    std::perror("measure: wait4");
    return 125;
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int code = 125;
  if (WIFEXITED(status)) code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) code = 128 + WTERMSIG(status);
  // ru_maxrss is in kilobytes on Linux.
  std::fprintf(stderr, "measure: exit %d wall %.3f user %.3f sys %.3f maxrss_kb %ld\n", code, wall,
               seconds(usage.ru_utime), seconds(usage.ru_stime), usage.ru_maxrss);
  return code;
}
