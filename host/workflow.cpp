#include "host/workflow.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>

#include "engine/output_files.h"
#include "host/host_database.h"
#include "host/input_writer.h"
#include "host/run_store.h"
#include "host/writeback.h"
#include "setup/record_text.h"

extern char** environ;

namespace zelba::hostapp {

namespace {

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Reads a whole file; false when it cannot be read.
bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  text = out.str();
  return !in.bad();
}

// What a file is on disk, so that a file the run did not write (the engine
// writes a new file and renames it over the old one) is not taken for its.
struct FileStamp {
  bool exists = false;
  ino_t inode = 0;
  timespec modified{};
  bool operator==(const FileStamp& o) const {
    return exists == o.exists && inode == o.inode && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
  }
};

FileStamp stampOf(const std::string& path) {
  FileStamp stamp;
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.inode = st.st_ino;
  stamp.modified = st.st_mtim;
  return stamp;
}

// Runs `program` with `args`, its standard output and error into files;
// returns its exit status, or -1 with `error` set when it could not run.
int runProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& outPath, const std::string& errPath, std::string& error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    error = "cannot run " + program + ": " + std::strerror(rc);
    return -1;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      error = "lost track of " + program + ": " + std::strerror(errno);
      return -1;
    }
  }
  if (!WIFEXITED(status)) {
    error = program + " ended abnormally";
    return -1;
  }
  return WEXITSTATUS(status);
}

// A folder of our own for the run's scratch files, removed with its files.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zelba-host-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    if (path_.empty()) return;
    for (const std::string& name : files_) ::unlink((path_ + "/" + name).c_str());
    ::rmdir(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  std::string file(const std::string& name) {
    files_.push_back(name);
    return path_ + "/" + name;
  }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

std::string firstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// The database step failed: a lock another program holds is said as such.
std::string databaseFailure(sqlite::Database& db, const std::string& reason) {
  const int code = db.handle() ? sqlite3_errcode(db.handle()) & 0xff : SQLITE_OK;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return lockedDatabaseText();
  return reason;
}

// The kinds of diagnostics the review counted, "3 factorOutOfRange" each.
std::vector<std::string> diagnosticCounts(const std::string& resultsJson) {
  std::vector<std::string> lines;
  const auto root = nlohmann::json::parse(resultsJson, nullptr, false);
  if (!root.is_object() || !root.contains("diagnosticCounts")) return lines;
  const auto& counts = root["diagnosticCounts"];
  if (!counts.is_object()) return lines;
  for (auto it = counts.begin(); it != counts.end(); ++it) {
    if (it.value().is_number_integer() && it.value().get<long long>() > 0) {
      lines.push_back(std::to_string(it.value().get<long long>()) + " " + it.key());
    }
  }
  return lines;
}

std::string periodText(int first, int last) {
  return std::to_string(first) + " to " + std::to_string(last);
}

// Sets a record's text field to `text`, which must fit.
template <size_t N>
bool setText(char (&field)[N], const std::string& text) {
  if (text.size() >= N) return false;
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size());
  return true;
}

class Run {
 public:
  Run(const RunRequest& request, const RunHooks& hooks) : request_(request), hooks_(hooks) {}
  RunOutcome go();

 private:
  void progress(int percent, const std::string& step) {
    if (hooks_.progress) hooks_.progress(percent, step);
  }
  bool cancelled() const { return hooks_.cancel && hooks_.cancel->load(); }
  RunOutcome refuse(const std::string& why) {
    out_.exitCode = kRunExitFailed;
    out_.message = why;
    return std::move(out_);
  }
  // Closes the audit row; a failure to do so is the run's failure.
  RunOutcome finish(const std::string& status, int exitCode, const std::string& message);
  bool review(const std::string& program);

  const RunRequest& request_;
  const RunHooks& hooks_;
  RunOutcome out_;
  sqlite::Database db_;
  ScratchFolder scratch_;
  std::string reportText_;
  std::string loadText_;
};

