#include "AnswerList.h"

#include <gtest/gtest.h>

#include "PictureClick.h"

namespace tarni {
namespace {

// Plays the window: applies each operation's edit to the answer box as it goes.
struct AnswerEntry {
  AnswerList list;
  std::string box;

  AnswerDisplays apply(AnswerDisplays displays) {
    box = displays.answer_box.applied_to(box);
    return displays;
  }
  AnswerDisplays click(int picture) { return apply(click_picture(list, picture)); }
  AnswerDisplays error() { return apply(list.record_error()); }
  AnswerDisplays back() { return apply(list.take_back()); }
};

TEST(AnswerList, EntriesTellTheDisplaysAndMissesChangeNothing) {
  AnswerEntry entry;
  const AnswerDisplays first = entry.apply(entry.list.urci_obr(22, 23));
  EXPECT_EQ(first.item_number, "1");
  EXPECT_EQ(first.chosen_picture, "1");
  const AnswerDisplays repeated = entry.click(1);  // an error, though still shown
  EXPECT_EQ(repeated.chosen_picture, "1");
  const AnswerDisplays error = entry.error();
  EXPECT_EQ(error.item_number, "3");
  EXPECT_EQ(error.chosen_picture, std::nullopt);
  EXPECT_EQ(entry.box, "|1|0|0");
  EXPECT_EQ(entry.list.answer_string(), "|1|0|0");
  EXPECT_EQ(entry.list.answer_number(2), kErrorAnswer);
  EXPECT_EQ(entry.list.answer_number(4), kNotAnswered);
  for (auto [x, y] : {std::pair{153, 100}, {100, 136}, {10, 10}}) {
    const AnswerDisplays missed = entry.apply(entry.list.urci_obr(x, y));
    EXPECT_FALSE(missed.item_number || missed.chosen_picture) << x << "," << y;
  }
  EXPECT_EQ(entry.list.item_count(), 3);
  EXPECT_EQ(AnswerList::release_template().chosen_picture, "");
}

TEST(AnswerList, ThirtyItemsAtMost) {
  AnswerEntry entry;
  for (int picture = 1; picture <= 30; ++picture) entry.click(picture);
  const std::string full = entry.box;
  EXPECT_FALSE(entry.click(1).item_number);
  EXPECT_FALSE(entry.error().item_number);
  EXPECT_EQ(entry.box, full);
  EXPECT_EQ(entry.back().item_number, "30");
  EXPECT_EQ(entry.box, full.substr(0, full.size() - 3));
}

TEST(AnswerList, BackTakesTheLastItemAway) {
  AnswerEntry entry;
  entry.click(9);
  entry.error();
  EXPECT_EQ(entry.back().item_number, "2");
  EXPECT_EQ(entry.box, "|9");
  entry.click(21);
  entry.back();
  entry.click(4);
  EXPECT_EQ(entry.box, "|9|4");
  entry.back();
  entry.back();
  EXPECT_EQ(entry.box, "");
  EXPECT_FALSE(entry.back().item_number);
  EXPECT_EQ(entry.list.answer_number(1), kNotAnswered);
}

TEST(AnswerList, NewSubjectEmptiesTheListAndTheBox) {
  AnswerEntry entry;
  entry.box = "|3|p\xC5\x99";  // another record's answers: entries edit whatever the box holds
  entry.click(12);
  EXPECT_EQ(entry.box, "|3|p\xC5\x99|12");
  const AnswerDisplays reset = entry.apply(entry.list.novy_proband());
  EXPECT_FALSE(reset.item_number || reset.chosen_picture);
  EXPECT_EQ(entry.box, "");
  EXPECT_EQ(entry.list.answer_number(1), kNotAnswered);
  EXPECT_EQ(entry.click(12).item_number, "1");
}

}  // namespace
}  // namespace tarni
