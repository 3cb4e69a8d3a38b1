// The built-in template: its format, the ruled lines on the hit grid's bounds (each the
// two pixels from its bound on), thirty different pictures, and examples/Tarni_1.BMP as
// its copy.
#include "BuiltInTemplate.h"

#include <gtest/gtest.h>

#include <QFile>
#include <array>
#include <set>

#include "HitGrid.h"
#include "ProgramTestSupport.h"
#include "TemplateBitmap.h"

namespace app {
namespace {

using testing::BmpBytes;

TEST(TemplateBitmap, BuiltInTemplateRulesTheHitGridAroundThirtyDifferentPictures) {
  const QImage image = BuiltInTemplate();
  EXPECT_EQ(image.size(), QSize(800, 566));
  EXPECT_EQ(image.format(), QImage::Format_Indexed8);
  EXPECT_EQ(image.colorCount(), 256);
  const QRgb black = qRgb(0, 0, 0);
  for (int bound : tarni::column_bounds) EXPECT_EQ(image.pixel(bound, 300), black) << "x " << bound;
  for (size_t k = 1; k < tarni::row_bounds.size(); ++k) {
    EXPECT_EQ(image.pixel(400, tarni::row_bounds[k]), black) << "y " << tarni::row_bounds[k];
  }
  EXPECT_EQ(image.pixel(400, 32), black);
  EXPECT_NE(image.pixel(400, 31), black) << "the top strip is not ruled";

  // The inside of every cell holds something, and no two cells hold the same.
  std::set<QByteArray> pictures;
  for (int picture = 0; picture < 30; ++picture) {
    const int column = picture % 6;
    const int row = picture / 6;
    const QImage cell = image.copy(QRect(QPoint(tarni::column_bounds[column] + 2, tarni::row_bounds[row] + 12),
                                         QPoint(tarni::column_bounds[column + 1] - 2, tarni::row_bounds[row + 1] - 2)));
    QImage blank = cell;
    blank.fill(cell.pixelIndex(0, 0));
    EXPECT_NE(cell, blank) << "picture " << picture + 1;
    pictures.insert(BmpBytes(cell.copy(0, 0, 100, 80)));
  }
  EXPECT_EQ(pictures.size(), 30u);
  EXPECT_EQ(BmpBytes(BuiltInTemplate()), BmpBytes(image)) << "drawn the same every time";
}

TEST(TemplateBitmap, EachRuledLineIsTheTwoPixelsFromItsBoundOn) {
  const QImage image = BuiltInTemplate();
  const auto black = [&image](int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
  const std::array kLine = {false, true, true, false};
  for (int x : tarni::column_bounds) {
    EXPECT_EQ((std::array{black(x - 1, 300), black(x, 300), black(x + 1, 300), black(x + 2, 300)}), kLine) << x;
  }
  // The top line lies below the grid's top bound (checked above).
  for (size_t k = 1; k < tarni::row_bounds.size(); ++k) {
    const int y = tarni::row_bounds[k];
    EXPECT_EQ((std::array{black(400, y - 1), black(400, y), black(400, y + 1), black(400, y + 2)}), kLine) << y;
  }
}

TEST(TemplateBitmap, ExampleTemplateIsTheBuiltInOne) {
  QFile file(QStringLiteral(TEST_SOURCE_DIR "/../examples/Tarni_1.BMP"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(DecodeTemplateBitmap(file.readAll()), BuiltInTemplate());
}

}  // namespace
}  // namespace app
