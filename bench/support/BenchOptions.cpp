// Parsing the benchmarks' shared options.
#include "BenchOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

namespace bench {

std::vector<int32_t> ParseSizes(const std::string& list) {
  std::vector<int32_t> sizes;
  for (size_t begin = 0; begin <= list.size();) {
    const size_t end = std::min(list.find(',', begin), list.size());
    sizes.push_back(static_cast<int32_t>(std::stol(list.substr(begin, end - begin))));
    begin = end + 1;
  }
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

bool TakeOption(const std::string& argument, const char* flag, std::string& value) {
  if (argument.rfind(flag, 0) != 0) return false;
  value = argument.substr(std::strlen(flag));
  return true;
}

int RunReportingErrors(const char* program, const std::function<int()>& run) {
  try {
    return run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    return 1;
  }
}

}  // namespace bench
