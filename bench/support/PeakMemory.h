// Peak resident memory of a full scan of one table. Each scan runs in a fresh process
// started from this program's own executable, so that the tables the benchmark made and
// the buffers it used before do not count.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// The argument that makes this program run the scan probe on the path that follows it.
inline constexpr const char* kScanProbeFlag = "--peak-rss-scan=";

// The probe itself: opens the table at `path`, reads every field of every record as
// text, closes it, and prints "records <n> peak_rss_kb <kB>". Returns the exit status.
int RunScanProbe(const std::string& path);

// Runs the probe on `path` in a child process and returns its peak resident set in kB.
// Throws std::runtime_error when the child fails.
int64_t PeakRssOfScan(const std::string& path);

}  // namespace bench
