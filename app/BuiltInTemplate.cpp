#include "BuiltInTemplate.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <functional>
#include <initializer_list>

#include "HitGrid.h"

namespace app {

namespace {

// The few colours the pictures use; the rest of the palette is a grey ramp.
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(220, 30, 30);
const QRgb kGreen = qRgb(40, 160, 40);
const QRgb kDarkGreen = qRgb(20, 100, 30);
const QRgb kBlue = qRgb(40, 80, 210);
const QRgb kLightBlue = qRgb(140, 200, 240);
const QRgb kYellow = qRgb(250, 220, 40);
const QRgb kOrange = qRgb(245, 140, 30);
const QRgb kBrown = qRgb(140, 85, 40);
const QRgb kGrey = qRgb(150, 150, 150);
const QRgb kPink = qRgb(240, 150, 190);
const QRgb kPurple = qRgb(130, 60, 170);

QList<QRgb> TemplatePalette() {
  QList<QRgb> palette = {kWhite,  kBlack,  kRed,   kGreen, kDarkGreen, kBlue,  kLightBlue,
                         kYellow, kOrange, kBrown, kGrey,  kPink,      kPurple};
  for (int grey = 0; palette.size() < 256; ++grey) {
    const int level = grey * 255 / (256 - 14);
    palette.append(qRgb(level, level, level));
  }
  return palette;
}

// Each ruled line is two pixels wide and begins on its bound of the hit grid, so no part of
// a picture lies on a bound. The lines follow the grid, which alone decides what a click hits.
constexpr int kRuleWidth = 2;
// The top line lies this far below the grid's top bound: the strip between them still
// counts for row 1, and the main window's chosen-picture box covers part of it.
constexpr int kTopStripHeight = 10;

constexpr auto kVerticalRules = tarni::column_bounds;

constexpr auto HorizontalRules() {
  auto rules = tarni::row_bounds;
  rules.front() += kTopStripHeight;
  return rules;
}
constexpr auto kHorizontalRules = HorizontalRules();

constexpr int kColumns = static_cast<int>(kVerticalRules.size()) - 1;
constexpr int kRows = static_cast<int>(kHorizontalRules.size()) - 1;

void DrawRules(QPainter& painter) {
  const int left = kVerticalRules.front();
  const int right = kVerticalRules.back() + kRuleWidth;
  const int top = kHorizontalRules.front();
  const int bottom = kHorizontalRules.back() + kRuleWidth;
  for (int x : kVerticalRules) painter.fillRect(x, top, kRuleWidth, bottom - top, QColor(kBlack));
  for (int y : kHorizontalRules) painter.fillRect(left, y, right - left, kRuleWidth, QColor(kBlack));
}

// A picture is drawn in a unit square mapped onto a box inside its cell.
class PictureBox {
 public:
  PictureBox(QPainter& painter, const QRectF& box) : painter_(painter), box_(box) {}

  QPointF at(double x, double y) const { return {box_.left() + x * box_.width(), box_.top() + y * box_.height()}; }
  QRectF rect(double x, double y, double w, double h) const { return {at(x, y), at(x + w, y + h)}; }

  void polygon(QRgb fill, std::initializer_list<std::pair<double, double>> points) {
    QPolygonF shape;
    for (const auto& [x, y] : points) shape << at(x, y);
    use(fill);
    painter_.drawPolygon(shape);
  }
  void ellipse(QRgb fill, double x, double y, double w, double h) {
    use(fill);
    painter_.drawEllipse(rect(x, y, w, h));
  }
  void box(QRgb fill, double x, double y, double w, double h) {
    use(fill);
    painter_.drawRect(rect(x, y, w, h));
  }
  void line(double x1, double y1, double x2, double y2) { painter_.drawLine(at(x1, y1), at(x2, y2)); }
  void path(QRgb fill, const QPainterPath& shape) {
    use(fill);
    painter_.drawPath(shape);
  }

