#include "AppResources.h"

#include <QFileInfo>
#include <QImageReader>
#include <QResource>
#include <QtGlobal>

#include <png.h>

static void InitDriveTuneResources() { Q_INIT_RESOURCE(DriveTune); }

void LoadAppResources() {
    static const bool loaded = (InitDriveTuneResources(), true);
    (void)loaded;
}

QString IconResource(int controlId) {
    static const char* const kNames[] = {"connect", "upload", "download", "store",
                                         "default", "import", "export",   "language"};
    const int i = controlId - 1000;
    if (i < 0 || i >= 8) return QString();
    return QStringLiteral(":/icons/%1.png").arg(QLatin1String(kNames[i]));
}

namespace {

std::future<DecodedPictures> g_decoded;

QImage ReadImage(const QString& path) {
    LoadAppResources();
    QImageReader byName(path, QFileInfo(path).suffix().toLatin1());
    byName.setAutoDetectImageFormat(false);
    QImage image = byName.read();
    if (image.isNull()) image = QImageReader(path).read();
    return image;
}

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

QPixmap ReadPicture(const QString& path) {
    // Each decoded picture is taken once: the window needs it once, and keeping it would cost
    // its memory for good.
    static DecodedPictures decoded;
    if (g_decoded.valid()) decoded = g_decoded.get();
    QImage early = decoded.take(path);
    return QPixmap::fromImage(early.isNull() ? ReadImage(path) : std::move(early));  // converted in place
}

DecodedPictures DecodeBuiltInPictures() {
    QStringList paths{kBuiltInLogo, kAppIcon48, kAppIcon128};
    for (int id = 1000; !IconResource(id).isEmpty(); ++id) paths << IconResource(id);
    DecodedPictures decoded;
    for (const QString& path : paths) decoded.insert(path, DecodeBuiltInPng(path));
    return decoded;
}

void UseDecodedPictures(std::future<DecodedPictures> pictures) { g_decoded = std::move(pictures); }

QIcon ReadIcon(std::initializer_list<QString> paths) {
    QIcon icon;
    for (const QString& path : paths) icon.addPixmap(ReadPicture(path));
    return icon;
}
