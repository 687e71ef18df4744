// JPEG pictures of the program's windows (the splash picture, the textbook
// cover), decoded with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace asmora::skins {

struct JpegDecoding {
    QImage image;   // null when the bytes are not a picture libjpeg can decode
    QString error;  // libjpeg's reason when `image` is null
};

// Decodes a baseline or progressive JPEG (grey or colour) to a 24-bit image.
// Pictures above 64 megapixels are refused rather than allocated.
JpegDecoding decodeJpeg(const QByteArray& bytes);

// Decodes the picture stored at `path` (a file or a ":/" resource). A picture that
// is missing or cannot be decoded gives a null image and a warning on stderr: the
// window then shows its empty frame.
QImage jpegPicture(const QString& path);

}  // namespace asmora::skins
