// The bound grid's parts and how they follow the dataset: the table view with its title
// row and indicator column, the scroll bar that stands for the whole table, the link's
// hooks, and the geometry that decides how many rows the dataset's window must hold.
// Keys, mouse and the actions they start are in TDBGridInput.cpp.
#include "TDBGrid.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTableView>
#include <algorithm>

#include "DbfDialogs.h"
#include "DbfFields.h"
#include "TDBGridCellEditor.h"
#include "TDBGridIndicator.h"
#include "TDBGridModel.h"
#include "dbf.h"

namespace dbf {

namespace {

// Space around the text of a row, and beside the text of a column (the width rule).
constexpr int kRowPadding = 4;
constexpr int kColumnPadding = 4;

// The grid's scroll bar repaints only when its thumb moves: over a large table most moves
// change the position by less than a pixel.
class TRecordScrollBar : public QScrollBar {
 public:
  explicit TRecordScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

 protected:
  void sliderChange(SliderChange change) override {
    const QRect thumb = ThumbRect();
    if (change == SliderValueChange && thumb == painted_thumb_) return;
    painted_thumb_ = thumb;
    QScrollBar::sliderChange(change);
  }

 private:
  QRect ThumbRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
  }

  QRect painted_thumb_;
};

// The grid's frame as screen readers meet it: a filler around the table that carries no
// name of its own, whatever its accessibleName holds (a window may name every control
// alike), so that the grid's name is read once, on the table with its rows and cells.
class TGridFrameAccessible : public QAccessibleWidget {
 public:
  explicit TGridFrameAccessible(QWidget* grid) : QAccessibleWidget(grid, QAccessible::Client) {}
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Name ? QString() : QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* GridFrameAccessible(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(TDBGrid::staticMetaObject.className())) return nullptr;
  return new TGridFrameAccessible(static_cast<QWidget*>(object));
}

void InstallGridFrameAccessible() {
  [[maybe_unused]] static const bool installed = (QAccessible::installFactory(GridFrameAccessible), true);
}

}  // namespace

TGridDataLink::TGridDataLink(TDBGrid& grid) : grid_(grid) { SetVisualControl(true); }

void TGridDataLink::onActiveChanged() { grid_.rebuildColumns(); }

void TGridDataLink::onEditingChanged() { grid_.showActiveRow(); }

void TGridDataLink::onRecordChanged(TField*) { grid_.showActiveRow(); }

void TGridDataLink::onDataSetChanged() { grid_.showWindow(0); }

void TGridDataLink::onScrolled(int distance) { grid_.showWindow(distance); }

void TGridDataLink::onLayoutChanged() { grid_.rebuildColumns(); }

void TGridDataLink::onWriteBack() { grid_.writeTypedText(); }

TDBGrid::TDBGrid(QWidget* parent) : QWidget(parent), link_(*this) {
  model_ = new TDBGridModel(link_, this);
  cell_editor_ = new TDBGridCellEditor(*model_, this);
  cell_editor_->key_handler = [this](QKeyEvent& key) { return handleKey(key, true); };

  view_ = new QTableView(this);
  indicator_ = new TDBGridIndicator(*model_, view_);
  view_->setVerticalHeader(indicator_);
  view_->setModel(model_);
  view_->setItemDelegate(cell_editor_);
  view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Column by column, a column wider than the grid (the answer string) would show its end.
  view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  // Cells open only through the grid's own keys, after the dataset granted the edit.
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTabKeyNavigation(false);
  view_->setWordWrap(false);
  view_->setTextElideMode(Qt::ElideNone);
  view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->horizontalHeader()->setSectionsClickable(false);
  view_->installEventFilter(this);
  view_->viewport()->installEventFilter(this);
  setFocusProxy(view_);

  scroll_bar_ = new TRecordScrollBar(this);
  scroll_bar_->setFocusPolicy(Qt::NoFocus);
  scroll_bar_->setEnabled(false);

  connect(scroll_bar_, &QAbstractSlider::actionTriggered, this, &TDBGrid::scrollBarAction);
  connect(view_->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) current_column_ = current.column();
          });
  connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this, &TDBGrid::updateBufferCount);
  // The grid's name is its table's, where screen readers find the rows and cells.
  InstallGridFrameAccessible();
  connect(this, &QObject::objectNameChanged, view_, &QWidget::setAccessibleName);
  focus_connection_ = connect(qApp, &QApplication::focusChanged, this, &TDBGrid::focusChanged);

  applyFontMetrics();
  SetOptions(options_);
}

