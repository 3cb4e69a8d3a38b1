#include "TDBNavigator.h"

#include <QEvent>
#include <QLayout>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "DbfDialogs.h"
#include "NavButtonPictures.h"
#include "dbf.h"

namespace dbf {

namespace {

constexpr int kMinButtonWidth = 20;
constexpr int kMinButtonHeight = 18;
constexpr QSize kDefaultSize(241, 25);
// The picture leaves this much of the button's smaller side to the frame.
constexpr int kIconMargin = 6;
constexpr int kMinIconSide = 8;
constexpr int kMaxIconSide = 16;
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 100;

struct TButtonText {
  const char* identifier;
  const char* hint;
};

// By button, in identifier order.
constexpr TButtonText kButtonTexts[kNavButtonCount] = {
    {"nbFirst", "First record"},   {"nbPrior", "Prior record"},   {"nbNext", "Next record"}, {"nbLast", "Last record"},
    {"nbInsert", "Insert record"}, {"nbDelete", "Delete record"}, {"nbEdit", "Edit record"}, {"nbPost", "Post edit"},
    {"nbCancel", "Cancel edit"},   {"nbRefresh", "Refresh data"},
};

TNavigateBtn ButtonAt(int index) { return static_cast<TNavigateBtn>(index); }
int IndexOf(TNavigateBtn button) { return static_cast<int>(button); }

// The buttons whose state follows the record window rather than the editing state.
bool FollowsWindow(TNavigateBtn button) { return button <= TNavigateBtn::nbLast || button == TNavigateBtn::nbDelete; }

bool LayoutHolds(const QLayout& layout, const QWidget* widget) {
  for (int i = 0; i < layout.count(); ++i) {
    QLayoutItem* item = layout.itemAt(i);
    if (item->widget() == widget) return true;
    if (item->layout() != nullptr && LayoutHolds(*item->layout(), widget)) return true;
  }
  return false;
}

}  // namespace

TNavDataLink::TNavDataLink(TDBNavigator& navigator) : navigator_(navigator) {}

void TNavDataLink::onDataSetChanged() { navigator_.updateButtons(TDBNavigator::TButtonGroup::Moves); }

void TNavDataLink::onEditingChanged() { navigator_.updateButtons(TDBNavigator::TButtonGroup::Edits); }

void TNavDataLink::onActiveChanged() { navigator_.updateButtons(TDBNavigator::TButtonGroup::All); }

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent), link_(*this) {
  for (int i = 0; i < kNavButtonCount; ++i) {
    const TNavigateBtn button = ButtonAt(i);
    auto* tool_button = new QToolButton(this);
    tool_button->setObjectName(QString::fromLatin1(kButtonTexts[i].identifier));
    tool_button->setAccessibleName(tool_button->objectName());
    // The bar is no tab stop: clicking a button leaves the focus where it was.
    tool_button->setFocusPolicy(Qt::NoFocus);
    tool_button->setIcon(NavButtonIcon(button));
    tool_button->installEventFilter(this);
    connect(tool_button, &QToolButton::clicked, this, [this, button] { BtnClick(button); });
    buttons_[i] = tool_button;
  }
  for (TNavigateBtn button : {TNavigateBtn::nbPrior, TNavigateBtn::nbNext}) {
    QToolButton* repeating = Button(button);
    repeating->setAutoRepeat(true);
    repeating->setAutoRepeatDelay(kRepeatDelayMs);
    repeating->setAutoRepeatInterval(kRepeatIntervalMs);
  }
  applyHints();
  resize(kDefaultSize);
  layoutButtons();
  updateButtons(TButtonGroup::All);
}

TDBNavigator::~TDBNavigator() = default;

TDataSource* TDBNavigator::DataSource() const { return link_.DataSource(); }

void TDBNavigator::SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

void TDBNavigator::SetVisibleButtons(TButtonSet buttons) {
  visible_buttons_ = buttons;
  layoutButtons();
  updateGeometry();
}

void TDBNavigator::SetHints(const QStringList& hints) {
  hints_ = hints;
  applyHints();
}

void TDBNavigator::SetFlat(bool flat) {
  flat_ = flat;
  for (QToolButton* button : buttons_) button->setAutoRaise(flat);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
  RunReported([&] {
    if (BeforeAction && !BeforeAction(*this, button)) return;
    performAction(button);
    if (OnClick) OnClick(*this, button);
  });
}

QToolButton* TDBNavigator::Button(TNavigateBtn button) const { return buttons_[IndexOf(button)]; }

QSize TDBNavigator::sizeHint() const { return kDefaultSize; }

QSize TDBNavigator::minimumSizeHint() const { return QSize(visibleCount() * kMinButtonWidth, kMinButtonHeight); }

void TDBNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutButtons();
}

void TDBNavigator::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) updateButtons(TButtonGroup::All);
}

