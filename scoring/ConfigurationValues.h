// Reading the test configuration out of the lines of a configuration file. Each value
// stands on a fixed line (line 0 is a heading): 1 test code, 2 template name, 3 results
// table name, 4 parameter a, 5 parameter b, 6 AGR count, 7 AGR list, 8 SM count, 9 SM list.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>

#include "ConfigurationLines.h"
#include "TestConfiguration.h"

namespace tarni {

// The window's own steps of a load. `value_read` runs for each of the lines 1 to 9 as soon
// as its value text has been cut out, before that text is converted or used, so a display
// of the values follows the load line by line and stops where the load stops.
// `template_named` and `table_named` run as soon as their names have been read: loading
// the template bitmap and opening the results table. An exception from any step ends the
// load there, so the values of the later lines are not touched.
struct LoadSteps {
  std::function<void()> template_named;
  std::function<void()> table_named;
  std::function<void(size_t line, const std::string& value)> value_read;
};

// Raised for a table name holding NUL or another control character, which would name
// another file than the one shown (the name ends at a NUL on its way to the system).
class InvalidTableNameError : public std::runtime_error {
 public:
  explicit InvalidTableNameError(unsigned char control_character);
};

// Reads the lines into `config` in line order. A value that is not an integer raises
// InvalidIntegerError, a table name with a control character InvalidTableNameError
// before the table step runs; either ends the load: the values read before it stay, the
// later ones keep what they held. A set count above the set's capacity is cut to it.
void read_configuration_values(const ConfigurationLines& lines, TestConfiguration& config, const LoadSteps& steps = {});

// The values stand on lines 1 to 9.
inline constexpr size_t kValueLineCount = 9;

// The value texts of lines 1 to 9 as the load cuts them out, before any conversion
// (element k - 1 for line k): what the configuration editor shows as its test display.
std::array<std::string, kValueLineCount> configuration_value_texts(const ConfigurationLines& lines);

}  // namespace tarni
