// JPEG decoding through libjpeg's own interface. libjpeg reports fatal errors by
// calling error_exit, which must not return; it jumps back to decodeRows with
// longjmp. That function therefore holds no C++ objects with destructors: the
// image it fills lives in its caller.
#include "JpegPicture.h"

#include <QFile>
#include <QtGlobal>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace asmora::skins {
namespace {

constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr standard;  // first member: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->standard.format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void ignoreWarning(j_common_ptr) {}

// What decodeRows needs from its caller to allocate the image once the size is known.
struct ImageSink {
    QImage* image;
    const char* refusal = nullptr;
};

bool allocate(ImageSink& sink, JDIMENSION width, JDIMENSION height) {
    if (static_cast<qint64>(width) * height > kMaxPixels) {
        sink.refusal = "picture too large";
        return false;
    }
    *sink.image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (sink.image->isNull()) sink.refusal = "out of memory";
    return !sink.image->isNull();
}

// Returns true when every row was decoded into sink.image.
bool decodeRows(jpeg_decompress_struct& info, ErrorManager& errors, const QByteArray& bytes, ImageSink& sink) {
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || !allocate(sink, info.output_width, info.output_height)) {
        if (!sink.refusal) sink.refusal = "unsupported colour space";
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = sink.image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

JpegDecoding decodeJpeg(const QByteArray& bytes) {
    JpegDecoding result;
    if (bytes.isEmpty()) {
        result.error = QStringLiteral("empty file");
        return result;
    }
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = jumpOnError;
    errors.standard.output_message = ignoreWarning;
    ImageSink sink{&result.image};
    if (!decodeRows(info, errors, bytes, sink)) {
        result.image = QImage();
        result.error = QString::fromLatin1(sink.refusal ? sink.refusal : errors.message);
    }
    return result;
}

QImage jpegPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "asmora: picture %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return {};
    }
    JpegDecoding decoded = decodeJpeg(file.readAll());
    if (decoded.image.isNull())
        std::fprintf(stderr, "asmora: picture %s: %s\n", qPrintable(path), qPrintable(decoded.error));
    return decoded.image;
}

}  // namespace asmora::skins
