#include "AnswerList.h"

#include <algorithm>

#include "DbfCodePage.h"
#include "HitGrid.h"

namespace tarni {

namespace {

constexpr char kItemSeparator = '|';

}  // namespace

std::string AnswerBoxEdit::applied_to(std::string_view box_text) const {
  const std::string_view kept = clear ? std::string_view() : dbf::Utf8DropLast(box_text, cut_characters);
  return std::string(kept) + append;
}

AnswerList::AnswerList() { novy_proband(); }

AnswerDisplays AnswerList::novy_proband() {
  answer_number_.fill(kNotAnswered);
  answer_text_.fill({});
  item_count_ = 0;
  AnswerDisplays displays;
  displays.answer_box.clear = true;
  return displays;
}

AnswerDisplays AnswerList::urci_obr(int x, int y) {
  const std::optional<int> picture = picture_at(x, y);
  if (item_count_ == kItemLimit || !picture) {
    return {};
  }
  const auto earlier = answer_number_.begin();
  const bool already_chosen = std::find(earlier, earlier + item_count_, *picture) != earlier + item_count_;
  AnswerDisplays displays = record_item(already_chosen ? kErrorAnswer : *picture);
  displays.chosen_picture = std::to_string(*picture);
  return displays;
}

AnswerDisplays AnswerList::release_template() {
  AnswerDisplays displays;
  displays.chosen_picture = "";
  return displays;
}

AnswerDisplays AnswerList::record_error() {
  if (item_count_ == kItemLimit) {
    return {};
  }
  return record_item(kErrorAnswer);
}

AnswerDisplays AnswerList::take_back() {
  if (item_count_ == 0) {
    return {};
  }
  const int32_t k = item_count_;
  AnswerDisplays displays;
  displays.item_number = std::to_string(k);
  displays.answer_box.cut_characters = answer_text(k).size() + 1;
  answer_number_[k - 1] = kNotAnswered;
  --item_count_;
  return displays;
}

std::string AnswerList::answer_string() const {
  std::string text;
  for (int32_t k = 1; k <= item_count_; ++k) {
    text += kItemSeparator + answer_text(k);
  }
  return text;
}

// REQUIRES: item_count_ < kItemLimit.
AnswerDisplays AnswerList::record_item(int32_t number) {
  const int32_t k = ++item_count_;
  answer_number_[k - 1] = number;
  answer_text_[k - 1] = std::to_string(number);
  AnswerDisplays displays;
  displays.item_number = std::to_string(k);
  displays.answer_box.append = kItemSeparator + answer_text(k);
  return displays;
}

}  // namespace tarni
