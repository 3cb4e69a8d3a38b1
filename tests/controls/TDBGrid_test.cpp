// The bound grid over a five-record names table with three visible rows: the scroll bar
// stands for the whole table, the rows follow the current record, and editing in place
// (typing, Enter, append at the end, untouched new records, the two Esc steps, delete
// with its question, leaving the grid) reaches the dataset as the examiner expects.
#include "TDBGrid.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "DatasetTestSupport.h"
#include "ScriptedDialogs.h"
#include "TDBGridModel.h"

namespace dbf {
namespace {

using testing::TScratchFolder;
using Rows = std::vector<std::string>;

class TDBGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = testing::NamesTable(folder_, names_, deleted_);
    table_->open();
    source_.SetDataSet(table_.get());
    grid_ = new TDBGrid(&window_);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->SetDataSource(&source_);
    grid_->resize(300, 100);
    grid_->resize(300, grid_->HeightForRows(3));
    other_ = new QLineEdit(&window_);
    other_->move(0, 200);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    grid_->setFocus();
  }

  TDBGridModel& Model() const { return *static_cast<TDBGridModel*>(grid_->View()->model()); }
  // The open cell editor, or null; a closed one lingers hidden until it is deleted.
  QLineEdit* CellEditor() const {
    for (QLineEdit* editor : grid_->View()->viewport()->findChildren<QLineEdit*>()) {
      if (editor->isVisible()) return editor;
    }
    return nullptr;
  }
  // Where a key goes: the open cell editor, else the grid's view.
  QWidget* KeyTarget() const {
    QLineEdit* editor = CellEditor();
    return editor != nullptr ? static_cast<QWidget*>(editor) : grid_->View();
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(KeyTarget(), key, modifiers);
  }
  void Type(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) QTest::keyClick(KeyTarget(), *c);
  }

  // The NAME column as the grid shows it, first row first.
  Rows ShownNames() const {
    Rows names;
    for (int row = 0; row < Model().rowCount(); ++row) {
      names.push_back(Model().index(row, 0).data().toString().toStdString());
    }
    return names;
  }
  int CursorRow() const { return grid_->View()->currentIndex().row(); }
  std::string Current() const { return testing::CurrentName(*table_); }
  void ExpectView(const Rows& names, int cursor_row) const {
    EXPECT_EQ(ShownNames(), names);
    EXPECT_EQ(CursorRow(), cursor_row);
    EXPECT_EQ(Model().ActiveRow(), cursor_row);
  }

  TScratchFolder folder_;
  std::vector<std::string> names_ = {"A", "B", "C", "D", "E"};
  std::vector<std::string> deleted_;
  std::unique_ptr<TDbf> table_;
  TDataSource source_;
  testing::TScriptedDialogs dialogs_;
  QWidget window_;
  TDBGrid* grid_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(TDBGridTest, ScrollBarStandsForTheWholeTable) {
  QScrollBar& bar = *grid_->VerticalScrollBar();
  EXPECT_EQ(grid_->VisibleRowCount(), 3);
  EXPECT_EQ(table_->windowSize(), 3) << "the grid's rows size the dataset's window";
  EXPECT_EQ(bar.minimum(), 1);
  EXPECT_EQ(bar.maximum(), 5);
  EXPECT_EQ(bar.pageStep(), 3);
  EXPECT_EQ(bar.value(), 1);

  auto drag_to = [&bar](int position) {
    bar.setSliderDown(true);
    bar.setSliderPosition(position);
    bar.setSliderDown(false);
  };
  drag_to(3);
  EXPECT_EQ(table_->recordNumber(), 3);
  EXPECT_EQ(bar.value(), 3);
  ExpectView({"C", "D", "E"}, 0);

  struct Step {
    const char* what;
    std::function<void()> action;
    int position;
  };
  const Step steps[] = {
      {"arrow down", [&] { bar.triggerAction(QAbstractSlider::SliderSingleStepAdd); }, 4},
      {"page up", [&] { bar.triggerAction(QAbstractSlider::SliderPageStepSub); }, 1},
      {"page down", [&] { bar.triggerAction(QAbstractSlider::SliderPageStepAdd); }, 4},
      {"arrow up", [&] { bar.triggerAction(QAbstractSlider::SliderSingleStepSub); }, 3},
      {"drag to the end", [&] { drag_to(5); }, 5},
      {"arrow down at the end", [&] { bar.triggerAction(QAbstractSlider::SliderSingleStepAdd); }, 5},
      {"drag to the start", [&] { drag_to(1); }, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.action();
    EXPECT_EQ(table_->recordNumber(), step.position);
    EXPECT_EQ(bar.value(), step.position);
    EXPECT_EQ(bar.sliderPosition(), step.position);
  }

  drag_to(3);
  Press(Qt::Key_Insert);
  ASSERT_EQ(table_->state(), TDataSetState::StateInsert);
  EXPECT_EQ(bar.value(), 3) << "a new record leaves the bar where it was";
  EXPECT_EQ(bar.maximum(), 5);
  EXPECT_TRUE(dialogs_.shown.empty());
}

class TDBGridWithDeletedTest : public TDBGridTest {
 protected:
  TDBGridWithDeletedTest() { deleted_ = {"C", "E"}; }
};

TEST_F(TDBGridWithDeletedTest, BarShowsWhereTheDatasetWentNotWhereItWasPushed) {
  QScrollBar& bar = *grid_->VerticalScrollBar();
  EXPECT_EQ(bar.maximum(), 5) << "deleted records count in the range";
  bar.setSliderDown(true);
  bar.setSliderPosition(3);
  EXPECT_EQ(Current(), "D") << "the deleted record is passed over";
  EXPECT_EQ(bar.sliderPosition(), 4);
  bar.setSliderDown(false);
  EXPECT_EQ(bar.value(), 4);
  for (const char* press : {"first", "second"}) {
    SCOPED_TRACE(press);
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Current(), "D") << "no visible record follows";
    EXPECT_EQ(bar.value(), 4);
    EXPECT_EQ(bar.sliderPosition(), 4);
  }
}

