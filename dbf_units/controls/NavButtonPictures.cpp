#include "NavButtonPictures.h"

#include <QIconEngine>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <algorithm>
#include <initializer_list>

namespace dbf {

namespace {

// Every picture is drawn on a 16 × 16 grid and scaled to the button's icon size.
constexpr qreal kGrid = 16;
// The width of the tick and of the cross on that grid.
constexpr qreal kLineWidth = 2.4;

const QColor kInk(0x1a, 0x1a, 0x1a);
const QColor kPostInk(0x0a, 0x7a, 0x0a);
const QColor kCancelInk(0xb0, 0x10, 0x10);
const QColor kRefreshInk(0x10, 0x50, 0x8a);
const QColor kDisabledInk(0x8c, 0x8c, 0x8c);
const QColor kDisabledShadow(Qt::white);

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(points));
  path.closeSubpath();
  return path;
}

// Open lines through the points of each polygon.
QPainterPath Lines(std::initializer_list<QPolygonF> lines) {
  QPainterPath path;
  for (const QPolygonF& line : lines) path.addPolygon(line);
  return path;
}

QPainterPath Stroke(const QPainterPath& line, qreal width) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setJoinStyle(Qt::MiterJoin);
  QPainterPath stroke = stroker.createStroke(line);
  stroke.setFillRule(Qt::WindingFill);
  return stroke;
}

QPainterPath RefreshArrow() {
  const QRectF circle(3.5, 3.5, 9, 9);
  const qreal start_angle = 60;
  const qreal end_angle = start_angle + 270;
  QPainterPath arc;
  arc.arcMoveTo(circle, start_angle);
  arc.arcTo(circle, start_angle, end_angle - start_angle);
  QPainterPath arrow = Stroke(arc, 1.8);
  // The head points on along the circle, counter-clockwise.
  const QPointF end = arc.currentPosition();
  const QPointF across = QLineF::fromPolar(2.6, end_angle).p2();
  const QPointF ahead = QLineF::fromPolar(3.0, end_angle + 90).p2();
  arrow.addPath(Polygon({end + across, end - across, end + ahead}));
  return arrow;
}

QPainterPath ShapeOf(TNavigateBtn button) {
  QPainterPath shape;
  shape.setFillRule(Qt::WindingFill);
  switch (button) {
    case TNavigateBtn::nbFirst:
      shape.addRect(3.5, 3, 2, 10);
      shape.addPath(Polygon({{12.5, 3}, {12.5, 13}, {6.5, 8}}));
      break;
    case TNavigateBtn::nbPrior:
      shape.addPath(Polygon({{10.5, 3}, {10.5, 13}, {4.5, 8}}));
      break;
    case TNavigateBtn::nbNext:
      shape.addPath(Polygon({{5.5, 3}, {5.5, 13}, {11.5, 8}}));
      break;
    case TNavigateBtn::nbLast:
      shape.addPath(Polygon({{3.5, 3}, {3.5, 13}, {9.5, 8}}));
      shape.addRect(10.5, 3, 2, 10);
      break;
    case TNavigateBtn::nbInsert:
      shape.addRect(7, 3, 2, 10);
      shape.addRect(3, 7, 10, 2);
      break;
    case TNavigateBtn::nbDelete:
      shape.addRect(3, 7, 10, 2);
      break;
    case TNavigateBtn::nbEdit:
      shape.addPath(Polygon({{3, 11.5}, {13, 11.5}, {8, 4.5}}));
      break;
    case TNavigateBtn::nbPost:
      shape.addPath(Stroke(Lines({QPolygonF{{3, 8.5}, {6.5, 12}, {13, 4.5}}}), kLineWidth));
      break;
    case TNavigateBtn::nbCancel:
      shape.addPath(Stroke(Lines({QPolygonF{{4, 4}, {12, 12}}, QPolygonF{{12, 4}, {4, 12}}}), kLineWidth));
      break;
    case TNavigateBtn::nbRefresh:
      shape.addPath(RefreshArrow());
      break;
  }
  return shape;
}

QColor InkOf(TNavigateBtn button) {
  switch (button) {
    case TNavigateBtn::nbPost:
      return kPostInk;
    case TNavigateBtn::nbCancel:
      return kCancelInk;
    case TNavigateBtn::nbRefresh:
      return kRefreshInk;
    default:
      return kInk;
  }
}

// The picture centred in `rect` at the largest square size that fits.
void DrawPicture(QPainter& painter, const QRect& rect, TNavigateBtn button, bool disabled) {
  const qreal side = std::min(rect.width(), rect.height());
  if (side <= 0) return;
  const qreal pixel = kGrid / side;
  const QPainterPath shape = ShapeOf(button);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
  painter.scale(side / kGrid, side / kGrid);
  if (disabled) {
    painter.fillPath(shape.translated(pixel, pixel), kDisabledShadow);
    painter.fillPath(shape, kDisabledInk);
  } else {
    painter.fillPath(shape, InkOf(button));
  }
  painter.restore();
}

class TNavPictureEngine : public QIconEngine {
 public:
  explicit TNavPictureEngine(TNavigateBtn button) : button_(button) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    DrawPicture(*painter, rect, button_, mode == QIcon::Disabled);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }

  QIconEngine* clone() const override { return new TNavPictureEngine(button_); }

 private:
  TNavigateBtn button_;
};

}  // namespace

QIcon NavButtonIcon(TNavigateBtn button) { return QIcon(new TNavPictureEngine(button)); }

}  // namespace dbf
