// CSV records as dbftool writes them: a field is quoted when it holds a separator, a quote
// or a line end wherever it stands in the field, and only then.
#include "CsvText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace dbftool {
namespace {

std::string Record(const std::vector<std::string_view>& fields) {
  std::string text;
  AppendCsvRecord(text, fields);
  return text;
}

TEST(CsvText, FieldsAreQuotedForTheirSpecialCharactersAtAnyPlace) {
  for (const char special : {',', '"', '\r', '\n'}) {
    for (size_t at = 0; at < 19; ++at) {
      SCOPED_TRACE(std::to_string(static_cast<int>(special)) + " at " + std::to_string(at));
      std::string field(19, 'x');
      field[at] = special;
      std::string quoted = field;
      if (special == '"') quoted.insert(at, 1, '"');
      EXPECT_EQ(Record({field, "y"}), "\"" + quoted + "\",y\r\n");
    }
  }
}

TEST(CsvText, OtherCharactersLeaveAFieldPlain) {
  // The bytes around the separator, blanks, control characters other than line ends and
  // the bytes of UTF-8 characters.
  const std::string others = "+-. \t\x01\x7F Žluťoučký kůň |0|30|29|";
  EXPECT_EQ(Record({others, others.substr(0, 9)}), others + "," + others.substr(0, 9) + "\r\n");
  EXPECT_EQ(Record({"", ""}), ",\r\n");
  EXPECT_EQ(Record({""}), "\"\"\r\n") << "a lone empty field is no blank line";
}

}  // namespace
}  // namespace dbftool