TEST_F(TDBGridTest, RowsFollowTheCurrentRecord) {
  ExpectView({"A", "B", "C"}, 0);
  struct Step {
    const char* what;
    std::function<void()> action;
    Rows names;
    int cursor_row;
  };
  const Step steps[] = {
      {"down", [&] { Press(Qt::Key_Down); }, {"A", "B", "C"}, 1},
      {"down", [&] { Press(Qt::Key_Down); }, {"A", "B", "C"}, 2},
      {"down past the last row", [&] { Press(Qt::Key_Down); }, {"B", "C", "D"}, 2},
      {"up", [&] { Press(Qt::Key_Up); }, {"B", "C", "D"}, 1},
      {"ctrl+down", [&] { Press(Qt::Key_Down, Qt::ControlModifier); }, {"B", "C", "D"}, 2},
      {"page down", [&] { Press(Qt::Key_PageDown); }, {"C", "D", "E"}, 2},
      {"page up", [&] { Press(Qt::Key_PageUp); }, {"B", "C", "D"}, 0},
      {"ctrl+end", [&] { Press(Qt::Key_End, Qt::ControlModifier); }, {"C", "D", "E"}, 2},
      {"click on the first row",
       [&] {
         const QRect cell = grid_->View()->visualRect(Model().index(0, 1));
         QTest::mouseClick(grid_->View()->viewport(), Qt::LeftButton, {}, cell.center());
       },
       {"C", "D", "E"},
       0},
      {"ctrl+home", [&] { Press(Qt::Key_Home, Qt::ControlModifier); }, {"A", "B", "C"}, 0},
      {"dataset moves by itself", [&] { table_->moveBy(3); }, {"B", "C", "D"}, 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.action();
    ExpectView(step.names, step.cursor_row);
    EXPECT_EQ(Current(), step.names[static_cast<size_t>(step.cursor_row)]);
  }
  EXPECT_EQ(grid_->View()->currentIndex().column(), 1) << "the clicked column stays current";

  grid_->resize(300, grid_->HeightForRows(4));
  EXPECT_EQ(grid_->VisibleRowCount(), 4);
  EXPECT_EQ(ShownNames().size(), 4u) << "a taller grid shows more rows";
  EXPECT_EQ(Current(), "D");
}

class TDBGridOverALongerTableTest : public TDBGridTest {
 protected:
  TDBGridOverALongerTableTest() { names_ = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"}; }
};

// The grid repaints only rows that changed and moves the pixels of a scroll; what is on
// screen must still be what a full repaint draws.
TEST_F(TDBGridOverALongerTableTest, PartialRepaintsLeaveWhatAFullRepaintDraws) {
  grid_->resize(grid_->width(), grid_->HeightForRows(6));
  auto on_screen = [this] {
    QCoreApplication::processEvents();
    return window_.screen()->grabWindow(window_.winId()).toImage();
  };
  struct Step {
    const char* what;
    std::function<void()> action;
  };
  const Step steps[] = {
      {"down", [&] { Press(Qt::Key_Down); }},
      {"to the last row", [&] { table_->moveBy(4); }},
      {"down scrolls", [&] { Press(Qt::Key_Down); }},
      {"down scrolls", [&] { Press(Qt::Key_Down); }},
      {"up", [&] { Press(Qt::Key_Up); }},
      {"to the first row", [&] { table_->moveBy(-4); }},
      {"up scrolls", [&] { Press(Qt::Key_Up); }},
      {"two rows at once", [&] { table_->moveBy(-2); }},
      {"page down", [&] { Press(Qt::Key_PageDown); }},
      {"insert", [&] { Press(Qt::Key_Insert); }},
      {"cancel", [&] { Press(Qt::Key_Escape); }},
      {"dataset moves back", [&] { table_->moveBy(-1); }},
  };
  on_screen();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.action();
    const QImage shown = on_screen();
    for (QWidget* widget : window_.findChildren<QWidget*>()) widget->update();
    EXPECT_EQ(shown, on_screen());
  }
}

TEST_F(TDBGridTest, ShowsVisibleFieldsUnderTheirNamesWithTheIndicatorMark) {
  EXPECT_EQ(Model().columnCount(), 2);
  EXPECT_EQ(Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "NAME");
  EXPECT_EQ(Model().index(1, 1).data().toString(), "2");
  // A screen reader meets the grid's name once, on the table, not also on its frame.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(grid_)->text(QAccessible::Name), QString());
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid_->View());
  EXPECT_EQ(table->text(QAccessible::Name), "DBGrid1");
  EXPECT_EQ(table->role(), QAccessible::Table);

  Press(Qt::Key_Down);
  EXPECT_EQ(Model().MarkOfRow(1), TIndicatorMark::Current);
  EXPECT_EQ(Model().MarkOfRow(0), TIndicatorMark::None);
  // The mark is drawn in the indicator column beside its row, and only there.
  QHeaderView& indicator = *grid_->View()->verticalHeader();
  const QImage marks = indicator.grab().toImage();
  auto dark_pixels_beside = [&](int row) {
    int count = 0;
    for (int y = indicator.sectionViewportPosition(row);
         y < indicator.sectionViewportPosition(row) + indicator.sectionSize(row); ++y) {
      for (int x = 0; x < marks.width(); ++x) count += qGray(marks.pixel(x, y)) < 100 ? 1 : 0;
    }
    return count;
  };
  EXPECT_GT(dark_pixels_beside(1), 10);
  EXPECT_EQ(dark_pixels_beside(0), 0);
  EXPECT_EQ(dark_pixels_beside(2), 0);
  Type("X");
  EXPECT_EQ(Model().MarkOfRow(1), TIndicatorMark::Editing);
  Press(Qt::Key_Escape);
  Press(Qt::Key_Escape);
  Press(Qt::Key_Insert);
  EXPECT_EQ(Model().MarkOfRow(1), TIndicatorMark::Inserting);
  Press(Qt::Key_Escape);

  table_->fieldNamed("NUM").SetVisible(false);
  EXPECT_EQ(Model().columnCount(), 1) << "a hidden field leaves the grid";
  table_->close();
  EXPECT_EQ(Model().columnCount(), 0);
  EXPECT_EQ(Model().rowCount(), 0);
  EXPECT_FALSE(grid_->VerticalScrollBar()->isEnabled());
}

