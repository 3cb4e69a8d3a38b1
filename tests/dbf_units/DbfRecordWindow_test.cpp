// The record window's buffer moves: where a fetched record lands, which record leaves a
// full window, how the active row follows, and that the buffer the table cursor stands
// on is tracked through every shift.
#include "DbfRecordWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace dbf {
namespace {

class RecordWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.Allocate(3, 4); }

  // Fetches record `number` into the spare buffer, as the dataset does.
  TRecordBuffer& Fetched(int32_t number) {
    window_.Spare().record_number = number;
    return window_.Spare();
  }
  std::vector<int32_t> Numbers() const {
    std::vector<int32_t> numbers;
    for (int i = 0; i < window_.Count(); ++i) numbers.push_back(window_.At(i).record_number);
    return numbers;
  }

  TRecordWindow window_;
};

TEST_F(RecordWindowTest, FillsForwardThenShiftsTheFirstOut) {
  EXPECT_TRUE(window_.Empty());
  EXPECT_EQ(window_.Active(), nullptr);
  for (int32_t number = 1; number <= 3; ++number) {
    Fetched(number);
    EXPECT_FALSE(window_.PlaceSpareLast());
  }
  EXPECT_TRUE(window_.Full());
  window_.SetActiveIndex(2);
  Fetched(4);
  EXPECT_TRUE(window_.PlaceSpareLast());
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(window_.Active()->record_number, 4) << "the active index stays on the last row";
  EXPECT_EQ(window_.Spare().record.size(), 4u) << "the buffer that left is the new spare";
}

TEST_F(RecordWindowTest, PriorRecordsPushTheActiveRowDown) {
  Fetched(5);
  window_.PlaceSpareLast();
  Fetched(4);
  EXPECT_FALSE(window_.PlaceSpareFirst());
  EXPECT_EQ(window_.ActiveIndex(), 1) << "the active record moved down with its row";
  Fetched(3);
  window_.PlaceSpareFirst();
  Fetched(2);
  EXPECT_TRUE(window_.PlaceSpareFirst());
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(window_.ActiveIndex(), 2) << "a shift of a full window keeps the index";
}

TEST_F(RecordWindowTest, InsertionAtTheActiveRow) {
  for (int32_t number = 1; number <= 2; ++number) {
    Fetched(number);
    window_.PlaceSpareLast();
  }
  window_.SetActiveIndex(1);
  Fetched(-1);
  EXPECT_FALSE(window_.PlaceSpareAtActive());
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{1, -1, 2}));
  window_.SetActiveIndex(0);
  Fetched(-2);
  EXPECT_TRUE(window_.PlaceSpareAtActive());
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{-2, 1, -1}));
}

TEST_F(RecordWindowTest, CursorBufferIsTrackedUntilItLeaves) {
  for (int32_t number = 1; number <= 3; ++number) {
    Fetched(number);
    window_.PlaceSpareLast();
  }
  window_.SetCursorBuffer(1);
  Fetched(0);
  window_.PlaceSpareFirst();
  EXPECT_TRUE(window_.IsCursorBuffer(2)) << "record 2 moved down a row";
  Fetched(-1);
  window_.PlaceSpareFirst();
  EXPECT_FALSE(window_.IsCursorBuffer(0));
  EXPECT_FALSE(window_.IsCursorBuffer(1));
  EXPECT_FALSE(window_.IsCursorBuffer(2)) << "record 2 left the window";
}

TEST_F(RecordWindowTest, ResizeKeepsTheActiveRecord) {
  for (int32_t number = 1; number <= 3; ++number) {
    Fetched(number);
    window_.PlaceSpareLast();
  }
  window_.SetActiveIndex(2);
  window_.Resize(1);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{3}));
  EXPECT_EQ(window_.ActiveIndex(), 0);
  window_.Resize(4);
  EXPECT_EQ(window_.Count(), 1);
  EXPECT_FALSE(window_.Full());
  Fetched(4);
  window_.PlaceSpareLast();
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{3, 4}));
}

}  // namespace
}  // namespace dbf
