// The template bitmaps: the built-in template (its format, the ruled lines on the hit
// grid's bounds, thirty different pictures, and examples/Tarni_1.BMP as its copy), and
// the refusal of files that are not whole bitmaps.
#include "TemplateBitmap.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <set>

#include "HitGrid.h"

namespace app {
namespace {

QByteArray BmpBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "BMP"));
  return bytes;
}

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

TEST(TemplateBitmap, ExampleTemplateIsTheBuiltInOne) {
  QFile file(QStringLiteral(TEST_SOURCE_DIR "/../examples/Tarni_1.BMP"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(DecodeTemplateBitmap(file.readAll()), BuiltInTemplate());
}

TEST(TemplateBitmap, OnlyWholeBitmapsDecode) {
  const QByteArray whole = BmpBytes(BuiltInTemplate());
  EXPECT_EQ(DecodeTemplateBitmap(whole).size(), QSize(800, 566));
  const struct {
    const char* name;
    QByteArray bytes;
  } refused[] = {
      {"empty", QByteArray()},
      {"text", QByteArray("BM but then only words, no header worth the name")},
      {"cut in the pixels", whole.left(whole.size() - 1)},
      {"cut in the header", whole.left(30)},
      {"pixel offset past the end", QByteArray(whole).replace(10, 4, QByteArray("\xff\xff\x00\x00", 4))},
      {"zero width", QByteArray(whole).replace(18, 4, QByteArray(4, '\0'))},
  };
  for (const auto& test : refused) {
    SCOPED_TRACE(test.name);
    EXPECT_THROW(DecodeTemplateBitmap(test.bytes), EInvalidGraphic);
  }
}

}  // namespace
}  // namespace app
