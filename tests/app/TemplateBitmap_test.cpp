// Template bitmaps read from disk: files that are not whole bitmaps are refused.
#include "TemplateBitmap.h"

#include <gtest/gtest.h>

#include "BuiltInTemplate.h"
#include "ProgramTestSupport.h"

namespace app {
namespace {

using testing::BmpBytes;

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
