#include "Evaluation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>

#include "PictureClick.h"

namespace tarni {
namespace {

// Pictures clicked in order; 0 presses the error button.
AnswerList answers(std::initializer_list<int> pictures) {
  AnswerList list;
  for (const int p : pictures) {
    if (p == 0) {
      list.record_error();
    } else {
      click_picture(list, p);
    }
  }
  return list;
}

TestConfiguration sets(int32_t param_a, std::initializer_list<int32_t> agr, int32_t param_b,
                       std::initializer_list<int32_t> sm) {
  TestConfiguration config;
  config.param_a = param_a;
  config.param_b = param_b;
  config.agr_count = static_cast<int32_t>(agr.size());
  config.sm_count = static_cast<int32_t>(sm.size());
  std::copy(agr.begin(), agr.end(), config.agr_set.begin());
  std::copy(sm.begin(), sm.end(), config.sm_set.begin());
  return config;
}

// The six results in one value that gtest can compare and print.
auto all_of(const EvaluationResults& r) {
  return std::make_tuple(r.correct_count, r.error_count, r.agr_sum, r.sm_sum, r.agr_ratio_text, r.sm_ratio_text);
}

TEST(Evaluation, NothingEnteredGivesZeros) {
  EXPECT_EQ(all_of(vyhodnoceni(AnswerList(), sets(10, {9, 21, 24, 25}, 10, {6}))), all_of({0, 0, 0, 0, "0", "0"}));
}

TEST(Evaluation, ItemsBeforeParamCountTowardsTheSums) {
  // Items 1..10; AGR pictures at items 1, 5, 9 and 10; the repeated 9 is an error.
  const AnswerList list = answers({9, 2, 3, 4, 21, 6, 7, 8, 24, 25, 9});
  EXPECT_EQ(list.answer_number(11), kErrorAnswer);
  const TestConfiguration config = sets(10, {9, 21, 24, 25}, 10, {6, 7, 18, 29});
  EXPECT_EQ(all_of(vyhodnoceni(list, config)), all_of({10, 1, 3, 2, " 0.30", " 0.20"}));

  const std::pair<int32_t, int32_t> param_and_sum[] = {{0, 0}, {1, 0}, {2, 1}, {10, 3}, {11, 4}, {31, 4}};
  for (const auto& [param_a, agr_sum] : param_and_sum) {
    EXPECT_EQ(vyhodnoceni(list, sets(param_a, {9, 21, 24, 25}, 0, {})).agr_sum, agr_sum) << param_a;
  }
}

TEST(Evaluation, SetEntriesCountAsTheyStand) {
  const AnswerList list = answers({9, 9, 0});
  // AGR: 9 twice against item 1, 0 against both errors; SM: 99 against every unanswered item.
  EXPECT_EQ(all_of(vyhodnoceni(list, sets(31, {9, 9, 0}, 31, {99}))), all_of({1, 2, 4, 27, " 4.00", "27.00"}));
  EXPECT_EQ(vyhodnoceni(AnswerList(), sets(31, {99}, 0, {})).agr_ratio_text, "0");
}

TEST(Evaluation, RatioTextsRoundHalfAwayFromZeroOnTheDecimals) {
  const struct {
    int32_t sum, count;
    const char* text;
  } cases[] = {{1, 8, " 0.13"},    {3, 8, " 0.38"},    {5, 8, " 0.63"},  {7, 8, " 0.88"},  {1, 3, " 0.33"},
               {2, 3, " 0.67"},    {1, 1, " 1.00"},    {5, 40, " 0.13"}, {3, 40, " 0.08"}, {0, 8, " 0.00"},
               {900, 9, "100.00"}, {900, 1, "900.00"}, {10, 0, "0"},     {10, -1, "0"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ratio_text(c.sum, c.count), c.text) << c.sum << "/" << c.count;
  }
}

}  // namespace
}  // namespace tarni
