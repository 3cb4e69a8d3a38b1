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

void TakeOwnOptions(int& argc, char** argv, const std::vector<TOwnOption>& options) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    std::string value;
    const auto own = std::find_if(options.begin(), options.end(),
                                  [&](const TOwnOption& option) { return TakeOption(argv[i], option.flag, value); });
    if (own == options.end()) {
      argv[kept++] = argv[i];
    } else {
      own->take(value);
    }
  }
  argc = kept;
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