TEST_F(TDBGridTest, TypingEditsTheCellAndEnterWritesItIntoTheField) {
  Press(Qt::Key_Down);
  Type("Zed");
  EXPECT_EQ(table_->state(), TDataSetState::StateEdit) << "typing asked the dataset to edit";
  ASSERT_NE(CellEditor(), nullptr);
  EXPECT_EQ(CellEditor()->text(), "Zed") << "the first key replaced the cell's text";
  EXPECT_EQ(Current(), "B") << "nothing written before Enter";
  Press(Qt::Key_Return);
  EXPECT_EQ(Current(), "Zed");
  EXPECT_EQ(ShownNames()[1], "Zed");
  EXPECT_EQ(table_->state(), TDataSetState::StateEdit);

  Press(Qt::Key_Down);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse) << "moving on stored the edit";
  TDbf reader;
  reader.SetTableName(testing::FolderPath(folder_) + "NAMES.DBF");
  reader.SetReadOnly(true);
  reader.open();
  reader.moveBy(1);
  EXPECT_EQ(testing::CurrentName(reader), "Zed");
  reader.close();

  // Typed text the field cannot take: reported, and it stays for the examiner to mend.
  Press(Qt::Key_Tab);
  Type("x");
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse) << "a letter is no number: no edit";
  Type("99999999999");
  Press(Qt::Key_Return);
  ASSERT_EQ(dialogs_.Errors().size(), 1u);
  EXPECT_TRUE(dialogs_.Errors()[0].contains("99999999999"));
  ASSERT_NE(CellEditor(), nullptr);
  EXPECT_EQ(CellEditor()->text(), "99999999999");
  Press(Qt::Key_Escape);
  Press(Qt::Key_Escape);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(table_->fieldNamed("NUM").readInteger(), 3);
}

