#include "HitGrid.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarni {
namespace {

TEST(HitGrid, CornersAndCellsOfTheGrid) {
  EXPECT_EQ(picture_at(22, 23), 1);
  EXPECT_EQ(picture_at(100, 200), 7);
  EXPECT_EQ(picture_at(782, 551), 30);
  EXPECT_EQ(picture_at(700, 30), 6);
  EXPECT_EQ(picture_at(30, 500), 25);
  EXPECT_EQ(picture_at(10, 10), std::nullopt);
}

// First and last pixel of each column and row; the pixels around them lie on a bound.
constexpr std::pair<int, int> kColumns[] = {{22, 152},  {154, 283}, {285, 413},
                                            {415, 545}, {547, 675}, {677, 782}};
constexpr std::pair<int, int> kRows[] = {{23, 135}, {137, 240}, {242, 345}, {347, 448}, {450, 551}};

TEST(HitGrid, EachCellEndsNextToItsBounds) {
  for (int c = 0; c < 6; ++c) {
    const auto [from, to] = kColumns[c];
    EXPECT_EQ(picture_at(from, 100), c + 1) << from;
    EXPECT_EQ(picture_at(to, 100), c + 1) << to;
    EXPECT_EQ(picture_at(from - 1, 100), std::nullopt) << from - 1;
    EXPECT_EQ(picture_at(to + 1, 100), std::nullopt) << to + 1;
  }
  for (int r = 0; r < 5; ++r) {
    const auto [from, to] = kRows[r];
    EXPECT_EQ(picture_at(100, from), r * 6 + 1) << from;
    EXPECT_EQ(picture_at(100, to), r * 6 + 1) << to;
    EXPECT_EQ(picture_at(100, from - 1), std::nullopt) << from - 1;
    EXPECT_EQ(picture_at(100, to + 1), std::nullopt) << to + 1;
  }
}

}  // namespace
}  // namespace tarni
