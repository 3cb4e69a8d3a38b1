// The navigator bar: the enabling table through a table's life, clicks and OnClick, the
// layout rule, hints, and the auto-repeat of the next button.
#include "TDBNavigator.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "DatasetTestSupport.h"
#include "ScriptedDialogs.h"

namespace dbf {
namespace {

using B = TNavigateBtn;
using F = TNavButtonFlag;
using testing::CurrentName;
using testing::TScratchFolder;

// The identifiers of the enabled buttons, in order.
std::string EnabledButtons(const TDBNavigator& bar) {
  std::string enabled;
  for (int i = 0; i < kNavButtonCount; ++i) {
    const QToolButton* button = bar.Button(static_cast<B>(i));
    if (button->isEnabled()) enabled += (enabled.empty() ? "" : " ") + button->objectName().toStdString();
  }
  return enabled;
}

class TDBNavigatorTest : public ::testing::Test {
 protected:
  // Shows the bar over `table`.
  void Bind(TDbf& table) {
    source.SetDataSet(&table);
    bar.SetDataSource(&source);
    bar.show();
  }
  void Click(B button) { QTest::mouseClick(bar.Button(button), Qt::LeftButton); }

  TScratchFolder folder;
  testing::TScriptedDialogs dialogs;
  TDataSource source;
  TDBNavigator bar;
};

TEST_F(TDBNavigatorTest, EnablingTableFollowsTheTable) {
  std::unique_ptr<TDbf> results = testing::ResultsTable(folder);
  std::unique_ptr<TDbf> names = testing::NamesTable(folder, {"A", "B", "C"});
  names->SetReadOnly(true);
  Bind(*results);
  const char* const editing = "nbFirst nbPrior nbInsert nbDelete nbPost nbCancel nbRefresh";
  const struct {
    const char* what;
    std::function<void()> action;
    const char* enabled;
  } steps[] = {
      {"before the table is open", [] {}, ""},
      {"open and empty", [&] { results->open(); }, "nbInsert nbEdit nbRefresh"},
      {"after insert", [&] { Click(B::nbInsert); }, "nbInsert nbPost nbCancel nbRefresh"},
      {"after post", [&] { Click(B::nbPost); }, "nbFirst nbPrior nbNext nbLast nbInsert nbDelete nbEdit nbRefresh"},
      {"a move that finds no further record", [&] { Click(B::nbNext); },
       "nbFirst nbPrior nbInsert nbDelete nbEdit nbRefresh"},
      {"editing", [&] { Click(B::nbEdit); }, editing},
      {"the bar disabled", [&] { bar.setEnabled(false); }, ""},
      {"the bar enabled again", [&] { bar.setEnabled(true); }, editing},
      {"closed", [&] { results->close(); }, ""},
      {"a read-only table",
       [&] {
         source.SetDataSet(names.get());
         names->open();
       },
       "nbNext nbLast"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.action();
    EXPECT_EQ(EnabledButtons(bar), step.enabled);
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TDBNavigatorTest, OnClickFollowsTheActionUnlessTheActionFailed) {
  std::unique_ptr<TDbf> dbf = testing::NamesTable(folder, {"A", "B"});
  Bind(*dbf);
  std::vector<std::string> heard;  // each OnClick: the button and the record it found current
  bar.OnClick = [&](TDBNavigator&, B button) {
    heard.push_back(bar.Button(button)->objectName().toStdString() + " " + (dbf->Active() ? CurrentName(*dbf) : "-"));
  };
  bar.BtnClick(B::nbNext);
  dbf->open();
  Click(B::nbNext);
  dialogs.confirm_answers = {false, true};
  Click(B::nbDelete);
  Click(B::nbDelete);
  bar.SetConfirmDelete(false);
  Click(B::nbDelete);
  dbf->fieldNamed("NAME").SetRequired(true);
  Click(B::nbInsert);
  Click(B::nbPost);
  EXPECT_EQ(heard,
            (std::vector<std::string>{"nbNext -", "nbNext B", "nbDelete B", "nbDelete A", "nbDelete ", "nbInsert "}));
  EXPECT_EQ(dialogs.shown.size(), 3u) << "two questions and the error";
  EXPECT_EQ(dialogs.shown.front(), (testing::TScriptedDialogs::TShown{"confirm", "Confirm", "Delete record?"}));
  EXPECT_EQ(dialogs.Errors(), std::vector<QString>{"Field 'NAME' must have a value."});
  EXPECT_EQ(dbf->state(), TDataSetState::StateInsert);
}

TEST_F(TDBNavigatorTest, VisibleButtonsShareTheBarsWidthEqually) {
  QWidget window;
  auto* nav = new TDBNavigator(&window);
  nav->setGeometry(416, 56, 184, 25);  // before the visible set, which may come in either order
  nav->SetVisibleButtons({F::nbInsert, F::nbDelete, F::nbPost, F::nbCancel});
  window.show();
  const struct {
    TButtonSet visible;
    int bar_width, button_width;
  } cases[] = {
      {{F::nbInsert, F::nbDelete, F::nbPost, F::nbCancel}, 184, 46},
      {{F::nbDelete, F::nbPost, F::nbCancel}, 183, 61},
      {{F::nbInsert, F::nbDelete, F::nbPost, F::nbCancel}, 180, 45},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bar_width);
    nav->SetVisibleButtons(c.visible);
    EXPECT_EQ(nav->size(), QSize(c.bar_width, 25));
    for (int i = 0, left = 0; i < kNavButtonCount; ++i) {
      const QToolButton* button = nav->Button(static_cast<B>(i));
      EXPECT_EQ(button->isVisibleTo(nav), c.visible.testFlag(FlagOf(static_cast<B>(i)))) << i;
      if (!button->isVisibleTo(nav)) continue;
      EXPECT_EQ(button->geometry(), QRect(left, 0, c.button_width, 25)) << i;
      left += c.button_width;
    }
  }
  nav->resize(30, 10);
  EXPECT_EQ(nav->size(), QSize(80, 18)) << "at least 20 × 18 for each of the four buttons";

  QWidget laid_out_window;  // a layout sets the width, which is not rounded then
  auto* layout = new QVBoxLayout(&laid_out_window);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* laid_out = new TDBNavigator;
  layout->addWidget(laid_out);
  laid_out_window.resize(253, 100);
  laid_out_window.show();
  EXPECT_EQ(laid_out->width(), 253);
  EXPECT_EQ(laid_out->Button(B::nbRefresh)->geometry().right(), 252);
}

TEST_F(TDBNavigatorTest, HintsAreToolTipsThatPopUpOnlyWithShowHint) {
  bar.SetHints({"", "", "", "", "Nový záznam"});
  QToolButton* insert = bar.Button(B::nbInsert);
  EXPECT_EQ(insert->toolTip(), "Nový záznam");
  EXPECT_EQ(bar.Button(B::nbLast)->toolTip(), "Last record") << "an empty line keeps the default";
  EXPECT_EQ(bar.Button(B::nbPost)->toolTip(), "Post edit") << "so does a missing one";
  EXPECT_EQ(insert->accessibleName(), "nbInsert");
  EXPECT_EQ(insert->focusPolicy(), Qt::NoFocus);
  bar.show();
  for (const bool show_hint : {false, true}) {
    bar.SetShowHint(show_hint);
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), insert->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(insert, &help);
    EXPECT_EQ(QToolTip::isVisible(), show_hint);
    QToolTip::hideText();
  }
}

TEST_F(TDBNavigatorTest, HoldingNextRepeatsTheClickUntilNoFurtherRecordIsFound) {
  std::unique_ptr<TDbf> dbf = testing::NamesTable(folder, {"A", "B", "C", "D", "E"});
  dbf->open();
  Bind(*dbf);
  int clicks = 0;
  bar.OnClick = [&](TDBNavigator&, B button) { clicks += button == B::nbNext; };
  QToolButton* next = bar.Button(B::nbNext);
  EXPECT_EQ(QPoint(next->autoRepeatDelay(), next->autoRepeatInterval()), QPoint(400, 100));
  next->setAutoRepeatDelay(20);  // short, so the test does not wait long
  next->setAutoRepeatInterval(5);
  QTest::mousePress(next, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !next->isEnabled(); }, 5000));
  QTest::mouseRelease(next, Qt::LeftButton);
  EXPECT_EQ(clicks, 5) << "four moves and the one that found no further record";
  EXPECT_EQ(CurrentName(*dbf), "E");
}

}  // namespace
}  // namespace dbf
