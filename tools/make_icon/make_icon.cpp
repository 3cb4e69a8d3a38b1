// Draws the program's icon, a sheet of four pictures with one chosen and a tick beside it,
// from one list of shapes into an SVG file and PNG files of the usual sizes, laid out as
// an icon theme's folders: FOLDER/hicolor/scalable/apps/NAME.svg and
// FOLDER/hicolor/NxN/apps/NAME.png. The build runs it; nothing it writes is committed.
//
// Usage: make_icon FOLDER NAME
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

// The drawing's own square, in which the shapes are given.
constexpr int kCanvas = 256;
constexpr int kPngSizes[] = {16, 24, 32, 48, 64, 128, 256};

enum class TShapeKind { RoundedRect, Circle, Polygon, Polyline };

// One shape; an empty colour draws no fill or no outline. Rectangles and circles take
// their figures from `box` (x, y, width, height; a circle's box is its bounding square).
struct TIconShape {
  TShapeKind kind;
  QRectF box;
  qreal corner_radius;
  std::vector<QPointF> points;
  const char* fill;
  const char* stroke;
  qreal stroke_width;
};

const std::vector<TIconShape>& IconShapes() {
  static const std::vector<TIconShape> shapes = {
      // The sheet of the test.
      {TShapeKind::RoundedRect, {20, 14, 216, 228}, 22, {}, "#fbf8ef", "#4a4a4a", 10},
      // Four pictures.
      {TShapeKind::Circle, {46, 42, 72, 72}, 0, {}, "#f0a32e", nullptr, 0},
      {TShapeKind::Polygon, {}, 0, {{174, 40}, {212, 114}, {136, 114}}, "#2f76d2", nullptr, 0},
      {TShapeKind::RoundedRect, {50, 136, 64, 64}, 6, {}, "#3f9b48", nullptr, 0},
      {TShapeKind::Polygon, {}, 0, {{174, 130}, {208, 168}, {174, 206}, {140, 168}}, "#9747c4", nullptr, 0},
      // The chosen picture.
      {TShapeKind::RoundedRect, {126, 30, 96, 96}, 14, {}, nullptr, "#d32f2f", 10},
      // The tick, with a light edge that keeps it apart from the sheet.
      {TShapeKind::Polyline, {}, 0, {{118, 196}, {152, 230}, {232, 150}}, nullptr, "#ffffff", 44},
      {TShapeKind::Polyline, {}, 0, {{118, 196}, {152, 230}, {232, 150}}, nullptr, "#2e7d32", 26},
  };
  return shapes;
}

QString Number(qreal value) { return QString::number(value, 'g', 6); }

QString PointList(const std::vector<QPointF>& points) {
  QStringList texts;
  for (const QPointF& point : points) texts << Number(point.x()) + ',' + Number(point.y());
  return texts.join(' ');
}

QString SvgPaint(const TIconShape& shape) {
  QString paint = QStringLiteral(" fill=\"%1\"").arg(shape.fill ? shape.fill : "none");
  if (shape.stroke) {
    paint += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"").arg(shape.stroke, Number(shape.stroke_width));
  }
  if (shape.kind == TShapeKind::Polyline) paint += " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
  return paint;
}

QString SvgElement(const TIconShape& shape) {
  const QRectF& box = shape.box;
  switch (shape.kind) {
    case TShapeKind::RoundedRect:
      return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"")
                 .arg(Number(box.x()), Number(box.y()), Number(box.width()), Number(box.height()),
                      Number(shape.corner_radius)) +
             SvgPaint(shape) + "/>";
    case TShapeKind::Circle:
      return QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\"")
                 .arg(Number(box.center().x()), Number(box.center().y()), Number(box.width() / 2)) +
             SvgPaint(shape) + "/>";
    case TShapeKind::Polygon:
      return "<polygon points=\"" + PointList(shape.points) + '"' + SvgPaint(shape) + "/>";
    case TShapeKind::Polyline:
      return "<polyline points=\"" + PointList(shape.points) + '"' + SvgPaint(shape) + "/>";
  }
  return {};
}

QByteArray IconSvg() {
  QString svg = QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
                    .arg(kCanvas);
  for (const TIconShape& shape : IconShapes()) svg += "  " + SvgElement(shape) + '\n';
  return (svg + "</svg>\n").toUtf8();
}

// The painter set up as SVG paints the shape: miter joins, round ones for polylines.
void SetPaint(QPainter& painter, const TIconShape& shape) {
  painter.setBrush(shape.fill ? QBrush(QColor(shape.fill)) : QBrush(Qt::NoBrush));
  if (!shape.stroke) {
    painter.setPen(Qt::NoPen);
    return;
  }
  const bool line = shape.kind == TShapeKind::Polyline;
  painter.setPen(QPen(QColor(shape.stroke), shape.stroke_width, Qt::SolidLine, line ? Qt::RoundCap : Qt::SquareCap,
                      line ? Qt::RoundJoin : Qt::MiterJoin));
}

void PaintShape(QPainter& painter, const TIconShape& shape) {
  SetPaint(painter, shape);
  const QPolygonF polygon(QList<QPointF>(shape.points.begin(), shape.points.end()));
  switch (shape.kind) {
    case TShapeKind::RoundedRect:
      painter.drawRoundedRect(shape.box, shape.corner_radius, shape.corner_radius);
      break;
    case TShapeKind::Circle:
      painter.drawEllipse(shape.box);
      break;
    case TShapeKind::Polygon:
      painter.drawPolygon(polygon);
      break;
    case TShapeKind::Polyline:
      painter.drawPolyline(polygon);
      break;
  }
}

QImage IconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(qreal(size) / kCanvas, qreal(size) / kCanvas);
  for (const TIconShape& shape : IconShapes()) PaintShape(painter, shape);
  return image;
}

// The path of the icon file in `theme`'s folder for `size_folder` ("scalable", "48x48").
QString IconPath(const QString& theme, const QString& size_folder, const QString& file_name) {
  const QString folder = theme + '/' + size_folder + "/apps";
  if (!QDir().mkpath(folder)) throw std::runtime_error("Cannot create folder " + folder.toStdString());
  return folder + '/' + file_name;
}

void WriteIcons(const QString& folder, const QString& name) {
  const QString theme = folder + "/hicolor";
  const QString svg_path = IconPath(theme, "scalable", name + ".svg");
  QFile svg(svg_path);
  const QByteArray text = IconSvg();
  if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(text) != text.size() || !svg.flush()) {
    throw std::runtime_error("Cannot write file " + svg_path.toStdString());
  }
  for (const int size : kPngSizes) {
    const QString png_path = IconPath(theme, QStringLiteral("%1x%1").arg(size), name + ".png");
    if (!IconImage(size).save(png_path, "PNG")) throw std::runtime_error("Cannot write file " + png_path.toStdString());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_icon FOLDER NAME\n", stderr);
    return 2;
  }
  try {
    WriteIcons(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_icon: %s\n", error.what());
    return 1;
  }
  return 0;
}
