// Peak resident memory of work done in a fresh process: the benchmark starts its own
// executable as a probe, so that the tables it made and the buffers it used before do
// not count. The full scan of one table is the table benchmark's probe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// The argument that makes this program run the scan probe on the path that follows it.
inline constexpr const char* kScanProbeFlag = "--peak-rss-scan=";

// The probe itself: opens the table at `path`, reads every field of every record as
// text, closes it, and prints "records <n> peak_rss_kb <kB>". Returns the exit status.
int RunScanProbe(const std::string& path);

// Runs the probe on `path` in a child process and returns its peak resident set in kB.
// Throws std::runtime_error when the child fails.
int64_t PeakRssOfScan(const std::string& path);

// The peak resident set of this process image so far, in kB (VmHWM). getrusage's
// ru_maxrss would also count the image that exec replaced, a forked copy of the benchmark.
int64_t PeakResidentKb();

// Runs this program's own executable with `arguments` in a child process and returns
// what it printed. Throws std::runtime_error when the child cannot start or fails.
std::string RunOwnProbe(const std::vector<std::string>& arguments);

}  // namespace bench