RunOutcome Run::finish(const std::string& status, int exitCode, const std::string& message) {
  out_.status = status;
  out_.exitCode = exitCode;
  out_.message = message;
  RunFinish f;
  f.status = status;
  f.hasEngineStatus = out_.engineRan;
  f.engineStatus = out_.engineStatus;
  std::string summary;
  for (const std::string& line : out_.summary) summary += line + "\n";
  f.summary = summary;
  f.reportText = reportText_;
  f.loadText = loadText_;
  f.rowsWritten = out_.rowsWritten;
  const std::string reason = finishRun(db_, out_.runId, f);
  if (!reason.empty()) {
    out_.exitCode = kRunExitOutputFailed;
    out_.message += "; the run's record could not be completed: " + databaseFailure(db_, reason);
  }
  progress(100, "Done");
  return std::move(out_);
}

bool Run::review(const std::string& program) {
  const std::string json = scratch_.file("results.json");
  const std::string table = scratch_.file("check.txt");
  const std::string errors = scratch_.file("check.err");
  std::string error;
  const int rc = runProgram(program, {"--check", "--quiet", "--json", json, out_.inputPath}, table,
                            errors, error);
  if (rc < 0) {
    out_.summary.push_back("not reviewed: " + error);
    return false;
  }
  if (rc != 0 && rc != kRunExitAttention) {
    std::string why;
    readFile(errors, why);
    out_.summary.push_back("not reviewed: " + firstLine(why));
    return false;
  }
  readFile(table, out_.diagnostics);
  readFile(json, out_.resultsJson);
  return true;
}

