// The bound grid: a title row of field names, an indicator column marking the current
// record, and one row per record of the dataset's record window that the grid's link
// shows. Its own vertical scroll bar stands for the whole table; the rows never hold
// more than the visible records, so memory does not grow with the table.
#pragma once

#include <QWidget>

#include "DbfDataSource.h"

class QScrollBar;
class QTableView;

namespace dbf {

class TDBGrid;
class TDBGridModel;

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
inline constexpr unsigned kDefaultGridOptions = dgEditing | dgTitles | dgIndicator |
                                                dgColumnResize | dgColLines | dgRowLines |
                                                dgTabs | dgConfirmDelete | dgCancelOnExit;

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

  unsigned Options() const { return options_; }
  void SetOptions(unsigned options);

  // Data rows that fit the grid's height (at least 1).
  int VisibleRowCount() const;

  QTableView* View() const { return view_; }
  QScrollBar* VerticalScrollBar() const { return scroll_bar_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TGridDataLink;

  TGridDataLink link_;
  TDBGridModel* model_ = nullptr;
  QTableView* view_ = nullptr;
  QScrollBar* scroll_bar_ = nullptr;
  unsigned options_ = kDefaultGridOptions;
};

}  // namespace dbf
