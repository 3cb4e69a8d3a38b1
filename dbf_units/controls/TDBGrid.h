// The bound grid: a title row of field names, an indicator column marking the current
// record, and one row per record of the dataset's record window that the grid's link
// shows. Its own vertical scroll bar stands for the whole table; the rows never hold
// more than the visible records, so memory does not grow with the table.
#pragma once

#include <QFlags>
#include <QWidget>
#include <functional>

#include "DbfDataSource.h"

class QKeyEvent;
class QScrollBar;
class QTableView;

namespace dbf {

class TDBGrid;
class TDBGridCellEditor;
class TDBGridIndicator;
class TDBGridModel;
class TDbf;

enum TDBGridOption : unsigned {
  dgEditing = 1u << 0,
  dgTitles = 1u << 1,
  dgIndicator = 1u << 2,
  dgColumnResize = 1u << 3,
  dgColLines = 1u << 4,
  dgRowLines = 1u << 5,
  dgTabs = 1u << 6,
  dgConfirmDelete = 1u << 7,
  dgCancelOnExit = 1u << 8,
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGridOptions)
inline constexpr TDBGridOptions kDefaultGridOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines |
                                                      dgRowLines | dgTabs | dgConfirmDelete | dgCancelOnExit;

// The grid's link: its buffer count is the number of visible data rows.
class TGridDataLink : public TDataLink {
 public:
  explicit TGridDataLink(TDBGrid& grid);

 protected:
  void onActiveChanged() override;
  void onEditingChanged() override;
  void onRecordChanged(TField* field) override;
  void onDataSetChanged() override;
  void onScrolled(int distance) override;
  void onLayoutChanged() override;
  void onWriteBack() override;

 private:
  TDBGrid& grid_;
};

class TDBGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TDBGrid(QWidget* parent = nullptr);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);

  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions options);

  // Data rows that fit the grid's height (at least 1).
  int VisibleRowCount() const;
  // The height at which `rows` data rows fit exactly, at the grid's present width.
  int HeightForRows(int rows) const;

  QTableView* View() const { return view_; }
  QScrollBar* VerticalScrollBar() const { return scroll_bar_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TGridDataLink;

  // ---- What the link's hooks do ----
  void rebuildColumns();
  // The window changed; `distance`: rows the link's rows scrolled (0: rebuilt).
  void showWindow(int distance);
  void showActiveRow();
  void writeTypedText();

  // ---- Geometry ----
  int RowHeight() const;
  int ScrollBarHeightBelowRows() const;
  void applyFontMetrics();
  void sizeColumns();
  void layoutParts();
  void updateBufferCount();
  void placeCursor();
  void repaintRow(int row);
  void updateScrollBar();

  // ---- Keys, mouse and the scroll bar ----
  bool handleKey(QKeyEvent& key, bool in_editor);
  bool handleMoveKey(const QKeyEvent& key);
  bool handleEditorTyping(const QKeyEvent& key);
  bool handleViewportEvent(QEvent* event);
  void scrollBarAction(int action);
  void focusChanged(QWidget* old_focus, QWidget* new_focus);

  // ---- Actions; errors go to the error report ----
  void run(const std::function<void(TDbf& dataset)>& action);
  void priorRow(TDbf& dataset);
  void nextRow(TDbf& dataset);
  void moveToColumn(int column, TDbf& dataset);
  void openCellEditor(const QKeyEvent* typed);
  void enterCell();
  void escape(TDbf& dataset);
  void deleteCurrentRecord(TDbf& dataset);
  void leaveGrid(TDbf& dataset);
  // dgEditing, a writable link and a modifiable dataset.
  bool canEdit() const;
  bool newRecordUntouched() const;

  TGridDataLink link_;
  TDBGridModel* model_ = nullptr;
  TDBGridCellEditor* cell_editor_ = nullptr;
  TDBGridIndicator* indicator_ = nullptr;
  QTableView* view_ = nullptr;
  QScrollBar* scroll_bar_ = nullptr;
  TDBGridOptions options_ = kDefaultGridOptions;
  int current_column_ = 0;
  QMetaObject::Connection focus_connection_;
};

}  // namespace dbf
