// JPEG decoding with libjpeg: the windows' two pictures, colours in the right
// order, and bytes that are not a picture.
#include "skins/JpegPicture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

using asmora::skins::decodeJpeg;

namespace {

QByteArray sourceFile(const QString& tail) {
    QFile file(QStringLiteral(ASMORA_SOURCE_DIR_PATH) + u'/' + tail);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray encodedByQt(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    return writer.write(image) ? bytes : QByteArray();
}

}  // namespace

TEST(JpegPicture, DecodesTheSplashAndCoverPicturesAtTheirSizes) {
    const struct {
        const char* file;
        QSize size;
    } pictures[] = {
        {"resources/pictures/splash.jpg", {601, 153}},
        {"resources/pictures/cover.jpg", {177, 257}},
    };
    for (const auto& picture : pictures) {
        const auto decoded = decodeJpeg(sourceFile(picture.file));
        ASSERT_FALSE(decoded.image.isNull()) << picture.file << ": " << decoded.error.toStdString();
        EXPECT_EQ(decoded.image.size(), picture.size) << picture.file;
    }
}

TEST(JpegPicture, KeepsRedGreenAndBlueInTheirPlaces) {
    // The splash picture's icon is a dark blue square around (30, 60).
    const QImage splash = decodeJpeg(sourceFile("resources/pictures/splash.jpg")).image;
    ASSERT_FALSE(splash.isNull());
    const QColor icon = splash.pixelColor(30, 60);
    EXPECT_GT(icon.blue(), 140);
    EXPECT_LT(icon.red(), 70);
    // The cover's top band is dark red around (160, 10).
    const QImage cover = decodeJpeg(sourceFile("resources/pictures/cover.jpg")).image;
    ASSERT_FALSE(cover.isNull());
    const QColor band = cover.pixelColor(170, 10);
    EXPECT_GT(band.red(), 90);
    EXPECT_LT(band.blue(), 60);
}

TEST(JpegPicture, DecodesGreyPicturesToColourImages) {
    QImage grey(40, 20, QImage::Format_Grayscale8);
    grey.fill(200);
    const QByteArray bytes = encodedByQt(grey);
    if (bytes.isEmpty()) GTEST_SKIP() << "Qt has no JPEG writer here";
    const auto decoded = decodeJpeg(bytes);
    ASSERT_FALSE(decoded.image.isNull()) << decoded.error.toStdString();
    EXPECT_EQ(decoded.image.size(), QSize(40, 20));
    EXPECT_NEAR(decoded.image.pixelColor(10, 10).green(), 200, 3);
}

TEST(JpegPicture, RefusesBytesThatAreNotAJpegPicture) {
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
    const QByteArray truncatedHeader = sourceFile("resources/pictures/cover.jpg").left(40);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("not a picture"), png, truncatedHeader}) {
        const auto decoded = decodeJpeg(bytes);
        EXPECT_TRUE(decoded.image.isNull());
        EXPECT_FALSE(decoded.error.isEmpty());
    }
}

TEST(JpegPicture, AMissingPictureGivesANullImage) {
    EXPECT_TRUE(asmora::skins::jpegPicture(":/no/such/picture.jpg").isNull());
}