bool TDBNavigator::eventFilter(QObject* watched, QEvent* event) {
  // The hint stays each button's tool tip for accessibility; only its pop-up is held back.
  if (event->type() == QEvent::ToolTip && !show_hint_) return true;
  return QWidget::eventFilter(watched, event);
}

void TDBNavigator::updateButtons(TButtonGroup group) {
  const TDbf* dataset = link_.DataSet();
  const bool active = isEnabled() && link_.Active();
  const bool can_modify = active && dataset->canModify();
  const bool bof = active && dataset->atBof();
  const bool eof = active && dataset->atEof();
  const bool editing = link_.Editing();
  for (int i = 0; i < kNavButtonCount; ++i) {
    const TNavigateBtn button = ButtonAt(i);
    if ((group == TButtonGroup::Moves && !FollowsWindow(button)) ||
        (group == TButtonGroup::Edits && FollowsWindow(button))) {
      continue;
    }
    bool enabled = false;
    switch (button) {
      case TNavigateBtn::nbFirst:
      case TNavigateBtn::nbPrior:
        enabled = active && !bof;
        break;
      case TNavigateBtn::nbNext:
      case TNavigateBtn::nbLast:
        enabled = active && !eof;
        break;
      case TNavigateBtn::nbInsert:
      case TNavigateBtn::nbRefresh:
        enabled = can_modify;
        break;
      case TNavigateBtn::nbDelete:
        enabled = can_modify && !(bof && eof);
        break;
      case TNavigateBtn::nbEdit:
        enabled = can_modify && !editing;
        break;
      case TNavigateBtn::nbPost:
      case TNavigateBtn::nbCancel:
        enabled = can_modify && editing;
        break;
    }
    buttons_[i]->setEnabled(enabled);
  }
}

void TDBNavigator::layoutButtons() {
  std::vector<QToolButton*> shown;
  for (int i = 0; i < kNavButtonCount; ++i) {
    if (visible_buttons_.testFlag(FlagOf(ButtonAt(i)))) {
      shown.push_back(buttons_[i]);
    } else {
      buttons_[i]->hide();
    }
  }
  const int count = visibleCount();
  if (!laidOutByParent()) {
    const QSize ruled(std::max(width(), count * kMinButtonWidth) / count * count, std::max(height(), kMinButtonHeight));
    if (ruled != size()) resize(ruled);
  }
  const int side = std::clamp(std::min(width() / count, height()) - kIconMargin, kMinIconSide, kMaxIconSide);
  // A bar whose width a layout sets spreads the pixels left over among its buttons.
  for (int k = 0; k < static_cast<int>(shown.size()); ++k) {
    const int left = k * width() / count;
    const int right = (k + 1) * width() / count;
    shown[k]->setGeometry(left, 0, right - left, height());
    shown[k]->setIconSize(QSize(side, side));
    shown[k]->show();
  }
}

int TDBNavigator::visibleCount() const {
  int count = 0;
  for (int i = 0; i < kNavButtonCount; ++i) count += visible_buttons_.testFlag(FlagOf(ButtonAt(i)));
  return std::max(1, count);
}

bool TDBNavigator::laidOutByParent() const {
  const QWidget* parent = parentWidget();
  return parent != nullptr && parent->layout() != nullptr && LayoutHolds(*parent->layout(), this);
}

void TDBNavigator::performAction(TNavigateBtn button) {
  const TDataSource* source = DataSource();
  if (source == nullptr || source->State() == TDataSetState::StateInactive) return;
  TDbf& dataset = *source->DataSet();
  switch (button) {
    case TNavigateBtn::nbFirst:
      dataset.moveFirst();
      break;
    case TNavigateBtn::nbPrior:
      dataset.movePrior();
      break;
    case TNavigateBtn::nbNext:
      dataset.moveNext();
      break;
    case TNavigateBtn::nbLast:
      dataset.moveLast();
      break;
    case TNavigateBtn::nbInsert:
      dataset.startInsert();
      break;
    case TNavigateBtn::nbDelete:
      if (!confirm_delete_ || ConfirmRecordDeletion()) dataset.deleteRecord();
      break;
    case TNavigateBtn::nbEdit:
      dataset.startEdit();
      break;
    case TNavigateBtn::nbPost:
      dataset.post();
      break;
    case TNavigateBtn::nbCancel:
      dataset.cancel();
      break;
    case TNavigateBtn::nbRefresh:
      dataset.refresh();
      break;
  }
}

QString TDBNavigator::hintOf(TNavigateBtn button) const {
  const int index = IndexOf(button);
  if (index < hints_.size() && !hints_[index].isEmpty()) return hints_[index];
  return QString::fromLatin1(kButtonTexts[index].hint);
}

void TDBNavigator::applyHints() {
  for (int i = 0; i < kNavButtonCount; ++i) buttons_[i]->setToolTip(hintOf(ButtonAt(i)));
}

}  // namespace dbf
