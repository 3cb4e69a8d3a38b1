// The record navigator bar: ten tool buttons that move through a table, insert, delete,
// edit, post, cancel and refresh, enabled as the bound dataset's state allows. A click
// performs the dataset action first and then calls OnClick with the button's number.
#pragma once

#include <QFlags>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "DbfDataSource.h"

class QToolButton;

namespace dbf {

// The buttons in their fixed order; the number is the one OnClick carries.
enum class TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
inline constexpr int kNavButtonCount = 10;

// The buttons as flags, for sets of buttons: the flag of button i is bit i.
enum class TNavButtonFlag : unsigned {
  nbFirst = 1u << 0,
  nbPrior = 1u << 1,
  nbNext = 1u << 2,
  nbLast = 1u << 3,
  nbInsert = 1u << 4,
  nbDelete = 1u << 5,
  nbEdit = 1u << 6,
  nbPost = 1u << 7,
  nbCancel = 1u << 8,
  nbRefresh = 1u << 9,
};
Q_DECLARE_FLAGS(TButtonSet, TNavButtonFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TButtonSet)
inline constexpr TButtonSet kAllNavButtons = TButtonSet::fromInt((1u << kNavButtonCount) - 1);

constexpr TNavButtonFlag FlagOf(TNavigateBtn button) {
  return static_cast<TNavButtonFlag>(1u << static_cast<int>(button));
}
static_assert(FlagOf(TNavigateBtn::nbRefresh) == TNavButtonFlag::nbRefresh);

class TDBNavigator;

// The navigator's link: dataset changes, editing changes and activation re-evaluate the
// buttons.
class TNavDataLink : public TDataLink {
 public:
  explicit TNavDataLink(TDBNavigator& navigator);

 protected:
  void onDataSetChanged() override;
  void onEditingChanged() override;
  void onActiveChanged() override;

 private:
  TDBNavigator& navigator_;
};

class TDBNavigator : public QWidget {
  Q_OBJECT

 public:
  explicit TDBNavigator(QWidget* parent = nullptr);
  ~TDBNavigator() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);

  // Default: all ten. Changing the set lays the buttons out again (see resizeEvent).
  TButtonSet VisibleButtons() const { return visible_buttons_; }
  void SetVisibleButtons(TButtonSet buttons);

  // Default true: "Delete record?" is asked before nbDelete deletes.
  bool ConfirmDelete() const { return confirm_delete_; }
  void SetConfirmDelete(bool confirm) { confirm_delete_ = confirm; }

  // Line i, when not empty, replaces the default hint of button i (at most ten lines).
  const QStringList& Hints() const { return hints_; }
  void SetHints(const QStringList& hints);
  // Whether the window pops hints up as tool tips. Either way each button keeps its hint
  // as its tool tip, which accessibility reads.
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool show) { show_hint_ = show; }

  bool Flat() const { return flat_; }
  void SetFlat(bool flat);

  // Asked before a button's action: false skips the action and OnClick, so the dataset
  // stays as it was (a window's last question before a record is changed).
  std::function<bool(TDBNavigator& sender, TNavigateBtn button)> BeforeAction;
  // Called after a button's action, also when the source is inactive and when a deletion
  // was declined; never after a failed or skipped action.
  std::function<void(TDBNavigator& sender, TNavigateBtn button)> OnClick;

  // What a click on `button` does; an error of the action goes to the error report.
  void BtnClick(TNavigateBtn button);

  QToolButton* Button(TNavigateBtn button) const;

  // The default size, 241 × 25.
  QSize sizeHint() const override;
  // 20 × 18 for each visible button, which a layout of the parent respects.
  QSize minimumSizeHint() const override;

 protected:
  // Applies the layout rule: width at least n × 20 and a multiple of n, height at least 18.
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TNavDataLink;

  enum class TButtonGroup { Moves, Edits, All };
  // The enabling table, for one group of buttons or for all of them.
  void updateButtons(TButtonGroup group);
  void layoutButtons();
  // The number of visible buttons, at least 1.
  int visibleCount() const;
  // Whether a layout of the parent sets the bar's geometry, which then is not rounded.
  bool laidOutByParent() const;
  void performAction(TNavigateBtn button);
  // The line of Hints for `button` when it is not empty, else the default hint.
  QString hintOf(TNavigateBtn button) const;
  void applyHints();

  TNavDataLink link_;
  std::array<QToolButton*, kNavButtonCount> buttons_{};
  TButtonSet visible_buttons_ = kAllNavButtons;
  bool confirm_delete_ = true;
  QStringList hints_;
  bool show_hint_ = false;
  bool flat_ = false;
};

}  // namespace dbf
