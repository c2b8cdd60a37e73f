// ba-setup: a small host program that opens the module's setup sheet on a
// setup record kept in a file, over the production database that
// ZELBA_HOST_DB names.
//
//   ba-setup RECORD
//
// RECORD holds the record's bytes. A file that does not exist starts a new
// record (no variable bound, everything else zero). OK writes the record
// back (the whole file at once) and exits 0; Cancel leaves the file as it
// was and exits 1.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ba_engine.h"
#include "engine/output_files.h"
#include "setup/ba_setup.h"
#include "setup/new_record.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitFailed = 2;

constexpr const char* kUsage =
    "Usage: ba-setup RECORD\n"
    "Opens the Back Allocation Setup sheet on the setup record in the file RECORD,\n"
    "over the production database named by ZELBA_HOST_DB.\n"
    "OK saves the record (exit status 0); Cancel leaves the file as it was (1).\n"
    "A RECORD that does not exist starts a new record.\n";

// A new record: every binding unbound, every other byte zero.
std::vector<char> newRecord() {
  const BA_SETUP record = zelba::newSetupRecord();
  const char* bytes = reinterpret_cast<const char*>(&record);
  return std::vector<char>(bytes, bytes + sizeof record);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, argc == 2 ? stdout : stderr);
    return argc == 2 ? kExitOk : kExitFailed;
  }
  const std::string path = argv[1];
  std::vector<char> bytes;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (errno != ENOENT) {
      std::fprintf(stderr, "ba-setup: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
      return kExitFailed;
    }
    bytes = newRecord();
  } else {
    std::ostringstream text;
    text << in.rdbuf();
    const std::string read = text.str();
    if (in.bad()) {
      std::fprintf(stderr, "ba-setup: cannot read %s\n", path.c_str());
      return kExitFailed;
    }
    if (read.size() < sizeof(BA_SETUP)) {
      std::fprintf(stderr,
                   "ba-setup: %s is not a setup record: it has %zu bytes, a record at least %zu\n",
                   path.c_str(), read.size(), sizeof(BA_SETUP));
      return kExitFailed;
    }
    bytes.assign(read.begin(), read.end());
  }
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    std::fputs("ba-setup: the setup sheet needs a display; the record was not changed\n", stderr);
    return kExitFailed;
  }
  InitBaDLL();
  // The record is handed over in its own aligned storage; bytes a host keeps
  // after it stay in the file as they were.
  BA_SETUP record;
  std::memcpy(&record, bytes.data(), sizeof record);
  if (BaStart(&record) != 1) return kExitCancelled;
  std::memcpy(bytes.data(), &record, sizeof record);
  const std::string failure =
      zelba::writeWholeFile(zelba::diskFiles(), path, std::string_view(bytes.data(), bytes.size()));
  if (!failure.empty()) {
    std::fprintf(stderr, "ba-setup: the record was not saved to %s: %s\n", path.c_str(),
                 failure.c_str());
    return kExitFailed;
  }
  return kExitOk;
}
