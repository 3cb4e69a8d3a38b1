// The answer list of the subject being scored: one entry per item, in the order of the
// test, each a picture chosen on the template or an error. Its text form, the answer
// string, goes into the subject's record; the evaluation counts its answer numbers.
//
// The operations do the bookkeeping and tell the window what to draw; the window draws
// only. The answer box is bound to the record's answer field, so it may hold a text the
// list did not build (another record's answers): operations therefore hand back an edit
// of the box's text rather than a whole new text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarni {

inline constexpr int32_t kItemLimit = 30;
inline constexpr int32_t kErrorAnswer = 0;
inline constexpr int32_t kNotAnswered = 99;

// How the answer box's text changes: cleared, or its tail cut off, or a piece appended.
struct AnswerBoxEdit {
  bool clear = false;
  size_t cut_characters = 0;
  std::string append;

  std::string applied_to(std::string_view box_text) const;
};

// What the window shows after an operation. An empty optional leaves a display as it is.
struct AnswerDisplays {
  std::optional<std::string> item_number;     // the item-number display "pořadí ot."
  std::optional<std::string> chosen_picture;  // the large red picture number
  AnswerBoxEdit answer_box;
};

class AnswerList {
 public:
  AnswerList();

  // Starts a new subject: every item unanswered. The window also empties the identity
  // boxes; the item-number display keeps its text until the next entry.
  AnswerDisplays novy_proband();

  // A mouse-down on the template at image pixel (x, y), with any button: records the
  // picture of the cell hit. A picture already chosen for this subject counts as an error,
  // though the chosen-picture display still shows it. Ignored outside every cell and
  // once the item limit is reached.
  AnswerDisplays urci_obr(int x, int y);

  // The mouse button is up again: the picture number shows only while it is held down.
  static AnswerDisplays release_template();

  // The error button "C H Y B A": records the next item as an error.
  AnswerDisplays record_error();

  // The back button "<  zpět": takes the last item away. The item-number display shows
  // that item's number, which is also the number of the next item to be entered.
  AnswerDisplays take_back();

  int32_t item_count() const { return item_count_; }

  // REQUIRES: 1 <= k <= kItemLimit.
  int32_t answer_number(int32_t k) const { return answer_number_[k - 1]; }
  const std::string& answer_text(int32_t k) const { return answer_text_[k - 1]; }

  // "|" followed by the item's text, for every item entered: |9|21|0.
  std::string answer_string() const;

 private:
  AnswerDisplays record_item(int32_t number);

  int32_t item_count_ = 0;
  std::array<int32_t, kItemLimit> answer_number_{};
  std::array<std::string, kItemLimit> answer_text_;
};

}  // namespace tarni
