#include <QResource>

#include <png.h>

#include "AppResources.h"

namespace {

// A built-in PNG decoded without Qt's image readers: they look plugins up through globals that a
// starting application is still setting up on its own thread. Null when it can't be decoded.
QImage DecodeBuiltInPng(const QString& path) {
    LoadAppResources();
    const QByteArray data = QResource(path).uncompressedData();
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (data.isEmpty() || !png_image_begin_read_from_memory(&png, data.constData(), size_t(data.size()))) return {};
    png.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;  // QImage's ARGB32
    // No conversion here: QImage's converters start Qt's thread pool, and Qt would take the
    // first thread that touches it for its main thread.
    QImage image(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull() || !png_image_finish_read(&png, nullptr, image.bits(), image.bytesPerLine(), nullptr)) {
        png_image_free(&png);
        return {};
    }
    return image;
}

}  // namespace

DecodedPictures DecodeBuiltInPictures() {
    QStringList paths{kBuiltInLogo, kAppIcon48, kAppIcon128};
    for (int id = 1000; !IconResource(id).isEmpty(); ++id) paths << IconResource(id);
    DecodedPictures decoded;
    for (const QString& path : paths) decoded.insert(path, DecodeBuiltInPng(path));
    return decoded;
}

