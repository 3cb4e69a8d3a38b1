#include "TemplateBitmap.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdint>

#include "ProgramFiles.h"

namespace app {

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the old OS/2 layout, 16-bit sizes
constexpr uint32_t kInfoHeaderSize = 40;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

uint16_t U16At(const QByteArray& bytes, qsizetype offset) {
  return qFromLittleEndian<uint16_t>(bytes.constData() + offset);
}

uint32_t U32At(const QByteArray& bytes, qsizetype offset) {
  return qFromLittleEndian<uint32_t>(bytes.constData() + offset);
}

struct BitmapLayout {
  int64_t width = 0;
  int64_t height = 0;  // negative for rows stored top-down
  uint16_t planes = 0;
  uint16_t bits_per_pixel = 0;
  uint32_t compression = kRgb;
  uint32_t image_size = 0;  // may be 0 for uncompressed bitmaps
};

bool ReadLayout(const QByteArray& bytes, uint32_t info_size, BitmapLayout& layout) {
  if (info_size == kCoreHeaderSize) {
    layout.width = U16At(bytes, 18);
    layout.height = U16At(bytes, 20);
    layout.planes = U16At(bytes, 22);
    layout.bits_per_pixel = U16At(bytes, 24);
    return true;
  }
  if (info_size < kInfoHeaderSize) return false;
  layout.width = static_cast<int32_t>(U32At(bytes, 18));
  layout.height = static_cast<int32_t>(U32At(bytes, 22));
  layout.planes = U16At(bytes, 26);
  layout.bits_per_pixel = U16At(bytes, 28);
  layout.compression = U32At(bytes, 30);
  layout.image_size = U32At(bytes, 34);
  return true;
}

// The bytes of pixel data the header promises; 0 when it promises nothing sensible.
int64_t PixelDataSize(const BitmapLayout& layout) {
  const int64_t rows = layout.height < 0 ? -layout.height : layout.height;
  if (layout.width <= 0 || rows == 0) return 0;
  switch (layout.compression) {
    case kRgb:
    case kBitFields: {
      const int64_t row_bytes = (layout.width * layout.bits_per_pixel + 31) / 32 * 4;
      return row_bytes * rows;
    }
    default:
      return layout.image_size;
  }
}

bool HoldsWholeBitmap(const QByteArray& bytes) {
  if (bytes.size() < kFileHeaderSize + 4 || !bytes.startsWith("BM")) return false;
  const uint32_t info_size = U32At(bytes, kFileHeaderSize);
  if (bytes.size() < kFileHeaderSize + static_cast<int64_t>(info_size)) return false;
  BitmapLayout layout;
  if (!ReadLayout(bytes, info_size, layout) || layout.planes != 1) return false;
  constexpr std::array<uint16_t, 6> kDepths = {1, 4, 8, 16, 24, 32};
  if (std::find(kDepths.begin(), kDepths.end(), layout.bits_per_pixel) == kDepths.end()) {
    return false;
  }
  const int64_t pixel_offset = U32At(bytes, 10);
  const int64_t pixel_size = PixelDataSize(layout);
  return pixel_size > 0 && pixel_offset >= kFileHeaderSize + info_size && pixel_offset + pixel_size <= bytes.size();
}

}  // namespace

EInvalidGraphic::EInvalidGraphic() : std::runtime_error("Bitmap image is not valid") {}

QImage DecodeTemplateBitmap(const QByteArray& bytes) {
  if (!HoldsWholeBitmap(bytes)) throw EInvalidGraphic();
  QImage image;
  if (!image.loadFromData(bytes, "BMP")) throw EInvalidGraphic();
  return image;
}

QImage LoadTemplateBitmap(const QString& path) { return DecodeTemplateBitmap(ReadWholeFile(path, kTemplateFileLimit)); }

}  // namespace app
