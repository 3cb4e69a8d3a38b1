// Child processes that run this program as a probe, their peak memory, and the scan probe.
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

// `text` as one word for the shell.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

int64_t PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  throw std::runtime_error("no VmHWM in /proc/self/status");
}

std::string RunOwnProbe(const std::vector<std::string>& arguments) {
  std::string command = ShellQuoted(OwnExecutable());
  for (const std::string& argument : arguments) command.append(" ").append(ShellQuoted(argument));
  FILE* output = ::popen(command.c_str(), "r");
  if (output == nullptr) throw std::runtime_error("cannot start the probe: " + command);
  std::string printed;
  char chunk[4096];
  for (size_t count; (count = std::fread(chunk, 1, sizeof chunk, output)) > 0;) printed.append(chunk, count);
  const int status = ::pclose(output);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("the probe failed: " + command);
  return printed;
}

int RunScanProbe(const std::string& path) {
  try {
    std::unique_ptr<dbf::TDbf> table = TableOn(path);
    table->SetReadOnly(true);
    table->open();
    size_t sink = 0;
    const int64_t records = ScanAllFields(*table, sink);
    table->close();
    std::printf("records %lld peak_rss_kb %lld\n", static_cast<long long>(records),
                static_cast<long long>(PeakResidentKb()));
    return sink > 0 || records == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "scan probe: %s\n", error.what());
    return 1;
  }
}

int64_t PeakRssOfScan(const std::string& path) {
  const std::string printed = RunOwnProbe({kScanProbeFlag + path});
  long long records = 0;
  long long peak_kb = 0;
  if (std::sscanf(printed.c_str(), "records %lld peak_rss_kb %lld", &records, &peak_kb) != 2) {
    throw std::runtime_error("scan probe failed on " + path);
  }
  return peak_kb;
}

}  // namespace bench
