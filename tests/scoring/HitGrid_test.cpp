#include "HitGrid.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarni {
namespace {

// First and last pixel of each column and row; the pixels around them lie on a bound.
constexpr std::pair<int, int> kColumns[] = {{22, 152}, {154, 283}, {285, 413}, {415, 545}, {547, 675}, {677, 782}};
constexpr std::pair<int, int> kRows[] = {{23, 135}, {137, 240}, {242, 345}, {347, 448}, {450, 551}};

TEST(HitGrid, EachCellEndsNextToItsBounds) {
  EXPECT_EQ(picture_at(100, 200), 7);
  EXPECT_EQ(picture_at(782, 551), 30);
  EXPECT_EQ(picture_at(10, 10), std::nullopt);
  for (int c = 0; c < 6; ++c) {
    for (const int x : {kColumns[c].first, kColumns[c].second}) EXPECT_EQ(picture_at(x, 100), c + 1);
    for (const int x : {kColumns[c].first - 1, kColumns[c].second + 1}) {
      EXPECT_EQ(picture_at(x, 100), std::nullopt) << x;
    }
  }
  for (int r = 0; r < 5; ++r) {
    for (const int y : {kRows[r].first, kRows[r].second}) EXPECT_EQ(picture_at(100, y), r * 6 + 1);
    for (const int y : {kRows[r].first - 1, kRows[r].second + 1}) {
      EXPECT_EQ(picture_at(100, y), std::nullopt) << y;
    }
  }
}

}  // namespace
}  // namespace tarni
