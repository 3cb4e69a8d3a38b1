#include "ConfigurationValues.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "IntegerConversion.h"

namespace tarni {
namespace {

std::string spaces(size_t count) { return std::string(count, ' '); }

// The sample configuration that the configuration editor offers for a new file.
std::vector<std::string> sample_lines() {
  return {"Konfig. soubor:",
          "1\t" + spaces(18) + "(TEST = kod prislusneho Tarniho testu)",
          "Tarni_1" + spaces(24) + "(jmeno BMP p\xC5\x99\x65\x64lohy)",
          "xxxx" + spaces(27) + "(jmeno v\xC3\xBDstupn\xC3\xAD databaze osob )\t",
          "10" + spaces(30) + "(parametr a)",
          "10" + spaces(30) + "(parametr b)",
          "4" + spaces(32) + "(po\xC4\x8D\x65t polozek v mnozine AGR)",
          "9,21,24,25," + spaces(16) + "(cisla obrazku v mnozine AGR",
          "4" + spaces(32) + "(pocet polozek v mnozine SM) (muze byt i 0)",
          "6,7,18,29," + spaces(18) + "(cisla polozek v mnozine SM)",
          "",
          "",
          " "};
}

ConfigurationLines text_of(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\r\n";
  }
  return ConfigurationLines(text);
}

TEST(ConfigurationValues, SampleLoadsWithTemplateAndTableStepsInOrder) {
  TestConfiguration config;
  std::vector<std::string> steps;
  LoadSteps load_steps;
  load_steps.template_named = [&] { steps.push_back(config.template_file_name() + config.table_name); };
  load_steps.table_named = [&] { steps.push_back(config.table_file_name() + std::to_string(config.param_a)); };
  read_configuration_values(text_of(sample_lines()), config, load_steps);
  EXPECT_EQ(steps, (std::vector<std::string>{"Tarni_1.BMP", "xxxx.DBF0"}));
  EXPECT_EQ(config.test_code, "1\t");
  EXPECT_EQ(std::make_pair(config.param_a, config.param_b), std::make_pair(10, 10));
  const std::vector<int32_t> agr(config.agr_entries().begin(), config.agr_entries().end());
  const std::vector<int32_t> sm(config.sm_entries().begin(), config.sm_entries().end());
  EXPECT_EQ(agr, (std::vector<int32_t>{9, 21, 24, 25}));
  EXPECT_EQ(sm, (std::vector<int32_t>{6, 7, 18, 29}));
}

TEST(ConfigurationValues, ConversionErrorEndsLoadKeepingEarlierValues) {
  TestConfiguration config;
  config.sm_count = 7;
  std::vector<std::string> lines = sample_lines();
  lines[6] = "5 (AGR)";  // the trailing comma makes the fifth item empty
  try {
    read_configuration_values(text_of(lines), config);
    FAIL() << "loaded";
  } catch (const InvalidIntegerError& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid integer value");
  }
  EXPECT_EQ(config.agr_set[3], 25);
  EXPECT_EQ(std::make_pair(config.agr_count, config.sm_count), std::make_pair(5, 7));

  lines[4] = "10";  // no separator after the value
  EXPECT_THROW(read_configuration_values(text_of(lines), config), InvalidIntegerError);
  lines[4] = "x10 (parametr a)";
  config.param_a = 3;
  EXPECT_THROW(read_configuration_values(text_of(lines), config), InvalidIntegerError);
  EXPECT_EQ(config.param_a, 3);
}

TEST(ConfigurationValues, EachValueIsReportedAsTheLoadReachesItAndNotAfterAFailure) {
  std::vector<std::string> lines = sample_lines();
  lines[8] = "x (SM count)";
  std::vector<std::pair<size_t, std::string>> reported;
  TestConfiguration config;
  const LoadSteps steps{[&] { reported.emplace_back(0, "template"); }, [&] { reported.emplace_back(0, "table"); },
                        [&](size_t line, const std::string& value) { reported.emplace_back(line, value); }};
  EXPECT_THROW(read_configuration_values(text_of(lines), config, steps), InvalidIntegerError);
  const std::vector<std::pair<size_t, std::string>> expected = {
      {1, "1\t"},  {2, "Tarni_1"}, {0, "template"},
      {3, "xxxx"}, {0, "table"},   {4, "10"},
      {5, "10"},   {6, "4"},       {7, "9,21,24,25," + spaces(16)},
      {8, "x"}};
  EXPECT_EQ(reported, expected);
}

TEST(ConfigurationValues, CountsAboveCapacityAreCutAndEmptySmAllowed) {
  TestConfiguration config;
  std::vector<std::string> lines = sample_lines();
  lines[6] = "31 (AGR)";
  lines[7] = "9 (a list without commas repeats its only item)";
  lines[8] = "0 (SM)";
  lines[9] = "anything";
  read_configuration_values(text_of(lines), config);
  EXPECT_EQ(config.agr_count, 30);
  EXPECT_EQ(config.agr_set[29], 9);
  EXPECT_TRUE(config.sm_entries().empty());
}

}  // namespace
}  // namespace tarni
