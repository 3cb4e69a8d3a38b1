#include "TestConfiguration.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

TEST(TestConfiguration, FileNamesAndUsedEntries) {
  TestConfiguration config;
  EXPECT_EQ(config.table_file_name(), ".DBF");
  config.table_name = "xxxx.dbf";
  EXPECT_EQ(config.table_file_name(), "xxxx.dbf.DBF");
  EXPECT_TRUE(config.agr_entries().empty());
  config.agr_count = -1;
  EXPECT_TRUE(config.agr_entries().empty());
  config.sm_count = 31;
  EXPECT_EQ(config.sm_entries().size(), 30u);
}

}  // namespace
}  // namespace tarni
