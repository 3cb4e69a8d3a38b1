// The test configuration: which template the answers are clicked on, which results table
// receives the evaluated subjects, the parameters a and b and the picture sets AGR and SM.
// One record lives for the whole run; the configuration loader fills it and the evaluation
// reads it. Everything is zero or empty until the first load.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tarni {

// Each picture set has room for this many entries; a longer count is cut to it.
inline constexpr int32_t kSetCapacity = 30;

using PictureSet = std::array<int32_t, kSetCapacity>;

struct TestConfiguration {
  std::string test_code;
  std::string template_name;
  std::string table_name;
  int32_t param_a = 0;
  int32_t param_b = 0;
  int32_t agr_count = 0;
  PictureSet agr_set{};
  int32_t sm_count = 0;
  PictureSet sm_set{};

  // The configuration file chosen last, shared by the loader and the configuration
  // editor: a cancelled file dialog in either one falls back to it.
  std::string config_file_name;

  // The suffix is appended whatever the name holds, even ".bmp" or nothing at all.
  std::string template_file_name() const;
  std::string table_file_name() const;

  // The entries the evaluation counts: the first `agr_count` (`sm_count`) of the set,
  // none for a count of 0 or less, at most the set's capacity.
  std::span<const int32_t> agr_entries() const;
  std::span<const int32_t> sm_entries() const;
};

}  // namespace tarni
