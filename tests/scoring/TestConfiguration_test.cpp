#include "TestConfiguration.h"

#include <gtest/gtest.h>

namespace tarni {
namespace {

TEST(TestConfiguration, FileNamesAlwaysGetTheirSuffix) {
  TestConfiguration config;
  EXPECT_EQ(config.table_file_name(), ".DBF");
  config.table_name = "xxxx.dbf";
  config.template_name = "Tarni_1";
  EXPECT_EQ(config.table_file_name(), "xxxx.dbf.DBF");
  EXPECT_EQ(config.template_file_name(), "Tarni_1.BMP");
}

TEST(TestConfiguration, UsedEntriesFollowTheCountWithinCapacity) {
  TestConfiguration config;
  EXPECT_TRUE(config.agr_entries().empty());
  config.agr_set[0] = 9;
  config.agr_count = -1;
  EXPECT_TRUE(config.agr_entries().empty());
  config.agr_count = 1;
  EXPECT_EQ(config.agr_entries().size(), 1u);
  EXPECT_EQ(config.agr_entries()[0], 9);
  config.sm_count = 31;
  EXPECT_EQ(config.sm_entries().size(), 30u);
}

}  // namespace
}  // namespace tarni