 private:
  void use(QRgb fill) { painter_.setBrush(QColor(fill)); }

  QPainter& painter_;
  QRectF box_;
};

void Heart(PictureBox& b) {
  QPainterPath heart(b.at(0.5, 0.95));
  heart.cubicTo(b.at(-0.1, 0.5), b.at(0.1, -0.05), b.at(0.5, 0.25));
  heart.cubicTo(b.at(0.9, -0.05), b.at(1.1, 0.5), b.at(0.5, 0.95));
  b.path(kRed, heart);
}

void Star(PictureBox& b) {
  b.polygon(kOrange, {{0.5, 0.0},
                      {0.62, 0.36},
                      {1.0, 0.36},
                      {0.69, 0.59},
                      {0.81, 0.97},
                      {0.5, 0.74},
                      {0.19, 0.97},
                      {0.31, 0.59},
                      {0.0, 0.36},
                      {0.38, 0.36}});
}

void Sun(PictureBox& b) {
  for (int ray = 0; ray < 8; ++ray) {
    const double dx[] = {0.5, 0.85, 1.0, 0.85, 0.5, 0.15, 0.0, 0.15};
    const double dy[] = {0.0, 0.15, 0.5, 0.85, 1.0, 0.85, 0.5, 0.15};
    b.line(0.5, 0.5, dx[ray], dy[ray]);
  }
  b.ellipse(kYellow, 0.22, 0.22, 0.56, 0.56);
}

void Moon(PictureBox& b) {
  QPainterPath disc;
  disc.addEllipse(b.rect(0.1, 0.0, 0.8, 1.0));
  QPainterPath bite;
  bite.addEllipse(b.rect(0.35, -0.1, 0.8, 1.0));
  b.path(kYellow, disc.subtracted(bite));
}

void Flower(PictureBox& b) {
  b.line(0.5, 0.5, 0.5, 1.0);
  b.ellipse(kPink, 0.35, 0.0, 0.3, 0.35);
  b.ellipse(kPink, 0.35, 0.45, 0.3, 0.35);
  b.ellipse(kPink, 0.1, 0.23, 0.35, 0.3);
  b.ellipse(kPink, 0.55, 0.23, 0.35, 0.3);
  b.ellipse(kYellow, 0.38, 0.27, 0.24, 0.24);
}

void Fish(PictureBox& b) {
  b.polygon(kBlue, {{0.7, 0.5}, {1.0, 0.2}, {1.0, 0.8}});
  b.ellipse(kBlue, 0.0, 0.2, 0.78, 0.6);
  b.ellipse(kWhite, 0.15, 0.38, 0.1, 0.1);
}

void Umbrella(PictureBox& b) {
  b.line(0.5, 0.45, 0.5, 0.95);
  b.line(0.5, 0.95, 0.38, 0.95);
  QPainterPath canopy(b.at(0.0, 0.5));
  canopy.arcTo(b.rect(0.0, 0.05, 1.0, 0.9), 180, -180);
  canopy.closeSubpath();
  b.path(kPurple, canopy);
}

void Cup(PictureBox& b) {
  b.ellipse(kWhite, 0.6, 0.3, 0.35, 0.35);
  b.polygon(kLightBlue, {{0.1, 0.15}, {0.75, 0.15}, {0.65, 0.9}, {0.2, 0.9}});
}

void Mushroom(PictureBox& b) {
  b.box(kWhite, 0.38, 0.45, 0.24, 0.5);
  QPainterPath cap(b.at(0.0, 0.5));
  cap.arcTo(b.rect(0.0, 0.0, 1.0, 1.0), 180, -180);
  cap.closeSubpath();
  b.path(kRed, cap);
  b.ellipse(kWhite, 0.25, 0.18, 0.14, 0.12);
  b.ellipse(kWhite, 0.6, 0.22, 0.14, 0.12);
}

void Key(PictureBox& b) {
  b.box(kGrey, 0.35, 0.45, 0.65, 0.1);
  b.box(kGrey, 0.75, 0.55, 0.08, 0.2);
  b.box(kGrey, 0.9, 0.55, 0.08, 0.15);
  b.ellipse(kGrey, 0.0, 0.25, 0.4, 0.5);
  b.ellipse(kWhite, 0.12, 0.4, 0.16, 0.2);
}

void Car(PictureBox& b) {
  b.polygon(kBlue, {{0.2, 0.45}, {0.3, 0.2}, {0.7, 0.2}, {0.8, 0.45}});
  b.box(kBlue, 0.0, 0.45, 1.0, 0.3);
  b.ellipse(kBlack, 0.12, 0.62, 0.22, 0.3);
  b.ellipse(kBlack, 0.66, 0.62, 0.22, 0.3);
}

void Snowman(PictureBox& b) {
  b.ellipse(kWhite, 0.2, 0.5, 0.6, 0.5);
  b.ellipse(kWhite, 0.3, 0.24, 0.4, 0.32);
  b.ellipse(kWhite, 0.37, 0.06, 0.26, 0.22);
  b.box(kBlack, 0.4, 0.0, 0.2, 0.08);
  b.polygon(kOrange, {{0.5, 0.15}, {0.68, 0.18}, {0.5, 0.21}});
  b.ellipse(kBlack, 0.47, 0.34, 0.06, 0.06);
  b.ellipse(kBlack, 0.47, 0.44, 0.06, 0.06);
}

using Picture = std::function<void(PictureBox&)>;

// Thirty distinct pictures, numbered as the hit grid numbers its cells.
const std::array<Picture, kColumns * kRows>& Pictures() {
  static const std::array<Picture, kColumns* kRows> pictures = {
      [](PictureBox& b) { b.ellipse(kRed, 0.1, 0.05, 0.8, 0.9); },
      [](PictureBox& b) { b.box(kBlue, 0.1, 0.05, 0.8, 0.9); },
      [](PictureBox& b) {
        b.polygon(kGreen, {{0.5, 0.0}, {1.0, 1.0}, {0.0, 1.0}});
      },
      [](PictureBox& b) {
        b.polygon(kYellow, {{0.5, 0.0}, {1.0, 0.5}, {0.5, 1.0}, {0.0, 0.5}});
      },
      Star,
      [](PictureBox& b) {
        b.polygon(kRed, {{0.35, 0.0},
                         {0.65, 0.0},
                         {0.65, 0.35},
                         {1.0, 0.35},
                         {1.0, 0.65},
                         {0.65, 0.65},
                         {0.65, 1.0},
                         {0.35, 1.0},
                         {0.35, 0.65},
                         {0.0, 0.65},
                         {0.0, 0.35},
                         {0.35, 0.35}});
      },
      Heart,
      [](PictureBox& b) {
        b.box(kBrown, 0.15, 0.45, 0.7, 0.55);
        b.polygon(kRed, {{0.5, 0.0}, {1.0, 0.45}, {0.0, 0.45}});
        b.box(kLightBlue, 0.42, 0.65, 0.16, 0.35);
      },
      [](PictureBox& b) {
        b.box(kBrown, 0.42, 0.6, 0.16, 0.4);
        b.ellipse(kDarkGreen, 0.1, 0.0, 0.8, 0.7);
      },
      Sun,
      Moon,
      Flower,
      Fish,
      [](PictureBox& b) {
        b.polygon(kGreen, {{0.0, 0.35}, {0.55, 0.35}, {0.55, 0.1}, {1.0, 0.5}, {0.55, 0.9}, {0.55, 0.65}, {0.0, 0.65}});
      },
      [](PictureBox& b) {
        b.polygon(kOrange, {{0.15, 0.0}, {0.85, 0.0}, {0.5, 0.5}, {0.85, 1.0}, {0.15, 1.0}, {0.5, 0.5}});
      },
      Umbrella,
      Cup,
      Mushroom,
      [](PictureBox& b) {
        b.polygon(kYellow, {{0.55, 0.0}, {0.2, 0.55}, {0.48, 0.55}, {0.35, 1.0}, {0.82, 0.4}, {0.55, 0.4}});
      },
      [](PictureBox& b) {
        b.polygon(kPurple, {{0.25, 0.0}, {0.75, 0.0}, {1.0, 0.5}, {0.75, 1.0}, {0.25, 1.0}, {0.0, 0.5}});
      },
      [](PictureBox& b) {
        b.ellipse(kBlue, 0.1, 0.05, 0.8, 0.9);
        b.ellipse(kWhite, 0.32, 0.3, 0.36, 0.4);
      },
      [](PictureBox& b) {
        b.box(kBrown, 0.1, 0.0, 0.06, 1.0);
        b.polygon(kRed, {{0.16, 0.05}, {0.95, 0.25}, {0.16, 0.45}});
      },
      [](PictureBox& b) {
        b.line(0.5, 0.0, 0.5, 0.6);
        b.polygon(kWhite, {{0.52, 0.05}, {0.9, 0.58}, {0.52, 0.58}});
        b.polygon(kBrown, {{0.0, 0.65}, {1.0, 0.65}, {0.8, 0.95}, {0.2, 0.95}});
      },
      [](PictureBox& b) {
        b.box(kWhite, 0.0, 0.15, 1.0, 0.7);
        b.line(0.0, 0.15, 0.5, 0.55);
        b.line(1.0, 0.15, 0.5, 0.55);
      },
      [](PictureBox& b) {
        b.box(kBrown, 0.2, 0.0, 0.08, 1.0);
        b.box(kBrown, 0.72, 0.0, 0.08, 1.0);
        for (double y : {0.12, 0.35, 0.58, 0.81}) b.box(kBrown, 0.28, y, 0.44, 0.06);
      },
      Key,
      [](PictureBox& b) {
        b.polygon(kYellow,
                  {{0.5, 0.0}, {0.75, 0.2}, {0.8, 0.75}, {0.95, 0.85}, {0.05, 0.85}, {0.2, 0.75}, {0.25, 0.2}});
        b.ellipse(kBrown, 0.42, 0.82, 0.16, 0.16);
      },
      Car,
      [](PictureBox& b) {
        b.ellipse(kGreen, 0.0, 0.2, 1.0, 0.6);
        b.line(0.05, 0.5, 0.95, 0.5);
      },
      Snowman,
  };
  return pictures;
}

// The inside of cell (column, row), 0-based, between the ruled lines around it.
QRect CellInside(int column, int row) {
  const int left = kVerticalRules[column] + kRuleWidth;
  const int right = kVerticalRules[column + 1];
  const int top = kHorizontalRules[row] + kRuleWidth;
  const int bottom = kHorizontalRules[row + 1];
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

constexpr int kPictureWidth = 84;
constexpr int kPictureHeight = 70;

void DrawPictures(QPainter& painter) {
  painter.setPen(QPen(QColor(kBlack), 2));
  const auto& pictures = Pictures();
  for (int index = 0; index < static_cast<int>(pictures.size()); ++index) {
    const QRect cell = CellInside(index % kColumns, index / kColumns);
    QRect box(0, 0, kPictureWidth, kPictureHeight);
    box.moveCenter(cell.center());
    PictureBox picture(painter, box);
    pictures[index](picture);
  }
}

}  // namespace

QImage BuiltInTemplate() {
  QImage canvas(kBuiltInTemplateWidth, kBuiltInTemplateHeight, QImage::Format_RGB32);
  canvas.fill(kWhite);
  {
    QPainter painter(&canvas);
    // Without antialiasing every pixel is one of the palette's colours, so the conversion
    // to the palette below is exact.
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawRules(painter);
    DrawPictures(painter);
  }
  return canvas.convertToFormat(QImage::Format_Indexed8, TemplatePalette(), Qt::ThresholdDither | Qt::AvoidDither);
}

}  // namespace app
