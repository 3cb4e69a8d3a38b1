// What the bound grid shows: one column per visible field of the dataset and one row per
// row of its link, each row's texts read from the dataset's record window when the window
// changes. The table itself is never read here beyond the rows on screen.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "DbfDataSource.h"

namespace dbf {

class TField;

// The mark in the indicator column beside the current record.
enum class TIndicatorMark { None, Current, Editing, Inserting };

class TDBGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TDBGridModel(TDataLink& link, QObject* parent = nullptr);

  // Takes the visible fields of the link's dataset as columns (none while inactive) and
  // re-reads the rows.
  void rebuildColumns();
  // Re-reads the texts of every row from the record window and announces the rows whose
  // texts changed (the indicator column is the grid's to repaint). `shift`: the view's pixels moved with the rows, row
  // r now showing what row r + shift showed (0: nothing moved).
  void reloadRows(int shift);
  // Re-reads the current record's row.
  void reloadActiveRow();
  // Whether cells may be opened for editing (the grid's dgEditing).
  void SetEditable(bool editable);

  // REQUIRES: 0 <= column < columnCount().
  TField& FieldOfColumn(int column) const { return *fields_[static_cast<size_t>(column)]; }
  // The current record's row, or -1 without one.
  int ActiveRow() const { return active_row_; }
  TIndicatorMark MarkOfRow(int row) const;
  // Whether the column's cells may be edited: the grid allows it, the link is not
  // read-only and the field can be modified.
  bool ColumnEditable(int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // The display texts of the record in the dataset's active buffer, one per column.
  std::vector<QString> textsOfActiveBuffer() const;
  // The texts of the link's rows; notes the current record's row.
  std::vector<std::vector<QString>> readRows();

  TDataLink& link_;
  std::vector<TField*> fields_;
  std::vector<std::vector<QString>> rows_;
  int active_row_ = -1;
  bool editable_ = true;
};

}  // namespace dbf
