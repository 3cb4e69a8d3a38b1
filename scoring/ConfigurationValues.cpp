#include "ConfigurationValues.h"

#include <algorithm>

#include "IntegerConversion.h"
#include "LineValues.h"

namespace tarni {

namespace {

enum ConfigurationLine : size_t {
  kTestCodeLine = 1,
  kTemplateNameLine,
  kTableNameLine,
  kParamALine,
  kParamBLine,
  kAgrCountLine,
  kAgrListLine,
  kSmCountLine,
  kSmListLine,
};

// Plain values end at a space, lists at the "(" of their comment.
constexpr char separator_of(size_t line) { return line == kAgrListLine || line == kSmListLine ? '(' : ' '; }

// Cuts the values out of the lines in line order and tells the window about each one.
class ValueReader {
 public:
  ValueReader(const ConfigurationLines& lines, const LoadSteps& steps) : lines_(lines), steps_(steps) {}

  std::string text(ConfigurationLine line) const {
    std::string value = line_value(lines_.line(line), separator_of(line));
    if (steps_.value_read) steps_.value_read(line, value);
    return value;
  }

  int32_t integer(ConfigurationLine line) const { return to_integer(text(line)); }

  int32_t set_count(ConfigurationLine line) const { return std::min(integer(line), kSetCapacity); }

  // Entries are stored one by one, so a bad item leaves those before it in the set.
  void set(ConfigurationLine line, int32_t count, PictureSet& set) const {
    const std::string list_value = text(line);
    for (int32_t k = 1; k <= count; ++k) {
      set[k - 1] = to_integer(list_item(k, list_value));
    }
  }

  static void run(const std::function<void()>& step) {
    if (step) step();
  }

 private:
  const ConfigurationLines& lines_;
  const LoadSteps& steps_;
};

void check_table_name(const std::string& name) {
  const auto control = std::find_if(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
  if (control != name.end()) throw InvalidTableNameError(static_cast<unsigned char>(*control));
}

}  // namespace

InvalidTableNameError::InvalidTableNameError(unsigned char control_character)
    : std::runtime_error("Line " + std::to_string(kTableNameLine) +
                         ": the table name holds a control character (code " + std::to_string(control_character) +
                         ")") {}

void read_configuration_values(const ConfigurationLines& lines, TestConfiguration& config, const LoadSteps& steps) {
  const ValueReader read(lines, steps);
  config.test_code = read.text(kTestCodeLine);
  config.template_name = read.text(kTemplateNameLine);
  ValueReader::run(steps.template_named);
  config.table_name = read.text(kTableNameLine);
  check_table_name(config.table_name);
  ValueReader::run(steps.table_named);
  config.param_a = read.integer(kParamALine);
  config.param_b = read.integer(kParamBLine);
  config.agr_count = read.set_count(kAgrCountLine);
  read.set(kAgrListLine, config.agr_count, config.agr_set);
  config.sm_count = read.set_count(kSmCountLine);
  read.set(kSmListLine, config.sm_count, config.sm_set);
}

std::array<std::string, kValueLineCount> configuration_value_texts(const ConfigurationLines& lines) {
  std::array<std::string, kValueLineCount> texts;
  for (size_t line = 1; line <= kValueLineCount; ++line) {
    texts[line - 1] = line_value(lines.line(line), separator_of(line));
  }
  return texts;
}

}  // namespace tarni
