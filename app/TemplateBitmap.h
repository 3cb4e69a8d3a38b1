// Template bitmaps read from disk: a template file is accepted only when it holds a whole
// bitmap, since the image decoder would take a file cut short and fill the missing rows
// with whatever memory held.
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

// The bitmap in `bytes`. The header and the size of the pixel data are checked before
// the image is decoded. Throws EInvalidGraphic ("Bitmap image is not valid").
QImage DecodeTemplateBitmap(const QByteArray& bytes);

// The bitmap in the file at `path`; "Cannot open file %s" when it cannot be read (no
// regular file, or larger than kTemplateFileLimit), else as DecodeTemplateBitmap.
QImage LoadTemplateBitmap(const QString& path);

}  // namespace app