RunOutcome Run::go() {
  progress(0, "Opening the database");
  const std::string& path = request_.databasePath;
  {
    sqlite::Database probe;
    const std::string reason = hostdb::openForReading(probe, path, kWritebackWaitMs);
    if (!reason.empty()) {
      return refuse("cannot use the database '" + path +
                    "': " + (reason == "database is locked" ? lockedDatabaseText() : reason));
    }
  }
  std::string reason = db_.open(path, false);
  if (!reason.empty()) return refuse("cannot open the database '" + path + "': " + reason);
  db_.setBusyTimeout(kWritebackWaitMs);

  LoadedSetupRecord loaded = loadSetupRecord(db_, request_.setupName);
  if (!loaded.error.empty()) return refuse(databaseFailure(db_, loaded.error));
  ResolvedRecord resolved = resolvePaths(loaded.record, folderOf(path));
  if (!resolved.error.empty()) return refuse(resolved.error);
  const BA_SETUP& record = resolved.record;
  const std::string load = recordText(record.loadFilePath);
  if (record.writebackFlag == 1 && !(record.createLoadFile == 1 && !load.empty())) {
    return refuse(
        "the setup record '" + request_.setupName +
        "' says Writeback results but writes no load file: tick Create ZEL Load File and name "
        "the file");
  }

  progress(5, "Writing the input file");
  InputFileResult input = writeInputFile(db_, record, request_.firstDate, request_.lastDate);
  out_.unknownVariables = input.unknownVariables;
  out_.notes = input.notes;
  if (!input.error.empty()) {
    return refuse("the setup record '" + request_.setupName +
                  "' cannot be run: " + databaseFailure(db_, input.error));
  }
  out_.firstDate = input.firstDate;
  out_.lastDate = input.lastDate;
  if (!scratch_.ok()) return refuse("cannot make a folder for the run's scratch files");
  const std::string inputFile = recordText(record.inputFilePath);
  out_.inputPath =
      record.createInputFile == 1 && !inputFile.empty() ? inputFile : scratch_.file("input.ba");
  reason = writeWholeFile(diskFiles(), out_.inputPath, input.text);
  if (!reason.empty()) return refuse("the input file was not written: " + reason);
  if (record.createReport == 1 && record.htmlFlag != 1) {
    out_.reportPath = recordText(record.reportFilePath);
  }
  if (record.createLoadFile == 1) out_.loadPath = load;

  const std::string dir = request_.programDir.empty() ? programDirectory() : request_.programDir;
  const std::string program = dir + "/ba-engine";
  std::string engineVersion = "unknown";
  {
    std::string error, text;
    const std::string versionFile = scratch_.file("version.txt");
    if (runProgram(program, {"--version"}, versionFile, scratch_.file("version.err"), error) == 0 &&
        readFile(versionFile, text) && !firstLine(text).empty()) {
      engineVersion = firstLine(text);
    }
  }
  BegunRun begun = beginRun(db_, request_.setupName, loaded.record, out_.firstDate, out_.lastDate,
                            input.text, engineVersion);
  if (!begun.error.empty()) {
    return refuse("the run could not be recorded, so it was not started: " +
                  databaseFailure(db_, begun.error));
  }
  out_.runId = begun.id;
  for (const std::string& note : input.notes) out_.summary.push_back("left out: " + note);
  if (cancelled()) {
    out_.cancelled = true;
    return finish(kRunCancelled, kRunExitFailed, "cancelled before the allocation");
  }

  progress(15, "Allocating " + periodText(out_.firstDate, out_.lastDate) +
                   " (the engine cannot be interrupted)");
  const ModuleEntries& module = loadModule(dir);
  if (!module.error.empty()) {
    out_.summary.push_back("the module could not be loaded: " + module.error);
    return finish(kRunFailed, kRunExitFailed, "the module could not be loaded: " + module.error);
  }
  const FileStamp reportBefore = stampOf(out_.reportPath);
  const FileStamp loadBefore = stampOf(out_.loadPath);
  std::vector<char> inputArg(out_.inputPath.begin(), out_.inputPath.end());
  inputArg.push_back('\0');
  out_.engineStatus = module.baEngineStart(inputArg.data());
  out_.engineRan = true;
  out_.summary.insert(out_.summary.begin(),
                      "engine status " + std::to_string(out_.engineStatus) +
                          (out_.engineStatus == 1 ? " (succeeded)" : " (failed)"));

  progress(60, "Reviewing the run");
  const bool reviewed = review(program);
  const std::vector<std::string> counts = diagnosticCounts(out_.resultsJson);
  for (const std::string& line : counts) out_.summary.push_back(line);
  if (reviewed && counts.empty()) out_.summary.push_back("no diagnostics");
  if (out_.engineStatus != 1) {
    std::string why =
        "the allocation failed (engine status " + std::to_string(out_.engineStatus) + ")";
    if (!reviewed && out_.summary.size() > 1) why += ": " + out_.summary.back();
    return finish(kRunFailed, kRunExitFailed, why + "; nothing was written back");
  }

  std::vector<std::string> missing;
  const FileStamp reportAfter = stampOf(out_.reportPath);
  if (!out_.reportPath.empty()) {
    if (reportAfter.exists && !(reportAfter == reportBefore)) {
      readFile(out_.reportPath, reportText_);
    } else {
      missing.push_back("the report " + out_.reportPath);
    }
  }
  const FileStamp loadAfter = stampOf(out_.loadPath);
  if (!out_.loadPath.empty()) {
    if (loadAfter.exists && !(loadAfter == loadBefore)) {
      readFile(out_.loadPath, loadText_);
    } else {
      missing.push_back("the load file " + out_.loadPath);
    }
  }
  for (const std::string& m : missing) out_.summary.push_back("not written: " + m);
  if (cancelled()) {
    out_.cancelled = true;
    out_.summary.push_back("cancelled: nothing was written back");
    return finish(kRunCancelled, kRunExitFailed,
                  "cancelled after the allocation; nothing was written back");
  }
  if (record.writebackFlag == 1) {
    progress(80, "Writing back the allocated volumes");
    if (loadText_.empty()) {
      out_.summary.push_back("nothing was written back: the run wrote no load file");
      return finish(kRunFailed, kRunExitOutputFailed,
                    "the run wrote no load file " + out_.loadPath + "; nothing was written back");
    }
    const WritebackResult wb = writeBack(db_, record, loadText_, out_.firstDate, out_.lastDate,
                                         kWritebackWaitMs, out_.runId);
    if (!wb.error.empty()) {
      out_.summary.push_back("writeback refused: " + wb.error);
      return finish(kRunFailed, kRunExitOutputFailed, "the writeback was refused: " + wb.error);
    }
    out_.rowsWritten = wb.rowsWritten;
    out_.summary.push_back(std::to_string(wb.rowsWritten) + " rows written back");
  }
  std::string message = "run " + std::to_string(out_.runId) + " of '" + request_.setupName +
                        "' for " + periodText(out_.firstDate, out_.lastDate) + " allocated";
  if (record.writebackFlag == 1) {
    message += "; " + std::to_string(out_.rowsWritten) + " rows written back";
  }
  if (!missing.empty()) {
    return finish(kRunFailed, kRunExitOutputFailed, message + "; not written: " + missing.front());
  }
  const bool attention = !diagnosticCounts(out_.resultsJson).empty();
  return finish(kRunSucceeded, request_.strict && attention ? kRunExitAttention : kRunExitSuccess,
                message);
}

}  // namespace