TDBGrid::~TDBGrid() {
  // Children losing the focus while they are destroyed must not reach a grid that is gone.
  disconnect(focus_connection_);
  link_.SetDataSource(nullptr);
}

TDataSource* TDBGrid::DataSource() const { return link_.DataSource(); }

void TDBGrid::SetDataSource(TDataSource* source) {
  RunReported([&] { link_.SetDataSource(source); });
  updateBufferCount();
}

void TDBGrid::SetOptions(TDBGridOptions options) {
  options_ = options;
  view_->horizontalHeader()->setVisible(options_.testFlag(dgTitles));
  view_->verticalHeader()->setVisible(options_.testFlag(dgIndicator));
  // The view draws both kinds of lines or none.
  view_->setShowGrid(options_.testAnyFlags(dgColLines | dgRowLines));
  view_->horizontalHeader()->setSectionResizeMode(options_.testFlag(dgColumnResize) ? QHeaderView::Interactive
                                                                                    : QHeaderView::Fixed);
  model_->SetEditable(options_.testFlag(dgEditing));
  if (!options_.testFlag(dgEditing)) cell_editor_->close();
  updateBufferCount();
}

int TDBGrid::RowHeight() const { return view_->fontMetrics().height() + kRowPadding; }

int TDBGrid::ScrollBarHeightBelowRows() const {
  int columns_width = options_.testFlag(dgIndicator) ? TDBGridIndicator::kWidth : 0;
  for (int column = 0; column < model_->columnCount(); ++column) {
    columns_width += view_->horizontalHeader()->sectionSize(column);
  }
  // The grid's own width is current even while a hidden grid waits for its resize event.
  const int room = width() - scroll_bar_->sizeHint().width() - 2 * view_->frameWidth();
  return columns_width > room ? view_->horizontalScrollBar()->sizeHint().height() : 0;
}

int TDBGrid::HeightForRows(int rows) const {
  const int titles = options_.testFlag(dgTitles) ? RowHeight() : 0;
  return 2 * view_->frameWidth() + titles + rows * RowHeight() + ScrollBarHeightBelowRows();
}

int TDBGrid::VisibleRowCount() const { return std::max(1, (height() - HeightForRows(0)) / RowHeight()); }

void TDBGrid::applyFontMetrics() {
  const int row_height = RowHeight();
  view_->verticalHeader()->setMinimumSectionSize(row_height);
  view_->verticalHeader()->setDefaultSectionSize(row_height);
  view_->horizontalHeader()->setFixedHeight(row_height);
  sizeColumns();
}

void TDBGrid::sizeColumns() {
  const QFontMetrics cell_metrics = view_->fontMetrics();
  const QFontMetrics title_metrics = view_->horizontalHeader()->fontMetrics();
  const int digit_width = cell_metrics.horizontalAdvance(QLatin1Char('0'));
  QHeaderView& titles = *view_->horizontalHeader();
  titles.setMinimumSectionSize(kColumnPadding);
  for (int column = 0; column < model_->columnCount(); ++column) {
    const TField& field = model_->FieldOfColumn(column);
    const int title_width = title_metrics.horizontalAdvance(QString::fromStdString(field.FieldName()));
    titles.resizeSection(column, std::max(field.DisplayWidth() * digit_width, title_width) + kColumnPadding);
  }
  updateBufferCount();
}

void TDBGrid::layoutParts() {
  const int bar_width = scroll_bar_->sizeHint().width();
  view_->setGeometry(0, 0, std::max(0, width() - bar_width), height());
  scroll_bar_->setGeometry(width() - bar_width, 0, bar_width, height());
}

