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
constexpr char kValueSeparator = ' ';
constexpr char kListSeparator = '(';

std::string text_value(const ConfigurationLines& lines, ConfigurationLine line) {
  return line_value(lines.line(line), kValueSeparator);
}

int32_t integer_value(const ConfigurationLines& lines, ConfigurationLine line) {
  return to_integer(text_value(lines, line));
}

void read_set_count(const ConfigurationLines& lines, ConfigurationLine line, int32_t& count) {
  count = std::min(integer_value(lines, line), kSetCapacity);
}

// Entries are stored one by one, so a bad item leaves those before it in the set.
void read_set(const ConfigurationLines& lines, ConfigurationLine line, int32_t count,
              PictureSet& set) {
  const std::string list_value = line_value(lines.line(line), kListSeparator);
  for (int32_t k = 1; k <= count; ++k) {
    set[k - 1] = to_integer(list_item(k, list_value));
  }
}

void run(const std::function<void()>& step) {
  if (step) {
    step();
  }
}

}  // namespace

void read_configuration_values(const ConfigurationLines& lines, TestConfiguration& config,
                               const LoadSteps& steps) {
  config.test_code = text_value(lines, kTestCodeLine);
  config.template_name = text_value(lines, kTemplateNameLine);
  run(steps.template_named);
  config.table_name = text_value(lines, kTableNameLine);
  run(steps.table_named);
  config.param_a = integer_value(lines, kParamALine);
  config.param_b = integer_value(lines, kParamBLine);
  read_set_count(lines, kAgrCountLine, config.agr_count);
  read_set(lines, kAgrListLine, config.agr_count, config.agr_set);
  read_set_count(lines, kSmCountLine, config.sm_count);
  read_set(lines, kSmListLine, config.sm_count, config.sm_set);
}

}  // namespace tarni
