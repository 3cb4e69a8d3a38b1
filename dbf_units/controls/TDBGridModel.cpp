// The bound grid's model: columns from the dataset's visible fields, rows from the link's
// rows of the record window, read through the active buffer and cached until the window
// changes again.
#include "TDBGridModel.h"

#include "DbfFields.h"
#include "FieldAlignment.h"
#include "dbf.h"

namespace dbf {

namespace {

// Puts the dataset's active buffer back when the rows have been read, also after a failure.
class TActiveBufferKeeper {
 public:
  explicit TActiveBufferKeeper(TDbf& dataset) : dataset_(dataset), active_(dataset.activeBufferIndex()) {}
  ~TActiveBufferKeeper() { dataset_.setActiveBufferIndex(active_); }
  TActiveBufferKeeper(const TActiveBufferKeeper&) = delete;
  TActiveBufferKeeper& operator=(const TActiveBufferKeeper&) = delete;

 private:
  TDbf& dataset_;
  int active_;
};

}  // namespace

TDBGridModel::TDBGridModel(TDataLink& link, QObject* parent) : QAbstractTableModel(parent), link_(link) {}

void TDBGridModel::rebuildColumns() {
  beginResetModel();
  fields_.clear();
  if (link_.Active()) {
    const TDbf& dataset = *link_.DataSet();
    for (int i = 0; i < dataset.fieldCount(); ++i) {
      TField& field = dataset.fieldAt(i);
      if (field.Visible()) fields_.push_back(&field);
    }
  }
  rows_ = readRows();
  endResetModel();
}

void TDBGridModel::reloadRows(int shift) {
  const std::vector<std::vector<QString>> former = rows_;
  const int former_count = static_cast<int>(former.size());
  std::vector<std::vector<QString>> rows = readRows();
  const int count = static_cast<int>(rows.size());
  // Rows that come or go are announced as such, so the view keeps its current column.
  if (count < former_count) {
    beginRemoveRows(QModelIndex(), count, former_count - 1);
    rows_ = std::move(rows);
    endRemoveRows();
  } else if (count > former_count) {
    beginInsertRows(QModelIndex(), former_count, count - 1);
    rows_ = std::move(rows);
    endInsertRows();
  } else {
    rows_ = std::move(rows);
  }
  // Only rows that show something new are repainted.
  for (int row = 0; row < count; ++row) {
    const int shown_before = row + shift;
    if (shown_before < 0 || shown_before >= former_count ||
        former[static_cast<size_t>(shown_before)] != rows_[static_cast<size_t>(row)]) {
      emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)));
    }
  }
}

void TDBGridModel::reloadActiveRow() {
  if (active_row_ < 0 || active_row_ >= rowCount()) return;
  rows_[static_cast<size_t>(active_row_)] = textsOfActiveBuffer();
  emit dataChanged(index(active_row_, 0), index(active_row_, std::max(0, columnCount() - 1)));
}

void TDBGridModel::SetEditable(bool editable) { editable_ = editable; }

std::vector<QString> TDBGridModel::textsOfActiveBuffer() const {
  std::vector<QString> texts;
  texts.reserve(fields_.size());
  for (const TField* field : fields_) texts.push_back(QString::fromStdString(field->displayText()));
  return texts;
}

std::vector<std::vector<QString>> TDBGridModel::readRows() {
  std::vector<std::vector<QString>> rows;
  const int count = link_.RecordCount();
  active_row_ = count > 0 ? link_.ActiveRecord() : -1;
  if (count == 0) return rows;
  TActiveBufferKeeper keeper(*link_.DataSet());
  for (int row = 0; row < count; ++row) {
    link_.SetActiveRecord(row);
    rows.push_back(textsOfActiveBuffer());
  }
  return rows;
}

TIndicatorMark TDBGridModel::MarkOfRow(int row) const {
  if (row != active_row_ || link_.DataSource() == nullptr) return TIndicatorMark::None;
  switch (link_.DataSource()->State()) {
    case TDataSetState::StateEdit:
      return TIndicatorMark::Editing;
    case TDataSetState::StateInsert:
      return TIndicatorMark::Inserting;
    case TDataSetState::StateBrowse:
      return TIndicatorMark::Current;
    case TDataSetState::StateInactive:
      break;
  }
  return TIndicatorMark::None;
}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TDBGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
    return QVariant();
  }
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return rows_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(TextAlignmentOf(&FieldOfColumn(index.column())));
    default:
      return QVariant();
  }
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // The rows carry no numbers: the indicator column draws its own marks.
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) {
    return QVariant();
  }
  return QString::fromStdString(FieldOfColumn(section).FieldName());
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (ColumnEditable(index.column())) flags |= Qt::ItemIsEditable;
  return flags;
}

bool TDBGridModel::ColumnEditable(int column) const {
  return editable_ && !link_.ReadOnly() && column >= 0 && column < columnCount() && FieldOfColumn(column).CanModify();
}

}  // namespace dbf