void TDBGrid::updateBufferCount() {
  const int rows = VisibleRowCount();
  if (rows == link_.BufferCount()) return;
  RunReported([&] { link_.SetBufferCount(rows); });
  // Another link may keep the window as it was: the rows are shown again either way.
  showWindow(0);
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutParts();
  updateBufferCount();
}

void TDBGrid::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) applyFontMetrics();
}

void TDBGrid::rebuildColumns() {
  cell_editor_->close();
  model_->rebuildColumns();
  sizeColumns();
  current_column_ = std::clamp(current_column_, 0, std::max(0, model_->columnCount() - 1));
  placeCursor();
  updateScrollBar();
}

void TDBGrid::showWindow(int distance) {
  cell_editor_->close();
  // A scroll by less than the rows shown moves the pixels that stay; only the rows that
  // come in and the two rows of the row cursor are painted again.
  const int rows = model_->rowCount();
  const int shift = std::abs(distance) < rows && link_.RecordCount() == rows ? distance : 0;
  const int former_active = model_->ActiveRow();
  if (shift != 0) view_->viewport()->scroll(0, -shift * RowHeight());
  model_->reloadRows(shift);
  if (shift != 0) {
    repaintRow(former_active - shift);
    repaintRow(model_->ActiveRow());
  }
  indicator_->repaintRow(former_active);
  indicator_->repaintRow(model_->ActiveRow());
  placeCursor();
  updateScrollBar();
}

void TDBGrid::repaintRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  view_->viewport()->update(0, view_->rowViewportPosition(row), view_->viewport()->width(), RowHeight());
}

void TDBGrid::showActiveRow() {
  model_->reloadActiveRow();
  indicator_->repaintRow(model_->ActiveRow());
  updateScrollBar();
}

void TDBGrid::writeTypedText() {
  cell_editor_->writeTypedText();
  model_->reloadActiveRow();
}

void TDBGrid::placeCursor() {
  const int row = model_->ActiveRow();
  QItemSelectionModel& selection = *view_->selectionModel();
  if (row < 0 || model_->columnCount() == 0) {
    selection.clear();
    return;
  }
  const QModelIndex current = model_->index(row, current_column_);
  selection.setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  view_->scrollTo(current);
}

void TDBGrid::updateScrollBar() {
  TDbf* dataset = link_.Active() ? link_.DataSet() : nullptr;
  scroll_bar_->setEnabled(dataset != nullptr);
  if (dataset == nullptr) {
    scroll_bar_->setRange(1, 1);
    return;
  }
  scroll_bar_->setRange(1, std::max(1, dataset->recordCount()));
  scroll_bar_->setPageStep(VisibleRowCount());
  // A new record has no number yet: the bar keeps showing where the examiner was.
  if (dataset->state() != TDataSetState::StateInsert) scroll_bar_->setValue(dataset->recordNumber());
}

void TDBGrid::scrollBarAction(int action) {
  run([&](TDbf& dataset) {
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
        dataset.moveBy(1);
        break;
      case QAbstractSlider::SliderSingleStepSub:
        dataset.moveBy(-1);
        break;
      case QAbstractSlider::SliderPageStepAdd:
        dataset.moveBy(VisibleRowCount());
        break;
      case QAbstractSlider::SliderPageStepSub:
        dataset.moveBy(-VisibleRowCount());
        break;
      case QAbstractSlider::SliderToMinimum:
        dataset.moveFirst();
        break;
      case QAbstractSlider::SliderToMaximum:
        dataset.moveLast();
        break;
      case QAbstractSlider::SliderMove: {
        const int position = scroll_bar_->sliderPosition();
        if (position <= 1) {
          dataset.moveFirst();
        } else if (position >= dataset.recordCount()) {
          dataset.moveLast();
        } else {
          dataset.setRecordNumber(position);
        }
        break;
      }
      default:
        break;
    }
  });
  // The bar would otherwise settle where the mouse put it, not where the dataset went.
  scroll_bar_->setSliderPosition(scroll_bar_->value());
}

}  // namespace dbf
