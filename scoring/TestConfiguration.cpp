#include "TestConfiguration.h"

#include <algorithm>

namespace tarni {

namespace {

std::span<const int32_t> used_entries(const PictureSet& set, int32_t count) {
  return std::span<const int32_t>(set).first(std::clamp(count, 0, kSetCapacity));
}

}  // namespace

std::string TestConfiguration::template_file_name() const { return template_name + ".BMP"; }

std::string TestConfiguration::table_file_name() const { return table_name + ".DBF"; }

std::span<const int32_t> TestConfiguration::agr_entries() const { return used_entries(agr_set, agr_count); }

std::span<const int32_t> TestConfiguration::sm_entries() const { return used_entries(sm_set, sm_count); }

}  // namespace tarni
