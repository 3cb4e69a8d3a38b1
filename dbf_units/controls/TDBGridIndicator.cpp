// The indicator column and its three marks: a right-pointing arrow for the current
// record, an I-beam for a record being edited, an asterisk for a new record.
#include "TDBGridIndicator.h"

#include <QPainter>
#include <QPalette>
#include <QPolygon>

namespace dbf {

namespace {

void PaintArrow(QPainter& painter, QPoint centre, const QColor& color) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawPolygon(QPolygon({centre + QPoint(-2, -4), centre + QPoint(2, 0), centre + QPoint(-2, 4)}));
}

void PaintEditMark(QPainter& painter, QPoint centre, const QColor& color) {
  painter.setPen(QPen(color, 1));
  painter.drawLine(centre + QPoint(0, -4), centre + QPoint(0, 4));
  painter.drawLine(centre + QPoint(-2, -5), centre + QPoint(-1, -5));
  painter.drawLine(centre + QPoint(1, -5), centre + QPoint(2, -5));
  painter.drawLine(centre + QPoint(-2, 5), centre + QPoint(-1, 5));
  painter.drawLine(centre + QPoint(1, 5), centre + QPoint(2, 5));
}

void PaintInsertMark(QPainter& painter, QPoint centre, const QColor& color) {
  painter.setPen(QPen(color, 1));
  painter.drawLine(centre + QPoint(0, -4), centre + QPoint(0, 4));
  painter.drawLine(centre + QPoint(-3, -2), centre + QPoint(3, 2));
  painter.drawLine(centre + QPoint(-3, 2), centre + QPoint(3, -2));
}

// Draws `mark` centred in `rect`.
void PaintIndicatorMark(QPainter& painter, const QRect& rect, TIndicatorMark mark, const QColor& color) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QPoint centre = rect.center();
  switch (mark) {
    case TIndicatorMark::Current:
      PaintArrow(painter, centre, color);
      break;
    case TIndicatorMark::Editing:
      PaintEditMark(painter, centre, color);
      break;
    case TIndicatorMark::Inserting:
      PaintInsertMark(painter, centre, color);
      break;
    case TIndicatorMark::None:
      break;
  }
}

}  // namespace

TDBGridIndicator::TDBGridIndicator(const TDBGridModel& model, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent), model_(model) {
  setSectionResizeMode(QHeaderView::Fixed);
  setSectionsClickable(false);
  setFixedWidth(kWidth);
  // Below the last row the column is the grid's empty space, not part of the indicator.
  QPalette colours = palette();
  colours.setBrush(QPalette::Window, colours.brush(QPalette::Base));
  setPalette(colours);
}

void TDBGridIndicator::repaintRow(int row) {
  if (row < 0 || row >= count()) return;
  viewport()->update(0, sectionViewportPosition(row), viewport()->width(), sectionSize(row));
}

void TDBGridIndicator::paintSection(QPainter* painter, const QRect& rect, int logical_index) const {
  // The style leaves the painter clipped to a section's (empty) label.
  painter->save();
  QHeaderView::paintSection(painter, rect, logical_index);
  painter->restore();
  PaintIndicatorMark(*painter, rect, model_.MarkOfRow(logical_index), palette().color(QPalette::ButtonText));
}

}  // namespace dbf