const ModuleEntries& loadModule(const std::string& directory) {
  static ModuleEntries entries;
  static std::once_flag once;
  std::call_once(once, [&directory] {
    const std::string path = directory + "/libZelBA.so";
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = ::dlerror();
      entries.error = why ? why : "cannot load " + path;
      return;
    }
    entries.initBaDLL = reinterpret_cast<void (*)()>(::dlsym(handle, "InitBaDLL"));
    entries.baEngineStart = reinterpret_cast<int (*)(char*)>(::dlsym(handle, "BaEngineStart"));
    entries.baStart = reinterpret_cast<int (*)(BA_SETUP*)>(::dlsym(handle, "BaStart"));
    entries.baEnd = reinterpret_cast<void (*)()>(::dlsym(handle, "BAEnd"));
    if (!entries.initBaDLL || !entries.baEngineStart || !entries.baStart) {
      entries.error = path + " is not the allocation module: an entry is missing";
      return;
    }
    entries.initBaDLL();
  });
  return entries;
}

std::string programDirectory() {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return ".";
  return folderOf(std::string(buffer.data(), static_cast<size_t>(n)));
}

ResolvedRecord resolvePaths(const BA_SETUP& record, const std::string& folder) {
  ResolvedRecord resolved;
  resolved.record = record;
  struct Path {
    char (*field)[128];
    const char* what;
  };
  BA_SETUP& r = resolved.record;
  for (const Path& p : {Path{&r.reportFilePath, "report"}, Path{&r.loadFilePath, "load file"},
                        Path{&r.inputFilePath, "input file"}}) {
    const std::string name = recordText(*p.field);
    if (name.empty() || name.front() == '/') continue;
    const std::string full = folder + "/" + name;
    if (!setText(*p.field, full)) {
      resolved.error = "the " + std::string(p.what) + " " + full + " is longer than " +
                       std::to_string(sizeof(r.reportFilePath) - 1) +
                       " characters, more than the setup record holds; give an absolute path";
      return resolved;
    }
  }
  return resolved;
}

int parseDateArgument(const std::string& text) {
  std::string digits;
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    digits = text.substr(0, 4) + text.substr(5, 2) + text.substr(8, 2);
  } else {
    digits = text;
  }
  if (digits.size() != 8) return 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
  }
  return std::atoi(digits.c_str());
}

RunOutcome runAllocation(const RunRequest& request, const RunHooks& hooks) {
  static std::atomic<bool> busy{false};
  if (busy.exchange(true)) {
    RunOutcome out;
    out.message = "another run is in progress; one run goes at a time";
    return out;
  }
  struct Release {
    ~Release() { busy = false; }
  } release;
  Run run(request, hooks);
  return run.go();
}

std::string lockedDatabaseText() {
  return "the database is locked by another program (waited " +
         std::to_string(kWritebackWaitMs / 1000) + " s)";
}

}  // namespace zelba::hostapp
