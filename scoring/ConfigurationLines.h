// A configuration text taken apart into its lines, numbered from 0. Lines end with
// CR LF, CR or LF, so files from any system read alike; the one place that knows the
// three line breaks, also for the text put together again with one break of choice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarni {

// Every line break ends a line, so a text ending with a break has an empty last line and
// joining the lines with one break each gives the text back.
std::vector<std::string> split_lines(std::string_view text);

// The text with every line break (CR LF, CR or LF) replaced by `line_break`; nothing is
// added at the end.
std::string with_line_breaks(std::string_view text, std::string_view line_break);

class ConfigurationLines {
 public:
  explicit ConfigurationLines(std::string_view text);

  // A line the text does not have reads as empty, like an empty line.
  std::string_view line(size_t k) const;

 private:
  std::vector<std::string> lines_;
};

}  // namespace tarni
