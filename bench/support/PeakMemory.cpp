// The scan probe and the child process that runs it.
#include "PeakMemory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>

#include "BenchTables.h"

namespace bench {

namespace {

// The path of this program's executable. Running "/proc/self/exe" itself would start the
// wrong program under valgrind, which answers readlink with its client's path.
std::string OwnExecutable() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0) throw std::runtime_error("cannot find this program's executable");
  path.resize(static_cast<size_t>(length));
  return path;
}

// The peak resident set of this process image, in kB. getrusage's ru_maxrss would also
// count the resident set of the image that exec replaced, a forked copy of the benchmark.
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  throw std::runtime_error("no VmHWM in /proc/self/status");
}

// `text` as one word for the shell.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
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
    std::printf("records %lld peak_rss_kb %ld\n", static_cast<long long>(records), PeakResidentKb());
    return sink > 0 || records == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "scan probe: %s\n", error.what());
    return 1;
  }
}

int64_t PeakRssOfScan(const std::string& path) {
  const std::string command = ShellQuoted(OwnExecutable()) + " " + ShellQuoted(kScanProbeFlag + path);
  FILE* output = ::popen(command.c_str(), "r");
  if (output == nullptr) throw std::runtime_error("cannot start the scan probe");
  long long records = 0;
  long long peak_kb = 0;
  const int fields = std::fscanf(output, "records %lld peak_rss_kb %lld", &records, &peak_kb);
  const int status = ::pclose(output);
  if (fields != 2 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("scan probe failed on " + path);
  }
  return peak_kb;
}

}  // namespace bench
