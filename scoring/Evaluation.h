// The evaluation of one subject: how many items were answered with a picture and how many
// were errors, how many of the early items fall into the picture sets AGR and SM, and the
// ratios of those two sums to the number of answered items.
#pragma once

#include <cstdint>
#include <string>

#include "AnswerList.h"
#include "TestConfiguration.h"

namespace tarni {

struct EvaluationResults {
  int32_t correct_count = 0;
  int32_t error_count = 0;
  int32_t agr_sum = 0;
  int32_t sm_sum = 0;
  std::string agr_ratio_text;
  std::string sm_ratio_text;
};

// Scans all 30 items whatever the item count; unanswered items count nowhere. Items 1 to
// param_a - 1 count towards the AGR sum and items 1 to param_b - 1 towards the SM sum, each
// match with a used set entry once, so an entry that stands twice counts twice.
EvaluationResults vyhodnoceni(const AnswerList& answers, const TestConfiguration& config);

// `sum` / `correct_count` with two decimals, right-aligned in 5 characters (" 0.13"), the
// second decimal rounded half away from zero on the exact quotient; a quotient of 100 or
// more is kept whole. "0" when nothing was answered, instead of a division.
// REQUIRES: sum >= 0 (it counts matches).
std::string ratio_text(int32_t sum, int32_t correct_count);

}  // namespace tarni
