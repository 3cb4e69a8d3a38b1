// The bitmaps of the template image: the built-in template that the image shows before a
// configuration is loaded (30 simple pictures in the cells of the hit grid, with ruled
// lines on the grid's bounds, drawn here and also written out as examples/Tarni_1.BMP),
// and template files read from disk, accepted only when they hold a whole bitmap.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>

namespace app {

// Raised for a file that is not a bitmap or is cut short.
class EInvalidGraphic : public std::runtime_error {
 public:
  EInvalidGraphic();
};

inline constexpr int kBuiltInTemplateWidth = 800;
inline constexpr int kBuiltInTemplateHeight = 566;

// 800 x 566, 8 bits per pixel with a 256-colour palette. The same every time it is drawn.
QImage BuiltInTemplate();

// The bitmap in `bytes`. The header and the size of the pixel data are checked before
// the image is decoded, since the decoder would fill the rows of a short file with
// whatever memory held. Throws EInvalidGraphic ("Bitmap image is not valid").
QImage DecodeTemplateBitmap(const QByteArray& bytes);

// The bitmap in the file at `path`; "Cannot open file %s" when it cannot be read (no
// regular file, or larger than kTemplateFileLimit), else as DecodeTemplateBitmap.
QImage LoadTemplateBitmap(const QString& path);

}  // namespace app