TEST_F(TDBGridTest, DownAtTheEndAppendsAndUntouchedNewRecordsGoAway) {
  Press(Qt::Key_End, Qt::ControlModifier);
  Press(Qt::Key_Down);
  EXPECT_EQ(table_->state(), TDataSetState::StateInsert);
  ExpectView({"D", "E", ""}, 2);
  Press(Qt::Key_Down);
  EXPECT_EQ(table_->state(), TDataSetState::StateInsert) << "nothing follows the new record";
  Press(Qt::Key_Up);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse);
  ExpectView({"C", "D", "E"}, 2);

  Press(Qt::Key_Down);
  Type("F");
  Press(Qt::Key_Down);
  EXPECT_EQ(table_->recordCount(), 6) << "the typed record was stored";
  EXPECT_EQ(table_->state(), TDataSetState::StateInsert) << "and the next one appended";
  ExpectView({"E", "F", ""}, 2);
  Press(Qt::Key_Escape);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse);
  EXPECT_EQ(Current(), "F");

  Press(Qt::Key_Home, Qt::ControlModifier);
  Press(Qt::Key_Down);
  Press(Qt::Key_Insert);
  ExpectView({"A", "", "B"}, 1);
  Press(Qt::Key_Down);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse) << "moving off an untouched insert cancels it";
  EXPECT_EQ(Current(), "B");
  EXPECT_EQ(table_->recordCount(), 6);
}

TEST_F(TDBGridTest, LeavingTheGridCancelsOnlyAnUntouchedNewRecord) {
  Press(Qt::Key_Insert);
  other_->setFocus();
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse);

  grid_->setFocus();
  Press(Qt::Key_Insert);
  Type("Q");
  other_->setFocus();
  EXPECT_EQ(table_->state(), TDataSetState::StateInsert) << "typed text is kept";
  EXPECT_EQ(Current(), "Q") << "and written into the field";
  table_->post();
  EXPECT_EQ(table_->recordCount(), 6);
}

TEST_F(TDBGridTest, FirstEscDiscardsTheTypedTextTheSecondCancelsTheEdit) {
  Press(Qt::Key_Down);
  Type("X");
  Press(Qt::Key_Escape);
  EXPECT_EQ(CellEditor(), nullptr);
  EXPECT_EQ(table_->state(), TDataSetState::StateEdit);
  EXPECT_EQ(ShownNames()[1], "B");
  Press(Qt::Key_Escape);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse);

  Type("X");
  Press(Qt::Key_Return);
  EXPECT_EQ(Current(), "X");
  Press(Qt::Key_Escape);
  EXPECT_EQ(table_->state(), TDataSetState::StateBrowse) << "nothing typed since Enter: the edit goes";
  EXPECT_EQ(Current(), "B");
}

TEST_F(TDBGridTest, CtrlDeleteAsksBeforeDeleting) {
  dialogs_.confirm_answers = {false, true};
  Press(Qt::Key_Down);
  Press(Qt::Key_Delete, Qt::ControlModifier);
  ExpectView({"A", "B", "C"}, 1);
  Press(Qt::Key_Delete, Qt::ControlModifier);
  ExpectView({"A", "C", "D"}, 1);
  const testing::TScriptedDialogs::TShown question{"confirm", "Confirm", "Delete record?"};
  EXPECT_EQ(dialogs_.shown, (std::vector<testing::TScriptedDialogs::TShown>{question, question}));
  EXPECT_EQ(table_->recordCount(), 5) << "deleted records stay in the file";
}

}  // namespace
}  // namespace dbf
