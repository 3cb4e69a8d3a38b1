// The scan probe and the child process that runs it.
#include "PeakMemory.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "BenchTables.h"

extern char** environ;

namespace bench {

namespace {

// Closes the descriptors of a pipe that are still open when it goes.
class TPipe {
 public:
  TPipe() {
    if (::pipe(ends_) != 0) throw std::runtime_error("pipe failed");
  }
  ~TPipe() {
    CloseReadEnd();
    CloseWriteEnd();
  }
  TPipe(const TPipe&) = delete;
  TPipe& operator=(const TPipe&) = delete;

  int ReadEnd() const { return ends_[0]; }
  int WriteEnd() const { return ends_[1]; }
  void CloseReadEnd() { Close(ends_[0]); }
  void CloseWriteEnd() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int ends_[2];
};

std::string ReadAll(int fd) {
  std::string text;
  char chunk[256];
  for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(got));
  return text;
}

// The path of this program's executable. Spawning "/proc/self/exe" itself would start the
// wrong program under valgrind, which answers readlink with its client's path.
std::string OwnExecutable() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) throw std::runtime_error("cannot find this program's executable");
  path.resize(static_cast<size_t>(length));
  return path;
}

pid_t SpawnProbe(const std::string& path, int output_fd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output_fd, STDOUT_FILENO);
  const std::string argument = std::string(kScanProbeFlag) + path;
  char program[] = "dbf_bench";
  char* const argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};
  pid_t child = -1;
  const int error = ::posix_spawn(&child, OwnExecutable().c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start the scan probe");
  return child;
}

}  // namespace

int RunScanProbe(const std::string& path) {
  try {
    std::unique_ptr<dbf::TDbf> table = TableOn(path);
    table->SetReadOnly(true);
    table->open();
    size_t sink = 0;
    const int64_t records = ScanAllFields(*table, sink);
    table->close();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("records %lld peak_rss_kb %ld\n", static_cast<long long>(records), usage.ru_maxrss);
    return sink > 0 || records == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "scan probe: %s\n", error.what());
    return 1;
  }
}

int64_t PeakRssOfScan(const std::string& path) {
  TPipe pipe;
  const pid_t child = SpawnProbe(path, pipe.WriteEnd());
  pipe.CloseWriteEnd();
  const std::string output = ReadAll(pipe.ReadEnd());
  int status = 0;
  ::waitpid(child, &status, 0);
  long long records = 0;
  long long peak_kb = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(output.c_str(), "records %lld peak_rss_kb %lld", &records, &peak_kb) != 2) {
    throw std::runtime_error("scan probe failed on " + path + ": " + output);
  }
  return peak_kb;
}

}  // namespace bench
