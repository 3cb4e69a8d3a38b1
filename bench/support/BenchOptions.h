// The command-line options the benchmark programs share, taken out of argv before Google
// Benchmark (or nobody) reads the rest.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// "10000,1000000" as record counts, smallest first.
std::vector<int32_t> ParseSizes(const std::string& list);

// When `argument` begins with `flag` ("--sizes="), puts the rest into `value` and returns true.
bool TakeOption(const std::string& argument, const char* flag, std::string& value);

// A program's own option: its flag ("--sizes=") and what to do with the value after it.
struct TOwnOption {
  const char* flag;
  std::function<void(const std::string& value)> take;
};

// Takes the program's own options out of argv, leaving the others (Google Benchmark's).
void TakeOwnOptions(int& argc, char** argv, const std::vector<TOwnOption>& options);

// Runs a benchmark program's `run` and returns its exit status; an exception it throws is
// printed after the program's name and gives status 1.
int RunReportingErrors(const char* program, const std::function<int()>& run);

}  // namespace bench
