// The bound grid's indicator column: a narrow header beside the rows that marks the
// current record with an arrow, or with an edit or insert mark while it is being
// changed. The marks are drawn here, in the header's text colour.
#pragma once

#include <QHeaderView>

#include "TDBGridModel.h"

namespace dbf {

class TDBGridIndicator : public QHeaderView {
  Q_OBJECT

 public:
  static constexpr int kWidth = 12;

  TDBGridIndicator(const TDBGridModel& model, QWidget* parent = nullptr);

  // Paints the mark of `row` again (the model announces no header changes: a header
  // change would make the whole table repaint).
  void repaintRow(int row);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logical_index) const override;

 private:
  const TDBGridModel& model_;
};

}  // namespace dbf
