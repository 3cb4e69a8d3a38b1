#include "Evaluation.h"

#include <algorithm>
#include <cstdio>
#include <span>

namespace tarni {

namespace {

constexpr int kRatioWidth = 5;

int32_t matches(std::span<const int32_t> entries, int32_t answer) {
  return static_cast<int32_t>(std::count(entries.begin(), entries.end(), answer));
}

bool is_picture(int32_t answer) { return answer >= 1 && answer <= kItemLimit; }

// Hundredths of sum / count, the half rounded up. Integer arithmetic keeps the ties
// exact: binary floating point holds 0.125 exactly but 0.075 only approximately, and
// would round the two apart.
// REQUIRES: sum >= 0, count > 0.
int64_t rounded_hundredths(int64_t sum, int64_t count) { return (sum * 200 + count) / (2 * count); }

}  // namespace

EvaluationResults vyhodnoceni(const AnswerList& answers, const TestConfiguration& config) {
  EvaluationResults results;
  for (int32_t k = 1; k <= kItemLimit; ++k) {
    const int32_t answer = answers.answer_number(k);
    if (k < config.param_a) {
      results.agr_sum += matches(config.agr_entries(), answer);
    }
    if (k < config.param_b) {
      results.sm_sum += matches(config.sm_entries(), answer);
    }
    results.error_count += answer == kErrorAnswer;
    results.correct_count += is_picture(answer);
  }
  results.agr_ratio_text = ratio_text(results.agr_sum, results.correct_count);
  results.sm_ratio_text = ratio_text(results.sm_sum, results.correct_count);
  return results;
}

std::string ratio_text(int32_t sum, int32_t correct_count) {
  if (correct_count <= 0) {
    return "0";
  }
  const int64_t hundredths = rounded_hundredths(sum, correct_count);
  // The whole part takes what the decimals leave of the width, and more when it needs it.
  char text[32];
  std::snprintf(text, sizeof text, "%*lld.%02lld", kRatioWidth - 3, static_cast<long long>(hundredths / 100),
                static_cast<long long>(hundredths % 100));
  return text;
}

}  // namespace tarni
